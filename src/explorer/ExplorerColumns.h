#pragma once
// The columns of the two explorer views, and of the CD player's list of an album's tracks, as the
// program designs them: field, description, header,
// picture, width and justification per column, the designed list format built from them, and which
// columns the user may order the list by.

#include "core/ListFormat.h"

#include <QList>
#include <QString>

namespace td {

// CdTracks: the songs of one album (the caller sets the condition), in track order to start with.
enum class ExplorerKind { Songs, Albums, CdTracks };

struct ExplorerColumn {
    QString field;          // "MUS:Artist"
    QString description;    // "Artist"
    QString header;         // "Artist"
    QString picture;        // "@s40"
    int width = 0;
    QChar justification = QLatin1Char('L');
    // Whether a header click may order the list by this column: false for a value the table
    // does not hold itself (the category name of a song is read from the categories).
    bool orderable = true;
};

const QList<ExplorerColumn>& explorerColumns(ExplorerKind kind);

// POSITION.INI section of the view ("XploreSongs", "XploreAlbums", "IntegratedCDPlayer") and its
// list name ("?Browse", "?Browse:1", "?List").
QString explorerSection(ExplorerKind kind);
QString explorerListName(ExplorerKind kind);

// The list format the program designs for the view (every column shown, in table order).
QString explorerDesignedFormat(ExplorerKind kind);

// The view's caption for a record count: "Songs - 12 entries", "Albums - 3 entries" (tracks are
// songs).
QString explorerCaption(ExplorerKind kind, qint64 records);

// A column as the list shows it: which column of explorerColumns() and its format there.
struct ShownColumn {
    int column = -1;
    ListColumn format;
};

// The shown columns of a list format: a column written with a field number ("#3#") is that column
// of the table, one without is the column at its place. Nothing when the format does not read,
// names a column the table does not have or shows one twice.
QList<ShownColumn> shownColumns(const QString& format, ExplorerKind kind);
// The format of shown columns, each with its field number, so that it reads back to them.
QString formatOf(const QList<ShownColumn>& shown);

// The refusal shown when the list cannot be ordered on a column, and its title.
QString explorerOrderRefusal(const QString& header, const QString& field);
QString explorerOrderRefusalTitle();

// Order marker in front of a header: ">" ascending, "<" descending. markedHeader() adds it to a
// header without one; unmarkedHeader() takes it off again (a header without a marker stays).
QString markedHeader(const QString& header, bool descending);
QString unmarkedHeader(const QString& header);

} // namespace td

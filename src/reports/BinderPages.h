#pragma once
// Binder and flap pages: every album of a file-number range with its songs in track order, each
// album under a coloured heading. Both scan the album table in file-number order from the start
// number and stop at the first album whose file number sorts after the end number (in the key's
// order: letter case and trailing blanks do not count, "100" sorts between "10" and "9"). They
// always preview, handle one album per timer event and count albums in the progress line.
//
// Binder pages colour the headings in print order through fifteen colours. Flap pages colour each
// album by its record position in the table (the album's rowid: the place the record was stored
// at, which does not change when the album is edited or others are added) modulo 15, so that an
// album keeps its colour on every flap printed for it.

#include "common/GlobalSettings.h"
#include "reports/ReportDefinition.h"

#include <QColor>
#include <QList>
#include <QString>

namespace td {

class Database;

struct BinderRange {
    QString start; // file number of the first album; blank: from the first
    QString end; // albums after this file number end the run
    bool toEnd = false; // no end: every album from the start (the command-line tool)
};

enum class BinderStyle { Binder, Flap };

// "PrintCDBinderPages" / "PrintCDFlapPages". The definition reads the songs of each album
// through `db`, which must outlive the run.
ReportDefinition binderPagesReport(Database& db, BinderStyle style, const BinderRange& range);
// The pages the shared page style ("Flap", otherwise binder pages) and file-number range of the
// criteria ask for.
ReportDefinition binderPagesReport(Database& db, const ReportCriteria& criteria);
// The flap of one album (from the album list or explorer): the shared range and style become that
// album's file number and "Flap".
void chooseSingleFlap(ReportCriteria& criteria, const QString& fileNumber);

// The fifteen heading colours of binder pages, in the order they are used.
const QList<QColor>& binderColors();
// The colour of a flap heading for an album at that record position.
QColor flapColor(qint64 position);

// The heading of an album: its title + " - " + the artist (turned round on binder pages, as
// stored on flap pages), or the title alone when the album artist is "Various".
QString binderHeading(const QString& album, const QString& artist, BinderStyle style);
// A text followed by dots up to `width` characters (cut at `width`).
QString dotLeader(const QString& text, int width);

// What a heading repeated on the next page of a long album ends with: " (continued)".
inline QString continuedText() { return QStringLiteral(" (continued)"); }

// Flap headings shorter than this print in the short heading band, others in the long one.
inline constexpr int kFlapShortHeading = 40;

} // namespace td

#pragma once
// The printed playlists and the DJ log on the report engine: "PrintPlaylist" (one playlist's songs
// and their total time), "PrintPlaylistTop40" (the same playlist as a chart with this week's and
// last week's positions and movement marks; printing it closes gaps in the numbering) and
// "PrintDJList" (the songs a query chose, in media order, with their release years).

#include "reports/ReportDefinition.h"

#include <QString>
#include <QVariantList>

namespace td {

class Database;

// Last week's position as the chart mark left it: the two characters after "LW:", or "--".
QString lastWeekOf(const QString& notes);
// The movement mark of a line now at `position` that stood at `lastWeek` ("--" counts as 0):
// "*" for a climb of more than ten places, "^" for a climb, "=" for no change, else blank.
QString chartMovement(const QString& lastWeek, qint64 position);
// The DJ log's year: " --" for no release, the year of a date, a bare year as it stands.
QString releaseYearText(qint32 release);
// Lines of one playlist; -1 on a read error.
qint64 playlistLineCount(Database& db, qint32 playlistId);

struct PlaylistReportContext {
    qint32 playlistId = 0;
    QString description;
    QString udkPrompt = QStringLiteral("Custom");
    QString datePicture;        // the user's date format ("@d17"); empty: "@d2"
    QString logo;               // the chart's picture file
};

// The program's own logo, shipped in its resources: the chart's picture when no other is found.
inline QString defaultChartLogo() { return QStringLiteral(":/reports/logo.svg"); }
// The chart's picture: the file the "Logo" setting names, or LOGO.GIF in the working folder when
// the setting is blank; the program's own logo when that file is missing.
QString chartLogo(const QString& setting);

// "PrintPlaylist" or, with top40, "PrintPlaylistTop40". The definition keeps a connection to `db`
// for the songs of the lines.
ReportDefinition playlistReport(Database& db, const PlaylistReportContext& ctx, bool top40);

// "PrintDJList" over the songs that `filterSql` (a compiled song search, may be empty) chooses.
ReportDefinition djListReport(const QString& udkPrompt, const QString& filterSql, const QVariantList& params);

} // namespace td

#pragma once
// Which printed listing a song list's "&Print" starts: the one in the order the list shows.

#include <QString>

namespace td {

// The "Print" name of the listing for a song list order, given as the key of the list's tab
// ("MUS:SongsByTitle") or as the field the list is ordered by ("MUS:Title"). An order that has no
// listing of its own (file number, time, dates) prints the songs by artist.
QString songReportFor(const QString& keyOrField);

} // namespace td

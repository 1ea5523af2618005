#pragma once
// The playlist list without windows: its caption, its column, its order, and where a typed
// character takes the highlight.

#include "common/ColumnFormatStore.h"

#include <QString>

namespace td {

class PagedList;

QString playlistListCaption(qint64 records);
QString playlistListFormat();
ColumnFormatKeys playlistListFormatKeys();

// Gives `list` (over PlaylistMaster) every playlist in description order.
void showPlaylists(PagedList& list);

// A typed character: one row down when the highlighted description begins with it (letter case
// ignored), else to the first description that begins with it or follows it. 0 or the read error.
int locatePlaylist(PagedList& list, QChar typed);

} // namespace td

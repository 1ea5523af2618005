#pragma once
// The playlist reports as the playlist list and the frame start them: each asks whether to preview,
// then runs in a progress window of its own, blocking nobody.

#include "common/Request.h"
#include <QtGlobal>
#include <functional>

class QWidget;

namespace td {

class AppState;

using PlaylistPrintDone = std::function<void(Response)>;

// A playlist by its PLD:PlaylistID, plainly or as a chart (which also closes gaps in its numbering:
// the list reads again when it answers). A playlist without lines (or one deleted meanwhile):
// "Nothing to Preview." or "Nothing to Print.".
void PrintPlaylist(AppState& state, QWidget* near, qint32 playlistId, PlaylistPrintDone done = {});
void PrintPlaylistTop40(AppState& state, QWidget* near, qint32 playlistId, PlaylistPrintDone done = {});

// "DJ LOG": the query wizard with the DJ list's fields, then the songs it chose.
void PrintDJList(AppState& state, QWidget* near, PlaylistPrintDone done = {});

} // namespace td

#pragma once
// "Generate Play List": a new playlist of randomly drawn songs, from the playlist list's pop-up menu.

#include "common/Request.h"

#include <functional>

class QWidget;

namespace td {

class AppState;

// Opens the window for `caller`; `done` gets Completed when a playlist was written (the list reads
// again), Cancelled otherwise.
void GeneratePlaylist(AppState& state, QWidget* caller, std::function<void(Response)> done);

} // namespace td

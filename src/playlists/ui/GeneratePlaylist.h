#pragma once
// "Generate Play List": builds a new playlist from the song table, started from the playlist list's
// pop-up menu. Opens its window for `caller` and returns at once; `done` gets Completed when a
// playlist was made (the list reads again), Cancelled otherwise.

#include "common/WindowEntries.h"

class QWidget;

namespace td {

class AppState;

void GeneratePlaylist(AppState& state, QWidget* caller, WindowEntries::Done done);

} // namespace td

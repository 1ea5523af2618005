#pragma once
// Puts the windows of the program into the main frame: each menu item and tool bar button that has
// its window gets the action that opens it, and the entries of AppState::entries (the windows
// that features built before them open) are filled.

namespace td {

class AppState;
class MainFrame;

void wireFrame(MainFrame& frame, AppState& state);

} // namespace td

#pragma once
// Puts the windows of the program into the main frame: each menu item and tool bar button that has
// its window gets the action that opens it, and the windows that call each other are connected.

namespace td {

class AppState;
class MainFrame;

void wireFrame(MainFrame& frame, AppState& state);

} // namespace td

#pragma once
// "Format Listbox...": the explorer list's columns (shown and hidden), each column's settings and
// the list's own (line height, font, scroll bars), every change shown in the list at once.

#include <functional>

namespace td {

class ExplorerWindow;

// Opens the window for `view` (blocked while it is open); `closed` runs when "&Close" is pressed.
void XploreProcReformat(ExplorerWindow& view, std::function<void()> closed);

} // namespace td

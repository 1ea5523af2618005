#pragma once
// Where child windows go inside the frame: a window opens inside the visible area and never
// smaller than its controls need, and Tile gives every window a cell of the area no smaller than
// its minimum, so that no button ends up outside the area.

#include <QRect>

class QMdiArea;
class QMdiSubWindow;

namespace td {

// The smallest size that shows all of a child window's controls.
QSize childMinimumSize(const QMdiSubWindow* sub);

// Grows the window to its minimum and moves (or, when larger than the area, shrinks) it so that it
// lies inside `area`; a window whose minimum is larger than the area keeps its top-left corner.
void fitIntoArea(QMdiSubWindow* sub, const QRect& area);

// Tiles the open (not minimised) windows in a grid of the area, with as many columns as leave
// every window at least its minimum size; when no grid does, the one that needs the least
// overlap, each window kept inside the area.
void tileChildWindows(QMdiArea* mdi);

} // namespace td

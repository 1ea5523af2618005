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

// Tiles the open (not minimised) windows in rows over the whole area, each window at least its
// minimum width (a window that does not fit beside the others starts a new row); a window whose
// minimum height is more than its row's overlaps the next row but stays inside the area.
void tileChildWindows(QMdiArea* mdi);

} // namespace td

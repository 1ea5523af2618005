#pragma once
// The frame's browse tool bar: first record, previous page, previous record, next record, next page
// and last record of the list in the child window activated last that has one (a browse list, an
// explorer view, the CD player). Disabled while no such window is open. Each button has a key of
// its own (Alt+Shift with Home, Page Up, Up, Down, Page Down, End), so the bar is not needed to
// reach them.

class QMdiArea;
class QToolBar;
class QWidget;

namespace td {

QToolBar* createBrowseToolBar(QMdiArea* area, QWidget* parent);

// The window whose list the bar moves: the child window of `area` activated last that holds one.
QWidget* browseTarget(QMdiArea* area);

} // namespace td

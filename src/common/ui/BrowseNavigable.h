#pragma once
// The frame's browse tool bar speaks to lists through this: first record, previous page, previous
// record, next record, next page, last record of the list in a window. A window's list is a widget
// implementing BrowseNavigable, or else a BrowseList; the one holding the focus is taken first.

class QWidget;

namespace td {

enum class BrowseStep { FirstRecord, PreviousPage, PreviousRecord, NextRecord, NextPage, LastRecord };

class BrowseNavigable {
public:
    virtual ~BrowseNavigable() = default;
    // Moves the list one step and shows where it went; false when the read failed.
    virtual bool browseStep(BrowseStep step) = 0;
};

// Whether `window` holds a list the tool bar can move.
bool hasBrowseList(QWidget* window);
// Moves the list of `window` one step; false when it has none, the list is disabled (a form of the
// window is open) or the read failed.
bool browseStep(QWidget* window, BrowseStep step);

} // namespace td

#pragma once
// The category list: maintenance as a child window of the frame ("&Categories" of the Browse menu),
// or a modal picker for other windows.

#include "common/Request.h"
#include "data/Records.h"

class QWidget;

namespace td {

class AppState;

// Request::Select: a modal picker; true when a category was chosen (then in *chosen; the list
// starts at the name *chosen holds). Any other request shows the list for maintenance, modally,
// and returns false.
bool BrowseCategories(AppState& state, Request request, QWidget* parent, Categories* chosen);

// The maintenance list for the frame to wrap as a child window; nullptr when the table cannot be
// read (message shown).
QWidget* createBrowseCategories(AppState& state);

} // namespace td

#pragma once
// The category list: maintenance as a child window of the frame ("&Categories" of the Browse menu),
// or a picker for other windows (it blocks only its caller).

#include "common/Request.h"
#include "data/Records.h"

#include <functional>

class QWidget;

namespace td {

class AppState;

// The chosen category, or nullptr when none was chosen.
using CategoryAnswer = std::function<void(const Categories* chosen)>;

// The picker for `caller`, starting at the name `start`.
void BrowseCategories(AppState& state, QWidget* caller, const QString& start, CategoryAnswer answered);

// The maintenance list for the frame to wrap as a child window; nullptr when the table cannot be
// read (message shown).
QWidget* createBrowseCategories(AppState& state);

} // namespace td

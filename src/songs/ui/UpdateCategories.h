#pragma once
// The category form: adds, changes or deletes one category.

#include "common/Request.h"
#include "data/Records.h"

class QWidget;

namespace td {

class AppState;

// After a completed add or change `buffer` holds the stored category and *position (when given)
// its position.
Response UpdateCategories(
    AppState& state, Request request, Categories& buffer, QWidget* parent, qint64* position = nullptr);

} // namespace td

#pragma once
// "Select An Album": a picker over the album table.

#include "data/Records.h"

#include <functional>

class QWidget;

namespace td {

class AppState;

// Opens the picker for `caller` and returns at once; `answered` gets the chosen album, or nullptr
// when the picker was closed without a choice.
void SelectAlbum(AppState& state, QWidget* caller, std::function<void(const Album* chosen)> answered);

} // namespace td

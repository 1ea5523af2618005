#pragma once
// The two add-album wizards: an album by a single artist, and a compilation.

#include "common/Request.h"

#include <functional>

class QWidget;

namespace td {

class AppState;

// Each opens its wizard for `caller` and returns at once; `answered` runs when the wizard closes
// (completed after OK, cancelled otherwise), unless the caller closed first.
void AddSingleArtist(AppState& state, QWidget* caller, std::function<void(Response)> answered);
void AddCompilation(AppState& state, QWidget* caller, std::function<void(Response)> answered);

} // namespace td

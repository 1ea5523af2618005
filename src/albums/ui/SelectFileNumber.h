#pragma once
// "Select File Number": a picker over the song table that chooses one song (and with it a file
// number).

#include "data/Records.h"

#include <functional>

class QWidget;

namespace td {

class AppState;

// Opens the picker for `caller` and returns at once; `answered` gets the chosen song, or nullptr
// when the picker was closed without a choice.
void SelectFileNumber(AppState& state, QWidget* caller, std::function<void(const Tunedeck* chosen)> answered);

} // namespace td

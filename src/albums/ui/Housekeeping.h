#pragma once
// The housekeeping runs the Preferences window starts, each with its progress window for a caller.

#include <functional>

class QWidget;

namespace td {

class AppState;

// Each starts its run for `caller` (blocked while it runs) and returns at once; `done` runs when the
// run has ended (completed, cancelled or stopped by an error), unless the caller closed first.
void runCopyToAlbum(AppState& state, QWidget* caller, std::function<void()> done = {});
void runTestAlbumIDs(AppState& state, QWidget* caller, std::function<void()> done = {});
// The song dates to years, then the album dates.
void runConvertDatesToYears(AppState& state, QWidget* caller, std::function<void()> done = {});

} // namespace td

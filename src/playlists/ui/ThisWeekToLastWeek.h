#pragma once
// "Char&t" of the playlist form: after its question, writes each line's position into its notes as
// last week's chart position, with a progress window.

#include "common/Request.h"

#include <QtGlobal>
#include <functional>

class QWidget;

namespace td {

class AppState;

// `done` gets Completed when the run went to its end, Cancelled when the question was declined,
// the run cancelled or stopped by an error.
void ThisWeekToLastWeek(AppState& state, QWidget* caller, qint32 playlistId, std::function<void(Response)> done = {});

} // namespace td

#pragma once
// The media list: maintenance as a child window of the frame ("&Media Formats" of the Browse menu),
// or a picker for other windows (it blocks only its caller). Its column layout is remembered.

#include "common/Request.h"

#include <QString>
#include <functional>

class QWidget;

namespace td {

class AppState;

// The chosen media name, or an empty text when none was chosen.
using MediaAnswer = std::function<void(const QString& chosen)>;

// The picker for `caller`, starting at the name `start`.
void BrowseMedia(AppState& state, QWidget* caller, const QString& start, MediaAnswer answered);

// The maintenance list for the frame to wrap as a child window; nullptr when the table cannot be
// read (message shown).
QWidget* createBrowseMedia(AppState& state);

} // namespace td

#pragma once
// The media list: maintenance as a child window of the frame ("&Media Formats" of the Browse menu),
// or a modal picker for other windows. Its column layout is remembered.

#include "common/Request.h"

#include <QString>

class QWidget;

namespace td {

class AppState;

// Request::Select: a modal picker; true when a media name was chosen (then in *chosen; the list
// starts at the name *chosen holds). Any other request shows the list for maintenance, modally,
// and returns false.
bool BrowseMedia(AppState& state, Request request, QWidget* parent, QString* chosen);

// The maintenance list for the frame to wrap as a child window; nullptr when the table cannot be
// read (message shown).
QWidget* createBrowseMedia(AppState& state);

} // namespace td

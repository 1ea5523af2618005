#pragma once
// The media form: adds, renames or deletes one media format, in the one-field window.

#include "common/Request.h"
#include "data/Records.h"
#include "songs/ui/NameForm.h"

class QWidget;

namespace td {

class AppState;

// Opens the form for `caller`; `answered` gets the response and the stored name's position.
void UpdateMedia(
    AppState& state, Request request, const Media& buffer, QWidget* caller, NameFormAnswer answered);

} // namespace td

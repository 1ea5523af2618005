#pragma once
// The category form: adds, changes or deletes one category, in the one-field window.

#include "common/Request.h"
#include "data/Records.h"
#include "songs/ui/NameForm.h"

class QWidget;

namespace td {

class AppState;

// Opens the form for `caller`; `answered` gets the response and the stored category's position.
void UpdateCategories(
    AppState& state, Request request, const Categories& buffer, QWidget* caller, NameFormAnswer answered);

} // namespace td

#pragma once
// The media form: adds, renames or deletes one media format.

#include "common/Request.h"
#include "data/Records.h"

class QWidget;

namespace td {

class AppState;

// After a completed add or change `buffer` holds the stored name and *position (when given) its
// position.
Response UpdateMedia(
    AppState& state, Request request, Media& buffer, QWidget* parent, qint64* position = nullptr);

} // namespace td

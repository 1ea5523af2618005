#pragma once
// The album form: one album added, changed, copied or deleted, with its songs.

#include "common/Request.h"
#include "data/Records.h"

#include <functional>

class QWidget;

namespace td {

class AppState;

// Completed or cancelled, and after a completed add or change the stored album.
using AlbumAnswer = std::function<void(Response, const Album& stored)>;

// Opens the form for `caller` (blocked while it is open) and returns at once; `answered` runs when
// the form closes, unless the caller closed first. Request::Insert with a non-blank album title
// adds a copy of `album`; a delete is asked, done and answered before the call returns.
void UpdateAlbums(AppState& state, Request request, const Album& album, QWidget* caller, AlbumAnswer answered);

} // namespace td

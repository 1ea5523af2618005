#include "albums/ui/UpdateAlbums.h"

namespace td {

// Placeholder until the form is built: answers cancelled.
void UpdateAlbums(AppState&, Request, const Album&, QWidget*, AlbumAnswer answered)
{
    if (answered)
        answered(Response::Cancelled, Album());
}

} // namespace td

#include "playlists/ui/GeneratePlaylist.h"

#include "common/ui/FormHost.h"
#include "playlists/ui/GeneratePlaylistWindow.h"

namespace td {

void GeneratePlaylist(AppState& state, QWidget* caller, std::function<void(Response)> done)
{
    auto* window = new GeneratePlaylistWindow(state);
    openForm(caller, window, [done = std::move(done)](int result) {
        if (done)
            done(result == QDialog::Accepted ? Response::Completed : Response::Cancelled);
    });
}

} // namespace td

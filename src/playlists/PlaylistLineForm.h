#pragma once
// The line form's logic, without its window: a new line primed at once at the end of the playlist
// (three tries, then the retry question), the song chosen for it, the save on OK, and the removal
// of a cancelled new line.

#include "common/Request.h"
#include "data/Records.h"
#include "playlists/PlaylistLines.h"

#include <memory>

namespace td {

class AppState;
template <class R> class Table;

class PlaylistLineForm {
public:
    // Insert: a new line of `playlistId`; Change: the line stored at `position`.
    PlaylistLineForm(AppState& state, Request request, qint32 playlistId, qint64 position = 0);
    ~PlaylistLineForm();
    PlaylistLineForm(const PlaylistLineForm&) = delete;
    PlaylistLineForm& operator=(const PlaylistLineForm&) = delete;

    // True when the window is to be shown (message shown otherwise).
    bool open();
    AppState& state() const { return state_; }
    PlaylistDetails& line();
    Request request() const { return request_; }
    Response response() const { return response_; }
    // The song shown for the line (found false: none chosen, or gone).
    const LineSong& song() const { return song_; }
    void chooseSong(qint64 songId);
    // OK: refused (message shown, false) while no song is chosen; otherwise the line is written.
    bool save();
    // A cancelled new line is removed again; the tables are released.
    void close();

private:
    AppState& state_;
    Request request_;
    qint32 playlistId_;
    qint64 position_;
    Response response_ = Response::Cancelled;
    bool primed_ = false;
    bool closed_ = false;
    LineSong song_;
    PlaylistDetails kept_; // the line as it was when the form closed
    std::unique_ptr<Table<PlaylistDetails>> table_;
};

// The text shown when OK finds no song chosen.
QString noSongChosenText();
// The text shown when a song without its song number (imported, not yet numbered by the link test)
// is chosen or dropped: no playlist line can name it.
QString unnumberedSongText();

} // namespace td

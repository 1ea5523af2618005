#pragma once
// The playlist form's logic, without its window: a new playlist stored at once with the next
// number (so that lines can refer to it), a change read fresh, a delete asked and done with the
// playlist's lines, the save on OK with its messages, and the removal of a cancelled new playlist.

#include "common/Request.h"
#include "data/Records.h"

#include <memory>

namespace td {

class AppState;
class Database;
template <class R> class Table;

class PlaylistForm {
public:
    PlaylistForm(AppState& state, Request request, const PlaylistMaster& buffer);
    ~PlaylistForm();
    PlaylistForm(const PlaylistForm&) = delete;
    PlaylistForm& operator=(const PlaylistForm&) = delete;

    // True when the window is to be shown; false when the form is over already (a delete asked
    // and done, a numbering given up, a playlist that cannot be read): response() says how.
    bool open();

    AppState& state() const { return state_; }
    Database& database() const;
    PlaylistMaster& playlist();
    Request request() const { return request_; }
    Response response() const { return response_; }

    enum class Save {
        Closed, // completed: the form closes
        Stay,   // refused or failed (message shown): the form stays on the description
    };
    // OK: a blank description is refused; an unchanged playlist just closes; otherwise the last
    // edit date becomes `day` and the playlist is written.
    Save save(int day);

    // Closing: a cancelled new playlist is removed with the lines given to it meanwhile (one
    // transaction), so that Cancel leaves nothing behind; the tables are released.
    void close();

private:
    AppState& state_;
    PlaylistMaster initial_;
    Request request_;
    Response response_ = Response::Cancelled;
    bool numbered_ = false;
    bool closed_ = false;
    std::unique_ptr<Table<PlaylistMaster>> table_;
    Row opening_;
};

// The text shown when OK finds the description blank.
QString blankDescriptionText();

} // namespace td

#pragma once
// The song form's logic, without its window: opening with the numbering of a new song and the
// delete that never shows the window, the field checks, the album link of "AutoAddToAlbums", the
// saves of an add and a change with their messages and retries, the removal of a numbered song
// when its add is cancelled, and Ditto after a concurrent change.

#include "common/Request.h"
#include "core/SongTime.h"
#include "data/Records.h"
#include "songs/CategoryLookup.h"

#include <QStringList>
#include <memory>
#include <optional>

namespace td {

class AppState;
class Database;
class TableUse;
template <class R> class Table;

// What the "AddMode" setting makes of a request, by its first character.
enum class AddRedirect {
    Form, // go on with the song form
    Compilation, // run the compilation wizard instead
    SingleArtist, // run the single-artist wizard instead
    Ask, // ask with SelectAddType first
};

// Only a plain add is redirected: a change, a delete or an add of a copy always reaches the form
// (a wizard cannot change or copy a song). "A" asks only for a still empty song (title, artist,
// file number and album all blank).
AddRedirect addModeRedirect(const QString& addMode, Request request, const Tunedeck& song);
// The answer of SelectAddType, by its first letter: "C", "S", anything else the form.
AddRedirect addTypeAnswer(const QString& answer);

// The time rule of the song form is songTimeRule in core/SongTime.h, shared with the query wizard.

// The messages for a time or a date that does not read (a clear word instead of a stored guess).
struct Message;
Message invalidTimeMessage(const QString& typed);
Message invalidDateMessage(const QString& typed, const QString& example);

// "Default with Album Information": album title, media and identifier always; artist, file
// number, release date, category and notes where the song has none.
void defaultWithAlbum(Tunedeck& song, const Album& album);

// The album link of "AutoAddToAlbums": a song without album (AlbumID 0) but with an album title is
// linked to the album of that title and artist, which is added when there is none (a failure to
// add is not reported). True when the song was linked.
bool linkSongToAlbum(Database& db, Tunedeck& song);

// The form of one song. Opened from an album's song list (`album` given), the song belongs to that
// album whatever the request: it takes the album's number and title when the form opens, and a new
// song (an add or a copy) takes the album's values wherever it has none, the album's media, and the
// next track number of the album.
class SongForm {
public:
    SongForm(AppState& state, Request request, const Tunedeck& buffer, const Album* album = nullptr);
    ~SongForm();
    SongForm(const SongForm&) = delete;
    SongForm& operator=(const SongForm&) = delete;

    // Opening steps 3 to 7: a copy becomes an add, the tables are opened, a new song is numbered
    // and stored, a delete is asked and done. True when the window is to be shown; false when the
    // form is over already (response() says how).
    bool open();
    // The two drop lists; false (after message 35) when a table cannot be read: the form closes.
    bool fillMediaList();
    bool fillCategoryList();

    AppState& state() const { return state_; }
    Database& database() const;
    Tunedeck& song();
    const Tunedeck& song() const;
    Request request() const { return request_; }
    // The album the form was opened for; nullptr for the plain song form.
    const Album* album() const { return album_ ? &*album_ : nullptr; }
    bool isAdd() const { return request_ == Request::Insert; }
    bool isCopy() const { return copy_; }
    Response response() const { return response_; }
    const QStringList& mediaNames() const { return media_; }
    const QList<CategoryEntry>& categories() const { return categories_; }
    // The name shown for the song's category (blank for none or a missing category).
    QString categoryName() const;

    // Field checks, each with its own message; false keeps the field selected.
    bool checkMedia(); // message 11 when the media is not in the Media file
    bool checkTrackNumber(); // message 10, 0 to 99
    bool checkChartNumber(); // message 10, 0 to 100
    // The category combo accepted with its typed text (the look-up with "Add new category?").
    bool acceptCategory(const QString& typed);

    // "&OK" once the field checks have passed: album link, then the add or change is written.
    enum class Save {
        Closed, // the form closes; response() says completed or cancelled
        Stay, // a failure was reported: the form stays open on its first field
        ShowStored, // changed by another station: the form stays open showing the stored song
    };
    Save save();
    void cancel() { response_ = Response::Cancelled; }

    // Ctrl+': after a concurrent change, brings back every value the user had changed, over the
    // stored song. False when there is nothing to bring back.
    bool ditto();
    bool canDitto() const { return !userValues_.isEmpty(); }

    // Closing: a cancelled add removes the song stored by the numbering; tables are released.
    void close();

private:
    bool prepareNewSong();
    void takeAlbumValues();
    bool loadStoredSong();
    bool changed() const;
    Save saveAdd();
    Save saveChange();
    void settleCategory();
    bool needsAlbumLink() const;

    AppState& state_;
    Tunedeck initial_; // the caller's buffer
    std::optional<Album> album_;
    Request request_;
    bool copy_ = false;
    bool opened_ = false;
    bool closed_ = false;
    bool numbered_ = false;
    Response response_ = Response::Cancelled;
    std::unique_ptr<Table<Tunedeck>> song_;
    std::unique_ptr<TableUse> categoriesUse_, mediaUse_, albumUse_;
    Row opening_; // the song as it was when the form opened (or last stored)
    Row userValues_; // the user's song when another station's change was found
    Row dittoBase_; // what the user had started from at that moment
    QStringList media_;
    QList<CategoryEntry> categories_;
};

} // namespace td

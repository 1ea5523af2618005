#pragma once
// The album form's logic, without its window: opening (a copy's title, the new album stored at once
// with its number, the delete that never shows the window), the media and category lists with their
// accept rules, the saves of an add and a change with their messages and retries, the removal of a
// new album when its add is cancelled, and the history key's recall.

#include "common/Request.h"
#include "data/Records.h"
#include "songs/CategoryLookup.h"

#include <QStringList>
#include <memory>

namespace td {

class AppState;
class Database;
class TableUse;
template <class R> class Table;

// The title of a copied album: its own title, " - Copy", cut to the width of the field.
QString albumCopyTitle(const QString& title);
// The copy's title when that one is taken by an album of the same artist: " - Copy (n)" for the
// n-th copy (2 and up), the title cut so that the number stays.
QString albumCopyTitle(const QString& title, int n);

// The fields the history key fills from the album saved last.
enum class AlbumField {
    Artist,
    Album,
    Media,
    FileNumber,
    ReleaseDate,
    WavFile,
    Image,
    Playlist,
    Xccd,
    CdSerial,
};

class AlbumForm {
public:
    AlbumForm(AppState& state, Request request, const Album& buffer);
    ~AlbumForm();
    AlbumForm(const AlbumForm&) = delete;
    AlbumForm& operator=(const AlbumForm&) = delete;

    // A copy's title, the new album stored with the next number (three tries, then the retry
    // question), a change read fresh, a delete asked and done. True when the window is to be shown;
    // false when the form is over already (response() says how).
    bool open();
    // The two lists; false (message shown) when a table cannot be read: the form closes.
    bool fillMediaList();
    bool fillCategoryList();

    AppState& state() const { return state_; }
    Database& database() const;
    Album& album();
    const Album& album() const;
    Request request() const { return request_; }
    bool isAdd() const { return request_ == Request::Insert; }
    Response response() const { return response_; }
    const QStringList& mediaNames() const { return media_; }
    const QList<CategoryEntry>& categories() const { return categories_; }
    // The name shown for the album's category (blank for none or a missing category).
    QString categoryName() const;

    // A blank name is no category, a listed name its number; any other name is refused with the
    // field-contents message (false: the focus stays on the combo).
    bool acceptCategory(const QString& typed);
    // The media must be one of the list, else the field-contents message.
    bool acceptMedia(const QString& chosen);

    // OK once the fields are accepted: the history copy is taken, then the add or change written.
    enum class Save {
        Closed, // the form closes; response() says completed or cancelled
        Stay, // a failure was reported: the form stays open
        ShowStored, // changed elsewhere: the form stays open showing the stored album
    };
    Save save();
    void cancel() { response_ = Response::Cancelled; }

    // The field takes its value from the album saved last in this run; false when there is none
    // (or its media is not one of the list).
    bool recallHistory(AlbumField field);

    // Closing: a cancelled add removes the album stored at the opening (its songs keep their
    // number); the tables are released.
    void close();

private:
    bool loadStoredAlbum();
    QString freeCopyTitle(const Album& source);
    bool changed() const;
    // The first unique key whose values in the buffer another album holds; empty when none.
    QString keyTakenElsewhere() const;
    Save saveAdd();
    Save saveChange();

    AppState& state_;
    Album initial_;
    Request request_;
    bool closed_ = false;
    bool numbered_ = false;
    Response response_ = Response::Cancelled;
    std::unique_ptr<Table<Album>> album_;
    std::unique_ptr<TableUse> songsUse_, categoriesUse_, mediaUse_;
    Row opening_; // the album with its memos as it was when the form opened (or was last stored)
    QStringList media_;
    QList<CategoryEntry> categories_;
};

} // namespace td

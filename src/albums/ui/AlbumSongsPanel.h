#pragma once
// The "Songs" tab of the album form: the album's songs in track order with their buttons, keys,
// menu, locator by track number, drops from the song list and drags out.

#include "common/Request.h"
#include "data/Records.h"

#include <QWidget>
#include <functional>
#include <memory>

class QMimeData;
class QPushButton;

namespace td {

class AppState;
class BrowseList;
class Database;
class ColumnFormatMemory;
class PagedList;
class PagedTableModel;
template <class R> class Table;

class AlbumSongsPanel : public QWidget {
    Q_OBJECT
public:
    // `album` gives the album as the form holds it at that moment (its controls stored first); the
    // panel reads it whenever it needs the album's number, title, file number, media and defaults.
    AlbumSongsPanel(AppState& state, std::function<Album()> album, QWidget* parent = nullptr);
    ~AlbumSongsPanel() override;

    // Opens the list on the album's songs; false when the list cannot be read (message shown).
    bool open();
    // Reads the list again (after the CD reader wrote the album's songs), the highlight on the
    // song stored at `position` when given.
    void reload(qint64 position = 0);
    // Writes the list's column layout to the form's section (the form calls it on closing).
    void saveLayout();

    BrowseList* list() const { return list_; }
    PagedList& pagedList() const { return *paged_; }

    // The buttons' actions (the keys, the menu and tests come here too). The song form and the
    // picker block the album form's window while they are open.
    void addSong();
    void copySong();
    void changeSong();
    void deleteSong();
    void selectExistingSongs();
    void editAllSongs();
    // Songs dragged from a song list: true when the data is a song list's (the drop is taken);
    // then the songs are put on the album (see dropSongsOnAlbum) and the list read again.
    bool dropSongs(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildPanel();
    Database& db() const;
    void callForm(Request request);
    void formAnswered(Request request, Response r, const Tunedeck& stored);
    // The song form on each song in turn while the user closes it with OK.
    void editFrom(std::shared_ptr<const QList<qint64>> positions, int index);
    void pickSong();
    bool highlightedSong(Tunedeck* song) const;
    qint64 positionOfSong(qint32 id) const;
    void locateTrack(const QString& text);
    void showMenu(const QPoint& at);
    void updateButtons();
    void readFailed();
    QWidget* caller();

    AppState& state_;
    std::function<Album()> album_;
    std::unique_ptr<Table<Tunedeck>> songs_;
    std::unique_ptr<PagedList> paged_;
    std::unique_ptr<PagedTableModel> model_;
    std::unique_ptr<ColumnFormatMemory> columns_;
    BrowseList* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* selectExisting_ = nullptr;
    QPushButton* editAll_ = nullptr;
    bool opened_ = false;
};

} // namespace td

#pragma once
// The playlist form: the description, the lines in order with their moves, adds, changes,
// deletes and drops from the song list, the total time, the notes and the last edit date.
// UpdatePlaylist() is the entry the playlist list calls; the form blocks only its caller.

#include "common/Request.h"
#include "data/Records.h"
#include "playlists/PlaylistLines.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QMimeData;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace td {

class AppState;
class BrowseList;
class ColumnFormatMemory;
class PagedList;
class PagedTableModel;
class PlaylistForm;
template <class R> class Table;

// Completed or cancelled, and after a completed add or change the stored playlist.
using PlaylistAnswer = std::function<void(Response, const PlaylistMaster& stored)>;

// Opens the form for `caller` and returns at once. A delete is asked, done and answered before the
// call returns.
void UpdatePlaylist(AppState& state, Request request, const PlaylistMaster& playlist, QWidget* caller,
                    PlaylistAnswer answered);

class UpdatePlaylistDialog : public QDialog {
    Q_OBJECT
public:
    explicit UpdatePlaylistDialog(std::unique_ptr<PlaylistForm> form, QWidget* parent = nullptr);
    ~UpdatePlaylistDialog() override;

    PlaylistForm& form() const { return *form_; }
    BrowseList* lineList() const { return list_; }
    PagedList& pagedList() const { return *paged_; }
    QString totalTimeText() const;

    // False (message shown) when the lines cannot be read: the form closes.
    bool load();

    // The buttons' actions (keys, menu and tests come here too).
    void addLine();
    void changeLine();
    void deleteLine();
    void move(LineMove how);
    void chart();
    // Songs dragged from a song list: true when the data is a song list's; they are appended.
    bool dropSongs(const QMimeData* data);

protected:
    void done(int r) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QWidget* buildListTab();
    QWidget* buildNotesTab();
    qint32 playlistId() const;
    qint64 highlightedSeq() const;
    qint64 positionOfSeq(qint64 seq) const;
    // Reads the list again with the highlight on `position` (0: kept) and the total time.
    bool reload(qint64 position = 0);
    void updateButtons();
    const LineSong& songOf(qint64 id) const;
    void okPressed();

    std::unique_ptr<PlaylistForm> form_;
    std::unique_ptr<Table<PlaylistDetails>> lines_;
    std::unique_ptr<PagedList> paged_;
    std::unique_ptr<PagedTableModel> model_;
    std::unique_ptr<ColumnFormatMemory> columns_;
    mutable QHash<qint64, LineSong> songs_; // the songs of the lines shown, read once per reading
    bool positioned_ = false;
    bool finished_ = false;

    QTabWidget* tabs_ = nullptr;
    QLineEdit* description_ = nullptr;
    BrowseList* list_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* top_ = nullptr;
    QToolButton* down_ = nullptr;
    QToolButton* bottom_ = nullptr;
    QPushButton* chart_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
    QLabel* total_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
    QLabel* lastEdit_ = nullptr;
};

} // namespace td

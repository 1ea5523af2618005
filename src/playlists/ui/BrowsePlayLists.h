#pragma once
// The playlist list ("Playlists"): every playlist by description, with the buttons that add,
// change and delete playlists through the playlist form, print them, export one as an M3U list,
// and the pop-up menu that also starts the playlist generator. Each opening is an independent
// child window; the forms it opens block only it and close with it.

#include "common/Request.h"
#include "data/Records.h"

#include <QWidget>
#include <memory>

class QPushButton;
class QTabBar;

namespace td {

class AppState;
class BrowseList;
class ColumnFormatMemory;
class PagedList;
class PagedTableModel;
template <class R> class Table;

// The entry of the frame's "&Play Lists" and the tool bar's "Playlists"; nullptr when the first
// read fails (message shown).
QWidget* createBrowsePlayLists(AppState& state);

class BrowsePlayListsWindow : public QWidget {
    Q_OBJECT
public:
    explicit BrowsePlayListsWindow(AppState& state, QWidget* parent = nullptr);
    ~BrowsePlayListsWindow() override;

    BrowseList* list() const { return list_; }
    PagedList& pagedList() const { return *paged_; }
    bool isReadable() const { return readable_; }

    void addPlaylist();
    void changePlaylist();
    void deletePlaylist();
    void printPlaylist();
    void printTop40();
    void generatePlaylist();
    // Asks for a file and writes the highlighted playlist to it as an M3U list.
    void exportM3u();
    // Writes the highlighted playlist to `path`; false (message shown) when it cannot.
    bool exportM3uTo(const QString& path);

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildWindow();
    void callForm(Request request);
    bool highlighted(PlaylistMaster* playlist) const;
    void rebuild(qint64 position = 0);
    void updateButtons();
    void showMenu(const QPoint& at);

    AppState& state_;
    std::unique_ptr<Table<PlaylistMaster>> table_;
    std::unique_ptr<PagedList> paged_;
    std::unique_ptr<PagedTableModel> model_;
    std::unique_ptr<ColumnFormatMemory> columns_;
    bool readable_ = true;
    bool opened_ = false;
    bool positioned_ = false;
    bool finished_ = false;

    QTabBar* tabs_ = nullptr;
    BrowseList* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* top40_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* close_ = nullptr;
};

} // namespace td

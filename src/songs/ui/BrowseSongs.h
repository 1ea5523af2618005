#pragma once
// The song list (BrowseSongs): eight tabs of sort orders, two of them limited to one media or one
// category, a search built with the query wizard, a locator per order, and the buttons that add,
// copy, change and delete songs through the song form. Each opening is an independent child window;
// the forms, pickers and the wizard it opens block only it (common/ui/FormHost.h) and close with it.

#include "common/Request.h"
#include "data/Records.h"
#include "setup/QueryWizardExpr.h"
#include "setup/QueryWizardFields.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTabBar;

namespace td {

class AppState;
class BrowseList;
class PagedTableModel;
class SongBrowser;
class ColumnFormatMemory;

// The entry point of the frame's "&Songs" and the tool bar's "Songs"; nullptr when the first read
// fails (message shown).
QWidget* createBrowseSongs(AppState& state);

inline constexpr const char* kSongIdMimeType = "application/x-tunedeck-song-id";

class BrowseSongsWindow : public QWidget {
    Q_OBJECT
public:
    explicit BrowseSongsWindow(AppState& state, QWidget* parent = nullptr);
    ~BrowseSongsWindow() override;

    SongBrowser& browser() const { return *browser_; }
    BrowseList* list() const { return list_; }
    QTabBar* tabs() const { return tabs_; }
    QString locatorDisplay() const;

    // The highlighted song, read afresh; false when the list is empty.
    bool highlightedSong(Tunedeck* song) const;

    // The buttons' actions (the keys, the popup menu and tests come here too).
    void addSong();
    void copySong();
    void changeSong();
    void deleteSong();
    void searchSongs();
    void resetSearch();
    void selectMedia();
    void selectCategory();
    void importSongs();
    void exportSongs();
    void printSongs();

    // False when the first read failed (message 35 shown): the window is not to be shown.
    bool isReadable() const { return !closing_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void buildWindow();
    void tabChosen(int index);
    // Reads the list again for the current order, range and search, the highlight kept on the
    // song it was on (or put on `position` when given).
    void rebuild(qint64 position = 0, bool fromTop = false);
    void readFailed(int code);
    void callForm(Request request);
    void formAnswered(Request request, Response r, const Tunedeck& stored);
    void showChosenRange();
    void updateButtons();
    void showMenu(const QPoint& at);
    void finish();

    AppState& state_;
    std::unique_ptr<SongBrowser> browser_;
    std::unique_ptr<PagedTableModel> model_;
    std::unique_ptr<ColumnFormatMemory> columns_;
    QueryFieldList queryFields_;
    QList<QueryCondition> typedSearch_; // the search as the user typed it, shown so when reopened
    bool searchAvailable_ = false;
    bool closing_ = false;
    bool positioned_ = false;

    QTabBar* tabs_ = nullptr;
    BrowseList* list_ = nullptr;
    QLabel* locator_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* search_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPushButton* import_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* selectMedia_ = nullptr;
    QPushButton* selectCategory_ = nullptr;
    QLabel* chosenRange_ = nullptr;
};

} // namespace td

#pragma once
// The album list (BrowseAlbums): five tabs of sort orders, two of them limited to the category each
// remembers, a locator, and the buttons that add, copy, change and delete albums through the album
// form, start the two add-album wizards, the one-album report, the label wizard and the CD flap
// print. Each opening is an independent child window; the forms, pickers and wizards it opens block
// only it (common/ui/FormHost.h) and close with it.

#include "albums/ui/UpdateAlbums.h"
#include "common/Request.h"
#include "data/Records.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTabBar;

namespace td {

class AppState;
class AlbumBrowser;
class BrowseList;
class ColumnFormatMemory;
class PagedTableModel;

// The entry point of the frame's "&Albums" and the tool bar's "Albums"; nullptr when the first read
// fails (message shown).
QWidget* createBrowseAlbums(AppState& state);

class BrowseAlbumsWindow : public QWidget {
    Q_OBJECT
public:
    explicit BrowseAlbumsWindow(AppState& state, QWidget* parent = nullptr);
    ~BrowseAlbumsWindow() override;

    AlbumBrowser& browser() const { return *browser_; }
    BrowseList* list() const { return list_; }
    QTabBar* tabs() const { return tabs_; }
    QString locatorDisplay() const;

    // How the album form is opened (UpdateAlbums unless replaced, as tests do to see what it is
    // handed and to answer for it).
    using AlbumFormCall = std::function<void(AppState&, Request, const Album&, QWidget* caller, AlbumAnswer)>;
    void setAlbumForm(AlbumFormCall call) { albumForm_ = std::move(call); }

    // The buttons' actions (the keys and the popup menu come here too).
    void addAlbum();
    void copyAlbum();
    void changeAlbum();
    void deleteAlbum();
    void printAlbum();
    void singleArtistWizard();
    void compilationWizard();
    void createLabel();
    void quickCdInsert();
    void selectCategory();

    // False when the first read failed (message shown): the window is not to be shown.
    bool isReadable() const { return readable_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void buildWindow();
    void tabChosen(int index);
    // Reads the list again for the current order and range: on the album stored at `position`
    // when given, else from the top when asked, else with the highlight kept.
    void rebuild(qint64 position = 0, bool fromTop = false);
    void readFailed(int code);
    void callForm(Request request);
    void formAnswered(Request request, Response r, const Album& stored);
    void wizardAnswered();
    void showChosenCategory();
    void updateButtons();
    void showMenu(const QPoint& at);
    void finish();

    AppState& state_;
    std::unique_ptr<AlbumBrowser> browser_;
    std::unique_ptr<PagedTableModel> model_;
    std::unique_ptr<ColumnFormatMemory> columns_;
    AlbumFormCall albumForm_;
    bool readable_ = true;
    bool opened_ = false;       // the first read is done
    bool positioned_ = false;
    bool finished_ = false;

    QTabBar* tabs_ = nullptr;
    BrowseList* list_ = nullptr;
    QLabel* locator_ = nullptr;
    QLabel* chosenCategory_ = nullptr;
    QPushButton* selectCategory_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* singleArtist_ = nullptr;
    QPushButton* compilation_ = nullptr;
};

} // namespace td

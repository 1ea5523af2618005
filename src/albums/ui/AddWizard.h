#pragma once
// The two add-album wizards: an album by a single artist, and a compilation. One window serves
// both: the album's common values on "General", its tracks (kept as AddWizard rows under the
// wizard's instance number until OK) on "Songs".

#include "common/Request.h"
#include "data/Records.h"
#include "songs/CategoryLookup.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace td {

class AppState;
class AddWizardTracks;
class BrowseList;
class PagedList;
class PagedTableModel;
class TableHandle;
class TableUse;
enum class TrackMove;

// Each opens its wizard for `caller` and returns at once; `answered` runs when the wizard closes
// (completed after OK, cancelled otherwise), unless the caller closed first.
void AddSingleArtist(AppState& state, QWidget* caller, std::function<void(Response)> answered);
void AddCompilation(AppState& state, QWidget* caller, std::function<void(Response)> answered);

class AddWizardDialog : public QDialog {
    Q_OBJECT
public:
    AddWizardDialog(AppState& state, bool compilation, QWidget* parent = nullptr);
    ~AddWizardDialog() override;

    // Claims the instance number, takes the first song number and loads the lists. False when the
    // wizard cannot open (its message has been shown).
    bool prepare();

    bool isCompilation() const { return compilation_; }
    qint64 instance() const { return instance_; }
    QString cdIdentifier() const { return cdIdentifier_; }
    QString procedure() const;
    Response response() const { return response_; }
    BrowseList* trackList() const { return list_; }

    // The track operations, as the buttons, keys and menu run them.
    void addTrack();
    void changeTrack();
    void deleteTrack();
    void moveTrack(TrackMove direction);
    void readCompactDisc();
    void editAllSongs();

    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void buildGeneralTab();
    void buildSongsTab();
    QPushButton* button(const QString& text, const QString& name);
    void reload(qint64 position = 0);
    void updateButtons();
    void popup(const QPoint& at);
    void openTrackForm(Request request, qint64 position, std::function<void(bool saved)> then);
    void editFrom(QList<qint64> positions, int index);
    bool acceptDate();
    bool acceptMedia();
    bool acceptCategory();
    void storeHeader();
    void okPressed();
    void finish();
    void select(QWidget* w);

    AppState& state_;
    bool compilation_;
    qint64 instance_ = 0;
    bool claimed_ = false;
    bool tookSetting_ = false;      // AutoAddToAlbums set for the window's life
    bool finished_ = false;
    bool positioned_ = false;
    bool busy_ = false;
    Response response_ = Response::Cancelled;
    Tunedeck song_;                 // the header values
    qint32 firstSongId_ = 0;
    QString cdIdentifier_;
    QString datePicture_;
    QString acceptedCategory_;
    AddWizard lastSaved_;
    QList<CategoryEntry> categories_;
    QStringList media_;

    std::unique_ptr<TableUse> useSongs_, useAlbums_, useCategories_, useMedia_;
    std::unique_ptr<AddWizardTracks> tracks_;
    std::unique_ptr<TableHandle> listTable_;
    std::unique_ptr<PagedList> paged_;
    std::unique_ptr<PagedTableModel> model_;

    QTabWidget* tabs_ = nullptr;
    QLineEdit* artist_ = nullptr;
    QLineEdit* album_ = nullptr;
    QLineEdit* releaseDate_ = nullptr;
    QLineEdit* fileNumber_ = nullptr;
    QComboBox* category_ = nullptr;
    QComboBox* mediaBox_ = nullptr;
    QWidget* songsPage_ = nullptr;
    QHBoxLayout* listRow_ = nullptr;  // the move buttons, with the list put before them
    BrowseList* list_ = nullptr;
    QToolButton* moves_[4] = {};
    QPushButton* add_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* readCd_ = nullptr;
    QPushButton* editAll_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QCheckBox* addToAlbums_ = nullptr;
};

} // namespace td

#pragma once
// The album form: one album added, changed, copied or deleted, with its songs. UpdateAlbums() is
// the entry point the album lists call; UpdateAlbumsDialog is the window itself (tests reach its
// controls by object name). The form blocks only its caller (common/ui/FormHost.h).

#include "common/Request.h"
#include "data/Records.h"

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace td {

class AlbumForm;
class AlbumImageView;
class AlbumSongsPanel;
class AppState;

// Completed or cancelled, and after a completed add or change the stored album.
using AlbumAnswer = std::function<void(Response, const Album& stored)>;

// Opens the form for `caller` (blocked while it is open) and returns at once; `answered` runs when
// the form closes, unless the caller closed first. Request::Insert with a stored album (a non-zero
// number) or a non-blank album title adds a copy of `album`; a delete is asked, done and answered
// before the call returns.
void UpdateAlbums(AppState& state, Request request, const Album& album, QWidget* caller, AlbumAnswer answered);

// The history key for the album form used last (the frame's tool bar button): its focused field
// takes the value of the album saved last. Nothing happens when no album form is open.
void recallAlbumHistory();

class UpdateAlbumsDialog : public QDialog {
    Q_OBJECT
public:
    // The window takes the form: closing it in any way runs the form's Cancel path (a new album is
    // removed) unless it completed, and releases the form's tables.
    explicit UpdateAlbumsDialog(std::unique_ptr<AlbumForm> form, QWidget* parent = nullptr);
    ~UpdateAlbumsDialog() override;

    AlbumForm& form() const { return form_; }
    QTabWidget* tabs() const { return tabs_; }
    // The song list; nullptr once the form has closed.
    AlbumSongsPanel* songsPanel() const { return songs_; }

    // Fills the drop lists, shows the album and opens its song list; false (message shown) when a
    // list cannot be read.
    bool load();
    // The controls show the album buffer as it is.
    void showRecord();

public slots:
    // The history key: the focused field takes its value from the album saved last.
    void recallHistory();

protected:
    void done(int r) override;
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;

private:
    void buildGeneralTab();
    void buildSongsTab();
    void buildNotesTab();
    void buildFilesTab();
    void buildPlaylistTab();
    void buildCompactDiscTab();
    void buildOtherTab();
    QLineEdit* textEntry(const char* field, const char* name);
    QPlainTextEdit* memoEntry(const char* field, const char* name);

    bool acceptDate();
    bool acceptMedia();
    bool acceptCategory();
    // Copies the plain controls into the buffer (date and category go through their accepts).
    void storePlainControls();
    bool runFieldChecks();
    void select(QWidget* w);
    bool leavingForCancel() const;

    void okPressed();
    void playPressed();
    void chooseImagePressed();
    void loadFromCdPressed();
    void readIdentifierPressed();
    void showOtherDiscIds();

    std::unique_ptr<AlbumForm> owned_;
    AlbumForm& form_;
    bool positioned_ = false;
    bool finished_ = false;
    bool checking_ = false;
    QString datePicture_;
    QString acceptedCategory_;
    QString freedbId_;
    QTabWidget* tabs_ = nullptr;
    QLineEdit* artist_ = nullptr;
    QLineEdit* album_ = nullptr;
    QComboBox* media_ = nullptr;
    QComboBox* category_ = nullptr;
    QLineEdit* fileNumber_ = nullptr;
    QLineEdit* releaseDate_ = nullptr;
    AlbumSongsPanel* songs_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
    QLineEdit* wavFile_ = nullptr;
    QToolButton* play_ = nullptr;
    QLineEdit* image_ = nullptr;
    AlbumImageView* imageView_ = nullptr;
    QLineEdit* playlist_ = nullptr;
    QLineEdit* xccd_ = nullptr;
    QLineEdit* cdSerial_ = nullptr;
    QLabel* discIds_ = nullptr;
    QPushButton* useFreedb_ = nullptr;
    QPlainTextEdit* recording_ = nullptr;
    QPlainTextEdit* performance_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace td

#pragma once
// The song form: one song added, changed, copied or deleted. UpdateSong() is the entry point the
// song lists call; UpdateSongDialog is the window itself (tests reach its controls by object name).
// The form blocks only its caller (common/ui/FormHost.h): several may be open at once, each saving
// through the record services, which catch a song changed by another copy since it was read.

#include "common/Request.h"
#include "data/Records.h"

#include <QDialog>
#include <functional>
#include <memory>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace td {

class AppState;
class SongForm;

// Completed or cancelled, and after a completed add or change the stored song.
using SongAnswer = std::function<void(Response, const Tunedeck& stored)>;

// Opens the form for `caller` for a request (Request::Select adds a copy of `song`) and returns at
// once; `answered` runs when the form closes, unless the caller closed first. A delete shows no
// form: it is asked, done and answered before UpdateSong returns. "AddMode" may ask "Select Add
// Mode" first, or hand the add to one of the add-album wizards.
void UpdateSong(AppState& state, Request request, const Tunedeck& song, QWidget* caller, SongAnswer answered);

// The same form opened from an album's song list: the song belongs to `album` (see SongForm), its
// window is "UpdateSongsForAlbum" with a place of its own, and an add goes to the form whatever
// "AddMode" says (a wizard would make another album). Completed means the form was closed with OK.
void UpdateSongsForAlbum(AppState& state, Request request, const Tunedeck& song, const Album& album,
    QWidget* caller, SongAnswer answered);

class UpdateSongDialog : public QDialog {
    Q_OBJECT
public:
    // The window takes the form: closing it in any way runs the form's Cancel path (a numbered new
    // song is removed) unless it completed, and releases the form's tables.
    explicit UpdateSongDialog(std::unique_ptr<SongForm> form, QWidget* parent = nullptr);
    ~UpdateSongDialog() override;

    SongForm& form() const { return form_; }

    // Fills the drop lists and shows the song; false (message shown) when a list cannot be read.
    bool load();
    // The controls show the song buffer as it is.
    void showRecord();

    QTabWidget* tabs() const { return tabs_; }

protected:
    void done(int r) override;
    void showEvent(QShowEvent* e) override;

private:
    void buildGeneralTab();
    void buildCustomTab();
    void buildRecordingTab();
    void buildNotesTab();
    QLineEdit* textEntry(const QString& field, const QString& name);
    QPlainTextEdit* memoEntry(const QString& field, const QString& name);
    void fillMediaCombo();
    void fillCategoryCombo();

    // Field accepts: each runs the field's own check and reports; false keeps the field selected.
    bool acceptTime();
    bool acceptDate();
    bool acceptMedia();
    bool acceptCategory();
    bool acceptTrack();
    bool acceptChart();
    // Copies the plain controls into the buffer (the checked ones go through their accepts).
    void storePlainControls();
    bool runFieldChecks();
    void select(QWidget* w);
    bool leavingForCancel() const;

    void okPressed();
    void dittoPressed();
    void albumDefaultsPressed();

    std::unique_ptr<SongForm> owned_;
    SongForm& form_;
    QString section_; // the window's name and its POSITION.INI section
    bool positioned_ = false;
    bool finished_ = false;
    QString datePicture_;
    QTabWidget* tabs_ = nullptr;
    QLineEdit* artist_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* album_ = nullptr;
    QComboBox* media_ = nullptr;
    QLineEdit* time_ = nullptr;
    QLineEdit* fileNumber_ = nullptr;
    QLineEdit* releaseDate_ = nullptr;
    QComboBox* category_ = nullptr;
    QSpinBox* track_ = nullptr;
    QButtonGroup* side_ = nullptr;
    QSpinBox* chart_ = nullptr;
    QLabel* udkPrompt_ = nullptr;
    QLineEdit* udk_ = nullptr;
    QSpinBox* bpm_ = nullptr;
    QLineEdit* style_ = nullptr;
    QLineEdit* info_[3] = {};
    QPlainTextEdit* recording_ = nullptr;
    QLineEdit* composer_ = nullptr;
    QPlainTextEdit* performance_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* albumDefaults_ = nullptr;
    QString acceptedCategory_; // the combo text last accepted (not asked again)
    bool checking_ = false; // a field check is showing its message
};

} // namespace td

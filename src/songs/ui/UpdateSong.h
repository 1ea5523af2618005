#pragma once
// The song form: one song added, changed, copied or deleted. UpdateSong() is the entry point the
// song lists call; UpdateSongDialog is the window itself (tests reach its controls by object name).

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

// Opens the form for a request (Request::Select adds a copy of the song in `buffer`) and returns
// completed or cancelled. After a completed add or change `buffer` holds the stored song.
Response UpdateSong(AppState& state, Request request, Tunedeck& buffer, QWidget* parent);

// Windows of later parts that the song form starts. Until one is set the form does without it:
// "AddMode" goes on with the form, and "Default with Album Information" stays disabled.
struct SongFormHooks {
    std::function<Response(AppState&, QWidget*)> addCompilation;
    std::function<Response(AppState&, QWidget*)> addSingleArtist;
    // The album picker: true with the chosen album, false when none was chosen.
    std::function<bool(AppState&, QWidget*, Album*)> selectAlbum;
};
SongFormHooks& songFormHooks();

class UpdateSongDialog : public QDialog {
    Q_OBJECT
public:
    UpdateSongDialog(SongForm& form, QWidget* parent = nullptr);
    ~UpdateSongDialog() override;

    // Fills the drop lists and shows the song; false (message shown) when a list cannot be read.
    bool load();
    // The controls show the song buffer as it is.
    void showRecord();

    QTabWidget* tabs() const { return tabs_; }

protected:
    void done(int r) override;

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

    SongForm& form_;
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

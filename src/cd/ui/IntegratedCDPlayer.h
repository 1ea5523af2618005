#pragma once
// The integrated CD player window: plays the disc in the drive through a cdaudio client of its own,
// recognises the disc as an album of the catalogue and lists that album's songs, keeping the row of
// the track now playing selected; an unknown disc can be added through the add-album wizards. Each
// opening is an independent window; several players may be open, each with its own client.

#include <QWidget>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace td {

class AppState;
class CdAudioClient;
class CdPlayer;
class ExplorerListView;

// The entry of the frame's "&CD Player" and the tool bar's "Play CD": the window, shown by the
// caller, or nullptr when the drive cannot be opened (its message has been shown).
QWidget* createIntegratedCDPlayer(AppState& state);

// The list's designed format (the date picture is replaced by the "DateFormat" setting when the
// window opens).
QString cdPlayerListDesignedFormat();

class IntegratedCDPlayerWindow : public QWidget {
    Q_OBJECT
public:
    explicit IntegratedCDPlayerWindow(AppState& state, QWidget* parent = nullptr);
    ~IntegratedCDPlayerWindow() override;

    // False when the device could not be opened (message shown): the window is not to be shown.
    bool isOpen() const { return opened_; }

    CdPlayer& player() const { return *player_; }
    ExplorerListView* list() const { return list_; }
    QTimer* timer() const { return timer_; }

    // One timer event: polls (when CDTimer allows) and shows what it found.
    void tick();
    // Shows the player's state in the labels, the progress bar and the title.
    void display();
    // Shows the album's songs from the first row when the album changed; else reads the page
    // again, the selected song kept selected (asked with `force` or not: the page is always read
    // afresh).
    void refreshList(bool force = false);

    // The buttons.
    // The list's accepted row (double click, Enter): its track plays.
    void playSelected();
    void editSong();
    void editAlbum();
    void setup();
    void locateAt(int x);
    // "Format &BrowseBox": the reformat window on the list.
    void formatList();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void build();
    void offerAdd();
    void selectTrack(int track);
    void typedTrack(QChar c);
    // The song of the album with the track number (the nearest after it, else the album's last)
    // highlighted wherever the order shown puts it.
    void showTrack(int track);
    void runAfterRead(void (CdPlayer::*action)());
    void finish();

    AppState& state_;
    std::unique_ptr<CdAudioClient> client_;
    std::unique_ptr<CdPlayer> player_;
    bool opened_ = false;
    bool finished_ = false;
    bool asking_ = false; // the add question is open
    bool positioned_ = false;
    qint32 listAlbumId_ = -1;

    ExplorerListView* list_ = nullptr;
    QTimer* timer_ = nullptr;
    QLabel* track_ = nullptr;
    QLabel* trackPosition_ = nullptr;
    QLabel* cdPosition_ = nullptr;
    QLabel* trackCount_ = nullptr;
    QLabel* trackLength_ = nullptr;
    QLabel* cdLength_ = nullptr;
    QLabel* mode_ = nullptr;
    QLabel* device_ = nullptr;
    QLabel* event_ = nullptr;
    QLabel* performance_ = nullptr;
    QLabel* notice_ = nullptr; // what the drive says once about play, such as playing silently
    QProgressBar* progress_ = nullptr;
    QPushButton* editSong_ = nullptr;
    QPushButton* editAlbum_ = nullptr;
    QPushButton* format_ = nullptr;
};

} // namespace td

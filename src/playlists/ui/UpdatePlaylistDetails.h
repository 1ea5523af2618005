#pragma once
// The line form: the song of one playlist line (chosen with the song picker) and its notes.

#include "common/Request.h"
#include "data/Records.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;

namespace td {

class AppState;
class PlaylistLineForm;

// Completed or cancelled, and the line as stored (an added line stands at the end of the playlist).
using PlaylistLineAnswer = std::function<void(Response, const PlaylistDetails& stored)>;

// Insert adds a line to `playlistId`; Change works on the line stored at `position`. Opens the
// form for `caller` and returns at once.
void UpdatePlaylistDetails(AppState& state, Request request, qint32 playlistId, qint64 position, QWidget* caller,
                           PlaylistLineAnswer answered);

class UpdatePlaylistDetailsDialog : public QDialog {
    Q_OBJECT
public:
    explicit UpdatePlaylistDetailsDialog(std::unique_ptr<PlaylistLineForm> form, QWidget* parent = nullptr);
    ~UpdatePlaylistDetailsDialog() override;
    PlaylistLineForm& form() const { return *form_; }
    void selectSong();

protected:
    void done(int r) override;
    void showEvent(QShowEvent* e) override;

private:
    void showSong();
    void okPressed();

    std::unique_ptr<PlaylistLineForm> form_;
    QLineEdit* artist_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* notes_ = nullptr;
    bool positioned_ = false;
    bool finished_ = false;
};

} // namespace td

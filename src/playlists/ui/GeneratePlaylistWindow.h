#pragma once
// The window of GeneratePlaylist (ui/GeneratePlaylist.h): size, release-date bounds, category and
// weighting; "&Ok" generates and closes.

#include "playlists/PlaylistGenerator.h"

#include <QDialog>
#include <QList>
#include <memory>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace td {

class AppState;

class GeneratePlaylistWindow : public QDialog {
    Q_OBJECT
public:
    explicit GeneratePlaylistWindow(AppState& state, QWidget* parent = nullptr);
    ~GeneratePlaylistWindow() override;

    // The draws' source (tests give a seeded one).
    void setRandom(std::unique_ptr<RandomSource> random) { random_ = std::move(random); }
    const GenerateResult& result() const { return result_; }

public slots:
    void okPressed();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void fillCategories();
    bool readDate(QLineEdit* entry, qint32* value);

    AppState& state_;
    std::unique_ptr<RandomSource> random_;
    QString datePicture_;
    QSpinBox* size_ = nullptr;
    QLineEdit* start_ = nullptr;
    QLineEdit* end_ = nullptr;
    QComboBox* category_ = nullptr;
    QButtonGroup* weighting_ = nullptr;
    GenerateResult result_;
    bool generated_ = false;
    bool positioned_ = false;
};

} // namespace td

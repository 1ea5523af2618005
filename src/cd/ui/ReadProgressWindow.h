#pragma once
// The progress window of the CD reader: caption "Reading CD", a bar that fills over 20 steps, a
// status line ("Serial Number", then "Track 3 of 12") and a second line left empty. It blocks only
// its caller (common/ui/FormHost.h), from the read's start to its end. The read itself runs to its
// end in one go: other windows are repainted and their timers run between tracks, their input
// waits the few moments until the read is over.

#include "cd/ReadProgress.h"
#include "data/Records.h"

#include <QDialog>

class QLabel;
class QProgressBar;

namespace td {

class CdAudioDevice;
class Database;

class ReadProgressWindow : public QDialog, public ReadProgress {
    Q_OBJECT
public:
    // Without a caller the window shows on its own (and the creator keeps it).
    explicit ReadProgressWindow(QWidget* caller = nullptr);
    // Shown for its caller: it then belongs to FormHost, which deletes it after it finishes.
    bool isHosted() const { return hosted_; }

    void start(const QString& caption, const QString& status) override;
    void setStatus(const QString& text) override;
    void setPercent(int percent) override;
    void yield() override;
    void finish() override;

    QString statusText() const;
    QString detailText() const;
    int percent() const;
    bool isBarVisible() const;

private:
    QProgressBar* bar_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* detail_ = nullptr;
    QWidget* caller_ = nullptr;
    bool hosted_ = false;
};

// ReadCompactDisc with its progress window, for the album form and the add-album wizards.
bool readCompactDiscWithProgress(CdAudioDevice& device, Database& db, Album& album, bool identifierOnly,
    bool wizard, qint64 instance = 0, QWidget* caller = nullptr);

} // namespace td

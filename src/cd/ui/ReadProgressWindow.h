#pragma once
// The progress window of the CD reader: caption "Reading CD", a bar that fills over 20 steps, a
// status line ("Serial Number", then "Track 3 of 12") and a second line left empty. The reader runs
// to its end while the window is up; other windows are repainted between tracks but take no input.

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
    explicit ReadProgressWindow(QWidget* parent = nullptr);

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
};

// ReadCompactDisc with its progress window, for the album form and the add-album wizards.
bool readCompactDiscWithProgress(CdAudioDevice& device, Database& db, Album& album, bool identifierOnly,
    bool wizard, qint64 instance = 0, QWidget* parent = nullptr);

} // namespace td

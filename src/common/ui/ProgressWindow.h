#pragma once
// The progress window of every batch run: caption, a status line with the percentage followed by
// "% Completed", a line naming the task, and Cancel. A timer drives the run slice by slice; at the
// end the status reads "Process Completed" and the window closes.

#include "common/BatchRun.h"

#include <QDialog>
#include <QTimer>
#include <memory>

class QLabel;
class QPushButton;

namespace td {

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // The window owns the run when it is given as a unique_ptr.
    explicit ProgressWindow(BatchRun& run, QWidget* parent = nullptr);
    ProgressWindow(std::unique_ptr<BatchRun> run, QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Runs modally; returns when the run has ended. False when there was nothing to do.
    static bool runModal(BatchRun& run, QWidget* parent = nullptr);
    // Starts a run in a window of its own while the rest of the program stays usable. The window
    // deletes itself (and the run) when it closes. Returns nullptr when there was nothing to do.
    static ProgressWindow* startModeless(std::unique_ptr<BatchRun> run, QWidget* parent = nullptr);

    QString statusText() const;
    QString taskText() const;
    bool isFinished() const { return finished_; }

    // Milliseconds between slices.
    static constexpr int kTickMs = 0;
    // How long "Process Completed" stays visible.
    static constexpr int kCompletedMs = 400;

signals:
    void runFinished();

protected:
    void reject() override;   // Esc and the close box act as Cancel

private:
    void setUp();
    void tick();
    void end();

    std::unique_ptr<BatchRun> owned_;
    BatchRun* run_;
    QLabel* status_ = nullptr;
    QLabel* task_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTimer timer_;
    int shownPercent_ = -1;
    bool finished_ = false;
};

} // namespace td

#pragma once
// The progress window of every batch run: caption, a status line with the percentage followed by
// "% Completed", a line naming the task, and Cancel. A timer drives the run slice by slice; at the
// end the status reads "Process Completed" and the window closes.
//
// The window blocks only its caller: the caller is disabled while the run goes on and is told of
// the end through a callback; the rest of the program stays usable. A slice runs to its end (and a
// message it shows is answered) before the next one starts.

#include "common/BatchRun.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace td {

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // Called once when the run has ended (run to its end, stopped by an error, or cancelled).
    using Done = std::function<void()>;

    ~ProgressWindow() override;

    // Starts the run in a window of its own. The caller (may be null) is disabled until the run
    // ends, and a caller that closes cancels the run. The window deletes itself, and its share of
    // the run, when it closes. Returns nullptr, and calls nothing, when there is nothing to do.
    static ProgressWindow* start(std::shared_ptr<BatchRun> run, QWidget* caller, Done done = {});

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
    void reject() override; // Esc and the close box act as Cancel
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    ProgressWindow(std::shared_ptr<BatchRun> run, QWidget* caller, Done done);
    void tick();
    void end();

    std::shared_ptr<BatchRun> run_;
    QPointer<QWidget> caller_;
    Done done_;
    QLabel* status_ = nullptr;
    QLabel* task_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTimer timer_;
    int shownPercent_ = -1;
    bool hasCaller_ = false;
    bool inSlice_ = false;
    bool finished_ = false;
};

} // namespace td

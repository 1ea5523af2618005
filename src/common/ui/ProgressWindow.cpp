#include "common/ui/ProgressWindow.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

namespace td {

ProgressWindow::ProgressWindow(std::shared_ptr<BatchRun> run, QWidget* caller, Done done)
    // No parent: a window inside a disabled caller would be disabled with it.
    : QDialog(nullptr)
    , run_(std::move(run))
    , caller_(caller)
    , done_(std::move(done))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(run_->caption());
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(BatchRun::percentText(0), this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setAlignment(Qt::AlignCenter);
    task_ = new QLabel(run_->taskText(), this);
    task_->setObjectName(QStringLiteral("task"));
    task_->setAlignment(Qt::AlignCenter);
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    layout->addWidget(status_);
    layout->addWidget(task_);
    layout->addWidget(cancel_, 0, Qt::AlignCenter);
    setMinimumWidth(280);
    connect(cancel_, &QPushButton::clicked, this, [this] { run_->cancel(); });
    // Single shot, armed again only after a slice has ended: a message shown inside a slice runs
    // an event loop of its own, and the next slice must not start inside it.
    timer_.setSingleShot(true);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &ProgressWindow::tick);
    if (caller_) {
        hasCaller_ = true;
        caller_->installEventFilter(this);
        caller_->setEnabled(false);
        // A caller deleted under the run: the run ends now, while what it works on still exists.
        connect(caller_, &QObject::destroyed, this, [this] {
            run_->cancel();
            if (!inSlice_)
                delete this;
        });
    }
}

ProgressWindow::~ProgressWindow()
{
    if (!finished_) {
        // Closed before the end (the program or the caller going away): the run still releases
        // what it holds, unless a slice is under way (it then ends the run itself, see tick()).
        timer_.stop();
        run_->cancel();
        if (!inSlice_)
            run_->finish();
    }
    if (caller_) {
        caller_->removeEventFilter(this);
        caller_->setEnabled(true);
    }
    if (!finished_ && done_ && (!hasCaller_ || caller_))
        done_();
}

ProgressWindow* ProgressWindow::start(std::shared_ptr<BatchRun> run, QWidget* caller, Done done)
{
    if (!run || !run->start())
        return nullptr;
    auto* w = new ProgressWindow(std::move(run), caller, std::move(done));
    if (caller) {
        // Over the caller's window, and kept above it.
        w->adjustSize();
        w->move(caller->window()->frameGeometry().center() - w->rect().center());
        w->winId();
        if (QWindow* own = caller->window()->windowHandle())
            w->windowHandle()->setTransientParent(own);
    }
    w->show();
    w->timer_.start();
    return w;
}

QString ProgressWindow::statusText() const
{
    return status_->text();
}

QString ProgressWindow::taskText() const
{
    return task_->text();
}

void ProgressWindow::tick()
{
    if (finished_ || inSlice_)
        return;
    inSlice_ = true;
    QPointer<ProgressWindow> self(this);
    const std::shared_ptr<BatchRun> run = run_; // outlives the window should it go during a message
    const bool more = !run->isCancelled() && run->step(run->sliceSize());
    if (!self) {
        run->finish();
        return;
    }
    inSlice_ = false;
    const int p = run->percent();
    if (p != shownPercent_) {
        shownPercent_ = p;
        status_->setText(BatchRun::percentText(p));
    }
    task_->setText(run->taskText());
    if (!more || run->isCancelled())
        end();
    else
        timer_.start();
}

void ProgressWindow::end()
{
    timer_.stop();
    finished_ = true;
    run_->finish();
    status_->setText(BatchRun::completedText());
    cancel_->setEnabled(false);
    const bool callerAlive = !hasCaller_ || caller_;
    if (caller_) {
        caller_->removeEventFilter(this);
        caller_->setEnabled(true);
        caller_.clear();
    }
    emit runFinished();
    if (done_ && callerAlive) {
        const Done done = std::move(done_);
        done_ = nullptr;
        done();
    }
    QTimer::singleShot(kCompletedMs, this, [this] { QDialog::accept(); });
}

void ProgressWindow::reject()
{
    if (!finished_)
        run_->cancel();
    else
        QDialog::reject();
}

bool ProgressWindow::eventFilter(QObject* watched, QEvent* e)
{
    // A caller shown after the run began (the frame during its opening steps) must not cover it.
    if (watched == caller_ && e->type() == QEvent::Show && !finished_)
        QTimer::singleShot(0, this, [this] {
            raise();
            activateWindow();
        });
    // The caller closing (or hidden with the frame) ends the run with it.
    if (watched == caller_ && (e->type() == QEvent::Close || e->type() == QEvent::Hide) && !finished_) {
        run_->cancel(); // the next tick ends the run
    }
    return QDialog::eventFilter(watched, e);
}

} // namespace td

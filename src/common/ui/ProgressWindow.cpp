#include "common/ui/ProgressWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace td {

ProgressWindow::ProgressWindow(BatchRun& run, QWidget* parent)
    : QDialog(parent)
    , run_(&run)
{
    setUp();
}

ProgressWindow::ProgressWindow(std::unique_ptr<BatchRun> run, QWidget* parent)
    : QDialog(parent)
    , owned_(std::move(run))
    , run_(owned_.get())
{
    setUp();
}

ProgressWindow::~ProgressWindow()
{
    // Closed before the end (the program shutting down): the run still releases what it holds.
    if (!finished_ && timer_.isActive()) {
        timer_.stop();
        run_->cancel();
        run_->finish();
    }
}

void ProgressWindow::setUp()
{
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
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &ProgressWindow::tick);
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
    if (finished_)
        return;
    const bool more = !run_->isCancelled() && run_->step(run_->sliceSize());
    const int p = run_->percent();
    if (p != shownPercent_) {
        shownPercent_ = p;
        status_->setText(BatchRun::percentText(p));
    }
    task_->setText(run_->taskText());
    if (!more || run_->isCancelled())
        end();
}

void ProgressWindow::end()
{
    timer_.stop();
    finished_ = true;
    run_->finish();
    status_->setText(BatchRun::completedText());
    cancel_->setEnabled(false);
    emit runFinished();
    QTimer::singleShot(kCompletedMs, this, [this] { QDialog::accept(); });
}

void ProgressWindow::reject()
{
    if (!finished_)
        run_->cancel();
    else
        QDialog::reject();
}

bool ProgressWindow::runModal(BatchRun& run, QWidget* parent)
{
    if (!run.start())
        return false;
    ProgressWindow w(run, parent);
    w.timer_.start();
    w.exec();
    if (!w.finished_) {   // closed from outside before the end
        run.cancel();
        w.end();
    }
    return true;
}

ProgressWindow* ProgressWindow::startModeless(std::unique_ptr<BatchRun> run, QWidget* parent)
{
    if (!run->start())
        return nullptr;
    auto* w = new ProgressWindow(std::move(run), parent);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setModal(false);
    w->show();
    w->timer_.start();
    return w;
}

} // namespace td

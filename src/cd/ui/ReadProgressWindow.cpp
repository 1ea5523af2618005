#include "cd/ui/ReadProgressWindow.h"

#include "cd/CompactDiscReader.h"
#include "common/ui/FormHost.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

namespace td {

ReadProgressWindow::ReadProgressWindow(QWidget* caller)
    : caller_(caller)
{
    setObjectName(QStringLiteral("ReadProgress"));
    setWindowTitle(QStringLiteral("Progress..."));
    auto* layout = new QVBoxLayout(this);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("bar"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setVisible(false);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setAlignment(Qt::AlignCenter);
    detail_ = new QLabel(this);
    detail_->setObjectName(QStringLiteral("detail"));
    detail_->setAlignment(Qt::AlignCenter);
    layout->addWidget(bar_);
    layout->addWidget(status_);
    layout->addWidget(detail_);
    setMinimumWidth(280);
}

void ReadProgressWindow::start(const QString& caption, const QString& status)
{
    setWindowTitle(caption);
    bar_->setValue(0);
    bar_->setVisible(true);
    status_->setText(status);
    detail_->clear();
    if (caller_ && !hosted_) {
        // Shown for its caller, which it disables; FormHost deletes it after it finishes.
        hosted_ = true;
        openForm(caller_, this);
    } else {
        show();
        raise();
    }
    // Painted before the first (possibly slow) question to the drive.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ReadProgressWindow::setStatus(const QString& text)
{
    status_->setText(text);
}

void ReadProgressWindow::setPercent(int percent)
{
    bar_->setValue(qBound(0, percent, 100));
}

void ReadProgressWindow::yield()
{
    // Other windows repaint and their timers run; clicks and keys wait until the read is over, so
    // nobody closes the form the reader is filling.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ReadProgressWindow::finish()
{
    // Closing it gives the caller back (FormHost answers and deletes the window later).
    done(QDialog::Accepted);
}

QString ReadProgressWindow::statusText() const
{
    return status_->text();
}

QString ReadProgressWindow::detailText() const
{
    return detail_->text();
}

int ReadProgressWindow::percent() const
{
    return bar_->value();
}

bool ReadProgressWindow::isBarVisible() const
{
    return !bar_->isHidden();
}

bool readCompactDiscWithProgress(CdAudioDevice& device, Database& db, Album& album, bool identifierOnly,
    bool wizard, qint64 instance, QWidget* caller)
{
    // Blocks only the caller, disabled while the read runs; the window goes with the read.
    QPointer<ReadProgressWindow> window = new ReadProgressWindow(caller);
    const bool ok = ReadCompactDisc(device, db, album, identifierOnly, wizard, instance, window.data());
    if (window && window->isHosted()) {
        if (window->isVisible())
            window->done(QDialog::Rejected);
    } else {
        delete window.data();
    }
    return ok;
}

} // namespace td

#include "common/ui/FormHost.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace td {

namespace {

const char* const kLockName = "td_FormLock";

// Lives as a child of the caller: the caller's open forms, its disabling, and the close watch.
// Being a child, it goes with the caller, and so do the connections that deliver the answers.
class FormLock : public QObject {
public:
    explicit FormLock(QWidget* caller)
        : QObject(caller)
        , caller_(caller)
    {
        setObjectName(QString::fromLatin1(kLockName));
        caller->installEventFilter(this);
    }

    ~FormLock() override
    {
        // The caller is being deleted: its forms take their Cancel path, nobody is answered.
        dying_ = true;
        closeAll();
    }

    void add(QDialog* dialog, std::function<void(int)> answered)
    {
        forms_.append(dialog);
        caller_->setEnabled(false);
        connect(dialog, &QDialog::finished, this, [this, dialog, answered = std::move(answered)](int result) {
            forms_.removeAll(dialog);
            dialog->deleteLater();
            release();
            if (answered)
                answered(result);
        });
        connect(dialog, &QObject::destroyed, this, [this] {
            forms_.removeAll(nullptr);
            release();
        });
    }

    void closeAll()
    {
        while (!forms_.isEmpty()) {
            const QPointer<QDialog> d = forms_.takeLast();
            if (!d)
                continue;
            disconnect(d, nullptr, this, nullptr); // no answer to a caller that is going away
            closeForms(d);
            d->reject();
            d->deleteLater();
        }
        release();
    }

    QList<QDialog*> forms() const
    {
        QList<QDialog*> out;
        for (const auto& d : forms_)
            if (d)
                out.append(d);
        return out;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        // Before the caller's own close handling, so that the forms cancel while it still stands.
        if (watched == caller_ && e->type() == QEvent::Close)
            closeForms(caller_);
        return QObject::eventFilter(watched, e);
    }

private:
    void release()
    {
        if (dying_ || !forms().isEmpty() || caller_->isEnabled())
            return;
        caller_->setEnabled(true);
        caller_->window()->activateWindow();
        caller_->setFocus();
    }

    QWidget* caller_;
    QList<QPointer<QDialog>> forms_;
    bool dying_ = false;
};

FormLock* lockOf(QWidget* caller, bool create)
{
    auto* lock = caller->findChild<FormLock*>(QString::fromLatin1(kLockName), Qt::FindDirectChildrenOnly);
    if (!lock && create)
        lock = new FormLock(caller);
    return lock;
}

// The frame, or whatever window stands at the top of the caller's chain.
QWidget* topWindow(QWidget* w)
{
    QWidget* top = w->window();
    while (top->parentWidget())
        top = top->parentWidget()->window();
    return top;
}

} // namespace

void openForm(QWidget* caller, QDialog* dialog, std::function<void(int)> answered)
{
    if (!caller) {
        QObject::connect(dialog, &QDialog::finished, dialog, [dialog, answered = std::move(answered)](int r) {
            dialog->deleteLater();
            if (answered)
                answered(r);
        });
        dialog->show();
        return;
    }
    QWidget* top = topWindow(caller);
    if (top != caller) {
        dialog->setParent(top, dialog->windowFlags() | Qt::Dialog);
    } else {
        dialog->setParent(nullptr, dialog->windowFlags() | Qt::Dialog);
        dialog->winId();
        if (QWindow* own = caller->windowHandle())
            dialog->windowHandle()->setTransientParent(own);
    }
    dialog->setWindowModality(Qt::NonModal);
    lockOf(caller, true)->add(dialog, std::move(answered));
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void closeForms(QWidget* caller)
{
    if (!caller)
        return;
    // Forms opened by the caller's own controls (a list inside a picker) close too.
    QList<FormLock*> locks = caller->findChildren<FormLock*>(QString::fromLatin1(kLockName));
    if (FormLock* own = lockOf(caller, false); own && !locks.contains(own))
        locks.prepend(own);
    for (FormLock* lock : locks)
        lock->closeAll();
}

QList<QDialog*> openForms(QWidget* caller)
{
    FormLock* lock = caller ? lockOf(caller, false) : nullptr;
    return lock ? lock->forms() : QList<QDialog*>();
}

} // namespace td

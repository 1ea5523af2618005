#pragma once
// Driving windows that answer through callbacks (common/ui/FormHost.h) from a test: find a form
// as it shows, act on it, wait for its answer; and check that a window's mnemonics are unique.
// Header only: it needs Qt Widgets, which only the window tests link.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

namespace td::test {

// A shown top-level dialog of that name: the modal one if it is, else any visible one.
inline QDialog* shownDialog(const QString& name)
{
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()); d && d->objectName() == name)
        return d;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible() && d->objectName() == name)
            return d;
    return nullptr;
}

inline QList<QPointer<QTimer>>& formWatchers()
{
    static QList<QPointer<QTimer>> list;
    return list;
}

// Runs `fn` on the dialog of that name as soon as it shows (modal or not); gives up after five
// seconds, rejecting it if it is there after all, so that a test fails instead of hanging.
inline void onDialog(const QString& name, std::function<void(QDialog*)> fn)
{
    auto* timer = new QTimer;
    formWatchers() << timer;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        QDialog* d = shownDialog(name);
        if (!d && clock.elapsed() < 5000)
            return;
        timer->deleteLater();
        if (d)
            fn(d);
        else
            qWarning("window %s did not show", qPrintable(name));
    });
    timer->start(5);
}

// Watchers whose window never came (as planned: a window that must not open).
inline void dropFormWatchers()
{
    for (const auto& t : std::as_const(formWatchers()))
        delete t.data();
    formWatchers().clear();
}

// Closes, as they open, every window but the named ones: the windows a window under test hands work
// to (a wizard, a picker) whose own behaviour the test does not drive, so that the test sees the
// answer of the window under test whatever those windows are.
class CloseOtherWindows {
public:
    explicit CloseOtherWindows(QStringList keep)
    {
        QObject::connect(&timer_, &QTimer::timeout, [keep = std::move(keep)] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (!w->isVisible() || !w->isWindow() || w->windowType() == Qt::Popup
                    || w->windowType() == Qt::ToolTip || keep.contains(w->objectName()))
                    continue;
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->reject();
                else
                    w->close();
            }
        });
        timer_.start(10);
    }

private:
    QTimer timer_;
};

// An answer that arrives later: hand answer() to the window, then wait() for it.
template <class T> class Answer {
public:
    std::function<void(T)> answer() const
    {
        return [got = got_](T value) { *got = std::move(value); };
    }
    bool arrived() const { return got_->has_value(); }
    // Waits up to five seconds; false when nothing came.
    bool wait() const
    {
        return QTest::qWaitFor([this] { return arrived(); }, 5000);
    }
    const T& value() const { return **got_; }

private:
    std::shared_ptr<std::optional<T>> got_ = std::make_shared<std::optional<T>>();
};

// The mnemonics of a window's buttons, tab titles, group titles and labels (those with a buddy),
// as "letter: text, text" for each letter used more than once. Empty when all are unique. Controls
// hidden on purpose (the button of another tab) take no keys and are left out; those on a tab
// page not shown are counted, since Alt reaches them too.
inline QStringList duplicateMnemonics(QWidget* window)
{
    auto hidden = [](QWidget* w) {
        return w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden);
    };
    QMap<QChar, QStringList> uses;
    auto take = [&](const QString& text) {
        for (int i = 0; i + 1 < text.size(); ++i) {
            if (text.at(i) != QLatin1Char('&'))
                continue;
            if (text.at(i + 1) == QLatin1Char('&')) {
                ++i;
                continue;
            }
            uses[text.at(i + 1).toUpper()] << text;
            return;
        }
    };
    for (auto* b : window->findChildren<QAbstractButton*>())
        if (!hidden(b) && b->window() == window)
            take(b->text());
    for (auto* l : window->findChildren<QLabel*>())
        if (l->buddy() && !hidden(l) && l->window() == window)
            take(l->text());
    for (auto* g : window->findChildren<QGroupBox*>())
        if (!hidden(g) && g->window() == window)
            take(g->title());
    for (auto* t : window->findChildren<QTabBar*>())
        if (!hidden(t) && t->window() == window)
            for (int i = 0; i < t->count(); ++i)
                take(t->tabText(i));
    QStringList out;
    for (auto it = uses.cbegin(); it != uses.cend(); ++it)
        if (it.value().size() > 1)
            out << QString(it.key()) + QStringLiteral(": ") + it.value().join(QStringLiteral(", "));
    return out;
}

// The order in which Tab reaches the given controls, starting after `from` and going once round
// the window: their indexes in `controls`, each taken once.
inline QList<int> tabOrderOf(QWidget* from, const QList<const QWidget*>& controls)
{
    QList<int> order;
    for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        const int i = int(controls.indexOf(w));
        if (i >= 0 && !order.contains(i))
            order << i;
    }
    return order;
}

} // namespace td::test

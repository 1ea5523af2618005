#pragma once
// Shared by the category and media list tests: a workspace with its services, and a watcher that
// acts on a modal window or a popup menu as soon as it shows.

#include "../../data/DataTestUtil.h"
#include "FormDriver.h"
#include "TestApp.h"
#include "common/AppState.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace td::test {

using ListEnv = TestApp;

inline QList<QPointer<QTimer>>& watchers()
{
    static QList<QPointer<QTimer>> list;
    return list;
}

// Runs `fn` once `find` gives a window, polling every 5 ms; gives up after five seconds.
template <class W> void whenShown(std::function<W*()> find, std::function<void(W*)> fn)
{
    auto* timer = new QTimer;
    watchers() << timer;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (clock.elapsed() > 5000) {
            timer->deleteLater();
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                d->reject();
            qWarning("the awaited window did not show");
            return;
        }
        W* w = find();
        if (!w || !w->isVisible())
            return;
        timer->deleteLater();
        fn(w);
    });
    timer->start(5);
}

inline void onModal(const QString& name, std::function<void(QDialog*)> fn)
{
    whenShown<QDialog>([name]() -> QDialog* { return shownDialog(name); }, std::move(fn));
}

// Waits until the list is enabled again: the form it opened has answered.
inline bool settle(QWidget* list)
{
    return QTest::qWaitFor([list] { return list->isEnabled(); }, 5000);
}

inline void onPopup(std::function<void(QMenu*)> fn)
{
    whenShown<QMenu>([]() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }, std::move(fn));
}

inline void dropWatchers()
{
    for (const auto& t : std::as_const(watchers()))
        delete t.data();
    watchers().clear();
}

// The texts of a menu's entries ("-" for a separator) and which are enabled.
inline QStringList menuEntries(QMenu* m)
{
    QStringList out;
    for (QAction* a : m->actions())
        out << (a->isSeparator() ? QStringLiteral("-")
                                 : a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)")));
    return out;
}

} // namespace td::test

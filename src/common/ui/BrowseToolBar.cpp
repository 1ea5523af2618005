#include "common/ui/BrowseToolBar.h"

#include "common/ui/BrowseNavigable.h"

#include <functional>

#include <QAction>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace td {

namespace {

// A child window opened or gone: the buttons follow once it is in place (or away).
class AreaWatcher : public QObject {
public:
    AreaWatcher(std::function<void()> changed, QObject* parent)
        : QObject(parent)
        , changed_(std::move(changed))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildRemoved)
            QTimer::singleShot(0, this, changed_);
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void()> changed_;
};

} // namespace

QWidget* browseTarget(QMdiArea* area)
{
    const QList<QMdiSubWindow*> subs = area->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = subs.crbegin(); it != subs.crend(); ++it)
        if (QWidget* w = (*it)->widget(); w && hasBrowseList(w))
            return w;
    return nullptr;
}

QToolBar* createBrowseToolBar(QMdiArea* area, QWidget* parent)
{
    auto* bar = new QToolBar(QStringLiteral("Browse"), parent);
    bar->setObjectName(QStringLiteral("browseToolbar"));
    bar->setMovable(false);
    struct Button {
        const char* name;
        const char* tip;
        QStyle::StandardPixmap icon;
        int key;
        BrowseStep step;
    };
    const Button buttons[] = {
        { "FirstRecord", "First record", QStyle::SP_MediaSkipBackward, Qt::Key_Home,
            BrowseStep::FirstRecord },
        { "PreviousPage", "Previous page", QStyle::SP_MediaSeekBackward, Qt::Key_PageUp,
            BrowseStep::PreviousPage },
        { "PreviousRecord", "Previous record", QStyle::SP_ArrowUp, Qt::Key_Up, BrowseStep::PreviousRecord },
        { "NextRecord", "Next record", QStyle::SP_ArrowDown, Qt::Key_Down, BrowseStep::NextRecord },
        { "NextPage", "Next page", QStyle::SP_MediaSeekForward, Qt::Key_PageDown, BrowseStep::NextPage },
        { "LastRecord", "Last record", QStyle::SP_MediaSkipForward, Qt::Key_End, BrowseStep::LastRecord },
    };
    auto update = [area, bar] {
        const bool any = browseTarget(area) != nullptr;
        for (QAction* a : bar->actions())
            a->setEnabled(any);
    };
    for (const Button& b : buttons) {
        auto* a = new QAction(bar->style()->standardIcon(b.icon), QString::fromLatin1(b.tip), bar);
        a->setObjectName(QStringLiteral("browse") + QLatin1String(b.name));
        a->setToolTip(QString::fromLatin1(b.tip));
        a->setStatusTip(QString::fromLatin1(b.tip));
        a->setShortcut(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key(b.key)));
        const BrowseStep step = b.step;
        QObject::connect(a, &QAction::triggered, bar, [area, step, update] {
            browseStep(browseTarget(area), step);
            update();
        });
        bar->addAction(a);
    }
    QObject::connect(area, &QMdiArea::subWindowActivated, bar, update);
    area->viewport()->installEventFilter(new AreaWatcher(update, bar));
    update();
    return bar;
}

} // namespace td

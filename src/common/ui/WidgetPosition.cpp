#include "common/ui/WidgetPosition.h"

#include "core/ConfigPaths.h"

#include <QMdiSubWindow>
#include <QWidget>

namespace td {

namespace {

QWidget* frameOf(QWidget* w)
{
    for (QWidget* p = w; p; p = p->parentWidget())
        if (qobject_cast<QMdiSubWindow*>(p))
            return p;
    return w->window();
}

} // namespace

WidgetPosition::WidgetPosition(QWidget* w)
    : w_(frameOf(w))
{
}

bool WidgetPosition::isMaximized() const { return w_->isMaximized(); }
bool WidgetPosition::isMinimized() const { return w_->isMinimized(); }

bool WidgetPosition::isFixedSize() const
{
    return w_->minimumSize() == w_->maximumSize();
}

void WidgetPosition::showNormal() { w_->showNormal(); }
void WidgetPosition::showMaximized()
{
    // A top-level window not shown yet is only marked: its own show() brings it up maximised.
    if (w_->isWindow() && !w_->isVisible())
        w_->setWindowState(w_->windowState() | Qt::WindowMaximized);
    else
        w_->showMaximized();
}

QRect WidgetPosition::normalGeometry() const
{
    // A child window's normal geometry is its geometry once shown normal; a top-level window
    // remembers it while maximised.
    if (!w_->isWindow() || w_->normalGeometry().isNull())
        return w_->geometry();
    return w_->normalGeometry();
}

void WidgetPosition::setGeometry(const QRect& r)
{
    // A remembered size too small for the window's controls (a font grown since) is grown.
    w_->setGeometry(QRect(r.topLeft(), r.size().expandedTo(w_->minimumSizeHint())));
}
void WidgetPosition::move(const QPoint& p) { w_->move(p); }

void restorePosition(QWidget* w, const QString& procedure)
{
    WidgetPosition p(w);
    RestoreWindowPosition(p, procedure, positionIniPath());
}

void savePosition(QWidget* w, const QString& procedure)
{
    WidgetPosition p(w);
    SaveWindowPosition(p, procedure, positionIniPath());
}

} // namespace td

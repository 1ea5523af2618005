#include "explorer/ui/ExplorerListPlace.h"

#include "explorer/ExplorerFormat.h"

#include <QLabel>
#include <QLayout>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QScreen>

namespace td {

void applyListPlace(QWidget* view, QWidget* list, const ExplorerListSettings& s)
{
    if (s.width <= 0 || s.height <= 0 || !view->layout())
        return;
    auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    QWidget* frame = sub ? static_cast<QWidget*>(sub) : view;
    if (frame->isMaximized() || frame->isMinimized() || frame->isFullScreen())
        return;
    view->layout()->activate();
    // The room before the list: a saved place beyond the layout's own (never more than a quarter
    // of the view, so that a stray value cannot push the list out of sight).
    const int dx = qBound(0, s.xpos - list->x(), view->width() / 4);
    const int dy = qBound(0, s.ypos - list->y(), view->height() / 4);
    if (dx > 0 || dy > 0) {
        const QMargins m = view->layout()->contentsMargins();
        view->layout()->setContentsMargins(m.left() + dx, m.top() + dy, m.right(), m.bottom());
        view->layout()->activate();
    }
    // The size: the frame changes by what the list lacks or has too much, within the room it has.
    QSize room = frame->parentWidget()
        ? frame->parentWidget()->size()
        : (frame->screen() ? frame->screen()->availableGeometry().size() : QSize());
    QSize want = frame->size() + QSize(s.width - list->width(), s.height - list->height());
    if (room.isValid())
        want = want.boundedTo(room);
    want = want.expandedTo(frame->minimumSize()).expandedTo(frame->minimumSizeHint());
    if (want != frame->size())
        frame->resize(want);
}

QLabel* explorerPicture(QWidget* parent)
{
    auto* picture = new QLabel(parent);
    picture->setObjectName(QStringLiteral("Picture"));
    const QPixmap trumpet(QStringLiteral(":/images/trumpet.svg"));
    if (!trumpet.isNull())
        picture->setPixmap(trumpet.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return picture;
}

} // namespace td

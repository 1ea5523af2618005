#include "app/ChildPlacement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace td {

QSize childMinimumSize(const QMdiSubWindow* sub)
{
    return sub->minimumSizeHint().expandedTo(sub->minimumSize());
}

void fitIntoArea(QMdiSubWindow* sub, const QRect& area)
{
    const QSize least = childMinimumSize(sub);
    const QSize size = sub->size().boundedTo(area.size()).expandedTo(least);
    const int x = qMax(area.left(), qMin(sub->x(), area.right() + 1 - size.width()));
    const int y = qMax(area.top(), qMin(sub->y(), area.bottom() + 1 - size.height()));
    const QRect wanted(QPoint(x, y), size);
    if (wanted != sub->geometry())
        sub->setGeometry(wanted);
}

void tileChildWindows(QMdiArea* mdi)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : mdi->subWindowList(QMdiArea::CreationOrder))
        if (w->isVisible() && !w->isMinimized())
            windows << w;
    if (windows.isEmpty())
        return;
    const QRect area(QPoint(0, 0), mdi->viewport()->size());
    const int n = int(windows.size());
    // The grid (columns) whose cells are too small by the fewest pixels in all, more columns first.
    int best = 1;
    qint64 bestShort = -1;
    for (int columns = n; columns >= 1; --columns) {
        const int rows = (n + columns - 1) / columns;
        const QSize cell(area.width() / columns, area.height() / rows);
        qint64 tooSmall = 0;
        for (QMdiSubWindow* w : windows) {
            const QSize least = childMinimumSize(w);
            tooSmall += qMax(0, least.width() - cell.width()) + qMax(0, least.height() - cell.height());
        }
        if (bestShort < 0 || tooSmall < bestShort) {
            best = columns;
            bestShort = tooSmall;
        }
    }
    const int rows = (n + best - 1) / best;
    for (int i = 0; i < n; ++i) {
        const int column = i % best;
        const int row = i / best;
        // The last row's windows share its width among themselves.
        const int inRow = row == rows - 1 ? n - row * best : best;
        const int left = area.width() * column / inRow;
        const int right = area.width() * (column + 1) / inRow;
        const int top = area.height() * row / rows;
        const int bottom = area.height() * (row + 1) / rows;
        QMdiSubWindow* w = windows.at(i);
        if (w->isMaximized())
            w->showNormal();
        w->setGeometry(QRect(left, top, right - left, bottom - top));
        fitIntoArea(w, area);
    }
}

} // namespace td

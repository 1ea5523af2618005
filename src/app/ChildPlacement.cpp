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
    // Rows of at most about the square root of the count, as the usual tiling has, but a window
    // moves to the next row when its minimum width no longer fits beside the others.
    int perRow = 1;
    while (perRow * perRow < n)
        ++perRow;
    QList<QList<QMdiSubWindow*>> rows;
    int used = 0;
    for (QMdiSubWindow* w : windows) {
        const int least = childMinimumSize(w).width();
        if (rows.isEmpty() || rows.last().size() >= perRow || used + least > area.width()) {
            rows.append(QList<QMdiSubWindow*>());
            used = 0;
        }
        rows.last().append(w);
        used += least;
    }
    const int rowCount = int(rows.size());
    for (int r = 0; r < rowCount; ++r) {
        const QList<QMdiSubWindow*>& row = rows.at(r);
        const int top = area.height() * r / rowCount;
        const int height = area.height() * (r + 1) / rowCount - top;
        // Each window its minimum width and an equal share of what is left over.
        int least = 0;
        for (QMdiSubWindow* w : row)
            least += childMinimumSize(w).width();
        const int spare = qMax(0, area.width() - least);
        int left = 0;
        for (int i = 0; i < row.size(); ++i) {
            QMdiSubWindow* w = row.at(i);
            const int share = spare * (i + 1) / int(row.size()) - spare * i / int(row.size());
            const int width = i == row.size() - 1 ? area.width() - left : childMinimumSize(w).width() + share;
            if (w->isMaximized())
                w->showNormal();
            w->setGeometry(QRect(left, top, width, height));
            fitIntoArea(w, area);
            left += width;
        }
    }
}

} // namespace td

#include "common/ui/BrowseNavigable.h"

#include "common/ui/BrowseList.h"

#include <QApplication>
#include <QWidget>

namespace td {

namespace {

// A list of `window` to move: a navigable widget or a BrowseList, the one with the focus first,
// else the first one shown.
QWidget* listOf(QWidget* window)
{
    if (!window)
        return nullptr;
    auto isList
        = [](QWidget* w) { return dynamic_cast<BrowseNavigable*>(w) || qobject_cast<BrowseList*>(w); };
    for (QWidget* f = QApplication::focusWidget(); f; f = f->parentWidget()) {
        if (f == window)
            break;
        if (isList(f) && window->isAncestorOf(f))
            return f;
    }
    QWidget* hidden = nullptr;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!isList(w))
            continue;
        if (w->isVisibleTo(window))
            return w;
        if (!hidden)
            hidden = w;
    }
    return isList(window) ? window : hidden;
}

int stepOf(PagedList& l, BrowseStep step)
{
    switch (step) {
    case BrowseStep::FirstRecord:
        return l.first();
    case BrowseStep::PreviousPage:
        return l.pageUp();
    case BrowseStep::PreviousRecord:
        return l.moveHighlight(-1);
    case BrowseStep::NextRecord:
        return l.moveHighlight(1);
    case BrowseStep::NextPage:
        return l.pageDown();
    case BrowseStep::LastRecord:
        return l.last();
    }
    return 0;
}

} // namespace

bool hasBrowseList(QWidget* window)
{
    return listOf(window) != nullptr;
}

bool browseStep(QWidget* window, BrowseStep step)
{
    QWidget* list = listOf(window);
    if (!list || !list->isEnabled())
        return false;
    if (auto* n = dynamic_cast<BrowseNavigable*>(list))
        return n->browseStep(step);
    return static_cast<BrowseList*>(list)->run([step](PagedList& l) { return stepOf(l, step); });
}

} // namespace td

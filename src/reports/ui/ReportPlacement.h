#pragma once
// Report windows block nobody: a report runs beside the lists, and several may run at once. They
// are placed over the frame of the window they were started from (so they stay above it and go with
// it), without disabling that window.

#include "common/ui/FormHost.h"

#include <QDialog>
#include <QWidget>

namespace td {

inline QWidget* frameOf(QWidget* near)
{
    if (!near)
        return nullptr;
    QWidget* top = near->window();
    while (top->parentWidget())
        top = top->parentWidget()->window();
    return top;
}

// Shows `dialog` over the frame of `near` (or on its own) and answers as openForm does.
inline void openIndependent(QWidget* near, QDialog* dialog, std::function<void(int)> answered)
{
    if (QWidget* top = frameOf(near))
        dialog->setParent(top, dialog->windowFlags() | Qt::Dialog);
    openForm(nullptr, dialog, std::move(answered));
    dialog->raise();
    dialog->activateWindow();
}

} // namespace td

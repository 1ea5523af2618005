#include "app/WidgetMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace td {

namespace {

struct ButtonMap {
    int ours;
    QMessageBox::StandardButton theirs;
};

const ButtonMap kButtons[] = {
    {Ok, QMessageBox::Ok}, {Yes, QMessageBox::Yes}, {No, QMessageBox::No},
    {Retry, QMessageBox::Retry}, {Ignore, QMessageBox::Ignore}, {Cancel, QMessageBox::Cancel},
    {Abort, QMessageBox::Abort},
};

QMessageBox::Icon iconOf(Icon i)
{
    switch (i) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Stop: return QMessageBox::Critical;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

int WidgetMessages::ask(const Message& m)
{
    QMessageBox box(iconOf(m.icon), m.caption, m.displayText(), QMessageBox::NoButton,
                    QApplication::activeWindow());
    for (const auto& b : kButtons) {
        if (m.buttons & b.ours) {
            QAbstractButton* button = box.addButton(b.theirs);
            if (b.ours == m.defaultButton)
                box.setDefaultButton(qobject_cast<QPushButton*>(button));
        }
    }
    box.exec();
    for (const auto& b : kButtons)
        if (box.clickedButton() == box.button(b.theirs))
            return b.ours;
    // Closed without a button (Esc): Cancel where offered, else the default.
    return (m.buttons & Cancel) ? int(Cancel) : m.defaultButton;
}

} // namespace td

#include "common/ui/FormEntries.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>

namespace td {

void limitMemo(QPlainTextEdit* edit, int max)
{
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, max] {
        const QString text = edit->toPlainText();
        if (text.size() <= max)
            return;
        const int pos = qMin(edit->textCursor().position(), max);
        QSignalBlocker block(edit);
        edit->setPlainText(text.left(max));
        QTextCursor c = edit->textCursor();
        c.setPosition(pos);
        edit->setTextCursor(c);
    });
}

CheckOnEnter::CheckOnEnter(QWidget* entry, std::function<bool()> check)
    : QObject(entry)
    , check_(std::move(check))
{
    entry->installEventFilter(this);
}

bool CheckOnEnter::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !check_())
            return true;
    }
    return QObject::eventFilter(o, e);
}

} // namespace td

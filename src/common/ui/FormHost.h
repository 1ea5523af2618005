#pragma once
// Forms, pickers and wizards that block only the window that called them.
//
//     auto* dialog = new UpdateSongDialog(...);           // built without a parent
//     openForm(this, dialog, [this](int result) { ... }); // returns at once
//
// openForm() shows the dialog as an independent window and disables its caller, and only the
// caller: every other list, the frame's menus and tool bar stay usable and timers keep running,
// so several forms from several lists may be open at once. There is no nested event loop: the
// code after openForm() runs at once, and what the caller does with the answer goes into the
// callback. When the dialog finishes (OK, Cancel, Esc, close box) the caller is enabled again,
// the callback runs with the dialog's result (QDialog::Accepted or Rejected) and the dialog is
// deleted later. A form keeps its own data in the dialog (or in an object the dialog owns) and
// runs its Cancel path in QDialog::done(), so that every way of closing it takes that path.
//
// Closing the caller closes its forms first: when the caller gets its Close event (a list's
// close box, or the frame closing every list), each form it opened is rejected, newest first,
// after the forms that form opened in turn; the callbacks of those forms are not called, since the
// caller is going away. The same happens when the caller is deleted. An answer therefore never
// reaches a caller that is closed or gone.
//
// Placement: Qt disables a child window together with its parent, so the dialog is not made a
// child of the caller but of the top window of the caller's chain (the main frame). It stays
// above the frame and is not disabled with the caller. A caller that is itself a window without a
// parent (a list shown alone, as in tests) makes the dialog transient to it instead.
//
// Message boxes (the Messages service) stay modal: they are short questions.

#include <QDialog>
#include <functional>

class QWidget;

namespace td {

// Shows `dialog` for `caller` (nullptr: for nobody; nothing is disabled) and takes ownership of
// it. `answered` runs once with the dialog's result, unless the caller closes first.
void openForm(QWidget* caller, QDialog* dialog, std::function<void(int result)> answered = {});

// Rejects every form open for `caller` (and their own forms), newest first, without calling
// their callbacks. Done by itself when the caller closes or is deleted.
void closeForms(QWidget* caller);

// The forms open for `caller`, oldest first.
QList<QDialog*> openForms(QWidget* caller);

} // namespace td

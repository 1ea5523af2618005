#pragma once
// The one-field form the category and media lists share: a caption, a prompt with its entry, OK
// and Cancel. It drives a OneFieldForm (the category or media logic): OK saves and closes, stays
// on the entry after a refusal, or shows the stored value when another window changed it; every
// other way of closing (Cancel, Esc, the close box, the caller closing) takes the Cancel path.

#include "common/Request.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLineEdit;

namespace td {

class OneFieldForm;

// Completed or cancelled, and the position of the stored record (0 when none).
using NameFormAnswer = std::function<void(Response, qint64 position)>;

struct NameFormDesign {
    QString procedure; // window name and POSITION.INI section
    QString caption; // as it opens: "Add Category", "Changing Media Format" ...
    QString prompt; // "&Category:"
    int width = 0;
};

// Opens the form's window for `caller`. A form that is over at once (a delete, a failed numbering)
// answers before this returns, without a window.
void openNameForm(
    QWidget* caller, std::unique_ptr<OneFieldForm> form, NameFormDesign design, NameFormAnswer answered);

class NameFormDialog : public QDialog {
    Q_OBJECT
public:
    NameFormDialog(std::unique_ptr<OneFieldForm> form, NameFormDesign design, QWidget* parent = nullptr);
    ~NameFormDialog() override;
    QLineEdit* entry() const { return entry_; }
    OneFieldForm& form() const { return *form_; }

protected:
    void done(int r) override;
    void showEvent(QShowEvent* e) override;

private:
    void okPressed();

    std::unique_ptr<OneFieldForm> form_;
    NameFormDesign design_;
    QLineEdit* entry_;
    bool positioned_ = false;
    bool finished_ = false;
};

} // namespace td

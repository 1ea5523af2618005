#pragma once
// "Enter Picture...": asks for the display picture of an import or export field. The entry must
// begin with "@"; otherwise "Invalid Picture!" is shown and the entry keeps the focus. OK answers
// the entry, "&Cancel" or the close box a blank picture, on which the caller keeps the old one.
// The window blocks only its caller (see common/ui/FormHost.h).

#include <QDialog>
#include <QString>
#include <functional>

class QLineEdit;

namespace td {

class Messages;

class AskPictureDialog : public QDialog {
    Q_OBJECT
public:
    AskPictureDialog(Messages& messages, const QString& picture);
    QString answer() const { return answer_; }
    QLineEdit* entry() const { return entry_; }

    void accept() override;

    static constexpr int kPictureWidth = 30;

private:
    Messages& messages_;
    QLineEdit* entry_;
    QString answer_;
};

// Shows the window for `caller`; `answered` gets the new picture, blank when cancelled.
void ImportExport_AskPicture(QWidget* caller, Messages& messages, const QString& picture,
                             std::function<void(const QString&)> answered);

} // namespace td

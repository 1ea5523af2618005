#include "exchange/ui/AskPicture.h"

#include "common/ui/FormHost.h"
#include "core/Messages.h"
#include "exchange/ImportSetup.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace td {

AskPictureDialog::AskPictureDialog(Messages& messages, const QString& picture)
    : messages_(messages)
{
    setObjectName(QStringLiteral("EnterPicture"));
    setWindowTitle(importtext::kPictureWindowTitle);
    entry_ = new QLineEdit(picture.left(kPictureWidth));
    entry_->setObjectName(QStringLiteral("Picture"));
    entry_->setMaxLength(kPictureWidth);
    entry_->setMinimumWidth(entry_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Picture:"), entry_);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    entry_->selectAll();
    entry_->setFocus();
}

void AskPictureDialog::accept()
{
    const QString entry = entry_->text().trimmed();
    if (!pictureEntryValid(entry)) {
        messages_.show(importtext::kInvalidPictureCaption, importtext::kInvalidPictureText, Icon::Exclamation);
        entry_->setFocus();
        entry_->selectAll();
        return;
    }
    answer_ = entry;
    QDialog::accept();
}

void ImportExport_AskPicture(QWidget* caller, Messages& messages, const QString& picture,
                             std::function<void(const QString&)> answered)
{
    auto* dialog = new AskPictureDialog(messages, picture);
    openForm(caller, dialog, [dialog, answered = std::move(answered)](int result) {
        if (answered)
            answered(result == QDialog::Accepted ? dialog->answer() : QString());
    });
}

} // namespace td

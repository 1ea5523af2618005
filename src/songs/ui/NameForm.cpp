#include "songs/ui/NameForm.h"

#include "common/ui/FormHost.h"
#include "common/ui/WidgetPosition.h"
#include "songs/CategoryForm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace td {

NameFormDialog::NameFormDialog(std::unique_ptr<OneFieldForm> form, NameFormDesign design, QWidget* parent)
    : QDialog(parent)
    , form_(std::move(form))
    , design_(std::move(design))
    , entry_(new QLineEdit(this))
{
    setObjectName(design_.procedure);
    setWindowTitle(design_.caption);
    entry_->setObjectName(QString(design_.prompt).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    entry_->setMaxLength(design_.width);
    entry_->setText(form_->text());
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    auto* fields = new QFormLayout;
    fields->addRow(design_.prompt, entry_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &NameFormDialog::okPressed);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    entry_->setFocus();
    entry_->selectAll();
}

NameFormDialog::~NameFormDialog() = default;

void NameFormDialog::okPressed()
{
    form_->setText(entry_->text());
    switch (form_->save()) {
    case FormSave::Closed:
        if (form_->response() == Response::Completed)
            accept();
        else
            reject();
        return;
    case FormSave::Stay:
        entry_->setFocus();
        entry_->selectAll();
        return;
    case FormSave::ShowStored:
        entry_->setText(form_->text());
        entry_->setFocus();
        return;
    }
}

void NameFormDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, design_.procedure);
    }
}

void NameFormDialog::done(int r)
{
    if (!finished_) {
        finished_ = true;
        if (form_->response() != Response::Completed)
            form_->cancel();
        if (positioned_)
            savePosition(this, design_.procedure);
        form_->close();
    }
    QDialog::done(r);
}

void openNameForm(
    QWidget* caller, std::unique_ptr<OneFieldForm> form, NameFormDesign design, NameFormAnswer answered)
{
    if (!form->open()) {
        form->close();
        answered(form->response(), form->position());
        return;
    }
    auto* dialog = new NameFormDialog(std::move(form), std::move(design));
    openForm(caller, dialog, [dialog, answered = std::move(answered)](int) {
        const OneFieldForm& f = dialog->form();
        answered(f.response(), f.response() == Response::Completed ? f.position() : 0);
    });
}

} // namespace td

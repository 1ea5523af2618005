#include "songs/ui/SelectAddType.h"

#include "common/ui/FormHost.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace td {

SelectAddTypeDialog::SelectAddTypeDialog(QWidget* parent)
    : QDialog(parent)
    , mode_(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("SelectAddType"));
    setWindowTitle(QStringLiteral("Select Add Mode"));
    auto* box = new QGroupBox(QStringLiteral("Mode"), this);
    auto* boxLayout = new QVBoxLayout(box);
    int id = 0;
    for (const char* text : { "Compilation", "Single Artist", "Normal" }) {
        auto* b = new QRadioButton(QString::fromLatin1(text), box);
        b->setObjectName(QString::fromLatin1(text).remove(QLatin1Char(' ')));
        mode_->addButton(b, id++);
        boxLayout->addWidget(b);
    }
    mode_->button(0)->setChecked(true);
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(ok, 0, Qt::AlignRight);
    mode_->button(0)->setFocus();
}

QString SelectAddTypeDialog::answer() const
{
    QAbstractButton* b = mode_->checkedButton();
    return b ? b->text() : QString();
}

void SelectAddType(QWidget* caller, std::function<void(const QString&)> answered)
{
    auto* d = new SelectAddTypeDialog;
    openForm(caller, d, [d, answered = std::move(answered)](int result) {
        answered(result == QDialog::Accepted ? d->answer() : QString());
    });
}

} // namespace td

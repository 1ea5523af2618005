#include "reports/ui/GoToPageDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace td {

GoToPageDialog::GoToPageDialog(int pageCount, int current, QWidget* parent)
    : QDialog(parent)
    , page_(new QSpinBox(this))
{
    setObjectName(QStringLiteral("GoToPage"));
    setWindowTitle(QStringLiteral("Go to Page"));
    page_->setObjectName(QStringLiteral("Page"));
    page_->setRange(1, qMax(pageCount, 1));
    page_->setValue(current);
    page_->setMinimumWidth(page_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 40);
    page_->selectAll();
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(page_);
    layout->addWidget(ok);
    layout->addWidget(cancel);
    page_->setFocus();
}

int GoToPageDialog::page() const
{
    return page_->value();
}

} // namespace td

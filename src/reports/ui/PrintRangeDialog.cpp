#include "reports/ui/PrintRangeDialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtMath>

namespace td {

namespace {

QRadioButton* radio(const QString& text, const QString& name, QWidget* parent)
{
    auto* b = new QRadioButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

PrintRangeDialog::PrintRangeDialog(const QString& caption, int pageCount, int markedCount, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PrintRange"));
    setWindowTitle(caption);
    auto* group = new QGroupBox(QStringLiteral("Print Range"), this);
    all_ = radio(QStringLiteral("&All Pages"), QStringLiteral("AllPages"), group);
    marked_ = radio(markedCount > 0 ? QString::number(markedCount) + QStringLiteral(" &Marked Pages Only")
                                    : QStringLiteral("&Marked Pages Only"),
        QStringLiteral("MarkedPages"), group);
    unmarked_ = radio(QStringLiteral("&Unmarked Pages Only"), QStringLiteral("UnmarkedPages"), group);
    range_ = radio(QStringLiteral("&Range of Pages"), QStringLiteral("RangeOfPages"), group);
    marked_->setEnabled(markedCount > 0);
    unmarked_->setEnabled(markedCount < pageCount);
    all_->setChecked(true);

    const int last = qMax(pageCount, 1);
    auto spin = [&](const QString& name, int value) {
        auto* s = new QSpinBox(group);
        s->setObjectName(name);
        s->setRange(1, last);
        s->setValue(value);
        s->setMinimumWidth(s->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
        return s;
    };
    from_ = spin(QStringLiteral("From"), 1);
    to_ = spin(QStringLiteral("To"), last);
    auto* fromLabel = new QLabel(QStringLiteral("&From"), group);
    fromLabel->setBuddy(from_);
    auto* toLabel = new QLabel(QStringLiteral("&To"), group);
    toLabel->setBuddy(to_);
    // A caption's width is where the next letter would start; the round of a last "o" reaches
    // past it, so each caption gets its ink's width as well.
    for (QLabel* label : { fromLabel, toLabel }) {
        QString shown = label->text();
        shown.remove(QLatin1Char('&'));
        const QFontMetricsF m(label->font());
        label->setMinimumWidth(qCeil(qMax(m.horizontalAdvance(shown), m.tightBoundingRect(shown).right() + 1)) + 1);
    }
    // A change of either end chooses the range, and the ends never cross.
    connect(from_, &QSpinBox::valueChanged, this, [this](int v) {
        range_->setChecked(true);
        to_->setMinimum(v);
    });
    connect(to_, &QSpinBox::valueChanged, this, [this](int v) {
        range_->setChecked(true);
        from_->setMaximum(v);
    });

    auto* spins = new QHBoxLayout;
    spins->addSpacing(20);
    spins->addWidget(fromLabel);
    spins->addWidget(from_);
    spins->addSpacing(12);
    spins->addWidget(toLabel);
    spins->addWidget(to_);
    spins->addStretch();
    auto* groupLayout = new QVBoxLayout(group);
    for (QRadioButton* b : { all_, marked_, unmarked_, range_ })
        groupLayout->addWidget(b);
    groupLayout->addLayout(spins);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    all_->setFocus();
}

PrintRange PrintRangeDialog::answer() const
{
    PrintRange r;
    r.from = from_->value();
    r.to = to_->value();
    if (marked_->isChecked())
        r.choice = PrintChoice::Marked;
    else if (unmarked_->isChecked())
        r.choice = PrintChoice::Unmarked;
    else if (range_->isChecked())
        r.choice = PrintChoice::Range;
    return r;
}

} // namespace td

#include "reports/ui/ReportCriteria.h"

#include "common/AppState.h"
#include "common/ui/WidgetPosition.h"
#include "reports/ui/ReportPlacement.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace td {

namespace {

const QString kPosition = QStringLiteral("ReportCriteria");
constexpr int kSelectionWidth = 30;

template <class W> W* named(W* w, const QString& name)
{
    w->setObjectName(name);
    return w;
}

} // namespace

QString ReportCriteriaDialog::prompt(const QString& noun)
{
    return QStringLiteral("Select ") + noun + QStringLiteral(" that start with:");
}

ReportCriteriaDialog::ReportCriteriaDialog(const ReportCriteria& values, const QString& noun, QWidget* parent)
    : QDialog(parent)
    , values_(values)
{
    setObjectName(kPosition);
    setWindowTitle(QStringLiteral("Report Criteria"));

    auto* style = named(new QGroupBox(QStringLiteral("Report &Style"), this), QStringLiteral("ReportStyle"));
    standard_ = named(new QRadioButton(QStringLiteral("Standard"), style), QStringLiteral("Standard"));
    brief_ = named(new QRadioButton(QStringLiteral("Brief"), style), QStringLiteral("Brief"));
    auto* styleLayout = new QHBoxLayout(style);
    styleLayout->addWidget(standard_);
    styleLayout->addWidget(brief_);
    (values.ReportStyle.trimmed() == QLatin1String("Brief") ? brief_ : standard_)->setChecked(true);

    preview_ = named(new QCheckBox(QStringLiteral("Preview"), this), QStringLiteral("Preview"));
    preview_->setChecked(values.ReportWithPreview);
    customFont_ = named(new QCheckBox(QStringLiteral("Use Custom Font"), this), QStringLiteral("UseCustomFont"));
    customFont_->setChecked(values.ReportCustomFont);

    auto* include = named(new QGroupBox(QStringLiteral("&Include"), this), QStringLiteral("Include"));
    all_ = named(new QRadioButton(QStringLiteral("All"), include), QStringLiteral("All"));
    selected_ = named(new QRadioButton(QStringLiteral("Selected"), include), QStringLiteral("Selected"));
    prompt_ = named(new QLabel(prompt(noun), include), QStringLiteral("Prompt"));
    selection_ = named(new QLineEdit(include), QStringLiteral("ReportSelection"));
    selection_->setMaxLength(kSelectionWidth);
    selection_->setText(values.ReportSelection.left(kSelectionWidth));
    selection_->setMinimumWidth(selection_->fontMetrics().horizontalAdvance(QString(kSelectionWidth, QLatin1Char('M'))) / 2);
    prompt_->setBuddy(selection_);
    auto* radios = new QHBoxLayout;
    radios->addWidget(all_);
    radios->addWidget(selected_);
    radios->addStretch();
    auto* includeLayout = new QVBoxLayout(include);
    includeLayout->addLayout(radios);
    includeLayout->addWidget(prompt_);
    includeLayout->addWidget(selection_);
    (values.SelectedOrAll.trimmed() == QLatin1String("Selected") ? selected_ : all_)->setChecked(true);
    // Exclusive per group (each pair has its own parent), and a change of the Include choice runs
    // the rule that enables the entry.
    connect(all_, &QRadioButton::toggled, this, &ReportCriteriaDialog::includeChanged);
    connect(selected_, &QRadioButton::toggled, this, &ReportCriteriaDialog::includeChanged);

    ok_ = named(new QPushButton(QStringLiteral("&Ok"), this), QStringLiteral("Ok"));
    ok_->setDefault(true);
    cancel_ = named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("Cancel"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* checks = new QHBoxLayout;
    checks->addWidget(preview_);
    checks->addWidget(customFont_);
    checks->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(style);
    layout->addLayout(checks);
    layout->addWidget(include);
    layout->addLayout(buttons);

    // Tab order as designed: style, preview, custom font, include, the prefix, Ok, Cancel.
    QWidget* order[] = { standard_, brief_, preview_, customFont_, all_, selected_, selection_, ok_, cancel_ };
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    includeChanged();
    restorePosition(this, kPosition);
    standard_->setFocus();
}

void ReportCriteriaDialog::includeChanged()
{
    const bool on = selected_->isChecked();
    selection_->setEnabled(on);
    if (!on && !all_->isChecked())
        all_->setChecked(true);
}

ReportCriteria ReportCriteriaDialog::choice() const
{
    ReportCriteria c = values_;
    applyTo(c);
    return c;
}

void ReportCriteriaDialog::applyTo(ReportCriteria& c) const
{
    c.ReportStyle = brief_->isChecked() ? QStringLiteral("Brief") : QStringLiteral("Standard");
    c.ReportWithPreview = preview_->isChecked();
    c.ReportCustomFont = customFont_->isChecked();
    c.SelectedOrAll = selected_->isChecked() ? QStringLiteral("Selected") : QStringLiteral("All");
    c.ReportSelection = selection_->text();
}

void ReportCriteriaDialog::done(int result)
{
    savePosition(this, kPosition);
    QDialog::done(result);
}

void openReportCriteria(AppState& state, QWidget* near, const QString& noun, std::function<void(bool)> answered)
{
    auto* dialog = new ReportCriteriaDialog(state.criteria, noun);
    // The criteria are read when the window closes: another report may have changed them meanwhile,
    // and the window's own choice is the one that counts.
    openIndependent(near, dialog, [&state, dialog, answered = std::move(answered)](int result) {
        const bool completed = result == QDialog::Accepted;
        if (completed)
            dialog->applyTo(state.criteria);
        if (answered)
            answered(completed);
    });
}

} // namespace td

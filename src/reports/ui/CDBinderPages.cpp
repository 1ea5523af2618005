#include "reports/ui/CDBinderPages.h"

#include "albums/ui/SelectAlbum.h"
#include "common/AppState.h"
#include "common/ui/WidgetPosition.h"
#include "reports/ui/CdPageRuns.h"
#include "reports/ui/ReportPlacement.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace td {

namespace {

const QString kPosition = QStringLiteral("CDBinderPages");
constexpr int kFileNumberWidth = 30;

} // namespace

CDBinderPagesDialog::CDBinderPagesDialog(AppState& state, QWidget* parent)
    : QDialog(parent)
    , state_(state)
{
    setObjectName(kPosition);
    setWindowTitle(QStringLiteral("CD Binder Pages"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("FileCabinet"));
    picture->setPixmap(QIcon(QStringLiteral(":/images/filecab.svg")).pixmap(QSize(72, 90)));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* style = new QGroupBox(QStringLiteral("Page Style"), this);
    style->setObjectName(QStringLiteral("PageStyle"));
    binder_ = new QRadioButton(QStringLiteral("Binder"), style);
    binder_->setObjectName(QStringLiteral("Binder"));
    flap_ = new QRadioButton(QStringLiteral("Flap"), style);
    flap_->setObjectName(QStringLiteral("Flap"));
    auto* styleLayout = new QHBoxLayout(style);
    styleLayout->addWidget(binder_);
    styleLayout->addWidget(flap_);
    styleLayout->addStretch();
    (state.criteria.PageStyle.trimmed() == QLatin1String("Flap") ? flap_ : binder_)->setChecked(true);

    auto entry = [this](const QString& name, const QString& value) {
        auto* e = new QLineEdit(value.left(kFileNumberWidth), this);
        e->setObjectName(name);
        e->setMaxLength(kFileNumberWidth);
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QString(16, QLatin1Char('0'))));
        return e;
    };
    start_ = entry(QStringLiteral("StartFileNumber"), state.criteria.StartFileNumber);
    end_ = entry(QStringLiteral("EndFileNumber"), state.criteria.EndFileNumber);
    auto lookUpButton = [this](const QString& name, QLineEdit* target) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(QStringLiteral("..."));
        b->setToolTip(QStringLiteral("Select an album"));
        b->setFocusPolicy(Qt::StrongFocus);
        connect(b, &QToolButton::clicked, this, [this, target] { lookUp(target); });
        return b;
    };
    lookUpStart_ = lookUpButton(QStringLiteral("LookUpStart"), start_);
    lookUpEnd_ = lookUpButton(QStringLiteral("LookUpEnd"), end_);
    auto* startLabel = new QLabel(QStringLiteral("&Starting File Number:"), this);
    startLabel->setBuddy(start_);
    auto* endLabel = new QLabel(QStringLiteral("&Ending File Number:"), this);
    endLabel->setBuddy(end_);

    ok_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_->setObjectName(QStringLiteral("OK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(startLabel, 0, 0);
    grid->addWidget(start_, 0, 1);
    grid->addWidget(lookUpStart_, 0, 2);
    grid->addWidget(endLabel, 1, 0);
    grid->addWidget(end_, 1, 1);
    grid->addWidget(lookUpEnd_, 1, 2);
    auto* fields = new QVBoxLayout;
    fields->addWidget(style);
    fields->addLayout(grid);
    fields->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(fields, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    QWidget* order[] = { binder_, flap_, start_, lookUpStart_, end_, lookUpEnd_, ok_, cancel_ };
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    restorePosition(this, kPosition);
    (flap_->isChecked() ? flap_ : binder_)->setFocus();
}

void CDBinderPagesDialog::lookUp(QLineEdit* entry)
{
    QPointer<QLineEdit> target(entry);
    SelectAlbum(state_, this, [target](const Album* chosen) {
        if (chosen && target) {
            target->setText(chosen->FileNumber.left(kFileNumberWidth));
            target->setFocus();
        }
    });
}

void CDBinderPagesDialog::done(int result)
{
    savePosition(this, kPosition);
    if (result == QDialog::Accepted) {
        state_.criteria.PageStyle = flap_->isChecked() ? QStringLiteral("Flap") : QStringLiteral("Binder");
        state_.criteria.StartFileNumber = start_->text();
        state_.criteria.EndFileNumber = end_->text();
    }
    QDialog::done(result);
}

void CDBinderPages(AppState& state, QWidget* near)
{
    auto* dialog = new CDBinderPagesDialog(state);
    QPointer<QWidget> guard(near);
    openIndependent(near, dialog, [&state, guard](int result) {
        if (result == QDialog::Accepted)
            PrintCDPages(state, guard.data());
    });
}

} // namespace td

#include "cd/ui/CDSetup.h"

#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "common/ui/WidgetPosition.h"
#include "core/ConfigPaths.h"
#include "core/Messages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace td {

namespace {

const QString kProcedure = QStringLiteral("CDSetup");

struct Choice {
    const char* text;
    int value;
    int row;
    int column;
};

// Three columns: the short intervals, the longer ones, then the longest and "do not check".
constexpr Choice kChoices[] = {
    { "100", 100, 0, 0 }, { "150", 150, 1, 0 }, { "200", 200, 2, 0 },
    { "250", 250, 0, 1 }, { "300", 300, 1, 1 }, { "500", 500, 2, 1 },
    { "1000", 1000, 0, 2 }, { "Do Not Check", 0, 1, 2 },
};

} // namespace

void CDSetup(AppState& state, QWidget* caller, std::function<void()> closed)
{
    openForm(caller, new CDSetupWindow(state), [closed = std::move(closed)](int) {
        if (closed)
            closed();
    });
}

CDSetupWindow::CDSetupWindow(AppState& state, QWidget* parent)
    : QDialog(parent)
    , state_(state)
    , iniPath_(settingsIniPath())
{
    setObjectName(kProcedure);
    setWindowTitle(QStringLiteral("CD Player Preferences"));

    auto* box = new QGroupBox(QStringLiteral("Check CD Status Every n 100ths of a Second"), this);
    auto* grid = new QGridLayout(box);
    group_ = new QButtonGroup(this);
    for (const Choice& c : kChoices) {
        auto* radio = new QRadioButton(QString::fromLatin1(c.text), box);
        radio->setObjectName(QStringLiteral("CDTimer%1").arg(c.value));
        grid->addWidget(radio, c.row, c.column);
        group_->addButton(radio, c.value);
        // A value that is none of the choices (typed into the file) leaves all of them clear.
        radio->setChecked(state_.settings.CDTimer == c.value);
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int value) { state_.settings.CDTimer = value; });

    ok_ = new QPushButton(QStringLiteral("&Ok"), this);
    ok_->setObjectName(QStringLiteral("Ok"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &CDSetupWindow::okPressed);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(buttons);

    restorePosition(this, kProcedure);
}

void CDSetupWindow::okPressed()
{
    if (!SaveSetting(iniPath_, QStringLiteral("CDTimer"), QString::number(state_.settings.CDTimer))) {
        // The window stays open with the choice made, so that the user may try again.
        state_.messages.show(QStringLiteral("Error"),
            QStringLiteral("The setting could not be written to ") + iniPath_ + QLatin1Char('.'),
            Icon::Exclamation, Ok, Ok);
        return;
    }
    accept();
}

void CDSetupWindow::done(int r)
{
    // Every way out but "&Ok" undoes the choice made in memory.
    if (r == QDialog::Rejected)
        LoadGlobalSettings(state_.settings, state_.criteria, iniPath_);
    savePosition(this, kProcedure);
    QDialog::done(r);
}

} // namespace td

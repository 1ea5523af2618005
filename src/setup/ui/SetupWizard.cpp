#include "setup/ui/SetupWizard.h"

#include "albums/ui/Housekeeping.h"
#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "core/ConfigPaths.h"
#include "core/DayTime.h"
#include "core/Messages.h"
#include "core/TextField.h"
#include "setup/SetupSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace td {

namespace {

// Ends the program in order: the window at the top of the caller's chain (the main frame) closes,
// closing every list and form with it. Without a caller, the main loop is asked to end.
void endProgram(QWidget* caller)
{
    if (!caller) {
        QCoreApplication::quit();
        return;
    }
    QWidget* top = caller->window();
    while (top->parentWidget())
        top = top->parentWidget()->window();
    // Once the wizard has gone: the frame enables its caller again before it can close.
    QTimer::singleShot(0, top, [top = QPointer<QWidget>(top)] {
        if (top && top->isVisible())
            top->close();
    });
}

QStringList lines(std::initializer_list<const char*> texts)
{
    QStringList out;
    for (const char* t : texts)
        out << QString::fromUtf8(t);
    return out;
}

} // namespace

void SetupWizard(AppState& state, QWidget* caller, std::function<void()> finished)
{
    auto* wizard = new SetupWizardDialog(state);
    openForm(caller, wizard, [caller, finished = std::move(finished)](int result) {
        if (result != QDialog::Accepted) {
            endProgram(caller);
            return;
        }
        if (finished)
            finished();
    });
}

SetupWizardDialog::SetupWizardDialog(AppState& state, QWidget* parent)
    : QDialog(parent)
    , state_(state)
    , iniPath_(settingsIniPath())
{
    setObjectName(QStringLiteral("SetupWizard"));
    setWindowTitle(QStringLiteral("Setup Wizard"));
    setWindowIcon(QIcon(QStringLiteral(":/images/wizard.svg")));
    // The wizard starts from the preferences as they are saved.
    LoadGlobalSettings(state_.settings, state_.criteria, iniPath_);
    const GlobalSettings& s = state_.settings;
    formatInForce_ = s.DateFormat;

    pages_ = new QTabWidget(this);
    pages_->tabBar()->hide();
    pages_->addTab(page(QStringLiteral("Welcome"), QStringLiteral("wizard.svg"),
                        lines({"Welcome to Tunedeck Pro 98, the best way to organize your", "music collection.",
                               "Features Include:", "- Quick locators that help you find what you want fast!",
                               "- Query Wizards for detailed searching.", "- Many reporting options.",
                               "- Integrated CD Player", "The way Tunedeck Pro 98 works can be easily customized.",
                               "Please tell us your wishes for some of the basics... press Next."}),
                        nullptr),
                   QStringLiteral("Welcome"));

    auto* dateControls = new QWidget;
    auto* dateRow = new QVBoxLayout(dateControls);
    dateRow->setContentsMargins(0, 0, 0, 0);
    date_ = new QComboBox(dateControls);
    date_->setObjectName(QStringLiteral("DateFormat"));
    date_->addItems(dateFormatEntryTexts());
    date_->setMinimumContentsLength(20);
    QString entry = dateEntryForCode(s.DateFormat);
    if (entry.isEmpty())
        entry = QString::fromLatin1(kYearOnlyEntry); // nothing set yet
    int index = date_->findText(entry);
    if (index < 0) {
        date_->addItem(entry);
        index = date_->count() - 1;
    }
    date_->setCurrentIndex(index);
    dateSample_ = new QLabel(dateControls);
    dateSample_->setObjectName(QStringLiteral("DateSample"));
    auto showSample = [this] {
        const QString sample = dateFormatSample(dateCodeForEntry(date_->currentText(), formatInForce_), today());
        dateSample_->setText(sample.isEmpty() ? QStringLiteral("(each window keeps its own date format)")
                                              : QStringLiteral("For example: ") + sample);
    };
    connect(date_, &QComboBox::currentTextChanged, this, showSample);
    showSample();
    dateRow->addWidget(date_, 0, Qt::AlignLeft);
    dateRow->addWidget(dateSample_);
    pages_->addTab(page(QStringLiteral("Date"), QStringLiteral("wizard-date.svg"),
                        lines({"Your reports and screen can use a common date format for",
                               "release dates. Please select a format:"}),
                        dateControls),
                   QStringLiteral("Date"));

    udk_ = new QLineEdit(clip(s.UDKPrompt));
    udk_->setObjectName(QStringLiteral("UDKPrompt"));
    udk_->setMaxLength(24);
    udk_->setMinimumWidth(udk_->fontMetrics().averageCharWidth() * 22);
    pages_->addTab(page(QStringLiteral("UserDefinedKeyField"), QStringLiteral("wizard.svg"),
                        lines({"Tunedeck Pro 98 lets you track everything from basic song",
                               "information (artist, title, album) to details such as the tempo,",
                               "the style and three fields of additional information.",
                               "One more field is yours to define. Unlike the others, it serves",
                               "as a quick locator and has a sort tab of its own in the song",
                               "list, so it suits whatever you look songs up by most: a genre,",
                               "a mood, the rotation of a radio show. Enter the name",
                               "for this field here (you can always change or name it later):"}),
                        udk_),
                   QStringLiteral("User Defined Key Field"));

    auto* startControls = new QWidget;
    auto* startBoxes = new QVBoxLayout(startControls);
    startBoxes->setContentsMargins(0, 0, 0, 0);
    const QString startTexts[4] = {QStringLiteral("Albums"), QStringLiteral("Songs"),
                                   QStringLiteral("Labels that you've created for cassettes and CDs"),
                                   QStringLiteral("Customized \"Playlists\"")};
    const char* startNames[4] = {"SU_Albums", "SU_Songs", "SU_Labels", "SU_Playlists"};
    const bool startValues[4] = {s.SU_Albums, s.SU_Songs, s.SU_Labels, s.SU_Playlists};
    for (int i = 0; i < 4; ++i) {
        startUp_[i] = new QCheckBox(startTexts[i], startControls);
        startUp_[i]->setObjectName(QLatin1String(startNames[i]));
        startUp_[i]->setChecked(startValues[i]);
        startBoxes->addWidget(startUp_[i]);
    }
    pages_->addTab(page(QStringLiteral("StartUp"), QStringLiteral("wizard.svg"),
                        lines({"When you start Tunedeck Pro 98, you can have information",
                               "automatically displayed. Which would you like to see?"}),
                        startControls),
                   QStringLiteral("Start Up"));

    pages_->addTab(page(QStringLiteral("Done"), QStringLiteral("wizard-finish.svg"),
                        lines({"That's it! You are now ready to start using Tunedeck Pro 98!",
                               "You can customize Tunedeck Pro 98 further at any time:",
                               "choose File, Preferences.",
                               "Categories and media formats are changed under Browse,",
                               "Categories or Media Formats.", "Press Finish to complete your setup."}),
                        nullptr),
                   QStringLiteral("Done"));

    back_ = new QPushButton(QStringLiteral("&Back"), this);
    back_->setObjectName(QStringLiteral("Back"));
    next_ = new QPushButton(QStringLiteral("&Next"), this);
    next_->setObjectName(QStringLiteral("Next"));
    finish_ = new QPushButton(QStringLiteral("&Finish"), this);
    finish_->setObjectName(QStringLiteral("Finish"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    connect(back_, &QPushButton::clicked, this, &SetupWizardDialog::back);
    connect(next_, &QPushButton::clicked, this, &SetupWizardDialog::next);
    connect(finish_, &QPushButton::clicked, this, &SetupWizardDialog::finishPressed);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {back_, next_, finish_, cancel_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    auto* v = new QVBoxLayout(this);
    v->addWidget(pages_);
    v->addLayout(buttons);
    showPage(0);
}

QWidget* SetupWizardDialog::page(const QString& name, const QString& picture, const QStringList& texts,
                                 QWidget* controls)
{
    auto* w = new QWidget;
    w->setObjectName(name);
    auto* h = new QHBoxLayout(w);
    auto* image = new QLabel(w);
    image->setObjectName(name + QStringLiteral("Picture"));
    image->setPixmap(QIcon(QStringLiteral(":/images/") + picture).pixmap(QSize(120, 160)));
    image->setFixedWidth(128);
    image->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    h->addWidget(image);
    auto* v = new QVBoxLayout;
    for (const QString& line : texts) {
        auto* label = new QLabel(line, w);
        label->setTextFormat(Qt::PlainText);
        v->addWidget(label);
    }
    if (controls) {
        v->addSpacing(8);
        v->addWidget(controls);
    }
    v->addStretch();
    h->addLayout(v, 1);
    return w;
}

int SetupWizardDialog::page() const
{
    return pages_->currentIndex();
}

void SetupWizardDialog::showPage(int index)
{
    const int last = pages_->count() - 1;
    index = qBound(0, index, last);
    pages_->setCurrentIndex(index);
    back_->setEnabled(index > 0);
    next_->setEnabled(index < last);
    finish_->setVisible(index == last);
    (index == last ? finish_ : next_)->setDefault(true);
    (index == last ? next_ : finish_)->setDefault(false);
    // The keyboard goes to the page's control, or stays on the buttons.
    if (index == 1)
        date_->setFocus();
    else if (index == 2)
        udk_->setFocus();
    else if (index == 3)
        startUp_[0]->setFocus();
    else
        (index == last ? finish_ : next_)->setFocus();
}

void SetupWizardDialog::next()
{
    if (next_->isEnabled())
        showPage(page() + 1);
}

void SetupWizardDialog::back()
{
    if (back_->isEnabled())
        showPage(page() - 1);
}

void SetupWizardDialog::finishPressed()
{
    if (busy_ || !finish_->isVisible())
        return;
    // What the wizard asked for, over every other preference as it is in memory.
    GlobalSettings s = state_.settings;
    s.UDKPrompt = storeText(udk_->text(), 24);
    s.SU_Albums = startUp_[0]->isChecked();
    s.SU_Songs = startUp_[1]->isChecked();
    s.SU_Labels = startUp_[2]->isChecked();
    s.SU_Playlists = startUp_[3]->isChecked();
    const QString chosen = date_->currentText();
    const QString code = dateCodeForEntry(chosen, formatInForce_);
    QString error;
    if (!SaveSetupSettings(s, code, SettingsWriter::Wizard, iniPath_, &error)) {
        // The wizard stays, with every answer: the user may try again, or cancel.
        state_.messages.show(QString::fromLatin1(setuptext::kSaveFailedCaption),
                             setuptext::saveFailed(iniPath_, error), Icon::Exclamation, Ok, Ok);
        return;
    }
    s.SetupWizardComplete = true;
    s.DateFormat = code;
    state_.settings = s;
    if (wizardDateChange(chosen, formatInForce_).askConvert
        && state_.messages.show(QString::fromLatin1(setuptext::kConvertCaption), setuptext::convertQuestion(),
                                Icon::Question, Yes | No, Yes)
            == Yes) {
        busy_ = true;
        runConvertDatesToYears(state_, this, [this] { accept(); });
        return;
    }
    accept();
}

void SetupWizardDialog::done(int r)
{
    // Once written, the preferences stand: a conversion cut short still finishes the wizard.
    if (r != QDialog::Accepted && state_.settings.SetupWizardComplete && busy_)
        r = QDialog::Accepted;
    QDialog::done(r);
}

} // namespace td

#include "setup/ui/SetupWindow.h"

#include "albums/ui/Housekeeping.h"
#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "core/ConfigPaths.h"
#include "core/DayTime.h"
#include "core/Messages.h"
#include "core/TextField.h"
#include "setup/SetupSettings.h"
#include "setup/ui/SetupWizard.h"
#include "songs/SongBrowseLogic.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace td {

void Setup(AppState& state, QWidget* caller, std::function<void()> closed)
{
    if (!state.settings.SetupWizardComplete) {
        SetupWizard(state, caller, std::move(closed));
        return;
    }
    auto* window = new SetupWindow(state);
    openForm(caller, window, [&state, caller, closed = std::move(closed)](int result) {
        // The wizard takes the window's place for the same caller.
        if (result == SetupWindow::UseWizard) {
            SetupWizard(state, caller, closed);
            return;
        }
        if (closed)
            closed();
    });
}

SetupWindow::SetupWindow(AppState& state, QWidget* parent)
    : QDialog(parent)
    , state_(state)
    , iniPath_(settingsIniPath())
{
    setObjectName(QStringLiteral("Setup"));
    setWindowTitle(QStringLiteral("Preferences"));
    reloadStartupFlags(state_.settings, iniPath_);

    tabs_ = new QTabWidget(this);
    tabs_->addTab(buildGeneral(), QStringLiteral("General"));
    tabs_->addTab(buildStartUp(), QStringLiteral("Start Up"));
    tabs_->addTab(buildAdding(), QStringLiteral("Adding"));
    tabs_->addTab(buildLabels(), QStringLiteral("Labels"));
    tabs_->addTab(buildHousekeeping(), QStringLiteral("Housekeeping"));
    // The logo is offered only to those who set one.
    if (!clip(state_.settings.Logo).isEmpty())
        tabs_->addTab(buildLogo(), QStringLiteral("Company Logo"));

    ok_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_->setObjectName(QStringLiteral("OK"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    wizard_ = new QPushButton(QStringLiteral("Use Setup Wi&zard"), this);
    wizard_->setObjectName(QStringLiteral("UseSetupWizard"));
    for (QPushButton* b : {ok_, cancel_, wizard_})
        b->setAutoDefault(false);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &SetupWindow::okPressed);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(wizard_, &QPushButton::clicked, this, [this] { done(UseWizard); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(wizard_);
    auto* v = new QVBoxLayout(this);
    v->addWidget(tabs_);
    v->addLayout(buttons);

    showSamples();
    if (auto* standard = findChild<QRadioButton*>(QStringLiteral("InterfaceStandard")))
        standard->setFocus();
}

QWidget* SetupWindow::radioGroup(const QString& title, const QString& name, const QStringList& texts, QString& value)
{
    auto* box = new QGroupBox(title);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    // A stored value that is none of the radios (the "1" of a new file) leaves them all clear.
    for (int i = 0; i < texts.size(); ++i) {
        auto* radio = new QRadioButton(texts.at(i), box);
        QString suffix = texts.at(i);
        suffix.remove(QLatin1Char(' '));
        radio->setObjectName(name + (suffix.at(0).isLetterOrNumber() ? suffix : QString::number(i + 1)));
        radio->setChecked(clip(value).compare(texts.at(i), Qt::CaseInsensitive) == 0);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    connect(group, &QButtonGroup::idClicked, this, [&value, texts](int id) { value = texts.at(id); });
    return box;
}

QCheckBox* SetupWindow::flagBox(const QString& text, const QString& name, bool& value)
{
    auto* box = new QCheckBox(text);
    box->setObjectName(name);
    box->setChecked(value);
    connect(box, &QCheckBox::toggled, this, [&value](bool on) { value = on; });
    return box;
}

QWidget* SetupWindow::buildGeneral()
{
    GlobalSettings& s = state_.settings;
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(radioGroup(QStringLiteral("Interface"), QStringLiteral("Interface"),
                            {QStringLiteral("Standard"), QStringLiteral("Explorer")}, s.Interface));

    date_ = new QComboBox(page);
    date_->setObjectName(QStringLiteral("DateFormat"));
    date_->addItems(dateFormatEntryTexts());
    // A code that is none of the entries is shown as it stands, and kept unless another is chosen.
    openedEntry_ = dateEntryForCode(s.DateFormat);
    int index = date_->findText(openedEntry_);
    if (index < 0 && !openedEntry_.isEmpty()) {
        date_->addItem(openedEntry_);
        index = date_->count() - 1;
    }
    date_->setCurrentIndex(index);
    dateSample_ = new QLabel(page);
    dateSample_->setObjectName(QStringLiteral("DateSample"));
    connect(date_, &QComboBox::currentTextChanged, this, &SetupWindow::showSamples);
    auto* dateLabel = new QLabel(QStringLiteral("Date Format:"), page);
    dateLabel->setBuddy(date_);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(dateLabel);
    dateRow->addWidget(date_);
    dateRow->addWidget(dateSample_, 1);
    v->addLayout(dateRow);

    auto* prompts = new QGroupBox(QStringLiteral("Prompts (Field Labels)"), page);
    prompts->setObjectName(QStringLiteral("Prompts"));
    auto* f = new QFormLayout(prompts);
    udk_ = new QLineEdit(clip(s.UDKPrompt), prompts);
    udk_->setObjectName(QStringLiteral("UDKPrompt"));
    udk_->setMaxLength(24);
    udk_->setMinimumWidth(udk_->fontMetrics().averageCharWidth() * 22);
    connect(udk_, &QLineEdit::textEdited, this, [this](const QString& t) {
        state_.settings.UDKPrompt = storeText(t, 24);
        showSamples();
    });
    udkSample_ = new QLabel(prompts);
    udkSample_->setObjectName(QStringLiteral("UDKSample"));
    notes_ = new QLineEdit(clip(s.NotesLabel), prompts);
    notes_->setObjectName(QStringLiteral("NotesLabel"));
    notes_->setMaxLength(20);
    connect(notes_, &QLineEdit::textEdited, this,
            [this](const QString& t) { state_.settings.NotesLabel = storeText(t, 20); });
    f->addRow(QStringLiteral("User Defined Key Field:"), udk_);
    f->addRow(QString(), udkSample_);
    f->addRow(QStringLiteral("Notes Field (on DJ Log):"), notes_);
    v->addWidget(prompts);
    v->addStretch();
    return page;
}

QWidget* SetupWindow::buildStartUp()
{
    GlobalSettings& s = state_.settings;
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Show At Start Up"), page);
    group->setObjectName(QStringLiteral("ShowAtStartUp"));
    auto* g = new QVBoxLayout(group);
    g->addWidget(flagBox(QStringLiteral("Albums"), QStringLiteral("SU_Albums"), s.SU_Albums));
    g->addWidget(flagBox(QStringLiteral("Songs"), QStringLiteral("SU_Songs"), s.SU_Songs));
    g->addWidget(flagBox(QStringLiteral("Labels"), QStringLiteral("SU_Labels"), s.SU_Labels));
    g->addWidget(flagBox(QStringLiteral("Playlists"), QStringLiteral("SU_Playlists"), s.SU_Playlists));
    v->addWidget(group);
    v->addWidget(flagBox(QStringLiteral("At start up, select last order tab used"), QStringLiteral("SaveLastTab"),
                         s.SaveLastTab));
    v->addStretch();
    return page;
}

QWidget* SetupWindow::buildAdding()
{
    GlobalSettings& s = state_.settings;
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(radioGroup(QStringLiteral("Add Mode"), QStringLiteral("AddMode"),
                            {QStringLiteral("Normal"), QStringLiteral("Compilation"), QStringLiteral("Single Artist"),
                             QStringLiteral("Ask Each Time")},
                            s.AddMode));
    v->addWidget(flagBox(QStringLiteral("When adding from CD Player, use Add Compilation Wizard"),
                         QStringLiteral("DefaultWizardCompilation"), s.DefaultWizardCompilation));
    // Stored as text: blank is off, anything else on; a value the user does not touch stays as it is.
    auto* autoAdd = new QCheckBox(QStringLiteral("Automatically Add Album Information to Album Database"), page);
    autoAdd->setObjectName(QStringLiteral("AutoAddToAlbums"));
    autoAdd->setChecked(s.autoAddToAlbums());
    connect(autoAdd, &QCheckBox::toggled, this,
            [this](bool on) { state_.settings.AutoAddToAlbums = on ? QStringLiteral("1") : QString(); });
    v->addWidget(autoAdd);
    v->addStretch();
    return page;
}

QWidget* SetupWindow::buildLabels()
{
    GlobalSettings& s = state_.settings;
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);
    h->addWidget(radioGroup(QStringLiteral("Label Wizard Order"), QStringLiteral("LabelArtistTitleOrder"),
                            {QStringLiteral("Artist - Title"), QStringLiteral("Title - Artist")},
                            s.LabelArtistTitleOrder),
                 0, Qt::AlignTop);
    h->addWidget(radioGroup(QStringLiteral("Track #/Song Delimiter"), QStringLiteral("Delimiter"),
                            {QStringLiteral("."), QStringLiteral("]"), QStringLiteral(">"), QStringLiteral(")"),
                             QStringLiteral("*"), QStringLiteral("}")},
                            s.Delimiter),
                 0, Qt::AlignTop);
    h->addStretch();
    return page;
}

QWidget* SetupWindow::buildHousekeeping()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(new QLabel(QStringLiteral("These functions should only be used to correct known problems"), page));
    v->addWidget(new QLabel(QStringLiteral("in earlier versions.  They can cause damage if used improperly.."), page));
    auto* copy = new QPushButton(QStringLiteral("Create Album Database from Tunedeck Database"), page);
    copy->setObjectName(QStringLiteral("CopyToAlbum"));
    auto* test = new QPushButton(QStringLiteral("Test Album Database Link Integrity"), page);
    test->setObjectName(QStringLiteral("TestAlbumIDs"));
    for (QPushButton* b : {copy, test}) {
        b->setAutoDefault(false);
        v->addWidget(b, 0, Qt::AlignLeft);
    }
    connect(copy, &QPushButton::clicked, this,
            [this] { housekeeping(setuptext::copyToAlbumQuestion(), &runCopyToAlbum); });
    connect(test, &QPushButton::clicked, this,
            [this] { housekeeping(setuptext::testAlbumIdsQuestion(), &runTestAlbumIDs); });
    v->addStretch();
    return page;
}

QWidget* SetupWindow::buildLogo()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    logo_ = new QLineEdit(clip(state_.settings.Logo), page);
    logo_->setObjectName(QStringLiteral("Logo"));
    logo_->setMaxLength(255);
    connect(logo_, &QLineEdit::textChanged, this, [this](const QString& t) {
        state_.settings.Logo = storeText(t, 255);
        showSamples();
    });
    auto* browse = new QPushButton(QStringLiteral("&Browse"), page);
    browse->setObjectName(QStringLiteral("Browse"));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &SetupWindow::browseLogo);
    auto* label = new QLabel(QStringLiteral("Company Logo:"), page);
    label->setBuddy(logo_);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(logo_, 1);
    row->addWidget(browse);
    v->addLayout(row);
    logoSample_ = new QLabel(page);
    logoSample_->setObjectName(QStringLiteral("LogoSample"));
    logoSample_->setMinimumHeight(52);
    v->addWidget(logoSample_);
    v->addStretch();
    return page;
}

void SetupWindow::showSamples()
{
    const QString code = dateCodeForEntry(date_->currentText(), state_.settings.DateFormat);
    const QString sample = dateFormatSample(code, today());
    dateSample_->setText(sample.isEmpty() ? QStringLiteral("(each window keeps its own date format)")
                                          : QStringLiteral("For example: ") + sample);
    udkSample_->setText(QStringLiteral("Song form: \"%1\"   Song list tab: \"%2\"")
                            .arg(songFormUdkPrompt(state_.settings.UDKPrompt),
                                 songTabTitle(SongTab::ByUdk, state_.settings)));
    if (!logoSample_)
        return;
    const QString path = clip(state_.settings.Logo);
    QPixmap picture;
    if (!path.isEmpty() && QFileInfo(path).isFile())
        picture.load(path);
    if (picture.isNull()) {
        logoSample_->setPixmap(QPixmap());
        logoSample_->setText(path.isEmpty() ? QString()
                                            : QStringLiteral("No picture can be read from this path: the main "
                                                             "window shows its own logo instead."));
    } else {
        logoSample_->setPixmap(picture.scaledToHeight(48, Qt::SmoothTransformation));
    }
}

void SetupWindow::housekeeping(const QString& question, void (*run)(AppState&, QWidget*, std::function<void()>))
{
    const int answer = state_.messages.show(QString::fromLatin1(setuptext::kHousekeepingCaption), question,
                                            Icon::Question, Yes | No, No);
    if (answer == Yes)
        run(state_, this, {});
}

void SetupWindow::browseLogo()
{
    auto* dialog = new QFileDialog(nullptr, QStringLiteral("Choose a File"));
    dialog->setObjectName(QStringLiteral("ChooseAFile"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(QStringLiteral("All Files (*)"));
    const QFileInfo current(clip(state_.settings.Logo));
    if (current.isDir()) {
        dialog->setDirectory(current.absoluteFilePath());
    } else if (!current.filePath().isEmpty()) {
        dialog->setDirectory(current.absolutePath());
        dialog->selectFile(current.fileName());
    }
    openForm(this, dialog, [this, dialog](int result) {
        const QString chosen = dialog->selectedFiles().value(0);
        if (result == QDialog::Accepted && !chosen.isEmpty())
            logo_->setText(chosen);
    });
}

void SetupWindow::okPressed()
{
    if (busy_)
        return;
    GlobalSettings& s = state_.settings;
    const QString chosen = date_->currentText();
    const QString code = dateCodeForEntry(chosen, s.DateFormat);
    QString error;
    if (!SaveSetupSettings(s, code, SettingsWriter::Window, iniPath_, &error)) {
        // The window stays open with every change, so that nothing is lost: the user may try again.
        state_.messages.show(QString::fromLatin1(setuptext::kSaveFailedCaption), setuptext::saveFailed(iniPath_, error),
                             Icon::Exclamation, Ok, Ok);
        return;
    }
    const DateFormatChange change = setupDateChange(openedEntry_, chosen, s.DateFormat);
    s.DateFormat = code;
    if (change.inform)
        state_.messages.show(QString::fromLatin1(setuptext::kInformationCaption), setuptext::dateChangeInformation(),
                             Icon::Information, Ok, Ok);
    if (change.askConvert
        && state_.messages.show(QString::fromLatin1(setuptext::kConvertCaption), setuptext::convertQuestion(),
                                Icon::Question, Yes | No, Yes)
            == Yes) {
        busy_ = true;
        runConvertDatesToYears(state_, this, [this] { accept(); });
        return;
    }
    accept();
}

void SetupWindow::done(int r)
{
    // Every way of closing but "&OK" and the wizard undoes the changes made in memory.
    if (r == QDialog::Rejected)
        LoadGlobalSettings(state_.settings, state_.criteria, iniPath_);
    QDialog::done(r);
}

} // namespace td

#include "songs/ui/UpdateSong.h"

#include "albums/ui/AddWizard.h"
#include "albums/ui/SelectAlbum.h"
#include "common/AppState.h"
#include "common/ui/FormEntries.h"
#include "common/ui/FormHost.h"
#include "common/ui/WidgetPosition.h"
#include "core/DayTime.h"
#include "core/ListFormat.h"
#include "core/Messages.h"
#include "core/Picture.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "songs/MediaList.h"
#include "songs/SongForm.h"
#include "songs/ui/SelectAddType.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace td {

namespace {

const char* const kTimePicture = "@t4";

int widthOf(const QString& field)
{
    const TableDef& t = tableDef(TableId::Tunedeck);
    return t.field(t.fieldIndex(field)).width;
}

} // namespace

// --- the window ----------------------------------------------------------------------------------

UpdateSongDialog::UpdateSongDialog(std::unique_ptr<SongForm> form, QWidget* parent)
    : QDialog(parent)
    , owned_(std::move(form))
    , form_(*owned_)
{
    section_ = form_.album() ? QStringLiteral("UpdateSongsForAlbum") : QStringLiteral("UpdateSong");
    setObjectName(section_);
    setWindowTitle(QStringLiteral("Update the Tunedeck Database"));
    setSizeGripEnabled(true);
    datePicture_ = applyDatePicture(QStringLiteral("@d17"), form_.state().settings.DateFormat);

    tabs_ = new QTabWidget(this);
    buildGeneralTab();
    buildCustomTab();
    buildRecordingTab();
    buildNotesTab();

    ok_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_->setObjectName(QStringLiteral("OK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    albumDefaults_ = new QPushButton(QStringLiteral("Default &with Album Information"), this);
    albumDefaults_->setObjectName(QStringLiteral("DefaultWithAlbum"));
    // Opened for an album, the song takes that album's values by itself.
    albumDefaults_->setVisible(!form_.album());

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(albumDefaults_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &UpdateSongDialog::okPressed);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(albumDefaults_, &QPushButton::clicked, this, &UpdateSongDialog::albumDefaultsPressed);
    auto* ditto = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Apostrophe), this);
    connect(ditto, &QShortcut::activated, this, &UpdateSongDialog::dittoPressed);
}

UpdateSongDialog::~UpdateSongDialog() = default;

QLineEdit* UpdateSongDialog::textEntry(const QString& field, const QString& name)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setMaxLength(widthOf(field));
    return e;
}

QPlainTextEdit* UpdateSongDialog::memoEntry(const QString& field, const QString& name)
{
    auto* e = new QPlainTextEdit(this);
    e->setObjectName(name);
    e->setTabChangesFocus(true);
    limitMemo(e, widthOf(field));
    return e;
}

void UpdateSongDialog::buildGeneralTab()
{
    auto* page = new QWidget;
    auto* f = new QFormLayout(page);
    artist_ = textEntry(QStringLiteral("Artist"), QStringLiteral("Artist"));
    title_ = textEntry(QStringLiteral("Title"), QStringLiteral("Title"));
    album_ = textEntry(QStringLiteral("Album"), QStringLiteral("Album"));
    media_ = new QComboBox(this);
    media_->setObjectName(QStringLiteral("Media"));
    time_ = new QLineEdit(this);
    time_->setObjectName(QStringLiteral("Time"));
    time_->setMaxLength(12);
    fileNumber_ = textEntry(QStringLiteral("FileNumber"), QStringLiteral("FileNumber"));
    releaseDate_ = new QLineEdit(this);
    releaseDate_->setObjectName(QStringLiteral("ReleaseDate"));
    releaseDate_->setMaxLength(40);
    category_ = new QComboBox(this);
    category_->setObjectName(QStringLiteral("Category"));
    category_->setEditable(true);
    category_->setInsertPolicy(QComboBox::NoInsert);
    category_->lineEdit()->setMaxLength(tableDef(TableId::Categories).field(1).width);
    category_->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    track_ = new QSpinBox(this);
    track_->setObjectName(QStringLiteral("TrackNumber"));
    track_->setRange(0, 999); // three digits; the check allows 0 to 99

    auto* sideBox = new QWidget(this);
    auto* sideLayout = new QHBoxLayout(sideBox);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    side_ = new QButtonGroup(this);
    const struct {
        const char* text;
        const char* name;
        int id;
    } sides[] = { { "1", "Side1", 1 }, { "2", "Side2", 2 }, { " None", "SideNone", 0 } };
    for (const auto& s : sides) {
        auto* b = new QRadioButton(QString::fromLatin1(s.text), sideBox);
        b->setObjectName(QString::fromLatin1(s.name));
        side_->addButton(b, s.id);
        sideLayout->addWidget(b);
    }
    sideLayout->addStretch(1);

    f->addRow(QStringLiteral("&Artist:"), artist_);
    f->addRow(QStringLiteral("&Title:"), title_);
    f->addRow(QStringLiteral("A&lbum:"), album_);
    f->addRow(QStringLiteral("&Media:"), media_);
    f->addRow(QStringLiteral("T&ime:"), time_);
    f->addRow(QStringLiteral("&File Number:"), fileNumber_);
    f->addRow(QStringLiteral("&Release Date:"), releaseDate_);
    f->addRow(QStringLiteral("&Category:"), category_);
    f->addRow(QStringLiteral("Trac&k Number:"), track_);
    f->addRow(QStringLiteral("Side / Disc"), sideBox);
    tabs_->addTab(page, QStringLiteral("&General"));

    connect(time_, &QLineEdit::editingFinished, this, [this] {
        if (time_->isModified() && !leavingForCancel())
            acceptTime();
    });
    connect(releaseDate_, &QLineEdit::editingFinished, this, [this] {
        if (releaseDate_->isModified() && !leavingForCancel())
            acceptDate();
    });
    new CheckOnEnter(time_, [this] { return !time_->isModified() || acceptTime(); });
    new CheckOnEnter(releaseDate_, [this] { return !releaseDate_->isModified() || acceptDate(); });
    new CheckOnEnter(category_->lineEdit(),
        [this] { return category_->currentText() == acceptedCategory_ || acceptCategory(); });
    connect(media_, &QComboBox::activated, this, [this] { acceptMedia(); });
    auto categoryDone = [this] {
        if (category_->currentText() != acceptedCategory_ && !leavingForCancel())
            acceptCategory();
    };
    connect(category_->lineEdit(), &QLineEdit::editingFinished, this, categoryDone);
    connect(category_, &QComboBox::activated, this, categoryDone);
    connect(track_, &QSpinBox::editingFinished, this, [this] {
        if (!leavingForCancel())
            acceptTrack();
    });
}

void UpdateSongDialog::buildCustomTab()
{
    auto* page = new QWidget;
    auto* f = new QFormLayout(page);
    chart_ = new QSpinBox(this);
    chart_->setObjectName(QStringLiteral("ChartNumber"));
    chart_->setRange(0, 999); // three digits; the check allows 0 to 100
    udk_ = textEntry(QStringLiteral("UserDefinedKeyField"), QStringLiteral("UserDefinedKeyField"));
    udk_->setToolTip(
        QStringLiteral("See File/Preferences/Customization to label this field to suit your needs"));
    bpm_ = new QSpinBox(this);
    bpm_->setObjectName(QStringLiteral("BeatsPerMinute"));
    bpm_->setRange(0, 9999); // @n_4b: four digits, blank when zero
    bpm_->setSpecialValueText(QStringLiteral(" "));
    bpm_->setToolTip(QStringLiteral("Beats Per Minute (BPM)"));
    style_ = textEntry(QStringLiteral("Style"), QStringLiteral("Style"));
    for (int i = 0; i < 3; ++i) {
        info_[i] = textEntry(QStringLiteral("AdditionalInformation%1").arg(i + 1),
            QStringLiteral("AdditionalInformation%1").arg(i + 1));
        info_[i]->setToolTip(QStringLiteral("Addition Information (%1)").arg(i + 1));
    }
    const QString prompt = clip(form_.state().settings.UDKPrompt);
    udkPrompt_ = new QLabel(
        prompt.trimmed().isEmpty() ? QStringLiteral("User Defined Key Field:") : prompt + QLatin1Char(':'),
        this);
    udkPrompt_->setObjectName(QStringLiteral("UserDefinedKeyPrompt"));
    udkPrompt_->setBuddy(udk_);

    f->addRow(QStringLiteral("Highest C&hart Number:"), chart_);
    f->addRow(udkPrompt_, udk_);
    f->addRow(QStringLiteral("&Beats Per Minute:"), bpm_);
    f->addRow(QStringLiteral("St&yle:"), style_);
    for (int i = 0; i < 3; ++i)
        f->addRow(QStringLiteral("Additional Information &%1:").arg(i + 1), info_[i]);
    tabs_->addTab(page, QStringLiteral("&DJ/Custom"));

    connect(chart_, &QSpinBox::editingFinished, this, [this] {
        if (!leavingForCancel())
            acceptChart();
    });
}

void UpdateSongDialog::buildRecordingTab()
{
    auto* page = new QWidget;
    auto* f = new QFormLayout(page);
    recording_ = memoEntry(QStringLiteral("Recording"), QStringLiteral("Recording"));
    recording_->setToolTip(QStringLiteral("Recording Information (Engineer, Producer, Etc)"));
    composer_ = textEntry(QStringLiteral("Composer"), QStringLiteral("Composer"));
    performance_ = memoEntry(QStringLiteral("PerformanceNotes"), QStringLiteral("PerformanceNotes"));
    f->addRow(QStringLiteral("R&ecording Information:"), recording_);
    f->addRow(QStringLiteral("Compo&ser:"), composer_);
    f->addRow(QStringLiteral("Performance Notes:"), performance_);
    tabs_->addTab(page, QStringLiteral("Recording/&Performance"));
}

void UpdateSongDialog::buildNotesTab()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    notes_ = memoEntry(QStringLiteral("Notes"), QStringLiteral("Notes"));
    l->addWidget(notes_);
    tabs_->addTab(page, QStringLiteral("&Notes"));
}

bool UpdateSongDialog::load()
{
    setWindowTitle(
        form_.isAdd() ? QStringLiteral("Adding Information") : QStringLiteral("Changing Information"));
    if (!form_.fillMediaList() || !form_.fillCategoryList())
        return false;
    fillMediaCombo();
    fillCategoryCombo();
    showRecord();
    artist_->setFocus();
    return true;
}

void UpdateSongDialog::fillMediaCombo()
{
    QSignalBlocker block(media_);
    media_->clear();
    media_->addItems(form_.mediaNames());
}

void UpdateSongDialog::fillCategoryCombo()
{
    QSignalBlocker block(category_);
    const QString text = category_->currentText();
    category_->clear();
    for (const auto& c : form_.categories())
        category_->addItem(c.name, c.id);
    category_->setEditText(text);
}

void UpdateSongDialog::showRecord()
{
    const Tunedeck& s = form_.song();
    artist_->setText(s.Artist);
    title_->setText(s.Title);
    album_->setText(s.Album);
    {
        QSignalBlocker block(media_);
        media_->setCurrentIndex(findMedia(form_.mediaNames(), s.Media));
    }
    time_->setText(Picture(QString::fromLatin1(kTimePicture)).format(s.Time));
    fileNumber_->setText(s.FileNumber);
    releaseDate_->setText(formatDateValue(Picture(datePicture_), s.ReleaseDate));
    {
        QSignalBlocker block(category_);
        const QString name = form_.categoryName();
        const int i = category_->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        category_->setCurrentIndex(name.isEmpty() ? -1 : i);
        category_->setEditText(name);
        acceptedCategory_ = name;
    }
    track_->setValue(s.TrackNumber);
    {
        const QString side = clip(s.Side);
        QAbstractButton* b = side == QLatin1String("1") ? side_->button(1)
            : side == QLatin1String("2")                ? side_->button(2)
            : side.trimmed().isEmpty()                  ? side_->button(0)
                                                        : nullptr;
        side_->setExclusive(false);
        for (QAbstractButton* each : side_->buttons())
            each->setChecked(each == b);
        side_->setExclusive(true);
    }
    chart_->setValue(s.ChartNumber);
    udk_->setText(s.UserDefinedKeyField);
    bpm_->setValue(s.BeatsPerMinute);
    style_->setText(s.Style);
    info_[0]->setText(s.AdditionalInformation1);
    info_[1]->setText(s.AdditionalInformation2);
    info_[2]->setText(s.AdditionalInformation3);
    recording_->setPlainText(s.Recording);
    composer_->setText(s.Composer);
    performance_->setPlainText(s.PerformanceNotes);
    notes_->setPlainText(s.Notes);
}

void UpdateSongDialog::storePlainControls()
{
    Tunedeck& s = form_.song();
    s.Artist = artist_->text();
    s.Title = title_->text();
    s.Album = album_->text();
    if (media_->currentIndex() >= 0)
        s.Media = media_->currentText();
    s.FileNumber = fileNumber_->text();
    s.TrackNumber = track_->value();
    switch (side_->checkedId()) {
    case 1:
        s.Side = QStringLiteral("1");
        break;
    case 2:
        s.Side = QStringLiteral("2");
        break;
    case 0:
        s.Side.clear();
        break;
    default:
        break; // none checked: a value no radio stands for stays as it was
    }
    s.ChartNumber = chart_->value();
    s.UserDefinedKeyField = udk_->text();
    s.BeatsPerMinute = bpm_->value();
    s.Style = style_->text();
    s.AdditionalInformation1 = info_[0]->text();
    s.AdditionalInformation2 = info_[1]->text();
    s.AdditionalInformation3 = info_[2]->text();
    s.Recording = recording_->toPlainText();
    s.Composer = composer_->text();
    s.PerformanceNotes = performance_->toPlainText();
    s.Notes = notes_->toPlainText();
}

bool UpdateSongDialog::leavingForCancel() const
{
    return QApplication::focusWidget() == cancel_;
}

void UpdateSongDialog::select(QWidget* w)
{
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->widget(i)->isAncestorOf(w))
            tabs_->setCurrentIndex(i);
    w->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->selectAll();
    else if (auto* sb = qobject_cast<QSpinBox*>(w))
        sb->selectAll();
}

bool UpdateSongDialog::acceptTime()
{
    CheckGuard guard(checking_);
    if (guard.nested())
        return false;
    const Picture picture(QString::fromLatin1(kTimePicture));
    const std::optional<int> typed = songTimeFromText(time_->text(), picture.text());
    if (!typed) {
        form_.state().messages.show(invalidTimeMessage(time_->text()));
        select(time_);
        return false;
    }
    const int t = *typed;
    form_.song().Time = t;
    time_->setText(picture.format(t));
    return true;
}

bool UpdateSongDialog::acceptDate()
{
    CheckGuard guard(checking_);
    if (guard.nested())
        return false;
    const Picture picture(datePicture_);
    const Picture::Input in = parseDateValue(picture, releaseDate_->text());
    const qint64 v = in.value.toLongLong();
    if (!in.ok || v < 0 || v > maxDay()) {
        form_.state().messages.show(
            invalidDateMessage(releaseDate_->text(), formatDateValue(picture, dayFromYmd(1997, 10, 31))));
        select(releaseDate_);
        return false;
    }
    form_.song().ReleaseDate = int(v);
    releaseDate_->setText(formatDateValue(picture, int(v)));
    return true;
}

bool UpdateSongDialog::acceptMedia()
{
    CheckGuard guard(checking_);
    if (guard.nested())
        return false;
    if (media_->currentIndex() >= 0)
        form_.song().Media = media_->currentText();
    if (form_.checkMedia())
        return true;
    select(media_);
    return false;
}

bool UpdateSongDialog::acceptCategory()
{
    CheckGuard guard(checking_);
    if (guard.nested())
        return false;
    const QString typed = category_->currentText();
    const bool linked = form_.acceptCategory(typed);
    // The list may have grown (a new category, or one added by another window).
    fillCategoryCombo();
    if (!linked) {
        category_->setEditText(typed);
        select(category_);
        category_->lineEdit()->selectAll();
        return false;
    }
    QSignalBlocker block(category_);
    const QString name = form_.categoryName();
    category_->setCurrentIndex(category_->findData(QVariant::fromValue<qint64>(form_.song().CategoryID)));
    category_->setEditText(name);
    acceptedCategory_ = name;
    return true;
}

bool UpdateSongDialog::acceptTrack()
{
    CheckGuard guard(checking_);
    if (guard.nested())
        return false;
    form_.song().TrackNumber = track_->value();
    if (form_.checkTrackNumber())
        return true;
    select(track_);
    return false;
}

bool UpdateSongDialog::acceptChart()
{
    CheckGuard guard(checking_);
    if (guard.nested())
        return false;
    form_.song().ChartNumber = chart_->value();
    if (form_.checkChartNumber())
        return true;
    select(chart_);
    return false;
}

bool UpdateSongDialog::runFieldChecks()
{
    storePlainControls();
    // An entry not typed in since it was shown holds the song's own value. Reading its display
    // back would lose what the display leaves out (the century under a two-digit-year date
    // setting, the day under a year-only one) or take a stored time past two hours for minutes.
    if (time_->isModified() && !acceptTime())
        return false;
    if (releaseDate_->isModified() && !acceptDate())
        return false;
    if (!acceptMedia())
        return false;
    if (category_->currentText() != acceptedCategory_ && !acceptCategory())
        return false;
    return acceptTrack() && acceptChart();
}

void UpdateSongDialog::okPressed()
{
    if (checking_ || !runFieldChecks())
        return;
    switch (form_.save()) {
    case SongForm::Save::Closed:
        if (form_.response() == Response::Completed)
            accept();
        else
            reject();
        return;
    case SongForm::Save::Stay:
        showRecord();
        tabs_->setCurrentIndex(0);
        select(artist_);
        return;
    case SongForm::Save::ShowStored:
        showRecord();
        return;
    }
}

void UpdateSongDialog::dittoPressed()
{
    storePlainControls();
    if (form_.ditto())
        showRecord();
}

void UpdateSongDialog::albumDefaultsPressed()
{
    storePlainControls();
    // The picker answers while this form stands: it closes the picker first when it closes.
    SelectAlbum(form_.state(), this, [this](const Album* a) {
        if (!a)
            return;
        defaultWithAlbum(form_.song(), *a);
        showRecord();
    });
}

void UpdateSongDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, section_);
    }
}

void UpdateSongDialog::done(int r)
{
    if (!finished_) {
        finished_ = true;
        // OK, Cancel, Esc, the close box, or the caller closing: all but a completed OK cancel.
        if (form_.response() != Response::Completed)
            form_.cancel();
        if (positioned_)
            savePosition(this, section_);
        form_.close();
    }
    QDialog::done(r);
}

// --- the entry point -----------------------------------------------------------------------------

namespace {

void openSongForm(AppState& state, Request request, const Tunedeck& song, const Album* album, QWidget* caller,
    AddRedirect redirect, const SongAnswer& answered)
{
    auto wizardAnswered = [answered](Response r) { answered(r, Tunedeck()); };
    if (redirect == AddRedirect::Compilation) {
        AddCompilation(state, caller, wizardAnswered);
        return;
    }
    if (redirect == AddRedirect::SingleArtist) {
        AddSingleArtist(state, caller, wizardAnswered);
        return;
    }
    auto form = std::make_unique<SongForm>(state, request, song, album);
    if (!form->open()) {
        form->close();
        answered(form->response(), form->song());
        return;
    }
    auto* dialog = new UpdateSongDialog(std::move(form));
    if (!dialog->load()) {
        dialog->reject(); // the Cancel path: a numbered song is removed
        delete dialog;
        answered(Response::Cancelled, Tunedeck());
        return;
    }
    openForm(caller, dialog, [dialog, answered](int) {
        const SongForm& f = dialog->form();
        answered(f.response(), f.response() == Response::Completed ? f.song() : Tunedeck());
    });
}

} // namespace

void UpdateSong(
    AppState& state, Request request, const Tunedeck& buffer, QWidget* caller, SongAnswer answered)
{
    Tunedeck song = buffer;
    if (clip(song.Media).trimmed().isEmpty())
        song.Media = QStringLiteral("CD");

    const AddRedirect redirect = addModeRedirect(state.settings.AddMode, request, song);
    if (redirect != AddRedirect::Ask) {
        openSongForm(state, request, song, nullptr, caller, redirect, answered);
        return;
    }
    SelectAddType(caller, [&state, request, song, caller, answered](const QString& mode) {
        openSongForm(state, request, song, nullptr, caller, addTypeAnswer(mode), answered);
    });
}

void UpdateSongsForAlbum(AppState& state, Request request, const Tunedeck& song, const Album& album,
    QWidget* caller, SongAnswer answered)
{
    openSongForm(state, request, song, &album, caller, AddRedirect::Form, answered);
}

} // namespace td

#include "albums/ui/UpdateAlbums.h"

#include "albums/AlbumForm.h"
#include "albums/ui/AlbumImageView.h"
#include "albums/ui/AlbumSongsPanel.h"
#include "cd/DiscIds.h"
#include "cd/ui/ReadProgressWindow.h"
#include "common/AppState.h"
#include "common/ui/FormEntries.h"
#include "common/ui/FormHost.h"
#include "common/ui/SoundPlayer.h"
#include "common/ui/WidgetPosition.h"
#include "core/DayTime.h"
#include "core/ListFormat.h"
#include "core/Messages.h"
#include "core/Picture.h"
#include "core/TextField.h"
#include "songs/MediaList.h"
#include "songs/SongForm.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace td {

namespace {

const QString kProcedure = QStringLiteral("UpdateAlbums");

int widthOf(const char* field)
{
    const TableDef& t = tableDef(TableId::Album);
    return t.field(t.fieldIndex(QString::fromLatin1(field))).width;
}

bool blank(const QString& s)
{
    return s.trimmed().isEmpty();
}

// The album form the user worked in last: the one the frame's history button speaks to.
QPointer<UpdateAlbumsDialog>& lastActiveForm()
{
    static QPointer<UpdateAlbumsDialog> form;
    return form;
}

// A musical note, drawn from the font: the play button's icon.
QIcon noteIcon()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f = QApplication::font();
    f.setPixelSize(28);
    p.setFont(f);
    p.setPen(QApplication::palette().color(QPalette::ButtonText));
    p.drawText(pm.rect(), Qt::AlignCenter, QString(QChar(0x266B)));
    return QIcon(pm);
}

QWidget* row(QWidget* first, QWidget* second)
{
    auto* box = new QWidget;
    auto* l = new QHBoxLayout(box);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(first, 1);
    l->addWidget(second);
    return box;
}

} // namespace

// --- the window ----------------------------------------------------------------------------------

UpdateAlbumsDialog::UpdateAlbumsDialog(std::unique_ptr<AlbumForm> form, QWidget* parent)
    : QDialog(parent)
    , owned_(std::move(form))
    , form_(*owned_)
{
    setObjectName(kProcedure);
    setWindowTitle(QStringLiteral("Update Album"));
    setSizeGripEnabled(true);
    // The release date's own picture (mm/dd/yyyy), replaced by the program-wide date setting.
    const TableDef& albums = tableDef(TableId::Album);
    datePicture_ = applyDatePicture(albums.field(albums.fieldIndex(QStringLiteral("ReleaseDate"))).picture,
        form_.state().settings.DateFormat);

    tabs_ = new QTabWidget(this);
    buildGeneralTab();
    buildSongsTab();
    buildNotesTab();
    buildFilesTab();
    buildPlaylistTab();
    buildCompactDiscTab();
    buildOtherTab();

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("OK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
    resize(780, 520); // room for the song list's seven columns

    connect(ok_, &QPushButton::clicked, this, &UpdateAlbumsDialog::okPressed);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* history = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_QuoteLeft), this);
    connect(history, &QShortcut::activated, this, &UpdateAlbumsDialog::recallHistory);
}

UpdateAlbumsDialog::~UpdateAlbumsDialog() = default;

QLineEdit* UpdateAlbumsDialog::textEntry(const char* field, const char* name)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(widthOf(field));
    return e;
}

QPlainTextEdit* UpdateAlbumsDialog::memoEntry(const char* field, const char* name)
{
    auto* e = new QPlainTextEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setTabChangesFocus(true);
    limitMemo(e, widthOf(field));
    return e;
}

void UpdateAlbumsDialog::buildGeneralTab()
{
    auto* page = new QWidget;
    auto* f = new QFormLayout(page);
    artist_ = textEntry("Artist", "Artist");
    album_ = textEntry("Album", "Album");
    media_ = new QComboBox(this);
    media_->setObjectName(QStringLiteral("Media"));
    media_->setMinimumContentsLength(20);
    category_ = new QComboBox(this);
    category_->setObjectName(QStringLiteral("Category"));
    category_->setEditable(true);
    category_->setInsertPolicy(QComboBox::NoInsert);
    category_->setMinimumContentsLength(30);
    category_->lineEdit()->setMaxLength(tableDef(TableId::Categories).field(1).width);
    category_->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    fileNumber_ = textEntry("FileNumber", "FileNumber");
    releaseDate_ = new QLineEdit(this);
    releaseDate_->setObjectName(QStringLiteral("ReleaseDate"));
    releaseDate_->setMaxLength(40);

    f->addRow(QStringLiteral("&Artist:"), artist_);
    f->addRow(QStringLiteral("A&lbum:"), album_);
    f->addRow(QStringLiteral("&Media:"), media_);
    f->addRow(QStringLiteral("&Category:"), category_);
    f->addRow(QStringLiteral("&File Number:"), fileNumber_);
    f->addRow(QStringLiteral("&Release Date:"), releaseDate_);
    tabs_->addTab(page, QStringLiteral("G&eneral"));

    connect(releaseDate_, &QLineEdit::editingFinished, this, [this] {
        if (releaseDate_->isModified() && !leavingForCancel())
            acceptDate();
    });
    new CheckOnEnter(releaseDate_, [this] { return !releaseDate_->isModified() || acceptDate(); });
    connect(media_, &QComboBox::activated, this, [this] { acceptMedia(); });
    auto categoryDone = [this] {
        if (category_->currentText() != acceptedCategory_ && !leavingForCancel())
            acceptCategory();
    };
    connect(category_->lineEdit(), &QLineEdit::editingFinished, this, categoryDone);
    connect(category_, &QComboBox::activated, this, categoryDone);
}

void UpdateAlbumsDialog::buildSongsTab()
{
    // The panel reads the album as the form holds it, the controls stored into it first.
    songs_ = new AlbumSongsPanel(form_.state(), [this] {
        storePlainControls();
        return form_.album();
    });
    songs_->setObjectName(QStringLiteral("Songs"));
    tabs_->addTab(songs_, QStringLiteral("&Songs"));
}

void UpdateAlbumsDialog::buildNotesTab()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    notes_ = memoEntry("Notes", "Notes");
    l->addWidget(notes_);
    tabs_->addTab(page, QStringLiteral("&Notes"));
}

void UpdateAlbumsDialog::buildFilesTab()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    wavFile_ = textEntry("AssociatedWavFile", "AssociatedWavFile");
    wavFile_->setToolTip(QStringLiteral("WAV File"));
    play_ = new QToolButton(this);
    play_->setObjectName(QStringLiteral("Play"));
    play_->setIcon(noteIcon());
    play_->setIconSize(QSize(20, 20));
    play_->setToolTip(QStringLiteral("Play"));
    play_->setAccessibleName(QStringLiteral("Play"));
    play_->setEnabled(false);
    image_ = textEntry("AssociatedImage", "AssociatedImage");
    auto* choose = new QToolButton(this);
    choose->setObjectName(QStringLiteral("ChooseImage"));
    choose->setText(QStringLiteral("..."));
    choose->setToolTip(QStringLiteral("Choose a File"));
    imageView_ = new AlbumImageView(this);
    imageView_->setObjectName(QStringLiteral("Image"));

    auto* wavLabel = new QLabel(QStringLiteral("Associated WAV File:"), this);
    wavLabel->setBuddy(wavFile_);
    auto* imageLabel = new QLabel(QStringLiteral("Associated Image:"), this);
    imageLabel->setBuddy(image_);
    grid->addWidget(wavLabel, 0, 0);
    grid->addWidget(row(wavFile_, play_), 0, 1);
    grid->addWidget(imageLabel, 1, 0);
    grid->addWidget(row(image_, choose), 1, 1);
    grid->addWidget(imageView_, 2, 0, 1, 2);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);
    tabs_->addTab(page, QStringLiteral("Associa&ted Files"));

    connect(
        wavFile_, &QLineEdit::textChanged, this, [this](const QString& t) { play_->setEnabled(!blank(t)); });
    connect(play_, &QToolButton::clicked, this, &UpdateAlbumsDialog::playPressed);
    connect(image_, &QLineEdit::editingFinished, this, [this] {
        form_.album().AssociatedImage = image_->text();
        imageView_->showFile(image_->text());
    });
    connect(choose, &QToolButton::clicked, this, &UpdateAlbumsDialog::chooseImagePressed);
}

void UpdateAlbumsDialog::buildPlaylistTab()
{
    auto* page = new QWidget;
    auto* f = new QFormLayout(page);
    playlist_ = textEntry("Playlist", "Playlist");
    auto* label = new QLabel(QStringLiteral("Playlist:"), this);
    label->setBuddy(playlist_);
    f->addRow(label, playlist_);
    tabs_->addTab(page, QStringLiteral("&Playlist"));
}

void UpdateAlbumsDialog::buildCompactDiscTab()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* load = new QPushButton(QStringLiteral("Load Song Information from CD Player"), this);
    load->setObjectName(QStringLiteral("LoadFromCd"));
    xccd_ = textEntry("XCCD", "XCCD");
    xccd_->setToolTip(QStringLiteral("CDDB Number (Internet)"));
    useFreedb_ = new QPushButton(QStringLiteral("Use freedb Id"), this);
    useFreedb_->setObjectName(QStringLiteral("UseFreedbId"));
    useFreedb_->setToolTip(
        QStringLiteral("Put the freedb disc id of the disc read last into the XCCD Database #"));
    useFreedb_->setEnabled(false);
    cdSerial_ = textEntry("CDIdentifier", "CDIdentifier");
    cdSerial_->setToolTip(QStringLiteral("CD Serial Number"));
    auto* read = new QPushButton(QStringLiteral("Read"), this);
    read->setObjectName(QStringLiteral("ReadIdentifier"));
    discIds_ = new QLabel(this);
    discIds_->setObjectName(QStringLiteral("DiscIds"));
    discIds_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    discIds_->setWordWrap(true);

    auto* f = new QFormLayout;
    auto* xccdLabel = new QLabel(QStringLiteral("XCCD Database #:"), this);
    xccdLabel->setBuddy(xccd_);
    auto* serialLabel = new QLabel(QStringLiteral("CD Serial #:"), this);
    serialLabel->setBuddy(cdSerial_);
    f->addRow(xccdLabel, row(xccd_, useFreedb_));
    f->addRow(serialLabel, row(cdSerial_, read));
    v->addWidget(load, 0, Qt::AlignLeft);
    v->addLayout(f);
    v->addWidget(discIds_);
    v->addStretch(1);
    tabs_->addTab(page, QStringLiteral("C&ompact Disc"));

    connect(load, &QPushButton::clicked, this, &UpdateAlbumsDialog::loadFromCdPressed);
    connect(read, &QPushButton::clicked, this, &UpdateAlbumsDialog::readIdentifierPressed);
    connect(useFreedb_, &QPushButton::clicked, this, [this] {
        xccd_->setText(freedbId_);
        form_.album().XCCD = freedbId_;
    });
}

void UpdateAlbumsDialog::buildOtherTab()
{
    auto* page = new QWidget;
    auto* f = new QFormLayout(page);
    recording_ = memoEntry("Recording", "Recording");
    recording_->setToolTip(QStringLiteral("Recording Information"));
    performance_ = memoEntry("Performance", "Performance");
    auto* recLabel = new QLabel(QStringLiteral("Recording:"), this);
    recLabel->setBuddy(recording_);
    auto* perfLabel = new QLabel(QStringLiteral("Performance:"), this);
    perfLabel->setBuddy(performance_);
    f->addRow(recLabel, recording_);
    f->addRow(perfLabel, performance_);
    tabs_->addTab(page, QStringLiteral("Ot&her"));
}

bool UpdateAlbumsDialog::load()
{
    setWindowTitle(form_.isAdd() ? QStringLiteral("Adding an Album Record")
                                 : QStringLiteral("Changing an Album Record"));
    if (!form_.fillMediaList() || !form_.fillCategoryList())
        return false;
    {
        QSignalBlocker block(media_);
        media_->clear();
        media_->addItems(form_.mediaNames());
    }
    {
        QSignalBlocker block(category_);
        category_->clear();
        for (const auto& c : form_.categories())
            category_->addItem(c.name, c.id);
    }
    showRecord();
    // A list that cannot be read has shown its message; the tab stays with an empty list and the
    // album itself can still be saved.
    songs_->open();
    // Wide enough for the song list's columns as they are laid out now (a remembered place
    // replaces this when the window shows).
    resize(size().expandedTo(sizeHint()));
    artist_->setFocus();
    return true;
}

void UpdateAlbumsDialog::showRecord()
{
    const Album& a = form_.album();
    artist_->setText(a.Artist);
    album_->setText(a.Album);
    {
        QSignalBlocker block(media_);
        media_->setCurrentIndex(findMedia(form_.mediaNames(), a.Media));
    }
    {
        QSignalBlocker block(category_);
        const QString name = form_.categoryName();
        const int i = category_->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        category_->setCurrentIndex(name.isEmpty() ? -1 : i);
        category_->setEditText(name);
        acceptedCategory_ = name;
    }
    fileNumber_->setText(a.FileNumber);
    releaseDate_->setText(formatDateValue(Picture(datePicture_), a.ReleaseDate));
    releaseDate_->setModified(false);
    notes_->setPlainText(a.Notes);
    wavFile_->setText(a.AssociatedWavFile);
    play_->setEnabled(!blank(a.AssociatedWavFile));
    image_->setText(a.AssociatedImage);
    imageView_->showFile(a.AssociatedImage);
    playlist_->setText(a.Playlist);
    xccd_->setText(a.XCCD);
    cdSerial_->setText(a.CDIdentifier);
    recording_->setPlainText(a.Recording);
    performance_->setPlainText(a.Performance);
}

void UpdateAlbumsDialog::storePlainControls()
{
    Album& a = form_.album();
    a.Artist = artist_->text();
    a.Album = album_->text();
    if (media_->currentIndex() >= 0)
        a.Media = media_->currentText();
    a.FileNumber = fileNumber_->text();
    a.Notes = notes_->toPlainText();
    a.AssociatedWavFile = wavFile_->text();
    a.AssociatedImage = image_->text();
    a.Playlist = playlist_->text();
    a.XCCD = xccd_->text();
    a.CDIdentifier = cdSerial_->text();
    a.Recording = recording_->toPlainText();
    a.Performance = performance_->toPlainText();
}

bool UpdateAlbumsDialog::leavingForCancel() const
{
    return QApplication::focusWidget() == cancel_;
}

void UpdateAlbumsDialog::select(QWidget* w)
{
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->widget(i)->isAncestorOf(w))
            tabs_->setCurrentIndex(i);
    w->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->selectAll();
    else if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable())
        c->lineEdit()->selectAll();
}

bool UpdateAlbumsDialog::acceptDate()
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
    form_.album().ReleaseDate = int(v);
    releaseDate_->setText(formatDateValue(picture, int(v)));
    releaseDate_->setModified(false);
    return true;
}

bool UpdateAlbumsDialog::acceptMedia()
{
    if (form_.acceptMedia(media_->currentText()))
        return true;
    select(media_);
    return false;
}

bool UpdateAlbumsDialog::acceptCategory()
{
    CheckGuard guard(checking_);
    if (guard.nested())
        return false;
    const QString typed = category_->currentText();
    if (!form_.acceptCategory(typed)) {
        select(category_);
        return false;
    }
    QSignalBlocker block(category_);
    const QString name = form_.categoryName();
    category_->setCurrentIndex(
        name.isEmpty() ? -1 : category_->findData(QVariant::fromValue(form_.album().CategoryID)));
    category_->setEditText(name);
    acceptedCategory_ = name;
    return true;
}

bool UpdateAlbumsDialog::runFieldChecks()
{
    storePlainControls();
    // A date not typed in since it was shown holds the album's own value: reading its display
    // back would lose what the display leaves out.
    if (releaseDate_->isModified() && !acceptDate())
        return false;
    if (!acceptMedia())
        return false;
    return category_->currentText() == acceptedCategory_ || acceptCategory();
}

void UpdateAlbumsDialog::okPressed()
{
    if (checking_ || !runFieldChecks())
        return;
    switch (form_.save()) {
    case AlbumForm::Save::Closed:
        if (form_.response() == Response::Completed)
            accept();
        else
            reject();
        return;
    case AlbumForm::Save::Stay:
        return;
    case AlbumForm::Save::ShowStored:
        showRecord();
        return;
    }
}

void UpdateAlbumsDialog::playPressed()
{
    const QString file = clip(wavFile_->text()).trimmed();
    if (file.isEmpty())
        return;
    Messages* messages = &form_.state().messages;
    auto failed = [messages](const QString& f) {
        messages->show(QStringLiteral("Error"), QStringLiteral("Could not play ") + f + QLatin1Char('.'));
    };
    if (!playSoundAsync(file, this, failed))
        failed(file);
}

void UpdateAlbumsDialog::chooseImagePressed()
{
    // The chooser stays open beside the form without a loop of its own; the working folder is
    // left as it is.
    auto* dialog
        = new QFileDialog(this, QStringLiteral("Choose a File"), QString(), QStringLiteral("All Files (*)"));
    dialog->setObjectName(QStringLiteral("ChooseFile"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    const QString current = clip(image_->text()).trimmed().left(80);
    if (!current.isEmpty())
        dialog->selectFile(current);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        const QString name = QDir::toNativeSeparators(file).left(widthOf("AssociatedImage"));
        image_->setText(name);
        form_.album().AssociatedImage = name;
        imageView_->showFile(name);
    });
    dialog->open();
}

void UpdateAlbumsDialog::loadFromCdPressed()
{
    storePlainControls();
    AppState& state = form_.state();
    Album a = form_.album();
    if (!readCompactDiscWithProgress(state.cd, state.db, a, false, false, 0, this))
        return;
    form_.album().CDIdentifier = a.CDIdentifier;
    form_.album().TotalTime = a.TotalTime;
    cdSerial_->setText(a.CDIdentifier);
    songs_->reload();
    showOtherDiscIds();
}

void UpdateAlbumsDialog::readIdentifierPressed()
{
    storePlainControls();
    AppState& state = form_.state();
    Album a = form_.album();
    const QString before = a.CDIdentifier;
    if (!readCompactDiscWithProgress(state.cd, state.db, a, true, false, 0, this))
        return;
    form_.album().CDIdentifier = a.CDIdentifier;
    cdSerial_->setText(a.CDIdentifier);
    // Compared as the field stores them: trailing blanks do not count.
    const bool updated = clip(before) != clip(a.CDIdentifier);
    state.messages.show(QStringLiteral("Process complete"),
        updated ? QStringLiteral("CD Identification updated.")
                : QStringLiteral("CD Identification not updated."));
    showOtherDiscIds();
}

void UpdateAlbumsDialog::showOtherDiscIds()
{
    const OtherDiscIds ids = discIdsInDrive(form_.state().cd);
    freedbId_ = ids.freedb;
    QStringList lines;
    if (!ids.freedb.isEmpty())
        lines << QStringLiteral("freedb disc id: %1").arg(ids.freedb);
    if (!ids.musicBrainz.isEmpty())
        lines << QStringLiteral("MusicBrainz disc id: %1").arg(ids.musicBrainz);
    if (!ids.ok())
        lines << QStringLiteral("The disc ids of other catalogues cannot be computed: %1.").arg(ids.error);
    discIds_->setText(lines.join(QLatin1Char('\n')));
    useFreedb_->setEnabled(!freedbId_.isEmpty());
}

void UpdateAlbumsDialog::recallHistory()
{
    QWidget* focused = focusWidget();
    if (!focused)
        return;
    struct Entry {
        QWidget* control;
        AlbumField field;
    };
    const Entry entries[] = {
        { artist_, AlbumField::Artist },
        { album_, AlbumField::Album },
        { media_, AlbumField::Media },
        { fileNumber_, AlbumField::FileNumber },
        { releaseDate_, AlbumField::ReleaseDate },
        { wavFile_, AlbumField::WavFile },
        { image_, AlbumField::Image },
        { playlist_, AlbumField::Playlist },
        { xccd_, AlbumField::Xccd },
        { cdSerial_, AlbumField::CdSerial },
    };
    for (const Entry& e : entries) {
        if (e.control != focused)
            continue;
        if (!form_.recallHistory(e.field))
            return;
        const Album& a = form_.album();
        switch (e.field) {
        case AlbumField::Artist:
            artist_->setText(a.Artist);
            break;
        case AlbumField::Album:
            album_->setText(a.Album);
            break;
        case AlbumField::Media: {
            QSignalBlocker block(media_);
            media_->setCurrentIndex(findMedia(form_.mediaNames(), a.Media));
            break;
        }
        case AlbumField::FileNumber:
            fileNumber_->setText(a.FileNumber);
            break;
        case AlbumField::ReleaseDate:
            releaseDate_->setText(formatDateValue(Picture(datePicture_), a.ReleaseDate));
            releaseDate_->setModified(false);
            break;
        case AlbumField::WavFile:
            wavFile_->setText(a.AssociatedWavFile);
            break;
        case AlbumField::Image:
            image_->setText(a.AssociatedImage);
            imageView_->showFile(a.AssociatedImage);
            break;
        case AlbumField::Playlist:
            playlist_->setText(a.Playlist);
            break;
        case AlbumField::Xccd:
            xccd_->setText(a.XCCD);
            break;
        case AlbumField::CdSerial:
            cdSerial_->setText(a.CDIdentifier);
            break;
        }
        return;
    }
}

bool UpdateAlbumsDialog::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        lastActiveForm() = this;
    return QDialog::event(e);
}

void UpdateAlbumsDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    lastActiveForm() = this;
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, kProcedure);
    }
}

void UpdateAlbumsDialog::done(int r)
{
    if (!finished_) {
        finished_ = true;
        // OK, Cancel, Esc, the close box, or the caller closing: all but a completed OK cancel.
        if (form_.response() != Response::Completed)
            form_.cancel();
        if (positioned_)
            savePosition(this, kProcedure);
        // The song list goes with the form: its tables are released and the song forms it
        // opened are closed now, not when the window is deleted later.
        if (songs_) {
            songs_->saveLayout();
            delete songs_;
            songs_ = nullptr;
        }
        form_.close();
        if (lastActiveForm() == this)
            lastActiveForm() = nullptr;
    }
    QDialog::done(r);
}

// --- the entry points ----------------------------------------------------------------------------

void recallAlbumHistory()
{
    if (UpdateAlbumsDialog* form = lastActiveForm(); form && form->isVisible() && form->isEnabled()) {
        form->activateWindow();
        form->recallHistory();
    }
}

void UpdateAlbums(AppState& state, Request request, const Album& album, QWidget* caller, AlbumAnswer answered)
{
    auto form = std::make_unique<AlbumForm>(state, request, album);
    if (!form->open()) {
        form->close();
        if (answered)
            answered(form->response(), Album());
        return;
    }
    auto* dialog = new UpdateAlbumsDialog(std::move(form));
    if (!dialog->load()) {
        dialog->reject(); // the Cancel path: a new album is removed
        delete dialog;
        if (answered)
            answered(Response::Cancelled, Album());
        return;
    }
    openForm(caller, dialog, [dialog, answered](int) {
        const AlbumForm& f = dialog->form();
        if (answered)
            answered(f.response(), f.response() == Response::Completed ? f.album() : Album());
    });
}

} // namespace td

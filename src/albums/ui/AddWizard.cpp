#include "albums/ui/AddWizard.h"

#include "albums/AddWizardTracks.h"
#include "albums/AddWizardTransfer.h"
#include "albums/ui/UpdateAddWizard.h"
#include "cd/MciTime.h"
#include "cd/ui/ReadProgressWindow.h"
#include "common/AppState.h"
#include "common/PagedList.h"
#include "common/ui/BrowseList.h"
#include "common/ui/ColumnFormatMemory.h"
#include "common/ui/FormHost.h"
#include "common/ui/PagedTableModel.h"
#include "common/ui/WidgetPosition.h"
#include "core/ConfigPaths.h"
#include "core/DayTime.h"
#include "core/IniFile.h"
#include "core/ListFormat.h"
#include "core/Messages.h"
#include "core/Picture.h"
#include "core/TextField.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "songs/MediaList.h"
#include "songs/SongForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace td {

namespace {

const char* const kSingleFormat = "25R(1)|~Track~@n3@?166L(1)|~Title~@s40@20L(1)|~Time~@s5@";
const char* const kCompilationFormat
    = "25R(1)|~Track~@n3@?101L(1)|~Artist~@s40@111L(1)|~Title~@s40@20L(1)|~Time~@s5@";

int widthOf(const char* field)
{
    const TableDef& t = tableDef(TableId::Tunedeck);
    return t.field(t.fieldIndex(QString::fromLatin1(field))).width;
}

// An arrow, with a bar at its head for "to the top" / "to the bottom".
QPixmap movePixmap(bool up, bool bar, const QColor& color)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    QPolygonF arrow;
    if (up)
        arrow << QPointF(8, 3) << QPointF(14, 10) << QPointF(10, 10) << QPointF(10, 14) << QPointF(6, 14)
              << QPointF(6, 10) << QPointF(2, 10);
    else
        arrow << QPointF(8, 13) << QPointF(14, 6) << QPointF(10, 6) << QPointF(10, 2) << QPointF(6, 2)
              << QPointF(6, 6) << QPointF(2, 6);
    p.drawPolygon(arrow);
    if (bar)
        p.drawRect(up ? QRectF(2, 0, 12, 2) : QRectF(2, 14, 12, 2));
    p.end();
    return pm;
}

// In the palette's colours, so that a button without a track to move looks disabled.
QIcon moveIcon(bool up, bool bar, const QPalette& palette)
{
    QIcon icon(movePixmap(up, bar, palette.color(QPalette::Active, QPalette::ButtonText)));
    icon.addPixmap(movePixmap(up, bar, palette.color(QPalette::Disabled, QPalette::ButtonText)), QIcon::Disabled);
    return icon;
}

// The top window of a chain: a wizard started from the menu stays with the frame.
QWidget* frameWindow()
{
    QWidget* w = QApplication::activeWindow();
    while (w && w->parentWidget())
        w = w->parentWidget()->window();
    return w;
}

// A wizard started from the menu closes (its Cancel path) when the frame has closed.
class CloseWithFrame : public QObject {
public:
    CloseWithFrame(QWidget* frame, QDialog* wizard)
        : QObject(wizard)
        , frame_(frame)
        , wizard_(wizard)
    {
        frame->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == frame_ && e->type() == QEvent::Close)
            // Only once the close has gone through: the frame may refuse it.
            QTimer::singleShot(0, wizard_, [frame = frame_, wizard = wizard_] {
                if (frame && wizard && !frame->isVisible())
                    wizard->reject();
            });
        return QObject::eventFilter(o, e);
    }

private:
    QPointer<QWidget> frame_;
    QPointer<QDialog> wizard_;
};

void openWizard(AppState& state, bool compilation, QWidget* caller, std::function<void(Response)> answered)
{
    QWidget* parent = caller ? nullptr : frameWindow();
    auto* wizard = new AddWizardDialog(state, compilation, parent);
    if (parent) {
        wizard->setWindowFlags(wizard->windowFlags() | Qt::Dialog);
        new CloseWithFrame(parent, wizard);
    }
    if (!wizard->prepare()) {
        wizard->reject();
        delete wizard;
        if (answered)
            answered(Response::Cancelled);
        return;
    }
    openForm(caller, wizard, [wizard, answered](int) {
        if (answered)
            answered(wizard->response());
    });
    // Started from the menu it takes the keyboard at once, as a form does for its caller.
    wizard->raise();
    wizard->activateWindow();
}

} // namespace

void AddSingleArtist(AppState& state, QWidget* caller, std::function<void(Response)> answered)
{
    openWizard(state, false, caller, std::move(answered));
}

void AddCompilation(AppState& state, QWidget* caller, std::function<void(Response)> answered)
{
    openWizard(state, true, caller, std::move(answered));
}

// --- the window ----------------------------------------------------------------------------------

AddWizardDialog::AddWizardDialog(AppState& state, bool compilation, QWidget* parent)
    : QDialog(parent)
    , state_(state)
    , compilation_(compilation)
{
    setObjectName(compilation_ ? QStringLiteral("AddCompilation") : QStringLiteral("AddSingleArtist"));
    setWindowTitle(compilation_ ? QStringLiteral("Add Compilation") : QStringLiteral("Add Album by Single Artist"));
    setSizeGripEnabled(true);
    datePicture_ = applyDatePicture(QStringLiteral("@d2"), state_.settings.DateFormat);

    tabs_ = new QTabWidget(this);
    buildGeneralTab();
    buildSongsTab();

    ok_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_->setObjectName(QStringLiteral("OK"));
    ok_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    cancel_->setAutoDefault(false);
    addToAlbums_ = new QCheckBox(QStringLiteral("Add Information to Album Data&base"), this);
    addToAlbums_->setObjectName(QStringLiteral("AddToAlbums"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(addToAlbums_);
    bottom->addStretch(1);
    bottom->addWidget(ok_);
    bottom->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(bottom);

    connect(ok_, &QPushButton::clicked, this, &AddWizardDialog::okPressed);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(addToAlbums_, &QCheckBox::toggled, this, [this](bool on) {
        // For the life of the window; closing it reads the setting back from the file.
        state_.settings.AutoAddToAlbums = on ? QStringLiteral("1") : QString();
    });
    const QFontMetrics fm(font());
    resize(qMax(sizeHint().width(), fm.averageCharWidth() * (compilation_ ? 92 : 72)), qMax(sizeHint().height(), fm.height() * 24));
}

AddWizardDialog::~AddWizardDialog()
{
    // Gone without done() (its parent went first): the same way out.
    finish();
    delete list_; // the view goes before its model and list
    list_ = nullptr;
}

QString AddWizardDialog::procedure() const
{
    return compilation_ ? QStringLiteral("AddCompilation") : QStringLiteral("AddSingleArtist");
}

QPushButton* AddWizardDialog::button(const QString& text, const QString& name)
{
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void AddWizardDialog::buildGeneralTab()
{
    auto* page = new QWidget;
    auto* f = new QFormLayout(page);
    auto entry = [this](const char* field, const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(widthOf(field));
        return e;
    };
    if (!compilation_) {
        artist_ = entry("Artist", "Artist");
        f->addRow(QStringLiteral("Ar&tist:"), artist_);
    }
    album_ = entry("Album", "Album");
    f->addRow(compilation_ ? QStringLiteral("Com&pilation Name:") : QStringLiteral("A&lbum:"), album_);
    releaseDate_ = new QLineEdit(this);
    releaseDate_->setObjectName(QStringLiteral("ReleaseDate"));
    releaseDate_->setMaxLength(40);
    f->addRow(QStringLiteral("&Release Date:"), releaseDate_);
    fileNumber_ = entry("FileNumber", "FileNumber");
    f->addRow(QStringLiteral("&File Number:"), fileNumber_);
    category_ = new QComboBox(this);
    category_->setObjectName(QStringLiteral("Category"));
    category_->setEditable(true);
    category_->setInsertPolicy(QComboBox::NoInsert);
    category_->lineEdit()->setMaxLength(tableDef(TableId::Categories).field(1).width);
    category_->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    f->addRow(QStringLiteral("&Category:"), category_);
    mediaBox_ = new QComboBox(this);
    mediaBox_->setObjectName(QStringLiteral("Media"));
    f->addRow(QStringLiteral("&Media:"), mediaBox_);
    tabs_->addTab(page, QStringLiteral("&General"));

    connect(releaseDate_, &QLineEdit::editingFinished, this, [this] {
        if (releaseDate_->isModified() && QApplication::focusWidget() != cancel_)
            acceptDate();
    });
    connect(mediaBox_, &QComboBox::activated, this, [this] { acceptMedia(); });
    auto categoryDone = [this] {
        if (category_->currentText() != acceptedCategory_ && QApplication::focusWidget() != cancel_)
            acceptCategory();
    };
    connect(category_->lineEdit(), &QLineEdit::editingFinished, this, categoryDone);
    connect(category_, &QComboBox::activated, this, categoryDone);
}

void AddWizardDialog::buildSongsTab()
{
    // The list itself is built in prepare(), once the instance number is known.
    auto* page = new QWidget;
    songsPage_ = page;
    auto* layout = new QVBoxLayout(page);

    auto* moveColumn = new QVBoxLayout;
    const struct {
        const char* tip;
        const char* name;
        bool up;
        bool bar;
        TrackMove move;
        QKeySequence keys;
    } moves[] = {
        { "Move record up one", "MoveUp", true, false, TrackMove::Up, QKeySequence(Qt::CTRL | Qt::Key_Up) },
        { "Move record to the top", "MoveTop", true, true, TrackMove::Top, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up) },
        { "Move record down one", "MoveDown", false, false, TrackMove::Down, QKeySequence(Qt::CTRL | Qt::Key_Down) },
        { "Move record to the bottom", "MoveBottom", false, true, TrackMove::Bottom,
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down) },
    };
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(moves[i].name));
        b->setIcon(moveIcon(moves[i].up, moves[i].bar, palette()));
        b->setToolTip(QString::fromLatin1(moves[i].tip));
        b->setAccessibleName(QString::fromLatin1(moves[i].tip));
        b->setAccessibleDescription(moves[i].keys.toString(QKeySequence::NativeText));
        const TrackMove m = moves[i].move;
        connect(b, &QToolButton::clicked, this, [this, m] { moveTrack(m); });
        auto* key = new QShortcut(moves[i].keys, page);
        connect(key, &QShortcut::activated, this, [this, m] { moveTrack(m); });
        moves_[i] = b;
        moveColumn->addWidget(b);
    }
    moveColumn->addStretch(1);

    add_ = button(QStringLiteral("&Add"), QStringLiteral("Add"));
    change_ = button(QStringLiteral("C&hange"), QStringLiteral("Change"));
    delete_ = button(QStringLiteral("&Delete"), QStringLiteral("Delete"));
    readCd_ = button(QStringLiteral("Read Compact D&isc Information"), QStringLiteral("ReadCompactDisc"));
    editAll_ = button(QStringLiteral("&Edit All Songs"), QStringLiteral("EditAllSongs"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(change_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    auto* more = new QHBoxLayout;
    more->addWidget(readCd_);
    more->addWidget(editAll_);
    more->addStretch(1);

    listRow_ = new QHBoxLayout;
    listRow_->addLayout(moveColumn);
    layout->addLayout(listRow_, 1);
    layout->addLayout(buttons);
    layout->addLayout(more);
    tabs_->addTab(page, QStringLiteral("&Songs"));

    connect(add_, &QPushButton::clicked, this, &AddWizardDialog::addTrack);
    connect(change_, &QPushButton::clicked, this, &AddWizardDialog::changeTrack);
    connect(delete_, &QPushButton::clicked, this, &AddWizardDialog::deleteTrack);
    connect(readCd_, &QPushButton::clicked, this, &AddWizardDialog::readCompactDisc);
    connect(editAll_, &QPushButton::clicked, this, &AddWizardDialog::editAllSongs);
}

bool AddWizardDialog::prepare()
{
    Database& db = state_.db;
    useSongs_ = std::make_unique<TableUse>(db, TableId::Tunedeck);
    useAlbums_ = std::make_unique<TableUse>(db, TableId::Album);
    useCategories_ = std::make_unique<TableUse>(db, TableId::Categories);
    useMedia_ = std::make_unique<TableUse>(db, TableId::Media);
    if (!useSongs_->ok() || !useAlbums_->ok() || !useCategories_->ok() || !useMedia_->ok())
        return false;
    instance_ = state_.claimWizardInstance();
    claimed_ = true;
    tracks_ = std::make_unique<AddWizardTracks>(db, instance_);
    listTable_ = std::make_unique<TableHandle>(db, TableId::AddWizard);

    // The number the first song takes; the songs are stored only by OK.
    const qint64 first = nextNumber(db, TableId::Tunedeck);
    if (first < 0) {
        db.saveError();
        StandardWarning(db, StdMsg::RecordRetrievalError, tableDef(TableId::Tunedeck).label);
        return false;
    }
    firstSongId_ = qint32(first);
    song_.Media = QStringLiteral("CD");

    if (!loadMediaNames(db, media_) || !loadCategoryList(db, categories_))
        return false;
    mediaBox_->addItems(media_);
    if (media_.isEmpty())
        song_.Media.clear();
    else if (findMedia(media_, song_.Media) < 0)
        song_.Media = media_.first();
    mediaBox_->setCurrentIndex(findMedia(media_, song_.Media));
    for (const CategoryEntry& c : std::as_const(categories_))
        category_->addItem(c.name, c.id);
    category_->setCurrentIndex(-1);
    category_->setEditText(QString());

    // The track list: this wizard's rows in key order.
    paged_ = std::make_unique<PagedList>(*listTable_);
    paged_->setOrder(listTable_->key(QStringLiteral("AW:KeyInstance")), Row { instance_ });
    paged_->setCondition(tracks_->condition(), tracks_->conditionParams());
    model_ = std::make_unique<PagedTableModel>(*paged_);
    const TableDef& aw = tableDef(TableId::AddWizard);
    auto field = [&aw](const char* name) {
        const int i = aw.fieldIndex(QString::fromLatin1(name));
        return ColumnValue([i](const PageRow& r) { return r.row.value(i); });
    };
    const int time = aw.fieldIndex(QStringLiteral("Time"));
    const ColumnValue minSec = [time](const PageRow& r) { return QVariant(TimeToMinSec(r.row.value(time).toInt())); };
    const QString format = QString::fromLatin1(compilation_ ? kCompilationFormat : kSingleFormat);
    if (compilation_)
        model_->setColumns(format, { field("Track"), field("Artist"), field("Title"), minSec });
    else
        model_->setColumns(format, { field("Track"), field("Title"), minSec });
    list_ = new BrowseList(*paged_, *model_, songsPage_);
    list_->setObjectName(QStringLiteral("Tracks"));
    applyColumnFormat(list_->view()->horizontalHeader(), format);
    list_->view()->horizontalHeader()->setStretchLastSection(true);
    listRow_->insertWidget(0, list_, 1);
    // Made last, the list would come after the check box: it leads its tab, before the move buttons.
    QWidget::setTabOrder(mediaBox_, list_->view());
    list_->setMinimumHeight(QFontMetrics(font()).height() * 6);
    connect(list_, &BrowseList::insertRequested, this, &AddWizardDialog::addTrack);
    connect(list_, &BrowseList::deleteRequested, this, &AddWizardDialog::deleteTrack);
    connect(list_, &BrowseList::changeRequested, this, &AddWizardDialog::changeTrack);
    connect(list_, &BrowseList::contextMenuRequested, this, &AddWizardDialog::popup);
    connect(list_, &BrowseList::highlightChanged, this, &AddWizardDialog::updateButtons);
    connect(list_, &BrowseList::readFailed, this, [this] {
        state_.db.saveError(listTable_->lastError());
        StandardWarning(state_.db, StdMsg::RecordRetrievalError, tableDef(TableId::AddWizard).label);
    });
    if (!list_->run([](PagedList& l) { return l.first(); }))
        return false;

    // Ticked for the life of the window.
    state_.settings.AutoAddToAlbums = QStringLiteral("1");
    tookSetting_ = true;
    addToAlbums_->setChecked(true);
    (artist_ ? artist_ : album_)->setFocus();
    updateButtons();

    // A disc the CD player did not know: its tracks are read at once.
    if (state_.startedFromCdPlayer) {
        state_.startedFromCdPlayer = false;
        QTimer::singleShot(0, this, [self = QPointer<AddWizardDialog>(this)] {
            if (self && !self->finished_)
                self->readCompactDisc();
        });
    }
    return true;
}

void AddWizardDialog::reload(qint64 position)
{
    if (!list_)
        return;
    if (position > 0)
        list_->run([position](PagedList& l) { return l.showPosition(position); });
    else
        list_->run([](PagedList& l) { return l.rebuild(); });
    updateButtons();
}

void AddWizardDialog::updateButtons()
{
    const bool any = paged_ && !paged_->isEmpty();
    change_->setEnabled(any);
    delete_->setEnabled(any);
    editAll_->setEnabled(any);
    for (QToolButton* b : moves_)
        b->setEnabled(any);
}

void AddWizardDialog::popup(const QPoint& at)
{
    QMenu menu(this);
    for (QPushButton* b : { add_, change_, delete_ }) {
        QAction* a = menu.addAction(b == change_ ? QStringLiteral("&Change") : b->text());
        a->setEnabled(b->isEnabled());
        connect(a, &QAction::triggered, b, &QPushButton::click);
    }
    menu.exec(at);
}

void AddWizardDialog::openTrackForm(Request request, qint64 position, std::function<void(bool)> then)
{
    auto* form = new UpdateAddWizardDialog(*tracks_, request, position, compilation_, &lastSaved_);
    if (!form->prepare()) {
        form->reject();
        delete form;
        reload();
        then(false);
        return;
    }
    openForm(this, form, [this, form, then](int result) {
        const bool saved = result == QDialog::Accepted;
        reload(form->position());
        then(saved);
    });
}

void AddWizardDialog::addTrack()
{
    if (finished_ || !isEnabled())
        return;
    openTrackForm(Request::Insert, 0, [this](bool saved) {
        // Tracks are typed one after another until a track form is cancelled.
        if (saved)
            QTimer::singleShot(0, this, &AddWizardDialog::addTrack);
        else if (list_)
            list_->setFocus();
    });
}

void AddWizardDialog::changeTrack()
{
    if (finished_ || !isEnabled() || !paged_->highlighted())
        return;
    openTrackForm(Request::Change, paged_->highlightedPosition(), [this](bool) { list_->setFocus(); });
}

void AddWizardDialog::deleteTrack()
{
    if (finished_ || !isEnabled() || !paged_->highlighted())
        return;
    Database& db = state_.db;
    if (StandardWarning(db, StdMsg::ConfirmDelete) != Ok)
        return;
    Table<AddWizard>& t = tracks_->table();
    for (;;) {
        if (t.fetch(paged_->highlightedPosition()) != 0)
            break; // gone already
        if (DeleteRecord(t) == RecordResult::Done || StandardWarning(db, StdMsg::RecordDeleteRetry) != Yes)
            break;
    }
    reload();
}

void AddWizardDialog::moveTrack(TrackMove direction)
{
    if (finished_ || !isEnabled() || !paged_ || !paged_->highlighted())
        return;
    const qint64 position = paged_->highlightedPosition();
    tracks_->move(position, direction);
    reload(position);
}

void AddWizardDialog::readCompactDisc()
{
    if (finished_ || !isEnabled())
        return;
    storeHeader();
    Album album;
    album.Artist = compilation_ ? QString() : song_.Artist;
    album.Album = song_.Album;
    album.Media = song_.Media;
    album.FileNumber = song_.FileNumber;
    album.ReleaseDate = song_.ReleaseDate;
    album.CategoryID = song_.CategoryID;
    album.CDIdentifier = cdIdentifier_;
    if (readCompactDiscWithProgress(state_.cd, state_.db, album, false, true, instance_, this))
        cdIdentifier_ = album.CDIdentifier;
    reload();
    if (list_) {
        tabs_->setCurrentIndex(1);
        list_->setFocus();
    }
}

void AddWizardDialog::editAllSongs()
{
    if (finished_ || !isEnabled())
        return;
    QList<WizardTrack> rows;
    if (const int rc = tracks_->rows(rows); rc != 0) {
        state_.messages.show(QStringLiteral("Unexpected Error"),
            errorTextOf(tracks_->table().lastError()) + messageBreak() + tableDef(TableId::AddWizard).file,
            Icon::Exclamation);
        reload();
        return;
    }
    QList<qint64> positions;
    for (const WizardTrack& r : std::as_const(rows))
        positions << r.position;
    editFrom(positions, 0);
}

void AddWizardDialog::editFrom(QList<qint64> positions, int index)
{
    // A row removed meanwhile is passed over.
    while (index < positions.size() && tracks_->read(positions.at(index), nullptr) != 0)
        ++index;
    if (index >= positions.size()) {
        state_.messages.show(QStringLiteral("Information"), QStringLiteral("End of songs on this album."));
        reload();
        return;
    }
    openTrackForm(Request::Change, positions.at(index), [this, positions, index](bool saved) {
        if (saved)
            QTimer::singleShot(0, this, [this, positions, index] {
                if (!finished_)
                    editFrom(positions, index + 1);
            });
    });
}

// --- the header ----------------------------------------------------------------------------------

void AddWizardDialog::select(QWidget* w)
{
    tabs_->setCurrentIndex(0);
    w->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->selectAll();
}

bool AddWizardDialog::acceptDate()
{
    const Picture picture(datePicture_);
    if (releaseDate_->text().trimmed().isEmpty()) {
        song_.ReleaseDate = 0;
        return true;
    }
    const Picture::Input in = parseDateValue(picture, releaseDate_->text());
    const qint64 v = in.value.toLongLong();
    if (!in.ok || v < 0 || v > maxDay()) {
        state_.messages.show(
            invalidDateMessage(releaseDate_->text(), formatDateValue(picture, dayFromYmd(1997, 10, 31))));
        select(releaseDate_);
        return false;
    }
    song_.ReleaseDate = int(v);
    releaseDate_->setText(formatDateValue(picture, int(v)));
    releaseDate_->setModified(false);
    return true;
}

bool AddWizardDialog::acceptMedia()
{
    if (mediaBox_->currentIndex() >= 0)
        song_.Media = mediaBox_->currentText();
    if (mediaExists(state_.db, song_.Media))
        return true;
    StandardWarning(state_.db, StdMsg::FieldContentsError, QStringLiteral("Media"), QStringLiteral("Media"));
    select(mediaBox_);
    return false;
}

bool AddWizardDialog::acceptCategory()
{
    const QString typed = category_->currentText();
    qint64 id = 0;
    const bool linked = acceptCategoryName(state_.db, categories_, typed, &id) == CategoryAccept::Linked;
    {
        QSignalBlocker block(category_);
        category_->clear();
        for (const CategoryEntry& c : std::as_const(categories_))
            category_->addItem(c.name, c.id);
        if (!linked) {
            category_->setEditText(typed);
        } else {
            song_.CategoryID = qint32(id);
            const QString name = categoryNameOf(categories_, id);
            category_->setCurrentIndex(category_->findData(QVariant::fromValue<qint64>(id)));
            category_->setEditText(name);
            acceptedCategory_ = name;
        }
    }
    if (!linked) {
        select(category_);
        category_->lineEdit()->selectAll();
    }
    return linked;
}

void AddWizardDialog::storeHeader()
{
    if (artist_)
        song_.Artist = artist_->text();
    song_.Album = album_->text();
    song_.FileNumber = fileNumber_->text();
    if (mediaBox_->currentIndex() >= 0)
        song_.Media = mediaBox_->currentText();
}

void AddWizardDialog::okPressed()
{
    if (finished_ || busy_)
        return;
    storeHeader();
    if (releaseDate_->isModified() && !acceptDate())
        return;
    if (!acceptMedia())
        return;
    if (category_->currentText() != acceptedCategory_ && !acceptCategory())
        return;

    WizardHeader h;
    h.song = song_;
    h.cdIdentifier = cdIdentifier_;
    h.compilation = compilation_;
    h.addToAlbums = addToAlbums_->isChecked();
    h.firstSongId = firstSongId_;
    busy_ = true;
    const WizardTransferResult r = transferWizard(state_.db, instance_, h);
    busy_ = false;
    if (!r.committed) {
        reload(); // nothing was written: the wizard stays for another try
        return;
    }
    response_ = Response::Completed;
    accept();
}

void AddWizardDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        // Only the single-artist wizard comes back where it was left.
        if (!compilation_)
            restorePosition(this, procedure());
    }
}

void AddWizardDialog::done(int r)
{
    finish();
    QDialog::done(response_ == Response::Completed ? QDialog::Accepted : (r == QDialog::Accepted ? QDialog::Rejected : r));
}

void AddWizardDialog::finish()
{
    if (!finished_) {
        finished_ = true;
        closeForms(this);
        if (positioned_ && !compilation_)
            savePosition(this, procedure());
        // The setting as the preferences hold it.
        if (tookSetting_)
            state_.settings.AutoAddToAlbums
                = ini::readString(settingsIniPath(), QString::fromLatin1(kSettingsSection),
                    QStringLiteral("AutoAddToAlbums"), QStringLiteral("1"));
        // The rows stay (a cancelled wizard's come back in the next one); the number is free again.
        if (claimed_) {
            claimed_ = false;
            state_.releaseWizardInstance(instance_);
        }
    }
}

} // namespace td

#include "albums/ui/AlbumSongsPanel.h"

#include "albums/AlbumSongs.h"
#include "albums/ui/SelectFileNumber.h"
#include "common/AppState.h"
#include "common/PagedList.h"
#include "common/ui/BrowseList.h"
#include "common/ui/ColumnFormatMemory.h"
#include "common/ui/PagedTableModel.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "songs/ui/BrowseSongs.h"
#include "songs/ui/UpdateSong.h"

#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace td {

namespace {

const QString kSongLabel = QStringLiteral("Tunedeck");

int songField(const char* name)
{
    return tableDef(TableId::Tunedeck).fieldIndex(QString::fromLatin1(name));
}

ColumnValue fieldValue(const char* name)
{
    const int i = songField(name);
    return [i](const PageRow& r) { return i >= 0 && i < r.row.size() ? r.row.at(i) : QVariant(); };
}

QPushButton* button(const QString& text, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

AlbumSongsPanel::AlbumSongsPanel(AppState& state, std::function<Album()> album, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , album_(std::move(album))
{
    setObjectName(QStringLiteral("AlbumSongs"));
    songs_ = std::make_unique<Table<Tunedeck>>(state.db);
    paged_ = std::make_unique<PagedList>(*songs_);
    model_ = std::make_unique<PagedTableModel>(*paged_);
    const QString format = albumSongListFormat(state.settings);
    model_->setColumns(format,
        { fieldValue("TrackNumber"), fieldValue("Artist"), fieldValue("Title"), fieldValue("Time"),
            fieldValue("Media"), fieldValue("FileNumber"), fieldValue("ReleaseDate") });
    const int idField = songField("ID");
    model_->setDragData(QString::fromLatin1(kSongIdMimeType),
        [idField](const PageRow& r) { return QByteArray::number(r.row.value(idField).toLongLong()); });
    buildPanel();
    columns_ = std::make_unique<ColumnFormatMemory>(
        list_->view()->horizontalHeader(), albumSongListFormatKeys(), format);
    columns_->restore();
    updateButtons();
}

AlbumSongsPanel::~AlbumSongsPanel()
{
    // The list and its model refer to the paged list and the table: they go first. The event
    // filter sees no list while it is being taken apart.
    BrowseList* list = list_;
    list_ = nullptr;
    delete list;
    model_.reset();
}

void AlbumSongsPanel::buildPanel()
{
    list_ = new BrowseList(*paged_, *model_, this);
    list_->setFitColumns(true);
    list_->setObjectName(QStringLiteral("AlbumSongList"));
    QTableView* view = list_->view();
    view->setAccessibleName(QStringLiteral("Browsing Records"));
    view->installEventFilter(this);
    // Songs dragged from a song list are dropped here (the view itself stays a drag source only).
    view->viewport()->setAcceptDrops(true);
    view->viewport()->installEventFilter(this);
    connect(list_, &BrowseList::insertRequested, this, &AlbumSongsPanel::addSong);
    connect(list_, &BrowseList::deleteRequested, this, &AlbumSongsPanel::deleteSong);
    connect(list_, &BrowseList::changeRequested, this, &AlbumSongsPanel::changeSong);
    connect(list_, &BrowseList::contextMenuRequested, this, &AlbumSongsPanel::showMenu);
    connect(list_, &BrowseList::highlightChanged, this, &AlbumSongsPanel::updateButtons);
    connect(list_, &BrowseList::readFailed, this, &AlbumSongsPanel::readFailed);

    add_ = button(QStringLiteral("&Add"), QStringLiteral("Add"), this);
    copy_ = button(QStringLiteral("Cop&y"), QStringLiteral("Copy"), this);
    copy_->setToolTip(QStringLiteral("Copy record"));
    change_ = button(QStringLiteral("&Change"), QStringLiteral("Change"), this);
    delete_ = button(QStringLiteral("&Delete"), QStringLiteral("Delete"), this);
    selectExisting_
        = button(QStringLiteral("Select Ex&isting Songs"), QStringLiteral("SelectExistingSongs"), this);
    editAll_ = button(QStringLiteral("Edit All Son&gs"), QStringLiteral("EditAllSongs"), this);
    connect(add_, &QPushButton::clicked, this, &AlbumSongsPanel::addSong);
    connect(copy_, &QPushButton::clicked, this, &AlbumSongsPanel::copySong);
    connect(change_, &QPushButton::clicked, this, &AlbumSongsPanel::changeSong);
    connect(delete_, &QPushButton::clicked, this, &AlbumSongsPanel::deleteSong);
    connect(selectExisting_, &QPushButton::clicked, this, &AlbumSongsPanel::selectExistingSongs);
    connect(editAll_, &QPushButton::clicked, this, &AlbumSongsPanel::editAllSongs);

    auto* records = new QHBoxLayout;
    for (QPushButton* b : { add_, copy_, change_, delete_ })
        records->addWidget(b);
    records->addStretch(1);
    auto* more = new QHBoxLayout;
    more->addWidget(selectExisting_);
    more->addWidget(editAll_);
    more->addStretch(1);
    auto* hint = new QLabel(
        QStringLiteral("You can also drag from the \"Songs\" window to the album song list."), this);
    hint->setObjectName(QStringLiteral("DropHint"));
    hint->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(records);
    layout->addLayout(more);
    layout->addWidget(hint);
    setFocusProxy(list_);
}

bool AlbumSongsPanel::open()
{
    opened_ = true;
    showAlbumSongs(*paged_, album_().AlbumID);
    const int err = paged_->first();
    if (err != 0) {
        db().saveError(songs_->lastError());
        StandardWarning(state_.db, StdMsg::ViewOpenError, kSongLabel);
        list_->showPage();
        updateButtons();
        return false;
    }
    list_->showPage();
    updateButtons();
    return true;
}

Database& AlbumSongsPanel::db() const
{
    return state_.db;
}

void AlbumSongsPanel::reload(qint64 position)
{
    showAlbumSongs(*paged_, album_().AlbumID);
    const int place = qMax(0, paged_->highlight());
    list_->run([position, place](PagedList& l) {
        if (position != 0)
            return l.showPosition(position, place);
        if (const PageRow* h = l.highlighted()) {
            const PageRow kept = *h;
            return l.rebuildAt(kept.row, kept.position, place);
        }
        return l.first();
    });
    updateButtons();
}

void AlbumSongsPanel::saveLayout()
{
    if (columns_)
        columns_->save();
}

void AlbumSongsPanel::readFailed()
{
    db().saveError(songs_->lastError());
    StandardWarning(state_.db, StdMsg::RecordRetrievalError, kSongLabel);
}

void AlbumSongsPanel::updateButtons()
{
    const bool any = !paged_->isEmpty();
    copy_->setEnabled(any);
    change_->setEnabled(any);
    delete_->setEnabled(any);
}

QWidget* AlbumSongsPanel::caller()
{
    // The whole album form waits while a song form or the picker is open: it cannot be closed
    // under them.
    return window();
}

bool AlbumSongsPanel::highlightedSong(Tunedeck* song) const
{
    const qint64 pos = paged_->highlightedPosition();
    if (pos == 0)
        return false;
    Table<Tunedeck> t(state_.db);
    if (t.fetch(pos) != 0)
        return false;
    *song = t.rec;
    return true;
}

qint64 AlbumSongsPanel::positionOfSong(qint32 id) const
{
    if (id == 0)
        return 0;
    Table<Tunedeck> t(state_.db);
    t.rec.ID = id;
    return t.get(t.key(QStringLiteral("MUS:KeyID"))) == 0 ? t.position() : 0;
}

// --- the song form ---------------------------------------------------------------------------------

void AlbumSongsPanel::callForm(Request request)
{
    Tunedeck song;
    if (request != Request::Insert && !highlightedSong(&song))
        return;
    QPointer<AlbumSongsPanel> self(this);
    UpdateSongsForAlbum(
        state_, request, song, album_(), caller(), [self, request](Response r, const Tunedeck& stored) {
            if (self)
                self->formAnswered(request, r, stored);
        });
}

void AlbumSongsPanel::formAnswered(Request request, Response r, const Tunedeck& stored)
{
    const qint64 position
        = r == Response::Completed && request != Request::Delete ? positionOfSong(stored.ID) : 0;
    reload(position);
    list_->setFocus();
}

void AlbumSongsPanel::addSong()
{
    callForm(Request::Insert);
}

void AlbumSongsPanel::copySong()
{
    callForm(Request::Select);
}

void AlbumSongsPanel::changeSong()
{
    callForm(Request::Change);
}

void AlbumSongsPanel::deleteSong()
{
    callForm(Request::Delete);
}

void AlbumSongsPanel::editAllSongs()
{
    auto positions = std::make_shared<QList<qint64>>();
    if (!albumSongPositions(state_.db, album_().AlbumID, positions.get())) {
        db().saveError();
        StandardWarning(state_.db, StdMsg::RecordRetrievalError, kSongLabel);
        return;
    }
    editFrom(positions, 0);
}

void AlbumSongsPanel::editFrom(std::shared_ptr<const QList<qint64>> positions, int index)
{
    // A song deleted meanwhile (by another window) is passed over.
    Table<Tunedeck> t(state_.db);
    while (index < positions->size() && t.fetch(positions->at(index)) != 0)
        ++index;
    if (index >= positions->size()) {
        reload();
        return;
    }
    const qint64 position = positions->at(index);
    QPointer<AlbumSongsPanel> self(this);
    UpdateSongsForAlbum(state_, Request::Change, t.rec, album_(), caller(),
        [self, positions, index, position](Response r, const Tunedeck&) {
            if (!self)
                return;
            if (r == Response::Completed)
                self->editFrom(positions, index + 1);
            else
                self->reload(position);
        });
}

// --- songs of the album's file number ------------------------------------------------------------------

void AlbumSongsPanel::selectExistingSongs()
{
    const Album album = album_();
    if (clip(album.FileNumber).trimmed().isEmpty()) {
        pickSong();
        return;
    }
    switch (state_.messages.show(assignSongsQuestion(album))) {
    case Yes:
        reportAssignment(state_.db, assignSongsByFileNumber(state_.db, album));
        break;
    case No:
        pickSong();
        return;
    default:
        break;
    }
    reload();
}

void AlbumSongsPanel::pickSong()
{
    QPointer<AlbumSongsPanel> self(this);
    SelectFileNumber(state_, caller(), [self](const Tunedeck* chosen) {
        if (!self)
            return;
        qint64 position = 0;
        if (chosen)
            assignSongToAlbum(self->state_.db, chosen->ID, self->album_().AlbumID, &position);
        self->reload(position);
    });
}

// --- drops, the locator and the menu --------------------------------------------------------------------

bool AlbumSongsPanel::dropSongs(const QMimeData* data)
{
    const QString type = QString::fromLatin1(kSongIdMimeType);
    if (!data || !data->hasFormat(type))
        return false;
    const QList<qint32> ids = songIdsOfDrag(data->data(type));
    if (ids.isEmpty()) {
        state_.messages.show(QStringLiteral("Songs Not Found"),
            QStringLiteral("What was dropped on the album song list is not a song of this catalogue."),
            Icon::Exclamation);
        return true;
    }
    const DropResult r = dropSongsOnAlbum(state_.db, album_(), ids);
    reload(r.lastPosition);
    return true;
}

bool AlbumSongsPanel::eventFilter(QObject* watched, QEvent* e)
{
    QTableView* view = list_ ? list_->view() : nullptr;
    if (view && watched == view->viewport()) {
        switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* d = static_cast<QDropEvent*>(e);
            // Songs of this album dragged within its own list are not copies to make.
            if (d->source() != view && d->mimeData()->hasFormat(QString::fromLatin1(kSongIdMimeType)))
                d->acceptProposedAction();
            else
                d->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(e);
            if (d->source() != view && dropSongs(d->mimeData()))
                d->acceptProposedAction();
            else
                d->ignore();
            return true;
        }
        default:
            break;
        }
    }
    if (view && watched == view && e->type() == QEvent::KeyPress) {
        // A character typed on the list goes to the first song whose track number starts with it.
        auto* k = static_cast<QKeyEvent*>(e);
        const QString text = k->text();
        if (!(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && text.size() == 1
            && text.at(0).isPrint()) {
            locateTrack(text);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void AlbumSongsPanel::locateTrack(const QString& text)
{
    const qint64 position = firstTrackStartingWith(state_.db, album_().AlbumID, text);
    if (position < 0) {
        readFailed();
        return;
    }
    if (position == 0)
        return; // no such track: the highlight stays
    const int place = qMax(0, paged_->highlight());
    list_->run([position, place](PagedList& l) { return l.showPosition(position, place); });
}

void AlbumSongsPanel::showMenu(const QPoint& at)
{
    const bool any = !paged_->isEmpty();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("AlbumSongMenu"));
    QAction* add = menu.addAction(QStringLiteral("&Add"));
    QAction* change = menu.addAction(QStringLiteral("&Change"));
    QAction* del = menu.addAction(QStringLiteral("&Delete"));
    menu.addSeparator();
    QAction* copy = menu.addAction(QStringLiteral("Cop&y"));
    change->setEnabled(any);
    del->setEnabled(any);
    copy->setEnabled(any);
    QAction* chosen = menu.exec(at);
    if (chosen == add)
        addSong();
    else if (chosen == change)
        changeSong();
    else if (chosen == del)
        deleteSong();
    else if (chosen == copy)
        copySong();
}

} // namespace td

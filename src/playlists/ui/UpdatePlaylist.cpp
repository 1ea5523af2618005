#include "playlists/ui/UpdatePlaylist.h"

#include "common/AppState.h"
#include "common/PagedList.h"
#include "common/ui/BrowseList.h"
#include "common/ui/ColumnFormatMemory.h"
#include "common/ui/FormHost.h"
#include "common/ui/PagedTableModel.h"
#include "common/ui/WidgetPosition.h"
#include "core/DayTime.h"
#include "core/ListFormat.h"
#include "core/Picture.h"
#include "data/Database.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "playlists/PlaylistForm.h"
#include "playlists/PlaylistLineForm.h"
#include "playlists/ui/UpdatePlaylistDetails.h"
#include "songs/ui/BrowseSongs.h"

#include <QDropEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace td {

namespace {

const QString kProcedure = QStringLiteral("UpdatePlaylist");
const QString kLines = QStringLiteral("PlaylistDetails");

int lineField(const char* name)
{
    return tableDef(TableId::PlaylistDetails).fieldIndex(QString::fromLatin1(name));
}

// An arrow up or down; to the top or bottom it stops at a bar.
QIcon arrowIcon(bool up, bool toEnd, const QColor& color)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const qreal tip = up ? 3 : 13;
    const qreal base = up ? 12 : 4;
    p.drawPolygon(QPolygonF({QPointF(8, tip), QPointF(2, base), QPointF(14, base)}));
    if (toEnd)
        p.drawRect(QRectF(2, up ? 0.5 : 13.5, 12, 2));
    return QIcon(pm);
}

QList<qint64> songIdsOf(const QByteArray& data)
{
    // Decimal song numbers, one per line; anything else is not a song list's drag.
    QList<qint64> ids;
    for (const QByteArray& line : data.split('\n')) {
        const QByteArray n = line.trimmed();
        if (n.isEmpty())
            continue;
        bool ok = false;
        const qint64 id = n.toLongLong(&ok);
        if (!ok || id < 0)
            return {};
        ids << id;
    }
    return ids;
}

} // namespace

UpdatePlaylistDialog::UpdatePlaylistDialog(std::unique_ptr<PlaylistForm> form, QWidget* parent)
    : QDialog(parent)
    , form_(std::move(form))
{
    setObjectName(kProcedure);
    setWindowTitle(form_->request() == Request::Insert ? QStringLiteral("Adding a Playlist Record")
                                                       : QStringLiteral("Changing a Playlist Record"));
    setSizeGripEnabled(true);
    Database& db = form_->database();
    lines_ = std::make_unique<Table<PlaylistDetails>>(db);
    paged_ = std::make_unique<PagedList>(*lines_);
    model_ = std::make_unique<PagedTableModel>(*paged_);
    const int seq = lineField("PlaylistSeq");
    const int id = lineField("ID");
    const int notes = lineField("PlaylistNotes");
    auto field = [](int i) { return [i](const PageRow& r) { return r.row.value(i); }; };
    auto song = [this, id](int part) {
        return [this, id, part](const PageRow& r) -> QVariant {
            const LineSong& s = songOf(r.row.value(id).toLongLong());
            if (!s.found)
                return part == 0 ? QVariant(missingSongText()) : QVariant();
            return part == 0 ? QVariant(s.artist) : part == 1 ? QVariant(s.title) : QVariant(s.time);
        };
    };
    model_->setColumns(playlistLineListFormat(), {field(seq), song(0), song(1), song(2), field(notes)});

    tabs_ = new QTabWidget(this);
    tabs_->addTab(buildListTab(), QStringLiteral("Play List"));
    tabs_->addTab(buildNotesTab(), QStringLiteral("Notes"));
    columns_ = std::make_unique<ColumnFormatMemory>(list_->view()->horizontalHeader(), playlistLineListFormatKeys(),
                                                    playlistLineListFormat());
    columns_->restore();

    auto* hint = new QLabel(QStringLiteral("Drag from the \"Songs\" window and drop on the Playlist"), this);
    hint->setObjectName(QStringLiteral("DropHint"));
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &UpdatePlaylistDialog::okPressed);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(hint, 1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);
    resize(760, 480);
}

UpdatePlaylistDialog::~UpdatePlaylistDialog()
{
    // The list and its model refer to the paged list and the table: they go first. The event
    // filter sees no list while it is being taken apart.
    BrowseList* list = list_;
    list_ = nullptr;
    delete list;
    model_.reset();
}

QWidget* UpdatePlaylistDialog::buildListTab()
{
    auto* tab = new QWidget;
    description_ = new QLineEdit(tab);
    description_->setObjectName(QStringLiteral("PlaylistDescription"));
    description_->setMaxLength(tableDef(TableId::PlaylistMaster)
                                   .field(tableDef(TableId::PlaylistMaster).fieldIndex(QStringLiteral("PlaylistDescription")))
                                   .width);
    description_->setMinimumWidth(description_->fontMetrics().averageCharWidth() * 24);
    auto* prompt = new QLabel(QStringLiteral("&Playlist Description:"), tab);
    prompt->setBuddy(description_);
    auto* top = new QHBoxLayout;
    top->addWidget(prompt);
    top->addWidget(description_);
    top->addStretch(1);

    list_ = new BrowseList(*paged_, *model_, tab);
    list_->setObjectName(QStringLiteral("LineList"));
    list_->setLocator([](const QString& text) { return Row {text.toLongLong()}; }, 5);
    QTableView* view = list_->view();
    view->installEventFilter(this);
    view->viewport()->setAcceptDrops(true);
    view->viewport()->installEventFilter(this);
    connect(list_, &BrowseList::insertRequested, this, &UpdatePlaylistDialog::addLine);
    connect(list_, &BrowseList::deleteRequested, this, &UpdatePlaylistDialog::deleteLine);
    connect(list_, &BrowseList::changeRequested, this, &UpdatePlaylistDialog::changeLine);
    connect(list_, &BrowseList::highlightChanged, this, &UpdatePlaylistDialog::updateButtons);
    connect(list_, &BrowseList::readFailed, this, [this](int) {
        form_->database().saveError(lines_->lastError());
        StandardWarning(form_->database(), StdMsg::RecordRetrievalError, kLines);
    });

    auto arrow = [this, tab](bool up, bool toEnd, const QString& tip, const QString& name, LineMove how) {
        auto* b = new QToolButton(tab);
        b->setObjectName(name);
        b->setIcon(arrowIcon(up, toEnd, palette().color(QPalette::ButtonText)));
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        connect(b, &QToolButton::clicked, this, [this, how] { move(how); });
        return b;
    };
    up_ = arrow(true, false, QStringLiteral("Move record up one"), QStringLiteral("MoveUp"), LineMove::Up);
    top_ = arrow(true, true, QStringLiteral("Move record to the top"), QStringLiteral("MoveTop"), LineMove::Top);
    down_ = arrow(false, false, QStringLiteral("Move record down one"), QStringLiteral("MoveDown"), LineMove::Down);
    bottom_ = arrow(false, true, QStringLiteral("Move record to the bottom"), QStringLiteral("MoveBottom"),
                    LineMove::Bottom);
    auto* arrows = new QVBoxLayout;
    for (QToolButton* b : {up_, top_, down_, bottom_})
        arrows->addWidget(b);
    arrows->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(list_, 1);
    middle->addLayout(arrows);

    auto button = [tab](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, tab);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    chart_ = button(QStringLiteral("Char&t"), QStringLiteral("Chart"));
    chart_->setToolTip(QStringLiteral("Copy the current chart order into the last week column"));
    add_ = button(QStringLiteral("&Add"), QStringLiteral("Add"));
    change_ = button(QStringLiteral("&Change"), QStringLiteral("Change"));
    delete_ = button(QStringLiteral("&Delete"), QStringLiteral("Delete"));
    connect(chart_, &QPushButton::clicked, this, &UpdatePlaylistDialog::chart);
    connect(add_, &QPushButton::clicked, this, &UpdatePlaylistDialog::addLine);
    connect(change_, &QPushButton::clicked, this, &UpdatePlaylistDialog::changeLine);
    connect(delete_, &QPushButton::clicked, this, &UpdatePlaylistDialog::deleteLine);
    total_ = new QLabel(tab);
    total_->setObjectName(QStringLiteral("TotalTime"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chart_);
    bottom->addStretch(1);
    bottom->addWidget(new QLabel(QStringLiteral("Total Time:"), tab));
    bottom->addWidget(total_);
    bottom->addStretch(1);
    for (QPushButton* b : {add_, change_, delete_})
        bottom->addWidget(b);

    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    return tab;
}

QWidget* UpdatePlaylistDialog::buildNotesTab()
{
    auto* tab = new QWidget;
    notes_ = new QPlainTextEdit(tab);
    notes_->setObjectName(QStringLiteral("Notes"));
    notes_->setTabChangesFocus(true);
    lastEdit_ = new QLabel(tab);
    lastEdit_->setObjectName(QStringLiteral("LastEditDate"));
    auto* date = new QHBoxLayout;
    date->addWidget(new QLabel(QStringLiteral("Last Edit Date:"), tab));
    date->addWidget(lastEdit_);
    date->addStretch(1);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(notes_, 1);
    layout->addLayout(date);
    return tab;
}

qint32 UpdatePlaylistDialog::playlistId() const
{
    return form_->playlist().PlaylistID;
}

bool UpdatePlaylistDialog::load()
{
    const PlaylistMaster& p = form_->playlist();
    description_->setText(p.PlaylistDescription);
    notes_->setPlainText(p.Notes);
    const TableDef& def = tableDef(TableId::PlaylistMaster);
    const Picture datePicture(applyDatePicture(def.field(def.fieldIndex(QStringLiteral("LastEditDate"))).picture,
                                               form_->state().settings.DateFormat));
    lastEdit_->setText(p.LastEditDate > 0 ? formatDateValue(datePicture, p.LastEditDate) : QString());
    showPlaylistLines(*paged_, playlistId());
    return reload();
}

const LineSong& UpdatePlaylistDialog::songOf(qint64 id) const
{
    auto it = songs_.find(id);
    if (it != songs_.end())
        return *it;
    if (songs_.size() > 1000)
        songs_.clear(); // paged far through a long playlist: only the page shown matters
    return *songs_.insert(id, songOfLine(form_->database(), id));
}

bool UpdatePlaylistDialog::reload(qint64 position)
{
    songs_.clear();
    const int place = qMax(0, paged_->highlight());
    const bool read = list_->run([position, place](PagedList& l) {
        if (position != 0)
            return l.showPosition(position, place);
        if (const PageRow* h = l.highlighted()) {
            const PageRow kept = *h;
            return l.rebuildAt(kept.row, kept.position, place);
        }
        return l.first();
    });
    const int total = read ? playlistTotalTime(form_->database(), playlistId()) : -1;
    updateButtons();
    if (total < 0) {
        // Reported by the list already when its own read failed.
        if (read) {
            form_->database().saveError();
            StandardWarning(form_->database(), StdMsg::RecordRetrievalError, kLines);
        }
        return false;
    }
    total_->setText(total > 0 ? Picture(QStringLiteral("@t4")).format(total) : QString());
    return true;
}

QString UpdatePlaylistDialog::totalTimeText() const
{
    return total_->text();
}

void UpdatePlaylistDialog::updateButtons()
{
    const bool any = !paged_->isEmpty();
    for (QWidget* w : std::initializer_list<QWidget*> {up_, top_, down_, bottom_, change_, delete_})
        w->setEnabled(any);
    chart_->setEnabled(bool(form_->state().entries.chartPlaylist));
}

qint64 UpdatePlaylistDialog::highlightedSeq() const
{
    const PageRow* h = paged_->highlighted();
    return h ? h->row.value(lineField("PlaylistSeq")).toLongLong() : 0;
}

qint64 UpdatePlaylistDialog::positionOfSeq(qint64 seq) const
{
    Table<PlaylistDetails> t(form_->database());
    t.rec.PlaylistID = playlistId();
    t.rec.PlaylistSeq = seq;
    return t.get(t.key(QStringLiteral("PLA:KeyPlaylistID"))) == 0 ? t.position() : 0;
}

void UpdatePlaylistDialog::move(LineMove how)
{
    const qint64 seq = highlightedSeq();
    if (seq == 0)
        return;
    const qint64 position = paged_->highlightedPosition();
    moveLine(form_->database(), playlistId(), seq, how);
    // The moved line keeps its place in the table: the highlight follows it.
    reload(position);
    list_->setFocus();
}

void UpdatePlaylistDialog::addLine()
{
    const qint64 after = highlightedSeq();
    QPointer<UpdatePlaylistDialog> self(this);
    UpdatePlaylistDetails(form_->state(), Request::Insert, playlistId(), 0, this,
                          [self, after](Response r, const PlaylistDetails& stored) {
                              if (!self)
                                  return;
                              qint64 position = 0;
                              if (r == Response::Completed) {
                                  const qint64 seq = moveLineAfter(self->form_->database(), self->playlistId(),
                                                                   stored.PlaylistSeq, after);
                                  position = self->positionOfSeq(seq < 0 ? stored.PlaylistSeq : seq);
                              }
                              self->reload(position);
                              self->list_->setFocus();
                          });
}

void UpdatePlaylistDialog::changeLine()
{
    const qint64 position = paged_->highlightedPosition();
    if (position == 0)
        return;
    QPointer<UpdatePlaylistDialog> self(this);
    UpdatePlaylistDetails(form_->state(), Request::Change, playlistId(), position, this,
                          [self, position](Response, const PlaylistDetails&) {
                              if (!self)
                                  return;
                              self->reload(position);
                              self->list_->setFocus();
                          });
}

void UpdatePlaylistDialog::deleteLine()
{
    const qint64 seq = highlightedSeq();
    if (seq == 0)
        return;
    if (StandardWarning(form_->database(), StdMsg::ConfirmDelete) != Ok)
        return;
    td::deleteLine(form_->database(), playlistId(), seq);
    // The line after it now holds its number.
    reload(positionOfSeq(seq) ? positionOfSeq(seq) : positionOfSeq(seq - 1));
    list_->setFocus();
}

void UpdatePlaylistDialog::chart()
{
    auto& entry = form_->state().entries.chartPlaylist;
    if (!entry)
        return;
    QPointer<UpdatePlaylistDialog> self(this);
    entry(form_->state(), this, playlistId(), [self](Response) {
        if (self)
            self->reload();
    });
}

bool UpdatePlaylistDialog::dropSongs(const QMimeData* data)
{
    const QString type = QString::fromLatin1(kSongIdMimeType);
    if (!data || !data->hasFormat(type))
        return false;
    const QList<qint64> ids = songIdsOf(data->data(type));
    if (ids.isEmpty())
        return true;
    // Imported songs have no song number until the link test gives them one; a line could not
    // name them.
    if (ids.contains(0)) {
        form_->state().messages.show(QStringLiteral("Playlist"), unnumberedSongText(), Icon::Exclamation);
        return true;
    }
    qint64 position = 0;
    appendLines(form_->database(), playlistId(), ids, &position);
    reload(position);
    return true;
}

bool UpdatePlaylistDialog::eventFilter(QObject* watched, QEvent* e)
{
    QTableView* view = list_ ? list_->view() : nullptr;
    if (view && watched == view->viewport()) {
        switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* d = static_cast<QDropEvent*>(e);
            if (d->mimeData()->hasFormat(QString::fromLatin1(kSongIdMimeType)))
                d->acceptProposedAction();
            else
                d->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(e);
            if (dropSongs(d->mimeData()))
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
        auto* k = static_cast<QKeyEvent*>(e);
        // Enter changes the line (Ctrl+Enter too, through the list); OK stays a click or Alt+O away.
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && k->modifiers() == Qt::NoModifier) {
            changeLine();
            return true;
        }
        // Only digits locate: the sequence number is the list's key.
        const QString text = k->text();
        if (!(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && text.size() == 1 && text.at(0).isPrint()
            && !text.at(0).isDigit())
            return true;
    }
    return QDialog::eventFilter(watched, e);
}

void UpdatePlaylistDialog::okPressed()
{
    PlaylistMaster& p = form_->playlist();
    p.PlaylistDescription = description_->text();
    p.Notes = notes_->toPlainText();
    if (form_->save(today()) == PlaylistForm::Save::Closed) {
        accept();
        return;
    }
    tabs_->setCurrentIndex(0);
    description_->setText(p.PlaylistDescription);
    description_->setFocus();
    description_->selectAll();
}

void UpdatePlaylistDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, kProcedure);
        description_->setFocus();
    }
}

void UpdatePlaylistDialog::done(int r)
{
    if (!finished_) {
        finished_ = true;
        if (positioned_)
            savePosition(this, kProcedure);
        if (columns_)
            columns_->save();
        form_->close();
    }
    QDialog::done(r);
}

void UpdatePlaylist(AppState& state, Request request, const PlaylistMaster& playlist, QWidget* caller,
                    PlaylistAnswer answered)
{
    auto form = std::make_unique<PlaylistForm>(state, request, playlist);
    if (!form->open()) {
        form->close();
        if (answered)
            answered(form->response(), PlaylistMaster());
        return;
    }
    auto* dialog = new UpdatePlaylistDialog(std::move(form));
    if (!dialog->load()) {
        dialog->reject();
        delete dialog;
        if (answered)
            answered(Response::Cancelled, PlaylistMaster());
        return;
    }
    openForm(caller, dialog, [dialog, answered](int) {
        PlaylistForm& f = dialog->form();
        if (answered)
            answered(f.response(), f.response() == Response::Completed ? f.playlist() : PlaylistMaster());
    });
}

} // namespace td

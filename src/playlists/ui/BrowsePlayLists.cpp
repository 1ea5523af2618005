#include "playlists/ui/BrowsePlayLists.h"

#include "common/AppState.h"
#include "common/PagedList.h"
#include "common/ui/BrowseList.h"
#include "common/ui/ColumnFormatMemory.h"
#include "common/ui/PagedTableModel.h"
#include "common/ui/WidgetPosition.h"
#include "data/Database.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "playlists/PlaylistBrowse.h"
#include "playlists/PlaylistLines.h"
#include "playlists/ui/GeneratePlaylist.h"
#include "playlists/ui/UpdatePlaylist.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

namespace td {

namespace {

const QString kProcedure = QStringLiteral("BrowsePlayLists");
const QString kLabel = QStringLiteral("PlaylistMaster");

} // namespace

QWidget* createBrowsePlayLists(AppState& state)
{
    auto* w = new BrowsePlayListsWindow(state);
    if (!w->isReadable()) {
        delete w;
        return nullptr;
    }
    return w;
}

BrowsePlayListsWindow::BrowsePlayListsWindow(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
{
    setObjectName(kProcedure);
    table_ = std::make_unique<Table<PlaylistMaster>>(state.db);
    paged_ = std::make_unique<PagedList>(*table_);
    model_ = std::make_unique<PagedTableModel>(*paged_);
    const int description = table_->def().fieldIndex(QStringLiteral("PlaylistDescription"));
    model_->setColumns(playlistListFormat(), {[description](const PageRow& r) { return r.row.value(description); }});
    buildWindow();
    columns_ = std::make_unique<ColumnFormatMemory>(list_->view()->horizontalHeader(), playlistListFormatKeys(),
                                                    playlistListFormat());
    columns_->restore();
    showPlaylists(*paged_);
    rebuild();
    opened_ = true;
}

BrowsePlayListsWindow::~BrowsePlayListsWindow()
{
    // The event filter sees no list while it is being taken apart.
    BrowseList* list = list_;
    list_ = nullptr;
    delete list;
    model_.reset();
}

void BrowsePlayListsWindow::buildWindow()
{
    setMinimumSize(50, 50);
    tabs_ = new QTabBar(this);
    tabs_->addTab(QStringLiteral("Playlists"));
    list_ = new BrowseList(*paged_, *model_, this);
    list_->setObjectName(QStringLiteral("PlaylistList"));
    list_->setFitColumns(true);
    list_->view()->horizontalHeader()->setStretchLastSection(true); // the one column fills the list
    list_->view()->setToolTip(QStringLiteral("Right-Click for Options"));
    list_->view()->installEventFilter(this);
    connect(list_, &BrowseList::insertRequested, this, &BrowsePlayListsWindow::addPlaylist);
    connect(list_, &BrowseList::deleteRequested, this, &BrowsePlayListsWindow::deletePlaylist);
    connect(list_, &BrowseList::changeRequested, this, &BrowsePlayListsWindow::changePlaylist);
    connect(list_, &BrowseList::contextMenuRequested, this, &BrowsePlayListsWindow::showMenu);
    connect(list_, &BrowseList::highlightChanged, this, &BrowsePlayListsWindow::updateButtons);
    connect(list_, &BrowseList::readFailed, this, [this](int) {
        state_.db.saveError(table_->lastError());
        StandardWarning(state_.db, StdMsg::RecordRetrievalError, kLabel);
        if (!opened_)
            readable_ = false;
    });

    auto button = [this](const QString& text, const QString& name, void (BrowsePlayListsWindow::*act)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, act);
        const int margin = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b)
                                + style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b));
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QString(text).remove(QLatin1Char('&'))) + margin);
        return b;
    };
    add_ = button(QStringLiteral("&Add"), QStringLiteral("Add"), &BrowsePlayListsWindow::addPlaylist);
    change_ = button(QStringLiteral("&Change"), QStringLiteral("Change"), &BrowsePlayListsWindow::changePlaylist);
    delete_ = button(QStringLiteral("&Delete"), QStringLiteral("Delete"), &BrowsePlayListsWindow::deletePlaylist);
    print_ = button(QStringLiteral("&Print"), QStringLiteral("Print"), &BrowsePlayListsWindow::printPlaylist);
    print_->setToolTip(QStringLiteral("Print playlist (basic format)"));
    top40_ = button(QStringLiteral("&Top 40"), QStringLiteral("Top40"), &BrowsePlayListsWindow::printTop40);
    top40_->setToolTip(QStringLiteral("Print playlist in a top-?? chart format"));
    export_ = button(QStringLiteral("E&xport M3U"), QStringLiteral("ExportM3U"), &BrowsePlayListsWindow::exportM3u);
    export_->setToolTip(QStringLiteral("Save the playlist as an M3U play list"));
    close_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Cl&ose"), this);
    close_->setObjectName(QStringLiteral("Close"));
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
    });

    auto* records = new QHBoxLayout;
    for (QPushButton* b : {add_, change_, delete_})
        records->addWidget(b);
    records->addStretch(1);
    auto* more = new QHBoxLayout;
    for (QPushButton* b : {print_, top40_, export_})
        more->addWidget(b);
    more->addStretch(1);
    more->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(list_, 1);
    layout->addLayout(records);
    layout->addLayout(more);
    setFocusProxy(list_);
    setMinimumSize(minimumSize().expandedTo(layout->totalMinimumSize()));
}

void BrowsePlayListsWindow::rebuild(qint64 position)
{
    list_->run([position](PagedList& l) {
        if (position != 0)
            return l.showPosition(position);
        return l.highlighted() ? l.rebuild() : l.first();
    });
    setWindowTitle(playlistListCaption(table_->records()));
    updateButtons();
}

void BrowsePlayListsWindow::updateButtons()
{
    const bool any = !paged_->isEmpty();
    change_->setEnabled(any);
    delete_->setEnabled(any);
    export_->setEnabled(any);
    print_->setEnabled(any && bool(state_.entries.printPlaylist));
    top40_->setEnabled(any && bool(state_.entries.printPlaylistTop40));
}

bool BrowsePlayListsWindow::highlighted(PlaylistMaster* playlist) const
{
    const qint64 position = paged_->highlightedPosition();
    if (position == 0)
        return false;
    Table<PlaylistMaster> t(state_.db);
    if (t.fetch(position) != 0)
        return false;
    *playlist = t.rec;
    return true;
}

void BrowsePlayListsWindow::callForm(Request request)
{
    PlaylistMaster p;
    if (request != Request::Insert && !highlighted(&p))
        return;
    QPointer<BrowsePlayListsWindow> self(this);
    UpdatePlaylist(state_, request, p, this, [self, request](Response r, const PlaylistMaster& stored) {
        if (!self)
            return;
        qint64 position = 0;
        if (r == Response::Completed && request != Request::Delete) {
            Table<PlaylistMaster> t(self->state_.db);
            t.rec.PlaylistID = stored.PlaylistID;
            if (t.get(t.key(QStringLiteral("PLD:KeyPlaylistID"))) == 0)
                position = t.position();
        }
        self->rebuild(position);
        self->list_->setFocus();
    });
}

void BrowsePlayListsWindow::addPlaylist()
{
    callForm(Request::Insert);
}

void BrowsePlayListsWindow::changePlaylist()
{
    callForm(Request::Change);
}

void BrowsePlayListsWindow::deletePlaylist()
{
    callForm(Request::Delete);
}

void BrowsePlayListsWindow::printPlaylist()
{
    PlaylistMaster p;
    if (state_.entries.printPlaylist && highlighted(&p))
        state_.entries.printPlaylist(state_, this, p.PlaylistID, {});
}

void BrowsePlayListsWindow::printTop40()
{
    PlaylistMaster p;
    if (!state_.entries.printPlaylistTop40 || !highlighted(&p))
        return;
    QPointer<BrowsePlayListsWindow> self(this);
    state_.entries.printPlaylistTop40(state_, this, p.PlaylistID, [self](Response) {
        if (self)
            self->rebuild();
    });
}

void BrowsePlayListsWindow::generatePlaylist()
{
    QPointer<BrowsePlayListsWindow> self(this);
    GeneratePlaylist(state_, this, [self](Response) {
        if (self)
            self->rebuild();
    });
}

void BrowsePlayListsWindow::exportM3u()
{
    PlaylistMaster p;
    if (!highlighted(&p))
        return;
    // Not modal: the list waits through the file dialog's signal, not a loop of its own.
    auto* dialog = new QFileDialog(this, QStringLiteral("Export Playlist"), QString(),
                                   QStringLiteral("M3U play lists (*.m3u8 *.m3u);;All files (*)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("m3u8"));
    dialog->selectFile(m3uFileName(p.PlaylistDescription));
    QPointer<BrowsePlayListsWindow> self(this);
    connect(dialog, &QFileDialog::fileSelected, this, [self](const QString& path) {
        if (self && !path.isEmpty())
            self->exportM3uTo(path);
    });
    dialog->open();
}

bool BrowsePlayListsWindow::exportM3uTo(const QString& path)
{
    PlaylistMaster p;
    if (!highlighted(&p))
        return false;
    QString text;
    if (!playlistM3u(state_.db, p.PlaylistID, &text)) {
        state_.db.saveError();
        StandardWarning(state_.db, StdMsg::RecordRetrievalError, QStringLiteral("PlaylistDetails"));
        return false;
    }
    // Written whole or not at all: a full disk leaves no half list behind, and is reported.
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        state_.messages.show(QStringLiteral("Export Playlist"),
                             QStringLiteral("The playlist could not be written to %1: %2").arg(path, file.errorString()),
                             Icon::Exclamation);
        return false;
    }
    state_.messages.show(QStringLiteral("Export Playlist"),
                         QStringLiteral("The playlist has been exported to %1")
                             .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
    return true;
}

void BrowsePlayListsWindow::showMenu(const QPoint& at)
{
    const bool any = !paged_->isEmpty();
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PlaylistMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto item = [this, menu](const QString& text, bool enabled, void (BrowsePlayListsWindow::*act)()) {
        QAction* a = menu->addAction(text);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, act);
    };
    item(add_->text(), true, &BrowsePlayListsWindow::addPlaylist);
    item(change_->text(), any, &BrowsePlayListsWindow::changePlaylist);
    item(delete_->text(), any, &BrowsePlayListsWindow::deletePlaylist);
    menu->addSeparator();
    item(print_->text(), print_->isEnabled(), &BrowsePlayListsWindow::printPlaylist);
    item(top40_->text(), top40_->isEnabled(), &BrowsePlayListsWindow::printTop40);
    item(export_->text(), export_->isEnabled(), &BrowsePlayListsWindow::exportM3u);
    menu->addSeparator();
    item(QStringLiteral("Generate Play List"), true, &BrowsePlayListsWindow::generatePlaylist);
    menu->popup(at);
}

bool BrowsePlayListsWindow::eventFilter(QObject* watched, QEvent* e)
{
    if (list_ && watched == list_->view() && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && k->modifiers() == Qt::NoModifier) {
            changePlaylist();
            return true;
        }
        const QString text = k->text();
        if (!(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && text.size() == 1
            && text.at(0).isPrint() && !text.at(0).isSpace()) {
            const QChar typed = text.at(0);
            list_->run([typed](PagedList& l) { return locatePlaylist(l, typed); });
            updateButtons();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void BrowsePlayListsWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, kProcedure);
    }
}

void BrowsePlayListsWindow::closeEvent(QCloseEvent* e)
{
    if (!finished_) {
        finished_ = true;
        columns_->save();
        savePosition(this, kProcedure);
    }
    QWidget::closeEvent(e);
}

} // namespace td

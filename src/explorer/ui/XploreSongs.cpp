#include "explorer/ui/XploreSongs.h"

#include "common/AppState.h"
#include "common/Request.h"
#include "data/Records.h"
#include "data/StandardWarning.h"
#include "setup/ui/QueryWizardDialog.h"
#include "songs/SongFilter.h"
#include "songs/ui/UpdateSong.h"

#include <QPushButton>
#include <QTableView>

namespace td {

QWidget* createXploreSongs(AppState& state)
{
    auto* w = new XploreSongsWindow(state);
    if (!w->isReadable()) {
        delete w;
        return nullptr;
    }
    return w;
}

XploreSongsWindow::XploreSongsWindow(AppState& state, QWidget* parent)
    : ExplorerWindow(state, ExplorerKind::Songs, parent)
{
    setWindowTitle(QStringLiteral("Explore Songs"));
    add_ = button(QStringLiteral("&Add"), QStringLiteral("Add"));
    copy_ = button(QStringLiteral("Cop&y"), QStringLiteral("Copy"));
    change_ = button(QStringLiteral("&Change"), QStringLiteral("Change"));
    delete_ = button(QStringLiteral("&Delete"), QStringLiteral("Delete"));
    searchButton_ = button(QStringLiteral("&Search"), QStringLiteral("Search"));
    reset_ = button(QStringLiteral("Reset Search"), QStringLiteral("ResetSearch"));
    import_ = button(QStringLiteral("&Import"), QStringLiteral("Import"));
    export_ = button(QStringLiteral("&Export"), QStringLiteral("Export"));
    // "&Print" would share its key with "View &Properties": the print button takes R.
    print_ = button(QStringLiteral("P&rint"), QStringLiteral("Print"));
    close_ = button(QStringLiteral("Cl&ose"), QStringLiteral("Close"));
    build({properties_, add_, copy_, change_, delete_, searchButton_, reset_, import_, export_, print_, close_});
    connect(add_, &QPushButton::clicked, this, &XploreSongsWindow::addRecord);
    connect(copy_, &QPushButton::clicked, this, &XploreSongsWindow::copyRecord);
    connect(change_, &QPushButton::clicked, this, &XploreSongsWindow::changeRecord);
    connect(delete_, &QPushButton::clicked, this, &XploreSongsWindow::deleteRecord);
    connect(searchButton_, &QPushButton::clicked, this, &XploreSongsWindow::searchSongs);
    connect(reset_, &QPushButton::clicked, this, &XploreSongsWindow::resetSearch);
    connect(import_, &QPushButton::clicked, this, [this]() {
        if (const auto& open = state_.entries.importSongs)
            open(state_, this, [this](Response) { rebuild(); });
    });
    connect(export_, &QPushButton::clicked, this, [this]() {
        if (const auto& open = state_.entries.exportSongs)
            open(state_, this, [](Response) {});
    });
    // The printed listing of the column the view is ordered by (by artist for a column that has
    // no listing of its own).
    connect(print_, &QPushButton::clicked, this, [this]() {
        const auto& open = state_.entries.printSongs;
        if (!open)
            return;
        const QList<ExplorerColumn>& columns = explorerColumns(ExplorerKind::Songs);
        const int column = list().orderColumn();
        open(state_, this, column >= 0 && column < columns.size() ? columns.at(column).field : QString(),
             [](Response) {});
    });
    connect(close_, &QPushButton::clicked, this, &XploreSongsWindow::closeView);
    searchAvailable_ = prepareQueryFields(state.messages, queryFields_,
                                          songQueryFieldText(SongQueryList::SongList), QStringLiteral("SONGS"))
        == 0;
    start();
}

void XploreSongsWindow::updateButtons()
{
    const bool any = list().rowCount() > 0;
    copy_->setEnabled(any);
    change_->setEnabled(any);
    delete_->setEnabled(any);
    searchButton_->setEnabled(searchAvailable_);
    reset_->setEnabled(!search_.isEmpty());
    import_->setEnabled(bool(state_.entries.importSongs));
    export_->setEnabled(bool(state_.entries.exportSongs));
    print_->setEnabled(bool(state_.entries.printSongs));
}

QList<QPushButton*> XploreSongsWindow::menuButtons() const
{
    return {copy_, searchButton_, reset_, import_, export_, print_, properties_};
}

bool XploreSongsWindow::highlightedSong(Tunedeck* song) const
{
    const qint64 pos = const_cast<XploreSongsWindow*>(this)->list().highlightedPosition();
    if (pos == 0)
        return false;
    Table<Tunedeck> t(state_.db);
    if (t.fetch(pos) != 0)
        return false;
    *song = t.rec;
    return true;
}

void XploreSongsWindow::callForm(int request)
{
    const Request r = Request(request);
    Tunedeck buffer;
    if (r != Request::Insert && !highlightedSong(&buffer))
        return;
    UpdateSong(state_, r, buffer, this, [this, r](Response answer, const Tunedeck& stored) {
        qint64 position = 0;
        if (answer == Response::Completed && r != Request::Delete && stored.ID != 0) {
            Table<Tunedeck> t(state_.db);
            t.rec.ID = stored.ID;
            if (t.get(t.key(QStringLiteral("MUS:KeyID"))) == 0)
                position = t.position();
        }
        rebuild(position);
        view()->setFocus();
    });
}

void XploreSongsWindow::addRecord()
{
    callForm(int(Request::Insert));
}

void XploreSongsWindow::copyRecord()
{
    callForm(int(Request::Select));
}

void XploreSongsWindow::changeRecord()
{
    callForm(int(Request::Change));
}

void XploreSongsWindow::deleteRecord()
{
    callForm(int(Request::Delete));
}

void XploreSongsWindow::setSearch(const QString& filter)
{
    search_ = filter.left(1024);
    if (search_.isEmpty()) {
        list().setCondition(QString());
    } else {
        const SongSearch s = compileSongSearch(search_, songFilterSchema());
        if (!s.valid) {
            // The view cannot be opened with this search: said, and it goes on without one.
            StandardWarning(state_.db, StdMsg::ViewOpenError, QStringLiteral("Tunedeck"));
            search_.clear();
            typedSearch_.clear();
            list().setCondition(QString());
        } else {
            list().setCondition(s.sql, s.params, true);
        }
    }
    rebuild();
}

void XploreSongsWindow::searchSongs()
{
    if (!searchAvailable_)
        return;
    QueryWizard(
        state_, queryFields_, QStringLiteral("SONGS"), search_, this,
        [this](const QueryWizardResult& r) {
            if (!r.completed)
                return;
            typedSearch_ = r.typed;
            setSearch(r.filter);
            view()->setFocus();
        },
        typedSearch_);
}

void XploreSongsWindow::resetSearch()
{
    typedSearch_.clear();
    setSearch(QString());
    view()->setFocus();
}

} // namespace td

// The album form at 100,000 and 1,000,000 songs, on a copy of the shared catalogue (its songs are
// changed here) in which one album has been given 20 songs:
//  - opening the form on that album from the album list shown beside it, as its Change button does
//    (UpdateAlbums: the form's logic opened, the media and category lists read, the window built,
//    its song list's first page read, the window shown and painted once); the same for the first
//    form of the program run, when only the album list has been shown before; and the parts: the
//    logic alone, the song list's first page alone (with the bare SQLite query giving the same
//    page beside it), the window built and loaded but not shown;
//  - "Select Existing Songs" on a file number its album's 12 songs share: the songs given another
//    album's number and back in turn, each call committed, and the same calls inside a transaction
//    rolled back (the reading and writing without the commit). The statements one call runs are
//    traced once: none may scan or sort (counters fullscan_steps and sorts), and with
//    TD_BENCH_PLANS=1 their query plans are written to stderr.

#include "CatalogueGenerator.h"

#include "albums/AlbumForm.h"
#include "albums/AlbumSongs.h"
#include "albums/ui/AlbumSongsPanel.h"
#include "albums/ui/BrowseAlbums.h"
#include "albums/ui/UpdateAlbums.h"
#include "cd/CdAudio.h"
#include "cd/VirtualDrive.h"
#include "common/AppState.h"
#include "common/PagedList.h"
#include "common/ui/PagedTableModel.h"
#include "core/Messages.h"
#include "data/Collation.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/Schema.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "setup/QueryWizardTexts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <sqlite3.h>

using namespace td;
using namespace td::bench;

namespace {

constexpr int kFormSongs = 20;
constexpr int kFileNumberSongs = 12;

struct Fixture {
    QTemporaryDir dir;
    Messages messages;
    QueryWizardTexts queryTexts;
    std::unique_ptr<CdAudioDevice> cd;
    std::unique_ptr<Database> db;
    std::unique_ptr<AppState> app;
    // The frame keeps the album, media and song files open, the album list the categories.
    std::unique_ptr<TableUse> holdAlbums, holdMedia, holdSongs, holdCategories;
    Album formAlbum; // 20 songs
    Album filed; // its songs, and only they, carry its media and file number
    QWidget* albumList = nullptr; // the caller, shown; closed before the application ends
    int listRows = 0; // the rows the form's song list reads for its first page
    bool plansWritten = false;
    sqlite3* raw = nullptr;
    QString error;

    explicit Fixture(qint64 songs);
    ~Fixture();

    bool copyCatalogue(qint64 songs);
    bool findAlbums();
    bool growAlbum(Album& a, int songs);
};

bool blankText(const QString& s)
{
    return s.trimmed().isEmpty();
}

QList<qint64> songsOf(Database& db, qint32 albumId)
{
    QList<qint64> positions;
    if (!albumSongPositions(db, albumId, &positions))
        positions.clear();
    return positions;
}

Fixture::Fixture(qint64 songs)
{
    if (!dir.isValid() || !copyCatalogue(songs))
        return;
    setUpQueryWizard(queryTexts);
    cd = std::make_unique<CdAudioDevice>(std::make_unique<VirtualDrive>(QString()));
    db = std::make_unique<Database>(messages, dir.path());
    app = std::make_unique<AppState>(*db, messages, queryTexts, *cd);
    holdAlbums = std::make_unique<TableUse>(*db, TableId::Album);
    holdMedia = std::make_unique<TableUse>(*db, TableId::Media);
    holdSongs = std::make_unique<TableUse>(*db, TableId::Tunedeck);
    holdCategories = std::make_unique<TableUse>(*db, TableId::Categories);
    if (!holdAlbums->ok() || !holdMedia->ok() || !holdSongs->ok() || !holdCategories->ok()) {
        error = db->endText();
        return;
    }
    if (!findAlbums())
        return;
    const QByteArray path = db->filePath(TableId::Tunedeck).toUtf8();
    if (sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK
        || registerKeyCollation(raw) != SQLITE_OK
        || sqlite3_exec(raw,
               QStringLiteral("PRAGMA cache_size=-%1").arg(Database::kSmallCacheKiB).toUtf8().constData(),
               nullptr, nullptr, nullptr)
            != SQLITE_OK)
        error = QStringLiteral("cannot open %1 directly").arg(QString::fromUtf8(path));
}

Fixture::~Fixture()
{
    sqlite3_close_v2(raw);
    holdCategories.reset();
    holdSongs.reset();
    holdMedia.reset();
    holdAlbums.reset();
    app.reset();
    db.reset();
}

bool Fixture::copyCatalogue(qint64 songs)
{
    const QString shared = sharedCatalogue(songs, &error);
    if (shared.isEmpty()) {
        error = QStringLiteral("no catalogue: ") + error;
        return false;
    }
    for (const QString& f : QDir(shared).entryList({ QStringLiteral("*.db") }, QDir::Files))
        if (!QFile::copy(shared + QLatin1Char('/') + f, dir.filePath(f))) {
            error = QStringLiteral("cannot copy ") + f;
            return false;
        }
    return true;
}

// From the middle of the album file: the first album with a file number and 12 songs, and an
// album further on grown to 20 songs.
bool Fixture::findAlbums()
{
    Table<Album> albums(*db);
    const int byId = albums.key(QStringLiteral("ALB:KeyAlbumID"));
    const qint64 count = albums.records();
    bool haveFiled = false;
    bool haveForm = false;
    for (qint64 id = count / 2; id <= count && !(haveFiled && haveForm); ++id) {
        albums.clear();
        albums.rec.AlbumID = qint32(id);
        if (albums.get(byId) != 0 || blankText(albums.rec.FileNumber))
            continue;
        const qsizetype n = songsOf(*db, albums.rec.AlbumID).size();
        if (!haveFiled && n == kFileNumberSongs) {
            filed = albums.rec;
            haveFiled = true;
        } else if (!haveForm && haveFiled && n > 0 && n < kFormSongs) {
            formAlbum = albums.rec;
            haveForm = growAlbum(formAlbum, kFormSongs - int(n));
            if (!haveForm)
                return false;
        }
    }
    if (!haveFiled || !haveForm) {
        error = QStringLiteral("no album of %1 songs with a file number").arg(kFileNumberSongs);
        return false;
    }
    return true;
}

// Songs added to the album after its last track, like its first song.
bool Fixture::growAlbum(Album& a, int songs)
{
    const QList<qint64> own = songsOf(*db, a.AlbumID);
    Table<Tunedeck> t(*db);
    TransactionGuard tx(*db);
    if (!tx.ok() || own.isEmpty() || t.fetch(own.first()) != 0) {
        error = QStringLiteral("cannot read the songs of album %1").arg(a.AlbumID);
        return false;
    }
    for (int i = 1; i <= songs; ++i) {
        t.rec.ID = qint32(nextNumber(*db, TableId::Tunedeck));
        t.rec.TrackNumber = qint32(own.size()) + i;
        t.rec.Title = QStringLiteral("Bonus Track %1").arg(i);
        if (t.add() != 0) {
            error = errorTextOf(t.lastError());
            return false;
        }
    }
    if (tx.commit() != 0 || songsOf(*db, a.AlbumID).size() != kFormSongs) {
        error = QStringLiteral("album %1 not grown").arg(a.AlbumID);
        return false;
    }
    return true;
}

std::map<qint64, std::unique_ptr<Fixture>>& fixtures()
{
    static std::map<qint64, std::unique_ptr<Fixture>> all;
    return all;
}

Fixture* ready(benchmark::State& state)
{
    auto& f = fixtures()[state.range(0)];
    if (!f)
        f = std::make_unique<Fixture>(state.range(0));
    if (!f->error.isEmpty()) {
        state.SkipWithError(qPrintable(f->error));
        return nullptr;
    }
    // The window keeps its layout and place in POSITION.INI of the working folder: the copy's.
    QDir::setCurrent(f->dir.path());
    return f.get();
}

// --- opening the form -----------------------------------------------------------------------------

UpdateAlbumsDialog* openDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<UpdateAlbumsDialog*>(w); d && d->isVisible())
            return d;
    return nullptr;
}

// Cancel, and the window deleted as the event loop would.
void closeDialog(UpdateAlbumsDialog* d)
{
    d->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every cell of the page formatted, as the view does when it paints.
qint64 formatPage(PagedTableModel& m)
{
    qint64 chars = 0;
    for (int r = 0; r < m.rowCount(); ++r)
        for (int c = 0; c < m.columnCount(); ++c)
            chars += m.data(m.index(r, c)).toString().size();
    return chars;
}

// The album list the forms are opened from, shown and painted.
QWidget* shownAlbumList(Fixture& f)
{
    if (!f.albumList) {
        f.albumList = createBrowseAlbums(*f.app);
        if (!f.albumList)
            return nullptr;
        f.albumList->show();
        QCoreApplication::processEvents();
    }
    return f.albumList;
}

void closeAlbumLists()
{
    for (auto& [songs, f] : fixtures()) {
        delete f->albumList;
        f->albumList = nullptr;
    }
}

// The rows the song list reads for its first page at the window's opening size.
int windowListRows(Fixture& f)
{
    if (f.listRows == 0) {
        UpdateAlbums(*f.app, Request::Change, f.formAlbum, shownAlbumList(f), {});
        QCoreApplication::processEvents();
        if (UpdateAlbumsDialog* d = openDialog()) {
            f.listRows = d->songsPanel()->pagedList().rowCount();
            closeDialog(d);
        }
    }
    return f.listRows;
}

void BM_FormOpen(benchmark::State& state)
{
    Fixture* f = ready(state);
    QWidget* list = f ? shownAlbumList(*f) : nullptr;
    if (!list)
        return;
    for (auto _ : state) {
        UpdateAlbums(*f->app, Request::Change, f->formAlbum, list, {});
        QCoreApplication::processEvents(); // shown and painted
        state.PauseTiming();
        UpdateAlbumsDialog* d = openDialog();
        const int rows = d ? d->songsPanel()->pagedList().rowCount() : 0;
        if (d)
            closeDialog(d);
        state.ResumeTiming();
        if (rows == 0) {
            state.SkipWithError("the form did not open on the album's songs");
            return;
        }
        state.counters["rows"] = rows;
    }
}

// The first form of the program run: only the album list has been shown before (in the program,
// the frame too). Only the program's first benchmark sees that: it is registered first, for one
// iteration.
void BM_FormFirstOpen(benchmark::State& state)
{
    Fixture* f = ready(state);
    QWidget* list = f ? shownAlbumList(*f) : nullptr;
    if (!list)
        return;
    static bool first = true;
    if (!first) {
        state.SkipWithError("not the first form of the run");
        return;
    }
    first = false;
    for (auto _ : state) {
        UpdateAlbums(*f->app, Request::Change, f->formAlbum, list, {});
        QCoreApplication::processEvents();
    }
    UpdateAlbumsDialog* d = openDialog();
    if (!d) {
        state.SkipWithError("the form did not open");
        return;
    }
    closeDialog(d);
}

// The window built on an opened form and loaded, not shown.
void BM_FormWindowBuild(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    for (auto _ : state) {
        auto form = std::make_unique<AlbumForm>(*f->app, Request::Change, f->formAlbum);
        if (!form->open()) {
            state.SkipWithError("the form did not open");
            return;
        }
        auto* d = new UpdateAlbumsDialog(std::move(form));
        const bool loaded = d->load();
        state.PauseTiming();
        const int rows = d->songsPanel()->pagedList().rowCount();
        d->reject();
        delete d;
        state.ResumeTiming();
        if (!loaded || rows == 0) {
            state.SkipWithError("the window did not load");
            return;
        }
        state.counters["rows"] = rows;
    }
}

// The form's logic: the album read fresh, the media and category lists.
void BM_FormLogicOpen(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    for (auto _ : state) {
        AlbumForm form(*f->app, Request::Change, f->formAlbum);
        if (!form.open() || !form.fillMediaList() || !form.fillCategoryList()) {
            state.SkipWithError("the form did not open");
            return;
        }
        benchmark::DoNotOptimize(form.categoryName());
        form.close();
    }
}

// The song list's first page as the panel reads it: the list set on the album, its first page,
// every cell formatted, the scroll-bar estimate.
void BM_FormSongsFirstPage(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    const int rows = windowListRows(*f);
    if (rows == 0) {
        state.SkipWithError("the form did not open on the album's songs");
        return;
    }
    const TableDef& t = tableDef(TableId::Tunedeck);
    QList<ColumnValue> values;
    for (const char* name :
        { "TrackNumber", "Artist", "Title", "Time", "Media", "FileNumber", "ReleaseDate" }) {
        const int i = t.fieldIndex(QString::fromLatin1(name));
        values << [i](const PageRow& r) { return r.row.value(i); };
    }
    for (auto _ : state) {
        Table<Tunedeck> songs(*f->db);
        PagedList list(songs);
        list.setPageSize(rows);
        PagedTableModel model(list);
        model.setColumns(albumSongListFormat(f->app->settings), values);
        showAlbumSongs(list, f->formAlbum.AlbumID);
        const int err = list.first();
        model.pageChanged();
        benchmark::DoNotOptimize(formatPage(model));
        benchmark::DoNotOptimize(list.thumb());
        if (err != 0 || list.rowCount() != rows) {
            state.SkipWithError("short page");
            return;
        }
    }
    state.counters["rows"] = rows;
}

// The same page through a bare prepared statement on the song file, prepared each time.
void BM_FormBareSongsPage(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    const int rows = windowListRows(*f);
    const TableDef& t = tableDef(TableId::Tunedeck);
    // The key's own condition (songs without album are not in it), so that its index serves.
    const int key = t.keyIndex(QStringLiteral("MUS:KeyAlbumID"));
    const QByteArray sql = QStringLiteral(
        "SELECT rowid,%1 FROM \"Tunedeck\" WHERE %2 AND \"AlbumID\" = ? ORDER BY %3,rowid LIMIT %4")
                               .arg(schema::columnList(t), schema::keyCondition(t, key),
                                   schema::keyColumns(t, key).join(QLatin1Char(',')))
                               .arg(rows)
                               .toUtf8();
    for (auto _ : state) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(f->raw, sql.constData(), -1, &s, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(f->raw));
            return;
        }
        sqlite3_bind_int64(s, 1, f->formAlbum.AlbumID);
        int n = 0;
        qint64 sink = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            ++n;
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                sink += sqlite3_column_type(s, c) == SQLITE_TEXT ? sqlite3_column_bytes(s, c)
                                                                 : sqlite3_column_int64(s, c);
        }
        sqlite3_finalize(s);
        benchmark::DoNotOptimize(sink);
        if (n != rows) {
            state.SkipWithError("short page");
            return;
        }
    }
}

// --- "Select Existing Songs" ------------------------------------------------------------------------

// What the statements of one call did, summed.
struct TraceSums {
    qint64 statements = 0;
    qint64 fullscanSteps = 0;
    qint64 sorts = 0;
    qint64 autoIndexes = 0;
    QStringList sql;
};

int traced(unsigned type, void* context, void* p, void*)
{
    if (type != SQLITE_TRACE_PROFILE)
        return 0;
    auto* sums = static_cast<TraceSums*>(context);
    auto* s = static_cast<sqlite3_stmt*>(p);
    ++sums->statements;
    sums->fullscanSteps += sqlite3_stmt_status(s, SQLITE_STMTSTATUS_FULLSCAN_STEP, 1);
    sums->sorts += sqlite3_stmt_status(s, SQLITE_STMTSTATUS_SORT, 1);
    sums->autoIndexes += sqlite3_stmt_status(s, SQLITE_STMTSTATUS_AUTOINDEX, 1);
    const QString text = QString::fromUtf8(sqlite3_sql(s));
    if (!sums->sql.contains(text))
        sums->sql << text;
    return 0;
}

void writePlans(sqlite3* db, const QStringList& statements)
{
    for (const QString& sql : statements) {
        std::fprintf(stderr, "%s\n", qPrintable(sql));
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).toUtf8().constData(), -1, &s, nullptr)
            != SQLITE_OK)
            continue;
        while (sqlite3_step(s) == SQLITE_ROW)
            std::fprintf(stderr, "    %s\n", reinterpret_cast<const char*>(sqlite3_column_text(s, 3)));
        sqlite3_finalize(s);
    }
}

// The filed album's songs given `albumId`.
bool assignTo(benchmark::State& state, Fixture& f, qint32 albumId)
{
    Album a = f.filed;
    a.AlbumID = albumId;
    const AssignResult r = assignSongsByFileNumber(*f.db, a);
    if (r.outcome != AssignResult::Assigned || r.assigned != kFileNumberSongs) {
        state.SkipWithError(
            qPrintable(QStringLiteral("outcome %1, %2 songs assigned").arg(r.outcome).arg(r.assigned)));
        return false;
    }
    return true;
}

void BM_SelectExistingSongs(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    TraceSums sums;
    sqlite3_trace_v2(f->db->connection(), SQLITE_TRACE_PROFILE, traced, &sums);
    const bool once = assignTo(state, *f, f->formAlbum.AlbumID);
    sqlite3_trace_v2(f->db->connection(), 0, nullptr, nullptr);
    if (!once)
        return;
    if (qEnvironmentVariableIntValue("TD_BENCH_PLANS") == 1 && !f->plansWritten) {
        writePlans(f->db->connection(), sums.sql);
        f->plansWritten = true;
    }
    // Moved away and back in turn, so that every call writes a changed number.
    bool away = true;
    for (auto _ : state) {
        if (!assignTo(state, *f, away ? f->filed.AlbumID : f->formAlbum.AlbumID))
            return;
        away = !away;
    }
    if (away)
        assignTo(state, *f, f->filed.AlbumID);
    state.counters["songs"] = kFileNumberSongs;
    state.counters["statements"] = double(sums.statements);
    state.counters["fullscan_steps"] = double(sums.fullscanSteps);
    state.counters["sorts"] = double(sums.sorts + sums.autoIndexes);
}

// The same inside a transaction rolled back after each call: reading and writing without the commit.
void BM_SelectExistingSongsNoCommit(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    for (auto _ : state) {
        state.PauseTiming();
        const int begun = f->db->begin();
        state.ResumeTiming();
        if (begun != 0) {
            state.SkipWithError("no transaction");
            return;
        }
        const bool ok = assignTo(state, *f, f->formAlbum.AlbumID);
        state.PauseTiming();
        f->db->rollback();
        state.ResumeTiming();
        if (!ok)
            return;
    }
}

// The off-screen platform's note on every window shown is left out of the report.
QtMessageHandler standardHandler = nullptr;

void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (standardHandler && !text.contains(QLatin1String("propagateSizeHints")))
        standardHandler(type, context, text);
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(100000)->Arg(1000000)->ArgName("songs")->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_FormFirstOpen)
    ->Arg(1000000)
    ->ArgName("songs")
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1)
    ->Repetitions(1)
    ->MeasureProcessCPUTime();
// Painting fills in Qt's worker threads: their time is counted too.
BENCHMARK(BM_FormOpen)->Apply(sizes)->MeasureProcessCPUTime();
BENCHMARK(BM_FormWindowBuild)->Apply(sizes);
BENCHMARK(BM_FormLogicOpen)->Apply(sizes);
BENCHMARK(BM_FormSongsFirstPage)->Apply(sizes);
BENCHMARK(BM_FormBareSongsPage)->Apply(sizes);
BENCHMARK(BM_SelectExistingSongs)->Apply(sizes);
BENCHMARK(BM_SelectExistingSongsNoCommit)->Apply(sizes);

int main(int argc, char** argv)
{
    // The windows are built and painted off screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    standardHandler = qInstallMessageHandler(quietPlatform);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    closeAlbumLists();
    benchmark::Shutdown();
    return 0;
}

// The explorer views of the songs and of the albums at 100,000 and 1,000,000 songs (80,000 albums):
// a header click (the list ordered by that column, ascending and descending in turn, the highlight
// kept on a record in the middle of the list) and the page after it, for every column the list may
// be ordered by, each page shown as the view shows it (every cell formatted, the scroll-bar thumb
// set), beside the bare SQLite queries that give the same two pages. Each column is read
// through an index of its own: the catalogue is copied once beside the shared one
// (<temp>/tunedeck-bench-explorer-<songs>), so that the shared catalogue stays as it was built, and
// the copy's indexes are made (in the background, as a view does) before the timing starts; how
// long that took is printed. BM_Locate: "M" typed in the locator on each text column.
//
// BM_FirstClick is the click on a catalogue that lacks the column's index: its copy
// (<temp>/tunedeck-bench-explorer-fresh-<songs>) has that index dropped before each click; with
// ahead:1 the view starts making the missing indexes in the background as it opens, with ahead:0
// the click makes it. BM_CloseWhileIndexing: how long closing waits for the background work.

#include "BareQuery.h"
#include "CatalogueGenerator.h"

#include "core/Messages.h"
#include "core/Picture.h"
#include "data/Collation.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "explorer/ExplorerColumns.h"
#include "explorer/ExplorerList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <sqlite3.h>

using namespace td;
using namespace td::bench;

namespace {

constexpr int kPage = 40;

TableId tableOf(ExplorerKind kind)
{
    return kind == ExplorerKind::Albums ? TableId::Album : TableId::Tunedeck;
}

QString copiedCatalogue(qint64 songs, const QString& name, QString* why)
{
    const QString from = sharedCatalogue(songs, why);
    if (from.isEmpty())
        return {};
    const QString to = QDir::temp().filePath(QStringLiteral("%1-%2").arg(name).arg(songs));
    const QString done = QDir(to).filePath(QStringLiteral("copy.done"));
    if (QFile::exists(done))
        return to;
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const QString& f : QDir(from).entryList(QStringList{QStringLiteral("*.db")}, QDir::Files))
        if (!QFile::copy(QDir(from).filePath(f), QDir(to).filePath(f))) {
            *why = QStringLiteral("cannot copy %1").arg(f);
            return {};
        }
    QFile marker(done);
    marker.open(QIODevice::WriteOnly);
    return to;
}

sqlite3* openDirect(const Database& db, TableId table, QString* error)
{
    sqlite3* raw = nullptr;
    const QByteArray path = db.filePath(table).toUtf8();
    if (sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK
        || registerKeyCollation(raw) != SQLITE_OK
        || sqlite3_exec(raw, QStringLiteral("PRAGMA cache_size=-%1").arg(Database::kSmallCacheKiB).toUtf8().constData(),
                        nullptr, nullptr, nullptr)
            != SQLITE_OK)
        *error = QStringLiteral("cannot open %1 directly").arg(QString::fromUtf8(path));
    return raw;
}

struct Fixture {
    Messages messages;
    std::unique_ptr<Database> db;
    std::unique_ptr<ExplorerList> list;
    sqlite3* raw = nullptr;
    qint64 middle = 0;          // the record the highlight is kept on
    QString error;

    Fixture(qint64 songs, ExplorerKind kind)
    {
        const QString dir = copiedCatalogue(songs, QStringLiteral("tunedeck-bench-explorer"), &error);
        if (dir.isEmpty()) {
            error = QStringLiteral("no catalogue: ") + error;
            return;
        }
        db = std::make_unique<Database>(messages, dir);
        list = std::make_unique<ExplorerList>(*db, kind);
        list->setPageSize(kPage);
        QElapsedTimer t;
        t.start();
        list->buildIndexesAhead();
        if (!list->waitForIndexes(10 * 60 * 1000)) {
            error = QStringLiteral("the column indexes were not made");
            return;
        }
        if (t.elapsed() > 200)
            std::fprintf(stderr, "column indexes made in %lld ms (%lld songs)\n", qlonglong(t.elapsed()), qlonglong(songs));
        list->orderBy(-1, false);
        list->locateThumb(50);
        middle = list->highlightedPosition();
        raw = openDirect(*db, tableOf(kind), &error);
    }
    ~Fixture()
    {
        list.reset();
        sqlite3_close_v2(raw);
    }
};

Fixture& fixture(qint64 songs, ExplorerKind kind)
{
    static std::map<std::pair<qint64, int>, std::unique_ptr<Fixture>> all;
    auto& f = all[{songs, int(kind)}];
    if (!f)
        f = std::make_unique<Fixture>(songs, kind);
    return *f;
}

// Every cell of the page as the view shows it, through each column's picture, and the scroll-bar
// thumb set after the page: what the view does once a read is done.
qint64 showPage(ExplorerList& list, const QList<Picture>& pictures)
{
    qint64 chars = 0;
    for (const PageRow& r : list.rows())
        for (int c = 0; c < pictures.size(); ++c)
            chars += list.cellText(r.row, c, pictures.at(c)).size();
    benchmark::DoNotOptimize(list.thumb());
    return chars;
}

QList<Picture> picturesOf(ExplorerKind kind)
{
    QList<Picture> out;
    for (const ExplorerColumn& c : explorerColumns(kind))
        out << Picture(c.picture);
    return out;
}

ExplorerKind kindArg(const benchmark::State& state)
{
    return state.range(2) ? ExplorerKind::Albums : ExplorerKind::Songs;
}

void BM_HeaderClickAndPage(benchmark::State& state)
{
    const ExplorerKind kind = kindArg(state);
    Fixture& f = fixture(state.range(0), kind);
    if (!f.error.isEmpty()) {
        state.SkipWithError(qPrintable(f.error));
        return;
    }
    const int column = int(state.range(1));
    state.SetLabel(qPrintable(explorerColumns(kind).at(column).field));
    const QList<Picture> pictures = picturesOf(kind);
    bool descending = false;
    for (auto _ : state) {
        state.PauseTiming();
        f.list->orderBy(-1, false);
        f.list->showPosition(f.middle);
        state.ResumeTiming();
        if (f.list->orderBy(column, descending) != 0) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(showPage(*f.list, pictures));
        if (f.list->pageDown() != 0) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(showPage(*f.list, pictures));
        descending = !descending;
    }
}

// The same pages as plain keyset queries on the column's index, each start read as the ranges the
// index serves alone (the equal values after the start by rowid, then the greater values), the
// second only when the first leaves the page short: the rows before the kept record and from it
// on (the page around it), then the page after the last of those.
struct BareRanges {
    sqlite3_stmt* equal = nullptr;   // col = ? AND rowid > ? (or <= ? backwards)
    sqlite3_stmt* beyond = nullptr;  // col > ? (or < ? backwards)
    ~BareRanges()
    {
        sqlite3_finalize(equal);
        sqlite3_finalize(beyond);
    }
};

struct KeyPoint {
    bool text = false;
    QByteArray bytes;
    qint64 number = 0;
    qint64 rowid = 0;
};

void bindPoint(sqlite3_stmt* s, const KeyPoint& p)
{
    if (p.text)
        sqlite3_bind_text(s, 1, p.bytes.constData(), int(p.bytes.size()), SQLITE_TRANSIENT);
    else
        sqlite3_bind_int64(s, 1, p.number);
}

// Reads up to `limit` rows from `from` through both ranges; `last` becomes the last row read.
int readRanges(BareRanges& r, const KeyPoint& from, int limit, KeyPoint* last)
{
    int rows = 0;
    auto run = [&](sqlite3_stmt* s, int want) {
        sqlite3_bind_int64(s, 3, want);
        qint64 sink = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            ++rows;
            const int n = sqlite3_column_count(s);
            for (int c = 0; c < n; ++c)
                sink += sqlite3_column_type(s, c) == SQLITE_TEXT ? sqlite3_column_bytes(s, c) : sqlite3_column_int64(s, c);
            if (last) {
                last->rowid = sqlite3_column_int64(s, 0);
                last->text = sqlite3_column_type(s, 1) == SQLITE_TEXT;
                if (last->text)
                    last->bytes = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
                else
                    last->number = sqlite3_column_int64(s, 1);
            }
        }
        sqlite3_reset(s);
        benchmark::DoNotOptimize(sink);
    };
    bindPoint(r.equal, from);
    sqlite3_bind_int64(r.equal, 2, from.rowid);
    run(r.equal, limit);
    if (rows < limit) {
        bindPoint(r.beyond, from);
        sqlite3_bind_int64(r.beyond, 2, 0);
        run(r.beyond, limit - rows);
    }
    return rows;
}

void BM_BareHeaderClickAndPage(benchmark::State& state)
{
    const ExplorerKind kind = kindArg(state);
    Fixture& f = fixture(state.range(0), kind);
    if (!f.error.isEmpty()) {
        state.SkipWithError(qPrintable(f.error));
        return;
    }
    const int column = int(state.range(1));
    const ExplorerColumn& c = explorerColumns(kind).at(column);
    state.SetLabel(qPrintable(c.field));
    const TableDef& t = f.list->def();
    const QString name = schema::quoted(t.fields.at(t.fieldIndex(c.field)).name);
    // The key column second, so that the last row read gives the next start.
    const QString all = QStringLiteral("SELECT rowid,%1,%2 FROM %3").arg(name, schema::columnList(t), schema::quoted(t.label));
    BareRanges back, ahead;
    const QString sql[4] = {
        all + QStringLiteral(" WHERE %1=?1 AND rowid<=?2 ORDER BY rowid DESC LIMIT ?3").arg(name),
        all + QStringLiteral(" WHERE %1<?1 AND ?2=?2 ORDER BY %1 DESC,rowid DESC LIMIT ?3").arg(name),
        all + QStringLiteral(" WHERE %1=?1 AND rowid>?2 ORDER BY rowid LIMIT ?3").arg(name),
        all + QStringLiteral(" WHERE %1>?1 AND ?2=?2 ORDER BY %1,rowid LIMIT ?3").arg(name),
    };
    sqlite3_stmt** targets[4] = {&back.equal, &back.beyond, &ahead.equal, &ahead.beyond};
    for (int i = 0; i < 4; ++i)
        if (!(*targets[i] = prepare(state, f.raw, sql[i])))
            return;
    sqlite3_stmt* value = prepare(state, f.raw, QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(name, schema::quoted(t.label)));
    if (!value)
        return;
    KeyPoint middle;
    sqlite3_bind_int64(value, 1, f.middle);
    sqlite3_step(value);
    middle.text = sqlite3_column_type(value, 0) == SQLITE_TEXT;
    middle.bytes = middle.text ? QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(value, 0))) : QByteArray();
    middle.number = middle.text ? 0 : sqlite3_column_int64(value, 0);
    middle.rowid = f.middle;
    sqlite3_finalize(value);
    for (auto _ : state) {
        KeyPoint last;
        int rows = readRanges(back, middle, kPage / 2, nullptr);
        KeyPoint from = middle;
        rows += readRanges(ahead, from, kPage - rows, &last);
        // The page after: from the last row of this one on.
        rows += readRanges(ahead, last, kPage, nullptr);
        benchmark::DoNotOptimize(rows);
    }
}

// The locator on a text column: "M" typed while the list is ordered by it, ascending and descending
// in turn, from the other end of the list.
void BM_Locate(benchmark::State& state)
{
    const ExplorerKind kind = kindArg(state);
    Fixture& f = fixture(state.range(0), kind);
    if (!f.error.isEmpty()) {
        state.SkipWithError(qPrintable(f.error));
        return;
    }
    const int column = int(state.range(1));
    const ExplorerColumn& c = explorerColumns(kind).at(column);
    state.SetLabel(qPrintable(c.field));
    bool descending = false;
    for (auto _ : state) {
        state.PauseTiming();
        f.list->orderBy(column, descending);
        f.list->last();
        state.ResumeTiming();
        if (f.list->locate(QStringLiteral("M"), c.picture) != 0) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(f.list->rows().size());
        descending = !descending;
    }
}

// The first click on a column of a catalogue that lacks its index, the view having just opened and
// started making the indexes in the background: the click and the page after it. Then, until the
// index is made, a page down every 100 ms and a form's OK (one record written back unchanged) every
// three seconds, the longest of each counted; then a page once the index is there. (A writer makes
// the index start again: writes coming more often than one index takes to make hold it off.)
void BM_FirstClick(benchmark::State& state)
{
    const ExplorerKind kind = kindArg(state);
    QString error;
    const QString dir = copiedCatalogue(state.range(0), QStringLiteral("tunedeck-bench-explorer-fresh"), &error);
    if (dir.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    const int column = int(state.range(1));
    const bool ahead = state.range(3) != 0;
    state.SetLabel(qPrintable(explorerColumns(kind).at(column).field));
    Messages messages;
    Database db(messages, dir);
    const QList<Picture> pictures = picturesOf(kind);
    double indexMs = 0, laterPageMs = 0, writeMax = 0, pageMax = 0, failedWrites = 0;
    const QString write = QStringLiteral("UPDATE %1 SET rowid=rowid WHERE rowid=(SELECT min(rowid) FROM %1)")
                              .arg(Database::sqlTable(tableOf(kind)));
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<ExplorerList> list = std::make_unique<ExplorerList>(db, kind);
        const int key = list->columnKey(column);
        // Dropped while the list keeps the file attached.
        if (db.exec(QStringLiteral("DROP INDEX IF EXISTS %1.%2")
                        .arg(schema::quoted(Database::schemaName(tableOf(kind))),
                             schema::quoted(schema::indexName(list->def(), key))))
            != 0) {
            state.SkipWithError("cannot drop the index");
            return;
        }
        list = std::make_unique<ExplorerList>(db, kind);
        list->setPageSize(kPage);
        list->locateThumb(50);
        QElapsedTimer t;
        t.start();
        if (ahead)
            list->buildIndexesAhead();
        state.ResumeTiming();
        if (list->orderBy(column, false) != 0) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(showPage(*list, pictures));
        if (list->pageDown() != 0) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(showPage(*list, pictures));
        state.PauseTiming();
        for (int tick = 0; !list->isIndexed(key) && t.elapsed() < 60000; ++tick) {
            if (tick % 30 == 5) {
                QElapsedTimer w;
                w.start();
                int step = 0;
                int rc = db.begin(2000);
                if (rc == 0) {
                    step = 1;
                    rc = db.exec(write);
                    if (rc == 0) {
                        step = 2;
                        rc = db.commit();
                    } else {
                        db.rollback();
                    }
                }
                if (rc == 0) {
                    writeMax = qMax(writeMax, double(w.nsecsElapsed()) / 1e6);
                } else {
                    ++failedWrites;
                    std::fprintf(stderr, "write failed at step %d after %lld ms: %d %s\n", step, qlonglong(w.elapsed()),
                                 db.lastError().engineCode, qPrintable(db.lastError().engineText));
                }
            }
            QElapsedTimer p;
            p.start();
            list->pageDown();
            pageMax = qMax(pageMax, double(p.nsecsElapsed()) / 1e6);
            list->waitForIndexes(100);
        }
        indexMs += double(t.elapsed());
        QElapsedTimer p;
        p.start();
        list->pageDown();
        laterPageMs += double(p.nsecsElapsed()) / 1e6;
        list.reset();
        state.ResumeTiming();
    }
    state.counters["indexMs"] = benchmark::Counter(indexMs, benchmark::Counter::kAvgIterations);
    state.counters["laterPageMs"] = benchmark::Counter(laterPageMs, benchmark::Counter::kAvgIterations);
    state.counters["writeMaxMs"] = writeMax;
    state.counters["pageMaxMs"] = pageMax;
    state.counters["failedWrites"] = failedWrites;
}

// Closing the view while an index is being made (the song view's first column, the largest index):
// how long the close waits for the background work to stop, `range(0)` ms after the view opened.
void BM_CloseWhileIndexing(benchmark::State& state)
{
    QString error;
    const QString dir = copiedCatalogue(1000000, QStringLiteral("tunedeck-bench-explorer-fresh"), &error);
    if (dir.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    Messages messages;
    Database db(messages, dir);
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<ExplorerList>(db, ExplorerKind::Songs);
        if (db.exec(QStringLiteral("DROP INDEX IF EXISTS \"Tunedeck\".%1")
                        .arg(schema::quoted(schema::indexName(list->def(), list->columnKey(0)))))
            != 0) {
            state.SkipWithError("cannot drop the index");
            return;
        }
        list = std::make_unique<ExplorerList>(db, ExplorerKind::Songs);
        list->buildIndexesAhead();
        list->waitForIndexes(int(state.range(0)));
        state.ResumeTiming();
        list.reset();
    }
}

// The orderable columns of a view, by their place in the column table.
QList<int> orderable(ExplorerKind kind)
{
    QList<int> out;
    const QList<ExplorerColumn>& cols = explorerColumns(kind);
    for (int c = 0; c < cols.size(); ++c)
        if (cols.at(c).orderable)
            out << c;
    return out;
}

void columns(benchmark::internal::Benchmark* b)
{
    for (qint64 n : {100000, 1000000})
        for (ExplorerKind kind : {ExplorerKind::Songs, ExplorerKind::Albums})
            for (int c : orderable(kind))
                b->Args({n, c, kind == ExplorerKind::Albums ? 1 : 0});
    b->ArgNames({"songs", "column", "albums"})->Unit(benchmark::kMicrosecond)->MinTime(0.1);
}

void textColumns(benchmark::internal::Benchmark* b)
{
    for (ExplorerKind kind : {ExplorerKind::Songs, ExplorerKind::Albums})
        for (int c : orderable(kind))
            if (explorerColumns(kind).at(c).picture.startsWith(QLatin1String("@s")))
                b->Args({1000000, c, kind == ExplorerKind::Albums ? 1 : 0});
    b->ArgNames({"songs", "column", "albums"})->Unit(benchmark::kMicrosecond)->MinTime(0.1);
}

void firstColumns(benchmark::internal::Benchmark* b)
{
    for (int ahead : {0, 1})
        for (ExplorerKind kind : {ExplorerKind::Songs, ExplorerKind::Albums})
            for (int c : orderable(kind))
                b->Args({1000000, c, kind == ExplorerKind::Albums ? 1 : 0, ahead});
    b->ArgNames({"songs", "column", "albums", "ahead"})->Unit(benchmark::kMillisecond)->Iterations(2);
}

} // namespace

BENCHMARK(BM_HeaderClickAndPage)->Apply(columns);
BENCHMARK(BM_BareHeaderClickAndPage)->Apply(columns);
BENCHMARK(BM_Locate)->Apply(textColumns);
BENCHMARK(BM_FirstClick)->Apply(firstColumns);
BENCHMARK(BM_CloseWhileIndexing)->Arg(100)->Arg(400)->Arg(700)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

// The storage layer against plain SQLite on the same file layout:
//  - adding TD_BENCH_SONGS songs (Table<Tunedeck>::add in transactions of 10,000) against prepared
//    INSERTs of the same rows on a second connection;
//  - reading one page of 40 songs from a point in the middle of each song key, through a table handle
//    (set + 40 x next, and readPage) against the bare keyset query.
// Generating the songs is left out of the add timings (and measured on its own).

#include "CatalogueGenerator.h"

#include "core/Messages.h"
#include "data/Collation.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/Statement.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <sqlite3.h>

using namespace td;
using namespace td::bench;

namespace {

constexpr int kSlice = 10000;
constexpr int kPageRows = 40;

// A page of the key from a record's key values and position on.
PageRead pageAt(int key, const Row& from, qint64 position)
{
    PageRead r;
    r.key = key;
    r.from = from;
    r.fromPosition = position;
    r.limit = kPageRows;
    return r;
}

QString tempTemplate()
{
    return QDir(QDir::tempPath()).filePath(QStringLiteral("tunedeck-add-XXXXXX"));
}

// --- adding ----------------------------------------------------------------------------------------

void BM_GenerateSongs(benchmark::State& state)
{
    const qint64 n = state.range(0);
    for (auto _ : state) {
        CatalogueGenerator gen(n);
        Batch batch;
        qint64 chars = 0;
        while (gen.nextBatch(batch, kSlice) > 0)
            chars += batch.songs.last().Title.size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// Feeds the generator's songs, a slice at a time, to `write` with only the writing timed.
template<class Write>
void timedSlices(benchmark::State& state, qint64 songs, Write write)
{
    CatalogueGenerator gen(songs);
    Batch batch;
    while (gen.nextBatch(batch, kSlice) > 0) {
        state.ResumeTiming();
        const QString err = write(batch);
        state.PauseTiming();
        if (!err.isEmpty()) {
            state.SkipWithError(qPrintable(err));
            return;
        }
    }
}

void BM_AddSongsStorage(benchmark::State& state)
{
    const qint64 n = benchSongCount();
    for (auto _ : state) {
        state.PauseTiming();
        {
            QTemporaryDir dir(tempTemplate());
            Messages messages;
            Database db(messages, dir.path());
            Table<Tunedeck> songs(db); // creates the file
            if (db.ended()) {
                state.SkipWithError(qPrintable(db.endText()));
            } else {
                songs.stream(true); // a bulk add: the large page cache
                timedSlices(state, n, [&](const Batch& b) {
                    const int err = addBatch(songs, nullptr, b);
                    return err ? QStringLiteral("add: error %1 %2").arg(err).arg(db.lastError().engineText) : QString();
                });
            }
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["songs"] = double(n);
}

void BM_AddSongsSqlite(benchmark::State& state)
{
    const qint64 n = benchSongCount();
    for (auto _ : state) {
        state.PauseTiming();
        {
            QTemporaryDir dir(tempTemplate());
            QString file;
            {
                // The storage layer creates the file, so that both fill the same table and keys.
                Messages messages;
                Database db(messages, dir.path());
                TableUse use(db, TableId::Tunedeck);
                if (use.ok())
                    file = db.filePath(TableId::Tunedeck);
                else
                    state.SkipWithError(qPrintable(db.endText()));
            }
            if (!file.isEmpty()) {
                RawSongInserter raw(file);
                if (!raw.isOpen())
                    state.SkipWithError(qPrintable(raw.errorText()));
                else
                    timedSlices(state, n, [&](const Batch& b) {
                        return raw.insertBatch(b.songs) == SQLITE_OK ? QString() : raw.errorText();
                    });
            }
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["songs"] = double(n);
}

// --- reading one page ------------------------------------------------------------------------------

// The shared catalogue opened twice: through the storage layer and on a plain connection. For each
// key: a record near the middle of the key and the bare keyset query that starts at it.
struct ReadFixture {
    struct Point {
        Row from;                      // the whole record
        qint64 rowid = 0;
        Row keyValues;
        sqlite3_stmt* query = nullptr; // rowid and every column, from the point on, 40 rows
    };

    Messages messages;
    std::unique_ptr<Database> db;
    std::unique_ptr<Table<Tunedeck>> songs;
    sqlite3* raw = nullptr;
    QList<Point> points;
    QString error;

    ReadFixture();
    ~ReadFixture();
    bool prepare(int key);
};

ReadFixture::ReadFixture()
{
    const qint64 n = benchSongCount();
    const QString dir = sharedCatalogue(n, &error);
    if (dir.isEmpty()) {
        error = QStringLiteral("no catalogue: ") + error;
        return;
    }
    db = std::make_unique<Database>(messages, dir);
    songs = std::make_unique<Table<Tunedeck>>(*db);
    if (db->ended()) {
        error = db->endText();
        return;
    }
    const QByteArray path = db->filePath(TableId::Tunedeck).toUtf8();
    if (sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK
        || registerKeyCollation(raw) != SQLITE_OK
        || sqlite3_exec(raw, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = QStringLiteral("cannot open %1 directly").arg(QString::fromUtf8(path));
        return;
    }
    points.resize(songs->def().keys.size());
    for (int k = 0; k < points.size(); ++k)
        if (!prepare(k))
            return;
}

ReadFixture::~ReadFixture()
{
    for (Point& p : points)
        sqlite3_finalize(p.query);
    songs.reset();
    sqlite3_close_v2(raw);
}

bool ReadFixture::prepare(int key)
{
    const TableDef& t = songs->def();
    const KeyDef& k = t.key(key);
    const QString table = schema::quoted(t.label);
    const QString cond = schema::keyCondition(t, key);
    const QString where = cond.isEmpty() ? QString() : QLatin1String(" WHERE ") + cond;
    const QString order = schema::keyColumns(t, key).join(QLatin1Char(','));
    Point& p = points[key];

    // Choosing the point may count and skip: only the reads afterwards are timed.
    const QByteArray middleSql = QStringLiteral("SELECT rowid FROM %1%2 ORDER BY %3,rowid LIMIT 1 OFFSET "
                                                "(SELECT count(*) FROM %1%2)/2")
                                     .arg(table, where, order)
                                     .toUtf8();
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(raw, middleSql.constData(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        p.rowid = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    if (p.rowid == 0 || songs->fetch(p.rowid) != 0) {
        error = QStringLiteral("%1: no record in the middle of the key").arg(k.name);
        return false;
    }
    p.from = songs->row();
    for (int f : k.fields)
        p.keyValues << p.from.at(f);

    QStringList lhs = schema::keyColumns(t, key);
    QStringList marks;
    for (int i = 0; i < lhs.size(); ++i)
        marks << QStringLiteral("?");
    lhs << QStringLiteral("rowid");
    marks << QStringLiteral("?");
    const QByteArray sql = QStringLiteral("SELECT rowid,%1 FROM %2 WHERE %3(%4)>=(%5) ORDER BY %6,rowid LIMIT %7")
                               .arg(schema::columnList(t), table, cond.isEmpty() ? QString() : cond + QLatin1String(" AND "),
                                    lhs.join(QLatin1Char(',')), marks.join(QLatin1Char(',')), order)
                               .arg(kPageRows)
                               .toUtf8();
    if (sqlite3_prepare_v3(raw, sql.constData(), -1, SQLITE_PREPARE_PERSISTENT, &p.query, nullptr) != SQLITE_OK) {
        error = QStringLiteral("%1: %2").arg(k.name, QString::fromUtf8(sqlite3_errmsg(raw)));
        return false;
    }

    // A query that sorts instead of walking the key's index would make the comparison meaningless.
    const QByteArray planSql = "EXPLAIN QUERY PLAN " + sql;
    if (sqlite3_prepare_v2(raw, planSql.constData(), -1, &s, nullptr) == SQLITE_OK) {
        while (sqlite3_step(s) == SQLITE_ROW) {
            const QString detail = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 3)));
            if (!detail.contains(schema::indexName(t, key)) && !detail.startsWith(QLatin1String("SEARCH")))
                std::fprintf(stderr, "note: %s: %s\n", qPrintable(k.name), qPrintable(detail));
        }
    }
    sqlite3_finalize(s);

    // Both ways must give the same rows, or the figures compare different work.
    QList<qint64> bare;
    int b = 1;
    for (const QVariant& v : std::as_const(p.keyValues))
        bindVariant(p.query, b++, v);
    sqlite3_bind_int64(p.query, b, p.rowid);
    while (sqlite3_step(p.query) == SQLITE_ROW)
        bare << sqlite3_column_int64(p.query, 0);
    sqlite3_reset(p.query);
    QList<PageRow> page;
    QList<qint64> handle;
    if (songs->readPage(pageAt(key, p.from, p.rowid), page) == 0)
        for (const PageRow& r : std::as_const(page))
            handle << r.position;
    if (bare.isEmpty() || bare != handle || bare.first() != p.rowid) {
        error = QStringLiteral("%1: the handle and the bare query read different rows").arg(k.name);
        return false;
    }
    return true;
}

ReadFixture& readFixture()
{
    static ReadFixture f;
    return f;
}

// Skips the benchmark (with the reason) when the catalogue or the key cannot be read.
bool readySkip(benchmark::State& state, ReadFixture& f, int key)
{
    if (!f.error.isEmpty()) {
        state.SkipWithError(qPrintable(f.error));
        return false;
    }
    if (key < 0 || key >= f.points.size()) {
        state.SkipWithError("no such key");
        return false;
    }
    state.SetLabel(qPrintable(f.songs->def().key(key).name));
    return true;
}

void BM_PageHandleNext(benchmark::State& state)
{
    ReadFixture& f = readFixture();
    const int key = int(state.range(0));
    if (!readySkip(state, f, key))
        return;
    const ReadFixture::Point& p = f.points.at(key);
    for (auto _ : state) {
        f.songs->set(key, p.from);
        for (int i = 0; i < kPageRows; ++i) {
            if (f.songs->next() != 0) {
                state.SkipWithError("next() ended early");
                return;
            }
        }
        benchmark::DoNotOptimize(f.songs->rec.ID);
    }
    state.SetItemsProcessed(state.iterations() * kPageRows);
}

void BM_PageHandleReadPage(benchmark::State& state)
{
    ReadFixture& f = readFixture();
    const int key = int(state.range(0));
    if (!readySkip(state, f, key))
        return;
    const ReadFixture::Point& p = f.points.at(key);
    const PageRead read = pageAt(key, p.from, p.rowid);
    QList<PageRow> page;
    for (auto _ : state) {
        if (f.songs->readPage(read, page) != 0 || page.size() != kPageRows) {
            state.SkipWithError("readPage() failed");
            return;
        }
        benchmark::DoNotOptimize(page.last().position);
    }
    state.SetItemsProcessed(state.iterations() * kPageRows);
}

void BM_PageBareSql(benchmark::State& state)
{
    ReadFixture& f = readFixture();
    const int key = int(state.range(0));
    if (!readySkip(state, f, key))
        return;
    const ReadFixture::Point& p = f.points.at(key);
    sqlite3_stmt* s = p.query;
    const int columns = sqlite3_column_count(s);
    for (auto _ : state) {
        // Bound as the handle binds them: key values, then the rowid.
        int b = 1;
        for (const QVariant& v : p.keyValues)
            bindVariant(s, b++, v);
        sqlite3_bind_int64(s, b, p.rowid);
        int rows = 0;
        qint64 sink = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(s, c) == SQLITE_TEXT)
                    sink += sqlite3_column_bytes(s, c) + (sqlite3_column_text(s, c) ? 1 : 0);
                else
                    sink += sqlite3_column_int64(s, c);
            }
        }
        sqlite3_reset(s);
        if (rows != kPageRows) {
            state.SkipWithError("the query ended early");
            return;
        }
        benchmark::DoNotOptimize(sink);
    }
    state.SetItemsProcessed(state.iterations() * kPageRows);
}

} // namespace

BENCHMARK(BM_GenerateSongs)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddSongsStorage)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddSongsSqlite)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageHandleNext)->DenseRange(0, 10)->ArgName("key")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageHandleReadPage)->DenseRange(0, 10)->ArgName("key")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageBareSql)->DenseRange(0, 10)->ArgName("key")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("songs", std::to_string(benchSongCount()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

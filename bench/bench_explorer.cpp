// The explorer view of the songs at 100,000 and 1,000,000 songs: a header click (the list ordered
// by that column, ascending and descending in turn, the highlight kept on a song in the middle of
// the list) and the page after it, for every column the list may be ordered by, beside the bare
// SQLite queries that give the same two pages. Each column is read through an index of its own,
// made the first time the list is ordered by it: the catalogue is copied once beside the shared
// one (<temp>/tunedeck-bench-explorer-<songs>), so that the shared catalogue stays as it was built.
// The copy's indexes are made before the timing starts; how long that takes is printed.

#include "BareQuery.h"
#include "CatalogueGenerator.h"

#include "core/Messages.h"
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

QString copiedCatalogue(qint64 songs, QString* why)
{
    const QString from = sharedCatalogue(songs, why);
    if (from.isEmpty())
        return {};
    const QString to = QDir::temp().filePath(QStringLiteral("tunedeck-bench-explorer-%1").arg(songs));
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

struct Fixture {
    Messages messages;
    std::unique_ptr<Database> db;
    std::unique_ptr<ExplorerList> list;
    sqlite3* raw = nullptr;
    qint64 middle = 0;          // the song the highlight is kept on
    QString error;

    explicit Fixture(qint64 songs)
    {
        const QString dir = copiedCatalogue(songs, &error);
        if (dir.isEmpty()) {
            error = QStringLiteral("no catalogue: ") + error;
            return;
        }
        db = std::make_unique<Database>(messages, dir);
        list = std::make_unique<ExplorerList>(*db, ExplorerKind::Songs);
        list->setPageSize(kPage);
        const QList<ExplorerColumn>& cols = explorerColumns(ExplorerKind::Songs);
        for (int c = 0; c < cols.size(); ++c) {
            if (list->columnKey(c) < 0)
                continue;
            QElapsedTimer t;
            t.start();
            if (list->orderBy(c, false) != 0) {
                error = QStringLiteral("cannot order by %1").arg(cols.at(c).field);
                return;
            }
            if (t.elapsed() > 200)
                std::fprintf(stderr, "index on %s made in %lld ms (%lld songs)\n", qPrintable(cols.at(c).field),
                             qlonglong(t.elapsed()), qlonglong(songs));
        }
        list->orderBy(-1, false);
        list->locateThumb(50);
        middle = list->highlightedPosition();
        const QByteArray path = db->filePath(TableId::Tunedeck).toUtf8();
        if (sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK
            || registerKeyCollation(raw) != SQLITE_OK
            || sqlite3_exec(raw, QStringLiteral("PRAGMA cache_size=-%1").arg(Database::kSmallCacheKiB).toUtf8().constData(),
                            nullptr, nullptr, nullptr)
                != SQLITE_OK)
            error = QStringLiteral("cannot open %1 directly").arg(QString::fromUtf8(path));
    }
    ~Fixture()
    {
        list.reset();
        sqlite3_close_v2(raw);
    }
};

Fixture& fixture(qint64 songs)
{
    static std::map<qint64, std::unique_ptr<Fixture>> all;
    auto& f = all[songs];
    if (!f)
        f = std::make_unique<Fixture>(songs);
    return *f;
}

// The orderable columns, by their place in the column table.
QList<int> orderable()
{
    QList<int> out;
    const QList<ExplorerColumn>& cols = explorerColumns(ExplorerKind::Songs);
    for (int c = 0; c < cols.size(); ++c)
        if (cols.at(c).orderable)
            out << c;
    return out;
}

void BM_HeaderClickAndPage(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0));
    if (!f.error.isEmpty()) {
        state.SkipWithError(qPrintable(f.error));
        return;
    }
    const int column = int(state.range(1));
    state.SetLabel(qPrintable(explorerColumns(ExplorerKind::Songs).at(column).field));
    bool descending = false;
    for (auto _ : state) {
        state.PauseTiming();
        f.list->orderBy(-1, false);
        f.list->showPosition(f.middle);
        state.ResumeTiming();
        if (f.list->orderBy(column, descending) != 0 || f.list->pageDown() != 0) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(f.list->rows().size());
        descending = !descending;
    }
}

// The same pages as plain keyset queries on the column's index, written as one row-value condition
// each ((col,rowid) > (?,?)): the rows before and after the kept song (the page around it), then
// the page after that. Where a column holds many equal values SQLite checks that condition on each
// of them; the list reads such a start as two ranges instead.
void BM_BareHeaderClickAndPage(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0));
    if (!f.error.isEmpty()) {
        state.SkipWithError(qPrintable(f.error));
        return;
    }
    const int column = int(state.range(1));
    const ExplorerColumn& c = explorerColumns(ExplorerKind::Songs).at(column);
    state.SetLabel(qPrintable(c.field));
    const TableDef& t = f.list->def();
    const QString name = schema::quoted(t.fields.at(t.fieldIndex(c.field)).name);
    const QString all = QStringLiteral("SELECT rowid,%1 FROM \"Tunedeck\"").arg(schema::columnList(t));
    const QString sql[] = {
        all + QStringLiteral(" WHERE (%1,rowid) <= (?,?) ORDER BY %1 DESC,rowid DESC LIMIT %2").arg(name).arg(kPage / 2),
        all + QStringLiteral(" WHERE (%1,rowid) > (?,?) ORDER BY %1,rowid LIMIT %2").arg(name).arg(kPage),
    };
    sqlite3_stmt* st[2] = {nullptr, nullptr};
    for (int i = 0; i < 2; ++i)
        if (sqlite3_prepare_v2(f.raw, sql[i].toUtf8().constData(), -1, &st[i], nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(f.raw));
            return;
        }
    sqlite3_stmt* value = nullptr;
    sqlite3_prepare_v2(f.raw, QStringLiteral("SELECT %1 FROM \"Tunedeck\" WHERE rowid=?").arg(name).toUtf8().constData(), -1,
                       &value, nullptr);
    sqlite3_bind_int64(value, 1, f.middle);
    sqlite3_step(value);
    const bool text = sqlite3_column_type(value, 0) == SQLITE_TEXT;
    const QByteArray v = text ? QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(value, 0))) : QByteArray();
    const qint64 n = text ? 0 : sqlite3_column_int64(value, 0);
    sqlite3_finalize(value);
    for (auto _ : state) {
        int rows = 0;
        for (sqlite3_stmt* s : st) {
            if (text)
                sqlite3_bind_text(s, 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
            else
                sqlite3_bind_int64(s, 1, n);
            sqlite3_bind_int64(s, 2, f.middle);
            rows += runBare(s);
        }
        // The page after: one more keyset read of a page.
        sqlite3_bind_int64(st[1], 2, f.middle);
        rows += runBare(st[1]);
        benchmark::DoNotOptimize(rows);
    }
    for (sqlite3_stmt* s : st)
        sqlite3_finalize(s);
}

void columns(benchmark::internal::Benchmark* b)
{
    for (qint64 n : {100000, 1000000})
        for (int c : orderable())
            b->Args({n, c});
    b->ArgNames({"songs", "column"})->Unit(benchmark::kMicrosecond)->MinTime(0.1);
}

} // namespace

BENCHMARK(BM_HeaderClickAndPage)->Apply(columns);
BENCHMARK(BM_BareHeaderClickAndPage)->Apply(columns);

BENCHMARK_MAIN();

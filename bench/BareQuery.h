#pragma once
// The bare SQLite side of the benchmarks: a prepared statement run to its end, touching every
// column of every row, as the plain query a window's read is compared with.

#include <QString>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace td::bench {

// Runs a prepared statement to its end, touching every column of every row; returns the rows.
inline int runBare(sqlite3_stmt* s)
{
    int rows = 0;
    qint64 sink = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ++rows;
        const int n = sqlite3_column_count(s);
        for (int c = 0; c < n; ++c)
            sink += sqlite3_column_type(s, c) == SQLITE_TEXT ? sqlite3_column_bytes(s, c) : sqlite3_column_int64(s, c);
    }
    sqlite3_reset(s);
    benchmark::DoNotOptimize(sink);
    return rows;
}

// The statement, or nullptr with the benchmark skipped and SQLite's reason.
inline sqlite3_stmt* prepare(benchmark::State& state, sqlite3* db, const QString& sql)
{
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_finalize(s);
        return nullptr;
    }
    return s;
}

} // namespace td::bench

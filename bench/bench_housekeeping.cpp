// The housekeeping runs over the shared catalogue (1,000,000 songs, 80,000 albums), each beside bare
// SQL making the same change on the same files:
//  - CopyToAlbum: every song unlinked and the album table empty; the run adds the 80,000 albums and
//    links every song (bare: one INSERT ... SELECT ... GROUP BY and one UPDATE with a lookup);
//  - TestAlbumIDs: every 10th song unlinked, every 100th without number, every 50th album renamed
//    (bare: one UPDATE with lookups and one numbering the songs without number);
//  - ConvertDateToYear and ConvertAlbumDateToYear: every date to its year (bare: two UPDATEs).
// Every iteration works on a fresh copy of the catalogue files, so the cached catalogue stays as it
// is; the copy and the damage are not timed. Peak memory is the growth of the resident set above
// what it was when the run began (the kernel's high-water mark is reset first; memory freed by an
// earlier iteration and used again does not show), and the process's own high-water mark.

#include "CatalogueGenerator.h"

#include "albums/CopyToAlbum.h"
#include "albums/DateToYear.h"
#include "albums/TestAlbumIDs.h"
#include "core/Messages.h"
#include "data/Collation.h"
#include "data/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <memory>
#include <sqlite3.h>

using namespace td;
using namespace td::bench;

namespace {

enum class Job { Copy, TestLinks, Dates };

const char* const kFiles[] = {"tdpdata.db", "tdpalbum.db", "TDPCAT.db", "tdpmedia.db", "tdpmain.db"};

// --- memory ------------------------------------------------------------------------------------

qint64 statusKiB(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string name(field);
    while (std::getline(in, line))
        if (line.compare(0, name.size(), name) == 0)
            return std::stoll(line.substr(name.size()));
    return 0;
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// --- a raw connection on the copy ----------------------------------------------------------------

struct Raw {
    sqlite3* db = nullptr;
    QString error;
    explicit Raw(const QString& dir)
    {
        const QByteArray songs = QDir(dir).filePath(QStringLiteral("tdpdata.db")).toUtf8();
        const QByteArray albums = QDir(dir).filePath(QStringLiteral("tdpalbum.db")).toUtf8();
        if (sqlite3_open(songs.constData(), &db) != SQLITE_OK || registerKeyCollation(db) != SQLITE_OK) {
            error = QStringLiteral("cannot open the copy");
            return;
        }
        exec(QStringLiteral("ATTACH '%1' AS \"Album\"").arg(QString::fromUtf8(albums)));
        exec(QStringLiteral("PRAGMA main.cache_size=-%1; PRAGMA \"Album\".cache_size=-%1").arg(Database::kBulkCacheKiB));
    }
    ~Raw() { sqlite3_close(db); }
    bool exec(const QString& sql)
    {
        char* msg = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
            if (error.isEmpty())
                error = QString::fromUtf8(msg ? msg : "error") + QStringLiteral(" in ") + sql;
            sqlite3_free(msg);
            return false;
        }
        return true;
    }
    qint64 value(const QString& sql)
    {
        sqlite3_stmt* s = nullptr;
        qint64 v = -1;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            v = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
        return v;
    }
};

// The state each run starts from.
bool damage(Job job, const QString& dir, QString* why)
{
    Raw raw(dir);
    bool ok = raw.error.isEmpty();
    switch (job) {
    case Job::Copy:
        ok = ok && raw.exec(QStringLiteral("BEGIN; UPDATE Tunedeck SET AlbumID=0; DELETE FROM \"Album\".\"Album\"; COMMIT"));
        break;
    case Job::TestLinks:
        ok = ok
            && raw.exec(QStringLiteral("BEGIN; UPDATE Tunedeck SET AlbumID=0 WHERE rowid%10=0; "
                                       "UPDATE Tunedeck SET ID=0 WHERE rowid%100=0; "
                                       "UPDATE \"Album\".\"Album\" SET Album=substr(Album,1,28)||' (Remastered)' "
                                       "WHERE rowid%50=0; COMMIT"));
        break;
    case Job::Dates:
        break;
    }
    if (!ok && why)
        *why = raw.error;
    return ok;
}

// --- the bare SQL --------------------------------------------------------------------------------

bool bare(Job job, const QString& dir, QString* why)
{
    Raw raw(dir);
    bool ok = raw.error.isEmpty();
    const QString lookup = QStringLiteral("(SELECT a.AlbumID FROM \"Album\".\"Album\" a WHERE a.Album<>'' AND "
                                          "a.Album=Tunedeck.Album AND a.Artist=%1)");
    switch (job) {
    case Job::Copy:
        ok = ok
            && raw.exec(QStringLiteral(
                "BEGIN;"
                "INSERT INTO \"Album\".\"Album\" (AlbumID,Artist,Album,Media,FileNumber,ReleaseDate,CategoryID,Notes) "
                " SELECT row_number() OVER (ORDER BY min(rowid)),Artist,Album,Media,FileNumber,ReleaseDate,"
                " CategoryID,Notes FROM Tunedeck WHERE AlbumID=0 AND Album<>'' GROUP BY Album,Artist;"
                "UPDATE Tunedeck SET AlbumID=%1 WHERE AlbumID=0 AND Album<>'';"
                "COMMIT")
                            .arg(lookup.arg(QStringLiteral("Tunedeck.Artist"))));
        break;
    case Job::TestLinks: {
        ok = ok
            && raw.exec(QStringLiteral(
                "BEGIN;"
                "UPDATE Tunedeck SET AlbumID=coalesce(%1,%2,0) WHERE NOT EXISTS (SELECT 1 FROM \"Album\".\"Album\" a "
                " WHERE a.AlbumID<>0 AND a.AlbumID=Tunedeck.AlbumID AND a.Album=Tunedeck.Album AND "
                " a.Artist=Tunedeck.Artist);")
                            .arg(lookup.arg(QStringLiteral("Tunedeck.Artist")), lookup.arg(QStringLiteral("'Various'"))));
        const qint64 highest = raw.value(QStringLiteral("SELECT max(ID) FROM Tunedeck"));
        ok = ok
            && raw.exec(QStringLiteral(
                "CREATE TEMP TABLE n(r INTEGER PRIMARY KEY, k INTEGER);"
                "INSERT INTO n SELECT rowid, row_number() OVER (ORDER BY Album,Artist,Side,TrackNumber,Title,rowid) "
                " FROM Tunedeck WHERE ID=0;"
                "UPDATE Tunedeck SET ID=%1+(SELECT k FROM n WHERE r=Tunedeck.rowid) WHERE ID=0;"
                "COMMIT")
                            .arg(highest + 1));
        break;
    }
    case Job::Dates:
        ok = ok
            && raw.exec(QStringLiteral(
                "BEGIN;"
                "UPDATE Tunedeck SET ReleaseDate=CAST(strftime('%Y',julianday('1800-12-28')+ReleaseDate) AS INTEGER)"
                " WHERE ReleaseDate>3000;"
                "UPDATE \"Album\".\"Album\" SET ReleaseDate=CAST(strftime('%Y',julianday('1800-12-28')+ReleaseDate)"
                " AS INTEGER) WHERE ReleaseDate>3000;"
                "COMMIT"));
        break;
    }
    if (!ok && why)
        *why = raw.error;
    return ok;
}

// --- the runs --------------------------------------------------------------------------------------

bool ours(Job job, Database& db, QString* why)
{
    std::unique_ptr<HousekeepingRun> runs[2];
    switch (job) {
    case Job::Copy:
        runs[0] = std::make_unique<CopyToAlbum>(db);
        break;
    case Job::TestLinks:
        runs[0] = std::make_unique<TestAlbumIDs>(db);
        break;
    case Job::Dates:
        runs[0] = std::make_unique<ConvertDateToYear>(db);
        runs[1] = std::make_unique<ConvertAlbumDateToYear>(db);
        break;
    }
    for (auto& r : runs) {
        if (!r)
            continue;
        r->runToEnd();
        if (r->stopped()) {
            *why = QStringLiteral("the run stopped: ") + db.lastError().text;
            return false;
        }
    }
    return true;
}

void runJob(benchmark::State& state, Job job, bool bareSql)
{
    QString why;
    const QString source = sharedCatalogue(benchSongCount(), &why);
    if (source.isEmpty()) {
        state.SkipWithError(qPrintable(QStringLiteral("no catalogue: ") + why));
        return;
    }
    double peakKiB = 0;
    double processPeakKiB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        bool ok = dir.isValid();
        for (const char* f : kFiles)
            ok = ok && QFile::copy(QDir(source).filePath(QLatin1String(f)), dir.filePath(QLatin1String(f)));
        ok = ok && damage(job, dir.path(), &why);
        if (!ok) {
            state.SkipWithError(qPrintable(QStringLiteral("cannot prepare the copy: ") + why));
            return;
        }
        Messages messages;
        std::unique_ptr<Database> db;
        std::unique_ptr<TableUse> songs;
        std::unique_ptr<TableUse> albums;
        if (!bareSql) {
            // The frame keeps both files open while the program runs.
            db = std::make_unique<Database>(messages, dir.path());
            songs = std::make_unique<TableUse>(*db, TableId::Tunedeck);
            albums = std::make_unique<TableUse>(*db, TableId::Album);
        }
        resetPeak();
        const qint64 before = statusKiB("VmRSS:");
        state.ResumeTiming();
        ok = bareSql ? bare(job, dir.path(), &why) : ours(job, *db, &why);
        state.PauseTiming();
        peakKiB = qMax(peakKiB, double(statusKiB("VmHWM:") - before));
        processPeakKiB = qMax(processPeakKiB, double(statusKiB("VmHWM:")));
        albums.reset();
        songs.reset();
        db.reset();
        state.ResumeTiming();
        if (!ok) {
            state.SkipWithError(qPrintable(why));
            return;
        }
    }
    state.counters["peak_MiB"] = peakKiB / 1024.0;
    // The whole process's high-water mark: run one benchmark per process to read it alone.
    state.counters["rss_MiB"] = processPeakKiB / 1024.0;
}

void BM_CopyToAlbum(benchmark::State& s) { runJob(s, Job::Copy, false); }
void BM_CopyToAlbumBareSql(benchmark::State& s) { runJob(s, Job::Copy, true); }
void BM_TestAlbumIDs(benchmark::State& s) { runJob(s, Job::TestLinks, false); }
void BM_TestAlbumIDsBareSql(benchmark::State& s) { runJob(s, Job::TestLinks, true); }
void BM_DatesToYears(benchmark::State& s) { runJob(s, Job::Dates, false); }
void BM_DatesToYearsBareSql(benchmark::State& s) { runJob(s, Job::Dates, true); }

} // namespace

BENCHMARK(BM_CopyToAlbum)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyToAlbumBareSql)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TestAlbumIDs)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TestAlbumIDsBareSql)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DatesToYears)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DatesToYearsBareSql)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

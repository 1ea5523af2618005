// The CSV exchange at catalogue size, each beside the sqlite3 tool doing the same on the same files:
//  - export: every song of the shared catalogue (1,000,000) with all 23 fields and the header line,
//    in artist order with the category name, beside the tool's CSV output of the same columns in
//    the same order (its ORDER BY walking the same index, the category name by a lookup);
//  - import: that file into an empty catalogue, every target assigned by its header line, with
//    the window's slices (0.5 s) and the command line's (2 s), beside the tool's .import of the
//    song table's own CSV (the same songs in the same order) into an empty song file of the same
//    indexed layout.
// The tool loads the program's key order (the tdcollation extension), so both maintain the same
// indexes in the same order. Peak memory is the growth of the resident set during the run.

#include "CatalogueGenerator.h"

#include "core/Messages.h"
#include "data/Database.h"
#include "data/TableHandle.h"
#include "exchange/CsvText.h"
#include "exchange/ExportRun.h"
#include "exchange/ImportRun.h"
#include "exchange/ImportSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>

using namespace td;
using namespace td::bench;

namespace {

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

const char* const kFiles[] = { "tdpdata.db", "TDPCAT.db", "tdpmain.db" };

// One folder for the whole program: a copy of the shared catalogue, the files written, empty
// catalogues to import into.
struct Work {
    QTemporaryDir dir;
    QString source; // the copy of the catalogue
    QString ourCsv; // our export (the import's input)
    QString toolCsv; // the song table as the tool writes it (the tool's import input)
    QString error;
    QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    qint64 songs = 0;

    Work()
    {
        songs = benchSongCount();
        const QString cached = sharedCatalogue(songs, &error);
        if (cached.isEmpty())
            return;
        source = dir.filePath(QStringLiteral("catalogue"));
        QDir().mkpath(source);
        for (const char* f : kFiles) {
            const QString from = QDir(cached).filePath(QLatin1String(f));
            if (QFile::exists(from) && !QFile::copy(from, QDir(source).filePath(QLatin1String(f))))
                error = QStringLiteral("cannot copy %1").arg(from);
        }
        ourCsv = dir.filePath(QStringLiteral("ours.csv"));
        toolCsv = dir.filePath(QStringLiteral("tool.csv"));
    }
    QString freshFolder(const QString& name)
    {
        const QString p = dir.filePath(name);
        QDir(p).removeRecursively();
        QDir().mkpath(p);
        return p;
    }
    // Runs the tool on `file` with the commands on its input; false with the reason in error.
    bool runTool(const QString& file, const QString& commands)
    {
        QProcess p;
        p.start(tool, { file });
        p.write((QStringLiteral(".load %1\n").arg(QStringLiteral(TD_COLLATION_MODULE)) + commands).toUtf8());
        p.closeWriteChannel();
        p.waitForFinished(-1);
        const QByteArray err = p.readAllStandardError();
        if (p.exitCode() != 0 || !err.isEmpty()) {
            error = QString::fromUtf8(err);
            return false;
        }
        return true;
    }
};

Work& work()
{
    static Work w;
    return w;
}

void report(benchmark::State& state, qint64 rows, qint64 growthKiB)
{
    state.counters["rows"] = double(rows);
    state.counters["rows/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
    state.counters["peak_growth_MiB"] = double(growthKiB) / 1024.0;
}

void BM_ExportOurs(benchmark::State& state)
{
    Work& w = work();
    if (!w.error.isEmpty()) {
        state.SkipWithError(qPrintable(w.error));
        return;
    }
    qint64 written = 0;
    qint64 growth = 0;
    for (auto _ : state) {
        Messages messages;
        Database db(messages, w.source);
        resetPeak();
        const qint64 before = statusKiB("VmRSS:");
        ExportRun run(db, ExportOptions { w.ourCsv, allExportFields(), true });
        run.runToEnd();
        growth = statusKiB("VmHWM:") - before;
        written = run.songsWritten();
        if (!run.completed())
            state.SkipWithError("the export stopped");
    }
    report(state, written, growth);
}

void BM_ExportTool(benchmark::State& state)
{
    Work& w = work();
    if (w.tool.isEmpty() || !w.error.isEmpty()) {
        state.SkipWithError(w.tool.isEmpty() ? "no sqlite3 tool" : qPrintable(w.error));
        return;
    }
    const QString out = w.dir.filePath(QStringLiteral("toolexport.csv"));
    const QString sql = QStringLiteral(
        "ATTACH '%1' AS c;\n.headers on\n.mode csv\n.once %2\n"
        "SELECT Artist, Title, Album, Media, FileNumber, ReleaseDate, t.CategoryID, ChartNumber, "
        "TrackNumber, Side, "
        "Time, UserDefinedKeyField, AdditionalInformation1, AdditionalInformation2, AdditionalInformation3, "
        "BeatsPerMinute, Style, Recording, Composer, PerformanceNotes, LastPlayed, Notes, "
        "(SELECT Category FROM c.Categories k WHERE k.CategoryID = t.CategoryID) "
        "FROM Tunedeck t ORDER BY Artist, Title;\n")
                            .arg(QDir(w.source).filePath(QStringLiteral("TDPCAT.db")), out);
    for (auto _ : state) {
        if (!w.runTool(QDir(w.source).filePath(QStringLiteral("tdpdata.db")), sql))
            state.SkipWithError(qPrintable(w.error));
    }
    report(state, w.songs, 0);
}

// state.range(0): the slice length in milliseconds (the window's, the command line's).
void BM_ImportOurs(benchmark::State& state)
{
    Work& w = work();
    if (!w.error.isEmpty() || !QFile::exists(w.ourCsv)) {
        state.SkipWithError("no exported file to import (run the export first)");
        return;
    }
    qint64 added = 0;
    qint64 growth = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = w.freshFolder(QStringLiteral("import-ours"));
        state.ResumeTiming();
        Messages messages;
        Database db(messages, target);
        CsvReader reader(messages);
        if (reader.open(w.ourCsv) != CsvReader::OpenResult::Opened) {
            state.SkipWithError("cannot open the file");
            return;
        }
        ImportOptions o;
        buildImportFields(reader, o.fields);
        autoAssign(o.fields, o.assignment);
        o.stripHeader = true;
        resetPeak();
        const qint64 before = statusKiB("VmRSS:");
        ImportRun run(db, reader, o);
        run.setSliceMs(int(state.range(0)));
        run.runToEnd();
        growth = statusKiB("VmHWM:") - before;
        added = run.songsAdded();
        if (!run.completed())
            state.SkipWithError("the import stopped");
    }
    report(state, added, growth);
}

void BM_ImportTool(benchmark::State& state)
{
    Work& w = work();
    if (w.tool.isEmpty() || !w.error.isEmpty()) {
        state.SkipWithError(w.tool.isEmpty() ? "no sqlite3 tool" : qPrintable(w.error));
        return;
    }
    if (!QFile::exists(w.toolCsv)
        && !w.runTool(QDir(w.source).filePath(QStringLiteral("tdpdata.db")),
            QStringLiteral(
                ".headers on\n.mode csv\n.once %1\nSELECT * FROM Tunedeck ORDER BY Artist, Title;\n")
                .arg(w.toolCsv))) {
        state.SkipWithError(qPrintable(w.error));
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = w.freshFolder(QStringLiteral("import-tool"));
        {
            Messages messages;
            Database db(messages, target);
            TableHandle songs(db, TableId::Tunedeck); // the empty file of the current layout
        }
        state.ResumeTiming();
        if (!w.runTool(QDir(target).filePath(QStringLiteral("tdpdata.db")),
                QStringLiteral(".import --csv --skip 1 %1 Tunedeck\n").arg(w.toolCsv)))
            state.SkipWithError(qPrintable(w.error));
    }
    report(state, w.songs, 0);
}

// Reading a file of open quotes (every line starts a quoted field, closed by the next line's
// quote): one pass over the file, never a look ahead read twice. state.range(0): the file's size in KiB; the time per byte stays flat as it grows.
void BM_ReadOpenQuotes(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quotes.csv"));
    QByteArray bytes;
    while (bytes.size() < state.range(0) * 1024)
        bytes += "\"a\n";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    f.close();
    qint64 records = 0;
    for (auto _ : state) {
        Messages messages;
        CsvReader reader(messages);
        reader.setReportErrors(false);
        if (reader.open(path) != CsvReader::OpenResult::Opened) {
            state.SkipWithError("cannot open the file");
            return;
        }
        records = 0;
        while (reader.readLine() > 0) {
            ++records;
            while (reader.nextField() != CsvField::None) { }
        }
    }
    state.counters["records"] = double(records);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

} // namespace

BENCHMARK(BM_ReadOpenQuotes)->Arg(16)->Arg(160)->Arg(1600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportOurs)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ExportTool)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ImportOurs)
    ->Arg(ImportRun::kSliceMs)
    ->Arg(2000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_ImportTool)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

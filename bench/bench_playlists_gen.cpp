// Generating a playlist of 99 songs from a catalogue of 1,000,000 (TD_BENCH_SONGS) with a category
// filter, as "Generate Play List" does on "&Ok": the playlist record, the draws by record number and
// the 99 lines. Run on a copy of the cached catalogue; every iteration adds one more playlist. The
// counters say how many songs were placed and in how many draws.

#include "CatalogueGenerator.h"

#include "core/DayTime.h"
#include "core/Messages.h"
#include "data/Database.h"
#include "playlists/PlaylistGenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace td;
using namespace td::bench;

namespace {

const char* const kFiles[] = { "tdpdata.db", "tdpalbum.db", "TDPCAT.db", "tdpmedia.db", "tdpmain.db" };

void generate(benchmark::State& state, int categoryIndex, const QString& weighting)
{
    QString why;
    const QString source = sharedCatalogue(benchSongCount(), &why);
    if (source.isEmpty()) {
        state.SkipWithError(qPrintable(QStringLiteral("no catalogue: ") + why));
        return;
    }
    QTemporaryDir dir;
    bool ok = dir.isValid();
    for (const char* f : kFiles)
        ok = ok && QFile::copy(QDir(source).filePath(QLatin1String(f)), dir.filePath(QLatin1String(f)));
    if (!ok) {
        state.SkipWithError("cannot copy the catalogue");
        return;
    }
    Messages messages;
    Database db(messages, dir.path());
    // The playlist list holds these open while the window is up.
    TableUse songs(db, TableId::Tunedeck);
    TableUse cats(db, TableId::Categories);
    TableUse lists(db, TableId::PlaylistMaster);
    TableUse lines(db, TableId::PlaylistDetails);
    GenerateChoices choices;
    choices.size = kMostSongs;
    choices.category = categoryIndex < 0 ? QString() : CatalogueGenerator::categoryNames().value(categoryIndex);
    choices.weighting = weighting;
    SeededRandom random(kDefaultSeed);
    double placed = 0;
    double attempts = 0;
    for (auto _ : state) {
        const GenerateResult r = generatePlaylist(db, choices, random, today());
        if (r.outcome != GenerateResult::Generated) {
            state.SkipWithError("the playlist was not generated");
            return;
        }
        placed += r.placed;
        attempts += r.attempts;
    }
    state.counters["placed"] = benchmark::Counter(placed, benchmark::Counter::kAvgIterations);
    state.counters["draws"] = benchmark::Counter(attempts, benchmark::Counter::kAvgIterations);
}

void BM_Generate99ByCategory(benchmark::State& s) { generate(s, 0, QString()); }
void BM_Generate99ByCategoryRecentAddition(benchmark::State& s) { generate(s, 0, QStringLiteral("Recent Addition")); }
void BM_Generate99(benchmark::State& s) { generate(s, -1, QString()); }

} // namespace

BENCHMARK(BM_Generate99ByCategory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Generate99ByCategoryRecentAddition)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Generate99)->Unit(benchmark::kMillisecond)->UseRealTime();

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

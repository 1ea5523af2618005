// One poll of the CD player against the virtual drive (a .toc file), in a catalogue of one album:
//  - a plain poll of a playing disc (mode, current track, position: the poll of every 1.5 s);
//  - a poll with "Sync" (the track changed while playing);
//  - the first poll of a new disc: "Init" with the identification of the disc and its look-up
//    by ALB:KeyCDIdentifier.
// The counter "interval%" is the poll's share of the default interval of 1.5 s; a plain poll must
// stay under 1%.

#include "cd/CdAudio.h"
#include "cd/CdPlayer.h"
#include "cd/DiscIdentifier.h"
#include "cd/DriveFactory.h"
#include "common/GlobalSettings.h"
#include "core/Messages.h"
#include "data/Database.h"
#include "data/TableHandle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace td;

namespace {

constexpr double kIntervalNs = 1.5e9;

struct Fixture {
    QTemporaryDir dir;
    Messages messages;
    std::unique_ptr<Database> db;
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::unique_ptr<CdAudioDevice> device;
    std::unique_ptr<TableUse> holdAlbums;
    GlobalSettings settings;
    bool ok = false;

    Fixture()
    {
        const QString toc = dir.filePath(QStringLiteral("drive.toc"));
        QFile f(toc);
        // Twelve tracks of about four minutes.
        QString line = QStringLiteral("1 12 %1").arg(150 + 12 * 18000);
        for (int t = 0; t < 12; ++t)
            line += QStringLiteral(" %1").arg(150 + t * 18000);
        if (!f.open(QIODevice::WriteOnly) || f.write(line.toLatin1() + '\n') < 0)
            return;
        f.close();
        device = std::make_unique<CdAudioDevice>(createDrive(toc, clock));
        db = std::make_unique<Database>(messages, dir.path());
        holdAlbums = std::make_unique<TableUse>(*db, TableId::Album);
        CdAudioClient c(*device);
        c.send(QStringLiteral("open cdaudio shareable"));
        c.send(QStringLiteral("set cdaudio time format tmsf"));
        Table<Album> albums(*db);
        albums.rec.AlbumID = 1;
        albums.rec.Album = QStringLiteral("Bench Album");
        albums.rec.CDIdentifier = BuildDiscIdentifier(c, 12);
        ok = holdAlbums->ok() && albums.add() == 0;
    }
    ~Fixture()
    {
        holdAlbums.reset();
        db.reset();
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void report(benchmark::State& state, qint64 ns)
{
    state.counters["interval%"] = double(ns) / double(state.iterations()) / kIntervalNs * 100.0;
}

void BM_PlainPoll(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ok) {
        state.SkipWithError("no drive or catalogue");
        return;
    }
    CdAudioClient client(*f.device);
    CdPlayer player(client, *f.db, f.settings);
    player.open();
    player.poll();
    player.playTrack(3);
    player.poll();
    QElapsedTimer t;
    t.start();
    for (auto _ : state) {
        f.clock->advance(1);
        player.poll();
        benchmark::DoNotOptimize(player.positionInTrack());
    }
    report(state, t.nsecsElapsed());
    player.stop();
}

void BM_SyncPoll(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ok) {
        state.SkipWithError("no drive or catalogue");
        return;
    }
    CdAudioClient client(*f.device);
    CdPlayer player(client, *f.db, f.settings);
    player.open();
    player.poll();
    int track = 1;
    qint64 ns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        track = track % 12 + 1;
        player.playTrack(track);
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        player.poll();
        ns += t.nsecsElapsed();
        if (player.eventLabel() != QLatin1String("Sync")) {
            state.SkipWithError("no track change seen");
            break;
        }
    }
    report(state, ns);
    player.stop();
}

void BM_InitAndIdentify(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ok) {
        state.SkipWithError("no drive or catalogue");
        return;
    }
    CdAudioClient client(*f.device);
    qint64 ns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto player = std::make_unique<CdPlayer>(client, *f.db, f.settings);
        player->open();
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        player->poll(); // a first poll: Init, then the look-up
        ns += t.nsecsElapsed();
        if (player->album().AlbumID != 1) {
            state.SkipWithError("disc not recognised");
            break;
        }
        state.PauseTiming();
        player.reset();
        state.ResumeTiming();
    }
    report(state, ns);
}

} // namespace

BENCHMARK(BM_PlainPoll)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SyncPoll)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_InitAndIdentify)->Unit(benchmark::kMicrosecond)->UseRealTime();

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

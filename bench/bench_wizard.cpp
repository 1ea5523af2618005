// The add-album wizard in a large catalogue (TD_BENCH_SONGS, 1,000,000 songs unless set):
//  - OK of a wizard holding 20 tracks: the album with its duplicate checks, 20 songs numbered and
//    written, the 20 track rows removed, committed as one transaction;
//  - moving the last of 99 tracks to the top (every row takes the next number, one transaction).
// The catalogue is copied to a folder of the run's own, so the shared one stays as it was built.

#include "CatalogueGenerator.h"

#include "albums/AddWizardTracks.h"
#include "albums/AddWizardTransfer.h"
#include "core/Messages.h"
#include "data/Database.h"
#include "data/RecordServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace td;
using namespace td::bench;

namespace {

constexpr qint64 kTransferInstance = 1;
constexpr qint64 kMoveInstance = 2;

struct Fixture {
    QTemporaryDir dir;
    Messages messages;
    std::unique_ptr<Database> db;
    // What an open wizard holds.
    std::unique_ptr<TableUse> holdAlbums, holdSongs, holdRows, holdMedia, holdCategories;
    QString error;

    Fixture()
    {
        const QString shared = sharedCatalogue(benchSongCount(), &error);
        if (shared.isEmpty()) {
            error = QStringLiteral("no catalogue: ") + error;
            return;
        }
        for (const QString& f : QDir(shared).entryList({ QStringLiteral("*.db") }, QDir::Files))
            if (!QFile::copy(shared + QLatin1Char('/') + f, dir.filePath(f))) {
                error = QStringLiteral("cannot copy ") + f;
                return;
            }
        db = std::make_unique<Database>(messages, dir.path());
        holdAlbums = std::make_unique<TableUse>(*db, TableId::Album);
        holdSongs = std::make_unique<TableUse>(*db, TableId::Tunedeck);
        holdRows = std::make_unique<TableUse>(*db, TableId::AddWizard);
        holdMedia = std::make_unique<TableUse>(*db, TableId::Media);
        holdCategories = std::make_unique<TableUse>(*db, TableId::Categories);
        if (!holdAlbums->ok() || !holdSongs->ok() || !holdRows->ok())
            error = db->endText();
    }

    ~Fixture()
    {
        holdCategories.reset();
        holdMedia.reset();
        holdRows.reset();
        holdSongs.reset();
        holdAlbums.reset();
        db.reset();
    }

    // The rows a wizard would hold: `count` tracks under `instance`, in one transaction.
    bool addRows(qint64 instance, int count)
    {
        Table<AddWizard> rows(*db);
        TransactionGuard t(*db);
        for (int i = 1; i <= count; ++i) {
            rows.rec = AddWizard();
            rows.rec.Instance = instance;
            rows.rec.Track = i;
            rows.rec.Title = QStringLiteral("Bench Track %1").arg(i);
            rows.rec.Time = 18001 + i * 1700;
            if (rows.add() != 0)
                return false;
        }
        return t.commit() == 0;
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

Fixture* ready(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.error.isEmpty()) {
        state.SkipWithError(qPrintable(f.error));
        return nullptr;
    }
    return &f;
}

void BM_WizardOk20Tracks(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    static int n = 0; // album titles stay new over repetitions
    for (auto _ : state) {
        state.PauseTiming();
        const bool added = f->addRows(kTransferInstance, 20);
        WizardHeader h;
        h.song.Artist = QStringLiteral("Bench Artist");
        h.song.Album = QStringLiteral("Bench Album %1").arg(++n);
        h.song.Media = QStringLiteral("CD");
        h.song.CategoryID = 1;
        h.cdIdentifier = QStringLiteral("20%1").arg(900000 + n);
        h.firstSongId = qint32(nextNumber(*f->db, TableId::Tunedeck));
        state.ResumeTiming();
        if (!added) {
            state.SkipWithError("cannot add the track rows");
            return;
        }
        const WizardTransferResult r = transferWizard(*f->db, kTransferInstance, h);
        if (!r.committed || r.songsWritten != 20 || !r.albumAdded) {
            state.SkipWithError("the transfer did not write the album and its 20 songs");
            return;
        }
    }
    state.counters["songs"] = double(Table<Tunedeck>(*f->db).records());
}

void BM_MoveLastOf99ToTop(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    AddWizardTracks tracks(*f->db, kMoveInstance);
    QList<WizardTrack> rows;
    if (tracks.rows(rows) != 0 || (rows.isEmpty() && (!f->addRows(kMoveInstance, 99) || tracks.rows(rows) != 0))
        || rows.size() != 99) {
        state.SkipWithError("cannot set up 99 track rows");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        tracks.rows(rows);
        const qint64 last = rows.last().position;
        state.ResumeTiming();
        if (!tracks.move(last, TrackMove::Top)) {
            state.SkipWithError("the move failed");
            return;
        }
    }
}

// The floor both are measured against: the durable commit itself. One row written in the track
// file alone (as a move commits), and one row in each of the three files a transfer writes.
void BM_CommitFloor(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    const bool threeFiles = state.range(0) == 3;
    Table<AddWizard> rows(*f->db);
    Table<Tunedeck> songs(*f->db);
    Table<Album> albums(*f->db);
    rows.rec.Instance = 3;
    rows.rec.Track = 1;
    if (rows.get(rows.key(QStringLiteral("AW:KeyInstance"))) != 0 && rows.add() != 0) {
        state.SkipWithError("cannot add a row");
        return;
    }
    songs.set(songs.key(QStringLiteral("MUS:KeyID")));
    albums.set(albums.key(QStringLiteral("ALB:KeyAlbumID")));
    if (songs.next() != 0 || albums.next() != 0) {
        state.SkipWithError("empty catalogue");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        TransactionGuard t(*f->db);
        rows.rec.Time = ++n;
        int rc = rows.put();
        if (threeFiles && rc == 0) {
            songs.rec.ChartNumber = n % 100;
            albums.rec.TotalTime = n;
            rc = songs.put();
            if (rc == 0)
                rc = albums.put();
        }
        if (rc != 0 || t.commit() != 0) {
            state.SkipWithError("cannot write");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_CommitFloor)->Arg(1)->Arg(3)->ArgName("files")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WizardOk20Tracks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MoveLastOf99ToTop)->Unit(benchmark::kMillisecond)->UseRealTime();

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

// A playlist of 10,000 lines over 10,000 songs, in a catalogue of its own:
//  - opening the playlist form's data: the form's logic opened on the playlist, the line list's
//    first page read with the songs of its lines, and the total time;
//  - moving the last line to the top (every line shifts one place);
//  - deleting the first line (every line after it renumbered);
//  - a drop of one song appended at the end.
// Each should stay well under 100 ms.

#include "common/AppState.h"
#include "common/PagedList.h"
#include "cd/CdAudio.h"
#include "cd/VirtualDrive.h"
#include "core/DayTime.h"
#include "core/Messages.h"
#include "data/Database.h"
#include "data/TableHandle.h"
#include "playlists/PlaylistForm.h"
#include "playlists/PlaylistLines.h"
#include "setup/QueryWizardTexts.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace td;

namespace {

constexpr int kLines = 10000;

struct Fixture {
    QTemporaryDir dir;
    Messages messages;
    QueryWizardTexts queryTexts;
    std::unique_ptr<CdAudioDevice> cd;
    std::unique_ptr<Database> db;
    std::unique_ptr<AppState> app;
    std::unique_ptr<TableUse> songsUse, linesUse, mastersUse;

    Fixture()
    {
        db = std::make_unique<Database>(messages, dir.path());
        cd = std::make_unique<CdAudioDevice>(std::make_unique<VirtualDrive>(QString()));
        app = std::make_unique<AppState>(*db, messages, queryTexts, *cd);
        songsUse = std::make_unique<TableUse>(*db, TableId::Tunedeck);
        linesUse = std::make_unique<TableUse>(*db, TableId::PlaylistDetails);
        mastersUse = std::make_unique<TableUse>(*db, TableId::PlaylistMaster);
        Table<Tunedeck> s(*db);
        Table<PlaylistDetails> l(*db);
        Table<PlaylistMaster> p(*db);
        TransactionGuard tx(*db);
        p.rec.PlaylistID = 1;
        p.rec.PlaylistDescription = QStringLiteral("Everything");
        p.add();
        for (int i = 1; i <= kLines; ++i) {
            s.rec = Tunedeck();
            s.rec.ID = i;
            s.rec.Artist = QStringLiteral("Artist %1").arg(i % 700);
            s.rec.Title = QStringLiteral("Title %1").arg(i);
            s.rec.Time = timeFromSeconds(120 + i % 300);
            s.add();
            l.rec = PlaylistDetails();
            l.rec.PlaylistID = 1;
            l.rec.PlaylistSeq = i;
            l.rec.ID = i;
            l.add();
        }
        tx.commit();
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_OpenForm(benchmark::State& state)
{
    Fixture& f = fixture();
    PlaylistMaster p;
    p.PlaylistID = 1;
    for (auto _ : state) {
        PlaylistForm form(*f.app, Request::Change, p);
        form.open();
        Table<PlaylistDetails> lines(*f.db);
        PagedList list(lines);
        showPlaylistLines(list, 1);
        list.first();
        const int id = lines.def().fieldIndex(QStringLiteral("ID"));
        for (const PageRow& r : list.rows())
            benchmark::DoNotOptimize(songOfLine(*f.db, r.row.value(id).toLongLong()));
        benchmark::DoNotOptimize(playlistTotalTime(*f.db, 1));
        form.close();
    }
}

void BM_MoveLastToTop(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(moveLine(*f.db, 1, lastLineNumber(*f.db, 1), LineMove::Top));
}

void BM_DeleteFirstLine(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        benchmark::DoNotOptimize(deleteLine(*f.db, 1, 1));
        state.PauseTiming();
        appendLines(*f.db, 1, {1}); // the playlist keeps its size
        state.ResumeTiming();
    }
}

void BM_AppendDrop(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        benchmark::DoNotOptimize(appendLines(*f.db, 1, {7}));
        state.PauseTiming();
        deleteLine(*f.db, 1, lastLineNumber(*f.db, 1));
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_OpenForm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveLastToTop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteFirstLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendDrop)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

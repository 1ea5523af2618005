// The song list at 100,000 and 1,000,000 songs, through its logic and table model (what the window
// runs, without painting), beside the bare SQLite query that gives the same page:
//  - opening the list (the caption's record count and the first page shown);
//  - switching between each pair of tabs (category names checked, the highlighted song kept, the
//    scroll-bar estimate);
//  - one locator keystroke ("BEA" on "By Title");
//  - page down;
//  - a search started from a song in the middle of the list, the highlight kept as the window
//    keeps it: MUS:Artist begins with "BE" (on "By Artist", where the key's range serves it, and on
//    "By Title", where it is a scan in title order), and a "Contains" on MUS:Title (with hits, and
//    one that finds nothing and so reads every row).
// Every browse figure includes formatting every cell of the page as the view asks for it. Both
// sides read the song file through a page cache of the same size, and both keep their compiled
// statements. Opening is measured twice: as the only song list (the category file opened with it)
// and beside another list.
//
// `bench_browse --rss` instead reports the resident memory of an empty catalogue's list and of a
// list browsed through a million songs.

#include "BareQuery.h"
#include "CatalogueGenerator.h"

#include "common/PagedList.h"
#include "common/ui/PagedTableModel.h"
#include "core/FilterQuery.h"
#include "core/Messages.h"
#include "data/Collation.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "common/GlobalSettings.h"
#include "songs/SongBrowseLogic.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <sqlite3.h>

using namespace td;
using namespace td::bench;

namespace {

constexpr int kPage = 40;

// --- the list as the window runs it ------------------------------------------------------------------

struct Fixture {
    Messages messages;
    GlobalSettings settings;
    std::unique_ptr<Database> db;
    // The frame keeps the album, media and song files open while the program runs.
    std::unique_ptr<TableUse> holdAlbums;
    std::unique_ptr<TableUse> holdMedia;
    std::unique_ptr<TableUse> holdSongs;
    std::unique_ptr<SongBrowser> browser;
    std::unique_ptr<PagedTableModel> model;
    sqlite3* raw = nullptr;
    QString error;

    explicit Fixture(qint64 songs);
    ~Fixture();
    void useModel(SongBrowser& b);
};

// Every cell of the page formatted, as the view does when it paints.
qint64 formatPage(PagedTableModel& m)
{
    qint64 chars = 0;
    for (int r = 0; r < m.rowCount(); ++r)
        for (int c = 0; c < m.columnCount(); ++c)
            chars += m.data(m.index(r, c)).toString().size();
    return chars;
}

std::unique_ptr<PagedTableModel> songModel(SongBrowser& b, const GlobalSettings& settings)
{
    auto m = std::make_unique<PagedTableModel>(b.list());
    const TableDef& t = tableDef(TableId::Tunedeck);
    auto field = [&t](const char* name) {
        const int i = t.fieldIndex(QString::fromLatin1(name));
        return ColumnValue([i](const PageRow& r) { return r.row.value(i); });
    };
    const int cat = t.fieldIndex(QStringLiteral("CategoryID"));
    SongBrowser* bp = &b;
    m->setColumns(songListFormat(settings),
                  {field("Artist"), field("Title"), field("Album"), field("Media"), field("FileNumber"),
                   [bp, cat](const PageRow& r) { return QVariant(bp->categoryName(r.row.value(cat).toLongLong())); },
                   field("Time"), field("ReleaseDate"), field("BeatsPerMinute"), field("UserDefinedKeyField"),
                   field("LastPlayed"), field("Style")});
    return m;
}

Fixture::Fixture(qint64 songs)
{
    const QString dir = sharedCatalogue(songs, &error);
    if (dir.isEmpty()) {
        error = QStringLiteral("no catalogue: ") + error;
        return;
    }
    db = std::make_unique<Database>(messages, dir);
    holdAlbums = std::make_unique<TableUse>(*db, TableId::Album);
    holdMedia = std::make_unique<TableUse>(*db, TableId::Media);
    holdSongs = std::make_unique<TableUse>(*db, TableId::Tunedeck);
    if (!holdAlbums->ok() || !holdMedia->ok() || !holdSongs->ok()) {
        error = db->endText();
        return;
    }
    browser = std::make_unique<SongBrowser>(*db, settings);
    browser->list().setPageSize(kPage);
    model = songModel(*browser, settings);
    const QByteArray path = db->filePath(TableId::Tunedeck).toUtf8();
    if (sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK
        || registerKeyCollation(raw) != SQLITE_OK
        || sqlite3_exec(raw,
               QStringLiteral("PRAGMA cache_size=-%1").arg(Database::kSmallCacheKiB).toUtf8().constData(),
               nullptr, nullptr, nullptr)
            != SQLITE_OK)
        error = QStringLiteral("cannot open %1 directly").arg(QString::fromUtf8(path));
}

Fixture::~Fixture()
{
    model.reset();
    browser.reset();
    holdSongs.reset();
    holdMedia.reset();
    holdAlbums.reset();
    sqlite3_close_v2(raw);
}

Fixture& fixture(qint64 songs)
{
    static std::map<qint64, std::unique_ptr<Fixture>> all;
    auto& f = all[songs];
    if (!f)
        f = std::make_unique<Fixture>(songs);
    return *f;
}

Fixture* ready(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0));
    if (!f.error.isEmpty()) {
        state.SkipWithError(qPrintable(f.error));
        return nullptr;
    }
    return &f;
}

// Sets the tab (with the limited tabs' range: the first media, category 1) and configures the list.
void showTab(SongBrowser& b, SongTab tab, const QString& search = {})
{
    b.setTab(tab);
    b.setMedia(CatalogueGenerator::mediaNames().first());
    b.setCategory(1);
    b.setSearch(search);
    b.configure();
}

// What the window runs to show the list again (BrowseSongsWindow::rebuild and the page shown):
// category names checked, the view configured, the page read with the highlight kept, the cells
// formatted and the scroll-bar estimate.
int showAgain(SongBrowser& b, PagedTableModel& m)
{
    b.refreshCategoryNames();
    b.configure();
    const int err = b.showAgain();
    m.pageChanged();
    benchmark::DoNotOptimize(formatPage(m));
    benchmark::DoNotOptimize(b.list().thumb());
    return err;
}

// A song in the middle of "By Artist" highlighted, as a user would have it before a change.
void highlightMiddle(SongBrowser& b)
{
    showTab(b, SongTab::ByArtist);
    b.list().locate({ QStringLiteral("M") });
    b.list().setHighlight(10);
}

bool check(benchmark::State& state, int err, const PagedList& l)
{
    if (err) {
        state.SkipWithError(qPrintable(QStringLiteral("read error %1").arg(err)));
        return false;
    }
    if (l.isEmpty()) {
        state.SkipWithError("empty page");
        return false;
    }
    return true;
}

QString beginsWithBE()
{
    return queryCondition(QStringLiteral("MUS:Artist"), FilterKind::Text, int(QueryOperator::BeginsWith), QStringLiteral("be"));
}

QString containsTitle(const QString& word)
{
    return queryCondition(QStringLiteral("MUS:Title"), FilterKind::Text, int(QueryOperator::Contains), word);
}

// --- the bare queries -----------------------------------------------------------------------------------

QString selectAll()
{
    return QStringLiteral("SELECT rowid,%1 FROM \"Tunedeck\"").arg(schema::columnList(tableDef(TableId::Tunedeck)));
}

QString orderOf(SongTab tab)
{
    const TableDef& t = tableDef(TableId::Tunedeck);
    return schema::keyColumns(t, t.keyIndex(songTabInfo(tab).key)).join(QLatin1Char(',')) + QStringLiteral(",rowid");
}

// The tab's own condition (optional key, media or category range) as plain SQL.
QString tabWhere(SongTab tab)
{
    const TableDef& t = tableDef(TableId::Tunedeck);
    if (tab == SongTab::ByMedia)
        return QStringLiteral("\"Media\" = '%1'").arg(CatalogueGenerator::mediaNames().first());
    if (tab == SongTab::ByCategory)
        return QStringLiteral("\"CategoryID\" = 1");
    return schema::keyCondition(t, t.keyIndex(songTabInfo(tab).key));
}

QString andAll(const QStringList& parts)
{
    QStringList p;
    for (const QString& s : parts)
        if (!s.isEmpty())
            p << s;
    return p.isEmpty() ? QString() : QStringLiteral(" WHERE ") + p.join(QStringLiteral(" AND "));
}

// --- opening ------------------------------------------------------------------------------------------

// Opening a song list while another one is open (the fixture's list holds the category file).
void BM_Open(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    for (auto _ : state) {
        SongBrowser b(*f->db, f->settings);
        b.list().setPageSize(kPage);
        auto m = songModel(b, f->settings);
        benchmark::DoNotOptimize(b.caption());
        const int err = showAgain(b, *m);
        if (!check(state, err, b.list()))
            return;
    }
}

// Opening the only song list (the usual case): the frame holds the album, media and song files, no
// other window the category file, which the list opens and closes with itself. With letGo:1 the
// category file is let go of after each close (detached, every compiled statement dropped), as when
// a closed file was not kept: each open checks the file and compiles its statements again.
void BM_OpenOnlyList(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    const bool letGo = state.range(1) != 0;
    f->model.reset();
    f->browser.reset();
    for (auto _ : state) {
        {
            SongBrowser b(*f->db, f->settings);
            b.list().setPageSize(kPage);
            auto m = songModel(b, f->settings);
            benchmark::DoNotOptimize(b.caption());
            const int err = showAgain(b, *m);
            if (!check(state, err, b.list()))
                break;
        }
        if (letGo)
            f->db->letGo(TableId::Categories);
    }
    f->browser = std::make_unique<SongBrowser>(*f->db, f->settings);
    f->browser->list().setPageSize(kPage);
    f->model = songModel(*f->browser, f->settings);
}

void BM_OpenCaptionCount(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(f->browser->caption());
}

void BM_BareFirstPage(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    sqlite3_stmt* s = prepare(state, f->raw, selectAll() + QStringLiteral(" ORDER BY %1 LIMIT 40").arg(orderOf(SongTab::ByArtist)));
    if (!s)
        return;
    for (auto _ : state)
        if (runBare(s) != kPage) {
            state.SkipWithError("short page");
            break;
        }
    sqlite3_finalize(s);
}

// The bare open: the record count the file keeps and the first page, each statement compiled once
// and kept, as the program keeps its own.
void BM_BareOpen(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    sqlite3_stmt* count = prepare(state, f->raw,
        QStringLiteral("SELECT n FROM %1").arg(schema::quoted(schema::rowCountTable(tableDef(TableId::Tunedeck)))));
    sqlite3_stmt* page = count ? prepare(state, f->raw,
        selectAll() + QStringLiteral(" ORDER BY %1 LIMIT 40").arg(orderOf(SongTab::ByArtist))) : nullptr;
    for (auto _ : state) {
        if (!page || runBare(count) != 1 || runBare(page) != kPage) {
            state.SkipWithError("short page");
            break;
        }
    }
    sqlite3_finalize(page);
    sqlite3_finalize(count);
}

// --- switching tabs ------------------------------------------------------------------------------------

// One switch per iteration, back and forth between the two tabs, the highlight kept on its song.
void BM_SwitchTab(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    const SongTab a = SongTab(state.range(1));
    const SongTab b = SongTab(state.range(2));
    SongBrowser& br = *f->browser;
    showTab(br, a);
    br.list().locate({QStringLiteral("M")});   // a song in the middle of the order
    br.list().setHighlight(10);
    bool toB = true;
    for (auto _ : state) {
        br.setTab(toB ? b : a);
        const int err = showAgain(br, *f->model);
        if (!check(state, err, br.list()))
            return;
        toB = !toB;
    }
}

// The bare query of a tab's page from a song's key values on.
void BM_BareTabPage(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    const SongTab tab = SongTab(state.range(1));
    const TableDef& t = tableDef(TableId::Tunedeck);
    const KeyDef& k = t.key(t.keyIndex(songTabInfo(tab).key));
    // The starting song: the middle one of "By Artist", as in BM_SwitchTab.
    SongBrowser& br = *f->browser;
    showTab(br, SongTab::ByArtist);
    br.list().locate({QStringLiteral("M")});
    const Row song = br.list().rows().value(10).row;
    QStringList cols;
    QStringList marks;
    for (int fi : k.fields) {
        cols << schema::quoted(t.field(fi).name);
        marks << QStringLiteral("?");
    }
    // On the limited tabs that song lies outside the range: the page is the range's first one.
    const bool limited = tab == SongTab::ByMedia || tab == SongTab::ByCategory;
    const QString from = limited ? QString() : QStringLiteral("(%1) >= (%2)").arg(cols.join(','), marks.join(','));
    // The optional key's own condition beside the range, so that its partial index serves the
    // page in order.
    const QString keyCond = limited ? schema::keyCondition(t, t.keyIndex(songTabInfo(tab).key)) : QString();
    sqlite3_stmt* s = prepare(state, f->raw,
        selectAll() + andAll({ keyCond, tabWhere(tab), from })
            + QStringLiteral(" ORDER BY %1 LIMIT 40").arg(orderOf(tab)));
    if (!s)
        return;
    int bind = 1;
    for (int fi : limited ? QList<int>() : k.fields) {
        const QVariant v = song.value(fi);
        if (t.field(fi).isText()) {
            const QByteArray u = v.toString().toUtf8();
            sqlite3_bind_text(s, bind++, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int64(s, bind++, v.toLongLong());
        }
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(runBare(s));
    sqlite3_finalize(s);
}

// --- locator and paging -------------------------------------------------------------------------------

void BM_LocatorBEA(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    SongBrowser& br = *f->browser;
    showTab(br, SongTab::ByTitle);
    const Row v = br.locatorValues(QStringLiteral("BEA"));
    for (auto _ : state) {
        const int err = br.list().locate(v);
        f->model->pageChanged();
        benchmark::DoNotOptimize(formatPage(*f->model));
        if (!check(state, err, br.list()))
            return;
    }
}

void BM_BareLocatorBEA(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    sqlite3_stmt* s = prepare(state, f->raw, selectAll() + QStringLiteral(" WHERE (\"Title\") >= ('BEA') ORDER BY %1 LIMIT 40").arg(orderOf(SongTab::ByTitle)));
    if (!s)
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(runBare(s));
    sqlite3_finalize(s);
}

void BM_PageDown(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    SongBrowser& br = *f->browser;
    showTab(br, SongTab::ByArtist);
    br.list().locate({QStringLiteral("M")});
    for (auto _ : state) {
        int err = br.list().pageDown();
        if (br.list().atBottom())
            err = br.list().locate({QStringLiteral("M")});
        f->model->pageChanged();
        benchmark::DoNotOptimize(formatPage(*f->model));
        if (!check(state, err, br.list()))
            return;
    }
}

void BM_BarePageDown(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    sqlite3_stmt* s = prepare(state, f->raw, selectAll() + QStringLiteral(" WHERE (\"Artist\",\"Title\",rowid) > (?,?,?) ORDER BY %1 LIMIT 40").arg(orderOf(SongTab::ByArtist)));
    if (!s)
        return;
    QByteArray artist("M");
    QByteArray title;
    qint64 rowid = 0;
    for (auto _ : state) {
        sqlite3_bind_text(s, 1, artist.constData(), int(artist.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, title.constData(), int(title.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(s, 3, rowid);
        int rows = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            ++rows;
            qint64 sink = 0;
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                sink += sqlite3_column_type(s, c) == SQLITE_TEXT ? sqlite3_column_bytes(s, c) : sqlite3_column_int64(s, c);
            benchmark::DoNotOptimize(sink);
            // The next page starts after the last row of this one.
            artist = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
            title = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(s, 2)));
            rowid = sqlite3_column_int64(s, 0);
        }
        sqlite3_reset(s);
        if (rows < kPage) {
            artist = "M";
            title.clear();
            rowid = 0;
        }
    }
    sqlite3_finalize(s);
}

// --- searches -------------------------------------------------------------------------------------------

// A search chosen while a song in the middle of "By Artist" is highlighted; the window keeps the
// highlight on it (or the nearest song the search keeps). Positioning the highlight is not timed.
void runSearch(benchmark::State& state, SongTab tab, const QString& filter, bool expectRows)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    SongBrowser& br = *f->browser;
    for (auto _ : state) {
        state.PauseTiming();
        highlightMiddle(br);
        br.setTab(tab);
        br.setSearch(filter);
        state.ResumeTiming();
        const int err = showAgain(br, *f->model);
        if (err || (expectRows && br.list().rowCount() != kPage)) {
            check(state, err, br.list());
            if (!err)
                state.SkipWithError("short page");
            return;
        }
    }
    state.counters["rows"] = br.list().rowCount();
    br.setSearch(QString());
}

void BM_SearchArtistBE_ByArtist(benchmark::State& state)
{
    runSearch(state, SongTab::ByArtist, beginsWithBE(), true);
}

void BM_SearchArtistBE_ByTitle(benchmark::State& state)
{
    runSearch(state, SongTab::ByTitle, beginsWithBE(), true);
}

void BM_SearchTitleContainsLove(benchmark::State& state)
{
    runSearch(state, SongTab::ByTitle, containsTitle(QStringLiteral("love")), true);
}

void BM_SearchTitleContainsNothing(benchmark::State& state)
{
    runSearch(state, SongTab::ByTitle, containsTitle(QStringLiteral("qxzq")), false);
}

void bareQuery(benchmark::State& state, const QString& where, SongTab tab)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    sqlite3_stmt* s = prepare(state, f->raw, selectAll() + QStringLiteral(" WHERE %1 ORDER BY %2 LIMIT 40").arg(where, orderOf(tab)));
    if (!s)
        return;
    int rows = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(rows = runBare(s));
    state.counters["rows"] = rows;
    sqlite3_finalize(s);
}

// As one would write it with SQLite's own functions (upper() of ASCII letters only).
void BM_BareArtistBE_ByArtist_Naive(benchmark::State& state)
{
    bareQuery(state, QStringLiteral("upper(substr(\"Artist\",1,2)) = 'BE'"), SongTab::ByArtist);
}

void BM_BareArtistBE_ByArtist_Range(benchmark::State& state)
{
    bareQuery(state, QStringLiteral("\"Artist\" >= 'BE' AND \"Artist\" < 'bf'"), SongTab::ByArtist);
}

// SQLite's own LIKE in title order (letter case ignored for ASCII letters only): the quickest
// bare way to the same page.
void BM_BareArtistBE_ByTitle(benchmark::State& state)
{
    bareQuery(state, QStringLiteral("\"Artist\" LIKE 'be%'"), SongTab::ByTitle);
}

// SQLite's own LIKE: letter case ignored for ASCII letters only.
void BM_BareTitleContainsLove(benchmark::State& state)
{
    bareQuery(state, QStringLiteral("\"Title\" LIKE '%love%'"), SongTab::ByTitle);
}

void BM_BareTitleContainsNothing(benchmark::State& state)
{
    bareQuery(state, QStringLiteral("\"Title\" LIKE '%qxzq%'"), SongTab::ByTitle);
}

// --- memory ---------------------------------------------------------------------------------------------

long rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void browseAround(SongBrowser& b, PagedTableModel& m, bool contains)
{
    for (int t = 0; t < kSongTabCount; ++t) {
        showTab(b, SongTab(t));
        b.list().first();
        for (int i = 0; i < 50; ++i) {
            b.list().pageDown();
            m.pageChanged();
            formatPage(m);
        }
        b.list().locateThumb(50);
        b.list().last();
    }
    showTab(b, SongTab::ByTitle);
    b.list().locate(b.locatorValues(QStringLiteral("BEA")));
    showTab(b, SongTab::ByArtist, beginsWithBE());
    b.list().first();
    showTab(b, SongTab::ByTitle, beginsWithBE());
    b.list().first();
    if (contains) {
        showTab(b, SongTab::ByTitle, containsTitle(QStringLiteral("love")));
        b.list().first();
        showTab(b, SongTab::ByTitle, containsTitle(QStringLiteral("qxzq")));
        b.list().first();
    }
    m.pageChanged();
    formatPage(m);
}

int reportMemory()
{
    std::printf("resident memory (VmRSS), kB\n");
    std::printf("  program started:                          %8ld\n", rssKb());
    QTemporaryDir empty;
    {
        Messages messages;
        GlobalSettings settings;
        Database db(messages, empty.path());
        SongBrowser b(db, settings);
        auto m = songModel(b, settings);
        browseAround(b, *m, true);
        std::printf("  empty catalogue, list browsed:            %8ld\n", rssKb());
    }
    const long before = rssKb();
    QString why;
    const QString dir = sharedCatalogue(1000000, &why);
    if (dir.isEmpty()) {
        std::printf("no catalogue: %s\n", qPrintable(why));
        return 1;
    }
    Messages messages;
    GlobalSettings settings;
    Database db(messages, dir);
    SongBrowser b(db, settings);
    // TD_BENCH_CACHE_KB: the song file's page cache for this run (the data layer's own otherwise),
    // to tell the list's memory from the cache's.
    const int cacheKb = qEnvironmentVariableIntValue("TD_BENCH_CACHE_KB");
    if (cacheKb > 0) {
        db.exec(QStringLiteral("PRAGMA \"Tunedeck\".cache_size=-%1").arg(cacheKb));
        std::printf("  (song file page cache limited to %d kB)\n", cacheKb);
    }
    auto m = songModel(b, settings);
    b.configure();
    b.list().first();
    std::printf("  1,000,000 songs, list opened:             %8ld\n", rssKb());
    browseAround(b, *m, false);
    std::printf("  ... paged, located, tabs, begins-with:    %8ld   (+%ld over the empty catalogue)\n", rssKb(),
                rssKb() - before);
    browseAround(b, *m, true);
    std::printf("  ... and two \"Contains\" scans:             %8ld   (SQLite page cache of the song file: %lld kB used, "
                "high water %lld kB)\n",
                rssKb(), (long long)(sqlite3_memory_used() / 1024), (long long)(sqlite3_memory_highwater(0) / 1024));
    return 0;
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(100000)->Arg(1000000)->ArgName("songs")->Unit(benchmark::kMicrosecond);
}

void tabPairs(benchmark::internal::Benchmark* b)
{
    for (qint64 n : {100000, 1000000})
        for (int a = 0; a < kSongTabCount; ++a)
            for (int c = a + 1; c < kSongTabCount; ++c)
                b->Args({n, a, c});
    b->ArgNames({"songs", "from", "to"})->Unit(benchmark::kMicrosecond)->MinTime(0.1);
}

void tabs(benchmark::internal::Benchmark* b)
{
    for (qint64 n : {100000, 1000000})
        for (int a = 0; a < kSongTabCount; ++a)
            b->Args({n, a});
    b->ArgNames({"songs", "tab"})->Unit(benchmark::kMicrosecond)->MinTime(0.1);
}

} // namespace

BENCHMARK(BM_Open)->Apply(sizes);
BENCHMARK(BM_OpenOnlyList)
    ->ArgsProduct({ { 100000, 1000000 }, { 0, 1 } })
    ->ArgNames({ "songs", "letGo" })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenCaptionCount)->Apply(sizes);
BENCHMARK(BM_BareFirstPage)->Apply(sizes);
BENCHMARK(BM_BareOpen)->Apply(sizes);
BENCHMARK(BM_SwitchTab)->Apply(tabPairs);
BENCHMARK(BM_BareTabPage)->Apply(tabs);
BENCHMARK(BM_LocatorBEA)->Apply(sizes);
BENCHMARK(BM_BareLocatorBEA)->Apply(sizes);
BENCHMARK(BM_PageDown)->Apply(sizes);
BENCHMARK(BM_BarePageDown)->Apply(sizes);
BENCHMARK(BM_SearchArtistBE_ByArtist)->Apply(sizes);
BENCHMARK(BM_BareArtistBE_ByArtist_Naive)->Apply(sizes);
BENCHMARK(BM_BareArtistBE_ByArtist_Range)->Apply(sizes);
BENCHMARK(BM_SearchArtistBE_ByTitle)->Apply(sizes);
BENCHMARK(BM_BareArtistBE_ByTitle)->Apply(sizes);
BENCHMARK(BM_SearchTitleContainsLove)->Apply(sizes);
BENCHMARK(BM_BareTitleContainsLove)->Apply(sizes);
BENCHMARK(BM_SearchTitleContainsNothing)->Apply(sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareTitleContainsNothing)->Apply(sizes)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // The table model needs a Qt application object; nothing is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--rss") == 0)
            return reportMemory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

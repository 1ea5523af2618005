// The album list at 100,000 and 1,000,000 songs (8,000 and 80,000 albums), through its logic and
// table model (what the window runs, without painting), beside the bare SQLite keyset query that
// gives the same page:
//  - opening the list: the tables opened, the caption's record count, the first page of the
//    "Album" tab shown with every cell formatted and the scroll-bar estimate;
//  - page down through the middle of the "Album" tab;
//  - a category tab shown from its top (the category's albums in album order).
// Both sides read the album file through a page cache of the same size.

#include "BareQuery.h"
#include "CatalogueGenerator.h"

#include "albums/AlbumBrowseLogic.h"
#include "common/GlobalSettings.h"
#include "common/ui/PagedTableModel.h"
#include "core/Messages.h"
#include "data/Collation.h"
#include "data/Database.h"
#include "data/Schema.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sqlite3.h>

using namespace td;
using namespace td::bench;

namespace {

constexpr int kPage = 40;

struct Fixture {
    Messages messages;
    GlobalSettings settings;
    std::unique_ptr<Database> db;
    // The frame keeps the album, media and song files open while the program runs.
    std::unique_ptr<TableUse> holdAlbums;
    std::unique_ptr<TableUse> holdMedia;
    std::unique_ptr<TableUse> holdSongs;
    std::unique_ptr<AlbumBrowser> browser;
    std::unique_ptr<PagedTableModel> model;
    sqlite3* raw = nullptr;
    qint64 albums = 0;
    QString error;

    explicit Fixture(qint64 songs);
    ~Fixture();
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

// The list's columns as the window sets them.
std::unique_ptr<PagedTableModel> albumModel(AlbumBrowser& b, const GlobalSettings& settings)
{
    auto m = std::make_unique<PagedTableModel>(b.list());
    const TableDef& t = tableDef(TableId::Album);
    auto field = [&t](const char* name) {
        const int i = t.fieldIndex(QString::fromLatin1(name));
        return ColumnValue([i](const PageRow& r) { return r.row.value(i); });
    };
    m->setColumns(albumListFormat(settings), {field("Artist"), field("Album"), field("Media"), field("FileNumber"),
                                              field("ReleaseDate"), field("XCCD")});
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
    browser = std::make_unique<AlbumBrowser>(*db);
    browser->list().setPageSize(kPage);
    model = albumModel(*browser, settings);
    albums = browser->recordCount();
    const QByteArray path = db->filePath(TableId::Album).toUtf8();
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

Fixture* ready(benchmark::State& state)
{
    static std::map<qint64, std::unique_ptr<Fixture>> all;
    auto& f = all[state.range(0)];
    if (!f)
        f = std::make_unique<Fixture>(state.range(0));
    if (!f->error.isEmpty()) {
        state.SkipWithError(qPrintable(f->error));
        return nullptr;
    }
    state.counters["albums"] = double(f->albums);
    return f.get();
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

// What the window runs to show its list (BrowseAlbumsWindow::rebuild and the page shown).
int showFromTop(AlbumBrowser& b, PagedTableModel& m)
{
    b.configure();
    const int err = b.showAgain(0, true);
    m.pageChanged();
    benchmark::DoNotOptimize(formatPage(m));
    benchmark::DoNotOptimize(b.list().thumb());
    return err;
}

// --- the bare queries -------------------------------------------------------------------------------

QString selectAll()
{
    return QStringLiteral("SELECT rowid,%1 FROM \"Album\"").arg(schema::columnList(tableDef(TableId::Album)));
}

QString orderOf(const char* key)
{
    const TableDef& t = tableDef(TableId::Album);
    return schema::keyColumns(t, t.keyIndex(QString::fromLatin1(key))).join(QLatin1Char(',')) + QStringLiteral(",rowid");
}

// The first page of the "Album" tab: the optional key's condition, so that its index serves it.
QString barePageSql()
{
    const TableDef& t = tableDef(TableId::Album);
    return selectAll() + QStringLiteral(" WHERE %1 ORDER BY %2 LIMIT 40")
                             .arg(schema::keyCondition(t, t.keyIndex(QStringLiteral("ALB:KeyAlbum"))),
                                  orderOf("ALB:KeyAlbum"));
}

// --- opening ------------------------------------------------------------------------------------------

void BM_AlbumOpen(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    for (auto _ : state) {
        AlbumBrowser b(*f->db);
        b.list().setPageSize(kPage);
        auto m = albumModel(b, f->settings);
        benchmark::DoNotOptimize(b.caption());
        const int err = showFromTop(b, *m);
        if (!check(state, err, b.list()))
            return;
    }
}

void BM_AlbumCaptionCount(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(f->browser->caption());
}

void BM_AlbumBareFirstPage(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    sqlite3_stmt* s = prepare(state, f->raw, barePageSql());
    if (!s)
        return;
    for (auto _ : state)
        if (runBare(s) != kPage) {
            state.SkipWithError("short page");
            break;
        }
    sqlite3_finalize(s);
}

// Opening compiles its query too: the bare query prepared, run and finalised.
void BM_AlbumBareOpen(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    const QString sql = barePageSql();
    for (auto _ : state) {
        sqlite3_stmt* s = prepare(state, f->raw, sql);
        if (!s || runBare(s) != kPage) {
            state.SkipWithError("short page");
            break;
        }
        sqlite3_finalize(s);
    }
}

// --- paging -------------------------------------------------------------------------------------------

void BM_AlbumPageDown(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    AlbumBrowser& br = *f->browser;
    br.setTab(AlbumTab::Album);
    br.configure();
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

void BM_AlbumBarePageDown(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    sqlite3_stmt* s = prepare(state, f->raw,
        selectAll() + QStringLiteral(" WHERE \"Album\" <> '' AND (\"Album\",\"Artist\",rowid) > (?,?,?) ORDER BY %1 LIMIT 40")
                          .arg(orderOf("ALB:KeyAlbum")));
    if (!s)
        return;
    const int albumCol = 1 + tableDef(TableId::Album).fieldIndex(QStringLiteral("Album"));
    const int artistCol = 1 + tableDef(TableId::Album).fieldIndex(QStringLiteral("Artist"));
    QByteArray album("M");
    QByteArray artist;
    qint64 rowid = 0;
    for (auto _ : state) {
        sqlite3_bind_text(s, 1, album.constData(), int(album.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, artist.constData(), int(artist.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(s, 3, rowid);
        int rows = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            ++rows;
            qint64 sink = 0;
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                sink += sqlite3_column_type(s, c) == SQLITE_TEXT ? sqlite3_column_bytes(s, c) : sqlite3_column_int64(s, c);
            benchmark::DoNotOptimize(sink);
            // The next page starts after the last row of this one.
            album = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(s, albumCol)));
            artist = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(s, artistCol)));
            rowid = sqlite3_column_int64(s, 0);
        }
        sqlite3_reset(s);
        if (rows < kPage) {
            album = "M";
            artist.clear();
            rowid = 0;
        }
    }
    sqlite3_finalize(s);
}

// --- a category tab -------------------------------------------------------------------------------------

// The "Category" tab shown from its top for category 1, as after "Select Cate&gory".
void BM_AlbumCategoryTab(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    AlbumBrowser& br = *f->browser;
    br.setTab(AlbumTab::Category);
    br.setCategory(AlbumTab::Category, 1, CatalogueGenerator::categoryNames().first());
    for (auto _ : state) {
        const int err = showFromTop(br, *f->model);
        if (!check(state, err, br.list()))
            return;
    }
    br.setTab(AlbumTab::Album);
}

void BM_AlbumBareCategoryTab(benchmark::State& state)
{
    Fixture* f = ready(state);
    if (!f)
        return;
    sqlite3_stmt* s = prepare(state, f->raw,
        selectAll() + QStringLiteral(" WHERE \"CategoryID\" <> 0 AND \"CategoryID\" = 1 ORDER BY %1 LIMIT 40")
                          .arg(orderOf("ALB:KeyCategory")));
    if (!s)
        return;
    for (auto _ : state)
        if (runBare(s) != kPage) {
            state.SkipWithError("short page");
            break;
        }
    sqlite3_finalize(s);
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(100000)->Arg(1000000)->ArgName("songs")->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_AlbumOpen)->Apply(sizes);
BENCHMARK(BM_AlbumCaptionCount)->Apply(sizes);
BENCHMARK(BM_AlbumBareFirstPage)->Apply(sizes);
BENCHMARK(BM_AlbumBareOpen)->Apply(sizes);
BENCHMARK(BM_AlbumPageDown)->Apply(sizes);
BENCHMARK(BM_AlbumBarePageDown)->Apply(sizes);
BENCHMARK(BM_AlbumCategoryTab)->Apply(sizes);
BENCHMARK(BM_AlbumBareCategoryTab)->Apply(sizes);

int main(int argc, char** argv)
{
    // The table model needs a Qt application object; nothing is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

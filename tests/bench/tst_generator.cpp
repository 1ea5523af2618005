// The catalogue generator of the benchmarks: the same catalogue for the same seed, exactly the size
// asked for, values the tables accept, unique album keys, and the plain SQLite writer storing the
// very rows the storage layer stores.
//
// The generator lives beside the benchmarks (built only with TD_BENCH); its sources are compiled in.
#include "../../bench/CatalogueGenerator.cpp"
#include "../../bench/CatalogueWords.cpp"
#include "../../bench/CatalogueWriters.cpp"

#include "TempWorkspace.h"
#include "core/DayTime.h"
#include "data/Database.h"

#include <QTest>

using namespace td;
using namespace td::bench;

namespace {

QList<Tunedeck> allSongs(CatalogueGenerator& gen, int slice, QList<Album>* albums = nullptr)
{
    QList<Tunedeck> out;
    Batch b;
    while (gen.nextBatch(b, slice) > 0) {
        out << b.songs;
        if (albums)
            *albums << b.albums;
    }
    return out;
}

bool sameSongs(const QList<Tunedeck>& a, const QList<Tunedeck>& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (toRow(a.at(i)) != toRow(b.at(i)))
            return false;
    return true;
}

// Every stored song in rowid order, as the storage layer reads it.
QList<Row> storedSongs(const QString& dir)
{
    Messages messages;
    Database db(messages, dir);
    Table<Tunedeck> t(db);
    QList<Row> rows;
    QList<PageRow> page;
    qint64 from = 0;
    for (;;) {
        PageRead read;
        read.fromPosition = from;
        read.inclusive = false;
        read.limit = 500;
        if (t.readPage(read, page) != 0 || page.isEmpty())
            break;
        for (const PageRow& r : std::as_const(page))
            rows << r.row;
        from = page.last().position;
    }
    return rows;
}

} // namespace

class TestGenerator : public QObject {
    Q_OBJECT
private slots:
    void sizeAndNumbering_data();
    void sizeAndNumbering();
    void sameSeedSameCatalogue();
    void valuesFitTheTable();
    void albumKeysUnique();
    void artistsForAMillion();
    void sparseFields();
    void writersStoreTheSameRows();
    void catalogueWithAlbums();
};

void TestGenerator::sizeAndNumbering_data()
{
    QTest::addColumn<int>("songs");
    QTest::addColumn<int>("slice");
    QTest::newRow("empty") << 0 << 100;
    QTest::newRow("one song") << 1 << 100;
    QTest::newRow("less than an album") << 5 << 3;
    QTest::newRow("slice of one") << 57 << 1;
    QTest::newRow("slice larger than all") << 1234 << 10000;
    QTest::newRow("uneven slices") << 5000 << 777;
}

void TestGenerator::sizeAndNumbering()
{
    QFETCH(int, songs);
    QFETCH(int, slice);
    CatalogueGenerator gen(songs);
    QList<Album> albums;
    const QList<Tunedeck> all = allSongs(gen, slice, &albums);
    QCOMPARE(all.size(), songs);
    QVERIFY(gen.atEnd());
    QCOMPARE(gen.produced(), qint64(songs));

    // IDs run 1..n; each album's tracks run 1..k, with kFewestTracks to kMostTracks tracks except a
    // cut-off last album.
    QHash<qint32, int> tracks;
    for (int i = 0; i < all.size(); ++i) {
        const Tunedeck& s = all.at(i);
        QCOMPARE(s.ID, i + 1);
        QCOMPARE(s.TrackNumber, ++tracks[s.AlbumID]);
    }
    QCOMPARE(tracks.size(), albums.size());
    for (int a = 0; a < albums.size(); ++a) {
        QCOMPARE(albums.at(a).AlbumID, a + 1);
        const int n = tracks.value(albums.at(a).AlbumID);
        if (a + 1 < albums.size())
            QVERIFY2(n >= kFewestTracks && n <= kMostTracks, qPrintable(QString::number(n)));
        else
            QVERIFY(n >= 1 && n <= kMostTracks);
    }
}

void TestGenerator::sameSeedSameCatalogue()
{
    CatalogueGenerator a(3000, 7);
    CatalogueGenerator b(3000, 7);
    CatalogueGenerator c(3000, 8);
    const QList<Tunedeck> sa = allSongs(a, 1000);
    // A different slicing must not change the songs either.
    QVERIFY(sameSongs(sa, allSongs(b, 333)));
    QVERIFY(!sameSongs(sa, allSongs(c, 1000)));
}

void TestGenerator::valuesFitTheTable()
{
    CatalogueGenerator gen(20000);
    const TableDef& t = tableDef(TableId::Tunedeck);
    const QStringList& media = CatalogueGenerator::mediaNames();
    const int categories = int(CatalogueGenerator::categoryNames().size());
    Batch b;
    while (gen.nextBatch(b, 5000) > 0) {
        for (const Tunedeck& s : std::as_const(b.songs)) {
            const Row r = toRow(s);
            for (int f = 0; f < t.fieldCount(); ++f) {
                if (!t.field(f).isText())
                    continue;
                const QString v = r.at(f).toString();
                QVERIFY2(v.size() <= t.field(f).width, qPrintable(t.field(f).name + QLatin1String(": ") + v));
                QVERIFY2(!v.endsWith(QLatin1Char(' ')), qPrintable(t.field(f).name + QLatin1String(": ") + v));
            }
            // The stored row is the generated row: nothing for the storage layer to clip or fix.
            Row n = r;
            QCOMPARE(TableHandle::normalise(t, n), 0);
            QCOMPARE(n, r);
            QVERIFY(s.Time > 0);
            QVERIFY(s.ReleaseDate == 0 || isYearOnly(s.ReleaseDate) || dateFromDay(s.ReleaseDate).isValid());
            QVERIFY(s.LastPlayed == 0 || dateFromDay(s.LastPlayed).isValid());
            QVERIFY(s.CategoryID >= 0 && s.CategoryID <= categories);
            QVERIFY(media.contains(s.Media));
            QVERIFY(!s.Artist.isEmpty() && !s.Title.isEmpty() && !s.Album.isEmpty());
        }
    }
}

void TestGenerator::albumKeysUnique()
{
    CatalogueGenerator gen(60000);
    QList<Album> albums;
    allSongs(gen, 10000, &albums);
    QSet<QString> keys;
    QSet<QString> discIds;
    for (const Album& a : std::as_const(albums)) {
        const QString key = (a.Artist + QLatin1Char('\n') + a.Album).toCaseFolded();
        QVERIFY2(!keys.contains(key), qPrintable(a.Artist + QLatin1String(" / ") + a.Album));
        keys.insert(key);
        if (!a.CDIdentifier.isEmpty()) {
            QVERIFY2(!discIds.contains(a.CDIdentifier), qPrintable(a.CDIdentifier));
            discIds.insert(a.CDIdentifier);
        }
    }
    QVERIFY(albums.size() > 60000 / 20);
}

void TestGenerator::artistsForAMillion()
{
    const CatalogueGenerator gen(1000000);
    QVERIFY(gen.artistCount() >= 2000 && gen.artistCount() <= 6000);
    QVERIFY(QSet<QString>(gen.artists().begin(), gen.artists().end()).size() == gen.artistCount());
    for (const char* name : {"Sigur Rós", "Björk", "Motörhead", "Céline Dion"})
        QVERIFY2(gen.artists().contains(QString::fromUtf8(name)), name);
}

void TestGenerator::sparseFields()
{
    CatalogueGenerator gen(20000);
    const QList<Tunedeck> all = allSongs(gen, 10000);
    int chart = 0, bpm = 0, userKey = 0, notes = 0, otherComposer = 0;
    for (const Tunedeck& s : all) {
        chart += s.ChartNumber != 0;
        bpm += s.BeatsPerMinute != 0;
        userKey += !s.UserDefinedKeyField.isEmpty();
        notes += !s.Notes.isEmpty();
        otherComposer += s.Artist != s.Composer && !s.Composer.isEmpty();
    }
    const auto share = [&](int n) { return double(n) / all.size(); };
    QVERIFY2(share(chart) > 0.01 && share(chart) < 0.1, qPrintable(QString::number(share(chart))));
    QVERIFY2(share(bpm) > 0.02 && share(bpm) < 0.2, qPrintable(QString::number(share(bpm))));
    QVERIFY2(share(userKey) > 0.005 && share(userKey) < 0.1, qPrintable(QString::number(share(userKey))));
    QVERIFY2(share(notes) > 0.01 && share(notes) < 0.15, qPrintable(QString::number(share(notes))));
    QVERIFY(otherComposer > 0);
}

void TestGenerator::writersStoreTheSameRows()
{
    test::TempWorkspace ws;
    QVERIFY(ws.isValid());
    const QString layerDir = ws.file(QStringLiteral("layer"));
    const QString rawDir = ws.file(QStringLiteral("raw"));
    QVERIFY(QDir().mkpath(layerDir) && QDir().mkpath(rawDir));
    constexpr int kSongs = 700;
    {
        Messages messages;
        Database db(messages, layerDir);
        Table<Tunedeck> songs(db);
        CatalogueGenerator gen(kSongs);
        Batch b;
        while (gen.nextBatch(b, 250) > 0)
            QCOMPARE(addBatch(songs, nullptr, b), 0);
    }
    QString file;
    {
        Messages messages;
        Database db(messages, rawDir);
        TableUse use(db, TableId::Tunedeck);
        file = db.filePath(TableId::Tunedeck);
    }
    {
        RawSongInserter raw(file);
        QVERIFY2(raw.isOpen(), qPrintable(raw.errorText()));
        CatalogueGenerator gen(kSongs);
        Batch b;
        while (gen.nextBatch(b, 250) > 0)
            QCOMPARE(raw.insertBatch(b.songs), SQLITE_OK);
    }
    const QList<Row> viaLayer = storedSongs(layerDir);
    const QList<Row> viaSqlite = storedSongs(rawDir);
    QCOMPARE(viaLayer.size(), kSongs);
    QCOMPARE(viaSqlite.size(), kSongs);
    CatalogueGenerator gen(kSongs);
    const QList<Tunedeck> expected = allSongs(gen, kSongs);
    for (int i = 0; i < kSongs; ++i) {
        QCOMPARE(viaLayer.at(i), toRow(expected.at(i)));
        QCOMPARE(viaSqlite.at(i), viaLayer.at(i));
    }
}

void TestGenerator::catalogueWithAlbums()
{
    test::TempWorkspace ws;
    QString why;
    QCOMPARE(writeCatalogue(ws.path(), 2500, kDefaultSeed, 400, &why), 0);
    QVERIFY2(why.isEmpty(), qPrintable(why));

    CatalogueGenerator gen(2500);
    QList<Album> albums;
    allSongs(gen, 2500, &albums);

    Messages messages;
    Database db(messages, ws.path());
    Table<Tunedeck> songs(db);
    Table<Album> album(db);
    Table<Categories> categories(db);
    Table<Media> media(db);
    QCOMPARE(songs.records(), qint64(2500));
    QCOMPARE(album.records(), qint64(albums.size()));
    QCOMPARE(categories.records(), qint64(CatalogueGenerator::categoryNames().size()));
    QCOMPARE(media.records(), qint64(CatalogueGenerator::mediaNames().size()));

    // The last album is stored whole, with the length of its tracks.
    album.rec.AlbumID = albums.last().AlbumID;
    QCOMPARE(album.get(album.key(QStringLiteral("KeyAlbumID"))), 0);
    QCOMPARE(album.rec.Album, albums.last().Album);
    QCOMPARE(album.rec.TotalTime, albums.last().TotalTime);
}

QTEST_GUILESS_MAIN(TestGenerator)
#include "tst_generator.moc"

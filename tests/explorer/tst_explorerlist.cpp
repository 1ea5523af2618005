// The explorer list's orders: a header click orders ascending and a second one reverses, text
// ignoring case, dates by their value; a column the table does not hold refuses; the highlight
// stays on its record through a reorder; the locator reads the order column's own format, also
// backwards. The CD player's tracks: one album's songs, in track order until a column is clicked.

#include "TestDb.h"

#include "core/DayTime.h"
#include "data/Errors.h"
#include "data/Records.h"
#include "data/WriteIntent.h"
#include "explorer/ExplorerColumns.h"
#include "explorer/ExplorerList.h"

#include <QtTest>
#include <sqlite3.h>

using namespace td;
using namespace td::test;

namespace {

constexpr int kArtist = 0;
constexpr int kTitle = 1;
constexpr int kCategory = 5;
constexpr int kRelease = 7;

QStringList shownTitles(ExplorerList& list)
{
    const int title = list.def().fieldIndex(QStringLiteral("Title"));
    QStringList out;
    if (list.first() != 0)
        return {QStringLiteral("read failed")};
    for (int guard = 0; guard < 100; ++guard) {
        for (const PageRow& r : list.rows())
            if (!out.contains(r.row.at(title).toString()))
                out << r.row.at(title).toString();
        if (list.atBottom())
            break;
        if (list.pageDown() != 0)
            return {QStringLiteral("read failed")};
    }
    return out;
}

QString highlightedTitle(ExplorerList& list)
{
    const int h = list.highlight();
    return h < 0 ? QString() : list.rows().at(h).row.at(list.def().fieldIndex(QStringLiteral("Title"))).toString();
}

} // namespace

class TstExplorerList : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDb> env_;

private slots:
    void init()
    {
        env_ = std::make_unique<TestDb>();
        Table<Tunedeck> t(env_->db);
        struct S { const char* artist; const char* title; int y, m, d; };
        const S songs[] = {{"beta", "delta", 2001, 12, 31}, {"Alpha", "Echo", 1999, 1, 5},
                           {"alpha", "charlie", 2010, 6, 15}, {"Gamma", "Bravo", 0, 0, 0},
                           {"delta", "alpha", 1999, 12, 1}, {"Epsilon", "Foxtrot", 2001, 1, 1},
                           {"zeta", "Golf", 1850, 2, 2}};
        int id = 0;
        for (const S& s : songs) {
            t.clear();
            t.rec.ID = ++id;
            t.rec.Artist = QLatin1String(s.artist);
            t.rec.Title = QLatin1String(s.title);
            t.rec.ReleaseDate = s.y ? dayFromYmd(s.y, s.m, s.d) : 0;
            QCOMPARE(t.add(), 0);
        }
    }
    void cleanup() { env_.reset(); }

    void clicksOrder_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<bool>("ahead");
        const QStringList byTitle{"alpha", "Bravo", "charlie", "delta", "Echo", "Foxtrot", "Golf"};
        QStringList byTitleDown = byTitle;
        std::reverse(byTitleDown.begin(), byTitleDown.end());
        const QStringList byDate{"Bravo", "Golf", "Echo", "alpha", "Foxtrot", "delta", "charlie"};
        QStringList byDateDown = byDate;
        std::reverse(byDateDown.begin(), byDateDown.end());
        QTest::newRow("title once") << QList<int>{kTitle} << false << byTitle << false;
        QTest::newRow("title twice") << QList<int>{kTitle, kTitle} << true << byTitleDown << false;
        QTest::newRow("title twice then artist")
            << QList<int>{kTitle, kTitle, kArtist} << false
            << QStringList{"Echo", "charlie", "delta", "alpha", "Foxtrot", "Bravo", "Golf"} << false;
        QTest::newRow("release by value") << QList<int>{kRelease} << false << byDate << false;
        QTest::newRow("release twice") << QList<int>{kRelease, kRelease} << true << byDateDown << false;
        QTest::newRow("release three times") << QList<int>{kRelease, kRelease, kRelease} << false << byDate << false;
        QTest::newRow("category refuses, order stays") << QList<int>{kTitle, kCategory} << false << byTitle << false;
        // The same orders through the indexes made ahead in the background by another connection.
        QTest::newRow("title twice, made ahead") << QList<int>{kTitle, kTitle} << true << byTitleDown << true;
        QTest::newRow("release by value, made ahead") << QList<int>{kRelease} << false << byDate << true;
    }
    void clicksOrder()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(bool, descending);
        QFETCH(QStringList, titles);
        QFETCH(bool, ahead);
        ExplorerList list(env_->db, ExplorerKind::Songs);
        if (ahead) {
            list.buildIndexesAhead();
            QVERIFY(list.waitForIndexes(5000));
            QVERIFY(list.isIndexed(list.columnKey(kTitle)));
        }
        list.setPageSize(3);
        QCOMPARE(list.first(), 0);
        for (int c : clicks)
            QCOMPARE(list.orderByClick(c), explorerColumns(ExplorerKind::Songs).at(c).orderable ? 0 : int(InvalidRecord));
        QCOMPARE(list.descending(), descending);
        QCOMPARE(shownTitles(list), titles);
        // Backwards from the end the same rows come in reverse.
        QCOMPARE(list.last(), 0);
        QCOMPARE(highlightedTitle(list), titles.last());
    }

    void highlightStaysThroughReorder()
    {
        ExplorerList list(env_->db, ExplorerKind::Songs);
        list.setPageSize(3);
        QCOMPARE(list.orderByClick(kTitle), 0);
        QCOMPARE(list.moveHighlight(4), 0);
        QCOMPARE(highlightedTitle(list), QStringLiteral("Echo"));
        QCOMPARE(list.orderByClick(kRelease), 0);
        QCOMPARE(list.orderByClick(kRelease), 0);
        QCOMPARE(highlightedTitle(list), QStringLiteral("Echo"));
        QCOMPARE(list.orderBy(-1, false), 0);
        QCOMPARE(highlightedTitle(list), QStringLiteral("Echo"));
    }

    // Another program holds the song file for writing: the order cannot make its index now, and the
    // list is still read in that order.
    // With the indexes made in the background, they come once the file is free again.
    void ordersWithoutItsIndex_data()
    {
        QTest::addColumn<bool>("ahead");
        QTest::newRow("made at the click") << false;
        QTest::newRow("made ahead") << true;
    }
    void ordersWithoutItsIndex()
    {
        QFETCH(bool, ahead);
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(env_->db.filePath(TableId::Tunedeck).toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        ExplorerList list(env_->db, ExplorerKind::Songs);
        list.setPageSize(3);
        if (ahead)
            list.buildIndexesAhead();
        QCOMPARE(list.orderByClick(kTitle), 0);
        QCOMPARE(shownTitles(list), (QStringList{"alpha", "Bravo", "charlie", "delta", "Echo", "Foxtrot", "Golf"}));
        QVERIFY(!list.isIndexed(list.columnKey(kTitle)));
        // Without the index the thumb reads no ends: 0 on the first row, 100 on the last, the middle
        // between.
        QCOMPARE(list.first(), 0);
        QCOMPARE(list.thumb(), 0);
        QCOMPARE(list.moveHighlight(2), 0);
        QCOMPARE(highlightedTitle(list), QStringLiteral("charlie"));
        QCOMPARE(list.thumb(), 50);
        QCOMPARE(list.last(), 0);
        QCOMPARE(list.thumb(), 100);
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        if (ahead) {
            QVERIFY(list.waitForIndexes(10000));
            QVERIFY(list.isIndexed(list.columnKey(kTitle)));
            QCOMPARE(shownTitles(list), (QStringList{"alpha", "Bravo", "charlie", "delta", "Echo", "Foxtrot", "Golf"}));
            // With the index there, the estimate is the one a list ordered through it from the start gives.
            ExplorerList indexed(env_->db, ExplorerKind::Songs);
            indexed.setPageSize(3);
            for (ExplorerList* l : {&list, &indexed}) {
                if (l == &indexed)
                    QCOMPARE(l->orderByClick(kTitle), 0);
                QCOMPARE(l->first(), 0);
                QCOMPARE(l->moveHighlight(2), 0);
            }
            QCOMPARE(highlightedTitle(indexed), QStringLiteral("charlie"));
            QVERIFY(indexed.thumb() > 0 && indexed.thumb() < 50);
            QCOMPARE(list.thumb(), indexed.thumb());
        }
    }

    // While a writer of the program waits for a data file no index is made: the writer would wait
    // for all of it.
    void indexesMadeAheadGiveWay()
    {
        ExplorerList list(env_->db, ExplorerKind::Songs);
        {
            const WriteIntent waiting;
            list.buildIndexesAhead();
            QVERIFY(!list.waitForIndexes(400));
            QVERIFY(!list.isIndexed(list.columnKey(kTitle)));
        }
        QVERIFY(list.waitForIndexes(5000));
        QVERIFY(list.isIndexed(list.columnKey(kTitle)));
    }

    void locator_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::newRow("date up") << kRelease << false << "@d2" << "06/01/1999" << "alpha";
        QTest::newRow("date down") << kRelease << true << "@d2" << "06/01/1999" << "Echo";
        QTest::newRow("date down, exact") << kRelease << true << "@d2" << "01/01/2001" << "Foxtrot";
        QTest::newRow("date in another format") << kRelease << false << "@d6" << "1/1/2001" << "Foxtrot";
        QTest::newRow("text up, any case") << kTitle << false << "@s40" << "d" << "delta";
        QTest::newRow("text down") << kTitle << true << "@s40" << "d" << "charlie";
        QTest::newRow("past the end") << kTitle << false << "@s40" << "zz" << "Golf";
        QTest::newRow("unreadable date moves nothing") << kRelease << false << "@d2" << "13/45/x" << "Bravo";
    }
    void locator()
    {
        QFETCH(int, column);
        QFETCH(bool, descending);
        QFETCH(QString, picture);
        QFETCH(QString, typed);
        QFETCH(QString, title);
        ExplorerList list(env_->db, ExplorerKind::Songs);
        list.setPageSize(3);
        QCOMPARE(list.orderBy(column, descending), 0);
        QCOMPARE(list.first(), 0);
        const int rc = list.locate(typed, picture);
        QVERIFY(rc == 0 || rc == InvalidRecord);
        QCOMPARE(highlightedTitle(list), title);
    }

    void markersAndRefusal()
    {
        QCOMPARE(markedHeader(QStringLiteral("Title"), true), QStringLiteral("<Title"));
        QCOMPARE(markedHeader(QStringLiteral("<Title"), false), QStringLiteral(">Title"));
        QCOMPARE(unmarkedHeader(QStringLiteral(">Title")), QStringLiteral("Title"));
        QCOMPARE(unmarkedHeader(QStringLiteral("Title")), QStringLiteral("Title"));
        QCOMPARE(explorerOrderRefusal(QStringLiteral("Category  "), QStringLiteral("CAT:Category ")),
                 QStringLiteral("Data cannot be ordered on column: Category (CAT:Category)"));
    }

    void albumsOrderEveryColumn()
    {
        {
            Table<Album> a(env_->db);
            for (int i = 1; i <= 3; ++i) {
                a.clear();
                a.rec.AlbumID = i;
                a.rec.Album = QStringLiteral("Album %1").arg(4 - i);
                a.rec.Artist = QStringLiteral("Artist %1").arg(i);
                QCOMPARE(a.add(), 0);
            }
        }
        ExplorerList list(env_->db, ExplorerKind::Albums);
        const int album = list.def().fieldIndex(QStringLiteral("Album"));
        for (int c = 0; c < explorerColumns(ExplorerKind::Albums).size(); ++c)
            QCOMPARE(list.orderByClick(c), 0);
        QCOMPARE(list.orderByClick(1), 0);
        QCOMPARE(list.orderByClick(1), 0);
        QCOMPARE(list.first(), 0);
        QCOMPARE(list.rows().first().row.at(album).toString(), QStringLiteral("Album 1"));
    }

    void albumTracksOrder_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("titles");
        // Track 10 comes after track 3: numbers order by value.
        QTest::newRow("track order to start") << QList<int>{} << QStringList{"Golf", "alpha", "Echo", "Bravo"};
        QTest::newRow("track twice") << QList<int>{0, 0} << QStringList{"Bravo", "Echo", "alpha", "Golf"};
        QTest::newRow("time") << QList<int>{1} << QStringList{"Echo", "Bravo", "Golf", "alpha"};
        QTest::newRow("title") << QList<int>{2} << QStringList{"alpha", "Bravo", "Echo", "Golf"};
        QTest::newRow("artist twice") << QList<int>{3, 3} << QStringList{"Bravo", "Golf", "Echo", "alpha"};
    }
    void albumTracksOrder()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, titles);
        {
            Table<Tunedeck> t(env_->db);
            struct S { int album, track, time; const char* artist; const char* title; };
            const S songs[] = {{7, 3, 100, "c", "Echo"}, {8, 1, 50, "a", "Other album"}, {7, 10, 150, "e", "Bravo"},
                               {7, 1, 200, "d", "Golf"}, {7, 2, 400, "b", "alpha"}};
            int id = 100;
            for (const S& s : songs) {
                t.clear();
                t.rec.ID = ++id;
                t.rec.AlbumID = s.album;
                t.rec.TrackNumber = s.track;
                t.rec.Time = s.time;
                t.rec.Artist = QLatin1String(s.artist);
                t.rec.Title = QLatin1String(s.title);
                QCOMPARE(t.add(), 0);
            }
        }
        ExplorerList list(env_->db, ExplorerKind::CdTracks);
        list.setPageSize(3);
        list.setCondition(QStringLiteral("\"Tunedeck\".\"AlbumID\" = ?"), {7});
        for (int c : clicks)
            QCOMPARE(list.orderByClick(c), 0);
        QCOMPARE(shownTitles(list), titles);
        QCOMPARE(list.last(), 0);
        QCOMPARE(highlightedTitle(list), titles.last());
        // One album's tracks are sorted as they are read: no column index is made for them.
        for (int c : clicks)
            QVERIFY(!list.isIndexed(list.columnKey(c)));
    }
};

QTEST_GUILESS_MAIN(TstExplorerList)
#include "tst_explorerlist.moc"

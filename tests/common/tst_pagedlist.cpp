// The paged list: page fill at both ends, paging and scrolling without gaps or repeats, the locator,
// the highlight kept across rebuilds and changes of order, ranges and filters, and the thumb estimate.

#include "ScriptedMessages.h"
#include "TestDb.h"
#include "TempWorkspace.h"

#include "common/PagedList.h"
#include "data/Database.h"
#include "data/TableHandle.h"

#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

QStringList titles(const PagedList& list)
{
    QStringList out;
    for (const PageRow& r : list.rows())
        out << r.row.at(tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("Title"))).toString();
    return out;
}

QString highlightedTitle(const PagedList& list)
{
    const PageRow* h = list.highlighted();
    return h ? h->row.at(tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("Title"))).toString() : QString();
}

QString title(int i)
{
    return QStringLiteral("T%1").arg(i, 3, 10, QLatin1Char('0'));
}

} // namespace

class TstPagedList : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDb> env_;
    TempWorkspace* ws_ = nullptr;
    Messages* messages_ = nullptr;
    Database* db_ = nullptr;
    std::unique_ptr<Table<Tunedeck>> songs_;
    int byTitle_ = -1;

    // n songs titled T000.. with IDs 1..n, added in a shuffled order so positions do not follow keys.
    void addSongs(int n)
    {
        QList<int> order;
        for (int i = 0; i < n; ++i)
            order << (i * 7) % n;
        if (n % 7 == 0)
            for (int i = 0; i < n; ++i)
                order[i] = n - 1 - i;
        for (int i : order) {
            songs_->clear();
            songs_->rec.Title = title(i);
            songs_->rec.Artist = QStringLiteral("Artist %1").arg(i % 5);
            songs_->rec.Media = i % 3 == 0 ? QStringLiteral("CD") : QStringLiteral("LP");
            songs_->rec.ChartNumber = i % 4 == 0 ? 0 : i;
            songs_->rec.ID = i + 1;
            QCOMPARE(songs_->add(), 0);
        }
    }

    QStringList expected(int from, int count)
    {
        QStringList out;
        for (int i = from; i < from + count; ++i)
            out << title(i);
        return out;
    }

private slots:
    void init()
    {
        env_ = std::make_unique<TestDb>();
        ws_ = &env_->ws;
        messages_ = &env_->messages;
        db_ = &env_->db;
        songs_ = std::make_unique<Table<Tunedeck>>(*db_);
        byTitle_ = songs_->key(QStringLiteral("MUS:SongsByTitle"));
    }
    void cleanup()
    {
        songs_.reset();
        env_.reset();
    }

    void emptyTable()
    {
        PagedList list(*songs_);
        list.setOrder(byTitle_);
        QCOMPARE(list.first(), 0);
        QVERIFY(list.isEmpty());
        QCOMPARE(list.highlight(), -1);
        QCOMPARE(list.pageDown(), 0);
        QCOMPARE(list.last(), 0);
        QCOMPARE(list.locate({QStringLiteral("x")}), 0);
        QCOMPARE(list.moveHighlight(3), 0);
        QCOMPARE(list.rebuild(), 0);
        QVERIFY(list.isEmpty());
        QCOMPARE(list.thumb(), 0);
    }

    void pagingCoversEveryRowOnce_data()
    {
        QTest::addColumn<int>("songs");
        QTest::addColumn<int>("pageSize");
        QTest::newRow("exact pages") << 30 << 10;
        QTest::newRow("short last page") << 25 << 10;
        QTest::newRow("fewer than a page") << 4 << 10;
        QTest::newRow("one row pages") << 5 << 1;
    }
    void pagingCoversEveryRowOnce()
    {
        QFETCH(int, songs);
        QFETCH(int, pageSize);
        addSongs(songs);
        PagedList list(*songs_);
        list.setOrder(byTitle_);
        list.setPageSize(pageSize);
        QCOMPARE(list.first(), 0);
        QVERIFY(list.atTop());
        QCOMPARE(list.highlight(), 0);
        // Page down until the end: the pages, cut where they overlap, give every row once.
        QStringList seen = titles(list);
        for (int guard = 0; !list.atBottom() && guard < 100; ++guard) {
            const QString lastSeen = seen.last();
            QCOMPARE(list.pageDown(), 0);
            const QStringList page = titles(list);
            QCOMPARE(page.size(), qMin(pageSize, songs));
            seen << page.mid(page.indexOf(lastSeen) + 1);
        }
        QCOMPARE(seen, expected(0, songs));
        // The last page is a full one.
        QCOMPARE(titles(list), expected(songs - qMin(pageSize, songs), qMin(pageSize, songs)));
        // And back up again.
        for (int guard = 0; !list.atTop() && guard < 100; ++guard)
            QCOMPARE(list.pageUp(), 0);
        QCOMPARE(titles(list), expected(0, qMin(pageSize, songs)));

        QCOMPARE(list.last(), 0);
        QVERIFY(list.atBottom());
        QCOMPARE(highlightedTitle(list), title(songs - 1));
        QCOMPARE(titles(list), expected(songs - qMin(pageSize, songs), qMin(pageSize, songs)));
    }

    void pageDownKeepsHighlightPlace()
    {
        addSongs(35);
        PagedList list(*songs_);
        list.setOrder(byTitle_);
        list.setPageSize(10);
        list.first();
        list.setHighlight(3);
        QCOMPARE(list.pageDown(), 0);
        QCOMPARE(highlightedTitle(list), title(13));
        QCOMPARE(list.pageDown(), 0);
        QCOMPARE(highlightedTitle(list), title(23));
        // The last page holds T025..T034: the highlight moves on by a page as far as it goes.
        QCOMPARE(list.pageDown(), 0);
        QCOMPARE(titles(list), expected(25, 10));
        QCOMPARE(highlightedTitle(list), title(33));
        QCOMPARE(list.pageDown(), 0);
        QCOMPARE(highlightedTitle(list), title(34));
        QCOMPARE(list.pageUp(), 0);
        QCOMPARE(titles(list), expected(15, 10));
    }

    void arrowKeysScrollOneRow()
    {
        addSongs(20);
        PagedList list(*songs_);
        list.setOrder(byTitle_);
        list.setPageSize(5);
        list.first();
        QCOMPARE(list.moveHighlight(4), 0);
        QCOMPARE(highlightedTitle(list), title(4));
        QCOMPARE(titles(list), expected(0, 5));
        QCOMPARE(list.moveHighlight(1), 0);
        QCOMPARE(highlightedTitle(list), title(5));
        QCOMPARE(titles(list), expected(1, 5));
        QCOMPARE(list.moveHighlight(7), 0);
        QCOMPARE(highlightedTitle(list), title(12));
        QCOMPARE(titles(list), expected(8, 5));
        QCOMPARE(list.moveHighlight(100), 0);
        QCOMPARE(highlightedTitle(list), title(19));
        QVERIFY(list.atBottom());
        QCOMPARE(list.moveHighlight(-6), 0);
        QCOMPARE(highlightedTitle(list), title(13));
        QCOMPARE(titles(list), expected(13, 5));
        QCOMPARE(list.lineUp(), 0);
        QCOMPARE(titles(list), expected(12, 5));
        QCOMPARE(highlightedTitle(list), title(13));
        QCOMPARE(list.lineDown(), 0);
        QCOMPARE(titles(list), expected(13, 5));
        QCOMPARE(list.moveHighlight(-100), 0);
        QCOMPARE(highlightedTitle(list), title(0));
        QVERIFY(list.atTop());
    }

    void locator_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("highlighted");
        QTest::addColumn<QString>("firstOnPage");
        QTest::newRow("exact") << "T010" << "T010" << "T010";
        QTest::newRow("prefix, letter case ignored") << "t01" << "T010" << "T010";
        QTest::newRow("between two titles") << "T0105" << "T011" << "T011";
        QTest::newRow("near the end fills the page") << "T027" << "T027" << "T020";
        QTest::newRow("after the last") << "zzz" << "T029" << "T020";
        QTest::newRow("empty text: the first") << "" << "T000" << "T000";
    }
    void locator()
    {
        QFETCH(QString, text);
        QFETCH(QString, highlighted);
        QFETCH(QString, firstOnPage);
        addSongs(30);
        PagedList list(*songs_);
        list.setOrder(byTitle_);
        list.setPageSize(10);
        QCOMPARE(list.locate({text}), 0);
        QCOMPARE(highlightedTitle(list), highlighted);
        QCOMPARE(titles(list).first(), firstOnPage);
        QCOMPARE(list.rowCount(), 10);
    }

    void rebuildKeepsTheHighlightedSong()
    {
        addSongs(30);
        PagedList list(*songs_);
        list.setOrder(byTitle_);
        list.setPageSize(10);
        list.locate({QStringLiteral("T012")});
        list.setHighlight(4);
        QCOMPARE(highlightedTitle(list), title(16));

        // New songs before it: the same song stays highlighted at the same place.
        for (const char* t : {"A1", "A2", "T0125"}) {
            songs_->clear();
            songs_->rec.Title = QString::fromLatin1(t);
            QCOMPARE(songs_->add(), 0);
        }
        QCOMPARE(list.rebuild(), 0);
        QCOMPARE(highlightedTitle(list), title(16));
        QCOMPARE(list.highlight(), 4);

        // The highlighted song deleted: the one after it.
        QCOMPARE(songs_->fetch(list.highlightedPosition()), 0);
        QCOMPARE(songs_->del(), 0);
        QCOMPARE(list.rebuild(), 0);
        QCOMPARE(highlightedTitle(list), title(17));
        QCOMPARE(list.highlight(), 4);

        // Near the top there are not enough rows before it to keep its place.
        list.first();
        list.setHighlight(1);
        QCOMPARE(songs_->fetch(list.rows().first().position), 0);
        QCOMPARE(songs_->del(), 0);
        QCOMPARE(list.rebuild(), 0);
        QCOMPARE(highlightedTitle(list), QStringLiteral("A2"));
        QCOMPARE(list.highlight(), 0);
        QCOMPARE(list.rowCount(), 10);

        // The last row deleted while highlighted: the one before it.
        list.last();
        QCOMPARE(songs_->fetch(list.highlightedPosition()), 0);
        QCOMPARE(songs_->del(), 0);
        QCOMPARE(list.rebuild(), 0);
        QCOMPARE(highlightedTitle(list), title(28));
    }

    void songKeptAcrossChangeOfOrder()
    {
        addSongs(30);
        PagedList list(*songs_);
        list.setOrder(byTitle_);
        list.setPageSize(10);
        list.locate({QStringLiteral("T013")});
        const PageRow keep = *list.highlighted();

        // By chart number (an optional key): T013 has chart 13.
        list.setOrder(songs_->key(QStringLiteral("MUS:SongsByChartNumber")));
        QCOMPARE(list.rebuildAt(keep.row, keep.position, 2), 0);
        QCOMPARE(list.highlightedPosition(), keep.position);
        QCOMPARE(list.highlight(), 2);
        // Chart 0 songs are not in that key.
        for (const QString& t : titles(list))
            QVERIFY2(t.mid(1).toInt() % 4 != 0, qPrintable(t));

        // T012 has chart 0: the nearest song after it (chart 0 sorts first), the first of the key.
        list.setOrder(byTitle_);
        list.locate({QStringLiteral("T012")});
        const PageRow gone = *list.highlighted();
        list.setOrder(songs_->key(QStringLiteral("MUS:SongsByChartNumber")));
        QCOMPARE(list.rebuildAt(gone.row, gone.position, 0), 0);
        QCOMPARE(highlightedTitle(list), title(1));

        // After a change the song is found by its new key values.
        list.setOrder(byTitle_);
        list.first();
        QCOMPARE(songs_->fetch(list.rows().at(2).position), 0);
        songs_->rec.Title = QStringLiteral("ZZ top");
        QCOMPARE(songs_->put(), 0);
        QCOMPARE(list.showPosition(songs_->position(), 2), 0);
        QCOMPARE(highlightedTitle(list), QStringLiteral("ZZ top"));
        QVERIFY(list.atBottom());
    }

    void rangeAndFilter()
    {
        addSongs(30);
        PagedList list(*songs_);
        const int byMedia = songs_->key(QStringLiteral("MUS:SongsByMedia"));
        // The media range compares as the key does: "cd" finds the songs stored as "CD".
        list.setOrder(byMedia, {QStringLiteral("cd")});
        list.setCondition(QStringLiteral("\"Media\" = ?"), {QStringLiteral("cd")});
        list.setPageSize(100);
        QCOMPARE(list.first(), 0);
        QCOMPARE(list.rowCount(), 10);
        // The locator of that tab starts after the fixed media name.
        list.setPageSize(3);
        QCOMPARE(list.locate({QString()}), 0);
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(list.last(), 0);
        QCOMPARE(highlightedTitle(list), title(27));

        list.setOrder(byTitle_);
        list.setCondition(QStringLiteral("\"ChartNumber\" > ?"), {20});
        list.setPageSize(5);
        QCOMPARE(list.first(), 0);
        QCOMPARE(titles(list), QStringList({title(21), title(22), title(23), title(25), title(26)}));
        QCOMPARE(list.pageDown(), 0);
        QCOMPARE(titles(list), QStringList({title(23), title(25), title(26), title(27), title(29)}));

        // A condition that does not compile is an error; the page stays as it was.
        list.setCondition(QStringLiteral("no_such_column = 1"));
        QVERIFY(list.first() != 0);
        QVERIFY(list.lastError() != 0);
        QCOMPARE(list.rowCount(), 5);
    }

    // A kept song outside the condition's key range goes straight to the range's nearest end: the
    // same page and highlight as walking there, on the plain order and inside a fixed range.
    void keptSongOutsideTheKeyRange_data()
    {
        QTest::addColumn<int>("kept");
        QTest::addColumn<int>("place");
        QTest::addColumn<bool>("byMedia");
        QTest::newRow("before the range") << 2 << 3 << false;
        QTest::newRow("inside the range") << 14 << 2 << false;
        QTest::newRow("first of the range") << 10 << 4 << false;
        QTest::newRow("just past the range") << 20 << 1 << false;
        QTest::newRow("far after the range") << 39 << 4 << false;
        QTest::newRow("after the range, fixed media") << 33 << 2 << true;
        QTest::newRow("before the range, fixed media") << 3 << 0 << true;
    }
    void keptSongOutsideTheKeyRange()
    {
        QFETCH(int, kept);
        QFETCH(int, place);
        QFETCH(bool, byMedia);
        addSongs(40);
        const int key = byMedia ? songs_->key(QStringLiteral("MUS:SongsByMedia")) : byTitle_;
        const Row fixed = byMedia ? Row { QStringLiteral("cd") } : Row();
        // Titles T010 up to (not including) T020, written as the search writes a "Begins With" range.
        const QString range = byMedia
            ? QStringLiteral("\"Media\" = ? AND \"FileNumber\" >= ? AND \"FileNumber\" < ?")
            : QStringLiteral("\"Title\" >= ? AND \"Title\" < ?");
        QVariantList params { QStringLiteral("t01"), QStringLiteral("T02") };
        if (byMedia) {
            // On "By Media" the field after the media is the file number: numbered like the titles.
            for (int i = 0; i < 40; ++i) {
                songs_->clear();
                songs_->rec.ID = i + 1;
                QCOMPARE(songs_->get(songs_->key(QStringLiteral("MUS:KeyID"))), 0);
                songs_->rec.FileNumber = title(i);
                QCOMPARE(songs_->put(), 0);
            }
            params.prepend(QStringLiteral("CD"));
        }
        Table<Tunedeck> keptSong(*db_);
        keptSong.rec.ID = kept + 1;
        QCOMPARE(keptSong.get(keptSong.key(QStringLiteral("MUS:KeyID"))), 0);

        PagedList walking(*songs_);
        PagedList hinted(*songs_);
        for (PagedList* l : { &walking, &hinted }) {
            l->setOrder(key, fixed);
            l->setPageSize(6);
        }
        walking.setCondition(range, params);
        hinted.setCondition(range, params, KeyRange { QStringLiteral("t01"), QStringLiteral("T02") });
        QCOMPARE(walking.rebuildAt(keptSong.row(), keptSong.position(), place), 0);
        QCOMPARE(hinted.rebuildAt(keptSong.row(), keptSong.position(), place), 0);
        QVERIFY(!walking.isEmpty());
        QCOMPARE(titles(hinted), titles(walking));
        QCOMPARE(hinted.highlight(), walking.highlight());
        QCOMPARE(hinted.atTop(), walking.atTop());
        QCOMPARE(hinted.atBottom(), walking.atBottom());
        // Only songs of the range, and on the range's edge when the kept song lies outside it.
        for (const QString& t : titles(hinted))
            QVERIFY2(t >= QLatin1String("T010") && t < QLatin1String("T020"), qPrintable(t));
        if (kept < 10)
            QCOMPARE(hinted.highlight(), 0);
        else if (kept >= 20)
            QCOMPARE(highlightedTitle(hinted), byMedia ? title(18) : title(19));
    }

    void fixedRangeStaysInsideItself()
    {
        addSongs(30);   // every third song on CD (titles T000, T003, ... T027), the rest on LP
        PagedList list(*songs_);
        list.setOrder(songs_->key(QStringLiteral("MUS:SongsByMedia")), {QStringLiteral("CD")});
        list.setCondition(QStringLiteral("\"Media\" = ?"), {QStringLiteral("CD")});
        list.setPageSize(4);
        QCOMPARE(list.first(), 0);
        QStringList seen = titles(list);
        for (int guard = 0; !list.atBottom() && guard < 20; ++guard) {
            const QString lastSeen = seen.last();
            QCOMPARE(list.pageDown(), 0);
            seen << titles(list).mid(titles(list).indexOf(lastSeen) + 1);
        }
        QCOMPARE(seen.size(), 10);
        QCOMPARE(titles(list), QStringList({title(18), title(21), title(24), title(27)}));
        QCOMPARE(list.moveHighlight(5), 0);
        QCOMPARE(highlightedTitle(list), title(27));

        // A song of another media (after the CD range, before it): the nearest end of the range.
        Tunedeck lp;
        lp.Media = QStringLiteral("LP");
        lp.Title = title(1);
        QCOMPARE(list.rebuildAt(toRow(lp), 1, 0), 0);
        QCOMPARE(highlightedTitle(list), title(27));
        lp.Media = QStringLiteral("AA");
        QCOMPARE(list.rebuildAt(toRow(lp), 1, 0), 0);
        QCOMPARE(highlightedTitle(list), title(0));
        // The locator of that tab starts at the fixed media: a file number after every one there.
        QCOMPARE(list.locate({QStringLiteral("zzz")}), 0);
        QCOMPARE(highlightedTitle(list), title(27));
    }

    void thumbFollowsTheKey()
    {
        // Chart numbers 1..101 (no zeros): the thumb is the chart number's place between them.
        for (int i = 1; i <= 101; ++i) {
            songs_->clear();
            songs_->rec.ChartNumber = i;
            songs_->rec.Title = title(i);
            QCOMPARE(songs_->add(), 0);
        }
        PagedList list(*songs_);
        list.setOrder(songs_->key(QStringLiteral("MUS:SongsByChartNumber")));
        list.setPageSize(10);
        list.first();
        QCOMPARE(list.thumb(), 0);
        list.locate({51});
        QCOMPARE(list.thumb(), 50);
        list.locate({26});
        QCOMPARE(list.thumb(), 25);
        list.last();
        QCOMPARE(list.thumb(), 100);
        QCOMPARE(list.locateThumb(75), 0);
        QCOMPARE(highlightedTitle(list), title(76));
        QCOMPARE(list.locateThumb(0), 0);
        QCOMPARE(highlightedTitle(list), title(1));
    }

    void keyFraction_data()
    {
        QTest::addColumn<QString>("lo");
        QTest::addColumn<QString>("hi");
        QTest::addColumn<QString>("v");
        QTest::addColumn<double>("fraction");
        QTest::newRow("first") << "Abba" << "Zappa" << "Abba" << 0.0;
        QTest::newRow("last") << "Abba" << "Zappa" << "zappa" << 1.0;
        QTest::newRow("middle letter") << "A" << "Y" << "M" << 0.5;
        QTest::newRow("common prefix skipped") << "The Beatles" << "The Who" << "The Kinks" << 0.428;
        QTest::newRow("letter case ignored") << "a" << "y" << "M" << 0.5;
        QTest::newRow("before the first") << "B" << "Y" << "A" << 0.0;
        QTest::newRow("after the last") << "B" << "Y" << "Z" << 1.0;
        QTest::newRow("same ends") << "B" << "b" << "B" << 0.0;
    }
    void keyFraction()
    {
        QFETCH(QString, lo);
        QFETCH(QString, hi);
        QFETCH(QString, v);
        QFETCH(double, fraction);
        const TableDef& def = tableDef(TableId::Tunedeck);
        const int key = def.keyIndex(QStringLiteral("SongsByTitle"));
        const double f = PagedList::keyFraction(def, key, {lo, QString()}, {hi, QString()}, {v, QString()});
        QVERIFY2(qAbs(f - fraction) < 0.02, qPrintable(QString::number(f)));
        // The way back lands on a text that sorts where the fraction says.
        const Row at = PagedList::keyAtFraction(def, key, {lo, QString()}, {hi, QString()}, f);
        QVERIFY(!at.isEmpty());
        const double again = PagedList::keyFraction(def, key, {lo, QString()}, {hi, QString()}, at);
        QVERIFY2(qAbs(again - f) < 0.02, qPrintable(at.first().toString()));
    }

    void thumbOnTheSecondKeyField()
    {
        // One media fixed: the estimate works on the file number.
        for (int i = 0; i < 50; ++i) {
            songs_->clear();
            songs_->rec.Media = QStringLiteral("CD");
            songs_->rec.FileNumber = QStringLiteral("%1").arg(QChar(QLatin1Char('A' + i / 2)));
            songs_->rec.Title = title(i);
            QCOMPARE(songs_->add(), 0);
        }
        PagedList list(*songs_);
        list.setOrder(songs_->key(QStringLiteral("MUS:SongsByMedia")), {QStringLiteral("CD")});
        list.setCondition(QStringLiteral("\"Media\" = ?"), {QStringLiteral("CD")});
        list.setPageSize(5);
        list.locate({QStringLiteral("M")});
        QCOMPARE(highlightedTitle(list), title(24));
        QCOMPARE(list.thumb(), 50);
    }
};

QTEST_GUILESS_MAIN(TstPagedList)
#include "tst_pagedlist.moc"

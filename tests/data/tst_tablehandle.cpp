// Table handles: buffer, positions, keyset reading across equal keys, concurrent-change detection,
// use counts and transactions.

#include "DataTestUtil.h"
#include "TestDb.h"
#include "ScriptedMessages.h"
#include "TempWorkspace.h"

#include "data/RecordServices.h"
#include "data/StandardWarning.h"

#include <QtTest>

using namespace td;
using namespace td::test;

class TstTableHandle : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        env_ = std::make_unique<TestWorkspace>();
        ws_ = &env_->ws;
        messages_ = &env_->messages;
        scripted_ = env_->script;
        db_ = std::make_unique<Database>(*messages_, ws_->path());
    }
    void cleanup()
    {
        db_.reset();
        env_.reset();
    }

    void addFetchPutDelete()
    {
        Table<Tunedeck> songs(*db_);
        songs.rec = makeSong(QStringLiteral("Abba"), QStringLiteral("Waterloo"), 1);
        QCOMPARE(songs.add(), 0);
        const qint64 pos = songs.position();
        QVERIFY(pos > 0);
        songs.clear();
        QCOMPARE(songs.rec.Artist, QString());
        QCOMPARE(songs.fetch(pos), 0);
        QCOMPARE(songs.rec.Title, QStringLiteral("Waterloo"));
        songs.rec.Title = QStringLiteral("SOS");
        QCOMPARE(songs.put(), 0);
        QCOMPARE(songs.fetch(pos), 0);
        QCOMPARE(songs.rec.Title, QStringLiteral("SOS"));
        QCOMPARE(songs.del(), 0);
        QCOMPARE(songs.fetch(pos), int(RecordNotAvailable));
        QCOMPARE(songs.records(), qint64(0));
    }

    void textIsClippedAndTrimmed()
    {
        Table<Tunedeck> songs(*db_);
        songs.rec = makeSong(QString(50, QLatin1Char('x')), QStringLiteral("Title   "), 1);
        songs.rec.Side = QStringLiteral("12");
        QCOMPARE(songs.add(), 0);
        QCOMPARE(songs.fetch(songs.position()), 0);
        QCOMPARE(songs.rec.Artist, QString(40, QLatin1Char('x')));
        QCOMPARE(songs.rec.Title, QStringLiteral("Title"));
        QCOMPARE(songs.rec.Side, QStringLiteral("1"));
    }

    void absurdNumbersAreRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("byte over 255") << "ChartNumber" << QVariant(300);
        QTest::newRow("byte negative") << "TrackNumber" << QVariant(-1);
        QTest::newRow("long over 32 bits") << "ID" << QVariant(qlonglong(1) << 40);
        QTest::newRow("not a number") << "BeatsPerMinute" << QVariant(QStringLiteral("fast"));
    }
    void absurdNumbersAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        TableHandle songs(*db_, TableId::Tunedeck);
        songs.setValue(field, value);
        QCOMPARE(songs.add(), int(InvalidRecord));
        QVERIFY(songs.lastError().text.contains(QStringLiteral("MUS:") + field));
        QCOMPARE(songs.records(), qint64(0));
    }

    void decimalHoldsElevenDigits()
    {
        Table<Categories> cats(*db_);
        cats.rec.CategoryID = 99999999999LL;
        cats.rec.Category = QStringLiteral("Big");
        QCOMPARE(cats.add(), 0);
        QCOMPARE(cats.fetch(cats.position()), 0);
        QCOMPARE(cats.rec.CategoryID, 99999999999LL);
        cats.clear();
        cats.rec.CategoryID = 100000000000LL;
        QCOMPARE(cats.add(), int(InvalidRecord));
    }

    // The record count the file keeps for the caption stays equal to counting the rows, whoever
    // writes and however a transaction ends.
    void keptCountFollowsEveryWrite_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("adds") << "adds" << qint64(5);
        QTest::newRow("adds and deletes") << "deletes" << qint64(3);
        QTest::newRow("rolled back transaction") << "rollback" << qint64(3);
        QTest::newRow("second connection writes") << "other" << qint64(4);
        QTest::newRow("file of an earlier version") << "nocount" << qint64(5);
        QTest::newRow("count left behind by a replaced table") << "stale" << qint64(5);
        QTest::newRow("triggers dropped by hand") << "notriggers" << qint64(4);
        QTest::newRow("table replaced by hand") << "replaced" << qint64(1);
    }
    void keptCountFollowsEveryWrite()
    {
        QFETCH(QString, scenario);
        QFETCH(qint64, expected);
        const QString path = db_->filePath(TableId::Tunedeck);
        auto songs = std::make_unique<Table<Tunedeck>>(*db_);
        QCOMPARE(songs->records(), qint64(0));
        QList<qint64> added;
        for (int i = 0; i < 5; ++i) {
            songs->rec = makeSong(QStringLiteral("A%1").arg(i), QStringLiteral("t"));
            QCOMPARE(songs->add(), 0);
            added << songs->position();
        }
        QCOMPARE(songs->records(), qint64(5)); // read once before the change below
        if (scenario == QLatin1String("deletes")) {
            for (qint64 pos : { added.at(1), added.at(3) }) {
                QCOMPARE(songs->fetch(pos), 0);
                QCOMPARE(songs->del(), 0);
            }
        } else if (scenario == QLatin1String("rollback")) {
            QCOMPARE(songs->fetch(added.at(0)), 0);
            QCOMPARE(songs->del(), 0);
            QCOMPARE(songs->fetch(added.at(1)), 0);
            QCOMPARE(songs->del(), 0);
            QCOMPARE(db_->begin(), 0);
            songs->rec = makeSong(QStringLiteral("B"), QStringLiteral("t"));
            QCOMPARE(songs->add(), 0);
            QCOMPARE(songs->fetch(added.at(2)), 0);
            QCOMPARE(songs->del(), 0);
            QCOMPARE(songs->records(), qint64(3));
            db_->rollback();
        } else if (scenario == QLatin1String("other")) {
            RawFile other(path);
            QVERIFY2(other.exec(QStringLiteral("INSERT INTO Tunedeck (Artist) VALUES ('X'),('Y')")),
                qPrintable(other.lastError));
            QVERIFY2(other.exec(QStringLiteral("DELETE FROM Tunedeck WHERE Artist IN ('A0','A1','A2')")),
                qPrintable(other.lastError));
        } else if (scenario == QLatin1String("nocount") || scenario == QLatin1String("stale")) {
            songs.reset();
            db_ = std::make_unique<Database>(*messages_, ws_->path()); // the file closed
            {
                RawFile old(path);
                QVERIFY(old.exec(QStringLiteral("DROP TRIGGER Tunedeck_RowAdded")));
                QVERIFY(old.exec(QStringLiteral("DROP TRIGGER Tunedeck_RowDeleted")));
                QVERIFY(old.exec(scenario == QLatin1String("stale")
                        ? QStringLiteral("UPDATE Tunedeck_RowCount SET n = 77")
                        : QStringLiteral("DROP TABLE Tunedeck_RowCount")));
            }
            songs = std::make_unique<Table<Tunedeck>>(*db_);
            QCOMPARE(songs->records(), qint64(5));
            songs->rec = makeSong(QStringLiteral("C"), QStringLiteral("t"));
            QCOMPARE(songs->add(), 0);
            QCOMPARE(songs->fetch(songs->position()), 0);
            QCOMPARE(songs->del(), 0);
        } else if (scenario == QLatin1String("notriggers")) {
            RawFile other(path);
            QVERIFY(other.exec(QStringLiteral("DROP TRIGGER Tunedeck_RowAdded")));
            QVERIFY(other.exec(QStringLiteral("DELETE FROM Tunedeck WHERE Artist = 'A4'")));
        } else if (scenario == QLatin1String("replaced")) {
            RawFile other(path);
            QVERIFY(other.exec(QStringLiteral("DELETE FROM Tunedeck")));
            QVERIFY(other.exec(QStringLiteral("INSERT INTO Tunedeck (Artist) VALUES ('Z')")));
        }
        RawFile check(path);
        QCOMPARE(check.scalar(QStringLiteral("SELECT count(*) FROM Tunedeck")), expected);
        QCOMPARE(songs->records(), expected);
        // A second handle (its own statements) reads the same.
        TableHandle again(*db_, TableId::A_Songs);
        QCOMPARE(again.records(), expected);
    }

    // Many records with equal key values: every one is read once, in position order, both ways,
    // whatever the page size.
    void equalKeysAcrossPages_data()
    {
        QTest::addColumn<int>("pageSize");
        QTest::newRow("1") << 1;
        QTest::newRow("7") << 7;
        QTest::newRow("64") << 64;
        QTest::newRow("1000") << 1000;
    }
    void equalKeysAcrossPages()
    {
        QFETCH(int, pageSize);
        Table<Tunedeck> songs(*db_);
        QList<qint64> same;
        QVERIFY(songs.database().begin() == 0);
        for (int i = 0; i < 150; ++i) {
            songs.rec = makeSong(QStringLiteral("Same"), QStringLiteral("Song"));
            QCOMPARE(songs.add(), 0);
            same << songs.position();
            songs.rec = makeSong(i % 2 ? QStringLiteral("Aaa") : QStringLiteral("Zzz"), QString::number(i));
            QCOMPARE(songs.add(), 0);
        }
        QCOMPARE(songs.database().commit(), 0);

        const int key = songs.key(QStringLiteral("MUS:SongsByArtist"));
        for (bool forward : {true, false}) {
            QList<qint64> seen;
            QList<PageRow> page;
            Row from = {QStringLiteral("same"), QStringLiteral("SONG  ")};
            qint64 fromPos = 0;
            bool inclusive = true;
            for (int guard = 0; guard < 1000; ++guard) {
                PageRead read;
                read.key = key;
                read.from = from;
                read.forward = forward;
                read.limit = pageSize;
                read.fromPosition = fromPos;
                read.inclusive = inclusive;
                QCOMPARE(songs.readPage(read, page), 0);
                for (const auto& r : std::as_const(page))
                    if (r.row.at(0).toString() == QLatin1String("Same"))
                        seen << r.position;
                if (page.size() < pageSize)
                    break;
                from = page.last().row;
                fromPos = page.last().position;
                inclusive = false;
            }
            QList<qint64> expected = same;
            if (!forward)
                std::reverse(expected.begin(), expected.end());
            QCOMPARE(seen, expected);
        }
    }

    // A search that scans reads its starting point as separate index ranges: the same rows in the
    // same order as the single query, from every kind of starting point, in both directions.
    void scanningSearchReadsTheSameRows_data()
    {
        QTest::addColumn<QVariantList>("from");
        QTest::addColumn<bool>("withPosition");
        QTest::addColumn<bool>("inclusive");
        QTest::newRow("whole key and position") << QVariantList {"b", "2"} << true << true;
        QTest::newRow("whole key and position, left out") << QVariantList {"b", "2"} << true << false;
        QTest::newRow("whole key") << QVariantList {"b", "2"} << false << true;
        QTest::newRow("whole key, equal ones left out") << QVariantList {"b", "2"} << false << false;
        QTest::newRow("leading value") << QVariantList {"B"} << false << true;
        QTest::newRow("leading value, left out") << QVariantList {"b  "} << false << false;
        QTest::newRow("between values") << QVariantList {"bb", "0"} << false << true;
    }
    void scanningSearchReadsTheSameRows()
    {
        QFETCH(QVariantList, from);
        QFETCH(bool, withPosition);
        QFETCH(bool, inclusive);
        Table<Tunedeck> songs(*db_);
        QVERIFY(songs.database().begin() == 0);
        qint64 middle = 0;
        for (int i = 0; i < 60; ++i) {
            songs.rec = makeSong(QString(QChar(u'a' + i % 3)), QString::number(i % 4));
            songs.rec.Notes = i % 5 ? QStringLiteral("kept") : QString();
            QCOMPARE(songs.add(), 0);
            if (i == 34)
                middle = songs.position();   // the third of five "b", "2" songs
        }
        QCOMPARE(songs.database().commit(), 0);
        for (bool forward : {true, false}) {
            for (int limit : {1, 4, 100}) {
                PageRead read;
                read.key = songs.key(QStringLiteral("MUS:SongsByArtist"));
                read.from = from;
                read.fromPosition = withPosition ? middle : 0;
                read.forward = forward;
                read.inclusive = inclusive;
                read.filter = QStringLiteral("\"Notes\" <> ''");
                read.limit = limit;
                QList<PageRow> plain;
                QList<PageRow> split;
                QCOMPARE(songs.readPage(read, plain), 0);
                read.filterScans = true;
                QCOMPARE(songs.readPage(read, split), 0);
                QList<qint64> a;
                QList<qint64> b;
                for (const PageRow& r : std::as_const(plain))
                    a << r.position;
                for (const PageRow& r : std::as_const(split))
                    b << r.position;
                QVERIFY(!a.isEmpty());
                QCOMPARE(b, a);
            }
        }
    }

    void nextAndPreviousFromASetPoint()
    {
        for (const char* a : {"B", "a", "C", "b", "A", "c"})
            QVERIFY(addRecord(*db_, makeSong(QString::fromLatin1(a), QStringLiteral("t"))) > 0);
        TableHandle songs(*db_, TableId::Tunedeck);
        const int key = songs.key(QStringLiteral("SongsByArtist"));

        QCOMPARE(walk(songs, QStringLiteral("SongsByArtist"), QStringLiteral("Artist")),
                 QStringList({"a", "A", "B", "b", "C", "c"}));
        QCOMPARE(walk(songs, QStringLiteral("SongsByArtist"), QStringLiteral("Artist"), true),
                 QStringList({"c", "C", "b", "B", "A", "a"}));

        // At or after "b": both b's then the c's; at or before "B": the b's backwards then the a's.
        QCOMPARE(songs.set(key, Row{QStringLiteral("b")}), 0);
        QCOMPARE(songs.next(), 0);
        QCOMPARE(songs.value(QStringLiteral("Artist")).toString(), QStringLiteral("B"));
        QCOMPARE(songs.set(key, Row{QStringLiteral("B")}), 0);
        QCOMPARE(songs.previous(), 0);
        QCOMPARE(songs.value(QStringLiteral("Artist")).toString(), QStringLiteral("b"));
        QCOMPARE(songs.previous(), 0);
        QCOMPARE(songs.value(QStringLiteral("Artist")).toString(), QStringLiteral("B"));
        QCOMPARE(songs.previous(), 0);
        QCOMPARE(songs.value(QStringLiteral("Artist")).toString(), QStringLiteral("A"));
        // Turning round continues from the record just read.
        QCOMPARE(songs.next(), 0);
        QCOMPARE(songs.value(QStringLiteral("Artist")).toString(), QStringLiteral("B"));

        // Past the end: record not available, and it stays so.
        QCOMPARE(songs.set(key, Row{QStringLiteral("d")}), 0);
        QCOMPARE(songs.next(), int(RecordNotAvailable));
        QCOMPARE(songs.next(), int(RecordNotAvailable));
        // A whole record works as the set point too.
        Tunedeck c = makeSong(QStringLiteral("C"), QStringLiteral("t"));
        QCOMPARE(songs.set(key, toRow(c)), 0);
        QCOMPARE(songs.next(), 0);
        QCOMPARE(songs.value(QStringLiteral("Artist")).toString(), QStringLiteral("C"));
    }

    void getByKeyValues()
    {
        QVERIFY(addRecord(*db_, makeSong(QStringLiteral("Abba"), QStringLiteral("SOS"), 7)) > 0);
        Table<Tunedeck> songs(*db_);
        songs.rec.ID = 7;
        QCOMPARE(songs.get(songs.key(QStringLiteral("MUS:KeyID"))), 0);
        QCOMPARE(songs.rec.Title, QStringLiteral("SOS"));
        songs.clear();
        songs.rec.ID = 8;
        QCOMPARE(songs.get(songs.key(QStringLiteral("MUS:KeyID"))), int(RecordNotAvailable));
        // Case and trailing blanks do not matter to a key.
        songs.clear();
        songs.rec.Artist = QStringLiteral("ABBA  ");
        songs.rec.Title = QStringLiteral("sos");
        QCOMPARE(songs.get(songs.key(QStringLiteral("SongsByArtist"))), 0);
        QCOMPARE(songs.rec.ID, 7);
    }

    void pageFollowsChangesMadeMeanwhile()
    {
        for (int i = 0; i < 10; ++i)
            QVERIFY(addRecord(*db_, makeSong(QStringLiteral("A%1").arg(i), QStringLiteral("t"))) > 0);
        TableHandle reader(*db_, TableId::Tunedeck);
        TableHandle writer(*db_, TableId::Tunedeck);
        reader.set(reader.key(QStringLiteral("SongsByArtist")));
        QCOMPARE(reader.next(), 0);
        QCOMPARE(reader.value(QStringLiteral("Artist")).toString(), QStringLiteral("A0"));
        // Another handle deletes A1 and renames A2: the reader sees the table as it is now.
        writer.set(writer.key(QStringLiteral("SongsByArtist")), Row{QStringLiteral("A1")});
        QCOMPARE(writer.next(), 0);
        QCOMPARE(writer.del(), 0);
        QCOMPARE(writer.next(), 0);
        writer.setValue(QStringLiteral("Artist"), QStringLiteral("Z"));
        QCOMPARE(writer.put(), 0);
        QCOMPARE(reader.next(), 0);
        QCOMPARE(reader.value(QStringLiteral("Artist")).toString(), QStringLiteral("A3"));
    }

    void filterLimitsTheWalk()
    {
        for (const char* a : {"Abba", "Beatles", "Cher", "Doors"})
            QVERIFY(addRecord(*db_, makeSong(QString::fromLatin1(a), QStringLiteral("t"))) > 0);
        TableHandle songs(*db_, TableId::Tunedeck);
        songs.setFilter(QStringLiteral("\"Artist\" >= ? AND \"Artist\" <= ?"),
                        {QStringLiteral("b"), QStringLiteral("CHER")});
        QCOMPARE(walk(songs, QStringLiteral("SongsByArtist"), QStringLiteral("Artist")),
                 QStringList({"Beatles", "Cher"}));
        songs.clearFilter();
        QCOMPARE(walk(songs, QStringLiteral("SongsByArtist"), QStringLiteral("Artist")).size(), 4);
    }

    void physicalOrder()
    {
        for (const char* a : {"C", "A", "B"})
            QVERIFY(addRecord(*db_, makeSong(QString::fromLatin1(a), QStringLiteral("t"))) > 0);
        TableHandle songs(*db_, TableId::Tunedeck);
        QCOMPARE(songs.set(-1), 0);
        QStringList seen;
        while (songs.next() == 0)
            seen << songs.value(QStringLiteral("Artist")).toString();
        QCOMPARE(seen, QStringList({"C", "A", "B"}));
    }

    void putDetectsChangeByAnotherHandle()
    {
        const qint64 pos = addRecord(*db_, makeSong(QStringLiteral("Abba"), QStringLiteral("SOS"), 1));
        Table<Tunedeck> mine(*db_);
        Table<Tunedeck> theirs(*db_);
        QCOMPARE(mine.fetch(pos), 0);
        QCOMPARE(theirs.fetch(pos), 0);
        theirs.rec.Title = QStringLiteral("sos");   // a change of case only is a change
        QCOMPARE(theirs.put(), 0);
        mine.rec.Composer = QStringLiteral("Andersson");
        QCOMPARE(mine.put(), int(RecordChanged));
        QCOMPARE(mine.rec.Composer, QStringLiteral("Andersson"));   // buffer untouched
        QCOMPARE(mine.fetch(pos), 0);
        QCOMPARE(mine.rec.Title, QStringLiteral("sos"));
        QCOMPARE(mine.rec.Composer, QString());
    }

    void putDetectsChangeByAnotherCopy()
    {
        const qint64 pos = addRecord(*db_, makeSong(QStringLiteral("Abba"), QStringLiteral("SOS"), 1));
        Messages otherMessages;
        Database other(otherMessages, ws_->path());
        Table<Tunedeck> mine(*db_);
        QCOMPARE(mine.fetch(pos), 0);
        {
            Table<Tunedeck> theirs(other);
            QCOMPARE(theirs.fetch(pos), 0);
            theirs.rec.ChartNumber = 3;
            QCOMPARE(theirs.put(), 0);
        }
        mine.rec.Title = QStringLiteral("Mine");
        QCOMPARE(mine.put(), int(RecordChanged));
        QVERIFY(!db_->inTransaction());
    }

    void duplicateKeyNamesTheKey()
    {
        Table<Album> albums(*db_);
        albums.rec.AlbumID = 1;
        albums.rec.Artist = QStringLiteral("Abba");
        albums.rec.Album = QStringLiteral("Arrival");
        QCOMPARE(albums.add(), 0);
        albums.rec.AlbumID = 1;
        albums.rec.Album = QStringLiteral("Other");
        QCOMPARE(albums.add(), int(DuplicateKey));
        QCOMPARE(albums.lastError().key, QStringLiteral("ALB:KeyAlbumID"));
        QCOMPARE(db_->lastError().code, int(DuplicateKey));
        albums.rec.AlbumID = 2;
        albums.rec.Album = QStringLiteral("ARRIVAL ");
        QCOMPARE(albums.add(), int(DuplicateKey));
        QCOMPARE(albums.lastError().key, QStringLiteral("ALB:KeyAlbum"));
    }

    void aSongsHasItsOwnBufferAndCount()
    {
        const qint64 p1 = addRecord(*db_, makeSong(QStringLiteral("One"), QStringLiteral("t"), 1));
        const qint64 p2 = addRecord(*db_, makeSong(QStringLiteral("Two"), QStringLiteral("t"), 2));
        Table<Tunedeck> songs(*db_);
        {
            Table<Tunedeck> aSongs(*db_, TableId::A_Songs);
            QCOMPARE(db_->useCount(TableId::A_Songs), 1);
            QCOMPARE(db_->useCount(TableId::Tunedeck), 1);
            QCOMPARE(songs.fetch(p1), 0);
            QCOMPARE(aSongs.fetch(p2), 0);
            QCOMPARE(songs.rec.Artist, QStringLiteral("One"));
            QCOMPARE(aSongs.rec.Artist, QStringLiteral("Two"));
            QCOMPARE(aSongs.def().prefix, QStringLiteral("A_S"));
        }
        QCOMPARE(db_->useCount(TableId::A_Songs), 0);
        QVERIFY(!db_->isOpen(TableId::A_Songs));
        QVERIFY(db_->isAttached(TableId::Tunedeck));   // still used through Tunedeck
        QCOMPARE(songs.next(), int(RecordNotAvailable)); // no key set: nothing to read
    }

    void useCountsOpenAndClose()
    {
        QCOMPARE(db_->useCount(TableId::Media), 0);
        QVERIFY(!db_->isOpen(TableId::Media));
        db_->useTable(TableId::Media);
        db_->useTable(TableId::Media);
        QCOMPARE(db_->useCount(TableId::Media), 2);
        QVERIFY(db_->isOpen(TableId::Media));
        QVERIFY(QFile::exists(ws_->file(QStringLiteral("tdpmedia.db"))));
        db_->releaseTable(TableId::Media);
        QVERIFY(db_->isOpen(TableId::Media));
        db_->releaseTable(TableId::Media);
        QVERIFY(!db_->isOpen(TableId::Media));
        QVERIFY(db_->isAttached(TableId::Media));   // kept for the next open
        QVERIFY(db_->letGo(TableId::Media));
        QVERIFY(!db_->isAttached(TableId::Media));
        db_->releaseTable(TableId::Media);   // one release too many does no harm
        QCOMPARE(db_->useCount(TableId::Media), 0);
        {
            TableUse use(*db_, TableId::Fonts);
            QCOMPARE(db_->useCount(TableId::Fonts), 1);
        }
        QCOMPARE(db_->useCount(TableId::Fonts), 0);
        QVERIFY(scripted_->asked().isEmpty());
    }

    // A table closed inside a transaction keeps its file for the commit; no file is let go of
    // before the transaction ends.
    void closeInsideATransactionKeepsTheFile()
    {
        TableUse songs(*db_, TableId::Tunedeck);
        {
            TableHandle media(*db_, TableId::Media);
            QCOMPARE(db_->begin(), 0);
            media.setValue(0, QStringLiteral("CD"));
            QCOMPARE(media.add(), 0);
        }
        QVERIFY(db_->isAttached(TableId::Media));
        QVERIFY(!db_->letGo(TableId::Media));
        QCOMPARE(db_->commit(), 0);
        QVERIFY(db_->isAttached(TableId::Media));
        QVERIFY(!db_->letGo(TableId::Tunedeck));   // in use
        TableHandle media(*db_, TableId::Media);
        QCOMPARE(media.records(), qint64(1));
    }

    void transactionsSpanFiles()
    {
        Table<Media> media(*db_);
        Table<Tunedeck> songs(*db_);
        {
            TransactionGuard tx(*db_);
            QVERIFY(tx.ok());
            media.rec.Media = QStringLiteral("LP");
            QCOMPARE(media.add(), 0);
            songs.rec = makeSong(QStringLiteral("A"), QStringLiteral("B"), 1);
            QCOMPARE(songs.add(), 0);
        } // not committed
        QCOMPARE(media.records(), qint64(0));
        QCOMPARE(songs.records(), qint64(0));
        {
            TransactionGuard tx(*db_);
            media.rec.Media = QStringLiteral("LP");
            QCOMPARE(media.add(), 0);
            {
                TransactionGuard inner(*db_);
                QVERIFY(inner.ok());
                songs.rec = makeSong(QStringLiteral("A"), QStringLiteral("B"), 1);
                QCOMPARE(songs.add(), 0);
            } // the inner level alone is undone
            QCOMPARE(tx.commit(), 0);
        }
        QCOMPARE(media.records(), qint64(1));
        QCOMPARE(songs.records(), qint64(0));
        QVERIFY(!db_->inTransaction());
    }

    // Saving an error only keeps it; the message that shows it rolls back what is open first,
    // and the guard that began the transaction sees it gone.
    void savedErrorRollsBackAtItsMessage()
    {
        Table<Media> media(*db_);
        TransactionGuard tx(*db_);
        media.rec.Media = QStringLiteral("LP");
        QCOMPARE(media.add(), 0);
        db_->saveError(StorageError::make(DuplicateKey));
        QVERIFY(db_->inTransaction());
        QVERIFY(db_->hasSavedError());
        QCOMPARE(db_->savedError().code, int(DuplicateKey));
        qint64 recordsWhileShown = -1;
        scripted_->onAsk = [&](const Message&) { recordsWhileShown = media.records(); };
        StandardWarning(*db_, StdMsg::RecordInsertError);
        QCOMPARE(recordsWhileShown, qint64(0));
        QVERIFY(!db_->inTransaction());
        QVERIFY(tx.commit() != 0);   // nothing left to commit: not reported as success
        QCOMPARE(media.records(), qint64(0));
        QVERIFY(!db_->hasSavedError());
    }

    // A guard undoes its own level and every level inside it, never the levels around it.
    void guardUndoesOnlyItsOwnLevel()
    {
        Table<Media> media(*db_);
        auto add = [&](const char* name) {
            media.rec.Media = QString::fromLatin1(name);
            return media.add();
        };
        {
            TransactionGuard outer(*db_);
            QCOMPARE(add("LP"), 0);
            {
                TransactionGuard middle(*db_);
                QCOMPARE(add("CD"), 0);
                TransactionGuard inner(*db_);
                QCOMPARE(add("MC"), 0);
                QCOMPARE(db_->transactionDepth(), 3);
            } // inner, then middle: both undone
            QCOMPARE(db_->transactionDepth(), 1);
            {
                TransactionGuard joined(*db_, 2000, TransactionGuard::Nesting::Join);
                QCOMPARE(db_->transactionDepth(), 1);
                QCOMPARE(add("DAT"), 0);
                QCOMPARE(joined.commit(), 0);   // the outer transaction decides
            }
            QCOMPARE(outer.commit(), 0);
        }
        QCOMPARE(walk(media, QStringLiteral("KeyMedia"), QStringLiteral("Media")), QStringList({"DAT", "LP"}));
    }

    void beginWaitsForAnotherWriter()
    {
        TableUse use(*db_, TableId::Media);
        RawFile other(ws_->file(QStringLiteral("tdpmedia.db")));
        QVERIFY(other.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(db_->begin(300), int(FileLocked));
        QVERIFY(timer.elapsed() >= 250);
        QVERIFY(!db_->inTransaction());
        QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
        QCOMPARE(db_->begin(300), 0);
        QCOMPARE(db_->commit(), 0);
    }

    void openingInsideATransactionIsAnError()
    {
        TableUse media(*db_, TableId::Media);
        QCOMPARE(db_->begin(), 0);
        QVERIFY(!db_->useTable(TableId::Fonts));
        QCOMPARE(db_->useCount(TableId::Fonts), 0);
        QCOMPARE(db_->endText(), QStringLiteral("Disk Error"));
        QCOMPARE(scripted_->captions(), QStringList({"File Access Error"}));
        QVERIFY(!db_->inTransaction());
        QVERIFY(!QFile::exists(ws_->file(QStringLiteral("tdpfont.db"))));   // not created, nor upgraded
    }

    void typedTableKeepsRecInStep()
    {
        Table<Fonts> fonts(*db_);
        fonts.rec.FontID = 4;
        fonts.rec.TypeFace = QStringLiteral("Arial");
        QCOMPARE(fonts.value(QStringLiteral("FON:TypeFace")).toString(), QStringLiteral("Arial"));
        fonts.setValue(QStringLiteral("Size"), QStringLiteral("12"));
        QCOMPARE(fonts.rec.Size, QStringLiteral("12"));
        QCOMPARE(fonts.add(), 0);
        fonts.clear();
        QCOMPARE(fonts.rec.FontID, qint64(0));
        QCOMPARE(fonts.set(fonts.key(QStringLiteral("KeyFontID"))), 0);
        QCOMPARE(fonts.next(), 0);
        QCOMPARE(fonts.rec.TypeFace, QStringLiteral("Arial"));
        QCOMPARE(fonts.rec.FontID, qint64(4));
    }

private:
    std::unique_ptr<TestWorkspace> env_;
    TempWorkspace* ws_ = nullptr;
    Messages* messages_ = nullptr;
    std::shared_ptr<ScriptedMessages> scripted_;
    std::unique_ptr<Database> db_;
};

QTEST_GUILESS_MAIN(TstTableHandle)
#include "tst_tablehandle.moc"

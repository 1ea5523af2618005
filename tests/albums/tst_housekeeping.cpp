// The link repair and the dates-to-years runs: which songs are re-linked, unlinked or numbered; which
// dates become years; a write failure that rolls its slice back and lets the user go on or stop; a
// second run finishing what the first left.

#include "TestDb.h"
#include "albums/DateToYear.h"
#include "albums/TestAlbumIDs.h"
#include "core/DayTime.h"
#include "data/Database.h"
#include "data/TableHandle.h"

#include <QtTest>

using namespace td;

namespace {

struct SongSpec {
    qint32 id;
    QString artist;
    QString album;
    qint32 albumId;
    qint32 releaseDate = 0;
};

void addSong(Database& db, const SongSpec& s)
{
    Table<Tunedeck> t(db);
    t.rec.ID = s.id;
    t.rec.Artist = s.artist;
    t.rec.Title = QStringLiteral("Song by %1 on %2").arg(s.artist, s.album);
    t.rec.Album = s.album;
    t.rec.AlbumID = s.albumId;
    t.rec.ReleaseDate = s.releaseDate;
    QCOMPARE(t.add(), 0);
}

void addAlbum(Database& db, qint32 id, const QString& artist, const QString& album, qint32 releaseDate = 0)
{
    Table<Album> a(db);
    a.rec.AlbumID = id;
    a.rec.Artist = artist;
    a.rec.Album = album;
    a.rec.ReleaseDate = releaseDate;
    QCOMPARE(a.add(), 0);
}

// Every song in storage order.
QList<Tunedeck> songs(Database& db)
{
    QList<Tunedeck> out;
    Table<Tunedeck> t(db);
    t.set(-1);
    while (t.next() == 0)
        out << t.rec;
    return out;
}

QList<qint32> albumDates(Database& db)
{
    QList<qint32> out;
    Table<Album> t(db);
    t.set(-1);
    while (t.next() == 0)
        out << t.rec.ReleaseDate;
    return out;
}

// Makes every write of the song at `position` fail, as a full disk or a locked page would.
void failWritesOf(Database& db, qint64 position)
{
    QCOMPARE(db.exec(QStringLiteral("CREATE TEMP TRIGGER fail_write BEFORE UPDATE ON %1 WHEN old.rowid=%2 "
                                    "BEGIN SELECT RAISE(ABORT,'disk I/O error'); END")
                         .arg(Database::sqlTable(TableId::Tunedeck))
                         .arg(position)),
        0);
}

} // namespace

class TestHousekeeping : public QObject {
    Q_OBJECT
private slots:
    void linkRepair();
    void numbersSkipNumbersInUse();
    void dateToYear_data();
    void dateToYear();
    void convertsSongsThenAlbumsOnce();
    void writeFailureRollsBackItsSlice_data();
    void writeFailureRollsBackItsSlice();
};

void TestHousekeeping::linkRepair()
{
    test::TestDb t;
    TableUse songUse(t.db, TableId::Tunedeck);
    addAlbum(t.db, 1, "Blur", "Parklife");
    addAlbum(t.db, 2, "Various", "Summer Hits");
    addAlbum(t.db, 3, "Queen", "Innuendo (Remastered)"); // renamed since its songs were linked
    addAlbum(t.db, 4, "Oasis", "Definitely Maybe (Deluxe)"); // renamed, the song's title now names another
    addAlbum(t.db, 5, "Oasis", "Definitely Maybe");
    addSong(t.db, { 1, "Blur", "Parklife", 1 }); // right
    addSong(t.db, { 2, "BLUR", "parklife  ", 1 }); // right: case and trailing blanks do not count
    addSong(t.db, { 3, "Blur", "Parklife", 0 }); // no album yet: linked
    addSong(t.db, { 4, "Seal", "Summer Hits", 0 }); // only as a compilation
    addSong(t.db, { 5, "Queen", "Innuendo", 3 }); // its album renamed, none matches: unlinked
    addSong(t.db, { 6, "Oasis", "Definitely Maybe", 4 }); // re-linked to the album that matches
    addSong(t.db, { 7, "Blur", "Parklife", 99 }); // points to no album: re-linked
    addSong(t.db, { 8, "Nobody", "", 0 }); // no album title: stays without album
    addSong(t.db, { 9, "Seal", "Summer Hits", 5 }); // points to another album: to the compilation

    TestAlbumIDs run(t.db);
    run.runToEnd();
    QVERIFY(t.script->asked().isEmpty());
    QList<qint32> linked;
    for (const Tunedeck& s : songs(t.db))
        linked << s.AlbumID;
    QCOMPARE(linked, (QList<qint32> { 1, 1, 1, 2, 0, 5, 1, 0, 2 }));
    QCOMPARE(run.counts().relinked, 5);
    QCOMPARE(run.counts().unlinked, 1);
    QCOMPARE(run.counts().numbered, 0);
    QCOMPARE(run.percent(), 100);

    const Message m = run.summary();
    QCOMPARE(m.caption, QStringLiteral("Housekeeping"));
    QVERIFY(m.text.contains(QStringLiteral("linked to another album: 5|")));
    QVERIFY(m.text.contains(QStringLiteral("album was not found: 1|")));
    QVERIFY(m.text.endsWith(QStringLiteral("given a song number: 0")));

    // Nothing is left to repair.
    TestAlbumIDs again(t.db);
    again.runToEnd();
    QCOMPARE(again.counts().relinked + again.counts().unlinked + again.counts().numbered, 0);
}

void TestHousekeeping::numbersSkipNumbersInUse()
{
    test::TestDb t;
    TableUse songUse(t.db, TableId::Tunedeck);
    addSong(t.db, { 10, "A", "", 0 });
    addSong(t.db, { 0, "B", "", 0 }); // imported without a number
    addSong(t.db, { 3, "C", "", 0 });
    addSong(t.db, { 0, "D", "", 0 });
    addSong(t.db, { 0, "E", "", 0 });

    TestAlbumIDs run(t.db);
    QVERIFY(run.start());
    // Another window numbers a song after the highest was noted: its number is passed over.
    addSong(t.db, { 13, "F", "", 0 });
    while (run.step(2)) { }
    run.finish();
    QList<qint32> ids;
    for (const Tunedeck& s : songs(t.db))
        ids << s.ID;
    // From the highest (10) plus two, upward, in SongsByAlbum order (artist B, D, E).
    QCOMPARE(ids, (QList<qint32> { 10, 12, 3, 14, 15, 13 }));
    QCOMPARE(run.counts().numbered, 3);
}

void TestHousekeeping::dateToYear_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("no date") << 0 << 0;
    QTest::newRow("a year") << 1997 << 1997;
    QTest::newRow("3000 is a year") << 3000 << 3000;
    QTest::newRow("3001 is a date") << 3001 << yearOfDay(3001);
    QTest::newRow("31 December 1997") << dayFromYmd(1997, 12, 31) << 1997;
    QTest::newRow("negative") << -5 << -5;
    QTest::newRow("past the last day") << maxDay() + 1 << maxDay() + 1;
}

void TestHousekeeping::dateToYear()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    QCOMPARE(releaseDateToYear(value), expected);
}

void TestHousekeeping::convertsSongsThenAlbumsOnce()
{
    test::TestDb t;
    TableUse songUse(t.db, TableId::Tunedeck);
    const qint32 d1997 = dayFromYmd(1997, 12, 31);
    const qint32 d1965 = dayFromYmd(1965, 6, 1);
    addSong(t.db, { 1, "A", "X", 0, d1997 });
    addSong(t.db, { 0, "B", "X", 0, d1965 }); // without a number: not in the key the songs are read by
    addSong(t.db, { 2, "C", "X", 0, 0 });
    addSong(t.db, { 3, "D", "X", 0, 1980 });
    addAlbum(t.db, 1, "A", "X", d1965);
    addAlbum(t.db, 2, "B", "Y", 0);
    addAlbum(t.db, 3, "C", "Z", 2999);

    ConvertDateToYear songRun(t.db);
    songRun.runToEnd();
    QCOMPARE(songRun.converted(), 2);
    QList<qint32> dates;
    for (const Tunedeck& s : songs(t.db))
        dates << s.ReleaseDate;
    QCOMPARE(dates, (QList<qint32> { 1997, 1965, 0, 1980 }));
    QCOMPARE(albumDates(t.db), (QList<qint32> { d1965, 0, 2999 })); // the album pass has not run yet

    ConvertAlbumDateToYear albumRun(t.db);
    QCOMPARE(albumRun.taskText(), QStringLiteral("Converting Album Dates"));
    albumRun.runToEnd();
    QCOMPARE(albumDates(t.db), (QList<qint32> { 1965, 0, 2999 }));

    // A second conversion finds nothing to change.
    ConvertDateToYear songsAgain(t.db);
    songsAgain.runToEnd();
    ConvertAlbumDateToYear albumsAgain(t.db);
    albumsAgain.runToEnd();
    QCOMPARE(songsAgain.converted() + albumsAgain.converted(), 0);
    QVERIFY(t.script->asked().isEmpty());
}

void TestHousekeeping::writeFailureRollsBackItsSlice_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("stop") << int(Cancel);
    QTest::newRow("go on") << int(Ok);
}

void TestHousekeeping::writeFailureRollsBackItsSlice()
{
    QFETCH(int, answer);
    test::TestDb t;
    TableUse songUse(t.db, TableId::Tunedeck);
    const qint32 date = dayFromYmd(1990, 3, 4);
    for (int i = 1; i <= 12; ++i)
        addSong(t.db, { i, "A", "X", 0, date });
    failWritesOf(t.db, 7); // the third song of the second slice of five

    QList<qint32> seen;
    t.script->onAsk = [&](const Message&) {
        for (const Tunedeck& s : songs(t.db))
            seen << s.ReleaseDate;
    };
    t.script->plan(answer);
    ConvertDateToYear run(t.db);
    QCOMPARE(run.taskText(), QStringLiteral("Converting Song Dates"));
    QVERIFY(run.start());
    while (run.step(5)) { }
    run.finish();

    QCOMPARE(t.script->numbers(), QList<int> { 31 });
    const Message m = t.script->asked().first();
    QCOMPARE(m.caption, QStringLiteral("Process PUT Error"));
    QVERIFY(m.text.startsWith(QStringLiteral(
        "An error was experienced when making changes to the Process:ViewPut file.  Error: ")));
    QCOMPARE(m.buttons, int(Ok | Cancel));
    // While the user reads the message the failed slice is already undone: whole slices only.
    QCOMPARE(
        seen, (QList<qint32> { 1990, 1990, 1990, 1990, 1990, date, date, date, date, date, date, date }));

    QList<qint32> after;
    for (const Tunedeck& s : songs(t.db))
        after << s.ReleaseDate;
    if (answer == Cancel) {
        QVERIFY(run.stopped());
        QCOMPARE(after, seen);
        QCOMPARE(run.percent(), 41);
    } else {
        QVERIFY(!run.stopped());
        QCOMPARE(after,
            (QList<qint32> { 1990, 1990, 1990, 1990, 1990, 1990, date, 1990, 1990, 1990, 1990, 1990 }));
        QCOMPARE(run.percent(), 100);
    }

    // Once the row can be written, a second run finishes the job.
    QCOMPARE(t.db.exec(QStringLiteral("DROP TRIGGER temp.fail_write")), 0);
    t.script->clear();
    ConvertDateToYear again(t.db);
    again.runToEnd();
    QVERIFY(t.script->asked().isEmpty());
    for (const Tunedeck& s : songs(t.db))
        QCOMPARE(s.ReleaseDate, 1990);
}

QTEST_GUILESS_MAIN(TestHousekeeping)
#include "tst_housekeeping.moc"

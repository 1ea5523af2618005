// The songs of an album without windows: the next track, the locator by track number, the
// assignment by media and file number with its messages, the number a dropped song takes, drops of
// one or several songs (one transaction), the drag data, and the song form opened for an album.

#include "../data/DataTestUtil.h"
#include "TestApp.h"
#include "albums/AlbumSongs.h"
#include "songs/SongForm.h"

#include <QtTest>

using namespace td;

namespace {

using Env = test::TestApp;

Tunedeck song(qint32 id, qint32 albumId, int track, const QString& media = QStringLiteral("CD"),
    const QString& fileNumber = QString(), const QString& title = QString())
{
    Tunedeck s = test::makeSong(
        QStringLiteral("Artist"), title.isEmpty() ? QStringLiteral("Song %1").arg(id) : title, id, albumId);
    s.TrackNumber = track;
    s.Media = media;
    s.FileNumber = fileNumber;
    return s;
}

Tunedeck storedSong(Database& db, qint32 id)
{
    Table<Tunedeck> t(db);
    t.rec.ID = id;
    return t.get(t.key("MUS:KeyID")) == 0 ? t.rec : Tunedeck();
}

qint64 songCount(Database& db)
{
    Table<Tunedeck> t(db);
    return t.records();
}

Album album(qint32 id, const QString& media = QStringLiteral("CD"), const QString& fileNumber = QString())
{
    Album a;
    a.AlbumID = id;
    a.Artist = QStringLiteral("Album Artist");
    a.Album = QStringLiteral("Album Title");
    a.Media = media;
    a.FileNumber = fileNumber;
    a.ReleaseDate = 70000;
    a.CategoryID = 4;
    a.Notes = QStringLiteral("Album notes");
    return a;
}

// Songs numbered first+1 .. first+count, added as one transaction.
void addSongRange(Database& db, int first, int count)
{
    Table<Tunedeck> t(db);
    TransactionGuard tx(db);
    for (int i = 1; i <= count; ++i) {
        t.rec = song(first + i, 0, 0);
        QCOMPARE(t.add(), 0);
    }
    QCOMPARE(tx.commit(), 0);
}

} // namespace

class TestAlbumSongs : public QObject {
    Q_OBJECT
private slots:
    void nextTrack_data();
    void nextTrack();
    void trackLocator_data();
    void trackLocator();
    void assignByFileNumber_data();
    void assignByFileNumber();
    void assignmentIsAllOrNothing();
    void assignOneChosenSong();
    void dropNumber_data();
    void dropNumber();
    void dropSongs();
    void failedDropStoresNothing();
    void dragData_data();
    void dragData();
    void songFormForAlbum();
};

void TestAlbumSongs::nextTrack_data()
{
    QTest::addColumn<QList<int>>("tracks"); // of album 5
    QTest::addColumn<qint32>("albumId");
    QTest::addColumn<int>("expected");
    QTest::newRow("tracks 1, 2 and 7") << QList<int> { 1, 2, 7 } << 5 << 8;
    QTest::newRow("no songs") << QList<int> {} << 5 << 1;
    QTest::newRow("the album before") << QList<int> { 1, 2, 7 } << 4 << 1;
    QTest::newRow("only track 0") << QList<int> { 0 } << 5 << 1;
    QTest::newRow("track 255 stays in range") << QList<int> { 255 } << 5 << 255;
    QTest::newRow("no album") << QList<int> { 3 } << 0 << 1;
}

void TestAlbumSongs::nextTrack()
{
    QFETCH(QList<int>, tracks);
    QFETCH(qint32, albumId);
    QFETCH(int, expected);
    Env e;
    int id = 0;
    for (int t : tracks)
        QVERIFY(test::addRecord(e.db, song(++id, 5, t)));
    QVERIFY(test::addRecord(e.db, song(++id, 6, 40))); // the next album's songs do not count
    QVERIFY(test::addRecord(e.db, song(++id, 0, 90))); // nor songs without album
    QCOMPARE(nextTrackNumber(e.db, albumId), expected);
}

void TestAlbumSongs::trackLocator_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("track"); // 0: none found
    QTest::newRow("2") << "2" << 2;
    QTest::newRow("1: no track 1, so 10 to 19") << "1" << 15;
    QTest::newRow("10: 100 to 109") << "10" << 100;
    QTest::newRow("5: none") << "5" << 0;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("not a digit") << "x" << 0;
}

void TestAlbumSongs::trackLocator()
{
    QFETCH(QString, typed);
    QFETCH(int, track);
    Env e;
    int id = 0;
    for (int t : { 2, 3, 15, 21, 100 })
        QVERIFY(test::addRecord(e.db, song(++id, 5, t)));
    QVERIFY(test::addRecord(e.db, song(++id, 6, 5))); // another album's track 5
    const qint64 position = firstTrackStartingWith(e.db, 5, typed);
    if (track == 0) {
        QCOMPARE(position, 0);
        return;
    }
    Table<Tunedeck> t(e.db);
    QCOMPARE(t.fetch(position), 0);
    QCOMPARE(t.rec.AlbumID, 5);
    QCOMPARE(t.rec.TrackNumber, track);
}

void TestAlbumSongs::assignByFileNumber_data()
{
    QTest::addColumn<QString>("media");
    QTest::addColumn<QString>("fileNumber");
    QTest::addColumn<QList<qint32>>("assigned"); // song numbers
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    const QString failed = QStringLiteral("Process failed.");
    QTest::newRow("a12 finds A12 of the same media only")
        << "CD"
        << "a12" << QList<qint32> { 1, 2, 3 } << "Process complete."
        << "3 songs assigned.";
    QTest::newRow("first in key order has another file number")
        << "CD"
        << "A11" << QList<qint32> {} << failed << "No songs with that file number were found.";
    QTest::newRow("another media next, although A12 exists on other media")
        << "Cassette"
        << "A12" << QList<qint32> {} << failed << "No songs with that media type were found.";
    QTest::newRow("end of the table")
        << "Vinyl"
        << "A12" << QList<qint32> {} << failed << "No songs with that media type and file number were found.";
}

void TestAlbumSongs::assignByFileNumber()
{
    QFETCH(QString, media);
    QFETCH(QString, fileNumber);
    QFETCH(QList<qint32>, assigned);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    Env e;
    // SongsByMedia order: CD/A12 (1, 2, 3), CD/A13 (4), LP/A12 (5).
    QVERIFY(test::addRecord(e.db, song(1, 0, 1, "CD", "A12", "Alpha")));
    QVERIFY(test::addRecord(e.db, song(2, 8, 2, "cd", "a12  ", "Beta"))); // on another album before
    QVERIFY(test::addRecord(e.db, song(3, 0, 3, "CD", "A12", "Gamma")));
    QVERIFY(test::addRecord(e.db, song(4, 0, 1, "CD", "A13", "Delta")));
    QVERIFY(test::addRecord(e.db, song(5, 0, 1, "LP", "A12", "Epsilon")));

    const AssignResult r = assignSongsByFileNumber(e.db, album(9, media, fileNumber));
    QCOMPARE(r.assigned, int(assigned.size()));
    reportAssignment(e.db, r);
    QCOMPARE(e.script->captions(), QStringList { caption });
    QCOMPARE(e.script->asked().first().text, text);
    for (qint32 id = 1; id <= 5; ++id) {
        const qint32 before = id == 2 ? 8 : 0;
        QCOMPARE(storedSong(e.db, id).AlbumID, assigned.contains(id) ? 9 : before);
    }
}

void TestAlbumSongs::assignmentIsAllOrNothing()
{
    Env e;
    for (qint32 id = 1; id <= 3; ++id)
        QVERIFY(test::addRecord(e.db, song(id, 0, id, "CD", "A12", QStringLiteral("T%1").arg(id))));
    {
        test::RawFile raw(e.db.filePath(TableId::Tunedeck));
        QVERIFY(raw.exec("CREATE TRIGGER refuse BEFORE UPDATE ON Tunedeck WHEN NEW.ID = 3 "
                         "BEGIN SELECT RAISE(ABORT, 'no'); END"));
    }
    const AssignResult r = assignSongsByFileNumber(e.db, album(9, "CD", "A12"));
    QCOMPARE(r.outcome, AssignResult::WriteError);
    reportAssignment(e.db, r);
    QCOMPARE(e.script->numbers(), QList<int> { 15 });
    for (qint32 id = 1; id <= 3; ++id)
        QCOMPARE(storedSong(e.db, id).AlbumID, 0);
}

// The song chosen in the file-number picker: moved to the album; one gone meanwhile is reported.
void TestAlbumSongs::assignOneChosenSong()
{
    Env e;
    QVERIFY(test::addRecord(e.db, song(1, 3, 1)));
    qint64 position = 0;
    QVERIFY(assignSongToAlbum(e.db, 1, 9, &position));
    QCOMPARE(storedSong(e.db, 1).AlbumID, 9);
    Table<Tunedeck> t(e.db);
    QCOMPARE(t.fetch(position), 0);
    QCOMPARE(t.rec.ID, 1);
    QVERIFY(e.script->asked().isEmpty());
    QVERIFY(!assignSongToAlbum(e.db, 2, 9));
    QCOMPARE(e.script->numbers(), QList<int> { 35 });
}

void TestAlbumSongs::dropNumber_data()
{
    // The catalogue holds the songs numbered first+1 .. first+count; the search starts at count + 1.
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("free at once") << 0 << 3 << qint64(4);
    QTest::newRow("one taken") << 1 << 3 << qint64(5);
    // 201 .. 250 taken one by one, then 251, 254, 257, 260 taken in steps of three: 263.
    QTest::newRow("steps of three from the 51st") << 60 << 200 << qint64(263);
    // The 101st number tried (402) is free.
    QTest::newRow("free at the last try") << 200 << 201 << qint64(402);
    // All 101 taken: the song keeps its own number.
    QTest::newRow("given up") << 201 << 201 << qint64(300);
}

void TestAlbumSongs::dropNumber()
{
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(qint64, expected);
    Env e;
    addSongRange(e.db, first, count);
    QCOMPARE(dropSongNumber(e.db, 300), expected);
}

void TestAlbumSongs::dropSongs()
{
    Env e;
    QVERIFY(test::addRecord(e.db, song(1, 7, 4, "LP", "B1", "Dropped One")));
    QVERIFY(test::addRecord(e.db, song(2, 0, 2, "CD", "", "Dropped Two")));

    // Two songs and one that no longer exists: copies on the album, the dropped ones as they were.
    DropResult r = dropSongsOnAlbum(e.db, album(9), { 1, 2, 77 });
    QCOMPARE(r.stored, 2);
    QCOMPARE(r.missing, 1);
    QCOMPARE(e.script->captions(), QStringList { "Songs Not Found" });
    QCOMPARE(songCount(e.db), 4);
    QCOMPARE(storedSong(e.db, 1).AlbumID, 7);
    QCOMPARE(storedSong(e.db, 2).AlbumID, 0);
    const Tunedeck copy = storedSong(e.db, 3);
    QCOMPARE(copy.Title, QStringLiteral("Dropped One"));
    QCOMPARE(copy.AlbumID, 9);
    QCOMPARE(copy.Media, QStringLiteral("LP"));
    QCOMPARE(storedSong(e.db, 4).Title, QStringLiteral("Dropped Two"));
    QCOMPARE(storedSong(e.db, 4).AlbumID, 9);
    Table<Tunedeck> t(e.db);
    QCOMPARE(t.fetch(r.lastPosition), 0);
    QCOMPARE(t.rec.ID, 4);

    // When the number search gives up, the dropped song itself moves to the album.
    Env big;
    addSongRange(big.db, 201, 201);
    r = dropSongsOnAlbum(big.db, album(9), { 300 });
    QCOMPARE(r.stored, 1);
    QCOMPARE(songCount(big.db), 201);
    QCOMPARE(storedSong(big.db, 300).AlbumID, 9);
    QVERIFY(big.script->asked().isEmpty());
}

void TestAlbumSongs::failedDropStoresNothing()
{
    Env e;
    QVERIFY(test::addRecord(e.db, song(1, 0, 1, "CD", "", "Fine")));
    QVERIFY(test::addRecord(e.db, song(2, 0, 2, "CD", "", "Refused")));
    {
        test::RawFile raw(e.db.filePath(TableId::Tunedeck));
        QVERIFY(raw.exec("CREATE TRIGGER refuse BEFORE INSERT ON Tunedeck WHEN NEW.Title = 'Refused' "
                         "BEGIN SELECT RAISE(ABORT, 'no'); END"));
    }
    const DropResult r = dropSongsOnAlbum(e.db, album(9), { 1, 2 });
    QVERIFY(r.failed);
    QCOMPARE(r.stored, 0);
    QCOMPARE(e.script->captions(), QStringList { "Error" });
    QVERIFY(e.script->asked().first().text.startsWith(QLatin1String("Error updating song database - ")));
    QCOMPARE(songCount(e.db), 2); // the first song's copy was rolled back with the rest
}

void TestAlbumSongs::dragData_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<qint32>>("ids");
    QTest::newRow("one") << QByteArray("4") << QList<qint32> { 4 };
    QTest::newRow("several, each once") << QByteArray("4\n7\n4\n") << QList<qint32> { 4, 7 };
    QTest::newRow("text") << QByteArray("Waterloo") << QList<qint32> {};
    QTest::newRow("one bad line spoils all") << QByteArray("4\nx") << QList<qint32> {};
    QTest::newRow("negative") << QByteArray("-3") << QList<qint32> {};
    QTest::newRow("too large") << QByteArray("99999999999") << QList<qint32> {};
    QTest::newRow("empty") << QByteArray() << QList<qint32> {};
}

void TestAlbumSongs::dragData()
{
    QFETCH(QByteArray, data);
    QFETCH(QList<qint32>, ids);
    QCOMPARE(songIdsOfDrag(data), ids);
}

// Opened for an album, the song form keeps the song on that album: a new song takes the album's
// values where it has none and the next track; a copy keeps its own; a change takes the album's
// number and title and writes them on OK even when nothing was typed.
void TestAlbumSongs::songFormForAlbum()
{
    Env e;
    const Album a = album(5, "LP", "F7");
    QVERIFY(test::addRecord(e.db, song(1, 5, 3)));
    {
        SongForm f(e.state, Request::Insert, Tunedeck(), &a);
        QVERIFY(f.open());
        const Tunedeck s = storedSong(e.db, 2); // stored as the form opens
        QCOMPARE(s.AlbumID, 5);
        QCOMPARE(s.TrackNumber, 4);
        QCOMPARE(f.song().Artist, QStringLiteral("Album Artist"));
        QCOMPARE(f.song().Album, QStringLiteral("Album Title"));
        QCOMPARE(f.song().Media, QStringLiteral("LP"));
        QCOMPARE(f.song().FileNumber, QStringLiteral("F7"));
        QCOMPARE(f.song().ReleaseDate, 70000);
        QCOMPARE(f.song().CategoryID, 4);
        QCOMPARE(f.song().Notes, QStringLiteral("Album notes"));
        f.cancel();
        f.close();
        QCOMPARE(songCount(e.db), 1);
    }
    {
        Tunedeck source = song(1, 5, 3, "CD", "OWN", "Copied");
        source.Artist = QStringLiteral("Own Artist");
        source.Notes = QString();
        SongForm f(e.state, Request::Select, source, &a);
        QVERIFY(f.open());
        QCOMPARE(f.song().Artist, QStringLiteral("Own Artist"));
        QCOMPARE(f.song().FileNumber, QStringLiteral("OWN"));
        QCOMPARE(f.song().Notes, QStringLiteral("Album notes"));
        QCOMPARE(f.song().Media, QStringLiteral("LP"));
        QCOMPARE(f.song().TrackNumber, 4);
        QCOMPARE(f.save(), SongForm::Save::Closed);
        f.close();
    }
    {
        QVERIFY(test::addRecord(e.db, song(9, 2, 1, "CD", "", "Elsewhere")));
        SongForm f(e.state, Request::Change, storedSong(e.db, 9), &a);
        QVERIFY(f.open());
        QCOMPARE(f.save(), SongForm::Save::Closed);
        QCOMPARE(f.response(), Response::Completed);
        f.close();
        QCOMPARE(storedSong(e.db, 9).AlbumID, 5);
        QCOMPARE(storedSong(e.db, 9).Album, QStringLiteral("Album Title"));
    }
}

QTEST_GUILESS_MAIN(TestAlbumSongs)
#include "tst_albumsongs.moc"

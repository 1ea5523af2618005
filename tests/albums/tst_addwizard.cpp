// The add wizards' logic: track numbering and the four moves (kept track numbers, one transaction),
// the OK transfer into album and songs, and the instance numbers open wizards claim.

#include "../data/DataTestUtil.h"
#include "TestApp.h"
#include "albums/AddWizardTracks.h"
#include "albums/AddWizardTransfer.h"

#include <QtTest>

using namespace td;

namespace {

constexpr qint64 kInstance = 1;
constexpr qint64 kOther = 2;

qint64 addRow(Database& db, qint64 instance, qint64 track, const QString& title, qint32 time = 0,
    const QString& artist = {})
{
    AddWizard r;
    r.Instance = instance;
    r.Track = track;
    r.Title = title;
    r.Time = time;
    r.Artist = artist;
    return test::addRecord(db, r);
}

// "title=track" for every row of an instance, in key order.
QStringList rowsOf(Database& db, qint64 instance)
{
    AddWizardTracks t(db, instance);
    QList<WizardTrack> rows;
    if (t.rows(rows) != 0)
        return { QStringLiteral("<read failed>") };
    QStringList out;
    for (const WizardTrack& r : rows)
        out << QStringLiteral("%1=%2").arg(r.rec.Title).arg(r.rec.Track);
    return out;
}

QList<Tunedeck> songsOf(Database& db)
{
    Table<Tunedeck> t(db);
    QList<Tunedeck> out;
    t.set(t.key(QStringLiteral("MUS:KeyID")));
    while (t.next() == 0)
        out << t.rec;
    return out;
}

QList<Album> albumsOf(Database& db)
{
    Table<Album> t(db);
    QList<Album> out;
    t.set(t.key(QStringLiteral("ALB:KeyAlbumID")));
    while (t.next() == 0)
        out << t.rec;
    return out;
}

void addAlbum(Database& db, qint32 id, const QString& artist, const QString& title, const QString& cd = {})
{
    Album a;
    a.AlbumID = id;
    a.Artist = artist;
    a.Album = title;
    a.CDIdentifier = cd;
    QVERIFY(test::addRecord(db, a));
}

void addSongId(Database& db, qint32 id)
{
    QVERIFY(test::addRecord(db, test::makeSong(QStringLiteral("Someone"), QStringLiteral("Old"), id)));
}

WizardHeader header(const QString& artist, const QString& album, bool compilation = false)
{
    WizardHeader h;
    h.song.Artist = artist;
    h.song.Album = album;
    h.song.Media = QStringLiteral("CD");
    h.song.FileNumber = QStringLiteral("F-7");
    h.song.ReleaseDate = 71234;
    h.song.CategoryID = 4;
    h.song.Notes = QStringLiteral("liner notes");
    h.compilation = compilation;
    h.firstSongId = 1;
    return h;
}

} // namespace

class TestAddWizard : public QObject {
    Q_OBJECT
private slots:
    void nextTrackNumber();
    void moves_data();
    void moves();
    void failingMoveLeavesRowsAsTheyWere();
    void transferSongs();
    void albumRules_data();
    void albumRules();
    void albumThatCannotBeAdded();
    void songNumbering_data();
    void songNumbering();
    void failedSongKeepsItsRowAndTheNextGoesOn();
    void timeText_data();
    void timeText();
    void instanceClaims();
};

void TestAddWizard::nextTrackNumber()
{
    test::TestDb e;
    AddWizardTracks tracks(e.db, kInstance);
    qint64 next = -1;
    QCOMPARE(tracks.nextTrack(QString(), &next), 0);
    QCOMPARE(next, 1);
    addRow(e.db, kInstance, 1, QStringLiteral("A"));
    addRow(e.db, kInstance, 5, QStringLiteral("B"));
    addRow(e.db, kOther, 9, QStringLiteral("elsewhere"));
    QCOMPARE(tracks.nextTrack(QString(), &next), 0);
    QCOMPARE(next, 6);

    qint64 position = 0;
    AddWizard values;
    values.Title = QStringLiteral("C");
    values.Instance = kOther; // the wizard's own number wins
    QCOMPARE(tracks.addTrack(values, &position), RecordResult::Done);
    QVERIFY(position > 0);
    QCOMPARE(rowsOf(e.db, kInstance), (QStringList { "A=1", "B=5", "C=6" }));
    QCOMPARE(rowsOf(e.db, kOther), (QStringList { "elsewhere=9" }));

    // With track 99 taken the next add takes the lowest number still free.
    addRow(e.db, kInstance, 99, QStringLiteral("Hidden"));
    values.Title = QStringLiteral("D");
    QCOMPARE(tracks.addTrack(values, &position), RecordResult::Done);
    QCOMPARE(rowsOf(e.db, kInstance), (QStringList { "A=1", "D=2", "B=5", "C=6", "Hidden=99" }));
    QVERIFY(e.script->asked().isEmpty());
}

void TestAddWizard::moves_data()
{
    QTest::addColumn<QList<int>>("tracks");
    QTest::addColumn<int>("moved"); // index into tracks
    QTest::addColumn<int>("direction");
    QTest::addColumn<QList<int>>("after"); // the track of each original row, same order

    const int up = int(TrackMove::Up), top = int(TrackMove::Top), down = int(TrackMove::Down),
              bottom = int(TrackMove::Bottom);
    const QList<int> gap { 1, 2, 5 };
    QTest::newRow("last to top over a gap") << gap << 2 << top << QList<int> { 2, 5, 1 };
    QTest::newRow("first to bottom over a gap") << gap << 0 << bottom << QList<int> { 5, 1, 2 };
    QTest::newRow("up swaps with the row above") << gap << 2 << up << QList<int> { 1, 5, 2 };
    QTest::newRow("down swaps with the row below") << gap << 0 << down << QList<int> { 2, 1, 5 };
    QTest::newRow("first up changes nothing") << gap << 0 << up << gap;
    QTest::newRow("first to top changes nothing") << gap << 0 << top << gap;
    QTest::newRow("last down changes nothing") << gap << 2 << down << gap;
    QTest::newRow("last to bottom changes nothing") << gap << 2 << bottom << gap;
    QTest::newRow("single row") << QList<int> { 3 } << 0 << top << QList<int> { 3 };

    // Ninety-nine tracks: no number above the highest fits the field to wait under.
    QList<int> full, shifted, lastFirst;
    for (int i = 1; i <= 99; ++i) {
        full << i;
        shifted << (i == 99 ? 1 : i + 1);
        lastFirst << (i == 1 ? 99 : i - 1);
    }
    QTest::newRow("last of 99 to top") << full << 98 << top << shifted;
    QTest::newRow("first of 99 to bottom") << full << 0 << bottom << lastFirst;
}

void TestAddWizard::moves()
{
    QFETCH(QList<int>, tracks);
    QFETCH(int, moved);
    QFETCH(int, direction);
    QFETCH(QList<int>, after);

    test::TestDb e;
    QList<qint64> positions;
    QStringList expected;
    for (int i = 0; i < tracks.size(); ++i)
        positions << addRow(e.db, kInstance, tracks.at(i), QStringLiteral("T%1").arg(i), 100 + i);
    addRow(e.db, kOther, 1, QStringLiteral("other"));
    QMap<int, QString> byTrack;
    for (int i = 0; i < after.size(); ++i)
        byTrack.insert(after.at(i), QStringLiteral("T%1=%2").arg(i).arg(after.at(i)));
    expected = byTrack.values();

    AddWizardTracks t(e.db, kInstance);
    QVERIFY(t.move(positions.at(moved), TrackMove(direction)));
    QCOMPARE(rowsOf(e.db, kInstance), expected);
    QCOMPARE(rowsOf(e.db, kOther), (QStringList { "other=1" }));
    QVERIFY(e.script->asked().isEmpty());
    // Each row keeps its time with its title.
    AddWizard moving;
    QCOMPARE(t.read(positions.at(moved), &moving), 0);
    QCOMPARE(moving.Time, 100 + moved);
    QCOMPARE(moving.Track, qint64(after.at(moved)));
}

void TestAddWizard::failingMoveLeavesRowsAsTheyWere()
{
    test::TestDb e;
    addRow(e.db, kInstance, 1, QStringLiteral("A"));
    addRow(e.db, kInstance, 2, QStringLiteral("B"));
    const qint64 c = addRow(e.db, kInstance, 5, QStringLiteral("C"));
    {
        // B cannot take number 5: the move fails after C has been parked and A has moved.
        test::RawFile raw(e.db.filePath(TableId::AddWizard));
        QVERIFY2(raw.exec("CREATE TRIGGER refuse BEFORE UPDATE ON AddWizard WHEN OLD.Track = 1 AND NEW.Track = 2 "
                          "BEGIN SELECT RAISE(ABORT, 'refused by test'); END"),
            qPrintable(raw.lastError));
    }
    AddWizardTracks t(e.db, kInstance);
    QVERIFY(!t.move(c, TrackMove::Top));
    QCOMPARE(e.script->captions(), (QStringList { "Error!" }));
    const QString text = e.script->asked().first().text;
    QVERIFY2(text.startsWith(QStringLiteral("Record swap error: \r\n")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("\r\nAddWizard, AW:KeyInstance\r\nKey Field AW:Instance = 1\r\n"
                                          "Key Field AW:Track = 2\r\nSection = Put Swap\r\n")),
        qPrintable(text));
    QCOMPARE(rowsOf(e.db, kInstance), (QStringList { "A=1", "B=2", "C=5" }));
}

void TestAddWizard::transferSongs()
{
    test::TestDb e;
    addRow(e.db, kInstance, 1, QStringLiteral("Girls & Boys"), 26301);
    addRow(e.db, kInstance, 2, QString(), 0); // no title, no time
    addRow(e.db, kInstance, 3, QStringLiteral("Long"), 450001);
    addRow(e.db, kOther, 1, QStringLiteral("another wizard's"));
    WizardHeader h = header(QStringLiteral("Blur"), QStringLiteral("Parklife"));
    h.firstSongId = 7;

    const WizardTransferResult r = transferWizard(e.db, kInstance, h);
    QVERIFY(r.committed);
    QVERIFY(e.script->asked().isEmpty());
    QCOMPARE(r.songsWritten, 3);
    const QList<Tunedeck> songs = songsOf(e.db);
    QCOMPARE(songs.size(), 3);
    QStringList got;
    for (const Tunedeck& s : songs) {
        got << QStringLiteral("%1 %2 t%3 %4 [%5] %6").arg(s.ID).arg(s.Title).arg(s.TrackNumber).arg(s.Time)
                   .arg(s.AdditionalInformation1).arg(s.AlbumID);
        QCOMPARE(s.Artist, QStringLiteral("Blur"));
        QCOMPARE(s.Album, QStringLiteral("Parklife"));
        QCOMPARE(s.FileNumber, QStringLiteral("F-7"));
        QCOMPARE(s.ReleaseDate, 71234);
        QCOMPARE(s.CategoryID, 4);
        QCOMPARE(s.Notes, QStringLiteral("liner notes"));
    }
    QCOMPARE(got,
        (QStringList { "7 Girls & Boys t1 26301 [04:23] 1", "8 Track 2 t2 0 [] 1", "9 Long t3 450001 [15:00] 1" }));
    QCOMPARE(rowsOf(e.db, kInstance), QStringList());
    QCOMPARE(rowsOf(e.db, kOther), (QStringList { "another wizard's=1" }));

    // A compilation takes each track's artist (blank too); the album is by "Various".
    test::TestDb c;
    addRow(c.db, kInstance, 1, QStringLiteral("One"), 0, QStringLiteral("Seal"));
    addRow(c.db, kInstance, 2, QStringLiteral("Two"), 0, QString());
    const WizardTransferResult rc = transferWizard(c.db, kInstance, header({}, QStringLiteral("Hits"), true));
    QVERIFY(rc.albumAdded);
    const QList<Tunedeck> cs = songsOf(c.db);
    QCOMPARE(cs.size(), 2);
    QCOMPARE(cs.at(0).Artist, QStringLiteral("Seal"));
    QCOMPARE(cs.at(1).Artist, QString());
    QCOMPARE(albumsOf(c.db).first().Artist, QStringLiteral("Various"));

    // A wizard without tracks writes the album only.
    test::TestDb n;
    const WizardTransferResult rn = transferWizard(n.db, kInstance, header("Pulp", "His 'n' Hers"));
    QVERIFY(rn.albumAdded);
    QCOMPARE(albumsOf(n.db).size(), 1);
    QVERIFY(songsOf(n.db).isEmpty());
}

void TestAddWizard::albumRules_data()
{
    QTest::addColumn<bool>("compilation");
    QTest::addColumn<bool>("addToAlbums");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("cd");
    QTest::addColumn<qint32>("linkedTo");
    QTest::addColumn<QString>("album"); // artist|title|cd of the linked album, empty for none
    QTest::addColumn<QStringList>("captions");

    // Stored before each case: 1 Blur/Parklife (cd " 312345"), 2 Blur/Leisure, 3 Blur/Leisure (Copy),
    // 4 Various/Hits, 6 Oasis/Be Here Now (there is no album 5); the long title adds album 9.
    const QStringList none;
    QTest::newRow("new album takes the next number")
        << false << true << "Pulp" << "Different Class" << " 4123" << 7 << "Pulp|Different Class| 4123" << none;
    QTest::newRow("same title and artist: a copy")
        << false << true << "blur" << "parklife " << "" << 7 << "blur|parklife (Copy)|" << none;
    QTest::newRow("the copy is there too: warning, songs to the album there")
        << false << true << "Blur" << "Leisure" << "" << 2 << "Blur|Leisure|" << QStringList { "Warning" };
    QTest::newRow("a disc identifier in use is cleared")
        << false << true << "Pulp" << "Intro" << " 312345" << 7 << "Pulp|Intro|" << none;
    QTest::newRow("a long title makes room for the copy mark")
        << false << true << "Oasis" << "Be Here Now" << "" << 7 << "Oasis|Be Here Now (Copy)|" << none;
    QTest::newRow("compilation by Various")
        << true << true << "ignored" << "Summer" << " 312345" << 7 << "Various|Summer|" << none;
    QTest::newRow("second compilation of a name: a copy")
        << true << true << "" << "Hits" << "" << 7 << "Various|Hits (Copy)|" << none;
    QTest::newRow("not added: linked to the album there")
        << false << false << "BLUR" << "Parklife" << "" << 1 << "Blur|Parklife| 312345" << none;
    QTest::newRow("not added: compilation found under Various")
        << true << false << "" << "Hits" << "" << 4 << "Various|Hits|" << none;
    QTest::newRow("not added and not there: no album")
        << false << false << "Pulp" << "Intro" << "" << 0 << "" << none;
}

void TestAddWizard::albumRules()
{
    QFETCH(bool, compilation);
    QFETCH(bool, addToAlbums);
    QFETCH(QString, artist);
    QFETCH(QString, title);
    QFETCH(QString, cd);
    QFETCH(qint32, linkedTo);
    QFETCH(QString, album);
    QFETCH(QStringList, captions);

    test::TestDb e;
    addAlbum(e.db, 1, "Blur", "Parklife", " 312345");
    addAlbum(e.db, 2, "Blur", "Leisure");
    addAlbum(e.db, 3, "Blur", "Leisure (Copy)");
    addAlbum(e.db, 4, "Various", "Hits");
    addAlbum(e.db, 6, "Oasis", "Be Here Now");
    if (QString(QTest::currentDataTag()).contains("long title")) {
        title = QStringLiteral("Be Here Now") + QString(29, QLatin1Char('!'));
        addAlbum(e.db, 9, "Oasis", title);
        album = QStringLiteral("Oasis|") + copyTitle(title) + QStringLiteral("|");
        QCOMPARE(copyTitle(title).size(), 40);
        QVERIFY(copyTitle(title).endsWith(" (Copy)"));
        linkedTo = 10;
    }
    addRow(e.db, kInstance, 1, QStringLiteral("Song"));
    WizardHeader h = header(artist, title, compilation);
    h.addToAlbums = addToAlbums;
    h.cdIdentifier = cd;

    const WizardTransferResult r = transferWizard(e.db, kInstance, h);
    QVERIFY(r.committed);
    QCOMPARE(e.script->captions(), captions);
    QCOMPARE(r.albumId, linkedTo);
    const QList<Tunedeck> songs = songsOf(e.db);
    QCOMPARE(songs.size(), 1);
    QCOMPARE(songs.first().AlbumID, linkedTo);
    QString got;
    for (const Album& a : albumsOf(e.db))
        if (a.AlbumID == linkedTo && linkedTo != 0)
            got = a.Artist + QLatin1Char('|') + a.Album + QLatin1Char('|') + a.CDIdentifier;
    QCOMPARE(got, album);
    if (r.albumAdded) {
        const Album added = albumsOf(e.db).last();
        QCOMPARE(added.Notes, QStringLiteral("liner notes"));
        QCOMPARE(added.FileNumber, QStringLiteral("F-7"));
        QCOMPARE(added.Media, QStringLiteral("CD"));
        QCOMPARE(added.ReleaseDate, 71234);
        QCOMPARE(added.CategoryID, 4);
    }
}

void TestAddWizard::albumThatCannotBeAdded()
{
    test::TestDb e;
    {
        Table<Album> create(e.db);
    }
    {
        test::RawFile raw(e.db.filePath(TableId::Album));
        QVERIFY2(raw.exec("CREATE TRIGGER refuse BEFORE INSERT ON Album BEGIN SELECT RAISE(ABORT, 'refused by test'); END"),
            qPrintable(raw.lastError));
    }
    addRow(e.db, kInstance, 1, QStringLiteral("One"));
    const WizardTransferResult r = transferWizard(e.db, kInstance, header("Blur", "Parklife"));
    QVERIFY(r.committed);
    QVERIFY(!r.albumAdded);
    QCOMPARE(e.script->captions(), (QStringList { "Error" }));
    const QString text = e.script->asked().first().text;
    QVERIFY2(text.startsWith(QStringLiteral("Error adding album information:\r\n")) && text.endsWith("\r\n"),
        qPrintable(text));
    // The songs are written all the same, linked to no album rather than to a number nobody has.
    const QList<Tunedeck> songs = songsOf(e.db);
    QCOMPARE(songs.size(), 1);
    QCOMPARE(songs.first().AlbumID, 0);
    QVERIFY(albumsOf(e.db).isEmpty());
}

void TestAddWizard::songNumbering_data()
{
    QTest::addColumn<QList<int>>("stored");
    QTest::addColumn<int>("first");
    QTest::addColumn<QList<int>>("ids");

    QTest::newRow("the number taken at opening is free") << QList<int> { 1, 2 } << 3 << QList<int> { 3, 4 };
    QTest::newRow("none taken: from 1") << QList<int>() << 0 << QList<int> { 1, 2 };
    // Taken by another window meanwhile: raised to the song count, then one by one to a free one.
    QTest::newRow("taken: raised past the song count") << QList<int> { 1, 2, 3, 10 } << 3 << QList<int> { 5, 6 };
    QTest::newRow("taken on the second song") << QList<int> { 1, 4, 5 } << 3 << QList<int> { 3, 6 };
}

void TestAddWizard::songNumbering()
{
    QFETCH(QList<int>, stored);
    QFETCH(int, first);
    QFETCH(QList<int>, ids);

    test::TestDb e;
    for (int id : stored)
        addSongId(e.db, id);
    addRow(e.db, kInstance, 1, QStringLiteral("One"));
    addRow(e.db, kInstance, 2, QStringLiteral("Two"));
    WizardHeader h = header("Blur", "Parklife");
    h.firstSongId = first;
    const WizardTransferResult r = transferWizard(e.db, kInstance, h);
    QCOMPARE(r.songsWritten, 2);
    QVERIFY(e.script->asked().isEmpty());
    QList<int> got;
    for (const Tunedeck& s : songsOf(e.db))
        if (s.Album == QLatin1String("Parklife"))
            got << s.ID;
    QCOMPARE(got, ids);
}

void TestAddWizard::failedSongKeepsItsRowAndTheNextGoesOn()
{
    test::TestDb e;
    addRow(e.db, kInstance, 1, QStringLiteral("One"));
    addRow(e.db, kInstance, 2, QStringLiteral("Refused"));
    addRow(e.db, kInstance, 3, QStringLiteral("Three"));
    {
        Table<Tunedeck> create(e.db);
    }
    {
        test::RawFile raw(e.db.filePath(TableId::Tunedeck));
        QVERIFY2(raw.exec("CREATE TRIGGER refuse BEFORE INSERT ON Tunedeck WHEN NEW.Title = 'Refused' "
                          "BEGIN SELECT RAISE(ABORT, 'refused by test'); END"),
            qPrintable(raw.lastError));
    }
    const WizardTransferResult r = transferWizard(e.db, kInstance, header("Blur", "Parklife"));
    QVERIFY(r.committed);
    QCOMPARE(r.songsWritten, 2);
    QCOMPARE(r.songsFailed, 1);
    QCOMPARE(e.script->captions(), (QStringList { "Error!" }));
    QVERIFY2(e.script->asked().first().text.startsWith("Error adding to music database from Wizard:  "),
        qPrintable(e.script->asked().first().text));
    QStringList titles;
    for (const Tunedeck& s : songsOf(e.db))
        titles << s.Title;
    QCOMPARE(titles, (QStringList { "One", "Three" }));
    QCOMPARE(rowsOf(e.db, kInstance), (QStringList { "Refused=2" }));
    QCOMPARE(albumsOf(e.db).size(), 1);
}

void TestAddWizard::timeText_data()
{
    QTest::addColumn<int>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << "";
    QTest::newRow("4:23") << 26301 << "04:23";
    QTest::newRow("hundredths dropped") << 26399 << "04:23";
    QTest::newRow("59:59") << 359901 << "59:59";
    QTest::newRow("past an hour: minutes of the hour") << 450001 << "15:00";
}

void TestAddWizard::timeText()
{
    QFETCH(int, time);
    QFETCH(QString, text);
    QCOMPARE(wizardTimeText(time), text);
}

void TestAddWizard::instanceClaims()
{
    test::TestApp app;
    AppState& s = app.state;
    QCOMPARE(s.claimWizardInstance(), 1);
    QCOMPARE(s.claimWizardInstance(), 2);
    QCOMPARE(s.claimWizardInstance(), 3);
    s.releaseWizardInstance(2);
    // The next wizard finds the rows a closed one left.
    QCOMPARE(s.claimWizardInstance(), 2);
    s.releaseWizardInstance(1);
    s.releaseWizardInstance(3);
    QCOMPARE(s.claimWizardInstance(), 1);
    QCOMPARE(s.claimWizardInstance(), 3);
    QVERIFY(s.wizardInstanceHeld(2));
}

QTEST_GUILESS_MAIN(TestAddWizard)
#include "tst_addwizard.moc"

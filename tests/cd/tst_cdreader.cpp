// ReadCompactDisc: the three drive checks and their messages, the disc identifier read through the
// device, and what each mode writes to the album buffer and the tables.

#include "CdTestUtil.h"
#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "cd/CompactDiscReader.h"
#include "cd/ReadProgress.h"
#include "data/Database.h"
#include "data/TableHandle.h"

#include <QtTest>
#include <sqlite3.h>

using namespace td;
using td::test::msf;
using td::test::timeOfFrames;
using td::test::writeText;

namespace {

// Records what the reader tells its window.
struct RecordedProgress : ReadProgress {
    void start(const QString& c, const QString& s) override
    {
        caption = c;
        statuses << s;
        ++starts;
    }
    void setStatus(const QString& s) override { statuses << s; }
    void setPercent(int p) override { percents << p; }
    void yield() override { ++yields; }
    void finish() override { ++finishes; }

    QString caption;
    QStringList statuses;
    QList<int> percents;
    int starts = 0, yields = 0, finishes = 0;
};

// Twelve tracks, the disc 43:21 long, its first track 4:23, its second 5:00 and its third 3:00 and
// a few frames (frames never count).
QList<int> twelveTracks()
{
    QList<int> l { msf(4, 23, 10), msf(5, 0), msf(3, 0, 74) };
    int rest = msf(43, 21) - l[0] - l[1] - l[2];
    for (int i = 0; i < 8; ++i) {
        l << rest / 9;
    }
    l << rest - 8 * (rest / 9);
    return l;
}

QString tocText(const QList<int>& lengths)
{
    return tocLine(test::tocOfLengths(lengths)) + QLatin1Char('\n');
}

void addSong(Database& db, qint32 id, qint32 albumId, int track, const QString& title, int time = 0)
{
    Table<Tunedeck> t(db);
    t.rec.ID = id;
    t.rec.AlbumID = albumId;
    t.rec.TrackNumber = track;
    t.rec.Title = title;
    t.rec.Artist = QStringLiteral("Someone Else");
    t.rec.Time = time;
    QCOMPARE(t.add(), 0);
}

void addWizardRow(Database& db, qint64 instance, int track, const QString& artist, const QString& title)
{
    Table<AddWizard> t(db);
    t.rec.Instance = instance;
    t.rec.Track = track;
    t.rec.Artist = artist;
    t.rec.Title = title;
    t.rec.Time = 12301;
    QCOMPARE(t.add(), 0);
}

QList<Tunedeck> songsOfAlbum(Database& db, qint32 albumId)
{
    QList<Tunedeck> out;
    Table<Tunedeck> t(db);
    t.rec.AlbumID = albumId;
    if (t.setFromBuffer(t.key("MUS:KeyAlbumID")) != 0)
        return out;
    while (t.next() == 0 && t.rec.AlbumID == albumId)
        out << t.rec;
    return out;
}

QList<AddWizard> wizardRows(Database& db, qint64 instance)
{
    QList<AddWizard> out;
    Table<AddWizard> t(db);
    t.rec.Instance = instance;
    if (t.setFromBuffer(t.key("AW:KeyInstance")) != 0)
        return out;
    while (t.next() == 0 && t.rec.Instance == instance)
        out << t.rec;
    return out;
}

qint64 rowsIn(Database& db, TableId table)
{
    TableHandle h(db, table);
    return h.records();
}

Album sampleAlbum(qint32 id = 0)
{
    Album a;
    a.AlbumID = id;
    a.Artist = QStringLiteral("The Band");
    a.Album = QStringLiteral("First Light");
    a.Media = QStringLiteral("CD");
    a.FileNumber = QStringLiteral("F-17");
    a.ReleaseDate = 75000;
    a.CategoryID = 4;
    a.CDIdentifier = QStringLiteral("old");
    a.TotalTime = 777;
    return a;
}

} // namespace

class TestCdReader : public QObject {
    Q_OBJECT
private slots:
    void driveChecks_data();
    void driveChecks();
    void identifiers_data();
    void identifiers();
    void identifierOnly();
    void fullModeWithoutAlbum();
    void fullModeKeepsSongs();
    void wizardModeKeepsRows_data();
    void wizardModeKeepsRows();
    void progressStopsAtTwentySteps();
    void failedWriteChangesNothing();
};

void TestCdReader::driveChecks_data()
{
    QTest::addColumn<QString>("setup"); // a .toc file's contents, or "nodrive" / "busy"
    QTest::addColumn<QString>("message");
    QTest::newRow("no drive") << "nodrive" << cdNotAvailableText();
    QTest::newRow("drive held by another program") << "busy" << cdNotAvailableText();
    QTest::newRow("no disc") << "nodisc"
                             << "CD player not ready.";
    QTest::newRow("disc not ready") << "notready"
                                    << "CD player not ready.";
    QTest::newRow("door open") << "open"
                               << "CD player door open.";
}

void TestCdReader::driveChecks()
{
    QFETCH(QString, setup);
    QFETCH(QString, message);
    QCOMPARE(cdNotAvailableText(),
        QStringLiteral("CD player not available.  Ensure that no other program is using the CD-ROM drive."));
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    const QString source = setup == QLatin1String("nodrive") ? ws.file("no-such-drive") : ws.file("disc.toc");
    QVERIFY(writeText(ws.file("disc.toc"), setup == QLatin1String("busy") ? tocText({ msf(3, 0) }) : setup));
    CdAudioDevice device(createDrive(source));
    CdAudioClient other(device);
    if (setup == QLatin1String("busy"))
        QCOMPARE(other.send("open cdaudio").code, 0);

    Album album = sampleAlbum(5);
    RecordedProgress progress;
    QVERIFY(!ReadCompactDisc(device, db, album, false, false, 0, &progress));

    QCOMPARE(script->asked().size(), 1);
    QCOMPARE(script->asked().first().caption, QStringLiteral("Error"));
    QCOMPARE(script->asked().first().text, message);
    QCOMPARE(album.CDIdentifier, QStringLiteral("old"));
    QCOMPARE(album.TotalTime, 777);
    QCOMPARE(progress.starts, 0);
    QCOMPARE(progress.finishes, 0);
    // The reader's own open is given back; another program's stays.
    QCOMPARE(device.openCount(), setup == QLatin1String("busy") ? 1 : 0);
    QVERIFY(other.isOpen() == (setup == QLatin1String("busy")));
    QCOMPARE(rowsIn(db, TableId::Tunedeck), 0);
}

void TestCdReader::identifiers_data()
{
    QTest::addColumn<QList<int>>("lengths");
    QTest::addColumn<QString>("identifier");
    // Each length by hand: 3:00 is 18001, 4:23 is 26301, and so on.
    QTest::newRow("one track") << QList<int> { msf(3, 0, 40) } << " 11800118001";
    QTest::newRow("two tracks") << QList<int> { msf(3, 0), msf(4, 23, 74) } << " 2443011800126301";
    QTest::newRow("three tracks") << QList<int> { msf(3, 0), msf(4, 23), msf(1, 2) }
                                  << " 35050118001263016201";
    QTest::newRow("nine tracks") << QList<int> { msf(1, 0), msf(1, 0), msf(1, 0), msf(1, 0), msf(1, 0),
        msf(1, 0), msf(1, 0), msf(1, 0), msf(1, 0) }
                                 << " 954001600160016001";
    QTest::newRow("twelve tracks") << twelveTracks() << "12260101263013000118001";
    QList<int> fifteen(15, msf(5, 0));
    QTest::newRow("fifteen tracks, 75 minutes") << fifteen << "15450001300013000130001";
    QList<int> long3(3, msf(20, 0));
    long3 << QList<int>(9, msf(1, 0));
    QTest::newRow("cut to 24 characters") << long3 << "124140011200011200011200";
}

void TestCdReader::identifiers()
{
    QFETCH(QList<int>, lengths);
    QFETCH(QString, identifier);
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    QVERIFY(writeText(ws.file("disc.toc"), tocText(lengths)));
    test::VirtualCd cd(ws.file("disc.toc"));
    Album album = sampleAlbum();
    QVERIFY(ReadCompactDisc(cd.device, db, album, true, false));
    QCOMPARE(album.CDIdentifier, identifier);
    QVERIFY(script->asked().isEmpty());
}

void TestCdReader::identifierOnly()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    addSong(db, 1, 5, 1, "Kept");
    QVERIFY(writeText(ws.file("disc.toc"), tocText(twelveTracks())));
    test::VirtualCd cd(ws.file("disc.toc"));

    Album album = sampleAlbum(5);
    RecordedProgress progress;
    QVERIFY(ReadCompactDisc(cd.device, db, album, true, false, 0, &progress));
    QCOMPARE(album.CDIdentifier, QStringLiteral("12260101263013000118001"));
    QCOMPARE(album.TotalTime, 777); // not set in this mode
    QCOMPARE(songsOfAlbum(db, 5).size(), 1);
    QCOMPARE(songsOfAlbum(db, 5).first().Time, 0);
    QCOMPARE(progress.caption, QStringLiteral("Reading CD"));
    QCOMPARE(progress.statuses, QStringList { "Serial Number" });
    QVERIFY(progress.percents.isEmpty());
    QCOMPARE(progress.finishes, 1);
    QCOMPARE(cd.device.openCount(), 0);
}

void TestCdReader::fullModeWithoutAlbum()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    QVERIFY(writeText(ws.file("disc.toc"), tocText({ msf(3, 0), msf(4, 23) })));
    test::VirtualCd cd(ws.file("disc.toc"));
    Album album = sampleAlbum(0);
    QVERIFY(ReadCompactDisc(cd.device, db, album, false, false));
    QCOMPARE(album.TotalTime, 44301);
    QCOMPARE(album.CDIdentifier, QStringLiteral(" 2443011800126301"));
    QCOMPARE(rowsIn(db, TableId::Tunedeck), 0);
    QCOMPARE(rowsIn(db, TableId::AddWizard), 0);
    QCOMPARE(cd.device.openCount(), 0);
}

void TestCdReader::fullModeKeepsSongs()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    for (int i = 1; i <= 5; ++i)
        addSong(db, 10 + i, 5, i, QStringLiteral("Song %1").arg(i), 99901);
    addSong(db, 40, 6, 6, "Other album"); // the highest number: new songs follow it
    const QList<int> lengths = twelveTracks();
    QVERIFY(writeText(ws.file("disc.toc"), tocText(lengths)));
    test::VirtualCd cd(ws.file("disc.toc"));

    Album album = sampleAlbum(5);
    RecordedProgress progress;
    QVERIFY(ReadCompactDisc(cd.device, db, album, false, false, 0, &progress));
    QVERIFY(script->asked().isEmpty());
    QCOMPARE(album.TotalTime, 260101);
    QCOMPARE(album.CDIdentifier, QStringLiteral("12260101263013000118001"));

    const QList<Tunedeck> songs = songsOfAlbum(db, 5);
    QCOMPARE(songs.size(), 12);
    for (int i = 1; i <= 12; ++i) {
        const Tunedeck& s = songs.at(i - 1);
        QCOMPARE(s.TrackNumber, i);
        QCOMPARE(s.Time, timeOfFrames(lengths.at(i - 1)));
        if (i <= 5) {
            QCOMPARE(s.Title, QStringLiteral("Song %1").arg(i));
            QCOMPARE(s.Artist, QStringLiteral("Someone Else"));
            QCOMPARE(s.ID, 10 + i);
        } else {
            QCOMPARE(s.Title, QStringLiteral("Track %1").arg(i));
            QCOMPARE(s.ID, 41 + (i - 6));
            QCOMPARE(s.Artist, album.Artist);
            QCOMPARE(s.Album, album.Album);
            QCOMPARE(s.Media, album.Media);
            QCOMPARE(s.FileNumber, album.FileNumber);
            QCOMPARE(s.ReleaseDate, album.ReleaseDate);
            QCOMPARE(qint64(s.CategoryID), album.CategoryID);
        }
    }
    const QList<Tunedeck> other = songsOfAlbum(db, 6);
    QCOMPARE(other.size(), 1);
    QCOMPARE(other.first().Time, 0);
    QCOMPARE(rowsIn(db, TableId::AddWizard), 0);

    QStringList expected { "Serial Number" };
    QList<int> percents;
    for (int i = 1; i <= 12; ++i)
        expected << QStringLiteral("Track %1 of 12").arg(i);
    for (int step = 1; step <= 13; ++step)
        percents << step * 5;
    QCOMPARE(progress.statuses, expected);
    QCOMPARE(progress.percents, percents);
    QCOMPARE(progress.yields, 12);
    QCOMPARE(progress.finishes, 1);
    QCOMPARE(cd.device.openCount(), 0);
}

void TestCdReader::wizardModeKeepsRows_data()
{
    QTest::addColumn<QString>("albumArtist");
    QTest::addColumn<QString>("newArtist");
    QTest::addColumn<bool>("identifierOnly");
    QTest::newRow("album artist") << "The Band"
                                  << "The Band" << false;
    QTest::newRow("blank artist: Various") << "   "
                                           << "Various" << false;
    QTest::newRow("long artist cut to 30")
        << QString(40, QLatin1Char('x')) << QString(30, QLatin1Char('x')) << false;
    QTest::newRow("wizard wins over identifier only") << "The Band"
                                                      << "The Band" << true;
}

void TestCdReader::wizardModeKeepsRows()
{
    QFETCH(QString, albumArtist);
    QFETCH(QString, newArtist);
    QFETCH(bool, identifierOnly);
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    addWizardRow(db, 7, 1, "Kept Artist", "Kept Title");
    addWizardRow(db, 7, 2, "", "Second");
    addWizardRow(db, 8, 3, "Another Wizard", "Theirs");
    const QList<int> lengths { msf(3, 0), msf(4, 23), msf(2, 10), msf(6, 1) };
    QVERIFY(writeText(ws.file("disc.toc"), tocText(lengths)));
    test::VirtualCd cd(ws.file("disc.toc"));

    Album album = sampleAlbum(5);
    album.Artist = albumArtist;
    QVERIFY(ReadCompactDisc(cd.device, db, album, identifierOnly, true, 7));
    QCOMPARE(album.TotalTime, timeOfFrames(msf(15, 34)));

    const QList<AddWizard> rows = wizardRows(db, 7);
    QCOMPARE(rows.size(), 4);
    for (int i = 1; i <= 4; ++i) {
        const AddWizard& r = rows.at(i - 1);
        QCOMPARE(r.Track, qint64(i));
        QCOMPARE(r.Time, timeOfFrames(lengths.at(i - 1)));
    }
    QCOMPARE(rows[0].Artist, QStringLiteral("Kept Artist"));
    QCOMPARE(rows[0].Title, QStringLiteral("Kept Title"));
    QCOMPARE(rows[1].Artist, QString());
    QCOMPARE(rows[1].Title, QStringLiteral("Second"));
    QCOMPARE(rows[2].Artist, newArtist);
    QCOMPARE(rows[2].Title, QStringLiteral("Track 3"));
    QCOMPARE(rows[3].Title, QStringLiteral("Track 4"));

    const QList<AddWizard> theirs = wizardRows(db, 8);
    QCOMPARE(theirs.size(), 1);
    QCOMPARE(theirs.first().Time, 12301);
    QCOMPARE(rowsIn(db, TableId::Tunedeck), 0); // no songs in this mode
    QCOMPARE(cd.device.openCount(), 0);
}

void TestCdReader::progressStopsAtTwentySteps()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    QVERIFY(writeText(ws.file("disc.toc"), tocText(QList<int>(25, msf(2, 0)))));
    test::VirtualCd cd(ws.file("disc.toc"));
    Album album = sampleAlbum();
    RecordedProgress progress;
    QVERIFY(ReadCompactDisc(cd.device, db, album, false, true, 3, &progress));
    QCOMPARE(progress.percents.size(), 26);
    QCOMPARE(progress.percents.at(18), 95);
    QCOMPARE(progress.percents.at(19), 100);
    QCOMPARE(progress.percents.last(), 100);
    QCOMPARE(progress.statuses.last(), QStringLiteral("Track 25 of 25"));
    QCOMPARE(wizardRows(db, 3).size(), 25);
    QCOMPARE(readPercent(-1), 0);
}

void TestCdReader::failedWriteChangesNothing()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    addWizardRow(db, 7, 1, "Kept Artist", "Kept Title");
    QVERIFY(writeText(ws.file("disc.toc"), tocText({ msf(3, 0), msf(4, 23) })));
    test::VirtualCd cd(ws.file("disc.toc"));

    // Another program holds the wizard file locked for writing.
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(ws.file("TDPAdWiz.db")).constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    Album album = sampleAlbum(5);
    const bool read = ReadCompactDisc(cd.device, db, album, false, true, 7);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    QVERIFY(!read);
    QCOMPARE(script->numbers(), QList<int> { 31 });
    QCOMPARE(script->asked().first().caption, QStringLiteral("Process PUT Error"));
    QVERIFY(script->asked().first().text.contains(QLatin1String("AddWizard")));
    QCOMPARE(album.CDIdentifier, QStringLiteral("old"));
    QCOMPARE(album.TotalTime, 777);
    const QList<AddWizard> rows = wizardRows(db, 7);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().Time, 12301);
    QCOMPARE(cd.device.openCount(), 0);
}

QTEST_GUILESS_MAIN(TestCdReader)
#include "tst_cdreader.moc"

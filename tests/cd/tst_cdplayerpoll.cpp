// The CD player's poll against the virtual drive: a scripted sequence of discs (none, a catalogued
// one, play and a track change, an unknown one), the arithmetic of positions and lengths, the
// buttons' commands as the drive sees them, and the time texts.

#include "CdTestUtil.h"
#include "TestDb.h"
#include "cd/CdPlayer.h"
#include "cd/DiscIdentifier.h"
#include "cd/SendMciCommand.h"
#include "cd/VirtualDrive.h"
#include "common/GlobalSettings.h"
#include "data/TableHandle.h"

#include <QtTest>

using namespace td;
using td::test::msf;
using td::test::VirtualCd;
using td::test::writeText;

namespace {

// Tracks of 19850, 20000 and 20000 frames.
const QString kKnownDisc = QStringLiteral("1 3 60000 150 20000 40000\n");
// Two tracks: 4:00 and 3:00.
const QString kUnknownDisc = QStringLiteral("1 2 %1 150 %2\n").arg(150 + msf(7, 0)).arg(150 + msf(4, 0));

// Milliseconds of an absolute frame address, in hundredths as the player keeps them.
qint64 hundredthsOf(int frames)
{
    return qint64(frames) * 1000 / kFramesPerSecond / 10;
}

// Everything one test needs: a catalogue, a drive over a .toc file in the workspace, one player.
struct Rig {
    test::TestDb t;
    QString toc = t.ws.path() + QStringLiteral("/drive.toc");
    VirtualCd cd { toc };
    CdAudioClient client { cd.device };
    GlobalSettings settings;
    CdPlayer player { client, t.db, settings };
    int offers = 0;
    int refreshes = 0;
    QList<int> trackChanges;

    Rig()
    {
        player.onOfferAdd = [this] { ++offers; };
        player.onRefreshList = [this](bool) { ++refreshes; };
        player.onTrackChanged = [this](int track) { trackChanges << track; };
    }
    void insert(const QString& disc) { QVERIFY(writeText(toc, disc)); }
    // The identifier of the disc now in the drive, read by a client of its own.
    QString identifierInDrive()
    {
        CdAudioClient other(cd.device);
        other.send(QStringLiteral("open cdaudio shareable"));
        other.send(QStringLiteral("set cdaudio time format tmsf"));
        const int tracks = int(mciNumber(SendMciCommand(other, QStringLiteral("status cdaudio number of tracks"))));
        return BuildDiscIdentifier(other, tracks);
    }
    void catalogue(qint32 id, const QString& name, const QString& identifier)
    {
        Table<Album> albums(t.db);
        albums.rec.AlbumID = id;
        albums.rec.Album = name;
        albums.rec.CDIdentifier = identifier;
        QCOMPARE(albums.add(), 0);
    }
    QString mode() { return SendMciCommand(client, QString(), true); }
};

} // namespace

class TestCdPlayerPoll : public QObject {
    Q_OBJECT
private slots:
    void timeText_data();
    void timeText();
    void timerInterval_data();
    void timerInterval();
    void discSequence();
    void doorOpenedWhilePlaying();
    void previous_data();
    void previous();
    void playAndNextBeyondTheDisc();
    void pauseAndStop();
    void forwardBackAndLocate();
    void pollGate();
    void dataOnlyDisc();
    void noDrive();
    void addPathClosesAndReopens();
};

void TestCdPlayerPoll::timeText_data()
{
    QTest::addColumn<qint64>("hundredths");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero is empty") << qint64(0) << "";
    QTest::newRow("negative is empty") << qint64(-500) << "";
    QTest::newRow("under a second") << qint64(99) << "0:00";
    QTest::newRow("3:45") << qint64(22500) << "3:45";
    QTest::newRow("3:45 as a time value") << qint64(22501) << "3:45";
    QTest::newRow("13:45") << qint64(82500) << "13:45";
    QTest::newRow("one hour") << qint64(372300) << "1:02:03";
    QTest::newRow("ten hours") << qint64(3600000) << "10:00:00";
}

void TestCdPlayerPoll::timeText()
{
    QFETCH(qint64, hundredths);
    QFETCH(QString, text);
    QCOMPARE(cdTimeText(hundredths), text);
}

void TestCdPlayerPoll::timerInterval_data()
{
    QTest::addColumn<int>("cdTimer");
    QTest::addColumn<int>("interval");
    QTest::newRow("do not check") << 0 << 150;
    QTest::newRow("5 keeps the built-in") << 5 << 150;
    QTest::newRow("10 keeps the built-in") << 10 << 150;
    QTest::newRow("11 replaces it") << 11 << 11;
    QTest::newRow("1000") << 1000 << 1000;
    QTest::newRow("negative") << -5 << 150;
}

void TestCdPlayerPoll::timerInterval()
{
    QFETCH(int, cdTimer);
    QFETCH(int, interval);
    QCOMPARE(cdTimerInterval(cdTimer), interval);
}

void TestCdPlayerPoll::discSequence()
{
    Rig r;
    r.insert(kKnownDisc);
    const QString known = r.identifierInDrive();
    r.catalogue(7, QStringLiteral("Blue Train"), known);
    QVERIFY(QFile::remove(r.toc));

    // No disc: nothing to recognise and nothing offered.
    QVERIFY(r.player.open());
    QCOMPARE(r.player.deviceLabel(), QStringLiteral("(shared mode)"));
    r.player.poll();
    QCOMPARE(r.player.mode(), QStringLiteral("open"));
    QCOMPARE(r.player.title(), QStringLiteral("CD Player"));
    QCOMPARE(r.player.album().CDIdentifier, QStringLiteral("0"));
    QCOMPARE(r.player.trackCount(), 0);
    QCOMPARE(r.offers, 0);
    QVERIFY(r.player.performance() <= 100);

    // The catalogued disc goes in: open -> stopped initialises and identifies.
    r.insert(kKnownDisc);
    r.player.poll();
    QCOMPARE(r.player.mode(), QStringLiteral("stopped"));
    QCOMPARE(r.player.eventLabel(), QStringLiteral("Init"));
    QCOMPARE(r.player.trackCount(), 3);
    QCOMPARE(r.player.cdLength(), hundredthsOf(60000 - 150));
    QCOMPARE(r.player.title(), QStringLiteral("CD Player - Blue Train"));
    QCOMPARE(r.player.album().AlbumID, 7);
    QCOMPARE(r.player.lastIdentifier(), known);
    QVERIFY(r.refreshes > 0);
    QVERIFY(!r.player.identifyPending());
    r.player.poll();
    QCOMPARE(r.player.eventLabel(), QString());

    // Play track 2 and let five seconds pass: the track change is synchronised once.
    r.player.playTrack(2);
    r.cd.clock->advance(5000);
    r.player.poll();
    QCOMPARE(r.player.mode(), QStringLiteral("playing"));
    QCOMPARE(r.player.eventLabel(), QStringLiteral("Sync"));
    QCOMPARE(r.trackChanges, QList<int>({ 2 }));
    QCOMPARE(r.player.currentTrack(), 2);
    QCOMPARE(r.player.trackStart(), hundredthsOf(20000));
    QCOMPARE(r.player.trackLength(), hundredthsOf(20000));
    QCOMPARE(r.player.cdPosition(), hundredthsOf(20000 + 375));
    QCOMPARE(r.player.positionInTrack(), hundredthsOf(20000 + 375) - hundredthsOf(20000) + 1);
    QCOMPARE(r.player.percent(), int(r.player.positionInTrack() * 100 / r.player.trackLength()));
    r.player.poll();
    QCOMPARE(r.player.eventLabel(), QString());
    QCOMPARE(r.trackChanges.size(), 1);

    // Play runs into track 3 by itself.
    r.cd.clock->advance(5 * 60 * 1000);
    r.player.poll();
    QCOMPARE(r.player.currentTrack(), 3);
    QCOMPARE(r.trackChanges, QList<int>({ 2, 3 }));
    QCOMPARE(r.player.trackStart(), hundredthsOf(40000));

    // An unknown disc: offered once, declined, then only looked up again.
    r.insert(QStringLiteral("open\n"));
    r.player.poll();
    r.insert(kUnknownDisc);
    r.player.poll();
    QCOMPARE(r.player.eventLabel(), QStringLiteral("Init"));
    QCOMPARE(r.offers, 1);
    QCOMPARE(r.player.album().AlbumID, 0);
    QCOMPARE(r.player.title(), QStringLiteral("CD Player"));
    r.player.poll(); // the question is still open: not asked twice
    QCOMPARE(r.offers, 1);
    r.player.declineAdd();
    QCOMPARE(r.player.deviceLabel(), QStringLiteral("(no detection)"));
    r.player.poll();
    r.player.poll();
    QCOMPARE(r.offers, 1);
    QVERIFY(r.player.identifyPending());

    // Catalogued meanwhile (by another window): the next poll finds it.
    r.catalogue(8, QStringLiteral("Giant Steps"), r.identifierInDrive());
    r.player.poll();
    QCOMPARE(r.player.title(), QStringLiteral("CD Player - Giant Steps"));
    QVERIFY(!r.player.identifyPending());
}

void TestCdPlayerPoll::doorOpenedWhilePlaying()
{
    Rig r;
    r.insert(kKnownDisc);
    QVERIFY(r.player.open());
    r.player.poll();
    r.player.playTrack(2);
    r.cd.clock->advance(1000);
    r.player.poll();
    QVERIFY(r.player.trackLength() > 0);

    r.insert(QStringLiteral("open\n"));
    r.player.poll();
    QCOMPARE(r.player.mode(), QStringLiteral("open"));
    QCOMPARE(r.player.currentTrack(), 0);
    QCOMPARE(r.player.trackLength(), 0);
    QCOMPARE(r.player.positionInTrack(), 0);
    QCOMPARE(r.player.percent(), 0);

    // The disc is taken out altogether: the next identification finds nothing.
    QVERIFY(QFile::remove(r.toc));
    r.insert(QStringLiteral("nodisc\n"));
    r.player.poll();
    r.insert(kKnownDisc);
    r.player.poll();
    QCOMPARE(r.player.eventLabel(), QStringLiteral("Init"));
    QCOMPARE(r.player.trackCount(), 3);
}

void TestCdPlayerPoll::previous_data()
{
    QTest::addColumn<int>("track");
    QTest::addColumn<int>("secondsIn");
    QTest::addColumn<int>("expected");
    QTest::newRow("2 s into track 3 goes back") << 3 << 2 << 2;
    QTest::newRow("10 s into track 3 restarts it") << 3 << 10 << 3;
    QTest::newRow("track 1 restarts track 1") << 1 << 1 << 1;
}

void TestCdPlayerPoll::previous()
{
    QFETCH(int, track);
    QFETCH(int, secondsIn);
    QFETCH(int, expected);
    Rig r;
    r.insert(kKnownDisc);
    QVERIFY(r.player.open());
    r.player.poll();
    r.player.playTrack(track);
    r.cd.clock->advance(secondsIn * 1000);
    r.player.poll();
    r.player.previous();
    QCOMPARE(r.player.currentTrack(), expected);
    r.cd.clock->advance(500);
    r.player.poll();
    QCOMPARE(r.player.currentTrack(), expected);
    QVERIFY(r.player.positionInTrack() < 100); // started again from the track's beginning
}

void TestCdPlayerPoll::playAndNextBeyondTheDisc()
{
    Rig r;
    r.insert(kKnownDisc);
    QVERIFY(r.player.open());
    r.player.poll();
    r.player.playTrack(9);
    QCOMPARE(r.player.currentTrack(), 3);
    r.player.poll();
    QCOMPARE(r.player.mode(), QStringLiteral("playing"));
    QCOMPARE(r.player.currentTrack(), 3);

    // Next on the last track is refused by the drive; the poll restores the true track.
    r.player.next();
    QCOMPARE(r.player.currentTrack(), 4);
    r.player.poll();
    QCOMPARE(r.player.currentTrack(), 3);
    QCOMPARE(r.player.mode(), QStringLiteral("playing"));
}

void TestCdPlayerPoll::pauseAndStop()
{
    Rig r;
    r.insert(kKnownDisc);
    QVERIFY(r.player.open());
    r.player.poll();
    r.player.playTrack(1);
    r.player.pause();
    QCOMPARE(r.mode(), QStringLiteral("paused"));
    r.player.pause();
    QCOMPARE(r.mode(), QStringLiteral("playing"));
    r.player.pause();
    r.player.stop();
    QCOMPARE(r.mode(), QStringLiteral("stopped"));
    QVERIFY(r.player.pauseFlag()); // Stop leaves the flag: the next Pause plays
    r.player.pause();
    QCOMPARE(r.mode(), QStringLiteral("playing"));
}

void TestCdPlayerPoll::forwardBackAndLocate()
{
    Rig r;
    r.insert(kUnknownDisc);
    r.player.onOfferAdd = [&r] { r.player.declineAdd(); };
    QVERIFY(r.player.open());
    r.player.poll();
    r.player.playTrack(1);
    r.cd.clock->advance(20000);
    r.player.poll();
    const qint64 before = r.player.positionInTrack();

    r.player.forward();
    r.player.poll();
    QVERIFY(qAbs(r.player.positionInTrack() - (before + 1000)) <= 2);
    r.player.back();
    r.player.back();
    r.player.poll();
    QVERIFY(qAbs(r.player.positionInTrack() - (before - 1000)) <= 2);
    QCOMPARE(r.client.timeFormat(), TimeFormat::Tmsf);

    // Back past the disc's start is refused and play goes on.
    r.player.back();
    r.player.back();
    r.player.poll();
    QCOMPARE(r.player.mode(), QStringLiteral("playing"));

    // The middle of a four-minute track plays from about two minutes into it.
    QCOMPARE(r.player.trackLength(), qint64(24000));
    r.player.locate(50);
    r.player.poll();
    QVERIFY(qAbs(r.player.positionInTrack() - 12000) <= 2);
    QCOMPARE(r.player.currentTrack(), 1);
    QCOMPARE(r.client.timeFormat(), TimeFormat::Tmsf);
}

void TestCdPlayerPoll::pollGate()
{
    Rig r;
    r.insert(kKnownDisc);
    QVERIFY(r.player.open());
    r.settings.CDTimer = 0;
    r.player.timerTick();
    QCOMPARE(r.player.mode(), QString());
    QCOMPARE(r.player.title(), QStringLiteral("CD Player"));
    // The buttons still work.
    r.player.playTrack(2);
    QCOMPARE(r.mode(), QStringLiteral("playing"));
    r.settings.CDTimer = 5;
    r.player.timerTick();
    QCOMPARE(r.player.mode(), QStringLiteral("playing"));
}

void TestCdPlayerPoll::dataOnlyDisc()
{
    // A drive whose every track is a data track.
    struct DataDrive : VirtualDrive {
        using VirtualDrive::VirtualDrive;
        bool toc(DiscToc& out) override
        {
            if (!VirtualDrive::toc(out))
                return false;
            out.data = QList<bool>(out.trackCount(), true);
            return true;
        }
    };
    test::TestDb t;
    const QString toc = t.ws.path() + QStringLiteral("/data.toc");
    QVERIFY(writeText(toc, kKnownDisc));
    CdAudioDevice device(std::make_unique<DataDrive>(toc, std::make_shared<ManualClock>()));
    CdAudioClient client(device);
    GlobalSettings settings;
    CdPlayer player(client, t.db, settings);
    int offers = 0;
    player.onOfferAdd = [&offers] { ++offers; };
    QVERIFY(player.open());
    QCOMPARE(SendMciCommand(client, QStringLiteral("status cdaudio type track 1")), QStringLiteral("other"));
    player.poll();
    player.poll();
    QCOMPARE(offers, 0);
    QCOMPARE(player.title(), QStringLiteral("CD Player"));
    QCOMPARE(player.album().CDIdentifier, QStringLiteral("0"));
    QVERIFY(!player.identifyPending());
}

void TestCdPlayerPoll::noDrive()
{
    test::TestDb t;
    CdAudioDevice device(createDrive(t.ws.path() + QStringLiteral("/no-such-drive")));
    CdAudioClient client(device);
    GlobalSettings settings;
    CdPlayer player(client, t.db, settings);
    QVERIFY(!player.open());
    QVERIFY(!player.deviceOpen());
    player.poll(); // nothing to ask; must not fail
    player.play();
    player.locate(50);
    QCOMPARE(player.mode(), QString());
}

void TestCdPlayerPoll::addPathClosesAndReopens()
{
    Rig r;
    r.insert(kUnknownDisc);
    QVERIFY(r.player.open());
    r.player.poll();
    QCOMPARE(r.offers, 1);
    r.player.playTrack(1);
    r.player.beginAdd();
    QCOMPARE(r.player.deviceLabel(), QStringLiteral("(closed)"));
    QVERIFY(!r.client.isOpen());
    QCOMPARE(r.mode(), QStringLiteral("Error:263")); // closed: nothing is asked while closed
    r.player.poll();

    // Another user holds the drive unshared: the player cannot have it back.
    CdAudioClient wizard(r.cd.device);
    QCOMPARE(wizard.send(QStringLiteral("open cdaudio")).code, 0);
    QVERIFY(!r.player.endAdd());
    wizard.send(QStringLiteral("close cdaudio"));

    r.catalogue(3, QStringLiteral("Kind of Blue"), r.identifierInDrive());
    const int before = r.refreshes;
    QVERIFY(r.player.endAdd());
    QCOMPARE(r.player.deviceLabel(), QStringLiteral("(shared mode)"));
    QVERIFY(r.refreshes > before);
    r.player.poll();
    QCOMPARE(r.player.title(), QStringLiteral("CD Player - Kind of Blue"));
    QCOMPARE(r.offers, 1);
}

QTEST_GUILESS_MAIN(TestCdPlayerPoll)
#include "tst_cdplayerpoll.moc"

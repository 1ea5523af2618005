// The cdaudio command layer over the virtual drive: replies in each time format, refused commands
// and their codes, sharing the device, the drive states, the play clock, and SendMciCommand.

#include "CdTestUtil.h"
#include "TempWorkspace.h"
#include "cd/SendMciCommand.h"
#include "cd/VirtualDrive.h"

#include <QtTest>

using namespace td;
using td::test::VirtualCd;
using td::test::writeText;

namespace {

// 1 3 60000 150 20000 40000: tracks of 19850, 20000 and 20000 frames.
const QString kThreeTracks = QStringLiteral("1 3 60000 150 20000 40000\n");

QString reply(CdAudioClient& c, const QString& command)
{
    const MciReply r = c.send(command);
    return r.code ? QStringLiteral("#%1").arg(r.code) : r.text;
}

} // namespace

class TestCdAudio : public QObject {
    Q_OBJECT
private slots:
    void replies_data();
    void replies();
    void openAndShare();
    void noDrive();
    void deviceGoneBeforeItsClient();
    void driveStates_data();
    void driveStates();
    void discChange();
    void doorCommand();
    void playClock();
    void pauseAndStop();
    void playRange();
    void forwardAndBack();
    void seeking();
    void sendMciCommand_data();
    void sendMciCommand();
};

void TestCdAudio::replies_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected"); // the reply, or "#code"

    QTest::newRow("track count") << "tmsf"
                                 << "status cdaudio number of tracks"
                                 << "3";
    QTest::newRow("ready") << "tmsf"
                           << "status cdaudio ready"
                           << "true";
    QTest::newRow("media present") << "tmsf"
                                   << "status cdaudio media present"
                                   << "true";
    QTest::newRow("mode") << "tmsf"
                          << "status cdaudio mode"
                          << "stopped";
    QTest::newRow("current track") << "tmsf"
                                   << "status cdaudio current track"
                                   << "1";
    QTest::newRow("letter case and blanks") << "tmsf"
                                            << "  STATUS  CDAudio   Number of Tracks "
                                            << "3";
    QTest::newRow("wait ignored") << "tmsf"
                                  << "status cdaudio mode wait"
                                  << "stopped";
    QTest::newRow("time format") << "tmsf"
                                 << "status cdaudio time format"
                                 << "tmsf";
    QTest::newRow("type") << "tmsf"
                          << "status cdaudio type track 2"
                          << "audio";

    QTest::newRow("tmsf disc length") << "tmsf"
                                      << "status cdaudio length"
                                      << "13:18:00";
    QTest::newRow("tmsf length track 1") << "tmsf"
                                         << "status cdaudio length track 1"
                                         << "04:24:50";
    QTest::newRow("tmsf length of the last track") << "tmsf"
                                                   << "status cdaudio length track 3"
                                                   << "04:26:50";
    QTest::newRow("tmsf position") << "tmsf"
                                   << "status cdaudio position"
                                   << "01:00:00:00";
    QTest::newRow("tmsf position track 2") << "tmsf"
                                           << "status cdaudio position track 2"
                                           << "02:00:00:00";
    QTest::newRow("tmsf start position") << "tmsf"
                                         << "status cdaudio start position"
                                         << "01:00:00:00";

    QTest::newRow("ms disc length") << "ms"
                                    << "status cdaudio length"
                                    << "798000";
    QTest::newRow("ms length track 1") << "ms"
                                       << "status cdaudio length track 1"
                                       << "264666";
    QTest::newRow("ms position is on the disc") << "ms"
                                                << "status cdaudio position"
                                                << "2000";
    QTest::newRow("ms position track 2") << "ms"
                                         << "status cdaudio position track 2"
                                         << "266666";
    QTest::newRow("ms time format") << "milliseconds"
                                    << "status cdaudio time format"
                                    << "milliseconds";

    QTest::newRow("msf length track 2") << "msf"
                                        << "status cdaudio length track 2"
                                        << "04:26:50";
    QTest::newRow("msf position track 2") << "msf"
                                          << "status cdaudio position track 2"
                                          << "04:26:50";
    QTest::newRow("msf position") << "msf"
                                  << "status cdaudio position"
                                  << "00:02:00";

    QTest::newRow("track beyond the last") << "tmsf"
                                           << "status cdaudio length track 4"
                                           << "#282";
    QTest::newRow("track 0") << "tmsf"
                             << "status cdaudio position track 0"
                             << "#282";
    QTest::newRow("track not a number") << "tmsf"
                                        << "status cdaudio length track two"
                                        << "#270";
    QTest::newRow("track without number") << "tmsf"
                                          << "status cdaudio length track"
                                          << "#273";
    QTest::newRow("track where none is taken") << "tmsf"
                                               << "status cdaudio number of tracks track 1"
                                               << "#259";
    QTest::newRow("type without track") << "tmsf"
                                        << "status cdaudio type"
                                        << "#273";
    QTest::newRow("status of nothing") << "tmsf"
                                       << "status cdaudio"
                                       << "#273";
    QTest::newRow("unknown status") << "tmsf"
                                    << "status cdaudio colour"
                                    << "#259";
    QTest::newRow("unknown command") << "tmsf"
                                     << "eject cdaudio"
                                     << "#261";
    QTest::newRow("empty command") << "tmsf"
                                   << "   "
                                   << "#267";
    QTest::newRow("no device") << "tmsf"
                               << "status"
                               << "#292";
    QTest::newRow("other device") << "tmsf"
                                  << "status waveaudio mode"
                                  << "#263";
    QTest::newRow("bad time format") << "tmsf"
                                     << "set cdaudio time format frames"
                                     << "#293";
    QTest::newRow("time format missing") << "tmsf"
                                         << "set cdaudio time format"
                                         << "#273";
    QTest::newRow("unknown setting") << "tmsf"
                                     << "set cdaudio volume 5"
                                     << "#259";
    QTest::newRow("play a track beyond the last") << "tmsf"
                                                  << "play cdaudio from 4"
                                                  << "#282";
    QTest::newRow("play track 0") << "tmsf"
                                  << "play cdaudio from 0"
                                  << "#282";
    QTest::newRow("play from a word") << "tmsf"
                                      << "play cdaudio from two"
                                      << "#270";
    QTest::newRow("play from nothing") << "tmsf"
                                       << "play cdaudio from"
                                       << "#273";
    QTest::newRow("play sideways") << "tmsf"
                                   << "play cdaudio sideways"
                                   << "#259";
    QTest::newRow("play past the lead-out (ms)") << "ms"
                                                 << "play cdaudio from 800000"
                                                 << "#282";
    QTest::newRow("play before the disc (ms)") << "ms"
                                               << "play cdaudio from -5000"
                                               << "#282";
    QTest::newRow("play with 60 seconds (msf)") << "msf"
                                                << "play cdaudio from 1:60:00"
                                                << "#282";
    QTest::newRow("play backwards") << "tmsf"
                                    << "play cdaudio from 3 to 2"
                                    << "#282";
    QTest::newRow("close with words") << "tmsf"
                                      << "close cdaudio now"
                                      << "#259";
    QTest::newRow("pause with words") << "tmsf"
                                      << "pause cdaudio now"
                                      << "#259";
}

void TestCdAudio::replies()
{
    QFETCH(QString, format);
    QFETCH(QString, command);
    QFETCH(QString, expected);
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), kThreeTracks));
    VirtualCd cd(ws.file("disc.toc"));
    CdAudioClient c(cd.device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(reply(c, "set cdaudio time format " + format), QString());
    QCOMPARE(reply(c, command), expected);
    // A refused command changes nothing.
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("stopped"));
}

void TestCdAudio::openAndShare()
{
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), kThreeTracks));
    VirtualCd cd(ws.file("disc.toc"));
    CdAudioClient player(cd.device), reader(cd.device), other(cd.device);

    // Nothing may be asked before the device is opened, not even a close.
    QCOMPARE(reply(reader, "status cdaudio mode"), QStringLiteral("#263"));
    QCOMPARE(reply(reader, "close cdaudio"), QStringLiteral("#263"));
    QCOMPARE(reply(reader, "open cdaudio bogus"), QStringLiteral("#259"));

    QCOMPARE(reply(player, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(reply(player, "open cdaudio shareable"), QStringLiteral("#265")); // already open
    QCOMPARE(reply(reader, "open cdaudio shareable"), QStringLiteral("1")); // shared
    QCOMPARE(cd.device.openCount(), 2);
    QCOMPARE(reply(other, "open cdaudio"), QStringLiteral("#265")); // in use: cannot take it alone

    // Each user has its own time format.
    QCOMPARE(reply(player, "set cdaudio time format ms"), QString());
    QCOMPARE(reply(reader, "status cdaudio time format"), QStringLiteral("msf"));
    QCOMPARE(reply(player, "status cdaudio position"), QStringLiteral("2000"));

    // The reader's close leaves the player's open alone; a second close is refused.
    QCOMPARE(reply(reader, "close cdaudio"), QString());
    QCOMPARE(reply(reader, "close cdaudio"), QStringLiteral("#263"));
    QCOMPARE(reply(player, "status cdaudio mode"), QStringLiteral("stopped"));
    QCOMPARE(cd.device.openCount(), 1);
    QCOMPARE(reply(player, "close cdaudio"), QString());
    QCOMPARE(cd.device.openCount(), 0);

    // Held alone, nobody else gets in, shared or not.
    QCOMPARE(reply(other, "open cdaudio"), QStringLiteral("1"));
    QCOMPARE(reply(reader, "open cdaudio shareable"), QStringLiteral("#265"));
    QCOMPARE(reply(player, "open cdaudio"), QStringLiteral("#265"));

    // A window that goes away gives the device back.
    {
        CdAudioClient gone(cd.device);
        QCOMPARE(reply(other, "close cdaudio"), QString());
        QCOMPARE(reply(gone, "open cdaudio"), QStringLiteral("1"));
    }
    QCOMPARE(cd.device.openCount(), 0);
    QCOMPARE(reply(reader, "open cdaudio shareable"), QStringLiteral("1"));
}

void TestCdAudio::noDrive()
{
    test::TempWorkspace ws;
    CdAudioDevice device(createDrive(ws.file("no-such-drive")));
    CdAudioClient c(device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("#306"));
    QVERIFY(!device.drive().errorText().isEmpty());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("#263"));
    QCOMPARE(device.openCount(), 0);
}

void TestCdAudio::deviceGoneBeforeItsClient()
{
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), kThreeTracks));
    auto device = std::make_unique<CdAudioDevice>(createDrive(ws.file("disc.toc")));
    auto client = std::make_unique<CdAudioClient>(*device);
    QCOMPARE(reply(*client, "open cdaudio shareable"), QStringLiteral("1"));
    device.reset(); // the program closing: its client goes afterwards without touching it
    QVERIFY(!client->isOpen());
    client.reset();
}

void TestCdAudio::driveStates_data()
{
    QTest::addColumn<QString>("file"); // contents of the .toc file; "-" for no file
    QTest::addColumn<QString>("ready");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("present");
    QTest::addColumn<QString>("tracks");
    QTest::newRow("disc") << kThreeTracks << "true"
                          << "stopped"
                          << "true"
                          << "3";
    QTest::newRow("disc after comments") << "# a test disc\n\n" + kThreeTracks << "true"
                                         << "stopped"
                                         << "true"
                                         << "3";
    QTest::newRow("door open") << "open\n"
                               << "true"
                               << "open"
                               << "false"
                               << "#276";
    QTest::newRow("no disc") << "nodisc\n"
                             << "false"
                             << "open"
                             << "false"
                             << "#276";
    QTest::newRow("not ready") << "NotReady\n"
                               << "false"
                               << "not ready"
                               << "true"
                               << "#276";
    QTest::newRow("no file: empty drive") << "-"
                                          << "false"
                                          << "open"
                                          << "false"
                                          << "#276";
    QTest::newRow("empty file: empty drive") << ""
                                             << "false"
                                             << "open"
                                             << "false"
                                             << "#276";
    QTest::newRow("unreadable table") << "1 3 60000 150 20000\n"
                                      << "false"
                                      << "not ready"
                                      << "true"
                                      << "#276";
}

void TestCdAudio::driveStates()
{
    QFETCH(QString, file);
    QFETCH(QString, ready);
    QFETCH(QString, mode);
    QFETCH(QString, present);
    QFETCH(QString, tracks);
    test::TempWorkspace ws;
    if (file != QLatin1String("-"))
        QVERIFY(writeText(ws.file("disc.toc"), file));
    VirtualCd cd(ws.file("disc.toc"));
    CdAudioClient c(cd.device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1")); // the drive is there
    QCOMPARE(reply(c, "status cdaudio ready"), ready);
    QCOMPARE(reply(c, "status cdaudio mode"), mode);
    QCOMPARE(reply(c, "status cdaudio media present"), present);
    QCOMPARE(reply(c, "status cdaudio number of tracks"), tracks);
    if (mode != QLatin1String("stopped")) {
        QCOMPARE(reply(c, "status cdaudio current track"), QStringLiteral("#276"));
        QCOMPARE(reply(c, "play cdaudio from 1"), QStringLiteral("#276"));
        QCOMPARE(reply(c, "stop cdaudio"), QStringLiteral("#276"));
    }
}

void TestCdAudio::discChange()
{
    test::TempWorkspace ws;
    const QString path = ws.file("disc.toc");
    QVERIFY(writeText(path, kThreeTracks));
    VirtualCd cd(path);
    CdAudioClient c(cd.device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(reply(c, "set cdaudio time format tmsf"), QString());
    QCOMPARE(reply(c, "play cdaudio from 2"), QString());
    cd.clock->advance(3000);
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("playing"));

    // Taking the disc out stops play; the next disc starts stopped at its beginning.
    QVERIFY(writeText(path, QStringLiteral("open\n")));
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("open"));
    QVERIFY(writeText(path, QStringLiteral("1 5 90000 150 10000 20000 30000 40000\n")));
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("stopped"));
    QCOMPARE(reply(c, "status cdaudio number of tracks"), QStringLiteral("5"));
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("01:00:00:00"));
}

void TestCdAudio::doorCommand()
{
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), kThreeTracks));
    VirtualCd cd(ws.file("disc.toc"));
    CdAudioClient c(cd.device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(reply(c, "play cdaudio"), QString());
    QCOMPARE(reply(c, "set cdaudio door open"), QString());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("open"));
    QCOMPARE(reply(c, "set cdaudio door ajar"), QStringLiteral("#259"));
    QCOMPARE(reply(c, "set cdaudio door closed"), QString());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("stopped"));
}

void TestCdAudio::playClock()
{
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), kThreeTracks));
    VirtualCd cd(ws.file("disc.toc"));
    CdAudioClient c(cd.device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(reply(c, "set cdaudio time format tmsf"), QString());

    QCOMPARE(reply(c, "play cdaudio from 2"), QString());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("playing"));
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("02:00:00:00"));
    cd.clock->advance(10500);
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("02:00:10:37"));
    QCOMPARE(reply(c, "status cdaudio current track"), QStringLiteral("2"));
    QCOMPARE(reply(c, "set cdaudio time format ms"), QString());
    QCOMPARE(reply(c, "status cdaudio position"), QString::number((20000 + 787) * 1000 / 75));

    // Into the next track by itself.
    cd.clock->advance(260000);
    QCOMPARE(reply(c, "status cdaudio current track"), QStringLiteral("3"));

    // Next on the last track is refused and play goes on.
    QCOMPARE(reply(c, "set cdaudio time format tmsf"), QString());
    QCOMPARE(reply(c, "play cdaudio from 4"), QStringLiteral("#282"));
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("playing"));

    // At the end of the disc the drive stops and goes back to the start.
    cd.clock->advance(300000);
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("stopped"));
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("01:00:00:00"));
    QCOMPARE(reply(c, "status cdaudio current track"), QStringLiteral("1"));
}

void TestCdAudio::pauseAndStop()
{
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), kThreeTracks));
    VirtualCd cd(ws.file("disc.toc"));
    CdAudioClient c(cd.device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(reply(c, "set cdaudio time format tmsf"), QString());
    QCOMPARE(reply(c, "play cdaudio from 1"), QString());
    cd.clock->advance(5000);
    QCOMPARE(reply(c, "pause cdaudio"), QString());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("paused"));
    cd.clock->advance(60000);
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("01:00:05:00"));

    // "play cdaudio" goes on from the pause; so does resume.
    QCOMPARE(reply(c, "play cdaudio"), QString());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("playing"));
    cd.clock->advance(2000);
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("01:00:07:00"));
    QCOMPARE(reply(c, "pause cdaudio"), QString());
    QCOMPARE(reply(c, "resume cdaudio"), QString());
    cd.clock->advance(1000);
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("01:00:08:00"));

    // Stop keeps the place; play without "from" goes on from it.
    QCOMPARE(reply(c, "stop cdaudio"), QString());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("stopped"));
    cd.clock->advance(9000);
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("01:00:08:00"));
    QCOMPARE(reply(c, "play cdaudio"), QString());
    cd.clock->advance(1000);
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("01:00:09:00"));

    // Pause and resume when nothing plays change nothing.
    QCOMPARE(reply(c, "stop cdaudio"), QString());
    QCOMPARE(reply(c, "pause cdaudio"), QString());
    QCOMPARE(reply(c, "resume cdaudio"), QString());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("stopped"));
}

void TestCdAudio::playRange()
{
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), kThreeTracks));
    VirtualCd cd(ws.file("disc.toc"));
    CdAudioClient c(cd.device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(reply(c, "set cdaudio time format tmsf"), QString());
    // "to 2" ends where track 2 begins.
    QCOMPARE(reply(c, "play cdaudio from 1:04:20:00 to 2"), QString());
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("01:04:20:00"));
    cd.clock->advance(60000);
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("stopped"));
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("02:00:00:00"));

    // Addresses in msf are on the disc: 00:02:00 is where track 1 begins.
    QCOMPARE(reply(c, "set cdaudio time format msf"), QString());
    QCOMPARE(reply(c, "play cdaudio from 00:02:00 to 00:03"), QString());
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("00:02:00"));
    cd.clock->advance(5000);
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("00:03:00"));
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("stopped"));
}

void TestCdAudio::forwardAndBack()
{
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), kThreeTracks));
    VirtualCd cd(ws.file("disc.toc"));
    CdAudioClient c(cd.device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(reply(c, "set cdaudio time format tmsf"), QString());
    QCOMPARE(reply(c, "play cdaudio from 2"), QString());
    cd.clock->advance(4013);

    // Forward as the player does it: position in ms, ten seconds on, back to tmsf.
    QCOMPARE(reply(c, "set cdaudio time format ms"), QString());
    const qint64 at = reply(c, "status cdaudio position").toLongLong();
    QCOMPARE(reply(c, QStringLiteral("play cdaudio from %1").arg(at + 10000)), QString());
    QCOMPARE(reply(c, "status cdaudio position").toLongLong(), at + 10000);
    QCOMPARE(reply(c, "set cdaudio time format tmsf"), QString());
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("02:00:14:00"));

    // Back from the first seconds of the disc: before its start is refused, the lead-in plays
    // from the first track.
    QCOMPARE(reply(c, "set cdaudio time format ms"), QString());
    QCOMPARE(reply(c, "play cdaudio from 3000"), QString());
    QCOMPARE(reply(c, "play cdaudio from -7000"), QStringLiteral("#282"));
    QCOMPARE(reply(c, "play cdaudio from 500"), QString());
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("2000"));
}

void TestCdAudio::seeking()
{
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), kThreeTracks));
    auto clock = std::make_shared<ManualClock>();
    auto drive = std::make_unique<VirtualDrive>(ws.file("disc.toc"), clock);
    drive->setSeekMs(800);
    CdAudioDevice device(std::move(drive));
    CdAudioClient c(device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(reply(c, "set cdaudio time format tmsf"), QString());
    QCOMPARE(reply(c, "play cdaudio from 3"), QString());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("seeking"));
    QCOMPARE(reply(c, "status cdaudio current track"), QStringLiteral("3"));
    clock->advance(799);
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("seeking"));
    clock->advance(1);
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("playing"));
    clock->advance(2000);
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("03:00:02:00"));
}

void TestCdAudio::sendMciCommand_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("askMode");
    QTest::addColumn<QString>("expected");
    QTest::newRow("true becomes 1") << kThreeTracks << "status cdaudio ready" << false << "1";
    QTest::newRow("false becomes empty") << "nodisc"
                                         << "status cdaudio ready" << false << "";
    QTest::newRow("other replies as they are")
        << kThreeTracks << "status cdaudio length track 2" << false << "04:26:50";
    QTest::newRow("empty reply") << kThreeTracks << "stop cdaudio" << false << "";
    QTest::newRow("refused: Error and the code")
        << kThreeTracks << "status cdaudio length track 9" << false << "Error:282";
    QTest::newRow("unknown command") << kThreeTracks << "spin cdaudio" << false << "Error:261";
    QTest::newRow("265 becomes Error:1") << kThreeTracks << "open cdaudio shareable" << false << "Error:1";
    QTest::newRow("ask mode sends the mode query")
        << kThreeTracks << "play cdaudio from 9" << true << "stopped";
    QTest::newRow("ask mode with no command") << "open"
                                              << "" << true << "open";
    QTest::newRow("cut to 100 characters")
        << kThreeTracks << "status cdaudio mode" + QString(81, QLatin1Char(' ')) + "extra" << false
        << "stopped";
    QTest::newRow("kept to 100 characters")
        << kThreeTracks << "status cdaudio mode" + QString(75, QLatin1Char(' ')) + "extra" << false
        << "Error:259";
}

void TestCdAudio::sendMciCommand()
{
    QFETCH(QString, file);
    QFETCH(QString, command);
    QFETCH(bool, askMode);
    QFETCH(QString, expected);
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), file));
    VirtualCd cd(ws.file("disc.toc"));
    CdAudioClient c(cd.device);
    QCOMPARE(SendMciCommand(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(SendMciCommand(c, "set cdaudio time format tmsf"), QString());
    QCOMPARE(SendMciCommand(c, command, askMode), expected);

    // A user who has not opened the device is told so by its code.
    CdAudioClient stranger(cd.device);
    QCOMPARE(SendMciCommand(stranger, "status cdaudio mode"), QStringLiteral("Error:263"));
}

QTEST_GUILESS_MAIN(TestCdAudio)
#include "tst_cdaudio.moc"

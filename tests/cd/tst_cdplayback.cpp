// Play of a disc image through the sound output: the output hears exactly the disc's samples from
// the right place, pause and resume neither skip nor repeat, the position follows what was heard,
// and without an output play goes on silently on the clock with one notice.

#include "CdTestUtil.h"
#include "TempWorkspace.h"
#include "cd/CdAudio.h"

#include <QtTest>

using namespace td;

namespace {

// Three tracks of 100, 150 and 200 frames: they start at 150, 250 and 400, the lead-out at 600.
// The whole disc is longer than the reader's buffer of four seconds.
struct PatternDisc {
    PatternDisc()
    {
        ok = test::writePatternImage(ws.file("disc.cue"), { 100, 150, 200 });
        drive = createDrive(ws.file("disc.cue"), clock, std::make_unique<test::FakeSink>(out));
        ok = ok && drive->acquire() && drive->media() == MediaState::Ready;
    }
    test::TempWorkspace ws;
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<test::FakeOutput> out = std::make_shared<test::FakeOutput>();
    std::unique_ptr<CdDrive> drive;
    bool ok = false;
};

// Empty when the output heard exactly `want`; otherwise where it went wrong, by the frames' addresses.
QString mismatch(const QByteArray& heard, const QByteArray& want)
{
    if (heard == want)
        return {};
    auto address = [](const QByteArray& b, qsizetype at) {
        return at + 2 <= b.size() ? *reinterpret_cast<const qint16*>(b.constData() + at) + 150 : -1;
    };
    qsizetype at = 0;
    while (at < heard.size() && at < want.size() && heard.at(at) == want.at(at))
        ++at;
    at -= at % 2352;
    return QStringLiteral("heard %1 frames, wanted %2; frame %3 is from address %4 instead of %5")
        .arg(heard.size() / 2352.0)
        .arg(want.size() / 2352.0)
        .arg(at / 2352)
        .arg(address(heard, at))
        .arg(address(want, at));
}

} // namespace

class TestCdPlayback : public QObject {
    Q_OBJECT
private slots:
    void hearsTheDisc_data();
    void hearsTheDisc();
    void pauseResume();
    void stopThenPlayElsewhere();
    void throughCommands();
    void unreadableDisc();
    void releaseWhilePlaying();
    void silentWithoutOutput();
    void outputBreaksDown();
};

void TestCdPlayback::hearsTheDisc_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("stoppedAt");
    QTest::newRow("one track") << 250 << 400 << 400;
    QTest::newRow("across a track start") << 240 << 260 << 260;
    QTest::newRow("within a track to the disc's end, back home") << 187 << 600 << 150;
    QTest::newRow("the last frame only") << 599 << 600 << 150;
    QTest::newRow("nothing to play") << 300 << 300 << 300;
}

void TestCdPlayback::hearsTheDisc()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, stoppedAt);
    PatternDisc d;
    QVERIFY(d.ok);
    QVERIFY(d.drive->play(from, to));
    QCOMPARE(d.drive->position(), from);
    d.out->takeAll();
    QCOMPARE(d.out->heard.size(), qsizetype(to - from) * 2352);
    QCOMPARE(mismatch(d.out->heard, test::patternFrames(from, to)), QString());
    QCOMPARE(d.drive->audioState(), AudioState::Stopped);
    QCOMPARE(d.drive->position(), stoppedAt);
    QCOMPARE(d.drive->playbackNotice(), QString());
}

void TestCdPlayback::pauseResume()
{
    PatternDisc d;
    QVERIFY(d.ok);
    QVERIFY(d.drive->play(150, 600));
    QCOMPARE(d.drive->audioState(), AudioState::Playing);
    // Thirty and a half frames heard: the position counts whole frames heard, not what was read ahead.
    d.out->take(30 * 2352 + 1176);
    QThread::msleep(50);
    QCOMPARE(d.drive->position(), 180);
    QVERIFY(d.drive->pause());
    QCOMPARE(d.drive->audioState(), AudioState::Paused);
    QVERIFY(d.out->paused);
    d.clock->advance(5000);
    QCOMPARE(d.drive->position(), 180);
    QVERIFY(d.drive->resume());
    QCOMPARE(d.drive->audioState(), AudioState::Playing);
    d.out->takeFrames(100);
    QCOMPARE(d.drive->position(), 280);
    d.out->takeAll();
    QCOMPARE(mismatch(d.out->heard, test::patternFrames(150, 600)), QString());
    QCOMPARE(d.drive->audioState(), AudioState::Stopped);
    QCOMPARE(d.drive->position(), 150);
}

void TestCdPlayback::stopThenPlayElsewhere()
{
    PatternDisc d;
    QVERIFY(d.ok);
    QVERIFY(d.drive->play(150, 600));
    d.out->takeFrames(20);
    QVERIFY(d.drive->stop());
    QCOMPARE(d.drive->audioState(), AudioState::Stopped);
    QCOMPARE(d.drive->position(), 170);
    QVERIFY(d.out->feed == nullptr);
    // Resume continues only a paused play.
    QVERIFY(d.drive->resume());
    QCOMPARE(d.drive->audioState(), AudioState::Stopped);

    // A new play while another runs: nothing of the old one reaches the output.
    QVERIFY(d.drive->play(400, 600));
    d.out->takeFrames(5);
    QVERIFY(d.drive->play(250, 260));
    d.out->takeAll();
    QCOMPARE(
        mismatch(d.out->heard,
            test::patternFrames(150, 170) + test::patternFrames(400, 405) + test::patternFrames(250, 260)),
        QString());
    QCOMPARE(d.drive->position(), 260);
}

void TestCdPlayback::throughCommands()
{
    // The command layer's "play cdaudio" after a pause resumes the same play.
    PatternDisc d;
    QVERIFY(d.ok);
    CdAudioDevice device(std::move(d.drive));
    CdAudioClient c(device);
    QCOMPARE(c.send("open cdaudio shareable").code, 0);
    QCOMPARE(c.send("set cdaudio time format tmsf").code, 0);
    QCOMPARE(c.send("play cdaudio from 2 to 3").code, 0);
    d.out->takeFrames(75);
    QCOMPARE(c.send("pause cdaudio").code, 0);
    QCOMPARE(c.send("status cdaudio mode").text, QStringLiteral("paused"));
    QCOMPARE(c.send("status cdaudio position").text, QStringLiteral("02:00:01:00"));
    QCOMPARE(c.send("play cdaudio").code, 0);
    d.out->takeAll();
    QCOMPARE(mismatch(d.out->heard, test::patternFrames(250, 400)), QString());
    QCOMPARE(c.send("status cdaudio mode").text, QStringLiteral("stopped"));
    QCOMPARE(c.send("status cdaudio position").text, QStringLiteral("03:00:00:00"));
}

void TestCdPlayback::unreadableDisc()
{
    // The image's data file goes after the disc was opened: play stops where it began.
    PatternDisc d;
    QVERIFY(d.ok);
    QVERIFY(QFile::remove(d.ws.file("disc.bin")));
    QVERIFY(d.drive->play(250, 400));
    QCOMPARE(d.out->takeAll(), 0);
    QCOMPARE(d.drive->audioState(), AudioState::Stopped);
    QCOMPARE(d.drive->position(), 250);
}

void TestCdPlayback::releaseWhilePlaying()
{
    // The reader is waiting for room in a full buffer when the last user lets go of the drive.
    PatternDisc d;
    QVERIFY(d.ok);
    QVERIFY(d.drive->play(150, 600));
    d.out->takeFrames(5);
    QThread::msleep(50);
    d.drive->release();
    QVERIFY(d.out->feed == nullptr);
    QCOMPARE(d.drive->audioState(), AudioState::Stopped);
    QCOMPARE(d.drive->position(), 155);
    QVERIFY(d.drive->acquire());
    QCOMPARE(d.drive->media(), MediaState::Ready);
    QCOMPARE(d.drive->position(), 150);
    QVERIFY(d.drive->play(400, 410));
    d.out->takeAll();
    QCOMPARE(
        mismatch(d.out->heard, test::patternFrames(150, 155) + test::patternFrames(400, 410)), QString());
}

void TestCdPlayback::silentWithoutOutput()
{
    PatternDisc d;
    QVERIFY(d.ok);
    d.out->available = false;
    QVERIFY(d.drive->play(250, 400));
    QCOMPARE(d.drive->audioState(), AudioState::Playing);
    QCOMPARE(d.drive->playbackNotice(), QStringLiteral("No audio output: playing silently"));
    QCOMPARE(d.drive->playbackNotice(), QString());
    d.clock->advance(1000);
    QCOMPARE(d.drive->position(), 325);
    QVERIFY(d.drive->pause());
    d.clock->advance(1000);
    QCOMPARE(d.drive->position(), 325);
    QVERIFY(d.drive->resume());
    d.clock->advance(1000);
    QCOMPARE(d.drive->position(), 400);
    QCOMPARE(d.drive->audioState(), AudioState::Stopped);

    // Said once: a second silent play brings no new notice.
    QVERIFY(d.drive->play(150, 600));
    QCOMPARE(d.drive->playbackNotice(), QString());
    d.clock->advance(10000);
    QCOMPARE(d.drive->position(), 150);

    // Once sound has been heard again, going silent is news again.
    d.out->available = true;
    QVERIFY(d.drive->play(250, 260));
    d.out->takeAll();
    QCOMPARE(mismatch(d.out->heard, test::patternFrames(250, 260)), QString());
    d.out->available = false;
    QVERIFY(d.drive->play(250, 260));
    QCOMPARE(d.drive->playbackNotice(), QStringLiteral("No audio output: playing silently"));
}

void TestCdPlayback::outputBreaksDown()
{
    PatternDisc d;
    QVERIFY(d.ok);
    QVERIFY(d.drive->play(250, 400));
    d.out->takeFrames(40);
    d.out->broken = true;
    QCOMPARE(d.drive->audioState(), AudioState::Playing);
    QCOMPARE(d.drive->position(), 290);
    QCOMPARE(d.drive->playbackNotice(), QStringLiteral("No audio output: playing silently"));
    d.clock->advance(1000);
    QCOMPARE(d.drive->position(), 365);
    d.clock->advance(1000);
    QCOMPARE(d.drive->audioState(), AudioState::Stopped);
    QCOMPARE(d.drive->position(), 400);
}

QTEST_GUILESS_MAIN(TestCdPlayback)
#include "tst_cdplayback.moc"

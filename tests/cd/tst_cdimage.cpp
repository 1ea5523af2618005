// The libcdio back end through BIN/CUE images of silence made here, and the tunedeck-disc tool,
// whose freedb and MusicBrainz ids are checked against ids worked out independently.

#include "CdTestUtil.h"
#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "cd/CompactDiscReader.h"
#include "cd/SendMciCommand.h"
#include "data/Database.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QtTest>

using namespace td;
using td::test::writeCueImage;
using td::test::writeText;

namespace {

QString reply(CdAudioClient& c, const QString& command)
{
    const MciReply r = c.send(command);
    return r.code ? QStringLiteral("#%1").arg(r.code) : r.text;
}

// freedb: digit sums of the track starts in whole seconds, the playing time in seconds, the count.
QString freedbId(const DiscToc& toc)
{
    int sum = 0;
    for (int start : toc.starts) {
        for (int s = start / 75; s > 0; s /= 10)
            sum += s % 10;
    }
    const int seconds = toc.leadout / 75 - toc.starts.first() / 75;
    const quint32 id = (quint32(sum % 255) << 24) | (quint32(seconds) << 8) | quint32(toc.trackCount());
    return QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'));
}

// MusicBrainz: SHA-1 of first, last, lead-out and 99 offsets in upper-case hex, in base64 with
// ".", "_" and "-" for "+", "/" and "=".
QString musicBrainzId(int first, int last, int leadout, const QList<int>& starts)
{
    QByteArray text = QByteArray::number(first, 16).toUpper().rightJustified(2, '0');
    text += QByteArray::number(last, 16).toUpper().rightJustified(2, '0');
    text += QByteArray::number(leadout, 16).toUpper().rightJustified(8, '0');
    for (int i = 0; i < 99; ++i)
        text += QByteArray::number(i < starts.size() ? starts.at(i) : 0, 16).toUpper().rightJustified(8, '0');
    QByteArray b64 = QCryptographicHash::hash(text, QCryptographicHash::Sha1).toBase64();
    b64.replace('+', '.').replace('/', '_').replace('=', '-');
    return QString::fromLatin1(b64);
}

QString toolPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/tools/tunedeck-disc");
}

struct ToolRun {
    int exitCode = -1;
    QStringList out;
    QString err;
};

ToolRun runTool(const QString& source)
{
    ToolRun r;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TDP_CDROM"), source);
    p.setProcessEnvironment(env);
    p.start(toolPath(), {});
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    r.err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    return r;
}

} // namespace

class TestCdImage : public QObject {
    Q_OBJECT
private slots:
    void imageToc();
    void imagePlay();
    void imageReader();
    void missingBin_data();
    void missingBin();
    void splitImages_data();
    void splitImages();
    void toolIds_data();
    void toolIds();
    void toolDataTrack();
    void toolNoDisc_data();
    void toolNoDisc();
};

void TestCdImage::imageToc()
{
    test::TempWorkspace ws;
    // Three audio tracks of 4, 6 and 8 seconds and a data track of 200 frames.
    QVERIFY(writeCueImage(ws.file("disc.cue"), { 300, 450, 600, 200 }, { 4 }));
    CdAudioDevice device(createDrive(ws.file("disc.cue")));
    CdAudioClient c(device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(device.drive().name(), QStringLiteral("image disc.cue"));
    QCOMPARE(reply(c, "status cdaudio ready"), QStringLiteral("true"));
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("stopped"));
    QCOMPARE(reply(c, "status cdaudio number of tracks"), QStringLiteral("4")); // data track counted
    QCOMPARE(reply(c, "status cdaudio type track 3"), QStringLiteral("audio"));
    QCOMPARE(reply(c, "status cdaudio type track 4"), QStringLiteral("other"));
    QCOMPARE(reply(c, "set cdaudio time format tmsf"), QString());
    QCOMPARE(reply(c, "status cdaudio length"), QStringLiteral("00:20:50"));
    QCOMPARE(reply(c, "status cdaudio length track 1"), QStringLiteral("00:04:00"));
    QCOMPARE(reply(c, "status cdaudio length track 2"), QStringLiteral("00:06:00"));
    QCOMPARE(reply(c, "status cdaudio length track 4"), QStringLiteral("00:02:50"));
    QCOMPARE(reply(c, "status cdaudio length track 5"), QStringLiteral("#282"));
    QCOMPARE(reply(c, "set cdaudio time format ms"), QString());
    QCOMPARE(reply(c, "status cdaudio position track 2"), QStringLiteral("6000"));

    DiscToc toc;
    QVERIFY(device.drive().toc(toc));
    QCOMPARE(tocLine(toc), QStringLiteral("1 4 1700 150 450 900 1500"));
    QCOMPARE(toc.data, (QList<bool> { false, false, false, true }));
}

void TestCdImage::imagePlay()
{
    test::TempWorkspace ws;
    QVERIFY(writeCueImage(ws.file("disc.cue"), { 300, 450, 600 }));
    auto clock = std::make_shared<ManualClock>();
    CdAudioDevice device(createDrive(ws.file("disc.cue"), clock, test::noSoundOutput()));
    CdAudioClient c(device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("1"));
    QCOMPARE(reply(c, "set cdaudio time format tmsf"), QString());
    QCOMPARE(reply(c, "play cdaudio from 2"), QString());
    clock->advance(2000);
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("playing"));
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("02:00:02:00"));
    QCOMPARE(reply(c, "pause cdaudio"), QString());
    clock->advance(5000);
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("paused"));
    QCOMPARE(reply(c, "play cdaudio"), QString());
    clock->advance(4500);
    QCOMPARE(reply(c, "status cdaudio current track"), QStringLiteral("3"));
    QCOMPARE(reply(c, "stop cdaudio"), QString());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("stopped"));
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("03:00:00:37"));
    QCOMPARE(reply(c, "set cdaudio door open"), QString());
    QCOMPARE(reply(c, "status cdaudio mode"), QStringLiteral("open"));
    QCOMPARE(reply(c, "status cdaudio number of tracks"), QStringLiteral("#276"));
    QCOMPARE(reply(c, "set cdaudio door closed"), QString());
    QCOMPARE(reply(c, "status cdaudio position"), QStringLiteral("01:00:00:00"));
}

void TestCdImage::imageReader()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    // 3:00, 4:23 and 2:10 and a few frames.
    QVERIFY(
        writeCueImage(ws.file("disc.cue"), { test::msf(3, 0, 12), test::msf(4, 23, 70), test::msf(2, 10) }));
    CdAudioDevice device(createDrive(ws.file("disc.cue")));
    Album album;
    album.AlbumID = 3;
    QVERIFY(ReadCompactDisc(device, db, album, false, false));
    QVERIFY(script->asked().isEmpty());
    // Total 9:34 and 7 frames over: 57401; tracks 18001, 26301, 13001.
    QCOMPARE(album.CDIdentifier, QStringLiteral(" 357401180012630113001"));
    QCOMPARE(album.TotalTime, 57401);
    QCOMPARE(device.openCount(), 0);
}

void TestCdImage::missingBin_data()
{
    QTest::addColumn<QString>("layout"); // "single", or a layout of writeSplitPatternImage()
    QTest::addColumn<QString>("remove"); // the data file taken away ("" none)
    QTest::addColumn<QString>("cue"); // written over the sheet ("" none)
    QTest::addColumn<QString>("problem"); // what the message says after the usual text
    QTest::newRow("single bin named otherwise") << "single" << "" << ""
                                               << "the data file \"other.bin\" of image disc.cue is missing";
    QTest::newRow("second of split bins") << "bin" << "02.bin" << ""
                                          << "the data file \"02.bin\" of image disc.cue is missing";
    QTest::newRow("last of split waves") << "wave" << "03.wav" << ""
                                         << "the data file \"03.wav\" of image disc.cue is missing";
    QTest::newRow("wave not of CD audio") << "wave" << "" << "FILE \"disc.cue\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                          << "the data file \"disc.cue\" of image disc.cue is not CD audio "
                                             "(WAVE of 16-bit stereo PCM at 44.1 kHz)";
    QTest::newRow("track without start") << "bin" << "" << "FILE \"01.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 00 00:00:00\n"
                                         << "track 1 of image disc.cue has no start (INDEX 01)";
}

// An image whose sheet or data files are wrong: the drive cannot be used, and the message says
// which file is at fault.
void TestCdImage::missingBin()
{
    QFETCH(QString, layout);
    QFETCH(QString, remove);
    QFETCH(QString, cue);
    QFETCH(QString, problem);
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    if (layout == QLatin1String("single")) // the cue names a data file that is not there
        QVERIFY(writeCueImage(ws.file("disc.cue"), { 300, 450 }, {}, QStringLiteral("other.bin"), false));
    else
        QVERIFY(test::writeSplitPatternImage(ws.file("disc.cue"), { 300, 450, 200 }, layout));
    if (!remove.isEmpty())
        QVERIFY(QFile::remove(ws.file(remove)));
    if (!cue.isEmpty())
        QVERIFY(writeText(ws.file("disc.cue"), cue));
    CdAudioDevice device(createDrive(ws.file("disc.cue")));
    CdAudioClient c(device);
    QCOMPARE(reply(c, "open cdaudio shareable"), QStringLiteral("#306"));
    QCOMPARE(device.drive().errorText(), problem);
    Album album;
    QVERIFY(!ReadCompactDisc(device, db, album, true, false));
    QCOMPARE(script->asked().size(), 1);
    QCOMPARE(script->asked().first().text, cdNotAvailableText() + QStringLiteral("||") + problem);
}

void TestCdImage::splitImages_data()
{
    QTest::addColumn<QString>("layout");
    for (const char* layout : { "bin", "wave", "gap before", "gap inside" })
        QTest::newRow(layout) << QString::fromLatin1(layout);
}

// A disc ripped to one file per track is the disc of the single image: the same table of
// contents and identifier, and play hears the same samples, across the files' seams.
void TestCdImage::splitImages()
{
    QFETCH(QString, layout);
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    const QList<int> sectors { 300, 451, 200 };
    QVERIFY(QDir(ws.path()).mkpath(QStringLiteral("single")) && QDir(ws.path()).mkpath(QStringLiteral("split")));
    QVERIFY(test::writePatternImage(ws.file("single/disc.cue"), sectors));
    QVERIFY(test::writeSplitPatternImage(ws.file("split/disc.cue"), sectors, layout));

    QString identifier[2];
    int i = 0;
    for (const char* image : { "single/disc.cue", "split/disc.cue" }) {
        CdAudioDevice device(createDrive(ws.file(image)));
        DiscToc toc;
        QVERIFY(device.drive().acquire());
        QVERIFY2(device.drive().toc(toc), qPrintable(device.drive().errorText()));
        QCOMPARE(tocLine(toc), QStringLiteral("1 3 1101 150 450 901"));
        device.drive().release();
        Album album;
        QVERIFY(ReadCompactDisc(device, db, album, true, false));
        identifier[i++] = album.CDIdentifier;
    }
    QCOMPARE(identifier[1], identifier[0]);
    QVERIFY(script->asked().isEmpty());

    auto out = std::make_shared<test::FakeOutput>();
    auto drive = createDrive(ws.file("split/disc.cue"), std::make_shared<ManualClock>(), std::make_unique<test::FakeSink>(out));
    QVERIFY(drive->acquire());
    QVERIFY(drive->play(440, 1101));
    out->takeAll();
    QCOMPARE(out->heard.size(), qsizetype(1101 - 440) * 2352);
    QVERIFY(out->heard == test::patternFrames(440, 1101));
}

void TestCdImage::toolIds_data()
{
    QTest::addColumn<QString>("toc");
    QTest::addColumn<QString>("identifier");
    QTest::newRow("three tracks") << "1 3 60000 150 20000 40000"
                                  << " 379801264012660126601";
    QTest::newRow("one track") << "1 1 16800 150"
                               << " 12220122201";
    QTest::newRow("twelve tracks")
        << "1 12 198592 150 18265 34445 50697 69377 83690 101385 117935 133595 151235 166707 182522"
        << "12264501241012150121601";
    QTest::newRow("long tracks") << "1 4 330000 150 90150 180150 270150"
                                 << " 44398011200011200011200";
}

void TestCdImage::toolIds()
{
    QFETCH(QString, toc);
    QFETCH(QString, identifier);
    if (!QFileInfo::exists(toolPath()))
        QFAIL(qPrintable(QStringLiteral("tunedeck-disc is not built (%1)").arg(toolPath())));
    test::TempWorkspace ws;
    QVERIFY(writeText(ws.file("disc.toc"), toc + QLatin1Char('\n')));
    DiscToc t;
    QVERIFY(parseTocLine(toc, t));

    const ToolRun run = runTool(ws.file("disc.toc"));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.first(), QStringLiteral("Tracks: %1").arg(t.trackCount()));
    // A track line for every track: number, mm:ss:ff, time value.
    const int frames = t.trackLength(t.first);
    QCOMPARE(run.out.at(1),
        QStringLiteral("Track 1: %1 %2").arg(framesToMsf(frames)).arg(test::timeOfFrames(frames)));
    QCOMPARE(run.out.size(), t.trackCount() + 5);
    QVERIFY(run.out.contains(QStringLiteral("Disc identifier: \"%1\"").arg(identifier)));
    QVERIFY(run.out.contains(QStringLiteral("Total: %1 %2")
                                 .arg(framesToMsf(t.discLength()))
                                 .arg(test::timeOfFrames(t.discLength()))));
    QVERIFY(run.out.contains(QStringLiteral("freedb disc id: ") + freedbId(t)));
    QVERIFY(run.out.contains(
        QStringLiteral("MusicBrainz disc id: ") + musicBrainzId(t.first, t.last, t.leadout, t.starts)));
}

void TestCdImage::toolDataTrack()
{
    if (!QFileInfo::exists(toolPath()))
        QFAIL(qPrintable(QStringLiteral("tunedeck-disc is not built (%1)").arg(toolPath())));
    test::TempWorkspace ws;
    // An enhanced CD: two audio tracks, then a data track after the session gap. The .bin is sparse.
    QVERIFY(writeCueImage(ws.file("disc.cue"), { test::msf(3, 0), test::msf(4, 0), test::msf(1, 0) }, { 3 }));
    const ToolRun run = runTool(ws.file("disc.cue"));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.first(), QStringLiteral("Tracks: 3"));

    DiscToc all;
    all.first = 1;
    all.last = 3;
    all.starts = { 150, 150 + test::msf(3, 0), 150 + test::msf(7, 0) };
    all.leadout = 150 + test::msf(8, 0);
    // freedb counts the data track; MusicBrainz ends the audio 11400 frames before it.
    QVERIFY(run.out.contains(QStringLiteral("freedb disc id: ") + freedbId(all)));
    const QString mb = musicBrainzId(1, 2, all.starts.at(2) - 11400, all.starts.mid(0, 2));
    QVERIFY2(run.out.contains(QStringLiteral("MusicBrainz disc id: ") + mb), qPrintable(run.out.join('\n')));
}

void TestCdImage::toolNoDisc_data()
{
    QTest::addColumn<QString>("file"); // .toc contents; "-" for a device that does not exist
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("no disc") << "nodisc" << 1 << "There is no disc in virtual drive disc.toc.";
    QTest::newRow("door open") << "open" << 1 << "The door of virtual drive disc.toc is open.";
    QTest::newRow("unreadable") << "1 2 3" << 1 << "The disc in virtual drive disc.toc cannot be read";
    QTest::newRow("no drive") << "-" << 2 << "The CD drive cannot be used";
}

void TestCdImage::toolNoDisc()
{
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    if (!QFileInfo::exists(toolPath()))
        QFAIL(qPrintable(QStringLiteral("tunedeck-disc is not built (%1)").arg(toolPath())));
    test::TempWorkspace ws;
    QString source = ws.file("disc.toc");
    if (file == QLatin1String("-"))
        source = ws.file("no-such-drive");
    else
        QVERIFY(writeText(source, file));
    const ToolRun run = runTool(source);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestCdImage)
#include "tst_cdimage.moc"

#pragma once
// Helpers of the CD tests: discs described by .toc files, small BIN/CUE images (of silence, or of
// samples that tell where they lie) and a sound output the test listens to.

#include "cd/CdAudio.h"
#include "cd/DiscToc.h"
#include "cd/DriveFactory.h"
#include "cd/PcmSink.h"
#include "cd/PlayClock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>
#include <QThread>
#include <QtEndian>
#include <memory>

namespace td::test {

inline bool writeText(const QString& path, const QString& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream(&f) << text;
    return true;
}

// A table of contents from track lengths in frames, the first track at 150.
inline DiscToc tocOfLengths(const QList<int>& lengths)
{
    DiscToc t;
    t.first = 1;
    t.last = int(lengths.size());
    int at = 150;
    for (int len : lengths) {
        t.starts << at;
        at += len;
    }
    t.leadout = at;
    return t;
}

// Frames of minutes, seconds and frames.
constexpr int msf(int m, int s, int f = 0)
{
    return (m * 60 + s) * kFramesPerSecond + f;
}

// The time value of a length in frames, worked out by hand: whole seconds, frames dropped.
inline int timeOfFrames(int frames)
{
    return frames / kFramesPerSecond * 100 + 1;
}

// A BIN/CUE image of silence: one track per entry of `sectors`; tracks listed in `dataTracks`
// (1-based) are MODE1/2352. The .bin is made sparse, so large images cost no disk space.
inline bool writeCueImage(const QString& cuePath, const QList<int>& sectors,
    const QList<int>& dataTracks = {}, const QString& binName = QStringLiteral("disc.bin"),
    bool writeBin = true)
{
    QString cue = QStringLiteral("FILE \"%1\" BINARY\n").arg(binName);
    qint64 at = 0;
    for (int i = 0; i < sectors.size(); ++i) {
        const bool data = dataTracks.contains(i + 1);
        cue += QStringLiteral("  TRACK %1 %2\n")
                   .arg(i + 1, 2, 10, QLatin1Char('0'))
                   .arg(data ? QStringLiteral("MODE1/2352") : QStringLiteral("AUDIO"));
        const qint64 m = at / (60 * kFramesPerSecond), s = at / kFramesPerSecond % 60,
                     f = at % kFramesPerSecond;
        cue += QStringLiteral("    INDEX 01 %1:%2:%3\n")
                   .arg(m, 2, 10, QLatin1Char('0'))
                   .arg(s, 2, 10, QLatin1Char('0'))
                   .arg(f, 2, 10, QLatin1Char('0'));
        at += sectors.at(i);
    }
    if (!writeText(cuePath, cue))
        return false;
    if (!writeBin)
        return true;
    QFile bin(QFileInfo(cuePath).absolutePath() + QLatin1Char('/') + binName);
    return bin.open(QIODevice::WriteOnly | QIODevice::Truncate) && bin.resize(at * 2352);
}

// One frame of a pattern image, as the output receives it: every left sample is the frame's address
// less 150 (its place in the .bin), every right sample its place in the frame (0..587).
inline QByteArray patternFrame(int address)
{
    QByteArray frame(2352, Qt::Uninitialized);
    auto* s = reinterpret_cast<qint16*>(frame.data());
    for (int i = 0; i < 588; ++i) {
        s[2 * i] = qint16(address - 150);
        s[2 * i + 1] = qint16(i);
    }
    return frame;
}

// Frames [from, to) of a pattern image.
inline QByteArray patternFrames(int from, int to)
{
    QByteArray out;
    for (int a = from; a < to; ++a)
        out += patternFrame(a);
    return out;
}

// A BIN/CUE image of audio tracks whose samples are patternFrame() of their address.
inline bool writePatternImage(const QString& cuePath, const QList<int>& sectors)
{
    if (!writeCueImage(cuePath, sectors, {}, QStringLiteral("disc.bin"), false))
        return false;
    int frames = 0;
    for (int n : sectors)
        frames += n;
    QFile bin(QFileInfo(cuePath).absolutePath() + QStringLiteral("/disc.bin"));
    if (!bin.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (int a = 150; a < 150 + frames; ++a) {
        QByteArray frame = patternFrame(a);
        auto* s = reinterpret_cast<qint16*>(frame.data());
        qToLittleEndian<qint16>(s, 1176, s); // a .bin holds disc order
        if (bin.write(frame) != frame.size())
            return false;
    }
    return true;
}

// The same disc as writePatternImage() split the way rippers write it, one data file per track:
//   "bin"         FILE "01.bin" BINARY, each track's frames in its own file
//   "wave"        the same as WAVE files ("01.wav"), with a chunk before the samples
//   "gap before"  each track after the first begins with `gap` frames of pre-gap (INDEX 00) that
//                 lie at the end of the previous track's file
//   "gap inside"  the same pre-gap at the start of the track's own file
// The disc is frame for frame the single image's: the same table of contents, the same samples.
inline bool writeSplitPatternImage(
    const QString& cuePath, const QList<int>& sectors, const QString& layout, int gap = 30)
{
    const QString dir = QFileInfo(cuePath).absolutePath() + QLatin1Char('/');
    const bool wave = layout == QLatin1String("wave");
    auto msfText = [](qint64 at) {
        return QStringLiteral("%1:%2:%3")
            .arg(at / (60 * kFramesPerSecond), 2, 10, QLatin1Char('0'))
            .arg(at / kFramesPerSecond % 60, 2, 10, QLatin1Char('0'))
            .arg(at % kFramesPerSecond, 2, 10, QLatin1Char('0'));
    };
    QList<int> starts; // disc frames, from 0
    int total = 0;
    for (int n : sectors) {
        starts << total;
        total += n;
    }
    // Where each file begins on the disc.
    QList<int> fileStarts = starts;
    if (layout == QLatin1String("gap inside"))
        for (int i = 1; i < fileStarts.size(); ++i)
            fileStarts[i] -= gap;
    QString cue = QStringLiteral("REM written by a ripper\nTITLE \"Split\"\n");
    for (int i = 0; i < sectors.size(); ++i) {
        const QString name = QStringLiteral("%1.%2").arg(i + 1, 2, 10, QLatin1Char('0')).arg(wave ? "wav" : "bin");
        const QString track = QStringLiteral("  TRACK %1 AUDIO\n").arg(i + 1, 2, 10, QLatin1Char('0'));
        if (layout == QLatin1String("gap before") && i > 0) {
            cue += track + QStringLiteral("    INDEX 00 %1\n").arg(msfText(starts.at(i) - gap - fileStarts.at(i - 1)));
            cue += QStringLiteral("FILE \"%1\" BINARY\n    INDEX 01 00:00:00\n").arg(name);
        } else {
            cue += QStringLiteral("FILE \"%1\" %2\n").arg(name, wave ? "WAVE" : "BINARY") + track;
            if (layout == QLatin1String("gap inside") && i > 0)
                cue += QStringLiteral("    INDEX 00 00:00:00\n    INDEX 01 %1\n").arg(msfText(gap));
            else
                cue += QStringLiteral("    INDEX 01 00:00:00\n");
        }
        const int from = fileStarts.at(i), to = i + 1 < sectors.size() ? fileStarts.at(i + 1) : total;
        QByteArray data;
        for (int a = 150 + from; a < 150 + to; ++a) {
            QByteArray frame = patternFrame(a);
            auto* smp = reinterpret_cast<qint16*>(frame.data());
            qToLittleEndian<qint16>(smp, 1176, smp);
            data += frame;
        }
        QFile f(dir + name);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        if (wave) {
            QByteArray h("RIFF");
            auto u32 = [](quint32 v) { QByteArray b(4, 0); qToLittleEndian<quint32>(v, b.data()); return b; };
            auto u16 = [](quint16 v) { QByteArray b(2, 0); qToLittleEndian<quint16>(v, b.data()); return b; };
            h += u32(quint32(4 + 24 + 12 + 8 + data.size())) + "WAVE";
            h += "fmt " + u32(16) + u16(1) + u16(2) + u32(44100) + u32(44100 * 4) + u16(4) + u16(16);
            h += "LIST" + u32(4) + "INFO";
            h += "data" + u32(quint32(data.size()));
            data.prepend(h);
        }
        if (f.write(data) != data.size())
            return false;
    }
    return writeText(cuePath, cue);
}

// A sound output the test drives: it takes samples only when the test says so, and what it took
// counts as heard.
struct FakeOutput {
    bool available = true; // false: start() fails, as where there is no sound output
    bool broken = false; // the output fails during the play
    bool paused = false;
    PcmFeed* feed = nullptr;
    qint64 bytes = 0; // taken since the last start
    QByteArray heard; // everything taken since the test began

    // Takes up to `bytes` more, waiting for the reader; stops early when the play has no more.
    // Returns what was taken.
    qint64 take(qint64 wanted)
    {
        if (!feed || paused)
            return 0;
        QByteArray buffer(wanted, Qt::Uninitialized);
        qint64 got = 0;
        QDeadlineTimer deadline(10000);
        while (got < wanted && !deadline.hasExpired()) {
            const qint64 n = feed->readPcm(buffer.data() + got, wanted - got);
            got += n;
            if (n == 0) {
                if (feed->atEnd())
                    break;
                QThread::msleep(1);
            }
        }
        bytes += got;
        heard += buffer.left(got);
        return got;
    }
    qint64 takeFrames(int frames) { return take(qint64(frames) * 2352); }
    // Takes everything up to the play's end.
    qint64 takeAll() { return take(qint64(1) << 30); }
};

class FakeSink : public PcmSink {
public:
    explicit FakeSink(std::shared_ptr<FakeOutput> out)
        : out_(std::move(out))
    {
    }
    bool start(PcmFeed* feed) override
    {
        out_->feed = out_->available ? feed : nullptr;
        out_->bytes = 0;
        out_->paused = false;
        return out_->available;
    }
    void pause() override { out_->paused = true; }
    void resume() override { out_->paused = false; }
    void stop() override { out_->feed = nullptr; }
    qint64 framesPlayed() const override { return out_->bytes / 2352; }
    bool failed() const override { return out_->broken; }

private:
    std::shared_ptr<FakeOutput> out_;
};

// A sink for tests that pace play with a clock: there is no sound output.
inline std::unique_ptr<PcmSink> noSoundOutput()
{
    auto out = std::make_shared<FakeOutput>();
    out->available = false;
    return std::make_unique<FakeSink>(out);
}

// A device over a .toc file with a clock the test moves.
struct VirtualCd {
    explicit VirtualCd(const QString& tocPath)
        : clock(std::make_shared<ManualClock>())
        , device(createDrive(tocPath, clock))
    {
    }
    std::shared_ptr<ManualClock> clock;
    CdAudioDevice device;
};

} // namespace td::test

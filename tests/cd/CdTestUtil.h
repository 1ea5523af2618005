#pragma once
// Helpers of the CD tests: discs described by .toc files and small BIN/CUE images of silence.

#include "cd/CdAudio.h"
#include "cd/DiscToc.h"
#include "cd/DriveFactory.h"
#include "cd/PlayClock.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>
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

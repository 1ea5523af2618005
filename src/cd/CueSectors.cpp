// Reading the audio of a cue sheet's image from its data files (CueSheet.h).
#include "cd/CueSheet.h"
#include "cd/PcmSink.h"
#include "cd/SectorSource.h"

#include <QFile>
#include <QtEndian>

#include <cstring>
#include <map>

namespace td {

namespace {

constexpr int kLeadIn = 150;

class CueSource : public SectorSource {
public:
    explicit CueSource(CueSheet sheet)
        : sheet_(std::move(sheet))
    {
    }

    bool read(int address, int frames, char* out) override
    {
        if (address < kLeadIn || frames <= 0)
            return false;
        const qint64 first = address - kLeadIn;
        if (first + frames > qint64(sheet_.toc.leadout) - kLeadIn)
            return false;
        std::memset(out, 0, size_t(frames) * kBytesPerFrame);
        for (qint64 frame = first; frame < first + frames;) {
            const CueSegment* seg = segmentAt(frame);
            if (!seg)
                return false;
            const qint64 count = qMin(seg->start + seg->frames, first + frames) - frame;
            char* to = out + (frame - first) * kBytesPerFrame;
            // Silence, and data tracks, which are no sound, stay zero.
            if (!seg->file.isEmpty() && seg->audio && !readAudio(*seg, frame, count, to))
                return false;
            frame += count;
        }
        return true;
    }

private:
    const CueSegment* segmentAt(qint64 frame) const
    {
        // Segments are few (one or two a track): a plain search is quick enough.
        for (const CueSegment& s : sheet_.segments)
            if (frame >= s.start && frame < s.start + s.frames)
                return &s;
        return nullptr;
    }

    bool readAudio(const CueSegment& seg, qint64 frame, qint64 count, char* to)
    {
        QFile* f = fileOf(seg.file);
        if (!f)
            return false;
        const qint64 from = seg.offset + (frame - seg.start) * seg.sectorSize;
        const qint64 wanted = qMin(count * kBytesPerFrame, seg.fileEnd - from);
        if (wanted <= 0)
            return true; // the short last frame of a file: the rest is silence
        if (!f->seek(from) || f->read(to, wanted) != wanted)
            return false;
        auto* samples = reinterpret_cast<qint16*>(to);
        const qsizetype n = wanted / 2;
        if (seg.bigEndian)
            qFromBigEndian<qint16>(samples, n, samples);
        else
            qFromLittleEndian<qint16>(samples, n, samples);
        return true;
    }

    QFile* fileOf(const QString& path)
    {
        auto it = files_.find(path);
        if (it == files_.end()) {
            auto f = std::make_unique<QFile>(path);
            if (!f->open(QIODevice::ReadOnly))
                return nullptr;
            it = files_.emplace(path, std::move(f)).first;
        }
        return it->second.get();
    }

    CueSheet sheet_;
    std::map<QString, std::unique_ptr<QFile>> files_;
};

} // namespace

SectorSourceFactory cueSectors(const QString& cuePath)
{
    return [cuePath]() -> std::unique_ptr<SectorSource> {
        CueSheet sheet;
        if (!readCueSheet(cuePath, sheet))
            return nullptr;
        return std::make_unique<CueSource>(std::move(sheet));
    };
}

} // namespace td

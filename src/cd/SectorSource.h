#pragma once
// Reads the audio of a disc: CD frames of 2352 bytes (PcmSink.h) at absolute addresses (DiscToc.h,
// the first track of an ordinary disc at 150). A source is made and used on a reading thread of
// its own, so a slow drive never holds up the windows.

#include <QString>
#include <functional>
#include <memory>

namespace td {

class SectorSource {
public:
    virtual ~SectorSource() = default;
    // Reads `frames` frames from `address` into out (frames × 2352 bytes, samples in host order).
    // False when they cannot be read (no disc any more, a scratch beyond repair).
    virtual bool read(int address, int frames, char* out) = 0;
};

// Makes the source of one play; null when the disc cannot be opened for reading.
using SectorSourceFactory = std::function<std::unique_ptr<SectorSource>()>;

// A disc image: a cue sheet through its data files (CueSheet.h), anything else (a .nrg, ...)
// through libcdio; plain sector reads.
SectorSourceFactory imageSectors(const QString& imagePath);
// A cue sheet's image read from its data files, one or one per track.
SectorSourceFactory cueSectors(const QString& cuePath);
// A real drive: reads through libcdio's paranoia reader, which retries and puts jittered reads
// together again.
SectorSourceFactory driveSectors(const QString& device);

} // namespace td

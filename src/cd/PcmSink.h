#pragma once
// Where the sound of a digital play goes. Disc audio is 16-bit stereo at 44.1 kHz, little-endian,
// 2352 bytes (588 samples a channel) to a CD frame. The output pulls the samples from a PcmFeed as
// it needs them and tells how much of them it has actually played.

#include <QtGlobal>

namespace td {

inline constexpr int kBytesPerFrame = 2352;
inline constexpr int kSampleRate = 44100;

// The samples of one play, in order. Called from the thread of the output.
class PcmFeed {
public:
    virtual ~PcmFeed() = default;
    // Copies up to maxBytes of the samples that are ready now (0 when none are yet); never waits.
    virtual qint64 readPcm(char* data, qint64 maxBytes) = 0;
    // Every sample of the play has been handed out: nothing more will come.
    virtual bool atEnd() const = 0;
};

class PcmSink {
public:
    virtual ~PcmSink() = default;
    // Starts playing what the feed gives; false when there is no output to play through (the feed
    // is then not used). A new start ends the play before it.
    virtual bool start(PcmFeed* feed) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    // Ends the play; the feed is not touched again.
    virtual void stop() = 0;
    // CD frames heard since start (whole frames; what is merely queued does not count).
    virtual qint64 framesPlayed() const = 0;
    // The output broke down during the play (a device unplugged).
    virtual bool failed() const { return false; }
};

} // namespace td

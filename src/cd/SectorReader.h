#pragma once
// Reads the frames of one play on a thread of its own into a bounded buffer, from which the output
// takes its samples. The thread waits while the buffer is full, so a long play holds a few seconds
// of sound at most; it stops at the play's end, at the first frame that cannot be read, or when
// cancelled.

#include "cd/PcmSink.h"
#include "cd/SectorSource.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace td {

class SectorReader : public PcmFeed {
public:
    // Starts reading [from, to) at once. bufferFrames: how far reading may run ahead of the output.
    SectorReader(
        SectorSourceFactory source, int from, int to, int bufferFrames = 4 * 75, int chunkFrames = 10);
    // Cancels and waits for the thread (at most the read under way).
    ~SectorReader() override;
    SectorReader(const SectorReader&) = delete;
    SectorReader& operator=(const SectorReader&) = delete;

    // Starts the reading thread (once).
    void begin();

    qint64 readPcm(char* data, qint64 maxBytes) override;
    bool atEnd() const override;

    int from() const { return from_; }
    // Reading is over; the samples then end at endAddress(): the play's end, or the first frame
    // that could not be read.
    bool readingDone() const;
    int endAddress() const;
    // Asks the thread to stop without waiting for it; readingDone() tells when it has.
    void cancel();

private:
    void run();

    SectorSourceFactory source_;
    const int from_;
    const int to_;
    const int chunkFrames_;
    mutable std::mutex mutex_;
    std::condition_variable roomFreed_;
    std::vector<char> ring_;
    size_t head_ = 0; // first unread byte
    size_t size_ = 0; // bytes waiting
    bool cancelled_ = false;
    bool done_ = false;
    int end_ = 0;
    std::thread thread_;
};

} // namespace td

#include "cd/SectorReader.h"

#include <algorithm>
#include <cstring>

namespace td {

SectorReader::SectorReader(SectorSourceFactory source, int from, int to, int bufferFrames, int chunkFrames)
    : source_(std::move(source))
    , from_(from)
    , to_(qMax(from, to))
    , chunkFrames_(qMax(1, chunkFrames))
    , ring_(size_t(qMax(bufferFrames, chunkFrames_)) * kBytesPerFrame)
    , end_(from)
{
}

void SectorReader::begin()
{
    if (!thread_.joinable())
        thread_ = std::thread([this] { run(); });
}

SectorReader::~SectorReader()
{
    cancel();
    if (thread_.joinable())
        thread_.join();
}

void SectorReader::run()
{
    int at = from_;
    {
        std::unique_ptr<SectorSource> source = source_ ? source_() : nullptr;
        std::vector<char> chunk(size_t(chunkFrames_) * kBytesPerFrame);
        while (source && at < to_) {
            const int frames = qMin(chunkFrames_, to_ - at);
            const size_t bytes = size_t(frames) * kBytesPerFrame;
            {
                std::unique_lock lock(mutex_);
                roomFreed_.wait(lock, [&] { return cancelled_ || ring_.size() - size_ >= bytes; });
                if (cancelled_)
                    break;
            }
            if (!source->read(at, frames, chunk.data()))
                break;
            std::lock_guard lock(mutex_);
            size_t tail = (head_ + size_) % ring_.size();
            const size_t first = std::min(bytes, ring_.size() - tail);
            memcpy(ring_.data() + tail, chunk.data(), first);
            memcpy(ring_.data(), chunk.data() + first, bytes - first);
            size_ += bytes;
            at += frames;
        }
        // The source (and the drive handle it holds) goes before anyone learns that reading is over.
    }
    std::lock_guard lock(mutex_);
    end_ = at;
    done_ = true;
}

qint64 SectorReader::readPcm(char* data, qint64 maxBytes)
{
    std::lock_guard lock(mutex_);
    const size_t bytes = std::min(size_, size_t(qMax<qint64>(0, maxBytes)));
    const size_t first = std::min(bytes, ring_.size() - head_);
    memcpy(data, ring_.data() + head_, first);
    memcpy(data + first, ring_.data(), bytes - first);
    head_ = (head_ + bytes) % ring_.size();
    size_ -= bytes;
    if (bytes > 0)
        roomFreed_.notify_one();
    return qint64(bytes);
}

bool SectorReader::atEnd() const
{
    std::lock_guard lock(mutex_);
    return done_ && size_ == 0;
}

bool SectorReader::readingDone() const
{
    std::lock_guard lock(mutex_);
    return done_;
}

int SectorReader::endAddress() const
{
    std::lock_guard lock(mutex_);
    return done_ ? end_ : to_;
}

void SectorReader::cancel()
{
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    roomFreed_.notify_one();
}

} // namespace td

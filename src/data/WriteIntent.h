#pragma once
// Writers announce themselves while they wait for the data files, so that work in the background
// that holds a file's write lock for long (an index being made) can step aside for them.

#include <atomic>

namespace td {

// How many writers are waiting for a data file right now (any thread).
inline std::atomic<int>& writersWaiting()
{
    static std::atomic<int> waiting { 0 };
    return waiting;
}

// Counts its owner among the waiting writers while it lives.
class WriteIntent {
public:
    WriteIntent() { writersWaiting().fetch_add(1, std::memory_order_relaxed); }
    ~WriteIntent() { writersWaiting().fetch_sub(1, std::memory_order_relaxed); }
    WriteIntent(const WriteIntent&) = delete;
    WriteIntent& operator=(const WriteIntent&) = delete;
};

} // namespace td

#pragma once
// The clock that paces a simulated play (images and the virtual drive have no audio hardware).
// Tests use ManualClock and move it by hand.

#include <QElapsedTimer>
#include <QtGlobal>

namespace td {

class PlayClock {
public:
    virtual ~PlayClock() = default;
    // Milliseconds from an arbitrary start; never goes back.
    virtual qint64 nowMs() const = 0;
};

class SteadyClock : public PlayClock {
public:
    SteadyClock() { timer_.start(); }
    qint64 nowMs() const override { return timer_.elapsed(); }

private:
    QElapsedTimer timer_;
};

class ManualClock : public PlayClock {
public:
    qint64 nowMs() const override { return now_; }
    void advance(qint64 ms) { now_ += qMax<qint64>(0, ms); }

private:
    qint64 now_ = 0;
};

} // namespace td

#include "cd/SimulatedPlayback.h"

#include "cd/DiscToc.h"

namespace td {

SimulatedPlayback::SimulatedPlayback(std::shared_ptr<PlayClock> clock)
    : clock_(clock ? std::move(clock) : std::make_shared<SteadyClock>())
{
}

void SimulatedPlayback::reset(int home, int discEnd)
{
    state_ = AudioState::Stopped;
    home_ = home;
    discEnd_ = discEnd;
    held_ = home;
}

int SimulatedPlayback::positionAt(qint64 now) const
{
    const qint64 moved = qMax<qint64>(0, now - startedAt_) * kFramesPerSecond / 1000;
    return int(qMin<qint64>(qint64(from_) + moved, to_));
}

void SimulatedPlayback::update()
{
    if (state_ != AudioState::Playing && state_ != AudioState::Seeking)
        return;
    const qint64 now = clock_->nowMs();
    if (state_ == AudioState::Seeking) {
        if (now < startedAt_)
            return;
        state_ = AudioState::Playing;
    }
    if (positionAt(now) >= to_) {
        state_ = AudioState::Stopped;
        held_ = to_ >= discEnd_ ? home_ : to_;
    }
}

AudioState SimulatedPlayback::state()
{
    update();
    return state_;
}

int SimulatedPlayback::position()
{
    update();
    if (state_ == AudioState::Playing)
        return positionAt(clock_->nowMs());
    if (state_ == AudioState::Seeking)
        return from_;
    return held_;
}

void SimulatedPlayback::play(int from, int to)
{
    from_ = from;
    to_ = qMax(from, to);
    startedAt_ = clock_->nowMs() + seekMs_;
    state_ = seekMs_ > 0 ? AudioState::Seeking : AudioState::Playing;
    update();
}

void SimulatedPlayback::pause()
{
    update();
    if (state_ == AudioState::Playing || state_ == AudioState::Seeking) {
        held_ = position();
        state_ = AudioState::Paused;
    }
}

void SimulatedPlayback::resume()
{
    update();
    if (state_ == AudioState::Paused)
        play(held_, to_);
}

void SimulatedPlayback::stop()
{
    update();
    if (state_ != AudioState::Stopped) {
        held_ = position();
        state_ = AudioState::Stopped;
    }
}

} // namespace td

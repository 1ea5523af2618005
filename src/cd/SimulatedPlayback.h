#pragma once
// Play, pause, resume and stop of a drive without audio hardware: the position moves with a clock
// at 75 frames a second. A play may first seek for a while (mode "seeking"). When play reaches its
// end the drive stops there; at the end of the disc it goes back to the start of the first track,
// as a player does.

#include "cd/CdDrive.h"
#include "cd/PlayClock.h"

#include <memory>

namespace td {

class SimulatedPlayback {
public:
    explicit SimulatedPlayback(std::shared_ptr<PlayClock> clock);

    // A new disc (or none): stopped at `home`, play reaches the disc's end at `discEnd`.
    void reset(int home, int discEnd);
    void setSeekMs(int ms) { seekMs_ = qMax(0, ms); }

    AudioState state();
    int position();
    void play(int from, int to);
    void pause();
    void resume();
    void stop();

private:
    void update();
    int positionAt(qint64 now) const;

    std::shared_ptr<PlayClock> clock_;
    AudioState state_ = AudioState::Stopped;
    int home_ = 0;
    int discEnd_ = 0;
    int from_ = 0; // where the running play started (or was resumed)
    int to_ = 0;
    int held_ = 0; // position while stopped or paused
    qint64 startedAt_ = 0; // clock when the running play began to move (after seeking)
    int seekMs_ = 0;
};

} // namespace td

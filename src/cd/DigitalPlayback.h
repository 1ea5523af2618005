#pragma once
// Play, pause, resume and stop of a disc whose audio the program reads itself: a reading thread
// (SectorReader.h) fills a bounded buffer, the output (PcmSink.h) plays from it, and the position is
// the play's start plus the frames the output has actually played. The rules are those of a player:
// play stops when it reaches its end, at the end of the disc it goes back to the start of the first
// track, and resume goes on after the last frame heard.
//
// Where there is no output to play through, a play runs silently on a clock instead
// (SimulatedPlayback.h), and the drive says so once through takeNotice().

#include "cd/CdDrive.h"
#include "cd/PcmSink.h"
#include "cd/PlayClock.h"
#include "cd/SectorSource.h"
#include "cd/SimulatedPlayback.h"

#include <memory>
#include <vector>

namespace td {

class SectorReader;

QString noAudioOutputNotice();

class DigitalPlayback {
public:
    DigitalPlayback(std::shared_ptr<PlayClock> clock, std::unique_ptr<PcmSink> sink);
    // Ends the play and waits for its reading thread.
    ~DigitalPlayback();
    DigitalPlayback(const DigitalPlayback&) = delete;
    DigitalPlayback& operator=(const DigitalPlayback&) = delete;

    // A new disc (or none): stopped at `home`; play reaches the disc's end at `discEnd`; the disc's
    // audio is read from `source`.
    void reset(int home, int discEnd, SectorSourceFactory source);
    // Ends any play at once and waits until nothing reads the disc any more (before it is ejected
    // or its handle closed); the position stays where the play was.
    void halt();

    AudioState state();
    int position();
    void play(int from, int to);
    void pause();
    void resume();
    void stop();

    // "No audio output: playing silently" once when a play has had to go silent; empty otherwise.
    // Said again only after a play has been heard in between.
    QString takeNotice();

private:
    void update();
    int digitalPosition() const;
    // Hands the running play's reader over to finish in the background.
    void retire();
    void playSilently(int from, int to);

    SimulatedPlayback silent_;
    std::unique_ptr<PcmSink> sink_;
    SectorSourceFactory source_;
    std::unique_ptr<SectorReader> reader_; // the play being heard
    std::vector<std::unique_ptr<SectorReader>> retired_; // cancelled, their last read still running
    bool silentMode_ = false; // the last play runs on the clock
    AudioState state_ = AudioState::Stopped;
    int home_ = 0;
    int discEnd_ = 0;
    int held_ = 0; // position while stopped or paused
    bool noticeDue_ = true;
    QString notice_;
};

} // namespace td

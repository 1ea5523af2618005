#pragma once
// A drive described by a small text file, for tests, demonstrations and machines without a drive.
// The file is read again on every question, so editing it changes the disc:
//
//   # comment lines and blank lines are ignored
//   1 3 60000 150 20000 40000
//
// The line of numbers is the table of contents in frames: first track, last track, lead-out, then
// each track's start (DiscToc.h). A line holding one word instead sets the drive's state:
//   open       the door is open
//   nodisc     the door is closed and the drive is empty
//   notready   a disc is in but cannot be read yet
// A missing file is an empty drive; a file whose numbers make no table of contents is a disc that
// cannot be read (not ready). Play is simulated with a clock. "set cdaudio door open" opens the
// door until it is closed again, whatever the file says.

#include "cd/CdDrive.h"
#include "cd/SimulatedPlayback.h"

namespace td {

class VirtualDrive : public CdDrive {
public:
    explicit VirtualDrive(QString path, std::shared_ptr<PlayClock> clock = {});

    bool acquire() override;
    void release() override { acquired_ = false; }
    bool isAcquired() const override { return acquired_; }

    MediaState media() override;
    bool toc(DiscToc& out) override;

    AudioState audioState() override;
    int position() override;
    bool play(int from, int to) override;
    bool pause() override;
    bool resume() override;
    bool stop() override;
    bool setDoorOpen(bool open) override;

    QString name() const override;
    QString errorText() const override { return error_; }

    // A play first seeks for this long (default 0: plays at once).
    void setSeekMs(int ms) { playback_.setSeekMs(ms); }

private:
    // Reads the file; a changed disc stops play and goes back to the start.
    void refresh();

    QString path_;
    SimulatedPlayback playback_;
    bool acquired_ = false;
    bool doorForcedOpen_ = false;
    MediaState state_ = MediaState::NoDisc;
    DiscToc toc_;
    QString error_;
};

} // namespace td

#pragma once
// A drive through libcdio: a real CD drive (table of contents, play, pause, resume and stop through
// the drive's own audio commands, the subchannel for mode, position and current track), or a disc
// image such as a BIN/CUE pair that libcdio opens as if it were a drive. An image has no audio
// hardware behind it: its play is simulated with a clock.

#include "cd/CdDrive.h"
#include "cd/SimulatedPlayback.h"

typedef struct _CdIo CdIo_t;

namespace td {

class CdioDrive : public CdDrive {
public:
    enum class Kind { Device, Image };

    // A device path (empty: libcdio's default drive) or an image file (".cue", ".nrg", ...).
    CdioDrive(Kind kind, QString source, std::shared_ptr<PlayClock> clock = {});
    ~CdioDrive() override;

    bool acquire() override;
    void release() override;
    bool isAcquired() const override { return cdio_ != nullptr; }

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

    Kind kind() const { return kind_; }

private:
    bool open();
    void close();
    // Reads the table of contents into toc_ (once per disc); false when there is no readable disc.
    bool loadToc();
    // The drive's subchannel: its audio state and absolute address; false when it cannot tell.
    bool subchannel(AudioState& state, int& address);

    Kind kind_;
    QString source_;
    QString device_; // the device actually opened
    CdIo_t* cdio_ = nullptr;
    bool tocLoaded_ = false;
    DiscToc toc_;
    QString error_;
    SimulatedPlayback playback_; // images only
    int stoppedAt_ = 0; // devices: where play was stopped
    bool doorOpen_ = false; // an image whose door was opened by command
};

// Keeps libcdio's warnings (about images and absent drives) off the terminal: failures reach the
// user through our own replies and messages. Called once by every CdioDrive.
void quietCdioLog();

} // namespace td

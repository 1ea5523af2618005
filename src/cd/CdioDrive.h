#pragma once
// A drive through libcdio: a real CD drive or a disc image that libcdio opens as if it were a drive
// (a .nrg, ...). A cue sheet with its data files is read by us (CueSheet.h): libcdio takes only
// one data file, named as the sheet. Play reads the disc's audio (a drive through the paranoia reader, an image
// sector by sector) and sends it to the sound output; without one it runs silently on a clock
// (DigitalPlayback.h).

#include "cd/CdDrive.h"
#include "cd/DigitalPlayback.h"

#include <memory>
#include <mutex>

typedef struct _CdIo CdIo_t;

namespace td {

struct CueSheet;

class CdioDrive : public CdDrive {
public:
    enum class Kind { Device, Image };

    // A device path (empty: libcdio's default drive) or an image file (".cue", ".nrg", ...). The
    // sound goes to `sink`, by default the computer's sound output (QtPcmSink.h).
    CdioDrive(Kind kind, QString source, std::shared_ptr<PlayClock> clock = {},
        std::unique_ptr<PcmSink> sink = {});
    ~CdioDrive() override;

    bool acquire() override;
    void release() override;
    bool isAcquired() const override { return cdio_ != nullptr || cue_ != nullptr; }

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
    QString playbackNotice() override { return playback_.takeNotice(); }
    QString imageProblem() const override { return imageProblem_; }

    Kind kind() const { return kind_; }

private:
    bool open();
    void close();
    bool isCueSheet() const;
    // Reads the table of contents into toc_ (once per disc); false when there is no readable disc.
    bool loadToc();

    Kind kind_;
    QString source_;
    QString device_; // the device actually opened
    CdIo_t* cdio_ = nullptr;
    std::unique_ptr<CueSheet> cue_; // an open cue sheet image
    bool tocLoaded_ = false;
    DiscToc toc_;
    QString error_;
    QString imageProblem_;
    DigitalPlayback playback_;
    bool doorOpen_ = false; // an image whose door was opened by command
};

// libcdio keeps a little global state that opening and closing a handle changes: every thread takes
// this lock around those calls (the reading threads of play open handles of their own).
std::mutex& cdioHandleLock();

// Keeps libcdio's warnings (about images and absent drives) off the terminal: failures reach the
// user through our own replies and messages. Called once by every CdioDrive.
void quietCdioLog();

} // namespace td

#pragma once
// A CD drive as the cdaudio command layer sees it: whether a disc can be read, its table of
// contents, and audio play with pause, resume and stop. Addresses are absolute frames (see
// DiscToc.h). Back ends: libcdio for a real drive and for BIN/CUE images (CdioDrive.h), and a
// drive described by a small text file (VirtualDrive.h).

#include "cd/DiscToc.h"

#include <QString>

namespace td {

enum class MediaState {
    Ready, // a disc is in and its table of contents can be read
    NoDisc, // door closed, nothing in the drive
    DoorOpen,
    NotReady, // a disc is in but cannot be read (yet)
};

enum class AudioState { Stopped, Playing, Paused, Seeking };

class CdDrive {
public:
    virtual ~CdDrive() = default;

    // Takes the drive for use (opens the device or image). False when there is no such drive,
    // with the reason in errorText().
    virtual bool acquire() = 0;
    virtual void release() = 0;
    virtual bool isAcquired() const = 0;

    virtual MediaState media() = 0;
    // The disc's table of contents; false when no disc can be read.
    virtual bool toc(DiscToc& out) = 0;

    virtual AudioState audioState() = 0;
    // The address being played (or where play stopped or paused).
    virtual int position() = 0;
    // Plays from one absolute address up to (not including) another. False when the drive refuses.
    virtual bool play(int from, int to) = 0;
    virtual bool pause() = 0;
    virtual bool resume() = 0;
    virtual bool stop() = 0;
    // Opens or closes the door; false when the drive cannot.
    virtual bool setDoorOpen(bool open) = 0;

    // What the drive is ("/dev/sr0", "image disc.cue", "virtual drive disc.toc").
    virtual QString name() const = 0;
    // Why the last acquire() or toc() failed.
    virtual QString errorText() const = 0;
    // Something about play the user should hear of once (such as no sound output, so play goes on
    // silently); empty when there is nothing new.
    virtual QString playbackNotice() { return {}; }
    // A file of the disc image that is missing or cannot be read, in words naming it, after a
    // failed acquire(); empty when the failure lies elsewhere (no drive, drive busy).
    virtual QString imageProblem() const { return {}; }
};

} // namespace td

#pragma once
// What the disc-info tool reports about the disc in the drive, read through the same cdaudio
// commands as the CD reader (so the identifier is the one the catalogue stores).

#include "cd/DiscToc.h"

#include <QList>
#include <QString>

namespace td {

class CdAudioDevice;

struct DiscTrackInfo {
    int number = 0;
    QString msf; // length as the device gives it, "mm:ss:ff"
    int time = 0; // the same as a time value
};

struct DiscInfo {
    int trackCount = 0;
    QList<DiscTrackInfo> tracks;
    QString totalMsf;
    int totalTime = 0;
    QString identifier;
    DiscToc toc; // the drive's table of contents in frames
};

enum class DiscReadResult { Read, NoDrive, NoDisc, DoorOpen, NotReady };

// Opens the device shareable, reads the disc and closes the device again. On failure `why` says
// what is wrong in words for the user.
DiscReadResult readDiscInfo(CdAudioDevice& device, DiscInfo& info, QString* why = nullptr);

// The lines printed for a disc, before the ids of other catalogues:
//   Tracks: 3
//   Track 1: 04:26:50 26601
//   ...
//   Total: 13:18:50 79801
//   Disc identifier: " 3798012660126601..."   (quoted: it may begin with a blank)
QStringList discInfoLines(const DiscInfo& info);

} // namespace td

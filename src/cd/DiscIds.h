#pragma once
// The disc ids other catalogues use for a table of contents, computed by libdiscid.

#include "cd/DiscToc.h"

#include <QString>

namespace td {

class CdAudioDevice;

struct OtherDiscIds {
    QString freedb; // eight hex digits, over every track
    QString musicBrainz; // 28 characters, over the audio tracks only
    QString error; // libdiscid's reason when it refused the table
    bool ok() const { return error.isEmpty(); }
};

// freedb counts every track, data tracks included. MusicBrainz leaves trailing data tracks out and
// ends the audio session 11400 frames (2:32) before the first of them, as its own reader does.
OtherDiscIds otherDiscIds(const DiscToc& toc);

// The ids of the disc in the drive: the device is opened shareable for the table of contents and
// closed again. Without a readable disc the error says why.
OtherDiscIds discIdsInDrive(CdAudioDevice& device);

} // namespace td

#pragma once
// A cue sheet read by us rather than by libcdio, which takes only one data file and looks for it
// under the cue sheet's own name. Rippers write one FILE per track as often as one for the whole
// disc ("01.bin", "02.wav", ...); both lay the disc out the same way: each file follows the one
// before it, and every track starts where its INDEX 01 lies in the whole.
//
// Understood: FILE (BINARY, MOTOROLA, WAVE of CD audio), TRACK with its mode, INDEX, PREGAP and
// POSTGAP (silence that no file holds); everything else (REM, TITLE, FLAGS, ...) is passed over.

#include "cd/DiscToc.h"

#include <QList>
#include <QString>

namespace td {

// A stretch of the disc: frames held one after another in a data file, or silence.
struct CueSegment {
    qint64 start = 0; // first frame, counted from the first track's pre-gap (address 150)
    qint64 frames = 0;
    QString file; // empty: silence
    qint64 offset = 0; // byte offset of the first frame in the file
    qint64 fileEnd = 0; // where the file's frames end (a last frame may be cut short)
    int sectorSize = 2352; // bytes a frame takes in the file
    bool audio = true;
    bool bigEndian = false; // MOTOROLA files hold their samples high byte first
};

struct CueSheet {
    DiscToc toc;
    QList<CueSegment> segments; // in disc order, without gaps between them
};

// Reads the cue sheet and measures its data files (sought beside it). False with the reason in
// *error, naming the data file that is missing or cannot be played.
bool readCueSheet(const QString& cuePath, CueSheet& out, QString* error = nullptr);

} // namespace td

#pragma once
// Which drive the cdaudio device uses. The environment variable TDP_CDROM chooses: a ".toc" text
// file is a virtual drive (VirtualDrive.h), a ".cue" file an image of its data files (one for the
// disc or one per track, CueSheet.h), another image libcdio reads (".nrg", ...) an image opened
// through libcdio, anything else a device path ("/dev/sr1"); unset or empty, libcdio's default
// drive.

#include "cd/CdDrive.h"
#include "cd/PcmSink.h"
#include "cd/PlayClock.h"

#include <memory>

namespace td {

inline constexpr const char* kCdromVariable = "TDP_CDROM";

// A libcdio drive plays through `sink` (by default the computer's sound output).
std::unique_ptr<CdDrive> createDrive(
    const QString& source, std::shared_ptr<PlayClock> clock = {}, std::unique_ptr<PcmSink> sink = {});
// The drive TDP_CDROM names.
std::unique_ptr<CdDrive> createDriveFromEnvironment(std::shared_ptr<PlayClock> clock = {});

} // namespace td

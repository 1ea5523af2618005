#pragma once
// ReadCompactDisc: reads the table of contents of the disc in the drive through the cdaudio device
// and fills the album record buffer (and, in the full modes, the tables) from it.
//
//   identifierOnly  wizard   result
//   true            false    ALB:CDIdentifier only
//   false           false    identifier, ALB:TotalTime, and one song per track of the album:
//                            songs already there keep their titles and artists and get the new
//                            times; missing tracks are added as "Track n"
//   any             true     identifier, ALB:TotalTime, and one AddWizard row per track for the
//                            wizard's instance, kept or added the same way
//
// The album record is not saved: its caller does that. The device is opened shareable and closed
// again on every way out.

#include "data/Records.h"

#include <QString>

namespace td {

class CdAudioDevice;
class CdDrive;
class Database;
class ReadProgress;

inline constexpr int kReadSteps = 20;

// The messages of the drive checks (title "Error").
QString cdNotAvailableText();
// The same, followed by what is wrong with a disc image (a data file missing, named) when that is
// why the drive cannot be used.
QString cdNotAvailableText(const CdDrive& drive);
QString cdNotReadyText();
QString cdDoorOpenText();

// The progress bar after `steps` of the 20: (steps / 20) x 100, at most 100.
int readPercent(int steps);

// True when the disc was read in the mode asked for; false when the drive cannot be used (its
// message has been shown) or when the songs or wizard rows could not be written (the storage
// message has been shown, nothing was written and the album buffer is as it was).
bool ReadCompactDisc(CdAudioDevice& device, Database& db, Album& album, bool identifierOnly, bool wizard,
    qint64 instance = 0, ReadProgress* progress = nullptr);

} // namespace td

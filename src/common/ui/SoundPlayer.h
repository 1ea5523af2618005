#pragma once
// Plays a sound file (an album's WAV file) without waiting for it to end.

#include <QString>
#include <functional>

class QObject;

namespace td {

// Starts playing `file` and returns at once; a sound still playing is stopped first. False when the
// file is missing or is not a RIFF/WAVE file, or there is no audio output. The sound loads in the background:
// when it then turns out not to play (a damaged file, no audio output), `failedLater` runs once with the file
// name, unless `context` is gone by then.
bool playSoundAsync(const QString& file, QObject* context = nullptr,
    std::function<void(const QString& file)> failedLater = {});

// Whether the file starts with a RIFF header of WAVE data.
bool isWaveFile(const QString& file);

} // namespace td

#pragma once
// One command to the cdaudio device, its reply as the reader and the player read it.

#include <QString>

namespace td {

class CdAudioClient;

inline constexpr int kMciCommandLength = 100; // longer commands are cut
inline constexpr int kMciReplyLength = 128; // the reply buffer, its terminating zero included

// Sends `command` (or, with askMode, "status cdaudio mode" instead) and returns:
//   the reply "true" as "1" and "false" as an empty text, any other reply as it is;
//   "Error:1" when the device answers 265 (in use, or not opened);
//   "Error:" and the code for any other refusal ("Error:263").
QString SendMciCommand(CdAudioClient& client, const QString& command, bool askMode = false);

// The reply as a number: its leading decimal digits, 0 for an "Error:" text or an empty one.
long mciNumber(const QString& reply);

} // namespace td

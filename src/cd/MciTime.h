#pragma once
// Turning the drive's replies into time values and time values into short "mm:ss" texts.

#include <QString>

namespace td {

// A reply "mm:ss:ff" (minutes, seconds, frames; taken as 8 characters) as a time value. Frames
// do not count, except that "99" frames carry one second; 60 minutes or more become one hour
// (a 75-minute track is 1:15:00, 450001). Anything that is not in that form (an "Error:" reply,
// an empty text) gives 0.
int MciTimeToTime(const QString& reply);

// A time value as "mm:ss" with the minutes counting the hours too (hours x 60 + minutes), the
// minutes right-aligned in two places ("  4:05" style: " 4:05"); 0 gives five blanks. A time of
// 100 minutes or more keeps all its digits rather than being cut.
QString TimeToMinSec(int time);

} // namespace td

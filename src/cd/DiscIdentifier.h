#pragma once
// The disc identifier stored in ALB:CDIdentifier, by which the CD player recognises a catalogued
// album: the track count right-aligned in two places, then the digits of the disc's total length
// and of the lengths of tracks 1, 2 and 3 (as far as the disc has them) as time values, cut to 24
// characters. A 12-track disc of 43:21 whose first track is 4:23 begins "12260101" "26301".

#include <QList>
#include <QString>

namespace td {

class CdAudioClient;

inline constexpr int kDiscIdentifierLength = 24;

// From the values: `lengths` holds the time values of tracks 1, 2, 3 (only those the count allows
// are used; missing ones count as 0).
QString discIdentifier(int trackCount, int totalTime, const QList<int>& lengths);

// Asks the device for the lengths ("status cdaudio length", "... length track 1" to 3 as the count
// allows) and builds the identifier. The client must have the device open in the tmsf format; a
// refused query counts as a length of 0.
QString BuildDiscIdentifier(CdAudioClient& client, int trackCount);

} // namespace td

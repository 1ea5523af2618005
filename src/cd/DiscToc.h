#pragma once
// The table of contents of a disc in CD frames (75 a second), in the convention of disc-id tools:
// track start offsets and the lead-out are absolute addresses that include the 2-second lead-in,
// so the first track of an ordinary disc starts at 150.

#include <QList>
#include <QString>

namespace td {

inline constexpr int kFramesPerSecond = 75;
inline constexpr int kMaxTracks = 99;

struct DiscToc {
    int first = 0; // number of the first track
    int last = 0; // number of the last track
    int leadout = 0; // where the lead-out starts
    QList<int> starts; // start of tracks first..last
    QList<bool> data; // per track: a data track (empty: all audio)

    bool isEmpty() const { return starts.isEmpty(); }
    // Tracks on the disc, data tracks included.
    int trackCount() const { return starts.size(); }
    bool hasTrack(int track) const { return track >= first && track <= last && !starts.isEmpty(); }
    int trackStart(int track) const; // 0 for a track not on the disc
    // The next track's start (or the lead-out) minus this track's start; 0 for a track not on the disc.
    int trackLength(int track) const;
    // The lead-out minus the first track's start.
    int discLength() const;
    bool isDataTrack(int track) const;
    // The track holding an absolute address: the first track before its start, the last one at or
    // past the lead-out; 0 for an empty disc.
    int trackAt(int frame) const;

    // First and last in 1..99, one start per track, starts rising, the lead-out after the last start.
    bool isValid() const;

    bool operator==(const DiscToc& o) const = default;
};

// Reads "first last leadout start1 start2 ..." (whole numbers separated by blanks). Returns false,
// with the reason in *error, for anything else or a table that is not valid.
bool parseTocLine(const QString& line, DiscToc& toc, QString* error = nullptr);
// The same line written back.
QString tocLine(const DiscToc& toc);

// Frames as "mm:ss:ff" (minutes not folded into hours, at least two digits each).
QString framesToMsf(qint64 frames);

} // namespace td

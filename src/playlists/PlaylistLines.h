#pragma once
// The lines of one playlist, without windows: the list of them in sequence order, the songs they
// stand for, their total time, and the writes that keep the sequence numbers in order: lines added
// at the end, moved (a move only exchanges numbers the playlist already has) and deleted (the
// lines after a deleted one close the gap). Every write is one transaction and works through a
// few statements over the lines concerned, never through the whole list in memory, so that a
// playlist of many thousand lines moves as fast as a short one.

#include "core/Messages.h"
#include "data/Records.h"

#include <QList>
#include <QString>

namespace td {

class Database;
class PagedList;
struct ColumnFormatKeys;

// The line list's column format and the keys its layout is remembered under.
QString playlistLineListFormat();
ColumnFormatKeys playlistLineListFormatKeys();

// Gives `list` (over PlaylistDetails) the lines of the playlist in (PlaylistID, PlaylistSeq)
// order. Nothing is read here.
void showPlaylistLines(PagedList& list, qint32 playlistId);

// The song a line stands for; `found` false when the song is no longer in the song table.
struct LineSong {
    bool found = false;
    QString artist;
    QString title;
    int time = 0;
};
// -1 in `error` (when given) on a read error (in db.lastError()).
LineSong songOfLine(Database& db, qint64 songId, int* error = nullptr);
// What the list shows for a line whose song has been deleted.
QString missingSongText();

// The highest sequence number of the playlist, 0 when it has no line, -1 on a read error.
qint64 lastLineNumber(Database& db, qint32 playlistId);

// The sum of the times of the lines' songs (lines whose song is gone count nothing); no time (0)
// when no line has one. -1 on a read error (in db.lastError()).
int playlistTotalTime(Database& db, qint32 playlistId);

// Adds a line at the end (the highest number + 1, or 1) for each song, in one transaction. A failed
// add is tried three times, then the "Auto Increment Error" question is asked. True when every
// line was added; `lastPosition` then holds the last one's position.
bool appendLines(Database& db, qint32 playlistId, const QList<qint64>& songIds, qint64* lastPosition = nullptr);

enum class LineMove {
    Up,     // exchange with the line above
    Top,    // to the first number, the lines above it one place down
    Down,   // exchange with the line below
    Bottom, // to the last number, the lines below it one place up
};

// Moves the line numbered `seq`; returns its number afterwards (unchanged when there is no line in
// that direction), or -1 when the move failed (the swap error shown, nothing changed).
qint64 moveLine(Database& db, qint32 playlistId, qint64 seq, LineMove move);
// Moves the line numbered `seq` up until it stands directly after the line numbered `after` (0:
// to the top); a line already there, or above it, stays. Returns as moveLine.
qint64 moveLineAfter(Database& db, qint32 playlistId, qint64 seq, qint64 after);

// Deletes the line numbered `seq` and gives the lines after it the numbers seq, seq + 1, ... in
// order; one transaction. False when it failed (message shown, nothing changed).
bool deleteLine(Database& db, qint32 playlistId, qint64 seq);
// Only the renumbering: the lines numbered from `seq` on take seq, seq + 1, ... in order.
bool renumberLines(Database& db, qint32 playlistId, qint64 seq);

// "Record swap error: " with the error, the key and the step that failed; title "Error!".
Message swapErrorMessage(const QString& errorText, qint32 playlistId, qint64 seq, const QString& section);

// The playlist as an M3U list (written as UTF-8): "#EXTM3U", then for each line
// "#EXTINF:<seconds>,Artist - Title" and the song's title as its path line (songs have no file
// path). Lines whose song is gone are left out. False on a read error (in db.lastError()).
bool playlistM3u(Database& db, qint32 playlistId, QString* text);
// The path line of a song: its title on one line; "./" before a title beginning with "#" (else a
// comment to players), "Untitled <song number>" for a blank title (players skip empty lines).
QString m3uPathLine(const QString& title, qint64 songId);
// The file name offered for a playlist's export: its description with ".m3u8", the UTF-8 list.
QString m3uFileName(const QString& description);

} // namespace td

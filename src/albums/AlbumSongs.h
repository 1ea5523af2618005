#pragma once
// The songs of one album, without windows: the list of them on the album form (key order, columns,
// remembered layout, the locator by track number), the track a new song of the album takes, the
// assignment of every song filed under the album's media and file number, the number a song dropped
// on the album takes, and the drop itself.
//
// A song belongs to an album when its MUS:AlbumID is the album's ALB:AlbumID; the songs of an album
// are read through MUS:KeyAlbumID (AlbumID, TrackNumber), so every read here costs as much as the
// album has songs, whatever the size of the catalogue.

#include "common/ColumnFormatStore.h"
#include "core/Messages.h"
#include "data/Errors.h"
#include "data/Records.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace td {

class Database;
class PagedList;
struct GlobalSettings;

// --- the list ---------------------------------------------------------------------------------------

// The designed column format, the same with the "DateFormat" setting applied to its date column, and
// the keys it is remembered under ([UpdateAlbums] "SRCF?Browse:2", "SRCFOriginal?Browse:2").
QString albumSongListDesignedFormat();
QString albumSongListFormat(const GlobalSettings& settings);
ColumnFormatKeys albumSongListFormatKeys();

// Gives `list` (over the song table) the album's songs in (AlbumID, TrackNumber) order. Nothing is
// read here.
void showAlbumSongs(PagedList& list, qint32 albumId);

// The first song of the album, in key order, whose track number as written starts with `text`
// ("1" finds track 1, else 10 to 19, else 100 to 199): its position, 0 when there is none, -1 on a
// read error (in db.lastError()).
qint64 firstTrackStartingWith(Database& db, qint32 albumId, const QString& text);

// The positions of the album's songs in track order (an album holds a few dozen songs); false on a
// read error (in db.lastError()).
bool albumSongPositions(Database& db, qint32 albumId, QList<qint64>* positions);

// The track a new song of the album takes: the highest track number among its songs plus one, read
// backwards from (album, 255); 1 when the album has no song (or no number). -1 on a read error (in
// db.lastError()).
int nextTrackNumber(Database& db, qint32 albumId);

// --- songs filed under the album's media and file number --------------------------------------------

// "Assign Songs To Album": Yes, No and Cancel, No the default.
Message assignSongsQuestion(const Album& album);

struct AssignResult {
    enum Outcome {
        Assigned, // `assigned` songs now belong to the album
        NoneAtEnd, // the key ended before any song of that media and file number
        OtherMedia, // the next song in key order has another media
        OtherFileNumber, // it has the media, but another file number
        ReadError,
        WriteError,
        Busy, // the transaction could not be begun
    };
    Outcome outcome = NoneAtEnd;
    int assigned = 0;
    StorageError error;
};

// Reads MUS:SongsByMedia from (album media, album file number) and gives every song with that media
// and file number (letter case and trailing blanks ignored, as the key compares) the album's
// number, whatever album it had; the reading stops at the first song that differs, so only the
// matching songs are read. One transaction: a failure leaves every song as it was.
AssignResult assignSongsByFileNumber(Database& db, const Album& album);
// Tells the user how it went ("Process complete.", "Process failed.", "Assignment Cancelled", or the
// standard message of a failed write).
void reportAssignment(Database& db, const AssignResult& result);

// Gives one song (chosen in the file-number picker) the album's number through the song's update
// service (messages shown there). True when stored; `position` then holds the song's position.
bool assignSongToAlbum(Database& db, qint32 songId, qint32 albumId, qint64* position = nullptr);

// --- songs dropped on the album -----------------------------------------------------------------------

// The song numbers a drag from a song list carries: decimal numbers, one per line. Empty when the
// data is anything else (a stray drop is refused, not guessed at).
QList<qint32> songIdsOfDrag(const QByteArray& data);

// The number a song dropped on the album is stored under: the number of songs plus one, one higher
// for each number found taken, three higher from the 51st time on; after the 101st taken number
// the search gives up and the song keeps its own number (`own`). -1 on a read error (in
// db.lastError()).
qint64 dropSongNumber(Database& db, qint32 own);

struct DropResult {
    int stored = 0; // songs added to the album as copies or moved onto it
    int missing = 0; // numbers no longer in the song table
    bool failed = false; // nothing was stored (message shown)
    qint64 lastPosition = 0; // the last song stored, for the list's highlight
};

// Puts the dropped songs on the album, all in one transaction. Each song is read by MUS:KeyID and
// takes the album's number; stored under the number dropSongNumber gives, it is added as a new song
// (the dropped one keeps its own album), or, when that number is its own, the song itself is moved.
// A failure rolls everything back and shows "Error updating song database - " & error; numbers no
// longer in the song table are left out and reported.
DropResult dropSongsOnAlbum(Database& db, const Album& album, const QList<qint32>& ids);

} // namespace td

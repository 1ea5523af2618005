#pragma once
// Realistic song catalogues of any size for the benchmarks, the same for the same seed and size: a few
// thousand artists (some with accented or non-Latin names), albums of 7 to 18 tracks (12.5 on average: 80,000 albums in a million songs) with their
// release dates, categories, media and file numbers, track lengths, and the sparse fields a real
// collection has (chart numbers and BPM mostly 0, user keys mostly blank, a few memos).
//
// The generator only makes records; the writers below store them through the storage layer or, for
// comparison, through plain SQLite prepared statements on the same file layout.

#include "data/Records.h"
#include "data/TableHandle.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

namespace td::bench {

inline constexpr quint64 kDefaultSeed = 1997;
// Bumped whenever the generated rows change, so that a cached catalogue of an older kind is rebuilt.
inline constexpr int kGeneratorVersion = 2;
// Tracks of one album (only the last album of a catalogue may be cut shorter).
inline constexpr int kFewestTracks = 7;
inline constexpr int kMostTracks = 18;

// splitmix64: the same numbers on every compiler and platform (the standard distributions are not).
class Random {
public:
    explicit Random(quint64 seed)
        : state_(seed)
    {
    }
    quint64 next();
    int below(int n);                   // 0 .. n-1 (n > 0)
    int between(int lo, int hi);        // lo .. hi inclusive
    double unit();                      // [0, 1)
    bool chance(double p) { return unit() < p; }
    template<class List> const auto& pick(const List& l) { return l.at(below(int(l.size()))); }

private:
    quint64 state_;
};

// Songs (and the albums they come from) added since the last call.
struct Batch {
    QList<Tunedeck> songs;
    QList<Album> albums;
    void clear()
    {
        songs.clear();
        albums.clear();
    }
};

class CatalogueGenerator {
public:
    explicit CatalogueGenerator(qint64 songs, quint64 seed = kDefaultSeed);

    qint64 songCount() const { return total_; }
    qint64 produced() const { return produced_; }
    bool atEnd() const { return produced_ >= total_; }
    int artistCount() const { return int(artists_.size()); }
    const QStringList& artists() const { return artists_; }

    // Up to maxSongs further songs into `out` (cleared first), album by album; an album whose first
    // song is in this batch is in out.albums. Song IDs run 1, 2, 3, ...; album IDs likewise.
    // Returns the number of songs given (0 at the end).
    int nextBatch(Batch& out, int maxSongs);

    // CategoryID n names categoryNames()[n - 1]; media names as the Media table holds them.
    static const QStringList& categoryNames();
    static const QStringList& mediaNames();

private:
    void startAlbum();
    QString artistName(int i) const;
    QString uniqueAlbumTitle(const QString& artist);
    QString songTitle();
    int pickArtist();

    Random rnd_;
    qint64 total_ = 0;
    qint64 produced_ = 0;
    qint32 nextSongId_ = 1;
    qint32 nextAlbumId_ = 1;
    QStringList artists_;
    QList<int> fileCounters_;           // per medium
    QSet<QString> albumKeys_;           // folded "artist\nalbum": album keys are unique
    QList<Tunedeck> albumSongs_;        // tracks of the album being handed out
    int albumPos_ = 0;
    Album album_;
    bool albumPending_ = false;         // album_ not yet handed out with a batch
};

// Text clipped to a field's width without trailing blanks, as the storage layer stores it.
QString fitText(const QString& s, int width);

// --- writers through the storage layer --------------------------------------------------------

// The fixed lists: every category and medium the generator uses. 0 or a storage error code.
int addLookups(Database& db);
// Adds one batch in one transaction: its songs, and its albums when `albums` is given. The caller
// keeps the handles for the whole run (a handle's first use opens and checks the file). 0 or the
// storage error code.
int addBatch(Table<Tunedeck>& songs, Table<Album>* albums, const Batch& batch);
// A whole catalogue (categories, media, albums, songs) in `dir`, committed every `slice` songs.
// 0, or the storage error code with its text in *why.
int writeCatalogue(const QString& dir, qint64 songs, quint64 seed = kDefaultSeed, int slice = 10000,
                   QString* why = nullptr);

// --- the same rows through plain SQLite ---------------------------------------------------------

// A second connection on a song file the storage layer has created, with our key collation
// registered and the same cache size, inserting with one prepared statement.
class RawSongInserter {
public:
    explicit RawSongInserter(const QString& dataFile);
    ~RawSongInserter();
    RawSongInserter(const RawSongInserter&) = delete;
    RawSongInserter& operator=(const RawSongInserter&) = delete;

    bool isOpen() const { return stmt_ != nullptr; }
    QString errorText() const { return error_; }
    // Inserts the batch in one transaction; SQLite's result code (SQLITE_OK on success).
    int insertBatch(const QList<Tunedeck>& songs);

private:
    int fail(int rc);

    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    QString error_;
};

// --- the shared catalogue -------------------------------------------------------------------------

// TD_BENCH_SONGS, or 1,000,000 when unset or not a positive number.
qint64 benchSongCount();
// A folder holding a catalogue of `songs` songs (default seed): <temp>/tunedeck-bench-<songs>. Built
// on the first call, reused while a marker in it says it was finished by this generator on the same
// file layout (TD_BENCH_REBUILD=1 forces a rebuild). Empty, with the reason in *why, on failure.
QString sharedCatalogue(qint64 songs, QString* why = nullptr);

} // namespace td::bench

#pragma once
// Tests and repairs the links between songs and albums. The songs are read in MUS:SongsByAlbum
// order, each with the album its MUS:AlbumID points to (an empty album when there is none):
//  - an album whose artist or title differs from the song's: the song is linked to the album of its
//    album title and artist, failing that to the compilation of that title by "Various", else to none;
//  - a song without song number gets the first free number counting up from the highest number
//    found at the start plus two (songs imported from text files arrive without one).
// Only songs that change are written. At the end one message gives what was done.

#include "albums/AlbumMatch.h"
#include "albums/HousekeepingRun.h"
#include "core/Messages.h"

#include <memory>

namespace td {

class CachedStatement;

class TestAlbumIDs : public HousekeepingRun {
public:
    explicit TestAlbumIDs(Database& db);
    ~TestAlbumIDs() override;

    struct Counts {
        qint64 relinked = 0; // linked to another album (or to one, having had none)
        qint64 unlinked = 0; // had an album that no longer matches, and none was found
        qint64 numbered = 0; // given a song number
    };
    Counts counts() const { return counts_; }
    // The message shown when the run has ended.
    Message summary() const;

protected:
    qint64 prepare() override;
    void release() override;
    RowResult handleRow(int pass, const PageRow& row) override;
    void sliceBegins() override;
    void sliceUndone() override;

private:
    // The next free song number from `next_` on; 0 on a read error.
    qint32 freeNumber();

    std::unique_ptr<AlbumMatch> albums_;
    std::unique_ptr<TableUse> albumUse_;
    Counts counts_;
    Counts countsAtSlice_;
    qint64 next_ = 0; // the next number to try
    qint64 nextAtSlice_ = 0;
    QString writeSql_;
    QString usedSql_;
};

} // namespace td

#pragma once
// Builds the album table from the songs: every song without an album is linked to the album of its
// album title and artist (or the compilation of that title by "Various"), which is added when there
// is none. Songs are read in storage order; only songs that get an album are written.

#include "albums/AlbumMatch.h"
#include "albums/HousekeepingRun.h"
#include "data/Records.h"

#include <memory>

namespace td {

template <class R> class Table;

class CopyToAlbum : public HousekeepingRun {
public:
    explicit CopyToAlbum(Database& db);
    ~CopyToAlbum() override;

    int albumsAdded() const { return added_; }
    int songsLinked() const { return linked_; }

protected:
    qint64 prepare() override;
    void release() override;
    RowResult handleRow(int pass, const PageRow& row) override;
    void sliceBegins() override;
    void sliceUndone() override;

private:
    std::unique_ptr<Table<Album>> albums_;
    std::unique_ptr<Table<Tunedeck>> songs_;
    std::unique_ptr<AlbumMatch> match_;
    QString linkSql_;
    qint64 nextAlbum_ = 0; // the next album number in this slice; 0: not read yet
    int added_ = 0;
    int linked_ = 0;
    int addedAtSlice_ = 0;
    int linkedAtSlice_ = 0;
};

} // namespace td

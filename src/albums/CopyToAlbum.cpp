#include "albums/CopyToAlbum.h"

#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/TableHandle.h"

namespace td {

CopyToAlbum::CopyToAlbum(Database& db)
    : HousekeepingRun(db, QStringLiteral("Copying..."))
{
}

CopyToAlbum::~CopyToAlbum() = default;

qint64 CopyToAlbum::prepare()
{
    albums_ = std::make_unique<Table<Album>>(db());
    songs_ = std::make_unique<Table<Tunedeck>>(db());
    match_ = std::make_unique<AlbumMatch>(db());
    linkSql_ = QStringLiteral("UPDATE %1 SET \"AlbumID\"=? WHERE rowid=?")
                   .arg(Database::sqlTable(TableId::Tunedeck));
    added_ = linked_ = 0;
    TableHandle counter(db(), TableId::Tunedeck);
    addPass({ TableId::Tunedeck, -1, QString(), QStringLiteral("Copying..."),
        { QStringLiteral("AlbumID"), QStringLiteral("Album"), QStringLiteral("Artist") } });
    return counter.records();
}

void CopyToAlbum::release()
{
    match_.reset();
    albums_.reset();
    songs_.reset();
}

void CopyToAlbum::sliceBegins()
{
    // Albums may have been added or changed by another window since the last slice.
    match_->forget();
    nextAlbum_ = 0;
    addedAtSlice_ = added_;
    linkedAtSlice_ = linked_;
}

void CopyToAlbum::sliceUndone()
{
    match_->forget();
    nextAlbum_ = 0;
    added_ = addedAtSlice_;
    linked_ = linkedAtSlice_;
}

HousekeepingRun::RowResult CopyToAlbum::handleRow(int, const PageRow& row)
{
    if (row.row.at(0).toLongLong() != 0)
        return RowResult::Done; // already linked: nothing to write
    const QString album = row.row.at(1).toString();
    const QString artist = row.row.at(2).toString();
    // A song without an album title belongs to no album: building one blank album per such song
    // would fill the album table with empty entries.
    if (clip(album).isEmpty())
        return RowResult::Done;
    qint32 id = 0;
    const int rc = match_->byTitle(album, artist, &id);
    if (rc != 0 && rc != RecordNotAvailable) {
        setReadFailedTable(QStringLiteral("Album"));
        return RowResult::ReadFailed;
    }
    if (rc == RecordNotAvailable) {
        // The slice's transaction keeps other writers out: the number is read once per slice.
        if (nextAlbum_ == 0)
            nextAlbum_ = nextNumber(db(), TableId::Album);
        if (nextAlbum_ <= 0 || nextAlbum_ > 2147483647LL)
            return RowResult::WriteFailed;
        // The new album takes the rest of its values from the whole song.
        if (songs_->fetch(row.position) != 0) {
            setReadFailedTable(QStringLiteral("Tunedeck"));
            return RowResult::ReadFailed;
        }
        const Tunedeck& song = songs_->rec;
        albums_->clear();
        Album& a = albums_->rec;
        a.AlbumID = qint32(nextAlbum_);
        a.Notes = song.Notes;
        a.FileNumber = song.FileNumber;
        a.Artist = song.Artist;
        a.Album = song.Album;
        a.Media = song.Media;
        a.ReleaseDate = song.ReleaseDate;
        a.CategoryID = song.CategoryID;
        if (albums_->add() != 0)
            return RowResult::WriteFailed;
        id = a.AlbumID;
        ++nextAlbum_;
        ++added_;
        match_->forget();
    }
    const RowResult r = write(linkSql_, { id }, row.position);
    if (r == RowResult::Done)
        ++linked_;
    return r;
}

} // namespace td

#include "albums/CopyToAlbum.h"

#include "common/SliceTransaction.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

namespace td {

CopyToAlbum::CopyToAlbum(Database& db)
    : db_(db)
{
}

CopyToAlbum::~CopyToAlbum() = default;

bool CopyToAlbum::start()
{
    songs_ = std::make_unique<Table<Tunedeck>>(db_);
    albums_ = std::make_unique<Table<Album>>(db_);
    total_ = songs_->records();
    songs_->quickScan(true);
    songs_->set(-1); // storage order
    return true;
}

bool CopyToAlbum::findAlbum(const QString& album, const QString& artist, qint32* id)
{
    albums_->clear();
    albums_->rec.Album = album;
    albums_->rec.Artist = artist;
    if (albums_->get(albums_->key(QStringLiteral("ALB:KeyAlbum"))) != 0)
        return false;
    *id = albums_->rec.AlbumID;
    return true;
}

bool CopyToAlbum::linkSong()
{
    Tunedeck& song = songs_->rec;
    if (song.AlbumID != 0)
        return true; // already linked: nothing to write
    // A song without an album title belongs to no album: building one blank album per such song
    // would fill the album table with empty entries.
    if (clip(song.Album).isEmpty())
        return true;
    qint32 id = 0;
    if (!findAlbum(song.Album, song.Artist, &id) && !findAlbum(song.Album, QStringLiteral("Various"), &id)) {
        const qint64 next = nextNumber(db_, TableId::Album);
        albums_->clear();
        Album& a = albums_->rec;
        a.AlbumID = qint32(next);
        a.Notes = song.Notes;
        a.FileNumber = song.FileNumber;
        a.Artist = song.Artist;
        a.Album = song.Album;
        a.Media = song.Media;
        a.ReleaseDate = song.ReleaseDate;
        a.CategoryID = song.CategoryID;
        if (next <= 0 || albums_->add() != 0) {
            db_.saveError();
            StandardWarning(db_, StdMsg::ProcessError, QStringLiteral("Put"), QStringLiteral("Album"));
            return false;
        }
        id = a.AlbumID;
        ++added_;
    }
    song.AlbumID = id;
    if (songs_->put() != 0) {
        db_.saveError();
        StandardWarning(db_, StdMsg::ProcessError, QStringLiteral("Put"), QStringLiteral("Tunedeck"));
        return false;
    }
    ++linked_;
    return true;
}

bool CopyToAlbum::step(int count)
{
    if (ended_)
        return false;
    const SliceResult r = runSlice(
        db_, count, QStringLiteral("Tunedeck"), QStringLiteral("Tunedeck"), [this] { return songs_->next(); },
        [this] {
            ++done_;
            return linkSong();
        });
    ended_ = r != SliceResult::More;
    return !ended_;
}

void CopyToAlbum::finish()
{
    if (songs_)
        songs_->quickScan(false);
    songs_.reset();
    albums_.reset();
}

int CopyToAlbum::percent() const
{
    if (total_ <= 0)
        return ended_ ? 100 : 0;
    return int(qMin<qint64>(100, done_ * 100 / total_));
}

} // namespace td

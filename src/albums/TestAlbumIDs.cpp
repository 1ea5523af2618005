#include "albums/TestAlbumIDs.h"

#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"

#include <sqlite3.h>

namespace td {

TestAlbumIDs::TestAlbumIDs(Database& db)
    : HousekeepingRun(db, QStringLiteral("Testing Link Integrity"))
{
}

TestAlbumIDs::~TestAlbumIDs() = default;

qint64 TestAlbumIDs::prepare()
{
    const TableDef& t = tableDef(TableId::Tunedeck);
    const QString songs = Database::sqlTable(TableId::Tunedeck);
    writeSql_ = QStringLiteral("UPDATE %1 SET \"AlbumID\"=?,\"ID\"=? WHERE rowid=?").arg(songs);
    usedSql_ = QStringLiteral("SELECT 1 FROM %1 WHERE \"ID\"<>0 AND \"ID\"=? LIMIT 1").arg(songs);

    albumUse_ = std::make_unique<TableUse>(db(), TableId::Album);
    TableHandle counter(db(), TableId::Tunedeck);
    if (!albumUse_->ok())
        return -1;
    // Numbers for songs without one start above the highest number found now.
    const qint64 highest = nextNumber(db(), TableId::Tunedeck) - 1;
    next_ = highest + 2;
    albums_ = std::make_unique<AlbumMatch>(db());
    counts_ = Counts();
    addPass({ TableId::Tunedeck, t.keyIndex(QStringLiteral("SongsByAlbum")), QString(),
        QStringLiteral("Testing Link Integrity"),
        { QStringLiteral("Artist"), QStringLiteral("Album"), QStringLiteral("ID"),
            QStringLiteral("AlbumID") } });
    return counter.records();
}

void TestAlbumIDs::release()
{
    albums_.reset();
    albumUse_.reset();
}

void TestAlbumIDs::sliceBegins()
{
    // Albums may have been changed by another window since the last slice.
    albums_->forget();
    countsAtSlice_ = counts_;
    nextAtSlice_ = next_;
}

void TestAlbumIDs::sliceUndone()
{
    counts_ = countsAtSlice_;
    next_ = nextAtSlice_;
}

qint32 TestAlbumIDs::freeNumber()
{
    for (;; ++next_) {
        if (next_ > 2147483647LL) {
            db().setLastError(StorageError::make(InvalidRecord, QStringLiteral("Invalid Value For MUS:ID")));
            return 0;
        }
        CachedStatement st = db().statement(usedSql_);
        if (!st)
            return 0;
        sqlite3_bind_int64(st.get(), 1, next_);
        const int rc = sqlite3_step(st.get());
        if (rc == SQLITE_DONE)
            return qint32(next_++);
        if (rc != SQLITE_ROW) {
            db().setLastSqliteError(rc);
            return 0;
        }
    }
}

HousekeepingRun::RowResult TestAlbumIDs::handleRow(int, const PageRow& row)
{
    const QString artist = row.row.at(0).toString();
    const QString title = row.row.at(1).toString();
    const qint32 albumId = qint32(row.row.at(3).toLongLong());
    const qint32 id = qint32(row.row.at(2).toLongLong());

    QString linkedArtist;
    QString linkedTitle;
    int rc = albums_->byNumber(albumId, &linkedArtist, &linkedTitle);
    if (rc != 0 && rc != RecordNotAvailable) {
        setReadFailedTable(QStringLiteral("Album"));
        return RowResult::ReadFailed;
    }
    qint32 newAlbumId = albumId;
    if (!sameKeyText(linkedArtist, artist) || !sameKeyText(linkedTitle, title)) {
        // The link is missing or wrong: the album of this title and artist, or its compilation.
        qint32 found = 0;
        rc = albums_->byTitle(title, artist, &found);
        if (rc != 0 && rc != RecordNotAvailable) {
            setReadFailedTable(QStringLiteral("Album"));
            return RowResult::ReadFailed;
        }
        newAlbumId = rc == 0 ? found : 0;
    }
    qint32 newId = id;
    if (id == 0) {
        newId = freeNumber();
        if (newId == 0)
            return RowResult::WriteFailed;
    }
    if (newAlbumId == albumId && newId == id)
        return RowResult::Done;
    const RowResult r = write(writeSql_, { newAlbumId, newId }, row.position);
    if (r != RowResult::Done)
        return r;
    if (newAlbumId != albumId) {
        if (newAlbumId == 0)
            ++counts_.unlinked;
        else
            ++counts_.relinked;
    }
    if (newId != id)
        ++counts_.numbered;
    return RowResult::Done;
}

Message TestAlbumIDs::summary() const
{
    Message m;
    m.caption = QStringLiteral("Housekeeping");
    m.icon = Icon::Information;
    m.text = QStringLiteral("Album database link test finished.||Songs linked to another album: %1|"
                            "Songs whose album was not found: %2|Songs given a song number: %3")
                 .arg(counts_.relinked)
                 .arg(counts_.unlinked)
                 .arg(counts_.numbered);
    if (stopped() || isCancelled())
        m.text.replace(QStringLiteral("finished"), QStringLiteral("stopped before the end"));
    return m;
}

} // namespace td

#include "albums/AlbumMatch.h"

#include "core/TextField.h"
#include "data/Database.h"
#include "data/Errors.h"

#include <sqlite3.h>

namespace td {

AlbumMatch::AlbumMatch(Database& db)
    : db_(db)
{
    const QString table = Database::sqlTable(TableId::Album);
    // The optional keys' conditions let their partial indexes serve the lookups.
    byNumberSql_
        = QStringLiteral("SELECT \"Artist\",\"Album\" FROM %1 WHERE \"AlbumID\"<>0 AND \"AlbumID\"=? LIMIT 1")
              .arg(table);
    byTitleSql_
        = QStringLiteral("SELECT \"AlbumID\" FROM %1 WHERE \"Album\"<>'' AND \"Album\"=? AND \"Artist\"=? "
                         "LIMIT 1")
              .arg(table);
}

void AlbumMatch::forget()
{
    haveNumber_ = false;
    haveTitle_ = false;
}

int AlbumMatch::byNumber(qint32 id, QString* artist, QString* title)
{
    if (haveNumber_ && id == lastNumber_) {
        *artist = lastArtist_;
        *title = lastTitle_;
        return lastNumberResult_;
    }
    int result = RecordNotAvailable;
    lastArtist_.clear();
    lastTitle_.clear();
    if (id != 0) {
        CachedStatement st = db_.statement(byNumberSql_);
        if (!st)
            return db_.lastError().code;
        sqlite3_bind_int64(st.get(), 1, id);
        const int rc = sqlite3_step(st.get());
        if (rc == SQLITE_ROW) {
            const auto text = [&](int col) {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), col));
                return QString::fromUtf8(p, p ? sqlite3_column_bytes(st.get(), col) : 0);
            };
            lastArtist_ = text(0);
            lastTitle_ = text(1);
            result = 0;
        } else if (rc != SQLITE_DONE) {
            return db_.setLastSqliteError(rc);
        }
    }
    haveNumber_ = true;
    lastNumber_ = id;
    lastNumberResult_ = result;
    *artist = lastArtist_;
    *title = lastTitle_;
    return result;
}

int AlbumMatch::lookup(const QString& album, const QString& artist, qint32* id)
{
    CachedStatement st = db_.statement(byTitleSql_);
    if (!st)
        return db_.lastError().code;
    const QByteArray a = clip(album).toUtf8();
    const QByteArray r = clip(artist).toUtf8();
    sqlite3_bind_text(st.get(), 1, a.constData(), int(a.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st.get(), 2, r.constData(), int(r.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st.get());
    if (rc == SQLITE_ROW) {
        *id = qint32(sqlite3_column_int64(st.get(), 0));
        return 0;
    }
    if (rc == SQLITE_DONE)
        return RecordNotAvailable;
    return db_.setLastSqliteError(rc);
}

int AlbumMatch::byTitle(const QString& album, const QString& artist, qint32* id)
{
    if (haveTitle_ && sameKeyText(album, lastAlbumKey_) && sameKeyText(artist, lastArtistKey_)) {
        *id = lastId_;
        return lastTitleResult_;
    }
    int rc = lookup(album, artist, id);
    if (rc == RecordNotAvailable)
        rc = lookup(album, QStringLiteral("Various"), id);
    if (rc != 0 && rc != RecordNotAvailable)
        return rc;
    haveTitle_ = true;
    lastAlbumKey_ = album;
    lastArtistKey_ = artist;
    lastTitleResult_ = rc;
    lastId_ = rc == 0 ? *id : 0;
    *id = lastId_;
    return rc;
}

} // namespace td

#pragma once
// Small helpers shared by the data-layer tests: records built in one line, a walk along a key, and
// raw access to a data file through a connection of its own (as another program would have).

#include "data/Collation.h"
#include "data/Database.h"
#include "data/Records.h"
#include "data/TableHandle.h"

#include <QFile>
#include <QStringList>
#include <QUrl>
#include <sqlite3.h>

namespace td::test {

inline Tunedeck makeSong(const QString& artist, const QString& title, qint32 id = 0, qint32 albumId = 0)
{
    Tunedeck s;
    s.Artist = artist;
    s.Title = title;
    s.ID = id;
    s.AlbumID = albumId;
    s.Media = QStringLiteral("CD");
    return s;
}

// Adds a record and returns its position (0 on failure).
template<class R>
qint64 addRecord(Database& db, const R& r, TableId table = RecordTraits<R>::table)
{
    Table<R> t(db, table);
    t.rec = r;
    return t.add() == 0 ? t.position() : 0;
}

// The values of one field along a key, in key order.
inline QStringList walk(TableHandle& h, const QString& key, const QString& field, bool backward = false)
{
    QStringList out;
    if (h.set(h.key(key)) != 0)
        return {QStringLiteral("<set failed>")};
    while ((backward ? h.previous() : h.next()) == 0)
        out << h.value(field).toString();
    return out;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

// A connection of its own on one file, for what another program or another copy would do.
class RawFile {
public:
    explicit RawFile(const QString& path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        registerKeyCollation(db);
        sqlite3_busy_timeout(db, 100);
    }
    ~RawFile() { sqlite3_close_v2(db); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    bool exec(const QString& sql)
    {
        char* err = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK)
            lastError = QString::fromUtf8(err ? err : sqlite3_errstr(rc));
        sqlite3_free(err);
        return rc == SQLITE_OK;
    }
    qint64 scalar(const QString& sql)
    {
        sqlite3_stmt* s = nullptr;
        qint64 v = -1;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            v = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
        return v;
    }
    sqlite3* db = nullptr;
    QString lastError;
};

} // namespace td::test

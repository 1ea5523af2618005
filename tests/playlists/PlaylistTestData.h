#pragma once
// Playlists for the playlist tests and the benchmark: songs 1..n (song i lasts i seconds) and one
// playlist whose lines 1..n stand for songs 1..n.

#include "../data/DataTestUtil.h"
#include "core/DayTime.h"
#include "data/Database.h"
#include "data/TableHandle.h"

#include <QList>

namespace td::test {

inline void addPlaylistSongs(Database& db, int count)
{
    Table<Tunedeck> t(db);
    TransactionGuard tx(db);
    for (int i = 1; i <= count; ++i) {
        t.rec = makeSong(QStringLiteral("Artist %1").arg(i), QStringLiteral("Song %1").arg(i), i);
        t.rec.Time = timeFromSeconds(i);
        t.add();
    }
    tx.commit();
}

inline void addPlaylist(Database& db, qint32 id, const QString& description, int lines)
{
    Table<PlaylistMaster> p(db);
    p.rec.PlaylistID = id;
    p.rec.PlaylistDescription = description;
    p.add();
    Table<PlaylistDetails> l(db);
    TransactionGuard tx(db);
    for (int i = 1; i <= lines; ++i) {
        l.rec = PlaylistDetails();
        l.rec.PlaylistID = id;
        l.rec.PlaylistSeq = i;
        l.rec.ID = i;
        l.add();
    }
    tx.commit();
}

// The songs of the playlist's lines in sequence order, and whether the numbers run 1..n.
inline QList<qint64> lineSongs(Database& db, qint32 id, bool* consecutive = nullptr)
{
    Table<PlaylistDetails> l(db);
    QList<qint64> out;
    qint64 expected = 1;
    bool ok = true;
    l.rec.PlaylistID = id;
    l.rec.PlaylistSeq = 0;
    int err = l.set(l.key(QStringLiteral("PLA:KeyPlaylistID")), l.row());
    for (err = err ? err : l.next(); err == 0; err = l.next()) {
        if (l.rec.PlaylistID != id)
            break;
        ok = ok && l.rec.PlaylistSeq == expected++;
        out << l.rec.ID;
    }
    if (consecutive)
        *consecutive = ok;
    return out;
}

} // namespace td::test

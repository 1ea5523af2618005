#pragma once
// Songs, categories and playlists of the playlist tests, written through the storage layer.

#include "TestApp.h"
#include "data/Records.h"
#include "data/TableHandle.h"
#include "playlists/PlaylistGenerator.h"

#include <QList>
#include <QPair>

namespace td::test {

// Plays back planned numbers (clamped to the range asked) and records every range asked for;
// once the plan is used up it answers the low end.
class ScriptedRandom : public RandomSource {
public:
    QList<qint64> plan;
    QList<QPair<qint64, qint64>> asked;
    qint64 between(qint64 lo, qint64 hi) override
    {
        asked.append({ lo, hi });
        const qint64 v = plan.isEmpty() ? lo : plan.takeFirst();
        return qBound(lo, v, hi);
    }
};

// The helpers over a test database (TestDb) or a test program run (TestApp).
template<class Base>
struct WithPlaylists : Base {
    using Base::db;
    qint64 addCategory(qint64 id, const QString& name)
    {
        Table<Categories> t(db);
        t.rec.CategoryID = id;
        t.rec.Category = name;
        return t.add();
    }
    // A song with the next ID; its record number is returned.
    qint64 addSong(qint32 release = 0, qint32 category = 0, const QString& artist = QStringLiteral("Artist"))
    {
        Table<Tunedeck> t(db);
        t.rec.ID = ++lastSong;
        t.rec.Title = QStringLiteral("Song %1").arg(lastSong);
        t.rec.Artist = artist;
        t.rec.ReleaseDate = release;
        t.rec.CategoryID = category;
        t.rec.Time = 180 * 100 + 1; // 3:00 (time values count from 1)
        t.rec.FileNumber = QStringLiteral("F%1").arg(lastSong);
        return t.add() == 0 ? t.position() : -1;
    }
    int addPlaylist(qint32 id, const QString& description)
    {
        Table<PlaylistMaster> t(db);
        t.rec.PlaylistID = id;
        t.rec.PlaylistDescription = description;
        return t.add();
    }
    int addLine(qint32 playlist, qint64 seq, qint64 song, const QString& notes = {})
    {
        Table<PlaylistDetails> t(db);
        t.rec.PlaylistID = playlist;
        t.rec.PlaylistSeq = seq;
        t.rec.ID = song;
        t.rec.PlaylistNotes = notes;
        return t.add();
    }
    // The lines of a playlist in sequence order.
    QList<PlaylistDetails> lines(qint32 playlist)
    {
        QList<PlaylistDetails> out;
        Table<PlaylistDetails> t(db);
        t.setFilter(QStringLiteral("PlaylistID = ?"), { playlist });
        t.set(t.key(QStringLiteral("PLA:KeyPlaylistID")));
        while (t.next() == 0)
            out.append(t.rec);
        return out;
    }
    qint32 lastSong = 0;
};

using PlaylistDb = WithPlaylists<TestDb>;
using PlaylistApp = WithPlaylists<TestApp>;

} // namespace td::test

#pragma once
// A small catalogue of albums with their songs, in one transaction: for the album reports and the
// command-line tool.

#include "core/DayTime.h"
#include "data/Database.h"
#include "data/Records.h"
#include "data/TableHandle.h"

#include <QList>
#include <QString>

namespace td::test {

struct TestSong {
    QString artist; // blank: the album's artist
    QString title;
    int track = 0;
    int seconds = 0; // the song's time; 0: none
};

struct TestAlbum {
    qint32 id = 0;
    QString artist;
    QString title;
    QString fileNumber;
    QList<TestSong> songs;
};

// Adds the albums (in the order given, so their positions follow that order) and their songs.
// Returns the position of each album, or an empty list when something could not be stored.
inline QList<qint64> addAlbums(Database& db, const QList<TestAlbum>& albums)
{
    QList<qint64> positions;
    Table<Album> a(db);
    Table<Tunedeck> s(db);
    TransactionGuard tx(db);
    qint32 songId = qint32(s.records()) + 1;
    for (const TestAlbum& al : albums) {
        a.rec = Album();
        a.rec.AlbumID = al.id;
        a.rec.Artist = al.artist;
        a.rec.Album = al.title;
        a.rec.FileNumber = al.fileNumber;
        a.rec.Media = QStringLiteral("CD");
        if (a.add() != 0)
            return {};
        positions << a.position();
        for (const TestSong& song : al.songs) {
            s.rec = Tunedeck();
            s.rec.ID = songId++;
            s.rec.AlbumID = al.id;
            s.rec.Artist = song.artist.isEmpty() ? al.artist : song.artist;
            s.rec.Title = song.title;
            s.rec.Album = al.title;
            s.rec.FileNumber = al.fileNumber;
            s.rec.Media = QStringLiteral("CD");
            s.rec.TrackNumber = song.track;
            s.rec.Time = song.seconds > 0 ? timeFromParts(0, song.seconds / 60, song.seconds % 60) : 0;
            if (s.add() != 0)
                return {};
        }
    }
    if (tx.commit() != 0)
        return {};
    return positions;
}

} // namespace td::test

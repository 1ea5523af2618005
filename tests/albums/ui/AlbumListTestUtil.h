#pragma once
// Shared by the album list and picker tests: a small catalogue of categories, albums and songs
// stored through the storage layer.

#include "data/Database.h"
#include "data/TableHandle.h"

#include <QTest>

namespace td::test {

inline qint64 storeCategory(Database& db, qint64 id, const QString& name)
{
    Table<Categories> t(db);
    t.rec.CategoryID = id;
    t.rec.Category = name;
    if (t.add() != 0)
        qWarning("category %s not stored", qPrintable(name));
    return id;
}

// Stored under the next album number; returns its position.
inline qint64 storeAlbum(Database& db, const QString& artist, const QString& album, qint64 category = 0,
                         const QString& fileNumber = {})
{
    Table<Album> t(db);
    t.rec.AlbumID = qint32(t.records()) + 1;
    t.rec.Artist = artist;
    t.rec.Album = album;
    t.rec.Media = QStringLiteral("CD");
    t.rec.CategoryID = category;
    t.rec.FileNumber = fileNumber;
    if (t.add() != 0)
        qWarning("album %s not stored", qPrintable(album));
    return t.position();
}

inline void storeSong(Database& db, const QString& artist, const QString& title, const QString& media,
                      qint64 category = 0, int chart = 0)
{
    Table<Tunedeck> t(db);
    t.rec.ID = qint32(t.records()) + 1;
    t.rec.Artist = artist;
    t.rec.Title = title;
    t.rec.Media = media;
    t.rec.FileNumber = QStringLiteral("F-%1").arg(t.rec.ID);
    t.rec.CategoryID = qint32(category);
    t.rec.ChartNumber = chart;
    if (t.add() != 0)
        qWarning("song %s not stored", qPrintable(title));
}

} // namespace td::test

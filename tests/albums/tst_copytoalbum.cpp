// Building albums from songs: found by title and artist, by title and "Various", or added; songs
// already linked untouched; a song without album title left alone.

#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "albums/CopyToAlbum.h"
#include "data/Database.h"
#include "data/TableHandle.h"

#include <QtTest>

using namespace td;

namespace {

struct SongSpec {
    QString artist;
    QString album;
    qint32 albumId;
};

void addSong(Database& db, int id, const SongSpec& s, const QString& notes = {})
{
    Table<Tunedeck> t(db);
    t.rec.ID = id;
    t.rec.Artist = s.artist;
    t.rec.Title = QStringLiteral("Track %1").arg(id);
    t.rec.Album = s.album;
    t.rec.Media = QStringLiteral("CD");
    t.rec.FileNumber = QStringLiteral("F%1").arg(id);
    t.rec.ReleaseDate = 70000 + id;
    t.rec.CategoryID = 3;
    t.rec.AlbumID = s.albumId;
    t.rec.Notes = notes;
    QCOMPARE(t.add(), 0);
}

void addAlbum(Database& db, qint32 id, const QString& artist, const QString& album)
{
    Table<Album> a(db);
    a.rec.AlbumID = id;
    a.rec.Artist = artist;
    a.rec.Album = album;
    QCOMPARE(a.add(), 0);
}

qint32 albumOfSong(Database& db, int id)
{
    Table<Tunedeck> t(db);
    t.rec.ID = id;
    if (t.get(t.key("MUS:KeyID")) != 0)
        return -1;
    return t.rec.AlbumID;
}

} // namespace

class TestCopyToAlbum : public QObject {
    Q_OBJECT
private slots:
    void linksAndAdds();
    void slicesAndPercent();
    void emptySongTable();
};

void TestCopyToAlbum::linksAndAdds()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    addAlbum(db, 5, "Various", "Summer Hits");
    addAlbum(db, 9, "Queen", "Innuendo");
    addSong(db, 1, {"Blur", "Parklife", 0}, "liner notes");
    addSong(db, 2, {"BLUR", "parklife  ", 0});   // same album whatever the case and blanks
    addSong(db, 3, {"Seal", "Summer Hits", 0});   // only as a compilation
    addSong(db, 4, {"Queen", "Innuendo", 9});     // already linked
    addSong(db, 5, {"Queen", "Other Title", 9});  // linked elsewhere: left as it is
    addSong(db, 6, {"Nobody", "", 0});            // no album title

    CopyToAlbum run(db);
    run.runToEnd();
    QVERIFY(script->asked().isEmpty());
    QCOMPARE(run.albumsAdded(), 1);
    QCOMPARE(run.songsLinked(), 3);

    const qint32 parklife = albumOfSong(db, 1);
    QCOMPARE(parklife, 10);   // highest album number plus one
    QCOMPARE(albumOfSong(db, 2), parklife);
    QCOMPARE(albumOfSong(db, 3), 5);
    QCOMPARE(albumOfSong(db, 4), 9);
    QCOMPARE(albumOfSong(db, 5), 9);
    QCOMPARE(albumOfSong(db, 6), 0);

    Table<Album> a(db);
    a.rec.AlbumID = parklife;
    QCOMPARE(a.get(a.key("ALB:KeyAlbumID")), 0);
    QCOMPARE(a.rec.Artist, QStringLiteral("Blur"));
    QCOMPARE(a.rec.Album, QStringLiteral("Parklife"));
    QCOMPARE(a.rec.Media, QStringLiteral("CD"));
    QCOMPARE(a.rec.FileNumber, QStringLiteral("F1"));
    QCOMPARE(a.rec.ReleaseDate, 70001);
    QCOMPARE(a.rec.CategoryID, 3);
    QCOMPARE(a.rec.Notes, QStringLiteral("liner notes"));
    QCOMPARE(a.rec.CDIdentifier, QString());
    QCOMPARE(a.records(), 3);
}

void TestCopyToAlbum::slicesAndPercent()
{
    test::TempWorkspace ws;
    Messages messages;
    test::installScripted(messages);
    Database db(messages);
    for (int i = 1; i <= 60; ++i)
        addSong(db, i, {QStringLiteral("Artist %1").arg(i % 7), QStringLiteral("Album %1").arg(i % 7), 0});
    CopyToAlbum run(db);
    QVERIFY(run.start());
    QVERIFY(run.step(25));
    QCOMPARE(run.percent(), 41);
    QVERIFY(run.step(25));
    QVERIFY(!run.step(25) || !run.step(25));
    QCOMPARE(run.percent(), 100);
    run.finish();
    QCOMPARE(run.albumsAdded(), 7);
    QCOMPARE(run.songsLinked(), 60);
}

void TestCopyToAlbum::emptySongTable()
{
    test::TempWorkspace ws;
    Messages messages;
    test::installScripted(messages);
    Database db(messages);
    CopyToAlbum run(db);
    run.runToEnd();
    QCOMPARE(run.albumsAdded(), 0);
    QCOMPARE(run.percent(), 100);
}

QTEST_GUILESS_MAIN(TestCopyToAlbum)
#include "tst_copytoalbum.moc"

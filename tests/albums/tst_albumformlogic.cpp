// The album form's logic: a copy's title, the new album stored at the opening and removed again by
// Cancel, the duplicate-key message of OK, a change that writes nothing or meets a change made
// elsewhere, the delete with the album's songs, the category rule and the history recall.

#include "../data/DataTestUtil.h"
#include "TestApp.h"
#include "albums/AlbumForm.h"
#include "common/AppState.h"

#include <QtTest>

using namespace td;

namespace {

using Env = test::TestApp;

Album makeAlbum(qint32 id, const QString& artist, const QString& title, const QString& cdId = {})
{
    Album a;
    a.AlbumID = id;
    a.Artist = artist;
    a.Album = title;
    a.CDIdentifier = cdId;
    a.Media = QStringLiteral("CD");
    return a;
}

std::optional<Album> storedAlbum(Database& db, qint32 id)
{
    Table<Album> t(db);
    t.rec.AlbumID = id;
    if (t.get(t.key("ALB:KeyAlbumID")) != 0)
        return std::nullopt;
    return t.rec;
}

std::optional<Tunedeck> storedSong(Database& db, qint32 id)
{
    Table<Tunedeck> t(db);
    t.rec.ID = id;
    if (t.get(t.key("MUS:KeyID")) != 0)
        return std::nullopt;
    return t.rec;
}

// Another window (or another copy of the program) changes the stored album.
void changeElsewhere(Database& db, qint32 id, const QString& playlist)
{
    Table<Album> other(db);
    other.rec.AlbumID = id;
    QCOMPARE(other.get(other.key("ALB:KeyAlbumID")), 0);
    other.rec.Playlist = playlist;
    QCOMPARE(other.put(), 0);
}

} // namespace

class TestAlbumFormLogic : public QObject {
    Q_OBJECT
private slots:
    void insertStoresNumberedCopy_data();
    void insertStoresNumberedCopy();
    void repeatedCopiesAreNumbered();
    void cancelledInsertRemovesAlbumButNotSongs();
    void duplicateKeyOnOk_data();
    void duplicateKeyOnOk();
    void numberingGivesUp();
    void saveFailures_data();
    void saveFailures();
    void changeWithoutDifferenceWritesNothing();
    void changeMadeElsewhereShowsStoredAlbum();
    void deleteWithSongs_data();
    void deleteWithSongs();
    void categoryAccept_data();
    void categoryAccept();
    void historyRecall();
};

void TestAlbumFormLogic::insertStoresNumberedCopy_data()
{
    QTest::addColumn<qint32>("id");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("stored");
    QTest::newRow("blank: a new album") << 0 << ""
                                        << "";
    QTest::newRow("stored album without title") << 3 << ""
                                                << "Copy";
    QTest::newRow("short title") << 7 << "Blue"
                                 << "Blue - Copy";
    QTest::newRow("trailing blanks") << 7 << "Blue   "
                                     << "Blue - Copy";
    const QString t33 = QString(33, QLatin1Char('x'));
    QTest::newRow("33 characters fit") << 7 << t33 << t33 + " - Copy";
    const QString t34 = QString(34, QLatin1Char('y'));
    QTest::newRow("34 characters cut") << 7 << t34 << (t34 + " - Cop");
    const QString t40 = QString(40, QLatin1Char('z'));
    QTest::newRow("full width") << 7 << t40 << t40;
}

void TestAlbumFormLogic::insertStoresNumberedCopy()
{
    QFETCH(qint32, id);
    QFETCH(QString, title);
    QFETCH(QString, stored);
    Env e;
    QVERIFY(test::addRecord(e.db, makeAlbum(7, "Artist", "Other", "99999")));
    QVERIFY(test::addRecord(e.db, test::makeSong("Artist", "Song", 1, 7)));
    // Copied as it is stored, an album without title would collide with itself on its artist
    // and its disc identifier.
    if (id == 3)
        QVERIFY(test::addRecord(e.db, makeAlbum(3, "Artist", "", "12345")));
    Album source = makeAlbum(id, "Artist", title, "12345");
    source.Notes = QStringLiteral("notes stay");

    AlbumForm f(e.state, Request::Insert, source);
    QVERIFY(f.open());
    // Stored at once with the next number, before OK.
    const auto row = storedAlbum(e.db, 8);
    QVERIFY(row);
    QCOMPARE(row->Album, stored);
    QCOMPARE(row->Notes, QStringLiteral("notes stay"));
    QCOMPARE(f.album().AlbumID, 8);
    QCOMPARE(f.album().Album, stored);
    // A copy leaves the disc identifier behind (it names one disc); a new album keeps what it got.
    QCOMPARE(row->CDIdentifier, id == 0 ? QStringLiteral("12345") : QString());
    // The source's songs are not copied.
    Table<Tunedeck> songs(e.db);
    QCOMPARE(songs.records(), 1);
    QVERIFY(e.script->asked().isEmpty());
}

void TestAlbumFormLogic::repeatedCopiesAreNumbered()
{
    // The copy's title and artist must be free: a second copy of the same album could otherwise
    // never be stored.
    Env e;
    const QString t40 = QString(40, QLatin1Char('z'));
    QVERIFY(test::addRecord(e.db, makeAlbum(1, "Artist", "Blue")));
    QVERIFY(test::addRecord(e.db, makeAlbum(2, "Artist", t40)));
    // A full-width title cut to its width is the source's own title: it is taken already.
    const QString z29 = QString(29, QLatin1Char('z'));
    const QStringList expected
        = { "Blue - Copy", "Blue - Copy (2)", "Blue - Copy (3)", z29 + " - Copy (2)", z29 + " - Copy (3)" };
    const QStringList sources = { "Blue", "Blue", "Blue", t40, t40 };
    for (int i = 0; i < sources.size(); ++i) {
        AlbumForm f(e.state, Request::Insert, makeAlbum(1, "Artist", sources[i]));
        QVERIFY(f.open());
        QCOMPARE(f.album().Album, expected[i]);
        QVERIFY(f.save() == AlbumForm::Save::Closed);
        f.close();
    }
    QVERIFY(e.script->asked().isEmpty());
}

void TestAlbumFormLogic::cancelledInsertRemovesAlbumButNotSongs()
{
    Env e;
    AlbumForm f(e.state, Request::Insert, Album());
    QVERIFY(f.open());
    QCOMPARE(f.album().AlbumID, 1);
    // A song linked while the form is open (the song list writes at once).
    QVERIFY(test::addRecord(e.db, test::makeSong("A", "Linked", 3, 1)));
    f.cancel();
    f.close();
    QVERIFY(!storedAlbum(e.db, 1));
    QCOMPARE(storedSong(e.db, 3)->AlbumID, 1);
    QCOMPARE(f.response(), Response::Cancelled);
    QVERIFY(e.script->asked().isEmpty());
}

void TestAlbumFormLogic::duplicateKeyOnOk_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("cdId");
    QTest::addColumn<QString>("key");
    for (const bool change : { false, true }) {
        const char* how = change ? "change: " : "add: ";
        QTest::addRow("%stitle and artist", how) << change << "Artist"
                                                 << "Taken"
                                                 << ""
                                                 << "ALB:KeyAlbum";
        QTest::addRow("%sletter case and blanks", how) << change << "ARTIST "
                                                       << "taken"
                                                       << ""
                                                       << "ALB:KeyAlbum";
        QTest::addRow("%sdisc identifier", how) << change << "Artist"
                                                << "Free"
                                                << "12345"
                                                << "ALB:KeyCDIdentifier";
        QTest::addRow("%sboth: the title key first", how) << change << "Artist"
                                                          << "Taken"
                                                          << "12345"
                                                          << "ALB:KeyAlbum";
    }
}

void TestAlbumFormLogic::duplicateKeyOnOk()
{
    QFETCH(bool, change);
    QFETCH(QString, artist);
    QFETCH(QString, title);
    QFETCH(QString, cdId);
    QFETCH(QString, key);
    Env e;
    QVERIFY(test::addRecord(e.db, makeAlbum(1, "Artist", "Taken", "12345")));
    if (change)
        QVERIFY(test::addRecord(e.db, makeAlbum(2, "Artist", "Mine", "777")));
    AlbumForm f(e.state, change ? Request::Change : Request::Insert, change ? makeAlbum(2, "", "") : Album());
    QVERIFY(f.open());
    f.album().Artist = artist;
    f.album().Album = title;
    f.album().CDIdentifier = cdId;
    QCOMPARE(f.save(), AlbumForm::Save::Stay);
    QCOMPARE(e.script->numbers(), QList<int> { 24 });
    QCOMPARE(e.script->asked().first().text,
        QStringLiteral("Adding this record creates a duplicate entry for the key:") + key);
    // The form stays open on its album, stored as it was, which a later OK can still complete.
    QVERIFY(storedAlbum(e.db, 2));
    if (change)
        QCOMPARE(storedAlbum(e.db, 2)->Album, QStringLiteral("Mine"));
    f.album().Album = QStringLiteral("Unique");
    f.album().CDIdentifier.clear();
    QCOMPARE(f.save(), AlbumForm::Save::Closed);
    QCOMPARE(f.response(), Response::Completed);
    f.close();
    QCOMPARE(storedAlbum(e.db, 2)->Album, QStringLiteral("Unique"));
    QCOMPARE(storedAlbum(e.db, 1)->Album, QStringLiteral("Taken"));
}

void TestAlbumFormLogic::numberingGivesUp()
{
    Env e;
    Table<Album> created(e.db);
    {
        test::RawFile raw(e.db.filePath(TableId::Album));
        QVERIFY(
            raw.exec("CREATE TRIGGER refuse BEFORE INSERT ON Album BEGIN SELECT RAISE(ABORT, 'no'); END"));
    }
    e.script->plan(Cancel); // 25, after three tries
    AlbumForm f(e.state, Request::Insert, Album());
    QVERIFY(!f.open());
    QCOMPARE(e.script->numbers(), QList<int> { 25 });
    QCOMPARE(f.response(), Response::Cancelled);
}

void TestAlbumFormLogic::saveFailures_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QList<int>>("messages");
    QTest::addColumn<int>("save");
    QTest::addColumn<int>("response");
    const int stay = int(AlbumForm::Save::Stay), closed = int(AlbumForm::Save::Closed);
    const int cancelled = int(Response::Cancelled);
    QTest::newRow("add") << int(Request::Insert) << QList<int> { Ok } << QList<int> { 14 } << stay
                         << cancelled;
    QTest::newRow("change: again, then stay") << int(Request::Change) << QList<int> { Ok, Yes, Ok, Cancel }
                                              << QList<int> { 15, 16, 15, 16 } << stay << cancelled;
    QTest::newRow("change: give up") << int(Request::Change) << QList<int> { Ok, No } << QList<int> { 15, 16 }
                                     << closed << cancelled;
}

void TestAlbumFormLogic::saveFailures()
{
    QFETCH(int, request);
    QFETCH(QList<int>, answers);
    QFETCH(QList<int>, messages);
    QFETCH(int, save);
    QFETCH(int, response);
    Env e;
    const Album a = makeAlbum(1, "Artist", "Title");
    if (request == int(Request::Change))
        QVERIFY(test::addRecord(e.db, a));
    AlbumForm f(e.state, Request(request), request == int(Request::Change) ? a : Album());
    QVERIFY(f.open());
    const Album before = *storedAlbum(e.db, 1);
    {
        test::RawFile raw(e.db.filePath(TableId::Album));
        QVERIFY(
            raw.exec("CREATE TRIGGER refuse BEFORE UPDATE ON Album BEGIN SELECT RAISE(ABORT, 'no'); END"));
    }
    for (int answer : answers)
        e.script->plan(answer);
    f.album().Album = QStringLiteral("Mine");
    QCOMPARE(int(f.save()), save);
    QCOMPARE(e.script->numbers(), messages);
    QCOMPARE(int(f.response()), response);
    QCOMPARE(f.album().Album, QStringLiteral("Mine")); // the user's values stay in the form
    QCOMPARE(storedAlbum(e.db, 1)->Album, before.Album);
}

void TestAlbumFormLogic::changeWithoutDifferenceWritesNothing()
{
    Env e;
    Album a = makeAlbum(4, "Artist", "Title");
    a.Notes = QStringLiteral("memo");
    QVERIFY(test::addRecord(e.db, a));
    AlbumForm f(e.state, Request::Change, a);
    QVERIFY(f.open());
    f.album().Album = QStringLiteral("Title   "); // trailing blanks are no change
    changeElsewhere(e.db, 4, QStringLiteral("Theirs"));
    QCOMPARE(f.save(), AlbumForm::Save::Closed);
    QCOMPARE(f.response(), Response::Completed);
    QVERIFY(e.script->asked().isEmpty());
    QCOMPARE(storedAlbum(e.db, 4)->Playlist, QStringLiteral("Theirs"));
    // OK sets the history copy even when nothing was written.
    QVERIFY(e.state.albumHistory);
    QCOMPARE(e.state.albumHistory->AlbumID, 4);
}

void TestAlbumFormLogic::changeMadeElsewhereShowsStoredAlbum()
{
    Env e;
    QVERIFY(test::addRecord(e.db, makeAlbum(4, "Artist", "Title")));
    AlbumForm f(e.state, Request::Change, makeAlbum(4, "Artist", "Title"));
    QVERIFY(f.open());
    f.album().Notes = QStringLiteral("mine"); // a memo counts as a change
    changeElsewhere(e.db, 4, QStringLiteral("Theirs"));
    QCOMPARE(f.save(), AlbumForm::Save::ShowStored);
    QCOMPARE(e.script->asked().size(), 1);
    QCOMPARE(e.script->asked().first().text, QStringLiteral("This record was changed by another station."));
    QCOMPARE(f.album().Playlist, QStringLiteral("Theirs"));
    QCOMPARE(f.album().Notes, QString());
    // The stored album is now the one compared with: a further OK writes the user's next change.
    f.album().Notes = QStringLiteral("again");
    QCOMPARE(f.save(), AlbumForm::Save::Closed);
    const auto row = storedAlbum(e.db, 4);
    QCOMPARE(row->Notes, QStringLiteral("again"));
    QCOMPARE(row->Playlist, QStringLiteral("Theirs"));
}

void TestAlbumFormLogic::deleteWithSongs_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("inPlaylist");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QList<int>>("messages");
    QTest::newRow("confirmed") << int(Ok) << false << true << QList<int> { 32 };
    QTest::newRow("not confirmed") << int(Cancel) << false << false << QList<int> { 32 };
    QTest::newRow("a song in a playlist") << int(Ok) << true << false << QList<int> { 32, 13, 18 };
}

void TestAlbumFormLogic::deleteWithSongs()
{
    QFETCH(int, answer);
    QFETCH(bool, inPlaylist);
    QFETCH(bool, deleted);
    QFETCH(QList<int>, messages);
    Env e;
    Album a = makeAlbum(5, "Artist", "Title");
    a.FileNumber = QStringLiteral("F1");
    QVERIFY(test::addRecord(e.db, a));
    QVERIFY(test::addRecord(e.db, test::makeSong("Artist", "By number", 1, 5)));
    Tunedeck byFile = test::makeSong("Artist", "By file number", 2, 0);
    byFile.FileNumber = QStringLiteral("F1");
    QVERIFY(test::addRecord(e.db, byFile));
    QVERIFY(test::addRecord(e.db, test::makeSong("Artist", "Elsewhere", 3, 6)));
    if (inPlaylist) {
        PlaylistDetails d;
        d.PlaylistID = 1;
        d.PlaylistSeq = 1;
        d.ID = 1;
        QVERIFY(test::addRecord(e.db, d));
    }
    e.script->plan(answer);
    e.script->plan(Ok); // 13
    e.script->plan(No); // 18: give up
    AlbumForm f(e.state, Request::Delete, a);
    QVERIFY(!f.open()); // the window never shows
    QCOMPARE(e.script->numbers(), messages);
    QCOMPARE(f.response(), deleted ? Response::Completed : Response::Cancelled);
    QCOMPARE(!storedAlbum(e.db, 5), deleted);
    QCOMPARE(!storedSong(e.db, 1), deleted);
    QCOMPARE(!storedSong(e.db, 2), deleted);
    QVERIFY(storedSong(e.db, 3));
}

void TestAlbumFormLogic::categoryAccept_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<qint64>("id");
    QTest::newRow("blank is no category") << "  " << true << qint64(0);
    QTest::newRow("listed name") << "Jazz" << true << qint64(12);
    QTest::newRow("letter case ignored") << "jAZZ" << true << qint64(12);
    QTest::newRow("unknown name refused") << "Polka" << false << qint64(3);
}

void TestAlbumFormLogic::categoryAccept()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(qint64, id);
    Env e;
    for (auto [cid, name] : { std::pair { 3, "Rock" }, std::pair { 12, "Jazz" } }) {
        Categories c;
        c.CategoryID = cid;
        c.Category = QString::fromLatin1(name);
        QVERIFY(test::addRecord(e.db, c));
    }
    Album a = makeAlbum(1, "A", "T");
    a.CategoryID = 3;
    QVERIFY(test::addRecord(e.db, a));
    AlbumForm f(e.state, Request::Change, a);
    QVERIFY(f.open());
    QVERIFY(f.fillCategoryList());
    QCOMPARE(f.categoryName(), QStringLiteral("Rock"));
    QCOMPARE(f.acceptCategory(typed), accepted);
    QCOMPARE(f.album().CategoryID, id);
    // Nothing is asked: the album form adds no categories. A refused name is told, not passed over.
    QCOMPARE(e.script->numbers(), accepted ? QList<int>() : QList<int> { 11 });
    if (!accepted)
        QCOMPARE(e.script->asked().first().text,
            QStringLiteral("The value for Category must be found in the Categories file."));
}

void TestAlbumFormLogic::historyRecall()
{
    Env e;
    for (const char* name : { "LP", "CD" }) {
        Media m;
        m.Media = QString::fromLatin1(name);
        QVERIFY(test::addRecord(e.db, m));
    }
    AlbumForm f(e.state, Request::Insert, Album());
    QVERIFY(f.open());
    QVERIFY(f.fillMediaList());
    QCOMPARE(f.album().Media, QStringLiteral("CD")); // blank media: the first by name
    QVERIFY(!f.recallHistory(AlbumField::Artist)); // nothing saved yet in this run

    Album h = makeAlbum(9, "Old Artist", "Old Title", "777");
    h.Media = QStringLiteral("lp");
    h.ReleaseDate = 70000;
    e.state.albumHistory = h;
    QVERIFY(f.recallHistory(AlbumField::Artist));
    QVERIFY(f.recallHistory(AlbumField::ReleaseDate));
    QVERIFY(f.recallHistory(AlbumField::Media));
    QCOMPARE(f.album().Artist, QStringLiteral("Old Artist"));
    QCOMPARE(f.album().ReleaseDate, 70000);
    QCOMPARE(f.album().Media, QStringLiteral("LP")); // the list's own spelling
    QCOMPARE(f.album().Album, QString()); // only the fields asked for
    QCOMPARE(f.album().AlbumID, 1);
    // A media the list does not hold is not taken.
    e.state.albumHistory->Media = QStringLiteral("Wax cylinder");
    QVERIFY(!f.recallHistory(AlbumField::Media));
    QCOMPARE(f.album().Media, QStringLiteral("LP"));
    QVERIFY(e.script->asked().isEmpty());
    // Chosen on OK, such a media is refused with a word on where it must come from.
    QVERIFY(!f.acceptMedia(QStringLiteral("Wax cylinder")));
    QCOMPARE(f.album().Media, QStringLiteral("LP"));
    QCOMPARE(e.script->numbers(), QList<int> { 11 });
    QCOMPARE(e.script->asked().first().text,
        QStringLiteral("The value for Media must be found in the Media file."));
}

QTEST_GUILESS_MAIN(TestAlbumFormLogic)
#include "tst_albumformlogic.moc"

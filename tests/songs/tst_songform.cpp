// The song form's logic: numbering with its retries, the time rule, the field checks, the album
// link, saving an add and a change with their messages, cancel, delete and Ditto.

#include "../data/DataTestUtil.h"
#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "TestApp.h"
#include "common/AppState.h"
#include "core/DayTime.h"
#include "data/RecordServices.h"
#include "songs/SongForm.h"

#include <QtTest>

using namespace td;

namespace {

using Env = test::TestApp;

Tunedeck song(const QString& artist, const QString& title, qint32 id, qint32 albumId = 0, int track = 0)
{
    Tunedeck s = test::makeSong(artist, title, id, albumId);
    s.TrackNumber = track;
    return s;
}

qint64 songCount(Database& db)
{
    Table<Tunedeck> t(db);
    return t.records();
}

Tunedeck storedSong(Database& db, qint32 id)
{
    Table<Tunedeck> t(db);
    t.rec.ID = id;
    if (t.get(t.key("MUS:KeyID")) != 0)
        return Tunedeck();
    return t.rec;
}

void addMedia(Database& db, const QStringList& names)
{
    for (const auto& n : names) {
        Media m;
        m.Media = n;
        test::addRecord(db, m);
    }
}

} // namespace

class TestSongForm : public QObject {
    Q_OBJECT
private slots:
    void timeRule_data();
    void timeRule();
    void addModeRedirect_data();
    void addModeRedirect();
    void numberingEmptyTable();
    void numberingNextTrackOfAlbum();
    void numberingRetriesThenAsks();
    void cancelledAddRemovesSong();
    void addSavesAndLinksAlbum();
    void albumLinkRules();
    void fieldChecks_data();
    void fieldChecks();
    void mediaListFill();
    void changeWithoutDifferenceWritesNothing();
    void changeFailureAsksAgain();
    void concurrentChangeAndDitto();
    void deleteFlows();
    void changeOfMissingSong();
    void defaultWithAlbumFillsBlanksOnly();
    void unchangedSongIsStillLinkedToItsAlbum();
    void categoryOnSave_data();
    void categoryOnSave();
    void failedSaveLeavesNothingHalfWritten_data();
    void failedSaveLeavesNothingHalfWritten();
};

void TestSongForm::timeRule_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("stored");
    QTest::newRow("3:45 is minutes and seconds") << timeFromParts(3, 45, 0) << timeFromParts(0, 3, 45);
    QTest::newRow("1:45:00 stays") << timeFromParts(1, 45, 0) << timeFromParts(1, 45, 0);
    QTest::newRow("exactly two hours stays") << timeFromParts(2, 0, 0) << timeFromParts(2, 0, 0);
    QTest::newRow("59:59 is almost an hour") << timeFromParts(59, 59, 0) << timeFromParts(0, 59, 59);
    QTest::newRow("no time") << 0 << 0;
    QTest::newRow("largest time") << MaxTime << timeFromHundredths(hundredthsFromTime(MaxTime) / 60);
}

void TestSongForm::timeRule()
{
    QFETCH(int, typed);
    QFETCH(int, stored);
    QCOMPARE(songTimeRule(typed), stored);
}

void TestSongForm::addModeRedirect_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("request");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("expected");
    const int ins = int(Request::Insert);
    QTest::newRow("default 1") << "1" << ins << "" << int(AddRedirect::Form);
    QTest::newRow("normal") << "Normal" << ins << "" << int(AddRedirect::Form);
    QTest::newRow("compilation") << "Compilation" << ins << "" << int(AddRedirect::Compilation);
    QTest::newRow("single artist") << "Single Artist" << ins << "x" << int(AddRedirect::SingleArtist);
    QTest::newRow("ask on blank song") << "Ask Each Time" << ins << "" << int(AddRedirect::Ask);
    QTest::newRow("ask not on a filled song") << "Ask Each Time" << ins << "Song" << int(AddRedirect::Form);
    QTest::newRow("copy never asks") << "Ask Each Time" << int(Request::Select) << ""
                                     << int(AddRedirect::Form);
    QTest::newRow("change never redirected")
        << "Compilation" << int(Request::Change) << "" << int(AddRedirect::Form);
    QTest::newRow("delete never redirected")
        << "Single Artist" << int(Request::Delete) << "" << int(AddRedirect::Form);
    QTest::newRow("empty setting") << "" << ins << "" << int(AddRedirect::Form);
}

void TestSongForm::addModeRedirect()
{
    QFETCH(QString, mode);
    QFETCH(int, request);
    QFETCH(QString, title);
    QFETCH(int, expected);
    Tunedeck s;
    s.Title = title;
    QCOMPARE(int(td::addModeRedirect(mode, Request(request), s)), expected);
    QCOMPARE(int(addTypeAnswer(QStringLiteral("Compilation"))), int(AddRedirect::Compilation));
    QCOMPARE(int(addTypeAnswer(QStringLiteral("Single Artist"))), int(AddRedirect::SingleArtist));
    QCOMPARE(int(addTypeAnswer(QStringLiteral("Normal"))), int(AddRedirect::Form));
}

void TestSongForm::numberingEmptyTable()
{
    Env e;
    SongForm f(e.state, Request::Insert, Tunedeck());
    QVERIFY(f.open());
    QCOMPARE(f.song().ID, 1);
    QCOMPARE(f.song().TrackNumber, 1);
    QCOMPARE(f.song().Media, QStringLiteral("CD"));
    // Stored at once, before anything is typed.
    QCOMPARE(songCount(e.db), 1);
    QCOMPARE(storedSong(e.db, 1).Media, QStringLiteral("CD"));
}

void TestSongForm::numberingNextTrackOfAlbum()
{
    Env e;
    for (int t = 1; t <= 12; ++t)
        QVERIFY(test::addRecord(e.db, song("A", QStringLiteral("T%1").arg(t), 10 + t, 4, t)));
    QVERIFY(test::addRecord(e.db, song("B", "Other album", 40, 5, 30)));
    // A copy of track 7 takes the album's next free track.
    Tunedeck seven = storedSong(e.db, 17);
    QCOMPARE(seven.TrackNumber, 7);
    SongForm f(e.state, Request::Select, seven);
    QVERIFY(f.open());
    QVERIFY(f.isAdd());
    QVERIFY(f.isCopy());
    QCOMPARE(f.song().ID, 41);
    QCOMPARE(f.song().TrackNumber, 13);
    QCOMPARE(f.song().Title, QStringLiteral("T7"));
    QCOMPARE(f.song().AlbumID, 4);
    // A song without album starts at track 1 whatever tracks other albums have.
    SongForm g(e.state, Request::Insert, Tunedeck());
    QVERIFY(g.open());
    QCOMPARE(g.song().ID, 42);
    QCOMPARE(g.song().TrackNumber, 1);
}

void TestSongForm::numberingRetriesThenAsks()
{
    Env e;
    {
        Table<Tunedeck> open(e.db);
    }
    {
        test::RawFile raw(e.db.filePath(TableId::Tunedeck));
        QVERIFY2(
            raw.exec("CREATE TRIGGER refuse BEFORE INSERT ON Tunedeck BEGIN SELECT RAISE(ABORT, 'no'); END"),
            qPrintable(raw.lastError));
    }
    e.script->plan(Retry);
    e.script->plan(Cancel);
    SongForm f(e.state, Request::Insert, Tunedeck());
    QVERIFY(!f.open());
    QCOMPARE(f.response(), Response::Cancelled);
    // Three tries, the question, three more, the question again.
    QCOMPARE(e.script->numbers(), (QList<int> { 25, 25 }));
    QCOMPARE(e.script->asked().first().caption, QStringLiteral("Auto Increment Error"));
    QCOMPARE(songCount(e.db), 0);
}

void TestSongForm::cancelledAddRemovesSong()
{
    Env e;
    QVERIFY(test::addRecord(e.db, song("A", "Kept", 1)));
    {
        SongForm f(e.state, Request::Insert, Tunedeck());
        QVERIFY(f.open());
        QCOMPARE(songCount(e.db), 2);
        f.song().Title = QStringLiteral("Typed but cancelled");
        f.cancel();
        f.close();
        QCOMPARE(f.response(), Response::Cancelled);
    }
    QCOMPARE(songCount(e.db), 1);
    QCOMPARE(storedSong(e.db, 1).Title, QStringLiteral("Kept"));
    QVERIFY(e.script->asked().isEmpty());
}

void TestSongForm::addSavesAndLinksAlbum()
{
    Env e;
    addMedia(e.db, { "CD" });
    SongForm f(e.state, Request::Insert, Tunedeck());
    QVERIFY(f.open());
    f.song().Artist = QStringLiteral("Blur");
    f.song().Title = QStringLiteral("Girls & Boys");
    f.song().Album = QStringLiteral("Parklife");
    f.song().Notes = QStringLiteral("liner notes");
    QVERIFY(f.checkMedia());
    QCOMPARE(f.save(), SongForm::Save::Closed);
    QCOMPARE(f.response(), Response::Completed);
    f.close();
    const Tunedeck s = storedSong(e.db, 1);
    QCOMPARE(s.Title, QStringLiteral("Girls & Boys"));
    QCOMPARE(s.AlbumID, 1);
    QCOMPARE(f.song().AlbumID, 1);
    Table<Album> a(e.db);
    a.rec.AlbumID = 1;
    QCOMPARE(a.get(a.key("ALB:KeyAlbumID")), 0);
    QCOMPARE(a.rec.Album, QStringLiteral("Parklife"));
    QCOMPARE(a.rec.Notes, QStringLiteral("liner notes"));

    // A second song of the same pair (another letter case) goes to the same album.
    SongForm g(e.state, Request::Insert, Tunedeck());
    QVERIFY(g.open());
    g.song().Artist = QStringLiteral("BLUR");
    g.song().Album = QStringLiteral("parklife");
    QCOMPARE(g.save(), SongForm::Save::Closed);
    g.close();
    QCOMPARE(storedSong(e.db, 2).AlbumID, 1);
    QCOMPARE(a.records(), 1);

    // Without the setting nothing is linked.
    e.state.settings.AutoAddToAlbums = QStringLiteral(" ");
    SongForm h(e.state, Request::Insert, Tunedeck());
    QVERIFY(h.open());
    h.song().Artist = QStringLiteral("Oasis");
    h.song().Album = QStringLiteral("Definitely Maybe");
    QCOMPARE(h.save(), SongForm::Save::Closed);
    h.close();
    QCOMPARE(storedSong(e.db, 3).AlbumID, 0);
    QCOMPARE(a.records(), 1);
}

void TestSongForm::albumLinkRules()
{
    Env e;
    Table<Album> albums(e.db);
    Tunedeck s;
    s.Artist = QStringLiteral("Nobody");
    QVERIFY(!linkSongToAlbum(e.db, s)); // no album title: no empty album
    QCOMPARE(albums.records(), 0);
    s.Album = QStringLiteral("Title");
    s.AlbumID = 7;
    QVERIFY(!linkSongToAlbum(e.db, s)); // already linked
    QCOMPARE(s.AlbumID, 7);
    s.AlbumID = 0;
    QVERIFY(linkSongToAlbum(e.db, s));
    QCOMPARE(s.AlbumID, 1);
    Tunedeck other = s;
    other.AlbumID = 0;
    other.Artist = QStringLiteral("Somebody"); // another artist: another album
    QVERIFY(linkSongToAlbum(e.db, other));
    QCOMPARE(other.AlbumID, 2);
    QCOMPARE(albums.records(), 2);
}

void TestSongForm::fieldChecks_data()
{
    QTest::addColumn<int>("track");
    QTest::addColumn<int>("chart");
    QTest::addColumn<QString>("media");
    QTest::addColumn<QList<int>>("messages");
    QTest::addColumn<QString>("text");
    QTest::newRow("all fine") << 99 << 100 << "cd" << QList<int> {} << "";
    QTest::newRow("track 100") << 100 << 0 << "CD" << QList<int> { 10 }
                               << "The value of Track must be between 0 and 99.";
    QTest::newRow("negative track") << -1 << 0 << "CD" << QList<int> { 10 }
                                    << "The value of Track must be between 0 and 99.";
    QTest::newRow("chart 101") << 0 << 101 << "CD" << QList<int> { 10 }
                               << "The value of Chart must be between 0 and 100.";
    QTest::newRow("unknown media") << 0 << 0 << "Wax Cylinder" << QList<int> { 11 }
                                   << "The value for Media must be found in the Media file.";
    QTest::newRow("blank media") << 0 << 0 << "" << QList<int> { 11 }
                                 << "The value for Media must be found in the Media file.";
}

void TestSongForm::fieldChecks()
{
    QFETCH(int, track);
    QFETCH(int, chart);
    QFETCH(QString, media);
    QFETCH(QList<int>, messages);
    QFETCH(QString, text);
    Env e;
    addMedia(e.db, { "CD", "LP" });
    SongForm f(e.state, Request::Insert, Tunedeck());
    QVERIFY(f.open());
    f.song().TrackNumber = track;
    f.song().ChartNumber = chart;
    f.song().Media = media;
    const bool ok = f.checkTrackNumber() & f.checkChartNumber() & f.checkMedia();
    QCOMPARE(ok, messages.isEmpty());
    QCOMPARE(e.script->numbers(), messages);
    if (!text.isEmpty())
        QCOMPARE(e.script->asked().first().text, text);
}

void TestSongForm::mediaListFill()
{
    Env e;
    addMedia(e.db, { "vinyl", "CD", "Cassette" });
    {
        Tunedeck blankMedia;
        SongForm f(e.state, Request::Insert, blankMedia);
        QVERIFY(f.open());
        QVERIFY(f.fillMediaList());
        QCOMPARE(f.mediaNames(), (QStringList { "Cassette", "CD", "vinyl" }));
        QCOMPARE(f.song().Media, QStringLiteral("CD")); // a new song is a CD
    }
    // With an empty media table the song's media is blanked.
    Table<Media> m(e.db);
    while (m.set(0) == 0 && m.next() == 0)
        QCOMPARE(m.del(), 0);
    SongForm g(e.state, Request::Insert, Tunedeck());
    QVERIFY(g.open());
    QVERIFY(g.fillMediaList());
    QVERIFY(g.mediaNames().isEmpty());
    QVERIFY(g.song().Media.isEmpty());
}

void TestSongForm::changeWithoutDifferenceWritesNothing()
{
    Env e;
    QVERIFY(test::addRecord(e.db, song("A", "Title", 5)));
    SongForm f(e.state, Request::Change, storedSong(e.db, 5));
    QVERIFY(f.open());
    f.song().Title = QStringLiteral("Title   "); // trailing blanks are no change
    // Someone else changes the song meanwhile: with nothing to save, nothing is written over it.
    {
        Table<Tunedeck> other(e.db);
        other.rec.ID = 5;
        QCOMPARE(other.get(other.key("MUS:KeyID")), 0);
        other.rec.Style = QStringLiteral("Theirs");
        QCOMPARE(other.put(), 0);
    }
    QCOMPARE(f.save(), SongForm::Save::Closed);
    QCOMPARE(f.response(), Response::Completed);
    QVERIFY(e.script->asked().isEmpty());
    QCOMPARE(storedSong(e.db, 5).Style, QStringLiteral("Theirs"));
}

void TestSongForm::changeFailureAsksAgain()
{
    Env e;
    QVERIFY(test::addRecord(e.db, song("A", "Title", 5)));
    {
        test::RawFile raw(e.db.filePath(TableId::Tunedeck));
        QVERIFY(
            raw.exec("CREATE TRIGGER refuse BEFORE UPDATE ON Tunedeck BEGIN SELECT RAISE(ABORT, 'no'); END"));
    }
    SongForm f(e.state, Request::Change, storedSong(e.db, 5));
    QVERIFY(f.open());
    f.song().Title = QStringLiteral("New");
    e.script->plan(Ok); // 15
    e.script->plan(Yes); // 16: try again
    e.script->plan(Ok); // 15
    e.script->plan(Cancel); // 16: stay
    QCOMPARE(f.save(), SongForm::Save::Stay);
    QCOMPARE(e.script->numbers(), (QList<int> { 15, 16, 15, 16 }));
    QCOMPARE(f.song().Title, QStringLiteral("New"));
    e.script->clear();
    e.script->plan(Ok);
    e.script->plan(No); // 16: close
    QCOMPARE(f.save(), SongForm::Save::Closed);
    QCOMPARE(f.response(), Response::Cancelled);
    QCOMPARE(storedSong(e.db, 5).Title, QStringLiteral("Title"));
}

void TestSongForm::concurrentChangeAndDitto()
{
    Env e;
    QVERIFY(test::addRecord(e.db, song("A", "Title", 5)));
    SongForm f(e.state, Request::Change, storedSong(e.db, 5));
    QVERIFY(f.open());
    QVERIFY(!f.ditto()); // nothing to bring back yet
    f.song().Title = QStringLiteral("Mine");
    {
        Table<Tunedeck> other(e.db);
        other.rec.ID = 5;
        QCOMPARE(other.get(other.key("MUS:KeyID")), 0);
        other.rec.Style = QStringLiteral("Theirs");
        other.rec.Title = QStringLiteral("Their title");
        QCOMPARE(other.put(), 0);
    }
    QCOMPARE(f.save(), SongForm::Save::ShowStored);
    QCOMPARE(e.script->numbers(), QList<int> { 15 });
    QCOMPARE(e.script->asked().first().text, QStringLiteral("This record was changed by another station."));
    // The form shows the stored song ...
    QCOMPARE(f.song().Title, QStringLiteral("Their title"));
    QCOMPARE(f.song().Style, QStringLiteral("Theirs"));
    // ... and Ditto brings back what the user typed, keeping the other changes.
    QVERIFY(f.canDitto());
    QVERIFY(f.ditto());
    QCOMPARE(f.song().Title, QStringLiteral("Mine"));
    QCOMPARE(f.song().Style, QStringLiteral("Theirs"));
    QCOMPARE(f.save(), SongForm::Save::Closed);
    QCOMPARE(f.response(), Response::Completed);
    QCOMPARE(storedSong(e.db, 5).Title, QStringLiteral("Mine"));
    QCOMPARE(storedSong(e.db, 5).Style, QStringLiteral("Theirs"));
}

void TestSongForm::deleteFlows()
{
    Env e;
    QVERIFY(test::addRecord(e.db, song("A", "One", 1)));
    QVERIFY(test::addRecord(e.db, song("A", "Two", 2)));
    PlaylistDetails line;
    line.PlaylistID = 1;
    line.PlaylistSeq = 1;
    line.ID = 2;
    QVERIFY(test::addRecord(e.db, line));

    e.script->plan(Cancel);
    {
        SongForm f(e.state, Request::Delete, storedSong(e.db, 1));
        QVERIFY(!f.open());
        QCOMPARE(f.response(), Response::Cancelled);
    }
    QCOMPARE(songCount(e.db), 2);

    e.script->clear();
    e.script->plan(Ok);
    {
        SongForm f(e.state, Request::Delete, storedSong(e.db, 1));
        QVERIFY(!f.open());
        QCOMPARE(f.response(), Response::Completed);
    }
    QCOMPARE(songCount(e.db), 1);

    // In a playlist: refused (13), asked to try again (18): Yes tries once more, No gives up.
    e.script->clear();
    for (int a : { int(Ok), int(Ok), int(Yes), int(Ok), int(No) })
        e.script->plan(a);
    {
        SongForm f(e.state, Request::Delete, storedSong(e.db, 2));
        QVERIFY(!f.open());
        QCOMPARE(f.response(), Response::Cancelled);
    }
    QCOMPARE(e.script->numbers(), (QList<int> { 32, 13, 18, 13, 18 }));
    QCOMPARE(songCount(e.db), 1);
}

void TestSongForm::changeOfMissingSong()
{
    Env e;
    Tunedeck gone = song("A", "Gone", 9);
    SongForm f(e.state, Request::Change, gone);
    QVERIFY(!f.open());
    QCOMPARE(f.response(), Response::Cancelled);
    QCOMPARE(e.script->numbers(), QList<int> { 35 });
}

void TestSongForm::defaultWithAlbumFillsBlanksOnly()
{
    Album a;
    a.AlbumID = 3;
    a.Artist = QStringLiteral("Album Artist");
    a.Album = QStringLiteral("Album Title");
    a.Media = QStringLiteral("LP");
    a.FileNumber = QStringLiteral("F-1");
    a.ReleaseDate = 70000;
    a.CategoryID = 4;
    a.Notes = QStringLiteral("album notes");
    Tunedeck s;
    s.Artist = QStringLiteral("Song Artist");
    s.Album = QStringLiteral("Old");
    s.Media = QStringLiteral("CD");
    s.CategoryID = 2;
    defaultWithAlbum(s, a);
    QCOMPARE(s.Album, a.Album);
    QCOMPARE(s.Media, a.Media);
    QCOMPARE(s.AlbumID, 3);
    QCOMPARE(s.Artist, QStringLiteral("Song Artist"));
    QCOMPARE(s.FileNumber, a.FileNumber);
    QCOMPARE(s.ReleaseDate, 70000);
    QCOMPARE(s.CategoryID, 2);
    QCOMPARE(s.Notes, a.Notes);
}

// "AutoAddToAlbums" links a song without album when OK is pressed, also when nothing was typed.
void TestSongForm::unchangedSongIsStillLinkedToItsAlbum()
{
    Env e;
    Tunedeck stored = song("Blur", "Tracy Jacks", 5);
    stored.Album = QStringLiteral("Parklife");
    QVERIFY(test::addRecord(e.db, stored));
    SongForm f(e.state, Request::Change, storedSong(e.db, 5));
    QVERIFY(f.open());
    QCOMPARE(f.save(), SongForm::Save::Closed);
    QCOMPARE(f.response(), Response::Completed);
    QVERIFY(e.script->asked().isEmpty());
    QCOMPARE(storedSong(e.db, 5).AlbumID, 1);
    Table<Album> a(e.db);
    QCOMPARE(a.records(), qint64(1));
}

// What the song keeps as its category on OK: a blank name is no category, and a number whose
// category was deleted meanwhile (shown as a blank name) is not written back as if valid.
void TestSongForm::categoryOnSave_data()
{
    QTest::addColumn<bool>("categoryExists");
    QTest::addColumn<QString>("typed"); // null: the combo was not touched
    QTest::addColumn<bool>("otherChange");
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("stored");
    QTest::newRow("dead number, nothing else changed")
        << false << QString() << false << int(Request::Change) << 0;
    QTest::newRow("dead number, title changed") << false << QString() << true << int(Request::Change) << 0;
    QTest::newRow("dead number in a copy") << false << QString() << true << int(Request::Select) << 0;
    QTest::newRow("live number kept") << true << QString() << true << int(Request::Change) << 7;
    QTest::newRow("live number kept in a copy") << true << QString() << false << int(Request::Select) << 7;
    QTest::newRow("blank name typed") << true << QStringLiteral("   ") << false << int(Request::Change) << 0;
}

void TestSongForm::categoryOnSave()
{
    QFETCH(bool, categoryExists);
    QFETCH(QString, typed);
    QFETCH(bool, otherChange);
    QFETCH(int, request);
    QFETCH(int, stored);
    Env e;
    e.state.settings.AutoAddToAlbums = QStringLiteral(" ");
    addMedia(e.db, { "CD" });
    if (categoryExists) {
        Categories c;
        c.CategoryID = 7;
        c.Category = QStringLiteral("Jazz");
        QVERIFY(test::addRecord(e.db, c));
    }
    Tunedeck s = song("A", "Title", 5);
    s.CategoryID = 7;
    QVERIFY(test::addRecord(e.db, s));
    SongForm f(e.state, Request(request), storedSong(e.db, 5));
    QVERIFY(f.open());
    QVERIFY(f.fillCategoryList());
    QCOMPARE(f.categoryName().isEmpty(), !categoryExists);
    if (!typed.isNull())
        QVERIFY(f.acceptCategory(typed));
    if (otherChange)
        f.song().Title = QStringLiteral("Other");
    QCOMPARE(f.save(), SongForm::Save::Closed);
    QCOMPARE(f.response(), Response::Completed);
    f.close();
    const qint32 id = request == int(Request::Change) ? 5 : 6;
    QCOMPARE(storedSong(e.db, id).ID, id);
    QCOMPARE(storedSong(e.db, id).CategoryID, stored);
    QVERIFY(e.script->asked().isEmpty());
}

// A save that fails half-way (the album link has added its album, then the song cannot be
// written) leaves nothing behind, and its message is shown only after the rollback.
void TestSongForm::failedSaveLeavesNothingHalfWritten_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<QList<int>>("messages");
    QTest::newRow("add") << int(Request::Insert) << QList<int> { 14 };
    QTest::newRow("change") << int(Request::Change) << QList<int> { 15, 16 };
}

void TestSongForm::failedSaveLeavesNothingHalfWritten()
{
    QFETCH(int, request);
    QFETCH(QList<int>, messages);
    Env e;
    addMedia(e.db, { "CD" });
    QVERIFY(test::addRecord(e.db, song("A", "Title", 5)));
    SongForm f(e.state, Request(request), request == int(Request::Change) ? storedSong(e.db, 5) : Tunedeck());
    QVERIFY(f.open());
    {
        test::RawFile raw(e.db.filePath(TableId::Tunedeck));
        QVERIFY(
            raw.exec("CREATE TRIGGER refuse BEFORE UPDATE ON Tunedeck BEGIN SELECT RAISE(ABORT, 'no'); END"));
    }
    f.song().Artist = QStringLiteral("Blur");
    f.song().Album = QStringLiteral("Parklife");
    Table<Album> albums(e.db);
    QList<qint64> albumsWhileShown;
    bool openWhileShown = false;
    e.script->onAsk = [&](const Message&) {
        albumsWhileShown << albums.records();
        openWhileShown = openWhileShown || e.db.inTransaction();
    };
    e.script->plan(Ok);
    e.script->plan(Cancel); // 16: stay
    QCOMPARE(f.save(), SongForm::Save::Stay);
    QCOMPARE(e.script->numbers(), messages);
    QVERIFY(!openWhileShown);
    QCOMPARE(albumsWhileShown, QList<qint64>(messages.size(), 0));
    QCOMPARE(albums.records(), qint64(0));
    QCOMPARE(f.song().AlbumID, 0); // the link went with the rollback
    QVERIFY(!e.db.inTransaction());
}

QTEST_GUILESS_MAIN(TestSongForm)
#include "tst_songform.moc"

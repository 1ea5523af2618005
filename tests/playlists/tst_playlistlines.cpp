// The lines of a playlist without windows: moves, adds under a line, deletes with renumbering,
// drops, the total time and a line whose song is gone, the swap error text, the M3U export, and
// the playlist form's save and cancel rules.

#include "PlaylistTestData.h"
#include "TestApp.h"
#include "playlists/PlaylistForm.h"
#include "playlists/PlaylistLines.h"

#include <QtTest>

using namespace td;

namespace {

using Env = test::TestApp;
using Songs = QList<qint64>;

} // namespace

class TestPlaylistLines : public QObject {
    Q_OBJECT
private slots:
    void moves_data();
    void moves();
    void addUnderSelectedLine_data();
    void addUnderSelectedLine();
    void deleteRenumbers();
    void dropsAppendEvenTwice();
    void deletedSongLine();
    void swapErrorText();
    void failedWritesChangeNothing_data();
    void failedWritesChangeNothing();
    void m3u();
    void m3uEntriesReachPlayers_data();
    void m3uEntriesReachPlayers();
    void saveRules_data();
    void saveRules();
    void cancelledNewPlaylistLeavesNothing();
};

void TestPlaylistLines::moves_data()
{
    QTest::addColumn<qint64>("seq");
    QTest::addColumn<int>("move");
    QTest::addColumn<qint64>("after");
    QTest::addColumn<Songs>("order");
    QTest::newRow("third to the top") << qint64(3) << int(LineMove::Top) << qint64(1) << Songs {3, 1, 2, 4, 5};
    QTest::newRow("second to the bottom") << qint64(2) << int(LineMove::Bottom) << qint64(5) << Songs {1, 3, 4, 5, 2};
    QTest::newRow("third up") << qint64(3) << int(LineMove::Up) << qint64(2) << Songs {1, 3, 2, 4, 5};
    QTest::newRow("third down") << qint64(3) << int(LineMove::Down) << qint64(4) << Songs {1, 2, 4, 3, 5};
    QTest::newRow("first up") << qint64(1) << int(LineMove::Up) << qint64(1) << Songs {1, 2, 3, 4, 5};
    QTest::newRow("first to the top") << qint64(1) << int(LineMove::Top) << qint64(1) << Songs {1, 2, 3, 4, 5};
    QTest::newRow("last down") << qint64(5) << int(LineMove::Down) << qint64(5) << Songs {1, 2, 3, 4, 5};
    QTest::newRow("last to the bottom") << qint64(5) << int(LineMove::Bottom) << qint64(5) << Songs {1, 2, 3, 4, 5};
}

void TestPlaylistLines::moves()
{
    QFETCH(qint64, seq);
    QFETCH(int, move);
    QFETCH(qint64, after);
    QFETCH(Songs, order);
    Env env;
    test::addPlaylistSongs(env.db, 5);
    test::addPlaylist(env.db, 1, QStringLiteral("One"), 5);
    test::addPlaylist(env.db, 2, QStringLiteral("Two"), 3);
    QCOMPARE(moveLine(env.db, 1, seq, LineMove(move)), after);
    bool consecutive = false;
    QCOMPARE(test::lineSongs(env.db, 1, &consecutive), order);
    QVERIFY(consecutive);
    // The other playlist is never touched.
    QCOMPARE(test::lineSongs(env.db, 2), (Songs {1, 2, 3}));
    QVERIFY(env.script->asked().isEmpty());
}

void TestPlaylistLines::addUnderSelectedLine_data()
{
    QTest::addColumn<qint64>("selected");
    QTest::addColumn<Songs>("order");
    QTest::newRow("under line 2") << qint64(2) << Songs {1, 2, 9, 3, 4, 5};
    QTest::newRow("under the last") << qint64(5) << Songs {1, 2, 3, 4, 5, 9};
    QTest::newRow("nothing selected") << qint64(0) << Songs {9, 1, 2, 3, 4, 5};
}

void TestPlaylistLines::addUnderSelectedLine()
{
    QFETCH(qint64, selected);
    QFETCH(Songs, order);
    Env env;
    test::addPlaylistSongs(env.db, 9);
    test::addPlaylist(env.db, 1, QStringLiteral("One"), 5);
    QVERIFY(appendLines(env.db, 1, {9}));
    QCOMPARE(lastLineNumber(env.db, 1), qint64(6));
    QCOMPARE(moveLineAfter(env.db, 1, 6, selected), qint64(order.indexOf(9) + 1));
    bool consecutive = false;
    QCOMPARE(test::lineSongs(env.db, 1, &consecutive), order);
    QVERIFY(consecutive);
}

void TestPlaylistLines::deleteRenumbers()
{
    Env env;
    test::addPlaylistSongs(env.db, 5);
    test::addPlaylist(env.db, 1, QStringLiteral("One"), 5);
    test::addPlaylist(env.db, 2, QStringLiteral("Two"), 5);
    QVERIFY(deleteLine(env.db, 1, 2));
    bool consecutive = false;
    QCOMPARE(test::lineSongs(env.db, 1, &consecutive), (Songs {1, 3, 4, 5}));
    QVERIFY(consecutive);
    QVERIFY(deleteLine(env.db, 1, 4));
    QCOMPARE(test::lineSongs(env.db, 1, &consecutive), (Songs {1, 3, 4}));
    QVERIFY(consecutive);
    QCOMPARE(test::lineSongs(env.db, 2), (Songs {1, 2, 3, 4, 5}));
    // An empty playlist takes its first line as number 1.
    for (int i = 0; i < 3; ++i)
        QVERIFY(deleteLine(env.db, 1, 1));
    QCOMPARE(lastLineNumber(env.db, 1), qint64(0));
    QVERIFY(appendLines(env.db, 1, {4}));
    QCOMPARE(test::lineSongs(env.db, 1, &consecutive), (Songs {4}));
    QVERIFY(consecutive);
}

void TestPlaylistLines::dropsAppendEvenTwice()
{
    Env env;
    test::addPlaylistSongs(env.db, 5);
    test::addPlaylist(env.db, 1, QStringLiteral("One"), 2);
    QVERIFY(appendLines(env.db, 1, {5, 3}));
    QVERIFY(appendLines(env.db, 1, {5}));
    bool consecutive = false;
    QCOMPARE(test::lineSongs(env.db, 1, &consecutive), (Songs {1, 2, 5, 3, 5}));
    QVERIFY(consecutive);
}

void TestPlaylistLines::deletedSongLine()
{
    Env env;
    test::addPlaylistSongs(env.db, 3);
    test::addPlaylist(env.db, 1, QStringLiteral("One"), 3);
    QCOMPARE(secondsFromTime(playlistTotalTime(env.db, 1)), 6);
    // Song 2 goes behind the relation's back.
    {
        TableUse use(env.db, TableId::Tunedeck);
        QCOMPARE(env.db.exec(QStringLiteral("DELETE FROM %1 WHERE ID = 2").arg(Database::sqlTable(TableId::Tunedeck))), 0);
    }
    QCOMPARE(secondsFromTime(playlistTotalTime(env.db, 1)), 4);
    int error = 1;
    QVERIFY(!songOfLine(env.db, 2, &error).found);
    QCOMPARE(error, 0);
    QVERIFY(songOfLine(env.db, 3).found);
    // A line of song number 0 names no song, even when unnumbered (imported) songs are stored.
    {
        TableUse use(env.db, TableId::Tunedeck), lineUse(env.db, TableId::PlaylistDetails);
        QCOMPARE(env.db.exec(QStringLiteral("UPDATE %1 SET ID = 0 WHERE ID = 3").arg(Database::sqlTable(TableId::Tunedeck))), 0);
        QCOMPARE(env.db.exec(QStringLiteral("UPDATE %1 SET ID = 0 WHERE ID = 3").arg(Database::sqlTable(TableId::PlaylistDetails))), 0);
    }
    QCOMPARE(secondsFromTime(playlistTotalTime(env.db, 1)), 1);
    QVERIFY(!songOfLine(env.db, 0).found);
    QString list;
    QVERIFY(playlistM3u(env.db, 1, &list));
    QCOMPARE(list.count(QStringLiteral("#EXTINF")), 1);
    {
        TableUse use(env.db, TableId::Tunedeck), lineUse(env.db, TableId::PlaylistDetails);
        QCOMPARE(env.db.exec(QStringLiteral("UPDATE %1 SET ID = 3 WHERE ID = 0").arg(Database::sqlTable(TableId::Tunedeck))), 0);
        QCOMPARE(env.db.exec(QStringLiteral("UPDATE %1 SET ID = 3 WHERE ID = 0").arg(Database::sqlTable(TableId::PlaylistDetails))), 0);
    }
    // The line can still be moved and deleted.
    QCOMPARE(moveLine(env.db, 1, 2, LineMove::Top), qint64(1));
    QVERIFY(deleteLine(env.db, 1, 1));
    QCOMPARE(test::lineSongs(env.db, 1), (Songs {1, 3}));
    // No song with a time at all: no time.
    test::addPlaylist(env.db, 2, QStringLiteral("Two"), 0);
    QCOMPARE(playlistTotalTime(env.db, 2), 0);
}

void TestPlaylistLines::swapErrorText()
{
    const Message m = swapErrorMessage(QStringLiteral("Disk full"), 7, 12, QStringLiteral("Put Swap"));
    QCOMPARE(m.caption, QStringLiteral("Error!"));
    QCOMPARE(m.displayText(),
             QStringLiteral("Record swap error: \nDisk full\nPlaylistDetails, PLA:KeyPlaylistID\n"
                            "Key Field PLA:PlaylistID = 7\nKey Field PLA:PlaylistSeq = 12\nSection = Put Swap\n"));
}

void TestPlaylistLines::failedWritesChangeNothing_data()
{
    QTest::addColumn<int>("action"); // 0 move to the top, 1 move down, 2 delete, 3 drop
    QTest::addColumn<QString>("section");
    QTest::newRow("move to the top") << 0 << QStringLiteral("Section = Put Swap Out");
    QTest::newRow("move down") << 1 << QStringLiteral("Section = Put Swap Out");
    QTest::newRow("delete") << 2 << QStringLiteral("Section = Put Upd Seq");
    QTest::newRow("drop") << 3 << QString();
}

void TestPlaylistLines::failedWritesChangeNothing()
{
    QFETCH(int, action);
    QFETCH(QString, section);
    Env env;
    test::addPlaylistSongs(env.db, 5);
    test::addPlaylist(env.db, 1, QStringLiteral("One"), 5);
    TableUse use(env.db, TableId::PlaylistDetails);
    // Every write of a line is refused from now on.
    for (const char* when : {"UPDATE", "INSERT"})
        QCOMPARE(env.db.exec(QStringLiteral("CREATE TEMP TRIGGER refuse_%1 BEFORE %1 ON %2 BEGIN "
                                            "SELECT RAISE(ABORT, 'refused'); END")
                                 .arg(QLatin1String(when), Database::sqlTable(TableId::PlaylistDetails))),
                 0);
    env.script->plan(Cancel); // the retry question of a failing add
    switch (action) {
    case 0:
        QCOMPARE(moveLine(env.db, 1, 4, LineMove::Top), qint64(-1));
        break;
    case 1:
        QCOMPARE(moveLine(env.db, 1, 2, LineMove::Down), qint64(-1));
        break;
    case 2:
        QVERIFY(!deleteLine(env.db, 1, 2));
        break;
    default:
        QVERIFY(!appendLines(env.db, 1, {1, 2}));
        break;
    }
    QVERIFY(!env.script->asked().isEmpty());
    const Message m = env.script->asked().first();
    if (!section.isEmpty()) {
        QCOMPARE(m.caption, QStringLiteral("Error!"));
        QVERIFY2(m.displayText().contains(section), qPrintable(m.displayText()));
    }
    // Rolled back whole: the delete too, when its renumbering fails.
    bool consecutive = false;
    QCOMPARE(test::lineSongs(env.db, 1, &consecutive), (Songs {1, 2, 3, 4, 5}));
    QVERIFY(consecutive);
}

void TestPlaylistLines::m3u()
{
    Env env;
    test::addPlaylistSongs(env.db, 3);
    test::addPlaylist(env.db, 1, QStringLiteral("One"), 3);
    {
        TableUse use(env.db, TableId::Tunedeck);
        QCOMPARE(env.db.exec(QStringLiteral("UPDATE %1 SET Time = 0 WHERE ID = 3").arg(Database::sqlTable(TableId::Tunedeck))), 0);
    }
    QCOMPARE(moveLine(env.db, 1, 2, LineMove::Top), qint64(1));
    QString text;
    QVERIFY(playlistM3u(env.db, 1, &text));
    QCOMPARE(text, QStringLiteral("#EXTM3U\n#EXTINF:2,Artist 2 - Song 2\nSong 2\n#EXTINF:1,Artist 1 - Song 1\nSong 1\n"
                                  "#EXTINF:-1,Artist 3 - Song 3\nSong 3\n"));
}

void TestPlaylistLines::m3uEntriesReachPlayers_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("pathLine");
    QTest::newRow("plain") << "Imagine" << "Imagine";
    QTest::newRow("hash first") << "#9 Dream" << "./#9 Dream";
    QTest::newRow("hash after blanks") << "  #1 Crush" << "./#1 Crush";
    QTest::newRow("hash inside") << "Track #2" << "Track #2";
    QTest::newRow("blank title") << "   " << "Untitled 2";
    QTest::newRow("line break") << "Two\nLines" << "Two Lines";
}

// Every song of the list reaches a player as an entry: read as a player reads the file, each
// line not beginning with "#" and not empty is one entry, in the playlist's order.
void TestPlaylistLines::m3uEntriesReachPlayers()
{
    QFETCH(QString, title);
    QFETCH(QString, pathLine);
    Env env;
    test::addPlaylistSongs(env.db, 3);
    test::addPlaylist(env.db, 1, QStringLiteral("One"), 3);
    {
        TableUse use(env.db, TableId::Tunedeck);
        Table<Tunedeck> t(env.db);
        t.rec.ID = 2;
        QCOMPARE(t.get(t.key(QStringLiteral("MUS:KeyID"))), 0);
        t.rec.Title = title;
        QCOMPARE(t.put(), 0);
    }
    QString text;
    QVERIFY(playlistM3u(env.db, 1, &text));
    QStringList entries;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            entries << line;
    QCOMPARE(entries, (QStringList { QStringLiteral("Song 1"), pathLine, QStringLiteral("Song 3") }));
}

void TestPlaylistLines::saveRules_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("message");
    QTest::newRow("new description") << QStringLiteral("Party") << true << QString();
    QTest::newRow("taken description") << QStringLiteral("Taken") << false
                                       << QStringLiteral("Adding this record creates a duplicate entry for the key:Playlists");
    QTest::newRow("taken, other case") << QStringLiteral("TAKEN ") << false
                                       << QStringLiteral("Adding this record creates a duplicate entry for the key:Playlists");
    QTest::newRow("blank") << QStringLiteral("  ") << false << blankDescriptionText();
}

void TestPlaylistLines::saveRules()
{
    QFETCH(QString, description);
    QFETCH(bool, closes);
    QFETCH(QString, message);
    for (Request request : {Request::Insert, Request::Change}) {
        Env env;
        test::addPlaylist(env.db, 1, QStringLiteral("Taken"), 0);
        test::addPlaylist(env.db, 2, QStringLiteral("Mine"), 0);
        PlaylistMaster p;
        p.PlaylistID = 2;
        PlaylistForm form(env.state, request, p);
        QVERIFY(form.open());
        QCOMPARE(form.playlist().PlaylistID, request == Request::Insert ? 3 : 2);
        form.playlist().PlaylistDescription = description;
        QCOMPARE(form.save(80000) == PlaylistForm::Save::Closed, closes);
        QCOMPARE(env.script->asked().isEmpty(), message.isEmpty());
        if (!message.isEmpty())
            QCOMPARE(env.script->asked().last().displayText(), message);
        form.close();
        Table<PlaylistMaster> t(env.db);
        t.rec.PlaylistID = form.playlist().PlaylistID;
        const bool stored = t.get(t.key(QStringLiteral("PLD:KeyPlaylistID"))) == 0;
        QCOMPARE(stored, closes || request == Request::Change);
        if (closes)
            QCOMPARE(t.rec.LastEditDate, 80000);
    }
}

void TestPlaylistLines::cancelledNewPlaylistLeavesNothing()
{
    Env env;
    test::addPlaylistSongs(env.db, 3);
    test::addPlaylist(env.db, 1, QStringLiteral("Kept"), 2);
    qint32 id = 0;
    {
        PlaylistForm form(env.state, Request::Insert, PlaylistMaster());
        QVERIFY(form.open());
        id = form.playlist().PlaylistID;
        QVERIFY(appendLines(env.db, id, {1, 2, 3}));
    } // cancelled
    QVERIFY(test::lineSongs(env.db, id).isEmpty());
    Table<PlaylistMaster> t(env.db);
    QCOMPARE(t.records(), qint64(1));
    QCOMPARE(test::lineSongs(env.db, 1), (Songs {1, 2}));
    // A change with nothing changed keeps the last edit date.
    PlaylistMaster p;
    p.PlaylistID = 1;
    PlaylistForm form(env.state, Request::Change, p);
    QVERIFY(form.open());
    QVERIFY(form.save(90000) == PlaylistForm::Save::Closed);
    form.close();
    t.rec.PlaylistID = 1;
    QCOMPARE(t.get(t.key(QStringLiteral("PLD:KeyPlaylistID"))), 0);
    QCOMPARE(t.rec.LastEditDate, 0);
}

QTEST_GUILESS_MAIN(TestPlaylistLines)
#include "tst_playlistlines.moc"

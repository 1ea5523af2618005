// The playlist generator's draw rules with a scripted random source, and the weekly chart marks.

#include "PlaylistFixture.h"

#include "core/DayTime.h"
#include "data/RecordServices.h"
#include "playlists/WeeklyChart.h"

#include <QTest>

using namespace td;
using namespace td::test;

namespace {
const int kToday = dayFromYmd(2026, 6, 15);
}

class TestPlaylistGen : public QObject {
    Q_OBJECT
private slots:
    void repeatsSongsWhenAskedForMoreThanExist();
    void categoryWithoutSongsGivesEmptyPlaylistAfterAllAttempts();
    void namingSkipsTakenNumbersAndNames();
    void filters_data();
    void filters();
    void additionWeightingDrawsFromHalfOfTheFile();
    void missingOrUnnumberedSongSkipsTheAttempt();
    void refusals();
    void chartNotes_data();
    void chartNotes();
    void chartRunMarksEveryLineInOrder();
};

void TestPlaylistGen::repeatsSongsWhenAskedForMoreThanExist()
{
    PlaylistDb t;
    for (int i = 0; i < 5; ++i)
        t.addSong();
    SeededRandom random(7);
    const GenerateResult r = generatePlaylist(t.db, { 10, 0, 0, {}, {} }, random, kToday);
    QCOMPARE(r.outcome, GenerateResult::Generated);
    QCOMPARE(r.description, QStringLiteral("Play List #1"));
    QCOMPARE(r.placed, 10);
    const QList<PlaylistDetails> lines = t.lines(r.playlistId);
    QCOMPARE(lines.size(), 10);
    for (int i = 0; i < lines.size(); ++i) {
        QCOMPARE(lines[i].PlaylistSeq, qint64(i + 1));
        QVERIFY(lines[i].ID >= 1 && lines[i].ID <= 5);
    }
    Table<PlaylistMaster> m(t.db);
    m.rec.PlaylistID = r.playlistId;
    QCOMPARE(m.get(m.key(QStringLiteral("PLD:KeyPlaylistID"))), 0);
    QCOMPARE(m.rec.LastEditDate, kToday);
}

void TestPlaylistGen::categoryWithoutSongsGivesEmptyPlaylistAfterAllAttempts()
{
    PlaylistDb t;
    t.addCategory(1, QStringLiteral("Rock"));
    t.addCategory(2, QStringLiteral("Jazz"));
    for (int i = 0; i < 3; ++i)
        t.addSong(0, 1);
    SeededRandom random(1);
    const GenerateResult r = generatePlaylist(t.db, { 20, 0, 0, QStringLiteral("Jazz"), {} }, random, kToday);
    QCOMPARE(r.outcome, GenerateResult::Generated);
    QCOMPARE(r.attempts, kMostAttempts);
    QCOMPARE(r.placed, 0);
    QVERIFY(t.lines(r.playlistId).isEmpty());
    QVERIFY(r.playlistId > 0);

    // Size 0 writes the playlist and draws nothing.
    const GenerateResult none = generatePlaylist(t.db, { 0, 0, 0, {}, {} }, random, kToday);
    QCOMPARE(none.outcome, GenerateResult::Generated);
    QCOMPARE(none.attempts, 0);
    QCOMPARE(none.playlistId, r.playlistId + 1);
}

void TestPlaylistGen::namingSkipsTakenNumbersAndNames()
{
    PlaylistDb t;
    t.addSong();
    QCOMPARE(t.addPlaylist(1, QStringLiteral("Party")), 0);
    QCOMPARE(t.addPlaylist(2, QStringLiteral("Play List #3")), 0);
    QCOMPARE(t.addPlaylist(5, QStringLiteral("play list #6")), 0); // names match without regard to case
    QString name;
    QCOMPARE(nextGeneratedPlaylist(t.db, &name), 7);
    QCOMPARE(name, QStringLiteral("Play List #7"));

    PlaylistDb u;
    u.addSong();
    u.addPlaylist(2, QStringLiteral("Play List #3"));
    ScriptedRandom random;
    const GenerateResult r = generatePlaylist(u.db, { 1, 0, 0, {}, {} }, random, kToday);
    QCOMPARE(r.playlistId, 4);
    QCOMPARE(r.description, QStringLiteral("Play List #4"));
}

void TestPlaylistGen::filters_data()
{
    QTest::addColumn<qint32>("release");
    QTest::addColumn<qint32>("start");
    QTest::addColumn<qint32>("end");
    QTest::addColumn<QString>("weighting");
    QTest::addColumn<qint64>("coin");       // the release weighting's draw: 1 applies it
    QTest::addColumn<bool>("placed");

    const qint32 jan1990 = dayFromYmd(1990, 1, 1);
    const qint32 dec1999 = dayFromYmd(1999, 12, 31);
    QTest::newRow("year falls before any starting date") << 1995 << jan1990 << 0 << QString() << qint64(2) << false;
    QTest::newRow("year passes an ending date") << 1995 << 0 << jan1990 << QString() << qint64(2) << true;
    QTest::newRow("date inside both bounds") << dayFromYmd(1995, 3, 1) << jan1990 << dec1999 << QString() << qint64(2) << true;
    QTest::newRow("date on the starting bound") << jan1990 << jan1990 << 0 << QString() << qint64(2) << true;
    QTest::newRow("date after the ending bound") << dayFromYmd(2000, 1, 1) << 0 << dec1999 << QString() << qint64(2) << false;
    QTest::newRow("no release is before a starting date") << 0 << jan1990 << 0 << QString() << qint64(2) << false;

    const QString recent = QStringLiteral("Recent Release");
    const QString older = QStringLiteral("Older Release");
    QTest::newRow("recent: last year rejected when weighed") << 2025 << 0 << 0 << recent << qint64(1) << false;
    QTest::newRow("recent: last year kept when not weighed") << 2025 << 0 << 0 << recent << qint64(2) << true;
    QTest::newRow("recent: this year kept") << 2026 << 0 << 0 << recent << qint64(1) << true;
    QTest::newRow("recent: 90 days ago kept") << kToday - 90 << 0 << 0 << recent << qint64(1) << true;
    QTest::newRow("recent: 91 days ago rejected") << kToday - 91 << 0 << 0 << recent << qint64(1) << false;
    QTest::newRow("recent: no release never weighed") << 0 << 0 << 0 << recent << qint64(1) << true;
    QTest::newRow("older: 90 days ago rejected") << kToday - 90 << 0 << 0 << older << qint64(1) << false;
    QTest::newRow("older: 91 days ago kept") << kToday - 91 << 0 << 0 << older << qint64(1) << true;
    QTest::newRow("older: this year rejected") << 2026 << 0 << 0 << older << qint64(1) << false;
    QTest::newRow("older: last year kept") << 2025 << 0 << 0 << older << qint64(1) << true;
}

void TestPlaylistGen::filters()
{
    QFETCH(qint32, release);
    QFETCH(qint32, start);
    QFETCH(qint32, end);
    QFETCH(QString, weighting);
    QFETCH(qint64, coin);
    QFETCH(bool, placed);

    PlaylistDb t;
    t.addSong(release);
    ScriptedRandom random;
    random.plan = { 1, coin };
    const GenerateResult r = generatePlaylist(t.db, { 1, start, end, {}, weighting }, random, kToday);
    QCOMPARE(r.outcome, GenerateResult::Generated);
    // A rejected song is drawn again (weighed every time from then on) until the attempts run out.
    QCOMPARE(r.placed, placed ? 1 : 0);
    QCOMPARE(r.attempts, placed ? 1 : kMostAttempts);
}

void TestPlaylistGen::additionWeightingDrawsFromHalfOfTheFile()
{
    struct Case {
        const char* weighting;
        QList<QPair<qint64, qint64>> ranges;
    };
    const QList<Case> cases {
        { "Recent Addition", { { 1, 11 }, { 1, 2 }, { 5, 11 }, { 1, 11 }, { 1, 2 } } },
        { "Older Addition", { { 1, 11 }, { 1, 2 }, { 1, 5 }, { 1, 11 }, { 1, 2 } } },
        { "No Weighting", { { 1, 11 }, { 1, 11 } } },
    };
    for (const Case& c : cases) {
        PlaylistDb t;
        for (int i = 0; i < 11; ++i)
            t.addSong();
        ScriptedRandom random;
        random.plan = { 3, 1, 9, 4, 2 }; // weighed draw of 9, then an unweighed draw of 4
        const GenerateResult r = generatePlaylist(t.db, { 2, 0, 0, {}, QLatin1String(c.weighting) }, random, kToday);
        QCOMPARE(random.asked, c.ranges);
        const QList<PlaylistDetails> lines = t.lines(r.playlistId);
        QCOMPARE(lines.size(), 2);
        if (QLatin1String(c.weighting) == QLatin1String("No Weighting")) {
            QCOMPARE(lines[0].ID, qint64(3));
            QCOMPARE(lines[1].ID, qint64(1));
        } else {
            QCOMPARE(lines[0].ID, qint64(c.ranges[2].first == 5 ? 9 : 5));
            QCOMPARE(lines[1].ID, qint64(4));
        }
    }
}

void TestPlaylistGen::missingOrUnnumberedSongSkipsTheAttempt()
{
    PlaylistDb t;
    for (int i = 0; i < 3; ++i)
        t.addSong();
    Table<Tunedeck> songs(t.db);
    QCOMPARE(songs.fetch(2), 0);
    QCOMPARE(songs.del(), 0);
    // An imported song has no song number until the link test gives it one: no line can name it.
    QCOMPARE(songs.fetch(1), 0);
    songs.rec.ID = 0;
    QCOMPARE(songs.put(), 0);
    ScriptedRandom random;
    random.plan = { 2, 1, 3 };
    const GenerateResult r = generatePlaylist(t.db, { 1, 0, 0, {}, {} }, random, kToday);
    QCOMPARE(r.attempts, 3);
    QCOMPARE(t.lines(r.playlistId).size(), 1);
    QCOMPARE(t.lines(r.playlistId).value(0).ID, qint64(3)); // the highest record is within reach
}

void TestPlaylistGen::refusals()
{
    PlaylistDb empty;
    ScriptedRandom random;
    QCOMPARE(generatePlaylist(empty.db, { 5, 0, 0, {}, {} }, random, kToday).outcome, GenerateResult::NoSongs);
    QCOMPARE(empty.script->asked().size(), 1);
    QCOMPARE(empty.script->asked().first().text, QStringLiteral("There are no songs to select from"));
    QCOMPARE(empty.script->asked().first().caption, QStringLiteral("Error"));

    PlaylistDb t;
    t.addSong();
    const GenerateResult r = generatePlaylist(t.db, { 5, 0, 0, QStringLiteral("Gone"), {} }, random, kToday);
    QCOMPARE(r.outcome, GenerateResult::NoCategory);
    QCOMPARE(nextNumber(t.db, TableId::PlaylistMaster), 1); // nothing written

    // A line left behind under the new playlist's number blocks the first line: reported after
    // the playlist is stored, and the run goes on.
    PlaylistDb o;
    o.addSong();
    QCOMPARE(o.addLine(1, 1, 7), 0);
    o.script->onAsk = [&](const Message&) { QVERIFY(!o.db.inTransaction()); };
    const GenerateResult g = generatePlaylist(o.db, { 2, 0, 0, {}, {} }, random, kToday);
    QCOMPARE(g.outcome, GenerateResult::Generated);
    QCOMPARE(g.placed, 2);
    QCOMPARE(o.script->asked().size(), 1);
    const Message m = o.script->asked().first();
    QCOMPARE(m.caption, QStringLiteral("Error"));
    QVERIFY2(m.text.startsWith(QStringLiteral("There was an error (40 - ")), qPrintable(m.text));
    QVERIFY(m.text.endsWith(QStringLiteral(") adding to the Play List Details file")));
    QCOMPARE(o.lines(1).size(), 2);
}

void TestPlaylistGen::chartNotes_data()
{
    QTest::addColumn<QString>("notes");
    QTest::addColumn<qint64>("position");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blank notes") << QString() << qint64(1) << QStringLiteral("LW:1");
    QTest::newRow("old mark replaced") << QStringLiteral("New entry LW:15") << qint64(12) << QStringLiteral("New entry LW:12");
    QTest::newRow("mark alone replaced") << QStringLiteral("LW:7") << qint64(3) << QStringLiteral("LW:3");
    QTest::newRow("three-digit mark replaced") << QStringLiteral("Hit LW:100") << qint64(101) << QStringLiteral("Hit LW:101");
    QTest::newRow("text after the mark kept") << QStringLiteral("a LW:2 b") << qint64(4) << QStringLiteral("a  b LW:4");
    const QString full(40, QLatin1Char('x'));
    QTest::newRow("full notes give way") << full << qint64(12) << QString(34, QLatin1Char('x')) + QStringLiteral(" LW:12");
    QTest::newRow("full notes with mark") << QString(33, QLatin1Char('y')) + QStringLiteral(" LW:99") << qint64(100)
                                          << QString(33, QLatin1Char('y')) + QStringLiteral(" LW:100");
}

void TestPlaylistGen::chartNotes()
{
    QFETCH(QString, notes);
    QFETCH(qint64, position);
    QFETCH(QString, expected);
    const QString got = td::chartNotes(notes, position);
    QCOMPARE(got, expected);
    QVERIFY(got.size() <= 40);
}

void TestPlaylistGen::chartRunMarksEveryLineInOrder()
{
    PlaylistDb t;
    t.addPlaylist(1, QStringLiteral("Chart"));
    t.addPlaylist(2, QStringLiteral("Other"));
    for (int i = 1; i <= 60; ++i)
        t.addLine(1, i, 1, i == 2 ? QStringLiteral("Up LW:9") : QString());
    t.addLine(2, 1, 1, QStringLiteral("untouched"));
    for (int pass = 0; pass < 2; ++pass) { // a second run replaces the marks
        auto run = std::make_shared<ChartRun>(t.db, 1);
        QVERIFY(run->start());
        QVERIFY(run->step(25));
        QCOMPARE(run->percent(), 50);
        while (run->step(25)) {
        }
        run->finish();
        QCOMPARE(run->linesDone(), 60);
        QCOMPARE(run->percent(), 100);
        QVERIFY(!run->failed());
    }
    const QList<PlaylistDetails> lines = t.lines(1);
    QCOMPARE(lines[0].PlaylistNotes, QStringLiteral("LW:1"));
    QCOMPARE(lines[1].PlaylistNotes, QStringLiteral("Up LW:2"));
    QCOMPARE(lines[59].PlaylistNotes, QStringLiteral("LW:60"));
    QCOMPARE(t.lines(2).first().PlaylistNotes, QStringLiteral("untouched"));
    QVERIFY(t.script->asked().isEmpty());
}

QTEST_GUILESS_MAIN(TestPlaylistGen)
#include "tst_playlistgen.moc"

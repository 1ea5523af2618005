// The housekeeping entries as the Preferences window starts them: the song dates and then the album
// dates, each in its progress window (none after the song pass was cancelled), and the link test
// telling its counts once it has ended.

#include "TestApp.h"
#include "albums/ui/Housekeeping.h"
#include "common/ui/ProgressWindow.h"
#include "core/DayTime.h"
#include "data/TableHandle.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

using namespace td;

namespace {

struct Catalogue : test::TestApp {
    qint32 songDate = dayFromYmd(1997, 12, 31);
    qint32 albumDate = dayFromYmd(1965, 6, 1);
    Catalogue()
    {
        Table<Album> a(db);
        a.rec.AlbumID = 1;
        a.rec.Artist = QStringLiteral("Blur");
        a.rec.Album = QStringLiteral("Parklife");
        a.rec.ReleaseDate = albumDate;
        a.add();
        Table<Tunedeck> s(db);
        s.rec.ID = 0; // imported without a number
        s.rec.Artist = QStringLiteral("Blur");
        s.rec.Album = QStringLiteral("Parklife");
        s.rec.ReleaseDate = songDate;
        s.add();
    }
    Tunedeck song()
    {
        Table<Tunedeck> s(db);
        s.set(-1);
        s.next();
        return s.rec;
    }
    qint32 albumReleaseDate()
    {
        Table<Album> a(db);
        a.set(-1);
        a.next();
        return a.rec.ReleaseDate;
    }
};

ProgressWindow* openProgressWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<ProgressWindow*>(w); p && p->isVisible() && !p->isFinished())
            return p;
    return nullptr;
}

} // namespace

class TestHousekeepingRuns : public QObject {
    Q_OBJECT
private slots:
    void datesSongsThenAlbums_data();
    void datesSongsThenAlbums();
    void linkTestTellsItsCounts();
};

void TestHousekeepingRuns::datesSongsThenAlbums_data()
{
    QTest::addColumn<bool>("cancelSongs");
    QTest::newRow("to the end") << false;
    QTest::newRow("songs cancelled") << true;
}

void TestHousekeepingRuns::datesSongsThenAlbums()
{
    QFETCH(bool, cancelSongs);
    Catalogue c;
    QWidget caller;
    caller.show();
    bool done = false;
    QStringList tasks;
    runConvertDatesToYears(c.state, &caller, [&] { done = true; });
    ProgressWindow* songs = openProgressWindow();
    QVERIFY(songs);
    QCOMPARE(songs->windowTitle(), QStringLiteral("Processing Records"));
    QCOMPARE(songs->statusText(), QStringLiteral("0% Completed"));
    tasks << songs->taskText();
    QVERIFY(!caller.isEnabled());
    if (cancelSongs)
        songs->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
    else
        QTRY_VERIFY((openProgressWindow() && openProgressWindow() != songs) || done);
    if (ProgressWindow* albums = openProgressWindow(); albums && albums != songs)
        tasks << albums->taskText();
    QTRY_VERIFY(done);
    QVERIFY(caller.isEnabled());
    if (cancelSongs) {
        QCOMPARE(tasks, QStringList { QStringLiteral("Converting Song Dates") });
        QCOMPARE(c.song().ReleaseDate, c.songDate);
        QCOMPARE(c.albumReleaseDate(), c.albumDate);
    } else {
        QCOMPARE(tasks,
            (QStringList {
                QStringLiteral("Converting Song Dates"), QStringLiteral("Converting Album Dates") }));
        QCOMPARE(c.song().ReleaseDate, 1997);
        QCOMPARE(c.albumReleaseDate(), 1965);
    }
    QVERIFY(c.script->asked().isEmpty());
}

void TestHousekeepingRuns::linkTestTellsItsCounts()
{
    Catalogue c;
    QWidget caller;
    caller.show();
    bool done = false;
    runTestAlbumIDs(c.state, &caller, [&] { done = true; });
    QVERIFY(openProgressWindow());
    QCOMPARE(openProgressWindow()->taskText(), QStringLiteral("Testing Link Integrity"));
    QTRY_VERIFY(done);
    QCOMPARE(c.script->captions(), QStringList { QStringLiteral("Housekeeping") });
    QCOMPARE(c.script->asked().first().text,
        QStringLiteral("Album database link test finished.||Songs linked to another album: 1|"
                       "Songs whose album was not found: 0|Songs given a song number: 1"));
    QCOMPARE(c.song().AlbumID, 1);
    QCOMPARE(c.song().ID, 2); // the highest number (none) plus two
}

QTEST_MAIN(TestHousekeepingRuns)
#include "tst_housekeepingruns.moc"

// The main frame driven headless: opening steps, menu and tool bar, splash and the start-up lists,
// the legacy move on a new directory, a damaged song file, and the remembered position.

#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "app/MainFrame.h"
#include "app/Resources.h"
#include "app/TunedeckApplication.h"
#include "common/AppState.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "data/Database.h"
#include "data/TableHandle.h"
#include "setup/GlobalSettings.h"
#include "setup/StartupSteps.h"

#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QSignalSpy>
#include <QToolBar>
#include <QtTest>

using namespace td;

namespace {

// One program run: database, messages, state and frame in a test workspace.
struct Run {
    Messages messages;
    std::shared_ptr<test::ScriptedMessages> script = test::installScripted(messages);
    Database db{messages};
    AppState state{db, messages};
    MainFrame frame{state};
};

void addSongs(int n)
{
    Messages m;
    test::installScripted(m);
    Database db(m);
    Table<Tunedeck> t(db);
    for (int i = 1; i <= n; ++i) {
        t.clear();
        t.rec.ID = i;
        t.rec.Artist = "Artist";
        t.rec.Album = "Album";
        t.rec.Title = QStringLiteral("Song %1").arg(i);
        QCOMPARE(t.add(), 0);
    }
}

QStringList menuTexts(QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            out << a->text();
    return out;
}

QMenu* topMenu(QMainWindow& w, const QString& title)
{
    for (QAction* a : w.menuBar()->actions())
        if (a->text() == title)
            return a->menu();
    return nullptr;
}

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void createsTenFilesAndDefaultMedia();
    void menuAndToolBar();
    void hintsInStatusBar();
    void versionAndMovedProgram();
    void albumCopyQuestion_data();
    void albumCopyQuestion();
    void startupListsInOrder();
    void setupCommandAfterSplash_data();
    void setupCommandAfterSplash();
    void legacyMoveOnNewDirectory();
    void damagedSongFileEndsCleanly();
    void positionRememberedAndTablesReleased();
    // Last: the end tells every event loop of the process to quit, later ones included.
    void endInsideANestedLoopLeavesIt();
    void programEndsWithCodeOne_data();
    void programEndsWithCodeOne();
};

void TestMainFrame::createsTenFilesAndDefaultMedia()
{
    test::TempWorkspace ws;
    {
        Run run;
        run.frame.open();
        for (const char* f : {"tdpdata", "TDPCAT", "tdpalbum", "tdpmedia", "tdpplist", "tdppldet", "tdplabel",
                              "tdpfont", "TDPAdWiz", "tdpro"})
            QVERIFY2(QFile::exists(ws.file(QString::fromLatin1(f) + ".db")), f);
        Table<Media> m(run.db);
        QCOMPARE(m.records(), 12);
        QVERIFY(run.script->asked().isEmpty());
        run.frame.close();
    }
    {   // a second start leaves the names alone
        Run run;
        Table<Media> m(run.db);
        m.set(-1);
        QCOMPARE(m.next(), 0);
        QCOMPARE(run.frame.state().db.useCount(TableId::Media), 1);
        QCOMPARE(m.del(), 0);
        run.frame.open();
        QCOMPARE(m.records(), 11);
        run.frame.close();
    }
}

void TestMainFrame::menuAndToolBar()
{
    test::TempWorkspace ws;
    Run run;
    run.frame.open();
    QMainWindow& w = run.frame;
    QCOMPARE(w.windowTitle(), QStringLiteral("Tunedeck Pro 97"));
    QStringList tops;
    for (QAction* a : w.menuBar()->actions())
        tops << a->text();
    QCOMPARE(tops, (QStringList{"&File", "&Edit", "&Browse", "&Reports", "&Window", "&Help"}));
    QCOMPARE(menuTexts(topMenu(w, "&File")),
             (QStringList{"&Print Setup ...", "Pre&ferences", "&Import", "&Export", "&CD Player", "E&xit"}));
    QCOMPARE(menuTexts(topMenu(w, "&Edit")), (QStringList{"Cu&t", "&Copy", "&Paste"}));
    QCOMPARE(menuTexts(topMenu(w, "&Browse")), (QStringList{"&Albums", "&Songs", "&Wizards", "&Labels", "&Play Lists",
                                                             "&Categories", "&Media Formats"}));
    QCOMPARE(menuTexts(topMenu(w, "&Reports")),
             (QStringList{"&Songs", "&Albums", "Paper S&avers", "&Labels", "&Playlists", "DJ Log"}));
    QCOMPARE(menuTexts(topMenu(w, "&Window")), (QStringList{"T&ile", "&Cascade", "&Arrange Icons"}));
    QCOMPARE(menuTexts(topMenu(w, "&Help")),
             (QStringList{"&Contents", "&Search for Help On...", "&How to Use Help", "&About"}));

    QToolBar* bar = w.findChild<QToolBar*>("toolbar");
    QVERIFY(bar);
    QStringList buttons;
    for (QAction* a : bar->actions())
        if (!a->isSeparator() && !a->text().isEmpty())
            buttons << a->text();
    QCOMPARE(buttons, (QStringList{"Albums", "Songs", "Labels", "Playlists", "Play CD"}));
    QVERIFY(run.frame.logoControl());
    QVERIFY(!run.frame.logoControl()->pixmap().isNull());

    // Windows that are not part of the program yet are disabled; the frame's own work is not.
    QVERIFY(!run.frame.action(FrameAction::BrowseSongs)->isEnabled());
    QVERIFY(run.frame.action(FrameAction::Exit)->isEnabled());
    QVERIFY(run.frame.action(FrameAction::WindowTile)->isEnabled());
    // A window handed in later enables its item and its button, which start the same action.
    int started = 0;
    run.frame.setActionHandler(FrameAction::BrowseSongs, [&] { ++started; });
    QAction* songsButton = bar->findChild<QAction*>("toolSongs");
    QVERIFY(songsButton && songsButton->isEnabled());
    songsButton->trigger();
    run.frame.action(FrameAction::BrowseSongs)->trigger();
    QCOMPARE(started, 2);
    run.frame.close();
}

void TestMainFrame::hintsInStatusBar()
{
    test::TempWorkspace ws;
    Run run;
    const struct {
        FrameAction id;
        const char* hint;
    } hints[] = {
        {FrameAction::PrintSetup, "Setup printer"},
        {FrameAction::Import, "Import from a comma-delimited file"},
        {FrameAction::BrowseSongs, "Browse Tune Deck Database"},
        {FrameAction::BrowseMedia, "Browse Media Formats"},
        {FrameAction::ReportSongsByBpm, "Songs by Beats Per Minute"},
        {FrameAction::ReportCdBinderPages, "Print 4 per page CD listings"},
        {FrameAction::ReportDjLog, "Log ordered by Artist and Title"},
        {FrameAction::WindowArrangeIcons, "Align all window icons"},
        {FrameAction::HelpAbout, "Help About This Program"},
        {FrameAction::Paste, "Paste contents of Windows Clipboard"},
    };
    for (const auto& h : hints)
        QCOMPARE(run.frame.action(h.id)->statusTip(), QString::fromLatin1(h.hint));
}

void TestMainFrame::versionAndMovedProgram()
{
    test::TempWorkspace ws;
    ini::writeString(settingsIniPath(), "Global Settings", "Version", "1.7");
    Run run;
    run.frame.open();
    QCOMPARE(ini::readString(settingsIniPath(), "Global Settings", "Version"), QStringLiteral("1.8c"));
    QCOMPARE(run.state.versionCaption, QStringLiteral("Version 1.8c"));
    QCOMPARE(ini::readString(winIniPath(), "Upgrades", "TDP"), QDir::toNativeSeparators(ws.path()));
    run.frame.close();
}

void TestMainFrame::albumCopyQuestion_data()
{
    QTest::addColumn<int>("songs");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("albums");
    QTest::newRow("no songs") << 0 << int(Yes) << false << 0;
    QTest::newRow("songs, No") << 3 << int(No) << true << 0;
    QTest::newRow("songs, Yes") << 3 << int(Yes) << true << 1;
}

void TestMainFrame::albumCopyQuestion()
{
    QFETCH(int, songs);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(int, albums);
    test::TempWorkspace ws;
    addSongs(songs);
    SaveSetting(settingsIniPath(), "AutoAddToAlbums", "");
    for (int start = 0; start < 2; ++start) {   // asked at every start until there is an album
        Run run;
        run.script->plan(answer);
        run.frame.open();
        const bool wasAsked = run.script->captions().contains("Album Database Empty");
        QCOMPARE(wasAsked, asked && (start == 0 || albums == 0));
        if (wasAsked) {
            const Message& m = run.script->asked().first();
            QCOMPARE(m.text, QStringLiteral("Do you want to copy your album information from the general music "
                                            "database into the album database? (Recommended)"));
            QCOMPARE(m.buttons, int(Yes | No));
        }
        QCOMPARE(Table<Album>(run.db).records(), albums);
        run.frame.close();
    }
    QCOMPARE(ini::readString(settingsIniPath(), "Settings", "AutoAddToAlbums"),
             albums ? QStringLiteral("1") : QString());
}

void TestMainFrame::startupListsInOrder()
{
    test::TempWorkspace ws;
    for (const char* k : {"SU_Labels", "SU_Playlists", "SU_Albums", "SU_Songs"})
        SaveSetting(settingsIniPath(), k, "1");
    SaveSetting(settingsIniPath(), "SetupWizardComplete", "1");
    Run run;
    run.frame.setSplashDuration(20);
    QList<FrameAction> started;
    connect(&run.frame, &MainFrame::actionStarted, this, [&](FrameAction id) { started << id; });
    QSignalSpy splashClosed(&run.frame, &MainFrame::splashClosed);
    run.frame.open();
    run.frame.show();
    QTRY_VERIFY(run.frame.splash() != nullptr || splashClosed.count() == 1);
    QTRY_COMPARE(splashClosed.count(), 1);
    QTRY_COMPARE(started.size(), 4);
    QCOMPARE(started, (QList<FrameAction>{FrameAction::BrowseSongs, FrameAction::BrowseAlbums,
                                          FrameAction::BrowsePlaylists, FrameAction::BrowseLabels}));
    run.frame.close();
}

// While the setup wizard has never been completed, the Setup command (which then shows the wizard)
// runs after the splash, before the start-up lists; once completed it does not.
void TestMainFrame::setupCommandAfterSplash_data()
{
    QTest::addColumn<QString>("complete");
    QTest::addColumn<QList<FrameAction>>("expected");
    QTest::newRow("never completed")
        << QString() << QList<FrameAction>{FrameAction::Preferences, FrameAction::BrowseSongs};
    QTest::newRow("completed") << QStringLiteral("1") << QList<FrameAction>{FrameAction::BrowseSongs};
}

void TestMainFrame::setupCommandAfterSplash()
{
    QFETCH(QString, complete);
    QFETCH(QList<FrameAction>, expected);
    test::TempWorkspace ws;
    SaveSetting(settingsIniPath(), "SetupWizardComplete", complete);
    SaveSetting(settingsIniPath(), "SU_Songs", "1");
    Run run;
    run.frame.setSplashDuration(20);
    int setupRuns = 0;
    run.frame.setActionHandler(FrameAction::Preferences, [&] { ++setupRuns; });
    QList<FrameAction> started;
    connect(&run.frame, &MainFrame::actionStarted, this, [&](FrameAction id) { started << id; });
    QSignalSpy splashClosed(&run.frame, &MainFrame::splashClosed);
    run.frame.open();
    run.frame.show();
    QTRY_COMPARE(splashClosed.count(), 1);
    QTRY_COMPARE(started, expected);
    QCOMPARE(setupRuns, int(expected.size()) - 1);
    run.frame.close();
}

void TestMainFrame::legacyMoveOnNewDirectory()
{
    test::TempWorkspace ws;
    {
        Messages m;
        test::installScripted(m);
        Database db(m);
        Table<OldTunedeck> old(db);
        for (int i = 0; i < 5; ++i) {
            old.clear();
            old.rec.Title = QStringLiteral("Old %1").arg(i);
            QCOMPARE(old.add(), 0);
        }
    }
    ini::writeString(winIniPath(), "Upgrades", "TDP", "/somewhere/else");
    SaveSetting(settingsIniPath(), "SetupWizardComplete", "1");
    Run run;
    run.script->plan(No);   // the album-copy question, should it come
    run.frame.open();
    run.frame.show();
    QTRY_COMPARE(Table<Tunedeck>(run.db).records(), 5);
    QTRY_COMPARE(Table<OldTunedeck>(run.db).records(), 0);
    run.frame.close();
}

// The end reached inside an event loop (a nested one, before the main loop runs) leaves that loop
// with exit code 1 instead of carrying on.
void TestMainFrame::endInsideANestedLoopLeavesIt()
{
    test::TempWorkspace ws;
    {
        QFile f(ws.file("tdpalbum.db"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    Run run;
    leaveEventLoopsOnEnd(run.db);
    bool opened = true;
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] { opened = run.frame.open(); });
    QTimer::singleShot(10000, &loop, [&] { loop.exit(7); });
    QCOMPARE(loop.exec(), 1);
    QVERIFY(!opened);
    QCOMPARE(run.db.endText(), QStringLiteral("Disk Error"));
    QCOMPARE(run.script->numbers(), QList<int>{30});
}

// The program as main runs it: a damaged file found while opening ends it with exit code 1 before
// the main loop; one found while the main loop runs leaves the loop and closes the frame.
void TestMainFrame::programEndsWithCodeOne_data()
{
    QTest::addColumn<QString>("damaged");
    QTest::newRow("while opening") << "tdpdata.db";
    QTest::newRow("while running") << "tdpfont.db";
}

void TestMainFrame::programEndsWithCodeOne()
{
    QFETCH(QString, damaged);
    test::TempWorkspace ws;
    {
        Run made;
        QVERIFY(made.frame.open()); // every file made, then one of them damaged
    }
    {
        QFile f(ws.file(damaged));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, 'x'));
    }
    Run run;
    bool shown = false;
    QTimer::singleShot(0, &run.frame, [&] {
        shown = run.frame.isVisible();
        run.db.useTable(TableId::Fonts); // a window opening the fonts
    });
    QTimer::singleShot(10000, &run.frame, [] { QCoreApplication::exit(7); });
    QCOMPARE(runMainFrame(run.frame, run.db), 1);
    QCOMPARE(run.db.endText(), QStringLiteral("Disk Error"));
    QCOMPARE(run.script->numbers(), QList<int>{30});
    QVERIFY(!run.frame.isVisible());
    // Ended while opening: the main loop never ran, so the frame was never shown.
    QCOMPARE(shown, damaged == QLatin1String("tdpfont.db"));
}

void TestMainFrame::damagedSongFileEndsCleanly()
{
    test::TempWorkspace ws;
    QByteArray junk;
    for (int i = 0; i < 8192; ++i)
        junk.append(char((i * 7919) & 0xff));
    {
        QFile f(ws.file("tdpdata.db"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    Run run;
    QVERIFY(!run.frame.open());
    QCOMPARE(run.db.endText(), QStringLiteral("Disk Error"));
    QVERIFY(!run.frame.isVisible());
    // No later step ran: the empty media table did not get its default names, nothing is held.
    QCOMPARE(run.db.useCount(TableId::Album), 0);
    QCOMPARE(run.db.useCount(TableId::Media), 0);
    {
        Messages m;
        Database other(m);
        QCOMPARE(Table<Media>(other).records(), 0);
    }
    QVERIFY(run.script->numbers().contains(30));
    QCOMPARE(run.script->asked().last().caption, QStringLiteral("File Access Error"));
    QVERIFY(run.script->asked().last().text.startsWith("File (tdpdata"));
    QFile f(ws.file("tdpdata.db"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), junk);   // untouched
}

void TestMainFrame::positionRememberedAndTablesReleased()
{
    test::TempWorkspace ws;
    SaveSetting(settingsIniPath(), "SetupWizardComplete", "1");
    {
        Run run;
        run.frame.open();
        QCOMPARE(run.db.useCount(TableId::Album), 1);
        QCOMPARE(run.db.useCount(TableId::Media), 1);
        QCOMPARE(run.db.useCount(TableId::Tunedeck), 1);
        run.frame.setGeometry(120, 90, 700, 500);
        run.frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.frame));
        run.frame.close();
        QCOMPARE(run.db.useCount(TableId::Album), 0);
        QCOMPARE(run.db.useCount(TableId::Tunedeck), 0);
    }
    QCOMPARE(ini::readString(positionIniPath(), "Main", "Maximize"), QStringLiteral("No"));
    QVERIFY(ini::readInt(positionIniPath(), "Main", "Width", 0) > 0);
    const int x = ini::readInt(positionIniPath(), "Main", "XPosit", 0);
    Run again;
    again.frame.open();
    QCOMPARE(again.frame.normalGeometry().x(), x);
    again.frame.close();
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"

// The main frame driven headless: opening steps, menu and tool bar, splash and the start-up lists,
// the legacy move on a new directory, a damaged song file, and the remembered position.

#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "TestApp.h"
#include "app/FrameWiring.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/Resources.h"
#include "app/TunedeckApplication.h"
#include "common/AppState.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "data/Database.h"
#include "data/TableHandle.h"
#include "common/GlobalSettings.h"
#include "setup/StartupSteps.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageLayout>
#include <QPushButton>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QScrollBar>
#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextBrowser>
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
    QueryWizardTexts queryTexts = test::standardQueryTexts();
    std::unique_ptr<CdAudioDevice> cd = test::emptyCdDevice();
    AppState state{db, messages, queryTexts, *cd};
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
    void startupListsInOrder_data();
    void startupListsInOrder();
    void setupCommandAfterSplash_data();
    void setupCommandAfterSplash();
    void legacyMoveOnNewDirectory();
    void damagedSongFileEndsCleanly();
    void positionRememberedAndTablesReleased();
    void helpShownInItsOwnWindow_data();
    void helpShownInItsOwnWindow();
    void helpLinksLeadSomewhere();
    void printSetupKeepsOnePrinter_data();
    void printSetupKeepsOnePrinter();
    void sessionEndSavesAndCloses();
    void everyButtonInsideTheArea_data();
    void everyButtonInsideTheArea();
    void mnemonicsUnique_data();
    void mnemonicsUnique();
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
             (QStringList{"&Songs", "&Albums", "Paper Sa&vers", "&Labels", "&Playlists", "&DJ Log"}));
    QCOMPARE(menuTexts(topMenu(w, "&Window")), (QStringList{"T&ile", "&Cascade", "&Arrange Icons"}));
    QCOMPARE(menuTexts(topMenu(w, "&Help")),
             (QStringList{"&Contents", "&Search for Help On...", "&How to Use Help", "&About"}));

    QToolBar* bar = w.findChild<QToolBar*>("toolbar");
    QVERIFY(bar);
    QStringList buttons;
    for (QAction* a : bar->actions())
        if (!a->isSeparator() && !a->text().isEmpty())
            buttons << a->text();
    QCOMPARE(buttons, (QStringList { "Albums", "Songs", "Labels", "Playlists", "Play CD", "History" }));
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
        // The copy runs in its own window; the frame waits for it, disabled.
        QTRY_VERIFY(run.frame.isEnabled());
        QTRY_COMPARE(Table<Album>(run.db).records(), albums);
        run.frame.close();
    }
    QCOMPARE(ini::readString(settingsIniPath(), "Settings", "AutoAddToAlbums"),
             albums ? QStringLiteral("1") : QString());
}

// Also after a close in the maximised state: the frame then comes back maximised, and it must not
// be on screen before it counts as opened (the splash and the lists would never come).
void TestMainFrame::startupListsInOrder_data()
{
    QTest::addColumn<QString>("maximize");
    QTest::newRow("normal") << "No";
    QTest::newRow("closed maximised") << "Yes";
}

void TestMainFrame::startupListsInOrder()
{
    QFETCH(QString, maximize);
    test::TempWorkspace ws;
    const QStringList place {"XPosit", "40", "YPosit", "30", "Width", "800", "Height", "600", "Maximize", maximize};
    for (int i = 0; i < place.size(); i += 2)
        ini::writeString(positionIniPath(), "Main", place.at(i), place.at(i + 1));
    for (const char* k : {"SU_Labels", "SU_Playlists", "SU_Albums", "SU_Songs"})
        SaveSetting(settingsIniPath(), k, "1");
    SaveSetting(settingsIniPath(), "SetupWizardComplete", "1");
    Run run;
    run.frame.setSplashDuration(20);
    QList<FrameAction> started;
    connect(&run.frame, &MainFrame::actionStarted, this, [&](FrameAction id) { started << id; });
    QSignalSpy splashClosed(&run.frame, &MainFrame::splashClosed);
    run.frame.open();
    QVERIFY(!run.frame.isVisible());
    run.frame.show();
    QCOMPARE(run.frame.isMaximized(), maximize == QLatin1String("Yes"));
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

// Help works on a machine without a web browser: a window of our own, opened at the section of the
// menu item, one window however often it is asked for, its place remembered.
void TestMainFrame::helpShownInItsOwnWindow_data()
{
    QTest::addColumn<FrameAction>("item");
    QTest::addColumn<QString>("section");
    QTest::newRow("contents") << FrameAction::HelpContents << "contents";
    QTest::newRow("search") << FrameAction::HelpSearch << "index";
    QTest::newRow("how to") << FrameAction::HelpHowTo << "using-help";
}

void TestMainFrame::helpShownInItsOwnWindow()
{
    QFETCH(FrameAction, item);
    QFETCH(QString, section);
    test::TempWorkspace ws;
    SaveSetting(settingsIniPath(), "SetupWizardComplete", "1");
    {
        Run run;
        run.frame.open();
        run.frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.frame));
        for (int twice = 0; twice < 2; ++twice)
            run.frame.action(item)->trigger();
        QVERIFY(run.script->asked().isEmpty());
        QCOMPARE(run.frame.mdiArea()->subWindowList().size(), 1);
        HelpWindow* help = run.frame.helpWindow();
        QVERIFY(help);
        QTextBrowser* page = help->browser();
        QCOMPARE(page->source().fragment(), section);
        // Nothing to go back to at first (not the page as first loaded); a link followed, Back
        // returns to the section.
        QVERIFY(!page->isBackwardAvailable());
        page->setSource(QUrl(QStringLiteral("#files")));
        QCOMPARE(page->source().fragment(), QStringLiteral("files"));
        QVERIFY(page->isBackwardAvailable());
        page->backward();
        QCOMPARE(page->source().fragment(), section);
        QVERIFY(page->document()->toPlainText().contains("How to use help"));
        // The section's heading at the top of the page (or the page at its end).
        int top = -1;
        for (QTextBlock b = page->document()->begin(); b.isValid() && top < 0; b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().anchorNames().contains(section))
                    top = int(page->document()->documentLayout()->blockBoundingRect(b).top());
        QVERIFY(top >= 0);
        QScrollBar* scroll = page->verticalScrollBar();
        QTRY_VERIFY(qAbs(scroll->value() - qMin(top, scroll->maximum())) <= page->fontMetrics().height());
        run.frame.mdiArea()->subWindowList().first()->setGeometry(30, 20, 620, 410);
        run.frame.mdiArea()->closeAllSubWindows();
        QTRY_VERIFY(!run.frame.helpWindow());
        run.frame.close();
    }
    QCOMPARE(ini::readInt(positionIniPath(), "Help", "Width", 0), 620);
    Run again;
    again.frame.open();
    again.frame.show();
    again.frame.action(FrameAction::HelpContents)->trigger();
    QVERIFY(again.frame.helpWindow());
    QTRY_COMPARE(again.frame.mdiArea()->subWindowList().first()->geometry(), QRect(30, 20, 620, 410));
    again.frame.close();
}

// Every link of the help page leads to a place in it.
void TestMainFrame::helpLinksLeadSomewhere()
{
    HelpWindow help;
    QTextDocument* doc = help.browser()->document();
    QSet<QString> anchors;
    QStringList links;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            for (const QString& name : f.anchorNames())
                anchors.insert(name);
            if (f.isAnchor() && !f.anchorHref().isEmpty())
                links << f.anchorHref();
        }
    QVERIFY(links.size() >= 5);
    for (const QString& link : links) {
        QVERIFY2(link.startsWith('#'), qPrintable(link));
        QVERIFY2(anchors.contains(link.mid(1)), qPrintable(link));
    }
    for (const char* section : {"contents", "index", "using-help"})
        QVERIFY(anchors.contains(QString::fromLatin1(section)));
}

// Print Setup edits the program's one printer, and a confirmed choice comes back at the next
// start; values that do not read leave the system's default.
void TestMainFrame::printSetupKeepsOnePrinter_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<QPageSize::PageSizeId>("expectedPaper");
    QTest::addColumn<QPageLayout::Orientation>("expectedOrientation");
    QTest::newRow("A5 landscape") << "A5" << "Landscape" << QPageSize::A5 << QPageLayout::Landscape;
    QTest::newRow("letter portrait") << "Letter" << "Portrait" << QPageSize::Letter << QPageLayout::Portrait;
    QTest::newRow("nonsense") << "Z99" << "Sideways" << QPrinter().pageLayout().pageSize().id()
                              << QPrinter().pageLayout().orientation();
}

void TestMainFrame::printSetupKeepsOnePrinter()
{
    QFETCH(QString, paper);
    QFETCH(QString, orientation);
    QFETCH(QPageSize::PageSizeId, expectedPaper);
    QFETCH(QPageLayout::Orientation, expectedOrientation);
    test::TempWorkspace ws;
    SaveSetting(settingsIniPath(), "SetupWizardComplete", "1");
    ini::writeString(settingsIniPath(), "Printer", "Paper", paper);
    ini::writeString(settingsIniPath(), "Printer", "Orientation", orientation);
    {
        Run run;
        run.frame.open();
        QPrinter& printer = run.frame.printer().printer();
        QCOMPARE(printer.pageLayout().pageSize().id(), expectedPaper);
        QCOMPARE(printer.pageLayout().orientation(), expectedOrientation);
        // The dialog works on that printer; what it is left with is kept when confirmed.
        printer.setPageSize(QPageSize(QPageSize::B5));
        printer.setPageOrientation(QPageLayout::Landscape);
        run.frame.action(FrameAction::PrintSetup)->trigger();
        run.frame.action(FrameAction::PrintSetup)->trigger(); // the same dialog again, not a second
        const auto dialogs = run.frame.findChildren<QPrintDialog*>();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs.first()->printer(), &printer);
        QVERIFY(!dialogs.first()->isModal());
        QCOMPARE(ini::readString(settingsIniPath(), "Printer", "Paper"), paper); // nothing before OK
        dialogs.first()->accept();
        run.frame.close();
    }
    QCOMPARE(ini::readString(settingsIniPath(), "Printer", "Paper"), QPageSize::key(QPageSize::B5));
    QCOMPARE(ini::readString(settingsIniPath(), "Printer", "Orientation"), QStringLiteral("Landscape"));
    Run again;
    again.frame.open();
    QCOMPARE(again.frame.printer().printer().pageLayout().pageSize().id(), QPageSize::B5);
    QCOMPARE(again.frame.printer().printer().pageLayout().orientation(), QPageLayout::Landscape);
    again.frame.close();
}

// The desktop asks the program to save its work before the session ends: every window saves its
// place and closes, the frame last, the tables are released.
void TestMainFrame::sessionEndSavesAndCloses()
{
    test::TempWorkspace ws;
    SaveSetting(settingsIniPath(), "SetupWizardComplete", "1");
    Run run;
    run.frame.open();
    run.frame.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&run.frame));
    run.frame.action(FrameAction::HelpContents)->trigger();
    QVERIFY(run.frame.helpWindow());
    run.frame.endSession();
    QVERIFY(!run.frame.isVisible());
    QVERIFY(run.frame.mdiArea()->subWindowList().isEmpty());
    QCOMPARE(ini::readString(positionIniPath(), "Main", "Maximize"), QStringLiteral("Yes"));
    QVERIFY(ini::readInt(positionIniPath(), "Help", "Width", 0) > 0);
    QCOMPARE(run.db.useCount(TableId::Tunedeck), 0);
}

// The lists open, and Tile arranges them, so that every button is inside the frame's area and no
// window is smaller than its controls need; a place remembered off the area or too small is
// corrected.
void TestMainFrame::everyButtonInsideTheArea_data()
{
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<bool>("tile");
    QTest::newRow("roomy, as opened") << QSize(1240, 860) << false;
    QTest::newRow("roomy, tiled") << QSize(1240, 860) << true;
    QTest::newRow("small, as opened") << QSize(760, 560) << false;
    QTest::newRow("small, tiled") << QSize(760, 560) << true;
}

void TestMainFrame::everyButtonInsideTheArea()
{
    QFETCH(QSize, frameSize);
    QFETCH(bool, tile);
    test::TempWorkspace ws;
    SaveSetting(settingsIniPath(), "SetupWizardComplete", "1");
    // Remembered: the media list far off to the bottom right, the categories tiny.
    const QStringList places {"BrowseMedia", "2000", "1500", "300", "200", "BrowseCategories", "10", "10", "40", "30"};
    for (int i = 0; i < places.size(); i += 5)
        for (int k = 0; k < 4; ++k)
            ini::writeString(positionIniPath(), places.at(i), QStringList {"XPosit", "YPosit", "Width", "Height"}.at(k),
                             places.at(i + 1 + k));
    Run run;
    wireFrame(run.frame, run.state);
    run.frame.open();
    run.frame.resize(frameSize);
    run.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&run.frame));
    for (FrameAction a : {FrameAction::BrowseSongs, FrameAction::BrowseCategories, FrameAction::BrowseMedia,
                          FrameAction::BrowseAlbums, FrameAction::HelpContents})
        run.frame.action(a)->trigger();
    QMdiArea* mdi = run.frame.mdiArea();
    QCOMPARE(mdi->subWindowList().size(), 5);
    if (tile)
        run.frame.action(FrameAction::WindowTile)->trigger();
    QApplication::processEvents();
    const QRect area(QPoint(0, 0), mdi->viewport()->size());
    for (QMdiSubWindow* sub : mdi->subWindowList()) {
        const QString name = sub->widget()->objectName();
        QVERIFY2(sub->width() >= sub->minimumSizeHint().width() && sub->height() >= sub->minimumSizeHint().height(),
                 qPrintable(name));
        for (QPushButton* b : sub->findChildren<QPushButton*>()) {
            if (!b->isVisibleTo(sub))
                continue;
            const QRect r(b->mapTo(mdi->viewport(), QPoint(0, 0)), b->size());
            QVERIFY2(area.contains(r), qPrintable(QStringLiteral("%1: %2 at %3,%4 %5x%6 outside %7x%8")
                                                      .arg(name, b->text())
                                                      .arg(r.x())
                                                      .arg(r.y())
                                                      .arg(r.width())
                                                      .arg(r.height())
                                                      .arg(area.width())
                                                      .arg(area.height())));
            QVERIFY2(b->width() >= b->minimumWidth(), qPrintable(name + ": " + b->text()));
            const QString text = QString(b->text()).remove('&');
            QVERIFY2(b->width() > b->fontMetrics().horizontalAdvance(text), qPrintable(name + ": " + b->text()));
        }
    }
    mdi->closeAllSubWindows();
    run.frame.close();
}

namespace {

// The letter after a single "&" (lower case), or a null character.
QChar mnemonicOf(const QString& text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != '&')
            continue;
        if (text.at(i + 1) == '&') {
            ++i;
            continue;
        }
        return text.at(i + 1).toLower();
    }
    return {};
}

// Texts that share a mnemonic within one group, and texts without one.
QStringList mnemonicFaults(const QStringList& texts)
{
    QStringList faults;
    QHash<QChar, QString> seen;
    for (const QString& t : texts) {
        const QChar m = mnemonicOf(t);
        if (m.isNull())
            faults << QStringLiteral("no mnemonic: ") + t;
        else if (seen.contains(m))
            faults << seen.value(m) + QStringLiteral(" / ") + t;
        else
            seen.insert(m, t);
    }
    return faults;
}

void collectMenuFaults(QMenu* menu, QStringList& faults)
{
    faults << mnemonicFaults(menuTexts(menu));
    for (QAction* a : menu->actions())
        if (a->menu())
            collectMenuFaults(a->menu(), faults);
}

} // namespace

// Every menu and every window of the frame reachable from the keyboard: each item and control
// with a mnemonic of its own within its menu or window.
void TestMainFrame::mnemonicsUnique_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("menus") << "menus";
    QTest::newRow("help window") << "help";
}

void TestMainFrame::mnemonicsUnique()
{
    QFETCH(QString, where);
    test::TempWorkspace ws;
    Run run;
    QStringList faults;
    if (where == "menus") {
        QStringList tops;
        for (QAction* a : run.frame.menuBar()->actions()) {
            tops << a->text();
            collectMenuFaults(a->menu(), faults);
        }
        faults << mnemonicFaults(tops);
    } else {
        HelpWindow help;
        QStringList texts;
        for (QAbstractButton* b : help.findChildren<QAbstractButton*>())
            texts << b->text();
        for (QLabel* l : help.findChildren<QLabel*>())
            if (l->buddy())
                texts << l->text();
        QVERIFY(texts.size() >= 5);
        faults << mnemonicFaults(texts);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"

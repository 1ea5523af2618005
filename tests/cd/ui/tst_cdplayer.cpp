// The CD player window against the virtual drive: a drive it cannot have, a catalogued disc shown
// with its songs and followed as it plays, the offer to add an unknown disc and the wizard it hands
// over to (the device closed meanwhile and opened again, or the window closing when it cannot be),
// and what closing leaves behind. The list as an explorer list: ordered by a header click with the
// playing song kept selected, reformatted and reopened so; the frame's browse tool bar moving it.

#include "../CdTestUtil.h"
#include "FormDriver.h"
#include "app/FrameWiring.h"
#include "app/MainFrame.h"
#include "ScriptedMessages.h"
#include "TestApp.h"
#include "cd/CdPlayer.h"
#include "cd/DiscIdentifier.h"
#include "cd/SendMciCommand.h"
#include "cd/ui/IntegratedCDPlayer.h"
#include "common/PagedList.h"
#include "common/ui/BrowseList.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "data/TableHandle.h"
#include "explorer/ui/ExplorerListView.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace td;
using td::test::writeText;

namespace {

const QString kKnownDisc = QStringLiteral("1 3 60000 150 20000 40000\n");
const QString kUnknownDisc = QStringLiteral("1 2 30000 150 15000\n");

// One program run whose drive is a .toc file in the workspace.
struct Run : test::TestDb {
    QString toc = ws.path() + QStringLiteral("/drive.toc");
    QueryWizardTexts queryTexts = test::standardQueryTexts();
    test::VirtualCd cd { toc };
    AppState state { db, messages, queryTexts, cd.device };
    QPointer<IntegratedCDPlayerWindow> window;

    ~Run()
    {
        delete window;
        // Forms closed by the test go before the catalogue they use.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void insert(const QString& disc) { QVERIFY(writeText(toc, disc)); }
    IntegratedCDPlayerWindow* open()
    {
        window = qobject_cast<IntegratedCDPlayerWindow*>(createIntegratedCDPlayer(state));
        if (window)
            window->show();
        return window;
    }
    QString label(const QString& name) const { return window->findChild<QLabel*>(name)->text(); }
    void press(const QString& name) { window->findChild<QPushButton*>(name)->click(); }
    // Files the disc now in the drive as an album with one song per track.
    void catalogue(const QString& name, int tracks, int songCount = 0)
    {
        if (songCount == 0)
            songCount = tracks;
        CdAudioClient c(cd.device);
        c.send(QStringLiteral("open cdaudio shareable"));
        c.send(QStringLiteral("set cdaudio time format tmsf"));
        Table<Album> albums(db);
        albums.rec.AlbumID = 7;
        albums.rec.Album = name;
        albums.rec.CDIdentifier = BuildDiscIdentifier(c, tracks);
        QCOMPARE(albums.add(), 0);
        Table<Tunedeck> songs(db);
        for (int t = 1; t <= songCount; ++t) {
            songs.rec = Tunedeck();
            songs.rec.ID = 100 + t;
            songs.rec.AlbumID = 7;
            songs.rec.TrackNumber = t;
            songs.rec.Title = QStringLiteral("Song %1").arg(t);
            QCOMPARE(songs.add(), 0);
        }
    }
    int highlightedTrack() const
    {
        const PageRow* h = window->list()->list().highlighted();
        const int field = tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("TrackNumber"));
        return h ? h->row.value(field).toInt() : -1;
    }
};

} // namespace

class TestCdPlayer : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { test::dropFormWatchers(); }
    void driveUnavailable();
    void catalogueDisc();
    void keys();
    void listAndForms();
    void offer_data();
    void offer();
    void deviceLostAfterAdding();
    void closing();
    void fromTheFrame();
    void explorerList();
    void browseToolBar();
};

void TestCdPlayer::driveUnavailable()
{
    Run r;
    r.insert(kKnownDisc);
    CdAudioClient other(r.cd.device);
    QCOMPARE(other.send(QStringLiteral("open cdaudio")).code, 0); // held unshared
    r.script->plan(Ok);
    QVERIFY(!r.open());
    QCOMPARE(r.script->asked().size(), 1);
    QCOMPARE(r.script->asked().at(0).caption, QStringLiteral("Error"));
    QCOMPARE(r.script->asked().at(0).text,
        QStringLiteral("CD player not available.  Ensure that no other program is using the CD-ROM drive."));
    QCOMPARE(r.cd.device.openCount(), 1);
}

void TestCdPlayer::catalogueDisc()
{
    Run r;
    r.insert(kKnownDisc);
    r.catalogue(QStringLiteral("Blue Train"), 3);
    QVERIFY(QFile::remove(r.toc));
    QVERIFY(r.open());
    QCOMPARE(r.label("DeviceLabel"), QStringLiteral("(shared mode)"));
    QCOMPARE(r.window->timer()->interval(), 1500);

    r.window->tick();
    QCOMPARE(r.window->windowTitle(), QStringLiteral("CD Player"));
    QCOMPARE(r.label("Mode"), QStringLiteral("open"));
    QVERIFY(r.window->list()->list().isEmpty());
    QVERIFY(!r.window->findChild<QPushButton*>("EditAlbum")->isEnabled());

    r.insert(kKnownDisc);
    r.window->tick();
    QCOMPARE(r.label("EventLabel"), QStringLiteral("Init"));
    QCOMPARE(r.window->windowTitle(), QStringLiteral("CD Player - Blue Train"));
    QCOMPARE(r.label("TracksOnCD"), QStringLiteral("3"));
    QCOMPARE(r.label("CDLength"), QStringLiteral("13:18"));
    QCOMPARE(r.window->list()->view()->model()->rowCount(), 3);
    QVERIFY(r.window->findChild<QPushButton*>("EditAlbum")->isEnabled());
    QVERIFY(r.script->asked().isEmpty());

    // Next plays track 2; the poll follows it and selects its row.
    r.press("Next");
    r.cd.clock->advance(12000);
    r.window->tick();
    QCOMPARE(r.label("Mode"), QStringLiteral("playing"));
    QCOMPARE(r.label("EventLabel"), QStringLiteral("Sync"));
    QCOMPARE(r.label("Track"), QStringLiteral("2"));
    QCOMPARE(r.label("TrackLength"), QStringLiteral("4:26"));
    QCOMPARE(r.label("TrackPosition"), QStringLiteral("0:12"));
    QCOMPARE(r.highlightedTrack(), 2);

    // Pause, then Pause again: paused, then playing on.
    r.press("Pause");
    r.window->tick();
    QCOMPARE(r.label("Mode"), QStringLiteral("paused"));
    r.press("Pause");
    r.window->tick();
    QCOMPARE(r.label("Mode"), QStringLiteral("playing"));

    // "Do Not Check": the displays stand still, the buttons still work.
    r.state.settings.CDTimer = 0;
    r.press("Stop");
    r.window->tick();
    QCOMPARE(r.label("Mode"), QStringLiteral("playing"));
    QCOMPARE(SendMciCommand(r.window->player().client(), QString(), true), QStringLiteral("stopped"));
}

void TestCdPlayer::keys()
{
    Run r;
    r.insert(kKnownDisc);
    QVERIFY(r.open());
    QCOMPARE(test::duplicateMnemonics(r.window), QStringList());
    for (const char* name : { "Previous", "Next", "Back", "Forward", "Play", "Stop", "Pause", "Close",
             "EditSong", "EditAlbum", "Set", "FormatBrowseBox" }) {
        auto* b = r.window->findChild<QPushButton*>(name);
        QVERIFY2(b && b->isVisible() && b->width() >= b->sizeHint().width() - 1, name);
    }
}

void TestCdPlayer::listAndForms()
{
    Run r;
    r.insert(kKnownDisc);
    r.catalogue(QStringLiteral("Blue Train"), 3, 12);
    QVERIFY(r.open());
    r.window->tick();
    QCOMPARE(r.highlightedTrack(), 1);

    // Typing a digit: the next row when the selected track begins with it, else the first track
    // at or after it.
    QTableView* view = r.window->list()->view();
    const struct {
        char key;
        int track;
    } typed[] = { { '9', 9 }, { '1', 1 }, { '1', 2 }, { '1', 1 }, { '2', 2 } };
    for (const auto& t : typed) {
        QTest::keyClick(view, t.key);
        QCOMPARE(r.highlightedTrack(), t.track);
    }

    // Enter plays the selected row's track.
    QTest::keyClick(view, Qt::Key_Return);
    r.cd.clock->advance(1000);
    r.window->tick();
    QCOMPARE(r.label("Mode"), QStringLiteral("playing"));
    QCOMPARE(r.label("Track"), QStringLiteral("2"));

    // A click in the middle of the bar plays from the middle of the track.
    auto* bar = r.window->findChild<QWidget*>("Progress");
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
    r.window->tick();
    const CdPlayer& p = r.window->player();
    QVERIFY2(qAbs(p.positionInTrack() - p.trackLength() / 2) <= p.trackLength() / 50,
        qPrintable(QString::number(p.positionInTrack())));
    QCOMPARE(p.currentTrack(), 2);

    // The forms: the selected song, the album, the preferences.
    const struct {
        const char* button;
        const char* form;
    } forms[] = { { "EditSong", "UpdateSongsForAlbum" }, { "EditAlbum", "UpdateAlbums" }, { "Set", "CDSetup" } };
    for (const auto& f : forms) {
        r.press(f.button);
        QDialog* d = nullptr;
        QTRY_VERIFY2((d = test::shownDialog(f.form)), f.form);
        if (QByteArray(f.form) == "UpdateSongsForAlbum")
            QCOMPARE(d->findChild<QLineEdit*>("Title")->text().trimmed(), QStringLiteral("Song 2"));
        QVERIFY(!r.window->isEnabled());
        d->reject();
        QTRY_VERIFY(r.window->isEnabled());
    }
}

void TestCdPlayer::offer_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("compilation");
    QTest::addColumn<QString>("wizard"); // empty: none opens
    QTest::newRow("declined") << int(No) << false << "";
    QTest::newRow("single artist") << int(Yes) << false << "AddSingleArtist";
    QTest::newRow("compilation") << int(Yes) << true << "AddCompilation";
}

void TestCdPlayer::offer()
{
    QFETCH(int, answer);
    QFETCH(bool, compilation);
    QFETCH(QString, wizard);
    Run r;
    r.state.settings.DefaultWizardCompilation = compilation;
    r.insert(kUnknownDisc);
    QVERIFY(r.open());
    r.script->plan(answer);
    r.window->tick();
    QTRY_COMPARE(r.script->asked().size(), 1);
    const Message asked = r.script->asked().at(0);
    QCOMPARE(asked.caption, QStringLiteral("New CD Found"));
    QCOMPARE(asked.text, QStringLiteral("Add this CD to the database"));
    QCOMPARE(asked.buttons, Yes | No);
    QCOMPARE(asked.defaultButton, int(Yes));

    if (wizard.isEmpty()) {
        QCOMPARE(r.label("DeviceLabel"), QStringLiteral("(no detection)"));
        r.window->tick();
        r.window->tick();
        QTest::qWait(20);
        QCOMPARE(r.script->asked().size(), 1);
        return;
    }
    QDialog* shown = nullptr;
    QTRY_VERIFY((shown = test::shownDialog(wizard)));
    QCOMPARE(r.label("DeviceLabel"), QStringLiteral("(closed)"));
    QVERIFY(!r.window->player().deviceOpen());
    r.window->tick(); // nothing is asked of a device the player has closed
    QCOMPARE(r.label("DeviceLabel"), QStringLiteral("(closed)"));
    shown->reject();
    QTRY_COMPARE(r.label("DeviceLabel"), QStringLiteral("(shared mode)"));
    QVERIFY(r.window->player().deviceOpen());
    QVERIFY(!r.state.startedFromCdPlayer);
}

void TestCdPlayer::deviceLostAfterAdding()
{
    Run r;
    r.insert(kUnknownDisc);
    QVERIFY(r.open());
    r.script->plan(Yes);
    r.window->tick();
    QDialog* shown = nullptr;
    QTRY_VERIFY((shown = test::shownDialog("AddSingleArtist")));
    QTest::qWait(20); // the wizard's own reading of the disc
    CdAudioClient other(r.cd.device);
    QCOMPARE(other.send(QStringLiteral("open cdaudio")).code, 0);
    r.script->plan(Ok);
    shown->reject();
    QTRY_VERIFY(r.window.isNull() || !r.window->isVisible());
    QCOMPARE(r.script->asked().last().caption, QStringLiteral("Error"));
    QCOMPARE(r.script->asked().last().displayText(),
        QStringLiteral("CD player not available.\nYou may need to eject and re-insert the CD."));
}

void TestCdPlayer::closing()
{
    Run r;
    r.insert(kKnownDisc);
    QVERIFY(r.open());
    // A second player is a client of its own: each closes only its own use of the device.
    QPointer<QWidget> second = createIntegratedCDPlayer(r.state);
    QVERIFY(second);
    QCOMPARE(r.cd.device.openCount(), 2);
    second->close();
    QTRY_VERIFY(second.isNull());
    QCOMPARE(r.cd.device.openCount(), 1);
    r.window->tick();
    QCOMPARE(r.label("Mode"), QStringLiteral("stopped"));
    r.window->close();
    QTRY_VERIFY(r.window.isNull());
    QCOMPARE(r.cd.device.openCount(), 0);
    const QString format
        = ini::readString(positionIniPath(), "IntegratedCDPlayer", "XploreOrigFormatString-?List");
    QVERIFY(format.contains(QStringLiteral("~Track~")));
    QVERIFY(format.contains(QStringLiteral("~Release~")));
    QVERIFY(ini::readString(positionIniPath(), "IntegratedCDPlayer", "Width").toInt() > 0);
}

void TestCdPlayer::fromTheFrame()
{
    Run r;
    r.insert(kKnownDisc);
    {
        MainFrame frame(r.state);
        wireFrame(frame, r.state);
        QAction* start = frame.action(FrameAction::CdPlayer);
        QVERIFY(start->isEnabled());
        start->trigger();
        start->trigger();
        int players = 0;
        for (QMdiSubWindow* w : frame.mdiArea()->subWindowList())
            players += w->widget() && w->widget()->objectName() == QStringLiteral("IntegratedCDPlayer");
        QCOMPARE(players, 2);
        QCOMPARE(r.cd.device.openCount(), 2);
        frame.mdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(r.cd.device.openCount(), 0);
    }

    // Without a drive the frame is left as it was.
    CdAudioClient other(r.cd.device);
    other.send(QStringLiteral("open cdaudio"));
    MainFrame frame(r.state);
    wireFrame(frame, r.state);
    r.script->plan(Ok);
    frame.action(FrameAction::CdPlayer)->trigger();
    QCOMPARE(r.script->asked().size(), 1);
    QVERIFY(frame.mdiArea()->subWindowList().isEmpty());
}

void TestCdPlayer::explorerList()
{
    Run r;
    r.state.settings.DateFormat = QStringLiteral("d6");
    r.insert(kKnownDisc);
    r.catalogue(QStringLiteral("Blue Train"), 3);
    Table<Tunedeck> loose(r.db); // a song filed under no album is not on any disc
    loose.rec.ID = 99;
    loose.rec.Title = QStringLiteral("Loose");
    QCOMPARE(loose.add(), 0);
    QVERIFY(r.open());
    ExplorerListView* list = r.window->list();
    QVERIFY(list->list().isEmpty());
    QCOMPARE(list->shown().at(4).format.picture, QStringLiteral("@d6"));
    auto headers = [](ExplorerListView* l) {
        QStringList out;
        for (int i = 0; i < l->shown().size(); ++i)
            out << l->headerText(i);
        return out;
    };
    auto selectedRow = [list] {
        const QModelIndexList rows = list->view()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    };

    r.window->tick();
    r.press("Play");
    r.cd.clock->advance(1000);
    r.window->tick();
    QCOMPARE(list->list().rowCount(), 3);
    QCOMPARE(r.highlightedTrack(), 1);

    // Title twice: the album's songs backwards by title, the playing song still selected where it
    // now stands, and the next track followed there.
    list->headerClicked(2);
    list->headerClicked(2);
    QCOMPARE(headers(list), (QStringList{"Track", "Time", "<Title", "Artist", "Release"}));
    QCOMPARE(list->view()->model()->index(0, 2).data().toString(), QStringLiteral("Song 3"));
    QCOMPARE(r.highlightedTrack(), 1);
    QCOMPARE(selectedRow(), 2);
    r.press("Next");
    r.cd.clock->advance(1000);
    r.window->tick();
    QCOMPARE(r.highlightedTrack(), 2);
    QCOMPARE(selectedRow(), 1);
    // Typing finds the track wherever the order puts it; its own digit again goes one row down.
    QTest::keyClick(list->view(), '3');
    QCOMPARE(r.highlightedTrack(), 3);
    QTest::keyClick(list->view(), '3');
    QCOMPARE(r.highlightedTrack(), 2);

    // "Format &BrowseBox": a column hidden shows at once, the selection stays.
    r.press("FormatBrowseBox");
    QDialog* d = test::shownDialog(QStringLiteral("XploreFormatBrowseBox"));
    QVERIFY(d);
    QVERIFY(!r.window->isEnabled());
    d->findChild<QListWidget*>(QStringLiteral("ShownColumns"))->setCurrentRow(3);
    for (const QString& text : { QStringLiteral("Hide column from display list"), QStringLiteral("&Close") })
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == text)
                b->click();
    QTRY_VERIFY(r.window->isEnabled());
    QCOMPARE(headers(list), (QStringList{"Track", "Time", "<Title", "Release"}));
    QCOMPARE(r.highlightedTrack(), 2);
    QCOMPARE(selectedRow(), 1);

    r.window->close();
    QTRY_VERIFY(r.window.isNull());
    const QString section = QStringLiteral("IntegratedCDPlayer");
    QCOMPARE(ini::readString(positionIniPath(), section, "XploreOrigFormatString-?List"),
        explorerDesignedFormat(ExplorerKind::CdTracks));
    const QString kept = ini::readString(positionIniPath(), section, "XploreFormatString-?List");
    QVERIFY2(!kept.contains(QStringLiteral("Artist")) && !kept.contains(QStringLiteral("<")), qPrintable(kept));
    QVERIFY(r.open());
    QCOMPARE(headers(r.window->list()), (QStringList{"Track", "Time", "Title", "Release"}));
}

void TestCdPlayer::browseToolBar()
{
    Run r;
    r.insert(kKnownDisc);
    r.catalogue(QStringLiteral("Blue Train"), 3);
    MainFrame frame(r.state);
    wireFrame(frame, r.state);
    QMdiArea* mdi = frame.mdiArea();
    auto* next = frame.findChild<QAction*>(QStringLiteral("browseNextRecord"));
    QVERIFY(next);
    QCOMPARE(next->toolTip(), QStringLiteral("Next record"));
    QVERIFY(!next->isEnabled());

    frame.action(FrameAction::CdPlayer)->trigger();
    frame.action(FrameAction::BrowseSongs)->trigger();
    frame.action(FrameAction::HelpContents)->trigger();
    QMdiSubWindow* player = nullptr;
    QMdiSubWindow* songs = nullptr;
    QMdiSubWindow* help = nullptr;
    for (QMdiSubWindow* w : mdi->subWindowList()) {
        if (w->widget()->objectName() == QStringLiteral("IntegratedCDPlayer"))
            player = w;
        else if (w->widget()->findChild<BrowseList*>())
            songs = w;
        else
            help = w;
    }
    QVERIFY(player && songs && help);
    r.window = qobject_cast<IntegratedCDPlayerWindow*>(player->widget());
    r.window->tick();
    PagedList& songList = songs->widget()->findChild<BrowseList*>()->list();
    QCOMPARE(songList.highlight(), 0);
    QCOMPARE(r.highlightedTrack(), 1);

    // The list window activated last is moved; a window without a list leaves it the target.
    const struct {
        QMdiSubWindow* activate;
        int songRow;
        int track;
    } steps[] = { { songs, 1, 1 }, { player, 1, 2 }, { help, 1, 3 }, { songs, 2, 3 } };
    for (const auto& s : steps) {
        mdi->setActiveSubWindow(s.activate);
        QTRY_VERIFY(next->isEnabled());
        next->trigger();
        QCOMPARE(songList.highlight(), s.songRow);
        QCOMPARE(r.highlightedTrack(), s.track);
    }
    // Its keys work from any window of the frame.
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    mdi->setActiveSubWindow(help);
    QVERIFY(QApplication::focusWidget() && help->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home, Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(songList.highlight(), 0);
    QCOMPARE(r.highlightedTrack(), 3);

    mdi->closeAllSubWindows();
    QTRY_VERIFY(!next->isEnabled());
}

QTEST_MAIN(TestCdPlayer)
#include "tst_cdplayer.moc"

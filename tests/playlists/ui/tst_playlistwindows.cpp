// The playlist windows as a user drives them: the list with its caption, typed locator and menu;
// the playlist form adding a line through the song picker under the selected line, moving it,
// taking a drop of several songs, and OK; Cancel on a new playlist; the line form's refusal
// without a song.

#include "../PlaylistTestData.h"
#include "FormDriver.h"
#include "TestApp.h"
#include "albums/ui/PickerDialog.h"
#include "common/PagedList.h"
#include "common/ui/BrowseList.h"
#include "playlists/PlaylistForm.h"
#include "playlists/PlaylistLineForm.h"
#include "playlists/PlaylistLines.h"
#include "playlists/ui/BrowsePlayLists.h"
#include "playlists/ui/UpdatePlaylist.h"
#include "playlists/ui/UpdatePlaylistDetails.h"
#include "songs/ui/BrowseSongs.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

using namespace td;
using test::onDialog;
using Songs = QList<qint64>;

namespace {

const QString kForm = QStringLiteral("UpdatePlaylist");
const QString kLine = QStringLiteral("UpdatePlaylistDetails");

QStringList descriptions(BrowsePlayListsWindow& w)
{
    QStringList out;
    const int f = tableDef(TableId::PlaylistMaster).fieldIndex(QStringLiteral("PlaylistDescription"));
    for (const PageRow& r : w.pagedList().rows())
        out << r.row.value(f).toString();
    return out;
}

QString highlightedDescription(BrowsePlayListsWindow& w)
{
    const int f = tableDef(TableId::PlaylistMaster).fieldIndex(QStringLiteral("PlaylistDescription"));
    return w.pagedList().highlighted() ? w.pagedList().highlighted()->row.value(f).toString() : QString();
}

void click(QWidget* window, const char* name)
{
    auto* b = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    QVERIFY2(b && b->isEnabled(), name);
    b->click();
}

} // namespace

class TestPlaylistWindows : public QObject {
    Q_OBJECT
private slots:
    void listAndForm();
    void cancelledNewPlaylist();
    void lineFormNeedsASong();
    void deleteFromTheList_data();
    void deleteFromTheList();
};

void TestPlaylistWindows::listAndForm()
{
    test::TestApp env;
    test::addPlaylistSongs(env.db, 5);
    test::addPlaylist(env.db, 1, QStringLiteral("Rock"), 3);
    test::addPlaylist(env.db, 2, QStringLiteral("Jazz"), 0);
    test::addPlaylist(env.db, 3, QStringLiteral("Rap"), 0);
    std::unique_ptr<QWidget> widget(createBrowsePlayLists(env.state));
    auto* list = qobject_cast<BrowsePlayListsWindow*>(widget.get());
    QVERIFY(list);
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list));
    QCOMPARE(list->windowTitle(), QStringLiteral("Playlists - 3 entries"));
    QCOMPARE(descriptions(*list), (QStringList {"Jazz", "Rap", "Rock"}));
    QVERIFY2(test::duplicateMnemonics(list).isEmpty(), qPrintable(test::duplicateMnemonics(list).join("; ")));
    // A typed letter goes to the first description with it, then one row down while it matches.
    QTest::keyClicks(list->list()->view(), QStringLiteral("r"));
    QCOMPARE(highlightedDescription(*list), QStringLiteral("Rap"));
    QTest::keyClicks(list->list()->view(), QStringLiteral("R"));
    QCOMPARE(highlightedDescription(*list), QStringLiteral("Rock"));
    // No description with "k": the first one after it.
    QTest::keyClicks(list->list()->view(), QStringLiteral("k"));
    QCOMPARE(highlightedDescription(*list), QStringLiteral("Rap"));
    QTest::keyClicks(list->list()->view(), QStringLiteral("z"));
    QCOMPARE(highlightedDescription(*list), QStringLiteral("Rock"));

    bool done = false;
    onDialog(kForm, [&](QDialog* d) {
        auto* form = qobject_cast<UpdatePlaylistDialog*>(d);
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Changing a Playlist Record"));
        QVERIFY2(test::duplicateMnemonics(form).isEmpty(), qPrintable(test::duplicateMnemonics(form).join("; ")));
        QCOMPARE(form->totalTimeText(), QStringLiteral("00:00:06"));
        // Add under the second line, through the song picker.
        form->pagedList().setHighlight(1);
        onDialog(kLine, [&](QDialog* line) {
            QCOMPARE(line->windowTitle(), QStringLiteral("Adding a Playlist Detail"));
            QVERIFY2(test::duplicateMnemonics(line).isEmpty(), qPrintable(test::duplicateMnemonics(line).join("; ")));
            onDialog(QStringLiteral("SelectFileNumber"), [&](QDialog* p) {
                auto* picker = qobject_cast<PickerDialog*>(p);
                QVERIFY(picker);
                QVERIFY(picker->list()->run([](PagedList& l) { return l.last(); }));
                click(picker, "Select");
            });
            click(line, "SelectSong");
            QVERIFY(QTest::qWaitFor([&] { return line->findChild<QLineEdit*>(QStringLiteral("Artist"))->text()
                                                 == QStringLiteral("Artist 5"); }));
            line->findChild<QLineEdit*>(QStringLiteral("PlaylistNotes"))->setText(QStringLiteral("loud"));
            click(line, "OK");
        });
        form->addLine();
        // The line is stored at the end as the line form opens, and moved under line 2 on OK.
        QVERIFY(QTest::qWaitFor([&] { return test::lineSongs(env.db, 1) == Songs {1, 2, 5, 3}; }));
        QCOMPARE(form->pagedList().highlight(), 2);
        QCOMPARE(form->totalTimeText(), QStringLiteral("00:00:11"));
        // The new line to the top; the highlight follows it.
        click(form, "MoveTop");
        QCOMPARE(test::lineSongs(env.db, 1), (Songs {5, 1, 2, 3}));
        QCOMPARE(form->pagedList().highlight(), 0);
        // Two songs dragged at once, one of them on the list already: both appended.
        QMimeData drop;
        drop.setData(QString::fromLatin1(kSongIdMimeType), "4\n5\n");
        QVERIFY(form->dropSongs(&drop));
        bool consecutive = false;
        QCOMPARE(test::lineSongs(env.db, 1, &consecutive), (Songs {5, 1, 2, 3, 4, 5}));
        QVERIFY(consecutive);
        // A song without its number yet (imported) cannot be named by a line: nothing added, and
        // the user is told why.
        const qsizetype asked = env.script->asked().size();
        QMimeData unnumbered;
        unnumbered.setData(QString::fromLatin1(kSongIdMimeType), "4\n0\n");
        QVERIFY(form->dropSongs(&unnumbered));
        QCOMPARE(test::lineSongs(env.db, 1).size(), 6);
        QCOMPARE(env.script->asked().size(), asked + 1);
        QCOMPARE(env.script->asked().last().text, unnumberedSongText());
        form->findChild<QLineEdit*>(QStringLiteral("PlaylistDescription"))->setText(QStringLiteral("Rock Hits"));
        click(form, "OK");
        done = true;
    });
    click(list, "Change");
    QVERIFY(QTest::qWaitFor([&] { return done; }));
    QVERIFY(QTest::qWaitFor([&] { return descriptions(*list).contains(QStringLiteral("Rock Hits")); }));
    QCOMPARE(highlightedDescription(*list), QStringLiteral("Rock Hits"));
    Table<PlaylistMaster> t(env.db);
    t.rec.PlaylistID = 1;
    QCOMPARE(t.get(t.key(QStringLiteral("PLD:KeyPlaylistID"))), 0);
    QCOMPARE(t.rec.LastEditDate, today());
    QCOMPARE(env.script->asked().size(), 1); // only the unnumbered song's
    // The list's M3U export writes what the logic gives, as UTF-8, and says where it went.
    QCOMPARE(m3uFileName(QStringLiteral(" AC/DC ")), QStringLiteral("AC-DC.m3u8"));
    QCOMPARE(m3uFileName(QString()), QStringLiteral("Playlist.m3u8"));
    const QString path = env.ws.path() + QStringLiteral("/Rock Hits.m3u8");
    QVERIFY(list->exportM3uTo(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("#EXTM3U\n#EXTINF:5,Artist 5 - Song 5\nSong 5\n"));
    QCOMPARE(env.script->asked().last().text,
             QStringLiteral("The playlist has been exported to ") + QDir::toNativeSeparators(path));
    const int asked = int(env.script->asked().size());
    QVERIFY(!list->exportM3uTo(env.ws.path() + QStringLiteral("/no/such/dir/x.m3u8")));
    QCOMPARE(env.script->asked().size(), asked + 1);
    QVERIFY(!env.script->asked().last().text.startsWith(QLatin1String("The playlist has been exported")));
    QVERIFY(!QFileInfo::exists(env.ws.path() + QStringLiteral("/no/such/dir/x.m3u8")));
    QCOMPARE(env.script->captions(), (QStringList {QStringLiteral("Playlist"), QStringLiteral("Export Playlist"),
                                                   QStringLiteral("Export Playlist")}));
}

void TestPlaylistWindows::cancelledNewPlaylist()
{
    test::TestApp env;
    test::addPlaylistSongs(env.db, 3);
    QWidget caller;
    bool answered = false;
    Response response = Response::None;
    onDialog(kForm, [&](QDialog* d) {
        auto* form = qobject_cast<UpdatePlaylistDialog*>(d);
        QCOMPARE(form->windowTitle(), QStringLiteral("Adding a Playlist Record"));
        QMimeData drop;
        drop.setData(QString::fromLatin1(kSongIdMimeType), "1\n2\n");
        QVERIFY(form->dropSongs(&drop));
        QCOMPARE(form->pagedList().rowCount(), 2);
        click(form, "Cancel");
    });
    UpdatePlaylist(env.state, Request::Insert, PlaylistMaster(), &caller, [&](Response r, const PlaylistMaster&) {
        answered = true;
        response = r;
    });
    QVERIFY(QTest::qWaitFor([&] { return answered; }));
    QCOMPARE(response, Response::Cancelled);
    Table<PlaylistMaster> masters(env.db);
    Table<PlaylistDetails> lines(env.db);
    QCOMPARE(masters.records(), qint64(0));
    QCOMPARE(lines.records(), qint64(0));
}

void TestPlaylistWindows::lineFormNeedsASong()
{
    test::TestApp env;
    test::addPlaylistSongs(env.db, 2);
    test::addPlaylist(env.db, 1, QStringLiteral("One"), 2);
    QWidget caller;
    bool answered = false;
    onDialog(kLine, [&](QDialog* line) {
        click(line, "OK");
        QCOMPARE(env.script->asked().size(), 1);
        QCOMPARE(env.script->asked().first().text, noSongChosenText());
        QVERIFY(line->isVisible());
        click(line, "Cancel");
    });
    UpdatePlaylistDetails(env.state, Request::Insert, 1, 0, &caller, [&](Response r, const PlaylistDetails&) {
        answered = true;
        QCOMPARE(r, Response::Cancelled);
    });
    QVERIFY(QTest::qWaitFor([&] { return answered; }));
    // The line primed at the opening is gone again.
    QCOMPARE(test::lineSongs(env.db, 1), (Songs {1, 2}));
}

void TestPlaylistWindows::deleteFromTheList_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("confirmed") << int(Ok) << QStringList {"Rock"};
    QTest::newRow("cancelled") << int(Cancel) << QStringList {"Jazz", "Rock"};
}

void TestPlaylistWindows::deleteFromTheList()
{
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    test::TestApp env;
    test::addPlaylistSongs(env.db, 3);
    test::addPlaylist(env.db, 1, QStringLiteral("Jazz"), 3);
    test::addPlaylist(env.db, 2, QStringLiteral("Rock"), 0);
    std::unique_ptr<QWidget> widget(createBrowsePlayLists(env.state));
    auto* list = qobject_cast<BrowsePlayListsWindow*>(widget.get());
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list));
    env.script->plan(answer);
    QTest::keyClick(list->list()->view(), Qt::Key_Delete);
    QCOMPARE(env.script->captions(), QStringList {QStringLiteral("Confirm Delete")});
    QCOMPARE(descriptions(*list), left);
    QCOMPARE(list->windowTitle(), QStringLiteral("Playlists - %1 entries").arg(left.size()));
    // The playlist's lines go with it.
    QCOMPARE(test::lineSongs(env.db, 1).size(), answer == Ok ? 0 : 3);
}

QTEST_MAIN(TestPlaylistWindows)
#include "tst_playlistwindows.moc"

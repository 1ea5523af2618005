// The album's song list as a user drives it, in a plain window standing for the album form: an add
// stored as the form opens and removed by Cancel, times typed as minutes, Edit All Songs, the
// menu, the locator by track number, drops from the song list, and the assignment question.

#include "../../data/DataTestUtil.h"
#include "FormDriver.h"
#include "TestApp.h"
#include "albums/AlbumSongs.h"
#include "albums/ui/AlbumSongsPanel.h"
#include "common/PagedList.h"
#include "common/ui/BrowseList.h"
#include "core/ConfigPaths.h"
#include "core/DayTime.h"
#include "core/IniFile.h"
#include "songs/ui/BrowseSongs.h"

#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

using namespace td;
using test::onDialog;

namespace {

const QString kForm = QStringLiteral("UpdateSongsForAlbum");

Tunedeck song(qint32 id, qint32 albumId, int track, const QString& fileNumber = QStringLiteral("A12"))
{
    Tunedeck s = test::makeSong(QStringLiteral("Artist"), QStringLiteral("Song %1").arg(id), id, albumId);
    s.TrackNumber = track;
    s.FileNumber = fileNumber;
    return s;
}

Tunedeck storedSong(Database& db, qint32 id)
{
    Table<Tunedeck> t(db);
    t.rec.ID = id;
    return t.get(t.key("MUS:KeyID")) == 0 ? t.rec : Tunedeck();
}

qint64 songCount(Database& db)
{
    Table<Tunedeck> t(db);
    return t.records();
}

// The catalogue with two media, album 5 ("CD", file number "A12"), and the panel on it in a window
// standing for the album form.
struct Env : test::TestApp {
    Env()
    {
        for (const char* m : { "CD", "LP" }) {
            Media r;
            r.Media = QString::fromLatin1(m);
            test::addRecord(db, r);
        }
        album.AlbumID = 5;
        album.Artist = QStringLiteral("Album Artist");
        album.Album = QStringLiteral("Album Title");
        album.Media = QStringLiteral("CD");
        album.FileNumber = QStringLiteral("A12");
        test::addRecord(db, album);
        form.setObjectName(QStringLiteral("AlbumForm"));
    }
    // Opens the panel on the songs stored by then.
    AlbumSongsPanel* open()
    {
        panel = new AlbumSongsPanel(
            state, [this] { return album; }, &form);
        (new QVBoxLayout(&form))->addWidget(panel);
        form.resize(640, 400);
        form.show();
        if (!panel->open())
            qWarning("the list did not open");
        return panel;
    }
    int rows() const { return panel->pagedList().rowCount(); }
    int highlightedTrack() const
    {
        const PageRow* h = panel->pagedList().highlighted();
        return h ? h->row.at(tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("TrackNumber"))).toInt()
                 : -1;
    }
    // Waits until the form has closed its song form or picker again.
    bool formClosed()
    {
        return QTest::qWaitFor([this] { return form.isEnabled(); }, 5000);
    }

    Album album;
    QWidget form;
    AlbumSongsPanel* panel = nullptr;
};

void click(AlbumSongsPanel* p, const char* button)
{
    QTest::mouseClick(p->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
}

} // namespace

class TestAlbumSongsPanel : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { test::dropFormWatchers(); }
    void addStoredAtOnceAndCancelRemoves();
    void timeTypedAsMinutes_data();
    void timeTypedAsMinutes();
    void editAllSongs();
    void menuButtonsAndLayout();
    void typingLocatesTrack();
    void drops();
    void assignQuestion_data();
    void assignQuestion();
};

void TestAlbumSongsPanel::addStoredAtOnceAndCancelRemoves()
{
    Env e;
    QVERIFY(test::addRecord(e.db, song(1, 5, 1)));
    QVERIFY(test::addRecord(e.db, song(2, 5, 7)));
    e.state.settings.AddMode = QStringLiteral("Compilation"); // an album's add is never a new album
    e.open();
    Tunedeck primed;
    QString caption, artist;
    bool albumButton = true;
    QStringList duplicates { "not checked" };
    bool shown = false;
    onDialog(kForm, [&](QDialog* d) {
        shown = true;
        primed = storedSong(e.db, 3);
        caption = d->windowTitle();
        artist = d->findChild<QLineEdit*>(QStringLiteral("Artist"))->text();
        albumButton = d->findChild<QPushButton*>(QStringLiteral("DefaultWithAlbum"))->isVisible();
        duplicates = test::duplicateMnemonics(d);
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Cancel")), Qt::LeftButton);
    });
    QTest::keyClick(e.panel->list()->view(), Qt::Key_Insert);
    QVERIFY(QTest::qWaitFor([&] { return shown; }, 5000));
    QVERIFY(e.formClosed());
    QCOMPARE(primed.AlbumID, 5);
    QCOMPARE(primed.TrackNumber, 8);
    QCOMPARE(primed.FileNumber, QStringLiteral("A12"));
    QCOMPARE(caption, QStringLiteral("Adding Information"));
    QCOMPARE(artist, QStringLiteral("Album Artist"));
    QVERIFY(!albumButton);
    QCOMPARE(duplicates, QStringList());
    QCOMPARE(songCount(e.db), 2);
    QCOMPARE(e.rows(), 2);
}

void TestAlbumSongsPanel::timeTypedAsMinutes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::newRow("3:45 is minutes") << "3:45" << timeFromParts(0, 3, 45);
    QTest::newRow("1:59 stays hours") << "1:59" << timeFromParts(1, 59, 0);
}

void TestAlbumSongsPanel::timeTypedAsMinutes()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    Env e;
    e.open();
    onDialog(kForm, [&](QDialog* d) {
        auto* time = d->findChild<QLineEdit*>(QStringLiteral("Time"));
        time->selectAll();
        QTest::keyClicks(time, typed);
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
    });
    click(e.panel, "Add");
    QVERIFY(QTest::qWaitFor([&] { return e.rows() == 1; }, 5000));
    QCOMPARE(storedSong(e.db, 1).Time, stored);
    QCOMPARE(storedSong(e.db, 1).AlbumID, 5);
    QCOMPARE(e.highlightedTrack(), 1);
}

// Each song in track order while the forms are closed with OK; none for an album without songs.
void TestAlbumSongsPanel::editAllSongs()
{
    Env e;
    for (qint32 id = 1; id <= 3; ++id)
        QVERIFY(test::addRecord(e.db, song(id, 5, 4 - id))); // tracks 3, 2, 1
    QVERIFY(test::addRecord(e.db, song(4, 6, 1))); // another album
    e.open();
    QStringList shown;
    onDialog(kForm, [&](QDialog* d) {
        shown << d->findChild<QLineEdit*>(QStringLiteral("Title"))->text();
        d->findChild<QLineEdit*>(QStringLiteral("Title"))->setText(QStringLiteral("Edited"));
        onDialog(kForm, [&](QDialog* second) {
            shown << second->findChild<QLineEdit*>(QStringLiteral("Title"))->text();
            second->reject();
        });
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
    });
    click(e.panel, "EditAllSongs");
    QVERIFY(QTest::qWaitFor([&] { return shown.size() == 2; }, 5000));
    QVERIFY(e.formClosed());
    QTest::qWait(100);
    QCOMPARE(shown, (QStringList { "Song 3", "Song 2" }));
    QVERIFY(!test::shownDialog(kForm));
    QCOMPARE(storedSong(e.db, 3).Title, QStringLiteral("Edited"));
    QCOMPARE(storedSong(e.db, 2).Title, QStringLiteral("Song 2"));

    e.album.AlbumID = 7; // no songs
    e.panel->reload();
    click(e.panel, "EditAllSongs");
    QTest::qWait(100);
    QVERIFY(!test::shownDialog(kForm));
    QVERIFY(e.form.isEnabled());
}

void TestAlbumSongsPanel::menuButtonsAndLayout()
{
    Env e;
    e.open();
    QCOMPARE(test::duplicateMnemonics(&e.form), QStringList());
    QCOMPARE(
        e.panel->findChild<QPushButton*>(QStringLiteral("Copy"))->toolTip(), QStringLiteral("Copy record"));
    QCOMPARE(e.panel->findChild<QLabel*>(QStringLiteral("DropHint"))->text(),
        QStringLiteral("You can also drag from the \"Songs\" window to the album song list."));

    auto menu = [&] {
        QStringList items;
        QTimer::singleShot(0, this, [&] {
            auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(m);
            for (QAction* a : m->actions())
                items << (a->isSeparator() ? QStringLiteral("-")
                                           : (a->isEnabled() ? QString() : QStringLiteral("~")) + a->text());
            m->close();
        });
        QTest::mouseClick(e.panel->list()->view()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        return items;
    };
    QCOMPARE(menu(), (QStringList { "&Add", "~&Change", "~&Delete", "-", "~Cop&y" }));
    QVERIFY(!e.panel->findChild<QPushButton*>(QStringLiteral("Change"))->isEnabled());

    QVERIFY(test::addRecord(e.db, song(1, 5, 1)));
    e.panel->reload();
    QCOMPARE(menu(), (QStringList { "&Add", "&Change", "&Delete", "-", "Cop&y" }));
    QVERIFY(e.panel->findChild<QPushButton*>(QStringLiteral("Change"))->isEnabled());

    // The column layout is kept in the album form's section.
    e.panel->saveLayout();
    QVERIFY(
        !ini::readString(positionIniPath(), QStringLiteral("UpdateAlbums"), QStringLiteral("SRCF?Browse:2"))
             .isEmpty());
}

void TestAlbumSongsPanel::typingLocatesTrack()
{
    Env e;
    int id = 0;
    for (int track : { 2, 4, 15, 30 })
        QVERIFY(test::addRecord(e.db, song(++id, 5, track)));
    e.open();
    QWidget* view = e.panel->list()->view();
    QTest::keyClick(view, Qt::Key_1);
    QCOMPARE(e.highlightedTrack(), 15);
    QTest::keyClick(view, Qt::Key_4);
    QCOMPARE(e.highlightedTrack(), 4);
    QTest::keyClick(view, Qt::Key_9); // no such track: the highlight stays
    QCOMPARE(e.highlightedTrack(), 4);
}

void TestAlbumSongsPanel::drops()
{
    Env e;
    QVERIFY(test::addRecord(e.db, song(1, 0, 1)));
    QVERIFY(test::addRecord(e.db, song(2, 8, 3)));
    e.open();
    QWidget* viewport = e.panel->list()->view()->viewport();
    auto drop = [&](QMimeData& data) {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        dropped.ignore();
        QApplication::sendEvent(viewport, &dropped);
        return dropped.isAccepted();
    };
    const QString type = QString::fromLatin1(kSongIdMimeType);

    QMimeData text;
    text.setText(QStringLiteral("1"));
    QVERIFY(!drop(text)); // not a song list's drag: refused
    QCOMPARE(e.rows(), 0);

    // Two songs from the song list: copies on the album, the dropped songs keep their albums.
    QMimeData two;
    two.setData(type, "1\n2");
    QVERIFY(drop(two));
    QCOMPARE(e.rows(), 2);
    QCOMPARE(songCount(e.db), 4);
    QCOMPARE(storedSong(e.db, 1).AlbumID, 0);
    QCOMPARE(storedSong(e.db, 2).AlbumID, 8);
    QCOMPARE(storedSong(e.db, 4).AlbumID, 5);
    QVERIFY(e.script->asked().isEmpty());

    // The song type with something else in it: said so, nothing stored.
    QMimeData bad;
    bad.setData(type, "<html>");
    QVERIFY(drop(bad));
    QCOMPARE(e.script->captions(), QStringList { "Songs Not Found" });
    QCOMPARE(songCount(e.db), 4);

    // Dragged out, the highlighted song carries its number.
    QAbstractItemModel* m = e.panel->list()->view()->model();
    std::unique_ptr<QMimeData> out(m->mimeData({ m->index(e.panel->pagedList().highlight(), 0) }));
    QVERIFY(out);
    QCOMPARE(songIdsOfDrag(out->data(type)), QList<qint32> { 4 });
}

void TestAlbumSongsPanel::assignQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<int>("rows");
    QTest::newRow("Yes") << int(Yes) << QStringList { "Assign Songs To Album", "Process complete." } << 2;
    QTest::newRow("No: the picker") << int(No) << QStringList { "Assign Songs To Album" } << 0;
    QTest::newRow("Cancel") << int(Cancel) << QStringList { "Assign Songs To Album" } << 0;
}

void TestAlbumSongsPanel::assignQuestion()
{
    QFETCH(int, answer);
    QFETCH(QStringList, captions);
    QFETCH(int, rows);
    Env e;
    test::CloseOtherWindows picker({ QStringLiteral("AlbumForm") });
    QVERIFY(test::addRecord(e.db, song(1, 0, 1, QStringLiteral("a12"))));
    QVERIFY(test::addRecord(e.db, song(2, 3, 2, QStringLiteral("A12"))));
    e.open();
    e.script->plan(answer);
    click(e.panel, "SelectExistingSongs");
    QVERIFY(e.formClosed());
    QCOMPARE(e.script->captions(), captions);
    const Message& q = e.script->asked().first();
    QCOMPARE(q.text,
        QStringLiteral("Do you want to assign all songs with file number \"A12\" and media type \"CD\" to "
                       "this album?"));
    QCOMPARE(q.icon, Icon::Question);
    QCOMPARE(q.buttons, Yes | No | Cancel);
    QCOMPARE(q.defaultButton, int(No));
    if (answer == Yes)
        QCOMPARE(e.script->asked().at(1).text, QStringLiteral("2 songs assigned."));
    QCOMPARE(e.rows(), rows);
    QCOMPARE(storedSong(e.db, 2).AlbumID, answer == Yes ? 5 : 3);

    // Without a file number there is nothing to ask: the picker opens.
    e.script->clear();
    e.album.FileNumber.clear();
    click(e.panel, "SelectExistingSongs");
    QVERIFY(e.formClosed());
    QVERIFY(e.script->asked().isEmpty());
}

QTEST_MAIN(TestAlbumSongsPanel)
#include "tst_albumsongspanel.moc"

// The add-album wizards as a user drives them: tracks typed one after another until a track form
// is cancelled, tracks read from the disc in the drive (and the drive's own messages when it cannot
// be read), OK writing album and songs, Cancel keeping the tracks for the next wizard, the keys of
// the track list, and unique mnemonics in every window.

#include "../../cd/CdTestUtil.h"
#include "../../data/DataTestUtil.h"
#include "FormDriver.h"
#include "TestApp.h"
#include "albums/AddWizardTracks.h"
#include "albums/ui/AddWizard.h"
#include "app/FrameActions.h"
#include "app/FrameWiring.h"
#include "app/MainFrame.h"
#include "common/AppState.h"
#include "common/ui/BrowseList.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

using namespace td;

namespace {

// A program run whose drive is a disc described by a .toc file in the workspace.
struct Env : test::TestDb {
    QString toc = ws.path() + QStringLiteral("/disc.toc");
    QueryWizardTexts queryTexts = test::standardQueryTexts();
    std::unique_ptr<CdAudioDevice> cd = std::make_unique<CdAudioDevice>(createDrive(toc));
    AppState state { db, messages, queryTexts, *cd };

    Env()
    {
        for (const char* m : { "CD", "LP" }) {
            Media r;
            r.Media = QString::fromLatin1(m);
            test::addRecord(db, r);
        }
    }
    // Windows still open are closed, and every closed one deleted, while the database stands.
    ~Env()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                d->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

struct Opened {
    AddWizardDialog* wizard = nullptr;
    std::shared_ptr<std::optional<Response>> answer = std::make_shared<std::optional<Response>>();
};

Opened openWizard(AppState& state, bool compilation)
{
    Opened o;
    auto answer = o.answer;
    auto done = [answer](Response r) { *answer = r; };
    if (compilation)
        AddCompilation(state, nullptr, done);
    else
        AddSingleArtist(state, nullptr, done);
    o.wizard = qobject_cast<AddWizardDialog*>(
        test::shownDialog(compilation ? QStringLiteral("AddCompilation") : QStringLiteral("AddSingleArtist")));
    return o;
}

template <class W> W* child(QWidget* d, const char* name)
{
    W* w = d->findChild<W*>(QString::fromLatin1(name));
    if (!w)
        qWarning("no control %s", name);
    return w;
}

void type(QWidget* d, const char* name, const QString& text)
{
    auto* e = child<QLineEdit>(d, name);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
}

void click(QWidget* d, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(d, name), Qt::LeftButton);
}

QStringList rowsOf(Database& db, qint64 instance)
{
    AddWizardTracks t(db, instance);
    QList<WizardTrack> rows;
    t.rows(rows);
    QStringList out;
    for (const WizardTrack& r : rows)
        out << QStringLiteral("%1 %2|%3|%4").arg(r.rec.Track).arg(r.rec.Artist, r.rec.Title).arg(r.rec.Time);
    return out;
}

QList<Tunedeck> songsOf(Database& db)
{
    Table<Tunedeck> t(db);
    QList<Tunedeck> out;
    t.set(t.key(QStringLiteral("MUS:KeyID")));
    while (t.next() == 0)
        out << t.rec;
    return out;
}

QList<Album> albumsOf(Database& db)
{
    Table<Album> t(db);
    QList<Album> out;
    t.set(t.key(QStringLiteral("ALB:KeyAlbumID")));
    while (t.next() == 0)
        out << t.rec;
    return out;
}

} // namespace

class TestAddWizardUi : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { test::dropFormWatchers(); }
    void typedTracksUntilCancelThenOk();
    void readFromDisc_data();
    void readFromDisc();
    void driveThatCannotBeRead_data();
    void driveThatCannotBeRead();
    void cancelKeepsTracksForTheNextWizard();
    void editAllSongs_data();
    void editAllSongs();
    void takenTrackNumberAndMoves();
    void fromTheFrameMenu();
    void mnemonics_data();
    void mnemonics();
};

void TestAddWizardUi::typedTracksUntilCancelThenOk()
{
    Env e;
    QVERIFY(ini::writeString(settingsIniPath(), QStringLiteral("Settings"), QStringLiteral("AutoAddToAlbums"), QString()));
    e.state.settings.AutoAddToAlbums.clear();
    Opened o = openWizard(e.state, false);
    QVERIFY(o.wizard);
    QCOMPARE(o.wizard->windowTitle(), QStringLiteral("Add Album by Single Artist"));
    // Ticked while the window is open, whatever the preferences say.
    QVERIFY(child<QCheckBox>(o.wizard, "AddToAlbums")->isChecked());
    QCOMPARE(e.state.settings.AutoAddToAlbums, QStringLiteral("1"));
    type(o.wizard, "Artist", QStringLiteral("Blur"));
    type(o.wizard, "Album", QStringLiteral("Parklife"));

    QStringList captions;
    bool over = false;
    const QString form = QStringLiteral("UpdateAddWizardNoArtist");
    test::onDialog(form, [&](QDialog* d) {
        captions << d->windowTitle();
        QVERIFY(!d->findChild<QLineEdit*>(QStringLiteral("Artist")));
        type(d, "Title", QStringLiteral("Girls & Boys"));
        type(d, "Time", QStringLiteral("4:23"));
        click(d, "Ok");
        test::onDialog(form, [&](QDialog* d2) {
            captions << d2->windowTitle();
            // Ctrl+` brings back the track saved last.
            d2->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), d2);
            QTest::keySequence(d2, QKeySequence(Qt::CTRL | Qt::Key_QuoteLeft));
            QCOMPARE(child<QLineEdit>(d2, "Title")->text(), QStringLiteral("Girls & Boys"));
            QCOMPARE(child<QLineEdit>(d2, "Time")->text(), QStringLiteral("00:04:23"));
            QCOMPARE(child<QSpinBox>(d2, "Track")->value(), 1);
            type(d2, "Title", QStringLiteral("Tracy Jacks"));
            child<QSpinBox>(d2, "Track")->setValue(2);
            click(d2, "Ok");
            test::onDialog(form, [&](QDialog* d3) {
                captions << d3->windowTitle();
                click(d3, "Cancel");
                over = true;
            });
        });
    });
    click(o.wizard, "Add");
    QTRY_VERIFY(over);
    QCOMPARE(captions, QStringList(3, QStringLiteral("Track Will Be Added  (New)")));
    // The cancelled third track is not kept; no further form opens.
    QTest::qWait(50);
    QVERIFY(!test::shownDialog(form));
    QCOMPARE(rowsOf(e.db, o.wizard->instance()), (QStringList { "1 |Girls & Boys|26301", "2 |Tracy Jacks|26301" }));
    QCOMPARE(o.wizard->trackList()->list().rowCount(), 2);

    // Change the highlighted (second) track with Ctrl+Enter: the caption names it.
    QString changeCaption;
    test::onDialog(form, [&](QDialog* d) {
        changeCaption = d->windowTitle();
        type(d, "Title", QStringLiteral("Tracy Jacks (Live)"));
        click(d, "Ok");
    });
    QTableView* view = o.wizard->trackList()->view();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_End);
    QTest::keyClick(view, Qt::Key_Return, Qt::ControlModifier);
    QTRY_COMPARE(changeCaption, QStringLiteral("Track Will Be Changed  (2)"));
    QTRY_COMPARE(rowsOf(e.db, o.wizard->instance()).last(), QStringLiteral("2 |Tracy Jacks (Live)|26301"));

    const qint64 instance = o.wizard->instance();
    click(o.wizard, "OK");
    QTRY_VERIFY(o.answer->has_value());
    QCOMPARE(**o.answer, Response::Completed);
    QVERIFY(e.script->asked().isEmpty());
    const QList<Album> albums = albumsOf(e.db);
    QCOMPARE(albums.size(), 1);
    QCOMPARE(albums.first().Artist, QStringLiteral("Blur"));
    QCOMPARE(albums.first().Album, QStringLiteral("Parklife"));
    const QList<Tunedeck> songs = songsOf(e.db);
    QCOMPARE(songs.size(), 2);
    QCOMPARE(songs.at(0).Title, QStringLiteral("Girls & Boys"));
    QCOMPARE(songs.at(0).AdditionalInformation1, QStringLiteral("04:23"));
    QCOMPARE(songs.at(1).Title, QStringLiteral("Tracy Jacks (Live)"));
    QCOMPARE(songs.at(1).AlbumID, albums.first().AlbumID);
    QCOMPARE(songs.at(1).Media, QStringLiteral("CD"));
    QVERIFY(rowsOf(e.db, instance).isEmpty());
    // The preferences' value is back, and the number is free for the next wizard.
    QCOMPARE(e.state.settings.AutoAddToAlbums, QString());
    QVERIFY(!e.state.wizardInstanceHeld(instance));
}

void TestAddWizardUi::readFromDisc_data()
{
    QTest::addColumn<bool>("compilation");
    QTest::addColumn<bool>("fromPlayer");
    QTest::addColumn<QString>("artist");
    QTest::newRow("compilation, button") << true << false << "Various";
    QTest::newRow("compilation, from the CD player") << true << true << "Various";
    QTest::newRow("single artist, button") << false << false << "Blur";
    QTest::newRow("single artist, from the CD player") << false << true << "Blur";
}

void TestAddWizardUi::readFromDisc()
{
    QFETCH(bool, compilation);
    QFETCH(bool, fromPlayer);
    QFETCH(QString, artist);

    Env e;
    const QList<int> lengths { test::msf(4, 23), test::msf(3, 10, 40), test::msf(61, 0) };
    QVERIFY(test::writeText(e.toc, tocLine(test::tocOfLengths(lengths)) + QLatin1Char('\n')));
    e.state.startedFromCdPlayer = fromPlayer;
    Opened o = openWizard(e.state, compilation);
    QVERIFY(o.wizard);
    if (fromPlayer)
        QTRY_COMPARE(rowsOf(e.db, o.wizard->instance()).size(), 3);
    if (!compilation)
        type(o.wizard, "Artist", artist);
    type(o.wizard, "Album", QStringLiteral("On Disc"));
    if (!fromPlayer)
        click(o.wizard, "ReadCompactDisc");
    QVERIFY(!e.state.startedFromCdPlayer);
    // Read before an artist was typed, the rows' artist is "Various" (the single-artist songs take
    // the album's artist all the same).
    const QString rowArtist = compilation || fromPlayer ? QStringLiteral("Various") : artist;
    QCOMPARE(rowsOf(e.db, o.wizard->instance()),
        (QStringList { QStringLiteral("1 %1|Track 1|26301").arg(rowArtist),
            QStringLiteral("2 %1|Track 2|19001").arg(rowArtist),
            QStringLiteral("3 %1|Track 3|366001").arg(rowArtist) }));
    QTRY_COMPARE(o.wizard->trackList()->list().rowCount(), 3);
    const QString id = o.wizard->cdIdentifier();
    QVERIFY2(id.startsWith(QStringLiteral(" 3")), qPrintable(id));

    click(o.wizard, "OK");
    QTRY_VERIFY(o.answer->has_value());
    QCOMPARE(**o.answer, Response::Completed);
    QCOMPARE(albumsOf(e.db).size(), 1);
    QCOMPARE(albumsOf(e.db).first().CDIdentifier, id);
    QCOMPARE(albumsOf(e.db).first().Artist, compilation ? QStringLiteral("Various") : artist);
    const QList<Tunedeck> songs = songsOf(e.db);
    QCOMPARE(songs.size(), 3);
    QCOMPARE(songs.at(2).Time, 366001);
    QCOMPARE(songs.at(2).Title, QStringLiteral("Track 3"));
    QCOMPARE(songs.at(2).Artist, compilation ? QStringLiteral("Various") : artist);
}

void TestAddWizardUi::driveThatCannotBeRead_data()
{
    QTest::addColumn<QString>("drive"); // the .toc file's text; empty: no file, an empty drive
    QTest::addColumn<QString>("message");
    QTest::newRow("empty drive") << QString() << "CD player not ready.";
    QTest::newRow("door open") << "open" << "CD player door open.";
    QTest::newRow("disc not ready") << "notready" << "CD player not ready.";
}

void TestAddWizardUi::driveThatCannotBeRead()
{
    QFETCH(QString, drive);
    QFETCH(QString, message);
    Env e;
    if (!drive.isEmpty())
        QVERIFY(test::writeText(e.toc, drive + QLatin1Char('\n')));
    Opened o = openWizard(e.state, true);
    QVERIFY(o.wizard);
    click(o.wizard, "ReadCompactDisc");
    QCOMPARE(e.script->captions(), (QStringList { "Error" }));
    QCOMPARE(e.script->asked().first().text, message);
    QVERIFY(rowsOf(e.db, o.wizard->instance()).isEmpty());
    QVERIFY(o.wizard->cdIdentifier().isEmpty());
    QVERIFY(o.wizard->isEnabled());
    click(o.wizard, "Cancel");
    QTRY_VERIFY(o.answer->has_value());
    QCOMPARE(**o.answer, Response::Cancelled);
}

void TestAddWizardUi::cancelKeepsTracksForTheNextWizard()
{
    Env e;
    AddWizard left;
    left.Instance = 1;
    left.Track = 1;
    left.Title = QStringLiteral("Left Over");
    QVERIFY(test::addRecord(e.db, left));

    Opened first = openWizard(e.state, false);
    QVERIFY(first.wizard);
    QCOMPARE(first.wizard->instance(), 1);
    QCOMPARE(first.wizard->trackList()->list().rowCount(), 1);
    // A second wizard open at the same time has rows of its own.
    Opened second = openWizard(e.state, true);
    QVERIFY(second.wizard);
    QCOMPARE(second.wizard->instance(), 2);
    QCOMPARE(second.wizard->trackList()->list().rowCount(), 0);
    click(second.wizard, "Cancel");
    QTRY_VERIFY(second.answer->has_value());

    // Delete asks first: Cancel keeps the track.
    e.script->plan(Cancel);
    QTableView* view = first.wizard->trackList()->view();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(e.script->numbers(), (QList<int> { 32 }));
    QCOMPARE(rowsOf(e.db, 1).size(), 1);
    click(first.wizard, "Cancel");
    QTRY_VERIFY(first.answer->has_value());
    QCOMPARE(**first.answer, Response::Cancelled);
    QCOMPARE(rowsOf(e.db, 1), (QStringList { "1 |Left Over|0" }));
    QVERIFY(songsOf(e.db).isEmpty());
    QVERIFY(albumsOf(e.db).isEmpty());

    Opened again = openWizard(e.state, true);
    QVERIFY(again.wizard);
    QCOMPARE(again.wizard->trackList()->list().rowCount(), 1);
    e.script->plan(Ok);
    view = again.wizard->trackList()->view();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Delete);
    QTRY_VERIFY(rowsOf(e.db, 1).isEmpty());
    QCOMPARE(again.wizard->trackList()->list().rowCount(), 0);
    click(again.wizard, "Cancel");
}

void TestAddWizardUi::editAllSongs_data()
{
    QTest::addColumn<int>("okCount"); // forms closed with Ok before one is cancelled (3: none)
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("every track") << 3 << QStringList { "A!", "B!", "C!" } << QStringList { "Information" };
    QTest::newRow("cancel stops the walk") << 1 << QStringList { "A!", "B", "C" } << QStringList();
}

void TestAddWizardUi::editAllSongs()
{
    QFETCH(int, okCount);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, captions);
    Env e;
    for (int i = 1; i <= 3; ++i) {
        AddWizard r;
        r.Instance = 1;
        r.Track = i;
        r.Title = QString(QChar(u'A' + i - 1));
        QVERIFY(test::addRecord(e.db, r));
    }
    Opened o = openWizard(e.state, false);
    QVERIFY(o.wizard);
    QStringList seen;
    int forms = 0;
    std::function<void(QDialog*)> answer = [&](QDialog* d) {
        seen << d->windowTitle();
        if (forms++ < okCount) {
            auto* title = child<QLineEdit>(d, "Title");
            title->setText(title->text() + QLatin1Char('!'));
            click(d, "Ok");
            if (forms < 3)
                test::onDialog(QStringLiteral("UpdateAddWizardNoArtist"), answer);
        } else {
            click(d, "Cancel");
        }
    };
    test::onDialog(QStringLiteral("UpdateAddWizardNoArtist"), answer);
    click(o.wizard, "EditAllSongs");
    QTRY_COMPARE(forms, qMin(3, okCount + 1));
    QTRY_COMPARE(e.script->captions(), captions);
    if (!captions.isEmpty())
        QCOMPARE(e.script->asked().first().text, QStringLiteral("End of songs on this album."));
    QCOMPARE(seen.first(), QStringLiteral("Track Will Be Changed  (1)"));
    QStringList got;
    for (const QString& r : rowsOf(e.db, 1))
        got << r.section(QLatin1Char('|'), 1, 1);
    QCOMPARE(got, titles);
}

void TestAddWizardUi::takenTrackNumberAndMoves()
{
    Env e;
    for (int i = 1; i <= 3; ++i) {
        AddWizard r;
        r.Instance = 1;
        r.Track = i;
        r.Title = QString(QChar(u'A' + i - 1));
        QVERIFY(test::addRecord(e.db, r));
    }
    Opened o = openWizard(e.state, false);
    QVERIFY(o.wizard);

    // A track number another track has: the message, and the form stays open.
    bool tried = false;
    test::onDialog(QStringLiteral("UpdateAddWizardNoArtist"), [&](QDialog* d) {
        child<QSpinBox>(d, "Track")->setValue(2);
        click(d, "Ok");
        QVERIFY(d->isVisible());
        click(d, "Cancel");
        tried = true;
    });
    click(o.wizard, "Add");
    QTRY_VERIFY(tried);
    QCOMPARE(e.script->numbers(), (QList<int> { 24 }));
    QCOMPARE(e.script->asked().first().text,
        QStringLiteral("Adding this record creates a duplicate entry for the key:Track Order"));
    QTRY_COMPARE(rowsOf(e.db, 1), (QStringList { "1 |A|0", "2 |B|0", "3 |C|0" }));

    // The last track to the top; the highlight stays with it.
    PagedList& list = o.wizard->trackList()->list();
    list.setHighlight(2);
    click(o.wizard, "MoveTop");
    QCOMPARE(rowsOf(e.db, 1), (QStringList { "1 |C|0", "2 |A|0", "3 |B|0" }));
    QCOMPARE(list.highlighted()->row.value(4).toString(), QStringLiteral("C"));
    click(o.wizard, "MoveDown");
    QCOMPARE(rowsOf(e.db, 1), (QStringList { "1 |A|0", "2 |C|0", "3 |B|0" }));
    QCOMPARE(list.highlight(), 1);
}

void TestAddWizardUi::fromTheFrameMenu()
{
    Env e;
    AddWizard left;
    left.Instance = 1;
    left.Track = 1;
    left.Title = QStringLiteral("Left Over");
    QVERIFY(test::addRecord(e.db, left));
    {
        MainFrame frame { e.state };
        wireFrame(frame, e.state);
        frame.show();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.action(FrameAction::WizardCompilation)->trigger();
        QPointer<QDialog> wizard = test::shownDialog(QStringLiteral("AddCompilation"));
        QVERIFY(wizard);
        QCOMPARE(wizard->windowTitle(), QStringLiteral("Add Compilation"));
        // The frame stays usable beside it.
        QVERIFY(frame.isEnabled());
        frame.action(FrameAction::WizardSingleArtist)->trigger();
        QPointer<QDialog> single = test::shownDialog(QStringLiteral("AddSingleArtist"));
        QVERIFY(single);
        QCOMPARE(qobject_cast<AddWizardDialog*>(single.data())->instance(), 2);
        frame.close();
        QTRY_VERIFY(!wizard || !wizard->isVisible());
        QVERIFY(!single || !single->isVisible());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Closing the program keeps the tracks, and frees the numbers.
    QCOMPARE(rowsOf(e.db, 1), (QStringList { "1 |Left Over|0" }));
    QVERIFY(!e.state.wizardInstanceHeld(1));
    QVERIFY(!e.state.wizardInstanceHeld(2));
}

void TestAddWizardUi::mnemonics_data()
{
    QTest::addColumn<bool>("compilation");
    QTest::newRow("single artist") << false;
    QTest::newRow("compilation") << true;
}

void TestAddWizardUi::mnemonics()
{
    QFETCH(bool, compilation);
    Env e;
    Opened o = openWizard(e.state, compilation);
    QVERIFY(o.wizard);
    QCOMPARE(test::duplicateMnemonics(o.wizard), QStringList());
    QStringList tips;
    for (const char* name : { "MoveUp", "MoveTop", "MoveDown", "MoveBottom" })
        tips << child<QAbstractButton>(o.wizard, name)->toolTip();
    QCOMPARE(tips,
        (QStringList { "Move record up one", "Move record to the top", "Move record down one",
            "Move record to the bottom" }));
    // Every control of both tabs shows at the opening size.
    for (int tab = 0; tab < 2; ++tab) {
        o.wizard->findChild<QTabWidget*>()->setCurrentIndex(tab);
        QTest::qWait(10);
        for (QWidget* w : o.wizard->findChildren<QAbstractButton*>())
            if (w->isVisible())
                QVERIFY2(o.wizard->rect().contains(QRect(w->mapTo(o.wizard, QPoint()), w->size())),
                    qPrintable(w->objectName()));
    }

    // Tab goes from the last field of "General" to the track list, then to its buttons.
    QCOMPARE(test::tabOrderOf(child<QComboBox>(o.wizard, "Media"),
                 { o.wizard->trackList()->view(), child<QWidget>(o.wizard, "MoveUp"), child<QWidget>(o.wizard, "OK") }),
        (QList<int> { 0, 1, 2 }));

    bool checked = false;
    const QString form = compilation ? QStringLiteral("UpdateAddWizard") : QStringLiteral("UpdateAddWizardNoArtist");
    test::onDialog(form, [&](QDialog* d) {
        QCOMPARE(test::duplicateMnemonics(d), QStringList());
        QCOMPARE(bool(d->findChild<QLineEdit*>(QStringLiteral("Artist"))), compilation);
        click(d, "Cancel");
        checked = true;
    });
    click(o.wizard, "Add");
    QTRY_VERIFY(checked);
    QTRY_VERIFY(rowsOf(e.db, o.wizard->instance()).isEmpty());
    click(o.wizard, "Cancel");
}

QTEST_MAIN(TestAddWizardUi)
#include "tst_addwizardui.moc"

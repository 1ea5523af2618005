// The song form as a user drives it: typing, the time rule, the category question, bad input of
// every kind, captions and prompts under the settings, Ditto after a concurrent change, the
// "AddMode" question and the album defaults.

#include "../../data/DataTestUtil.h"
#include "FormDriver.h"
#include "TestApp.h"
#include "common/AppState.h"
#include "core/DayTime.h"
#include "songs/ui/SelectAddType.h"
#include "songs/ui/UpdateSong.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

using namespace td;

namespace {

struct Env : test::TestApp {
    Env()
    {
        for (const char* m : { "CD", "LP" }) {
            Media r;
            r.Media = QString::fromLatin1(m);
            test::addRecord(db, r);
        }
        Categories c;
        c.CategoryID = 1;
        c.Category = QStringLiteral("Jazz");
        test::addRecord(db, c);
    }
};

// Runs `fn` on the window of that name as soon as it shows.
void onModal(const QString& name, std::function<void(QDialog*)> fn)
{
    test::onDialog(name, std::move(fn));
}

// The song form opened for no caller, waited for until it answers; `buffer` then holds the stored
// song after a completed add or change.
Response runSongForm(AppState& state, Request request, Tunedeck& buffer)
{
    test::Answer<std::pair<Response, Tunedeck>> got;
    auto answer = got.answer();
    UpdateSong(state, request, buffer, nullptr, [answer](Response r, const Tunedeck& s) { answer({ r, s }); });
    if (!got.wait()) {
        qWarning("the song form did not answer");
        return Response::None;
    }
    if (got.value().first == Response::Completed)
        buffer = got.value().second;
    return got.value().first;
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
    QWidget* w = d->findChild<QWidget*>(QString::fromLatin1(name));
    if (auto* c = qobject_cast<QComboBox*>(w))
        w = c->lineEdit();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->selectAll();
    if (auto* s = qobject_cast<QSpinBox*>(w))
        s->selectAll();
    QTest::keyClicks(w, text);
}

// The named control that has the focus (a spin box's or a combo's own line edit has no name).
QString focusName(QDialog* d)
{
    for (QWidget* w = d->focusWidget(); w && w != d; w = w->parentWidget())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            return w->objectName();
    return {};
}

void clickOk(QDialog* d)
{
    QTest::mouseClick(child<QPushButton>(d, "OK"), Qt::LeftButton);
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
    return t.get(t.key("MUS:KeyID")) == 0 ? t.rec : Tunedeck();
}

} // namespace

class TestUpdateSong : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        test::dropFormWatchers();
    }
    void addAsTyped();
    void cancelRemovesNumberedSong();
    void captionsAndPrompts();
    void badInput_data();
    void badInput();
    void widthsAndSpinLimits();
    void dateFormats_data();
    void dateFormats();
    void categoryNoKeepsFocus();
    void keyboardAlone();
    void enterShowsMessageOnce_data();
    void enterShowsMessageOnce();
    void dittoAfterConcurrentChange();
    void addModeAsks();
    void deleteWithoutWindow();
    void albumDefaults();
    void untouchedTimeAndDateKeptOnOk_data();
    void untouchedTimeAndDateKeptOnOk();
};

void TestUpdateSong::addAsTyped()
{
    Env e;
    Tunedeck buffer;
    e.script->plan(Yes); // "Add new category?"
    onModal("UpdateSong", [&](QDialog* d) {
        type(d, "Artist", "Blur");
        type(d, "Title", "Girls & Boys");
        type(d, "Album", "Parklife");
        QTest::keyClick(child<QComboBox>(d, "Media"), Qt::Key_Down); // CD -> LP
        type(d, "Time", "3:45");
        type(d, "Category", "Britpop");
        QTest::mouseClick(child<QRadioButton>(d, "Side2"), Qt::LeftButton);
        clickOk(d);
    });
    QCOMPARE(runSongForm(e.state, Request::Insert, buffer), Response::Completed);
    QCOMPARE(e.script->captions(), QStringList { "Category not found" });
    const Tunedeck s = storedSong(e.db, 1);
    QCOMPARE(s.Artist, QStringLiteral("Blur"));
    QCOMPARE(s.Media, QStringLiteral("LP"));
    QCOMPARE(s.Time, timeFromParts(0, 3, 45));
    QCOMPARE(s.CategoryID, 2);
    QCOMPARE(s.Side, QStringLiteral("2"));
    QCOMPARE(s.TrackNumber, 1);
    QCOMPARE(s.AlbumID, 1); // "AutoAddToAlbums" is on by default
    // The caller's buffer holds the stored song.
    QCOMPARE(buffer.ID, 1);
    QCOMPARE(buffer.Title, QStringLiteral("Girls & Boys"));
    QCOMPARE(buffer.CategoryID, 2);
}

void TestUpdateSong::cancelRemovesNumberedSong()
{
    Env e;
    QVERIFY(test::addRecord(e.db, test::makeSong("A", "Kept", 1)));
    Tunedeck buffer;
    qint64 whileOpen = 0;
    onModal("UpdateSong", [&](QDialog* d) {
        whileOpen = songCount(e.db);
        type(d, "Title", "Never saved");
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QCOMPARE(runSongForm(e.state, Request::Insert, buffer), Response::Cancelled);
    QCOMPARE(whileOpen, 2);
    QCOMPARE(songCount(e.db), 1);
    QCOMPARE(buffer.ID, 0);
}

void TestUpdateSong::captionsAndPrompts()
{
    Env e;
    e.state.settings.DateFormat = QStringLiteral("d2");
    e.state.settings.UDKPrompt = QStringLiteral("Mood    ");
    Tunedeck s = test::makeSong("A", "Song", 4);
    s.ReleaseDate = dayFromYmd(1997, 10, 31);
    s.CategoryID = 1;
    s.Time = timeFromParts(0, 4, 5);
    QVERIFY(test::addRecord(e.db, s));
    QString title, date, category, udk, time;
    QStringList tabs, tips;
    bool albumButton = true;
    onModal("UpdateSong", [&](QDialog* d) {
        title = d->windowTitle();
        date = child<QLineEdit>(d, "ReleaseDate")->text();
        category = child<QComboBox>(d, "Category")->currentText();
        udk = child<QLabel>(d, "UserDefinedKeyPrompt")->text();
        time = child<QLineEdit>(d, "Time")->text();
        auto* t = d->findChild<QTabWidget*>();
        for (int i = 0; i < t->count(); ++i)
            tabs << t->tabText(i);
        for (const char* n :
            { "UserDefinedKeyField", "BeatsPerMinute", "AdditionalInformation2", "Recording" })
            tips << d->findChild<QWidget*>(QString::fromLatin1(n))->toolTip();
        albumButton = child<QPushButton>(d, "DefaultWithAlbum")->isEnabled();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QCOMPARE(runSongForm(e.state, Request::Change, s), Response::Cancelled);
    QCOMPARE(title, QStringLiteral("Changing Information"));
    QCOMPARE(date, QStringLiteral("10/31/1997"));
    QCOMPARE(category, QStringLiteral("Jazz"));
    QCOMPARE(udk, QStringLiteral("Mood:"));
    QCOMPARE(time, QStringLiteral("00:04:05"));
    QCOMPARE(tabs, (QStringList { "&General", "&DJ/Custom", "Recording/&Performance", "&Notes" }));
    QCOMPARE(tips,
        (QStringList { "See File/Preferences/Customization to label this field to suit your needs",
            "Beats Per Minute (BPM)", "Addition Information (2)",
            "Recording Information (Engineer, Producer, Etc)" }));
    QVERIFY(albumButton); // the album picker is there to open
    QCOMPARE(storedSong(e.db, 4).Title, QStringLiteral("Song"));

    // A blank prompt setting gives the designed prompt; an add is captioned as one.
    e.state.settings.UDKPrompt = QStringLiteral("   ");
    Tunedeck blank;
    onModal("UpdateSong", [&](QDialog* d) {
        title = d->windowTitle();
        udk = child<QLabel>(d, "UserDefinedKeyPrompt")->text();
        d->reject();
    });
    runSongForm(e.state, Request::Insert, blank);
    QCOMPARE(title, QStringLiteral("Adding Information"));
    QCOMPARE(udk, QStringLiteral("User Defined Key Field:"));
}

void TestUpdateSong::badInput_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::newRow("time 99:99:99") << "Time"
                                   << "99:99:99"
                                   << "Invalid Time"
                                   << "\"99:99:99\" is not a time.";
    QTest::newRow("time letters") << "Time"
                                  << "abc"
                                  << "Invalid Time"
                                  << "\"abc\" is not a time.";
    QTest::newRow("date 02/30/1997") << "ReleaseDate"
                                     << "02/30/1997"
                                     << "Invalid Date"
                                     << "\"02/30/1997\" is not a date.";
    QTest::newRow("date 13/01/1997") << "ReleaseDate"
                                     << "13/01/1997"
                                     << "Invalid Date"
                                     << "\"13/01/1997\" is not a date.";
    QTest::newRow("track 100") << "TrackNumber"
                               << "100"
                               << "Range Error"
                               << "The value of Track must be between 0 and 99.";
    QTest::newRow("chart 101") << "ChartNumber"
                               << "101"
                               << "Range Error"
                               << "The value of Chart must be between 0 and 100.";
}

void TestUpdateSong::badInput()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    Env e;
    e.state.settings.DateFormat = QStringLiteral("d2");
    Tunedeck buffer;
    bool stillOpen = false;
    QString focus;
    onModal("UpdateSong", [&](QDialog* d) {
        type(d, "Artist", "Someone");
        type(d, qPrintable(field), typed);
        clickOk(d);
        stillOpen = d->isVisible();
        focus = focusName(d);
        d->reject();
    });
    QCOMPARE(runSongForm(e.state, Request::Insert, buffer), Response::Cancelled);
    QVERIFY(stillOpen);
    QCOMPARE(focus, field);
    QCOMPARE(e.script->captions(), QStringList { caption });
    QVERIFY2(e.script->asked().first().text.startsWith(text), qPrintable(e.script->asked().first().text));
    QCOMPARE(songCount(e.db), 0); // nothing half-written: the cancelled add is gone
}

void TestUpdateSong::widthsAndSpinLimits()
{
    Env e;
    Tunedeck buffer;
    onModal("UpdateSong", [&](QDialog* d) {
        type(d, "Artist", QString(45, QLatin1Char('a')));
        type(d, "FileNumber", QString(25, QLatin1Char('f')));
        type(d, "Category", QString(35, QLatin1Char('c')));
        child<QPlainTextEdit>(d, "Notes")->insertPlainText(QString(2100, QLatin1Char('n')));
        child<QPlainTextEdit>(d, "Recording")->insertPlainText(QString(300, QLatin1Char('r')));
        type(d, "TrackNumber", "-5");
        type(d, "ChartNumber", "123456");
        type(d, "BeatsPerMinute", "99999");
        e.script->plan(Yes); // the long category is new: add it
        clickOk(d); // chart 123 is out of range
        type(d, "ChartNumber", "12");
        clickOk(d);
    });
    QCOMPARE(runSongForm(e.state, Request::Insert, buffer), Response::Completed);
    const Tunedeck s = storedSong(e.db, 1);
    QCOMPARE(s.Artist.size(), 40);
    QCOMPARE(s.FileNumber.size(), 20);
    QCOMPARE(s.Notes.size(), 2000);
    QCOMPARE(s.Recording.size(), 256);
    QVERIFY(s.TrackNumber >= 0 && s.TrackNumber <= 99);
    QCOMPARE(s.ChartNumber, 12);
    QVERIFY(s.BeatsPerMinute >= 0 && s.BeatsPerMinute <= 9999);
    QCOMPARE(e.script->numbers(), (QList<int> { 0, 10 }));
    Table<Categories> c(e.db);
    c.rec.CategoryID = s.CategoryID;
    QCOMPARE(c.get(c.key("CAT:KeyCategoryID")), 0);
    QCOMPARE(c.rec.Category, QString(30, QLatin1Char('c')));
}

void TestUpdateSong::dateFormats_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shownAgain");
    QTest::newRow("mm/dd/yyyy") << "d2"
                                << "10/31/1997" << dayFromYmd(1997, 10, 31) << "10/31/1997";
    // Typing follows the picture, month first under mm/dd/yyyy even when the day could be a month.
    QTest::newRow("mm/dd/yyyy, day past 12") << "d2"
                                             << "12/25/1997" << dayFromYmd(1997, 12, 25) << "12/25/1997";
    QTest::newRow("mm/dd/yyyy, day up to 12") << "d2"
                                              << "08/06/1965" << dayFromYmd(1965, 8, 6) << "08/06/1965";
    QTest::newRow("dd/mm/yyyy, day up to 12") << "d6"
                                              << "08/06/1965" << dayFromYmd(1965, 6, 8) << "08/06/1965";
    QTest::newRow("dd/mm/yyyy") << "d6"
                                << "31/10/1997" << dayFromYmd(1997, 10, 31) << "31/10/1997";
    QTest::newRow("year only") << "n4b"
                               << "1997" << 1997 << "1997";
    QTest::newRow("blank is no date") << "d2"
                                      << "" << 0 << "";
    // An empty setting keeps the designed short-date picture rather than showing nothing.
    QTest::newRow("empty setting") << ""
                                   << "" << 0 << "";
}

void TestUpdateSong::dateFormats()
{
    QFETCH(QString, setting);
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, shownAgain);
    Env e;
    e.state.settings.DateFormat = setting;
    Tunedeck buffer;
    onModal("UpdateSong", [&](QDialog* d) {
        auto* date = child<QLineEdit>(d, "ReleaseDate");
        date->clear();
        QTest::keyClicks(date, typed);
        clickOk(d);
        if (d->isVisible())
            d->reject();
    });
    QCOMPARE(runSongForm(e.state, Request::Insert, buffer), Response::Completed);
    QCOMPARE(buffer.ReleaseDate, stored);
    QCOMPARE(e.script->asked().size(), 0);
    QString shown;
    onModal("UpdateSong", [&](QDialog* d) {
        shown = child<QLineEdit>(d, "ReleaseDate")->text();
        d->reject();
    });
    runSongForm(e.state, Request::Change, buffer);
    QCOMPARE(shown, shownAgain);
}

void TestUpdateSong::categoryNoKeepsFocus()
{
    Env e;
    Tunedeck buffer;
    e.script->plan(No);
    bool stillOpen = false;
    QString focus;
    onModal("UpdateSong", [&](QDialog* d) {
        type(d, "Category", "Britpop");
        clickOk(d);
        stillOpen = d->isVisible();
        focus = focusName(d);
        d->reject();
    });
    runSongForm(e.state, Request::Insert, buffer);
    QVERIFY(stillOpen);
    QCOMPARE(focus, QStringLiteral("Category"));
    Table<Categories> c(e.db);
    QCOMPARE(c.records(), 1);
}

void TestUpdateSong::keyboardAlone()
{
    Env e;
    Tunedeck buffer;
    QStringList duplicates { "not checked" };
    int notesTab = -1, generalTab = -1;
    QString afterAltK, afterAltH;
    onModal("UpdateSong", [&](QDialog* d) {
        duplicates = test::duplicateMnemonics(d);
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        auto* tabs = d->findChild<QTabWidget*>();
        // Alt+N is the "&Notes" tab, not the track number.
        QTest::keyClick(d->focusWidget(), Qt::Key_N, Qt::AltModifier);
        notesTab = tabs->currentIndex();
        QTest::keyClick(d->focusWidget(), Qt::Key_G, Qt::AltModifier);
        generalTab = tabs->currentIndex();
        QTest::keyClick(d->focusWidget(), Qt::Key_K, Qt::AltModifier);
        afterAltK = focusName(d);
        QTest::keyClick(d->focusWidget(), Qt::Key_D, Qt::AltModifier);
        QTest::keyClick(d->focusWidget(), Qt::Key_H, Qt::AltModifier);
        afterAltH = focusName(d);
        QTest::keyClick(d->focusWidget(), Qt::Key_Escape);
    });
    runSongForm(e.state, Request::Insert, buffer);
    QCOMPARE(duplicates, QStringList());
    QCOMPARE(notesTab, 3);
    QCOMPARE(generalTab, 0);
    QCOMPARE(afterAltK, QStringLiteral("TrackNumber"));
    QCOMPARE(afterAltH, QStringLiteral("ChartNumber"));
}

void TestUpdateSong::enterShowsMessageOnce_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("caption");
    QTest::newRow("invalid time") << "Time" << "abc" << "Invalid Time";
    QTest::newRow("invalid date") << "ReleaseDate" << "13/01/1997" << "Invalid Date";
    QTest::newRow("No to a new category") << "Category" << "Britpop" << "Category not found";
}

void TestUpdateSong::enterShowsMessageOnce()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, caption);
    Env e;
    e.state.settings.DateFormat = QStringLiteral("d2");
    e.script->plan(No); // "Add new category?"
    Tunedeck buffer;
    bool stillOpen = false;
    QString focus;
    onModal("UpdateSong", [&](QDialog* d) {
        type(d, "Artist", "Someone");
        type(d, qPrintable(field), typed);
        QWidget* entry = d->findChild<QWidget*>(field);
        if (auto* c = qobject_cast<QComboBox*>(entry))
            entry = c->lineEdit();
        QTest::keyClick(entry, Qt::Key_Return);
        stillOpen = d->isVisible();
        focus = focusName(d);
        d->reject();
    });
    runSongForm(e.state, Request::Insert, buffer);
    QVERIFY(stillOpen);
    QCOMPARE(focus, field);
    QCOMPARE(e.script->captions(), QStringList { caption });
}

void TestUpdateSong::dittoAfterConcurrentChange()
{
    Env e;
    Tunedeck s = test::makeSong("A", "Original", 3);
    QVERIFY(test::addRecord(e.db, s));
    QString shownAfterConflict, shownAfterDitto;
    onModal("UpdateSong", [&](QDialog* d) {
        type(d, "Title", "Mine");
        {
            Table<Tunedeck> other(e.db);
            other.rec.ID = 3;
            other.get(other.key("MUS:KeyID"));
            other.rec.Title = QStringLiteral("Theirs");
            other.rec.Style = QStringLiteral("Their style");
            other.put();
        }
        clickOk(d);
        shownAfterConflict = child<QLineEdit>(d, "Title")->text();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        QTest::keyClick(child<QLineEdit>(d, "Artist"), Qt::Key_Apostrophe, Qt::ControlModifier);
        shownAfterDitto = child<QLineEdit>(d, "Title")->text();
        clickOk(d);
    });
    QCOMPARE(runSongForm(e.state, Request::Change, s), Response::Completed);
    QCOMPARE(e.script->numbers(), QList<int> { 15 });
    QCOMPARE(shownAfterConflict, QStringLiteral("Theirs"));
    QCOMPARE(shownAfterDitto, QStringLiteral("Mine"));
    const Tunedeck stored = storedSong(e.db, 3);
    QCOMPARE(stored.Title, QStringLiteral("Mine"));
    QCOMPARE(stored.Style, QStringLiteral("Their style"));
    QCOMPARE(s.Title, QStringLiteral("Mine"));
}

void TestUpdateSong::addModeAsks()
{
    Env e;
    e.state.settings.AddMode = QStringLiteral("Ask Each Time");
    test::CloseOtherWindows wizards({ "UpdateSong", "SelectAddType" });
    // The question's default is "Compilation"; "Single Artist" likewise hands the add to its wizard:
    // no song form opens and no song is numbered.
    for (const char* choice : { "", "SingleArtist", "Normal" }) {
        QString caption;
        QStringList duplicates { "not checked" };
        bool formShown = false;
        onModal("SelectAddType", [&](QDialog* d) {
            caption = d->windowTitle();
            duplicates = test::duplicateMnemonics(d);
            if (*choice)
                QTest::mouseClick(child<QRadioButton>(d, choice), Qt::LeftButton);
            clickOk(d);
        });
        onModal("UpdateSong", [&](QDialog* d) {
            formShown = true;
            d->reject();
        });
        Tunedeck blank;
        QCOMPARE(runSongForm(e.state, Request::Insert, blank), Response::Cancelled);
        QCOMPARE(caption, QStringLiteral("Select Add Mode"));
        QCOMPARE(duplicates, QStringList());
        QCOMPARE(formShown, QByteArray(choice) == "Normal");
        QCOMPARE(songCount(e.db), 0);
        test::dropFormWatchers();
    }

    // A copy is not asked about.
    QVERIFY(test::addRecord(e.db, test::makeSong("A", "Song", 9)));
    Tunedeck copy = storedSong(e.db, 9);
    bool asked = false;
    onModal("SelectAddType", [&](QDialog* d) {
        asked = true;
        d->reject();
    });
    onModal("UpdateSong", [&](QDialog* d) { clickOk(d); });
    QCOMPARE(runSongForm(e.state, Request::Select, copy), Response::Completed);
    QVERIFY(!asked);
    QCOMPARE(copy.ID, 10);
    QCOMPARE(copy.Title, QStringLiteral("Song"));
    QCOMPARE(songCount(e.db), 2);
}

void TestUpdateSong::deleteWithoutWindow()
{
    Env e;
    Tunedeck s = test::makeSong("A", "Doomed", 2);
    QVERIFY(test::addRecord(e.db, s));
    e.script->plan(Ok);
    QCOMPARE(runSongForm(e.state, Request::Delete, s), Response::Completed);
    QCOMPARE(e.script->numbers(), QList<int> { 32 });
    QCOMPARE(songCount(e.db), 0);
}

// The album picker opens over the form; closed without a choice, the song keeps what was typed.
// (What a chosen album gives the song is the form logic's defaultWithAlbum.)
void TestUpdateSong::albumDefaults()
{
    Env e;
    test::CloseOtherWindows picker({ "UpdateSong" });
    Tunedeck buffer;
    bool enabled = false;
    onModal("UpdateSong", [&](QDialog* d) {
        type(d, "Artist", "Typed Artist");
        auto* b = child<QPushButton>(d, "DefaultWithAlbum");
        enabled = b->isVisible() && b->isEnabled();
        QTest::mouseClick(b, Qt::LeftButton);
        QTRY_VERIFY(d->isEnabled()); // the picker has answered
        clickOk(d);
    });
    QCOMPARE(runSongForm(e.state, Request::Insert, buffer), Response::Completed);
    QVERIFY(enabled);
    QCOMPARE(buffer.Artist, QStringLiteral("Typed Artist"));
    QCOMPARE(buffer.AlbumID, 0);
}

QTEST_MAIN(TestUpdateSong)
#include "tst_updatesong.moc"

void TestUpdateSong::untouchedTimeAndDateKeptOnOk_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("time");
    QTest::addColumn<int>("date");
    QTest::newRow("time past two hours") << "" << timeFromParts(2, 30, 0) << 0;
    QTest::newRow("two-digit year, 1901") << "d1" << 0 << dayFromYmd(1901, 3, 1);
    QTest::newRow("two-digit year, 1820") << "d1" << 0 << dayFromYmd(1820, 3, 1);
    QTest::newRow("two-digit year, 1955") << "d5" << 0 << dayFromYmd(1955, 3, 1);
    QTest::newRow("year-only setting, whole date") << "n4b" << 0 << dayFromYmd(1955, 3, 1);
    QTest::newRow("long date") << "d3" << timeFromParts(0, 4, 10) << dayFromYmd(1955, 3, 1);
}

// Regression: OK read the time and the date back from their display, so changing only the title
// of a song stored with 2:30:00 left 0:02:30, and a date shown as "3/01/01" came back as 2001.
void TestUpdateSong::untouchedTimeAndDateKeptOnOk()
{
    QFETCH(QString, setting);
    QFETCH(int, time);
    QFETCH(int, date);
    Env e;
    e.state.settings.DateFormat = setting;
    Tunedeck s = test::makeSong("A", "T", 1);
    s.Time = time;
    s.ReleaseDate = date;
    QVERIFY(test::addRecord(e.db, s));
    onModal("UpdateSong", [&](QDialog* d) {
        type(d, "Title", "Changed");
        clickOk(d);
        if (d->isVisible())
            d->reject();
    });
    QCOMPARE(runSongForm(e.state, Request::Change, s), Response::Completed);
    const Tunedeck got = storedSong(e.db, 1);
    QCOMPARE(got.Title, QStringLiteral("Changed"));
    QCOMPARE(got.Time, time);
    QCOMPARE(got.ReleaseDate, date);
    QCOMPARE(e.script->asked().size(), 0);
}

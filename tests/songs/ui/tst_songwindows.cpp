// The song windows side by side in the frame: two song forms from two lists open and saved at once,
// a list blocked only by its own form, forms closed through their Cancel path when their list or
// the frame closes, each form's own remembered place, and a list that cannot be read.

#include "../../data/DataTestUtil.h"
#include "FormDriver.h"
#include "TestApp.h"
#include "app/FrameWiring.h"
#include "app/MainFrame.h"
#include "common/ui/BrowseList.h"
#include "common/ui/FormHost.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "songs/SongBrowseLogic.h"
#include "songs/ui/BrowseSongs.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <sqlite3.h>

using namespace td;
using namespace td::test;

namespace {

struct Run : TestApp {
    MainFrame frame { state };
    Run()
    {
        state.settings.AddMode = QStringLiteral("1");
        state.settings.AutoAddToAlbums = QString();
        Media cd;
        cd.Media = QStringLiteral("CD");
        addRecord(db, cd);
        for (int i = 1; i <= 3; ++i)
            addRecord(db, makeSong("Artist", QStringLiteral("Song %1").arg(i), i));
        wireFrame(frame, state);
        frame.resize(1100, 800);
        frame.show();
    }

    BrowseSongsWindow* openList()
    {
        auto* w = static_cast<BrowseSongsWindow*>(createBrowseSongs(state));
        frame.addChildWindow(w);
        return w;
    }

    qint64 songs()
    {
        Table<Tunedeck> t(db);
        return t.records();
    }

    QString title(qint32 id)
    {
        Table<Tunedeck> t(db);
        t.rec.ID = id;
        return t.get(t.key("MUS:KeyID")) == 0 ? t.rec.Title.trimmed() : QString();
    }
};

QPushButton* button(QWidget* w, const char* name)
{
    return w->findChild<QPushButton*>(QString::fromLatin1(name));
}

// The one form open for the list (opened by clicking `which`).
QDialog* formOf(BrowseSongsWindow* list, const char* which)
{
    QTest::mouseClick(button(list, which), Qt::LeftButton);
    const QList<QDialog*> forms = openForms(list);
    return forms.size() == 1 ? forms.first() : nullptr;
}

void setTitle(QDialog* form, const QString& text)
{
    form->findChild<QLineEdit*>(QStringLiteral("Artist"))->setText(QStringLiteral("Artist"));
    form->findChild<QLineEdit*>(QStringLiteral("Title"))->setText(text);
}

QMdiSubWindow* subOf(QWidget* w)
{
    return qobject_cast<QMdiSubWindow*>(w->parentWidget());
}

// Denies reading the songs' artists: every read of the "By Artist" order fails.
int denyArtist(void*, int action, const char* table, const char* column, const char*, const char*)
{
    return action == SQLITE_READ && table && column && qstrcmp(table, "Tunedeck") == 0
            && qstrcmp(column, "Artist") == 0
        ? SQLITE_DENY
        : SQLITE_OK;
}

} // namespace

class TestSongWindows : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { dropFormWatchers(); }
    void twoFormsFromTwoListsAtOnce();
    void sameSongInTwoForms();
    void closingListCancelsItsForms_data();
    void closingListCancelsItsForms();
    void closingFrameClosesEverything();
    void formsRememberTheirOwnPlace_data();
    void formsRememberTheirOwnPlace();
    void unreadableListLeavesNoWindow();
};

void TestSongWindows::twoFormsFromTwoListsAtOnce()
{
    Run run;
    BrowseSongsWindow* a = run.openList();
    BrowseSongsWindow* b = run.openList();
    QDialog* add = formOf(a, "Add");
    QVERIFY(add);
    QCOMPARE(run.songs(), 4); // the new song is numbered and stored as the form opens
    // Only its list is blocked: the other list, the menus and the tool bar go on.
    QVERIFY(!a->isEnabled());
    QVERIFY(b->isEnabled());
    QVERIFY(run.frame.menuBar()->isEnabled());
    QVERIFY(run.frame.action(FrameAction::BrowseSongs)->isEnabled());
    QTest::keyClick(b->list()->view(), Qt::Key_Down);
    QCOMPARE(b->browser().list().highlight(), 1);

    QDialog* change = formOf(b, "Change"); // "Song 2", highlighted above
    QVERIFY(change);
    QVERIFY(!b->isEnabled());
    setTitle(add, QStringLiteral("Added in A"));
    setTitle(change, QStringLiteral("Changed in B"));
    // Closed in the order they were opened (a nested loop could only close them the other way).
    QTest::mouseClick(button(add, "OK"), Qt::LeftButton);
    QVERIFY(a->isEnabled());
    QVERIFY(!b->isEnabled());
    QTest::mouseClick(button(change, "OK"), Qt::LeftButton);
    QVERIFY(b->isEnabled());
    QCOMPARE(run.title(4), QStringLiteral("Added in A"));
    QCOMPARE(run.title(2), QStringLiteral("Changed in B"));
    QCOMPARE(run.script->numbers(), QList<int>());
    // Each list shows its own song highlighted, and its caption counts the new one.
    QCOMPARE(a->windowTitle(), QStringLiteral("Songs - 4 entries"));
    const int titleField = tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("Title"));
    QCOMPARE(a->browser().list().highlighted()->row.at(titleField).toString().trimmed(),
        QStringLiteral("Added in A"));
    QCOMPARE(b->browser().list().highlighted()->row.at(titleField).toString().trimmed(),
        QStringLiteral("Changed in B"));
}

void TestSongWindows::sameSongInTwoForms()
{
    Run run;
    BrowseSongsWindow* a = run.openList();
    BrowseSongsWindow* b = run.openList();
    QDialog* first = formOf(a, "Change");
    QDialog* second = formOf(b, "Change");
    QVERIFY(first && second && first != second);
    setTitle(first, QStringLiteral("First"));
    setTitle(second, QStringLiteral("Second"));
    QTest::mouseClick(button(first, "OK"), Qt::LeftButton);
    QCOMPARE(run.title(1), QStringLiteral("First"));
    // The other copy changed it meanwhile: said so, and the form shows what is stored now.
    QTest::mouseClick(button(second, "OK"), Qt::LeftButton);
    QCOMPARE(run.script->numbers(), QList<int> { 15 });
    QVERIFY(second->isVisible());
    QCOMPARE(
        second->findChild<QLineEdit*>(QStringLiteral("Title"))->text().trimmed(), QStringLiteral("First"));
    QCOMPARE(run.title(1), QStringLiteral("First"));
    // Typed again over the stored song, it goes in.
    setTitle(second, QStringLiteral("Second"));
    QTest::mouseClick(button(second, "OK"), Qt::LeftButton);
    QVERIFY(b->isEnabled());
    QCOMPARE(run.title(1), QStringLiteral("Second"));
}

void TestSongWindows::closingListCancelsItsForms_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<qint64>("songsWhileOpen");
    QTest::newRow("Insert form: the numbered song goes") << "Add" << qint64(4);
    QTest::newRow("Change form: nothing is saved") << "Change" << qint64(3);
    QTest::newRow("media picker") << "SelectMedia" << qint64(3);
}

void TestSongWindows::closingListCancelsItsForms()
{
    QFETCH(QString, which);
    QFETCH(qint64, songsWhileOpen);
    Run run;
    BrowseSongsWindow* list = run.openList();
    if (which == QLatin1String("SelectMedia"))
        list->tabs()->setCurrentIndex(int(SongTab::ByMedia));
    QPointer<QDialog> form = formOf(list, qPrintable(which));
    QVERIFY(form);
    if (auto* title = form->findChild<QLineEdit*>(QStringLiteral("Title")))
        title->setText(QStringLiteral("Never saved"));
    QCOMPARE(run.songs(), songsWhileOpen);
    QPointer<QMdiSubWindow> sub = subOf(list);
    sub->close();
    QVERIFY(!form || !form->isVisible());
    QTRY_VERIFY(sub.isNull() && form.isNull());
    QCOMPARE(run.songs(), qint64(3));
    QCOMPARE(run.title(1), QStringLiteral("Song 1"));
    QCOMPARE(run.script->numbers(), QList<int>());
    // The tables the form held are given back.
    QCOMPARE(run.db.useCount(TableId::Tunedeck), 0);
}

void TestSongWindows::closingFrameClosesEverything()
{
    Run run;
    BrowseSongsWindow* a = run.openList();
    BrowseSongsWindow* b = run.openList();
    QPointer<QDialog> add = formOf(a, "Add");
    b->tabs()->setCurrentIndex(int(SongTab::ByCategory));
    QPointer<QDialog> picker = formOf(b, "SelectCategory");
    QVERIFY(add && picker);
    // The picker's own category form, numbered as it opens.
    QTest::mouseClick(button(picker, "Insert"), Qt::LeftButton);
    QPointer<QDialog> category = shownDialog(QStringLiteral("UpdateCategories"));
    QVERIFY(category);
    {
        Table<Categories> c(run.db);
        QCOMPARE(c.records(), 1);
    }
    run.frame.close();
    QTRY_VERIFY(add.isNull() && picker.isNull() && category.isNull());
    QVERIFY(run.frame.mdiArea()->subWindowList().isEmpty());
    QCOMPARE(run.songs(), qint64(3));
    Table<Categories> c(run.db);
    QCOMPARE(c.records(), 0);
}

void TestSongWindows::formsRememberTheirOwnPlace_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("section");
    QTest::newRow("song form") << "Change"
                               << "UpdateSong";
    QTest::newRow("query wizard") << "Search"
                                  << "QueryWizard";
    QTest::newRow("media picker") << "SelectMedia"
                                  << "BrowseMedia";
}

void TestSongWindows::formsRememberTheirOwnPlace()
{
    QFETCH(QString, which);
    QFETCH(QString, section);
    Run run;
    BrowseSongsWindow* list = run.openList();
    if (which == QLatin1String("SelectMedia"))
        list->tabs()->setCurrentIndex(int(SongTab::ByMedia));
    subOf(list)->setGeometry(10, 10, 900, 500);
    QDialog* form = formOf(list, qPrintable(which));
    QVERIFY(form);
    form->setGeometry(QRect(200, 150, 601, 433));
    form->reject();
    const QString ini = positionIniPath();
    QCOMPARE(ini::readString(ini, section, "Width"), QStringLiteral("601"));
    QCOMPARE(ini::readString(ini, section, "Height"), QStringLiteral("433"));
    // And it comes back there.
    QDialog* again = formOf(list, qPrintable(which));
    QVERIFY(again);
    QCOMPARE(again->size(), QSize(601, 433));
    again->reject();
}

void TestSongWindows::unreadableListLeavesNoWindow()
{
    Run run;
    sqlite3_set_authorizer(run.db.connection(), denyArtist, nullptr);
    QWidget* w = createBrowseSongs(run.state);
    sqlite3_set_authorizer(run.db.connection(), nullptr, nullptr);
    QVERIFY(!w);
    QCOMPARE(run.script->numbers(), QList<int> { 35 });
    QVERIFY(run.frame.mdiArea()->subWindowList().isEmpty());
}

QTEST_MAIN(TestSongWindows)
#include "tst_songwindows.moc"

// The "Generate Play List" window: what it refuses before writing anything, and what it writes.

#include "../PlaylistFixture.h"
#include "FormDriver.h"

#include "core/DayTime.h"
#include "data/RecordServices.h"
#include "playlists/ui/GeneratePlaylist.h"
#include "playlists/ui/GeneratePlaylistWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

using namespace td;
using namespace td::test;

class TestGeneratePlaylist : public QObject {
    Q_OBJECT
private slots:
    void looksAndKeys();
    void refusals_data();
    void refusals();
    void generatesAndAnswersCompleted();
};

void TestGeneratePlaylist::looksAndKeys()
{
    PlaylistApp t;
    t.addCategory(2, QStringLiteral("Rock"));
    t.addCategory(1, QStringLiteral("Blues"));
    GeneratePlaylistWindow w(t.state);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.windowTitle(), QStringLiteral("Generate Play List"));
    QVERIFY(duplicateMnemonics(&w).isEmpty());
    auto* cats = w.findChild<QComboBox*>(QStringLiteral("Category"));
    QCOMPARE(cats->count(), 3);
    QCOMPARE(cats->itemText(0), QString());
    QCOMPARE(cats->itemText(1), QStringLiteral("Blues"));
    QVERIFY(w.findChild<QRadioButton*>(QStringLiteral("NoWeighting"))->isChecked());
    for (QWidget* c : w.findChildren<QWidget*>())
        if (c->isVisibleTo(&w) && c->parentWidget() == &w)
            QVERIFY2(w.rect().contains(c->geometry()), qPrintable(c->objectName()));
    QCOMPARE(w.findChild<QSpinBox*>(QStringLiteral("PlayListSize"))->maximum(), 99);
}

void TestGeneratePlaylist::refusals_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("deleteCategory");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::newRow("start after end") << QStringLiteral("12/31/1999") << QStringLiteral("1/1/1990") << false
                                     << QStringLiteral("Error")
                                     << QStringLiteral("The starting release date is after the ending release date.|No song could be selected.")
                                     << QStringLiteral("StartingReleaseDate");
    QTest::newRow("not a date") << QStringLiteral("1/1/1990") << QStringLiteral("soon") << false
                                << QStringLiteral("Invalid Date") << QString() << QStringLiteral("EndingReleaseDate");
    QTest::newRow("category deleted meanwhile") << QString() << QString() << true << QStringLiteral("Error")
                                                << QStringLiteral("The category \"Rock\" no longer exists.|Choose another category.")
                                                << QStringLiteral("Category");
}

void TestGeneratePlaylist::refusals()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, deleteCategory);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    PlaylistApp t;
    t.state.settings.DateFormat = QStringLiteral("d1");
    t.addCategory(1, QStringLiteral("Rock"));
    t.addSong(0, 1);
    GeneratePlaylistWindow w(t.state);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.findChild<QSpinBox*>(QStringLiteral("PlayListSize"))->setValue(5);
    w.findChild<QLineEdit*>(QStringLiteral("StartingReleaseDate"))->setText(start);
    w.findChild<QLineEdit*>(QStringLiteral("EndingReleaseDate"))->setText(end);
    w.findChild<QComboBox*>(QStringLiteral("Category"))->setCurrentIndex(1);
    if (deleteCategory) {
        Table<Categories> c(t.db);
        c.rec.CategoryID = 1;
        QCOMPARE(c.get(c.key(QStringLiteral("CAT:KeyCategoryID"))), 0);
        QCOMPARE(c.del(), 0);
    }
    w.okPressed();
    QVERIFY(w.isVisible());
    QCOMPARE(t.script->asked().size(), 1);
    QCOMPARE(t.script->asked().first().caption, caption);
    if (!text.isEmpty())
        QCOMPARE(t.script->asked().first().text, text);
    QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
    QCOMPARE(nextNumber(t.db, TableId::PlaylistMaster), 1); // nothing written
}

void TestGeneratePlaylist::generatesAndAnswersCompleted()
{
    PlaylistApp t;
    t.addCategory(1, QStringLiteral("Rock"));
    t.addCategory(2, QStringLiteral("Jazz"));
    for (int i = 0; i < 40; ++i)
        t.addSong(dayFromYmd(1980 + i % 20, 1, 1), 1 + i % 2);
    QWidget caller;
    caller.show();
    Response answer = Response::None;
    onDialog(QStringLiteral("GeneratePlaylist"), [](QDialog* d) {
        d->findChild<QSpinBox*>(QStringLiteral("PlayListSize"))->setValue(12);
        d->findChild<QComboBox*>(QStringLiteral("Category"))->setCurrentText(QStringLiteral("Jazz"));
        d->findChild<QRadioButton*>(QStringLiteral("OlderAddition"))->setChecked(true);
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Ok")), Qt::LeftButton);
    });
    GeneratePlaylist(t.state, &caller, [&](Response r) { answer = r; });
    QTRY_COMPARE(answer, Response::Completed);
    QVERIFY(caller.isEnabled());
    const QList<PlaylistDetails> lines = t.lines(1);
    QCOMPARE(lines.size(), 12);
    for (const PlaylistDetails& l : lines)
        QCOMPARE(l.ID % 2, qint64(0)); // the Jazz songs
    QVERIFY(t.script->asked().isEmpty());

    onDialog(QStringLiteral("GeneratePlaylist"), [](QDialog* d) { d->reject(); });
    GeneratePlaylist(t.state, &caller, [&](Response r) { answer = r; });
    QTRY_COMPARE(answer, Response::Cancelled);
    QCOMPARE(nextNumber(t.db, TableId::PlaylistMaster), 2);
}

QTEST_MAIN(TestGeneratePlaylist)
#include "tst_generateplaylist.moc"

// The category list in maintenance and select mode, driven by keys, mouse and popup menu, with the
// category form behind it.

#include "LookupTestUtil.h"
#include "common/ui/BrowseList.h"
#include "songs/ui/BrowseCategories.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace td;
using test::ListEnv;

namespace {

void addCategory(Database& db, qint64 id, const QString& name)
{
    Categories c;
    c.CategoryID = id;
    c.Category = name;
    test::addRecord(db, c);
}

QStringList shown(QWidget* w)
{
    auto* view = w->findChild<QTableView*>();
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        out << view->model()->index(r, 0).data().toString().trimmed();
    return out;
}

QString highlighted(QWidget* w)
{
    auto* view = w->findChild<QTableView*>();
    return view->currentIndex().data().toString().trimmed();
}

QStringList stored(Database& db)
{
    Table<Categories> t(db);
    return test::walk(t, "CAT:KeyCategory", "Category");
}

QWidget* listOf(QWidget* w)
{
    return w->findChild<BrowseList*>(QStringLiteral("List"))->view();
}

void typeInForm(QDialog* d, const QString& text)
{
    auto* e = d->findChild<QLineEdit*>(QStringLiteral("Category"));
    e->selectAll();
    QTest::keyClicks(e, text);
}

void clickOk(QDialog* d)
{
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
}

} // namespace

class TestBrowseCategories : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { test::dropWatchers(); }
    void maintainWindow();
    void insertChangeDeleteByKeys();
    void deleteRefusedWhileUsed();
    void blankNameRefusedAndCancelRemovesNumbered();
    void popupMenu();
    void selectMode_data();
    void selectMode();
};

void TestBrowseCategories::maintainWindow()
{
    ListEnv e;
    addCategory(e.db, 1, "rock");
    addCategory(e.db, 2, "Jazz");
    addCategory(e.db, 3, "Blues");
    std::unique_ptr<QWidget> w(createBrowseCategories(e.state));
    QVERIFY(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QTRY_VERIFY(w->findChild<BrowseList*>()->list().pageSize() > 3);
    QCOMPARE(w->windowTitle(), QStringLiteral("Categories"));
    QCOMPARE(shown(w.get()), (QStringList { "Blues", "Jazz", "rock" }));
    QList<QPushButton*> inOrder = w->findChildren<QPushButton*>();
    std::sort(inOrder.begin(), inOrder.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    QStringList buttons;
    for (QPushButton* b : inOrder)
        buttons << b->text();
    QCOMPARE(buttons, (QStringList { "&Select", "&Insert", "&Change", "&Delete", "Cl&ose" }));
    QCOMPARE(test::duplicateMnemonics(w.get()), QStringList());
    QVERIFY(!w->findChild<QPushButton*>(QStringLiteral("Select"))->isEnabled());
    QCOMPARE(w->findChild<QLabel*>(QStringLiteral("Status"))->text(), QStringLiteral("Browsing Records"));
    auto* view = w->findChild<QTableView*>();
    QCOMPARE(view->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Category"));
}

void TestBrowseCategories::insertChangeDeleteByKeys()
{
    ListEnv e;
    addCategory(e.db, 4, "Jazz");
    addCategory(e.db, 9, "Rock");
    std::unique_ptr<QWidget> w(createBrowseCategories(e.state));
    w->show();
    QTRY_VERIFY(w->findChild<BrowseList*>()->list().pageSize() > 3);
    QWidget* list = listOf(w.get());

    QString caption;
    QStringList duplicates { "not checked" };
    test::onModal("UpdateCategories", [&](QDialog* d) {
        caption = d->windowTitle();
        duplicates = test::duplicateMnemonics(d);
        typeInForm(d, "Soul");
        clickOk(d);
    });
    QTest::keyClick(list, Qt::Key_Insert);
    QVERIFY(test::settle(w.get()));
    QCOMPARE(caption, QStringLiteral("Add Category"));
    QCOMPARE(duplicates, QStringList());
    QCOMPARE(stored(e.db), (QStringList { "Jazz", "Rock", "Soul" }));
    QCOMPARE(highlighted(w.get()), QStringLiteral("Soul"));
    {
        Table<Categories> t(e.db);
        t.rec.Category = QStringLiteral("Soul");
        QCOMPARE(t.get(t.key("CAT:KeyCategory")), 0);
        QCOMPARE(t.rec.CategoryID, qint64(10));
    }

    test::onModal("UpdateCategories", [&](QDialog* d) {
        caption = d->windowTitle();
        typeInForm(d, "Acid Jazz");
        clickOk(d);
    });
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(test::settle(w.get()));
    QCOMPARE(caption, QStringLiteral("Change Category"));
    QCOMPARE(stored(e.db), (QStringList { "Acid Jazz", "Rock", "Soul" }));
    QCOMPARE(highlighted(w.get()), QStringLiteral("Acid Jazz"));

    // Delete the highlighted one: the neighbour takes the highlight.
    e.script->plan(Ok);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(highlighted(w.get()), QStringLiteral("Rock"));
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(e.script->numbers(), QList<int> { 32 });
    QCOMPARE(stored(e.db), (QStringList { "Acid Jazz", "Soul" }));
    QCOMPARE(shown(w.get()), (QStringList { "Acid Jazz", "Soul" }));
    QCOMPARE(highlighted(w.get()), QStringLiteral("Soul"));
}

void TestBrowseCategories::deleteRefusedWhileUsed()
{
    ListEnv e;
    addCategory(e.db, 1, "Jazz");
    Album a;
    a.AlbumID = 1;
    a.Album = QStringLiteral("Kind of Blue");
    a.CategoryID = 1;
    test::addRecord(e.db, a);
    std::unique_ptr<QWidget> w(createBrowseCategories(e.state));
    w->show();
    e.script->plan(Ok);
    e.script->plan(Ok);
    e.script->plan(No);
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Delete")), Qt::LeftButton);
    QCOMPARE(e.script->numbers(), (QList<int> { 32, 13, 18 }));
    QVERIFY(e.script->asked().at(1).text.contains(QLatin1String("referenced from the file Album.")));
    QCOMPARE(shown(w.get()), QStringList { "Jazz" });
}

void TestBrowseCategories::blankNameRefusedAndCancelRemovesNumbered()
{
    ListEnv e;
    addCategory(e.db, 1, "Jazz");
    std::unique_ptr<QWidget> w(createBrowseCategories(e.state));
    w->show();
    bool stayed = false;
    test::onModal("UpdateCategories", [&](QDialog* d) {
        typeInForm(d, "     ");
        clickOk(d);
        stayed = d->isVisible();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Insert")), Qt::LeftButton);
    QVERIFY(test::settle(w.get()));
    QVERIFY(stayed);
    QCOMPARE(e.script->captions(), QStringList { "Update Categories" });
    Table<Categories> t(e.db);
    QCOMPARE(t.records(), 1);
    QCOMPARE(shown(w.get()), QStringList { "Jazz" });
}

void TestBrowseCategories::popupMenu()
{
    ListEnv e;
    std::unique_ptr<QWidget> w(createBrowseCategories(e.state));
    w->show();
    QStringList entries;
    test::onPopup([&](QMenu* m) {
        entries = test::menuEntries(m);
        m->close();
    });
    QWidget* viewport = w->findChild<QTableView*>()->viewport();
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(10, 10));
    QTRY_VERIFY(!entries.isEmpty());
    QCOMPARE(entries,
        (QStringList { "&Insert", "&Change (off)", "&Delete (off)", "-", "&Select (off)", "Cl&ose" }));

    // The popup's entries act as their buttons.
    addCategory(e.db, 1, "Jazz");
    QTest::keyClick(w->findChild<QTableView*>(), Qt::Key_Home);
    entries.clear();
    QString caption;
    test::onPopup([&](QMenu* m) {
        entries = test::menuEntries(m);
        m->actions().at(1)->trigger();
    });
    test::onModal("UpdateCategories", [&](QDialog* d) {
        caption = d->windowTitle();
        d->reject();
    });
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(10, 10));
    QTRY_COMPARE(caption, QStringLiteral("Change Category"));
    QCOMPARE(entries, (QStringList { "&Insert", "&Change", "&Delete", "-", "&Select (off)", "Cl&ose" }));
}

void TestBrowseCategories::selectMode_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<QString>("name");
    QTest::newRow("Enter on the second row") << "enter" << true << "Jazz";
    QTest::newRow("Select button") << "button" << true << "Jazz";
    QTest::newRow("double click on the first") << "double" << true << "Blues";
    QTest::newRow("Close keeps the value") << "close" << false << "unchanged";
}

void TestBrowseCategories::selectMode()
{
    QFETCH(QString, how);
    QFETCH(bool, chosen);
    QFETCH(QString, name);
    ListEnv e;
    addCategory(e.db, 1, "Blues");
    addCategory(e.db, 2, "Jazz");
    addCategory(e.db, 3, "Rock");
    QString value = QStringLiteral("unchanged");
    qint64 id = 0;
    bool selectEnabled = false;
    test::onModal("BrowseCategories", [&](QDialog* d) {
        auto* view = d->findChild<QTableView*>();
        selectEnabled = d->findChild<QPushButton*>(QStringLiteral("Select"))->isEnabled();
        QTest::keyClick(view, Qt::Key_Home);
        if (how == QLatin1String("enter")) {
            QTest::keyClick(view, Qt::Key_Down);
            QTest::keyClick(view, Qt::Key_Return);
        } else if (how == QLatin1String("button")) {
            QTest::keyClick(view, Qt::Key_Down);
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Select")), Qt::LeftButton);
        } else if (how == QLatin1String("double")) {
            const QRect r = view->visualRect(view->model()->index(0, 0));
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, r.center());
        } else {
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Close")), Qt::LeftButton);
        }
        if (d->isVisible())
            d->reject();
    });
    test::Answer<bool> answered;
    BrowseCategories(e.state, nullptr, QString(), [&, answer = answered.answer()](const Categories* c) {
        if (c) {
            value = c->Category;
            id = c->CategoryID;
        }
        answer(c != nullptr);
    });
    QVERIFY(answered.wait());
    QCOMPARE(answered.value(), chosen);
    QVERIFY(selectEnabled);
    QCOMPARE(value, name);
    if (chosen) {
        Table<Categories> t(e.db);
        t.rec.Category = name;
        QCOMPARE(t.get(t.key("CAT:KeyCategory")), 0);
        QCOMPARE(id, t.rec.CategoryID);
    }
}

QTEST_MAIN(TestBrowseCategories)
#include "tst_browsecategories.moc"

// Categories: the look-up by name with "Add new category?", and the category form's numbering,
// saves, refusals and deletes.

#include "../data/DataTestUtil.h"
#include "TestDb.h"
#include "songs/CategoryForm.h"
#include "songs/CategoryLookup.h"

#include <QtTest>

using namespace td;

namespace {

using Env = test::TestDb;

void addCategory(Database& db, qint64 id, const QString& name)
{
    Categories c;
    c.CategoryID = id;
    c.Category = name;
    QVERIFY(test::addRecord(db, c));
}

QStringList categoryNames(Database& db)
{
    Table<Categories> t(db);
    return test::walk(t, "CAT:KeyCategory", "Category");
}

qint64 idOf(Database& db, const QString& name)
{
    Table<Categories> t(db);
    t.rec.Category = name;
    return t.get(t.key("CAT:KeyCategory")) == 0 ? t.rec.CategoryID : -1;
}

} // namespace

class TestCategories : public QObject {
    Q_OBJECT
private slots:
    void listSortedByName();
    void lookup_data();
    void lookup();
    void lookupAddFailure();
    void formAddNumbersAndSaves();
    void formAddCancelled();
    void formRefusals_data();
    void formRefusals();
    void renameKeepsLinks();
    void deleteRefusals_data();
    void deleteRefusals();
};

void TestCategories::listSortedByName()
{
    Env e;
    addCategory(e.db, 1, "rock");
    addCategory(e.db, 2, "Jazz");
    addCategory(e.db, 3, "Blues");
    QList<CategoryEntry> list;
    QVERIFY(loadCategoryList(e.db, list));
    QStringList names;
    for (const auto& c : list)
        names << c.name;
    QCOMPARE(names, (QStringList { "Blues", "Jazz", "rock" }));
    QCOMPARE(categoryNameOf(list, 2), QStringLiteral("Jazz"));
    QCOMPARE(categoryNameOf(list, 0), QString());
    QCOMPARE(categoryNameOf(list, 99), QString());
}

void TestCategories::lookup_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("linked");
    QTest::addColumn<qint64>("id");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QStringList>("names");
    const QStringList before { "Jazz", "Rock" };
    QTest::newRow("blank is no category") << "" << 0 << true << qint64(0) << false << before;
    QTest::newRow("only blanks") << "     " << 0 << true << qint64(0) << false << before;
    QTest::newRow("listed name") << "Jazz" << 0 << true << qint64(2) << false << before;
    QTest::newRow("other letter case") << "rOCK" << 0 << true << qint64(5) << false << before;
    QTest::newRow("trailing blanks") << "Rock   " << 0 << true << qint64(5) << false << before;
    QTest::newRow("new name, Yes") << "Blues" << int(Yes) << true << qint64(6) << true
                                   << QStringList { "Blues", "Jazz", "Rock" };
    QTest::newRow("new name, No") << "Blues" << int(No) << false << qint64(-7) << true << before;
    QTest::newRow("too long, cut") << "Progressive Symphonic Space Rock Opera" << int(Yes) << true
                                   << qint64(6) << true
                                   << QStringList { "Jazz", "Progressive Symphonic Space Ro", "Rock" };
}

void TestCategories::lookup()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, linked);
    QFETCH(qint64, id);
    QFETCH(bool, asked);
    QFETCH(QStringList, names);
    Env e;
    addCategory(e.db, 2, "Jazz");
    addCategory(e.db, 5, "Rock");
    QList<CategoryEntry> list;
    QVERIFY(loadCategoryList(e.db, list));
    if (answer)
        e.script->plan(answer);
    qint64 got = -7;
    const CategoryAccept r = acceptCategoryName(e.db, list, typed, &got);
    QCOMPARE(r == CategoryAccept::Linked, linked);
    QCOMPARE(got, id);
    QCOMPARE(!e.script->asked().isEmpty(), asked);
    if (asked) {
        const Message& m = e.script->asked().first();
        QCOMPARE(m.caption, QStringLiteral("Category not found"));
        QCOMPARE(m.text, QStringLiteral("Add new category?"));
        QCOMPARE(m.buttons, int(Yes | No));
        QCOMPARE(m.icon, Icon::None);
    }
    QCOMPARE(categoryNames(e.db), names);
    // The list was filled again after an add: the new name is in it.
    QCOMPARE(list.size(), names.size());
}

void TestCategories::lookupAddFailure()
{
    Env e;
    addCategory(e.db, 1, "Jazz");
    {
        test::RawFile raw(e.db.filePath(TableId::Categories));
        QVERIFY(raw.exec(
            "CREATE TRIGGER refuse BEFORE INSERT ON Categories BEGIN SELECT RAISE(ABORT, 'no'); END"));
    }
    QList<CategoryEntry> list;
    QVERIFY(loadCategoryList(e.db, list));
    e.script->plan(Yes);
    qint64 id = -1;
    QCOMPARE(acceptCategoryName(e.db, list, "Blues", &id), CategoryAccept::Refused);
    QCOMPARE(e.script->captions(), (QStringList { "Category not found", "Error!" }));
    QVERIFY(e.script->asked().at(1).text.startsWith(QLatin1String("Unable to add category - ")));
    QVERIFY(e.script->asked().at(1).text.size() > QStringLiteral("Unable to add category - ").size());
    QCOMPARE(id, qint64(-1));
    QCOMPARE(categoryNames(e.db), QStringList { "Jazz" });
}

void TestCategories::formAddNumbersAndSaves()
{
    Env e;
    addCategory(e.db, 7, "Jazz");
    CategoryForm f(e.db, Request::Insert, Categories());
    QVERIFY(f.open());
    QCOMPARE(f.record().CategoryID, qint64(8));
    {
        Table<Categories> t(e.db);
        QCOMPARE(t.records(), 2); // stored at once
    }
    f.record().Category = QStringLiteral("Soul");
    QCOMPARE(f.save(), FormSave::Closed);
    QCOMPARE(f.response(), Response::Completed);
    f.close();
    QVERIFY(f.position() != 0);
    QCOMPARE(idOf(e.db, "soul"), qint64(8));
}

void TestCategories::formAddCancelled()
{
    Env e;
    addCategory(e.db, 1, "Jazz");
    {
        CategoryForm f(e.db, Request::Insert, Categories());
        QVERIFY(f.open());
        f.record().Category = QStringLiteral("Typed");
        f.cancel();
    }
    Table<Categories> t(e.db);
    QCOMPARE(t.records(), 1);
    QVERIFY(e.script->asked().isEmpty());
}

void TestCategories::formRefusals_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    const int ins = int(Request::Insert), chg = int(Request::Change);
    QTest::newRow("add, only blanks") << ins << "    "
                                      << "Update Categories"
                                      << "Please type a name for the category.";
    QTest::newRow("add, same name other case")
        << ins << "JAZZ"
        << "Duplicate Key Error"
        << "Adding this record creates a duplicate entry for the key:CAT:KeyCategory";
    QTest::newRow("change, blank") << chg << ""
                                   << "Update Categories"
                                   << "Please type a name for the category.";
    QTest::newRow("change to another's name")
        << chg << "jazz"
        << "Duplicate Key Error"
        << "Adding this record creates a duplicate entry for the key:CAT:KeyCategory";
}

void TestCategories::formRefusals()
{
    QFETCH(int, request);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    Env e;
    addCategory(e.db, 1, "Jazz");
    addCategory(e.db, 2, "Rock");
    Categories rock;
    rock.CategoryID = 2;
    CategoryForm f(e.db, Request(request), rock);
    QVERIFY(f.open());
    f.record().Category = name;
    QCOMPARE(f.save(), FormSave::Stay);
    QCOMPARE(e.script->captions(), QStringList { caption });
    QCOMPARE(e.script->asked().first().text, text);
    f.cancel();
    f.close();
    QCOMPARE(categoryNames(e.db), (QStringList { "Jazz", "Rock" }));
}

void TestCategories::renameKeepsLinks()
{
    Env e;
    addCategory(e.db, 3, "Rock");
    Tunedeck s = test::makeSong("A", "B", 1);
    s.CategoryID = 3;
    QVERIFY(test::addRecord(e.db, s));
    Categories c;
    c.CategoryID = 3;
    CategoryForm f(e.db, Request::Change, c);
    QVERIFY(f.open());
    QCOMPARE(f.record().Category, QStringLiteral("Rock"));
    f.record().Category = QStringLiteral("Rock & Roll");
    QCOMPARE(f.save(), FormSave::Closed);
    QCOMPARE(f.response(), Response::Completed);
    QCOMPARE(idOf(e.db, "Rock & Roll"), qint64(3));
    Table<Tunedeck> t(e.db);
    t.rec.ID = 1;
    QCOMPARE(t.get(t.key("MUS:KeyID")), 0);
    QCOMPARE(t.rec.CategoryID, 3);
    QVERIFY(e.script->asked().isEmpty());
}

void TestCategories::deleteRefusals_data()
{
    QTest::addColumn<bool>("album");
    QTest::addColumn<bool>("song");
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<QString>("names");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("unused") << false << false << QList<int> { 32 } << "" << true;
    QTest::newRow("used by an album") << true << true << QList<int> { 32, 13, 18 } << "Album" << false;
    QTest::newRow("used by a song") << false << true << QList<int> { 32, 13, 18 } << "Tunedeck" << false;
}

void TestCategories::deleteRefusals()
{
    QFETCH(bool, album);
    QFETCH(bool, song);
    QFETCH(QList<int>, numbers);
    QFETCH(QString, names);
    QFETCH(bool, deleted);
    Env e;
    addCategory(e.db, 4, "Folk");
    if (album) {
        Album a;
        a.AlbumID = 1;
        a.Album = QStringLiteral("X");
        a.CategoryID = 4;
        QVERIFY(test::addRecord(e.db, a));
    }
    if (song) {
        Tunedeck s = test::makeSong("A", "B", 1);
        s.CategoryID = 4;
        QVERIFY(test::addRecord(e.db, s));
    }
    e.script->plan(Ok);
    e.script->plan(Ok);
    e.script->plan(No);
    Categories c;
    c.CategoryID = 4;
    CategoryForm f(e.db, Request::Delete, c);
    QVERIFY(!f.open());
    QCOMPARE(f.response(), deleted ? Response::Completed : Response::Cancelled);
    QCOMPARE(e.script->numbers(), numbers);
    if (!names.isEmpty())
        QVERIFY(e.script->asked().at(1).text.contains(
            QLatin1String("from the file ") + names + QLatin1Char('.')));
    QCOMPARE(categoryNames(e.db).isEmpty(), deleted);
}

QTEST_GUILESS_MAIN(TestCategories)
#include "tst_categories.moc"

// The saved-query store TDPQUERY: saving, replacing, deleting, restricted queries, and a damaged or
// missing file that never loses what the user had.

#include "TempWorkspace.h"
#include "setup/QueryWizardStore.h"

#include <QFile>
#include <QtTest>

using namespace td;
using Result = QueryStore::Result;

namespace {

SavedQuery query(const char* name, const char* expression, const char* group = "SONGS")
{
    SavedQuery q;
    q.group = QLatin1String(group);
    q.name = QLatin1String(name);
    q.description = QStringLiteral("About ") + QLatin1String(name);
    q.expression = QLatin1String(expression);
    return q;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList names(const QueryStore& store, const QString& group = QStringLiteral("SONGS"))
{
    QStringList out;
    for (const SavedQuery& q : store.queries(group))
        out << q.name;
    return out;
}

} // namespace

class TestQueryWizardStore : public QObject {
    Q_OBJECT

private slots:
    void missingFileIsEmpty();
    void saveAndReadBack();
    void replaceIgnoresLetterCase();
    void groupsApart();
    void remove();
    void restrictedRefusesChange();
    void damaged_data();
    void damaged();
    void twoWindowsKeepEachOthersQueries();
    void nameRequired();
    void unwritablePlace();
};

void TestQueryWizardStore::missingFileIsEmpty()
{
    test::TempWorkspace ws;
    QueryStore store(ws.file("TDPQUERY"));
    QCOMPARE(store.load(), Result::Ok);
    QVERIFY(!store.isDamaged());
    QVERIFY(store.queries("SONGS").isEmpty());
    QVERIFY(!store.find("SONGS", "x"));
    QVERIFY(!QFile::exists(ws.file("TDPQUERY"))); // reading creates nothing
}

void TestQueryWizardStore::saveAndReadBack()
{
    test::TempWorkspace ws;
    QueryStore store(ws.file("TDPQUERY"));
    SavedQuery rock = query("Rock", "MUS:Style = 'Rock'");
    rock.description = QStringLiteral("Line one\nLine \"two\" with 'quotes' and ¦«");
    QCOMPARE(store.save(rock), Result::Ok);
    QCOMPARE(store.save(query("  Beatles  ", "SUB(UPPER(MUS:Artist),1,2) = 'BE'")), Result::Ok);

    QueryStore again(ws.file("TDPQUERY"));
    QCOMPARE(again.load(), Result::Ok);
    QCOMPARE(names(again), QStringList({ "Beatles", "Rock" })); // sorted, blanks around the name gone
    const auto got = again.find("songs", "ROCK");
    QVERIFY(got);
    QCOMPARE(got->expression, rock.expression);
    QCOMPARE(got->description, rock.description);
    QCOMPARE(got->group, QStringLiteral("SONGS"));
    QVERIFY(!got->restricted);
}

void TestQueryWizardStore::replaceIgnoresLetterCase()
{
    test::TempWorkspace ws;
    QueryStore store(ws.file("TDPQUERY"));
    QCOMPARE(store.save(query("Rock", "MUS:Style = 'Rock'")), Result::Ok);
    QCOMPARE(store.save(query("ROCK", "MUS:Style = 'Hard Rock'")), Result::Ok);
    QCOMPARE(names(store), QStringList({ "ROCK" }));
    QCOMPARE(store.find("SONGS", "rock")->expression, QStringLiteral("MUS:Style = 'Hard Rock'"));
}

void TestQueryWizardStore::groupsApart()
{
    test::TempWorkspace ws;
    QueryStore store(ws.file("TDPQUERY"));
    QCOMPARE(store.save(query("Rock", "MUS:Style = 'Rock'")), Result::Ok);
    QCOMPARE(store.save(query("Rock", "ALB:Category = 'Rock'", "ALBUMS")), Result::Ok);
    QCOMPARE(names(store, "SONGS"), QStringList({ "Rock" }));
    QCOMPARE(store.find("ALBUMS", "Rock")->expression, QStringLiteral("ALB:Category = 'Rock'"));
    QCOMPARE(store.find("SONGS", "Rock")->expression, QStringLiteral("MUS:Style = 'Rock'"));
}

void TestQueryWizardStore::remove()
{
    test::TempWorkspace ws;
    QueryStore store(ws.file("TDPQUERY"));
    QCOMPARE(store.save(query("A", "MUS:Artist = 'A'")), Result::Ok);
    QCOMPARE(store.save(query("B", "MUS:Artist = 'B'")), Result::Ok);
    QCOMPARE(store.remove("SONGS", "a"), Result::Ok);
    QCOMPARE(store.remove("SONGS", "a"), Result::NotFound);
    QCOMPARE(store.remove("ALBUMS", "B"), Result::NotFound);
    QueryStore again(ws.file("TDPQUERY"));
    again.load();
    QCOMPARE(names(again), QStringList({ "B" }));
}

void TestQueryWizardStore::restrictedRefusesChange()
{
    test::TempWorkspace ws;
    QueryStore store(ws.file("TDPQUERY"));
    SavedQuery fixed = query("Top Ten", "MUS:ChartNumber <= 10");
    fixed.restricted = true;
    QCOMPARE(store.save(fixed), Result::Ok);
    const QByteArray before = readFile(ws.file("TDPQUERY"));

    QCOMPARE(store.save(query("top ten", "MUS:ChartNumber <= 40")), Result::Restricted);
    QCOMPARE(store.remove("SONGS", "Top Ten"), Result::Restricted);
    QCOMPARE(readFile(ws.file("TDPQUERY")), before);
    QueryStore again(ws.file("TDPQUERY"));
    again.load();
    QVERIFY(again.find("SONGS", "Top Ten")->restricted);
    QCOMPARE(again.find("SONGS", "Top Ten")->expression, QStringLiteral("MUS:ChartNumber <= 10"));
}

void TestQueryWizardStore::damaged_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not JSON") << QByteArray("\x01\x02garbage{{{");
    QTest::newRow("cut short") << QByteArray(
        "{\"format\":\"Tunedeck query store\",\"version\":1,\"queries\":[{\"na");
    QTest::newRow("someone else's JSON") << QByteArray("{\"queries\":[]}");
    QTest::newRow("a list instead of an object") << QByteArray("[1,2,3]");
    QTest::newRow("queries not a list")
        << QByteArray("{\"format\":\"Tunedeck query store\",\"version\":1,\"queries\":7}");
}

void TestQueryWizardStore::damaged()
{
    QFETCH(QByteArray, content);
    test::TempWorkspace ws;
    const QString path = ws.file("TDPQUERY");
    writeFile(path, content);

    QueryStore store(path);
    QCOMPARE(store.load(), Result::Damaged);
    QVERIFY(store.isDamaged());
    QVERIFY(store.queries("SONGS").isEmpty());
    QCOMPARE(readFile(path), content); // reading never changes it

    // Saving starts a new store and keeps the damaged one beside it.
    QCOMPARE(store.save(query("Rock", "MUS:Style = 'Rock'")), Result::Ok);
    QCOMPARE(readFile(path + ".damaged"), content);
    QueryStore again(path);
    QCOMPARE(again.load(), Result::Ok);
    QCOMPARE(names(again), QStringList({ "Rock" }));
}

void TestQueryWizardStore::twoWindowsKeepEachOthersQueries()
{
    test::TempWorkspace ws;
    QueryStore one(ws.file("TDPQUERY"));
    QueryStore two(ws.file("TDPQUERY"));
    one.load();
    two.load();
    QCOMPARE(one.save(query("From one", "MUS:Artist = '1'")), Result::Ok);
    QCOMPARE(two.save(query("From two", "MUS:Artist = '2'")), Result::Ok);
    QCOMPARE(one.remove("SONGS", "From one"), Result::Ok);
    QueryStore three(ws.file("TDPQUERY"));
    three.load();
    QCOMPARE(names(three), QStringList({ "From two" }));
}

void TestQueryWizardStore::nameRequired()
{
    test::TempWorkspace ws;
    QueryStore store(ws.file("TDPQUERY"));
    QCOMPARE(store.save(query("   ", "MUS:Artist = 'x'")), Result::NoName);
    QVERIFY(!QFile::exists(ws.file("TDPQUERY")));
}

void TestQueryWizardStore::unwritablePlace()
{
    test::TempWorkspace ws;
    QueryStore store(ws.file("no such folder/TDPQUERY"));
    QCOMPARE(store.save(query("Rock", "MUS:Style = 'Rock'")), Result::WriteFailed);
}

QTEST_GUILESS_MAIN(TestQueryWizardStore)
#include "tst_querywizardstore.moc"

// Media: the media form's add, rename with its cascade to the songs, refusals and deletes.

#include "../data/DataTestUtil.h"
#include "TestDb.h"
#include "songs/MediaForm.h"
#include "songs/MediaList.h"

#include <QtTest>

using namespace td;

namespace {

using Env = test::TestDb;

void addMedia(Database& db, const QString& name)
{
    Media m;
    m.Media = name;
    QVERIFY(test::addRecord(db, m));
}

QStringList mediaNames(Database& db)
{
    Table<Media> t(db);
    return test::walk(t, "MED:KeyMedia", "Media");
}

QString mediaOfSong(Database& db, int id)
{
    Table<Tunedeck> t(db);
    t.rec.ID = id;
    return t.get(t.key("MUS:KeyID")) == 0 ? t.rec.Media : QStringLiteral("<gone>");
}

Media named(const QString& n)
{
    Media m;
    m.Media = n;
    return m;
}

} // namespace

class TestMedia : public QObject {
    Q_OBJECT
private slots:
    void existsIgnoresCase();
    void add_data();
    void add();
    void rename_data();
    void rename();
    void deleteRules();
};

void TestMedia::existsIgnoresCase()
{
    Env e;
    addMedia(e.db, "CD");
    QVERIFY(mediaExists(e.db, "cd"));
    QVERIFY(mediaExists(e.db, "CD  "));
    QVERIFY(!mediaExists(e.db, "LP"));
    QVERIFY(!mediaExists(e.db, "   "));
    QCOMPARE(findMedia({ "Cassette", "cd", "CD" }, "CD"), 2);
    QCOMPARE(findMedia({ "Cassette", "cd" }, "CD"), 1);
    QCOMPARE(findMedia({ "Cassette" }, "CD"), -1);
}

void TestMedia::add_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("new name") << "LP" << QStringList {} << QStringList { "CD", "LP" };
    QTest::newRow("other letter case")
        << "cd" << QStringList { "Duplicate Key Error" } << QStringList { "CD" };
    QTest::newRow("only blanks") << "   " << QStringList { "Update Media Format" } << QStringList { "CD" };
    QTest::newRow("too long, cut to 20")
        << "Digital Compact Cassette" << QStringList {} << QStringList { "CD", "Digital Compact Cass" };
}

void TestMedia::add()
{
    QFETCH(QString, name);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, stored);
    Env e;
    addMedia(e.db, "CD");
    MediaForm f(e.db, Request::Insert, Media());
    QVERIFY(f.open());
    f.record().Media = name;
    QCOMPARE(f.save(), captions.isEmpty() ? FormSave::Closed : FormSave::Stay);
    QCOMPARE(e.script->captions(), captions);
    if (captions.value(0) == QLatin1String("Duplicate Key Error"))
        QCOMPARE(e.script->asked().first().text,
            QStringLiteral("Adding this record creates a duplicate entry for the key:MED:KeyMedia"));
    QCOMPARE(mediaNames(e.db), stored);
}

void TestMedia::rename_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QStringList>("media");
    QTest::addColumn<QStringList>("songs");
    QTest::newRow("CD to Compact Disc") << "CD"
                                        << "Compact Disc" << true << QStringList { "Compact Disc", "LP" }
                                        << QStringList { "Compact Disc", "Compact Disc", "LP" };
    QTest::newRow("letter case only")
        << "CD"
        << "cd" << true << QStringList { "cd", "LP" } << QStringList { "cd", "cd", "LP" };
    QTest::newRow("to another's name")
        << "LP"
        << "cd" << false << QStringList { "CD", "LP" } << QStringList { "CD", "cd", "LP" };
    QTest::newRow("unchanged") << "LP"
                               << "LP  " << true << QStringList { "CD", "LP" }
                               << QStringList { "CD", "cd", "LP" };
}

void TestMedia::rename()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, done);
    QFETCH(QStringList, media);
    QFETCH(QStringList, songs);
    Env e;
    addMedia(e.db, "CD");
    addMedia(e.db, "LP");
    Tunedeck s = test::makeSong("A", "One", 1);
    QVERIFY(test::addRecord(e.db, s));
    s = test::makeSong("A", "Two", 2);
    s.Media = QStringLiteral("cd"); // found through the key whatever its case
    QVERIFY(test::addRecord(e.db, s));
    s = test::makeSong("A", "Three", 3);
    s.Media = QStringLiteral("LP");
    QVERIFY(test::addRecord(e.db, s));

    MediaForm f(e.db, Request::Change, named(from));
    QVERIFY(f.open());
    QCOMPARE(f.record().Media, from);
    f.record().Media = to;
    QCOMPARE(f.save(), done ? FormSave::Closed : FormSave::Stay);
    QCOMPARE(f.response(), done ? Response::Completed : Response::Cancelled);
    QCOMPARE(mediaNames(e.db), media);
    QCOMPARE((QStringList { mediaOfSong(e.db, 1), mediaOfSong(e.db, 2), mediaOfSong(e.db, 3) }), songs);
}

void TestMedia::deleteRules()
{
    Env e;
    addMedia(e.db, "CD");
    addMedia(e.db, "LP");
    QVERIFY(test::addRecord(e.db, test::makeSong("A", "One", 1)));
    // Used by a song: refused naming the song table; asked again, given up.
    e.script->plan(Ok);
    e.script->plan(Ok);
    e.script->plan(No);
    {
        MediaForm f(e.db, Request::Delete, named("cd"));
        QVERIFY(!f.open());
        QCOMPARE(f.response(), Response::Cancelled);
    }
    QCOMPARE(e.script->numbers(), (QList<int> { 32, 13, 18 }));
    QVERIFY(e.script->asked().at(1).text.contains(QLatin1String("from the file Tunedeck.")));
    // Unused: deleted; the last one leaves the table empty.
    e.script->clear();
    for (const char* name : { "LP", "CD" }) {
        if (QLatin1String(name) == QLatin1String("CD")) {
            Table<Tunedeck> t(e.db);
            t.rec.ID = 1;
            QCOMPARE(t.get(t.key("MUS:KeyID")), 0);
            QCOMPARE(t.del(), 0);
        }
        e.script->plan(Ok);
        MediaForm f(e.db, Request::Delete, named(QString::fromLatin1(name)));
        QVERIFY(!f.open());
        QCOMPARE(f.response(), Response::Completed);
    }
    QCOMPARE(mediaNames(e.db), QStringList {});
    // Cancelled at the question: nothing happens.
    addMedia(e.db, "DAT");
    e.script->clear();
    e.script->plan(Cancel);
    MediaForm f(e.db, Request::Delete, named("DAT"));
    QVERIFY(!f.open());
    QCOMPARE(mediaNames(e.db), QStringList { "DAT" });
}

QTEST_GUILESS_MAIN(TestMedia)
#include "tst_media.moc"

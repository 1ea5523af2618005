// Moving the legacy song table into the song table: every field carried over, nothing lost when a
// song cannot be added, an interrupted run continuing where it stopped.

#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "data/Database.h"
#include "data/TableHandle.h"
#include "setup/UpgradeFiles.h"

#include <QtTest>

using namespace td;

namespace {

void addLegacy(Database& db, int n)
{
    Table<OldTunedeck> old(db);
    for (int i = 1; i <= n; ++i) {
        old.clear();
        old.rec.Artist = QStringLiteral("Artist with a thirty char name").left(30);
        old.rec.Title = QStringLiteral("Title %1").arg(i);
        old.rec.Album = QStringLiteral("Album %1").arg(i % 3);
        old.rec.Media = QStringLiteral("LP");
        old.rec.FileNumber = QStringLiteral("0123456789");
        old.rec.ReleaseDate = (i % 2) ? 0 : 71000 + i;
        old.rec.Notes = QStringLiteral("Notes of %1").arg(i);
        QCOMPARE(old.add(), 0);
    }
}

QStringList songTitles(Database& db)
{
    QStringList out;
    Table<Tunedeck> t(db);
    t.set(t.key("MUS:SongsByTitle"));
    while (t.next() == 0)
        out << t.rec.Title;
    return out;
}

} // namespace

class TestUpgradeFiles : public QObject {
    Q_OBJECT
private slots:
    void emptyLegacyShowsNothing();
    void movesEveryRecord();
    void interruptedRunContinues();
    void songThatCannotBeAddedStays();
};

void TestUpgradeFiles::emptyLegacyShowsNothing()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    UpgradeFiles run(db);
    QVERIFY(!run.start());
    QVERIFY(script->asked().isEmpty());
    QCOMPARE(db.useCount(TableId::OldTunedeck), 0);
    QCOMPARE(db.useCount(TableId::Tunedeck), 0);
}

void TestUpgradeFiles::movesEveryRecord()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    addLegacy(db, 7);
    UpgradeFiles run(db);
    run.runToEnd();
    QCOMPARE(run.moved(), 7);
    QVERIFY(script->asked().isEmpty());
    QCOMPARE(Table<OldTunedeck>(db).records(), 0);
    Table<Tunedeck> t(db);
    QCOMPARE(t.records(), 7);
    t.set(t.key("MUS:SongsByTitle"));
    int zeroDates = 0;
    while (t.next() == 0) {
        QCOMPARE(t.rec.Artist, QStringLiteral("Artist with a thirty char name"));
        QCOMPARE(t.rec.Media, QStringLiteral("LP"));
        QCOMPARE(t.rec.FileNumber, QStringLiteral("0123456789"));
        const int n = t.rec.Title.mid(6).toInt();
        QCOMPARE(t.rec.Notes, QStringLiteral("Notes of %1").arg(n));
        QCOMPARE(t.rec.ReleaseDate, (n % 2) ? 0 : 71000 + n);
        zeroDates += t.rec.ReleaseDate == 0;
        QCOMPARE(t.rec.ID, 0);   // numbered later by the link test, as imported songs are
    }
    QCOMPARE(zeroDates, 4);
}

void TestUpgradeFiles::interruptedRunContinues()
{
    test::TempWorkspace ws;
    Messages messages;
    test::installScripted(messages);
    Database db(messages);
    addLegacy(db, 25);
    {
        UpgradeFiles first(db);
        QVERIFY(first.start());
        QVERIFY(first.step(10));
        first.cancel();
        first.finish();
        QCOMPARE(first.moved(), 10);
    }
    QCOMPARE(Table<OldTunedeck>(db).records(), 15);
    UpgradeFiles second(db);
    second.runToEnd();
    QCOMPARE(second.moved(), 15);
    const QStringList titles = songTitles(db);
    QCOMPARE(titles.size(), 25);
    QCOMPARE(QSet<QString>(titles.begin(), titles.end()).size(), 25);   // none twice
}

void TestUpgradeFiles::songThatCannotBeAddedStays()
{
    // A song table that refuses the rows (a trigger standing in for a full disk): every legacy
    // record stays where it is and the user is told.
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    addLegacy(db, 3);
    {
        Table<Tunedeck> open(db);
        QCOMPARE(db.exec("CREATE TEMP TRIGGER refuse BEFORE INSERT ON \"Tunedeck\".\"Tunedeck\" "
                         "BEGIN SELECT RAISE(ABORT, 'disk full'); END"),
                 0);
        UpgradeFiles run(db);
        run.runToEnd();
        QCOMPARE(run.moved(), 0);
        QCOMPARE(run.kept(), 3);
    }
    QCOMPARE(Table<OldTunedeck>(db).records(), 3);
    QCOMPARE(script->asked().size(), 1);
    QVERIFY(script->asked().first().text.startsWith("3 song(s)"));
}

QTEST_GUILESS_MAIN(TestUpgradeFiles)
#include "tst_upgradefiles.moc"

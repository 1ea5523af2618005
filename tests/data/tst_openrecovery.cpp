// A catalogue left behind by a copy that was killed in the middle of a commit over several files
// (hot journals and their super-journal on disk, a file cut short) opens whole: SQLite rolls the
// journals back under its locks before the files are judged. A second copy opens the catalogue
// at any moment while another commits.

#include "ChildProcess.h"
#include "DataTestUtil.h"
#include "KillSwitchVfs.h"
#include "TestDb.h"

#include <QDir>
#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

constexpr int kSeedSongs = 10;
constexpr int kSeedCategories = 2;

// Adds songs and categories in one transaction over both files; false on any failure.
bool addBatch(Database& db, Table<Tunedeck>& songs, Table<Categories>& cats, int batch, int count)
{
    TransactionGuard tx(db);
    if (!tx.ok())
        return false;
    for (int i = 0; i < count; ++i) {
        songs.clear();
        songs.rec = makeSong(QStringLiteral("Artist %1 %2").arg(batch).arg(i), QStringLiteral("Title %1").arg(i));
        if (songs.add() != 0)
            return false;
    }
    cats.clear();
    cats.rec.CategoryID = 1000 + batch;
    cats.rec.Category = QStringLiteral("Category %1").arg(batch);
    if (cats.add() != 0)
        return false;
    return tx.commit() == 0;
}

// Child: one large commit over the song and category files, killed at the n-th write to a file.
int commitKilled(const QStringList& args)
{
    installKillSwitchVfs();
    Messages m;
    Database db(m, args.at(0));
    Table<Tunedeck> songs(db);
    Table<Categories> cats(db);
    db.bulkHint(TableId::Tunedeck, true); // nothing reaches the files before the commit
    if (db.begin() != 0)
        return 2;
    for (int i = 0; i < 3000; ++i) {
        songs.clear();
        songs.rec = makeSong(QStringLiteral("New %1").arg(i), QStringLiteral("Song %1").arg(i));
        if (songs.add() != 0)
            return 2;
    }
    cats.clear();
    cats.rec.CategoryID = 99;
    cats.rec.Category = QStringLiteral("Never Stored");
    if (cats.add() != 0)
        return 2;
    armKillSwitch(args.at(1), args.at(2).toInt());
    db.commit();
    return 3; // not killed: the test's premise failed
}

// Child: commits over both files in a loop until it is stopped.
int commitLoop(const QStringList& args)
{
    Messages m;
    Database db(m, args.at(0));
    Table<Tunedeck> songs(db);
    Table<Categories> cats(db);
    db.bulkHint(TableId::Tunedeck, true); // every commit writes its pages at once, growing the file
    for (int batch = 100;; ++batch) // category numbers apart from the test's own
        addBatch(db, songs, cats, batch, 2000);
}

ChildRoles roles()
{
    return { { QStringLiteral("commit-killed"), commitKilled }, { QStringLiteral("commit-loop"), commitLoop } };
}

quint32 bigEndian(const QByteArray& b, int at)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | quint8(b.at(at + i));
    return v;
}

} // namespace

class TstOpenRecovery : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        env_ = std::make_unique<TestWorkspace>();
        Database db(env_->messages, dir());
        Table<Tunedeck> songs(db);
        Table<Categories> cats(db);
        QVERIFY(addBatch(db, songs, cats, 0, kSeedSongs - 1));
        QVERIFY(addBatch(db, songs, cats, 1, 1));
        QCOMPARE(songs.records(), qint64(kSeedSongs));
    }
    void cleanup() { env_.reset(); }

    void killedCommitOpensWhole_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("nthWrite");
        QTest::addColumn<bool>("cutShort");
        // The first page written holds the new page count while the pages that extend the file
        // are still to come: read without SQLite, the file looks truncated.
        QTest::newRow("song file, its first page written") << "tdpdata.db" << 1 << true;
        QTest::newRow("song file, half written") << "tdpdata.db" << 40 << false;
        QTest::newRow("song file whole, category file not yet") << "TDPCAT.db" << 1 << false;
    }
    void killedCommitOpensWhole()
    {
        QFETCH(QString, file);
        QFETCH(int, nthWrite);
        QFETCH(bool, cutShort);
        auto child = startChild(QStringLiteral("commit-killed"), { dir(), file, QString::number(nthWrite) });
        QVERIFY(child);
        QVERIFY(child->waitForFinished(120000));
        QCOMPARE(child->exitStatus(), QProcess::CrashExit);

        // What the kill left: a hot journal naming a super-journal that is still there.
        const QDir d(dir());
        QVERIFY(d.exists(QStringLiteral("tdpdata.db-journal")));
        QCOMPARE(d.entryList({ QStringLiteral("tdpmain.db-mj*") }, QDir::Files).size(), 1);
        if (cutShort) {
            const QByteArray b = fileBytes(d.filePath(QStringLiteral("tdpdata.db")));
            QVERIFY(qint64(bigEndian(b, 28)) * 4096 > b.size());
        }

        for (int round = 0; round < 2; ++round) {
            Database db(env_->messages, dir());
            QVERIFY(db.CheckOpen(TableId::Tunedeck));
            QVERIFY(db.CheckOpen(TableId::Categories));
            QCOMPARE(env_->script->captions(), QStringList());
            Table<Tunedeck> songs(db);
            Table<Categories> cats(db);
            QCOMPARE(songs.records(), qint64(kSeedSongs));
            QCOMPARE(cats.records(), qint64(kSeedCategories));
            for (const char* schema : { "Tunedeck", "Categories" }) {
                Statement check(db.connection(), QStringLiteral("PRAGMA \"%1\".integrity_check").arg(QLatin1String(schema)));
                QCOMPARE(check.step(), SQLITE_ROW);
                QCOMPARE(check.text(0), QStringLiteral("ok"));
            }
            QVERIFY(!d.exists(QStringLiteral("tdpdata.db-journal")));
        }
        // And the catalogue takes new commits over both files.
        Database db(env_->messages, dir());
        Table<Tunedeck> songs(db);
        Table<Categories> cats(db);
        QVERIFY(addBatch(db, songs, cats, 2, 5));
        QCOMPARE(songs.records(), qint64(kSeedSongs + 5));
        QCOMPARE(cats.records(), qint64(kSeedCategories + 1));
        QCOMPARE(env_->script->captions(), QStringList());
    }

    void opensWhileAnotherCopyCommits()
    {
        auto child = startChild(QStringLiteral("commit-loop"), { dir() });
        QVERIFY(child);
        qint64 seen = kSeedSongs;
        // Wait for the other copy's first commit.
        for (int i = 0; i < 200 && seen == kSeedSongs; ++i) {
            QTest::qWait(50);
            RawFile raw(QDir(dir()).filePath(QStringLiteral("tdpdata.db")));
            seen = qMax(seen, raw.scalar(QStringLiteral("SELECT count(*) FROM Tunedeck")));
        }
        QVERIFY(seen > kSeedSongs);
        for (int i = 0; i < 60; ++i) {
            Database db(env_->messages, dir());
            QVERIFY2(db.CheckOpen(TableId::Tunedeck) && db.CheckOpen(TableId::Categories),
                qPrintable(QStringLiteral("open %1: %2").arg(i).arg(db.endText())));
            Table<Tunedeck> songs(db);
            const qint64 n = songs.records();
            QVERIFY(n >= seen);
            seen = n;
        }
        QCOMPARE(env_->script->captions(), QStringList());
        QCOMPARE(child->state(), QProcess::Running);
        child->kill();
        child->waitForFinished(10000);
    }

private:
    QString dir() const { return env_->ws.path(); }
    std::unique_ptr<TestWorkspace> env_;
};

int main(int argc, char** argv)
{
    if (const int rc = runChildRole(argc, argv, roles()); rc >= 0)
        return rc;
    QCoreApplication app(argc, argv);
    TstOpenRecovery t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "tst_openrecovery.moc"

// The connection's statement cache: a statement is lent to one user at a time and comes back clean,
// the cache stays bounded, and no cached statement gives a stale answer after its file was closed
// and changed, or after another program changed the schema of an open file.

#include "DataTestUtil.h"
#include "ScriptedMessages.h"
#include "TempWorkspace.h"

#include "data/Schema.h"

#include <QFile>
#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

QStringList artistsByKey(Database& db)
{
    Table<Tunedeck> songs(db);
    PageRead read;
    read.key = songs.key(QStringLiteral("MUS:SongsByArtist"));
    read.limit = 100;
    QList<PageRow> rows;
    if (songs.readPage(read, rows) != 0)
        return { QStringLiteral("<read failed: %1>").arg(songs.lastError().engineText) };
    QStringList out;
    for (const PageRow& r : rows)
        out << r.row.at(songs.def().fieldIndex(QStringLiteral("Artist"))).toString();
    return out;
}

} // namespace

class TstStatementCache : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ws_ = std::make_unique<TempWorkspace>();
        messages_ = std::make_unique<Messages>();
        scripted_ = installScripted(*messages_);
        db_ = std::make_unique<Database>(*messages_, ws_->path());
    }
    void cleanup()
    {
        db_.reset();
        messages_.reset();
        ws_.reset();
    }

    void aStatementInUseIsNotLentAgain()
    {
        StatementCache& cache = db_->statementCache();
        const QString sql = QStringLiteral("SELECT ?1 UNION ALL SELECT ?1 + 1");
        CachedStatement a = cache.take(sql);
        QVERIFY(a);
        sqlite3_bind_int64(a.get(), 1, 10);
        QCOMPARE(sqlite3_step(a.get()), SQLITE_ROW);
        // The same text while the first is half-way through its rows: a statement of its own.
        CachedStatement b = cache.take(sql);
        QVERIFY(b);
        QVERIFY(a.get() != b.get());
        sqlite3_bind_int64(b.get(), 1, 20);
        QCOMPARE(sqlite3_step(b.get()), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int64(b.get(), 0), 20);
        QCOMPARE(sqlite3_step(a.get()), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int64(a.get(), 0), 11);

        // Given back reset and unbound: the next user starts from the first row, with no value.
        a.release();
        b.release();
        QCOMPARE(cache.idleCount(), 2);
        CachedStatement c = cache.take(sql);
        QVERIFY(c);
        QCOMPARE(sqlite3_step(c.get()), SQLITE_ROW);
        QCOMPARE(sqlite3_column_type(c.get(), 0), SQLITE_NULL);
    }

    void keepsAtMostItsCapacity()
    {
        StatementCache cache(db_->connection(), 4);
        sqlite3_stmt* latest = nullptr;
        for (int i = 0; i < 10; ++i) {
            CachedStatement s = cache.take(QStringLiteral("SELECT %1").arg(i));
            QVERIFY(s);
            latest = s.get();
        }
        QCOMPARE(cache.idleCount(), 4);
        // The most recently used are the ones kept.
        CachedStatement again = cache.take(QStringLiteral("SELECT 9"));
        QCOMPARE(again.get(), latest);
        QCOMPARE(cache.idleCount(), 3);
    }

    void aFailedPrepareIsReportedAndNotKept()
    {
        CachedStatement s = db_->statement(QStringLiteral("SELECT * FROM no_such_table"));
        QVERIFY(!s);
        QVERIFY(s.prepareResult() != SQLITE_OK);
        QVERIFY(db_->lastError().code != 0);
        s.release();
        QCOMPARE(db_->statementCache().idleCount(), 0);
    }

    // Closed (the file stays attached, its statements kept), changed meanwhile and opened again:
    // the page read follows the file, whether it was written to, had its keys rebuilt (the index
    // lives elsewhere in the file), was replaced by another file or removed.
    void aClosedAndReopenedFileIsReadAfresh_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("artists");
        const QStringList three { QStringLiteral("Abba"), QStringLiteral("Bach"), QStringLiteral("Cher") };
        QTest::newRow("nothing") << "" << QStringList { QStringLiteral("Bach") };
        QTest::newRow("rows added by another program") << "rows" << three;
        QTest::newRow("keys rebuilt here") << "rebuilt" << three;
        QTest::newRow("key made again by another program") << "reindexed" << three;
        QTest::newRow("replaced by another file") << "replaced" << QStringList { QStringLiteral("Dvorak") };
        QTest::newRow("removed") << "removed" << QStringList();
    }
    void aClosedAndReopenedFileIsReadAfresh()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, artists);
        const QString path = db_->filePath(TableId::Tunedeck);
        const QString rows = QStringLiteral("INSERT INTO \"Tunedeck\" (\"Artist\",\"Title\",\"ID\") "
                                            "VALUES ('Abba','SOS',2),('Cher','Believe',3)");
        {
            TableUse use(*db_, TableId::Tunedeck);
            QVERIFY(use.ok());
            QVERIFY(addRecord(*db_, makeSong(QStringLiteral("Bach"), QStringLiteral("Air"), 1)) > 0);
            QCOMPARE(artistsByKey(*db_), QStringList { QStringLiteral("Bach") });
        }
        QVERIFY(!db_->isOpen(TableId::Tunedeck));
        QVERIFY(db_->isAttached(TableId::Tunedeck));
        QVERIFY(db_->statementCache().idleCount() > 0);
        if (change == QLatin1String("rows") || change == QLatin1String("reindexed")) {
            RawFile raw(path);
            if (change == QLatin1String("reindexed")) {
                const TableDef& t = tableDef(TableId::Tunedeck);
                const int key = t.keyIndex(QStringLiteral("MUS:SongsByArtist"));
                QVERIFY2(raw.exec(QStringLiteral("DROP INDEX %1; %2")
                                      .arg(schema::quoted(schema::indexName(t, key)),
                                          schema::createIndexSql(t, key, QStringLiteral("main")))),
                    qPrintable(raw.lastError));
            }
            QVERIFY2(raw.exec(rows), qPrintable(raw.lastError));
        } else if (change == QLatin1String("rebuilt")) {
            QCOMPARE(db_->rebuildKeys(TableId::Tunedeck), 0);
            QVERIFY(!db_->isAttached(TableId::Tunedeck));
            RawFile raw(path);
            QVERIFY2(raw.exec(rows), qPrintable(raw.lastError));
        } else if (change == QLatin1String("replaced")) {
            const QString copy = path + QStringLiteral(".new");
            QVERIFY(QFile::copy(path, copy));
            {
                RawFile raw(copy);
                QVERIFY2(raw.exec(QStringLiteral("UPDATE \"Tunedeck\" SET \"Artist\"='Dvorak'")), qPrintable(raw.lastError));
            }
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::rename(copy, path));
        } else if (change == QLatin1String("removed")) {
            QVERIFY(QFile::remove(path));
        }
        TableUse use(*db_, TableId::Tunedeck);
        QVERIFY(use.ok());
        QCOMPARE(artistsByKey(*db_), artists);
        QVERIFY(scripted_->asked().isEmpty());
    }

    // Another program (the sqlite3 tool) changes the schema of a file the program has open: the
    // cached page read compiles again instead of failing or reading a dropped index.
    void aSchemaChangedByAnotherProgramIsFollowed_data()
    {
        QTest::addColumn<QString>("change");
        const TableDef& t = tableDef(TableId::Tunedeck);
        const int key = t.keyIndex(QStringLiteral("MUS:SongsByArtist"));
        const QString index = schema::quoted(schema::indexName(t, key));
        QTest::newRow("key rebuilt") << QStringLiteral("DROP INDEX %1; %2")
                                            .arg(index,
                                                schema::createIndexSql(t, key, QStringLiteral("main")));
        QTest::newRow("table of its own added")
            << QStringLiteral("CREATE TABLE notes(x); CREATE INDEX notes_x ON notes(x)");
        QTest::newRow("column added") << QStringLiteral("ALTER TABLE \"Tunedeck\" ADD COLUMN extra TEXT");
    }
    void aSchemaChangedByAnotherProgramIsFollowed()
    {
        QFETCH(QString, change);
        TableUse use(*db_, TableId::Tunedeck);
        QVERIFY(use.ok());
        QVERIFY(addRecord(*db_, makeSong(QStringLiteral("Bach"), QStringLiteral("Air"), 1)) > 0);
        QCOMPARE(artistsByKey(*db_), QStringList { QStringLiteral("Bach") });
        {
            RawFile raw(db_->filePath(TableId::Tunedeck));
            QVERIFY2(raw.exec(change), qPrintable(raw.lastError));
            QVERIFY2(raw.exec(QStringLiteral(
                         "INSERT INTO \"Tunedeck\" (\"Artist\",\"Title\",\"ID\") VALUES ('Abba','SOS',2)")),
                qPrintable(raw.lastError));
        }
        QCOMPARE(artistsByKey(*db_), (QStringList { QStringLiteral("Abba"), QStringLiteral("Bach") }));
    }

private:
    std::unique_ptr<TempWorkspace> ws_;
    std::unique_ptr<Messages> messages_;
    std::shared_ptr<ScriptedMessages> scripted_;
    std::unique_ptr<Database> db_;
};

QTEST_GUILESS_MAIN(TstStatementCache)
#include "tst_statementcache.moc"

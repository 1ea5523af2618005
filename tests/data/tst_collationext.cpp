// The key order built as a loadable extension: a plain SQLite connection (as the sqlite3 tool has)
// that loads it checks, reads and writes our files in the program's own order.

#include "DataTestUtil.h"
#include "ScriptedMessages.h"
#include "TempWorkspace.h"

#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

// A connection without anything of ours, optionally with the extension loaded.
struct PlainConnection {
    explicit PlainConnection(const QString& path, bool withExtension)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        if (withExtension) {
            sqlite3_enable_load_extension(db, 1);
            char* err = nullptr;
            loadResult = sqlite3_load_extension(db, TD_COLLATION_MODULE, nullptr, &err);
            loadError = QString::fromUtf8(err ? err : "");
            sqlite3_free(err);
        }
    }
    ~PlainConnection() { sqlite3_close_v2(db); }
    QStringList column(const QString& sql)
    {
        QStringList out;
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK)
            return { QStringLiteral("<%1>").arg(QString::fromUtf8(sqlite3_errmsg(db))) };
        while (sqlite3_step(s) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
        return out;
    }
    bool exec(const QString& sql)
    {
        return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    sqlite3* db = nullptr;
    int loadResult = -1;
    QString loadError;
};

} // namespace

class TstCollationExt : public QObject {
    Q_OBJECT

private slots:
    void toolChecksReadsAndWritesInOurOrder()
    {
        TempWorkspace ws;
        Messages messages;
        installScripted(messages);
        const QStringList artists { "Émile", "éclair", "ÆON", "æther", "Zoë", "zoe", "Straße", "STRASSE",
            "Ørsted", "Ωmega", "ωmega " };
        {
            Database db(messages, ws.path());
            Table<Tunedeck> songs(db);
            for (int i = 0; i < artists.size(); ++i) {
                songs.rec = makeSong(artists.at(i), QStringLiteral("T"), i + 1);
                QCOMPARE(songs.add(), 0);
            }
        }
        const QString path = ws.file(QStringLiteral("tdpdata.db"));
        {
            // The tool's own NOCASE folds ASCII only and finds our keys out of order.
            PlainConnection plain(path, false);
            QVERIFY(plain.column(QStringLiteral("PRAGMA integrity_check")) != QStringList { "ok" });
        }
        PlainConnection tool(path, true);
        QVERIFY2(tool.loadResult == SQLITE_OK, qPrintable(tool.loadError));
        QCOMPARE(tool.column(QStringLiteral("PRAGMA integrity_check")), QStringList { "ok" });
        // A name written by the tool is filed where the program looks for it.
        QVERIFY(tool.exec(QStringLiteral(
            "INSERT INTO Tunedeck (Artist, Title, Media, ID) VALUES ('ÉCLAIR 2', 'T', 'CD', 99)")));
        QCOMPARE(tool.column(QStringLiteral("PRAGMA integrity_check")), QStringList { "ok" });
        const QStringList byTool = tool.column(
            QStringLiteral("SELECT Artist FROM Tunedeck ORDER BY Artist COLLATE NOCASE, Title, rowid"));

        Database db(messages, ws.path());
        Table<Tunedeck> songs(db);
        QCOMPARE(walk(songs, QStringLiteral("SongsByArtist"), QStringLiteral("Artist")), byTool);
        QVERIFY(byTool.indexOf(QStringLiteral("éclair")) + 1 == byTool.indexOf(QStringLiteral("ÉCLAIR 2")));
    }
};

QTEST_GUILESS_MAIN(TstCollationExt)
#include "tst_collationext.moc"

#include "data/UpgradeFile.h"

#include "data/Collation.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Schema.h"
#include "data/Statement.h"

#include <QFileInfo>
#include <QSet>
#include <QUrl>
#include <sqlite3.h>

namespace td {

int UpgradeFile(Database& db, TableId table)
{
    const TableId owner = Database::fileOwner(table);
    const TableDef& t = tableDef(owner);
    const QString path = db.filePath(owner);
    auto fail = [&](int code, const QString& text = {}) {
        db.setLastError(StorageError::make(code, text));
        return code;
    };
    auto failSqlite = [&](sqlite3* c, int rc) {
        db.setLastError(storageErrorFromSqlite(rc, c));
        return db.lastError().code;
    };

    if (!db.letGo(owner))
        return fail(AlreadyOpen);
    if (!QFileInfo::exists(path))
        return fail(FileNotFound);
    FileConnection c(path, false);
    if (c.openResult != SQLITE_OK)
        return failSqlite(c.db, c.openResult);

    auto pragmaInt = [&](const char* name, int* out) {
        Statement st(c.db, QStringLiteral("PRAGMA %1").arg(QLatin1String(name)));
        const int rc = st.step();
        if (rc != SQLITE_ROW)
            return failSqlite(c.db, rc);
        *out = int(st.int64(0));
        return 0;
    };
    int version = 0;
    int appId = 0;
    if (int err = pragmaInt("user_version", &version))
        return err;
    if (int err = pragmaInt("application_id", &appId))
        return err;
    // Only a file of ours is converted: a table of our name in any other file would lose its rows
    // and columns to blank records.
    if (!schema::isOurMark(appId))
        return fail(InvalidDataFile, QStringLiteral("Not A Data File Of This Program"));
    if (version > t.layoutVersion)
        return fail(LayoutDiffers,
                    QStringLiteral("File Layout %1 Is Newer Than This Program's (%2)").arg(version).arg(t.layoutVersion));

    // The stored columns, by name.
    QSet<QString> stored;
    {
        Statement st(c.db, QStringLiteral("PRAGMA table_info(%1)").arg(schema::quoted(t.label)));
        int rc;
        while ((rc = st.step()) == SQLITE_ROW)
            stored.insert(st.text(1).toLower());
        if (rc != SQLITE_DONE)
            return failSqlite(c.db, rc);
    }
    if (stored.isEmpty())
        return fail(InvalidDataFile, QStringLiteral("No Table To Upgrade"));
    bool anyOfOurs = false;
    for (const auto& f : t.fields)
        anyOfOurs = anyOfOurs || stored.contains(f.name.toLower());
    if (!anyOfOurs)
        return fail(InvalidDataFile, QStringLiteral("Not A Data File Of This Program"));

    // A damaged file is not converted: copying would lose what cannot be read.
    {
        Statement st(c.db, QStringLiteral("PRAGMA quick_check(1)"));
        const int rc = st.step();
        if (rc != SQLITE_ROW)
            return failSqlite(c.db, rc);
        if (st.text(0) != QLatin1String("ok")) {
            StorageError e = StorageError::make(EngineError);
            e.engineCode = SQLITE_CORRUPT;
            e.engineText = st.text(0);
            db.setLastError(e);
            return EngineError;
        }
    }

    auto exec = [&](const QString& sql) {
        const int rc = sqlite3_exec(c.db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
        return rc == SQLITE_OK ? 0 : failSqlite(c.db, rc);
    };
    if (int err = exec(QStringLiteral("PRAGMA journal_mode=DELETE")))
        return err;
    if (int err = exec(QStringLiteral("BEGIN IMMEDIATE")))
        return err;

    const QString newName = t.label + QLatin1String("__upgrade");
    TableDef target = t;
    target.label = newName;
    QStringList into{QStringLiteral("rowid")};
    QStringList from{QStringLiteral("rowid")};
    for (const auto& f : t.fields) {
        if (!stored.contains(f.name.toLower()))
            continue;   // a new field keeps its blank or zero default
        into << schema::quoted(f.name);
        from << QStringLiteral("COALESCE(%1, %2)").arg(schema::quoted(f.name), f.isText() ? QStringLiteral("''")
                                                                                          : QStringLiteral("0"));
    }
    int err = exec(QStringLiteral("DROP TABLE IF EXISTS main.%1").arg(schema::quoted(newName)));
    if (!err)
        err = exec(schema::createTableSql(target, QStringLiteral("main")));
    if (!err)
        err = exec(QStringLiteral("INSERT INTO main.%1 (%2) SELECT %3 FROM main.%4")
                       .arg(schema::quoted(newName), into.join(QLatin1Char(',')), from.join(QLatin1Char(',')),
                            schema::quoted(t.label)));
    if (!err)
        err = exec(QStringLiteral("DROP TABLE main.%1").arg(schema::quoted(t.label)));
    if (!err)
        err = exec(QStringLiteral("ALTER TABLE main.%1 RENAME TO %2").arg(schema::quoted(newName), schema::quoted(t.label)));
    for (int k = 0; !err && k < t.keys.size(); ++k)
        err = exec(schema::createIndexSql(t, k, QStringLiteral("main")));
    if (!err)
        err = exec(QStringLiteral("PRAGMA user_version=%1").arg(t.layoutVersion));
    if (!err)
        err = exec(QStringLiteral("PRAGMA application_id=%1").arg(schema::applicationId()));
    if (!err)
        err = exec(QStringLiteral("COMMIT"));
    if (err) {
        const StorageError e = db.lastError();
        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        db.setLastError(e);
        return err;
    }
    db.clearLastError();
    return 0;
}

} // namespace td

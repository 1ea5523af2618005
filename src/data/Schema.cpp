#include "data/Schema.h"

#include "data/Collation.h"
#include "data/Errors.h"

#include <sqlite3.h>

namespace td::schema {

int applicationId()
{
    return kApplicationMark | kKeyCollationVersion;
}

bool isOurMark(int id)
{
    return (id & 0xFFFF0000) == kApplicationMark;
}

QString quoted(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QString columnList(const TableDef& t)
{
    QStringList cols;
    for (const auto& f : t.fields)
        cols << quoted(f.name);
    return cols.join(QLatin1Char(','));
}

QString createTableSql(const TableDef& t, const QString& schemaName)
{
    QStringList cols;
    for (const auto& f : t.fields) {
        if (f.isText())
            cols << QStringLiteral("%1 TEXT COLLATE %2 NOT NULL DEFAULT ''")
                        .arg(quoted(f.name), QLatin1String(kKeyCollation));
        else
            cols << QStringLiteral("%1 INTEGER NOT NULL DEFAULT 0").arg(quoted(f.name));
    }
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1.%2 (%3)")
        .arg(quoted(schemaName), quoted(t.label), cols.join(QLatin1String(", ")));
}

QString indexName(const TableDef& t, int key)
{
    return t.label + QLatin1Char('_') + t.keys.at(key).name;
}

QString keyCondition(const TableDef& t, int key)
{
    const KeyDef& k = t.keys.at(key);
    if (!k.optional)
        return {};
    const FieldDef& f = t.fields.at(k.fields.first());
    return f.isText() ? QStringLiteral("%1 <> ''").arg(quoted(f.name))
                      : QStringLiteral("%1 <> 0").arg(quoted(f.name));
}

QStringList keyColumns(const TableDef& t, int key, bool descending)
{
    QStringList cols;
    for (int i : t.keys.at(key).fields)
        cols << (descending ? quoted(t.fields.at(i).name) + QLatin1String(" DESC") : quoted(t.fields.at(i).name));
    return cols;
}

QString createIndexSql(const TableDef& t, int key, const QString& schemaName)
{
    const KeyDef& k = t.keys.at(key);
    QStringList cols;
    for (int i : k.fields) {
        const FieldDef& f = t.fields.at(i);
        cols << (f.isText() ? quoted(f.name) + QLatin1String(" COLLATE ") + QLatin1String(kKeyCollation)
                            : quoted(f.name));
    }
    QString sql = QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2.%3 ON %4 (%5)")
                      .arg(k.unique ? QStringLiteral("UNIQUE ") : QString(), quoted(schemaName),
                           quoted(indexName(t, key)), quoted(t.label), cols.join(QLatin1String(", ")));
    const QString cond = keyCondition(t, key);
    if (!cond.isEmpty())
        sql += QLatin1String(" WHERE ") + cond;
    return sql;
}

QString rowCountTable(const TableDef& t)
{
    return t.label + QLatin1String("_RowCount");
}

namespace {

QString addTrigger(const TableDef& t)
{
    return t.label + QLatin1String("_RowAdded");
}

QString deleteTrigger(const TableDef& t)
{
    return t.label + QLatin1String("_RowDeleted");
}

QString literal(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

QByteArray utf8(const QString& s)
{
    return s.toUtf8();
}

// The number the first column of the first row holds; -1 on any failure.
qint64 singleNumber(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* st = nullptr;
    qint64 n = -1;
    if (sqlite3_prepare_v2(db, utf8(sql).constData(), -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
}

} // namespace

QString keptCountSql(const TableDef& t, const QString& schemaName)
{
    // The triggers are checked on every read: a count without them (dropped by hand) is not trusted.
    const QString s = quoted(schemaName);
    return QStringLiteral(
        "SELECT n FROM %1.%2 WHERE (SELECT count(*) FROM %1.sqlite_schema WHERE type='trigger' "
        "AND tbl_name=%3 AND name IN (%4,%5))=2")
        .arg(
            s, quoted(rowCountTable(t)), literal(t.label), literal(addTrigger(t)), literal(deleteTrigger(t)));
}

int ensureKeptCount(sqlite3* db, const TableDef& t, const QString& schemaName)
{
    const QString s = quoted(schemaName);
    const QString count = quoted(rowCountTable(t));
    if (singleNumber(db, QStringLiteral("SELECT count(*) FROM (%1)").arg(keptCountSql(t, schemaName))) == 1
        && singleNumber(db, QStringLiteral("SELECT count(*) FROM %1.%2").arg(s, count)) == 1)
        return SQLITE_OK;
    // The delete comes before the count: it takes the file's write lock, so no other writer can
    // change the table between counting and the triggers taking over.
    const QStringList steps {
        QStringLiteral("BEGIN"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1.%2 (n INTEGER NOT NULL)").arg(s, count),
        QStringLiteral("DELETE FROM %1.%2").arg(s, count),
        QStringLiteral("DROP TRIGGER IF EXISTS %1.%2").arg(s, quoted(addTrigger(t))),
        QStringLiteral("DROP TRIGGER IF EXISTS %1.%2").arg(s, quoted(deleteTrigger(t))),
        QStringLiteral("INSERT INTO %1.%2 (n) SELECT count(*) FROM %1.%3").arg(s, count, quoted(t.label)),
        QStringLiteral("CREATE TRIGGER %1.%2 AFTER INSERT ON %3 BEGIN UPDATE %4 SET n = n + 1; END")
            .arg(s, quoted(addTrigger(t)), quoted(t.label), count),
        QStringLiteral("CREATE TRIGGER %1.%2 AFTER DELETE ON %3 BEGIN UPDATE %4 SET n = n - 1; END")
            .arg(s, quoted(deleteTrigger(t)), quoted(t.label), count),
        QStringLiteral("COMMIT"),
    };
    int rc = SQLITE_OK;
    for (int i = 0; rc == SQLITE_OK && i < steps.size(); ++i)
        rc = sqlite3_exec(db, utf8(steps.at(i)).constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK && !sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
}

} // namespace td::schema

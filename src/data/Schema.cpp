#include "data/Schema.h"

#include "data/Collation.h"
#include "data/Errors.h"

#include <QFile>

namespace td::schema {

namespace {

quint32 bigEndian(const QByteArray& b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | quint8(b.at(at + i));
    return v;
}

// Looks at the file's header without SQLite: our files must be SQLite databases whose pages are
// all present. Returns 0, 2 (empty file: nothing to lose, created like a missing one) or 36.
} // namespace


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

int checkDataFileHeader(const QString& path, QString* why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return AccessDenied;
    const qint64 size = f.size();
    if (size == 0)
        return FileNotFound;
    const QByteArray h = f.read(100);
    if (h.size() < 100 || !h.startsWith(QByteArray("SQLite format 3", 16))) {
        *why = QStringLiteral("Not A Data File");
        return InvalidDataFile;
    }
    quint32 pageSize = bigEndian(h, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    const quint32 pages = bigEndian(h, 28, 4);
    const quint32 changeCounter = bigEndian(h, 24, 4);
    const quint32 validFor = bigEndian(h, 92, 4);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) {
        *why = QStringLiteral("Damaged Data File");
        return InvalidDataFile;
    }
    // The page count in the header is trusted when it was written with the last change.
    if (validFor == changeCounter && pages > 0 && qint64(pages) * pageSize > size) {
        *why = QStringLiteral("Data File Is Truncated");
        return InvalidDataFile;
    }
    if (size % pageSize != 0) {
        *why = QStringLiteral("Data File Is Truncated");
        return InvalidDataFile;
    }
    return 0;
}

} // namespace td::schema

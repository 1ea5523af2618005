// Opening, creating and repairing the data files, and the shared open routine CheckOpen.

#include "data/Database.h"

#include "data/Collation.h"
#include "data/Schema.h"
#include "data/StandardWarning.h"
#include "data/Statement.h"
#include "data/UpgradeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUrl>
#include <sqlite3.h>

namespace td {

namespace {

QString uriFor(const QString& path, bool create)
{
    QString uri = QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded());
    uri += create ? QLatin1String("?mode=rwc") : QLatin1String("?mode=rw");
    return uri;
}

struct IndexInfo {
    bool unique = false;
    bool partial = false;
    QStringList columns;
    QStringList collations;
};

} // namespace

int Database::attach(TableId file, bool create)
{
    Statement st(db_, QStringLiteral("ATTACH DATABASE ? AS %1").arg(schema::quoted(schemaName(file))));
    const QString uri = uriFor(filePath(file), create);
    st.bind(1, uri);
    const int rc = st.step();
    if (rc != SQLITE_DONE) {
        const int err = setLastSqliteError(rc);
        // SQLite names the file as it was given, as a URI; users see its path.
        lastError_.engineText.replace(uri, QDir::toNativeSeparators(filePath(file)));
        return err;
    }
    attached_[int(file)] = true;
    return 0;
}

// Attaches a file and checks that it holds the table in the current layout with sound keys.
// Leaves it attached only when the answer is 0.
int Database::probeFile(TableId file)
{
    const TableDef& t = tableDef(file);
    const QString path = filePath(file);
    const QString s = schema::quoted(t.label);
    newerLayout_ = false;

    const QFileInfo fi(path);
    if (!fi.exists()) {
        lastError_ = StorageError::make(FileNotFound);
        return FileNotFound;
    }
    if (!fi.isFile()) {
        lastError_ = StorageError::make(InvalidDataFile, QStringLiteral("Not A Data File"));
        return InvalidDataFile;
    }
    if (!fi.isReadable() || !fi.isWritable()) {
        lastError_ = StorageError::make(AccessDenied);
        return AccessDenied;
    }
    // The file is judged by SQLite alone, under its locks: attaching reads the schema, which first
    // rolls back a journal left by a commit that never finished (ours or another copy's), so a
    // file cut short by a kill is whole again before anything is looked at. A file that is not a
    // database, or whose pages are missing or damaged, is refused by SQLite here or below.
    if (const int err = attach(file, false))
        return err;

    auto failWith = [&](int code, const QString& text = {}) {
        StorageError e = StorageError::make(code, text);
        if (code == EngineError || code == FileLocked || code == InvalidDataFile) {
            e.engineCode = lastError_.engineCode;
            e.engineText = lastError_.engineText;
        }
        detachNow(file);
        lastError_ = e;
        return code;
    };
    auto pragmaInt = [&](const char* name, int* out) {
        Statement st(db_, QStringLiteral("PRAGMA %1.%2").arg(s, QLatin1String(name)));
        const int rc = st.step();
        if (rc != SQLITE_ROW)
            return setLastSqliteError(rc == SQLITE_DONE ? st.prepareResult() : rc);
        *out = int(st.int64(0));
        return 0;
    };

    if (sqlite3_db_readonly(db_, t.label.toUtf8().constData()) == 1)
        return failWith(AccessDenied);

    int version = 0;
    int appId = 0;
    if (int err = pragmaInt("user_version", &version))
        return failWith(err);
    if (int err = pragmaInt("application_id", &appId))
        return failWith(err);

    // Does the table exist, and with which columns?
    QSet<QString> columns;
    {
        Statement st(db_, QStringLiteral("PRAGMA %1.table_info(%2)").arg(s, schema::quoted(t.label)));
        int rc;
        while ((rc = st.step()) == SQLITE_ROW)
            columns.insert(st.text(1).toLower());
        if (rc != SQLITE_DONE)
            return failWith(setLastSqliteError(rc));
    }
    if (columns.isEmpty()) {
        qint64 objects = -1;
        {
            Statement st(db_, QStringLiteral("SELECT count(*) FROM %1.sqlite_schema").arg(s));
            const int rc = st.step();
            if (rc != SQLITE_ROW)
                setLastSqliteError(rc);
            else
                objects = st.int64(0);
        }
        if (objects < 0)
            return failWith(lastError_.code);
        // An empty database of ours (nothing in it yet) is created like a missing file; anything
        // else is some other program's database and is left alone.
        if (objects == 0 && version == 0 && (appId == 0 || schema::isOurMark(appId)))
            return failWith(FileNotFound);
        return failWith(InvalidDataFile, QStringLiteral("Not A Data File Of This Program"));
    }
    if (appId != 0 && !schema::isOurMark(appId))
        return failWith(InvalidDataFile, QStringLiteral("Not A Data File Of This Program"));
    // Only a file we wrote (our mark) is converted from an older layout; a table of our name in
    // any other file (another program's, one made by hand) is never touched: converting it would
    // keep none of what it holds.
    bool allColumns = true;
    for (const auto& f : t.fields)
        allColumns = allColumns && columns.contains(f.name.toLower());
    if (appId == 0 && (version != t.layoutVersion || !allColumns))
        return failWith(InvalidDataFile, QStringLiteral("Not A Data File Of This Program"));
    if (version > t.layoutVersion) {
        newerLayout_ = true;
        return failWith(LayoutDiffers,
                        QStringLiteral("File Layout %1 Is Newer Than This Program's (%2)").arg(version).arg(t.layoutVersion));
    }
    if (version < t.layoutVersion || !allColumns)
        return failWith(LayoutDiffers);

    // The records must be readable: the last page of the table is the first to go when a file is cut.
    {
        Statement st(db_, QStringLiteral("SELECT rowid FROM %1.%2 ORDER BY rowid DESC LIMIT 1").arg(s, schema::quoted(t.label)));
        const int rc = st.step();
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            setLastSqliteError(rc);
            return failWith(lastError_.code == FileLocked ? FileLocked : (rc & 0xff) == SQLITE_CORRUPT ? EngineError
                                                                                               : lastError_.code);
        }
    }

    // Keys: every key's index must be there as we build it, in the key order of this program.
    if (appId != schema::applicationId())
        return failWith(KeysMustBeRebuilt);
    for (int k = 0; k < t.keys.size(); ++k) {
        const QString name = schema::indexName(t, k);
        IndexInfo info;
        bool found = false;
        {
            Statement st(db_, QStringLiteral("PRAGMA %1.index_list(%2)").arg(s, schema::quoted(t.label)));
            while (st.step() == SQLITE_ROW) {
                if (st.text(1).compare(name, Qt::CaseInsensitive) == 0) {
                    found = true;
                    info.unique = st.int64(2) != 0;
                    info.partial = st.int64(4) != 0;
                }
            }
        }
        if (!found)
            return failWith(KeysMustBeRebuilt);
        {
            Statement st(db_, QStringLiteral("PRAGMA %1.index_xinfo(%2)").arg(s, schema::quoted(name)));
            while (st.step() == SQLITE_ROW) {
                if (st.int64(5) == 0)   // key columns only, not the rowid
                    continue;
                info.columns << st.text(2).toLower();
                info.collations << st.text(4).toUpper();
            }
        }
        const KeyDef& key = t.keys.at(k);
        bool same = info.unique == key.unique && info.partial == key.optional
            && info.columns.size() == key.fields.size();
        for (int i = 0; same && i < key.fields.size(); ++i) {
            const FieldDef& f = t.fields.at(key.fields.at(i));
            same = info.columns.at(i) == f.name.toLower()
                && (!f.isText() || info.collations.at(i) == QLatin1String(kKeyCollation));
        }
        if (!same)
            return failWith(KeysMustBeRebuilt);
    }

    // Our files use a rollback journal so that a commit over several files stays atomic.
    {
        Statement st(db_, QStringLiteral("PRAGMA %1.journal_mode").arg(s));
        if (st.step() == SQLITE_ROW && st.text(0).compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
            Statement set(db_, QStringLiteral("PRAGMA %1.journal_mode=DELETE").arg(s));
            set.step();
        }
    }
    // The file keeps its own record count (made here for files of earlier versions); without it
    // the count is counted.
    schema::ensureKeptCount(db_, t, t.label);
    // A small page cache while browsing; bulk runs ask for a large one (bulkHint).
    exec(QStringLiteral("PRAGMA %1.cache_size=%2").arg(s).arg(bulk_[fileIndex(file)] > 0 ? -kBulkCacheKiB : -kSmallCacheKiB));
    clearLastError();
    return 0;
}

int Database::openFile(TableId table)
{
    const int i = static_cast<int>(table);
    if (opened_[i]) {
        lastError_ = StorageError::make(AlreadyOpen);
        return AlreadyOpen;
    }
    const TableId owner = fileOwner(table);
    if (const int err = reuseClosedFile(owner))
        return err;
    if (!attached_[int(owner)]) {
        if (inTransaction()) {
            // SQLite cannot attach a file inside a transaction: tables are opened before it begins.
            lastError_ = StorageError::make(EngineError);
            lastError_.engineCode = -1;
            lastError_.engineText = QStringLiteral("Table %1 opened inside a transaction").arg(tableDef(table).label);
            return EngineError;
        }
        if (const int err = probeFile(owner))
            return err;
    }
    opened_[i] = true;
    clearLastError();
    return 0;
}

int Database::createFile(TableId table)
{
    const TableId owner = fileOwner(table);
    const TableDef& t = tableDef(owner);
    const QString path = filePath(owner);
    const bool existed = QFileInfo::exists(path);
    if (!letGo(owner)) {
        lastError_ = StorageError::make(AlreadyOpen);
        return AlreadyOpen;
    }
    if (existed && QFileInfo(path).size() != 0) {
        // Never written over: only a missing or empty file is created.
        lastError_ = StorageError::make(AccessDenied, QStringLiteral("File Already Exists"));
        return AccessDenied;
    }
    int rc = SQLITE_OK;
    {
        // On a connection of its own, so the files other windows hold do not stand in the way.
        FileConnection c(path, true);
        rc = c.openResult;
        const QStringList steps = [&] {
            QStringList sql{QStringLiteral("PRAGMA journal_mode=DELETE"), QStringLiteral("BEGIN IMMEDIATE"),
                            schema::createTableSql(t, QStringLiteral("main"))};
            for (int k = 0; k < t.keys.size(); ++k)
                sql << schema::createIndexSql(t, k, QStringLiteral("main"));
            sql << QStringLiteral("PRAGMA user_version=%1").arg(t.layoutVersion)
                << QStringLiteral("PRAGMA application_id=%1").arg(schema::applicationId()) << QStringLiteral("COMMIT");
            return sql;
        }();
        for (int i = 0; rc == SQLITE_OK && i < steps.size(); ++i)
            rc = c.exec(steps.at(i));
        if (rc != SQLITE_OK) {
            lastError_ = storageErrorFromSqlite(rc, c.db);
            if (c.db)
                sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    if (rc != SQLITE_OK) {
        if (!existed)
            QFile::remove(path);
        return lastError_.code;
    }
    clearLastError();
    return 0;
}

int Database::rebuildKeys(TableId table)
{
    const TableId owner = fileOwner(table);
    const TableDef& t = tableDef(owner);
    if (!letGo(owner)) {
        lastError_ = StorageError::make(AlreadyOpen);
        return AlreadyOpen;
    }
    FileConnection c(filePath(owner), false);
    int rc = c.openResult;
    if (rc == SQLITE_OK)
        rc = c.exec(QStringLiteral("BEGIN IMMEDIATE"));
    QStringList indexes;
    if (rc == SQLITE_OK) {
        Statement st(c.db, QStringLiteral("SELECT name FROM main.sqlite_schema WHERE type='index' AND sql IS NOT NULL "
                                          "AND tbl_name=?"));
        st.bind(1, t.label);
        while ((rc = st.step()) == SQLITE_ROW)
            indexes << st.text(0);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    for (int i = 0; rc == SQLITE_OK && i < indexes.size(); ++i)
        rc = c.exec(QStringLiteral("DROP INDEX main.%1").arg(schema::quoted(indexes.at(i))));
    for (int k = 0; rc == SQLITE_OK && k < t.keys.size(); ++k)
        rc = c.exec(schema::createIndexSql(t, k, QStringLiteral("main")));
    if (rc == SQLITE_OK)
        rc = c.exec(QStringLiteral("PRAGMA application_id=%1").arg(schema::applicationId()));
    if (rc == SQLITE_OK)
        rc = c.exec(QStringLiteral("COMMIT"));
    if (rc != SQLITE_OK) {
        // A unique key that the old order allowed twice cannot be rebuilt: all of it is undone.
        lastError_ = storageErrorFromSqlite(rc, c.db);
        if (c.db)
            sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        return lastError_.code;
    }
    clearLastError();
    return 0;
}

bool Database::CheckOpen(TableId table, bool create)
{
    // After the end nothing more is opened.
    if (ended_)
        return false;
    const QString fileName = QFileInfo(filePath(table)).fileName();
    const QString label = tableDef(table).label;
    // The song view shares the song file; only the song table itself goes to the upgrade.
    const bool upgradable = table != TableId::A_Songs;

    int err = openFile(table);
    if (err == EngineError && inTransaction()) {
        saveError();
        StandardWarning(*this, StdMsg::FileAccessError, fileName);
        return false;
    }
    if (err == FileLocked)
        err = openFile(table);   // the lock wait has passed once; one more try
    if (err == NoError || err == AlreadyOpen)
        return true;

    if (err == FileNotFound && create) {
        if (createFile(table)) {
            saveError();
            StandardWarning(*this, StdMsg::FileCreationError, fileName);
            return false;
        }
        if (openFile(table)) {
            saveError();
            StandardWarning(*this, StdMsg::CreatedFileOpenError, fileName);
            return false;
        }
        return true;
    }

    if (err == KeysMustBeRebuilt) {
        if (StandardWarning(*this, StdMsg::InvalidKey, fileName) != Yes)
            return false;
        if (rebuildKeys(table)) {
            saveError();
            StandardWarning(*this, StdMsg::KeyRebuildError, fileName);
            return false;
        }
        err = openFile(table);
        if (err == NoError)
            return true;
    }

    if (err == LayoutDiffers) {
        if (!newerLayout_ && upgradable) {
            const int upgradeErr = UpgradeFile(*this, table);
            if (upgradeErr == NoError) {
                err = openFile(table);
                if (err == NoError)
                    return true;
            }
        }
        saveError();
        StandardWarning(*this, StdMsg::InvalidFile, fileName);
        return false;
    }

    const StorageError openError = lastError_;
    if ((err == InvalidDataFile || err == InvalidRecord || err == EngineError) && upgradable) {
        if (UpgradeFile(*this, table) == NoError && openFile(table) == NoError)
            return true;
    }
    saveError(openError);
    StandardWarning(*this, StdMsg::FileAccessError, fileName);
    return false;
}

} // namespace td

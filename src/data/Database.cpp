#include "data/Database.h"

#include "data/Collation.h"
#include "data/Schema.h"
#include "data/SqlFunctions.h"
#include "data/SuperJournal.h"
#include "data/WriteIntent.h"
#include "data/WriterTurns.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>


namespace td {

namespace {
constexpr int kLockWaitMs = 2000;
// How long a slice of a bulk run waits at most for the writers ahead of it.
constexpr int kLetWritersGoMs = 3 * kLockWaitMs / 2;

bool isBusy(int rc)
{
    return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
}
} // namespace

Database::Database(Messages& messages, QString dir)
    : messages_(messages)
    , dir_(QDir(dir).absolutePath())
{
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI;
    const QByteArray mainFile = QDir(dir_).filePath(QStringLiteral("tdpmain.db")).toUtf8();
    if (sqlite3_open_v2(mainFile.constData(), &db_, flags, nullptr) != SQLITE_OK) {
        // A folder we cannot write to still lets the tables be read; commits over several files
        // are then atomic per file only.
        sqlite3_close_v2(db_);
        db_ = nullptr;
        sqlite3_open_v2(":memory:", &db_, flags, nullptr);
    } else {
        removeStaleSuperJournals(QString::fromUtf8(mainFile));
        turns_ = std::make_unique<WriterTurns>(QString::fromUtf8(mainFile));
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kLockWaitMs);
    registerKeyCollation(db_);
    registerFilterFunctions(db_);
    cache_ = std::make_unique<StatementCache>(db_);
}

Database::~Database()
{
    rollbackAll();
    cache_.reset();
    sqlite3_close_v2(db_);
}

QString Database::filePath(TableId table) const
{
    return QDir(dir_).filePath(tableDef(table).file + QLatin1String(".db"));
}

TableId Database::fileOwner(TableId table)
{
    return table == TableId::A_Songs ? TableId::Tunedeck : table;
}

QString Database::schemaName(TableId table)
{
    return tableDef(fileOwner(table)).label;
}

QString Database::sqlTable(TableId table)
{
    const QString label = tableDef(fileOwner(table)).label;
    return schema::quoted(label) + QLatin1Char('.') + schema::quoted(label);
}

// --- use counts -----------------------------------------------------------------------------------

bool Database::useTable(TableId table)
{
    const int i = static_cast<int>(table);
    if (counts_[i] == 0 && !opened_[i] && !CheckOpen(table, true))
        return false;
    ++counts_[i];
    return true;
}

void Database::endProgram(const QString& text)
{
    if (ended_)
        return;
    ended_ = true;
    endText_ = text;
    rollbackAll();
    if (endHandler_)
        endHandler_();
}

void Database::releaseTable(TableId table)
{
    const int i = static_cast<int>(table);
    if (counts_[i] <= 0)
        return;
    if (--counts_[i] == 0)
        closeFile(table);
}

int Database::useCount(TableId table) const
{
    return counts_[static_cast<int>(table)];
}

bool Database::isOpen(TableId table) const
{
    return opened_[static_cast<int>(table)];
}

bool Database::isAttached(TableId table) const
{
    return attached_[fileIndex(table)];
}

void Database::closeFile(TableId table)
{
    opened_[static_cast<int>(table)] = false;
    const TableId owner = fileOwner(table);
    // The file stays attached: the next open finds it checked and its statements compiled.
    if (attached_[int(owner)] && !fileInUse(owner))
        stamps_[int(owner)] = stampOf(owner);
}

bool Database::fileInUse(TableId file) const
{
    if (file == TableId::Tunedeck)
        return opened_[int(TableId::Tunedeck)] || opened_[int(TableId::A_Songs)];
    return opened_[int(file)];
}

Database::FileStamp Database::stampOf(TableId file)
{
    // The file's header as it is on disk, read through SQLite's own handle of it (another handle
    // of ours on the file would drop SQLite's locks when closed): no lock, no statement, no cache.
    FileStamp stamp;
    sqlite3_file* f = nullptr;
    const QByteArray name = schemaName(file).toUtf8();
    if (sqlite3_file_control(db_, name.constData(), SQLITE_FCNTL_FILE_POINTER, &f) != SQLITE_OK || !f || !f->pMethods)
        return stamp;
    unsigned char h[100];
    sqlite3_int64 size = 0;
    if (f->pMethods->xRead(f, h, int(sizeof h), 0) != SQLITE_OK || f->pMethods->xFileSize(f, &size) != SQLITE_OK)
        return stamp;
    auto be32 = [&h](int at) {
        return qint64((quint32(h[at]) << 24) | (quint32(h[at + 1]) << 16) | (quint32(h[at + 2]) << 8) | quint32(h[at + 3]));
    };
    const int pageSize = (h[16] << 8 | h[17]) == 1 ? 65536 : (h[16] << 8 | h[17]);
    // A file cut short of the pages its header counts is no longer the file that was checked.
    if (be32(92) == be32(24) && size < be32(28) * pageSize)
        return stamp;
    stamp.valid = true;
    stamp.schemaVersion = be32(40);
    stamp.userVersion = be32(60);
    stamp.applicationId = be32(68);
    return stamp;
}

int Database::reuseClosedFile(TableId file)
{
    const int i = static_cast<int>(file);
    if (!attached_[i] || fileInUse(file))
        return 0;
    // Still the file that was checked (not deleted, not replaced by another), readable, with the
    // same tables and keys, layout and mark: trusted as it is.
    int moved = 0;
    const QByteArray name = schemaName(file).toUtf8();
    const bool same = sqlite3_file_control(db_, name.constData(), SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK
        && !moved && stamps_[i].valid && stampOf(file) == stamps_[i];
    if (same)
        return 0;
    if (letGo(file))
        return 0;
    // Inside a transaction a changed file cannot be attached afresh.
    lastError_ = StorageError::make(EngineError);
    lastError_.engineCode = -1;
    lastError_.engineText = QStringLiteral("Table %1 changed on disk inside a transaction").arg(tableDef(file).label);
    return EngineError;
}

bool Database::letGo(TableId table)
{
    const TableId file = fileOwner(table);
    if (!attached_[int(file)])
        return true;
    if (fileInUse(file) || inTransaction())
        return false;
    detachNow(file);
    return !attached_[int(file)];
}

void Database::detachNow(TableId file)
{
    const int i = static_cast<int>(file);
    stamps_[i] = FileStamp();
    if (!attached_[i])
        return;
    // No statement compiled against the file outlives it (and none holds it open).
    cache_->clear();
    lookups_.clear();
    const QByteArray sql = QStringLiteral("DETACH DATABASE %1").arg(schema::quoted(schemaName(file))).toUtf8();
    if (sqlite3_exec(db_, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
        attached_[i] = false;
}

// --- errors ---------------------------------------------------------------------------------------

void Database::saveError(const StorageError& e)
{
    // Each text of the saved error holds up to 255 characters.
    saved_ = e;
    saved_.text.truncate(255);
    saved_.engineText.truncate(255);
    hasSaved_ = true;
}

void Database::clearSavedError()
{
    saved_ = StorageError();
    hasSaved_ = false;
}

int Database::setLastSqliteError(int rc)
{
    lastError_ = storageErrorFromSqlite(rc, db_);
    return lastError_.code;
}

int Database::exec(const QString& sql)
{
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_exec(db_, utf8.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return setLastSqliteError(rc);
    return 0;
}

CachedStatement Database::statement(const QString& sql)
{
    CachedStatement s = cache_->take(sql);
    if (!s)
        setLastSqliteError(s.prepareResult());
    return s;
}

CachedStatement Database::statementQuiet(const QString& sql)
{
    return cache_->take(sql);
}

// --- transactions ---------------------------------------------------------------------------------

int Database::begin(int waitMs, bool slice)
{
    // SQLite may have rolled back by itself after an I/O error; follow it.
    if (depth_ > 0 && sqlite3_get_autocommit(db_))
        depth_ = 0;
    if (depth_ > 0) {
        const int err = exec(QStringLiteral("SAVEPOINT td_level%1").arg(depth_));
        if (err)
            return err;
        ++depth_;
        return 0;
    }
    if (turns_ && (slice || std::any_of(bulk_.begin(), bulk_.end(), [](int n) { return n > 0; }))) {
        turns_->setBulk(true);
        turns_->letWaitingWritersGo(kLetWritersGoMs);
    }
    sqlite3_busy_timeout(db_, qMax(0, waitMs));
    const int rc = [this, waitMs] {
        const WriteIntent waiting;
        const WriterTurns::Waiting inLine(turns_.get());
        int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        QElapsedTimer patience;
        patience.start();
        while (isBusy(rc) && waitMs > 0 && turns_ && turns_->bulkRunning() && patience.elapsed() < kBulkPatienceMs)
            rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        return rc;
    }();
    if (rc != SQLITE_OK)
        setLastSqliteError(rc);
    sqlite3_busy_timeout(db_, kLockWaitMs);
    if (rc != SQLITE_OK) {
        endSliceMark();
        return lastError_.code;
    }
    depth_ = 1;
    clearLastError();
    return 0;
}

int Database::commit()
{
    if (depth_ > 0 && sqlite3_get_autocommit(db_)) {
        depth_ = 0;
        lastError_ = StorageError::make(EngineError);
        lastError_.engineText = QStringLiteral("The transaction was rolled back by the storage engine");
        return lastError_.code;
    }
    if (depth_ == 0)
        return 0;
    if (depth_ > 1) {
        --depth_;
        const int err = exec(QStringLiteral("RELEASE td_level%1").arg(depth_));
        return err;
    }
    const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        // A commit that cannot finish (readers holding the file past the lock wait) is undone
        // rather than left hanging.
        setLastSqliteError(rc);
        const StorageError e = lastError_;
        rollbackAll();
        lastError_ = e;
        return e.code;
    }
    depth_ = 0;
    endSliceMark();
    return 0;
}

void Database::endSliceMark()
{
    // A slice begun without a bulk hint marks its run only while it lasts.
    if (turns_ && std::all_of(bulk_.begin(), bulk_.end(), [](int n) { return n == 0; }))
        turns_->setBulk(false);
}

void Database::rollback()
{
    if (depth_ == 0)
        return;
    if (depth_ > 1 && !sqlite3_get_autocommit(db_)) {
        --depth_;
        const QString name = QStringLiteral("td_level%1").arg(depth_);
        exec(QStringLiteral("ROLLBACK TO %1").arg(name));
        exec(QStringLiteral("RELEASE %1").arg(name));
        noteChange();
        return;
    }
    rollbackAll();
}

void Database::rollbackTo(int level)
{
    if (level <= 0 || depth_ < level)
        return;
    if (level == 1 || sqlite3_get_autocommit(db_)) {
        rollbackAll();
        return;
    }
    // Level n began with savepoint td_level(n-1); undoing it undoes every savepoint inside it.
    const QString name = QStringLiteral("td_level%1").arg(level - 1);
    exec(QStringLiteral("ROLLBACK TO %1").arg(name));
    exec(QStringLiteral("RELEASE %1").arg(name));
    depth_ = level - 1;
    noteChange();
}

void Database::rollbackAll()
{
    if (depth_ == 0 && sqlite3_get_autocommit(db_))
        return;
    if (!sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    depth_ = 0;
    endSliceMark();
    noteChange();
}

// --- helpers --------------------------------------------------------------------------------------

TableUse::TableUse(Database& db, TableId table)
    : db_(&db)
    , table_(table)
{
    if (!db.useTable(table))
        db_ = nullptr;
}

TableUse::~TableUse()
{
    release();
}

void TableUse::release()
{
    if (db_)
        db_->releaseTable(table_);
    db_ = nullptr;
}

TransactionGuard::TransactionGuard(Database& db, int waitMs, Nesting nesting)
    : db_(db)
{
    if (nesting == Nesting::Join && db.inTransaction()) {
        joined_ = true;
        level_ = db.transactionDepth();
        return;
    }
    error_ = db.begin(waitMs, nesting == Nesting::Slice);
    active_ = error_ == 0;
    level_ = db.transactionDepth();
}

TransactionGuard::~TransactionGuard()
{
    if (active_)
        db_.rollbackTo(level_);
}

int TransactionGuard::commit()
{
    if (joined_) {
        joined_ = false;
        if (db_.transactionDepth() >= level_)
            return 0; // the caller's transaction commits
        StorageError e = StorageError::make(EngineError);
        e.engineText = QStringLiteral("The transaction had already been rolled back");
        e.engineCode = -1;
        db_.setLastError(e);
        return e.code;
    }
    if (!active_)
        return error_ ? error_ : 0;
    active_ = false;
    if (db_.transactionDepth() < level_) {
        // Rolled back underneath us (an error was saved): nothing of it is stored.
        StorageError e = StorageError::make(EngineError);
        e.engineText = QStringLiteral("The transaction had already been rolled back");
        e.engineCode = -1;
        db_.setLastError(e);
        return e.code;
    }
    return db_.commit();
}

void TransactionGuard::rollback()
{
    if (active_)
        db_.rollbackTo(level_);
    active_ = false;
    // A joined guard leaves the caller's transaction to the caller (or to the message that
    // follows, which rolls back whatever is open).
    joined_ = false;
}

} // namespace td

namespace td {

void Database::bulkHint(TableId table, bool on)
{
    const int i = fileIndex(table);
    const int before = bulk_[i];
    bulk_[i] = qMax(0, before + (on ? 1 : -1));
    // A bulk run that wrote is over when the last hint goes.
    if (depth_ == 0)
        endSliceMark();
    if ((before == 0) == (bulk_[i] == 0) || !isAttached(table))
        return;
    const StorageError keep = lastError_;
    exec(QStringLiteral("PRAGMA %1.cache_size=%2")
             .arg(schema::quoted(schemaName(table)))
             .arg(bulk_[i] > 0 ? -kBulkCacheKiB : -kSmallCacheKiB));
    lastError_ = keep;
}

} // namespace td

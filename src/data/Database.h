#pragma once
// One SQLite connection for the working directory. Each table's data file (<file>.db) is attached to
// it while the table is open, so that one transaction spans every table. The main database of the
// connection is a small empty file, tdpmain.db: SQLite makes a commit over several attached files
// atomic (through a super-journal beside the main file) only when the main database is a real file.
//
// Opening follows the shared open routine CheckOpen: create when missing, wait once more for a
// locked file, offer to rebuild damaged keys, hand an older layout to UpgradeFile, and end the
// program (after its message) when a table cannot be opened. Use counts open a table for its first
// user and close it after its last. A closed file stays attached, with its compiled statements: the
// next open trusts it without checking it again while it is still the same file with the same
// layout (another program may have replaced, cut or rebuilt it meanwhile; then it is checked anew).

#include "core/Messages.h"
#include "data/Errors.h"
#include "data/FieldCatalog.h"
#include "data/Statement.h"

#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <memory>

struct sqlite3;

namespace td {

class WriterTurns;

class Database {
public:
    explicit Database(Messages& messages, QString dir = QDir::currentPath());
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    Messages& messages() const { return messages_; }
    QString directory() const { return dir_; }
    sqlite3* connection() const { return db_; }

    // Where a table lives: "<dir>/tdpdata.db"; the schema it is attached as ("Tunedeck", also for
    // A_Songs); its quoted SQL name ("Tunedeck"."Tunedeck").
    QString filePath(TableId table) const;
    static QString schemaName(TableId table);
    static QString sqlTable(TableId table);
    static TableId fileOwner(TableId table);     // A_Songs -> Tunedeck, others themselves

    // --- use counts --------------------------------------------------------------------------
    // CheckOpen when the count is 0, then count + 1. False (and nothing counted) when the table
    // could not be opened: the program is ending.
    bool useTable(TableId table);
    void releaseTable(TableId table);            // count - 1; closed when it reaches 0
    int useCount(TableId table) const;
    bool isOpen(TableId table) const;

    // --- the open routine --------------------------------------------------------------------
    // True with the table open; otherwise its message has been shown and the end of the program
    // recorded (endProgram): the caller stops.
    bool CheckOpen(TableId table, bool create = true);

    // --- the end of the program --------------------------------------------------------------
    // A message after which the program cannot go on (a table that cannot be opened) records the
    // end here, the first one with its text; the handler (the application leaving every event
    // loop with exit code 1) is called once. No exception crosses Qt's frames: callers see the
    // failure and stop, later opens fail at once and later messages are not shown.
    void endProgram(const QString& text);
    bool ended() const { return ended_; }
    QString endText() const { return endText_; }
    void setEndHandler(std::function<void()> handler) { endHandler_ = std::move(handler); }

    // The single steps, without messages (CheckOpen, UpgradeFile and tests use them). Each returns
    // 0 or the error code and leaves the error in lastError().
    int openFile(TableId table);                 // attach and check layout and keys (0 or 52)
    int createFile(TableId table);               // a new, empty file of the current layout
    int rebuildKeys(TableId table);              // drop and rebuild every index of the table
    void closeFile(TableId table);               // closed; the file stays attached for the next open
    bool isAttached(TableId table) const;
    // Detaches a file that no table uses (work on the file alone needs it). False while it is in
    // use, or inside a transaction, where SQLite cannot detach.
    bool letGo(TableId table);

    // --- errors --------------------------------------------------------------------------------
    // Keeps the error for the next message; it does not roll back. The message (StandardWarning)
    // rolls back whatever is still open before it is shown, and each guard its own level.
    void saveError(const StorageError& e);
    void saveError() { saveError(lastError_); }
    StorageError savedError() const { return saved_; }
    bool hasSavedError() const { return hasSaved_; }
    void clearSavedError();
    // The current error: the last failure of any operation on this connection (code 0 after success).
    StorageError lastError() const { return lastError_; }
    void setLastError(const StorageError& e) { lastError_ = e; }
    int setLastSqliteError(int rc);              // maps, records and returns our code
    void clearLastError() { lastError_ = StorageError(); }

    // --- transactions --------------------------------------------------------------------------
    // BEGIN IMMEDIATE over every open file, waiting up to waitMs for other writers; 32 after the
    // wait. Inside a transaction, begin() opens a savepoint that commit() releases.
    // A transaction begun while a bulk hint is on, or with `slice`, is a slice of a bulk run: it
    // first lets the writers of other copies that wait for the lock go (see WriterTurns). Any
    // writer whose wait runs out while a bulk run of some copy is going waits again, for up to
    // kBulkPatienceMs: that run steps aside after its slice.
    int begin(int waitMs = 2000, bool slice = false);
    static constexpr int kBulkPatienceMs = 60000;
    int commit();
    void rollback();                             // the innermost level
    void rollbackTo(int level);                  // the given level and every level inside it
    void rollbackAll();
    bool inTransaction() const { return depth_ > 0; }
    int transactionDepth() const { return depth_; }

    // Bumped by every change made through this connection; handles re-read their cached page
    // when it moved.
    quint64 changeCount() const { return changes_; }
    void noteChange() { ++changes_; }

    // Long sequential writes (bulk adds, imports, housekeeping runs) ask for a large page cache on
    // the table's file while they last; browsing keeps the small one so that memory stays flat
    // however large the catalogue. Counted: the cache shrinks when the last bulk user is done.
    void bulkHint(TableId table, bool on);
    static constexpr int kSmallCacheKiB = 2048;
    static constexpr int kBulkCacheKiB = 65536;

    // Runs SQL without results; returns 0 or our error code (recorded in lastError()).
    int exec(const QString& sql);

    // A prepared statement of this connection, lent until the returned loan ends (see
    // StatementCache). An empty loan when SQLite cannot prepare it: the error is recorded.
    CachedStatement statement(const QString& sql);
    // The same without recording a failure (for statements that may fail by design).
    CachedStatement statementQuiet(const QString& sql);
    StatementCache& statementCache() { return *cache_; }

    // --- look-ups shared by every window -------------------------------------------------------
    // A value of the caller's type kept under the caller's name for the connection's life (the
    // category names beside the songs, read once for every song list), empty when first asked
    // for. Dropped whenever a file is detached: what it was read from may be another file now.
    template <class T> T& sharedLookup(const char* name)
    {
        std::shared_ptr<void>& p = lookups_[QByteArray(name)];
        if (!p)
            p = std::make_shared<T>();
        return *static_cast<T*>(p.get());
    }

private:
    int probeFile(TableId file);
    int attach(TableId file, bool create);
    void detachNow(TableId file);
    void endSliceMark();
    bool fileInUse(TableId file) const;
    // A closed file that is still attached: 0 when it can be opened again as it is (or it was
    // let go, to be checked anew); an error when it changed and cannot be let go.
    int reuseClosedFile(TableId file);
    // What the next open compares: the file's schema cookie, layout version and mark as they were
    // when its last table closed.
    struct FileStamp {
        bool valid = false;
        qint64 schemaVersion = 0;
        qint64 userVersion = 0;
        qint64 applicationId = 0;
        bool operator==(const FileStamp&) const = default;
    };
    FileStamp stampOf(TableId file);
    int fileIndex(TableId t) const { return static_cast<int>(fileOwner(t)); }

    Messages& messages_;
    QString dir_;
    sqlite3* db_ = nullptr;
    std::unique_ptr<StatementCache> cache_;
    std::array<int, kTableCount> counts_{};
    std::array<bool, kTableCount> opened_{};     // per table: CheckOpen succeeded, not yet closed
    std::array<bool, kTableCount> attached_{};   // per file owner
    std::array<FileStamp, kTableCount> stamps_{};   // per file owner, taken when it was closed
    QHash<QByteArray, std::shared_ptr<void>> lookups_;
    StorageError lastError_;
    StorageError saved_;
    bool hasSaved_ = false;
    int depth_ = 0;
    quint64 changes_ = 0;
    std::array<int, kTableCount> bulk_{};
    std::unique_ptr<WriterTurns> turns_;         // null without a main file (read-only folder)
    bool newerLayout_ = false;                   // the last open found a layout newer than ours
    bool ended_ = false;
    QString endText_;
    std::function<void()> endHandler_;
};

// Holds one use of a table for its lifetime.
class TableUse {
public:
    TableUse(Database& db, TableId table);
    ~TableUse();
    TableUse(const TableUse&) = delete;
    TableUse& operator=(const TableUse&) = delete;
    void release();
    bool ok() const { return db_ != nullptr; }   // false: the table could not be opened

private:
    Database* db_;
    TableId table_;
};

// Begins a transaction and rolls it back on destruction unless committed. Inside another
// transaction it opens a savepoint and undoes only its own level; with Join it becomes part of the
// transaction already open (the caller's user action) and leaves commit and rollback to that.
class TransactionGuard {
public:
    // Slice: as Savepoint, and a transaction of its own is the slice of a bulk run (Database::begin).
    enum class Nesting { Savepoint, Join, Slice };
    explicit TransactionGuard(Database& db, int waitMs = 2000, Nesting nesting = Nesting::Savepoint);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    int error() const { return error_; }         // the result of begin()
    bool ok() const { return error_ == 0; }
    int commit();
    void rollback();

private:
    Database& db_;
    int error_ = 0;
    int level_ = 0;
    bool active_ = false;
    bool joined_ = false;
};

} // namespace td

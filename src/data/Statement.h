#pragma once
// A thin RAII wrapper over one prepared SQLite statement, with QVariant binding.

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace td {

class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int prepareResult() const { return prepareRc_; }
    bool isValid() const { return stmt_ != nullptr; }
    sqlite3_stmt* handle() const { return stmt_; }

    // Binds a value at a 1-based index; strings as UTF-8, integers as 64-bit.
    void bind(int index, const QVariant& v);
    int step(); // SQLITE_ROW, SQLITE_DONE or an error
    void reset();

    qint64 int64(int col) const;
    QString text(int col) const;
    bool isNull(int col) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    int prepareRc_ = 0;
};

class StatementCache;

// A statement lent by a StatementCache for one use. Ending the loan resets it and clears its
// bindings and gives it back (or finalizes it when the cache was cleared meanwhile), so no read
// keeps its lock on a file and no value of one use leaks into the next.
class CachedStatement {
public:
    CachedStatement() = default;
    ~CachedStatement() { release(); }
    CachedStatement(CachedStatement&& o) noexcept;
    CachedStatement& operator=(CachedStatement&& o) noexcept;
    CachedStatement(const CachedStatement&) = delete;
    CachedStatement& operator=(const CachedStatement&) = delete;

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }
    int prepareResult() const { return prepareRc_; } // SQLite's result when the prepare failed
    void release();

private:
    friend class StatementCache;
    StatementCache* cache_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    QString sql_;
    quint64 epoch_ = 0;
    int prepareRc_ = 0;
};

// Prepared statements of one connection, kept by their SQL text so that a list opened again or a
// page read again does not compile its query again. A statement is lent to one user at a time: a
// second user of the same text while the first still holds it gets a statement of its own. At most
// `capacity` idle statements are kept (the least recently used go first). clear() forgets them all;
// the connection's owner calls it when a file is detached, so that no statement outlives the
// schema it was compiled against. (A schema changed by another program is re-read by SQLite
// itself: the statements are prepared with sqlite3_prepare_v3 and compile again on their own.)
class StatementCache {
public:
    static constexpr int kDefaultCapacity = 64;
    explicit StatementCache(sqlite3* db, int capacity = kDefaultCapacity);
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // An idle statement of this text or a new one. A failed prepare gives an empty loan with the
    // result in prepareResult() and leaves SQLite's error message on the connection.
    CachedStatement take(const QString& sql);
    void clear();
    int idleCount() const { return idle_; }
    int capacity() const { return capacity_; }

private:
    friend class CachedStatement;
    void giveBack(CachedStatement& loan);
    void evictOldest();

    struct Slot {
        QList<sqlite3_stmt*> idle;
        quint64 lastUse = 0;
    };
    sqlite3* db_;
    int capacity_;
    int idle_ = 0;
    quint64 epoch_ = 0;
    quint64 tick_ = 0;
    QHash<QString, Slot> slots_;
};

// A private connection to one data file, for work on the file alone (creating it, rebuilding its keys,
// upgrading it) without locking the files attached to the program's own connection.
class FileConnection {
public:
    FileConnection(const QString& path, bool create);
    ~FileConnection();
    FileConnection(const FileConnection&) = delete;
    FileConnection& operator=(const FileConnection&) = delete;

    sqlite3* db = nullptr;
    int openResult = 0; // SQLite result of opening
    int exec(const QString& sql); // SQLite result code
};

// Binds a value to any statement.
void bindVariant(sqlite3_stmt* stmt, int index, const QVariant& v);

} // namespace td

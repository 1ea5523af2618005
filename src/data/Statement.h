#pragma once
// A thin RAII wrapper over one prepared SQLite statement, with QVariant binding.

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
    int step();                                   // SQLITE_ROW, SQLITE_DONE or an error
    void reset();

    qint64 int64(int col) const;
    QString text(int col) const;
    bool isNull(int col) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    int prepareRc_ = 0;
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
    int openResult = 0;     // SQLite result of opening
    int exec(const QString& sql);   // SQLite result code
};

// Binds a value to any statement.
void bindVariant(sqlite3_stmt* stmt, int index, const QVariant& v);

} // namespace td

#pragma once
// A record buffer and a position on one table. Positions are rowids. Reading along a key uses keyset
// queries only: WHERE (k1,...,kn,rowid) > (...) ORDER BY k1,...,kn,rowid LIMIT n, with the partial
// condition of an optional key so that its index is used; rows come a page at a time and next() and
// previous() are served from the page. A_Songs is simply a second handle on the song file.
//
// A page read is a value (PageRead) handed to readPage(): nothing of it stays on the handle, so
// lists sharing a handle never see each other's filter or direction.
//
// Every operation returns 0 or an error code (33 at the end of a key, 40 for a duplicate key, with
// the key's label in lastError().key, 89 when put() finds the stored record changed since it was
// read). The error is also recorded as the database's current error.

#include "data/Database.h"
#include "data/Records.h"

#include <QHash>
#include <QVariantList>
#include <memory>

struct sqlite3_stmt;

namespace td {

struct PageRow {
    qint64 position = 0;
    Row row;
};

// One page read along a key. `from` holds the starting point's key values (or a whole record);
// empty starts at the first (forward) or last (backward) entry. fromPosition, when not 0, is the
// starting point's position as the tie-breaker among equal key values. Forward gives rows at/after
// the start in key order, backward rows at/before it (nearest first); inclusive=false leaves the
// starting row (or, with fromPosition 0, every row with equal key values) out. equalLeading > 0
// says the first key values of `from` are fixed: rows must equal them (written as equalities, so
// that the index serves a range limited to them). `filter` is SQL over the table's column names
// with ? parameters, never user text. Key -1 is the physical (position) order.
struct PageRead {
    int key = -1;
    Row from;
    qint64 fromPosition = 0;
    bool forward = true;
    bool inclusive = true;
    int equalLeading = 0;
    QString filter;
    QVariantList filterParams;
    // The filter is a search that may pass over many rows before one is kept: the starting point
    // is then read as ranges the index serves alone instead of a condition checked on every row.
    bool filterScans = false;
    int limit = 64;
};

class TableHandle {
public:
    // The handle holds a use of the table for its lifetime (CheckOpen on the first use).
    TableHandle(Database& db, TableId table);
    // A handle reading the table through a layout of the caller's: the table's own fields with
    // further keys after the table's (orders a list adds for itself). `def` must outlive the handle.
    TableHandle(Database& db, TableId table, const TableDef& def);
    virtual ~TableHandle();
    TableHandle(const TableHandle&) = delete;
    TableHandle& operator=(const TableHandle&) = delete;

    Database& database() const { return db_; }
    TableId table() const { return table_; }
    const TableDef& def() const { return *def_; }

    // Key number of a key label or name ("MUS:SongsByArtist", "SongsByArtist"); -1 if none. Key -1
    // given to set()/readPage() means the physical (position) order.
    int key(const QString& labelOrName) const { return def_->keyIndex(labelOrName); }

    // --- the record buffer ------------------------------------------------------------------
    Row& row();
    const Row& row() const;
    void setRow(const Row& r);
    QVariant value(int field) const;
    QVariant value(const QString& labelOrName) const;
    void setValue(int field, const QVariant& v);
    void setValue(const QString& labelOrName, const QVariant& v);
    // The record as stored when it was last read or written through this handle (the copy a
    // concurrent change is detected against, and the link values' old state).
    const Row& original() const { return original_; }
    void setOriginal(const Row& r) { original_ = r; }
    // Blank buffer, no position.
    void clear();

    qint64 position() const { return position_; }

    // --- changes -----------------------------------------------------------------------------
    int add();                  // insert the buffer; position and original follow the new record
    int put();                  // write the buffer over the record at position()
    int del();                  // delete the record at position()

    // --- reads -------------------------------------------------------------------------------
    int fetch(qint64 position);             // the record at a saved position
    int get(int key);                       // the record whose key fields equal the buffer's
    int set(int key);                       // next() from the first entry, previous() from the last
    int set(int key, const Row& from);      // next(): first at/after from; previous(): last at/before
    int setFromBuffer(int key) { return set(key, row()); }
    int setLast(int key) { return set(key); }
    int next();
    int previous();
    // Number of records in the table (filter not applied). Read from the count the file's triggers
    // keep, so it costs the same at any size; counted when the file has no such count.
    qint64 records();

    // Hints for long sequential runs: larger pages, the cached page trusted while the run lasts.
    void stream(bool on);
    void quickScan(bool on);

    // A condition added to every step of next() and previous(): SQL over the table's column names
    // with ? parameters, e.g. "Artist >= ? AND Artist <= ?". Never user text. Page reads carry
    // their own filter.
    void setFilter(const QString& sqlCondition, const QVariantList& params = {});
    void clearFilter() { setFilter(QString()); }
    QString filter() const { return filter_; }

    // One page of rows in key order as `read` describes; at most read.limit rows. Returns 0 or an
    // error code; 0 with fewer rows at the end of the key.
    int readPage(const PageRead& read, QList<PageRow>& out);

    StorageError lastError() const { return error_; }

    // The row normalised as it would be stored: text clipped to its width, trailing blanks removed,
    // numbers of the field's type. Returns 88 (with the field in the error text) for a number out of
    // the field's range.
    static int normalise(const TableDef& t, Row& r, StorageError* error = nullptr);

protected:
    // Table<R> keeps its typed buffer in step with the row through these.
    virtual void bufferToRow() const {}
    virtual void rowToBuffer() {}
    void setRowQuiet(const Row& r) const { row_ = r; }
    const Row& rowQuiet() const { return row_; }

private:
    struct Cursor;
    // A statement from the connection's cache, given back when the loan ends; empty (with the
    // error recorded) when it cannot be prepared.
    CachedStatement statement(const QString& sql);
    // The texts of every record operation, built once per handle.
    enum FixedStatement { InsertRow, UpdateRow, DeleteRow, SelectRow, CountRows, KeptCount, FixedStatementCount };
    template<class Build> const QString& fixedSql(FixedStatement which, Build build)
    {
        if (fixedSql_[which].isEmpty())
            fixedSql_[which] = build();
        return fixedSql_[which];
    }
    int fail(const StorageError& e);
    int failSqlite(int rc);
    int failDuplicate(int rc, const Row& r, qint64 self);
    QString duplicateKeyOf(const Row& r, qint64 self);
    int ok();
    int readRowAt(qint64 pos, Row& out);
    // One page read as a single query (readPage may split it into several).
    int readRange(const PageRead& read, QList<PageRow>& out);
    Row startValues(const PageRead& read) const;
    // The SQL pieces of a key's page reads, built once per handle.
    struct KeySql {
        QStringList columns;
        QString condition;
        QString orderUp;
        QString orderDown;
    };
    const KeySql& keySql(int key);
    int step(bool forward);
    int loadPage(bool forward);
    void invalidatePage();
    QString selectList() const;

    Database& db_;
    TableId table_;
    const TableDef* def_;
    TableUse use_;
    mutable Row row_;
    Row original_;
    qint64 position_ = 0;
    StorageError error_;
    QString filter_;
    QVariantList filterParams_;
    bool stream_ = false;
    bool quickScan_ = false;
    std::unique_ptr<Cursor> cursor_;
    QString fixedSql_[FixedStatementCount];
    bool noKeptCount_ = false;              // the file keeps no count: counted instead
    mutable QString selectList_;
    QList<KeySql> keySql_;
};

// A handle with a typed buffer: `rec` is the record, kept in step with the generic row around every
// operation (use rec, not row(), on a typed handle).
template<class R>
class Table : public TableHandle {
public:
    explicit Table(Database& db, TableId table = RecordTraits<R>::table)
        : TableHandle(db, table)
    {
        rowToBuffer();
    }
    R rec;

protected:
    void bufferToRow() const override { TableHandle::setRowQuiet(toRow(rec)); }
    void rowToBuffer() override { fromRow(TableHandle::rowQuiet(), rec); }
};

} // namespace td

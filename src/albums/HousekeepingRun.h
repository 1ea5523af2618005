#pragma once
// The frame of the housekeeping runs: one or more passes, each reading a table along a key a page at a
// time (never the whole table, only the columns the run uses), every slice one transaction that reads
// its pages and writes its rows (only rows that change, only the fields that change),
// so that a run cancelled or killed at any moment leaves every row either done or untouched, and a
// second run finishes the job.
//
// A write that fails rolls the slice back and asks the process error message; OK goes on without
// that row (the slice is done again from its start, skipping it), Cancel (the default) stops the run. A read
// error shows the record retrieval message naming the table and ends the run.

#include "common/BatchRun.h"
#include "data/FieldCatalog.h"
#include "data/TableHandle.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

namespace td {

class Database;

class HousekeepingRun : public BatchRun {
public:
    // `task` is the task line until the first pass is known.
    HousekeepingRun(Database& db, QString task);
    ~HousekeepingRun() override;

    bool start() final;
    bool step(int count) final;
    void finish() final;
    int percent() const override;
    // Rows per slice at most; a slice also ends after kSliceMs milliseconds.
    int sliceSize() const override { return 100000; }
    static constexpr int kSliceMs = 250;
    static constexpr int kPageRows = 500;
    QString taskText() const override;

    // An error (its message shown) ended the run before its end.
    bool stopped() const { return stopped_; }
    // Rows read and handled so far, skipped rows included.
    qint64 rowsDone() const { return done_; }

protected:
    // What one row came to.
    enum class RowResult {
        Done, // handled (written or left as it was)
        WriteFailed, // a write failed: the error is the database's current error
        ReadFailed, // a read the row needed failed: readFailedTable() names the table
    };

    struct Pass {
        TableId table;
        int key = -1; // -1: storage order
        QString filter; // SQL over the table's columns, no user text
        QString task; // the progress window's task line
        QStringList columns; // what handleRow() gets of each row, in this order
    };

    // Opens what the run needs (before any transaction), adds its passes and returns the number of
    // rows the passes will read (the base of the percentage). -1: nothing to do.
    virtual qint64 prepare() = 0;
    virtual void release() { }
    // Handles one row of the current pass: its position and the pass's columns, in their order.
    virtual RowResult handleRow(int pass, const PageRow& row) = 0;
    // A slice begins (keep what a roll-back must restore) or was rolled back (restore it).
    virtual void sliceBegins() { }
    virtual void sliceUndone() { }

    void addPass(const Pass& p) { passes_ << p; }
    Database& db() const { return db_; }
    void setReadFailedTable(const QString& label) { readFailedTable_ = label; }
    // A row write: `sql` is an UPDATE ... WHERE rowid=? whose last parameter is the row's position;
    // Done when exactly that row changed, else WriteFailed (89 when it is no longer there).
    RowResult write(const QString& sql, const QVariantList& values, qint64 position);

private:
    // The SQL of a pass, built once: only the columns asked for and the key's own (to go on from).
    struct PassSql {
        QString first; // from the start
        QString after; // after a given row
        QList<bool> text; // per selected column: read as text
        int keyColumns = 0;
    };
    int readPage(int pass, int limit, QList<PageRow>& out);

    struct Resume {
        int pass = 0;
        Row from; // key values of the last row handled (empty: from the start)
        qint64 position = 0;
        qint64 done = 0;
    };
    enum class SliceOutcome { More, End, WriteFailed, ReadFailed };
    SliceOutcome runSlice(int count, qint64* failedPosition);
    bool askGoOn();

    Database& db_;
    QList<Pass> passes_;
    QList<std::shared_ptr<TableHandle>> handles_;
    QList<PassSql> sql_;
    Resume resume_;
    QSet<qint64> skipped_; // rows whose write failed and the user went on without
    qint64 total_ = 0;
    qint64 done_ = 0;
    QString readFailedTable_;
    QString firstTask_;
    bool ended_ = false;
    bool stopped_ = false;
};

} // namespace td

#include "albums/HousekeepingRun.h"

#include "data/Database.h"
#include "data/Schema.h"
#include "data/StandardWarning.h"

#include <QElapsedTimer>
#include <sqlite3.h>

namespace td {

HousekeepingRun::HousekeepingRun(Database& db, QString task)
    : db_(db)
    , firstTask_(std::move(task))
{
}

HousekeepingRun::~HousekeepingRun() = default;

bool HousekeepingRun::start()
{
    passes_.clear();
    handles_.clear();
    const qint64 total = prepare();
    if (total < 0 || passes_.isEmpty()) {
        release();
        return false;
    }
    total_ = total;
    // Every file is attached now: none can be attached once a slice's transaction is open.
    sql_.clear();
    for (const Pass& p : std::as_const(passes_)) {
        auto h = std::make_shared<TableHandle>(db_, p.table);
        h->stream(true); // a large page cache on the file while the run lasts
        handles_ << h;
        const TableDef& t = tableDef(p.table);
        PassSql ps;
        QStringList select { QStringLiteral("rowid") };
        for (const QString& c : p.columns) {
            select << schema::quoted(c);
            ps.text << t.fields.at(t.fieldIndex(c)).isText();
        }
        QStringList order;
        QStringList where;
        if (p.key >= 0) {
            order = schema::keyColumns(t, p.key);
            for (int f : t.keys.at(p.key).fields)
                ps.text << t.fields.at(f).isText();
            select << order;
            ps.keyColumns = int(order.size());
            const QString cond = schema::keyCondition(t, p.key);
            if (!cond.isEmpty())
                where << cond;
        }
        if (!p.filter.isEmpty())
            where << QLatin1Char('(') + p.filter + QLatin1Char(')');
        order << QStringLiteral("rowid");
        QStringList marks;
        for (int i = 0; i < order.size(); ++i)
            marks << QStringLiteral("?");
        const QString base = QStringLiteral("SELECT %1 FROM %2")
                                 .arg(select.join(QLatin1Char(',')), Database::sqlTable(p.table));
        const QString tail = QStringLiteral(" ORDER BY %1 LIMIT ?").arg(order.join(QLatin1Char(',')));
        ps.first = base
            + (where.isEmpty() ? QString() : QLatin1String(" WHERE ") + where.join(QLatin1String(" AND ")))
            + tail;
        where << QStringLiteral("(%1)>(%2)").arg(order.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        ps.after = base + QLatin1String(" WHERE ") + where.join(QLatin1String(" AND ")) + tail;
        sql_ << ps;
    }
    return true;
}

void HousekeepingRun::finish()
{
    for (const auto& h : std::as_const(handles_))
        h->stream(false);
    handles_.clear();
    sql_.clear();
    release();
}

int HousekeepingRun::readPage(int pass, int limit, QList<PageRow>& out)
{
    out.clear();
    const PassSql& ps = sql_.at(pass);
    const bool after = resume_.position != 0;
    CachedStatement st = db_.statement(after ? ps.after : ps.first);
    sqlite3_stmt* s = st.get();
    if (!s)
        return db_.lastError().code;
    int b = 1;
    if (after) {
        for (const QVariant& v : std::as_const(resume_.from))
            bindVariant(s, b++, v);
        sqlite3_bind_int64(s, b++, resume_.position);
    }
    sqlite3_bind_int64(s, b, limit);
    // The whole page is read before any of it is written.
    const int n = int(ps.text.size());
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        PageRow r;
        r.position = sqlite3_column_int64(s, 0);
        r.row.reserve(n);
        for (int i = 0; i < n; ++i) {
            if (ps.text.at(i)) {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i + 1));
                r.row << QVariant(QString::fromUtf8(p, p ? sqlite3_column_bytes(s, i + 1) : 0));
            } else {
                r.row << QVariant(qlonglong(sqlite3_column_int64(s, i + 1)));
            }
        }
        out << r;
    }
    if (rc != SQLITE_DONE) {
        out.clear();
        return db_.setLastSqliteError(rc);
    }
    return 0;
}

QString HousekeepingRun::taskText() const
{
    if (passes_.isEmpty())
        return firstTask_;
    return passes_.at(qMin(resume_.pass, int(passes_.size()) - 1)).task;
}

int HousekeepingRun::percent() const
{
    if (total_ <= 0)
        return ended_ ? 100 : 0;
    return int(qBound<qint64>(0, done_ * 100 / total_, qint64(100)));
}

HousekeepingRun::RowResult HousekeepingRun::write(
    const QString& sql, const QVariantList& values, qint64 position)
{
    CachedStatement st = db_.statement(sql);
    sqlite3_stmt* s = st.get();
    if (!s)
        return RowResult::WriteFailed;
    int b = 1;
    for (const QVariant& v : values)
        bindVariant(s, b++, v);
    sqlite3_bind_int64(s, b, position);
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE) {
        db_.setLastSqliteError(rc);
        return RowResult::WriteFailed;
    }
    if (sqlite3_changes(db_.connection()) != 1) {
        db_.setLastError(StorageError::make(RecordChanged));
        return RowResult::WriteFailed;
    }
    db_.noteChange();
    return RowResult::Done;
}

HousekeepingRun::SliceOutcome HousekeepingRun::runSlice(int count, qint64* failedPosition)
{
    // Pages are read inside the transaction that writes them, so no row changes between being read
    // and written. The slice ends after `count` rows or once its time is used up, whichever is first:
    // few commits for a long run, and the window still answers between slices.
    QElapsedTimer clock;
    clock.start();
    int left = qMax(1, count);
    while (resume_.pass < passes_.size()) {
        const int limit = qMin(left, kPageRows);
        const int keyColumns = sql_.at(resume_.pass).keyColumns;
        QList<PageRow> page;
        if (readPage(resume_.pass, limit, page) != 0) {
            readFailedTable_ = tableDef(passes_.at(resume_.pass).table).label;
            return SliceOutcome::ReadFailed;
        }
        for (const PageRow& row : std::as_const(page)) {
            if (!skipped_.contains(row.position)) {
                switch (handleRow(resume_.pass, row)) {
                case RowResult::Done:
                    break;
                case RowResult::WriteFailed:
                    *failedPosition = row.position;
                    return SliceOutcome::WriteFailed;
                case RowResult::ReadFailed:
                    return SliceOutcome::ReadFailed;
                }
            }
            resume_.from = row.row.mid(row.row.size() - keyColumns);
            resume_.position = row.position;
            ++resume_.done;
        }
        left -= int(page.size());
        if (page.size() < limit) {
            // This pass is read to its end.
            ++resume_.pass;
            resume_.from.clear();
            resume_.position = 0;
            if (resume_.pass >= passes_.size())
                return SliceOutcome::End;
        }
        if (left <= 0 || clock.elapsed() >= kSliceMs)
            return SliceOutcome::More;
    }
    return SliceOutcome::End;
}

bool HousekeepingRun::askGoOn()
{
    // The standard process error message, with Cancel to stop the run; it rolls the slice back.
    db_.saveError();
    const StorageError err = db_.savedError();
    db_.clearSavedError();
    db_.rollbackAll();
    if (db_.ended())
        return false;
    Message m = standardMessage(
        StdMsg::ProcessError, QStringLiteral("Put"), QStringLiteral("Process:ViewPut"), errorTextOf(err));
    m.buttons = Ok | Cancel;
    m.defaultButton = Cancel; // a write error that lasts (a full disk) stops at Enter
    return db_.messages().show(m) == Ok;
}

bool HousekeepingRun::step(int count)
{
    if (ended_ || handles_.isEmpty())
        return false;
    for (;;) {
        const Resume atStart = resume_;
        sliceBegins();
        TransactionGuard tx(db_);
        if (!tx.ok()) {
            db_.saveError();
            StandardWarning(db_, StdMsg::TransactionFramingError, QStringLiteral("Update"),
                passes_.at(resume_.pass).table == TableId::Album ? QStringLiteral("Album")
                                                                 : QStringLiteral("Tunedeck"));
            stopped_ = ended_ = true;
            return false;
        }
        qint64 failed = 0;
        const SliceOutcome outcome = runSlice(count, &failed);
        if (outcome == SliceOutcome::WriteFailed) {
            resume_ = atStart;
            sliceUndone();
            if (!askGoOn()) {
                stopped_ = ended_ = true;
                return false;
            }
            skipped_.insert(failed); // the slice again, without that row
            continue;
        }
        if (outcome == SliceOutcome::ReadFailed) {
            resume_ = atStart;
            sliceUndone();
            db_.saveError();
            StandardWarning(db_, StdMsg::RecordRetrievalError, readFailedTable_);
            stopped_ = ended_ = true;
            return false;
        }
        if (tx.commit() != 0) {
            resume_ = atStart;
            sliceUndone();
            db_.saveError();
            StandardWarning(
                db_, StdMsg::ProcessError, QStringLiteral("Put"), QStringLiteral("Process:ViewPut"));
            stopped_ = ended_ = true;
            return false;
        }
        skipped_.clear();
        done_ = resume_.done;
        ended_ = outcome == SliceOutcome::End;
        return !ended_;
    }
}

} // namespace td

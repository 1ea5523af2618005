#include "data/Statement.h"

#include "data/Collation.h"

#include <QUrl>
#include <sqlite3.h>

namespace td {

Statement::Statement(sqlite3* db, const QString& sql)
{
    const QByteArray utf8 = sql.toUtf8();
    prepareRc_ = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt_, nullptr);
    if (prepareRc_ != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

void Statement::bind(int index, const QVariant& v)
{
    bindVariant(stmt_, index, v);
}

int Statement::step()
{
    return stmt_ ? sqlite3_step(stmt_) : prepareRc_;
}

void Statement::reset()
{
    if (stmt_)
        sqlite3_reset(stmt_);
}

qint64 Statement::int64(int col) const
{
    return sqlite3_column_int64(stmt_, col);
}

QString Statement::text(int col) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(stmt_, col)) : QString();
}

bool Statement::isNull(int col) const
{
    return sqlite3_column_type(stmt_, col) == SQLITE_NULL;
}

CachedStatement::CachedStatement(CachedStatement&& o) noexcept
    : cache_(o.cache_)
    , stmt_(o.stmt_)
    , sql_(std::move(o.sql_))
    , epoch_(o.epoch_)
    , prepareRc_(o.prepareRc_)
{
    o.cache_ = nullptr;
    o.stmt_ = nullptr;
}

CachedStatement& CachedStatement::operator=(CachedStatement&& o) noexcept
{
    if (this != &o) {
        release();
        cache_ = o.cache_;
        stmt_ = o.stmt_;
        sql_ = std::move(o.sql_);
        epoch_ = o.epoch_;
        prepareRc_ = o.prepareRc_;
        o.cache_ = nullptr;
        o.stmt_ = nullptr;
    }
    return *this;
}

void CachedStatement::release()
{
    if (stmt_ && cache_)
        cache_->giveBack(*this);
    else
        sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    cache_ = nullptr;
}

StatementCache::StatementCache(sqlite3* db, int capacity)
    : db_(db)
    , capacity_(qMax(1, capacity))
{
}

StatementCache::~StatementCache()
{
    clear();
}

CachedStatement StatementCache::take(const QString& sql)
{
    CachedStatement loan;
    loan.cache_ = this;
    loan.epoch_ = epoch_;
    auto it = slots_.find(sql);
    if (it != slots_.end() && !it->idle.isEmpty()) {
        loan.stmt_ = it->idle.takeLast();
        loan.sql_ = it.key();
        --idle_;
        if (it->idle.isEmpty())
            slots_.erase(it); // only texts with idle statements are kept: bounded by the capacity
        return loan;
    }
    const QByteArray utf8 = sql.toUtf8();
    loan.prepareRc_ = sqlite3_prepare_v3(
        db_, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &loan.stmt_, nullptr);
    if (loan.prepareRc_ != SQLITE_OK) {
        sqlite3_finalize(loan.stmt_);
        loan.stmt_ = nullptr;
        loan.cache_ = nullptr;
        return loan;
    }
    loan.sql_ = sql;
    return loan;
}

void StatementCache::giveBack(CachedStatement& loan)
{
    sqlite3_stmt* s = loan.stmt_;
    if (loan.epoch_ != epoch_ || !s) {
        sqlite3_finalize(s);
        return;
    }
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    Slot& slot = slots_[loan.sql_];
    slot.idle.append(s);
    slot.lastUse = ++tick_;
    ++idle_;
    while (idle_ > capacity_)
        evictOldest();
}

void StatementCache::evictOldest()
{
    auto oldest = slots_.end();
    for (auto it = slots_.begin(); it != slots_.end(); ++it) {
        if (!it->idle.isEmpty() && (oldest == slots_.end() || it->lastUse < oldest->lastUse))
            oldest = it;
    }
    if (oldest == slots_.end())
        return;
    sqlite3_finalize(oldest->idle.takeFirst());
    --idle_;
    if (oldest->idle.isEmpty())
        slots_.erase(oldest);
}

void StatementCache::clear()
{
    for (const Slot& slot : std::as_const(slots_))
        for (sqlite3_stmt* s : slot.idle)
            sqlite3_finalize(s);
    slots_.clear();
    idle_ = 0;
    // Statements lent out now are finalized when they come back.
    ++epoch_;
}

FileConnection::FileConnection(const QString& path, bool create)
{
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + (create ? "?mode=rwc" : "?mode=rw");
    openResult = sqlite3_open_v2(
        uri.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
    if (db) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, 2000);
        registerKeyCollation(db);
    }
}

FileConnection::~FileConnection()
{
    sqlite3_close_v2(db);
}

int FileConnection::exec(const QString& sql)
{
    return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
}

void bindVariant(sqlite3_stmt* stmt, int index, const QVariant& v)
{
    if (!stmt)
        return;
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        sqlite3_bind_null(stmt, index);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Bool:
        sqlite3_bind_int64(stmt, index, v.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, v.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob64(stmt, index, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray utf8 = v.toString().toUtf8();
        sqlite3_bind_text64(
            stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
    }
}

} // namespace td

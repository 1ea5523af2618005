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

FileConnection::FileConnection(const QString& path, bool create)
{
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + (create ? "?mode=rwc" : "?mode=rw");
    openResult = sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI,
                                 nullptr);
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
        sqlite3_bind_text64(stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                            SQLITE_UTF8);
        break;
    }
    }
}

} // namespace td

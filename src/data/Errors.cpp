#include "data/Errors.h"

#include <sqlite3.h>

namespace td {

StorageError StorageError::make(int code, const QString& text)
{
    StorageError e;
    e.code = code;
    e.text = text.isEmpty() ? errorCodeText(code) : text;
    return e;
}

QString errorCodeText(int code)
{
    switch (code) {
    case NoError: return QStringLiteral("No Error");
    case FileNotFound: return QStringLiteral("File Not Found");
    case AccessDenied: return QStringLiteral("Access Denied");
    case FileLocked: return QStringLiteral("File Is Locked");
    case RecordNotAvailable: return QStringLiteral("Record Not Available");
    case InvalidDataFile: return QStringLiteral("Invalid Data File");
    case DuplicateKey: return QStringLiteral("Creates Duplicate Key");
    case KeysMustBeRebuilt: return QStringLiteral("Keys Must Be Rebuilt");
    case LayoutDiffers: return QStringLiteral("File Layout Differs");
    case AlreadyOpen: return QStringLiteral("File Already Open");
    case InvalidRecord: return QStringLiteral("Invalid Record Value");
    case RecordChanged: return QStringLiteral("Record Changed By Another Station");
    case EngineError: return QStringLiteral("Storage Engine Error");
    default: return QStringLiteral("Error %1").arg(code);
    }
}

int errorCodeFromSqlite(int rc)
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW)
        return NoError;
    if (rc == SQLITE_DONE)
        return RecordNotAvailable;
    if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        return DuplicateKey;
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return FileLocked;
    case SQLITE_CANTOPEN:
        return FileNotFound;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
        return AccessDenied;
    case SQLITE_NOTADB:
        return InvalidDataFile;
    case SQLITE_MISMATCH:
    case SQLITE_RANGE:
    case SQLITE_TOOBIG:
        return InvalidRecord;
    default:
        return EngineError;
    }
}

StorageError storageErrorFromSqlite(int rc, sqlite3* db)
{
    StorageError e = StorageError::make(errorCodeFromSqlite(rc));
    if (e.code == NoError)
        return e;
    e.engineCode = rc;
    if (db && sqlite3_extended_errcode(db) == rc)
        e.engineText = QString::fromUtf8(sqlite3_errmsg(db));
    else
        e.engineText = QString::fromUtf8(sqlite3_errstr(rc));
    return e;
}

} // namespace td

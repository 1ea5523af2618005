#pragma once
// Error codes of the storage layer as the record services name them, and the mapping of SQLite's
// own result codes onto them.

#include <QString>

struct sqlite3;

namespace td {

enum ErrorCode : int {
    NoError = 0,
    FileNotFound = 2,
    AccessDenied = 5,
    FileLocked = 32,
    RecordNotAvailable = 33,    // the normal end of a key, or no record with that key/position
    InvalidDataFile = 36,
    DuplicateKey = 40,
    KeysMustBeRebuilt = 46,
    LayoutDiffers = 47,
    AlreadyOpen = 52,
    InvalidRecord = 88,         // invalid key or record value
    RecordChanged = 89,         // changed by another station since it was read
    EngineError = 90,           // the storage engine's own error: engineCode/engineText say which
};

struct StorageError {
    int code = 0;
    QString text;               // errorCodeText(code) unless something more precise is known
    int engineCode = 0;         // SQLite extended result code, 0 when none
    QString engineText;         // SQLite's message
    QString key;                // the key label of a duplicate-key error ("ALB:KeyAlbum"), else empty

    bool isError() const { return code != 0; }
    static StorageError make(int code, const QString& text = {});
};

// Short text of a code: "File Not Found", "Record Changed By Another Station" ...
QString errorCodeText(int code);

// Our code for an SQLite result code (primary or extended).
int errorCodeFromSqlite(int rc);

// A StorageError for an SQLite failure, with the engine's code and message kept.
StorageError storageErrorFromSqlite(int rc, sqlite3* db = nullptr);

} // namespace td

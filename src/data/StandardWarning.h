#pragma once
// The numbered standard messages: storage errors, refusals and confirmations, each with its caption,
// text, icon, buttons and default. The error text is taken from the database's saved error (or its
// current error when none is saved); showing a message clears the saved error and rolls back what is
// still open of a transaction. After a message the program cannot go on from, the end is recorded
// in the database (Database::endProgram) with its exit text; nothing is thrown.

#include "core/Messages.h"

#include <QString>

namespace td {

class Database;
struct StorageError;

// "File Not Found (2)"; for an engine error (90) the engine's own text and code.
QString errorTextOf(const StorageError& e);

// The numbered standard messages, by name; the value is the number the user sees.
enum class StdMsg : int {
    InvalidFile = 1,
    InvalidKey = 2,
    KeyRebuildError = 3,
    FileCreationError = 4,
    CreatedFileOpenError = 5,
    RangeError = 10,
    FieldContentsError = 11,
    UpdateIntegrityError = 12,
    DeleteIntegrityError = 13,
    RecordInsertError = 14,
    UpdateOperationError = 15,
    RecordUpdateRetry = 16,
    DeleteOperationError = 17,
    RecordDeleteRetry = 18,
    ChangeNotAllowed = 20,
    DeleteNotAllowed = 21,
    ConfirmCancel = 23,
    DuplicateKeyError = 24,
    AutoIncrementError = 25,
    FileAccessError = 30,
    ProcessError = 31,
    ConfirmDelete = 32,
    TransactionFramingError = 34,
    RecordRetrievalError = 35,
    ViewOpenError = 36,
    RecordNotUpdated = 38,
};

// The message, with name and value inserted (trailing blanks removed) and the error text.
// Returns a message with number 0 for an unknown number.
Message standardMessage(StdMsg number, const QString& name, const QString& value, const QString& error);

// Shows the message and returns the button pressed; records the end of the program where it ends.
// Once the program is ending nothing more is shown and the default button is returned.
int StandardWarning(Database& db, StdMsg number, const QString& name = {}, const QString& value = {});

} // namespace td

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

// The message for a number, with name and value inserted (trailing blanks removed) and the error text.
// Returns a message with number 0 for an unknown number.
Message standardMessage(int number, const QString& name, const QString& value, const QString& error);

// Shows the message and returns the button pressed; records the end of the program where it ends.
// Once the program is ending nothing more is shown and the default button is returned.
int StandardWarning(Database& db, int number, const QString& name = {}, const QString& value = {});

} // namespace td

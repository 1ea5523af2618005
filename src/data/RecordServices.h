#pragma once
// The change and delete operations of each table with the rules of its relations, and the
// numbering of new records. Every multi-table change runs in one transaction that is rolled back
// before any message is shown. Called inside a transaction of the caller (a form saving several
// records as one action), the services become part of it; the related tables must then have been
// opened before it began (a file cannot be attached inside a transaction).

#include "data/FieldCatalog.h"

#include <functional>

namespace td {

class Database;
class TableHandle;

// What a record service did.
enum class RecordResult {
    Done = 0, // the change is stored
    Failed = 1, // refused or failed: the message has been shown and nothing has changed
    ChangedElsewhere = 2, // the stored record had changed since it was read (UpdateRecord only)
};

// Deletes the record at the handle's position with its table's rules (children deleted, or the
// delete refused while children exist). Done, or Failed (the message has been shown and nothing
// has changed).
RecordResult DeleteRecord(TableHandle& table);

// Writes the handle's buffer over the stored record with the cascade rules; the old link values
// are those of the handle's original(). Done; Failed (message shown, nothing changed); or
// ChangedElsewhere: the stored record had been changed by someone else since it was read, message
// 38 when fromForm, else 15, and the buffer (and original) now hold the stored record.
RecordResult UpdateRecord(TableHandle& table, bool fromForm);

// The next identifier of a numbered table: the highest value in its primary key plus 1, or 1 for
// an empty table. -1 on a read error (in db.lastError()).
qint64 nextNumber(Database& db, TableId table);

// Adds a new numbered record: `prime` sets the identifier (nextNumber) and anything else in the
// buffer and returns false to give up at once (having said why); then the record is added. A failed
// add is tried again; after three failures message 25 is asked and the tries start over only on
// Retry. Done when added, Failed when given up. Without `prime` the primary key's field is set to
// nextNumber() and the rest of the buffer is kept.
RecordResult addNumbered(TableHandle& table, const std::function<bool(TableHandle&)>& prime = {});

} // namespace td

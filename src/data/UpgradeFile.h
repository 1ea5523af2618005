#pragma once
// The data-file upgrade: converts a stored file of an older layout to the current one. Every record
// is copied into the current layout in one transaction, columns matched by name, new columns taking
// their blank or zero value, positions kept; the keys are built afresh. Nothing is lost: on any
// failure the transaction is rolled back and the file is left exactly as it was. A file that is not
// one of our data files, or that carries a newer layout than this program's, is never touched.

#include "data/FieldCatalog.h"

namespace td {

class Database;

// Returns 0 when the file now has the current layout, else the error code (also in
// db.lastError()). The table's file must not be attached by anyone else in this connection.
int UpgradeFile(Database& db, TableId table);

} // namespace td

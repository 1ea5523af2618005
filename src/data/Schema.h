#pragma once
// How a table is laid out in its data file: the SQL of its table and indexes, and the marks the file
// carries (layout version in user_version, our mark and key-order version in application_id).

#include "data/FieldCatalog.h"

#include <QString>
#include <QStringList>

struct sqlite3;

namespace td::schema {

// "TD" in the upper half of application_id, the key collation version in the lower half.
inline constexpr int kApplicationMark = 0x54440000;
int applicationId();
bool isOurMark(int applicationId);

QString quoted(const QString& name);                    // "name" with quotes doubled
QString columnList(const TableDef& t);                  // "Artist","Title",...
QString createTableSql(const TableDef& t, const QString& schemaName);
QString indexName(const TableDef& t, int key);          // Tunedeck_SongsByArtist
QString createIndexSql(const TableDef& t, int key, const QString& schemaName);
// The partial-index condition of an optional key ("Artist" <> '' or "ID" <> 0); empty otherwise.
QString keyCondition(const TableDef& t, int key);
// The key's columns for ORDER BY / row values: "Artist","Title" (with DESC when asked).
QStringList keyColumns(const TableDef& t, int key, bool descending = false);

// The number of records kept by the file itself: a one-row table ("Tunedeck_RowCount") that
// triggers on the table keep in step with every insert and delete, whoever writes (this program,
// another running copy, the sqlite3 tool), so the count costs the same at any size.
QString rowCountTable(const TableDef& t);
// Reads the kept count, or no row when the file's triggers are not all there (then count).
QString keptCountSql(const TableDef& t, const QString& schemaName);
// Makes sure the file keeps its count: when the count table or a trigger is missing (a file of an
// earlier version, a table replaced by an upgrade) they are made and the records counted, in one
// transaction on `db` (the file attached as schemaName, no transaction open). Returns an SQLite
// result code; on failure nothing is changed and the count is simply counted when asked.
int ensureKeptCount(sqlite3* db, const TableDef& t, const QString& schemaName);

} // namespace td::schema

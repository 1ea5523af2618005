#pragma once
// How a table is laid out in its data file: the SQL of its table and indexes, and the marks the file
// carries (layout version in user_version, our mark and key-order version in application_id).

#include "data/FieldCatalog.h"

#include <QString>
#include <QStringList>

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

// Looks at a data file's header without SQLite: it must be an SQLite database whose pages are all
// present. Returns 0, 2 for an empty file (nothing to lose: created like a missing one), 5 when it
// cannot be read, or 36 with the reason in `why`.
int checkDataFileHeader(const QString& path, QString* why);

} // namespace td::schema

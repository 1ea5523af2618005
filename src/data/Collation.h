#pragma once
// The key order of every text key: Unicode simple case folding, trailing blanks ignored. Registered
// on every connection under the name of SQLite's built-in collation "NOCASE", replacing it there,
// and usable from C++ for the same comparisons (a walk along a key that stops when the link value
// differs). The name is SQLite's own so that ordinary tools such as the sqlite3 shell can read the
// data files. Their built-in NOCASE folds ASCII only; the same order is built as a loadable
// extension (src/tools/collation) that such a tool loads to check and write the files correctly.

#include "core/TextField.h"

#include <QString>
#include <QStringView>

struct sqlite3;

namespace td {

inline constexpr char kKeyCollation[] = "NOCASE";
// Bumped whenever the order changes; stored in every data file so that keys built with another
// order are found and rebuilt.
inline constexpr int kKeyCollationVersion = 2;

// <0, 0, >0 like strcmp, on UTF-8 bytes; the same order as compareKeyText (core/TextField.h).
int compareKeyUtf8(const char* a, int aLen, const char* b, int bLen);
inline bool keyTextEqual(QStringView a, QStringView b) { return compareKeyText(a, b) == 0; }

// Registers the key order on a connection; returns the SQLite result code.
int registerKeyCollation(sqlite3* db);

} // namespace td

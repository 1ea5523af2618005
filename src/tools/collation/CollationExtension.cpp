// Entry point of the loadable extension: registers the key order under NOCASE on the connection
// that loads it (sqlite3 tool: ".load ./libtdcollation").

#include "data/Collation.h"

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

namespace {

int collate(void*, int aLen, const void* a, int bLen, const void* b)
{
    return td::compareKeyUtf8(static_cast<const char*>(a), aLen, static_cast<const char*>(b), bLen);
}

int registerOn(sqlite3* db, const sqlite3_api_routines* api)
{
    SQLITE_EXTENSION_INIT2(api);
    // Through the loading program's own SQLite (the routine table), never a second copy.
    return sqlite3_create_collation_v2(db, td::kKeyCollation, SQLITE_UTF8, nullptr, collate, nullptr);
}

} // namespace

extern "C" {

// The name SQLite derives from the file name "libtdcollation.so".
__attribute__((visibility("default"))) int sqlite3_tdcollation_init(
    sqlite3* db, char**, const sqlite3_api_routines* api)
{
    return registerOn(db, api);
}

__attribute__((visibility("default"))) int sqlite3_extension_init(
    sqlite3* db, char**, const sqlite3_api_routines* api)
{
    return registerOn(db, api);
}
}

#pragma once
// The SQL side of filter expressions, registered on every connection: the collation TDTEXT (exact,
// trailing blanks ignored) and the functions td_upper, td_lower, td_clip, td_sub, td_instring,
// td_len and td_compare that FilterExpr::toSql writes, and td_instring_upper(sub, text, step, start),
// the same as td_instring(sub, td_upper(text), step, start) in one step. They call the same code as the
// evaluator (core/FilterFunctions.h), so a filter applied in SQL keeps the same records.

struct sqlite3;

namespace td {

inline constexpr char kTextCollation[] = "TDTEXT";

void registerFilterFunctions(sqlite3* db);

} // namespace td

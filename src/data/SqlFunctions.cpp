#include "data/SqlFunctions.h"

#include "core/FilterFunctions.h"

#include <cmath>
#include <sqlite3.h>

namespace td {

namespace {

using filter::Value;

Value fromSqlite(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return Value::fromNumber(double(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return Value::fromNumber(sqlite3_value_double(v));
    case SQLITE_NULL:
        return Value::fromText(QString());
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
        return Value::fromText(QString::fromUtf8(text, sqlite3_value_bytes(v)));
    }
    }
}

QString textArg(sqlite3_value* v)
{
    return filter::toText(fromSqlite(v));
}

double numberArg(sqlite3_value* v)
{
    return filter::toNumber(fromSqlite(v));
}

void resultText(sqlite3_context* ctx, const QString& s)
{
    const QByteArray utf8 = s.toUtf8();
    sqlite3_result_text64(ctx, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void resultNumber(sqlite3_context* ctx, double d)
{
    if (d == std::trunc(d) && std::fabs(d) < 9007199254740992.0)
        sqlite3_result_int64(ctx, sqlite3_int64(d));
    else
        sqlite3_result_double(ctx, d);
}

void tdUpper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    resultText(ctx, filter::upper(textArg(argv[0])));
}

void tdLower(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    resultText(ctx, filter::lower(textArg(argv[0])));
}

void tdClip(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    resultText(ctx, filter::clip(textArg(argv[0])));
}

void tdLen(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    resultNumber(ctx, filter::len(textArg(argv[0])));
}

void tdSub(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    resultText(ctx, filter::sub(textArg(argv[0]), numberArg(argv[1]), numberArg(argv[2])));
}

void tdInstring(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc < 2 || argc > 4) {
        sqlite3_result_error(ctx, "td_instring takes 2 to 4 arguments", -1);
        return;
    }
    const double step = argc > 2 ? numberArg(argv[2]) : 1;
    const double start = argc > 3 ? numberArg(argv[3]) : 1;
    resultNumber(ctx, filter::instring(textArg(argv[0]), textArg(argv[1]), step, start));
}

void tdCompare(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_result_int(ctx, filter::compare(fromSqlite(argv[0]), fromSqlite(argv[1])));
}

int textCollation(void*, int na, const void* a, int nb, const void* b)
{
    return filter::compareTextUtf8(static_cast<const char*>(a), na, static_cast<const char*>(b), nb);
}

} // namespace

void registerFilterFunctions(sqlite3* db)
{
    if (!db)
        return;
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct Fn {
        const char* name;
        int args;
        void (*call)(sqlite3_context*, int, sqlite3_value**);
    };
    static const Fn functions[] = {
        { "td_upper", 1, tdUpper },
        { "td_lower", 1, tdLower },
        { "td_clip", 1, tdClip },
        { "td_len", 1, tdLen },
        { "td_sub", 3, tdSub },
        { "td_instring", -1, tdInstring },
        { "td_compare", 2, tdCompare },
    };
    for (const Fn& f : functions)
        sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.call, nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(db, kTextCollation, SQLITE_UTF8, nullptr, textCollation, nullptr);
}

} // namespace td

#include "data/SqlFunctions.h"

#include "core/FilterFunctions.h"

#include <algorithm>
#include <cmath>
#include <sqlite3.h>
#include <string_view>

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

// A text value made of ASCII characters only: upper case, positions and lengths then work on its
// bytes alone and give the same answers as on the decoded text, which a search over a whole
// catalogue reads far faster. Anything else (numbers, any other character) takes the full path.
bool asciiText(sqlite3_value* v, std::string_view* out)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return false;
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    const int n = sqlite3_value_bytes(v);
    if (!p)
        return false;
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    *out = std::string_view(p, size_t(n));
    return true;
}

// Upper case of an ASCII text into buf; false (buf unusable) when the text is not all ASCII.
bool asciiUpper(sqlite3_value* v, QByteArray& buf)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return false;
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    const int n = sqlite3_value_bytes(v);
    if (!p)
        return false;
    buf.resize(n);
    char* out = buf.data();
    for (int i = 0; i < n; ++i) {
        const char c = p[i];
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
        out[i] = (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c;
    }
    return true;
}

void tdUpper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    thread_local QByteArray buf;
    if (asciiUpper(argv[0], buf)) {
        sqlite3_result_text(ctx, buf.constData(), int(buf.size()), SQLITE_TRANSIENT);
        return;
    }
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
    std::string_view needle;
    std::string_view text;
    if (asciiText(argv[0], &needle) && asciiText(argv[1], &text)) {
        // Byte positions are character positions here; the same walk as filter::instring.
        const qint64 by = std::max<qint64>(filter::toIndex(step), 1);
        const qint64 from = std::max<qint64>(filter::toIndex(start), 1);
        const auto n = qint64(text.size());
        const auto m = qint64(needle.size());
        if (by == 1 && m > 0) {
            const size_t at = from - 1 <= n ? text.find(needle, size_t(from - 1)) : std::string_view::npos;
            sqlite3_result_int64(ctx, at == std::string_view::npos ? 0 : sqlite3_int64(at) + 1);
            return;
        }
        for (qint64 pos = from; pos + m - 1 <= n; pos += by) {
            if (text.substr(size_t(pos - 1), size_t(m)) == needle) {
                sqlite3_result_int64(ctx, (pos - 1) / by + 1);
                return;
            }
        }
        sqlite3_result_int64(ctx, 0);
        return;
    }
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

#include "data/SqlFunctions.h"

#include "core/FilterFunctions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <sqlite3.h>
#include <string>
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
// The bytes of a text value; false for any other type.
bool textBytes(sqlite3_value* v, const char** p, int* n)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return false;
    *p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    *n = sqlite3_value_bytes(v);
    return *p != nullptr;
}

bool asciiText(sqlite3_value* v, std::string_view* out)
{
    const char* p = nullptr;
    int n = 0;
    if (!textBytes(v, &p, &n))
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
    const char* p = nullptr;
    int n = 0;
    if (!textBytes(v, &p, &n))
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

// For each character of the Basic Multilingual Plane: how many UTF-16 units its upper case has, or
// 0 when its upper case holds an ASCII character (ß is SS, ı is I, ﬁ is FI) or it is a surrogate.
// Upper case maps one character at a time, so these lengths place every ASCII character of a
// text's upper case exactly.
const std::array<quint8, 0x10000>& upperLengths()
{
    static const std::array<quint8, 0x10000> table = [] {
        std::array<quint8, 0x10000> t {};
        for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            const QString up = QString(QChar(char16_t(cp))).toUpper();
            bool ascii = false;
            for (QChar c : up)
                ascii = ascii || c.unicode() < 0x80;
            t[cp] = ascii ? 0 : quint8(qMin<qsizetype>(up.size(), 255));
        }
        return t;
    }();
    return table;
}

// The upper case of a UTF-8 text as seen by an ASCII needle: ASCII characters upper-cased, every
// UTF-16 unit of another character's upper case a 0x80 byte (never equal to an ASCII byte). So
// byte positions are positions in the upper-cased text. False when the text needs the full path
// (bad UTF-8, characters beyond the BMP, upper cases holding ASCII).
bool upperForAsciiNeedle(const unsigned char* p, size_t n, std::string& out)
{
    const auto& lengths = upperLengths();
    out.clear();
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            out.push_back((c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : char(c));
            ++i;
            continue;
        }
        char32_t cp = 0;
        if ((c & 0xE0) == 0xC0 && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
            cp = (char32_t(c & 0x1F) << 6) | (p[i + 1] & 0x3F);
            if (cp < 0x80)
                return false;
            i += 2;
        } else if ((c & 0xF0) == 0xE0 && i + 2 < n && (p[i + 1] & 0xC0) == 0x80
            && (p[i + 2] & 0xC0) == 0x80) {
            cp = (char32_t(c & 0x0F) << 12) | (char32_t(p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
            if (cp < 0x800)
                return false;
            i += 3;
        } else {
            return false;
        }
        const quint8 len = lengths[cp];
        if (len == 0)
            return false;
        out.append(len, char(0x80));
    }
    return true;
}

inline char asciiUpperOf(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : char(c);
}

// filter::instring's walk over a text of n units given by unit(i): the step number of the first
// place at or after `from` (stepping by `by`) where the needle starts, 0 when none.
template <class Unit> qint64 findFrom(Unit unit, qint64 n, std::string_view needle, qint64 from, qint64 by)
{
    const auto m = qint64(needle.size());
    for (qint64 pos = from; pos + m - 1 <= n; pos += by) {
        qint64 i = 0;
        while (i < m && unit(pos - 1 + i) == needle[size_t(i)])
            ++i;
        if (i == m)
            return (pos - 1) / by + 1;
    }
    return 0;
}

// A position or step argument as filter::toIndex reads it, without a detour through a value.
qint64 indexArg(sqlite3_value* v)
{
    constexpr qint64 kLimit = 1000000000000LL; // filter::toIndex's bound
    if (sqlite3_value_type(v) == SQLITE_INTEGER)
        return std::clamp<qint64>(sqlite3_value_int64(v), -kLimit, kLimit);
    return filter::toIndex(numberArg(v));
}

// The needle of a search, checked once per query when it is a constant.
struct Needle {
    bool ascii = false;
    std::string bytes;
};

// td_instring(sub, td_upper(text), step, start) in one step: the song list's "Contains". An ASCII
// needle is looked for in the text's upper case without building it as a text of its own.
void tdInstringUpper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* kept = static_cast<Needle*>(sqlite3_get_auxdata(ctx, 0));
    Needle fresh;
    if (!kept) {
        std::string_view n;
        fresh.ascii = asciiText(argv[0], &n);
        if (fresh.ascii)
            fresh.bytes.assign(n);
    }
    const Needle& needle = kept ? *kept : fresh;
    bool done = false;
    if (needle.ascii && sqlite3_value_type(argv[1]) == SQLITE_TEXT) {
        const auto* p = reinterpret_cast<const unsigned char*>(sqlite3_value_text(argv[1]));
        const auto n = size_t(p ? sqlite3_value_bytes(argv[1]) : 0);
        const qint64 by = std::max<qint64>(indexArg(argv[2]), 1);
        const qint64 from = std::max<qint64>(indexArg(argv[3]), 1);
        bool ascii = true;
        for (size_t i = 0; ascii && i < n; ++i)
            ascii = p[i] < 0x80;
        if (ascii) {
            sqlite3_result_int64(ctx,
                findFrom([p](qint64 i) { return asciiUpperOf(p[i]); }, qint64(n), needle.bytes, from, by));
            done = true;
        } else {
            thread_local std::string up;
            if (upperForAsciiNeedle(p, n, up)) {
                const char* u = up.data();
                sqlite3_result_int64(
                    ctx, findFrom([u](qint64 i) { return u[i]; }, qint64(up.size()), needle.bytes, from, by));
                done = true;
            }
        }
    }
    if (!done)
        resultNumber(ctx,
            filter::instring(
                textArg(argv[0]), filter::upper(textArg(argv[1])), numberArg(argv[2]), numberArg(argv[3])));
    if (!kept)
        sqlite3_set_auxdata(
            ctx, 0, new Needle(std::move(fresh)), [](void* d) { delete static_cast<Needle*>(d); });
}

// td_sub(td_upper(text), start, length) in one step: the song list's "Begins with". When every
// character up to the end of the cut is ASCII, each is one unit of the upper case too, and the cut
// is taken from the bytes; anything else (a start counted from the end, other characters before
// the end of the cut) takes the full path.
void tdSubUpper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const char* p = nullptr;
    int n = 0;
    if (textBytes(argv[0], &p, &n)) {
        const qint64 start = indexArg(argv[1]);
        const qint64 length = indexArg(argv[2]);
        if (length <= 0) {
            sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
            return;
        }
        if (start >= 0) {
            const qint64 last = std::min<qint64>(start + length - 1, n); // 1-based, inclusive
            bool ascii = true;
            for (qint64 i = 0; ascii && i < last; ++i)
                ascii = static_cast<unsigned char>(p[i]) < 0x80;
            if (ascii) {
                const qint64 first = std::max<qint64>(start, 1);
                thread_local std::string cut;
                cut.clear();
                for (qint64 i = first - 1; i < last; ++i)
                    cut.push_back(asciiUpperOf(static_cast<unsigned char>(p[i])));
                sqlite3_result_text(ctx, cut.data(), int(cut.size()), SQLITE_TRANSIENT);
                return;
            }
        }
    }
    resultText(ctx, filter::sub(filter::upper(textArg(argv[0])), numberArg(argv[1]), numberArg(argv[2])));
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
        { "td_instring_upper", 4, tdInstringUpper },
        { "td_sub_upper", 3, tdSubUpper },
        { "td_compare", 2, tdCompare },
    };
    for (const Fn& f : functions)
        sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.call, nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(db, kTextCollation, SQLITE_UTF8, nullptr, textCollation, nullptr);
}

} // namespace td

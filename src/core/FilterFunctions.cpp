#include "core/FilterFunctions.h"

#include "core/TextField.h"

#include <cmath>
#include <cstring>

namespace td::filter {

namespace {

constexpr double kIndexLimit = 1e12; // far beyond any text, small enough for exact arithmetic

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A number literal: optional sign, digits with an optional fraction (at least one digit in all),
// optional exponent. Nothing else: no group separators, no "inf" or "nan".
bool isNumberLiteral(QStringView t)
{
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(t[i])) {
        ++i;
        ++digits;
    }
    if (i < n && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isDigit(t[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && isDigit(t[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

// UTF-16 units rearranged so that comparing them gives code point order: surrogates (which stand
// for code points above U+FFFF) must sort after U+E000..U+FFFF.
inline char16_t codePointOrder(char16_t u)
{
    if (u >= 0xE000)
        return char16_t(u - 0x800);
    if (u >= 0xD800)
        return char16_t(u + 0x2000);
    return u;
}

} // namespace

QString clip(QStringView s)
{
    return s.left(clippedSize(s)).toString();
}

QString numberToText(double n)
{
    if (!std::isfinite(n))
        return QStringLiteral("0");
    if (n == std::trunc(n) && std::fabs(n) < 9007199254740992.0) // 2^53: exact as a whole number
        return QString::number(qint64(n));
    return QString::number(n, 'g', 15);
}

bool textToNumber(QStringView s, double* out)
{
    const QStringView t = s.trimmed();
    if (!isNumberLiteral(t))
        return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return false;
    if (out)
        *out = d;
    return true;
}

QString toText(const Value& v)
{
    return v.kind == Kind::Text ? v.text : numberToText(v.number);
}

double toNumber(const Value& v)
{
    if (v.kind == Kind::Number)
        return v.number;
    double d = 0;
    return textToNumber(v.text, &d) ? d : 0;
}

bool isTrue(const Value& v)
{
    return v.kind == Kind::Number ? v.number != 0 : clippedSize(v.text) > 0;
}

int compareText(QStringView a, QStringView b)
{
    const qsizetype na = clippedSize(a);
    const qsizetype nb = clippedSize(b);
    const qsizetype n = std::min(na, nb);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x != y)
            return codePointOrder(x) < codePointOrder(y) ? -1 : 1;
    }
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

int compareTextUtf8(const char* a, qsizetype na, const char* b, qsizetype nb)
{
    na = clippedSize(a, na);
    nb = clippedSize(b, nb);
    const qsizetype n = std::min(na, nb);
    const int c = n > 0 ? std::memcmp(a, b, size_t(n)) : 0; // UTF-8 bytes sort in code point order
    if (c != 0)
        return c < 0 ? -1 : 1;
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

int compare(const Value& a, const Value& b)
{
    auto numeric = [](double x, double y) { return x < y ? -1 : (x > y ? 1 : 0); };
    if (a.kind == Kind::Number && b.kind == Kind::Number)
        return numeric(a.number, b.number);
    if (a.kind == Kind::Text && b.kind == Kind::Text)
        return compareText(a.text, b.text);
    const bool textFirst = a.kind == Kind::Text;
    const Value& t = textFirst ? a : b;
    const Value& n = textFirst ? b : a;
    double d = 0;
    int c;
    if (textToNumber(t.text, &d))
        c = numeric(d, n.number);
    else
        c = compareText(t.text, numberToText(n.number));
    return textFirst ? c : -c;
}

QString upper(const QString& s)
{
    return s.toUpper();
}

QString lower(const QString& s)
{
    return s.toLower();
}

qint64 toIndex(double d)
{
    if (std::isnan(d))
        return 0;
    d = std::trunc(d);
    if (d > kIndexLimit)
        return qint64(kIndexLimit);
    if (d < -kIndexLimit)
        return -qint64(kIndexLimit);
    return qint64(d);
}

QString sub(const QString& s, double startArg, double lengthArg)
{
    const qint64 n = s.size();
    qint64 start = toIndex(startArg);
    const qint64 length = toIndex(lengthArg);
    if (length <= 0)
        return {};
    if (start < 0)
        start = n + start + 1;
    qint64 first = start; // 1-based, may lie before the text
    qint64 last = start + length - 1;
    first = std::max<qint64>(first, 1);
    last = std::min<qint64>(last, n);
    if (first > last)
        return {};
    return s.mid(first - 1, last - first + 1);
}

double instring(const QString& needle, const QString& s, double stepArg, double startArg)
{
    const qint64 step = std::max<qint64>(toIndex(stepArg), 1);
    const qint64 start = std::max<qint64>(toIndex(startArg), 1);
    const qint64 n = s.size();
    const qint64 m = needle.size();
    for (qint64 pos = start; pos + m - 1 <= n; pos += step) {
        if (QStringView(s).mid(pos - 1, m) == needle)
            return double((pos - 1) / step + 1);
    }
    return 0;
}

double len(const QString& s)
{
    return double(s.size());
}

} // namespace td::filter

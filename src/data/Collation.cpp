#include "data/Collation.h"

#include <QChar>
#include <sqlite3.h>

namespace td {

namespace {

// Decodes one UTF-8 sequence at s[i] (i < n) and advances i. Malformed bytes decode as themselves
// (0xDC80 + byte, like Python's surrogateescape) so the order stays total and deterministic.
char32_t decode(const unsigned char* s, int n, int& i)
{
    const unsigned char c = s[i];
    int extra = 0;
    char32_t cp = 0;
    if (c >= 0xF0 && c < 0xF8) {
        extra = 3;
        cp = c & 0x07;
    } else if (c >= 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if (c >= 0xC2 && c < 0xE0) {
        extra = 1;
        cp = c & 0x1F;
    } else {
        ++i;
        return 0xDC00 + c;
    }
    if (i + extra >= n) {
        ++i;
        return 0xDC00 + c;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char cc = s[i + k];
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return 0xDC00 + c;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += extra + 1;
    return cp;
}

inline unsigned char asciiFold(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int keyCollate(void*, int aLen, const void* a, int bLen, const void* b)
{
    return compareKeyUtf8(static_cast<const char*>(a), aLen, static_cast<const char*>(b), bLen);
}

} // namespace

int compareKeyUtf8(const char* a, int aLen, const char* b, int bLen)
{
    const auto* sa = reinterpret_cast<const unsigned char*>(a);
    const auto* sb = reinterpret_cast<const unsigned char*>(b);
    const int na = int(clippedSize(a, aLen));
    const int nb = int(clippedSize(b, bLen));
    int i = 0;
    int j = 0;
    while (i < na && j < nb) {
        const unsigned char ca = sa[i];
        const unsigned char cb = sb[j];
        if (ca < 0x80 && cb < 0x80) {
            // ASCII fast path: no decoding, no table look-up.
            const unsigned char fa = asciiFold(ca);
            const unsigned char fb = asciiFold(cb);
            if (fa != fb)
                return fa < fb ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        char32_t pa = ca < 0x80 ? char32_t(asciiFold(ca)) : 0;
        char32_t pb = cb < 0x80 ? char32_t(asciiFold(cb)) : 0;
        if (ca < 0x80)
            ++i;
        else
            pa = QChar::toCaseFolded(decode(sa, na, i));
        if (cb < 0x80)
            ++j;
        else
            pb = QChar::toCaseFolded(decode(sb, nb, j));
        if (pa != pb)
            return pa < pb ? -1 : 1;
    }
    if (i < na)
        return 1;
    if (j < nb)
        return -1;
    return 0;
}

int registerKeyCollation(sqlite3* db)
{
    return sqlite3_create_collation_v2(db, kKeyCollation, SQLITE_UTF8, nullptr, keyCollate, nullptr);
}

} // namespace td

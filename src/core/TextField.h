#pragma once
// Fixed-width text fields. A text field holds exactly its width in characters, padded with blanks
// on the right; comparisons and key order ignore the trailing blanks. In memory we keep the text
// without its padding and pad only where a fixed width is really needed (reports, exports).

#include <QString>

namespace td {

// The length of a text without its trailing blanks: the one rule every comparison, key and
// store uses (also on UTF-8 bytes, for the key order inside SQLite).
inline qsizetype clippedSize(QStringView text)
{
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == QLatin1Char(' '))
        --n;
    return n;
}
inline qsizetype clippedSize(const char* utf8, qsizetype n)
{
    while (n > 0 && utf8[n - 1] == ' ')
        --n;
    return n;
}

// The text with trailing blanks removed.
QString clip(const QString& text);

// How a text field stores a value: cut to width characters, trailing blanks removed. A width of
// zero or less stores nothing. A cut never splits a surrogate pair.
QString storeText(const QString& text, int width);

// The text cut or padded with blanks to exactly width characters (empty for width <= 0).
QString padText(const QString& text, int width);

// Equal ignoring trailing blanks (letter case counts).
bool sameText(const QString& a, const QString& b);

// Key comparison: letter case and trailing blanks ignored (Unicode simple case folding), by code
// point: the order of every key in the data files. Negative, zero or positive like QString::compare.
int compareKeyText(QStringView a, QStringView b);
bool sameKeyText(QStringView a, QStringView b);

} // namespace td

#include "core/TextField.h"

namespace td {

namespace {

// Length of text when cut to at most width characters, without splitting a surrogate pair.
qsizetype cutLength(const QString& text, int width)
{
    if (width <= 0)
        return 0;
    qsizetype n = qMin<qsizetype>(text.size(), width);
    if (n > 0 && n < text.size() && text.at(n - 1).isHighSurrogate())
        --n;
    return n;
}

} // namespace

QString clip(const QString& text)
{
    return text.left(clippedSize(text));
}

QString storeText(const QString& text, int width)
{
    return clip(text.left(cutLength(text, width)));
}

QString padText(const QString& text, int width)
{
    if (width <= 0)
        return {};
    QString out = text.left(cutLength(text, width));
    return out.leftJustified(width, QLatin1Char(' '));
}

bool sameText(const QString& a, const QString& b)
{
    const qsizetype na = clippedSize(a);
    return na == clippedSize(b) && QStringView(a).left(na) == QStringView(b).left(na);
}

int compareKeyText(QStringView a, QStringView b)
{
    const qsizetype na = clippedSize(a);
    const qsizetype nb = clippedSize(b);
    // Code points, not UTF-16 units, so the order is that of the UTF-8 collation of the files.
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < na && j < nb) {
        char32_t pa = a[i++].unicode();
        char32_t pb = b[j++].unicode();
        if (QChar::isHighSurrogate(pa) && i < na && a[i].isLowSurrogate())
            pa = QChar::surrogateToUcs4(char16_t(pa), a[i++].unicode());
        if (QChar::isHighSurrogate(pb) && j < nb && b[j].isLowSurrogate())
            pb = QChar::surrogateToUcs4(char16_t(pb), b[j++].unicode());
        pa = pa < 0x80 ? ((pa >= 'A' && pa <= 'Z') ? pa + 32 : pa) : QChar::toCaseFolded(pa);
        pb = pb < 0x80 ? ((pb >= 'A' && pb <= 'Z') ? pb + 32 : pb) : QChar::toCaseFolded(pb);
        if (pa != pb)
            return pa < pb ? -1 : 1;
    }
    if (i < na)
        return 1;
    if (j < nb)
        return -1;
    return 0;
}

bool sameKeyText(QStringView a, QStringView b)
{
    return compareKeyText(a, b) == 0;
}

} // namespace td

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

qsizetype clippedLength(const QString& text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    return n;
}

} // namespace

QString clip(const QString& text)
{
    return text.left(clippedLength(text));
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
    const qsizetype na = clippedLength(a);
    return na == clippedLength(b) && QStringView(a).left(na) == QStringView(b).left(na);
}

int compareKeyText(const QString& a, const QString& b)
{
    const QString fa = clip(a).toCaseFolded();
    const QString fb = clip(b).toCaseFolded();
    return fa.compare(fb, Qt::CaseSensitive);
}

bool sameKeyText(const QString& a, const QString& b)
{
    return compareKeyText(a, b) == 0;
}

} // namespace td

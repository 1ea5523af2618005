#include "core/Picture.h"

#include "core/DayTime.h"
#include "core/TextField.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <optional>

namespace td {

namespace {

constexpr int MaxPictureSize = 255; // wider pictures are taken as malformed
constexpr int MaxPlaces = 15; // beyond this a double has no digits left to show

bool readDigits(QStringView s, qsizetype& pos, int& out)
{
    const qsizetype start = pos;
    qint64 v = 0;
    while (pos < s.size() && s.at(pos).isDigit() && s.at(pos).unicode() < 128) {
        v = v * 10 + (s.at(pos).unicode() - '0');
        if (v > 100000)
            return false;
        ++pos;
    }
    out = int(v);
    return pos > start;
}

bool isBlankMark(QChar c)
{
    return c == QLatin1Char('b') || c == QLatin1Char('B');
}

QString overflow(int width)
{
    return QString(qMax(width, 1), QLatin1Char('#'));
}

// Inserts "," between groups of three digits.
QString grouped(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits.at(i);
    }
    return out;
}

bool allZeros(const QString& s)
{
    for (QChar c : s)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

} // namespace

Picture::Picture(const QString& text)
    : text_(text)
{
    if (text.size() < 2 || text.at(0) != QLatin1Char('@'))
        return;
    const QChar type = text.at(1).toLower();
    const QStringView rest = QStringView(text).mid(2);
    qsizetype pos = 0;

    auto fail = [this] {
        kind_ = Kind::Text;
        valid_ = false;
        size_ = places_ = 0;
        blank_ = false;
        fill_ = Fill::None;
        sign_ = Sign::None;
        separator_ = QChar();
        pattern_.clear();
    };

    if (type == QLatin1Char('s')) {
        int n = 0;
        if (!readDigits(rest, pos, n) || pos != rest.size() || n < 1 || n > 65535) {
            fail();
            return;
        }
        kind_ = Kind::Text;
        size_ = n;
        valid_ = true;
        return;
    }

    if (type == QLatin1Char('n')) {
        kind_ = Kind::Number;
        if (pos < rest.size() && rest.at(pos) == QLatin1Char('-')) {
            sign_ = Sign::Leading;
            ++pos;
        } else if (pos < rest.size() && rest.at(pos) == QLatin1Char('(')) {
            sign_ = Sign::Parentheses;
            ++pos;
        }
        if (pos < rest.size()) {
            const QChar c = rest.at(pos);
            // "0" is a zero fill only when a size follows it ("@n05"); "@n0" alone is size 0.
            if (c == QLatin1Char('_')) {
                fill_ = Fill::Blank;
                ++pos;
            } else if (c == QLatin1Char('*')) {
                fill_ = Fill::Asterisk;
                ++pos;
            } else if (c == QLatin1Char('0') && pos + 1 < rest.size() && rest.at(pos + 1).isDigit()) {
                fill_ = Fill::Zero;
                ++pos;
            }
        }
        int n = 0;
        if (!readDigits(rest, pos, n) || n < 1 || n > MaxPictureSize) {
            fail();
            return;
        }
        size_ = n;
        if (pos < rest.size() && rest.at(pos) == QLatin1Char('.')) {
            ++pos;
            int p = 0;
            if (!readDigits(rest, pos, p) || p > MaxPlaces || p >= n) {
                fail();
                return;
            }
            places_ = p;
        }
        if (sign_ == Sign::Parentheses) {
            if (pos >= rest.size() || rest.at(pos) != QLatin1Char(')')) {
                fail();
                return;
            }
            ++pos;
        } else if (sign_ == Sign::None && pos < rest.size() && rest.at(pos) == QLatin1Char('-')) {
            sign_ = Sign::Trailing;
            ++pos;
        }
        if (pos < rest.size() && isBlankMark(rest.at(pos))) {
            blank_ = true;
            ++pos;
        }
        // A picture too narrow for "0" with its places can show no value at all ("@n(08.7)").
        if (pos != rest.size() || 1 + (places_ > 0 ? places_ + 1 : 0) > size_) {
            fail();
            return;
        }
        valid_ = true;
        return;
    }

    if (type == QLatin1Char('d') || type == QLatin1Char('t')) {
        kind_ = type == QLatin1Char('d') ? Kind::Date : Kind::Time;
        const int last = kind_ == Kind::Date ? 18 : 8;
        int n = 0;
        if (!readDigits(rest, pos, n) || n < 1 || n > last) {
            fail();
            return;
        }
        size_ = n;
        if (pos < rest.size()) {
            const QChar c = rest.at(pos);
            if (c == QLatin1Char('.') || c == QLatin1Char('-'))
                separator_ = c, ++pos;
            else if (c == QLatin1Char('_'))
                separator_ = QLatin1Char(' '), ++pos;
            else if (c == QLatin1Char('\''))
                separator_ = QLatin1Char(','), ++pos;
        }
        // A scroll direction and range ("<" or ">" and digits) only matter to spin controls.
        if (kind_ == Kind::Date && pos < rest.size()
            && (rest.at(pos) == QLatin1Char('<') || rest.at(pos) == QLatin1Char('>'))) {
            ++pos;
            int range = 0;
            readDigits(rest, pos, range);
        }
        if (pos < rest.size() && isBlankMark(rest.at(pos))) {
            blank_ = true;
            ++pos;
        }
        if (pos != rest.size()) {
            fail();
            return;
        }
        valid_ = true;
        return;
    }

    if (type == QLatin1Char('p')) {
        QString body = rest.toString();
        // The pattern closes with the last "p"; a "b" after it means blank when zero. The
        // pattern itself may hold a "P" ("@pPage <<<#p").
        if (body.size() >= 2 && isBlankMark(body.back())
            && body.at(body.size() - 2).toLower() == QLatin1Char('p')) {
            blank_ = true;
            body.chop(1);
        }
        if (body.isEmpty() || body.back().toLower() != QLatin1Char('p')) {
            fail();
            return;
        }
        body.chop(1);
        // Without a digit position ("<" or "#") the pattern cannot show a value.
        if (!body.contains(QLatin1Char('<')) && !body.contains(QLatin1Char('#'))) {
            fail();
            return;
        }
        kind_ = Kind::Pattern;
        pattern_ = body;
        size_ = int(body.size());
        valid_ = true;
        return;
    }

    fail();
}

int Picture::width() const
{
    switch (kind_) {
    case Kind::Text:
    case Kind::Number:
    case Kind::Pattern:
        return size_;
    case Kind::Date: {
        static const int widths[19] = { 0, 8, 10, 11, 18, 8, 10, 9, 11, 8, 10, 6, 8, 5, 7, 5, 7, 10, 40 };
        return widths[size_];
    }
    case Kind::Time: {
        static const int widths[9] = { 0, 5, 4, 7, 8, 6, 10, 8, 14 };
        return widths[size_];
    }
    }
    return 0;
}

// ---- numbers ----

namespace {

// Lays out the digits of a number (integer part, decimals) through a number picture.
QString layoutNumber(const QString& intDigits, const QString& fracDigits, bool negative, int size,
    Picture::Fill fill, Picture::Sign sign, bool blank)
{
    const bool zero = allZeros(intDigits) && allZeros(fracDigits);
    if (zero) {
        if (blank)
            return {};
        negative = false;
    }
    QString body = intDigits;
    const QString fraction = fracDigits.isEmpty() ? QString() : QLatin1Char('.') + fracDigits;

    QString before, after;
    if (negative) {
        // A picture without a sign still shows the minus: hiding it would show a wrong value.
        if (sign == Picture::Sign::Trailing)
            after = QStringLiteral("-");
        else if (sign == Picture::Sign::Parentheses)
            before = QStringLiteral("("), after = QStringLiteral(")");
        else
            before = QStringLiteral("-");
    }
    // Grouping is decoration: it is dropped when only the plain digits fit ("@n4b" shows the
    // year 1997 as "1997").
    if (fill == Picture::Fill::None) {
        const QString withGroups = grouped(intDigits);
        if (before.size() + withGroups.size() + fraction.size() + after.size() <= size)
            body = withGroups;
    }
    body += fraction;
    const qsizetype used = before.size() + body.size() + after.size();
    if (used > size)
        return overflow(size);
    const qsizetype pad = size - used;
    switch (fill) {
    case Picture::Fill::Zero:
        return before + QString(pad, QLatin1Char('0')) + body + after;
    case Picture::Fill::Asterisk:
        return before + QString(pad, QLatin1Char('*')) + body + after;
    case Picture::Fill::None:
    case Picture::Fill::Blank:
        break;
    }
    return QString(pad, QLatin1Char(' ')) + before + body + after;
}

} // namespace

QString Picture::format(qint64 value, const QLocale& locale) const
{
    switch (kind_) {
    case Kind::Text: {
        const QString s = QString::number(value);
        return size_ > 0 ? storeText(s, size_) : s;
    }
    case Kind::Number: {
        const bool negative = value < 0;
        // The magnitude as unsigned so that the lowest value has one too.
        const quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
        return layoutNumber(QString::number(magnitude), QString(places_, QLatin1Char('0')), negative, size_,
            fill_, sign_, blank_);
    }
    case Kind::Date:
        return formatDate(value, locale);
    case Kind::Time:
        return formatTime(value, locale);
    case Kind::Pattern:
        return formatPattern(value);
    }
    return {};
}

QString Picture::formatReal(double value, const QLocale& locale) const
{
    if (kind_ == Kind::Number) {
        if (!std::isfinite(value))
            return overflow(size_);
        const bool negative = value < 0;
        const QString s = QString::number(std::fabs(value), 'f', places_);
        const qsizetype dot = s.indexOf(QLatin1Char('.'));
        const QString intDigits = dot < 0 ? s : s.left(dot);
        const QString fracDigits = dot < 0 ? QString() : s.mid(dot + 1);
        return layoutNumber(intDigits, fracDigits, negative, size_, fill_, sign_, blank_);
    }
    if (kind_ == Kind::Text)
        return size_ > 0 ? storeText(QString::number(value, 'g', 15), size_)
                         : QString::number(value, 'g', 15);
    if (!std::isfinite(value) || std::fabs(value) > 9.0e18)
        return overflow(width());
    return format(qint64(std::llround(value)), locale);
}

QString Picture::formatText(const QString& value, const QLocale& locale) const
{
    if (kind_ == Kind::Text)
        return size_ > 0 ? storeText(value, size_) : value;
    const QString t = value.trimmed();
    if (t.isEmpty())
        return format(qint64(0), locale);
    bool ok = false;
    const qint64 whole = t.toLongLong(&ok);
    if (ok)
        return format(whole, locale);
    if (kind_ == Kind::Number) {
        QString plain = t;
        plain.remove(QLatin1Char(','));
        const double d = plain.toDouble(&ok);
        if (ok)
            return formatReal(d, locale);
    }
    return value;
}

QString Picture::formatVariant(const QVariant& value, const QLocale& locale) const
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QString:
        return formatText(value.toString(), locale);
    case QMetaType::Double:
    case QMetaType::Float:
        return formatReal(value.toDouble(), locale);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::Bool:
        return format(value.toLongLong(), locale);
    case QMetaType::ULongLong:
    case QMetaType::ULong: {
        const quint64 u = value.toULongLong();
        return u > quint64(std::numeric_limits<qint64>::max()) ? overflow(width())
                                                               : format(qint64(u), locale);
    }
    case QMetaType::QDate:
        return format(dayFromDate(value.toDate()), locale);
    default:
        return formatText(value.toString(), locale);
    }
}

QString Picture::formatPattern(qint64 value) const
{
    if (value == 0 && blank_)
        return {};
    if (value < 0)
        return overflow(size_);
    const QString digits = QString::number(value);
    const qsizetype positions = pattern_.count(QLatin1Char('<')) + pattern_.count(QLatin1Char('#'));
    if (digits.size() > positions)
        return overflow(size_);
    QString out = pattern_;
    qsizetype next = digits.size() - 1;
    for (qsizetype i = out.size() - 1; i >= 0; --i) {
        const QChar c = out.at(i);
        if (c != QLatin1Char('<') && c != QLatin1Char('#'))
            continue;
        if (next >= 0)
            out[i] = digits.at(next--);
        else
            out[i] = c == QLatin1Char('#') ? QLatin1Char('0') : QLatin1Char(' ');
    }
    return out;
}

// ---- reading ----

Picture::Input Picture::parse(const QString& input, const QLocale& locale) const
{
    switch (kind_) {
    case Kind::Text: {
        Input r;
        r.ok = true;
        r.value = size_ > 0 ? storeText(input, size_) : input;
        return r;
    }
    case Kind::Number:
        return parseNumber(input);
    case Kind::Date:
        return parseDate(input, locale);
    case Kind::Time:
        return parseTime(input, locale);
    case Kind::Pattern:
        return parsePattern(input);
    }
    return {};
}

namespace {

Picture::Input refused(Picture::Error e)
{
    Picture::Input r;
    r.error = e;
    return r;
}

Picture::Input accepted(const QVariant& v)
{
    Picture::Input r;
    r.ok = true;
    r.value = v;
    return r;
}

bool asciiDigits(QStringView s)
{
    for (QChar c : s)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return true;
}

} // namespace

Picture::Input Picture::parseNumber(const QString& input) const
{
    QString s = input.trimmed();
    if (s.isEmpty())
        return accepted(places_ > 0 ? QVariant(0.0) : QVariant(qlonglong(0)));

    bool negative = false;
    if (s.startsWith(QLatin1Char('(')) && s.endsWith(QLatin1Char(')'))) {
        negative = true;
        s = s.mid(1, s.size() - 2).trimmed();
    } else if (s.startsWith(QLatin1Char('-'))) {
        negative = true;
        s = s.mid(1).trimmed();
    } else if (s.endsWith(QLatin1Char('-'))) {
        negative = true;
        s.chop(1);
        s = s.trimmed();
    } else if (s.startsWith(QLatin1Char('+'))) {
        s = s.mid(1).trimmed();
    }
    // Fill characters and thousands separators as the picture may have shown them.
    while (s.startsWith(QLatin1Char('*')))
        s.remove(0, 1);
    s.remove(QLatin1Char(','));

    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? s : s.left(dot);
    const QString fracPart = dot < 0 ? QString() : s.mid(dot + 1);
    if ((intPart.isEmpty() && fracPart.isEmpty()) || !asciiDigits(intPart) || !asciiDigits(fracPart))
        return refused(Error::Invalid);

    const bool zero = allZeros(intPart) && allZeros(fracPart);
    if (negative && !zero && !allowsNegative())
        return refused(Error::Negative);

    if (places_ == 0) {
        if (!allZeros(fracPart))
            return refused(Error::Invalid);
        QString digits = intPart;
        while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
            digits.remove(0, 1);
        if (digits.size() > 18)
            return refused(Error::TooWide);
        qint64 v = digits.isEmpty() ? 0 : digits.toLongLong();
        if (negative)
            v = -v;
        if (layoutNumber(QString::number(qAbs(v)), {}, v < 0, size_, fill_, sign_, false)
                .startsWith(QLatin1Char('#')))
            return refused(Error::TooWide);
        return accepted(qlonglong(v));
    }

    const QString plain = (intPart.isEmpty() ? QStringLiteral("0") : intPart) + QLatin1Char('.')
        + (fracPart.isEmpty() ? QStringLiteral("0") : fracPart);
    bool ok = false;
    double v = plain.toDouble(&ok);
    const double scale = std::pow(10.0, places_);
    // Near the top of the double range the scaled value is infinite: never take that for a number.
    if (!ok || !std::isfinite(v) || !std::isfinite(v * scale))
        return refused(Error::TooWide);
    v = std::round(v * scale) / scale;
    if (negative)
        v = -v;
    const QString shown = QString::number(std::fabs(v), 'f', places_);
    const qsizetype d = shown.indexOf(QLatin1Char('.'));
    if (layoutNumber(shown.left(d), shown.mid(d + 1), v < 0, size_, fill_, sign_, false)
            .startsWith(QLatin1Char('#')))
        return refused(Error::TooWide);
    return accepted(v);
}

namespace {

// The digits of `text` read through a pattern position by position: "<" a digit or a blank, "#" a
// digit, every other character itself. Nothing when the text is not laid out so.
std::optional<QString> digitsOfLayout(QStringView pattern, QStringView text)
{
    if (text.size() != pattern.size())
        return std::nullopt;
    QString digits;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar p = pattern.at(i), c = text.at(i);
        const bool digit = c.unicode() >= '0' && c.unicode() <= '9';
        if (p == QLatin1Char('<')) {
            if (digit)
                digits += c;
            else if (c != QLatin1Char(' '))
                return std::nullopt;
        } else if (p == QLatin1Char('#')) {
            if (!digit)
                return std::nullopt;
            digits += c;
        } else if (p.toCaseFolded() != c.toCaseFolded()) {
            return std::nullopt;
        }
    }
    return digits;
}

} // namespace

Picture::Input Picture::parsePattern(const QString& input) const
{
    const QString s = input.trimmed();
    if (s.isEmpty())
        return accepted(qlonglong(0));

    // First the text as the pattern shows a value: position by position, with the blanks at
    // either end that an entry may have trimmed put back. Every way of putting them back that
    // fits must give the same number ("1 7" through "@p1<# p" is 7, never 17); otherwise the
    // text is ambiguous and refused.
    QString digits;
    bool laidOut = false;
    for (qsizetype lead = 0; lead + s.size() <= pattern_.size(); ++lead) {
        const QString padded = QString(lead, QLatin1Char(' ')) + s
            + QString(pattern_.size() - lead - s.size(), QLatin1Char(' '));
        const std::optional<QString> layout = digitsOfLayout(pattern_, padded);
        if (!layout)
            continue;
        QString d = *layout;
        while (d.size() > 1 && d.startsWith(QLatin1Char('0')))
            d.remove(0, 1);
        if (laidOut && d != digits)
            return refused(Error::Invalid);
        digits = d;
        laidOut = true;
    }

    if (!laidOut) {
        if (s.contains(QLatin1Char('-')) && !pattern_.contains(QLatin1Char('-')))
            return refused(Error::Negative);
        bool literalDigits = false;
        QString rx;
        for (QChar c : pattern_) {
            if (c == QLatin1Char('<'))
                rx += QStringLiteral("([0-9]| )?");
            else if (c == QLatin1Char('#'))
                rx += QStringLiteral("([0-9])");
            else
                rx += QRegularExpression::escape(QString(c));
            literalDigits = literalDigits || c.isDigit();
        }
        // Typed with fewer positions ("Page 7"): the digits of the digit positions only.
        const QRegularExpression loose(
            QRegularExpression::anchoredPattern(rx), QRegularExpression::CaseInsensitiveOption);
        if (const QRegularExpressionMatch m = loose.match(s); m.hasMatch()) {
            for (int i = 1; i <= m.lastCapturedIndex(); ++i)
                digits += m.captured(i).trimmed();
        } else if (literalDigits) {
            // The pattern's own digits would mix with typed ones: only a plain number is taken.
            if (!asciiDigits(s))
                return refused(Error::Invalid);
            digits = s;
        } else {
            // Typed otherwise: the digits in it.
            for (QChar c : s)
                if (c.unicode() >= '0' && c.unicode() <= '9')
                    digits += c;
        }
        while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
            digits.remove(0, 1);
    }
    if (digits.isEmpty())
        return refused(Error::Invalid);
    const qsizetype positions = pattern_.count(QLatin1Char('<')) + pattern_.count(QLatin1Char('#'));
    if (digits.size() > positions || digits.size() > 18)
        return refused(Error::TooWide);
    return accepted(qlonglong(digits.toLongLong()));
}

// ---- date fields ----

QString formatDateValue(const Picture& picture, qint64 value, const QLocale& locale)
{
    if (picture.isNumber() && value > MaxYearOnly) {
        const int year = value <= maxDay() ? yearOfDay(int(value)) : 0;
        return year > 0 ? picture.format(year, locale) : overflow(picture.width());
    }
    return picture.format(value, locale);
}

Picture::Input parseDateValue(const Picture& picture, const QString& input, const QLocale& locale)
{
    Picture::Input r = picture.parse(input, locale);
    if (!picture.isNumber() || !r.ok)
        return r;
    const double v = r.value.toDouble();
    if (v > MaxYearOnly)
        return refused(Picture::Error::OutOfRange);
    r.value = qlonglong(std::llround(v));
    return r;
}

int expandTwoDigitYear(int yy, int referenceYear)
{
    int year = referenceYear - referenceYear % 100 + yy % 100;
    if (year > referenceYear + 19)
        year -= 100;
    else if (year < referenceYear - 80)
        year += 100;
    return year;
}

} // namespace td

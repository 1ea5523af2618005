#include "core/ListFormat.h"

#include "core/Picture.h"

namespace td {

namespace {

bool isJustification(QChar c)
{
    return c == QLatin1Char('L') || c == QLatin1Char('R') || c == QLatin1Char('C') || c == QLatin1Char('D');
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

class Reader {
public:
    explicit Reader(const QString& text)
        : s_(text)
    {
    }

    bool atEnd() const { return pos_ >= s_.size(); }
    QChar peek(qsizetype ahead = 0) const { return pos_ + ahead < s_.size() ? s_.at(pos_ + ahead) : QChar(); }
    qsizetype pos() const { return pos_; }

    // A whole number and how many zeros were written in front of it.
    bool number(int& out, int& zeros)
    {
        const qsizetype start = pos_;
        qint64 v = 0;
        while (!atEnd() && isDigit(peek())) {
            v = v * 10 + (peek().unicode() - '0');
            if (v > 1000000 || pos_ - start >= 9)
                return false;
            ++pos_;
        }
        out = int(v);
        zeros = qMax(0, int(pos_ - start) - int(QString::number(v).size()));
        return pos_ > start;
    }

    // "(n)" after a justification; returns false on a malformed one, leaves out at -1 if absent.
    bool indent(int& out, int& zeros)
    {
        out = -1;
        if (peek() != QLatin1Char('('))
            return true;
        ++pos_;
        if (!number(out, zeros) || peek() != QLatin1Char(')'))
            return false;
        ++pos_;
        return true;
    }

    // Flags up to one of the stop characters; a flag may carry "(...)".
    bool flags(QString& out, const QString& stops)
    {
        while (!atEnd() && !stops.contains(peek())) {
            out += peek();
            ++pos_;
            if (peek() == QLatin1Char('(')) {
                const qsizetype close = s_.indexOf(QLatin1Char(')'), pos_);
                if (close < 0)
                    return false;
                out += s_.mid(pos_, close - pos_ + 1);
                pos_ = close + 1;
            }
        }
        return true;
    }

    // Text up to the next occurrence of c, which is consumed.
    bool until(QChar c, QString& out)
    {
        const qsizetype end = s_.indexOf(c, pos_);
        if (end < 0)
            return false;
        out = s_.mid(pos_, end - pos_);
        pos_ = end + 1;
        return true;
    }

    void skip() { ++pos_; }

private:
    const QString& s_;
    qsizetype pos_ = 0;
};

} // namespace

std::optional<ListFormat> ListFormat::parse(const QString& text, QString* error)
{
    ListFormat format;
    Reader r(text);
    auto fail = [&](const QString& why) -> std::optional<ListFormat> {
        if (error)
            *error = QStringLiteral("%1 at position %2").arg(why).arg(r.pos() + 1);
        return std::nullopt;
    };

    while (!r.atEnd()) {
        ListColumn col;
        if (!r.number(col.width, col.widthZeros))
            return fail(QStringLiteral("column width expected"));
        if (!isJustification(r.peek()))
            return fail(QStringLiteral("justification L, R, C or D expected"));
        col.justification = r.peek();
        r.skip();
        if (!r.indent(col.indent, col.indentZeros))
            return fail(QStringLiteral("malformed indent"));
        if (!r.flags(col.flags, QStringLiteral("~#@")))
            return fail(QStringLiteral("unclosed parenthesis"));
        if (r.peek() == QLatin1Char('~')) {
            r.skip();
            col.hasHeader = true;
            if (!r.until(QLatin1Char('~'), col.header))
                return fail(QStringLiteral("unclosed header"));
            if (isJustification(r.peek())) {
                col.headerJustification = r.peek();
                r.skip();
                if (!r.indent(col.headerIndent, col.headerIndentZeros))
                    return fail(QStringLiteral("malformed header indent"));
            }
            if (!r.flags(col.headerFlags, QStringLiteral("#@")))
                return fail(QStringLiteral("unclosed parenthesis"));
        }
        if (r.peek() == QLatin1Char('#')) {
            r.skip();
            if (!r.number(col.fieldNumber, col.fieldNumberZeros) || r.peek() != QLatin1Char('#'))
                return fail(QStringLiteral("malformed field number"));
            r.skip();
        }
        if (r.peek() != QLatin1Char('@'))
            return fail(QStringLiteral("picture expected"));
        r.skip();
        QString picture;
        if (!r.until(QLatin1Char('@'), picture) || picture.isEmpty())
            return fail(QStringLiteral("unclosed picture"));
        col.picture = QLatin1Char('@') + picture;
        // Marks after the picture ("?") are single symbols; letters or another header there
        // mean the text is not a format.
        while (!r.atEnd() && !isDigit(r.peek())) {
            const QChar c = r.peek();
            if (c.isLetter() || QStringLiteral("~@#()").contains(c))
                return fail(QStringLiteral("column width expected"));
            col.trailing += c;
            r.skip();
        }
        format.columns << col;
    }
    if (error)
        error->clear();
    return format;
}

namespace {

QString digits(int value, int zeros)
{
    return QString(zeros, QLatin1Char('0')) + QString::number(value);
}

} // namespace

QString ListFormat::toString() const
{
    QString out;
    for (const ListColumn& c : columns) {
        out += digits(c.width, c.widthZeros) + c.justification;
        if (c.indent >= 0)
            out += QLatin1Char('(') + digits(c.indent, c.indentZeros) + QLatin1Char(')');
        out += c.flags;
        if (c.hasHeader) {
            out += QLatin1Char('~') + c.header + QLatin1Char('~');
            if (!c.headerJustification.isNull()) {
                out += c.headerJustification;
                if (c.headerIndent >= 0)
                    out += QLatin1Char('(') + digits(c.headerIndent, c.headerIndentZeros) + QLatin1Char(')');
            }
            out += c.headerFlags;
        }
        if (c.fieldNumber >= 0)
            out += QLatin1Char('#') + digits(c.fieldNumber, c.fieldNumberZeros) + QLatin1Char('#');
        out += c.picture + QLatin1Char('@') + c.trailing;
    }
    return out;
}

bool isDatePicture(const QString& picture)
{
    return picture.size() >= 2 && picture.at(0) == QLatin1Char('@')
        && (picture.at(1) == QLatin1Char('d') || picture.at(1) == QLatin1Char('D'));
}

namespace {

// The setting as a picture text, or empty when it cannot serve as one for dates.
QString datePictureFromSetting(const QString& dateFormat)
{
    QString code = dateFormat.trimmed();
    if (code.startsWith(QLatin1Char('@')))
        code.remove(0, 1);
    if (code.isEmpty())
        return {};
    const QString picture = QLatin1Char('@') + code;
    const Picture p(picture);
    if (!p.isValid() || !(p.isDate() || p.isNumber()))
        return {};
    return picture;
}

} // namespace

QString applyDatePicture(const QString& picture, const QString& dateFormat)
{
    const QString replacement = datePictureFromSetting(dateFormat);
    if (replacement.isEmpty() || !isDatePicture(picture))
        return picture;
    return replacement;
}

QString applyDateFormat(const QString& listFormat, const QString& dateFormat)
{
    const QString replacement = datePictureFromSetting(dateFormat);
    if (replacement.isEmpty())
        return listFormat;
    if (std::optional<ListFormat> parsed = ListFormat::parse(listFormat)) {
        for (ListColumn& c : parsed->columns)
            if (isDatePicture(c.picture))
                c.picture = replacement;
        return parsed->toString();
    }
    // A format we cannot read: scan the text, each "@d" up to the next "@" being a date picture.
    QString out;
    qsizetype i = 0;
    while (i < listFormat.size()) {
        const QChar c = listFormat.at(i);
        if (c == QLatin1Char('@') && i + 1 < listFormat.size()
            && listFormat.at(i + 1).toLower() == QLatin1Char('d')) {
            const qsizetype close = listFormat.indexOf(QLatin1Char('@'), i + 1);
            if (close < 0) {
                out += listFormat.mid(i);
                break;
            }
            out += replacement + QLatin1Char('@');
            i = close + 1;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

} // namespace td

// Date and time pictures: formatting day and time values and reading typed dates and times.
#include "core/Picture.h"

#include "core/DayTime.h"

#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <array>
#include <optional>

namespace td {

namespace {

const char* const kMonths[12] = { "January", "February", "March", "April", "May", "June", "July", "August",
    "September", "October", "November", "December" };
const char* const kWeekdays[7]
    = { "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday" };

// This year in local time. Asking the clock for the local date re-reads the time zone file every
// time, and every date cell of a list asks: the year is kept until the local year ends.
int currentYear()
{
    thread_local int year = 0;
    thread_local qint64 from = 0;
    thread_local qint64 until = 0;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (year == 0 || now < from || now >= until) {
        year = QDate::currentDate().year();
        from = QDateTime(QDate(year, 1, 1), QTime(0, 0)).toMSecsSinceEpoch();
        until = QDateTime(QDate(year + 1, 1, 1), QTime(0, 0)).toMSecsSinceEpoch();
    }
    return year;
}

QString overflow(int width)
{
    return QString(qMax(width, 1), QLatin1Char('#'));
}

// Every cell of a list's date and time columns passes through these: the common values are
// written directly instead of through QString::arg.
QString two(int v)
{
    if (v >= 0 && v < 100) {
        const QChar d[2] = { QChar(u'0' + v / 10), QChar(u'0' + v % 10) };
        return QString(d, 2);
    }
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

QString four(int v)
{
    if (v >= 0 && v < 10000) {
        const QChar d[4] = { QChar(u'0' + v / 1000), QChar(u'0' + v / 100 % 10), QChar(u'0' + v / 10 % 10),
            QChar(u'0' + v % 10) };
        return QString(d, 4);
    }
    return QStringLiteral("%1").arg(v, 4, 10, QLatin1Char('0'));
}

QString shortMonth(int m)
{
    return QString::fromLatin1(kMonths[m - 1], 3).toUpper();
}

// A locale time format without its time-zone part: a time value carries no zone.
QString timeFormatWithoutZone(QString fmt)
{
    QString out;
    bool quoted = false;
    for (QChar c : fmt) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.trimmed();
}

// A locale's date format for the locale date pictures, compiled once per thread and locale rather
// than looked up and read again for every cell: a format of day, month and year numbers and
// separators is written directly; any other (names of months or days, quoted text, digits other
// than ASCII) is handed to QLocale with the format text kept.
struct LocaleDateFormat {
    enum class Part { Text, Day, Day2, Month, Month2, Year2, Year4 };
    QLocale locale;
    QLocale::FormatType type = QLocale::ShortFormat;
    bool fourDigitYears = false;
    QString format;
    bool direct = false;
    QList<std::pair<Part, QString>> parts;

    void compile()
    {
        direct = locale.zeroDigit() == QLatin1String("0");
        for (qsizetype i = 0; direct && i < format.size();) {
            const QChar c = format.at(i);
            qsizetype run = 1;
            while (i + run < format.size() && format.at(i + run) == c)
                ++run;
            if (c == QLatin1Char('d') && run <= 2)
                parts.append({ run == 1 ? Part::Day : Part::Day2, QString() });
            else if (c == QLatin1Char('M') && run <= 2)
                parts.append({ run == 1 ? Part::Month : Part::Month2, QString() });
            else if (c == QLatin1Char('y') && (run == 2 || run == 4))
                parts.append({ run == 2 ? Part::Year2 : Part::Year4, QString() });
            else if (c.isLetter() || c == QLatin1Char('\''))
                direct = false;
            else if (!parts.isEmpty() && parts.last().first == Part::Text)
                parts.last().second += QString(run, c);
            else
                parts.append({ Part::Text, QString(run, c) });
            i += run;
        }
    }

    QString write(const QDate& d) const
    {
        const int y = d.year();
        if (!direct || y < 1000 || y > 9999)
            return locale.toString(d, format);
        QString out;
        out.reserve(12);
        for (const auto& [part, text] : parts) {
            switch (part) {
            case Part::Text: out += text; break;
            case Part::Day: out += QString::number(d.day()); break;
            case Part::Day2: out += two(d.day()); break;
            case Part::Month: out += QString::number(d.month()); break;
            case Part::Month2: out += two(d.month()); break;
            case Part::Year2: out += two(y % 100); break;
            case Part::Year4: out += four(y); break;
            }
        }
        return out;
    }
};

const LocaleDateFormat& localeDateFormat(const QLocale& locale, QLocale::FormatType type, bool fourDigitYears)
{
    constexpr int kKept = 4;
    thread_local std::array<std::optional<LocaleDateFormat>, kKept> kept;
    thread_local int next = 0;
    for (const auto& k : kept)
        if (k && k->type == type && k->fourDigitYears == fourDigitYears && k->locale == locale)
            return *k;
    LocaleDateFormat f;
    f.locale = locale;
    f.type = type;
    f.fourDigitYears = fourDigitYears;
    f.format = locale.dateFormat(type);
    // Outside the two-digit window the year is written with four digits.
    if (fourDigitYears && !f.format.contains(QLatin1String("yyyy")))
        f.format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    f.compile();
    auto& slot = kept[size_t(next)];
    next = (next + 1) % kKept;
    slot = std::move(f);
    return *slot;
}

Picture::Input refused(Picture::Error e)
{
    Picture::Input r;
    r.error = e;
    return r;
}

Picture::Input accepted(qlonglong v)
{
    Picture::Input r;
    r.ok = true;
    r.value = v;
    return r;
}

bool asciiDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return true;
}

// Splits typed text into runs of digits and runs of letters; everything else separates.
QStringList tokens(const QString& s)
{
    QStringList out;
    QString cur;
    int curType = 0; // 1 digits, 2 letters
    for (QChar c : s) {
        const int type = (c.unicode() >= '0' && c.unicode() <= '9') ? 1 : c.isLetter() ? 2 : 0;
        if (type != curType && !cur.isEmpty()) {
            out << cur;
            cur.clear();
        }
        curType = type;
        if (type != 0)
            cur += c;
    }
    if (!cur.isEmpty())
        out << cur;
    return out;
}

bool matchesName(const QString& token, const QString& name)
{
    if (name.isEmpty())
        return false;
    if (token.compare(name, Qt::CaseInsensitive) == 0)
        return true;
    // Any abbreviation of at least three letters ("Oct", "Sept").
    return token.size() >= 3 && name.startsWith(token, Qt::CaseInsensitive);
}

// Month 1..12 named by a token (English or the locale's names), 0 when none.
int monthFromName(const QString& token, const QLocale& locale)
{
    for (int m = 1; m <= 12; ++m) {
        if (matchesName(token, QString::fromLatin1(kMonths[m - 1]))
            || matchesName(token, locale.monthName(m, QLocale::LongFormat))
            || matchesName(token, locale.standaloneMonthName(m, QLocale::LongFormat))
            || token.compare(
                   locale.monthName(m, QLocale::ShortFormat).remove(QLatin1Char('.')), Qt::CaseInsensitive)
                == 0)
            return m;
    }
    return 0;
}

bool isWeekdayName(const QString& token, const QLocale& locale)
{
    for (int d = 1; d <= 7; ++d) {
        if (matchesName(token, QString::fromLatin1(kWeekdays[d - 1]))
            || matchesName(token, locale.dayName(d, QLocale::LongFormat))
            || token.compare(
                   locale.dayName(d, QLocale::ShortFormat).remove(QLatin1Char('.')), Qt::CaseInsensitive)
                == 0)
            return true;
    }
    return false;
}

// The order of day (d), month (m) and year (y) in a locale date format such as "M/d/yy".
QString orderOfLocaleFormat(const QString& fmt)
{
    qsizetype dayPos = -1, monthPos = -1, yearPos = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < fmt.size(); ++i) {
        const QChar c = fmt.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        qsizetype run = 1;
        while (i + run < fmt.size() && fmt.at(i + run) == c)
            ++run;
        if (c == QLatin1Char('d') && run <= 2 && dayPos < 0)
            dayPos = i;
        else if (c == QLatin1Char('M') && monthPos < 0)
            monthPos = i;
        else if (c == QLatin1Char('y') && yearPos < 0)
            yearPos = i;
        i += run - 1;
    }
    if (dayPos < 0 || monthPos < 0 || yearPos < 0)
        return QStringLiteral("mdy");
    QList<QPair<qsizetype, QChar>> parts
        = { { dayPos, QLatin1Char('d') }, { monthPos, QLatin1Char('m') }, { yearPos, QLatin1Char('y') } };
    std::sort(parts.begin(), parts.end());
    return QString(parts[0].second) + parts[1].second + parts[2].second;
}

} // namespace

// ---- dates ----

QString Picture::formatDate(qint64 value, const QLocale& locale) const
{
    if (value == 0)
        return {};
    if (value < 0 || value > maxDay())
        return overflow(width());
    if (isYearOnly(int(value)))
        return QString::number(value);
    const QDate d = dateFromDay(int(value));
    const QChar sep = separator_.isNull() ? QLatin1Char('/') : separator_;
    const int y = d.year(), m = d.month(), dd = d.day();
    // A two-digit year reads back within the window around this year; outside it the year is
    // shown with four digits, which read back as they are.
    const bool inWindow = expandTwoDigitYear(y % 100, currentYear()) == y;
    const QString yy = inWindow ? two(y % 100) : four(y);
    switch (size_) {
    case 1:
        return QString::number(m) + sep + two(dd) + sep + yy;
    case 2:
        return two(m) + sep + two(dd) + sep + four(y);
    case 3:
        return shortMonth(m) + QLatin1Char(' ') + two(dd) + QLatin1Char(',') + four(y);
    case 4:
        return QString::fromLatin1(kMonths[m - 1]) + QLatin1Char(' ') + QString::number(dd)
            + QStringLiteral(", ") + four(y);
    case 5:
        return two(dd) + sep + two(m) + sep + yy;
    case 6:
        return two(dd) + sep + two(m) + sep + four(y);
    case 7:
        return two(dd) + QLatin1Char(' ') + shortMonth(m) + QLatin1Char(' ') + yy;
    case 8:
        return two(dd) + QLatin1Char(' ') + shortMonth(m) + QLatin1Char(' ') + four(y);
    case 9:
        return yy + sep + two(m) + sep + two(dd);
    case 10:
        return four(y) + sep + two(m) + sep + two(dd);
    case 11:
        return yy + two(m) + two(dd);
    case 12:
        return four(y) + two(m) + two(dd);
    case 13:
        return two(m) + sep + yy;
    case 14:
        return two(m) + sep + four(y);
    case 15:
        return yy + sep + two(m);
    case 16:
        return four(y) + sep + two(m);
    case 17:
    case 18:
        return localeDateFormat(locale, size_ == 17 ? QLocale::ShortFormat : QLocale::LongFormat, !inWindow).write(d);
    }
    return {};
}

Picture::Input Picture::parseDate(const QString& input, const QLocale& locale) const
{
    const QString s = input.trimmed();
    if (s.isEmpty())
        return accepted(0);

    // A plain year (digits without a leading zero, up to 3000) is a "Year Only" value in every
    // date picture, as the pictures show it; "0597" is still May 1997 in a month picture.
    if (s.size() <= 4 && asciiDigits(s) && s.at(0) != QLatin1Char('0')) {
        const int year = s.toInt();
        if (year <= MaxYearOnly)
            return accepted(year);
    }

    const int thisYear = currentYear();
    QString order; // the roles of the numbers in the order typed
    QString localeFormat;
    switch (size_) {
    case 1:
    case 2:
    case 3:
    case 4:
        order = QStringLiteral("mdy");
        break;
    case 5:
    case 6:
    case 7:
    case 8:
        order = QStringLiteral("dmy");
        break;
    case 9:
    case 10:
    case 11:
    case 12:
        order = QStringLiteral("ymd");
        break;
    case 13:
    case 14:
        order = QStringLiteral("my");
        break;
    case 15:
    case 16:
        order = QStringLiteral("ym");
        break;
    default:
        localeFormat = locale.dateFormat(size_ == 17 ? QLocale::ShortFormat : QLocale::LongFormat);
        order = orderOfLocaleFormat(localeFormat);
        break;
    }

    if (!localeFormat.isEmpty()) {
        QDate d = locale.toDate(s, localeFormat);
        if (d.isValid()) {
            // A two-digit year reads as 19yy; put it in our window instead.
            if (!localeFormat.contains(QLatin1String("yyyy")) && localeFormat.contains(QLatin1String("yy")))
                d = QDate(expandTwoDigitYear(d.year() % 100, thisYear), d.month(), d.day());
            const int day = dayFromDate(d);
            if (day <= MaxYearOnly)
                return refused(Error::OutOfRange);
            return accepted(day);
        }
    }

    int year = -1, month = -1, dom = order.contains(QLatin1Char('d')) ? -1 : 1;
    bool twoDigitYear = false;
    QStringList numbers;
    for (const QString& t : tokens(s)) {
        if (asciiDigits(t)) {
            numbers << t;
        } else if (const int m = monthFromName(t, locale); m > 0 && month < 0) {
            month = m;
        } else if (!isWeekdayName(t, locale)) {
            return refused(Error::Invalid);
        }
    }
    QString roles = order;
    if (month > 0)
        roles.remove(QLatin1Char('m'));

    // Digits typed without separators ("19970105", "103197"): two digits a part, the year
    // taking four when there is room.
    if (numbers.size() == 1 && roles.size() > 1) {
        const QString all = numbers.first();
        const qsizetype shortLength = 2 * roles.size();
        if (all.size() != shortLength && all.size() != shortLength + 2)
            return refused(Error::Invalid);
        numbers.clear();
        qsizetype pos = 0;
        for (QChar role : roles) {
            const qsizetype n = (role == QLatin1Char('y') && all.size() > shortLength) ? 4 : 2;
            numbers << all.mid(pos, n);
            pos += n;
        }
    }
    if (numbers.size() != roles.size())
        return refused(Error::Invalid);

    for (qsizetype i = 0; i < roles.size(); ++i) {
        const QString& t = numbers.at(i);
        if (t.size() > 4)
            return refused(Error::Invalid);
        const int v = t.toInt();
        switch (roles.at(i).unicode()) {
        case 'y':
            if (t.size() == 3)
                return refused(Error::Invalid);
            twoDigitYear = t.size() <= 2;
            year = v;
            break;
        case 'm':
            month = v;
            break;
        case 'd':
            dom = v;
            break;
        }
    }
    if (twoDigitYear)
        year = expandTwoDigitYear(year, thisYear);
    if (!QDate::isValid(year, month, dom))
        return refused(Error::Invalid);
    const int day = dayFromYmd(year, month, dom);
    // Values up to 3000 read back as plain years, so such early dates cannot be kept.
    if (day <= MaxYearOnly)
        return refused(Error::OutOfRange);
    return accepted(day);
}

// ---- times ----

QString Picture::formatTime(qint64 value, const QLocale& locale) const
{
    if (value == 0)
        return {};
    if (value < 0 || value > MaxTime)
        return overflow(width());
    int h = 0, m = 0, s = 0, cs = 0;
    timeParts(int(value), h, m, s, cs);
    // Clock pictures (AM/PM, the locale's) cannot show a length of a day or more.
    if (h >= 24 && isClockTime())
        return overflow(width());
    const QChar sep = separator_.isNull() ? QLatin1Char(':') : separator_;
    const int clock = h % 24;
    const auto xm = [clock] { return clock < 12 ? QStringLiteral("AM") : QStringLiteral("PM"); };
    const auto h12Text = [clock] {
        const int h12 = clock % 12 == 0 ? 12 : clock % 12;
        return QStringLiteral("%1").arg(h12, 2, 10, QLatin1Char(' '));
    };
    switch (size_) {
    case 1:
        return two(h) + sep + two(m);
    case 2:
        return two(h) + two(m);
    case 3:
        return h12Text() + sep + two(m) + xm();
    case 4:
        return two(h) + sep + two(m) + sep + two(s);
    case 5:
        return two(h) + two(m) + two(s);
    case 6:
        return h12Text() + sep + two(m) + sep + two(s) + xm();
    case 7:
        return locale.toString(QTime(clock, m, s), QLocale::ShortFormat);
    case 8:
        return locale.toString(
            QTime(clock, m, s), timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
    }
    return {};
}

Picture::Input Picture::parseTime(const QString& input, const QLocale& locale) const
{
    QString s = input.trimmed();
    if (s.isEmpty())
        return accepted(0);

    if (size_ == 7 || size_ == 8) {
        const QTime t = locale.toTime(s,
            size_ == 7 ? locale.timeFormat(QLocale::ShortFormat)
                       : timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
        if (t.isValid())
            return accepted(timeFromParts(t.hour(), t.minute(), t.second()));
    }

    // An AM or PM mark at the end ("5:30PM", "5:30 p.m.").
    int half = 0; // 1 AM, 2 PM
    {
        QString lower = s.toLower();
        lower.remove(QLatin1Char('.'));
        const QString am = locale.amText().toLower(), pm = locale.pmText().toLower();
        auto strip = [&](const QString& mark, int which) {
            if (!mark.isEmpty() && lower.endsWith(mark) && half == 0) {
                half = which;
                lower.chop(mark.size());
            }
        };
        strip(QStringLiteral("am"), 1);
        strip(QStringLiteral("pm"), 2);
        strip(am, 1);
        strip(pm, 2);
        strip(QStringLiteral("a"), 1);
        strip(QStringLiteral("p"), 2);
        if (half != 0)
            s = lower.trimmed();
    }

    // Hundredths after a decimal point on the last part ("1:02:03.45").
    int hundredths = 0;
    if (separator_ != QLatin1Char('.')) {
        const qsizetype dot = s.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0 && s.indexOf(QLatin1Char(':')) >= 0) {
            const QString frac = s.mid(dot + 1);
            if (!asciiDigits(frac) || frac.size() > 2)
                return refused(Error::Invalid);
            hundredths = frac.size() == 1 ? frac.toInt() * 10 : frac.toInt();
            s = s.left(dot);
        }
    }

    QStringList parts;
    if (s.contains(QLatin1Char(':')) || (!separator_.isNull() && s.contains(separator_))) {
        QString unified = s;
        if (!separator_.isNull())
            unified.replace(separator_, QLatin1Char(':'));
        parts = unified.split(QLatin1Char(':'));
        for (QString& p : parts)
            p = p.trimmed();
    } else {
        // Digits alone: up to two are hours, four hours and minutes, six with seconds. The
        // pictures without separators read their own layout: the last two digits are minutes
        // (@t2) or the last four minutes and seconds (@t5), all before them hours.
        if (!asciiDigits(s))
            return refused(Error::Invalid);
        const qsizetype own = size_ == 2 ? 2 : size_ == 5 ? 4 : 0;
        if (own > 0 && s.size() > own && s.size() > 4)
            parts = own == 2 ? QStringList { s.left(s.size() - 2), s.right(2) }
                             : QStringList { s.left(s.size() - 4), s.mid(s.size() - 4, 2), s.right(2) };
        else if (s.size() <= 2)
            parts = { s };
        else if (s.size() <= 4)
            parts = { s.left(s.size() - 2), s.right(2) };
        else if (s.size() <= 6)
            parts = { s.left(s.size() - 4), s.mid(s.size() - 4, 2), s.right(2) };
        else
            return refused(Error::Invalid);
    }
    if (parts.isEmpty() || parts.size() > 3)
        return refused(Error::Invalid);
    for (const QString& p : parts)
        if (!asciiDigits(p))
            return refused(Error::Invalid);
    if (parts.at(0).size() > 6)
        return refused(Error::OutOfRange);

    qint64 h = parts.at(0).toLongLong();
    const int m = parts.size() > 1 ? parts.at(1).toInt() : 0;
    const int sec = parts.size() > 2 ? parts.at(2).toInt() : 0;
    if ((parts.size() > 1 && parts.at(1).size() > 2) || (parts.size() > 2 && parts.at(2).size() > 2))
        return refused(Error::Invalid);
    // Minutes and seconds past 59 are refused rather than carried: "99:99:99" is a typing
    // mistake, and carrying it would store a time nobody typed.
    if (m > 59 || sec > 59)
        return refused(Error::Invalid);
    if (half != 0) {
        if (h < 1 || h > 12)
            return refused(Error::Invalid);
        h = h % 12 + (half == 2 ? 12 : 0);
    }
    // A clock picture shows a time of day only: "33" hours would read but never show again.
    if (h >= 24 && isClockTime())
        return refused(Error::OutOfRange);
    const int t = timeFromParts(h, m, sec, hundredths);
    if (t == NoTime)
        return refused(Error::OutOfRange);
    return accepted(t);
}

} // namespace td

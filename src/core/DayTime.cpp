#include "core/DayTime.h"

namespace td {

namespace {

// Julian day of day value 0 (28 December 1800).
qint64 baseJulianDay()
{
    static const qint64 jd = QDate(1801, 1, 1).toJulianDay() - 4;
    return jd;
}

} // namespace

int maxDay()
{
    static const int last = int(QDate(9999, 12, 31).toJulianDay() - baseJulianDay());
    return last;
}

int dayFromDate(const QDate& date)
{
    if (!date.isValid())
        return NoDate;
    const qint64 day = date.toJulianDay() - baseJulianDay();
    if (day < 1 || day > maxDay())
        return NoDate;
    return int(day);
}

QDate dateFromDay(int day)
{
    if (day < 1 || day > maxDay())
        return {};
    return QDate::fromJulianDay(baseJulianDay() + day);
}

int dayFromYmd(int year, int month, int dayOfMonth)
{
    if (!QDate::isValid(year, month, dayOfMonth))
        return NoDate;
    return dayFromDate(QDate(year, month, dayOfMonth));
}

int today()
{
    return dayFromDate(QDate::currentDate());
}

int yearOfDay(int day)
{
    const QDate d = dateFromDay(day);
    return d.isValid() ? d.year() : 0;
}

int monthOfDay(int day)
{
    const QDate d = dateFromDay(day);
    return d.isValid() ? d.month() : 0;
}

int dayOfMonth(int day)
{
    const QDate d = dateFromDay(day);
    return d.isValid() ? d.day() : 0;
}

int yearOfDateValue(int value)
{
    if (isYearOnly(value))
        return value;
    return yearOfDay(value);
}

int timeFromHundredths(qint64 hundredths)
{
    if (hundredths < 0 || hundredths >= qint64(MaxTime))
        return NoTime;
    return int(hundredths + 1);
}

qint64 hundredthsFromTime(int time)
{
    return time > 0 ? qint64(time) - 1 : 0;
}

int timeFromParts(qint64 hours, qint64 minutes, qint64 seconds, qint64 hundredths)
{
    if (hours < 0 || minutes < 0 || seconds < 0 || hundredths < 0)
        return NoTime;
    // Each part is checked against the limit before it is scaled, so nothing overflows.
    const qint64 limit = MaxTime;
    if (hours > limit / 360000 || minutes > limit / 6000 || seconds > limit / 100
        || hundredths > limit)
        return NoTime;
    return timeFromHundredths(hours * 360000 + minutes * 6000 + seconds * 100 + hundredths);
}

void timeParts(int time, int& hours, int& minutes, int& seconds, int& hundredths)
{
    const qint64 v = hundredthsFromTime(time);
    hundredths = int(v % 100);
    seconds = int((v / 100) % 60);
    minutes = int((v / 6000) % 60);
    hours = int(v / 360000);
}

int timeFromSeconds(qint64 seconds)
{
    if (seconds < 0 || seconds > qint64(MaxTime) / 100)
        return NoTime;
    return timeFromHundredths(seconds * 100);
}

int secondsFromTime(int time)
{
    return int(hundredthsFromTime(time) / 100);
}

int addTimes(int a, int b)
{
    if (a <= 0 && b <= 0)
        return NoTime;
    const qint64 sum = hundredthsFromTime(a) + hundredthsFromTime(b);
    if (sum >= qint64(MaxTime))
        return MaxTime;
    return int(sum + 1);
}

} // namespace td

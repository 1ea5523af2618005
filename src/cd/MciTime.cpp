#include "cd/MciTime.h"

#include "core/DayTime.h"

namespace td {

namespace {

// Two digits at pos, or -1.
int twoDigits(const QString& s, int pos)
{
    if (pos + 2 > s.size())
        return -1;
    const QChar a = s.at(pos), b = s.at(pos + 1);
    if (!a.isDigit() || !b.isDigit() || a.unicode() > '9' || b.unicode() > '9')
        return -1;
    return (a.unicode() - '0') * 10 + (b.unicode() - '0');
}

} // namespace

int MciTimeToTime(const QString& reply)
{
    const QString s = reply.left(8);
    if (s.size() < 8 || s.at(2) != QLatin1Char(':') || s.at(5) != QLatin1Char(':'))
        return 0;
    int minutes = twoDigits(s, 0);
    int seconds = twoDigits(s, 3);
    const int frames = twoDigits(s, 6);
    if (minutes < 0 || seconds < 0 || frames < 0)
        return 0;
    if (frames == 99)
        ++seconds;
    if (seconds >= 60) {
        seconds -= 60;
        ++minutes;
    }
    int hours = 0;
    if (minutes > 59) {
        hours = 1;
        minutes -= 60;
    }
    return timeFromParts(hours, minutes, seconds);
}

QString TimeToMinSec(int time)
{
    if (time <= 0)
        return QString(5, QLatin1Char(' '));
    int hours = 0, minutes = 0, seconds = 0, hundredths = 0;
    timeParts(time, hours, minutes, seconds, hundredths);
    const qint64 allMinutes = qint64(hours) * 60 + minutes;
    return QStringLiteral("%1:%2").arg(allMinutes, 2).arg(seconds, 2, 10, QLatin1Char('0'));
}

} // namespace td

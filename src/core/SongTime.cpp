#include "core/SongTime.h"

#include "core/DayTime.h"
#include "core/Picture.h"

namespace td {

namespace {

constexpr int kTwoHours = 2 * 60 * 60 * 100 + 1;

} // namespace

int songTimeRule(int time)
{
    if (time <= kTwoHours)
        return time;
    // Divided on the hundredths, not on the stored value (which is one more): 3:45 becomes
    // exactly 3 minutes 45 seconds rather than a hundredth less.
    return timeFromHundredths(hundredthsFromTime(time) / 60);
}

std::optional<int> songTimeFromText(const QString& typed, const QString& picture, const QLocale& locale)
{
    const Picture::Input in = Picture(picture).parse(typed, locale);
    if (!in.ok)
        return std::nullopt;
    return songTimeRule(int(in.value.toLongLong()));
}

QString songTimeText(int time, const QString& picture, const QLocale& locale)
{
    const Picture p(picture);
    if (time <= kTwoHours)
        return p.format(time, locale);
    // Typed in the hour and minute places: sixty times the hundredths, when that still fits.
    const qint64 typed = hundredthsFromTime(time) * 60;
    const int asTyped = timeFromHundredths(typed);
    const QString text = p.format(asTyped, locale);
    if (asTyped != 0 && songTimeFromText(text, picture, locale) == time)
        return text;
    return p.format(time, locale);
}

} // namespace td

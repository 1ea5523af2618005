#pragma once
// How a typed song time becomes a time value: one rule for every window where a song time is
// typed (the song form, the query wizard's value box), so that the same typing means the same
// time everywhere and a search finds what the form stored.
//
// The text is read through the field's time picture ("@t4"). A value past two hours was typed as
// minutes and seconds in the hour and minute places ("3:45" is 3 minutes 45 seconds) and is
// divided by 60, fractions of a hundredth dropped; up to two hours it stays ("1:45:00").

#include <QLocale>
#include <QString>
#include <optional>

namespace td {

// The rule on a value already read through the picture.
int songTimeRule(int time);

// The time value of typed text, or nothing when the picture cannot read it. Blank text is no
// time (0).
std::optional<int> songTimeFromText(
    const QString& typed, const QString& picture = QStringLiteral("@t4"), const QLocale& locale = QLocale());

// A text that songTimeFromText reads back as the given time: the picture's own text up to two
// hours; past that the time in minutes and seconds in the hour and minute places ("180:00:00" for
// three hours), as it would be typed.
QString songTimeText(
    int time, const QString& picture = QStringLiteral("@t4"), const QLocale& locale = QLocale());

} // namespace td

#pragma once
// Day and time values as the tables store them.
//
// Day value: a count of days in which 1 January 1801 is day 4 (so 28 December 1800 is day 0);
// 0 means no date. The last day we accept is 31 December 9999. Release dates may also hold a
// plain year (1..3000, "Year Only"): any value above 3000 is a full date.
//
// Time value: hundredths of a second since midnight plus one; 0 means no time. 3 minutes 45
// seconds is 22501. Track and album lengths use the same form, so hours go past 24 (an album
// total of 26 hours is fine); the limit is what a signed 32-bit value holds.
//
// Every function gives a defined result for absurd input (negative, huge): no date, no time, or
// zero parts, as each comment says.

#include <QDate>
#include <QtGlobal>

namespace td {

constexpr int NoDate = 0;
constexpr int NoTime = 0;
constexpr int MaxYearOnly = 3000;       // values 1..3000 in a date field are plain years
constexpr int HundredthsPerDay = 8640000;
constexpr int MaxTime = 2147483647;     // the largest time value a LONG holds

// ---- days ----

// The day value of a date; 0 for an invalid date or one outside day 1 .. maxDay().
int dayFromDate(const QDate& date);
// The date of a day value; an invalid QDate for 0, negative values or values past maxDay().
QDate dateFromDay(int day);
// Day value of a year, month and day of month; 0 when that is not a real date (30 February).
int dayFromYmd(int year, int month, int dayOfMonth);
// The day value of 31 December 9999, the last date accepted.
int maxDay();
// Today's day value (the local clock).
int today();

// Parts of a day value; 0 for a value that is not a date.
int yearOfDay(int day);
int monthOfDay(int day);
int dayOfMonth(int day);

// A date field value that is a plain year rather than a day (1..3000).
inline bool isYearOnly(int value) { return value >= 1 && value <= MaxYearOnly; }
// The year a date field value stands for: the value itself for a plain year, the year of the
// day for a full date, 0 for no date or an absurd value.
int yearOfDateValue(int value);

// ---- times ----

// A time value from hours, minutes, seconds and hundredths. Parts beyond their usual range are
// carried (90 minutes is 1 hour 30). Negative parts, or a total past MaxTime, give 0 (no time).
int timeFromParts(qint64 hours, qint64 minutes, qint64 seconds, qint64 hundredths = 0);
// The parts of a time value; hours are not folded at 24. A value of 0 or below gives all zeros.
void timeParts(int time, int& hours, int& minutes, int& seconds, int& hundredths);

// Whole seconds to a time value (0 seconds is 1, midnight); negative gives 0, too many gives 0.
int timeFromSeconds(qint64 seconds);
// Whole seconds of a time value, fractions dropped; 0 for no time.
int secondsFromTime(int time);
// Hundredths to a time value and back, with the same guards.
int timeFromHundredths(qint64 hundredths);
qint64 hundredthsFromTime(int time);

// Sum of two lengths (album totals): no time counts as nothing, two of them give no time; a sum
// past MaxTime is held at MaxTime.
int addTimes(int a, int b);

} // namespace td

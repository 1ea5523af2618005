#pragma once
// Values and functions of filter expressions. The evaluator and the SQL functions registered on
// every database connection both call these, so a filter gives the same answer record by record
// as inside an SQL query.
//
// Rules:
// - Text comparison is exact (letter case counts; UPPER makes it case-insensitive) and ignores
//   trailing blanks; order is by Unicode code point.
// - Numbers compare numerically.
// - Text against a number: when the text, blanks around it ignored, is a whole number literal
//   ("12", "-3.5", "1e3") the two compare as numbers; otherwise both compare as texts, the number
//   written the way numberToText writes it. So '12' = 12, ' 7 ' < 10, and 'A' never equals 0.
// - Where a function wants a number and gets a text, a text that is not a number counts as 0;
//   where it wants a text and gets a number, the number is written by numberToText.
// - A value used as a condition is true when it is a number other than 0 or a text that is not blank.

#include <QString>
#include <QStringView>

namespace td::filter {

enum class Kind { Text, Number };

struct Value {
    Kind kind = Kind::Text;
    QString text;
    double number = 0;

    static Value fromText(const QString& t) { return Value { Kind::Text, t, 0 }; }
    static Value fromNumber(double n) { return Value { Kind::Number, {}, n }; }
};

QString clip(QStringView s); // trailing blanks removed
QString numberToText(double n); // 12, -3.5, 0.1 (whole numbers without a point)
bool textToNumber(QStringView s, double* out); // the whole text, blanks around it allowed
QString toText(const Value& v);
double toNumber(const Value& v);
bool isTrue(const Value& v);

// Negative, zero or positive.
int compareText(QStringView a, QStringView b);
// The same order on UTF-8 bytes (the TDTEXT collation).
int compareTextUtf8(const char* a, qsizetype na, const char* b, qsizetype nb);
int compare(const Value& a, const Value& b);

QString upper(const QString& s);
QString lower(const QString& s);
// Characters from position start (1-based; a negative start counts from the end, -1 being the
// last character) for length characters; the part outside the text is left out.
QString sub(const QString& s, double start, double length);
// Where sub occurs in s, searching from position start in steps of step characters: the step
// number ((position - 1) / step + 1, so the position itself when step is 1), or 0 when not found.
// A step or start below 1 counts as 1. An empty sub is found at start.
double instring(const QString& sub, const QString& s, double step, double start);
double len(const QString& s);

// Whole number for positions and lengths, clamped to a safe range (no overflow on absurd input).
qint64 toIndex(double d);

} // namespace td::filter

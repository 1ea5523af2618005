#pragma once
// Display pictures: the small format texts that say how a value is shown and how typed text is
// read back ("@s40", "@n_4b", "@d2", "@t4b", "@pPage <<<#p"). A picture text is parsed once
// into a Picture value, which then formats values and reads user input.
//
//   @s40, @S20        text of that many characters
//   @n3, @N30.9       number: [-] [fill] size [.places] [-] [b]
//                     no fill: blanks in front and thousands grouped with "," (where the
//                     groups fit; plain digits where only they fit); "_" blanks, "0"
//                     zeros and "*" asterisks in front, without grouping. A leading "-" shows a
//                     leading minus, a trailing "-" a trailing one; "(" ... ")" puts negatives in
//                     parentheses. "b": blank when zero. The size counts every character shown;
//                     a value that does not fit shows as "#" repeated.
//   @d1..@d18         date (see DatePicture below); a following ".", "-", "_" or "'" chooses the
//                     separator ("." "-" blank ","); "b": blank when zero
//   @t1..@t8          time (see TimePicture below), with the same separator choice and "b"
//   @p...p            pattern: "<" a digit or a blank, "#" a digit, anything else literal;
//                     "b" after the closing "p": blank when zero
//
// Anything else (unknown letters, missing sizes, stray characters) is a plain text picture without
// a width limit: values are shown as they are and typed text is taken unchanged.
//
// Day and time values of 0 mean no date and no time and always show as an empty text. In a date
// field the values 1..3000 are plain years ("Year Only"): date pictures show them as the year.

#include <QLocale>
#include <QString>
#include <QVariant>

namespace td {

class Picture {
public:
    enum class Kind { Text, Number, Date, Time, Pattern };
    enum class Fill { None, Blank, Zero, Asterisk };
    enum class Sign { None, Leading, Trailing, Parentheses };

    // An empty picture (plain text).
    Picture() = default;
    // Parses a picture text such as "@n_4b"; never fails (see above).
    explicit Picture(const QString& text);

    QString text() const { return text_; }
    Kind kind() const { return kind_; }
    // True when the text was a picture we understand (false: treated as plain text).
    bool isValid() const { return valid_; }
    bool isText() const { return kind_ == Kind::Text; }
    bool isNumber() const { return kind_ == Kind::Number; }
    bool isDate() const { return kind_ == Kind::Date; }
    bool isTime() const { return kind_ == Kind::Time; }
    bool isPattern() const { return kind_ == Kind::Pattern; }

    // Size for text and number pictures; the picture number for dates and times (2 for @d2).
    int size() const { return size_; }
    int places() const { return places_; }
    bool blankWhenZero() const { return blank_; }
    Fill fill() const { return fill_; }
    Sign sign() const { return sign_; }
    bool allowsNegative() const { return sign_ != Sign::None; }
    // Characters the formatted value takes at most (0: no limit, plain text).
    int width() const;

    // ---- formatting ----
    // Whole numbers, day values, time values and pattern numbers.
    QString format(qint64 value, const QLocale& locale = QLocale()) const;
    // Numbers with decimals (number pictures); other kinds take the value rounded.
    QString formatReal(double value, const QLocale& locale = QLocale()) const;
    // Text: text pictures cut it to their size; other kinds read it as a number first and show
    // it unchanged when it is not one.
    QString formatText(const QString& value, const QLocale& locale = QLocale()) const;
    // Dispatches on the variant's type (strings, integers, doubles; null shows as empty).
    QString formatVariant(const QVariant& value, const QLocale& locale = QLocale()) const;

    // ---- reading typed text ----
    enum class Error { None, Invalid, TooWide, Negative, OutOfRange };
    struct Input {
        bool ok = false;
        // QString for text pictures; qlonglong for whole numbers, day values, time values and
        // patterns; double for number pictures with decimal places.
        QVariant value;
        Error error = Error::None;
    };
    // Reads user text through the picture. Blank text reads as 0 (or an empty string).
    Input parse(const QString& input, const QLocale& locale = QLocale()) const;

    // The picture text with its leading "@" as written ("@d17b").
    bool operator==(const Picture& o) const { return text_ == o.text_; }

private:
    QString formatDate(qint64 value, const QLocale& locale) const;
    QString formatTime(qint64 value, const QLocale& locale) const;
    QString formatPattern(qint64 value) const;
    Input parseNumber(const QString& input) const;
    Input parseDate(const QString& input, const QLocale& locale) const;
    Input parseTime(const QString& input, const QLocale& locale) const;
    Input parsePattern(const QString& input) const;
    // Time pictures of a time of day (AM/PM and the locale's): hours 0..23 only.
    bool isClockTime() const { return kind_ == Kind::Time && (size_ == 3 || size_ >= 6); }

    QString text_;
    Kind kind_ = Kind::Text;
    bool valid_ = false;
    int size_ = 0;
    int places_ = 0;
    bool blank_ = false;
    Fill fill_ = Fill::None;
    Sign sign_ = Sign::None;
    QChar separator_;       // date and time separator chosen by the picture (null: the default)
    QString pattern_;       // pattern pictures: the pattern between "@p" and the closing "p"
};

// A date field shown through any picture: date pictures as above; a number picture (the "Year
// Only" setting "n4b") shows a full date as its year, so a date that was not converted still
// shows its year rather than a day count.
QString formatDateValue(const Picture& picture, qint64 value, const QLocale& locale = QLocale());
// Reads a date field through any picture. Number pictures take a plain year: values above 3000
// would be taken for full dates and are refused (OutOfRange).
Picture::Input parseDateValue(const Picture& picture, const QString& input,
                              const QLocale& locale = QLocale());

// The two-digit year yy read as the year within 80 years before and 19 after referenceYear.
int expandTwoDigitYear(int yy, int referenceYear);

} // namespace td

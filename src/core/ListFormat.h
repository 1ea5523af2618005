#pragma once
// List-format strings: the column layout of a list as one text, kept in windows and stored in
// POSITION.INI. Each column is written as
//
//   width  justification [(indent)]  flags  [~header~ [justification[(indent)]] [more flags]]
//   [#field#]  @picture@  [trailing]
//
// for example "80L(2)|M~Artist~@s40@" or "49R(2)|M~Released~C(1)@d2@". Justification is L, R, C
// or D (decimal); flags are single characters, some with a number in parentheses: "|" right
// border, "M" resizable, "_" underline, "F" fixed, "I" icon, "S(75)" scroll. Flags we do not know
// are kept as written, so a format reads and writes back to the identical text.

#include <QList>
#include <QString>

#include <optional>

namespace td {

struct ListColumn {
    int width = 0;
    QChar justification = QLatin1Char('L');
    int indent = -1; // the number in parentheses; -1 when none is written
    QString flags; // as written between the justification and the header ("|M")
    bool hasHeader = false;
    QString header;
    QChar headerJustification; // null when none is written
    int headerIndent = -1;
    QString headerFlags; // as written after the header ("S(75)")
    int fieldNumber = -1; // "#2#"; -1 when none is written
    QString picture; // with its leading "@", without the closing one ("@s40")
    QString trailing; // written after the closing "@" ("?")
    // Zeros written in front of each number ("06L" has one), so that a format writes back
    // exactly as it was read.
    int widthZeros = 0;
    int indentZeros = 0;
    int headerIndentZeros = 0;
    int fieldNumberZeros = 0;

    bool operator==(const ListColumn&) const = default;
};

struct ListFormat {
    QList<ListColumn> columns;

    // Reads a format string. A malformed one gives nothing and, when asked, says where and why.
    static std::optional<ListFormat> parse(const QString& text, QString* error = nullptr);
    // Writes the format string; parse(text)->toString() == text for every well-formed text.
    QString toString() const;

    bool operator==(const ListFormat&) const = default;
};

// True for a date picture ("@d2", "@D17b"): the pictures the "DateFormat" setting replaces.
bool isDatePicture(const QString& picture);

// The picture a date field takes under the "DateFormat" setting (a picture without its leading
// "@", such as "d17" or "n4b"). A setting that is empty or not a date or number picture leaves
// the picture as it is, so dates never lose their format to a damaged setting.
QString applyDatePicture(const QString& picture, const QString& dateFormat);

// Replaces every date picture of a list format by the "DateFormat" setting, as lists and
// reports do when they open; other columns and unknown flags stay exactly as written.
QString applyDateFormat(const QString& listFormat, const QString& dateFormat);

} // namespace td

#pragma once
// One condition of the query wizard as filter text: a field, one of the wizard's ten operators and
// the value the user typed. The wizard joins several with AND and OR.

#include "core/FilterSchema.h"

#include <QString>
#include <QStringList>

namespace td {

enum class QueryOperator : int {
    IsEqualTo = 1,
    IsNotEqualTo = 2,
    IsGreaterThan = 3,
    IsLessThan = 4,
    IsGreaterThanOrEqualTo = 5,
    IsLessThanOrEqualTo = 6,
    BeginsWith = 7,
    Contains = 8,
    IsChecked = 9,
    IsNotChecked = 10,
};

// "Is Equal To" ... "Is Not Checked" for 1..10, an empty text for other numbers.
QString queryOperatorText(int op);
// All ten, in number order.
QStringList queryOperatorTexts();

// The filter text of one condition, e.g. "MUS:Artist = 'Beatles'", "MUS:ChartNumber >= 10",
// "SUB(UPPER(MUS:Artist),1,2) = UPPER('be')", "INSTRING(UPPER('love'),UPPER(MUS:Title),1,1) > 0".
// - The value loses its trailing blanks; a text value is quoted (a quote in it doubled), so any
//   value the user types gives a valid filter.
// - For a number field the value is written as a number when it is one (dates and times are given
//   already converted to their stored numbers); otherwise it is quoted and compares by the mixed rule.
// - "Begins With" and "Contains" ignore letter case; the others compare exactly.
// - "Is Checked" is a number other than 0 or a text that is not blank; "Is Not Checked" the reverse.
// An operator outside 1..10 or an empty label gives an empty text.
QString queryCondition(const QString& fieldLabel, FilterKind kind, int op, const QString& value);

} // namespace td

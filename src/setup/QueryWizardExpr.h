#pragma once
// The query wizard's conditions and the filter expression they make. Each condition tests one
// field of the list with one of the ten operators; conditions joined by AND form a group, and OR
// starts a new group, so "a AND b OR c" finds the songs that meet a and b, or c:
//   one group      a AND b
//   several        (a AND b) OR c
// Values are kept as they go into the filter: texts as typed (trailing blanks cut), dates and times
// as their stored numbers, so a query reads back exactly as it was built.

#include "setup/QueryWizardFields.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

namespace td {

class QueryWizardTexts;

enum class QueryJoin { And, Or };

struct QueryCondition {
    QueryJoin join = QueryJoin::And; // how it joins the conditions before it (ignored on the first)
    QString field; // "MUS:Artist"
    int op = 1; // 1..10, QueryOperator
    QString value; // stored form; empty for Is Checked / Is Not Checked

    bool operator==(const QueryCondition&) const = default;
};

// The operators offered for a field: all ten, except that dates and times leave out "Begins With"
// and "Contains" (their stored numbers are not what the user reads).
QList<int> queryOperatorsFor(const QueryField& field);
bool queryOperatorNeedsValue(int op);

// A choice of a choice field as the value it stands for: " (N/A)" stands for a blank field.
QString queryChoiceValue(const QString& choice);
// The choice that shows a stored value (" (N/A)" for blank), or the value itself when no choice fits.
QString queryChoiceFor(const QueryField& field, const QString& value);

struct QueryValue {
    bool ok = false;
    QString value; // stored form
    int errorText = 0; // the wizard text that explains a refusal (qwt::InvalidDateText ...)
};
// Reads what the user typed or chose for a condition. Dates and times go through the field's
// picture and become their stored numbers; other number fields must hold a number for the six
// comparisons (blank counts as 0); Begins With and Contains take the text as typed.
QueryValue readQueryValue(
    const QueryField& field, int op, const QString& typed, const QLocale& locale = QLocale());
// The stored value as the user reads and types it (dates and times through the picture).
QString displayQueryValue(const QueryField& field, const QString& value, const QLocale& locale = QLocale());
// An example the value box shows for dates and times ("12/31/1997"), empty for other fields.
QString queryValueExample(const QueryField& field, const QLocale& locale = QLocale());

// The filter text of one condition; empty when its field is not in the list.
QString conditionExpression(const QueryFieldList& fields, const QueryCondition& c);
// The whole query; empty for no conditions. A condition on a field not in the list is left out
// and makes ok false.
QString buildQueryExpression(
    const QList<QueryCondition>& conditions, const QueryFieldList& fields, bool* ok = nullptr);
// The conditions of an expression this wizard built, or nothing when the text is of another form
// (typed by hand, or using fields not in the list). A blank text gives an empty list.
std::optional<QList<QueryCondition>> decomposeQueryExpression(
    const QString& text, const QueryFieldList& fields);

// A line of the condition list: "AND Artist Begins With "BE"" (the first without AND or OR).
QString describeCondition(const QueryFieldList& fields, const QueryCondition& c, bool first,
    const QueryWizardTexts& texts, const QLocale& locale = QLocale());

// Checks a typed expression against the list's fields: true when it parses; error receives the
// parser's message otherwise.
bool isValidQueryExpression(const QString& text, const QueryFieldList& fields, QString* error = nullptr);

} // namespace td

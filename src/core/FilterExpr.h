#pragma once
// Filter expressions: the search conditions of lists and reports, parsed once into a syntax tree,
// then either evaluated per record or compiled to a parameterised SQL condition that gives the
// same answer.
//
// Syntax (keywords, function names and names ignore letter case):
//   or       := and { OR and }
//   and      := not { AND not }
//   not      := ( NOT | ~ ) not | compare
//   compare  := operand [ ( = | <> | ~= | < | > | <= | >= ) operand ]
//   operand  := 'text' ('' inside is one quote) | number (12, 3.5, -4) | name
//             | function ( args ) | ( or )
//   function := UPPER(x) LOWER(x) CLIP(x) LEN(x) SUB(s, start, length)
//             | INSTRING(sub, s [, step [, start]])
// A name is a field label or a named value of the schema. The value semantics are those of
// FilterFunctions.h; field texts are taken without trailing blanks, as they are stored.
//
// Examples: "MUS:CategoryID = CAT:CategoryID", "SUB(UPPER(MUS:Artist),1,2) = 'BE'",
//           "INSTRING('LOVE', UPPER(MUS:Title), 1, 1) > 0 AND MUS:ChartNumber <= LOC:LowChart".

#include "core/FilterSchema.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

namespace td {

struct FilterNode;

namespace filter {
// What the parser accepts, chosen so that every accepted filter also compiles in SQLite, joined
// with a list's own conditions: brackets, NOTs and function calls inside each other cost up to
// about eight entries of SQLite's parser stack (100 deep) each in the compiled condition, and
// each value (field, constant or named value) up to two of its 32766 parameters. AND and OR
// chains cost no depth.
inline constexpr int kMaxNesting = 8;
inline constexpr int kMaxValues = 15000;
} // namespace filter

// A condition for a WHERE clause that may be joined with AND or OR as it is. Every constant and named value
// is a "?" parameter in params, in order (QString, qlonglong or double); no text of the user is ever part of
// sql. Text comparisons use the collation TDTEXT and functions are td_upper, td_lower, td_clip, td_sub,
// td_instring, td_len and td_compare: registerFilterFunctions (data/SqlFunctions.h) provides them.
struct SqlCondition {
    QString sql; // empty for the empty filter: no condition
    QVariantList params;
    bool isEmpty() const { return sql.isEmpty(); }
};

class FilterExpr {
public:
    // The empty filter: valid, matches every record.
    FilterExpr() = default;

    // A blank text gives the empty filter. On a syntax error or an unknown name the result is
    // invalid (isValid() false, matches nothing) and error, when given, receives a message that
    // names the position (1-based, in characters) and what was expected there.
    static FilterExpr parse(const QString& text, const FilterSchema& schema, QString* error = nullptr,
        int* errorPosition = nullptr);

    bool isValid() const { return valid_; }
    bool isEmpty() const { return valid_ && !root_; }
    QString text() const { return text_; }

    // fieldValue(id) gives the current record's value of the field registered with that id
    // (QString for text fields, a number for number fields). Named values are read through their
    // getters. An invalid filter matches nothing.
    bool matches(const std::function<QVariant(int field)>& fieldValue) const;

    // Named values are read now and bound as parameters. An invalid filter gives "0" (no record).
    SqlCondition toSql() const;

private:
    std::shared_ptr<const FilterNode> root_;
    QString text_;
    bool valid_ = true;
};

// The search filter joined to a list's own condition: "(a) AND (b)", or the one that is not blank.
QString joinFilters(const QString& a, const QString& b);

} // namespace td

#pragma once
// The syntax tree of a filter expression (inside the filter module only; others use FilterExpr).

#include "core/FilterFunctions.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace td {

class FilterSchema;

struct FilterNode {
    enum class Type { Constant, Field, NamedValue, Compare, And, Or, Not, Function };
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge };
    enum class Fn { Upper, Lower, Clip, Sub, Instring, Len };

    Type type = Type::Constant;
    // What the node yields. Conditions (comparisons, AND, OR, NOT) yield the number 1 or 0.
    filter::Kind kind = filter::Kind::Number;
    bool isCondition() const
    {
        return type == Type::Compare || type == Type::And || type == Type::Or || type == Type::Not;
    }

    filter::Value constant; // Constant
    int fieldId = 0; // Field
    QString sqlExpr; // Field
    std::function<QVariant()> getter; // NamedValue
    Op op = Op::Eq; // Compare
    Fn fn = Fn::Upper; // Function
    std::vector<std::unique_ptr<FilterNode>> args;
};

// A program value (from a record field or a named value) as a filter value of the given kind.
// Texts lose their trailing blanks, the way fields are stored.
filter::Value filterValueFrom(filter::Kind kind, const QVariant& v);

// A function on its argument values (the evaluator's, and the parser's for constant arguments).
filter::Value applyFunction(FilterNode::Fn fn, const std::vector<filter::Value>& args);

// The parser: a tree, or null with the error message and position set.
std::unique_ptr<FilterNode> parseFilter(
    const QString& text, const FilterSchema& schema, QString* error, int* position);

} // namespace td

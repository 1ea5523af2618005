#include "core/FilterExpr.h"

#include "core/FilterNode.h"

#include <cmath>

namespace td {

using filter::Kind;
using filter::Value;

FilterExpr FilterExpr::parse(
    const QString& text, const FilterSchema& schema, QString* error, int* errorPosition)
{
    FilterExpr e;
    e.text_ = text;
    if (error)
        error->clear();
    if (errorPosition)
        *errorPosition = 0;
    if (text.trimmed().isEmpty())
        return e;
    std::unique_ptr<FilterNode> root = parseFilter(text, schema, error, errorPosition);
    if (!root) {
        e.valid_ = false;
        return e;
    }
    e.root_ = std::move(root);
    return e;
}

namespace {

bool compareResult(FilterNode::Op op, int c)
{
    switch (op) {
    case FilterNode::Op::Eq:
        return c == 0;
    case FilterNode::Op::Ne:
        return c != 0;
    case FilterNode::Op::Lt:
        return c < 0;
    case FilterNode::Op::Gt:
        return c > 0;
    case FilterNode::Op::Le:
        return c <= 0;
    case FilterNode::Op::Ge:
        return c >= 0;
    }
    return false;
}

const char* sqlOperator(FilterNode::Op op)
{
    switch (op) {
    case FilterNode::Op::Eq:
        return "=";
    case FilterNode::Op::Ne:
        return "<>";
    case FilterNode::Op::Lt:
        return "<";
    case FilterNode::Op::Gt:
        return ">";
    case FilterNode::Op::Le:
        return "<=";
    case FilterNode::Op::Ge:
        return ">=";
    }
    return "=";
}

const char* sqlFunction(FilterNode::Fn fn)
{
    switch (fn) {
    case FilterNode::Fn::Upper:
        return "td_upper";
    case FilterNode::Fn::Lower:
        return "td_lower";
    case FilterNode::Fn::Clip:
        return "td_clip";
    case FilterNode::Fn::Sub:
        return "td_sub";
    case FilterNode::Fn::Instring:
        return "td_instring";
    case FilterNode::Fn::Len:
        return "td_len";
    }
    return "";
}

class Evaluator {
public:
    explicit Evaluator(const std::function<QVariant(int)>& fieldValue)
        : fieldValue_(fieldValue)
    {
    }

    Value eval(const FilterNode& n) const
    {
        switch (n.type) {
        case FilterNode::Type::Constant:
            return n.constant;
        case FilterNode::Type::Field:
            return filterValueFrom(n.kind, fieldValue_ ? fieldValue_(n.fieldId) : QVariant());
        case FilterNode::Type::NamedValue:
            return filterValueFrom(n.kind, n.getter());
        case FilterNode::Type::Compare:
            return truth(compareResult(n.op, filter::compare(eval(*n.args[0]), eval(*n.args[1]))));
        case FilterNode::Type::And:
            return truth(filter::isTrue(eval(*n.args[0])) && filter::isTrue(eval(*n.args[1])));
        case FilterNode::Type::Or:
            return truth(filter::isTrue(eval(*n.args[0])) || filter::isTrue(eval(*n.args[1])));
        case FilterNode::Type::Not:
            return truth(!filter::isTrue(eval(*n.args[0])));
        case FilterNode::Type::Function:
            return function(n);
        }
        return truth(false);
    }

private:
    static Value truth(bool b) { return Value::fromNumber(b ? 1 : 0); }

    Value function(const FilterNode& n) const
    {
        std::vector<Value> a;
        a.reserve(n.args.size());
        for (const auto& arg : n.args)
            a.push_back(eval(*arg));
        switch (n.fn) {
        case FilterNode::Fn::Upper:
            return Value::fromText(filter::upper(filter::toText(a[0])));
        case FilterNode::Fn::Lower:
            return Value::fromText(filter::lower(filter::toText(a[0])));
        case FilterNode::Fn::Clip:
            return Value::fromText(filter::clip(filter::toText(a[0])));
        case FilterNode::Fn::Len:
            return Value::fromNumber(filter::len(filter::toText(a[0])));
        case FilterNode::Fn::Sub:
            return Value::fromText(
                filter::sub(filter::toText(a[0]), filter::toNumber(a[1]), filter::toNumber(a[2])));
        case FilterNode::Fn::Instring:
            return Value::fromNumber(filter::instring(filter::toText(a[0]), filter::toText(a[1]),
                a.size() > 2 ? filter::toNumber(a[2]) : 1, a.size() > 3 ? filter::toNumber(a[3]) : 1));
        }
        return Value::fromText(QString());
    }

    const std::function<QVariant(int)>& fieldValue_;
};

QVariant sqlParameter(const Value& v)
{
    if (v.kind == Kind::Text)
        return v.text;
    if (v.number == std::trunc(v.number) && std::fabs(v.number) < 9007199254740992.0)
        return QVariant(qlonglong(v.number));
    return QVariant(v.number);
}

class SqlWriter {
public:
    explicit SqlWriter(QVariantList& params)
        : params_(params)
    {
    }

    // An expression that stands on its own (a name, a call, a parameter or something in parentheses).
    QString value(const FilterNode& n)
    {
        switch (n.type) {
        case FilterNode::Type::Constant:
            return bind(n.constant);
        case FilterNode::Type::Field:
            // A field that reads NULL (no joined row) counts as empty, as in the evaluator.
            return n.kind == Kind::Text ? QStringLiteral("coalesce((%1), '')").arg(n.sqlExpr)
                                        : QStringLiteral("coalesce((%1), 0)").arg(n.sqlExpr);
        case FilterNode::Type::NamedValue:
            return bind(filterValueFrom(n.kind, n.getter()));
        case FilterNode::Type::Compare: {
            const FilterNode& l = *n.args[0];
            const FilterNode& r = *n.args[1];
            const QString op = QLatin1String(sqlOperator(n.op));
            const QString ls = value(l);
            const QString rs = value(r);
            if (l.kind == Kind::Text && r.kind == Kind::Text)
                return QStringLiteral("(%1 %2 %3 COLLATE TDTEXT)").arg(ls, op, rs);
            if (l.kind == Kind::Number && r.kind == Kind::Number)
                return QStringLiteral("(%1 %2 %3)").arg(ls, op, rs);
            return QStringLiteral("(td_compare(%1, %2) %3 0)").arg(ls, rs, op);
        }
        case FilterNode::Type::And:
        case FilterNode::Type::Or: {
            const QString ls = condition(*n.args[0]);
            const QString rs = condition(*n.args[1]);
            return QStringLiteral("(%1 %2 %3)")
                .arg(ls, n.type == FilterNode::Type::And ? QStringLiteral("AND") : QStringLiteral("OR"), rs);
        }
        case FilterNode::Type::Not:
            return QStringLiteral("(NOT %1)").arg(condition(*n.args[0]));
        case FilterNode::Type::Function: {
            QStringList args;
            for (const auto& a : n.args)
                args << value(*a);
            return QLatin1String(sqlFunction(n.fn)) + QLatin1Char('(') + args.join(QStringLiteral(", "))
                + QLatin1Char(')');
        }
        }
        return QStringLiteral("0");
    }

    // The node as a truth value, by the rule of filter::isTrue for values that are not conditions.
    QString condition(const FilterNode& n)
    {
        if (n.isCondition())
            return value(n);
        const QString v = value(n);
        if (n.kind == Kind::Number)
            return QStringLiteral("(%1 <> 0)").arg(v);
        return QStringLiteral("(%1 <> %2 COLLATE TDTEXT)").arg(v, bind(Value::fromText(QString())));
    }

private:
    QString bind(const Value& v)
    {
        params_ << sqlParameter(v);
        return QStringLiteral("?");
    }

    QVariantList& params_;
};

} // namespace

bool FilterExpr::matches(const std::function<QVariant(int field)>& fieldValue) const
{
    if (!valid_)
        return false;
    if (!root_)
        return true;
    return filter::isTrue(Evaluator(fieldValue).eval(*root_));
}

SqlCondition FilterExpr::toSql() const
{
    SqlCondition c;
    if (!valid_) {
        c.sql = QStringLiteral("0");
        return c;
    }
    if (!root_)
        return c;
    SqlWriter w(c.params);
    c.sql = w.condition(*root_);
    return c;
}

QString joinFilters(const QString& a, const QString& b)
{
    const bool hasA = !a.trimmed().isEmpty();
    const bool hasB = !b.trimmed().isEmpty();
    if (hasA && hasB)
        return QLatin1Char('(') + a + QStringLiteral(") AND (") + b + QLatin1Char(')');
    return hasA ? a : (hasB ? b : QString());
}

} // namespace td

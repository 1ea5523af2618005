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

} // namespace

Value applyFunction(FilterNode::Fn fn, const std::vector<Value>& a)
{
    switch (fn) {
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

namespace {

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
            for (const auto& a : n.args) {
                if (!filter::isTrue(eval(*a)))
                    return truth(false);
            }
            return truth(true);
        case FilterNode::Type::Or:
            for (const auto& a : n.args) {
                if (filter::isTrue(eval(*a)))
                    return truth(true);
            }
            return truth(false);
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
        return applyFunction(n.fn, a);
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

// Brackets only where SQLite's precedence needs them (OR, then AND, then NOT, then comparisons),
// so the compiled condition nests no deeper than the filter itself. A plain chain is one level of
// SQLite's expression tree (at most 1000 deep) per term; longer chains become one CASE, which is
// flat and still stops at the first term that decides.
class SqlWriter {
public:
    static constexpr size_t kPlainChain = 64;

    explicit SqlWriter(QVariantList& params)
        : params_(params)
    {
    }

    // The node as a value: a function argument, or (operand) a comparison operand.
    QString value(const FilterNode& n, bool operand)
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
        case FilterNode::Type::Function: {
            QStringList args;
            for (const auto& a : n.args)
                args << value(*a, false);
            return QLatin1String(sqlFunction(n.fn)) + QLatin1Char('(') + args.join(QStringLiteral(", "))
                + QLatin1Char(')');
        }
        default:
            return operand ? QLatin1Char('(') + condition(n) + QLatin1Char(')') : condition(n);
        }
    }

    // The node as a truth value (by the rule of filter::isTrue for values that are not conditions).
    QString condition(const FilterNode& n)
    {
        switch (n.type) {
        case FilterNode::Type::Compare: {
            const FilterNode& l = *n.args[0];
            const FilterNode& r = *n.args[1];
            const QString op = QLatin1String(sqlOperator(n.op));
            const bool mixed = l.kind != r.kind;
            // Left before right: the parameters are bound in the order of their marks.
            const QString ls = value(l, !mixed);
            const QString rs = value(r, !mixed);
            if (mixed)
                return QStringLiteral("td_compare(%1, %2) %3 0").arg(ls, rs, op);
            if (l.kind == Kind::Text)
                return QStringLiteral("%1 %2 %3 COLLATE TDTEXT").arg(ls, op, rs);
            return QStringLiteral("%1 %2 %3").arg(ls, op, rs);
        }
        case FilterNode::Type::Not:
            return negated(*n.args[0]);
        case FilterNode::Type::And:
        case FilterNode::Type::Or:
            return chain(n);
        default:
            break;
        }
        const QString v = value(n, true);
        if (n.kind == Kind::Number)
            return QStringLiteral("%1 <> 0").arg(v);
        return QStringLiteral("%1 <> %2 COLLATE TDTEXT").arg(v, bind(Value::fromText(QString())));
    }

private:
    static bool isChain(const FilterNode& n)
    {
        return n.type == FilterNode::Type::And || n.type == FilterNode::Type::Or;
    }

    QString negated(const FilterNode& n)
    {
        return isChain(n) ? QStringLiteral("NOT (") + condition(n) + QLatin1Char(')')
                          : QStringLiteral("NOT ") + condition(n);
    }

    QString chain(const FilterNode& n)
    {
        const bool isAnd = n.type == FilterNode::Type::And;
        QStringList terms;
        if (n.args.size() > kPlainChain) {
            // AND: the first false term gives 0; OR: the first true term gives 1.
            for (const auto& a : n.args)
                terms << (isAnd ? negated(*a) : condition(*a));
            return QStringLiteral("CASE WHEN ")
                + terms.join(isAnd ? QStringLiteral(" THEN 0 WHEN ") : QStringLiteral(" THEN 1 WHEN "))
                + (isAnd ? QStringLiteral(" THEN 0 ELSE 1 END") : QStringLiteral(" THEN 1 ELSE 0 END"));
        }
        for (const auto& a : n.args) {
            // Only an OR inside an AND needs brackets; AND binds tighter than OR.
            terms << (isAnd && a->type == FilterNode::Type::Or
                    ? QLatin1Char('(') + condition(*a) + QLatin1Char(')')
                    : condition(*a));
        }
        return terms.join(isAnd ? QStringLiteral(" AND ") : QStringLiteral(" OR "));
    }

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
    if (root_->type == FilterNode::Type::Or && root_->args.size() <= SqlWriter::kPlainChain)
        c.sql = QLatin1Char('(') + c.sql + QLatin1Char(')'); // safe to join with AND
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

#include "core/FilterQuery.h"

#include "core/FilterFunctions.h"

namespace td {

namespace {

const char* const kOperatorTexts[] = {
    "Is Equal To",
    "Is NOT Equal To",
    "Is Greater Than",
    "Is Less Than",
    "Is Greater Than or Equal To",
    "Is Less Than or Equal To",
    "Begins With",
    "Contains",
    "Is Checked",
    "Is Not Checked",
};

QString quoted(const QString& s)
{
    QString q = s;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

// A number as the filter syntax writes it (digits with an optional fraction and sign).
bool isPlainNumber(const QString& s)
{
    qsizetype i = 0;
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        ++i;
    qsizetype digits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++digits;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            return false;
    }
    return digits > 0;
}

} // namespace

QString queryOperatorText(int op)
{
    if (op < 1 || op > 10)
        return {};
    return QLatin1String(kOperatorTexts[op - 1]);
}

QStringList queryOperatorTexts()
{
    QStringList out;
    for (int op = 1; op <= 10; ++op)
        out << queryOperatorText(op);
    return out;
}

QString queryCondition(const QString& fieldLabel, FilterKind kind, int op, const QString& value)
{
    const QString field = fieldLabel.trimmed();
    if (field.isEmpty() || op < 1 || op > 10)
        return {};
    const QString v = filter::clip(value);

    switch (QueryOperator(op)) {
    // The value stays as typed inside UPPER( ) so that the wizard shows it back that way; the
    // parser folds UPPER of a constant, so the search costs the same.
    case QueryOperator::BeginsWith: {
        const QString u = filter::upper(v);
        return QStringLiteral("SUB(UPPER(%1),1,%2) = UPPER(%3)").arg(field).arg(u.size()).arg(quoted(v));
    }
    case QueryOperator::Contains:
        return QStringLiteral("INSTRING(UPPER(%1),UPPER(%2),1,1) > 0").arg(quoted(v), field);
    case QueryOperator::IsChecked:
        return kind == FilterKind::Number ? field + QStringLiteral(" <> 0")
                                          : field + QStringLiteral(" <> ''");
    case QueryOperator::IsNotChecked:
        return kind == FilterKind::Number ? field + QStringLiteral(" = 0") : field + QStringLiteral(" = ''");
    default:
        break;
    }

    static const char* const ops[] = { "=", "<>", ">", "<", ">=", "<=" };
    QString operand;
    if (kind == FilterKind::Number) {
        const QString t = v.trimmed();
        operand = isPlainNumber(t) ? t : quoted(v);
    } else {
        operand = quoted(v);
    }
    return field + QLatin1Char(' ') + QLatin1String(ops[op - 1]) + QLatin1Char(' ') + operand;
}

} // namespace td

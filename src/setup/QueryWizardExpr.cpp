#include "setup/QueryWizardExpr.h"

#include "core/DayTime.h"
#include "core/FilterExpr.h"
#include "core/FilterFunctions.h"
#include "core/FilterQuery.h"
#include "core/Picture.h"
#include "core/SongTime.h"
#include "setup/QueryWizardTexts.h"

#include <QDate>

#include <algorithm>

namespace td {

QList<int> queryOperatorsFor(const QueryField& field)
{
    QList<int> ops;
    const bool dated = field.isDate() || field.isTime();
    for (int op = 1; op <= 10; ++op) {
        if (dated && (op == int(QueryOperator::BeginsWith) || op == int(QueryOperator::Contains)))
            continue;
        ops << op;
    }
    return ops;
}

bool queryOperatorNeedsValue(int op)
{
    return op >= 1 && op <= 8;
}

namespace {

bool isNotApplicable(const QString& choice)
{
    return choice.trimmed().compare(QLatin1String("(N/A)"), Qt::CaseInsensitive) == 0;
}

QString storedNumber(const QVariant& v)
{
    if (v.typeId() == QMetaType::Double)
        return filter::numberToText(v.toDouble());
    return QString::number(v.toLongLong());
}

} // namespace

QString queryChoiceValue(const QString& choice)
{
    return isNotApplicable(choice) ? QString() : filter::clip(choice);
}

QString queryChoiceFor(const QueryField& field, const QString& value)
{
    for (const QString& c : field.choices) {
        if (queryChoiceValue(c) == filter::clip(value))
            return c;
    }
    return value;
}

QueryValue readQueryValue(const QueryField& field, int op, const QString& typed, const QLocale& locale)
{
    QueryValue out;
    if (!queryOperatorNeedsValue(op)) {
        out.ok = true;
        return out;
    }
    const bool dated = field.isDate() || field.isTime();
    const bool textual = op == int(QueryOperator::BeginsWith) || op == int(QueryOperator::Contains);
    if (dated && textual) {
        out.errorText = qwt::NotForDatesText;
        return out;
    }
    if (field.isChoice()) {
        out.ok = true;
        out.value = queryChoiceValue(typed);
        return out;
    }
    if (!field.isNumber() || textual) {
        out.ok = true;
        out.value = filter::clip(typed);
        return out;
    }

    const Picture picture(field.picture);
    Picture::Input in;
    if (field.isDate()) {
        in = parseDateValue(picture, typed, locale);
        out.errorText = qwt::InvalidDateText;
    } else if (field.isTime()) {
        // Typed as in the song form, by the same rule ("3:00" is three minutes).
        const std::optional<int> t = songTimeFromText(typed, field.picture, locale);
        in.ok = t.has_value();
        in.value = qlonglong(t.value_or(0));
        out.errorText = qwt::InvalidTimeText;
    } else {
        // A picture we do not understand still takes a plain number.
        in = picture.isNumber() ? picture.parse(typed, locale)
                                : Picture(QStringLiteral("@n-20")).parse(typed);
        out.errorText = qwt::InvalidNumberText;
    }
    if (!in.ok)
        return out;
    out.ok = true;
    out.errorText = 0;
    out.value = storedNumber(in.value);
    return out;
}

QString displayQueryValue(const QueryField& field, const QString& value, const QLocale& locale)
{
    if (field.isChoice())
        return queryChoiceFor(field, value);
    bool isNumber = false;
    const qint64 n = value.toLongLong(&isNumber);
    if (!isNumber)
        return value;
    if (field.isDate())
        return formatDateValue(Picture(field.picture), n, locale);
    if (field.isTime())
        return songTimeText(int(std::clamp<qint64>(n, 0, MaxTime)), field.picture, locale);
    return value;
}

QString queryValueExample(const QueryField& field, const QLocale& locale)
{
    if (field.isDate()) {
        // 31 December 1997: a day on which day, month and year cannot be mistaken for each other.
        const qint64 day = QDate(1800, 12, 28).daysTo(QDate(1997, 12, 31));
        return formatDateValue(Picture(field.picture), day, locale);
    }
    if (field.isTime())
        return Picture(field.picture).format(qint64(3 * 60 + 45) * 100 + 1, locale);
    return {};
}

QString conditionExpression(const QueryFieldList& fields, const QueryCondition& c)
{
    const QueryField* f = fields.find(c.field);
    if (!f)
        return {};
    return queryCondition(
        f->label, f->filterKind(), c.op, queryOperatorNeedsValue(c.op) ? c.value : QString());
}

namespace {

// Groups of several conditions are written in parentheses, or bare (AND binds closer than OR, so
// both mean the same; the bare form is only read, never written).
QString buildExpression(
    const QList<QueryCondition>& conditions, const QueryFieldList& fields, bool* ok, bool parenthesize)
{
    if (ok)
        *ok = true;
    QList<QStringList> groups;
    for (const QueryCondition& c : conditions) {
        const QString text = conditionExpression(fields, c);
        if (text.isEmpty()) {
            if (ok)
                *ok = false;
            continue;
        }
        if (groups.isEmpty() || c.join == QueryJoin::Or)
            groups.append(QStringList());
        groups.last() << text;
    }
    static const QString andWord = QStringLiteral(" AND ");
    if (groups.size() == 1)
        return groups.first().join(andWord);
    QStringList parts;
    for (const QStringList& g : groups)
        parts << (g.size() > 1 && parenthesize ? QLatin1Char('(') + g.join(andWord) + QLatin1Char(')')
                                               : g.join(andWord));
    return parts.join(QStringLiteral(" OR "));
}

} // namespace

QString buildQueryExpression(const QList<QueryCondition>& conditions, const QueryFieldList& fields, bool* ok)
{
    return buildExpression(conditions, fields, ok, true);
}

// ---- reading an expression back ----

namespace {

struct Token {
    enum Type { Name, String, Number, Punct } type = Punct;
    QString text;
};

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char(':');
}

std::optional<QList<Token>> tokenize(const QString& s)
{
    QList<Token> out;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('\'')) {
            QString text;
            ++i;
            for (;;) {
                if (i >= s.size())
                    return std::nullopt; // unended text
                if (s.at(i) == QLatin1Char('\'')) {
                    if (i + 1 < s.size() && s.at(i + 1) == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += s.at(i++);
            }
            out.append({ Token::String, text });
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < s.size() && s.at(i + 1).isDigit())) {
            const qsizetype start = i;
            while (i < s.size() && (s.at(i).isDigit() || s.at(i) == QLatin1Char('.')))
                ++i;
            out.append({ Token::Number, s.mid(start, i - start) });
        } else if (isNameStart(c)) {
            const qsizetype start = i;
            while (i < s.size() && isNamePart(s.at(i)))
                ++i;
            out.append({ Token::Name, s.mid(start, i - start) });
        } else {
            static const char* const two[] = { "<>", "<=", ">=", "~=" };
            QString p(c);
            for (const char* t : two) {
                if (s.mid(i, 2) == QLatin1String(t))
                    p = QLatin1String(t);
            }
            i += p.size();
            out.append({ Token::Punct, p });
        }
    }
    return out;
}

bool isWord(const Token& t, const char* word)
{
    return t.type == Token::Name && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isPunct(const Token& t, const char* p)
{
    return t.type == Token::Punct && t.text == QLatin1String(p);
}

// UPPER('be') written as the text 'BE' it stands for, so that a query saved in the older form
// (the value upper-cased) compares equal to the same query written now.
QList<Token> withUpperTextsFolded(const QList<Token>& t)
{
    QList<Token> out;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (i + 3 < t.size() && t[i].type == Token::Name
            && t[i].text.compare(QLatin1String("UPPER"), Qt::CaseInsensitive) == 0
            && t[i + 1].type == Token::Punct && t[i + 1].text == QLatin1String("(")
            && t[i + 2].type == Token::String && t[i + 3].type == Token::Punct
            && t[i + 3].text == QLatin1String(")")) {
            out.append({ Token::String, filter::upper(t[i + 2].text) });
            i += 3;
            continue;
        }
        out.append(t[i]);
    }
    return out;
}

bool sameTokens(const QList<Token>& rawA, const QList<Token>& rawB)
{
    const QList<Token> a = withUpperTextsFolded(rawA);
    const QList<Token> b = withUpperTextsFolded(rawB);
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].type != b[i].type)
            return false;
        const auto cs = a[i].type == Token::Name ? Qt::CaseInsensitive : Qt::CaseSensitive;
        if (a[i].text.compare(b[i].text, cs) != 0)
            return false;
    }
    return true;
}

using Slice = QList<Token>;

// Splits at the given word where it stands outside parentheses.
QList<Slice> splitTopLevel(const Slice& tokens, const char* word)
{
    QList<Slice> parts(1);
    int depth = 0;
    for (const Token& t : tokens) {
        if (isPunct(t, "("))
            ++depth;
        else if (isPunct(t, ")"))
            --depth;
        if (depth == 0 && isWord(t, word)) {
            parts.append(Slice());
            continue;
        }
        parts.last().append(t);
    }
    return parts;
}

// A group written in parentheses loses them when they enclose the whole group.
Slice unwrap(const Slice& s)
{
    if (s.size() < 2 || !isPunct(s.first(), "(") || !isPunct(s.last(), ")"))
        return s;
    int depth = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (isPunct(s[i], "("))
            ++depth;
        else if (isPunct(s[i], ")"))
            --depth;
        if (depth == 0 && i < s.size() - 1)
            return s; // the first parenthesis closes before the end
    }
    return s.mid(1, s.size() - 2);
}

int compareOperator(const Token& t)
{
    static const char* const ops[] = { "=", "<>", ">", "<", ">=", "<=" };
    for (int i = 0; i < 6; ++i) {
        if (isPunct(t, ops[i]))
            return i + 1;
    }
    return 0;
}

// Matches a sequence of expected tokens: a name ("SUB"), punctuation, "#" any number, "$" any
// text, "@" the field name.
bool matchShape(const Slice& s, const QStringList& shape, QString* field, QString* text)
{
    if (s.size() != shape.size())
        return false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QString& want = shape[i];
        const Token& t = s[i];
        if (want == QLatin1String("#")) {
            if (t.type != Token::Number)
                return false;
        } else if (want == QLatin1String("$")) {
            if (t.type != Token::String)
                return false;
            *text = t.text;
        } else if (want == QLatin1String("@")) {
            if (t.type != Token::Name)
                return false;
            *field = t.text;
        } else if (t.text.compare(want, Qt::CaseInsensitive) != 0) {
            return false;
        }
    }
    return true;
}

std::optional<QueryCondition> readCondition(const Slice& s, const QueryFieldList& fields)
{
    QueryCondition c;
    QString field;
    QString text;
    // The value as typed inside UPPER( ); older queries hold it upper-cased already.
    static const QStringList beginsWith
        = QString::fromLatin1("SUB ( UPPER ( @ ) , 1 , # ) = UPPER ( $ )").split(' ');
    static const QStringList contains
        = QString::fromLatin1("INSTRING ( UPPER ( $ ) , UPPER ( @ ) , 1 , 1 ) > 0").split(' ');
    static const QStringList oldBeginsWith
        = QString::fromLatin1("SUB ( UPPER ( @ ) , 1 , # ) = $").split(' ');
    static const QStringList oldContains
        = QString::fromLatin1("INSTRING ( $ , UPPER ( @ ) , 1 , 1 ) > 0").split(' ');
    if (matchShape(s, beginsWith, &field, &text) || matchShape(s, oldBeginsWith, &field, &text)) {
        c.op = int(QueryOperator::BeginsWith);
        c.value = text;
    } else if (matchShape(s, contains, &field, &text) || matchShape(s, oldContains, &field, &text)) {
        c.op = int(QueryOperator::Contains);
        c.value = text;
    } else if ((s.size() == 3 || s.size() == 4) && s[0].type == Token::Name && compareOperator(s[1])) {
        field = s[0].text;
        c.op = compareOperator(s[1]);
        const Token& last = s.last();
        if (s.size() == 4) {
            if (last.type != Token::Number || !(isPunct(s[2], "-") || isPunct(s[2], "+")))
                return std::nullopt;
            c.value = (isPunct(s[2], "-") ? QStringLiteral("-") : QString()) + last.text;
        } else if (last.type == Token::String || last.type == Token::Number) {
            c.value = last.text;
        } else {
            return std::nullopt;
        }
    } else {
        return std::nullopt;
    }

    const QueryField* f = fields.find(field);
    if (!f)
        return std::nullopt;
    c.field = f->label;
    // A blank text or a zero number is what "Is Checked" and "Is Not Checked" test; a choice field
    // keeps its comparison so that " (N/A)" shows.
    const bool empty = f->isNumber() ? c.value == QLatin1String("0") : c.value.isEmpty();
    if (empty && !f->isChoice() && (c.op == 1 || c.op == 2)) {
        c.op = c.op == 1 ? int(QueryOperator::IsNotChecked) : int(QueryOperator::IsChecked);
        c.value.clear();
    }
    return c;
}

} // namespace

std::optional<QList<QueryCondition>> decomposeQueryExpression(
    const QString& text, const QueryFieldList& fields)
{
    QList<QueryCondition> out;
    if (text.trimmed().isEmpty())
        return out;
    const auto tokens = tokenize(text);
    if (!tokens || tokens->isEmpty())
        return std::nullopt;

    const QList<Slice> groups = splitTopLevel(*tokens, "OR");
    for (const Slice& g : groups) {
        const QList<Slice> parts = splitTopLevel(unwrap(g), "AND");
        for (qsizetype i = 0; i < parts.size(); ++i) {
            auto c = readCondition(parts[i], fields);
            if (!c)
                return std::nullopt;
            c->join = (i == 0 && !out.isEmpty()) ? QueryJoin::Or : QueryJoin::And;
            out.append(*c);
        }
    }
    // Only a text this wizard would write itself is taken apart; anything else stays as typed.
    for (bool parenthesize : { true, false }) {
        bool ok = false;
        const auto rebuilt = tokenize(buildExpression(out, fields, &ok, parenthesize));
        if (ok && rebuilt && sameTokens(*rebuilt, *tokens))
            return out;
    }
    return std::nullopt;
}

QString describeCondition(const QueryFieldList& fields, const QueryCondition& c, bool first,
    const QueryWizardTexts& texts, const QLocale& locale)
{
    const QueryField* f = fields.find(c.field);
    QString line;
    if (!first)
        line = texts.text(c.join == QueryJoin::Or ? qwt::OrWord : qwt::AndWord) + QLatin1Char(' ');
    line += (f ? f->title.trimmed() : c.field) + QLatin1Char(' ') + texts.text(c.op);
    if (queryOperatorNeedsValue(c.op)) {
        const QString shown = f ? displayQueryValue(*f, c.value, locale) : c.value;
        line += QStringLiteral(" \"") + shown + QLatin1Char('"');
    }
    return line;
}

bool isValidQueryExpression(const QString& text, const QueryFieldList& fields, QString* error)
{
    const FilterSchema schema = queryFieldSchema(fields);
    return FilterExpr::parse(text, schema, error).isValid();
}

} // namespace td

// Recursive-descent parser of filter expressions. The grammar is in FilterExpr.h.

#include "core/FilterExpr.h"
#include "core/FilterNode.h"
#include "core/FilterSchema.h"

#include <algorithm>

namespace td {

namespace {

struct Token {
    enum class Type { End, Text, Number, Name, LParen, RParen, Comma, Compare, And, Or, Not, Minus, Plus };
    Type type = Type::End;
    int position = 1; // 1-based character position
    QString text; // as written (Text: the value with quotes resolved)
    FilterNode::Op op = FilterNode::Op::Eq;
    double number = 0;
};

struct ParseError {
    int position;
    QString message;
};

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char(':');
}

class Lexer {
public:
    explicit Lexer(const QString& text)
        : s_(text)
    {
    }

    Token next()
    {
        while (i_ < s_.size() && s_[i_].isSpace())
            ++i_;
        Token t;
        t.position = int(i_) + 1;
        if (i_ >= s_.size())
            return t;
        const QChar c = s_[i_];
        auto two = [&](const char* op) {
            return i_ + 1 < s_.size() && s_[i_] == QLatin1Char(op[0]) && s_[i_ + 1] == QLatin1Char(op[1]);
        };
        auto compareOp = [&](FilterNode::Op op, int length) {
            t.type = Token::Type::Compare;
            t.op = op;
            t.text = s_.mid(i_, length);
            i_ += length;
            return t;
        };
        if (c == QLatin1Char('\''))
            return text(t);
        if (c.isDigit() || (c == QLatin1Char('.') && i_ + 1 < s_.size() && s_[i_ + 1].isDigit()))
            return number(t);
        if (isNameStart(c)) {
            const qsizetype b = i_;
            while (i_ < s_.size() && isNamePart(s_[i_]))
                ++i_;
            t.text = s_.mid(b, i_ - b);
            t.type = Token::Type::Name;
            if (t.text.compare(QLatin1String("AND"), Qt::CaseInsensitive) == 0)
                t.type = Token::Type::And;
            else if (t.text.compare(QLatin1String("OR"), Qt::CaseInsensitive) == 0)
                t.type = Token::Type::Or;
            else if (t.text.compare(QLatin1String("NOT"), Qt::CaseInsensitive) == 0)
                t.type = Token::Type::Not;
            return t;
        }
        if (two("<>"))
            return compareOp(FilterNode::Op::Ne, 2);
        if (two("~="))
            return compareOp(FilterNode::Op::Ne, 2);
        if (two("<="))
            return compareOp(FilterNode::Op::Le, 2);
        if (two(">="))
            return compareOp(FilterNode::Op::Ge, 2);
        if (c == QLatin1Char('='))
            return compareOp(FilterNode::Op::Eq, 1);
        if (c == QLatin1Char('<'))
            return compareOp(FilterNode::Op::Lt, 1);
        if (c == QLatin1Char('>'))
            return compareOp(FilterNode::Op::Gt, 1);
        t.text = QString(c);
        ++i_;
        switch (c.unicode()) {
        case '(':
            t.type = Token::Type::LParen;
            return t;
        case ')':
            t.type = Token::Type::RParen;
            return t;
        case ',':
            t.type = Token::Type::Comma;
            return t;
        case '~':
            t.type = Token::Type::Not;
            return t;
        case '-':
            t.type = Token::Type::Minus;
            return t;
        case '+':
            t.type = Token::Type::Plus;
            return t;
        default:
            break;
        }
        throw ParseError { t.position, QStringLiteral("the character \"%1\" is not allowed here").arg(c) };
    }

private:
    Token text(Token t)
    {
        ++i_;
        QString value;
        for (;;) {
            if (i_ >= s_.size())
                throw ParseError { t.position,
                    QStringLiteral("the text starting here has no closing quote") };
            if (s_[i_] == QLatin1Char('\'')) {
                if (i_ + 1 < s_.size() && s_[i_ + 1] == QLatin1Char('\'')) {
                    value += QLatin1Char('\'');
                    i_ += 2;
                    continue;
                }
                ++i_;
                break;
            }
            value += s_[i_++];
        }
        t.type = Token::Type::Text;
        t.text = value;
        return t;
    }

    Token number(Token t)
    {
        const qsizetype b = i_;
        while (i_ < s_.size() && s_[i_].isDigit())
            ++i_;
        if (i_ < s_.size() && s_[i_] == QLatin1Char('.')) {
            ++i_;
            while (i_ < s_.size() && s_[i_].isDigit())
                ++i_;
        }
        t.text = s_.mid(b, i_ - b);
        if (i_ < s_.size() && isNameStart(s_[i_]))
            throw ParseError { t.position, QStringLiteral("\"%1\" is not a number").arg(t.text + s_[i_]) };
        double d = 0;
        if (!filter::textToNumber(t.text, &d)) // digits other than 0-9 (other scripts) land here
            throw ParseError { t.position, QStringLiteral("\"%1\" is not a number").arg(t.text) };
        t.type = Token::Type::Number;
        t.number = d;
        return t;
    }

    const QString& s_;
    qsizetype i_ = 0;
};

struct FunctionInfo {
    const char* name;
    FilterNode::Fn fn;
    int minArgs;
    int maxArgs;
    filter::Kind result;
};

const FunctionInfo kFunctions[] = {
    { "UPPER", FilterNode::Fn::Upper, 1, 1, filter::Kind::Text },
    { "LOWER", FilterNode::Fn::Lower, 1, 1, filter::Kind::Text },
    { "CLIP", FilterNode::Fn::Clip, 1, 1, filter::Kind::Text },
    { "SUB", FilterNode::Fn::Sub, 3, 3, filter::Kind::Text },
    { "INSTRING", FilterNode::Fn::Instring, 2, 4, filter::Kind::Number },
    { "LEN", FilterNode::Fn::Len, 1, 1, filter::Kind::Number },
};

class Parser {
public:
    Parser(const QString& text, const FilterSchema& schema)
        : lexer_(text)
        , schema_(schema)
    {
        advance();
    }

    std::unique_ptr<FilterNode> parseAll()
    {
        auto node = parseOr();
        if (tok_.type != Token::Type::End) {
            if (tok_.type == Token::Type::RParen)
                fail(QStringLiteral("\")\" without a matching \"(\""));
            fail(QStringLiteral("expected AND, OR or the end of the filter but found %1").arg(found()));
        }
        return node;
    }

private:
    using Ptr = std::unique_ptr<FilterNode>;

    [[noreturn]] void fail(const QString& message) const { throw ParseError { tok_.position, message }; }

    QString found() const
    {
        switch (tok_.type) {
        case Token::Type::End:
            return QStringLiteral("the end of the filter");
        case Token::Type::Text:
            return QStringLiteral("the text '%1'").arg(tok_.text);
        default:
            return QStringLiteral("\"%1\"").arg(tok_.text);
        }
    }

    void advance() { tok_ = lexer_.next(); }

    // Brackets, NOT and function calls inside each other: the compiled condition must stay within
    // SQLite's parser stack, so the nesting is bounded here, before anything runs.
    void enter()
    {
        if (++depth_ > filter::kMaxNesting)
            fail(QStringLiteral("the filter is nested too deeply (at most %1 brackets, NOTs and "
                                "functions inside each other)")
                     .arg(filter::kMaxNesting));
    }

    // Every value (field, constant, named value) costs at most two SQL parameters: its own and the
    // blank a text compares with when it stands alone as a condition. SQLite takes 32766.
    void countValue(int position)
    {
        if (++values_ > filter::kMaxValues)
            throw ParseError { position,
                QStringLiteral("the filter is too long (at most %1 values)").arg(filter::kMaxValues) };
    }

    static Ptr make(FilterNode::Type type, filter::Kind kind)
    {
        auto n = std::make_unique<FilterNode>();
        n->type = type;
        n->kind = kind;
        return n;
    }

    static Ptr binary(FilterNode::Type type, Ptr l, Ptr r)
    {
        auto n = make(type, filter::Kind::Number);
        n->args.push_back(std::move(l));
        n->args.push_back(std::move(r));
        return n;
    }

    // One node for a whole AND (or OR) chain, brackets of the same operator merged into it: a long
    // chain costs no depth in the tree, in the evaluator or in the SQL.
    static void addTerm(Ptr& chain, FilterNode::Type type, Ptr term)
    {
        if (!chain) {
            chain = make(type, filter::Kind::Number);
        }
        if (term->type == type) {
            for (Ptr& t : term->args)
                chain->args.push_back(std::move(t));
        } else {
            chain->args.push_back(std::move(term));
        }
    }

    template <typename Next> Ptr parseChain(Token::Type op, FilterNode::Type type, Next next)
    {
        Ptr first = (this->*next)();
        if (tok_.type != op)
            return first;
        Ptr chain;
        addTerm(chain, type, std::move(first));
        while (tok_.type == op) {
            advance();
            addTerm(chain, type, (this->*next)());
        }
        return chain;
    }

    Ptr parseOr() { return parseChain(Token::Type::Or, FilterNode::Type::Or, &Parser::parseAnd); }

    Ptr parseAnd() { return parseChain(Token::Type::And, FilterNode::Type::And, &Parser::parseNot); }

    Ptr parseNot()
    {
        if (tok_.type != Token::Type::Not)
            return parseCompare();
        enter();
        advance();
        auto n = make(FilterNode::Type::Not, filter::Kind::Number);
        n->args.push_back(parseNot());
        --depth_;
        return n;
    }

    Ptr parseCompare()
    {
        Ptr left = parseOperand();
        if (tok_.type != Token::Type::Compare)
            return left;
        const FilterNode::Op op = tok_.op;
        advance();
        Ptr right = parseOperand();
        if (tok_.type == Token::Type::Compare)
            fail(QStringLiteral("two comparisons in a row; join them with AND or OR"));
        auto n = binary(FilterNode::Type::Compare, std::move(left), std::move(right));
        n->op = op;
        return n;
    }

    Ptr parseOperand()
    {
        switch (tok_.type) {
        case Token::Type::Text: {
            countValue(tok_.position);
            auto n = make(FilterNode::Type::Constant, filter::Kind::Text);
            n->constant = filter::Value::fromText(tok_.text);
            advance();
            return n;
        }
        case Token::Type::Number:
            return number(1);
        case Token::Type::Minus:
        case Token::Type::Plus: {
            const double sign = tok_.type == Token::Type::Minus ? -1 : 1;
            advance();
            if (tok_.type != Token::Type::Number)
                fail(QStringLiteral("expected a number after the sign but found %1").arg(found()));
            return number(sign);
        }
        case Token::Type::LParen: {
            enter();
            advance();
            Ptr inner = parseOr();
            expect(Token::Type::RParen, QStringLiteral("\")\""));
            --depth_;
            return inner;
        }
        case Token::Type::Name:
            return name();
        default:
            fail(QStringLiteral("expected a value (a field, a number, a text in quotes or a function) "
                                "but found %1")
                     .arg(found()));
        }
    }

    Ptr number(double sign)
    {
        countValue(tok_.position);
        auto n = make(FilterNode::Type::Constant, filter::Kind::Number);
        n->constant = filter::Value::fromNumber(sign * tok_.number);
        advance();
        return n;
    }

    void expect(Token::Type type, const QString& what)
    {
        if (tok_.type != type)
            fail(QStringLiteral("expected %1 but found %2").arg(what, found()));
        advance();
    }

    Ptr name()
    {
        const Token nameTok = tok_;
        advance();
        if (tok_.type == Token::Type::LParen)
            return function(nameTok);
        if (const FilterField* f = schema_.field(nameTok.text)) {
            countValue(nameTok.position);
            auto n = make(FilterNode::Type::Field, f->kind);
            n->fieldId = f->id;
            n->sqlExpr = f->sqlExpr;
            return n;
        }
        if (const FilterNamedValue* v = schema_.namedValue(nameTok.text)) {
            countValue(nameTok.position);
            auto n = make(FilterNode::Type::NamedValue, v->kind);
            n->getter = v->value ? v->value : [] { return QVariant(); };
            return n;
        }
        throw ParseError { nameTok.position, QStringLiteral("unknown name \"%1\"").arg(nameTok.text) };
    }

    Ptr function(const Token& nameTok)
    {
        const FunctionInfo* info = nullptr;
        for (const FunctionInfo& f : kFunctions) {
            if (nameTok.text.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
                info = &f;
        }
        if (!info)
            throw ParseError { nameTok.position,
                QStringLiteral("unknown function \"%1\"").arg(nameTok.text) };
        enter();
        advance(); // the "("
        auto n = make(FilterNode::Type::Function, info->result);
        n->fn = info->fn;
        if (tok_.type != Token::Type::RParen) {
            n->args.push_back(parseOr());
            while (tok_.type == Token::Type::Comma) {
                advance();
                n->args.push_back(parseOr());
            }
        }
        const int count = int(n->args.size());
        if (tok_.type != Token::Type::RParen) {
            if (count < info->maxArgs)
                fail(QStringLiteral("expected \",\" or \")\" in %1 but found %2")
                         .arg(QLatin1String(info->name), found()));
            fail(QStringLiteral("expected \")\" to close %1 but found %2")
                     .arg(QLatin1String(info->name), found()));
        }
        if (count < info->minArgs || count > info->maxArgs) {
            const QString wanted = info->minArgs == info->maxArgs
                ? QString::number(info->minArgs)
                : QStringLiteral("%1 to %2").arg(info->minArgs).arg(info->maxArgs);
            throw ParseError { nameTok.position,
                QStringLiteral("%1 takes %2 argument%3, not %4")
                    .arg(QLatin1String(info->name), wanted,
                        info->maxArgs == 1 ? QString() : QStringLiteral("s"))
                    .arg(count) };
        }
        advance();
        --depth_;
        // A function of constants is a constant: UPPER('be') costs no call per record, and a
        // search for a beginning keeps its fast range.
        const bool constant = std::all_of(n->args.begin(), n->args.end(),
            [](const Ptr& a) { return a->type == FilterNode::Type::Constant; });
        if (constant) {
            std::vector<filter::Value> values;
            for (const Ptr& a : n->args)
                values.push_back(a->constant);
            auto folded = make(FilterNode::Type::Constant, info->result);
            folded->constant = applyFunction(info->fn, values);
            return folded;
        }
        return n;
    }

    Lexer lexer_;
    const FilterSchema& schema_;
    Token tok_;
    int depth_ = 0;
    int values_ = 0;
};

} // namespace

filter::Value filterValueFrom(filter::Kind kind, const QVariant& v)
{
    const bool isText = v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray
        || v.typeId() == QMetaType::QChar;
    if (kind == filter::Kind::Text) {
        if (!v.isValid() || v.isNull())
            return filter::Value::fromText(QString());
        if (isText)
            return filter::Value::fromText(filter::clip(v.toString()));
        bool ok = false;
        const double d = v.toDouble(&ok);
        return filter::Value::fromText(ok ? filter::numberToText(d) : filter::clip(v.toString()));
    }
    if (isText) {
        double d = 0;
        return filter::Value::fromNumber(filter::textToNumber(v.toString(), &d) ? d : 0);
    }
    return filter::Value::fromNumber(v.toDouble());
}

std::unique_ptr<FilterNode> parseFilter(
    const QString& text, const FilterSchema& schema, QString* error, int* position)
{
    try {
        Parser p(text, schema);
        return p.parseAll();
    } catch (const ParseError& e) {
        if (error)
            *error = QStringLiteral("Position %1: %2").arg(e.position).arg(e.message);
        if (position)
            *position = e.position;
        return nullptr;
    }
}

} // namespace td

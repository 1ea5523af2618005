#include "songs/SongFilter.h"

#include "core/FilterNode.h"
#include "data/Database.h"
#include "data/FieldCatalog.h"
#include "data/Schema.h"

#include <QRegularExpression>

#include <array>
#include <mutex>

namespace td {

namespace {

QString songColumn(const FieldDef& f)
{
    return schema::quoted(tableDef(TableId::Tunedeck).label) + QLatin1Char('.') + schema::quoted(f.name);
}

// ASCII characters a "Begins With" range may rely on: no other character has an upper case that
// contains it unless it also folds to it (not so for 'I' from the dotless i, 'S' from the sharp s,
// the letters of the ligatures, ...). Found once from Qt's own case tables.
const std::array<bool, 128>& safeRangeCharacters()
{
    static std::array<bool, 128> safe{};
    static std::once_flag once;
    std::call_once(once, [] {
        for (int c = 0; c < 128; ++c)
            safe[c] = c >= 0x20 && c < 0x7F;
        for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            const QString up = QString::fromUcs4(&cp, 1).toUpper();
            for (QChar u : up) {
                if (u.unicode() >= 0x80)
                    continue;
                const char32_t foldedCp = QChar::toCaseFolded(cp);
                const char32_t foldedU = QChar::toCaseFolded(char32_t(u.unicode()));
                if (up.size() != 1 || foldedCp != foldedU)
                    safe[u.unicode()] = false;
            }
        }
    });
    return safe;
}

struct RangeHint {
    QString column;
    QString low;
    QString high;
};

const FilterNode* asField(const FilterNode& n)
{
    return n.type == FilterNode::Type::Field ? &n : nullptr;
}

bool isNumberConstant(const FilterNode& n, double v)
{
    return n.type == FilterNode::Type::Constant && n.constant.kind == filter::Kind::Number && n.constant.number == v;
}

// SUB(UPPER(field), 1, n) = 'TEXT' (either way round): the field and the text.
bool beginsWith(const FilterNode& n, const FilterNode** field, QString* text)
{
    if (n.type != FilterNode::Type::Compare || n.op != FilterNode::Op::Eq || n.args.size() != 2)
        return false;
    for (int side = 0; side < 2; ++side) {
        const FilterNode& call = *n.args[side];
        const FilterNode& value = *n.args[1 - side];
        if (value.type != FilterNode::Type::Constant || value.constant.kind != filter::Kind::Text)
            continue;
        if (call.type != FilterNode::Type::Function || call.fn != FilterNode::Fn::Sub || call.args.size() != 3)
            continue;
        const FilterNode& up = *call.args[0];
        if (up.type != FilterNode::Type::Function || up.fn != FilterNode::Fn::Upper || up.args.size() != 1)
            continue;
        const FilterNode* f = asField(*up.args[0]);
        if (!f || f->kind != filter::Kind::Text || !isNumberConstant(*call.args[1], 1))
            continue;
        const FilterNode& len = *call.args[2];
        if (len.type != FilterNode::Type::Constant || len.constant.kind != filter::Kind::Number)
            continue;
        const QString t = filter::clip(value.constant.text);
        // A length shorter than the text never matches; a longer one still needs the text first.
        if (len.constant.number < t.size())
            continue;
        *field = f;
        *text = t;
        return true;
    }
    return false;
}

// Conditions joined by AND at the top of the tree.
void conjuncts(const FilterNode& n, QList<const FilterNode*>& out)
{
    if (n.type == FilterNode::Type::And) {
        for (const auto& a : n.args)
            conjuncts(*a, out);
        return;
    }
    out << &n;
}

// "Contains" is INSTRING(text, UPPER(field), 1, 1): one SQL function for both steps finds the
// text without making an upper-case copy of every song's field first. The parameters stay as
// they are; any other form is left alone.
QString fuseFunctionsOfUpper(const QString& sql)
{
    static const QRegularExpression instringOfUpper(QStringLiteral(
        "td_instring\\(\\?, td_upper\\((coalesce\\(\\(\"[^\"]+\"\\.\"[^\"]+\"\\), ''\\))\\), \\?, \\?\\)"));
    // "Begins with" is SUB(UPPER(field), 1, n): likewise cut from the field without its whole
    // upper case.
    static const QRegularExpression subOfUpper(QStringLiteral(
        "td_sub\\(td_upper\\((coalesce\\(\\(\"[^\"]+\"\\.\"[^\"]+\"\\), ''\\))\\), \\?, \\?\\)"));
    QString out = sql;
    out.replace(instringOfUpper, QStringLiteral("td_instring_upper(?, \\1, ?, ?)"));
    out.replace(subOfUpper, QStringLiteral("td_sub_upper(\\1, ?, ?)"));
    return out;
}

} // namespace

FilterSchema songFilterSchema(std::function<qint64()> selectedCategory)
{
    FilterSchema s;
    const TableDef& songs = tableDef(TableId::Tunedeck);
    for (const FieldDef& f : songs.fields)
        s.addField(f.label, f.isText() ? FilterKind::Text : FilterKind::Number, songColumn(f));

    const QString songTable = schema::quoted(songs.label);
    s.addField(QStringLiteral("CAT:Category"), FilterKind::Text,
               QStringLiteral("(SELECT c.\"Category\" FROM %1 AS c WHERE c.\"CategoryID\" = %2.\"CategoryID\" LIMIT 1)")
                   .arg(Database::sqlTable(TableId::Categories), songTable));
    s.addField(QStringLiteral("MED:Media"), FilterKind::Text,
               QStringLiteral("(SELECT m.\"Media\" FROM %1 AS m WHERE m.\"Media\" = %2.\"Media\" LIMIT 1)")
                   .arg(Database::sqlTable(TableId::Media), songTable));
    if (selectedCategory)
        s.addValue(QStringLiteral("CAT:CategoryID"), FilterKind::Number,
                   [selectedCategory]() { return QVariant(qlonglong(selectedCategory())); });
    else
        s.addValue(QStringLiteral("CAT:CategoryID"), FilterKind::Number, QVariant(0));
    return s;
}

QString beginsWithRangePrefix(const QString& upperText)
{
    const auto& safe = safeRangeCharacters();
    QString out;
    for (QChar c : upperText) {
        if (c.unicode() >= 0x80 || !safe[c.unicode()])
            break;
        out += c;
    }
    // The bound above raises the last folded character: there must be one to raise.
    while (!out.isEmpty() && (out.back() == QLatin1Char(' ') || out.back().toCaseFolded().unicode() >= 0x7E))
        out.chop(1);
    return out;
}

SongSearch compileSongSearch(const QString& filterText, const FilterSchema& schema, const QString& orderedBy)
{
    SongSearch out;
    const FilterExpr expr = FilterExpr::parse(filterText, schema, &out.error);
    if (!expr.isValid()) {
        out.valid = false;
        out.sql = QStringLiteral("0");
        return out;
    }
    const SqlCondition c = expr.toSql();
    out.sql = fuseFunctionsOfUpper(c.sql);
    out.params = c.params;
    if (c.isEmpty() || orderedBy.isEmpty())
        return out;

    const FilterField* ordered = schema.field(orderedBy);
    if (!ordered || ordered->kind != FilterKind::Text)
        return out;
    QString parseError;
    int at = 0;
    const std::unique_ptr<FilterNode> tree = parseFilter(filterText, schema, &parseError, &at);
    if (!tree)
        return out;
    QList<const FilterNode*> parts;
    conjuncts(*tree, parts);
    for (const FilterNode* p : std::as_const(parts)) {
        const FilterNode* field = nullptr;
        QString text;
        if (!beginsWith(*p, &field, &text) || field->sqlExpr != ordered->sqlExpr)
            continue;
        const QString low = beginsWithRangePrefix(text);
        if (low.isEmpty())
            continue;
        QString high = low.toCaseFolded();
        high.back() = QChar(high.back().unicode() + 1);
        out.sql = QStringLiteral("(%1 >= ? AND %1 < ?) AND %2").arg(ordered->sqlExpr, out.sql);
        out.params.prepend(high);
        out.params.prepend(low);
        out.rangeLow = low;
        out.rangeHigh = high;
        break;
    }
    return out;
}

} // namespace td

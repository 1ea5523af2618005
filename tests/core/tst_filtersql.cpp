// A filter compiled to SQL keeps exactly the records the evaluator keeps: checked on an in-memory
// table with the registered functions and collation, on hand-written and on generated filters.

#include "core/FilterExpr.h"
#include "core/FilterQuery.h"
#include "data/SqlFunctions.h"

#include <QRandomGenerator>
#include <QTest>
#include <functional>
#include <sqlite3.h>

using namespace td;
using filter::Kind;

namespace {

enum Column { Artist, Title, Media, Chart, Time, Side, Category, CategoryName, ColumnCount };

struct Row {
    QVariant v[ColumnCount];
};

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Texts as the data layer stores them: without trailing blanks.
const std::vector<Row> kRows = {
    { { "Beatles", "It's Love", "CD", 12, 22501, "A", 1, {} } },
    { { "beatles", "Love Me Do", "cd", 0, 15001, "B", 2, {} } },
    { { "Bee Gees", "Stayin' Alive", "LP", 3, 0, "1", 1, {} } },
    { { "", "", "", 0, 0, "", 0, {} } },
    { { u("\xC3\x89tienne Daho"), u("\xC3\xA9t\xC3\xA9"), "CD", 100, 36000, "2", 9, {} } },
    { { u("Stra\xC3\x9F"
          "e"),
        "STRASSE", "Cassette", 7, 12, "A", 2, {} } },
    { { u("\xF0\x9F\x8E\xB5 Notes"), u("\xEF\xBF\xBD"), "MD", 9, 9, "B", 1, {} } },
    { { "10", "9", "12", 10, 9, "0", 3, {} } },
    { { "ABBA", "Waterloo", "LP", 1, 17001, "A", 3, {} } },
    { { "a'b", "x  y", "CD", 40, 40, "1", 2, {} } },
};

const char* const kCategoryNames[] = { "", "Pop", "Rock", "Disco" }; // category 9 does not exist

FilterSchema schema()
{
    FilterSchema s;
    s.addField(QStringLiteral("MUS:Artist"), Kind::Text, QStringLiteral("Artist"), Artist);
    s.addField(QStringLiteral("MUS:Title"), Kind::Text, QStringLiteral("Title"), Title);
    s.addField(QStringLiteral("MUS:Media"), Kind::Text, QStringLiteral("Media"), Media);
    s.addField(QStringLiteral("MUS:ChartNumber"), Kind::Number, QStringLiteral("ChartNumber"), Chart);
    s.addField(QStringLiteral("MUS:Time"), Kind::Number, QStringLiteral("Time"), Time);
    s.addField(QStringLiteral("MUS:Side"), Kind::Text, QStringLiteral("Side"), Side);
    s.addField(QStringLiteral("MUS:CategoryID"), Kind::Number, QStringLiteral("CategoryID"), Category);
    // A field of another table, read through a sub-query that finds nothing for category 9 or 0.
    s.addField(QStringLiteral("CAT:Category"), Kind::Text,
        QStringLiteral("SELECT c.Category FROM Categories c WHERE c.CategoryID = Songs.CategoryID"),
        CategoryName);
    s.addValue(QStringLiteral("LOC:Media"), Kind::Text, QStringLiteral("cd  "));
    s.addValue(QStringLiteral("LOC:LowChart"), Kind::Number, 9);
    s.addValue(QStringLiteral("CAT:CategoryID"), Kind::Number, QStringLiteral("2"));
    return s;
}

QVariant rowValue(int row, int field)
{
    if (field == CategoryName) {
        const int id = kRows[size_t(row)].v[Category].toInt();
        return id >= 1 && id <= 3 ? QVariant(QString::fromLatin1(kCategoryNames[id])) : QVariant();
    }
    return kRows[size_t(row)].v[field];
}

class Db {
public:
    Db()
    {
        sqlite3_open(":memory:", &db_);
        registerFilterFunctions(db_);
        exec("CREATE TABLE Songs(Artist TEXT, Title TEXT, Media TEXT, ChartNumber INTEGER, Time INTEGER, "
             "Side TEXT, CategoryID INTEGER)");
        exec("CREATE TABLE Categories(CategoryID INTEGER, Category TEXT)");
        for (int id = 1; id <= 3; ++id)
            exec(QStringLiteral("INSERT INTO Categories VALUES(%1, '%2')")
                     .arg(id)
                     .arg(kCategoryNames[id])
                     .toUtf8());
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_,
            "INSERT INTO Songs(rowid, Artist, Title, Media, ChartNumber, Time, Side, CategoryID) "
            "VALUES(?,?,?,?,?,?,?,?)",
            -1, &st, nullptr);
        for (size_t r = 0; r < kRows.size(); ++r) {
            sqlite3_bind_int64(st, 1, qint64(r));
            for (int c = 0; c < Category + 1; ++c)
                bind(st, c + 2, kRows[r].v[c]);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    }
    ~Db() { sqlite3_close(db_); }

    void exec(const QByteArray& sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
            qWarning("%s", err);
            sqlite3_free(err);
        }
    }

    static void bind(sqlite3_stmt* st, int i, const QVariant& v)
    {
        if (v.typeId() == QMetaType::QString) {
            const QByteArray b = v.toString().toUtf8();
            sqlite3_bind_text(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        } else if (v.typeId() == QMetaType::Double) {
            sqlite3_bind_double(st, i, v.toDouble());
        } else if (v.isValid()) {
            sqlite3_bind_int64(st, i, v.toLongLong());
        } else {
            sqlite3_bind_null(st, i);
        }
    }

    // The rows the condition keeps, or {-1} with the error when SQLite refuses the statement.
    QList<int> select(const SqlCondition& c, QString* error = nullptr)
    {
        const QByteArray sql = "SELECT rowid FROM Songs WHERE " + c.sql.toUtf8() + " ORDER BY rowid";
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
            if (error)
                *error = QString::fromUtf8(sqlite3_errmsg(db_)) + " in " + QString::fromUtf8(sql);
            return { -1 };
        }
        if (sqlite3_bind_parameter_count(st) != c.params.size()) {
            sqlite3_finalize(st);
            if (error)
                *error = QStringLiteral("parameter count differs");
            return { -1 };
        }
        for (int i = 0; i < c.params.size(); ++i)
            bind(st, i + 1, c.params[i]);
        QList<int> rows;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            rows << sqlite3_column_int(st, 0);
        if (rc != SQLITE_DONE && error)
            *error = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_finalize(st);
        return rc == SQLITE_DONE ? rows : QList<int> { -1 };
    }

    QVariant scalar(const char* sql)
    {
        sqlite3_stmt* st = nullptr;
        QVariant out;
        if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
            switch (sqlite3_column_type(st, 0)) {
            case SQLITE_INTEGER:
                out = qlonglong(sqlite3_column_int64(st, 0));
                break;
            case SQLITE_FLOAT:
                out = sqlite3_column_double(st, 0);
                break;
            case SQLITE_TEXT:
                out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
                break;
            default:
                break;
            }
        } else {
            out = QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(db_));
        }
        sqlite3_finalize(st);
        return out;
    }

private:
    sqlite3* db_ = nullptr;
};

QList<int> evaluated(const FilterExpr& e)
{
    QList<int> rows;
    for (int r = 0; r < int(kRows.size()); ++r) {
        if (e.matches([r](int field) { return rowValue(r, field); }))
            rows << r;
    }
    return rows;
}

// A random filter over the schema's names, functions and constants.
class Generator {
public:
    explicit Generator(quint32 seed)
        : rnd_(seed)
    {
    }

    QString condition(int depth)
    {
        const int pick = int(rnd_.bounded(depth > 0 ? 6 : 3));
        switch (pick) {
        case 0:
        case 1:
        case 2:
            return comparison(depth);
        case 3:
            return condition(depth - 1) + " AND " + condition(depth - 1);
        case 4:
            return "(" + condition(depth - 1) + " OR " + condition(depth - 1) + ")";
        default:
            return "NOT " + condition(depth - 1);
        }
    }

private:
    QString comparison(int depth)
    {
        static const char* const ops[] = { "=", "<>", "<", ">", "<=", ">=", "~=" };
        if (rnd_.bounded(12) == 0)
            return value(depth); // a bare value as a condition
        return value(depth) + " " + ops[rnd_.bounded(7)] + " " + value(depth);
    }

    QString value(int depth)
    {
        static const char* const names[]
            = { "MUS:Artist", "MUS:Title", "MUS:Media", "MUS:ChartNumber", "MUS:Time", "MUS:Side",
                  "MUS:CategoryID", "CAT:Category", "LOC:Media", "LOC:LowChart", "CAT:CategoryID" };
        static const char* const texts[] = { "''", "'A'", "'Beatles'", "'BEATLES'", "'cd'", "'10'", "' 9 '",
            "'It''s Love'", "'Pop'", "'a''b'", "'Z'", "'1e1'", "'x  y  '" };
        static const char* const numbers[] = { "0", "1", "9", "10", "12", "-3", "2.5", "22501", "100" };
        const int pick = int(rnd_.bounded(depth > 0 ? 6 : 4));
        switch (pick) {
        case 0:
        case 1:
            return names[rnd_.bounded(int(std::size(names)))];
        case 2:
            return texts[rnd_.bounded(int(std::size(texts)))];
        case 3:
            return numbers[rnd_.bounded(int(std::size(numbers)))];
        default:
            return function(depth - 1);
        }
    }

    QString function(int depth)
    {
        switch (rnd_.bounded(7)) {
        case 0:
            return "UPPER(" + value(depth) + ")";
        case 1:
            return "LOWER(" + value(depth) + ")";
        case 2:
            return "CLIP(" + value(depth) + ")";
        case 3:
            return "LEN(" + value(depth) + ")";
        case 4:
            return "SUB(" + value(depth) + ", " + value(depth) + ", " + value(depth) + ")";
        case 5:
            return "INSTRING(" + value(depth) + ", " + value(depth) + ")";
        default:
            return "INSTRING(" + value(depth) + ", " + value(depth) + ", " + value(depth) + ", "
                + value(depth) + ")";
        }
    }

    QRandomGenerator rnd_;
};

} // namespace

class TestFilterSql : public QObject {
    Q_OBJECT

private slots:
    void sameAsEvaluator_data();
    void sameAsEvaluator();
    void generatedFiltersSameAsEvaluator();
    void userTextNeverInSql_data();
    void userTextNeverInSql();
    void sqlFunctions_data();
    void sqlFunctions();
    void emptyAndInvalid();
    void deepestAcceptedFilterCompiles_data();
    void deepestAcceptedFilterCompiles();
    void longChains_data();
    void longChains();
};

void TestFilterSql::sameAsEvaluator_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("exact text") << "MUS:Artist = 'Beatles'" << QList<int> { 0 };
    QTest::newRow("upper") << "UPPER(MUS:Artist) = 'BEATLES'" << QList<int> { 0, 1 };
    QTest::newRow("trailing blanks of the constant") << "MUS:Title = 'x  y   '" << QList<int> { 9 };
    QTest::newRow("media of the tab, case ignored")
        << "UPPER(MUS:Media) = UPPER(LOC:Media)" << QList<int> { 0, 1, 4, 9 };
    QTest::newRow("category of the report") << "MUS:CategoryID = CAT:CategoryID" << QList<int> { 1, 5, 9 };
    QTest::newRow("chart range") << "MUS:ChartNumber >= LOC:LowChart AND MUS:ChartNumber < 100"
                                 << QList<int> { 0, 6, 7, 9 };
    QTest::newRow("text order by code point") << "MUS:Artist > 'Z'" << QList<int> { 1, 4, 6, 9 };
    QTest::newRow("full upper case mapping") << "UPPER(MUS:Artist) = 'STRASSE'" << QList<int> { 5 };
    QTest::newRow("accents are not letters of another case")
        << "LOWER(MUS:Artist) = 'etienne daho'" << QList<int> {};
    QTest::newRow("begins with") << td::queryCondition("MUS:Artist", Kind::Text, 7, "be")
                                 << QList<int> { 0, 1, 2 };
    QTest::newRow("contains") << td::queryCondition("MUS:Title", Kind::Text, 8, "love")
                              << QList<int> { 0, 1 };
    QTest::newRow("contains a quote")
        << td::queryCondition("MUS:Artist", Kind::Text, 8, "A'") << QList<int> { 9 };
    QTest::newRow("text field against number") << "MUS:Artist = 10" << QList<int> { 7 };
    QTest::newRow("two text fields compare as texts") << "MUS:Title < MUS:Artist" << QList<int> { 1, 5, 6 };
    QTest::newRow("text field is not 0") << "MUS:Side = 0" << QList<int> { 7 };
    QTest::newRow("missing category row reads empty") << "CAT:Category = ''" << QList<int> { 3, 4 };
    QTest::newRow("not of a missing row") << "NOT CAT:Category = 'Pop'" << QList<int> { 1, 3, 4, 5, 7, 8, 9 };
    QTest::newRow("bare text") << "CAT:Category" << QList<int> { 0, 1, 2, 5, 6, 7, 8, 9 };
    QTest::newRow("bare number") << "NOT MUS:ChartNumber" << QList<int> { 1, 3 };
    QTest::newRow("sub from the end") << "SUB(MUS:Artist, -5, 5) = ' Daho'" << QList<int> { 4 };
    QTest::newRow("instring steps") << "INSTRING('ee', MUS:Artist, 2, 1) = 1" << QList<int> {};
    QTest::newRow("len") << "LEN(MUS:Title) = 1" << QList<int> { 6, 7 };
    QTest::newRow("emoji sorts after everything") << "MUS:Artist > '\xC3\x89tienne Daho'" << QList<int> { 6 };
    QTest::newRow("precedence") << "MUS:Side = 'A' OR MUS:Side = 'B' AND MUS:ChartNumber = 0"
                                << QList<int> { 0, 1, 5, 8 };
}

// The row's filter gives the expected songs through the evaluator and through SQL alike.
static void checkSameAsEvaluator()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, expected);
    Db db;
    QString error;
    const FilterExpr e = FilterExpr::parse(text, schema(), &error);
    QVERIFY2(e.isValid(), qPrintable(error));
    QCOMPARE(evaluated(e), expected);
    QCOMPARE(db.select(e.toSql(), &error), expected);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestFilterSql::sameAsEvaluator()
{
    checkSameAsEvaluator();
}

void TestFilterSql::generatedFiltersSameAsEvaluator()
{
    Db db;
    const FilterSchema s = schema();
    Generator gen(20240611);
    int nonTrivial = 0;
    for (int i = 0; i < 3000; ++i) {
        const QString text = gen.condition(int(i % 4));
        QString error;
        const FilterExpr e = FilterExpr::parse(text, s, &error);
        QVERIFY2(e.isValid(), qPrintable(text + " : " + error));
        const QList<int> byEvaluator = evaluated(e);
        const QList<int> bySql = db.select(e.toSql(), &error);
        if (byEvaluator != bySql) {
            QString detail;
            QDebug(&detail) << text << e.toSql().sql << e.toSql().params << byEvaluator << bySql << error;
            QFAIL(qPrintable(detail));
        }
        if (!byEvaluator.isEmpty() && byEvaluator.size() < int(kRows.size()))
            ++nonTrivial;
    }
    QVERIFY2(
        nonTrivial > 600, qPrintable(QString::number(nonTrivial))); // the generator really tells rows apart
}

void TestFilterSql::userTextNeverInSql_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("quote and OR") << "x' OR 1=1 --";
    QTest::newRow("statement end") << "'; DROP TABLE Songs; --";
    QTest::newRow("collation name") << "COLLATE TDTEXT";
    QTest::newRow("parameter mark") << "?";
}

void TestFilterSql::userTextNeverInSql()
{
    QFETCH(QString, value);
    Db db;
    for (int op = 1; op <= 8; ++op) {
        const QString text = td::queryCondition("MUS:Title", Kind::Text, op, value);
        const FilterExpr e = FilterExpr::parse(text, schema());
        QVERIFY(e.isValid());
        const SqlCondition c = e.toSql();
        QVERIFY2(!c.sql.contains(QStringLiteral("1=1")) && !c.sql.contains(QStringLiteral("DROP"))
                && c.sql.count(QLatin1Char('?')) == c.params.size(),
            qPrintable(c.sql));
        QString error;
        QCOMPARE(db.select(c, &error), evaluated(e));
    }
    QCOMPARE(db.scalar("SELECT count(*) FROM Songs"), QVariant(qlonglong(kRows.size())));
}

void TestFilterSql::sqlFunctions_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("collation ignores trailing blanks")
        << QByteArray("SELECT 'abc  ' = 'abc' COLLATE TDTEXT") << QVariant(1LL);
    QTest::newRow("collation keeps case")
        << QByteArray("SELECT 'ABC' = 'abc' COLLATE TDTEXT") << QVariant(0LL);
    QTest::newRow("collation keeps leading blanks")
        << QByteArray("SELECT ' a' = 'a' COLLATE TDTEXT") << QVariant(0LL);
    QTest::newRow("upper") << QByteArray("SELECT td_upper('stra\xC3\x9F"
                                         "e')")
                           << QVariant(QString("STRASSE"));
    QTest::newRow("upper of a number") << QByteArray("SELECT td_upper(12)") << QVariant(QString("12"));
    QTest::newRow("upper of null") << QByteArray("SELECT td_upper(NULL)") << QVariant(QString(""));
    QTest::newRow("lower") << QByteArray("SELECT td_lower('AbC')") << QVariant(QString("abc"));
    QTest::newRow("clip") << QByteArray("SELECT td_clip(' a  ')") << QVariant(QString(" a"));
    QTest::newRow("len") << QByteArray("SELECT td_len('ab ')") << QVariant(3LL);
    QTest::newRow("sub") << QByteArray("SELECT td_sub('Beatles', 2, 3)") << QVariant(QString("eat"));
    QTest::newRow("sub with text numbers")
        << QByteArray("SELECT td_sub('Beatles', '2', 'x')") << QVariant(QString(""));
    QTest::newRow("instring two arguments")
        << QByteArray("SELECT td_instring('at', 'Beatles')") << QVariant(3LL);
    QTest::newRow("instring four arguments")
        << QByteArray("SELECT td_instring('ABC', 'XYZABC', 3, 1)") << QVariant(2LL);
    QTest::newRow("instring one argument") << QByteArray("SELECT td_instring('a')")
                                           << QVariant(QString("error: td_instring takes 2 to 4 arguments"));
    QTest::newRow("compare mixed") << QByteArray("SELECT td_compare('10', 9)") << QVariant(1LL);
    QTest::newRow("compare text") << QByteArray("SELECT td_compare('A', 0)") << QVariant(1LL);
}

void TestFilterSql::sqlFunctions()
{
    QFETCH(QByteArray, sql);
    QFETCH(QVariant, expected);
    Db db;
    QCOMPARE(db.scalar(sql.constData()), expected);
}

void TestFilterSql::emptyAndInvalid()
{
    Db db;
    QVERIFY(FilterExpr::parse(QString(), schema()).toSql().isEmpty());
    const FilterExpr bad = FilterExpr::parse(QStringLiteral("MUS:Nope = 1"), schema());
    QCOMPARE(db.select(bad.toSql()), QList<int> {});
}

// Shapes of nesting that cost SQLite's parser the most per level, as a function of the level count.
using Shape = std::function<QString(int levels)>;
Q_DECLARE_METATYPE(Shape)

QString repeat(const char* s, int n)
{
    return QString::fromUtf8(s).repeated(n);
}

void TestFilterSql::deepestAcceptedFilterCompiles_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::newRow("NOTs") << Shape([](int n) { return repeat("NOT ", n) + "MUS:ChartNumber = 12"; });
    QTest::newRow("brackets, AND and OR by turns") << Shape([](int n) {
        QString s = "MUS:Artist = 'ABBA'";
        for (int i = 0; i < n; ++i)
            s = QString(i % 2 ? "MUS:ChartNumber > 9 AND (%1)" : "MUS:Side = 'A' OR (%1)").arg(s);
        return s;
    });
    QTest::newRow("NOT of brackets") << Shape([](int n) {
        QString s = "CAT:Category = 'Pop'";
        for (int i = 0; i < n; ++i)
            s = i % 2 ? "MUS:Time > 9 AND NOT " + s : "(" + s + " OR MUS:Side = 'B')";
        return s;
    });
    QTest::newRow("UPPER") << Shape(
        [](int n) { return repeat("UPPER(", n) + "CAT:Category" + repeat(")", n) + " = 'POP'"; });
    QTest::newRow("last argument of SUB") << Shape([](int n) {
        return "LEN(" + repeat("SUB(MUS:Artist, 1, ", n - 1) + "CAT:Category" + repeat(")", n - 1) + ") > 0";
    });
    QTest::newRow("comparison in the last argument of INSTRING") << Shape([](int n) {
        return repeat("INSTRING('1', MUS:Title, 1, ", n) + "CAT:Category" + repeat(" = 'x')", n) + " = 0";
    });
    QTest::newRow("bracketed comparisons compared") << Shape([](int n) {
        QString s = "MUS:Side = 'A'";
        for (int i = 0; i < n; ++i)
            s = "(" + s + ") = LEN(MUS:Title)";
        return s;
    });
    QTest::newRow("long chains inside each other") << Shape([](int n) {
        QString s = "MUS:Artist = 'ABBA'";
        for (int i = 0; i < n; ++i) {
            const char* term = i % 2 ? " AND MUS:ChartNumber < 1000" : " OR MUS:Side = 'Z'";
            s = "(" + s + ")" + repeat(term, 70);
        }
        return s;
    });
}

// The deepest filter the parser accepts runs inside the statement of a list (key position, tab
// range, search range around it) with the evaluator's answer; one level more is refused.
void TestFilterSql::deepestAcceptedFilterCompiles()
{
    QFETCH(Shape, shape);
    Db db;
    const FilterSchema s = schema();
    const QString deepest = shape(filter::kMaxNesting);
    QString error;
    const FilterExpr e = FilterExpr::parse(deepest, s, &error);
    QVERIFY2(e.isValid(), qPrintable(error));
    SqlCondition c = e.toSql();
    c.sql
        = "(Artist, rowid) >= ('', -1) AND ((Title >= '' AND Title < 'zzz') AND ((Artist >= '' AND Artist < "
          "'zzz') AND "
        + c.sql + "))";
    QList<int> bySql = db.select(c, &error);
    QVERIFY2(bySql != QList<int> { -1 }, qPrintable(error));
    QList<int> byEvaluator;
    for (int r : evaluated(e)) {
        const Row& row = kRows[size_t(r)];
        if (row.v[Title].toString() < "zzz" && row.v[Artist].toString() < "zzz")
            byEvaluator << r;
    }
    QCOMPARE(bySql, byEvaluator);

    const FilterExpr tooDeep = FilterExpr::parse(shape(filter::kMaxNesting + 1), s, &error);
    QVERIFY(!tooDeep.isValid());
    QVERIFY2(error.contains("the filter is nested too deeply"), qPrintable(error));
}

// Thousands of terms in one chain: no recursion per term when parsing, evaluating, compiling or
// freeing the filter, and SQLite takes the compiled chain.
void TestFilterSql::longChains_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("expected");
    const QString ands = repeat("MUS:ChartNumber <> 5 AND ", 2500);
    QTest::newRow("AND, all true") << ands + "MUS:Side = 'A'" << QList<int> { 0, 5, 8 };
    QTest::newRow("AND, last false") << ands + "MUS:Side = 'Q'" << QList<int> {};
    QTest::newRow("AND, first false") << "MUS:Side = 'Q' AND " + ands + "1" << QList<int> {};
    const QString ors = repeat("MUS:ChartNumber = 5 OR ", 2500);
    QTest::newRow("OR, last true") << ors + "MUS:Side = 'A'" << QList<int> { 0, 5, 8 };
    QTest::newRow("OR, none true") << ors + "MUS:Side = 'Q'" << QList<int> {};
    QTest::newRow("brackets merged into the chain") << repeat("(MUS:ChartNumber <> 5 AND ", 8) + ands
            + "MUS:Side = 'A'" + repeat(")", 8) << QList<int> { 0, 5, 8 };
    QTest::newRow("OR of long ANDs") << ands + "MUS:Side = 'B' OR " + ands + "MUS:Side = '1'"
                                     << QList<int> { 1, 2, 6, 9 };
    QTest::newRow("at the plain chain's end")
        << repeat("MUS:Side <> 'B' AND ", 63) + "MUS:Side <> '2'" << QList<int> { 0, 2, 3, 5, 7, 8, 9 };
    QTest::newRow("one past") << repeat("MUS:Side <> 'B' AND ", 64) + "MUS:Side <> '2'"
                              << QList<int> { 0, 2, 3, 5, 7, 8, 9 };
}

void TestFilterSql::longChains()
{
    checkSameAsEvaluator();
}

QTEST_GUILESS_MAIN(TestFilterSql)
#include "tst_filtersql.moc"

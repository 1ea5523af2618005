#include "core/FilterExpr.h"
#include "core/FilterFunctions.h"
#include "core/FilterQuery.h"

#include <QTest>

using namespace td;
using filter::Kind;
using filter::Value;

namespace {

enum Field { Artist, Title, Album, Media, Chart, Bpm, Time, Side, Udk, CategoryId, Released };

// One song record as the list would hand it over; texts padded with blanks as fixed-width fields are.
QVariant song(int field)
{
    switch (field) {
    case Artist:
        return QStringLiteral("Beatles   ");
    case Title:
        return QStringLiteral("It's Love");
    case Album:
        return QStringLiteral("   ");
    case Media:
        return QStringLiteral("CD");
    case Chart:
        return 12;
    case Bpm:
        return 0;
    case Time:
        return 22501;
    case Side:
        return QStringLiteral("A");
    case Udk:
        return QStringLiteral("007");
    case CategoryId:
        return qlonglong(3);
    case Released:
        return QVariant(); // a null value reads as empty / 0
    }
    return {};
}

FilterSchema songSchema(int* lowChart = nullptr)
{
    FilterSchema s;
    s.addField(QStringLiteral("MUS:Artist"), Kind::Text, QStringLiteral("Artist"), Artist);
    s.addField(QStringLiteral("MUS:Title"), Kind::Text, QStringLiteral("Title"), Title);
    s.addField(QStringLiteral("MUS:Album"), Kind::Text, QStringLiteral("Album"), Album);
    s.addField(QStringLiteral("MUS:Media"), Kind::Text, QStringLiteral("Media"), Media);
    s.addField(QStringLiteral("MUS:ChartNumber"), Kind::Number, QStringLiteral("ChartNumber"), Chart);
    s.addField(QStringLiteral("MUS:BeatsPerMinute"), Kind::Number, QStringLiteral("BeatsPerMinute"), Bpm);
    s.addField(QStringLiteral("MUS:Time"), Kind::Number, QStringLiteral("Time"), Time);
    s.addField(QStringLiteral("MUS:Side"), Kind::Text, QStringLiteral("Side"), Side);
    s.addField(QStringLiteral("MUS:UserDefinedKeyField"), Kind::Text, QStringLiteral("UDK"), Udk);
    s.addField(QStringLiteral("MUS:CategoryID"), Kind::Number, QStringLiteral("CategoryID"), CategoryId);
    s.addField(QStringLiteral("MUS:ReleaseDate"), Kind::Number, QStringLiteral("ReleaseDate"), Released);
    s.addValue(QStringLiteral("LOC:Media"), Kind::Text, QStringLiteral("cd   "));
    s.addValue(QStringLiteral("CAT:CategoryID"), Kind::Number, 3);
    if (lowChart)
        s.addValue(QStringLiteral("LOC:LowChart"), Kind::Number, [lowChart] { return QVariant(*lowChart); });
    else
        s.addValue(QStringLiteral("LOC:LowChart"), Kind::Number, 10);
    return s;
}

} // namespace

class TestFilter : public QObject {
    Q_OBJECT

private slots:
    void evaluate_data();
    void evaluate();
    void errors_data();
    void errors();
    void emptyFilter_data();
    void emptyFilter();
    void namedValueReadWhenEvaluated();
    void sub_data();
    void sub();
    void instring_data();
    void instring();
    void compareValues_data();
    void compareValues();
    void textOrderSameAsUtf8Order_data();
    void textOrderSameAsUtf8Order();
    void queryCondition_data();
    void queryCondition();
    void queryConditionMatches_data();
    void queryConditionMatches();
    void operatorTexts();
    void joinFilters_data();
    void joinFilters();
};

void TestFilter::evaluate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    // comparisons and trailing blanks
    QTest::newRow("equal ignores trailing blanks") << "MUS:Artist = 'Beatles'" << true;
    QTest::newRow("constant blanks ignored too") << "MUS:Artist = 'Beatles  '" << true;
    QTest::newRow("leading blanks count") << "MUS:Artist = ' Beatles'" << false;
    QTest::newRow("case counts") << "MUS:Artist = 'BEATLES'" << false;
    QTest::newRow("UPPER makes it case-insensitive") << "UPPER(MUS:Artist) = 'BEATLES'" << true;
    QTest::newRow("blank field equals empty text") << "MUS:Album = ''" << true;
    QTest::newRow("not equal") << "MUS:Artist <> 'Abba'" << true;
    QTest::newRow("tilde-equal is not equal") << "MUS:Artist ~= 'Beatles'" << false;
    QTest::newRow("text less") << "MUS:Artist < 'Bee Gees'" << true;
    QTest::newRow("text greater") << "MUS:Artist > 'Abba'" << true;
    QTest::newRow("upper case sorts before lower") << "'Z' < 'a'" << true;
    QTest::newRow("text less or equal") << "MUS:Artist <= 'Beatles'" << true;
    QTest::newRow("text greater or equal fails") << "MUS:Artist >= 'Beatlesz'" << false;
    QTest::newRow("number equal") << "MUS:ChartNumber = 12" << true;
    QTest::newRow("number order is numeric") << "MUS:ChartNumber > 9" << true;
    QTest::newRow("text order is not numeric") << "'12' > '9'" << false;
    QTest::newRow("number less or equal") << "MUS:ChartNumber <= 12" << true;
    QTest::newRow("number greater or equal") << "MUS:ChartNumber >= 12.5" << false;
    QTest::newRow("decimal constant") << "MUS:ChartNumber < 12.01" << true;
    QTest::newRow("negative constant") << "MUS:ChartNumber > -3" << true;
    QTest::newRow("signed constant") << "MUS:ChartNumber = +12" << true;
    QTest::newRow("quote doubled") << "MUS:Title = 'It''s Love'" << true;
    QTest::newRow("null field reads as 0") << "MUS:ReleaseDate = 0" << true;
    // text against number
    QTest::newRow("numeric text equals number") << "MUS:UserDefinedKeyField = 7" << true;
    QTest::newRow("numeric text orders as number") << "MUS:UserDefinedKeyField < 10" << true;
    QTest::newRow("other text does not equal 0") << "MUS:Side = 0" << false;
    QTest::newRow("other text compares as text") << "MUS:Side > 1" << true;
    QTest::newRow("number against numeric text constant") << "MUS:ChartNumber = '12'" << true;
    QTest::newRow("number against blank-padded text") << "MUS:ChartNumber = ' 12 '" << true;
    // logic and precedence
    QTest::newRow("and") << "MUS:ChartNumber = 12 AND MUS:Side = 'A'" << true;
    QTest::newRow("and fails") << "MUS:ChartNumber = 12 AND MUS:Side = 'B'" << false;
    QTest::newRow("or") << "MUS:Side = 'B' OR MUS:Side = 'A'" << true;
    QTest::newRow("and binds tighter than or")
        << "MUS:Side = 'A' OR MUS:Side = 'B' AND MUS:ChartNumber = 0" << true;
    QTest::newRow("parentheses") << "(MUS:Side = 'A' OR MUS:Side = 'B') AND MUS:ChartNumber = 0" << false;
    QTest::newRow("not") << "NOT MUS:Side = 'B'" << true;
    QTest::newRow("tilde is not") << "~ MUS:Side = 'A'" << false;
    QTest::newRow("not binds tighter than and") << "NOT MUS:Side = 'B' AND MUS:ChartNumber = 12" << true;
    QTest::newRow("not not") << "NOT NOT MUS:Side = 'A'" << true;
    QTest::newRow("keywords ignore case") << "mus:side = 'A' and not (Mus:Side = 'B') Or 1 = 0" << true;
    QTest::newRow("bare number is a condition") << "MUS:ChartNumber AND NOT MUS:BeatsPerMinute" << true;
    QTest::newRow("bare text is a condition") << "MUS:Album OR MUS:Artist" << true;
    QTest::newRow("blank text is false") << "MUS:Album" << false;
    QTest::newRow("condition compared as a number") << "(MUS:Side = 'A') = 1" << true;
    // functions
    QTest::newRow("begins with") << "SUB(UPPER(MUS:Artist),1,2) = 'BE'" << true;
    QTest::newRow("contains") << "INSTRING('LOVE', UPPER(MUS:Title), 1, 1) > 0" << true;
    QTest::newRow("contains fails") << "INSTRING('HATE', UPPER(MUS:Title), 1, 1) > 0" << false;
    QTest::newRow("instring position") << "INSTRING('Love', MUS:Title) = 6" << true;
    QTest::newRow("lower") << "LOWER(MUS:Artist) = 'beatles'" << true;
    QTest::newRow("len of a field has no trailing blanks") << "LEN(MUS:Artist) = 7" << true;
    QTest::newRow("len of a constant keeps them") << "LEN('ab  ') = 4" << true;
    QTest::newRow("clip") << "LEN(CLIP('ab  ')) = 2" << true;
    QTest::newRow("sub from the end") << "SUB(MUS:Title, -4, 4) = 'Love'" << true;
    QTest::newRow("function names ignore case") << "len(Upper(mus:artist)) = 7" << true;
    QTest::newRow("upper of a number") << "UPPER(MUS:ChartNumber) = '12'" << true;
    QTest::newRow("len of a number") << "LEN(MUS:Time) = 5" << true;
    QTest::newRow("nested functions") << "SUB(LOWER(SUB(MUS:Title, 6, 4)), 1, 1) = 'l'" << true;
    QTest::newRow("function in comparison with field") << "SUB(MUS:Artist,1,1) = SUB(MUS:Title,7,1)" << false;
    // named values
    QTest::newRow("named value") << "MUS:ChartNumber >= LOC:LowChart" << true;
    QTest::newRow("named text value clipped") << "UPPER(MUS:Media) = UPPER(LOC:Media)" << true;
    QTest::newRow("named value case-insensitive") << "mus:categoryid = cat:categoryid" << true;
    QTest::newRow("named value exact case") << "MUS:Media = LOC:Media" << false;
    // white space
    QTest::newRow("no blanks around operators") << "MUS:ChartNumber=12 AND(MUS:Side='A')" << true;
    QTest::newRow("tabs and newlines") << "MUS:ChartNumber\t=\n12" << true;
}

void TestFilter::evaluate()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QString error;
    const FilterExpr e = FilterExpr::parse(text, songSchema(), &error);
    QVERIFY2(e.isValid(), qPrintable(error));
    QCOMPARE(e.matches(song), expected);
}

void TestFilter::errors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("message");

    QTest::newRow("unknown name") << "MUS:Artist = 'A' AND MUS:Nope = 1" << 22
                                  << "Position 22: unknown name \"MUS:Nope\"";
    QTest::newRow("unknown function")
        << "TRIM(MUS:Artist) = 'A'" << 1 << "Position 1: unknown function \"TRIM\"";
    QTest::newRow("missing close") << "(MUS:Side = 'A'" << 16
                                   << "Position 16: expected \")\" but found the end of the filter";
    QTest::newRow("stray close") << "MUS:Side = 'A')" << 15 << "Position 15: \")\" without a matching \"(\"";
    QTest::newRow("open text") << "MUS:Side = 'A" << 12
                               << "Position 12: the text starting here has no closing quote";
    QTest::newRow("dangling and")
        << "MUS:Side = 'A' AND" << 19
        << "Position 19: expected a value (a field, a number, a text in quotes or a "
           "function) but found the end of the filter";
    QTest::newRow("missing value")
        << "MUS:Side = " << 12
        << "Position 12: expected a value (a field, a number, a text in quotes or a "
           "function) but found the end of the filter";
    QTest::newRow("two values")
        << "MUS:Side 'A'" << 10
        << "Position 10: expected AND, OR or the end of the filter but found the text 'A'";
    QTest::newRow("two comparisons") << "1 < MUS:ChartNumber < 20" << 21
                                     << "Position 21: two comparisons in a row; join them with AND or OR";
    QTest::newRow("bad character") << "MUS:Side = #A" << 12
                                   << "Position 12: the character \"#\" is not allowed here";
    QTest::newRow("double quotes") << "MUS:Side = \"A\"" << 12
                                   << "Position 12: the character \"\"\" is not allowed here";
    QTest::newRow("keyword glued to a number")
        << "MUS:ChartNumber=12AND 1=1" << 17 << "Position 17: \"12A\" is not a number";
    QTest::newRow("number glued to a word")
        << "MUS:ChartNumber = 12abc" << 19 << "Position 19: \"12a\" is not a number";
    QTest::newRow("too few arguments")
        << "SUB(MUS:Artist, 1) = 'B'" << 1 << "Position 1: SUB takes 3 arguments, not 2";
    QTest::newRow("too many arguments")
        << "UPPER(MUS:Artist, 1) = 'B'" << 1 << "Position 1: UPPER takes 1 argument, not 2";
    QTest::newRow("unclosed after last argument")
        << "UPPER(MUS:Artist 'x'" << 18
        << "Position 18: expected \")\" to close UPPER but found the text 'x'";
    QTest::newRow("no arguments") << "LEN() = 0" << 1 << "Position 1: LEN takes 1 argument, not 0";
    QTest::newRow("instring needs two")
        << "INSTRING('A') > 0" << 1 << "Position 1: INSTRING takes 2 to 4 arguments, not 1";
    QTest::newRow("unclosed call")
        << "SUB(MUS:Artist, 1, 2" << 21
        << "Position 21: expected \")\" to close SUB but found the end of the filter";
    QTest::newRow("missing comma") << "SUB(MUS:Artist 1, 2) = 'B'" << 16
                                   << "Position 16: expected \",\" or \")\" in SUB but found \"1\"";
    QTest::newRow("sign without number")
        << "MUS:ChartNumber > -MUS:Time" << 20
        << "Position 20: expected a number after the sign but found \"MUS:Time\"";
    QTest::newRow("empty parentheses")
        << "()" << 2
        << "Position 2: expected a value (a field, a number, a text in quotes or a "
           "function) but found \")\"";
    QTest::newRow("operator first")
        << "= 1" << 1
        << "Position 1: expected a value (a field, a number, a text in quotes or a "
           "function) but found \"=\"";
    QTest::newRow("plus between values")
        << "(MUS:Side = 'A') + 0 = 1" << 18
        << "Position 18: expected AND, OR or the end of the filter but found \"+\"";
    const QString tooDeep
        = QStringLiteral("Position %1: the filter is nested too deeply (at most %2 brackets, "
                         "NOTs and functions inside each other)");
    const int deepest = filter::kMaxNesting;
    QTest::newRow("too deep") << QString(150, QLatin1Char('(')) + "1" + QString(150, QLatin1Char(')'))
                              << deepest + 1 << tooDeep.arg(deepest + 1).arg(deepest);
    QTest::newRow("too many nots") << QString("NOT ").repeated(200) + "1" << 4 * deepest + 1
                                   << tooDeep.arg(4 * deepest + 1).arg(deepest);
    // A function's own bracket is its level; a bracket around an argument is one more.
    QTest::newRow("bracket around an argument")
        << QString("LEN(").repeated(deepest) + "(1" + QString(deepest + 1, ')') << 4 * deepest + 1
        << tooDeep.arg(4 * deepest + 1).arg(deepest);
    QTest::newRow("too many values") << QString("1 AND ").repeated(filter::kMaxValues) + "1"
                                     << 6 * filter::kMaxValues + 1
                                     << QStringLiteral(
                                            "Position %1: the filter is too long (at most %2 values)")
                                            .arg(6 * filter::kMaxValues + 1)
                                            .arg(filter::kMaxValues);
    // A text standing alone as a condition is compared with a blank: two parameters each.
    QTest::newRow("too many fields") << QString("MUS:Title AND ").repeated(filter::kMaxValues) + "MUS:Title"
                                     << 14 * filter::kMaxValues + 1
                                     << QStringLiteral(
                                            "Position %1: the filter is too long (at most %2 values)")
                                            .arg(14 * filter::kMaxValues + 1)
                                            .arg(filter::kMaxValues);
}

void TestFilter::errors()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, message);
    QString error = QStringLiteral("stale");
    int pos = -1;
    bool fieldRead = false;
    const FilterExpr e = FilterExpr::parse(text, songSchema(), &error, &pos);
    QVERIFY(!e.isValid());
    QVERIFY(!e.isEmpty());
    QCOMPARE(error, message);
    QCOMPARE(pos, position);
    // Never partial evaluation: an invalid filter reads no field and keeps no record.
    QVERIFY(!e.matches([&](int f) {
        fieldRead = true;
        return song(f);
    }));
    QVERIFY(!fieldRead);
    const SqlCondition c = e.toSql();
    QCOMPARE(c.sql, QStringLiteral("0"));
    QVERIFY(c.params.isEmpty());
}

void TestFilter::emptyFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "   \t ";
}

void TestFilter::emptyFilter()
{
    QFETCH(QString, text);
    QString error = QStringLiteral("stale");
    const FilterExpr e = FilterExpr::parse(text, songSchema(), &error);
    QVERIFY(e.isValid());
    QVERIFY(e.isEmpty());
    QVERIFY(error.isEmpty());
    QVERIFY(e.matches(song));
    QVERIFY(e.toSql().isEmpty());
    QVERIFY(FilterExpr().matches(song));
}

void TestFilter::namedValueReadWhenEvaluated()
{
    int low = 10;
    const FilterExpr e
        = FilterExpr::parse(QStringLiteral("MUS:ChartNumber >= LOC:LowChart"), songSchema(&low));
    QVERIFY(e.isValid());
    QVERIFY(e.matches(song));
    low = 13;
    QVERIFY(!e.matches(song));
    const SqlCondition c = e.toSql();
    QCOMPARE(c.params, QVariantList({ QVariant(qlonglong(13)) }));
}

void TestFilter::sub_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("length");
    QTest::addColumn<QString>("expected");
    QTest::newRow("start") << "Beatles" << 1.0 << 2.0 << "Be";
    QTest::newRow("middle") << "Beatles" << 3.0 << 3.0 << "atl";
    QTest::newRow("past the end") << "Beatles" << 6.0 << 10.0 << "es";
    QTest::newRow("start past the end") << "Beatles" << 9.0 << 2.0 << "";
    QTest::newRow("from the end") << "Beatles" << -3.0 << 2.0 << "le";
    QTest::newRow("last character") << "Beatles" << -1.0 << 5.0 << "s";
    QTest::newRow("before the start") << "Beatles" << 0.0 << 2.0 << "B";
    QTest::newRow("far before the start") << "Beatles" << -20.0 << 15.0 << "Be";
    QTest::newRow("zero length") << "Beatles" << 1.0 << 0.0 << "";
    QTest::newRow("negative length") << "Beatles" << 1.0 << -2.0 << "";
    QTest::newRow("fraction truncated") << "Beatles" << 2.9 << 2.9 << "ea";
    QTest::newRow("absurd numbers") << "Beatles" << 1e300 << 1e300 << "";
    QTest::newRow("absurd length") << "Beatles" << 2.0 << 1e300 << "eatles";
    QTest::newRow("empty") << "" << 1.0 << 1.0 << "";
}

void TestFilter::sub()
{
    QFETCH(QString, s);
    QFETCH(double, start);
    QFETCH(double, length);
    QFETCH(QString, expected);
    QCOMPARE(filter::sub(s, start, length), expected);
}

void TestFilter::instring_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("s");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("expected");
    QTest::newRow("found") << "DD"
                           << "ABCDDEF" << 1.0 << 1.0 << 4.0;
    QTest::newRow("not found") << "XY"
                               << "ABCDDEF" << 1.0 << 1.0 << 0.0;
    QTest::newRow("case counts") << "dd"
                                 << "ABCDDEF" << 1.0 << 1.0 << 0.0;
    QTest::newRow("start after it") << "DD"
                                    << "ABCDDEF" << 1.0 << 5.0 << 0.0;
    QTest::newRow("start on it") << "DD"
                                 << "ABCDDEF" << 1.0 << 4.0 << 4.0;
    QTest::newRow("steps of three") << "ABC"
                                    << "XYZABCDEF" << 3.0 << 1.0 << 2.0;
    QTest::newRow("steps miss it") << "ABC"
                                   << "XABCDEF" << 3.0 << 1.0 << 0.0;
    QTest::newRow("at the very end") << "EF"
                                     << "ABCDDEF" << 1.0 << 1.0 << 6.0;
    QTest::newRow("longer than text") << "ABCDEFGH"
                                      << "ABC" << 1.0 << 1.0 << 0.0;
    QTest::newRow("empty needle found at start") << ""
                                                 << "ABC" << 1.0 << 2.0 << 2.0;
    QTest::newRow("empty needle past the end") << ""
                                               << "ABC" << 1.0 << 5.0 << 0.0;
    QTest::newRow("zero step counts as one") << "C"
                                             << "ABC" << 0.0 << 1.0 << 3.0;
    QTest::newRow("negative start counts as one") << "A"
                                                  << "ABC" << 1.0 << -4.0 << 1.0;
    QTest::newRow("absurd step") << "A"
                                 << "ABC" << 1e300 << 1.0 << 1.0;
}

void TestFilter::instring()
{
    QFETCH(QString, needle);
    QFETCH(QString, s);
    QFETCH(double, step);
    QFETCH(double, start);
    QFETCH(double, expected);
    QCOMPARE(filter::instring(needle, s, step, start), expected);
}

void TestFilter::compareValues_data()
{
    QTest::addColumn<QVariant>("a");
    QTest::addColumn<QVariant>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("numbers") << QVariant(2.0) << QVariant(10.0) << -1;
    QTest::newRow("texts by code point") << QVariant("b") << QVariant("a") << 1;
    QTest::newRow("texts, trailing blanks") << QVariant("a  ") << QVariant("a") << 0;
    QTest::newRow("texts, prefix first") << QVariant("ab") << QVariant("abc") << -1;
    QTest::newRow("numeric text vs number") << QVariant("10") << QVariant(9.0) << 1;
    QTest::newRow("number vs numeric text") << QVariant(9.0) << QVariant("10") << -1;
    QTest::newRow("decimal text") << QVariant(" 2.50 ") << QVariant(2.5) << 0;
    QTest::newRow("exponent text") << QVariant("1e3") << QVariant(1000.0) << 0;
    QTest::newRow("non-numeric text as text") << QVariant("A") << QVariant(0.0) << 1;
    QTest::newRow("number written as text") << QVariant(5.0) << QVariant("5x") << -1;
    QTest::newRow("group separators are not numbers") << QVariant("1,000") << QVariant(1000.0) << -1;
    QTest::newRow("inf is not a number") << QVariant("inf") << QVariant(0.0) << 1;
    QTest::newRow("empty text vs 0") << QVariant("") << QVariant(0.0) << -1;
}

void TestFilter::compareValues()
{
    QFETCH(QVariant, a);
    QFETCH(QVariant, b);
    QFETCH(int, expected);
    auto value = [](const QVariant& v) {
        return v.typeId() == QMetaType::Double ? Value::fromNumber(v.toDouble())
                                               : Value::fromText(v.toString());
    };
    QCOMPARE(filter::compare(value(a), value(b)), expected);
}

void TestFilter::textOrderSameAsUtf8Order_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::newRow("ascii") << "abc"
                           << "abd";
    QTest::newRow("accent") << QString::fromUtf8("\xC3\x89t\xC3\xA9") << "Ete";
    QTest::newRow("private use vs emoji")
        << QString::fromUtf8("\xEF\xBF\xBD") << QString::fromUtf8("\xF0\x9F\x8E\xB5");
    QTest::newRow("emoji vs ascii") << QString::fromUtf8("\xF0\x9F\x8E\xB5") << "z";
    QTest::newRow("equal with blanks") << "x  "
                                       << "x";
    QTest::newRow("tab is no blank") << "x\t"
                                     << "x";
}

void TestFilter::textOrderSameAsUtf8Order()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    const QByteArray ua = a.toUtf8();
    const QByteArray ub = b.toUtf8();
    QCOMPARE(filter::compareText(a, b),
        filter::compareTextUtf8(ua.constData(), ua.size(), ub.constData(), ub.size()));
    QCOMPARE(filter::compareText(b, a),
        filter::compareTextUtf8(ub.constData(), ub.size(), ua.constData(), ua.size()));
}

void TestFilter::queryCondition_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("number");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("equal text") << "MUS:Artist" << false << 1 << "Beatles  "
                                << "MUS:Artist = 'Beatles'";
    QTest::newRow("not equal") << "MUS:Artist" << false << 2 << "Abba"
                               << "MUS:Artist <> 'Abba'";
    QTest::newRow("greater") << "MUS:ChartNumber" << true << 3 << " 10 "
                             << "MUS:ChartNumber > 10";
    QTest::newRow("less") << "MUS:ChartNumber" << true << 4 << "-2.5"
                          << "MUS:ChartNumber < -2.5";
    QTest::newRow("greater or equal") << "MUS:Time" << true << 5 << "22501"
                                      << "MUS:Time >= 22501";
    QTest::newRow("less or equal") << "MUS:Artist" << false << 6 << "M"
                                   << "MUS:Artist <= 'M'";
    QTest::newRow("begins with") << "MUS:Artist" << false << 7 << "be"
                                 << "SUB(UPPER(MUS:Artist),1,2) = UPPER('be')";
    QTest::newRow("contains") << "MUS:Title" << false << 8 << "love"
                              << "INSTRING(UPPER('love'),UPPER(MUS:Title),1,1) > 0";
    QTest::newRow("checked number") << "MUS:BeatsPerMinute" << true << 9 << ""
                                    << "MUS:BeatsPerMinute <> 0";
    QTest::newRow("not checked number") << "MUS:BeatsPerMinute" << true << 10 << "x"
                                        << "MUS:BeatsPerMinute = 0";
    QTest::newRow("checked text") << "MUS:Album" << false << 9 << ""
                                  << "MUS:Album <> ''";
    QTest::newRow("not checked text") << "MUS:Album" << false << 10 << ""
                                      << "MUS:Album = ''";
    QTest::newRow("quote in value") << "MUS:Title" << false << 1 << "It's"
                                    << "MUS:Title = 'It''s'";
    QTest::newRow("quote in contains") << "MUS:Title" << false << 8 << "t's"
                                       << "INSTRING(UPPER('t''s'),UPPER(MUS:Title),1,1) > 0";
    QTest::newRow("number field, text typed") << "MUS:ChartNumber" << true << 1 << "ten"
                                              << "MUS:ChartNumber = 'ten'";
    QTest::newRow("number field, SQL typed") << "MUS:ChartNumber" << true << 1 << "1 OR 1=1"
                                             << "MUS:ChartNumber = '1 OR 1=1'";
    QTest::newRow("text field keeps digits quoted") << "MUS:Side" << false << 1 << "1"
                                                    << "MUS:Side = '1'";
    QTest::newRow("operator 0") << "MUS:Artist" << false << 0 << "x"
                                << "";
    QTest::newRow("operator 11") << "MUS:Artist" << false << 11 << "x"
                                 << "";
    QTest::newRow("no field") << "" << false << 1 << "x"
                              << "";
}

void TestFilter::queryCondition()
{
    QFETCH(QString, label);
    QFETCH(bool, number);
    QFETCH(int, op);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const QString text = td::queryCondition(label, number ? Kind::Number : Kind::Text, op, value);
    QCOMPARE(text, expected);
    if (!text.isEmpty()) {
        QString error;
        QVERIFY2(FilterExpr::parse(text, songSchema(), &error).isValid(), qPrintable(error));
    }
}

void TestFilter::queryConditionMatches_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("number");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("expected");
    QTest::newRow("equal is exact") << "MUS:Artist" << false << 1 << "beatles" << false;
    QTest::newRow("equal") << "MUS:Artist" << false << 1 << "Beatles" << true;
    QTest::newRow("begins with ignores case") << "MUS:Artist" << false << 7 << "bEa" << true;
    QTest::newRow("begins with, longer than field")
        << "MUS:Artist" << false << 7 << "Beatles and more" << false;
    QTest::newRow("begins with nothing") << "MUS:Artist" << false << 7 << "" << true;
    QTest::newRow("begins with on a number") << "MUS:Time" << true << 7 << "225" << true;
    QTest::newRow("contains ignores case") << "MUS:Title" << false << 8 << "S LOV" << true;
    QTest::newRow("contains with quote") << "MUS:Title" << false << 8 << "it's" << true;
    QTest::newRow("contains nothing") << "MUS:Title" << false << 8 << "" << true;
    QTest::newRow("contains not") << "MUS:Title" << false << 8 << "hate" << false;
    QTest::newRow("greater number") << "MUS:ChartNumber" << true << 3 << "9" << true;
    QTest::newRow("checked") << "MUS:ChartNumber" << true << 9 << "" << true;
    QTest::newRow("bpm not checked") << "MUS:BeatsPerMinute" << true << 10 << "" << true;
    QTest::newRow("blank album not checked") << "MUS:Album" << false << 10 << "" << true;
    QTest::newRow("SQL typed into a number field") << "MUS:ChartNumber" << true << 1 << "12 OR 1=1" << false;
}

void TestFilter::queryConditionMatches()
{
    QFETCH(QString, label);
    QFETCH(bool, number);
    QFETCH(int, op);
    QFETCH(QString, value);
    QFETCH(bool, expected);
    const QString text = td::queryCondition(label, number ? Kind::Number : Kind::Text, op, value);
    QString error;
    const FilterExpr e = FilterExpr::parse(text, songSchema(), &error);
    QVERIFY2(e.isValid(), qPrintable(error));
    QCOMPARE(e.matches(song), expected);
}

void TestFilter::operatorTexts()
{
    QCOMPARE(queryOperatorTexts(),
        QStringList({ "Is Equal To", "Is NOT Equal To", "Is Greater Than", "Is Less Than",
            "Is Greater Than or Equal To", "Is Less Than or Equal To", "Begins With", "Contains",
            "Is Checked", "Is Not Checked" }));
    QCOMPARE(queryOperatorText(0), QString());
    QCOMPARE(queryOperatorText(11), QString());
}

void TestFilter::joinFilters_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("expected");
    QTest::newRow("both") << "MUS:Media = 'CD'"
                          << "MUS:ChartNumber > 0 OR 1 = 1"
                          << "(MUS:Media = 'CD') AND (MUS:ChartNumber > 0 OR 1 = 1)";
    QTest::newRow("tab only") << "MUS:Media = 'CD'"
                              << "  "
                              << "MUS:Media = 'CD'";
    QTest::newRow("search only") << ""
                                 << "1 = 1"
                                 << "1 = 1";
    QTest::newRow("none") << ""
                          << ""
                          << "";
}

void TestFilter::joinFilters()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, expected);
    QCOMPARE(td::joinFilters(a, b), expected);
}

QTEST_GUILESS_MAIN(TestFilter)
#include "tst_filter.moc"

// The query wizard's logic: the field lists handed over by the song lists, the display texts,
// reading typed values, and the expressions built from conditions, checked by evaluating them on a
// song the way the song list's filter does.

#include "ScriptedMessages.h"
#include "core/DayTime.h"
#include "core/FilterExpr.h"
#include "core/Messages.h"
#include "core/SongTime.h"
#include "setup/QueryWizardExpr.h"
#include "setup/QueryWizardFields.h"
#include "setup/QueryWizardTexts.h"

#include <QDate>
#include <QtTest>

using namespace td;

Q_DECLARE_METATYPE(td::QueryCondition)

namespace {

const QLocale kLocale(QLocale::English, QLocale::UnitedStates);

QueryFieldList songFields()
{
    QueryFieldList list;
    AddQueryFields(list, songQueryFieldText(SongQueryList::SongList));
    InitQueryFields(list, QStringLiteral("SONGS"));
    return list;
}

// One song as the list hands it to its filter: texts padded as fixed-width fields are stored.
QVariant songValue(const QString& label)
{
    const QString l = label.toUpper();
    if (l == "MUS:ARTIST")
        return QStringLiteral("Beatles                                 ");
    if (l == "MUS:TITLE")
        return QStringLiteral("It's Love");
    if (l == "MUS:ALBUM")
        return QStringLiteral("Abbey Road");
    if (l == "MUS:MEDIA" || l == "MED:MEDIA")
        return QStringLiteral("CD");
    if (l == "MUS:FILENUMBER")
        return QStringLiteral("F-12");
    if (l == "MUS:RELEASEDATE")
        return dayFromDate(QDate(1969, 9, 26));
    if (l == "MUS:CATEGORYID")
        return 3;
    if (l == "MUS:CHARTNUMBER")
        return 12;
    if (l == "MUS:TRACKNUMBER")
        return 7;
    if (l == "MUS:SIDE")
        return QStringLiteral(" ");
    if (l == "MUS:TIME")
        return 22501; // 3:45
    if (l == "MUS:USERDEFINEDKEYFIELD")
        return QStringLiteral("007");
    if (l == "MUS:BEATSPERMINUTE")
        return 0;
    if (l == "MUS:NOTES")
        return QStringLiteral("a quote ' and AND inside");
    if (l == "MUS:LASTPLAYED")
        return dayFromDate(QDate(1997, 12, 31));
    if (l == "CAT:CATEGORY")
        return QStringLiteral("Pop");
    return QString(); // every other text field is blank
}

// The song list's filter names over the same labels; each field's id is its place in the list.
FilterSchema songSchema(const QueryFieldList& fields)
{
    FilterSchema s;
    for (int i = 0; i < fields.fields.size(); ++i) {
        const QueryField& f = fields.fields.at(i);
        s.addField(f.label, f.filterKind(), f.label.section(':', 1), i);
    }
    return s;
}

bool matchesSong(const QString& expression, const QueryFieldList& fields, QString* error)
{
    const FilterExpr e = FilterExpr::parse(expression, songSchema(fields), error);
    if (!e.isValid())
        return false;
    return e.matches([&fields](int id) { return songValue(fields.fields.at(id).label); });
}

QueryCondition cond(const char* field, int op, const QString& value = {}, QueryJoin join = QueryJoin::And)
{
    return QueryCondition { join, QString::fromLatin1(field), op, value };
}

} // namespace

class TestQueryWizard : public QObject {
    Q_OBJECT

private slots:
    void fieldListLengths_data();
    void fieldListLengths();
    void fieldListContents();
    void fieldListErrors_data();
    void fieldListErrors();
    void initializingErrorMessage();
    void everyTextHandedOver();
    void operatorsForField();
    void conditionOnSong_data();
    void conditionOnSong();
    void invalidValues_data();
    void invalidValues();
    void combining_data();
    void combining();
    void decomposeForeignText_data();
    void decomposeForeignText();
    void describe();
    void timeSearchFindsFormTimes_data();
    void timeSearchFindsFormTimes();
};

void TestQueryWizard::fieldListLengths_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("first");
    QTest::newRow("song list and explorer") << int(SongQueryList::SongList) << 24 << 1071 << "CAT:Category";
    QTest::newRow("DJ list") << int(SongQueryList::DjList) << 23 << 1039 << "CAT:Category";
    QTest::newRow("paper savers") << int(SongQueryList::PaperSaver) << 22 << 1001 << "MUS:Artist";
}

void TestQueryWizard::fieldListLengths()
{
    QFETCH(int, which);
    QFETCH(int, records);
    QFETCH(int, length);
    QFETCH(QString, first);
    const QString text = songQueryFieldText(SongQueryList(which));
    QCOMPARE(text.size(), length);
    QCOMPARE(text.count(kQueryRecordEnd), records);
    QCOMPARE(text.count(kQueryFieldEnd), records * 8);
    QVERIFY(text.endsWith(kQueryRecordEnd));

    QueryFieldList list;
    QCOMPARE(AddQueryFields(list, text), 0);
    QCOMPARE(list.fields.size(), records);
    QCOMPARE(list.fields.first().label, first);
    QCOMPARE(list.fields.last().label, QStringLiteral("MUS:Notes"));
    // Written back, the list gives the same text.
    QCOMPARE(queryFieldText(list.fields), text);
}

void TestQueryWizard::fieldListContents()
{
    const QueryFieldList list = songFields();
    QStringList titles;
    for (const QueryField& f : list.fields)
        titles << f.title;
    QCOMPARE(titles,
        QStringList({ "Category", "Media", "Artist", "Title", "Album", "Media", "File Number", "Release",
            "Category (Unique ID)", "Chart", "Track", "Side / Disc", "Time", "User Defined Key Field",
            "Addition Information (1)", "Addition Information (2)", "Addition Information (3)",
            "Beats Per Minute (BPM)", "Style", "Recording Information", "Composer", "Performance Notes",
            "Date Last Played", "Notes" }));

    const QueryField* side = list.find(QStringLiteral("mus:side"));
    QVERIFY(side);
    QVERIFY(side->isChoice());
    QCOMPARE(side->choices, QStringList({ " (N/A)", "A", "B", "1", "2" }));
    // Side is the only choice field.
    int choices = 0;
    for (const QueryField& f : list.fields)
        choices += f.isChoice() ? 1 : 0;
    QCOMPARE(choices, 1);

    const QueryField* notes = list.find(QStringLiteral("MUS:Notes"));
    QCOMPARE(notes->picture, QStringLiteral("@s255"));
    QCOMPARE(notes->length, 2000);
    QVERIFY(!notes->isNumber());
    const QueryField* released = list.find(QStringLiteral("MUS:ReleaseDate"));
    QVERIFY(released->isDate());
    QCOMPARE(released->length, 4);
    QVERIFY(list.find(QStringLiteral("MUS:LastPlayed"))->isDate());
    QVERIFY(list.find(QStringLiteral("MUS:Time"))->isTime());
    QVERIFY(list.find(QStringLiteral("MUS:BeatsPerMinute"))->isNumber());
    QVERIFY(!list.find(QStringLiteral("MUS:BeatsPerMinute"))->isDate());
    QCOMPARE(list.find(QStringLiteral("MUS:CategoryID"))->picture, QStringLiteral("@n-13"));
    QCOMPARE(list.group, QStringLiteral("SONGS"));
    QVERIFY(list.initialized);
}

void TestQueryWizard::fieldListErrors_data()
{
    const QString f(kQueryFieldEnd);
    const QString r(kQueryRecordEnd);
    const auto record = [&](const QStringList& parts) {
        QString s;
        for (const QString& p : parts)
            s += p + f;
        return s + r;
    };
    const QString good = record({ "Artist", "0", "MUS:Artist", "@s40", "40", "1", "1", "" });

    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("error");
    QTest::newRow("good") << good << 0;
    QTest::newRow("empty") << QString() << 1;
    QTest::newRow("seven fields") << record({ "Artist", "0", "MUS:Artist", "@s40", "40", "1", "1" }) << 2;
    QTest::newRow("field not ended") << QString(
        "Artist" + f + "0" + f + "MUS:Artist" + f + "@s40" + f + "40" + f + "1" + f + "1" + f + "x" + r)
                                     << 2;
    QTest::newRow("no display label") << record({ " ", "0", "MUS:Artist", "@s40", "40", "1", "1", "" }) << 3;
    QTest::newRow("no field label") << record({ "Artist", "0", "", "@s40", "40", "1", "1", "" }) << 3;
    QTest::newRow("length not a number")
        << record({ "Artist", "0", "MUS:Artist", "@s40", "forty", "1", "1", "" }) << 4;
    QTest::newRow("zero length") << record({ "Artist", "0", "MUS:Artist", "@s40", "0", "1", "1", "" }) << 4;
    QTest::newRow("kind 3") << record({ "Artist", "0", "MUS:Artist", "@s40", "40", "3", "1", "" }) << 4;
    QTest::newRow("mode 2") << record({ "Artist", "0", "MUS:Artist", "@s40", "40", "1", "2", "" }) << 4;
    QTest::newRow("choice without choices")
        << record({ "Side", "0", "MUS:Side", "@s1", "1", "1", "3", "" }) << 5;
    QTest::newRow("same field twice")
        << good + record({ "Artist 2", "0", "mus:artist", "@s40", "40", "1", "1", "" }) << 6;
    QTest::newRow("text after the last record") << good + "Title" << 7;
}

void TestQueryWizard::fieldListErrors()
{
    QFETCH(QString, text);
    QFETCH(int, error);
    QueryFieldList list;
    QCOMPARE(AddQueryFields(list, text), error);
    // A refused text leaves the list as it was.
    QCOMPARE(list.fields.size(), error == 0 ? 1 : 0);
}

void TestQueryWizard::initializingErrorMessage()
{
    Messages messages;
    auto script = test::installScripted(messages);
    QueryFieldList list;
    QCOMPARE(prepareQueryFields(messages, list, QStringLiteral("junk"), QStringLiteral("SONGS")), 7);
    QCOMPARE(script->asked().size(), 1);
    QCOMPARE(script->asked().first().caption, QStringLiteral("Query Wizard Error# 7"));
    QCOMPARE(script->asked().first().text,
        QStringLiteral("An error has prevented the Query Wizard from initializing."));
    QVERIFY(list.isEmpty());
    QVERIFY(!list.initialized);

    script->clear();
    QCOMPARE(prepareQueryFields(messages, list, songQueryFieldText(SongQueryList::DjList), "SONGS"), 0);
    QVERIFY(script->asked().isEmpty());
    QCOMPARE(list.fields.size(), 23);
    QCOMPARE(list.group, QStringLiteral("SONGS"));
}

void TestQueryWizard::everyTextHandedOver()
{
    QueryWizardTexts texts;
    setUpQueryWizard(texts);
    const QList<QPair<int, int>> ranges = { { 1, 10 }, { 31, 42 }, { 71, 80 }, { 100, 127 }, { 151, 171 },
        { 200, 221 }, { 230, 244 }, { 300, 305 } };
    int expected = 0;
    for (const auto& r : ranges) {
        for (int n = r.first; n <= r.second; ++n) {
            QVERIFY2(texts.contains(n), qPrintable(QString::number(n)));
            const bool empty = n == 100 || n == 200 || n == 230;
            QVERIFY2(texts.text(n).isEmpty() == empty, qPrintable(QString::number(n)));
        }
        expected += r.second - r.first + 1;
    }
    QCOMPARE(texts.count(), expected);

    QCOMPARE(texts.text(1), QStringLiteral("Is Equal To"));
    QCOMPARE(texts.text(2), QStringLiteral("Is NOT Equal To"));
    QCOMPARE(texts.text(10), QStringLiteral("Is Not Checked"));
    QCOMPARE(texts.text(31), QStringLiteral("ErrorLoadingQuery"));
    QCOMPARE(texts.text(34),
        QStringLiteral(
            "The query you have designed is invalid.|Please review your query and correct the problem."));
    QCOMPARE(texts.text(40), QStringLiteral("Sorry, this is a restricted query and may not be modified."));
    QCOMPARE(texts.text(42), QStringLiteral("Would you like to save this query?"));
    for (int n : { 38, 221 }) {
        QCOMPARE(texts.text(n).split('|').size(), 6);
        QVERIFY(texts.text(n).startsWith(QStringLiteral("This query is no longer valid because fields|")));
    }
    QVERIFY(texts.text(38).endsWith(QStringLiteral("|necessary corrections to fix this query.")));
    QVERIFY(texts.text(221).endsWith(
        QStringLiteral("|You must edit the query and fix the problems|before it can be used.")));
    QCOMPARE(texts.text(220), QStringLiteral("Query No Longer Valid"));
    const int sizes[] = { 10, 10, 8, 8, 12 };
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(texts.text(71 + 2 * i), QStringLiteral("MS Sans Serif"));
        QCOMPARE(texts.text(72 + 2 * i), QString::number(sizes[i]));
    }
    for (int n : { 218, 243 }) {
        QCOMPARE(texts.text(n), QStringLiteral("MS Sans Serif"));
        QCOMPARE(texts.text(n + 1), QStringLiteral("8"));
    }
    QCOMPARE(texts.text(170), QStringLiteral("2"));
    QCOMPARE(texts.text(171), QStringLiteral("Query Wizard"));
    QCOMPARE(texts.text(201), QStringLiteral("Saved Queries"));
    QCOMPARE(texts.text(231), QStringLiteral("Query Description:"));
    QCOMPARE(texts.text(232), QStringLiteral("Cancel Save"));
    QCOMPARE(texts.text(233), QStringLiteral("Save Query"));
    QCOMPARE(texts.text(234), QStringLiteral("OK"));
    QCOMPARE(texts.text(301), QStringLiteral("Converting Data File Structure  -- Please Wait..."));
    QCOMPARE(texts.text(302), QStringLiteral("All Records"));
    QCOMPARE(texts.text(303), QStringLiteral("Custom Query..."));

    // A later hand-over replaces the text.
    SetQueryWizardText(texts, 171, QStringLiteral("Search"));
    QCOMPARE(texts.text(171), QStringLiteral("Search"));
}

void TestQueryWizard::operatorsForField()
{
    const QueryFieldList list = songFields();
    const QList<int> all = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 };
    const QList<int> dated = { 1, 2, 3, 4, 5, 6, 9, 10 };
    QCOMPARE(queryOperatorsFor(*list.find("MUS:Artist")), all);
    QCOMPARE(queryOperatorsFor(*list.find("MUS:ChartNumber")), all);
    QCOMPARE(queryOperatorsFor(*list.find("MUS:Side")), all);
    QCOMPARE(queryOperatorsFor(*list.find("MUS:ReleaseDate")), dated);
    QCOMPARE(queryOperatorsFor(*list.find("MUS:LastPlayed")), dated);
    QCOMPARE(queryOperatorsFor(*list.find("MUS:Time")), dated);
}

void TestQueryWizard::conditionOnSong_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("matches");

    const QString lastPlayed = queryValueExample(*songFields().find("MUS:LastPlayed"), kLocale);

    QTest::newRow("text equal") << "MUS:Artist" << 1 << "Beatles" << true;
    QTest::newRow("text equal ignores trailing blanks") << "MUS:Artist" << 1 << "Beatles   " << true;
    QTest::newRow("text equal counts letter case") << "MUS:Artist" << 1 << "beatles" << false;
    QTest::newRow("text not equal") << "MUS:Artist" << 2 << "Stones" << true;
    QTest::newRow("text greater") << "MUS:Artist" << 3 << "Abba" << true;
    QTest::newRow("text less") << "MUS:Artist" << 4 << "Abba" << false;
    QTest::newRow("text greater or equal") << "MUS:Artist" << 5 << "Beatles" << true;
    QTest::newRow("text less or equal") << "MUS:Artist" << 6 << "Beatles" << true;
    QTest::newRow("begins with ignores case") << "MUS:Artist" << 7 << "be" << true;
    QTest::newRow("begins with, not inside") << "MUS:Artist" << 7 << "eat" << false;
    QTest::newRow("contains ignores case") << "MUS:Artist" << 8 << "EAT" << true;
    QTest::newRow("contains, absent") << "MUS:Artist" << 8 << "xyz" << false;
    QTest::newRow("contains a quote") << "MUS:Title" << 8 << "'s l" << true;
    QTest::newRow("contains the word AND") << "MUS:Notes" << 8 << "' and and" << true;
    QTest::newRow("text checked") << "MUS:Artist" << 9 << "" << true;
    QTest::newRow("text not checked") << "MUS:Artist" << 10 << "" << false;
    QTest::newRow("blank text not checked") << "MUS:Style" << 10 << "" << true;
    QTest::newRow("blank text checked") << "MUS:Style" << 9 << "" << false;
    QTest::newRow("category name") << "CAT:Category" << 7 << "p" << true;
    QTest::newRow("media name") << "MED:Media" << 1 << "CD" << true;
    QTest::newRow("date equal") << "MUS:ReleaseDate" << 1 << "09/26/1969" << true;
    QTest::newRow("date greater") << "MUS:ReleaseDate" << 3 << "01/01/1970" << false;
    QTest::newRow("date less") << "MUS:ReleaseDate" << 4 << "01/01/1970" << true;
    QTest::newRow("date greater or equal") << "MUS:ReleaseDate" << 5 << "09/26/1969" << true;
    QTest::newRow("date less or equal") << "MUS:ReleaseDate" << 6 << "09/25/1969" << false;
    QTest::newRow("date not equal") << "MUS:ReleaseDate" << 2 << "09/26/1969" << false;
    QTest::newRow("date checked") << "MUS:ReleaseDate" << 9 << "" << true;
    QTest::newRow("blank date is no date") << "MUS:ReleaseDate" << 1 << "" << false;
    QTest::newRow("system short date") << "MUS:LastPlayed" << 1 << lastPlayed << true;
    QTest::newRow("time equal") << "MUS:Time" << 1 << "0:03:45" << true;
    // Typed as in the song form: past two hours it is minutes and seconds.
    QTest::newRow("time typed as minutes") << "MUS:Time" << 1 << "3:45" << true;
    QTest::newRow("time greater, typed as minutes") << "MUS:Time" << 3 << "3:00" << true;
    QTest::newRow("time less, typed as minutes") << "MUS:Time" << 4 << "3:46" << true;
    QTest::newRow("time up to two hours stays") << "MUS:Time" << 1 << "1:45:00" << false;
    QTest::newRow("time greater") << "MUS:Time" << 3 << "0:03:00" << true;
    QTest::newRow("time less") << "MUS:Time" << 4 << "0:03:00" << false;
    QTest::newRow("number greater or equal") << "MUS:ChartNumber" << 5 << "12" << true;
    QTest::newRow("number greater") << "MUS:ChartNumber" << 3 << "12" << false;
    QTest::newRow("number less") << "MUS:TrackNumber" << 4 << "10" << true;
    QTest::newRow("number begins with") << "MUS:ChartNumber" << 7 << "1" << true;
    QTest::newRow("number contains") << "MUS:ChartNumber" << 8 << "2" << true;
    QTest::newRow("zero not checked") << "MUS:BeatsPerMinute" << 10 << "" << true;
    QTest::newRow("zero checked") << "MUS:BeatsPerMinute" << 9 << "" << false;
    QTest::newRow("number blank is zero") << "MUS:BeatsPerMinute" << 1 << "" << true;
    QTest::newRow("category id") << "MUS:CategoryID" << 1 << "3" << true;
    QTest::newRow("side not applicable") << "MUS:Side" << 1 << " (N/A)" << true;
    QTest::newRow("side A") << "MUS:Side" << 1 << "A" << false;
    QTest::newRow("side not A") << "MUS:Side" << 2 << "A" << true;
}

void TestQueryWizard::conditionOnSong()
{
    QFETCH(QString, field);
    QFETCH(int, op);
    QFETCH(QString, typed);
    QFETCH(bool, matches);
    const QueryFieldList list = songFields();
    const QueryField* f = list.find(field);
    QVERIFY(f);
    const QueryValue v = readQueryValue(*f, op, typed, kLocale);
    QVERIFY2(v.ok, qPrintable(QString::number(v.errorText)));
    const QList<QueryCondition> conditions = { QueryCondition { QueryJoin::And, field, op, v.value } };
    const QString expression = buildQueryExpression(conditions, list);
    QVERIFY(!expression.isEmpty());
    QString error;
    QCOMPARE(matchesSong(expression, list, &error), matches);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    // The expression reads back into conditions that build it again, and the value shows as typed.
    const auto back = decomposeQueryExpression(expression, list);
    QVERIFY(back.has_value());
    QCOMPARE(back->size(), 1);
    QCOMPARE(buildQueryExpression(*back, list), expression);
    if (f->isDate() && !typed.isEmpty())
        QCOMPARE(displayQueryValue(*f, v.value, kLocale), typed);
    // A reopened query holds the value as it was read, letter case included, and what it shows
    // reads back to that value.
    if (back->at(0).op != op)
        return; // a blank value reads back as Is (Not) Checked
    QCOMPARE(back->at(0).value, v.value);
    if (queryOperatorNeedsValue(op))
        QCOMPARE(readQueryValue(*f, op, displayQueryValue(*f, back->at(0).value, kLocale), kLocale).value,
            v.value);
}

void TestQueryWizard::invalidValues_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("errorText");
    QTest::newRow("no 30 February") << "MUS:ReleaseDate" << 1 << "02/30/1997" << int(qwt::InvalidDateText);
    QTest::newRow("date of words") << "MUS:ReleaseDate" << 3 << "last year" << int(qwt::InvalidDateText);
    QTest::newRow("time past the hour") << "MUS:Time" << 1 << "99:99:99" << int(qwt::InvalidTimeText);
    QTest::newRow("number of letters") << "MUS:ChartNumber" << 1 << "ten" << int(qwt::InvalidNumberText);
    QTest::newRow("negative chart") << "MUS:ChartNumber" << 4 << "-1" << int(qwt::InvalidNumberText);
    QTest::newRow("chart too wide") << "MUS:ChartNumber" << 4 << "12345" << int(qwt::InvalidNumberText);
    QTest::newRow("begins with on a date") << "MUS:ReleaseDate" << 7 << "19" << int(qwt::NotForDatesText);
    QTest::newRow("contains on a time") << "MUS:Time" << 8 << "3" << int(qwt::NotForDatesText);
}

void TestQueryWizard::invalidValues()
{
    QFETCH(QString, field);
    QFETCH(int, op);
    QFETCH(QString, typed);
    QFETCH(int, errorText);
    const QueryFieldList list = songFields();
    const QueryValue v = readQueryValue(*list.find(field), op, typed, kLocale);
    QVERIFY(!v.ok);
    QCOMPARE(v.errorText, errorText);
}

void TestQueryWizard::combining_data()
{
    QTest::addColumn<QList<QueryCondition>>("conditions");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("matches");

    const auto beatles = cond("MUS:Artist", 1, "Beatles");
    const auto stones = cond("MUS:Artist", 1, "Stones");
    const auto chartAbove20 = cond("MUS:ChartNumber", 3, "20");
    const auto loveOr = cond("MUS:Title", 8, "Love", QueryJoin::Or);

    QTest::newRow("none") << QList<QueryCondition>() << QString() << true;
    QTest::newRow("one") << QList<QueryCondition> { beatles } << "MUS:Artist = 'Beatles'" << true;
    QTest::newRow("first join ignored")
        << QList<QueryCondition> { cond("MUS:Artist", 1, "Beatles", QueryJoin::Or) }
        << "MUS:Artist = 'Beatles'" << true;
    QTest::newRow("and") << QList<QueryCondition> { beatles, chartAbove20 }
                         << "MUS:Artist = 'Beatles' AND MUS:ChartNumber > 20" << false;
    QTest::newRow("and, then or") << QList<QueryCondition> { beatles, chartAbove20, loveOr }
                                  << "(MUS:Artist = 'Beatles' AND MUS:ChartNumber > 20) OR "
                                     "INSTRING(UPPER('Love'),UPPER(MUS:Title),1,1) > 0"
                                  << true;
    QTest::newRow("or, then and") << QList<QueryCondition> { stones,
        cond("MUS:Artist", 1, "Beatles", QueryJoin::Or),
        chartAbove20 } << "MUS:Artist = 'Stones' OR (MUS:Artist = 'Beatles' AND MUS:ChartNumber > 20)"
                                  << false;
    QTest::newRow("or, or")
        << QList<QueryCondition> { stones, cond("MUS:Artist", 7, "be", QueryJoin::Or),
               cond("MUS:Side", 1, "A", QueryJoin::Or) }
        << "MUS:Artist = 'Stones' OR SUB(UPPER(MUS:Artist),1,2) = UPPER('be') OR MUS:Side = 'A'" << true;
    QTest::newRow("a value holding OR and parentheses")
        << QList<QueryCondition> { cond("MUS:Title", 1, "a) OR (b"), cond("MUS:Album", 9, {}, QueryJoin::Or) }
        << "MUS:Title = 'a) OR (b' OR MUS:Album <> ''" << true;
}

void TestQueryWizard::combining()
{
    QFETCH(QList<QueryCondition>, conditions);
    QFETCH(QString, expression);
    QFETCH(bool, matches);
    const QueryFieldList list = songFields();
    bool ok = false;
    QCOMPARE(buildQueryExpression(conditions, list, &ok), expression);
    QVERIFY(ok);
    QString error;
    if (!expression.isEmpty())
        QCOMPARE(matchesSong(expression, list, &error), matches);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    // Read back: the same conditions, the first one's join aside.
    const auto back = decomposeQueryExpression(expression, list);
    QVERIFY(back.has_value());
    QCOMPARE(back->size(), conditions.size());
    for (qsizetype i = 0; i < conditions.size(); ++i) {
        QueryCondition want = conditions[i];
        if (i == 0)
            want.join = QueryJoin::And;
        QCOMPARE(back->at(i).field, want.field);
        QCOMPARE(back->at(i).join, want.join);
        QCOMPARE(back->at(i).value, want.value);
    }
}

void TestQueryWizard::decomposeForeignText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("conditions"); // -1: not taken apart
    QTest::newRow("blank") << "   " << 0;
    QTest::newRow("groups without parentheses")
        << "MUS:Artist = 'a' AND MUS:Title = 'b' OR MUS:Style = 'c'" << 3;
    QTest::newRow("other spacing") << "MUS:Artist='Beatles'  and  mus:title<>'x'" << 2;
    QTest::newRow("function of our own making") << "UPPER(MUS:Artist) = 'X'" << -1;
    QTest::newRow("nested or") << "MUS:Artist = 'a' AND (MUS:Title = 'a' OR MUS:Title = 'b')" << -1;
    QTest::newRow("not") << "NOT MUS:Artist = 'a'" << -1;
    QTest::newRow("unknown field") << "MUS:Rating = 1" << -1;
    QTest::newRow("field of another list") << "ALB:Album = 'x'" << -1;
    QTest::newRow("unended text") << "MUS:Artist = 'a" << -1;
    QTest::newRow("begins with of the wrong length") << "SUB(UPPER(MUS:Artist),1,3) = 'BE'" << -1;
    QTest::newRow("begins with in lower case") << "SUB(UPPER(MUS:Artist),1,2) = 'be'" << -1;
    // Saved before values were kept as typed: still taken apart, the value upper-cased.
    QTest::newRow("begins with, saved upper-cased") << "SUB(UPPER(MUS:Artist),1,2) = 'BE'" << 1;
    QTest::newRow("contains, saved upper-cased") << "INSTRING('LOVE',UPPER(MUS:Title),1,1) > 0" << 1;
    QTest::newRow("begins with, wrong length for the typed value")
        << "SUB(UPPER(MUS:Artist),1,3) = UPPER('be')" << -1;
    QTest::newRow("dangling or") << "MUS:Artist = 'a' OR" << -1;
    QTest::newRow("doubled parentheses") << "((MUS:Artist = 'a'))" << -1;
    QTest::newRow("two fields compared") << "MUS:Artist = MUS:Title" << -1;
    QTest::newRow("negative number") << "MUS:CategoryID > -5" << 1;
}

void TestQueryWizard::decomposeForeignText()
{
    QFETCH(QString, text);
    QFETCH(int, conditions);
    const auto back = decomposeQueryExpression(text, songFields());
    QCOMPARE(back.has_value(), conditions >= 0);
    if (back)
        QCOMPARE(back->size(), conditions);
}

void TestQueryWizard::describe()
{
    QueryWizardTexts texts;
    setUpQueryWizard(texts);
    const QueryFieldList list = songFields();
    QCOMPARE(describeCondition(list, cond("MUS:Artist", 7, "BE"), true, texts, kLocale),
        QStringLiteral("Artist Begins With \"BE\""));
    QCOMPARE(
        describeCondition(list, cond("MUS:ReleaseDate", 5, QString::number(dayFromDate(QDate(1997, 2, 3)))),
            false, texts, kLocale),
        QStringLiteral("AND Release Is Greater Than or Equal To \"02/03/1997\""));
    QCOMPARE(describeCondition(list, cond("MUS:Side", 1, "", QueryJoin::Or), false, texts, kLocale),
        QStringLiteral("OR Side / Disc Is Equal To \" (N/A)\""));
    QCOMPARE(describeCondition(list, cond("MUS:Time", 3, "22501"), true, texts, kLocale),
        QStringLiteral("Time Is Greater Than \"00:03:45\""));
    QCOMPARE(describeCondition(list, cond("MUS:Style", 9), true, texts, kLocale),
        QStringLiteral("Style Is Checked"));
}

void TestQueryWizard::timeSearchFindsFormTimes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("op");
    QTest::addColumn<QList<int>>("found"); // indexes into the songs' times below
    QTest::newRow("3:00 is equal to") << "3:00" << 1 << QList<int> { 0 };
    QTest::newRow("3:45 is equal to") << "3:45" << 1 << QList<int> { 1 };
    QTest::newRow("greater than 3:00") << "3:00" << 3 << QList<int> { 1, 2 };
    QTest::newRow("less than or equal to 3:45") << "3:45" << 6 << QList<int> { 0, 1 };
    QTest::newRow("hours written out") << "1:45:00" << 1 << QList<int> { 2 };
    QTest::newRow("as the list shows it") << "00:03:45" << 1 << QList<int> { 1 };
}

// A time typed in the wizard means what the same typing stores in the song form, so a search
// finds the songs entered that way.
void TestQueryWizard::timeSearchFindsFormTimes()
{
    QFETCH(QString, typed);
    QFETCH(int, op);
    QFETCH(QList<int>, found);
    const QList<std::optional<int>> songs
        = { songTimeFromText("3:00"), songTimeFromText("3:45"), songTimeFromText("1:45:00") };
    QCOMPARE(songs, (QList<std::optional<int>> { 18001, 22501, 630001 }));
    const QueryFieldList list = songFields();
    const QueryField* time = list.find("MUS:Time");
    const QueryValue v = readQueryValue(*time, op, typed, kLocale);
    QVERIFY(v.ok);
    QCOMPARE(v.value, QString::number(*songTimeFromText(typed, time->picture, kLocale)));
    const QString expression
        = buildQueryExpression({ QueryCondition { QueryJoin::And, "MUS:Time", op, v.value } }, list);
    const FilterExpr e = FilterExpr::parse(expression, songSchema(list));
    QVERIFY(e.isValid());
    QList<int> hits;
    for (int i = 0; i < songs.size(); ++i) {
        if (e.matches([&](int id) {
                return list.fields.at(id).label == "MUS:Time" ? QVariant(*songs[i]) : QVariant();
            }))
            hits << i;
    }
    QCOMPARE(hits, found);
}

QTEST_GUILESS_MAIN(TestQueryWizard)
#include "tst_querywizard.moc"

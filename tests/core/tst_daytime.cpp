#include "core/DayTime.h"

#include <QTest>

using namespace td;

class TestDayTime : public QObject {
    Q_OBJECT
private slots:
    void days_data();
    void days();
    void dayBoundaries_data();
    void dayBoundaries();
    void invalidDates_data();
    void invalidDates();
    void today();
    void yearOfDateValue_data();
    void yearOfDateValue();
    void timeParts_data();
    void timeParts();
    void absurdTimes_data();
    void absurdTimes();
    void seconds_data();
    void seconds();
    void addTimes_data();
    void addTimes();
};

void TestDayTime::days_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("value");
    QTest::newRow("1 January 1801 is day 4") << 1801 << 1 << 1 << 4;
    QTest::newRow("1900 not leap: 28 Feb") << 1900 << 2 << 28 << 36221;
    QTest::newRow("1900 not leap: 1 Mar follows") << 1900 << 3 << 1 << 36222;
    QTest::newRow("2000 leap: 29 Feb") << 2000 << 2 << 29 << 72746;
    QTest::newRow("2000 leap: 1 Mar") << 2000 << 3 << 1 << 72747;
    QTest::newRow("31 December 1997") << 1997 << 12 << 31 << 71956;
    QTest::newRow("31 October 1959") << 1959 << 10 << 31 << 58015;
    QTest::newRow("last date") << 9999 << 12 << 31 << 2994626;
}

void TestDayTime::days()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, value);
    QCOMPARE(dayFromYmd(year, month, day), value);
    QCOMPARE(dayFromDate(QDate(year, month, day)), value);
    QCOMPARE(dateFromDay(value), QDate(year, month, day));
    QCOMPARE(yearOfDay(value), year);
    QCOMPARE(monthOfDay(value), month);
    QCOMPARE(dayOfMonth(value), day);
}

void TestDayTime::dayBoundaries_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QDate>("date");
    QTest::newRow("day 0 is no date") << 0 << QDate();
    QTest::newRow("day 1") << 1 << QDate(1800, 12, 29);
    QTest::newRow("day 3") << 3 << QDate(1800, 12, 31);
    QTest::newRow("day 4") << 4 << QDate(1801, 1, 1);
    QTest::newRow("negative") << -1 << QDate();
    QTest::newRow("lowest int") << int(0x80000000) << QDate();
    QTest::newRow("past the last date") << 2994627 << QDate();
    QTest::newRow("highest int") << 0x7fffffff << QDate();
}

void TestDayTime::dayBoundaries()
{
    QFETCH(int, value);
    QFETCH(QDate, date);
    QCOMPARE(dateFromDay(value), date);
    if (!date.isValid()) {
        QCOMPARE(yearOfDay(value), 0);
        QCOMPARE(monthOfDay(value), 0);
        QCOMPARE(dayOfMonth(value), 0);
    }
}

void TestDayTime::invalidDates_data()
{
    QTest::addColumn<QDate>("date");
    QTest::newRow("invalid QDate") << QDate();
    QTest::newRow("28 December 1800 (day 0)") << QDate(1800, 12, 28);
    QTest::newRow("long before") << QDate(1500, 6, 1);
    QTest::newRow("year 10000") << QDate(10000, 1, 1);
}

void TestDayTime::invalidDates()
{
    QFETCH(QDate, date);
    QCOMPARE(dayFromDate(date), NoDate);
    QCOMPARE(dayFromYmd(1900, 2, 29), NoDate);
    QCOMPARE(dayFromYmd(1997, 2, 30), NoDate);
    QCOMPARE(dayFromYmd(1997, 13, 1), NoDate);
    QCOMPARE(dayFromYmd(1997, 0, 1), NoDate);
}

void TestDayTime::today()
{
    const int before = dayFromDate(QDate::currentDate());
    const int t = td::today();
    const int after = dayFromDate(QDate::currentDate());
    QVERIFY(t >= before && t <= after);
    QVERIFY(t > MaxYearOnly);
}

void TestDayTime::yearOfDateValue_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("year");
    QTest::newRow("no date") << 0 << 0;
    QTest::newRow("plain year") << 1997 << 1997;
    QTest::newRow("largest plain year") << 3000 << 3000;
    QTest::newRow("first full date") << 3001 << 1809;
    QTest::newRow("full date") << 71956 << 1997;
    QTest::newRow("negative") << -7 << 0;
    QTest::newRow("absurd") << 0x7fffffff << 0;
}

void TestDayTime::yearOfDateValue()
{
    QFETCH(int, value);
    QFETCH(int, year);
    QCOMPARE(td::yearOfDateValue(value), year);
}

void TestDayTime::timeParts_data()
{
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("cs");
    QTest::addColumn<int>("value");
    QTest::newRow("midnight") << 0 << 0 << 0 << 0 << 1;
    QTest::newRow("3 min 45 s") << 0 << 3 << 45 << 0 << 22501;
    QTest::newRow("hundredths") << 0 << 0 << 1 << 99 << 200;
    QTest::newRow("one day less a hundredth") << 23 << 59 << 59 << 99 << HundredthsPerDay;
    QTest::newRow("26 hours (album total)") << 26 << 0 << 0 << 0 << 9360001;
    QTest::newRow("largest") << 5965 << 13 << 56 << 46 << MaxTime;
}

void TestDayTime::timeParts()
{
    QFETCH(int, h);
    QFETCH(int, m);
    QFETCH(int, s);
    QFETCH(int, cs);
    QFETCH(int, value);
    QCOMPARE(timeFromParts(h, m, s, cs), value);
    int h2 = -1, m2 = -1, s2 = -1, cs2 = -1;
    td::timeParts(value, h2, m2, s2, cs2);
    QCOMPARE(h2, h);
    QCOMPARE(m2, m);
    QCOMPARE(s2, s);
    QCOMPARE(cs2, cs);
}

void TestDayTime::absurdTimes_data()
{
    QTest::addColumn<qint64>("h");
    QTest::addColumn<qint64>("m");
    QTest::addColumn<qint64>("s");
    QTest::addColumn<int>("value");
    QTest::newRow("minutes carried") << qint64(0) << qint64(90) << qint64(0) << 540001;
    QTest::newRow("negative hours") << qint64(-1) << qint64(0) << qint64(0) << 0;
    QTest::newRow("negative seconds") << qint64(0) << qint64(3) << qint64(-45) << 0;
    QTest::newRow("too many hours") << qint64(5966) << qint64(0) << qint64(0) << 0;
    QTest::newRow("one hour") << qint64(1) << qint64(0) << qint64(0) << 360001;
    QTest::newRow("one past the largest") << qint64(5965) << qint64(13) << qint64(56 + 1) << 0;
    QTest::newRow("int64 hours") << qint64(0x7fffffffffffffffLL) << qint64(0) << qint64(0) << 0;
    QTest::newRow("int64 seconds") << qint64(0) << qint64(0) << qint64(0x7fffffffffffffffLL) << 0;
}

void TestDayTime::absurdTimes()
{
    QFETCH(qint64, h);
    QFETCH(qint64, m);
    QFETCH(qint64, s);
    QFETCH(int, value);
    QCOMPARE(timeFromParts(h, m, s), value);
    int hh = -1, mm = -1, ss = -1, cs = -1;
    td::timeParts(-5, hh, mm, ss, cs);
    QCOMPARE(hh + mm + ss + cs, 0);
}

void TestDayTime::seconds_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<int>("value");
    QTest::newRow("225 s") << qint64(225) << 22501;
    QTest::newRow("zero seconds is midnight") << qint64(0) << 1;
    QTest::newRow("negative") << qint64(-1) << 0;
    QTest::newRow("too long") << qint64(30000000) << 0;
    QTest::newRow("one day") << qint64(86400) << HundredthsPerDay + 1;
}

void TestDayTime::seconds()
{
    QFETCH(qint64, seconds);
    QFETCH(int, value);
    QCOMPARE(timeFromSeconds(seconds), value);
    if (value > 0)
        QCOMPARE(secondsFromTime(value), int(seconds));
    QCOMPARE(secondsFromTime(0), 0);
    QCOMPARE(secondsFromTime(-100), 0);
    QCOMPARE(secondsFromTime(22599), 225);   // fractions dropped
}

void TestDayTime::addTimes_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("sum");
    QTest::newRow("none and none") << 0 << 0 << 0;
    QTest::newRow("one and none") << 22501 << 0 << 22501;
    QTest::newRow("none and one") << 0 << 22501 << 22501;
    QTest::newRow("two tracks") << 22501 << 22501 << 45001;
    QTest::newRow("past a day") << HundredthsPerDay << 360001 << HundredthsPerDay + 360000;
    QTest::newRow("held at the limit") << MaxTime << 22501 << MaxTime;
    QTest::newRow("negative counts as none") << -50 << 22501 << 22501;
}

void TestDayTime::addTimes()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, sum);
    QCOMPARE(td::addTimes(a, b), sum);
}

QTEST_APPLESS_MAIN(TestDayTime)
#include "tst_daytime.moc"

// The one rule by which a typed song time becomes a time value, and the text that reads back.
#include "core/DayTime.h"
#include "core/SongTime.h"

#include <QTest>

using namespace td;

class TestSongTime : public QObject {
    Q_OBJECT
private slots:
    void fromText_data();
    void fromText();
    void textReadsBack_data();
    void textReadsBack();
};

void TestSongTime::fromText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("time"); // -1: refused
    QTest::newRow("minutes and seconds") << "3:45" << timeFromParts(0, 3, 45);
    QTest::newRow("two hours stay") << "2:00:00" << timeFromParts(2, 0, 0);
    QTest::newRow("a second past two hours is minutes") << "2:00:01" << timeFromHundredths(7201 * 100 / 60);
    QTest::newRow("hours written out") << "1:45:00" << timeFromParts(1, 45, 0);
    QTest::newRow("full form of a track") << "00:03:45" << timeFromParts(0, 3, 45);
    QTest::newRow("three hours typed as minutes") << "180:00" << timeFromParts(3, 0, 0);
    QTest::newRow("blank is no time") << "  " << 0;
    QTest::newRow("not a time") << "3:99" << -1;
}

void TestSongTime::fromText()
{
    QFETCH(QString, typed);
    QFETCH(int, time);
    const std::optional<int> t = songTimeFromText(typed);
    QCOMPARE(t.has_value(), time >= 0);
    if (t)
        QCOMPARE(*t, time);
}

void TestSongTime::textReadsBack_data()
{
    QTest::addColumn<int>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("no time") << 0 << "";
    QTest::newRow("a track") << timeFromParts(0, 3, 45) << "00:03:45";
    QTest::newRow("two hours") << timeFromParts(2, 0, 0) << "02:00:00";
    QTest::newRow("past two hours, as typed") << timeFromParts(3, 0, 0) << "180:00:00";
    QTest::newRow("99 hours") << timeFromParts(99, 0, 0) << "5940:00:00";
    // Longer than anything typed can give: shown as it is (it cannot come from typing).
    QTest::newRow("too long to type") << timeFromParts(100, 0, 0) << "100:00:00";
}

void TestSongTime::textReadsBack()
{
    QFETCH(int, time);
    QFETCH(QString, text);
    QCOMPARE(songTimeText(time), text);
    if (time <= timeFromParts(99, 0, 0))
        QCOMPARE(songTimeFromText(text), std::optional<int>(time));
}

QTEST_APPLESS_MAIN(TestSongTime)
#include "tst_songtime.moc"

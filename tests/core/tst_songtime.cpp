// The text shown for a song time reads back through the typing rule as the same time (the rule
// itself is checked with the song form and the query wizard).
#include "core/DayTime.h"
#include "core/SongTime.h"

#include <QTest>

using namespace td;

class TestSongTime : public QObject {
    Q_OBJECT
private slots:
    void textReadsBack_data();
    void textReadsBack();
};

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

// The drive's replies as time values, time values as "mm:ss", reply numbers and the disc identifier.

#include "cd/DiscIdentifier.h"
#include "cd/DiscToc.h"
#include "cd/MciTime.h"
#include "cd/SendMciCommand.h"

#include <QtTest>

using namespace td;

class TestCdTime : public QObject {
    Q_OBJECT
private slots:
    void mciTimeToTime_data();
    void mciTimeToTime();
    void timeToMinSec_data();
    void timeToMinSec();
    void mciNumber_data();
    void mciNumber();
    void identifier_data();
    void identifier();
    void tocLine_data();
    void tocLine();
    void tocLengths();
};

void TestCdTime::mciTimeToTime_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("time");
    QTest::newRow("4:23") << "04:23:00" << 26301;
    QTest::newRow("43:21") << "43:21:00" << 260101;
    QTest::newRow("frames dropped, not rounded") << "04:23:74" << 26301;
    QTest::newRow("75 minutes is an hour and 15") << "75:00:00" << 450001;
    QTest::newRow("exactly 60 minutes") << "60:00:00" << 360001;
    QTest::newRow("59:59 stays below the hour") << "59:59:00" << 359901;
    QTest::newRow("99 frames carry a second") << "04:22:99" << 26301;
    QTest::newRow("and the second carries a minute") << "04:59:99" << 30001;
    QTest::newRow("and the minute an hour") << "59:59:99" << 360001;
    QTest::newRow("largest reply") << "99:99:99" << (1 * 3600 + 40 * 60 + 40) * 100 + 1;
    QTest::newRow("zero length is midnight") << "00:00:00" << 1;
    QTest::newRow("taken as 8 characters") << "04:23:00:12" << 26301;
    QTest::newRow("error reply") << "Error:282" << 0;
    QTest::newRow("error 1") << "Error:1" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("single digit minutes") << "4:23:00" << 0;
    QTest::newRow("letters") << "ab:cd:ef" << 0;
    QTest::newRow("other digits") << "\u0664\u0664:23:00" << 0;
}

void TestCdTime::mciTimeToTime()
{
    QFETCH(QString, reply);
    QFETCH(int, time);
    QCOMPARE(MciTimeToTime(reply), time);
}

void TestCdTime::timeToMinSec_data()
{
    QTest::addColumn<int>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("no time is five blanks") << 0 << "     ";
    QTest::newRow("negative is no time") << -100 << "     ";
    QTest::newRow("midnight") << 1 << " 0:00";
    QTest::newRow("below 10 minutes: leading blank") << 26301 << " 4:23";
    QTest::newRow("hundredths dropped") << 26399 << " 4:23";
    QTest::newRow("two-digit minutes") << 260101 << "43:21";
    QTest::newRow("hours become minutes") << 450001 << "75:00";
    QTest::newRow("seconds keep their zero") << 60501 << "10:05";
    QTest::newRow("100 minutes keep every digit") << 600001 << "100:00";
}

void TestCdTime::timeToMinSec()
{
    QFETCH(int, time);
    QFETCH(QString, text);
    QCOMPARE(TimeToMinSec(time), text);
}

void TestCdTime::mciNumber_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<long>("number");
    QTest::newRow("count") << "12" << 12L;
    QTest::newRow("device id") << "1" << 1L;
    QTest::newRow("milliseconds") << "4798000" << 4798000L;
    QTest::newRow("empty") << "" << 0L;
    QTest::newRow("error 1 is not the number 1") << "Error:1" << 0L;
    QTest::newRow("error code") << "Error:263" << 0L;
    QTest::newRow("tmsf position reads its track") << "03:01:02:03" << 3L;
    QTest::newRow("blanks around") << " 7 " << 7L;
}

void TestCdTime::mciNumber()
{
    QFETCH(QString, reply);
    QFETCH(long, number);
    QCOMPARE(td::mciNumber(reply), number);
}

void TestCdTime::identifier_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("total");
    QTest::addColumn<QList<int>>("lengths");
    QTest::addColumn<QString>("identifier");
    const QList<int> three { 26301, 30001, 18001 };
    QTest::newRow("one track: count, total, track 1") << 1 << 26301 << QList<int> { 26301 } << " 12630126301";
    QTest::newRow("one track ignores more lengths") << 1 << 26301 << three << " 12630126301";
    QTest::newRow("two tracks: no track 3") << 2 << 56301 << three << " 2563012630130001";
    QTest::newRow("three tracks") << 3 << 74301 << three << " 374301263013000118001";
    QTest::newRow("nine tracks begin with a blank") << 9 << 74301 << three << " 974301263013000118001";
    QTest::newRow("twelve tracks, cut to 24") << 12 << 260101 << three << "12260101263013000118001";
    QTest::newRow("long lengths cut to 24")
        << 15 << 4500001 << QList<int> { 450001, 450001, 450001 } << "154500001450001450001450";
    QTest::newRow("refused queries count as 0") << 3 << 0 << QList<int> { 0, 0, 0 } << " 30000";
    QTest::newRow("no tracks") << 0 << 0 << QList<int> { 0 } << " 000";
}

void TestCdTime::identifier()
{
    QFETCH(int, count);
    QFETCH(int, total);
    QFETCH(QList<int>, lengths);
    QFETCH(QString, identifier);
    const QString id = discIdentifier(count, total, lengths);
    QCOMPARE(id, identifier);
    QVERIFY(id.size() <= kDiscIdentifierLength);
}

void TestCdTime::tocLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ordinary") << "1 3 60000 150 20000 40000" << true;
    QTest::newRow("extra blanks") << "  1  3 60000\t150 20000 40000 " << true;
    QTest::newRow("first track 2") << "2 3 60000 150 20000" << true;
    QTest::newRow("one start missing") << "1 3 60000 150 20000" << false;
    QTest::newRow("one start too many") << "1 2 60000 150 20000 40000" << false;
    QTest::newRow("starts not rising") << "1 3 60000 150 40000 20000" << false;
    QTest::newRow("lead-out before last start") << "1 3 30000 150 20000 40000" << false;
    QTest::newRow("track 0") << "0 2 60000 150 20000 40000" << false;
    QTest::newRow("track 100") << "99 100 60000 150 20000" << false;
    QTest::newRow("negative") << "1 1 60000 -150" << false;
    QTest::newRow("words") << "1 3 sixty 150 20000 40000" << false;
    QTest::newRow("too short") << "1 1 60000" << false;
    QTest::newRow("empty") << "" << false;
}

void TestCdTime::tocLine()
{
    QFETCH(QString, line);
    QFETCH(bool, valid);
    DiscToc toc;
    QString error;
    QCOMPARE(parseTocLine(line, toc, &error), valid);
    QCOMPARE(error.isEmpty(), valid);
    if (valid)
        QCOMPARE(td::tocLine(toc), line.simplified());
    else
        QVERIFY(toc.isEmpty());
}

void TestCdTime::tocLengths()
{
    DiscToc toc;
    QVERIFY(parseTocLine(QStringLiteral("1 3 60000 150 20000 40000"), toc));
    QCOMPARE(toc.trackCount(), 3);
    QCOMPARE(toc.trackLength(1), 19850);
    QCOMPARE(toc.trackLength(2), 20000);
    QCOMPARE(toc.trackLength(3), 20000); // the last one runs to the lead-out
    QCOMPARE(toc.trackLength(4), 0);
    QCOMPARE(toc.discLength(), 59850);
    QCOMPARE(toc.trackAt(0), 1); // the lead-in belongs to track 1
    QCOMPARE(toc.trackAt(19999), 1);
    QCOMPARE(toc.trackAt(20000), 2);
    QCOMPARE(toc.trackAt(60000), 3);
    QCOMPARE(framesToMsf(19850), QStringLiteral("04:24:50"));
    QCOMPARE(framesToMsf(qint64(100) * 60 * 75), QStringLiteral("100:00:00"));
}

QTEST_GUILESS_MAIN(TestCdTime)
#include "tst_cdtime.moc"

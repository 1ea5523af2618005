#include "core/DayTime.h"
#include "core/Picture.h"

#include <QTest>
#include <cmath>

using namespace td;

namespace {

const QLocale us(QLocale::English, QLocale::UnitedStates);
const QLocale de(QLocale::German, QLocale::Germany);

QLocale localeNamed(const QString& name)
{
    if (name.size() > 2)
        return QLocale(name);
    return name == QLatin1String("de") ? de : us;
}

} // namespace

Q_DECLARE_METATYPE(td::Picture::Error)

class TestPicture : public QObject {
    Q_OBJECT
private slots:
    void kinds_data();
    void kinds();
    void formatNumber_data();
    void formatNumber();
    void formatDate_data();
    void formatDate();
    void formatTime_data();
    void formatTime();
    void formatPattern_data();
    void formatPattern();
    void formatOther();
    void parse_data();
    void parse();
    void parseReal();
    void dateRoundTrip_data();
    void dateRoundTrip();
    void timeRoundTrip_data();
    void timeRoundTrip();
    void numberRoundTrip_data();
    void numberRoundTrip();
    void dateValue_data();
    void dateValue();
    void twoDigitYears_data();
    void twoDigitYears();
    void formatThenParse_data();
    void formatThenParse();
    void typedThenShown_data();
    void typedThenShown();
};

void TestPicture::kinds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("blank");
    const int T = int(Picture::Kind::Text), N = int(Picture::Kind::Number),
              D = int(Picture::Kind::Date), Ti = int(Picture::Kind::Time),
              P = int(Picture::Kind::Pattern);
    QTest::newRow("@s40") << "@s40" << true << T << 40 << 40 << false;
    QTest::newRow("@S1000") << "@S1000" << true << T << 1000 << 1000 << false;
    QTest::newRow("@n3") << "@n3" << true << N << 3 << 3 << false;
    QTest::newRow("@n_4b") << "@n_4b" << true << N << 4 << 4 << true;
    QTest::newRow("@n-13") << "@n-13" << true << N << 13 << 13 << false;
    QTest::newRow("@N30.9") << "@N30.9" << true << N << 30 << 30 << false;
    QTest::newRow("@d17b") << "@d17b" << true << D << 17 << 10 << true;
    QTest::newRow("@d17-") << "@d17-" << true << D << 17 << 10 << false;
    QTest::newRow("@D2") << "@D2" << true << D << 2 << 10 << false;
    QTest::newRow("@d3b") << "@d3b" << true << D << 3 << 11 << true;
    QTest::newRow("@t4b") << "@t4b" << true << Ti << 4 << 8 << true;
    QTest::newRow("@pPage <<<#p") << "@pPage <<<#p" << true << P << 9 << 9 << false;
    QTest::newRow("@p(<<#)pb") << "@p(<<#)pb" << true << P << 5 << 5 << true;
    // Malformed pictures are plain text without a limit.
    QTest::newRow("empty") << "" << false << T << 0 << 0 << false;
    QTest::newRow("no at sign") << "s40" << false << T << 0 << 0 << false;
    QTest::newRow("at alone") << "@" << false << T << 0 << 0 << false;
    QTest::newRow("unknown letter") << "@x12" << false << T << 0 << 0 << false;
    QTest::newRow("text without size") << "@s" << false << T << 0 << 0 << false;
    QTest::newRow("number without size") << "@n" << false << T << 0 << 0 << false;
    QTest::newRow("number size 0") << "@n0" << false << T << 0 << 0 << false;
    QTest::newRow("number junk") << "@n3x" << false << T << 0 << 0 << false;
    QTest::newRow("places not below size") << "@n3.5" << false << T << 0 << 0 << false;
    QTest::newRow("too narrow for zero with its places") << "@n(08.7)" << false << T << 0 << 0 << false;
    QTest::newRow("pattern without a digit position") << "@pPage p" << false << T << 0 << 0 << false;
    QTest::newRow("absurd size") << "@n99999999999" << false << T << 0 << 0 << false;
    QTest::newRow("date 0") << "@d0" << false << T << 0 << 0 << false;
    QTest::newRow("date 19") << "@d19" << false << T << 0 << 0 << false;
    QTest::newRow("date without number") << "@D" << false << T << 0 << 0 << false;
    QTest::newRow("time 9") << "@t9" << false << T << 0 << 0 << false;
    QTest::newRow("pattern not closed") << "@p###" << false << T << 0 << 0 << false;
    QTest::newRow("empty pattern") << "@pp" << false << T << 0 << 0 << false;
    QTest::newRow("unclosed parenthesis") << "@n(6" << false << T << 0 << 0 << false;
}

void TestPicture::kinds()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, kind);
    QFETCH(int, size);
    QFETCH(int, width);
    QFETCH(bool, blank);
    const Picture p(text);
    QCOMPARE(p.text(), text);
    QCOMPARE(p.isValid(), valid);
    QCOMPARE(int(p.kind()), kind);
    QCOMPARE(p.size(), size);
    QCOMPARE(p.width(), width);
    QCOMPARE(p.blankWhenZero(), blank);
}

void TestPicture::formatNumber_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("@n3 pads with blanks") << "@n3" << qint64(5) << "  5";
    QTest::newRow("@n3 shows zero") << "@n3" << qint64(0) << "  0";
    QTest::newRow("@n3 full") << "@n3" << qint64(999) << "999";
    QTest::newRow("@n3 overflow") << "@n3" << qint64(1000) << "###";
    QTest::newRow("@n3 negative keeps its minus") << "@n3" << qint64(-5) << " -5";
    QTest::newRow("@n3b zero blank") << "@n3b" << qint64(0) << "";
    QTest::newRow("@n3b non-zero") << "@n3b" << qint64(7) << "  7";
    QTest::newRow("@n_4b tempo") << "@n_4b" << qint64(120) << " 120";
    QTest::newRow("@n_4b zero blank") << "@n_4b" << qint64(0) << "";
    QTest::newRow("@n_4b overflow") << "@n_4b" << qint64(12345) << "####";
    QTest::newRow("@n_5 no grouping") << "@n_5" << qint64(12345) << "12345";
    QTest::newRow("@n10 groups thousands") << "@n10" << qint64(1234567) << " 1,234,567";
    QTest::newRow("@n-13 negative") << "@n-13" << qint64(-1234) << "       -1,234";
    QTest::newRow("@n-13 positive") << "@n-13" << qint64(42) << "           42";
    QTest::newRow("groups dropped when they do not fit") << "@n5" << qint64(12345) << "12345";
    QTest::newRow("year in @n4b") << "@n4b" << qint64(1997) << "1997";
    QTest::newRow("no room even without groups") << "@n4" << qint64(12345) << "####";
    QTest::newRow("zero fill") << "@n05" << qint64(42) << "00042";
    QTest::newRow("zero fill negative") << "@n-05" << qint64(-42) << "-0042";
    QTest::newRow("asterisk fill") << "@n*6" << qint64(42) << "****42";
    QTest::newRow("trailing minus") << "@n6-" << qint64(-42) << "   42-";
    QTest::newRow("parentheses") << "@n(6)" << qint64(-42) << "  (42)";
    QTest::newRow("@N3 percent") << "@N3" << qint64(100) << "100";
    QTest::newRow("@n_2 overflow") << "@n_2" << qint64(100) << "##";
    QTest::newRow("decimals") << "@n10.2" << qint64(5) << "      5.00";
    QTest::newRow("lowest int64") << "@n-30" << qint64(std::numeric_limits<qint64>::min())
                                  << "-9,223,372,036,854,775,808";
    QTest::newRow("text picture") << "@s3" << qint64(123456) << "123";
    QTest::newRow("malformed picture") << "@zz" << qint64(-123456) << "-123456";
}

void TestPicture::formatNumber()
{
    QFETCH(QString, picture);
    QFETCH(qint64, value);
    QFETCH(QString, shown);
    const QString out = Picture(picture).format(value, us);
    if (picture == QLatin1String("@n-30"))
        QCOMPARE(out, shown.rightJustified(30));
    else
        QCOMPARE(out, shown);
}

void TestPicture::formatDate_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("shown");
    const int oct31 = dayFromYmd(1959, 10, 31);
    const int jan5 = dayFromYmd(1997, 1, 5);
    QTest::newRow("@d1") << "@d1" << jan5 << "" << "1/05/97";
    QTest::newRow("@d1 two-digit month") << "@d1" << oct31 << "" << "10/31/59";
    QTest::newRow("@d2") << "@d2" << jan5 << "" << "01/05/1997";
    QTest::newRow("@d3") << "@d3" << oct31 << "" << "OCT 31,1959";
    QTest::newRow("@d4") << "@d4" << oct31 << "" << "October 31, 1959";
    QTest::newRow("@d4 short day") << "@d4" << jan5 << "" << "January 5, 1997";
    QTest::newRow("@d5") << "@d5" << oct31 << "" << "31/10/59";
    QTest::newRow("@d6") << "@d6" << oct31 << "" << "31/10/1959";
    QTest::newRow("@d7") << "@d7" << oct31 << "" << "31 OCT 59";
    QTest::newRow("@d8") << "@d8" << oct31 << "" << "31 OCT 1959";
    QTest::newRow("@d9") << "@d9" << oct31 << "" << "59/10/31";
    QTest::newRow("@d10") << "@d10" << oct31 << "" << "1959/10/31";
    QTest::newRow("@d11") << "@d11" << oct31 << "" << "591031";
    QTest::newRow("@d12") << "@d12" << oct31 << "" << "19591031";
    QTest::newRow("@d13") << "@d13" << oct31 << "" << "10/59";
    QTest::newRow("@d14") << "@d14" << oct31 << "" << "10/1959";
    QTest::newRow("@d15") << "@d15" << oct31 << "" << "59/10";
    QTest::newRow("@d16") << "@d16" << oct31 << "" << "1959/10";
    QTest::newRow("@d17 US") << "@d17" << oct31 << "us" << "10/31/59";
    QTest::newRow("@d17 German") << "@d17" << oct31 << "de" << "31.10.59";
    QTest::newRow("@d17- US") << "@d17-" << oct31 << "us" << "10/31/59";
    QTest::newRow("@d18 US") << "@d18" << oct31 << "us" << "Saturday, October 31, 1959";
    QTest::newRow("@d18 German") << "@d18" << oct31 << "de" << "Samstag, 31. Oktober 1959";
    // Each locale's own short format, however it places and pads day, month and year.
    QTest::newRow("@d17 US single digits") << "@d17" << jan5 << "us" << "1/5/97";
    QTest::newRow("@d17 US outside the two-digit window") << "@d17" << dayFromYmd(1880, 12, 31) << "us"
                                                       << "12/31/1880";
    QTest::newRow("@d17 German padded") << "@d17" << jan5 << "de" << "05.01.97";
    QTest::newRow("@d17 Finnish") << "@d17" << jan5 << "fi_FI" << "5.1.1997";
    QTest::newRow("@d17 Swedish, year first") << "@d17" << jan5 << "sv_SE" << "1997-01-05";
    QTest::newRow("@d17 Korean") << "@d17" << jan5 << "ko_KR" << "97. 1. 5.";
    QTest::newRow("@d17 Bulgarian, quoted text") << "@d17" << jan5 << "bg_BG" << QString::fromUtf8("5.01.97 г.");
    QTest::newRow("@d17 Egyptian Arabic digits") << "@d17" << jan5 << "ar_EG"
                                               << QString::fromUtf8("٥\u200f/١\u200f/١٩٩٧");
    QTest::newRow("@d18 US after @d17") << "@d18" << jan5 << "us" << "Sunday, January 5, 1997";
    QTest::newRow("@d6 with dots") << "@d6." << oct31 << "" << "31.10.1959";
    QTest::newRow("@d2 with dashes") << "@d2-" << oct31 << "" << "10-31-1959";
    QTest::newRow("@d10 with blanks") << "@d10_" << oct31 << "" << "1959 10 31";
    QTest::newRow("no date") << "@d2" << 0 << "" << "";
    QTest::newRow("no date, b") << "@d17b" << 0 << "us" << "";
    QTest::newRow("no date, @d3b") << "@d3b" << 0 << "" << "";
    QTest::newRow("plain year") << "@d2" << 1997 << "" << "1997";
    QTest::newRow("plain year in locale date") << "@d17" << 1959 << "de" << "1959";
    QTest::newRow("first full date") << "@d2" << 3001 << "" << "03/17/1809";
    QTest::newRow("last date") << "@d2" << maxDay() << "" << "12/31/9999";
    QTest::newRow("past the last date") << "@d2" << maxDay() + 1 << "" << "##########";
    QTest::newRow("negative") << "@d2" << -1 << "" << "##########";
    QTest::newRow("leap day 2000") << "@d2" << dayFromYmd(2000, 2, 29) << "" << "02/29/2000";
}

void TestPicture::formatDate()
{
    QFETCH(QString, picture);
    QFETCH(int, value);
    QFETCH(QString, locale);
    QFETCH(QString, shown);
    QCOMPARE(Picture(picture).format(value, localeNamed(locale)), shown);
}

void TestPicture::formatTime_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    const int evening = timeFromParts(17, 30, 0);
    QTest::newRow("@t4 track") << "@t4" << 22501 << "00:03:45";
    QTest::newRow("@t4 no time") << "@t4" << 0 << "";
    QTest::newRow("@t4b no time") << "@t4b" << 0 << "";
    QTest::newRow("@t4 midnight") << "@t4" << 1 << "00:00:00";
    QTest::newRow("@t4 hundredths dropped") << "@t4" << 22599 << "00:03:45";
    QTest::newRow("@t4 album over a day") << "@t4" << timeFromParts(26, 5, 7) << "26:05:07";
    QTest::newRow("@t4 over 99 hours") << "@t4" << timeFromParts(123, 0, 0) << "123:00:00";
    QTest::newRow("@t4 negative") << "@t4" << -5 << "########";
    QTest::newRow("@t1") << "@t1" << evening << "17:30";
    QTest::newRow("@t2") << "@t2" << evening << "1730";
    QTest::newRow("@t3") << "@t3" << evening << " 5:30PM";
    QTest::newRow("@t3 after midnight") << "@t3" << timeFromParts(0, 5, 0) << "12:05AM";
    QTest::newRow("@t3 noon") << "@t3" << timeFromParts(12, 0, 0) << "12:00PM";
    QTest::newRow("@t5") << "@t5" << evening << "173000";
    QTest::newRow("@t6") << "@t6" << evening << " 5:30:00PM";
    QTest::newRow("@t4 with dots") << "@t4." << evening << "17.30.00";
}

void TestPicture::formatTime()
{
    QFETCH(QString, picture);
    QFETCH(int, value);
    QFETCH(QString, shown);
    QCOMPARE(Picture(picture).format(value, us), shown);
}

void TestPicture::formatPattern_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("page") << "@pPage <<<#p" << qint64(5) << "Page    5";
    QTest::newRow("page full") << "@pPage <<<#p" << qint64(1234) << "Page 1234";
    QTest::newRow("page zero") << "@pPage <<<#p" << qint64(0) << "Page    0";
    QTest::newRow("page overflow") << "@pPage <<<#p" << qint64(12345) << "#########";
    QTest::newRow("tempo") << "@p(<<#)pb" << qint64(120) << "(120)";
    QTest::newRow("tempo short") << "@p(<<#)pb" << qint64(5) << "(  5)";
    QTest::newRow("tempo blank") << "@p(<<#)pb" << qint64(0) << "";
    QTest::newRow("digits with zeros") << "@p###-##p" << qint64(1234) << "012-34";
    QTest::newRow("negative") << "@p(<<#)pb" << qint64(-5) << "#####";
}

void TestPicture::formatPattern()
{
    QFETCH(QString, picture);
    QFETCH(qint64, value);
    QFETCH(QString, shown);
    QCOMPARE(Picture(picture).format(value), shown);
}

void TestPicture::formatOther()
{
    // Text through text pictures is cut to the size, never padded.
    QCOMPARE(Picture("@s5").formatText("abcdefgh"), QString("abcde"));
    QCOMPARE(Picture("@s40").formatText("Abbey Road  "), QString("Abbey Road"));
    QCOMPARE(Picture("@zz").formatText("anything at all"), QString("anything at all"));
    // Text holding a number goes through a number picture; other text is shown unchanged.
    QCOMPARE(Picture("@n_4b").formatText("120"), QString(" 120"));
    QCOMPARE(Picture("@n10.2").formatText("1,234.5"), QString("  1,234.50"));
    QCOMPARE(Picture("@n3").formatText("n/a"), QString("n/a"));
    QCOMPARE(Picture("@t4").formatText("22501"), QString("00:03:45"));
    // Decimals.
    QCOMPARE(Picture("@N30.9").formatReal(3.25), QString("3.250000000").rightJustified(30));
    QCOMPARE(Picture("@n10.2").formatReal(-0.001), QString("      0.00"));
    QCOMPARE(Picture("@n10.2b").formatReal(0.001), QString());
    QCOMPARE(Picture("@n6.2").formatReal(1e300), QString("######"));
    QCOMPARE(Picture("@n6.2").formatReal(std::nan("")), QString("######"));
    QCOMPARE(Picture("@n3").formatReal(2.6), QString("  3"));
    // Variants.
    QCOMPARE(Picture("@t4b").formatVariant(QVariant(22501)), QString("00:03:45"));
    QCOMPARE(Picture("@n3").formatVariant(QVariant()), QString());
    QCOMPARE(Picture("@s10").formatVariant(QVariant(QString("Rock"))), QString("Rock"));
    QCOMPARE(Picture("@d2").formatVariant(QVariant(QDate(1997, 12, 31))), QString("12/31/1997"));
    QCOMPARE(Picture("@n3").formatVariant(QVariant(quint64(-1))), QString("###"));
}

void TestPicture::parse_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qlonglong>("value");
    QTest::addColumn<Picture::Error>("error");
    using E = Picture::Error;
    const qlonglong dec31 = dayFromYmd(1997, 12, 31);
    const qlonglong oct31 = dayFromYmd(1959, 10, 31);

    // Times: no special cases here; the forms decide what a short entry means.
    QTest::newRow("3:45 is hours and minutes") << "@t4" << "3:45" << "" << true << qlonglong(1350001) << E::None;
    QTest::newRow("1:45:00") << "@t4" << "1:45:00" << "" << true << qlonglong(630001) << E::None;
    QTest::newRow("full form") << "@t4" << "00:03:45" << "" << true << qlonglong(22501) << E::None;
    QTest::newRow("hundredths") << "@t4" << "3:45:00.5" << "" << true << qlonglong(1350051) << E::None;
    QTest::newRow("hours only") << "@t4" << "2" << "" << true << qlonglong(720001) << E::None;
    QTest::newRow("digits only hhmm") << "@t4" << "0345" << "" << true << qlonglong(1350001) << E::None;
    QTest::newRow("digits only hhmmss") << "@t4" << "000345" << "" << true << qlonglong(22501) << E::None;
    QTest::newRow("over a day") << "@t4" << "26:00:00" << "" << true << qlonglong(9360001) << E::None;
    QTest::newRow("midnight is a time") << "@t4b" << "0:00" << "" << true << qlonglong(1) << E::None;
    QTest::newRow("blank is no time") << "@t4" << "   " << "" << true << qlonglong(0) << E::None;
    QTest::newRow("99:99:99 refused") << "@t4" << "99:99:99" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("seconds 60 refused") << "@t4" << "0:03:60" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("letters") << "@t4" << "abc" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("negative") << "@t4" << "-3:45" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("four parts") << "@t4" << "1:2:3:4" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("seven digits") << "@t4" << "1234567" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("largest hours") << "@t4" << "5965:00:00" << "" << true << qlonglong(2147400001) << E::None;
    QTest::newRow("too many hours") << "@t4" << "5966:00:00" << "" << false << qlonglong(0) << E::OutOfRange;
    QTest::newRow("absurd hours") << "@t4" << "99999999:00" << "" << false << qlonglong(0) << E::OutOfRange;
    QTest::newRow("PM") << "@t3" << "5:30PM" << "" << true << qlonglong(6300001) << E::None;
    QTest::newRow("am with blank") << "@t3" << "12:05 am" << "" << true << qlonglong(30001) << E::None;
    QTest::newRow("p.m.") << "@t6" << "5:30:00 p.m." << "" << true << qlonglong(6300001) << E::None;
    QTest::newRow("13 PM refused") << "@t3" << "13:00PM" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@t2 digits") << "@t2" << "1730" << "" << true << qlonglong(6300001) << E::None;
    QTest::newRow("@t4 dots") << "@t4." << "17.30.00" << "" << true << qlonglong(6300001) << E::None;

    // Dates.
    QTest::newRow("@d2") << "@d2" << "12/31/1997" << "" << true << dec31 << E::None;
    QTest::newRow("@d2 30 February") << "@d2" << "02/30/1997" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d2 1900 not leap") << "@d2" << "2/29/1900" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d2 2000 leap") << "@d2" << "2/29/2000" << "" << true << qlonglong(72746) << E::None;
    QTest::newRow("@d2 month 13") << "@d2" << "13/01/1997" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d2 day 0") << "@d2" << "12/00/1997" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d2 blank") << "@d2" << "  " << "" << true << qlonglong(0) << E::None;
    QTest::newRow("@d2 plain year") << "@d2" << "1997" << "" << true << qlonglong(1997) << E::None;
    QTest::newRow("@d2 year past 3000") << "@d2" << "3001" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d2 two-digit year") << "@d2" << "12/31/97" << "" << true << dec31 << E::None;
    QTest::newRow("@d2 dashes") << "@d2" << "12-31-1997" << "" << true << dec31 << E::None;
    QTest::newRow("@d2 digits only") << "@d2" << "12311997" << "" << true << dec31 << E::None;
    QTest::newRow("@d2 missing year") << "@d2" << "12/31" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d2 five-digit year") << "@d2" << "12/31/19970" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d2 three-digit year") << "@d2" << "12/31/997" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d2 letters") << "@d2" << "soon" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d2 before 1801") << "@d2" << "1/1/1800" << "" << false << qlonglong(0) << E::OutOfRange;
    QTest::newRow("@d2 would read as a year") << "@d2" << "3/16/1809" << "" << false << qlonglong(0) << E::OutOfRange;
    QTest::newRow("@d2 first full date") << "@d2" << "3/17/1809" << "" << true << qlonglong(3001) << E::None;
    QTest::newRow("@d6") << "@d6" << "31/10/1959" << "" << true << oct31 << E::None;
    QTest::newRow("@d6 dots") << "@d6" << "31.10.1959" << "" << true << oct31 << E::None;
    QTest::newRow("@d3") << "@d3" << "OCT 31,1959" << "" << true << oct31 << E::None;
    QTest::newRow("@d3 unknown month") << "@d3" << "FOO 31,1959" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d4") << "@d4" << "October 31, 1959" << "" << true << oct31 << E::None;
    QTest::newRow("@d4 abbreviation") << "@d4" << "Oct 31 1959" << "" << true << oct31 << E::None;
    QTest::newRow("@d4 month as number") << "@d4" << "10/31/1959" << "" << true << oct31 << E::None;
    QTest::newRow("@d8 lower case") << "@d8" << "31 oct 1959" << "" << true << oct31 << E::None;
    QTest::newRow("@d11") << "@d11" << "591031" << "" << true << oct31 << E::None;
    QTest::newRow("@d12") << "@d12" << "19591031" << "" << true << oct31 << E::None;
    QTest::newRow("@d12 wrong length") << "@d12" << "1959103" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d14 first of month") << "@d14" << "10/1959" << "" << true << oct31 - 30 << E::None;
    QTest::newRow("@d16") << "@d16" << "1959/10" << "" << true << oct31 - 30 << E::None;
    QTest::newRow("@d17 US") << "@d17" << "10/31/59" << "us" << true << oct31 << E::None;
    QTest::newRow("@d17 US four-digit year") << "@d17" << "10/31/1959" << "us" << true << oct31 << E::None;
    QTest::newRow("@d17 US recent two-digit year") << "@d17" << "1/5/05" << "us" << true << qlonglong(dayFromYmd(2005, 1, 5)) << E::None;
    QTest::newRow("@d17 German") << "@d17" << "31.10.1959" << "de" << true << oct31 << E::None;
    QTest::newRow("@d17 German invalid") << "@d17" << "30.02.1997" << "de" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@d18 US") << "@d18" << "Saturday, October 31, 1959" << "us" << true << oct31 << E::None;
    QTest::newRow("@d18 German") << "@d18" << "Samstag, 31. Oktober 1959" << "de" << true << oct31 << E::None;

    // Numbers.
    QTest::newRow("@n3") << "@n3" << "5" << "" << true << qlonglong(5) << E::None;
    QTest::newRow("@n3 padded") << "@n3" << "  7 " << "" << true << qlonglong(7) << E::None;
    QTest::newRow("@n3 full") << "@n3" << "999" << "" << true << qlonglong(999) << E::None;
    QTest::newRow("@n3 too wide") << "@n3" << "1000" << "" << false << qlonglong(0) << E::TooWide;
    QTest::newRow("@n3 leading zeros") << "@n3" << "0007" << "" << true << qlonglong(7) << E::None;
    QTest::newRow("@n3 negative refused") << "@n3" << "-5" << "" << false << qlonglong(0) << E::Negative;
    QTest::newRow("@n3 minus zero") << "@n3" << "-0" << "" << true << qlonglong(0) << E::None;
    QTest::newRow("@n3 blank") << "@n3" << "" << "" << true << qlonglong(0) << E::None;
    QTest::newRow("@n3 letters") << "@n3" << "abc" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@n3 fraction refused") << "@n3" << "5.5" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@n3 whole fraction") << "@n3" << "5.0" << "" << true << qlonglong(5) << E::None;
    QTest::newRow("@n3 huge") << "@n3" << "99999999999999999999999" << "" << false << qlonglong(0) << E::TooWide;
    QTest::newRow("@n_4b") << "@n_4b" << "9999" << "" << true << qlonglong(9999) << E::None;
    QTest::newRow("@n_4b too wide") << "@n_4b" << "10000" << "" << false << qlonglong(0) << E::TooWide;
    QTest::newRow("@n-13 grouped negative") << "@n-13" << "-1,234" << "" << true << qlonglong(-1234) << E::None;
    QTest::newRow("@n-13 parentheses") << "@n-13" << "(12)" << "" << true << qlonglong(-12) << E::None;
    QTest::newRow("@n-13 trailing minus") << "@n-13" << "12-" << "" << true << qlonglong(-12) << E::None;
    QTest::newRow("@n-13 plus") << "@n-13" << "+12" << "" << true << qlonglong(12) << E::None;
    QTest::newRow("@n-13 two minus signs") << "@n-13" << "--12" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("@n10 grouped") << "@n10" << "1,234,567" << "" << true << qlonglong(1234567) << E::None;
    QTest::newRow("@n10 too wide with groups") << "@n10" << "12345678901" << "" << false << qlonglong(0) << E::TooWide;
    QTest::newRow("@n-3 minus counts in width") << "@n-3" << "-123" << "" << false << qlonglong(0) << E::TooWide;

    // Patterns.
    QTest::newRow("page") << "@pPage <<<#p" << "Page 12" << "" << true << qlonglong(12) << E::None;
    QTest::newRow("page digits") << "@pPage <<<#p" << "12" << "" << true << qlonglong(12) << E::None;
    QTest::newRow("page too wide") << "@pPage <<<#p" << "12345" << "" << false << qlonglong(0) << E::TooWide;
    QTest::newRow("page blank") << "@pPage <<<#p" << "" << "" << true << qlonglong(0) << E::None;
    QTest::newRow("page no digits") << "@pPage <<<#p" << "Page" << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("pattern negative") << "@p(<<#)pb" << "-5" << "" << false << qlonglong(0) << E::Negative;
    QTest::newRow("pattern typed loosely") << "@pPage <<<#p"
                                           << "page 12"
                                           << "" << true << qlonglong(12) << E::None;
    QTest::newRow("pattern digits alone") << "@p19##p"
                                          << "7"
                                          << "" << true << qlonglong(7) << E::None;
    QTest::newRow("pattern with its own digits, other text") << "@p19##p"
                                                             << "19x5"
                                                             << "" << false << qlonglong(0) << E::Invalid;
    QTest::newRow("308 digits are no number")
        << "@n20.2" << QString(308, '9') << "" << false << qlonglong(0) << E::TooWide;
    QTest::newRow("@t2 past 99 hours") << "@t2"
                                       << "12345"
                                       << "" << true << qlonglong(timeFromParts(123, 45, 0)) << E::None;
    QTest::newRow("@t4 five digits stay h:mm:ss")
        << "@t4"
        << "12345"
        << "" << true << qlonglong(timeFromParts(1, 23, 45)) << E::None;
    QTest::newRow("year only under 1000") << "@d2"
                                          << "999"
                                          << "" << true << qlonglong(999) << E::None;
    QTest::newRow("year only in a month picture") << "@d14"
                                                  << "1997"
                                                  << "" << true << qlonglong(1997) << E::None;
    QTest::newRow("leading zero is a month") << "@d13"
                                             << "0597"
                                             << "" << true << qlonglong(dayFromYmd(1997, 5, 1)) << E::None;
}

void TestPicture::parse()
{
    QFETCH(QString, picture);
    QFETCH(QString, input);
    QFETCH(QString, locale);
    QFETCH(bool, ok);
    QFETCH(qlonglong, value);
    QFETCH(Picture::Error, error);
    const Picture::Input r = Picture(picture).parse(input, localeNamed(locale));
    QCOMPARE(r.ok, ok);
    QCOMPARE(r.error, error);
    if (ok) {
        QCOMPARE(r.value.typeId(), int(QMetaType::LongLong));
        QCOMPARE(r.value.toLongLong(), value);
    } else {
        QVERIFY(!r.value.isValid());
    }
}

void TestPicture::parseReal()
{
    Picture::Input r = Picture("@N30.9").parse("3.14");
    QVERIFY(r.ok);
    QCOMPARE(r.value.typeId(), int(QMetaType::Double));
    QCOMPARE(r.value.toDouble(), 3.14);
    r = Picture("@N30.9").parse("-3.14");
    QCOMPARE(r.error, Picture::Error::Negative);
    r = Picture("@n-10.2").parse("-7.5");
    QVERIFY(r.ok);
    QCOMPARE(r.value.toDouble(), -7.5);
    r = Picture("@n10.2").parse("7.125");    // rounded to the picture's places
    QVERIFY(r.ok);
    QVERIFY(qAbs(r.value.toDouble() - 7.13) < 1e-9 || qAbs(r.value.toDouble() - 7.12) < 1e-9);
    r = Picture("@n5.2").parse("123.45");
    QCOMPARE(r.error, Picture::Error::TooWide);
    r = Picture("@n5.2").parse("");
    QVERIFY(r.ok);
    QCOMPARE(r.value.typeId(), int(QMetaType::Double));
    // Text pictures store the text as a field of their size would.
    r = Picture("@s5").parse("abcdefg");
    QVERIFY(r.ok);
    QCOMPARE(r.value.toString(), QString("abcde"));
    r = Picture("@s10").parse("ab   ");
    QCOMPARE(r.value.toString(), QString("ab"));
    // A malformed picture takes the text unchanged.
    r = Picture("@zz").parse("  any text ");
    QVERIFY(r.ok);
    QCOMPARE(r.value.toString(), QString("  any text "));
}

void TestPicture::dateRoundTrip_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("locale");
    const QStringList pictures = {"@d1", "@d2", "@d3", "@d4", "@d5", "@d6", "@d7", "@d8", "@d9",
                                  "@d10", "@d11", "@d12", "@d17", "@d18", "@d17b", "@d6.", "@d2-"};
    for (const QString& p : pictures) {
        QTest::newRow(qPrintable(p + " us")) << p << "us";
        QTest::newRow(qPrintable(p + " de")) << p << "de";
    }
}

void TestPicture::dateRoundTrip()
{
    QFETCH(QString, picture);
    QFETCH(QString, locale);
    const Picture p(picture);
    const QLocale loc = localeNamed(locale);
    // Dates inside the two-digit-year window, plus a plain year.
    const QList<int> values = {dayFromYmd(1997, 1, 5), dayFromYmd(2000, 2, 29),
                               dayFromYmd(2010, 10, 31), dayFromYmd(1985, 12, 1), 0};
    for (int v : values) {
        const QString shown = p.format(v, loc);
        const Picture::Input back = p.parse(shown, loc);
        QVERIFY2(back.ok, qPrintable(shown));
        QCOMPARE(back.value.toLongLong(), qlonglong(v));
    }
    const QString year = p.format(1997, loc);
    QCOMPARE(year, QString("1997"));
    QCOMPARE(p.parse(year, loc).value.toLongLong(), 1997);
}

void TestPicture::timeRoundTrip_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<int>("value");
    QTest::newRow("@t4 track") << "@t4" << 22501;
    QTest::newRow("@t4 long album") << "@t4" << timeFromParts(40, 59, 59);
    QTest::newRow("@t4b") << "@t4b" << timeFromParts(1, 2, 3);
    QTest::newRow("@t4 none") << "@t4" << 0;
    QTest::newRow("@t1") << "@t1" << timeFromParts(17, 30, 0);
    QTest::newRow("@t2") << "@t2" << timeFromParts(9, 5, 0);
    QTest::newRow("@t3 morning") << "@t3" << timeFromParts(9, 5, 0);
    QTest::newRow("@t3 evening") << "@t3" << timeFromParts(21, 5, 0);
    QTest::newRow("@t5") << "@t5" << timeFromParts(21, 5, 9);
    QTest::newRow("@t6") << "@t6" << timeFromParts(0, 5, 9);
    QTest::newRow("@t7") << "@t7" << timeFromParts(21, 5, 0);
    QTest::newRow("@t8") << "@t8" << timeFromParts(21, 5, 9);
    QTest::newRow("@t4 with dashes") << "@t4-" << timeFromParts(1, 2, 3);
}

void TestPicture::timeRoundTrip()
{
    QFETCH(QString, picture);
    QFETCH(int, value);
    for (const QLocale& loc : {us, de}) {
        const Picture p(picture);
        const QString shown = p.format(value, loc);
        const Picture::Input back = p.parse(shown, loc);
        QVERIFY2(back.ok, qPrintable(shown));
        QCOMPARE(back.value.toLongLong(), qlonglong(value));
    }
}

void TestPicture::numberRoundTrip_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<qint64>("value");
    QTest::newRow("@n3") << "@n3" << qint64(42);
    QTest::newRow("@n3b zero") << "@n3b" << qint64(0);
    QTest::newRow("@n_4b") << "@n_4b" << qint64(128);
    QTest::newRow("@n-13 negative") << "@n-13" << qint64(-1234567);
    QTest::newRow("@n10") << "@n10" << qint64(9999999);
    QTest::newRow("@n05") << "@n05" << qint64(42);
    QTest::newRow("@n*6") << "@n*6" << qint64(42);
    QTest::newRow("@n6-") << "@n6-" << qint64(-42);
    QTest::newRow("@n(6)") << "@n(6)" << qint64(-42);
    QTest::newRow("pattern") << "@pPage <<<#p" << qint64(77);
    QTest::newRow("pattern blank") << "@p(<<#)pb" << qint64(0);
}

void TestPicture::numberRoundTrip()
{
    QFETCH(QString, picture);
    QFETCH(qint64, value);
    const Picture p(picture);
    const Picture::Input back = p.parse(p.format(value));
    QVERIFY(back.ok);
    QCOMPARE(back.value.toLongLong(), qlonglong(value));
}

void TestPicture::dateValue_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("year only shows a full date as its year") << "@n4b" << dayFromYmd(1997, 12, 31) << "1997";
    QTest::newRow("year only shows a year") << "@n4b" << 1997 << "1997";
    QTest::newRow("year only, no date") << "@n4b" << 0 << "";
    QTest::newRow("year only, absurd date") << "@n4b" << maxDay() + 1 << "####";
    QTest::newRow("date picture, year") << "@d2" << 1997 << "1997";
    QTest::newRow("date picture, date") << "@d2" << dayFromYmd(1997, 12, 31) << "12/31/1997";
}

void TestPicture::dateValue()
{
    QFETCH(QString, picture);
    QFETCH(int, value);
    QFETCH(QString, shown);
    QCOMPARE(formatDateValue(Picture(picture), value, us), shown);

    const Picture year("@n4b");
    Picture::Input r = parseDateValue(year, "1997", us);
    QVERIFY(r.ok);
    QCOMPARE(r.value.toLongLong(), 1997);
    r = parseDateValue(year, "3001", us);    // would read back as a full date
    QCOMPARE(r.error, Picture::Error::OutOfRange);
    r = parseDateValue(year, "", us);
    QVERIFY(r.ok);
    QCOMPARE(r.value.toLongLong(), 0);
    r = parseDateValue(year, "-5", us);
    QCOMPARE(r.error, Picture::Error::Negative);
    r = parseDateValue(Picture("@d2"), "12/31/1997", us);
    QCOMPARE(r.value.toLongLong(), qlonglong(dayFromYmd(1997, 12, 31)));
}

void TestPicture::twoDigitYears_data()
{
    QTest::addColumn<int>("yy");
    QTest::addColumn<int>("reference");
    QTest::addColumn<int>("year");
    QTest::newRow("past") << 59 << 2025 << 1959;
    QTest::newRow("near future") << 30 << 2025 << 2030;
    QTest::newRow("last of the window") << 44 << 2025 << 2044;
    QTest::newRow("first of the window") << 45 << 2025 << 1945;
    QTest::newRow("this year") << 25 << 2025 << 2025;
    QTest::newRow("zero") << 0 << 2025 << 2000;
    QTest::newRow("in 2000") << 99 << 2000 << 1999;
    QTest::newRow("in 2000, future") << 19 << 2000 << 2019;
    QTest::newRow("in 2000, 80 back") << 20 << 2000 << 1920;
}

void TestPicture::twoDigitYears()
{
    QFETCH(int, yy);
    QFETCH(int, reference);
    QFETCH(int, year);
    QCOMPARE(expandTwoDigitYear(yy, reference), year);
}

// What a value reads back as through a picture that shows less than it holds: times without
// hundredths (and without seconds where the picture has none), dates of month pictures as the
// first of their month, numbers rounded to the places shown.
QVariant shownPrecision(const Picture& p, const QVariant& value, const QLocale& loc)
{
    if (p.isTime() && value.toLongLong() > 0) {
        int h = 0, m = 0, s = 0, cs = 0;
        timeParts(int(value.toLongLong()), h, m, s, cs);
        const bool minutesOnly = p.size() <= 3
            || (p.size() == 7 && !loc.timeFormat(QLocale::ShortFormat).contains(QLatin1Char('s')));
        return qlonglong(timeFromParts(h, m, minutesOnly ? 0 : s));
    }
    if (p.isDate() && p.size() >= 13 && p.size() <= 16 && value.toLongLong() > MaxYearOnly) {
        const int d = int(value.toLongLong());
        return qlonglong(dayFromYmd(yearOfDay(d), monthOfDay(d), 1));
    }
    if (p.isNumber()) {
        const double scale = std::pow(10.0, p.places());
        return std::round(value.toDouble() * scale) / scale;
    }
    return value;
}

void TestPicture::formatThenParse_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("locale");
    QStringList numbers = { "@n3", "@n3b", "@n_4b", "@n-13", "@n05", "@n*6", "@n6-", "@n(6)", "@n10.2",
        "@n-8.3", "@n(9.1)b", "@n4b", "@n_2" };
    const QList<QVariant> numberValues = { qlonglong(0), qlonglong(1), qlonglong(-1), qlonglong(7),
        qlonglong(42), qlonglong(999), qlonglong(1000), qlonglong(-999), qlonglong(12345), qlonglong(9999999),
        qlonglong(-1234567), 0.5, 1.25, -3.75, 123.456, 1e15, -9.995, 1.7e308 };
    QStringList dates;
    for (int n = 1; n <= 18; ++n)
        dates << QStringLiteral("@d%1").arg(n);
    dates << "@d2b"
          << "@d6."
          << "@d10-"
          << "@d14_"
          << "@d17b";
    const QList<QVariant> dateValues = { 0, 1, 5, 999, 1000, 1997, MaxYearOnly, MaxYearOnly + 1,
        dayFromYmd(1901, 3, 4), dayFromYmd(1930, 1, 5), dayFromYmd(1997, 12, 31), dayFromYmd(2000, 2, 29),
        dayFromYmd(2060, 7, 14), maxDay(), maxDay() + 1, -1 };
    QStringList times;
    for (int n = 1; n <= 8; ++n)
        times << QStringLiteral("@t%1").arg(n);
    times << "@t4b"
          << "@t4-"
          << "@t2."
          << "@t1_";
    const QList<QVariant> timeValues = { 0, 1, 22501, 22551, timeFromParts(9, 5, 0), timeFromParts(12, 0, 0),
        timeFromParts(23, 59, 59), timeFromParts(24, 0, 0), timeFromParts(99, 59, 59),
        timeFromParts(100, 0, 0), timeFromParts(5965, 0, 0), MaxTime, -5 };
    const QStringList patterns = { "@p19##p", "@pPage <<<#p", "@p<<<#p", "@p(<<#)pb", "@p##-##p", "@p#1#p",
        "@p1<# p", "@p<<<3<<<#1p", "@p <<3p" };
    const QList<QVariant> patternValues = { qlonglong(0), qlonglong(3), qlonglong(5), qlonglong(7), qlonglong(19), qlonglong(42),
        qlonglong(99), qlonglong(100), qlonglong(1905), qlonglong(9999), qlonglong(-1) };
    auto add = [](const QStringList& pictures, const QList<QVariant>& values) {
        for (const QString& p : pictures) {
            for (const QVariant& v : values) {
                for (const char* loc : { "us", "de" })
                    QTest::addRow("%s %s %s", qPrintable(p), qPrintable(v.toString()), loc) << p << v << loc;
            }
        }
    };
    add(numbers, numberValues);
    add(dates, dateValues);
    add(times, timeValues);
    add(patterns, patternValues);
}

// Whatever a picture shows reads back as the value shown, or is refused; never another value.
void TestPicture::formatThenParse()
{
    QFETCH(QString, picture);
    QFETCH(QVariant, value);
    QFETCH(QString, locale);
    const Picture p(picture);
    QVERIFY(p.isValid());
    const QLocale loc = localeNamed(locale);
    const QString shown = p.formatVariant(value, loc);
    const Picture::Input back = p.parse(shown, loc);
    if (shown.startsWith(QLatin1Char('#'))) {
        QVERIFY2(!back.ok, qPrintable(shown + " read as " + back.value.toString()));
        return;
    }
    if (p.isNumber() && !p.allowsNegative() && value.toDouble() < 0) {
        // Shown with its minus so as not to show another value, but not accepted as input.
        QCOMPARE(back.error, Picture::Error::Negative);
        return;
    }
    const QVariant expected = shownPrecision(p, value, loc);
    if (p.isDate() && value.toLongLong() > MaxYearOnly && expected.toLongLong() <= MaxYearOnly) {
        // The first of a month in early 1809 would read back as a plain year.
        QCOMPARE(back.error, Picture::Error::OutOfRange);
        return;
    }
    QVERIFY2(back.ok, qPrintable("\"" + shown + "\" refused"));
    QVERIFY2(back.value.toDouble() == expected.toDouble(),
        qPrintable("\"" + shown + "\" read as " + back.value.toString() + ", not " + expected.toString()));
    // An entry may hand the text over without its outer blanks: still the same value, or refused.
    const Picture::Input trimmed = p.parse(shown.trimmed(), loc);
    QVERIFY2(!trimmed.ok || trimmed.value.toDouble() == expected.toDouble(),
        qPrintable("\"" + shown.trimmed() + "\" read as " + trimmed.value.toString()));
}

void TestPicture::typedThenShown_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("locale");
    const QStringList pictures = { "@t1", "@t2", "@t3", "@t4", "@t5", "@t6", "@t7", "@t8", "@t4b", "@d1", "@d2",
        "@d5", "@d17", "@d13", "@n3", "@n_4b", "@n-6", "@n6.2", "@p1<# p", "@p<<<3<<<#1p", "@pPage <<<#p" };
    const QStringList typed = { "33", "23", "24", "0", "7", "17", "12:30", "33:00", "23:59:59", "99:59:59",
        "1:02:03", "5 pm", "12am", "13pm", "235959", "3375", "1 7", "17 ", "301", "3   01", "12/31/1997",
        "31.12.1997", "13/13/2020", "2/29/2001", "1000", "-5", "1,234", "99999999999999999999" };
    for (const QString& p : pictures)
        for (const QString& t : typed)
            for (const char* loc : { "us", "de" })
                QTest::addRow("%s '%s' %s", qPrintable(p), qPrintable(t), loc) << p << t << loc;
}

// Text a picture accepts shows as a value that reads back as the same value: nothing is taken
// that the picture could not show ("33" hours through a clock picture would show as "#######").
void TestPicture::typedThenShown()
{
    QFETCH(QString, picture);
    QFETCH(QString, typed);
    QFETCH(QString, locale);
    const Picture p(picture);
    const QLocale loc = localeNamed(locale);
    const Picture::Input first = p.parse(typed, loc);
    if (!first.ok)
        return;
    const QString shown = p.formatVariant(first.value, loc);
    QVERIFY2(!shown.startsWith(QLatin1Char('#')), qPrintable("taken, then shown as " + shown));
    const Picture::Input again = p.parse(shown, loc);
    QVERIFY2(again.ok, qPrintable("\"" + shown + "\" refused"));
    QCOMPARE(p.formatVariant(again.value, loc), shown);
}

QTEST_APPLESS_MAIN(TestPicture)
#include "tst_picture.moc"

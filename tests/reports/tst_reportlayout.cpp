// The layout engine on its own: texts kept inside their controls, bands laid on pages with group
// headings kept with their first detail line, page numbers, a sink that refuses a page, and a custom
// font that is taller than the designed one.

#include "reports/ReportLayout.h"

#include <QFontMetricsF>
#include <QtTest>

using namespace td;

namespace {

PageFont plain(double points)
{
    PageFont f;
    f.family = QStringLiteral("DejaVu Sans");
    f.points = points;
    return f;
}

ReportControl fieldAt(const QRect& r, const QString& name, const QString& picture = QStringLiteral("@s40"))
{
    ReportControl c;
    c.kind = ReportControl::Field;
    c.rect = r;
    c.field = name;
    c.picture = picture;
    return c;
}

// Header 500, group heading 400 on value 0, detail 1000 showing value 1, footer with the page number;
// 5000 mils of page with no margins.
ReportLayout groupedLayout()
{
    ReportLayout l;
    l.fonts = { plain(10) };
    l.pageHeader.height = 500;
    ReportControl title;
    title.rect = QRect(0, 0, 4000, 400);
    title.text = QStringLiteral("Header");
    l.pageHeader.controls << title;
    ReportBand g = ReportLayout::band(ReportBand::GroupHeading);
    g.height = 400;
    g.breakField = QStringLiteral("group");
    g.controls << fieldAt(QRect(0, 0, 4000, 300), QStringLiteral("group"));
    l.groupHeadings << g;
    l.detail.height = 1000;
    l.detail.controls << fieldAt(QRect(200, 0, 3000, 300), QStringLiteral("item"));
    l.pageFooter.height = 300;
    l.pageFooter.controls << fieldAt(QRect(0, 0, 2000, 300), QStringLiteral("=page"), QStringLiteral("@pPage <<<#p"));
    l.bind([](const QString& n) { return n == QLatin1String("group") ? 0 : n == QLatin1String("item") ? 1 : -1; });
    return l;
}

QPageLayout smallPage()
{
    return QPageLayout(QPageSize(QSizeF(5, 5), QPageSize::Inch), QPageLayout::Portrait, QMarginsF(), QPageLayout::Inch);
}

} // namespace

class TestReportLayout : public QObject {
    Q_OBJECT
private slots:
    void textsStayInTheirControl_data();
    void textsStayInTheirControl();
    void groupHeadingsStayWithTheirDetail();
    void aRefusedPageStopsTheReport();
    void aTallerCustomFontGrowsTheBands();
    void numbersNeverShowMarks_data();
    void numbersNeverShowMarks();
    void pagesPastNineThousandNineHundredNinetyNine();
};

void TestReportLayout::textsStayInTheirControl_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("lines");     // control height in lines
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<QString>("expected"); // empty: only checked to fit
    QTest::newRow("fits") << "Abba" << 3000 << 1 << false << "Abba";
    QTest::newRow("cut at the edge") << "Bohemian Rhapsody" << 700 << 1 << false << "";
    QTest::newRow("line break cut off") << "first\nsecond" << 3000 << 1 << false << "first";
    QTest::newRow("wrapped at words") << "one two three four five six" << 1200 << 6 << true << "";
    QTest::newRow("long word broken") << "Supercalifragilisticexpialidocious" << 800 << 9 << true << "";
    QTest::newRow("lines below dropped") << "one two three four five six seven eight nine ten" << 900 << 2 << true << "";
    QTest::newRow("nothing fits") << "W" << 1 << 1 << false << "";
}

void TestReportLayout::textsStayInTheirControl()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(int, lines);
    QFETCH(bool, wrap);
    QFETCH(QString, expected);
    const QFontMetricsF m(qfontFor(plain(10)));
    const double height = lines * m.lineSpacing() + 1;
    const QString fitted = ReportWriter::fitText(text, m, width, height, wrap);
    if (!expected.isEmpty())
        QCOMPARE(fitted, expected);
    const QStringList shown = fitted.split(QLatin1Char('\n'));
    QVERIFY(shown.size() <= lines);
    for (const QString& line : shown)
        QVERIFY2(m.horizontalAdvance(line) <= width, qPrintable(line));
    // Nothing is lost but what did not fit: the shown characters are the text's, in order.
    QString rest = text;
    rest.remove(QLatin1Char(' ')).remove(QLatin1Char('\n'));
    QString got = fitted;
    got.remove(QLatin1Char(' ')).remove(QLatin1Char('\n'));
    QVERIFY(rest.startsWith(got));
    if (wrap && shown.size() < lines)
        QCOMPARE(got, rest);
}

void TestReportLayout::groupHeadingsStayWithTheirDetail()
{
    const ReportLayout layout = groupedLayout();
    QList<PageDoc> pages;
    ReportWriter w(layout, smallPage(), QDate(2026, 1, 2), [&](const PageDoc& p) {
        pages << p;
        return true;
    });
    // Page: 5000 - 500 header - 300 footer = 4200 for bands.
    const QList<QPair<QString, QString>> rows { { "G1", "a" }, { "G1", "b" }, { "G1", "c" }, { "G2", "d" },
                                                { "G2", "e" }, { "G3", "f" } };
    for (const auto& r : rows)
        QVERIFY(w.printDetail({ r.first, r.second }));
    QVERIFY(w.finish());
    QCOMPARE(w.pagesDone(), pages.size());
    QStringList all;
    for (int i = 0; i < pages.size(); ++i) {
        const QStringList t = pages.at(i).plainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(t.first(), QStringLiteral("Header"));
        QCOMPARE(t.last(), QStringLiteral("Page %1").arg(i + 1));
        QVERIFY2(!t.at(t.size() - 2).startsWith(QLatin1Char('G')), "a heading ends a page");
        for (const PageItem& it : pages.at(i).items)
            QVERIFY(it.rect.bottom() < 5000);
        all << t.mid(1, t.size() - 2);
    }
    QCOMPARE(all, (QStringList { "G1", "a", "b", "c", "G2", "d", "e", "G3", "f" }));
}

void TestReportLayout::aRefusedPageStopsTheReport()
{
    const ReportLayout layout = groupedLayout();
    int offered = 0;
    ReportWriter w(layout, smallPage(), QDate(2026, 1, 2), [&](const PageDoc&) {
        ++offered;
        return false;
    });
    bool ok = true;
    for (int i = 0; i < 20 && ok; ++i)
        ok = w.printDetail({ QStringLiteral("G"), QString::number(i) });
    QVERIFY(!ok);
    QVERIFY(w.failed());
    QCOMPARE(offered, 1);
    QVERIFY(!w.finish());
    QCOMPARE(offered, 1);
}

void TestReportLayout::aTallerCustomFontGrowsTheBands()
{
    ReportLayout l = groupedLayout();
    const int detail = l.detail.height;
    const QRect item = l.detail.controls.first().rect;
    PageFont big = plain(20);
    big.color = Qt::red;
    l.applyFont(big);
    QCOMPARE(l.fonts.first(), big);
    QVERIFY(l.detail.height > detail);
    const QRect grown = l.detail.controls.first().rect;
    QCOMPARE(grown.width(), item.width());
    QVERIFY(grown.height() >= QFontMetricsF(qfontFor(big)).height());
    // A smaller font leaves the bands as designed.
    ReportLayout s = groupedLayout();
    s.applyFont(plain(6));
    QCOMPARE(s.detail.height, detail);
}

void TestReportLayout::numbersNeverShowMarks_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("page 10,000") << "@pPage <<<#p" << qint64(10000) << "Page 10000";
    QTest::newRow("page 25,000") << "@pPage <<<#p" << qint64(25000) << "Page 25000";
    QTest::newRow("page 9,999") << "@pPage <<<#p" << qint64(9999) << "Page 9999";
    QTest::newRow("track 100 in two places") << "@n2" << qint64(100) << "100";
    QTest::newRow("tempo 1200 in three") << "@n_3b" << qint64(1200) << "1200";
    QTest::newRow("tempo in parentheses") << "@p(<<#)pb" << qint64(1200) << "(1200)";
    QTest::newRow("blank when zero stays blank") << "@n3b" << qint64(0) << "";
}

void TestReportLayout::numbersNeverShowMarks()
{
    QFETCH(QString, picture);
    QFETCH(qint64, value);
    QFETCH(QString, shown);
    QCOMPARE(ReportWriter::wholeNumber(Picture(picture), value).trimmed(), shown);
}

void TestReportLayout::pagesPastNineThousandNineHundredNinetyNine()
{
    // One detail band fills a page: 10,000 records make 10,000 pages.
    ReportLayout l = groupedLayout();
    l.groupHeadings.clear();
    l.detail.height = 5000 - 500 - 300;
    QStringList footers;
    ReportWriter w(l, smallPage(), QDate(2026, 1, 2), [&](const PageDoc& p) {
        if (footers.size() < 2 || p.plainText().contains(QLatin1String("1000")))
            footers << p.plainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts).constLast();
        return true;
    });
    for (int i = 0; i < 10000; ++i)
        QVERIFY(w.printDetail({ QString(), QString::number(i) }));
    QVERIFY(w.finish());
    QCOMPARE(w.pagesDone(), 10000);
    QCOMPARE(footers.constLast(), QStringLiteral("Page 10000"));
    QVERIFY(!footers.join(QString()).contains(QLatin1Char('#')));
}

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"

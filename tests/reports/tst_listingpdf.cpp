// The listings as a reader gets them in a PDF, on Letter and A4: every number, date, time and
// column heading whole (three-digit tempos and tracks, long and "Year Only" date formats), names
// found as typed (no ligatures), no type under 7 points, and the fonts embedded.

#include "TestDb.h"
#include "TestPages.h"
#include "core/DayTime.h"
#include "data/TableHandle.h"
#include "reports/PaperSaver.h"
#include "reports/PdfOutput.h"
#include "reports/ReportColumns.h"
#include "reports/ReportListings.h"
#include "reports/ReportRun.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void addSong(Table<Tunedeck>& t, qint32 id, const QString& artist, const QString& title, int tempo, int track)
{
    t.rec = Tunedeck();
    t.rec.ID = id;
    t.rec.Artist = artist;
    t.rec.Title = title;
    t.rec.Album = QStringLiteral("Grace");
    t.rec.Media = QStringLiteral("CD");
    t.rec.FileNumber = QStringLiteral("F-1024");
    t.rec.BeatsPerMinute = tempo;
    t.rec.TrackNumber = track;
    t.rec.ChartNumber = track;
    t.rec.CategoryID = 0;
    t.rec.UserDefinedKeyField = QStringLiteral("calm");
    t.rec.ReleaseDate = dayFromDate(QDate(1959, 10, 31));
    t.rec.Time = timeFromParts(1, 2, 3);
    QCOMPARE(t.add(), 0);
}

} // namespace

class TestListingPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!havePdfTools())
            QSKIP("pdftotext (poppler-utils) is needed: scripts/deps.sh installs it");
    }
    void valuesPrintWhole_data();
    void valuesPrintWhole();
};

void TestListingPdf::valuesPrintWhole_data()
{
    QTest::addColumn<QString>("report");
    QTest::addColumn<bool>("a4");
    QTest::addColumn<QString>("datePicture");
    QTest::addColumn<QStringList>("shown");
    const QString longDate = QStringLiteral("October 31, 1959");
    const QString weekdayDate = QLocale().toString(QDate(1959, 10, 31), QLocale::LongFormat);
    QTest::newRow("tempo, standard, long date") << "PrintMUS:SongsByBPM" << false << "@d4"
        << QStringList { "BPM", "100", "128", "200", "Release Date", "Track", "Chart", longDate };
    QTest::newRow("tempo, brief, A4") << "BriefMUS:SongsByBPM" << true << ""
        << QStringList { "BPM", "Trk", "Time", "100", "128", "200", "01:02:03" };
    QTest::newRow("artist, weekday date, A4") << "PrintMUS:SongsByArtist" << true << "@d18"
        << QStringList { "Jeff Buckley", "Release Date", weekdayDate, "100" };
    QTest::newRow("artist, year only") << "PrintMUS:SongsByArtist" << false << "@n4b"
        << QStringList { "Jeff Buckley", "Efflorescence", "1959", "100" };
    QTest::newRow("chart, designed date") << "PrintMUS:SongsByChart" << false << ""
        << QStringList { "Chart #", "100", "10/31/1959" };
    QTest::newRow("brief title, A4") << "BriefMUS:SongsByTitle" << true << ""
        << QStringList { "Jeff Buckley", "Hallelujah", "Trk", "100", "01:02:03" };
    QTest::newRow("paper saver") << "PrintPaperSaver" << false << ""
        << QStringList { "Jeff Buckley", "Hallelujah", "Efflorescence", "(128)", "(200)", "62:03", "File #", "BPM" };
    QTest::newRow("paper saver, A4") << "PrintPaperSaverTitle" << true << ""
        << QStringList { "Jeff Buckley", "Hallelujah", "(128)", "62:03" };
}

void TestListingPdf::valuesPrintWhole()
{
    QFETCH(QString, report);
    QFETCH(bool, a4);
    QFETCH(QString, datePicture);
    QFETCH(QStringList, shown);
    TestDb t;
    {
        Table<Tunedeck> songs(t.db);
        addSong(songs, 1, QStringLiteral("Jeff Buckley"), QStringLiteral("Hallelujah"), 100, 100);
        addSong(songs, 2, QStringLiteral("Ærøskøbing Ensemble"), QStringLiteral("Efflorescence"), 128, 7);
        addSong(songs, 3, QStringLiteral("ＦＵＬＬ　ＷＩＤＴＨ"), QStringLiteral("Ｔｕｎｅ"), 200, 12);
    }
    ReportSetup setup;
    setup.criteria.ReportWithPreview = true;
    setup.datePicture = datePicture;
    setup.date = QDate(2026, 3, 4);
    if (a4)
        setup.page = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0.5, 0.5, 0.5, 0.5),
            QPageLayout::Inch);
    const ReportDefinition def = report.startsWith(QLatin1String("PrintPaperSaver"))
        ? paperSaverReport(report.endsWith(QLatin1String("Title")) ? PaperSaverOrder::ByTitle : PaperSaverOrder::ByArtist,
            QString(), {})
        : reportListing(report, {});
    ReportRun r(t.db, def, setup);
    QVERIFY(r.start());
    while (r.step(r.sliceSize())) { }
    r.finish();
    QCOMPARE(r.conclude(), ReportRun::Preview);

    for (int i = 0; i < r.pageList().count(); ++i) {
        PageDoc page;
        QVERIFY(r.pageList().read(i, page));
        for (const PageItem& it : page.items)
            if (it.kind == PageItem::Text)
                QVERIFY2(page.fonts.at(it.font).points >= kSmallestPoints, qPrintable(it.text));
        QVERIFY(!page.plainText().contains(noRoomText()));
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
    QString why;
    QVERIFY2(writePdf(r.pageList(), 1, 0, pdf, def.title, &why), qPrintable(why));
    const QString text = run(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
    for (const QString& s : shown)
        QVERIFY2(text.contains(s), qPrintable(s + QStringLiteral(" is not whole in:\n") + text));
    QVERIFY2(!text.contains(QLatin1String("##")), qPrintable(text));
    // Every font is in the file.
    const QStringList fonts = run(QStringLiteral("pdffonts"), { pdf }).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(fonts.size() > 2);
    for (const QString& line : fonts.mid(2))
        QVERIFY2(line.contains(QLatin1String(" yes ")), qPrintable(line));
}

QTEST_MAIN(TestListingPdf)
#include "tst_listingpdf.moc"

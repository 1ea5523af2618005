// The playlist reports on their pages: the chart's positions, marks and renumbering, the plain
// list's total, and the DJ log's years.

#include "PlaylistFixture.h"

#include "core/DayTime.h"
#include "playlists/PlaylistReports.h"
#include "reports/ReportRun.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

using namespace td;
using namespace td::test;

namespace {

ReportSetup previewSetup()
{
    ReportSetup s;
    s.criteria.SelectedOrAll = QStringLiteral("All");
    s.criteria.ReportWithPreview = true;
    s.date = QDate(2026, 3, 4);
    return s;
}

// The report run to its end; the text of its pages, one item a line.
QString runText(Database& db, const ReportDefinition& d)
{
    ReportRun run(db, d, previewSetup());
    if (!run.start())
        return QStringLiteral("<nothing>");
    while (run.step(run.sliceSize())) {
    }
    run.finish();
    run.conclude();
    QString text;
    for (int i = 0; i < run.pageList().count(); ++i) {
        PageDoc p;
        run.pageList().read(i, p);
        text += p.plainText();
    }
    return text;
}

// The texts following `first` on the page, up to `count` of them.
QStringList after(const QString& text, const QString& first, int count)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    const int at = int(lines.indexOf(first));
    return at < 0 ? QStringList() : lines.mid(at, count);
}

} // namespace

class TestPlaylistReports : public QObject {
    Q_OBJECT
private slots:
    void movement_data();
    void movement();
    void yearText();
    void chartClosesGapsAndMarksMovement();
    void plainListTotalsTheTimes();
    void djLogYears();
    void chartLogo_data();
    void chartLogo();
};

void TestPlaylistReports::chartLogo_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("present");   // a file made in the working folder first
    QTest::addColumn<bool>("own");          // the program's own logo is printed
    QTest::newRow("blank, no LOGO.GIF") << QString() << QString() << true;
    QTest::newRow("blank, LOGO.GIF there") << QString() << QStringLiteral("LOGO.GIF") << false;
    QTest::newRow("named file missing") << QStringLiteral("gone.png") << QString() << true;
    QTest::newRow("named file there") << QStringLiteral("mine.png") << QStringLiteral("mine.png") << false;
}

void TestPlaylistReports::chartLogo()
{
    QFETCH(QString, setting);
    QFETCH(QString, present);
    QFETCH(bool, own);
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    if (!present.isEmpty()) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(present, "PNG"));
    }
    const QString logo = td::chartLogo(setting);
    QDir::setCurrent(before);
    if (own)
        QCOMPARE(logo, defaultChartLogo());
    else
        QCOMPARE(logo, QDir(dir.path()).absoluteFilePath(present));
    // The picture printed is one that can be read, also from the program's resources.
    QVERIFY2(!QImageReader(logo).read().isNull(), qPrintable(logo));
}

void TestPlaylistReports::movement_data()
{
    QTest::addColumn<QString>("notes");
    QTest::addColumn<qint64>("position");
    QTest::addColumn<QString>("mark");
    QTest::newRow("climbed") << QStringLiteral("LW:3") << qint64(1) << QStringLiteral("^");
    QTest::newRow("same place") << QStringLiteral("LW:3") << qint64(3) << QStringLiteral("=");
    QTest::newRow("fell") << QStringLiteral("LW:3") << qint64(5) << QString();
    QTest::newRow("climbed far") << QStringLiteral("LW:15") << qint64(1) << QStringLiteral("*");
    QTest::newRow("climbed exactly ten") << QStringLiteral("LW:12") << qint64(2) << QStringLiteral("^");
    QTest::newRow("new entry") << QStringLiteral("hot") << qint64(1) << QString();
    QTest::newRow("mark after notes") << QStringLiteral("Re-entry LW:40") << qint64(20) << QStringLiteral("*");
}

void TestPlaylistReports::movement()
{
    QFETCH(QString, notes);
    QFETCH(qint64, position);
    QFETCH(QString, mark);
    QCOMPARE(chartMovement(lastWeekOf(notes), position), mark);
}

void TestPlaylistReports::yearText()
{
    QCOMPARE(releaseYearText(0), QStringLiteral(" --"));
    QCOMPARE(releaseYearText(1987), QStringLiteral("1987"));
    QCOMPARE(releaseYearText(dayFromYmd(1995, 12, 31)), QStringLiteral("1995"));
    QCOMPARE(lastWeekOf(QString()), QStringLiteral("--"));
    QCOMPARE(lastWeekOf(QStringLiteral("New LW:15")), QStringLiteral("15"));
}

void TestPlaylistReports::chartClosesGapsAndMarksMovement()
{
    PlaylistDb t;
    t.addSong(0, 0, QStringLiteral("Alpha"));
    t.addSong(0, 0, QStringLiteral("Bravo"));
    t.addSong(0, 0, QStringLiteral("Charlie"));
    t.addPlaylist(1, QStringLiteral("Hot Hits"));
    t.addPlaylist(2, QStringLiteral("Other"));
    t.addLine(1, 1, 3, QStringLiteral("LW:2"));
    t.addLine(1, 2, 1, QStringLiteral("LW:15"));
    t.addLine(1, 5, 2);
    t.addLine(2, 3, 2);
    PlaylistReportContext ctx;
    ctx.playlistId = 1;
    ctx.description = QStringLiteral("Hot Hits");
    const QString text = runText(t.db, playlistReport(t.db, ctx, true));
    QVERIFY2(text.contains(QStringLiteral("Hot Hits")), qPrintable(text));
    QCOMPARE(after(text, QStringLiteral("Charlie"), 1).size(), 1);
    // Each line: TW, LW, artist, title, file, track, time, BPM (blank when 0 is not printed), mark.
    const QStringList lines = text.split(QLatin1Char('\n'));
    const int charlie = int(lines.indexOf(QStringLiteral("Charlie")));
    const int alpha = int(lines.indexOf(QStringLiteral("Alpha")));
    const int bravo = int(lines.indexOf(QStringLiteral("Bravo")));
    QVERIFY(charlie > 0 && charlie < alpha && alpha < bravo);
    QCOMPARE(lines.mid(charlie - 2, 2), QStringList({ QStringLiteral("1"), QStringLiteral("2") }));
    QCOMPARE(lines.mid(alpha - 2, 2), QStringList({ QStringLiteral("2"), QStringLiteral("15") }));
    QCOMPARE(lines.mid(bravo - 2, 2), QStringList({ QStringLiteral("3"), QStringLiteral("--") }));
    QVERIFY(lines.mid(charlie, alpha - charlie).contains(QStringLiteral("^")));
    QVERIFY(lines.mid(alpha, bravo - alpha).contains(QStringLiteral("*")));
    QVERIFY(!text.contains(QStringLiteral("Other")));
    // The third line now holds number 3; the other playlist is untouched.
    QCOMPARE(t.lines(1).value(2).PlaylistSeq, qint64(3));
    QCOMPARE(t.lines(2).value(0).PlaylistSeq, qint64(3));
    QVERIFY(t.script->asked().isEmpty());
}

void TestPlaylistReports::plainListTotalsTheTimes()
{
    PlaylistDb t;
    t.addCategory(4, QStringLiteral("Swing"));
    t.addSong(1987, 4, QStringLiteral("Alpha"));
    t.addSong(dayFromYmd(1995, 3, 1), 0, QStringLiteral("Bravo"));
    t.addPlaylist(1, QStringLiteral("Party"));
    t.addLine(1, 1, 1);
    t.addLine(1, 2, 2);
    t.addLine(1, 3, 1);
    PlaylistReportContext ctx;
    ctx.playlistId = 1;
    ctx.description = QStringLiteral("Party");
    ctx.udkPrompt = QStringLiteral("Shelf");
    ctx.datePicture = QStringLiteral("@d2");
    const QString text = runText(t.db, playlistReport(t.db, ctx, false));
    for (const char* s : { "Playlist", "Party", "Shelf", "Swing", "1987", "03/01/1995", " 3:00", "Number" })
        QVERIFY2(text.contains(QLatin1String(s)), qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("Total Time")), 1);
    QCOMPARE(after(text, QStringLiteral("Total Time"), 2).value(1), QStringLiteral("00:09:00"));
    QVERIFY(text.indexOf(QStringLiteral("Total Time")) > text.lastIndexOf(QStringLiteral("Alpha")));

    PlaylistReportContext none = ctx;
    none.playlistId = 9;
    QCOMPARE(runText(t.db, playlistReport(t.db, none, false)), QStringLiteral("<nothing>"));
}

void TestPlaylistReports::djLogYears()
{
    PlaylistDb t;
    t.addSong(0, 0, QStringLiteral("Alpha"));
    t.addSong(1987, 0, QStringLiteral("Bravo"));
    t.addSong(dayFromYmd(2001, 5, 5), 0, QStringLiteral("Charlie"));
    const QString all = runText(t.db, djListReport(QStringLiteral("Box"), QString(), {}));
    QVERIFY(all.startsWith(QStringLiteral("DJ LOG")));
    QVERIFY(all.contains(QStringLiteral("\n --\n")) || all.endsWith(QStringLiteral(" --")) || all.contains(QStringLiteral(" --\n")));
    QVERIFY(all.contains(QStringLiteral("1987")));
    QVERIFY(all.contains(QStringLiteral("2001")));
    QVERIFY(all.contains(QStringLiteral("Box")));
    const QString some = runText(t.db, djListReport(QString(), QStringLiteral("Artist = ?"), { QStringLiteral("Bravo") }));
    QVERIFY(some.contains(QStringLiteral("Bravo")));
    QVERIFY(!some.contains(QStringLiteral("Alpha")));
}

QTEST_MAIN(TestPlaylistReports)
#include "tst_playlistreports.moc"

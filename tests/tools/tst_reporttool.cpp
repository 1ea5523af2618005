// tunedeck-report on a small catalogue: each kind of report becomes a PDF whose text holds what
// was printed; wrong use, an unwritable file, a missing catalogue and an empty range end with
// their own exit status and a message, and leave no file behind.

#include "ChildProcess.h"
#include "TestAlbums.h"
#include "TestDb.h"
#include "TestPages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

ToolRun runTool(const QStringList& args, const QString& dataDir, const QString& configDir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TDP_DATA_DIR"), dataDir);
    env.insert(QStringLiteral("TDP_CONFIG_DIR"), configDir);
    // A display that is not there: the tool needs none and picks a platform without a screen.
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":987"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // Nor a desktop session: an ordinary run says nothing on standard error all the same.
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TD_REPORT_TOOL), args);
    return finishTool(p, 60000);
}

QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestReportTool : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void reportsToPdf_data();
    void reportsToPdf();
    void failures_data();
    void failures();
    void helpListsTheReports();

private:
    TestWorkspace ws_;
};

void TestReportTool::initTestCase()
{
    if (!havePdfTools())
        QSKIP("pdftotext (poppler-utils) is needed: scripts/deps.sh installs it");
    Database db(ws_.messages, ws_.ws.path());
    QVERIFY(!addAlbums(db,
        { { 1, QStringLiteral("Smith, Anna"), QStringLiteral("Blue Skies"), QStringLiteral("10"),
              { { {}, QStringLiteral("Morning"), 1, 245 },
                  { QStringLiteral("Brown, Tom"), QStringLiteral("Duet"), 2, 200 } } },
            { 2, QStringLiteral("Various"), QStringLiteral("Party Mix"), QStringLiteral("100"),
                { { QStringLiteral("Lee, Ann"), QStringLiteral("Dance"), 1, 180 } } },
            { 3, QStringLiteral("Zappa, Frank"), QStringLiteral("Late Album"), QStringLiteral("95"),
                { { {}, QStringLiteral("Late Song"), 1, 100 } } } })
                 .isEmpty());
}

void TestReportTool::reportsToPdf_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("notShown");
    QTest::newRow("songs by artist") << QStringList { "--report",
        "PrintMUS:SongsByArtist" } << QStringList { "Smith, Anna", "Brown, Tom", "Lee, Ann", "Zappa, Frank" }
                                     << QStringList();
    QTest::newRow("brief, selected") << QStringList { "--report", "printmus:songsbyartist", "--style",
        "brief", "--selected", "s" } << QStringList { "Smith, Anna", "Morning" }
                                     << QStringList { "Lee, Ann", "Duet",
                                            "Category" }; // Brief has no category column
    QTest::newRow("albums by artist")
        << QStringList { "--report", "PrintAlbumsByArtist" }
        << QStringList { "Smith, Anna", "Various", "Zappa, Frank" } << QStringList();
    QTest::newRow("binder 10 to 9") << QStringList { "--report", "PrintCDBinderPages", "--from", "10", "--to",
        "9" } << QStringList { "Blue Skies - Anna Smith", "Tom Brown", "Party Mix", "Ann Lee" }
                                    << QStringList { "Zappa", "Frank" };
    QTest::newRow("flap, every album") << QStringList { "--report", "PrintCDFlapPages" }
                                       << QStringList { "Blue Skies - Smith, Anna", "Tom Brown", "Ann Lee",
                                              "Late Album - Zappa, Frank", "Late Song" }
                                       << QStringList();
    QTest::newRow("one album") << QStringList { "--report", "PrintOneAlbum", "--album", "party mix" }
                               << QStringList { "Lee, Ann", "Dance" } << QStringList { "Morning" };
    QTest::newRow("paper saver with a search")
        << QStringList { "--report", "PrintPaperSaverTitle", "--filter", "MUS:Artist = 'Brown, Tom'" }
        << QStringList { "Duet", "Brown, Tom" } << QStringList { "Morning" };
}

void TestReportTool::reportsToPdf()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, notShown);
    const QString pdf = ws_.ws.file(QStringLiteral("out.pdf"));
    QFile::remove(pdf);
    const ToolRun r = runTool(args << QStringLiteral("--out") << pdf, ws_.ws.path(), ws_.ws.configDir());
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    const QString text = pdfText(pdf).simplified();
    for (const QString& s : shown)
        QVERIFY2(text.contains(s), qPrintable(s + QStringLiteral(" missing from: ") + text));
    for (const QString& s : notShown)
        QVERIFY2(!text.contains(s), qPrintable(s));
}

void TestReportTool::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("dataDir"); // "" the catalogue, otherwise a folder under the workspace
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString out = QStringLiteral("%OUT%");
    QTest::newRow("unknown report") << QStringList { "--report", "PrintNothing", "--out", out } << QString()
                                    << 64 << "unknown report \"PrintNothing\"";
    QTest::newRow("no output") << QStringList { "--report", "PrintCDFlapPages" } << QString() << 64
                               << "--out is missing";
    QTest::newRow("no brief binder") << QStringList { "--report", "PrintCDBinderPages", "--style", "brief",
        "--out", out } << QString() << 64
                                     << "has no brief style";
    QTest::newRow("category report without category") << QStringList { "--report", "PrintByCategory", "--out",
        out } << QString() << 64 << "needs --category";
    QTest::newRow("search that does not read")
        << QStringList { "--report", "PrintPaperSaver", "--filter", "MUS:Artist =", "--out", out }
        << QString() << 64 << "the search does not read";
    QTest::newRow("not a PDF name") << QStringList { "--report", "PrintCDFlapPages", "--out", "x.txt" }
                                    << QString() << 64 << "must end in .pdf";
    QTest::newRow("folder missing") << QStringList { "--report", "PrintCDFlapPages", "--out",
        "/nonexistent/x/out.pdf" } << QString()
                                    << 3 << "does not exist";
    QTest::newRow("end before start")
        << QStringList { "--report", "PrintCDFlapPages", "--from", "95", "--to", "10", "--out", out }
        << QString() << 1 << "nothing to print";
    QTest::newRow("no catalogue") << QStringList { "--report", "PrintCDFlapPages", "--out", out } << "empty"
                                  << 2 << "no catalogue";
    QTest::newRow("no such album") << QStringList { "--report", "PrintOneAlbum", "--album", "Nope", "--out",
        out } << QString() << 1 << "no album \"Nope\"";
}

void TestReportTool::failures()
{
    QFETCH(QStringList, args);
    QFETCH(QString, dataDir);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const QString pdf = ws_.ws.file(QStringLiteral("failed.pdf"));
    QFile::remove(pdf);
    args.replaceInStrings(QStringLiteral("%OUT%"), pdf);
    QString dir = ws_.ws.path();
    if (!dataDir.isEmpty()) {
        dir = ws_.ws.file(dataDir);
        QVERIFY(QDir().mkpath(dir));
    }
    const ToolRun r = runTool(args, dir, ws_.ws.configDir());
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(pdf));
    if (!dataDir.isEmpty())
        QVERIFY2(QDir(dir).isEmpty(), "the tool creates no data files in a folder without a catalogue");
}

void TestReportTool::helpListsTheReports()
{
    const ToolRun r = runTool({ QStringLiteral("--help") }, ws_.ws.path(), ws_.ws.configDir());
    QCOMPARE(r.exitCode, 0);
    for (const char* name : { "PrintMUS:SongsByArtist", "PrintByCategory", "PrintAlbumsByFileNumber",
             "PrintOneAlbum", "PrintPaperSaver", "PrintCDBinderPages", "PrintCDFlapPages" })
        QVERIFY2(r.out.contains(QLatin1String(name)), name);
}

QTEST_GUILESS_MAIN(TestReportTool)
#include "tst_reporttool.moc"

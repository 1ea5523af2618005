// Printing a page list: collated copies come out in order on a printer that cannot make copies, the
// printer's copy count survives the job, and every problem (no printer, too many copies, a page
// gone, nothing to print) is told and prints nothing.
#include "FormDriver.h"
#include "TestApp.h"
#include "TestPages.h"
#include "common/ui/ProgramPrinter.h"
#include "reports/ui/PagePrinting.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using namespace td;
using namespace td::test;

class TestPagePrinting : public QObject {
    Q_OBJECT
private slots:
    void copiesComeOutCollated_data()
    {
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<QList<int>>("sheets");
        QTest::newRow("one copy") << 1 << true << QList<int> { 1, 2, 3 };
        QTest::newRow("three collated") << 3 << true << QList<int> { 1, 2, 3, 1, 2, 3, 1, 2, 3 };
        // The PDF printer makes no copies of its own: the list makes them.
        QTest::newRow("two, not collated") << 2 << false << QList<int> { 1, 2, 3, 1, 2, 3 };
        QTest::newRow("many pages in slices") << 12 << true << QList<int> {};
    }
    void copiesComeOutCollated()
    {
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(QList<int>, sheets);
        if (!havePdfTools())
            QSKIP("pdftotext (poppler-utils) is needed: scripts/deps.sh installs it");
        if (sheets.isEmpty())
            for (int c = 0; c < copies; ++c)
                sheets << 1 << 2 << 3;
        TestApp app;
        ProgramPrinter printer;
        app.state.printer = &printer;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
        printer.printer().setOutputFormat(QPrinter::PdfFormat);
        printer.printer().setOutputFileName(pdf);
        printer.printer().setCopyCount(copies);
        printer.printer().setCollateCopies(collate);
        QVERIFY(!printer.printer().supportsMultipleCopies());
        PageList pages;
        QVERIFY(addSheets(pages, 3));
        Answer<bool> done;
        printPages(nullptr, app.state, pages, { QStringLiteral("Sheets") }, done.answer());
        QVERIFY(done.wait());
        QVERIFY(done.value());
        QCOMPARE(app.script->asked().size(), 0);
        QCOMPARE(sheetsInPdf(pdf), sheets);
        QCOMPARE(printer.printer().copyCount(), copies);
    }

    void problemsPrintNothing_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing to print")
            << QStringLiteral("empty") << QStringLiteral("NOTE...") << QStringLiteral("Nothing to Print.");
        QTest::newRow("no printer at all")
            << QStringLiteral("no printer") << QStringLiteral("Print")
            << QStringLiteral("No printer is available.|Choose a printer in Print Setup.");
        // Where no printer is installed, QPrinter falls back to a PDF printer without a file.
        QTest::newRow("no printer installed")
            << QStringLiteral("gone") << QStringLiteral("Print")
            << QStringLiteral("No printer is available.|Choose a printer in Print Setup.");
        QTest::newRow("10000 copies")
            << QStringLiteral("copies") << QStringLiteral("Print")
            << QStringLiteral("10000 copies were asked for; up to 999 copies can be printed at once.");
        QTest::newRow("a page gone") << QStringLiteral("page") << QStringLiteral("Print")
                                     << QStringLiteral("Page 2 could not be printed.");
        QTest::newRow("file not writable")
            << QStringLiteral("file") << QStringLiteral("Print") << QStringLiteral("could not be started");
    }
    void problemsPrintNothing()
    {
        QFETCH(QString, problem);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        TestApp app;
        ProgramPrinter printer;
        QPrinter& p = printer.printer();
        app.state.printer = problem == QLatin1String("no printer") ? nullptr : &printer;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        PageList pages;
        if (problem != QLatin1String("empty"))
            QVERIFY(addSheets(pages, 3));
        if (problem == QLatin1String("gone")) {
            p.setOutputFileName(QString());
        } else if (problem == QLatin1String("copies")) {
            p.setCopyCount(10000);
        } else if (problem == QLatin1String("page")) {
            QVERIFY(QFile::remove(pages.file(1)));
        } else if (problem == QLatin1String("file")) {
            p.setOutputFileName(dir.filePath(QStringLiteral("no/folder/printed.pdf")));
        }
        const QStringList before = pages.files();
        const int copies = p.copyCount();
        Answer<bool> done;
        printPages(nullptr, app.state, pages, {}, done.answer());
        QVERIFY(done.wait());
        QVERIFY(!done.value());
        QCOMPARE(app.script->captions(), QStringList { caption });
        const QString shown = app.script->asked().at(0).text;
        QVERIFY2(shown.contains(text), qPrintable(shown));
        QCOMPARE(pages.files(), before);
        QCOMPARE(p.copyCount(), copies);
        if (problem != QLatin1String("page"))
            QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_MAIN(TestPagePrinting)
#include "tst_pageprinting.moc"

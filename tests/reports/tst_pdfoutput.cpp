// A page list as a PDF: the pages in order at their own sizes, the texts readable, the title set;
// a damaged page or an unwritable file leaves the old file alone.
#include "TestPages.h"
#include "reports/PdfOutput.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace td;
using namespace td::test;

namespace {

QString pdfInfo(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"),
        { QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("99"), pdf });
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestPdfOutput : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (!havePdfTools())
            QSKIP("pdftotext and pdfinfo (poppler-utils) are needed: scripts/deps.sh installs them");
    }

    void pagesTitleAndSizes_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QList<int>>("sheets");
        QTest::newRow("all (0 = to the last)") << 1 << 0 << QList<int> { 1, 2, 3, 4 };
        QTest::newRow("middle") << 2 << 3 << QList<int> { 2, 3 };
        QTest::newRow("past the end") << 4 << 9 << QList<int> { 4 };
    }
    void pagesTitleAndSizes()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<int>, sheets);
        PageList pages;
        // Portrait letter and a landscape 6 x 4 inches in turn: each PDF page takes its own page's size.
        QVERIFY(addSheets(pages, 4, { QSize(8500, 11000), QSize(6000, 4000) }));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        QString why;
        QVERIFY2(writePdf(pages, from, to, pdf, QStringLiteral("Songs by Artist"), &why), qPrintable(why));
        QCOMPARE(sheetsInPdf(pdf), sheets);
        const QString info = pdfInfo(pdf);
        QVERIFY2(
            info.contains(QRegularExpression(QStringLiteral("Title: +Songs by Artist\n"))), qPrintable(info));
        for (int i = 0; i < sheets.size(); ++i) {
            const bool letter = sheets.at(i) % 2 == 1;
            const QString size = letter ? QStringLiteral("612 x 792 pts") : QStringLiteral("432 x 288 pts");
            const QRegularExpression line(QStringLiteral("Page +%1 size: +%2").arg(i + 1).arg(size));
            QVERIFY2(info.contains(line), qPrintable(line.pattern() + QLatin1String(" missing in\n") + info));
        }
    }

    void failuresKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("damaged page") << QStringLiteral("damaged") << QStringLiteral("Page 2 cannot be read");
        QTest::newRow("missing page") << QStringLiteral("missing") << QStringLiteral("Page 2 cannot be read");
        QTest::newRow("no folder") << QStringLiteral("folder") << QStringLiteral("Could not write");
        QTest::newRow("no pages") << QStringLiteral("empty") << QStringLiteral("There are no pages");
    }
    void failuresKeepTheOldFile()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        PageList pages;
        QVERIFY(addSheets(pages, 3));
        QStringList files = pages.files();
        QTemporaryDir dir;
        QString pdf = dir.filePath(QStringLiteral("old.pdf"));
        {
            QFile old(pdf);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("the old file");
        }
        if (fault == QLatin1String("damaged")) {
            QFile f(files.at(1));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("not a page");
        } else if (fault == QLatin1String("missing")) {
            QVERIFY(QFile::remove(files.at(1)));
        } else if (fault == QLatin1String("folder")) {
            pdf = dir.filePath(QStringLiteral("no/such/folder/new.pdf"));
        } else {
            files.clear();
        }
        QString why;
        QVERIFY(!writePdf(files, pdf, QStringLiteral("T"), &why));
        QVERIFY2(why.contains(reason), qPrintable(why));
        QFile old(dir.filePath(QStringLiteral("old.pdf")));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old file"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("old.pdf") });
    }
};

QTEST_MAIN(TestPdfOutput)
#include "tst_pdfoutput.moc"

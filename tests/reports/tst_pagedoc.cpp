// Page files: what is written reads back the same, damaged files are refused, and the
// page-of-pages marker is found wherever it falls in the file.
#include "reports/PageDoc.h"
#include "reports/PageList.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace td;

class TestPageDoc : public QObject {
    Q_OBJECT
private slots:
    void roundTrip()
    {
        PageDoc page;
        page.size = QSize(11000, 8500);
        PageFont bold { QStringLiteral("Arial Narrow"), 9.5, 700, true, true, QColor(0x80, 0, 0) };
        const int f0 = page.fontIndex(PageFont());
        const int f1 = page.fontIndex(bold);
        QCOMPARE(page.fontIndex(bold), f1);
        page.addText(QRect(250, 500, 4000, 180), f1, QStringLiteral("Brown, Tom \\ with\nThe Band ~!@#$ é"),
                     PageItem::AlignRight | PageItem::Wrap, QColor(Qt::blue));
        page.addText(QRect(0, 0, 10, 10), f0, QString());
        page.addLine(QPoint(250, 700), QPoint(8250, 700), 15, QColor(Qt::red));
        page.addBox(QRect(100, 100, 300, 200), 0, QColor(), QColor(Qt::yellow));
        page.addImage(QRect(1, 2, 3, 4), QStringLiteral("/tmp/a b\\c.png"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.tdp"));
        QVERIFY(writePageFile(path, page));
        PageDoc back;
        QString why;
        QVERIFY2(readPageFile(path, back, &why), qPrintable(why));
        QCOMPARE(back.size, page.size);
        QCOMPARE(back.fonts, page.fonts);
        QCOMPARE(back.items, page.items);
    }

    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("other file") << QByteArray("hello\n");
        QTest::newRow("cut item") << QByteArray("TDPAGE 1\nFONT 0 1000 400 0 0 #000000 Arial\nTEXT 1 2 3\n");
        QTest::newRow("unknown font") << QByteArray("TDPAGE 1\nTEXT 1 2 3 4 7 1 - x\n");
        QTest::newRow("not a number") << QByteArray("TDPAGE 1\nLINE 1 2 x 4 5 #000000\n");
        QTest::newRow("unknown item") << QByteArray("TDPAGE 1\nCIRCLE 1 2 3\n");
        QTest::newRow("zero size") << QByteArray("TDPAGE 1\nSIZE 0 100\n");
    }
    void damagedFilesAreRefused()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.tdp"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        PageDoc page;
        QString why;
        QVERIFY(!readPageFile(path, page, &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(!readPageFile(dir.filePath(QStringLiteral("missing.tdp")), page));
    }

    void pageOfPagesMarker_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("start") << 0 << 12 << QByteArray("12   ");
        QTest::newRow("across first border") << 253 << 3 << QByteArray("3    ");
        QTest::newRow("just past the overlap") << 246 << 7 << QByteArray("7    ");
        QTest::newRow("far on") << 2000 << 99999 << QByteArray("99999");
        QTest::newRow("count too wide is cut") << 10 << 123456 << QByteArray("12345");
    }
    void pageOfPagesMarker()
    {
        QFETCH(int, offset);
        QFETCH(int, count);
        QFETCH(QByteArray, written);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.tdp"));
        QByteArray content(3000, 'x');
        content.replace(offset, 5, kPageOfPagesMarker);
        content.replace(offset + 600, 5, kPageOfPagesMarker); // only the first is overwritten
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const QString none = dir.filePath(QStringLiteral("none.tdp"));
        QFile g(none);
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write(QByteArray(600, 'y'));
        g.close();

        QCOMPARE(fillPageOfPages({ path, none, dir.filePath(QStringLiteral("gone")) }, count), 1);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray after = f.readAll();
        QCOMPARE(after.size(), content.size());
        QCOMPARE(after.mid(offset, 5), written);
        QCOMPARE(after.mid(offset + 600, 5), QByteArray(kPageOfPagesMarker));
        QVERIFY(g.open(QIODevice::ReadOnly));
        QCOMPARE(g.readAll(), QByteArray(600, 'y'));
    }

    void collatedCopiesAndRetain()
    {
        PageList list;
        QVERIFY(list.isValid());
        for (int i = 1; i <= 3; ++i) {
            PageDoc p;
            p.addText(QRect(0, 0, 1000, 200), p.fontIndex(PageFont()), QString::number(i));
            QVERIFY(list.append(p));
        }
        const QStringList one = list.files();
        list.handleCopies(3);
        QCOMPARE(list.files(), one + one + one);
        list.retain([](int i) { return i < 3; });
        QCOMPARE(list.files(), one);
        list.retain([](int i) { return i != 1; });
        QVERIFY(!QFile::exists(one.at(1)));
        QVERIFY(QFile::exists(one.at(0)));
        PageDoc p;
        QVERIFY(list.read(1, p));
        QCOMPARE(p.plainText(), QStringLiteral("3\n"));
        list.clear();
        QVERIFY(!QFile::exists(one.at(0)));
    }

    void exportKinds()
    {
        PageDoc page;
        page.addText(QRect(500, 500, 5000, 300), page.fontIndex(PageFont()), QStringLiteral("Exported"));
        page.addBox(QRect(400, 400, 5200, 500));
        QTemporaryDir dir;
        QVERIFY(exportPage(page, dir.filePath(QStringLiteral("a.svg"))));
        QFile svg(dir.filePath(QStringLiteral("a.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("Exported"));
        QVERIFY(exportPage(page, dir.filePath(QStringLiteral("a.png")), nullptr, 100));
        const QImage png(dir.filePath(QStringLiteral("a.png")));
        QCOMPARE(png.size(), QSize(850, 1100));
        QVERIFY(exportPage(page, dir.filePath(QStringLiteral("a.pdf"))));
        QString why;
        QVERIFY(!exportPage(page, dir.filePath(QStringLiteral("a.wmf")), &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(!exportPage(page, dir.filePath(QStringLiteral("no/such/dir/a.pdf")), &why));
    }
};

QTEST_MAIN(TestPageDoc)
#include "tst_pagedoc.moc"

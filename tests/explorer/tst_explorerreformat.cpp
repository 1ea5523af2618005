// The reformat operations: every change gives a format that reads back to the same columns (so the
// saved format restores them), moves stop at the ends, the last column cannot be hidden, a shown
// column comes back at the end in its designed format, and a header cannot break the format.

#include "explorer/ExplorerReformat.h"

#include <QtTest>

using namespace td;

class TstExplorerReformat : public QObject {
    Q_OBJECT

private slots:
    void changesReadBack_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<QString>("firstHeader");
        QTest::newRow("move first left: nothing") << "<0" << QList<int>{0, 1, 2, 3, 4, 5} << "Album";
        QTest::newRow("move last right: nothing") << ">5" << QList<int>{0, 1, 2, 3, 4, 5} << "Album";
        QTest::newRow("move second left") << "<1" << QList<int>{1, 0, 2, 3, 4, 5} << "Artist";
        QTest::newRow("hide then show again at the end") << "h0 s0" << QList<int>{1, 2, 3, 4, 5, 0} << "Artist";
        QTest::newRow("hide all but one") << "h0 h0 h0 h0 h0 h0" << QList<int>{5} << "XCCD";
        QTest::newRow("header with format characters") << "t0" << QList<int>{0, 1, 2, 3, 4, 5} << "My Album";
        QTest::newRow("marked header loses its marker") << "m0" << QList<int>{0, 1, 2, 3, 4, 5} << "Album";
    }
    void changesReadBack()
    {
        QFETCH(QString, steps);
        QFETCH(QList<int>, columns);
        QFETCH(QString, firstHeader);
        ExplorerReformat r(ExplorerKind::Albums, shownColumns(explorerDesignedFormat(ExplorerKind::Albums), ExplorerKind::Albums));
        for (const QString& s : steps.split(QLatin1Char(' '))) {
            const int n = s.mid(1).toInt();
            switch (s.at(0).unicode()) {
            case '<': r.moveLeft(n); break;
            case '>': r.moveRight(n); break;
            case 'h': r.hide(n); break;
            case 's': r.show(n); break;
            case 't': r.setHeader(n, QStringLiteral("My ~Al@bum")); break;
            case 'm': r.setHeader(n, QStringLiteral(">Album")); break;
            }
        }
        const QList<ShownColumn> back = shownColumns(r.format(), ExplorerKind::Albums);
        QList<int> got;
        for (const ShownColumn& s : back)
            got << s.column;
        QCOMPARE(got, columns);
        QCOMPARE(back.first().format.header, firstHeader);
        QCOMPARE(formatOf(back), r.format());
    }

    void settingsReadBack()
    {
        ExplorerReformat r(ExplorerKind::Songs, shownColumns(explorerDesignedFormat(ExplorerKind::Songs), ExplorerKind::Songs));
        r.setWidth(2, 77);
        r.setJustification(2, QLatin1Char('c'));
        r.setHeaderJustification(2, QLatin1Char('R'));
        r.setHeaderOffset(2, 3);
        r.setOffset(2, 5);
        r.setFlag(2, ExplorerReformat::Fixed, true);
        r.setFlag(2, ExplorerReformat::Border, false);
        const ListColumn c = shownColumns(r.format(), ExplorerKind::Songs).at(2).format;
        QCOMPARE(c.width, 77);
        QCOMPARE(c.justification, QLatin1Char('C'));
        QCOMPARE(c.headerJustification, QLatin1Char('R'));
        QCOMPARE(c.headerIndent, 3);
        QCOMPARE(c.indent, 5);
        ExplorerReformat again(ExplorerKind::Songs, shownColumns(r.format(), ExplorerKind::Songs));
        QVERIFY(again.flag(2, ExplorerReformat::Fixed));
        QVERIFY(!again.flag(2, ExplorerReformat::Border));
        QVERIFY(again.flag(2, ExplorerReformat::Resize));
        again.reset();
        QCOMPARE(again.format(), formatOf(shownColumns(explorerDesignedFormat(ExplorerKind::Songs), ExplorerKind::Songs)));
    }
};

QTEST_GUILESS_MAIN(TstExplorerReformat)
#include "tst_explorerreformat.moc"

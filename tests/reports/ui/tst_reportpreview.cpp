// The page preview as the user drives it: page moves and their enabling, marks and the print
// choices they allow, what "Print..." removes from the page list, zoom steps, pages that cannot be
// shown, and every way out that must leave the list alone.
#include "FormDriver.h"
#include "TestApp.h"
#include "TestPages.h"
#include "reports/PreviewChoices.h"
#include "reports/ui/GoToPageDialog.h"
#include "reports/ui/PrintRangeDialog.h"
#include "reports/ui/ReportPreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QtMath>

using namespace td;
using namespace td::test;

namespace {

// A preview of `count` sheets, open and shown; its answer lands in `result`.
struct Preview {
    TestApp app;
    PageList pages;
    QStringList files;
    Answer<int> result;
    ReportPreviewDialog* dialog = nullptr;

    explicit Preview(int count)
    {
        addSheets(pages, count);
        files = pages.files();
        ReportPreview(nullptr, app.state, pages, result.answer(), QStringLiteral("Sheets"));
        dialog = qobject_cast<ReportPreviewDialog*>(shownDialog(QStringLiteral("ReportPreview")));
    }
    ~Preview()
    {
        if (dialog && !result.arrived())
            dialog->reject();
    }
    QPushButton* button(const char* name) const
    {
        return dialog->findChild<QPushButton*>(QLatin1String(name));
    }
    QString pageText() const { return dialog->findChild<QLabel*>(QStringLiteral("PageText"))->text(); }
    void press(const char* name) const { button(name)->click(); }
    void mark(int page) const
    {
        dialog->showPage(page);
        dialog->findChild<QCheckBox*>(QStringLiteral("Mark"))->click();
    }
    // The moves' enabling as "FPNL", a dash for each one disabled.
    QString moves() const
    {
        QString out;
        const char* names[] = { "FirstPage", "PreviousPage", "NextPage", "LastPage" };
        for (int i = 0; i < 4; ++i)
            out += button(names[i])->isEnabled() ? QLatin1Char("FPNL"[i]) : QLatin1Char('-');
        return out;
    }
};

int zoomWidthOf(const ReportPreviewDialog* d, int percent)
{
    return qRound(8500 * d->logicalDpiX() / 1000.0 * percent / 100.0);
}

} // namespace

class TestReportPreview : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { dropFormWatchers(); }

    void movesAndTheirEnabling_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("moves");
        QTest::addColumn<bool>("goTo");
        QTest::newRow("one page") << 1 << QString() << QStringLiteral("Page 1 of 1") << QStringLiteral("----")
                                  << false;
        QTest::newRow("first of five")
            << 5 << QString() << QStringLiteral("Page 1 of 5") << QStringLiteral("--NL") << true;
        QTest::newRow("next") << 5 << QStringLiteral("NextPage") << QStringLiteral("Page 2 of 5")
                              << QStringLiteral("FPNL") << true;
        QTest::newRow("last") << 5 << QStringLiteral("LastPage") << QStringLiteral("Page 5 of 5")
                              << QStringLiteral("FP--") << true;
        QTest::newRow("go to 4") << 5 << QStringLiteral("GoTo4") << QStringLiteral("Page 4 of 5")
                                 << QStringLiteral("FPNL") << true;
        QTest::newRow("go to, cancelled") << 5 << QStringLiteral("GoToCancel")
                                          << QStringLiteral("Page 1 of 5") << QStringLiteral("--NL") << true;
    }
    void movesAndTheirEnabling()
    {
        QFETCH(int, count);
        QFETCH(QString, action);
        QFETCH(QString, text);
        QFETCH(QString, moves);
        QFETCH(bool, goTo);
        Preview p(count);
        QVERIFY(p.dialog);
        if (action.startsWith(QLatin1String("GoTo"))) {
            bool shown = false;
            onDialog(QStringLiteral("GoToPage"), [&](QDialog* d) {
                shown = true;
                QCOMPARE(d->windowTitle(), QStringLiteral("Go to Page"));
                auto* spin = d->findChild<QSpinBox*>();
                QCOMPARE(spin->minimum(), 1);
                QCOMPARE(spin->maximum(), count);
                spin->setValue(4);
                d->findChild<QPushButton*>(
                     action == QLatin1String("GoTo4") ? QStringLiteral("OK") : QStringLiteral("Cancel"))
                    ->click();
            });
            p.press("GoToPage");
            QVERIFY(QTest::qWaitFor([&] { return shown; }, 5000));
            QTRY_VERIFY(p.dialog->isEnabled());
        } else if (!action.isEmpty()) {
            p.press(qPrintable(action));
        }
        QCOMPARE(p.pageText(), text);
        QCOMPARE(p.moves(), moves);
        QCOMPARE(p.button("GoToPage")->isEnabled(), goTo);
        QVERIFY(duplicateMnemonics(p.dialog).isEmpty());
    }

    void pageOfPagesIsFilledOnOpening()
    {
        Preview p(12);
        PageDoc page;
        QVERIFY(p.pages.read(2, page));
        QCOMPARE(page.plainText().trimmed(), QStringLiteral("Sheet 3 of 12"));
    }

    void marksEnableThePrintChoices_data()
    {
        QTest::addColumn<QList<int>>("marked");
        QTest::addColumn<QString>("markedText");
        QTest::addColumn<bool>("markedOn");
        QTest::addColumn<bool>("unmarkedOn");
        QTest::newRow("none") << QList<int> {} << QStringLiteral("&Marked Pages Only") << false << true;
        QTest::newRow("two") << QList<int> { 2, 3 } << QStringLiteral("2 &Marked Pages Only") << true << true;
        QTest::newRow("marked and cleared")
            << QList<int> { 2, 2 } << QStringLiteral("&Marked Pages Only") << false << true;
        QTest::newRow("all") << QList<int> { 1, 2, 3 } << QStringLiteral("3 &Marked Pages Only") << true
                             << false;
    }
    void marksEnableThePrintChoices()
    {
        QFETCH(QList<int>, marked);
        QFETCH(QString, markedText);
        QFETCH(bool, markedOn);
        QFETCH(bool, unmarkedOn);
        Preview p(3);
        for (int page : marked)
            p.mark(page);
        bool shown = false;
        onDialog(QStringLiteral("PrintRange"), [&](QDialog* d) {
            shown = true;
            QCOMPARE(d->windowTitle(), QStringLiteral("Print..."));
            auto* m = d->findChild<QRadioButton*>(QStringLiteral("MarkedPages"));
            QCOMPARE(m->text(), markedText);
            QCOMPARE(m->isEnabled(), markedOn);
            QCOMPARE(d->findChild<QRadioButton*>(QStringLiteral("UnmarkedPages"))->isEnabled(), unmarkedOn);
            QVERIFY(d->findChild<QRadioButton*>(QStringLiteral("AllPages"))->isChecked());
            QVERIFY(duplicateMnemonics(d).isEmpty());
            d->reject();
        });
        p.press("Print");
        QVERIFY(QTest::qWaitFor([&] { return shown; }, 5000));
        // "Cancel" goes back to the preview: no answer, the list as it was.
        QTRY_VERIFY(p.dialog->isEnabled());
        QVERIFY(p.dialog->isVisible());
        QVERIFY(!p.result.arrived());
        QCOMPARE(p.pages.files(), p.files);
    }

    void printKeepsTheChosenPages_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QList<int>>("kept");
        // Pages 2 and 4 of five are marked.
        QTest::newRow("all") << QStringLiteral("AllPages") << QList<int> { 1, 2, 3, 4, 5 };
        QTest::newRow("marked") << QStringLiteral("MarkedPages") << QList<int> { 2, 4 };
        QTest::newRow("unmarked") << QStringLiteral("UnmarkedPages") << QList<int> { 1, 3, 5 };
        QTest::newRow("range 2 to 3") << QStringLiteral("2-3") << QList<int> { 2, 3 };
        QTest::newRow("range 5 to 5") << QStringLiteral("5-5") << QList<int> { 5 };
    }
    void printKeepsTheChosenPages()
    {
        QFETCH(QString, choice);
        QFETCH(QList<int>, kept);
        Preview p(5);
        p.mark(2);
        p.mark(4);
        onDialog(QStringLiteral("PrintRange"), [&](QDialog* d) {
            if (choice.contains(QLatin1Char('-'))) {
                // Typing the ends alone chooses the range.
                d->findChild<QSpinBox*>(QStringLiteral("From"))
                    ->setValue(choice.section(QLatin1Char('-'), 0, 0).toInt());
                d->findChild<QSpinBox*>(QStringLiteral("To"))
                    ->setValue(choice.section(QLatin1Char('-'), 1, 1).toInt());
                QVERIFY(d->findChild<QRadioButton*>(QStringLiteral("RangeOfPages"))->isChecked());
            } else {
                d->findChild<QRadioButton*>(choice)->click();
            }
            d->findChild<QPushButton*>(QStringLiteral("OK"))->click();
        });
        p.press("Print");
        QVERIFY(p.result.wait());
        QCOMPARE(p.result.value(), kPreviewPrint);
        QStringList expected;
        for (int n : kept)
            expected << p.files.at(n - 1);
        QCOMPARE(p.pages.files(), expected);
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(QFile::exists(p.files.at(n - 1)), kept.contains(n));
    }

    void rangeEndsNeverCross()
    {
        PrintRangeDialog d(QStringLiteral("Print..."), 9, 0);
        auto* from = d.findChild<QSpinBox*>(QStringLiteral("From"));
        auto* to = d.findChild<QSpinBox*>(QStringLiteral("To"));
        to->setValue(4);
        from->setValue(7); // held at the "To" page
        QCOMPARE(from->value(), 4);
        from->setValue(3);
        to->setValue(1); // held at the "From" page
        QCOMPARE(to->value(), 3);
        const PrintRange r = d.answer();
        QCOMPARE(int(r.choice), int(PrintChoice::Range));
        QCOMPARE(r.from, 3);
        QCOMPARE(r.to, 3);
    }

    // Every caption of the print window shows whole ("&To" is not clipped by its spin box).
    void printWindowLabelsWhole()
    {
        PrintRangeDialog d(QStringLiteral("Print..."), 12000, 3);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const QList<QLabel*> labels = d.findChildren<QLabel*>();
        QVERIFY(labels.size() >= 2);
        for (QLabel* l : labels) {
            QString shown = l->text();
            shown.remove(QLatin1Char('&'));
            // Where the letters' ink ends, not only where the next letter would start.
            const QFontMetricsF m(l->font());
            const int need = qCeil(qMax(m.horizontalAdvance(shown), m.tightBoundingRect(shown).right() + 1));
            QVERIFY2(l->contentsRect().width() >= need, qPrintable(shown));
            QVERIFY2(!l->geometry().intersects(l->buddy() ? l->buddy()->geometry() : QRect()), qPrintable(shown));
        }
    }

    void exitLeavesTheListAlone_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Exit") << QStringLiteral("Exit");
        QTest::newRow("Esc") << QStringLiteral("Esc");
        QTest::newRow("close box") << QStringLiteral("close");
    }
    void exitLeavesTheListAlone()
    {
        QFETCH(QString, way);
        Preview p(4);
        p.mark(1);
        p.mark(3);
        if (way == QLatin1String("Exit"))
            p.press("Exit");
        else if (way == QLatin1String("Esc"))
            QTest::keyClick(p.dialog, Qt::Key_Escape);
        else
            p.dialog->close();
        QVERIFY(p.result.wait());
        QCOMPARE(p.result.value(), kPreviewCancel);
        QCOMPARE(p.pages.files(), p.files);
        for (const QString& f : std::as_const(p.files))
            QVERIFY(QFile::exists(f));
    }

    void zoomSteps()
    {
        Preview p(2);
        auto* zoom = p.dialog->findChild<QComboBox*>(QStringLiteral("Zoom"));
        QCOMPARE(zoom->itemText(0), QStringLiteral("Width"));
        QCOMPARE(zoom->itemText(zoom->count() - 1), QStringLiteral("200%"));
        QCOMPARE(p.dialog->zoomEntry(), kZoomWidth);
        // The width fit fills the page area's width (less a scroll bar), whatever the window's size.
        auto* scroll = p.dialog->findChild<QScrollArea*>();
        QVERIFY(p.dialog->pageViewSize().width() <= scroll->maximumViewportSize().width());
        QVERIFY(p.dialog->pageViewSize().width() > scroll->maximumViewportSize().width() - 40);
        const double fit = 100.0 * p.dialog->pageViewSize().width() / zoomWidthOf(p.dialog, 100);

        for (int direction : { +1, -1 }) {
            // Choosing "Width" in the list applies it at once.
            zoom->setCurrentIndex(kZoomWidth);
            emit zoom->activated(kZoomWidth);
            QCOMPARE(100.0 * p.dialog->pageViewSize().width() / zoomWidthOf(p.dialog, 100), fit);
            p.press(direction > 0 ? "ZoomIn" : "ZoomOut");
            const int percent = zoomPercent(p.dialog->zoomEntry());
            // One step on from the percentage nearest to the width fit.
            const int from = percent - 25 * direction;
            QVERIFY2(qAbs(from - fit) <= 12.5 || (from < 25 && fit < 37.5) || (from > 200 && fit > 187.5),
                qPrintable(QStringLiteral("fit %1%, now %2%").arg(fit).arg(percent)));
            QCOMPARE(p.dialog->pageViewSize().width(), zoomWidthOf(p.dialog, percent));
        }
        for (int i = 0; i < 10; ++i)
            p.press("ZoomOut");
        QCOMPARE(zoom->currentText(), QStringLiteral("25%"));
        for (int i = 0; i < 10; ++i)
            p.press("ZoomIn");
        QCOMPARE(zoom->currentText(), QStringLiteral("200%"));
        QCOMPARE(p.dialog->pageViewSize().width(), zoomWidthOf(p.dialog, 200));
    }

    void arrowKeysScroll()
    {
        Preview p(1);
        p.press("ZoomIn");
        for (int i = 0; i < 10; ++i)
            p.press("ZoomIn");
        auto* scroll = p.dialog->findChild<QScrollArea*>();
        QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 200);
        QTRY_VERIFY(scroll->horizontalScrollBar()->maximum() > 200);
        QWidget* from = p.button("ZoomIn");
        QTest::keyClick(from, Qt::Key_Down);
        QTest::keyClick(from, Qt::Key_Down);
        QTest::keyClick(from, Qt::Key_Right);
        QCOMPARE(scroll->verticalScrollBar()->value(), 102);
        QCOMPARE(scroll->horizontalScrollBar()->value(), 52);
        QTest::keyClick(from, Qt::Key_Up);
        QTest::keyClick(from, Qt::Key_Left);
        QCOMPARE(scroll->verticalScrollBar()->value(), 51);
        QCOMPARE(scroll->horizontalScrollBar()->value(), 0);
    }

    void aPageThatCannotBeReadShowsWhy_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: the file is gone
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("damaged") << QByteArray("TDPAGE 1\nTEXT 1 2\n");
    }
    void aPageThatCannotBeReadShowsWhy()
    {
        QFETCH(QByteArray, content);
        Preview p(3);
        QFile f(p.files.at(1));
        if (content.isEmpty()) {
            QVERIFY(f.remove());
        } else {
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(content);
            f.close();
        }
        p.press("NextPage");
        QCOMPARE(p.pageText(), QStringLiteral("Page 2 of 3"));
        QVERIFY2(p.dialog->pageProblem().startsWith(QLatin1String("Page 2 cannot be shown.")),
            qPrintable(p.dialog->pageProblem()));
        p.dialog->grab(); // painting the problem does not fail
        // Saving it is refused with a message; the moves still work.
        QTemporaryDir dir;
        QVERIFY(!p.dialog->saveCurrentPage(dir.filePath(QStringLiteral("p.svg"))));
        QCOMPARE(p.app.script->captions(), QStringList { QStringLiteral("Save Current Page") });
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("p.svg"))));
        p.press("NextPage");
        QVERIFY(p.dialog->pageProblem().isEmpty());
    }

    void savingPagesAsFiles()
    {
        Preview p(3);
        p.press("NextPage");
        QTemporaryDir dir;
        // A name typed without a suffix takes the kind chosen in the list.
        onDialog(QStringLiteral("SaveCurrentPage"), [&](QDialog* d) {
            auto* files = qobject_cast<QFileDialog*>(d);
            QCOMPARE(files->windowTitle(), QStringLiteral("Save Current Page to MetaFile..."));
            QCOMPARE(files->nameFilters().size(), 3);
            files->selectNameFilter(QStringLiteral("SVG Picture (*.svg)"));
            files->selectFile(dir.filePath(QStringLiteral("page")));
            d->accept(); // as the Save button does
        });
        p.press("SaveAsMetafile");
        QTRY_VERIFY(QFile::exists(dir.filePath(QStringLiteral("page.svg"))));
        QFile svg(dir.filePath(QStringLiteral("page.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("Sheet 2 of 3"));

        QVERIFY(!p.dialog->saveCurrentPage(dir.filePath(QStringLiteral("page.wmf"))));
        QVERIFY(!p.dialog->saveCurrentPage(dir.filePath(QStringLiteral("no/folder/page.svg"))));
        QCOMPARE(p.app.script->asked().size(), 2);
        QVERIFY(p.app.script->asked().at(0).text.contains(QLatin1String(".svg, .png or .pdf")));
        if (havePdfTools()) {
            const QString pdf = dir.filePath(QStringLiteral("some.pdf"));
            QVERIFY(p.dialog->savePdf(pdf, { 2, 0 }));
            QCOMPARE(sheetsInPdf(pdf), (QList<int> { 3, 1 }));
        }
        QCOMPARE(p.pages.files(), p.files);
    }

    void noPages()
    {
        Preview p(0);
        QCOMPARE(p.pageText(), QStringLiteral("Page 0 of 0"));
        QCOMPARE(p.moves(), QStringLiteral("----"));
        for (const char* name : { "GoToPage", "Print", "SaveAsMetafile", "SaveAsPdf" })
            QVERIFY2(!p.button(name)->isEnabled(), name);
        p.press("Exit");
        QVERIFY(p.result.wait());
        QCOMPARE(p.result.value(), kPreviewCancel);
    }
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"

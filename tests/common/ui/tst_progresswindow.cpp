// The progress window of batch runs: percentage text, the task line, Cancel ending the run after the
// current slice, "Process Completed" at the end, and finish() called exactly once.

#include "common/ui/ProgressWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace td;

namespace {

class CountingRun : public BatchRun {
public:
    explicit CountingRun(int total, bool hasWork = true)
        : total_(total)
        , hasWork_(hasWork)
    {
    }
    bool start() override { return hasWork_; }
    bool step(int count) override
    {
        ++steps;
        done = qMin(total_, done + count);
        return done < total_;
    }
    void finish() override { ++finished; }
    int percent() const override { return total_ ? done * 100 / total_ : 100; }
    int sliceSize() const override { return 10; }
    QString taskText() const override { return QStringLiteral("Copying..."); }

    int done = 0;
    int steps = 0;
    int finished = 0;

private:
    int total_;
    bool hasWork_;
};

} // namespace

class TestProgressWindow : public QObject {
    Q_OBJECT
private slots:
    void percentText_data();
    void percentText();
    void runsToTheEnd();
    void nothingToDoShowsNoWindow();
    void cancelStopsAfterTheSlice();
    void runToEndWithoutWindow();
};

void TestProgressWindow::percentText_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "0% Completed";
    QTest::newRow("57") << 57 << "57% Completed";
    QTest::newRow("100") << 100 << "100% Completed";
    QTest::newRow("over") << 140 << "100% Completed";
    QTest::newRow("under") << -3 << "0% Completed";
}

void TestProgressWindow::percentText()
{
    QFETCH(int, percent);
    QFETCH(QString, text);
    QCOMPARE(BatchRun::percentText(percent), text);
}

void TestProgressWindow::runsToTheEnd()
{
    CountingRun run(95);
    QString lastStatus;
    QString caption;
    QTimer::singleShot(0, [&] {
        // Look at the window while it runs.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<ProgressWindow*>(w)) {
                caption = p->windowTitle();
                QVERIFY(p->taskText() == QLatin1String("Copying..."));
                connect(p, &ProgressWindow::runFinished, [&, p] { lastStatus = p->statusText(); });
            }
    });
    QVERIFY(ProgressWindow::runModal(run));
    QCOMPARE(caption, QStringLiteral("Processing Records"));
    QCOMPARE(run.done, 95);
    QCOMPARE(run.steps, 10);
    QCOMPARE(run.finished, 1);
    QCOMPARE(lastStatus, QStringLiteral("Process Completed"));
}

void TestProgressWindow::nothingToDoShowsNoWindow()
{
    CountingRun run(10, false);
    QVERIFY(!ProgressWindow::runModal(run));
    QCOMPARE(run.steps, 0);
    QCOMPARE(run.finished, 0);
}

void TestProgressWindow::cancelStopsAfterTheSlice()
{
    CountingRun run(1000000);
    QTimer::singleShot(20, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<ProgressWindow*>(w))
                QTest::mouseClick(p->findChild<QPushButton*>("cancel"), Qt::LeftButton);
    });
    QVERIFY(ProgressWindow::runModal(run));
    QVERIFY(run.isCancelled());
    QVERIFY(run.done < 1000000);
    QCOMPARE(run.finished, 1);
}

void TestProgressWindow::runToEndWithoutWindow()
{
    CountingRun run(35);
    run.runToEnd();
    QCOMPARE(run.done, 35);
    QCOMPARE(run.steps, 4);
    QCOMPARE(run.finished, 1);
}

QTEST_MAIN(TestProgressWindow)
#include "tst_progresswindow.moc"

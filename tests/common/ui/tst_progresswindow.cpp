// The progress window of batch runs: percentage text, the task line, Cancel ending the run after the
// current slice, "Process Completed" at the end, and finish() called exactly once.

#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "albums/CopyToAlbum.h"
#include "common/ui/ProgressWindow.h"
#include "data/Database.h"
#include "data/TableHandle.h"
#include "setup/UpgradeFiles.h"

#include <QLabel>
#include <QPointer>
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
    void persistentWriteErrorShowsOneMessage_data();
    void persistentWriteErrorShowsOneMessage();
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
    auto run = std::make_shared<CountingRun>(95);
    QWidget caller;
    int done = 0;
    QString lastStatus;
    ProgressWindow* p = ProgressWindow::start(run, &caller, [&] { ++done; });
    QVERIFY(p);
    QPointer<ProgressWindow> window(p);
    QCOMPARE(p->windowTitle(), QStringLiteral("Processing Records"));
    QCOMPARE(p->taskText(), QStringLiteral("Copying..."));
    connect(p, &ProgressWindow::runFinished, this, [&] { lastStatus = p->statusText(); });
    // Only the caller waits; the run goes on from the ordinary event loop.
    QVERIFY(!caller.isEnabled());
    QTRY_COMPARE(done, 1);
    QVERIFY(caller.isEnabled());
    QCOMPARE(run->done, 95);
    QCOMPARE(run->steps, 10);
    QCOMPARE(run->finished, 1);
    QCOMPARE(lastStatus, QStringLiteral("Process Completed"));
    QTRY_VERIFY(window.isNull()); // closes by itself after a moment
    QCOMPARE(done, 1);
}

void TestProgressWindow::nothingToDoShowsNoWindow()
{
    auto run = std::make_shared<CountingRun>(10, false);
    QWidget caller;
    int done = 0;
    QVERIFY(!ProgressWindow::start(run, &caller, [&] { ++done; }));
    QVERIFY(caller.isEnabled());
    QCOMPARE(run->steps, 0);
    QCOMPARE(run->finished, 0);
    QCOMPARE(done, 0);
}

void TestProgressWindow::cancelStopsAfterTheSlice()
{
    auto run = std::make_shared<CountingRun>(1000000);
    int done = 0;
    QPointer<ProgressWindow> p = ProgressWindow::start(run, nullptr, [&] { ++done; });
    QVERIFY(p);
    QTest::qWait(20);
    QTest::mouseClick(p->findChild<QPushButton*>("cancel"), Qt::LeftButton);
    QTRY_COMPARE(done, 1);
    QVERIFY(run->isCancelled());
    QVERIFY(run->done < 1000000);
    QCOMPARE(run->finished, 1);
    QTRY_VERIFY(p.isNull());
}

void TestProgressWindow::runToEndWithoutWindow()
{
    CountingRun run(35);
    run.runToEnd();
    QCOMPARE(run.done, 35);
    QCOMPARE(run.steps, 4);
    QCOMPARE(run.finished, 1);
}

// A table that refuses every write (a trigger standing in for a full disk) while the message box
// waits for the user with its own event loop: the run stops after the first failed slice with one
// message, the slice is rolled back, nothing of a later slice is done, and the caller comes back.
// With "caller gone" the window that called the run is deleted while the message is showing.
void TestProgressWindow::persistentWriteErrorShowsOneMessage_data()
{
    QTest::addColumn<QString>("runName");
    QTest::addColumn<bool>("callerGone");
    QTest::newRow("album copy") << "copy" << false;
    QTest::newRow("legacy move") << "legacy" << false;
    QTest::newRow("album copy, caller gone") << "copy" << true;
    QTest::newRow("legacy move, caller gone") << "legacy" << true;
}

void TestProgressWindow::persistentWriteErrorShowsOneMessage()
{
    QFETCH(QString, runName);
    QFETCH(bool, callerGone);
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    script->waitWhileAsking(60);
    Database db(messages);
    Table<Tunedeck> songs(db);
    Table<OldTunedeck> legacy(db);
    Table<Album> albums(db);
    const bool copy = runName == QLatin1String("copy");
    TransactionGuard fill(db);
    for (int i = 1; i <= 2500; ++i) {
        auto add = [&](auto& t) {
            t.clear();
            t.rec.Title = QStringLiteral("Song %1").arg(i);
            t.rec.Album = QStringLiteral("Album %1").arg(i);
            return t.add();
        };
        if (copy) {
            songs.rec.ID = i;
            QCOMPARE(add(songs), 0);
        } else {
            QCOMPARE(add(legacy), 0);
        }
    }
    QCOMPARE(fill.commit(), 0);
    QCOMPARE(db.exec(copy ? "CREATE TEMP TRIGGER refuse BEFORE INSERT ON \"Album\".\"Album\" "
                            "BEGIN SELECT RAISE(ABORT, 'disk full'); END"
                          : "CREATE TEMP TRIGGER refuse BEFORE DELETE ON \"OldTunedeck\".\"OldTunedeck\" "
                            "BEGIN SELECT RAISE(ABORT, 'disk full'); END"),
             0);
    std::shared_ptr<BatchRun> run;
    if (copy)
        run = std::make_shared<CopyToAlbum>(db);
    else
        run = std::make_shared<UpgradeFiles>(db);
    auto* caller = new QWidget;
    int done = 0;
    QPointer<ProgressWindow> window = ProgressWindow::start(run, caller, [&] { ++done; });
    QVERIFY(window);
    if (callerGone)
        QTimer::singleShot(20, caller, [&caller] {
            delete caller;
            caller = nullptr;
        });
    QTRY_VERIFY(window.isNull());
    QCOMPARE(script->numbers(), QList<int> {31});
    QCOMPARE(done, callerGone ? 0 : 1); // a caller that is gone is not called back
    if (caller) {
        QVERIFY(caller->isEnabled());
        delete caller;
    }
    run.reset(); // releases its tables before they are counted
    QCOMPARE(albums.records(), 0);
    if (copy) {
        QCOMPARE(songs.records(), 2500);
        songs.set(-1);
        while (songs.next() == 0)
            QCOMPARE(songs.rec.AlbumID, 0); // not one song linked to an album that is not there
    } else {
        QCOMPARE(songs.records(), 0);
        QCOMPARE(legacy.records(), 2500);
    }
}

QTEST_MAIN(TestProgressWindow)
#include "tst_progresswindow.moc"

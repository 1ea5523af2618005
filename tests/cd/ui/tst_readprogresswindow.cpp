// The CD reader's progress window: its caption and lines, the bar over 20 steps, and a whole read
// through it that leaves no window behind.

#include "../CdTestUtil.h"
#include "ScriptedMessages.h"
#include "FormDriver.h"
#include "TempWorkspace.h"
#include "cd/CompactDiscReader.h"
#include "cd/ui/ReadProgressWindow.h"
#include "data/Database.h"

#include <QApplication>
#include <QtTest>

using namespace td;

namespace {

// Looks at the window each time the reader tells it something.
struct WatchedWindow : ReadProgressWindow {
    void setPercent(int p) override
    {
        ReadProgressWindow::setPercent(p);
        seen
            << QStringLiteral("%1 %2 %3 %4").arg(windowTitle(), statusText()).arg(percent()).arg(isVisible());
    }
    QStringList seen;
};

} // namespace

class TestReadProgressWindow : public QObject {
    Q_OBJECT
private slots:
    void lines();
    void wholeRead();
    void blocksOnlyItsCaller();
};

void TestReadProgressWindow::lines()
{
    ReadProgressWindow w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Progress..."));
    QVERIFY(!w.isBarVisible());
    w.start(QStringLiteral("Reading CD"), QStringLiteral("Serial Number"));
    QVERIFY(w.isVisible());
    QVERIFY(w.isBarVisible());
    QCOMPARE(w.windowTitle(), QStringLiteral("Reading CD"));
    QCOMPARE(w.statusText(), QStringLiteral("Serial Number"));
    QCOMPARE(w.detailText(), QString());
    w.setStatus(QStringLiteral("Track 3 of 12"));
    w.setPercent(20);
    QCOMPARE(w.statusText(), QStringLiteral("Track 3 of 12"));
    QCOMPARE(w.percent(), 20);
    w.setPercent(140);
    QCOMPARE(w.percent(), 100);
    w.finish();
    QVERIFY(!w.isVisible());
}

void TestReadProgressWindow::wholeRead()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    QVERIFY(test::writeText(ws.file("disc.toc"), QStringLiteral("1 3 60000 150 20000 40000\n")));
    test::VirtualCd cd(ws.file("disc.toc"));
    Album album;
    WatchedWindow w;
    QVERIFY(ReadCompactDisc(cd.device, db, album, false, false, 0, &w));
    QCOMPARE(w.seen,
        (QStringList { "Reading CD Serial Number 5 1", "Reading CD Track 1 of 3 10 1",
            "Reading CD Track 2 of 3 15 1", "Reading CD Track 3 of 3 20 1" }));
    QVERIFY(!w.isVisible());
    QCOMPARE(album.CDIdentifier, QStringLiteral(" 379801264012660126601"));

    QVERIFY(readCompactDiscWithProgress(cd.device, db, album, true, false));
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget* top : tops)
        QVERIFY(!top->isVisible() || top == &w);
}

void TestReadProgressWindow::blocksOnlyItsCaller()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    QVERIFY(test::writeText(ws.file("disc.toc"), QStringLiteral("1 3 60000 150 20000 40000\n")));
    test::VirtualCd cd(ws.file("disc.toc"));
    QWidget caller, other;
    caller.show();
    other.show();
    // Timers run between tracks: look at the windows while the read is on.
    bool seen = false, callerEnabled = true, otherEnabled = false;
    Qt::WindowModality modality = Qt::ApplicationModal;
    QTimer look;
    look.setInterval(0);
    connect(&look, &QTimer::timeout, this, [&] {
        if (QDialog* d = test::shownDialog(QStringLiteral("ReadProgress"))) {
            seen = true;
            callerEnabled = caller.isEnabled();
            otherEnabled = other.isEnabled();
            modality = d->windowModality();
        }
    });
    look.start();
    Album album;
    QVERIFY(readCompactDiscWithProgress(cd.device, db, album, false, false, 0, &caller));
    look.stop();
    QVERIFY(seen);
    QVERIFY(!callerEnabled);
    QVERIFY(otherEnabled);
    QCOMPARE(modality, Qt::NonModal);
    QVERIFY(caller.isEnabled());
    QTRY_VERIFY(!test::shownDialog(QStringLiteral("ReadProgress")));
}

QTEST_MAIN(TestReadProgressWindow)
#include "tst_readprogresswindow.moc"

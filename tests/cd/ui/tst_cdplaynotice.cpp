// The CD player's status line tells once that play goes on silently when the computer has no
// sound output.

#include "../CdTestUtil.h"
#include "TestApp.h"
#include "cd/ui/IntegratedCDPlayer.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace td;

class TestCdPlayNotice : public QObject {
    Q_OBJECT
private slots:
    void silentPlay();
};

void TestCdPlayNotice::silentPlay()
{
    test::TestDb t;
    QVERIFY(test::writePatternImage(t.ws.file("disc.cue"), { 100, 150, 200 }));
    const QueryWizardTexts texts = test::standardQueryTexts();
    CdAudioDevice cd(
        createDrive(t.ws.file("disc.cue"), std::make_shared<ManualClock>(), test::noSoundOutput()));
    AppState state(t.db, t.messages, texts, cd);

    auto run = [&](bool noticeExpected) {
        QPointer<IntegratedCDPlayerWindow> w
            = qobject_cast<IntegratedCDPlayerWindow*>(createIntegratedCDPlayer(state));
        QVERIFY(w);
        w->show();
        w->tick(); // finds the disc, at track 1
        auto* notice = w->findChild<QLabel*>(QStringLiteral("PlaybackNotice"));
        QVERIFY(notice);
        QCOMPARE(notice->text(), QString());
        w->findChild<QPushButton*>(QStringLiteral("Play"))->click();
        QCOMPARE(
            notice->text(), noticeExpected ? QStringLiteral("No audio output: playing silently") : QString());
        QVERIFY(notice->isVisible());
        w->close();
        QTRY_VERIFY(w.isNull());
    };
    run(true);
    // Said once in the program's life while nothing has been heard in between.
    run(false);
}

QTEST_MAIN(TestCdPlayNotice)
#include "tst_cdplaynotice.moc"

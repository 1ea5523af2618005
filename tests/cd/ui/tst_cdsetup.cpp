// "CD Player Preferences" driven as a user drives it: the stored interval shown (or none of the
// choices for a value that is not one of them), a click taking effect in memory at once, "&Ok"
// writing, "Cancel" and the close box reading the file back, and a file that cannot be written.

#include "FormDriver.h"
#include "ScriptedMessages.h"
#include "TestApp.h"
#include "cd/ui/CDSetup.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFile>
#include <QPushButton>
#include <QtTest>

using namespace td;

namespace {

struct Run : test::TestApp {
    QWidget caller;
    int closed = 0;

    explicit Run(const QString& stored)
    {
        if (!stored.isNull())
            SaveSetting(settingsIniPath(), "CDTimer", stored);
        LoadGlobalSettings(state.settings, state.criteria, settingsIniPath());
        caller.show();
    }
    CDSetupWindow* open()
    {
        CDSetup(state, &caller, [this] { ++closed; });
        return qobject_cast<CDSetupWindow*>(test::shownDialog("CDSetup"));
    }
    QString fileValue() const { return ini::readString(settingsIniPath(), "Settings", "CDTimer", "<none>"); }
};

} // namespace

class TestCdSetup : public QObject {
    Q_OBJECT
private slots:
    void choices_data();
    void choices();
    void layoutAndKeys();
    void unwritableFile();
};

void TestCdSetup::choices_data()
{
    QTest::addColumn<QString>("stored"); // null: no key in the file
    QTest::addColumn<int>("checked"); // the value of the checked choice, -1 for none
    QTest::addColumn<QString>("click"); // the choice clicked, empty for none
    QTest::addColumn<int>("memoryAfterClick");
    QTest::addColumn<QString>("close"); // "ok", "cancel" or "closebox"
    QTest::addColumn<QString>("fileAfter");
    QTest::addColumn<int>("memoryAfter");

    QTest::newRow("do not check, ok") << "150" << 150 << "0" << 0 << "ok" << "0" << 0;
    QTest::newRow("500, cancel") << "150" << 150 << "500" << 500 << "cancel" << "150" << 150;
    QTest::newRow("1000, close box") << "300" << 300 << "1000" << 1000 << "closebox" << "300" << 300;
    QTest::newRow("no key: the default") << QString() << 150 << "100" << 100 << "ok" << "100" << 100;
    QTest::newRow("175 typed in: none, ok keeps it") << "175" << -1 << "" << 175 << "ok" << "175" << 175;
    QTest::newRow("-5 typed in: none, ok keeps it") << "-5" << -1 << "" << -5 << "ok" << "-5" << -5;
    QTest::newRow("175 changed to 250") << "175" << -1 << "250" << 250 << "ok" << "250" << 250;
    QTest::newRow("text reads as 0: do not check") << "often" << 0 << "" << 0 << "ok" << "0" << 0;
}

void TestCdSetup::choices()
{
    QFETCH(QString, stored);
    QFETCH(int, checked);
    QFETCH(QString, click);
    QFETCH(int, memoryAfterClick);
    QFETCH(QString, close);
    QFETCH(QString, fileAfter);
    QFETCH(int, memoryAfter);

    Run r(stored);
    CDSetupWindow* w = r.open();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("CD Player Preferences"));
    QCOMPARE(w->choices()->checkedId(), checked);
    if (!click.isEmpty())
        w->choices()->button(click.toInt())->click();
    QCOMPARE(r.state.settings.CDTimer, memoryAfterClick);

    if (close == "ok")
        w->findChild<QPushButton*>("Ok")->click();
    else if (close == "cancel")
        w->findChild<QPushButton*>("Cancel")->click();
    else
        w->close();
    QCOMPARE(r.closed, 1);
    QCOMPARE(r.fileValue(), fileAfter);
    QCOMPARE(r.state.settings.CDTimer, memoryAfter);
}

void TestCdSetup::layoutAndKeys()
{
    Run r("150");
    CDSetupWindow* w = r.open();
    QVERIFY(w);
    QCOMPARE(test::duplicateMnemonics(w), QStringList());
    const QStringList texts { "100", "150", "200", "250", "300", "500", "1000", "Do Not Check" };
    QStringList shown;
    for (QAbstractButton* b : w->choices()->buttons()) {
        shown << b->text();
        QVERIFY2(b->isVisible() && b->width() >= b->sizeHint().width(), qPrintable(b->text()));
    }
    QCOMPARE(shown, texts);
    // Three columns: 100 above 150, 250 beside 100, 1000 beside 250.
    auto* b100 = w->choices()->button(100);
    QVERIFY(w->choices()->button(150)->y() > b100->y());
    QVERIFY(w->choices()->button(250)->x() > b100->x());
    QCOMPARE(w->choices()->button(250)->y(), b100->y());
    QVERIFY(w->choices()->button(1000)->x() > w->choices()->button(250)->x());
    QVERIFY(w->choices()->button(0)->y() > w->choices()->button(1000)->y());
    w->reject();
}

void TestCdSetup::unwritableFile()
{
    Run r("150");
    CDSetupWindow* w = r.open();
    QVERIFY(w);
    w->choices()->button(300)->click();
    // A folder where the file should be: nothing can be written.
    QVERIFY(QFile::remove(settingsIniPath()));
    QVERIFY(QDir().mkdir(settingsIniPath()));
    r.script->plan(Ok);
    w->findChild<QPushButton*>("Ok")->click();
    QCOMPARE(r.script->asked().size(), 1);
    QCOMPARE(r.script->asked().at(0).caption, QStringLiteral("Error"));
    QVERIFY(w->isVisible()); // still open with the choice made
    QCOMPARE(r.state.settings.CDTimer, 300);
    QCOMPARE(r.closed, 0);
    w->reject();
}

QTEST_MAIN(TestCdSetup)
#include "tst_cdsetup.moc"

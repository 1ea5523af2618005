// The setup wizard driven as a user drives it: its pages and buttons, finishing on a first run and
// over a date format in force, a settings file that cannot be written, Cancel ending the program,
// and its run after the splash with the start-up lists following it.

#include "FormDriver.h"
#include "ScriptedMessages.h"
#include "TestApp.h"
#include "app/FrameWiring.h"
#include "app/MainFrame.h"
#include "app/Resources.h"
#include "common/AppState.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "setup/ui/SetupWindow.h"
#include "setup/ui/SetupWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

using namespace td;

namespace {

// One program run with `settings` in the file (none: no file at all) and a window the wizard is
// opened for, standing in for the main frame.
struct Run : test::TestApp {
    QWidget frame;
    int finished = 0;

    explicit Run(const QMap<QString, QString>& settings = {})
    {
        for (auto it = settings.cbegin(); it != settings.cend(); ++it)
            SaveSetting(settingsIniPath(), it.key(), it.value());
        LoadGlobalSettings(state.settings, state.criteria, settingsIniPath());
        frame.resize(300, 200);
        frame.show();
    }

    SetupWizardDialog* open()
    {
        SetupWizard(state, &frame, [this] { ++finished; });
        return qobject_cast<SetupWizardDialog*>(test::shownDialog("SetupWizard"));
    }

    QByteArray file() const
    {
        QFile f(settingsIniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString fileValue(const QString& key) const
    {
        return ini::readString(settingsIniPath(), "Settings", key, "<none>");
    }
};

template <typename T> T* child(QWidget* w, const QString& name)
{
    T* c = w->findChild<T*>(name);
    if (!c)
        qWarning("no child %s", qPrintable(name));
    return c;
}

void click(QWidget* w, const QString& name)
{
    QAbstractButton* b = child<QAbstractButton>(w, name);
    QVERIFY(b);
    b->click();
}

void toLastPage(QWidget* w)
{
    for (int i = 0; i < 4; ++i)
        click(w, "Next");
}

} // namespace

class TestSetupWizard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void cleanup() { test::dropFormWatchers(); }
    void pagesAndButtons();
    void firstRunFinish();
    void finishOverFormatInForce_data();
    void finishOverFormatInForce();
    void unsavableFile();
    void cancelEndsProgram_data();
    void cancelEndsProgram();
    void afterSplash_data();
    void afterSplash();
};

// Back is off on the first page, Finish shown only on the last (where Next is off), and going back
// from the last hides Finish again.
void TestSetupWizard::pagesAndButtons()
{
    Run run;
    SetupWizardDialog* w = run.open();
    QVERIFY(w);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(w->windowTitle(), QStringLiteral("Setup Wizard"));
    QCOMPARE(test::duplicateMnemonics(w), QStringList());
    QVERIFY(!w->pages()->tabBar()->isVisible());
    QCOMPARE(w->pages()->count(), 5);
    auto* back = child<QPushButton>(w, "Back");
    auto* next = child<QPushButton>(w, "Next");
    auto* finish = child<QPushButton>(w, "Finish");
    auto* cancel = child<QPushButton>(w, "Cancel");
    const QStringList titles {"Welcome", "Date", "User Defined Key Field", "Start Up", "Done"};
    for (int page = 0; page < 5; ++page) {
        const QString at = QStringLiteral("page %1").arg(page + 1);
        QTRY_COMPARE(w->page(), page); // a mnemonic clicks its button a moment later
        QCOMPARE(w->pages()->tabText(page), titles.at(page));
        QVERIFY2(back->isEnabled() == (page > 0), qPrintable(at));
        QVERIFY2(next->isEnabled() == (page < 4), qPrintable(at));
        QVERIFY2(finish->isVisible() == (page == 4), qPrintable(at));
        QVERIFY2(cancel->isVisible(), qPrintable(at));
        // Every control of the page inside the window at its opening size.
        for (QWidget* c : w->pages()->currentWidget()->findChildren<QWidget*>()) {
            if (!c->isVisible())
                continue;
            const QRect r(c->mapTo(w, QPoint(0, 0)), c->size());
            QVERIFY2(w->rect().contains(r), qPrintable(at + ": " + c->objectName()));
        }
        if (page < 4)
            QTest::keyClick(w->focusWidget(), Qt::Key_N, Qt::AltModifier);
    }
    next->click(); // does nothing on the last page
    QCOMPARE(w->page(), 4);
    back->click();
    QCOMPARE(w->page(), 3);
    QVERIFY(!finish->isVisible());
    QVERIFY(next->isEnabled());
    w->pages()->setCurrentIndex(0);
    QVERIFY(run.file().isEmpty()); // nothing written while paging
    QCOMPARE(run.finished, 0);
}

// No settings file: the date page proposes "Year Only", finishing asks nothing and writes the
// answers with the wizard marked complete ("SaveLastTab" is not the wizard's to write).
void TestSetupWizard::firstRunFinish()
{
    Run run;
    SetupWizardDialog* w = run.open();
    QVERIFY(w);
    QCOMPARE(child<QComboBox>(w, "DateFormat")->currentText(), QStringLiteral("Year Only"));
    QCOMPARE(child<QLineEdit>(w, "UDKPrompt")->text(), QStringLiteral("Custom"));
    click(w, "Next");
    click(w, "Next");
    auto* udk = child<QLineEdit>(w, "UDKPrompt");
    udk->clear();
    QTest::keyClicks(udk, "A name far longer than the field holds");
    click(w, "Next");
    click(w, "SU_Songs");
    click(w, "SU_Playlists");
    click(w, "Next");
    click(w, "Finish");
    QTRY_COMPARE(run.finished, 1);
    QVERIFY(run.script->asked().isEmpty());
    QCOMPARE(run.fileValue("SetupWizardComplete"), QStringLiteral("1"));
    QCOMPARE(run.fileValue("DateFormat"), QStringLiteral("n4b"));
    QCOMPARE(run.fileValue("UDKPrompt"), QStringLiteral("A name far longer than t"));
    QCOMPARE(run.fileValue("SU_Songs"), QStringLiteral("1"));
    QCOMPARE(run.fileValue("SU_Playlists"), QStringLiteral("1"));
    QCOMPARE(run.fileValue("SU_Albums"), QStringLiteral("0"));
    QCOMPARE(run.fileValue("SaveLastTab"), QStringLiteral("<none>"));
    QVERIFY(run.state.settings.SetupWizardComplete);
    QVERIFY(run.state.settings.SU_Songs);
    QCOMPARE(run.state.settings.DateFormat, QStringLiteral("n4b"));
    QVERIFY(run.frame.isVisible());
}

void TestSetupWizard::finishOverFormatInForce_data()
{
    QTest::addColumn<QString>("inForce");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("choose");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("stored");
    QTest::newRow("day-month-year to year only") << "d6" << "31/10/1959" << "Year Only" << true << "n4b";
    QTest::newRow("year only kept") << "n4b" << "Year Only" << "Year Only" << false << "n4b";
    QTest::newRow("another date format") << "d6" << "31/10/1959" << "10/31/59" << false << "d1";
    QTest::newRow("unknown code kept") << "x7" << "x7" << "x7" << false << "x7";
}

// The conversion question comes only when "Year Only" replaces another format; answered No, the
// dates stay and the format is still "Year Only".
void TestSetupWizard::finishOverFormatInForce()
{
    QFETCH(QString, inForce);
    QFETCH(QString, shown);
    QFETCH(QString, choose);
    QFETCH(bool, asked);
    QFETCH(QString, stored);
    Run run({{"DateFormat", inForce}, {"SetupWizardComplete", "1"}, {"SaveLastTab", "0"}});
    SetupWizardDialog* w = run.open();
    QVERIFY(w);
    auto* date = child<QComboBox>(w, "DateFormat");
    QCOMPARE(date->currentText(), shown);
    date->setCurrentIndex(date->findText(choose));
    toLastPage(w);
    run.script->plan(No);
    click(w, "Finish");
    QTRY_COMPARE(run.finished, 1);
    QCOMPARE(run.script->captions(), asked ? QStringList {"Basic Format Changed"} : QStringList());
    if (asked) {
        const Message& m = run.script->asked().at(0);
        QCOMPARE(m.text, QStringLiteral("Convert existing entries to Year Only format (day and month information "
                                        "will be lost!)?"));
        QCOMPARE(m.defaultButton, int(Yes));
    }
    QCOMPARE(run.fileValue("DateFormat"), stored);
    QCOMPARE(run.state.settings.DateFormat, stored);
    QCOMPARE(run.fileValue("SaveLastTab"), QStringLiteral("0"));
}

// A settings file that cannot be written: the wizard says so and stays, not completed.
void TestSetupWizard::unsavableFile()
{
    Run run;
    SetupWizardDialog* w = run.open();
    QVERIFY(w);
    QVERIFY(QDir().mkpath(settingsIniPath()));
    toLastPage(w);
    click(w, "Finish");
    QCOMPARE(run.script->captions(), QStringList {"Preferences Not Saved"});
    QVERIFY(w->isVisible());
    QVERIFY(!run.state.settings.SetupWizardComplete);
    QCOMPARE(run.finished, 0);
    QVERIFY(run.frame.isVisible());
    w->pages()->setCurrentIndex(0);
    QVERIFY(QDir().rmdir(settingsIniPath()));
    toLastPage(w);
    click(w, "Finish");
    QTRY_COMPARE(run.finished, 1);
    QCOMPARE(run.fileValue("SetupWizardComplete"), QStringLiteral("1"));
}

void TestSetupWizard::cancelEndsProgram_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("fromPreferences");
    for (int p = 0; p < 5; ++p)
        QTest::addRow("page %d", p + 1) << p << false;
    QTest::newRow("started from the Preferences") << 2 << true;
}

// Cancel on any page ends the program (the frame closes), and nothing is written.
void TestSetupWizard::cancelEndsProgram()
{
    QFETCH(int, page);
    QFETCH(bool, fromPreferences);
    Run run({{"SetupWizardComplete", "1"}});
    const QByteArray before = run.file();
    SetupWizardDialog* w = nullptr;
    if (fromPreferences) {
        Setup(run.state, &run.frame, [&] { ++run.finished; });
        QDialog* prefs = test::shownDialog("Setup");
        QVERIFY(prefs);
        click(prefs, "UseSetupWizard");
        QTRY_VERIFY((w = qobject_cast<SetupWizardDialog*>(test::shownDialog("SetupWizard"))));
    } else {
        w = run.open();
    }
    QVERIFY(w);
    for (int i = 0; i < page; ++i)
        click(w, "Next");
    child<QCheckBox>(w, "SU_Albums")->setChecked(true);
    click(w, "Cancel");
    QTRY_VERIFY(!run.frame.isVisible());
    QCOMPARE(run.file(), before);
    QVERIFY(!run.state.settings.SU_Albums);
    QCOMPARE(run.finished, 0);
    QVERIFY(run.script->asked().isEmpty());
}

void TestSetupWizard::afterSplash_data()
{
    QTest::addColumn<bool>("finish");
    QTest::newRow("finished: the lists chosen open") << true;
    QTest::newRow("cancelled: the program ends") << false;
}

// The first start: the wizard follows the splash; the start-up lists chosen in it open after it.
void TestSetupWizard::afterSplash()
{
    QFETCH(bool, finish);
    test::TestApp app;
    MainFrame frame(app.state);
    wireFrame(frame, app.state);
    frame.setSplashDuration(20);
    QVERIFY(frame.open());
    frame.show();
    QDialog* w = nullptr;
    QTRY_VERIFY((w = test::shownDialog("SetupWizard")));
    QVERIFY(!frame.isEnabled());
    QCOMPARE(frame.mdiArea()->subWindowList().size(), 0);
    if (!finish) {
        click(w, "Cancel");
        QTRY_VERIFY(!frame.isVisible());
        QCOMPARE(ini::readString(settingsIniPath(), "Settings", "SetupWizardComplete"), QString());
        return;
    }
    click(w, "Next");
    click(w, "Next");
    click(w, "Next");
    click(w, "SU_Songs");
    click(w, "Next");
    click(w, "Finish");
    QTRY_COMPARE(frame.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(frame.mdiArea()->subWindowList().at(0)->widget()->objectName(), QStringLiteral("BrowseSongs"));
    QVERIFY(frame.isEnabled());
    // Once completed, the Setup command opens the Preferences window.
    frame.action(FrameAction::Preferences)->trigger();
    QDialog* prefs = nullptr;
    QTRY_VERIFY((prefs = test::shownDialog("Setup")));
    prefs->reject();
    QTRY_VERIFY(frame.isEnabled());
    frame.close();
}

QTEST_MAIN(TestSetupWizard)
#include "tst_setupwizard.moc"

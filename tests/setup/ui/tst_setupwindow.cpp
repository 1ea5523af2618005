// The Preferences window driven as a user drives it: edits taking effect at once, "&OK" with the
// date format messages, "Cancel" undoing, the housekeeping questions, the logo tab, a settings
// file that cannot be written, and the wizard in its place while it has never been completed.

#include "FormDriver.h"
#include "ScriptedMessages.h"
#include "TestApp.h"
#include "app/Resources.h"
#include "common/AppState.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "setup/ui/SetupWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

using namespace td;

namespace {

// One program run with the preferences of `settings` in the file, the wizard completed.
struct Run : test::TestApp {
    QWidget caller;
    int closed = 0;

    explicit Run(const QMap<QString, QString>& settings = {}, bool wizardDone = true)
    {
        if (wizardDone)
            SaveSetting(settingsIniPath(), "SetupWizardComplete", "1");
        for (auto it = settings.cbegin(); it != settings.cend(); ++it)
            SaveSetting(settingsIniPath(), it.key(), it.value());
        LoadGlobalSettings(state.settings, state.criteria, settingsIniPath());
        caller.resize(300, 200);
        caller.show();
    }

    // Opens the Preferences (or what the Setup command opens instead) and returns the window shown.
    QDialog* open(const QString& expected = "Setup")
    {
        Setup(state, &caller, [this] { ++closed; });
        return test::shownDialog(expected);
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

} // namespace

class TestSetupWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void cleanup() { test::dropFormWatchers(); }
    void wizardInsteadUntilCompleted();
    void useSetupWizard();
    void dateFormatOnOk_data();
    void dateFormatOnOk();
    void editsAtOnceAndCancel();
    void okWritesTheControls();
    void housekeepingQuestions_data();
    void housekeepingQuestions();
    void logoTab_data();
    void logoTab();
    void browseLogo();
    void unsavableFile();
    void keyboardAndLayout();
};

// With "SetupWizardComplete" missing or off, the Setup command shows the wizard, never the window.
void TestSetupWindow::wizardInsteadUntilCompleted()
{
    Run run({}, false);
    QVERIFY(run.open("SetupWizard"));
    QVERIFY(!test::shownDialog("Setup"));
}

void TestSetupWindow::useSetupWizard()
{
    Run run({{"Interface", "Standard"}});
    QDialog* w = run.open();
    QVERIFY(w);
    click(w, "InterfaceExplorer");
    QPointer<QDialog> window = w;
    click(w, "UseSetupWizard");
    QTRY_VERIFY(!window);
    QDialog* wizard = test::shownDialog("SetupWizard");
    QVERIFY(wizard);
    // The wizard starts from the saved preferences, and the caller waits for it in turn.
    QCOMPARE(run.state.settings.Interface, QStringLiteral("Standard"));
    QVERIFY(!run.caller.isEnabled());
    QCOMPARE(run.closed, 0);
    click(wizard, "Next");
    click(wizard, "Next");
    click(wizard, "Next");
    click(wizard, "Next");
    click(wizard, "Finish");
    QTRY_COMPARE(run.closed, 1);
    QVERIFY(run.caller.isEnabled());
}

void TestSetupWindow::dateFormatOnOk_data()
{
    QTest::addColumn<QString>("inForce");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("choose");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("stored");
    const QStringList none;
    const QStringList info {"Information"};
    const QStringList both {"Information", "Basic Format Changed"};
    QTest::newRow("same entry") << "d2" << "10/31/1959" << "10/31/1959" << 0 << none << "d2";
    QTest::newRow("another entry") << "d2" << "10/31/1959" << "31/10/1959" << 0 << info << "d6";
    QTest::newRow("year only, convert") << "d6" << "31/10/1959" << "Year Only" << int(Yes) << both << "n4b";
    QTest::newRow("year only, keep dates") << "d6" << "31/10/1959" << "Year Only" << int(No) << both << "n4b";
    QTest::newRow("year only in force") << "n4b" << "Year Only" << "Year Only" << 0 << none << "n4b";
    QTest::newRow("unknown code kept") << "d9x" << "d9x" << "d9x" << 0 << none << "d9x";
    QTest::newRow("unknown code replaced") << "d9x" << "d9x" << "10/59" << 0 << info << "d13";
}

void TestSetupWindow::dateFormatOnOk()
{
    QFETCH(QString, inForce);
    QFETCH(QString, shown);
    QFETCH(QString, choose);
    QFETCH(int, answer);
    QFETCH(QStringList, captions);
    QFETCH(QString, stored);
    Run run({{"DateFormat", inForce}});
    QDialog* w = run.open();
    QVERIFY(w);
    auto* date = child<QComboBox>(w, "DateFormat");
    QCOMPARE(date->currentText(), shown);
    QCOMPARE(date->itemText(0), QStringLiteral("Windows Default"));
    QCOMPARE(date->itemText(14), QStringLiteral("Windows Default 2"));
    date->setCurrentIndex(date->findText(choose));
    // Not in force before "&OK".
    QCOMPARE(run.state.settings.DateFormat, inForce);
    if (answer)
        run.script->plan(answer);
    QPointer<QDialog> window = w;
    click(w, "OK");
    QTRY_VERIFY(!window);
    QCOMPARE(run.script->captions(), captions);
    for (const Message& m : run.script->asked()) {
        if (m.caption == "Information") {
            QCOMPARE(m.text, QStringLiteral("Date format changes will not affect currently open windows.  You can close "
                                            "and re-open windows, or exit and restart Tunedeck Pro to view information "
                                            "using the new date format."));
        } else {
            QCOMPARE(m.text, QStringLiteral("Convert existing entries to Year Only format (day and month information "
                                            "will be lost!)?"));
            QCOMPARE(m.buttons, Yes | No);
            QCOMPARE(m.defaultButton, int(Yes));
        }
    }
    QCOMPARE(run.fileValue("DateFormat"), stored);
    QCOMPARE(run.state.settings.DateFormat, stored);
    QCOMPARE(run.fileValue("Setup"), QStringLiteral("1"));
    QCOMPARE(run.closed, 1);
}

// Edits change the preferences in memory at once; "Cancel" leaves memory and file as they were.
void TestSetupWindow::editsAtOnceAndCancel()
{
    Run run({{"UDKPrompt", "Custom"}});
    const QByteArray before = [] {
        QFile f(settingsIniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QDialog* w = run.open();
    QVERIFY(w);
    click(w, "InterfaceExplorer");
    click(w, "SU_Songs");
    click(w, "SaveLastTab");
    click(w, "AddModeSingleArtist");
    click(w, "Delimiter4");
    auto* udk = child<QLineEdit>(w, "UDKPrompt");
    udk->clear();
    QTest::keyClicks(udk, "Mood of the day");
    QCOMPARE(run.state.settings.Interface, QStringLiteral("Explorer"));
    QVERIFY(run.state.settings.SU_Songs);
    QVERIFY(!run.state.settings.SaveLastTab);
    QCOMPARE(run.state.settings.AddMode, QStringLiteral("Single Artist"));
    QCOMPARE(run.state.settings.Delimiter, QStringLiteral(")"));
    QCOMPARE(run.state.settings.UDKPrompt, QStringLiteral("Mood of the day"));
    // How the prompt will look where it is used.
    const QString sample = child<QLabel>(w, "UDKSample")->text();
    QVERIFY2(sample.contains("\"Mood of the day:\"") && sample.contains("\"By Mood of th\""), qPrintable(sample));
    click(w, "Cancel");
    QTRY_COMPARE(run.closed, 1);
    QCOMPARE(run.state.settings.Interface, QStringLiteral("Standard"));
    QVERIFY(!run.state.settings.SU_Songs);
    QVERIFY(run.state.settings.SaveLastTab);
    QCOMPARE(run.state.settings.UDKPrompt, QStringLiteral("Custom"));
    QFile f(settingsIniPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QVERIFY(run.script->asked().isEmpty());
}

// Every control reaches the file; a radio value none of the radios had stays until one is chosen,
// and the auto-add text is kept while its box is not touched.
void TestSetupWindow::okWritesTheControls()
{
    Run run({{"AutoAddToAlbums", "yes"}, {"LabelArtistTitleOrder", "1"}, {"SU_Labels", "maybe"}});
    QDialog* w = run.open();
    QVERIFY(w);
    const auto radios = child<QWidget>(w, "LabelArtistTitleOrder")->findChildren<QRadioButton*>();
    QCOMPARE(radios.size(), 2);
    QVERIFY(!radios.at(0)->isChecked() && !radios.at(1)->isChecked());
    QVERIFY(child<QCheckBox>(w, "AutoAddToAlbums")->isChecked());
    QVERIFY(!child<QCheckBox>(w, "SU_Labels")->isChecked());
    click(w, "SU_Albums");
    click(w, "DefaultWizardCompilation");
    click(w, "AddModeAskEachTime");
    auto* notes = child<QLineEdit>(w, "NotesLabel");
    notes->selectAll();
    QTest::keyClicks(notes, "Remarks for the log, long text");
    click(w, "OK");
    QTRY_COMPARE(run.closed, 1);
    QCOMPARE(run.fileValue("AutoAddToAlbums"), QStringLiteral("yes"));
    QCOMPARE(run.fileValue("LabelArtistTitleOrder"), QStringLiteral("1"));
    QCOMPARE(run.fileValue("AddMode"), QStringLiteral("Ask Each Time"));
    QCOMPARE(run.fileValue("NotesLabel"), QStringLiteral("Remarks for the log,"));
    QCOMPARE(run.fileValue("SU_Albums"), QStringLiteral("1"));
    QCOMPARE(run.fileValue("SU_Labels"), QStringLiteral("0"));
    QCOMPARE(run.fileValue("DefaultWizardCompilation"), QStringLiteral("1"));
    QCOMPARE(run.fileValue("SaveLastTab"), QStringLiteral("1"));
}

void TestSetupWindow::housekeepingQuestions_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::newRow("create album database")
        << "CopyToAlbum"
        << "This function will create the album database based on information in your main Tunedeck Pro database.  "
           "It may take some time to complete.  This should only be required if you are upgrading from version "
           "1.1.  Are you sure you wish to continue?";
    QTest::newRow("test links")
        << "TestAlbumIDs"
        << "This function will test (and fix where possible) the links between the album database and your main "
           "Tunedeck Pro database.  It may take some time to complete.  This should only be required if you are "
           "upgrading from version 1.1.  Are you sure you wish to continue?";
}

void TestSetupWindow::housekeepingQuestions()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    Run run;
    QDialog* w = run.open();
    QVERIFY(w);
    QCOMPARE(child<QTabWidget>(w, QString())->tabText(4), QStringLiteral("Housekeeping"));
    run.script->plan(No);
    click(w, button);
    run.script->plan(Yes);
    click(w, button);
    QCOMPARE(run.script->asked().size(), 2);
    const Message& m = run.script->asked().at(0);
    QCOMPARE(m.caption, QStringLiteral("Housekeeping"));
    QCOMPARE(m.text, text);
    QCOMPARE(m.buttons, Yes | No);
    QCOMPARE(m.defaultButton, int(No));
    // The window stays open either way.
    QTRY_VERIFY(w->isEnabled());
    QVERIFY(w->isVisible());
    QCOMPARE(run.closed, 0);
    w->reject();
}

void TestSetupWindow::logoTab_data()
{
    QTest::addColumn<QString>("logo");
    QTest::addColumn<bool>("tab");
    QTest::addColumn<bool>("picture");
    QTest::newRow("no logo") << "" << false << false;
    QTest::newRow("a picture") << "logo.png" << true << true;
    QTest::newRow("a folder") << "." << true << false;
    QTest::newRow("not a picture") << "notes.txt" << true << false;
    QTest::newRow("missing file") << "gone.png" << true << false;
}

void TestSetupWindow::logoTab()
{
    QFETCH(QString, logo);
    QFETCH(bool, tab);
    QFETCH(bool, picture);
    Run run;
    QPixmap px(40, 20);
    px.fill(Qt::red);
    QVERIFY(px.save(run.ws.file("logo.png")));
    QFile text(run.ws.file("notes.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    const QString path = logo.isEmpty() ? QString() : QDir(run.ws.path()).absoluteFilePath(logo);
    run.state.settings.Logo = path;
    QDialog* w = run.open();
    QVERIFY(w);
    auto* tabs = child<QTabWidget>(w, QString());
    QCOMPARE(tabs->count(), tab ? 6 : 5);
    if (!tab)
        return w->reject();
    QCOMPARE(child<QLineEdit>(w, "Logo")->text(), path);
    auto* sample = child<QLabel>(w, "LogoSample");
    QCOMPARE(!sample->pixmap().isNull(), picture);
    QCOMPARE(sample->text().isEmpty(), picture);
    w->reject();
}

void TestSetupWindow::browseLogo()
{
    Run run;
    QPixmap px(40, 20);
    px.fill(Qt::blue);
    const QString chosen = QDir(run.ws.path()).absoluteFilePath("new.png");
    QVERIFY(px.save(chosen));
    run.state.settings.Logo = QDir(run.ws.path()).absoluteFilePath("old.png");
    QDialog* w = run.open();
    QVERIFY(w);
    test::onDialog("ChooseAFile", [&](QDialog* d) {
        auto* files = qobject_cast<QFileDialog*>(d);
        QCOMPARE(files->windowTitle(), QStringLiteral("Choose a File"));
        QCOMPARE(files->directory().absolutePath(), run.ws.path());
        files->selectFile(chosen);
        static_cast<QDialog*>(files)->accept();
    });
    click(w, "Browse");
    QTRY_COMPARE(child<QLineEdit>(w, "Logo")->text(), chosen);
    QCOMPARE(run.state.settings.Logo, chosen);
    QVERIFY(!child<QLabel>(w, "LogoSample")->pixmap().isNull());
    click(w, "OK");
    QTRY_COMPARE(run.closed, 1);
    QCOMPARE(run.fileValue("Logo"), chosen);
}

// "&OK" on a file that cannot be written says so and keeps the window with every change.
void TestSetupWindow::unsavableFile()
{
    Run run;
    QDialog* w = run.open();
    QVERIFY(w);
    QVERIFY(QFile::remove(settingsIniPath()));
    QVERIFY(QDir().mkpath(settingsIniPath())); // a folder where the file goes
    click(w, "InterfaceExplorer");
    click(w, "OK");
    QCOMPARE(run.script->captions(), QStringList {"Preferences Not Saved"});
    QVERIFY(run.script->asked().at(0).text.contains(settingsIniPath()));
    QCOMPARE(run.script->asked().at(0).icon, Icon::Exclamation);
    QVERIFY(w->isVisible());
    QCOMPARE(run.state.settings.Interface, QStringLiteral("Explorer"));
    QCOMPARE(run.closed, 0);
    w->reject();
}

void TestSetupWindow::keyboardAndLayout()
{
    Run run({{"Logo", "/some/logo.png"}});
    QDialog* w = run.open();
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->windowTitle(), QStringLiteral("Preferences"));
    QCOMPARE(test::duplicateMnemonics(w), QStringList());
    QCOMPARE(w->focusWidget(), w->findChild<QWidget*>("InterfaceStandard"));
    auto* tabs = child<QTabWidget>(w, QString());
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    QCOMPARE(titles, (QStringList {"General", "Start Up", "Adding", "Labels", "Housekeeping", "Company Logo"}));
    // At its opening size every control of every tab is inside the window, none cut.
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        for (QWidget* c : tabs->widget(i)->findChildren<QWidget*>()) {
            if (!c->isVisible() || !(qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c)
                                     || qobject_cast<QComboBox*>(c) || qobject_cast<QLabel*>(c)))
                continue;
            const QRect r(c->mapTo(w, QPoint(0, 0)), c->size());
            QVERIFY2(w->rect().contains(r), qPrintable(tabs->tabText(i) + ": " + c->objectName()));
            QVERIFY2(c->width() >= c->minimumSizeHint().width(), qPrintable(tabs->tabText(i) + ": " + c->objectName()));
        }
    }
    w->reject();
}

QTEST_MAIN(TestSetupWindow)
#include "tst_setupwindow.moc"

// The preferences written back (key order, flags, keys the file already had, a file that cannot be
// written), the date entries and their codes, and when a date format change informs or asks.

#include "TempWorkspace.h"
#include "common/GlobalSettings.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "setup/SetupSettings.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <unistd.h>

using namespace td;

class TestSetupSettings : public QObject {
    Q_OBJECT
private slots:
    void writtenInOrder_data();
    void writtenInOrder();
    void existingKeysKeptInPlace();
    void unwritableFile_data();
    void unwritableFile();
    void dateCodes_data();
    void dateCodes();
    void setupDateChange_data();
    void setupDateChange();
    void wizardDateChange_data();
    void wizardDateChange();
    void absurdValuesLoadAndWriteBack();
    void samples();
};

void TestSetupSettings::writtenInOrder_data()
{
    QTest::addColumn<int>("writer");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("window") << int(SettingsWriter::Window)
                            << QStringList {"AutoAddToAlbums", "AddMode", "LabelArtistTitleOrder", "GLO:Delimiter",
                                            "UDKPrompt", "NotesLabel", "Setup", "Interface", "SU_Albums", "SU_Songs",
                                            "SU_Playlists", "SU_Labels", "Logo", "SaveLastTab",
                                            "DefaultWizardCompilation", "DateFormat"}
                            << QStringList {"", "Compilation", "Title - Artist", ")", "Genre", "Notes", "1", "Explorer",
                                            "1", "0", "1", "0", "/pics/logo.png", "0", "1", "d6"};
    QTest::newRow("wizard") << int(SettingsWriter::Wizard)
                            << QStringList {"AutoAddToAlbums", "AddMode", "LabelArtistTitleOrder", "GLO:Delimiter",
                                            "UDKPrompt", "NotesLabel", "Setup", "Interface", "SU_Albums", "SU_Songs",
                                            "SU_Playlists", "SU_Labels", "Logo", "DefaultWizardCompilation",
                                            "SetupWizardComplete", "DateFormat"}
                            << QStringList {"", "Compilation", "Title - Artist", ")", "Genre", "Notes", "1", "Explorer",
                                            "1", "0", "1", "0", "/pics/logo.png", "1", "1", "d6"};
}

void TestSetupSettings::writtenInOrder()
{
    QFETCH(int, writer);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, values);
    test::TempWorkspace ws;
    GlobalSettings s;
    s.AutoAddToAlbums.clear();
    s.AddMode = "Compilation";
    s.LabelArtistTitleOrder = "Title - Artist";
    s.Delimiter = ")";
    s.UDKPrompt = "Genre";
    s.Interface = "Explorer";
    s.SU_Albums = s.SU_Playlists = true;
    s.Logo = "/pics/logo.png";
    s.SaveLastTab = false;
    s.DefaultWizardCompilation = true;
    s.SetupWizardComplete = false; // the wizard writes it as completed, whatever memory says
    QString error;
    QVERIFY(SaveSetupSettings(s, "d6", SettingsWriter(writer), settingsIniPath(), &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(ini::keys(settingsIniPath(), "Settings"), keys);
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(ini::readString(settingsIniPath(), "Settings", keys.at(i), "missing"), values.at(i));
}

// Keys already there are changed where they stand; other keys, sections and comments are kept.
void TestSetupSettings::existingKeysKeptInPlace()
{
    test::TempWorkspace ws;
    QFile f(settingsIniPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("; my notes\n[Fonts]\nTitle=Arial\n[Settings]\nCDTimer=300\nSongTab=3\nDateFormat=d2\nSU_Songs=maybe\n");
    f.close();
    GlobalSettings s;
    ReportCriteria c;
    LoadGlobalSettings(s, c, settingsIniPath());
    QVERIFY(!s.SU_Songs); // not a number: off
    QVERIFY(SaveSetupSettings(s, "n4b", SettingsWriter::Window, settingsIniPath()));
    const QStringList keys = ini::keys(settingsIniPath(), "Settings");
    QCOMPARE(keys.mid(0, 4), (QStringList {"CDTimer", "SongTab", "DateFormat", "SU_Songs"}));
    QCOMPARE(ini::readString(settingsIniPath(), "Settings", "DateFormat"), QStringLiteral("n4b"));
    QCOMPARE(ini::readString(settingsIniPath(), "Settings", "SU_Songs"), QStringLiteral("0"));
    QCOMPARE(ini::readString(settingsIniPath(), "Settings", "CDTimer"), QStringLiteral("300"));
    QCOMPARE(ini::readString(settingsIniPath(), "Fonts", "Title"), QStringLiteral("Arial"));
    QFile back(settingsIniPath());
    QVERIFY(back.open(QIODevice::ReadOnly));
    QVERIFY(back.readAll().startsWith("; my notes\n"));
}

// A file that cannot be replaced: false with a reason, and nothing on disk changed.
void TestSetupSettings::unwritableFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("read-only file") << "readonly";
    QTest::newRow("a folder in the file's place") << "folder";
    QTest::newRow("a file in the folder's place") << "parent";
}

void TestSetupSettings::unwritableFile()
{
    QFETCH(QString, how);
    test::TempWorkspace ws;
    QString path = settingsIniPath();
    const QByteArray before = "[Settings]\nDateFormat=d2\n";
    if (how == "readonly") {
        if (geteuid() == 0)
            QSKIP("file permissions do not bind the superuser");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(before);
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::ReadUser));
        QVERIFY(QFile::setPermissions(QFileInfo(path).absolutePath(),
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser));
    } else if (how == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile f(ws.file("plain"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        path = ws.file("plain") + "/TDPRO97.INI";
    }
    QString error;
    QVERIFY(!SaveSetupSettings(GlobalSettings(), "d1", SettingsWriter::Window, path, &error));
    QVERIFY(!error.isEmpty());
    if (how == "readonly") {
        QFile::setPermissions(QFileInfo(path).absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
}

void TestSetupSettings::dateCodes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("stored");
    QTest::newRow("known, kept") << "d4" << "October 31, 1959" << "October 31, 1959" << "d4";
    QTest::newRow("known, another chosen") << "d4" << "October 31, 1959" << "Year Only" << "n4b";
    QTest::newRow("last entry") << "d18" << "Windows Default 2" << "10/59" << "d13";
    QTest::newRow("unknown shown raw and kept") << "d9x" << "d9x" << "d9x" << "d9x";
    QTest::newRow("unknown replaced") << "d9x" << "d9x" << "Windows Default" << "d17";
    QTest::newRow("blank stays blank") << "" << "" << "" << "";
    QTest::newRow("trailing blanks ignored") << "d1  " << "10/31/59" << "10/31/59" << "d1";
}

void TestSetupSettings::dateCodes()
{
    QFETCH(QString, code);
    QFETCH(QString, entry);
    QFETCH(QString, chosen);
    QFETCH(QString, stored);
    QCOMPARE(dateEntryForCode(code), entry);
    QCOMPARE(dateCodeForEntry(chosen, code), stored);
}

void TestSetupSettings::setupDateChange_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("inForce");
    QTest::addColumn<bool>("inform");
    QTest::addColumn<bool>("ask");
    QTest::newRow("same entry again") << "10/31/1959" << "10/31/1959" << "d2" << false << false;
    QTest::newRow("another date entry") << "10/31/1959" << "31/10/1959" << "d2" << true << false;
    QTest::newRow("to year only") << "10/31/1959" << "Year Only" << "d2" << true << true;
    QTest::newRow("year only again") << "Year Only" << "Year Only" << "n4b" << false << false;
    QTest::newRow("from year only") << "Year Only" << "10/59" << "n4b" << true << false;
    QTest::newRow("raw code to year only") << "d9x" << "Year Only" << "d9x" << true << true;
    QTest::newRow("blank to year only") << "" << "Year Only" << "" << true << true;
}

void TestSetupSettings::setupDateChange()
{
    QFETCH(QString, opened);
    QFETCH(QString, chosen);
    QFETCH(QString, inForce);
    QFETCH(bool, inform);
    QFETCH(bool, ask);
    const DateFormatChange c = td::setupDateChange(opened, chosen, inForce);
    QCOMPARE(c.inform, inform);
    QCOMPARE(c.askConvert, ask);
}

void TestSetupSettings::wizardDateChange_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("inForce");
    QTest::addColumn<bool>("ask");
    QTest::newRow("first run") << "Year Only" << "" << false;
    QTest::newRow("day-month-year to year only") << "Year Only" << "d6" << true;
    QTest::newRow("year only kept") << "Year Only" << "n4b" << false;
    QTest::newRow("another date format") << "31/10/1959" << "d2" << false;
}

void TestSetupSettings::wizardDateChange()
{
    QFETCH(QString, chosen);
    QFETCH(QString, inForce);
    QFETCH(bool, ask);
    const DateFormatChange c = td::wizardDateChange(chosen, inForce);
    QVERIFY(!c.inform);
    QCOMPARE(c.askConvert, ask);
}

// A damaged file: a date code far too long is cut to its six characters and kept as it is read; a
// flag that is no number is off and goes back as 0; a missing section gives the defaults.
void TestSetupSettings::absurdValuesLoadAndWriteBack()
{
    test::TempWorkspace ws;
    ini::writeString(settingsIniPath(), "Other", "X", "1");
    GlobalSettings s;
    ReportCriteria c;
    LoadGlobalSettings(s, c, settingsIniPath());
    QCOMPARE(s.UDKPrompt, QStringLiteral("Custom"));
    QVERIFY(s.SaveLastTab);
    ini::writeString(settingsIniPath(), "Settings", "DateFormat", QString(40, 'q'));
    ini::writeString(settingsIniPath(), "Settings", "SU_Albums", "maybe");
    LoadGlobalSettings(s, c, settingsIniPath());
    QCOMPARE(dateEntryForCode(s.DateFormat), QStringLiteral("qqqqqq"));
    QVERIFY(dateFormatSample(s.DateFormat, 100000).isEmpty());
    QVERIFY(SaveSetupSettings(s, dateCodeForEntry("qqqqqq", s.DateFormat), SettingsWriter::Window, settingsIniPath()));
    QCOMPARE(ini::readString(settingsIniPath(), "Settings", "DateFormat"), QStringLiteral("qqqqqq"));
    QCOMPARE(ini::readString(settingsIniPath(), "Settings", "SU_Albums"), QStringLiteral("0"));
}

void TestSetupSettings::samples()
{
    const int day = 58000; // a day in 1959
    QVERIFY(dateFormatSample("d4", day).contains("1959"));
    QVERIFY(dateFormatSample("d4", day).endsWith("(a year alone: 1959)"));
    QVERIFY(dateFormatSample("n4b", day).startsWith("1959"));
    QVERIFY(dateFormatSample("", day).isEmpty());
    QCOMPARE(songFormUdkPrompt("Genre  "), QStringLiteral("Genre:"));
    QCOMPARE(songFormUdkPrompt("   "), QStringLiteral("User Defined Key Field:"));
}

QTEST_GUILESS_MAIN(TestSetupSettings)
#include "tst_setupsettings.moc"

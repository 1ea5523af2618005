// The start-up checks of the frame apart from its windows: preferences and their defaults, the
// version, the moved-program check, the album-copy condition, the upgrade registrations and the
// default media names.

#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/TableHandle.h"
#include "common/GlobalSettings.h"
#include "setup/StartupSteps.h"
#include "setup/UpgradeRegistry.h"

#include <QtTest>

using namespace td;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void settingsDefaults();
    void settingsRead();
    void versionNumber_data();
    void versionNumber();
    void recordVersion();
    void programMoved();
    void albumCopyWanted_data();
    void albumCopyWanted();
    void defaultMedia();
    void defaultMediaLeavesExistingTable();
    void registrations();
};

void TestStartup::settingsDefaults()
{
    test::TempWorkspace ws;
    GlobalSettings s;
    s.UDKPrompt = "stale";
    ReportCriteria c;
    c.ReportStyle = "Brief";
    c.ReportWithPreview = false;
    LoadGlobalSettings(s, c, settingsIniPath());
    QCOMPARE(s.AutoAddToAlbums, QStringLiteral("1"));
    QCOMPARE(s.AddMode, QStringLiteral("1"));
    QCOMPARE(s.LabelArtistTitleOrder, QStringLiteral("1"));
    QCOMPARE(s.Delimiter, QStringLiteral("."));
    QCOMPARE(s.UDKPrompt, QStringLiteral("Custom"));
    QCOMPARE(s.NotesLabel, QStringLiteral("Notes"));
    QCOMPARE(s.DateFormat, QString());
    QCOMPARE(s.Interface, QStringLiteral("Standard"));
    QCOMPARE(s.CDTimer, 150);
    QVERIFY(!s.SU_Albums && !s.SU_Songs && !s.SU_Playlists && !s.SU_Labels);
    QVERIFY(!s.SetupWizardComplete && !s.DefaultWizardCompilation);
    QVERIFY(s.SaveLastTab);
    QCOMPARE(c.ReportStyle, QStringLiteral("Standard"));
    QCOMPARE(c.SelectedOrAll, QStringLiteral("All"));
    QVERIFY(c.ReportWithPreview);
}

void TestStartup::settingsRead()
{
    test::TempWorkspace ws;
    const QString ini = settingsIniPath();
    SaveSetting(ini, "SU_Songs", "1");
    SaveSetting(ini, "SaveLastTab", "0");
    SaveSetting(ini, "GLO:Delimiter", "]");
    SaveSetting(ini, "UDKPrompt", "Catalogue Number of the Label");   // longer than 24: cut
    SaveSetting(ini, "DateFormat", "d2");
    SaveSetting(ini, "Interface", "Explorer");
    SaveSetting(ini, "CDTimer", "300");
    SaveSetting(ini, "AutoAddToAlbums", "");
    GlobalSettings s;
    ReportCriteria c;
    LoadGlobalSettings(s, c, ini);
    QVERIFY(s.SU_Songs);
    QVERIFY(!s.SaveLastTab);
    QCOMPARE(s.Delimiter, QStringLiteral("]"));
    QCOMPARE(s.UDKPrompt, QStringLiteral("Catalogue Number of the"));
    QCOMPARE(s.UDKPrompt.size(), 23);
    QCOMPARE(s.datePicture(), QStringLiteral("@d2"));
    QVERIFY(s.explorerInterface());
    QCOMPARE(s.CDTimer, 300);
    QVERIFY(!s.autoAddToAlbums());
}

void TestStartup::versionNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("current") << "1.8c" << 1.8;
    QTest::newRow("ten five") << "10.5" << 10.5;
    QTest::newRow("plain") << "11" << 11.0;
    QTest::newRow("garbage") << "abc" << 0.0;
    QTest::newRow("blanks") << "  2.1 " << 2.1;
}

void TestStartup::versionNumber()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(startup::versionNumber(text), number);
}

void TestStartup::recordVersion()
{
    test::TempWorkspace ws;
    QCOMPARE(startup::recordVersion(settingsIniPath(), "1.8c"), QString());
    QCOMPARE(ini::readString(settingsIniPath(), "Global Settings", "Version"), QStringLiteral("1.8c"));
    QCOMPARE(startup::recordVersion(settingsIniPath(), "1.8c"), QStringLiteral("1.8c"));
}

void TestStartup::programMoved()
{
    test::TempWorkspace ws;
    QVERIFY(startup::programMoved(winIniPath(), ws.path()));       // first start
    QVERIFY(!startup::programMoved(winIniPath(), ws.path()));      // same place
    QVERIFY(startup::programMoved(winIniPath(), ws.path() + "/config"));   // moved
    QCOMPARE(ini::readString(winIniPath(), "Upgrades", "TDP"), QDir::toNativeSeparators(ws.path() + "/config"));
}

void TestStartup::albumCopyWanted_data()
{
    QTest::addColumn<int>("songs");
    QTest::addColumn<int>("albums");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<bool>("wanted");
    QTest::newRow("empty catalogue") << 0 << 0 << "" << false;
    QTest::newRow("songs, no albums") << 3 << 0 << "" << true;
    QTest::newRow("songs, no albums, this version") << 3 << 0 << "1.8c" << true;
    QTest::newRow("songs and an album") << 3 << 1 << "" << false;
    QTest::newRow("newer previous version") << 3 << 0 << "10.5" << false;
    QTest::newRow("just below") << 3 << 0 << "10.49" << true;
}

void TestStartup::albumCopyWanted()
{
    QFETCH(int, songs);
    QFETCH(int, albums);
    QFETCH(QString, previous);
    QFETCH(bool, wanted);
    test::TempWorkspace ws;
    Messages messages;
    test::installScripted(messages);
    Database db(messages);
    {
        Table<Tunedeck> t(db);
        for (int i = 0; i < songs; ++i) {
            t.clear();
            t.rec.ID = i + 1;
            t.rec.Title = QStringLiteral("Song %1").arg(i);
            QCOMPARE(t.add(), 0);
        }
        Table<Album> a(db);
        for (int i = 0; i < albums; ++i) {
            a.clear();
            a.rec.AlbumID = i + 1;
            a.rec.Album = QStringLiteral("Album %1").arg(i);
            QCOMPARE(a.add(), 0);
        }
    }
    QCOMPARE(startup::albumCopyWanted(db, previous), wanted);
}

void TestStartup::defaultMedia()
{
    test::TempWorkspace ws;
    Messages messages;
    test::installScripted(messages);
    Database db(messages);
    QVERIFY(startup::fillDefaultMedia(db));
    QVERIFY(!startup::fillDefaultMedia(db));   // once only
    Table<Media> m(db);
    QCOMPARE(m.records(), 12);
    QStringList stored;
    m.set(-1);
    while (m.next() == 0)
        stored << m.rec.Media;
    // A media name holds 20 characters: the longest default name is stored cut.
    QStringList expected;
    for (const QString& n : startup::defaultMediaNames())
        expected << n.left(20);
    QCOMPARE(stored, expected);
    QCOMPARE(stored.at(10), QStringLiteral("Cassette (Prerecorde"));
    QCOMPARE(stored.at(3), QString(QChar('7')) + QChar('"') + QStringLiteral(" Single"));
}

void TestStartup::defaultMediaLeavesExistingTable()
{
    test::TempWorkspace ws;
    Messages messages;
    test::installScripted(messages);
    Database db(messages);
    {
        Table<Media> m(db);
        m.rec.Media = "Minidisc";
        QCOMPARE(m.add(), 0);
    }
    QVERIFY(!startup::fillDefaultMedia(db));
    Table<Media> m(db);
    QCOMPARE(m.records(), 1);
}

void TestStartup::registrations()
{
    UpgradeRegistry r;
    registerUpgradeFiles(r);
    QCOMPARE(r.drivers(), QStringList{"Keyed"});
    QCOMPARE(r.ignored(), QStringLiteral("AllFiles"));
    QCOMPARE(r.ignoreFlag(), 1);
    QStringList order;
    for (const auto& f : r.files()) {
        order << f.prefix + " " + f.label + " " + QString::number(f.version);
        // The registered layout is the one the storage layer writes.
        const TableDef* t = tableByLabel(f.label);
        QVERIFY2(t, qPrintable(f.label));
        QCOMPARE(t->prefix, f.prefix);
        QCOMPARE(t->layoutVersion, f.version);
    }
    QCOMPARE(order, (QStringList{"AW AddWizard 1", "ALB Album 2", "CAT Categories 1", "FON Fonts 1", "LAB Labels 1",
                                 "MED Media 1", "MUS Tunedeck 2", "M1 OldTunedeck 1", "PLA PlaylistDetails 1",
                                 "PLD PlaylistMaster 1"}));
    QCOMPARE(r.versionOf("a_songs"), 0);   // the second song view is not registered
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"

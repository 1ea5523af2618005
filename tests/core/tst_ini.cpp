#include "core/ConfigPaths.h"
#include "core/IniFile.h"

#include "TempWorkspace.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <unistd.h>

using namespace td;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

const QByteArray kMissing = "<missing>";

} // namespace

class TestIni : public QObject {
    Q_OBJECT

private slots:
    void init() { ws_ = std::make_unique<test::TempWorkspace>(); }
    void cleanup() { ws_.reset(); }

    void readString_data();
    void readString();
    void readInt_data();
    void readInt();
    void writeString_data();
    void writeString();
    void refusedWrites_data();
    void refusedWrites();
    void removeKeyAndSection_data();
    void removeKeyAndSection();
    void listsSectionsAndKeys();
    void readAfterWrite_data();
    void readAfterWrite();
    void replacesFileAtomically();
    void keepsOldCodePageBytes();
    void oldCodePageNeverLosesCharacters_data();
    void oldCodePageNeverLosesCharacters();
    void keepsByteOrderMark();
    void iniFileManyChanges();
    void createsMissingFolder();
    void configPaths();

private:
    std::unique_ptr<test::TempWorkspace> ws_;
};

void TestIni::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray base = "; preferences\n[Settings]\nSongTab=3\nLogo = C:\\PICS\\LOGO.BMP \n"
                            "UDKPrompt=\"  Shelf  \"\nQuoteOnce=\"x\nPair='y'\nNotes=a;b;c\n"
                            "SRCF?Browse:1=240L(2)|M~Artist~@s40@\n; Hidden=1\nnot a key line\n"
                            "SongTab=9\n[ Fonts ]\nFontNamePrintMUS:SongsByArtist=Arial\n";
    QTest::newRow("plain") << base << "Settings"
                           << "SongTab"
                           << "3";
    QTest::newRow("section case ignored") << base << "SETTINGS"
                                          << "SongTab"
                                          << "3";
    QTest::newRow("key case ignored") << base << "Settings"
                                      << "songtab"
                                      << "3";
    QTest::newRow("first of two equal keys") << base << "Settings"
                                             << "SONGTAB"
                                             << "3";
    QTest::newRow("blanks trimmed, backslashes kept") << base << "Settings"
                                                      << "Logo"
                                                      << "C:\\PICS\\LOGO.BMP";
    QTest::newRow("one pair of quotes removed") << base << "Settings"
                                                << "UDKPrompt"
                                                << "  Shelf  ";
    QTest::newRow("lone quote kept") << base << "Settings"
                                     << "QuoteOnce"
                                     << "\"x";
    QTest::newRow("single quotes kept") << base << "Settings"
                                        << "Pair"
                                        << "'y'";
    QTest::newRow("semicolons in value") << base << "Settings"
                                         << "Notes"
                                         << "a;b;c";
    QTest::newRow("odd key") << base << "settings"
                             << "srcf?browse:1"
                             << "240L(2)|M~Artist~@s40@";
    QTest::newRow("commented key is no key") << base << "Settings"
                                             << "Hidden"
                                             << "<def>";
    QTest::newRow("blanks in header") << base << "fonts"
                                      << "FontNamePrintMUS:SongsByArtist"
                                      << "Arial";
    QTest::newRow("key of another section") << base << "Fonts"
                                            << "SongTab"
                                            << "<def>";
    QTest::newRow("missing section") << base << "Global Settings"
                                     << "Version"
                                     << "<def>";
    QTest::newRow("CRLF file") << QByteArray("[A]\r\nK=v \r\nL=w\r\n") << "a"
                               << "k"
                               << "v";
    QTest::newRow("CRLF last line") << QByteArray("[A]\r\nK=v\r\nL=w\r\n") << "A"
                                    << "L"
                                    << "w";
    QTest::newRow("no final line end") << QByteArray("[A]\nK=v") << "A"
                                       << "K"
                                       << "v";
    QTest::newRow("key before any section") << QByteArray("K=v\n[A]\n") << "A"
                                            << "K"
                                            << "<def>";
    QTest::newRow("empty value") << QByteArray("[A]\nK=\n") << "A"
                                 << "K"
                                 << "";
    QTest::newRow("equals in value") << QByteArray("[A]\nK=a=b\n") << "A"
                                     << "K"
                                     << "a=b";
    QTest::newRow("empty file") << QByteArray() << "A"
                                << "K"
                                << "<def>";
    QTest::newRow("missing file") << kMissing << "A"
                                  << "K"
                                  << "<def>";
    QTest::newRow("UTF-8 text") << QByteArray("[A]\nK=Bj\xC3\xB6rk\n") << "A"
                                << "K" << QString::fromUtf8("Bj\xC3\xB6rk");
}

void TestIni::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    if (content != kMissing)
        writeAll(path, content);
    QCOMPARE(ini::readString(path, section, key, QStringLiteral("<def>")), expected);
    QCOMPARE(IniFile(path).contains(section, key), expected != QLatin1String("<def>"));
    QCOMPARE(readAll(path), content); // reading never writes
}

void TestIni::readInt_data()
{
    QTest::addColumn<QString>("value"); // "<none>": no key at all
    QTest::addColumn<int>("expected");
    QTest::newRow("number") << "42" << 42;
    QTest::newRow("leading digits") << "12abc" << 12;
    QTest::newRow("negative") << "-5" << -5;
    QTest::newRow("blanks around") << "  7  " << 7;
    QTest::newRow("quoted") << "\"8\"" << 8;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("empty value takes the default") << "" << 99;
    QTest::newRow("missing key takes the default") << "<none>" << 99;
    QTest::newRow("huge saturates") << "99999999999999999999" << std::numeric_limits<int>::max();
    QTest::newRow("huge negative saturates") << "-99999999999999999999" << std::numeric_limits<int>::min();
}

void TestIni::readInt()
{
    QFETCH(QString, value);
    QFETCH(int, expected);
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    QByteArray content = "[Settings]\n";
    if (value != QLatin1String("<none>"))
        content += "CDTimer=" + value.toUtf8() + "\n";
    writeAll(path, content);
    QCOMPARE(ini::readInt(path, QStringLiteral("settings"), QStringLiteral("cdtimer"), 99), expected);
}

void TestIni::writeString_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << kMissing << "Settings"
                              << "SongTab"
                              << "2" << QByteArray("[Settings]\nSongTab=2\n");
    QTest::newRow("odd key and value exactly as given")
        << kMissing << "BrowseSongs"
        << "SRCF?Browse:1"
        << "C:\\TD\\X;Y=1" << QByteArray("[BrowseSongs]\nSRCF?Browse:1=C:\\TD\\X;Y=1\n");
    QTest::newRow("replace keeps comments and order")
        << QByteArray("; mine\n[Settings]\n; tab\nSongTab=1\nOther=x\n\n[Fonts]\nA=1\n") << "settings"
        << "SONGTAB"
        << "5" << QByteArray("; mine\n[Settings]\n; tab\nSONGTAB=5\nOther=x\n\n[Fonts]\nA=1\n");
    QTest::newRow("new key at end of section, before blank line and next comment")
        << QByteArray("[Settings]\nA=1\n\n; fonts next\n[Fonts]\nB=2\n") << "SETTINGS"
        << "New"
        << "v" << QByteArray("[Settings]\nA=1\nNew=v\n\n; fonts next\n[Fonts]\nB=2\n");
    QTest::newRow("new key in empty section") << QByteArray("[Main]\n[Other]\n") << "main"
                                              << "XPosit"
                                              << "10" << QByteArray("[Main]\nXPosit=10\n[Other]\n");
    QTest::newRow("new key in last section") << QByteArray("[A]\nx=1\n") << "a"
                                             << "y"
                                             << "2" << QByteArray("[A]\nx=1\ny=2\n");
    QTest::newRow("new section at end") << QByteArray("[A]\nx=1\n; tail\n") << "B"
                                        << "y"
                                        << "2" << QByteArray("[A]\nx=1\n; tail\n[B]\ny=2\n");
    QTest::newRow("CRLF kept") << QByteArray("[A]\r\nx=1\r\n") << "A"
                               << "y"
                               << "2" << QByteArray("[A]\r\nx=1\r\ny=2\r\n");
    QTest::newRow("no final line end kept") << QByteArray("[A]\nx=1") << "A"
                                            << "x"
                                            << "3" << QByteArray("[A]\nx=3");
    QTest::newRow("empty file") << QByteArray() << "A"
                                << "x"
                                << "1" << QByteArray("[A]\nx=1\n");
    QTest::newRow("value with blanks written as given") << QByteArray("[A]\n") << "A"
                                                        << "x"
                                                        << " v " << QByteArray("[A]\nx= v \n");
    QTest::newRow("empty value") << QByteArray("[A]\nx=1\n") << "A"
                                 << "x"
                                 << "" << QByteArray("[A]\nx=\n");
    QTest::newRow("same value leaves file alone") << QByteArray("[A]\r\nx=1") << "A"
                                                  << "x"
                                                  << "1" << QByteArray("[A]\r\nx=1");
    QTest::newRow("UTF-8 value") << QByteArray("[A]\n") << "A"
                                 << "x" << QString::fromUtf8("Bj\xC3\xB6rk")
                                 << QByteArray("[A]\nx=Bj\xC3\xB6rk\n");
}

void TestIni::writeString()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    if (before != kMissing)
        writeAll(path, before);
    QVERIFY(ini::writeString(path, section, key, value));
    QCOMPARE(readAll(path), after);
}

void TestIni::refusedWrites_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("line break in value") << "A"
                                         << "x"
                                         << "1\n[Evil]\ny=2";
    QTest::newRow("carriage return in value") << "A"
                                              << "x"
                                              << "1\r2";
    QTest::newRow("line break in key") << "A"
                                       << "x\ny"
                                       << "1";
    QTest::newRow("line break in section") << "A\nB"
                                           << "x"
                                           << "1";
    QTest::newRow("equals in key") << "A"
                                   << "x=y"
                                   << "1";
    QTest::newRow("empty key") << "A"
                               << ""
                               << "1";
    QTest::newRow("blank key") << "A"
                               << "  "
                               << "1";
    QTest::newRow("key looks like a section") << "A"
                                              << "[x"
                                              << "1";
    QTest::newRow("key looks like a comment") << "A"
                                              << ";x"
                                              << "1";
    QTest::newRow("bracket in section") << "A]B"
                                        << "x"
                                        << "1";
}

void TestIni::refusedWrites()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    const QByteArray before = "[A]\nx=0\n";
    writeAll(path, before);
    QVERIFY(!ini::writeString(path, section, key, value));
    QCOMPARE(readAll(path), before);
}

void TestIni::removeKeyAndSection_data()
{
    QTest::addColumn<bool>("section"); // remove the whole section, else one key
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("key") << false << "Y" << true << QByteArray("; c\n[A]\nx=1\n[B]\nz=3\n");
    QTest::newRow("missing key") << false << "q" << false << QByteArray("; c\n[A]\nx=1\ny=2\n[B]\nz=3\n");
    QTest::newRow("section") << true << "a" << true << QByteArray("; c\n[B]\nz=3\n");
    QTest::newRow("last section") << true << "B" << true << QByteArray("; c\n[A]\nx=1\ny=2\n");
    QTest::newRow("missing section") << true << "C" << false << QByteArray("; c\n[A]\nx=1\ny=2\n[B]\nz=3\n");
}

void TestIni::removeKeyAndSection()
{
    QFETCH(bool, section);
    QFETCH(QString, name);
    QFETCH(bool, result);
    QFETCH(QByteArray, after);
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    writeAll(path, "; c\n[A]\nx=1\ny=2\n[B]\nz=3\n");
    if (section)
        QCOMPARE(ini::removeSection(path, name), result);
    else
        QCOMPARE(ini::removeKey(path, QStringLiteral("a"), name), result);
    QCOMPARE(readAll(path), after);
}

void TestIni::listsSectionsAndKeys()
{
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    writeAll(path, "top=1\n[Settings]\nSongTab=1\n; Old=2\nSRCF?Browse=x\n\n[ Fonts ]\nA=1\n");
    QCOMPARE(ini::sections(path), QStringList({ "Settings", "Fonts" }));
    QCOMPARE(ini::keys(path, QStringLiteral("SETTINGS")), QStringList({ "SongTab", "SRCF?Browse" }));
    QCOMPARE(ini::keys(path, QStringLiteral("Nowhere")), QStringList());
    QCOMPARE(ini::sections(ws_->file(QStringLiteral("NONE.INI"))), QStringList());
}

void TestIni::readAfterWrite_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("plain") << "Yes"
                           << "Yes";
    QTest::newRow("path") << "C:\\Program Files\\TD\\logo.gif"
                          << "C:\\Program Files\\TD\\logo.gif";
    QTest::newRow("format string") << "240L(2)|M~Artist~@s40@;x"
                                   << "240L(2)|M~Artist~@s40@;x";
    QTest::newRow("blanks around are lost, as in Windows") << "  a b  "
                                                           << "a b";
    QTest::newRow("quoted keeps inner blanks") << "\"  a  \""
                                               << "  a  ";
    QTest::newRow("empty") << ""
                           << "";
}

void TestIni::readAfterWrite()
{
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    QVERIFY(ini::writeString(path, QStringLiteral("S"), QStringLiteral("K"), value));
    QVERIFY(ini::writeString(path, QStringLiteral("S"), QStringLiteral("Other"), QStringLiteral("1")));
    QCOMPARE(
        ini::readString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("<def>")), readBack);
}

void TestIni::replacesFileAtomically()
{
    // The file is replaced by a new one (written beside it, then renamed), never rewritten in place:
    // a second name for the old file keeps the old contents, so a crash mid-write cannot leave half a file.
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    const QString link = ws_->file(QStringLiteral("OLD.INI"));
    writeAll(path, "[A]\nx=1\n");
    QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    QVERIFY(ini::writeString(path, QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("2")));
    QCOMPARE(readAll(path), QByteArray("[A]\nx=2\n"));
    QCOMPARE(readAll(link), QByteArray("[A]\nx=1\n"));
    const QStringList left = QDir(ws_->path()).entryList(QDir::Files);
    QCOMPARE(left, QStringList({ "OLD.INI", "TEST.INI" })); // no temporary left behind
}

void TestIni::keepsOldCodePageBytes()
{
    // A file written by an old program in a Windows code page is not valid UTF-8: its other lines
    // must come back byte for byte.
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    writeAll(path, "[A]\r\nName=Bj\xF6rk\r\n");
    QCOMPARE(
        ini::readString(path, QStringLiteral("A"), QStringLiteral("Name")), QString::fromLatin1("Bj\xF6rk"));
    QVERIFY(ini::writeString(path, QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1")));
    QCOMPARE(readAll(path), QByteArray("[A]\r\nName=Bj\xF6rk\r\nx=1\r\n"));
}

void TestIni::oldCodePageNeverLosesCharacters_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("expected"); // every key=value of [A] after the write, reloaded
    QTest::addColumn<QByteArray>("written"); // the file's bytes after the write
    const QByteArray accents = "[A]\r\nName=Bj\xF6rk\r\nCity=Z\xFCrich\r\nPrice=5\x80\r\nWork=\x8Cuvre\r\n";
    const QStringList old
        = { u"Name=Bj\u00F6rk"_qs, u"City=Z\u00FCrich"_qs, u"Price=5\u20AC"_qs, u"Work=\u0152uvre"_qs };
    QTest::newRow("a value the code page cannot hold: the file becomes UTF-8")
        << accents << "Composer" << u"Dvo\u0159\u00E1k"_qs
        << (old + QStringList { u"Composer=Dvo\u0159\u00E1k"_qs })
        << QByteArray("[A]\r\nName=Bj\xC3\xB6rk\r\nCity=Z\xC3\xBCrich\r\nPrice=5\xE2\x82\xAC\r\nWork="
                      "\xC5\x92uvre\r\n"
                      "Composer=Dvo\xC5\x99\xC3\xA1k\r\n");
    QTest::newRow("a value the code page holds: the file stays in it")
        << accents << "City" << u"M\u00FCnchen \u20AC"_qs
        << QStringList { old[0], u"City=M\u00FCnchen \u20AC"_qs, old[2], old[3] }
        << QByteArray("[A]\r\nName=Bj\xF6rk\r\nCity=M\xFCnchen \x80\r\nPrice=5\x80\r\nWork=\x8Cuvre\r\n");
    // Once the only byte that is not UTF-8 is gone, the code-page bytes left would be read as UTF-8.
    QTest::newRow("code-page bytes that would read as UTF-8")
        << QByteArray("[A]\nOdd=\xE9\nKeep=\xC3\xA9\n") << "Odd"
        << "e" << QStringList { "Odd=e", u"Keep=\u00C3\u00A9"_qs }
        << QByteArray("[A]\nOdd=e\nKeep=\xC3\x83\xC2\xA9\n");
    QTest::newRow("undefined code-page bytes come back as they were")
        << QByteArray("[A]\nX=\x81\x8D\x8F\x90\x9D\n") << "Y"
        << "1" << QStringList { u"X=\u0081\u008D\u008F\u0090\u009D"_qs, "Y=1" }
        << QByteArray("[A]\nX=\x81\x8D\x8F\x90\x9D\nY=1\n");
}

void TestIni::oldCodePageNeverLosesCharacters()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QStringList, expected);
    QFETCH(QByteArray, written);
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    writeAll(path, file);
    QVERIFY(ini::writeString(path, QStringLiteral("A"), key, value));
    QCOMPARE(readAll(path), written);
    const IniFile reloaded(path);
    QStringList read;
    for (const QString& k : reloaded.keys(QStringLiteral("A")))
        read << k + QLatin1Char('=') + reloaded.value(QStringLiteral("A"), k);
    QCOMPARE(read, expected);
}

void TestIni::keepsByteOrderMark()
{
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    writeAll(path, "\xEF\xBB\xBF[A]\nx=1\n");
    QCOMPARE(ini::readString(path, QStringLiteral("A"), QStringLiteral("x")), QStringLiteral("1"));
    QVERIFY(ini::writeString(path, QStringLiteral("A"), QStringLiteral("y"), QStringLiteral("2")));
    QCOMPARE(readAll(path), QByteArray("\xEF\xBB\xBF[A]\nx=1\ny=2\n"));
}

void TestIni::iniFileManyChanges()
{
    const QString path = ws_->file(QStringLiteral("TEST.INI"));
    writeAll(path, "[Main]\nXPosit=1\n");
    IniFile f(path);
    QVERIFY(!f.isModified());
    QVERIFY(f.setValue(QStringLiteral("main"), QStringLiteral("YPosit"), QStringLiteral("2")));
    QVERIFY(f.setValue(QStringLiteral("BrowseSongs"), QStringLiteral("Width"), QStringLiteral("300")));
    QCOMPARE(f.value(QStringLiteral("browsesongs"), QStringLiteral("width")), QStringLiteral("300"));
    QCOMPARE(f.intValue(QStringLiteral("MAIN"), QStringLiteral("yposit"), 0), 2);
    QVERIFY(f.isModified());
    QCOMPARE(readAll(path), QByteArray("[Main]\nXPosit=1\n")); // nothing on disk before save()
    QVERIFY(f.save());
    QVERIFY(!f.isModified());
    QCOMPARE(readAll(path), QByteArray("[Main]\nXPosit=1\nYPosit=2\n[BrowseSongs]\nWidth=300\n"));
    f.setValue(QStringLiteral("Main"), QStringLiteral("XPosit"), QStringLiteral("9"));
    QVERIFY(f.load()); // dropping the unsaved change
    QCOMPARE(f.value(QStringLiteral("Main"), QStringLiteral("XPosit")), QStringLiteral("1"));
}

void TestIni::createsMissingFolder()
{
    const QString path = ws_->file(QStringLiteral("sub/dir/TEST.INI"));
    QVERIFY(ini::writeString(path, QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1")));
    QCOMPARE(readAll(path), QByteArray("[A]\nx=1\n"));
}

void TestIni::configPaths()
{
    QCOMPARE(configDir(), QDir::cleanPath(ws_->configDir()));
    QCOMPARE(settingsIniPath(), QDir::cleanPath(ws_->configDir()) + "/TDPRO97.INI");
    QCOMPARE(winIniPath(), QDir::cleanPath(ws_->configDir()) + "/WIN.INI");
    QCOMPARE(QFileInfo(positionIniPath()).absolutePath(), QDir::currentPath());
    QCOMPARE(QDir::current().canonicalPath(), QDir(ws_->path()).canonicalPath());
    QCOMPARE(QFileInfo(positionIniPath()).fileName(), QStringLiteral("POSITION.INI"));

    const QString fresh = ws_->file(QStringLiteral("elsewhere/cfg"));
    qputenv("TDP_CONFIG_DIR", fresh.toLocal8Bit());
    QCOMPARE(configDir(), fresh);
    QVERIFY(QDir(fresh).exists()); // created when missing
    QVERIFY(ini::writeString(
        settingsIniPath(), QStringLiteral("Settings"), QStringLiteral("SongTab"), QStringLiteral("4")));
    QVERIFY(QFile::exists(fresh + "/TDPRO97.INI"));
}

QTEST_GUILESS_MAIN(TestIni)
#include "tst_ini.moc"

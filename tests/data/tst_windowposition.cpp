// Remembered window positions in POSITION.INI: maximised, minimised and fixed-size windows, missing
// sections and the exact key names.

#include "TempWorkspace.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "data/WindowPosition.h"

#include <QtTest>

using namespace td;

namespace {

struct FakeWindow : PositionedWindow {
    bool maximized = false;
    bool minimized = false;
    bool fixed = false;
    QRect normal{100, 80, 400, 300};
    QStringList calls;

    bool isMaximized() const override { return maximized; }
    bool isMinimized() const override { return minimized; }
    bool isFixedSize() const override { return fixed; }
    void showNormal() override { maximized = false; calls << "showNormal"; }
    void showMaximized() override { maximized = true; calls << "showMaximized"; }
    QRect normalGeometry() const override { return normal; }
    void setGeometry(const QRect& r) override { normal = r; calls << "setGeometry"; }
    void move(const QPoint& p) override { normal.moveTo(p); calls << "move"; }
};

QString read(const QString& key)
{
    return ini::readString(positionIniPath(), QStringLiteral("UpdateSong"), key, QStringLiteral("<none>"));
}

} // namespace

class TestWindowPosition : public QObject {
    Q_OBJECT
private slots:
    void saveNormal();
    void saveMaximizedKeepsNormalGeometry();
    void minimisedWritesNothing();
    void restore_data();
    void restore();
    void roundTripMaximised();
};

void TestWindowPosition::saveNormal()
{
    test::TempWorkspace ws;
    FakeWindow w;
    SaveWindowPosition(w, QStringLiteral("UpdateSong"), positionIniPath());
    QCOMPARE(read("XPosit"), QStringLiteral("100"));
    QCOMPARE(read("YPosit"), QStringLiteral("80"));
    QCOMPARE(read("Width"), QStringLiteral("400"));
    QCOMPARE(read("Height"), QStringLiteral("300"));
    QCOMPARE(read("Maximize"), QStringLiteral("No"));
    QCOMPARE(ini::keys(positionIniPath(), "UpdateSong").size(), 5);
}

void TestWindowPosition::saveMaximizedKeepsNormalGeometry()
{
    test::TempWorkspace ws;
    FakeWindow w;
    w.maximized = true;
    SaveWindowPosition(w, QStringLiteral("UpdateSong"), positionIniPath());
    QCOMPARE(read("Maximize"), QStringLiteral("Yes"));
    QCOMPARE(read("Width"), QStringLiteral("400"));
    QVERIFY(w.calls.contains("showNormal"));
}

void TestWindowPosition::minimisedWritesNothing()
{
    test::TempWorkspace ws;
    ini::writeString(positionIniPath(), "UpdateSong", "XPosit", "7");
    FakeWindow w;
    w.minimized = true;
    w.normal = QRect(300, 300, 10, 10);
    SaveWindowPosition(w, QStringLiteral("UpdateSong"), positionIniPath());
    QCOMPARE(read("XPosit"), QStringLiteral("7"));
    QCOMPARE(read("Width"), QStringLiteral("<none>"));
}

void TestWindowPosition::restore_data()
{
    QTest::addColumn<QStringList>("ini");        // key=value lines of the section
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<bool>("maximized");

    const QRect design(100, 80, 400, 300);
    QTest::newRow("no section") << QStringList() << false << design << false;
    QTest::newRow("XPosit 0") << QStringList{"XPosit=0", "YPosit=5", "Width=10", "Height=10"} << false << design << false;
    QTest::newRow("empty XPosit") << QStringList{"XPosit=", "YPosit=5"} << false << design << false;
    QTest::newRow("all four") << QStringList{"XPosit=12", "YPosit=34", "Width=500", "Height=200", "Maximize=No"}
                              << false << QRect(12, 34, 500, 200) << false;
    QTest::newRow("zero width keeps size") << QStringList{"XPosit=12", "YPosit=34", "Width=0", "Height=200"}
                                           << false << design << false;
    QTest::newRow("zero y") << QStringList{"XPosit=12", "YPosit=0", "Width=500", "Height=200"} << false << design
                            << false;
    QTest::newRow("fixed size moves only") << QStringList{"XPosit=12", "YPosit=34", "Width=500", "Height=200"} << true
                                           << QRect(12, 34, 400, 300) << false;
    QTest::newRow("maximise") << QStringList{"XPosit=12", "YPosit=34", "Width=500", "Height=200", "Maximize=Yes"}
                              << false << QRect(12, 34, 500, 200) << true;
    QTest::newRow("key case") << QStringList{"xposit=12", "YPOSIT=34", "width=500", "height=200", "maximize=yes"}
                              << false << QRect(12, 34, 500, 200) << true;
}

void TestWindowPosition::restore()
{
    QFETCH(QStringList, ini);
    QFETCH(bool, fixed);
    QFETCH(QRect, expected);
    QFETCH(bool, maximized);
    test::TempWorkspace ws;
    for (const QString& line : ini) {
        const int eq = line.indexOf('=');
        ini::writeString(positionIniPath(), "UpdateSong", line.left(eq), line.mid(eq + 1));
    }
    FakeWindow w;
    w.fixed = fixed;
    RestoreWindowPosition(w, QStringLiteral("UpdateSong"), positionIniPath());
    QCOMPARE(w.normal, expected);
    QCOMPARE(w.maximized, maximized);
}

void TestWindowPosition::roundTripMaximised()
{
    // A window closed maximised reopens maximised over its last normal position.
    test::TempWorkspace ws;
    FakeWindow a;
    a.normal = QRect(40, 50, 640, 480);
    a.maximized = true;
    SaveWindowPosition(a, QStringLiteral("UpdateSong"), positionIniPath());
    FakeWindow b;
    RestoreWindowPosition(b, QStringLiteral("UpdateSong"), positionIniPath());
    QCOMPARE(b.normal, QRect(40, 50, 640, 480));
    QVERIFY(b.maximized);
}

QTEST_GUILESS_MAIN(TestWindowPosition)
#include "tst_windowposition.moc"

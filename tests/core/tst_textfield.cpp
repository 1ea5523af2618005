#include "core/TextField.h"

#include <QTest>

using namespace td;

class TestTextField : public QObject {
    Q_OBJECT
private slots:
    void storeText_data();
    void storeText();
    void padText_data();
    void padText();
    void sameText_data();
    void sameText();
    void keyText_data();
    void keyText();
};

void TestTextField::storeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("stored");
    QTest::newRow("fits") << "abc" << 10 << "abc";
    QTest::newRow("trailing blanks dropped") << "abc   " << 10 << "abc";
    QTest::newRow("leading blanks kept") << "  abc" << 10 << "  abc";
    QTest::newRow("cut to width") << "abcdef" << 3 << "abc";
    QTest::newRow("cut then clipped") << "ab   cd" << 4 << "ab";
    QTest::newRow("all blanks") << "    " << 4 << "";
    QTest::newRow("width zero") << "abc" << 0 << "";
    QTest::newRow("negative width") << "abc" << -5 << "";
    QTest::newRow("surrogate pair not split")
        << QString::fromUtf8("a\xF0\x9F\x8E\xB5" "b") << 2 << "a";
    QTest::newRow("surrogate pair kept whole")
        << QString::fromUtf8("a\xF0\x9F\x8E\xB5" "b") << 3 << QString::fromUtf8("a\xF0\x9F\x8E\xB5");
}

void TestTextField::storeText()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, stored);
    QCOMPARE(td::storeText(text, width), stored);
    QCOMPARE(td::clip(td::storeText(text, width)), stored);
}

void TestTextField::padText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("padded");
    QTest::newRow("padded") << "ab" << 4 << "ab  ";
    QTest::newRow("cut") << "abcdef" << 3 << "abc";
    QTest::newRow("exact") << "abc" << 3 << "abc";
    QTest::newRow("empty") << "" << 2 << "  ";
    QTest::newRow("no width") << "abc" << 0 << "";
}

void TestTextField::padText()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, padded);
    QCOMPARE(td::padText(text, width), padded);
}

void TestTextField::sameText_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("equal") << "abc" << "abc" << true;
    QTest::newRow("trailing blanks ignored") << "abc" << "abc   " << true;
    QTest::newRow("both padded") << "abc  " << "abc " << true;
    QTest::newRow("blank and empty") << "   " << "" << true;
    QTest::newRow("leading blank counts") << " abc" << "abc" << false;
    QTest::newRow("case counts") << "abc" << "ABC" << false;
    QTest::newRow("prefix") << "ab" << "abc" << false;
}

void TestTextField::sameText()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(td::sameText(a, b), same);
    QCOMPARE(td::sameText(b, a), same);
}

void TestTextField::keyText_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");
    QTest::newRow("case ignored") << "cd" << "CD  " << 0;
    QTest::newRow("accented case ignored") << QString::fromUtf8("\xC3\xA9t\xC3\xA9") << QString::fromUtf8("\xC3\x89T\xC3\x89") << 0;
    QTest::newRow("a before B") << "a" << "B" << -1;
    QTest::newRow("shorter first") << "Bea" << "beat" << -1;
    QTest::newRow("blank padding does not sort") << "Bea   " << "beat" << -1;
    // The order of the files' keys: by code point, so a character beyond the BMP comes after
    // every one inside it (UTF-16 units would put it before U+E000..U+FFFF).
    QTest::newRow("by code point") << QString::fromUtf8("\xEF\xBC\xA1") << QString::fromUtf8("\xF0\x9F\x98\x80") << -1;
}

void TestTextField::keyText()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);
    const int c = td::compareKeyText(a, b);
    QCOMPARE(c < 0 ? -1 : c > 0 ? 1 : 0, order);
    const int r = td::compareKeyText(b, a);
    QCOMPARE(r < 0 ? -1 : r > 0 ? 1 : 0, -order);
    QCOMPARE(td::sameKeyText(a, b), order == 0);
}

QTEST_APPLESS_MAIN(TestTextField)
#include "tst_textfield.moc"

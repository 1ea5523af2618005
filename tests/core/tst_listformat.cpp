#include "core/ListFormat.h"

#include <QRandomGenerator>
#include <QTest>

using namespace td;

class TestListFormat : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void columns();
    void malformed_data();
    void malformed();
    void editAndWrite();
    void exactRoundTrip_data();
    void exactRoundTrip();
    void dateFormat_data();
    void dateFormat();
    void datePicture_data();
    void datePicture();
};

namespace {

const char* const kAlbums =
    "80L(2)|M~Artist~@s40@80L(2)|M~Album~@s40@49L(2)|M~Media~@s20@43L(2)|M~File Number~@s20@"
    "49R(2)|M~Released~C(1)@d2@128R(2)|M~XCCD~C(1)@s32@";

} // namespace

void TestListFormat::roundTrip_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("count");
    QTest::newRow("album list") << kAlbums << 6;
    QTest::newRow("album picker") << "80L(2)|M~Album~@s30@80L(2)|M~Artist~@s30@43L(2)|M~File Number~@s10@"
                                     "80L(2)|M~Media~@s20@80R(2)|M~Release Date~C(0)@d2@" << 5;
    QTest::newRow("file number picker")
        << "75L(2)|M~Artist~@s30@75L(2)|M~Title~@s30@76L(2)|M~Album~@s30@74L(2)|M~Media~@s20@"
           "48L(2)|M~File Number~@s10@45R(2)|M~Release Date~C(0)@d2@120L(2)|M~Category~L(0)@s30@" << 7;
    QTest::newRow("wizard tracks") << "25R(1)|~Track~@n3@?166L(1)|~Title~@s40@20L(1)|~Time~@s5@" << 3;
    QTest::newRow("compilation tracks")
        << "25R(1)|~Track~@n3@?101L(1)|~Artist~@s40@111L(1)|~Title~@s40@20L(1)|~Time~@s5@" << 4;
    QTest::newRow("import targets")
        << "65L(1)M~Target Field~S(75)@s50@8C~=~@s1@65L(1)~Import Field~S(75)@s50@" << 3;
    QTest::newRow("reformat shown columns") << "120L(1)I#2#@s30@" << 1;
    QTest::newRow("reformat hidden columns") << "120L(1)#2#@s30@" << 1;
    QTest::newRow("one column") << "80L~Media~@s20@" << 1;
    QTest::newRow("explorer albums")
        << "80L(2)|M~Album~@s40@80L(2)|M~Artist~@s40@49L(2)|M~Media~@s20@43L(2)|M~File Number~@s20@"
           "45L(2)|M~Release Date~@d2@128R(2)|M~XCCD~C(1)@s32@" << 6;
    QTest::newRow("pattern picture") << "40R~Page~@pPage <<<#p@" << 1;
    QTest::newRow("empty header") << "30L~~@s5@" << 1;
    QTest::newRow("unknown flags kept") << "30L(3)_F*Y/Z(2)~Odd~R(4)E(1)@n_4b@" << 1;
    QTest::newRow("empty format") << "" << 0;
}

void TestListFormat::roundTrip()
{
    QFETCH(QString, format);
    QFETCH(int, count);
    QString error = QStringLiteral("not cleared");
    const std::optional<ListFormat> f = ListFormat::parse(format, &error);
    QVERIFY2(f.has_value(), qPrintable(error));
    QVERIFY(error.isEmpty());
    QCOMPARE(f->columns.size(), count);
    QCOMPARE(f->toString(), format);
}

void TestListFormat::columns()
{
    const std::optional<ListFormat> albums = ListFormat::parse(kAlbums);
    QVERIFY(albums);
    const ListColumn& artist = albums->columns.at(0);
    QCOMPARE(artist.width, 80);
    QCOMPARE(artist.justification, QChar('L'));
    QCOMPARE(artist.indent, 2);
    QCOMPARE(artist.flags, QString("|M"));
    QVERIFY(artist.hasHeader);
    QCOMPARE(artist.header, QString("Artist"));
    QVERIFY(artist.headerJustification.isNull());
    QCOMPARE(artist.picture, QString("@s40"));
    QCOMPARE(artist.fieldNumber, -1);

    const ListColumn& released = albums->columns.at(4);
    QCOMPARE(released.width, 49);
    QCOMPARE(released.justification, QChar('R'));
    QCOMPARE(released.header, QString("Released"));
    QCOMPARE(released.headerJustification, QChar('C'));
    QCOMPARE(released.headerIndent, 1);
    QCOMPARE(released.picture, QString("@d2"));

    const std::optional<ListFormat> tracks =
        ListFormat::parse("25R(1)|~Track~@n3@?166L(1)|~Title~@s40@20L(1)|~Time~@s5@");
    QVERIFY(tracks);
    QCOMPARE(tracks->columns.at(0).trailing, QString("?"));
    QCOMPARE(tracks->columns.at(0).picture, QString("@n3"));
    QCOMPARE(tracks->columns.at(1).width, 166);
    QCOMPARE(tracks->columns.at(1).flags, QString("|"));

    const std::optional<ListFormat> import =
        ListFormat::parse("65L(1)M~Target Field~S(75)@s50@8C~=~@s1@");
    QVERIFY(import);
    QCOMPARE(import->columns.at(0).headerFlags, QString("S(75)"));
    QCOMPARE(import->columns.at(0).flags, QString("M"));
    QCOMPARE(import->columns.at(1).justification, QChar('C'));
    QCOMPARE(import->columns.at(1).indent, -1);
    QCOMPARE(import->columns.at(1).header, QString("="));

    const std::optional<ListFormat> shown = ListFormat::parse("120L(1)I#2#@s30@");
    QVERIFY(shown);
    QVERIFY(!shown->columns.at(0).hasHeader);
    QCOMPARE(shown->columns.at(0).flags, QString("I"));
    QCOMPARE(shown->columns.at(0).fieldNumber, 2);
}

void TestListFormat::malformed_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("width only") << "80";
    QTest::newRow("no width") << "L~a~@s1@";
    QTest::newRow("bad justification") << "80X~a~@s1@";
    QTest::newRow("header not closed") << "80L~abc";
    QTest::newRow("picture not closed") << "80L~a~@s1";
    QTest::newRow("no picture") << "80L~a~";
    QTest::newRow("empty picture") << "80L~a~@@";
    QTest::newRow("indent not closed") << "80L(2~a~@s1@";
    QTest::newRow("indent not a number") << "80L(x)~a~@s1@";
    QTest::newRow("field number") << "80L#x#@s1@";
    QTest::newRow("flag parenthesis") << "80LS(75~a~@s1@";
    QTest::newRow("second column broken") << "80L~a~@s1@xx";
    QTest::newRow("second header without width") << "80L~a~@s1@~b~@s1@";
    QTest::newRow("absurd width") << "99999999999L~a~@s1@";
}

void TestListFormat::malformed()
{
    QFETCH(QString, format);
    QString error;
    QVERIFY(!ListFormat::parse(format, &error).has_value());
    QVERIFY(error.contains(QLatin1String("position")));
}

void TestListFormat::editAndWrite()
{
    std::optional<ListFormat> f = ListFormat::parse(kAlbums);
    QVERIFY(f);
    // What the reformat window changes: width, header, offsets, justification and lines.
    ListColumn& album = f->columns[1];
    album.width = 120;
    album.header = QStringLiteral("Album Title");
    album.indent = 4;
    album.justification = QLatin1Char('C');
    album.flags = QStringLiteral("MF");
    album.headerJustification = QLatin1Char('R');
    album.headerIndent = 0;
    f->columns.move(5, 0);
    f->columns.removeAt(4);
    QCOMPARE(f->toString(),
             QString("128R(2)|M~XCCD~C(1)@s32@80L(2)|M~Artist~@s40@120C(4)MF~Album Title~R(0)@s40@"
                     "49L(2)|M~Media~@s20@49R(2)|M~Released~C(1)@d2@"));
    // And it reads back to the same columns.
    QCOMPARE(ListFormat::parse(f->toString()), f);
    // A column left without its header keeps the rest.
    f->columns[0].hasHeader = false;
    QVERIFY(f->toString().startsWith(QLatin1String("128R(2)|M@s32@80L")));
}

// Every text parse accepts writes back unchanged: generated formats with leading zeros, optional
// parts and odd flags, and single-character changes of them (most are refused, the rest must
// still write back exactly).
void TestListFormat::exactRoundTrip_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("wellFormed");
    QTest::newRow("leading zero width") << "06L@s30@" << true;
    QTest::newRow("zero width") << "0L@s30@" << true;
    QTest::newRow("zeros everywhere") << "007R(00)|M~A~C(01)#02#@d2@" << true;
    QTest::newRow("flag arguments with zeros") << "30L(3)S(075)Z(M)~x~E(0)@n3@?" << true;
    QRandomGenerator rnd(20261207);
    auto pick = [&](const QStringList& from) { return from.at(int(rnd.bounded(from.size()))); };
    auto number
        = [&] { return QString(int(rnd.bounded(3)), QLatin1Char('0')) + QString::number(rnd.bounded(200)); };
    const QStringList justifications = { "L", "R", "C", "D" };
    const QStringList flags = { "", "|", "M", "|M", "_F", "S(75)", "I", "Z(M)", "*Y/" };
    const QStringList pictures = { "@s40@", "@d2@", "@n_4b@", "@pPage <<<#p@", "@t4b@" };
    const QStringList trailing = { "", "?", "!" };
    const QString alphabet = QStringLiteral("0123456789LRCD()|M~#@?sdx ");
    for (int i = 0; i < 300; ++i) {
        QString f;
        const int columns = 1 + int(rnd.bounded(3));
        for (int c = 0; c < columns; ++c) {
            f += number() + pick(justifications);
            if (rnd.bounded(2))
                f += "(" + number() + ")";
            f += pick(flags);
            if (rnd.bounded(2)) {
                f += "~" + pick({ "", "Artist", "File Number" }) + "~";
                if (rnd.bounded(2))
                    f += pick(justifications) + (rnd.bounded(2) ? "(" + number() + ")" : QString());
                f += pick({ "", "S(75)", "E(01)" });
            }
            if (rnd.bounded(3) == 0)
                f += "#" + number() + "#";
            f += pick(pictures) + pick(trailing);
        }
        QTest::addRow("generated %d", i) << f << true;
        QString changed = f;
        changed[rnd.bounded(changed.size())] = alphabet.at(rnd.bounded(alphabet.size()));
        QTest::addRow("changed %d", i) << changed << false;
    }
}

void TestListFormat::exactRoundTrip()
{
    QFETCH(QString, format);
    QFETCH(bool, wellFormed);
    const std::optional<ListFormat> parsed = ListFormat::parse(format);
    QVERIFY(parsed || !wellFormed);
    if (!parsed)
        return; // refused: nothing to write back
    QCOMPARE(parsed->toString(), format);
    QCOMPARE(ListFormat::parse(parsed->toString()), parsed);
}

void TestListFormat::dateFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("result");
    QTest::newRow("short date") << kAlbums << "d17"
        << QString(kAlbums).replace(QLatin1String("@d2@"), QLatin1String("@d17@"));
    QTest::newRow("year only") << kAlbums << "n4b"
        << QString(kAlbums).replace(QLatin1String("@d2@"), QLatin1String("@n4b@"));
    QTest::newRow("empty setting leaves it alone") << kAlbums << "" << kAlbums;
    QTest::newRow("blank setting leaves it alone") << kAlbums << "   " << kAlbums;
    QTest::newRow("damaged setting leaves it alone") << kAlbums << "zz" << kAlbums;
    QTest::newRow("text picture setting leaves it alone") << kAlbums << "s20" << kAlbums;
    QTest::newRow("setting with its at sign") << "45L~Released~@d2@" << "@d6" << "45L~Released~@d6@";
    QTest::newRow("every date column, any case")
        << "45L~A~@d2@30L~B~@s5@45L~C~@D17b@45L~D~@d17-@" << "d8"
        << "45L~A~@d8@30L~B~@s5@45L~C~@d8@45L~D~@d8@";
    QTest::newRow("header with an at sign stays") << "80L~mail @dom~@s20@40L~When~@d2@" << "d17"
        << "80L~mail @dom~@s20@40L~When~@d17@";
    QTest::newRow("unreadable format scanned as text") << "xx@d2@yy@s4@zz@D17b@" << "d6"
        << "xx@d6@yy@s4@zz@d6@";
    QTest::newRow("unreadable format, unclosed") << "xx@d2" << "d6" << "xx@d2";
}

void TestListFormat::dateFormat()
{
    QFETCH(QString, format);
    QFETCH(QString, setting);
    QFETCH(QString, result);
    QCOMPARE(applyDateFormat(format, setting), result);
}

void TestListFormat::datePicture_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("result");
    QTest::newRow("date") << "@d2" << "d17" << "@d17";
    QTest::newRow("date with b") << "@d17b" << "d3" << "@d3";
    QTest::newRow("not a date") << "@s40" << "d17" << "@s40";
    QTest::newRow("time is not a date") << "@t4" << "d17" << "@t4";
    QTest::newRow("empty setting") << "@d2" << "" << "@d2";
    QTest::newRow("year only") << "@d2" << "n4b" << "@n4b";
}

void TestListFormat::datePicture()
{
    QFETCH(QString, picture);
    QFETCH(QString, setting);
    QFETCH(QString, result);
    QCOMPARE(applyDatePicture(picture, setting), result);
    QCOMPARE(isDatePicture(picture), picture.startsWith(QLatin1String("@d")));
}

QTEST_APPLESS_MAIN(TestListFormat)
#include "tst_listformat.moc"

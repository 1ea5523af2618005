// Key order (case folded, trailing blanks ignored, non-ASCII included), unique keys whatever the
// letter case, and optional keys that leave out records with a blank or zero leading field.

#include "DataTestUtil.h"
#include "TestDb.h"
#include "ScriptedMessages.h"
#include "TempWorkspace.h"

#include <QtTest>

using namespace td;
using namespace td::test;

namespace {
int sign(int v)
{
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}
} // namespace

class TstKeyOrder : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        env_ = std::make_unique<TestDb>();
        ws_ = &env_->ws;
        messages_ = &env_->messages;
        db_ = &env_->db;
    }
    void cleanup()
    {
        env_.reset();
    }

    void collation_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("case") << "abba" << "ABBA" << 0;
        QTest::newRow("trailing blanks") << "Abba   " << "abba" << 0;
        QTest::newRow("leading blank counts") << " abba" << "abba" << -1;
        QTest::newRow("prefix first") << "abb" << "abba" << -1;
        QTest::newRow("order") << "Beatles" << "abba" << 1;
        QTest::newRow("accented capital") << QString::fromUtf8("ÉTÉ") << QString::fromUtf8("été") << 0;
        QTest::newRow("accent after plain") << QString::fromUtf8("é") << "f" << 1;
        QTest::newRow("sharp s capital") << QString::fromUtf8("STRAẞE") << QString::fromUtf8("straße") << 0;
        QTest::newRow("sharp s is not ss") << QString::fromUtf8("straße") << "strasse" << 1;
        QTest::newRow("greek") << QString::fromUtf8("ΣΟΦΙΑ") << QString::fromUtf8("σοφια") << 0;
        QTest::newRow("cyrillic") << QString::fromUtf8("Ёлка") << QString::fromUtf8("ёЛКА") << 0;
        QTest::newRow("beyond the BMP") << QString::fromUtf8("𐐀") << QString::fromUtf8("𐐨") << 0;
        QTest::newRow("empty and blanks") << "" << "    " << 0;
        QTest::newRow("ascii against non-ascii") << "z" << QString::fromUtf8("Ä") << -1;
        QTest::newRow("fullwidth before beyond the BMP") << QString::fromUtf8("Ａ") << QString::fromUtf8("😀") << -1;
    }
    void collation()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        const QByteArray ua = a.toUtf8();
        const QByteArray ub = b.toUtf8();
        QCOMPARE(sign(compareKeyText(a, b)), expected);
        QCOMPARE(sign(compareKeyText(b, a)), -expected);
        // The SQLite collation and the C++ comparison agree.
        QCOMPARE(sign(compareKeyUtf8(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()))), expected);
    }

    void malformedUtf8IsOrderedNotCrashed()
    {
        const char bad[] = "\xC3";   // a lead byte with nothing after it
        const char good[] = "A";
        QVERIFY(compareKeyUtf8(bad, 1, good, 1) != 0);
        QCOMPARE(compareKeyUtf8(bad, 1, bad, 1), 0);
    }

    void keysInStoredOrder()
    {
        const QStringList artists = {QString::fromUtf8("éclair"), QStringLiteral("Eagles"), QStringLiteral("abba"),
                                     QStringLiteral("ABBA "), QString::fromUtf8("Édith"), QStringLiteral("zz top"),
                                     QString::fromUtf8("Ärzte")};
        for (const QString& a : artists)
            QVERIFY(addRecord(*db_, makeSong(a, QStringLiteral("t"))) > 0);
        TableHandle songs(*db_, TableId::Tunedeck);
        const QStringList order = walk(songs, QStringLiteral("SongsByArtist"), QStringLiteral("Artist"));
        QCOMPARE(order, QStringList({"abba", "ABBA", "Eagles", "zz top", QString::fromUtf8("Ärzte"),
                                     QString::fromUtf8("éclair"), QString::fromUtf8("Édith")}));
        for (int i = 1; i < order.size(); ++i)
            QVERIFY(compareKeyText(order.at(i - 1), order.at(i)) <= 0);
    }

    void uniqueKeysIgnoreCase_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("key");
        QTest::newRow("same") << "Rock" << "Rock" << int(DuplicateKey) << "CAT:KeyCategory";
        QTest::newRow("case") << "Rock" << "ROCK" << int(DuplicateKey) << "CAT:KeyCategory";
        QTest::newRow("blanks") << "Rock" << "rock  " << int(DuplicateKey) << "CAT:KeyCategory";
        QTest::newRow("accented case") << QString::fromUtf8("Électro") << QString::fromUtf8("éLECTRO")
                                       << int(DuplicateKey) << "CAT:KeyCategory";
        QTest::newRow("different") << "Rock" << "Rock 'n' Roll" << 0 << "";
        QTest::newRow("blank names may repeat") << "" << "  " << 0 << "";
    }
    void uniqueKeysIgnoreCase()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        Table<Categories> cats(*db_);
        cats.rec.CategoryID = 1;
        cats.rec.Category = first;
        QCOMPARE(cats.add(), 0);
        cats.rec.CategoryID = 2;
        cats.rec.Category = second;
        QTEST(cats.add(), "expected");
        QTEST(cats.lastError().key, "key");
    }

    void albumPairsAndIdentifiers()
    {
        Table<Album> albums(*db_);
        auto add = [&](qint32 id, const char* artist, const char* album, const char* cd) {
            albums.clear();
            albums.rec.AlbumID = id;
            albums.rec.Artist = QString::fromUtf8(artist);
            albums.rec.Album = QString::fromUtf8(album);
            albums.rec.CDIdentifier = QString::fromUtf8(cd);
            return albums.add();
        };
        QCOMPARE(add(1, "Abba", "Arrival", ""), 0);
        QCOMPARE(add(2, "ABBA", "arrival", ""), int(DuplicateKey));
        QCOMPARE(albums.lastError().key, QStringLiteral("ALB:KeyAlbum"));
        QCOMPARE(add(3, "Abba", "Voulez-Vous", ""), 0);      // same artist, other title
        QCOMPARE(add(4, "Blondie", "Arrival", ""), 0);       // same title, other artist
        QCOMPARE(add(5, "Cher", "Believe", "0A0B0C"), 0);
        QCOMPARE(add(6, "Doors", "L.A. Woman", "0a0b0c"), int(DuplicateKey));
        QCOMPARE(albums.lastError().key, QStringLiteral("ALB:KeyCDIdentifier"));
        QCOMPARE(albums.records(), qint64(4));               // three without an identifier
        // Two songs may share artist and title.
        QVERIFY(addRecord(*db_, makeSong(QStringLiteral("Abba"), QStringLiteral("SOS"), 1)) > 0);
        QVERIFY(addRecord(*db_, makeSong(QStringLiteral("ABBA"), QStringLiteral("sos"), 2)) > 0);
    }

    void optionalKeysLeaveOutEmptyValues_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("category") << "SongsByCategory" << "CategoryID" << QVariant(5);
        QTest::newRow("chart") << "SongsByChartNumber" << "ChartNumber" << QVariant(1);
        QTest::newRow("user key") << "SongsByUserDefinedKey" << "UserDefinedKeyField" << QVariant(QStringLiteral("x"));
        QTest::newRow("album") << "KeyAlbumID" << "AlbumID" << QVariant(3);
        QTest::newRow("tempo") << "KeyBeatsPerMinute" << "BeatsPerMinute" << QVariant(120);
        QTest::newRow("file number") << "KeyFileNumber" << "FileNumber" << QVariant(QStringLiteral("F1"));
        QTest::newRow("id") << "KeyID" << "ID" << QVariant(9);
    }
    void optionalKeysLeaveOutEmptyValues()
    {
        QFETCH(QString, key);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        // Every other field is filled, so only the leading field decides.
        Tunedeck full = makeSong(QStringLiteral("Artist"), QStringLiteral("Title"), 1, 1);
        full.CategoryID = 1;
        full.ChartNumber = 1;
        full.UserDefinedKeyField = QStringLiteral("u");
        full.BeatsPerMinute = 1;
        full.FileNumber = QStringLiteral("F");
        full.Album = QStringLiteral("Album");
        TableHandle songs(*db_, TableId::Tunedeck);
        songs.setRow(toRow(full));
        songs.setValue(field, field == QLatin1String("UserDefinedKeyField") || field == QLatin1String("FileNumber")
                                  ? QVariant(QStringLiteral("   "))
                                  : QVariant(0));
        QCOMPARE(songs.add(), 0);
        QCOMPARE(walk(songs, key, QStringLiteral("Title")), QStringList());
        QCOMPARE(walk(songs, QStringLiteral("SongsByArtist"), QStringLiteral("Title")), QStringList({"Title"}));
        songs.setValue(QStringLiteral("Title"), QStringLiteral("Second"));
        songs.setValue(field, value);
        songs.setValue(QStringLiteral("ID"), 2);
        QCOMPARE(songs.add(), 0);
        QCOMPARE(walk(songs, key, QStringLiteral("Title")), QStringList({"Second"}));
        // get() through the key does not find the left-out record either.
        songs.setValue(field, field == QLatin1String("UserDefinedKeyField") || field == QLatin1String("FileNumber")
                                  ? QVariant(QString())
                                  : QVariant(0));
        QCOMPARE(songs.get(songs.key(key)), int(RecordNotAvailable));
    }

    void manySongsWithoutId()
    {
        for (int i = 0; i < 3; ++i)
            QVERIFY(addRecord(*db_, makeSong(QStringLiteral("A"), QStringLiteral("B"), 0)) > 0);
        QVERIFY(addRecord(*db_, makeSong(QStringLiteral("A"), QStringLiteral("B"), 5)) > 0);
        QCOMPARE(addRecord(*db_, makeSong(QStringLiteral("C"), QStringLiteral("D"), 5)), qint64(0));
        QCOMPARE(db_->lastError().key, QStringLiteral("MUS:KeyID"));
        TableHandle songs(*db_, TableId::Tunedeck);
        QCOMPARE(songs.records(), qint64(4));
    }

    void keysUseTheirIndex()
    {
        // Reads along a key must use its index and not sort, or a million songs would crawl.
        TableHandle songs(*db_, TableId::Tunedeck);
        RawFile raw(ws_->file(QStringLiteral("tdpdata.db")));
        sqlite3_stmt* s = nullptr;
        const QByteArray sql = "EXPLAIN QUERY PLAN SELECT rowid FROM Tunedeck WHERE \"ChartNumber\" <> 0 AND "
                               "(\"ChartNumber\",\"Artist\",\"Title\",rowid) > (?,?,?,?) ORDER BY "
                               "\"ChartNumber\",\"Artist\",\"Title\",rowid LIMIT 64";
        QCOMPARE(sqlite3_prepare_v2(raw.db, sql.constData(), -1, &s, nullptr), SQLITE_OK);
        QString plan;
        while (sqlite3_step(s) == SQLITE_ROW)
            plan += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 3))) + QLatin1Char('\n');
        sqlite3_finalize(s);
        QVERIFY2(plan.contains(QLatin1String("Tunedeck_SongsByChartNumber")), qPrintable(plan));
        QVERIFY2(!plan.contains(QLatin1String("TEMP B-TREE")), qPrintable(plan));
    }

private:
    std::unique_ptr<TestDb> env_;
    TempWorkspace* ws_ = nullptr;
    Messages* messages_ = nullptr;
    Database* db_ = nullptr;
};

QTEST_GUILESS_MAIN(TstKeyOrder)
#include "tst_keyorder.moc"

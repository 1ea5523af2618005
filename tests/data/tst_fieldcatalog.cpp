// The field catalogue against the table layouts: widths, keys, memos, versions, look-ups, and the
// typed records' conversion to rows.

#include "data/FieldCatalog.h"
#include "data/Records.h"
#include "data/Relations.h"

#include <QtTest>

using namespace td;

class TstFieldCatalog : public QObject {
    Q_OBJECT

private slots:
    void layouts_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("keys");
        QTest::addColumn<int>("memos");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("version");
        auto row = [](TableId t, const char* l, const char* p, const char* f, int k, int m, int w, int v) {
            QTest::newRow(l) << int(t) << QString::fromLatin1(l) << QString::fromLatin1(p)
                             << QString::fromLatin1(f) << k << m << w << v;
        };
        row(TableId::Tunedeck, "Tunedeck", "MUS", "tdpdata", 11, 3, 571, 2);
        row(TableId::Categories, "Categories", "CAT", "TDPCAT", 2, 0, 36, 1);
        row(TableId::Album, "Album", "ALB", "tdpalbum", 7, 3, 520, 2);
        row(TableId::Media, "Media", "MED", "tdpmedia", 1, 0, 20, 1);
        row(TableId::PlaylistMaster, "PlaylistMaster", "PLD", "tdpplist", 2, 1, 38, 1);
        row(TableId::PlaylistDetails, "PlaylistDetails", "PLA", "tdppldet", 2, 0, 56, 1);
        row(TableId::Labels, "Labels", "LAB", "tdplabel", 3, 6, 602, 1);
        row(TableId::Fonts, "Fonts", "FON", "tdpfont", 2, 0, 134, 1);
        row(TableId::AddWizard, "AddWizard", "AW", "TDPAdWiz", 1, 0, 73, 1);
        row(TableId::OldTunedeck, "OldTunedeck", "M1", "tdpro", 4, 1, 124, 1);
        row(TableId::A_Songs, "A_Songs", "A_S", "tdpdata", 11, 3, 571, 2);
    }
    void layouts()
    {
        QFETCH(int, table);
        const TableDef& t = tableDef(TableId(table));
        QTEST(t.label, "label");
        QTEST(t.prefix, "prefix");
        QTEST(t.file, "file");
        QTEST(int(t.keys.size()), "keys");
        QTEST(t.memoCount(), "memos");
        QTEST(t.recordWidth(), "width");
        QTEST(t.layoutVersion, "version");
        QCOMPARE(int(t.id), table);
        for (const auto& f : t.fields)
            QCOMPARE(f.label, t.prefix + QLatin1Char(':') + f.name);
        for (const auto& k : t.keys) {
            QCOMPARE(k.label, t.prefix + QLatin1Char(':') + k.name);
            QVERIFY(!k.fields.isEmpty());
        }
        // The typed record converts to a row of exactly the catalogue's fields.
        QCOMPARE(int(blankRow(t.id).size()), t.fieldCount());
    }

    void keyAttributes_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<bool>("unique");
        QTest::addColumn<bool>("optional");
        QTest::addColumn<bool>("primary");
        QTest::newRow("songs by album") << "MUS:SongsByAlbum"
                                        << "Album,Artist,Side,TrackNumber,Title" << false << false << false;
        QTest::newRow("chart") << "MUS:SongsByChartNumber"
                               << "ChartNumber,Artist,Title" << false << true << false;
        QTest::newRow("song id") << "MUS:KeyID"
                                 << "ID" << true << true << true;
        QTest::newRow("a_s file number") << "A_S:KeyFileNumber"
                                         << "FileNumber" << false << true << false;
        QTest::newRow("category name") << "CAT:KeyCategory"
                                       << "Category" << true << true << false;
        QTest::newRow("album artist") << "ALB:KeyArtist"
                                      << "Artist,Album" << true << true << false;
        QTest::newRow("cd identifier") << "ALB:KeyCDIdentifier"
                                       << "CDIdentifier" << true << true << false;
        QTest::newRow("album category") << "ALB:KeyCategoryArtist"
                                        << "CategoryID,Artist,Album" << false << true << false;
        QTest::newRow("playlist line song") << "PLA:KeyID"
                                            << "ID" << false << false << false;
        QTest::newRow("playlist line") << "PLA:KeyPlaylistID"
                                       << "PlaylistID,PlaylistSeq" << true << true << true;
        QTest::newRow("font") << "FON:KeyTypeFace"
                              << "TypeFace,Size,Colour,Style" << true << true << false;
        QTest::newRow("wizard") << "AW:KeyInstance"
                                << "Instance,Side,Track" << true << true << true;
        QTest::newRow("label type") << "LAB:KeyLabelType"
                                    << "LabelType,LabelDescription" << false << true << false;
        QTest::newRow("legacy") << "M1:SongsByMedia"
                                << "Media,FileNumber,Title" << false << false << false;
    }
    void keyAttributes()
    {
        QFETCH(QString, key);
        const TableDef* t = tableByPrefix(key.section(QLatin1Char(':'), 0, 0));
        QVERIFY(t);
        const int k = t->keyIndex(key.toLower());
        QVERIFY(k >= 0);
        QStringList names;
        for (int f : t->keys.at(k).fields)
            names << t->fields.at(f).name;
        QTEST(names.join(QLatin1Char(',')), "fields");
        QTEST(t->keys.at(k).unique, "unique");
        QTEST(t->keys.at(k).optional, "optional");
        QTEST(t->keys.at(k).primary, "primary");
    }

    void fieldTypes_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("picture");
        QTest::newRow("artist") << "MUS:Artist" << int(FieldType::String) << 40 << "@s40";
        QTest::newRow("release") << "MUS:ReleaseDate" << int(FieldType::Date) << 4 << "@d17b";
        QTest::newRow("time") << "MUS:Time" << int(FieldType::Time) << 4 << "@t4b";
        QTest::newRow("bpm") << "mus:beatsperminute" << int(FieldType::Long) << 4 << "@n_4b";
        QTest::newRow("chart") << "MUS:ChartNumber" << int(FieldType::Byte) << 1 << "@n3";
        QTest::newRow("notes memo") << "MUS:Notes" << int(FieldType::Memo) << 2000 << "@s255";
        QTest::newRow("category id") << "CAT:CategoryID" << int(FieldType::Decimal) << 6 << "@n-13";
        QTest::newRow("wizard track") << "AW:Track" << int(FieldType::Decimal) << 2 << "@n3";
        QTest::newRow("xccd") << "ALB:XCCD" << int(FieldType::String) << 32 << "@s32";
        QTest::newRow("image size y") << "LAB:ImageSizeY" << int(FieldType::String) << 20 << "@s20";
        QTest::newRow("image size x") << "LAB:ImageSizeX" << int(FieldType::Long) << 4 << "@n-14";
        QTest::newRow("a_s view") << "A_S:UserDefinedKeyField" << int(FieldType::String) << 30 << "@s30";
    }
    void fieldTypes()
    {
        QFETCH(QString, label);
        TableId table;
        int field = -1;
        QVERIFY(findField(label, &table, &field));
        const FieldDef& f = tableDef(table).fields.at(field);
        QTEST(int(f.type), "type");
        QTEST(f.type == FieldType::Decimal || f.isText() ? f.width : f.bytes(), "width");
        QTEST(f.picture, "picture");
    }

    void lookups()
    {
        QVERIFY(!findField(QStringLiteral("MUS:Nothing"), nullptr, nullptr));
        QVERIFY(!findField(QStringLiteral("XYZ:Artist"), nullptr, nullptr));
        QVERIFY(!findField(QStringLiteral("Artist"), nullptr, nullptr));
        QCOMPARE(tableByLabel(QStringLiteral("playlistdetails"))->prefix, QStringLiteral("PLA"));
        QCOMPARE(tableByPrefix(QStringLiteral("a_s"))->label, QStringLiteral("A_Songs"));
        QVERIFY(!tableByLabel(QStringLiteral("Songs")));
        const TableDef& songs = tableDef(TableId::Tunedeck);
        QCOMPARE(songs.fieldIndex(QStringLiteral("mus:id")), songs.fieldIndex(QStringLiteral("ID")));
        QCOMPARE(songs.fieldIndex(QStringLiteral("Nope")), -1);
        QCOMPARE(songs.keyIndex(QStringLiteral("KeyFileNumber")), 10);
        QCOMPARE(songs.primaryKey(), songs.keyIndex(QStringLiteral("MUS:KeyID")));
        QCOMPARE(tableDef(TableId::OldTunedeck).primaryKey(), -1);
        QCOMPARE(tableDef(TableId::Categories).fields.at(0).digits(), 11);
        QCOMPARE(tableDef(TableId::AddWizard).fields.at(2).digits(), 3);
    }

    // Every record converts to a row of exactly its table's fields, each value of the field's
    // type (the member lists behind the conversion are written by hand).
    // Every relation names fields and a key that exist, and its children are found through a key
    // that starts with the link field, of the same kind as the parent's value: a row added for a
    // later table with a misspelt name would otherwise walk nothing (or the wrong key) and delete
    // or refuse nothing.
    void relationsMatchTheCatalogue()
    {
        QVERIFY(!relations().isEmpty());
        for (const Relation& r : relations()) {
            const TableDef& parent = tableDef(r.parent);
            const TableDef& child = tableDef(r.child);
            const QString what = parent.label + QLatin1String(" -> ") + child.label;
            const int pf = parent.fieldIndex(QString::fromLatin1(r.parentField));
            const int cf = child.fieldIndex(QString::fromLatin1(r.childField));
            const int key = child.keyIndex(QString::fromLatin1(r.childKey));
            QVERIFY2(pf >= 0 && cf >= 0 && key >= 0, qPrintable(what));
            QVERIFY2(child.key(key).fields.first() == cf, qPrintable(what));
            QVERIFY2(parent.field(pf).isText() == child.field(cf).isText(), qPrintable(what));
            QVERIFY2(r.parent == rulesOf(r.parent), qPrintable(what)); // rules hang on the song table
        }
        // The tables a delete needs include those of the children it deletes.
        QVERIFY(relatedTables(TableId::Album, true).contains(TableId::PlaylistDetails));
        QVERIFY(!relatedTables(TableId::Album, false).contains(TableId::PlaylistDetails));
    }

    void rowsMatchTheCatalogue()
    {
        const QList<QPair<TableId, Row>> rows = {
            { TableId::Tunedeck, toRow(Tunedeck()) },
            { TableId::Categories, toRow(Categories()) },
            { TableId::Album, toRow(Album()) },
            { TableId::Media, toRow(Media()) },
            { TableId::PlaylistMaster, toRow(PlaylistMaster()) },
            { TableId::PlaylistDetails, toRow(PlaylistDetails()) },
            { TableId::Labels, toRow(Labels()) },
            { TableId::Fonts, toRow(Fonts()) },
            { TableId::AddWizard, toRow(AddWizard()) },
            { TableId::OldTunedeck, toRow(OldTunedeck()) },
        };
        for (const auto& [table, row] : rows) {
            const TableDef& t = tableDef(table);
            QCOMPARE(row.size(), t.fields.size());
            const Row blank = blankRow(table);
            for (int i = 0; i < row.size(); ++i)
                QVERIFY2(row.at(i).metaType() == blank.at(i).metaType(),
                    qPrintable(t.fields.at(i).label + QStringLiteral(" has the wrong type")));
        }
    }

    void recordsRoundTrip()
    {
        Tunedeck s;
        s.Artist = QStringLiteral("Abba");
        s.ChartNumber = 3;
        s.ID = 12;
        s.AlbumID = 4;
        s.Notes = QStringLiteral("memo");
        const Row r = toRow(s);
        const TableDef& t = tableDef(TableId::Tunedeck);
        QCOMPARE(r.at(t.fieldIndex(QStringLiteral("Artist"))).toString(), QStringLiteral("Abba"));
        QCOMPARE(r.at(t.fieldIndex(QStringLiteral("ID"))).toInt(), 12);
        QCOMPARE(r.at(t.fieldIndex(QStringLiteral("Notes"))).toString(), QStringLiteral("memo"));
        const Tunedeck back = recordFromRow<Tunedeck>(r);
        QCOMPARE(back.AlbumID, 4);
        QCOMPARE(back.ChartNumber, 3);
        QCOMPARE(back.Notes, QStringLiteral("memo"));

        Categories c;
        c.CategoryID = 12345678901LL;
        QCOMPARE(recordFromRow<Categories>(toRow(c)).CategoryID, 12345678901LL);
        // A short row leaves the rest blank.
        const Album a = recordFromRow<Album>(Row { QVariant(7) });
        QCOMPARE(a.AlbumID, 7);
        QCOMPARE(a.Artist, QString());
    }
};

QTEST_GUILESS_MAIN(TstFieldCatalog)
#include "tst_fieldcatalog.moc"

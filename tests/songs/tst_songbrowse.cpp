// The song list's logic: tabs, ranges, the search joined to the tab's condition (checked against an
// independent evaluation of the same filter record by record), the "Begins With" range and where it
// must not be used, locator values, caption, "SongTab" and the remembered column format.

#include "ScriptedMessages.h"
#include "TestDb.h"
#include "TempWorkspace.h"

#include "common/ColumnFormatStore.h"
#include "core/FilterExpr.h"
#include "core/FilterQuery.h"
#include "core/IniFile.h"
#include "core/ListFormat.h"
#include "data/Database.h"
#include "common/GlobalSettings.h"
#include "songs/SongBrowseLogic.h"
#include "songs/SongFilter.h"

#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

// Every row the list shows, by paging through it.
QList<qint64> allPositions(PagedList& list)
{
    QList<qint64> out;
    list.setPageSize(7);
    if (list.first() != 0)
        return {-1};
    QSet<qint64> seen;
    for (int guard = 0; guard < 1000; ++guard) {
        for (const PageRow& r : list.rows())
            if (!seen.contains(r.position)) {
                seen.insert(r.position);
                out << r.position;
            }
        if (list.atBottom())
            break;
        if (list.pageDown() != 0)
            return {-1};
    }
    return out;
}

} // namespace

class TstSongBrowse : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDb> env_;
    TempWorkspace* ws_ = nullptr;
    Messages* messages_ = nullptr;
    Database* db_ = nullptr;
    GlobalSettings settings_;

    void addSong(const QString& artist, const QString& title, const QString& media, qint32 category, int chart = 0,
                 int bpm = 0, const QString& udk = {})
    {
        Table<Tunedeck> t(*db_);
        t.rec.Artist = artist;
        t.rec.Title = title;
        t.rec.Media = media;
        t.rec.CategoryID = category;
        t.rec.ChartNumber = chart;
        t.rec.BeatsPerMinute = bpm;
        t.rec.UserDefinedKeyField = udk;
        t.rec.ID = int(t.records()) + 1;
        QCOMPARE(t.add(), 0);
    }

    void addCatalogue()
    {
        {
            Table<Categories> c(*db_);
            c.rec.CategoryID = 1;
            c.rec.Category = QStringLiteral("Rock");
            QCOMPARE(c.add(), 0);
            c.rec.CategoryID = 2;
            c.rec.Category = QStringLiteral("Jazz");
            QCOMPARE(c.add(), 0);
            Table<Media> m(*db_);
            m.rec.Media = QStringLiteral("CD");
            QCOMPARE(m.add(), 0);
        }
        addSong(QStringLiteral("Beatles"), QStringLiteral("Help"), QStringLiteral("CD"), 1, 3, 120, QStringLiteral("k1"));
        addSong(QStringLiteral("beach boys"), QStringLiteral("Surfin"), QStringLiteral("cd"), 1, 0, 0);
        addSong(QStringLiteral("Bee Gees"), QStringLiteral("Stayin Alive"), QStringLiteral("LP"), 2, 7, 104);
        addSong(QStringLiteral("Björk"), QStringLiteral("Army of Me"), QStringLiteral("CD"), 0, 0, 0, QStringLiteral("k2"));
        addSong(QStringLiteral("Straßenjungs"), QStringLiteral("Love Song"), QStringLiteral("MC"), 2, 1, 0);
        addSong(QStringLiteral("Strasser"), QStringLiteral("Lovely"), QStringLiteral("CD"), 1, 0, 90);
        addSong(QStringLiteral("ıssız"), QStringLiteral("Islands"), QStringLiteral("CD"), 2, 0, 0);
        addSong(QStringLiteral("Iggy Pop"), QStringLiteral("The Passenger"), QStringLiteral("CD"), 1, 2, 0);
        addSong(QStringLiteral("ABBA"), QStringLiteral("Waterloo"), QStringLiteral("LP"), 1, 0, 0);
        addSong(QStringLiteral("Bz"), QStringLiteral("Ultra Soul"), QStringLiteral("CD"), 1, 0, 0);
        addSong(QStringLiteral("B{racket}"), QStringLiteral("Odd"), QStringLiteral("CD"), 1, 0, 0);
        addSong(QStringLiteral("Beck"), QStringLiteral("Loser"), QStringLiteral("CD"), 0, 0, 0);
    }

private slots:
    void init()
    {
        env_ = std::make_unique<TestDb>();
        ws_ = &env_->ws;
        messages_ = &env_->messages;
        db_ = &env_->db;
        settings_ = GlobalSettings();
    }
    void cleanup()
    {
        env_.reset();
    }

    void tabTitles_data()
    {
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("title");
        QTest::newRow("artist") << "Custom" << int(SongTab::ByArtist) << "By Artist";
        QTest::newRow("chart") << "Custom" << int(SongTab::ByChart) << "By Chart #";
        QTest::newRow("udk from the prompt") << "Custom" << int(SongTab::ByUdk) << "By Custom";
        QTest::newRow("udk: first ten characters, trailing blanks off") << "Catalog No. 7" << int(SongTab::ByUdk)
                                                                      << "By Catalog No";
        QTest::newRow("udk: blank prompt") << "   " << int(SongTab::ByUdk) << "By UDK";
    }
    void tabTitles()
    {
        QFETCH(QString, prompt);
        QFETCH(int, tab);
        QFETCH(QString, title);
        settings_.UDKPrompt = prompt;
        QCOMPARE(songTabTitle(SongTab(tab), settings_), title);
    }

    void captionAndFormat()
    {
        QCOMPARE(songListCaption(1234), QStringLiteral("Songs - 1234 entries"));
        QCOMPARE(songListCaption(0), QStringLiteral("Songs - 0 entries"));
        const auto f = ListFormat::parse(songListDesignedFormat());
        QVERIFY(f.has_value());
        QStringList headers;
        QStringList pictures;
        for (const ListColumn& c : f->columns) {
            headers << c.header;
            pictures << c.picture;
        }
        QCOMPARE(headers, QStringList({"Artist", "Title", "Album", "Media", "File Number", "Category", "Time",
                                       "Released", "BPM", "User Defined Key Field", "Last Played", "Style"}));
        QCOMPARE(pictures, QStringList({"@s40", "@s40", "@s40", "@s20", "@s20", "@s30", "@t4b", "@d17b", "@n_4b",
                                        "@s30", "@d17-", "@s30"}));
        // The "DateFormat" setting takes the place of both date columns' pictures.
        settings_.DateFormat = QStringLiteral("d2");
        const auto g = ListFormat::parse(songListFormat(settings_));
        QVERIFY(g.has_value());
        QCOMPARE(g->columns.at(7).picture, QStringLiteral("@d2"));
        QCOMPARE(g->columns.at(10).picture, QStringLiteral("@d2"));
        QCOMPARE(g->columns.at(6).picture, QStringLiteral("@t4b"));
    }

    void columnFormatMemory()
    {
        const QString ini = ws_->file(QStringLiteral("POSITION.INI"));
        const ColumnFormatKeys keys = songListFormatKeys();
        const QString designed = songListDesignedFormat();
        QString user = designed;
        user.replace(0, 3, QStringLiteral("200"));

        // First opening: the design is recorded, nothing else used.
        QCOMPARE(restoreColumnFormat(keys, designed, ini), designed);
        QCOMPARE(ini::readString(ini, QStringLiteral("BrowseSongs"), QStringLiteral("SRCFOriginal?Browse")), designed);
        QVERIFY(saveColumnFormat(keys, user, ini));
        QCOMPARE(ini::readString(ini, QStringLiteral("BrowseSongs"), QStringLiteral("SRCF?Browse")), user);
        // Next opening: the user's layout comes back.
        QCOMPARE(restoreColumnFormat(keys, designed, ini), user);
        // The design changed: back to the design, and the new design recorded.
        QString redesigned = designed;
        redesigned.replace(QStringLiteral("~Style~"), QStringLiteral("~Genre~"));
        QCOMPARE(restoreColumnFormat(keys, redesigned, ini), redesigned);
        QCOMPARE(ini::readString(ini, QStringLiteral("BrowseSongs"), QStringLiteral("SRCFOriginal?Browse")), redesigned);
        // A saved layout damaged by hand is not used.
        QVERIFY(saveColumnFormat(keys, QStringLiteral("garbage~"), ini));
        QCOMPARE(restoreColumnFormat(keys, redesigned, ini), redesigned);
        // The media list's keys carry ":1".
        const ColumnFormatKeys media{QStringLiteral("BrowseMedia"), QStringLiteral(":1")};
        QCOMPARE(media.current(), QStringLiteral("SRCF?Browse:1"));
        QCOMPARE(media.original(), QStringLiteral("SRCFOriginal?Browse:1"));
    }

    void songTabMemory_data()
    {
        QTest::addColumn<bool>("saveLastTab");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("opening");
        QTest::newRow("remembered") << true << "6" << int(SongTab::ByChart);
        QTest::newRow("not remembered") << false << "6" << int(SongTab::ByArtist);
        QTest::newRow("missing") << true << "" << int(SongTab::ByArtist);
        QTest::newRow("out of range") << true << "9" << int(SongTab::ByArtist);
        QTest::newRow("not a number") << true << "x" << int(SongTab::ByArtist);
    }
    void songTabMemory()
    {
        QFETCH(bool, saveLastTab);
        QFETCH(QString, stored);
        QFETCH(int, opening);
        const QString ini = ws_->configDir() + QStringLiteral("/TDPRO97.INI");
        if (!stored.isEmpty())
            QVERIFY(ini::writeString(ini, QStringLiteral("Settings"), QStringLiteral("SongTab"), stored));
        settings_.SaveLastTab = saveLastTab;
        QCOMPARE(int(openingSongTab(settings_, ini)), opening);
        QVERIFY(saveSongTab(SongTab::ByBpm, ini));
        QCOMPARE(ini::readString(ini, QStringLiteral("Settings"), QStringLiteral("SongTab")), QStringLiteral("7"));
    }

    void tabsAndRanges_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("media");
        QTest::addColumn<int>("category");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("by media: cd shows CD too")
            << int(SongTab::ByMedia) << "cd" << 0
            << QStringList({"Army of Me", "Help", "Islands", "Loser", "Lovely", "Odd", "Surfin", "The Passenger",
                            "Ultra Soul"});
        QTest::newRow("by media: LP") << int(SongTab::ByMedia) << "LP" << 0 << QStringList({"Stayin Alive", "Waterloo"});
        QTest::newRow("by category") << int(SongTab::ByCategory) << "" << 2
                                     << QStringList({"Stayin Alive", "Love Song", "Islands"});
        QTest::newRow("by category: none chosen") << int(SongTab::ByCategory) << "" << 0 << QStringList();
        QTest::newRow("by chart: no zeros") << int(SongTab::ByChart) << "" << 0
                                            << QStringList({"Love Song", "The Passenger", "Help", "Stayin Alive"});
        QTest::newRow("by bpm: no zeros") << int(SongTab::ByBpm) << "" << 0
                                          << QStringList({"Lovely", "Stayin Alive", "Help"});
        QTest::newRow("by udk: no blanks") << int(SongTab::ByUdk) << "" << 0 << QStringList({"Help", "Army of Me"});
    }
    void tabsAndRanges()
    {
        QFETCH(int, tab);
        QFETCH(QString, media);
        QFETCH(int, category);
        QFETCH(QStringList, titles);
        addCatalogue();
        SongBrowser b(*db_, settings_);
        b.setTab(SongTab(tab));
        b.setMedia(media);
        b.setCategory(category);
        QCOMPARE(b.configure(), 0);
        QStringList got;
        for (qint64 pos : allPositions(b.list())) {
            Table<Tunedeck> t(*db_);
            QCOMPARE(t.fetch(pos), 0);
            got << t.rec.Title;
        }
        if (SongTab(tab) == SongTab::ByMedia)
            got.sort(Qt::CaseInsensitive);     // ordered by file number (all blank) then title
        QCOMPARE(got, titles);
        QCOMPARE(b.caption(), QStringLiteral("Songs - 12 entries"));
    }

    void locatorValues()
    {
        addCatalogue();
        SongBrowser b(*db_, settings_);
        b.setTab(SongTab::ByChart);
        QCOMPARE(b.locatorValues(QStringLiteral("7")), Row({QVariant(qlonglong(7))}));
        QCOMPARE(b.locatorValues(QStringLiteral("x")), Row({QVariant(qlonglong(0))}));
        b.setTab(SongTab::ByTitle);
        QCOMPARE(b.locatorValues(QStringLiteral("BEA")), Row({QVariant(QStringLiteral("BEA"))}));
        // Each order keeps its own text.
        b.setLocatorText(QStringLiteral("lov"));
        b.setTab(SongTab::ByArtist);
        QCOMPARE(b.locatorText(), QString());
        b.setLocatorText(QString(40, QLatin1Char('x')));
        QCOMPARE(b.locatorText().size(), 30);
        b.setTab(SongTab::ByTitle);
        QCOMPARE(b.locatorText(), QStringLiteral("lov"));

        // On "By Media" the locator looks for a file number within the chosen media.
        b.setTab(SongTab::ByMedia);
        b.setMedia(QStringLiteral("LP"));
        QCOMPARE(b.configure(), 0);
        QCOMPARE(b.list().locate(b.locatorValues(QString())), 0);
        QCOMPARE(b.list().rowCount(), 2);
    }

    // The search joined to every tab gives exactly the songs an evaluation record by record gives.
    void searchMatchesEvaluation_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("artist begins with BE") << queryCondition("MUS:Artist", FilterKind::Text, 7, "be");
        QTest::newRow("artist begins with B") << queryCondition("MUS:Artist", FilterKind::Text, 7, "B");
        QTest::newRow("artist begins with BZ") << queryCondition("MUS:Artist", FilterKind::Text, 7, "bz");
        QTest::newRow("artist begins with SS (sharp s)") << queryCondition("MUS:Artist", FilterKind::Text, 7, "STRASS");
        QTest::newRow("artist begins with I (dotless i)") << queryCondition("MUS:Artist", FilterKind::Text, 7, "I");
        QTest::newRow("artist begins with BJ") << queryCondition("MUS:Artist", FilterKind::Text, 7, "Bj");
        QTest::newRow("title contains LOVE") << queryCondition("MUS:Title", FilterKind::Text, 8, "love");
        QTest::newRow("title begins with, or") << QStringLiteral("%1 OR %2").arg(
            queryCondition("MUS:Title", FilterKind::Text, 7, "L"), queryCondition("MUS:Artist", FilterKind::Text, 7, "A"));
        QTest::newRow("category name") << queryCondition("CAT:Category", FilterKind::Text, 1, "Jazz");
        QTest::newRow("media record") << queryCondition("MED:Media", FilterKind::Text, 1, "CD");
        QTest::newRow("chart at least 2") << queryCondition("MUS:ChartNumber", FilterKind::Number, 5, "2");
        QTest::newRow("udk checked") << queryCondition("MUS:UserDefinedKeyField", FilterKind::Text, 9, "");
        QTest::newRow("named value") << QStringLiteral("MUS:CategoryID = CAT:CategoryID");
    }
    void searchMatchesEvaluation()
    {
        QFETCH(QString, filter);
        addCatalogue();
        SongBrowser b(*db_, settings_);
        b.setCategory(2);
        b.setMedia(QStringLiteral("CD"));
        b.setSearch(filter);
        const FilterExpr expr = FilterExpr::parse(filter, b.filterSchema());
        QVERIFY(expr.isValid());

        // The independent answer: every record read and evaluated, the tab condition by hand.
        Table<Tunedeck> all(*db_);
        Table<Categories> cats(*db_);
        Table<Media> media(*db_);
        int total = 0;
        for (int tab = 0; tab < kSongTabCount; ++tab) {
            b.setTab(SongTab(tab));
            QCOMPARE(b.configure(), 0);
            QList<qint64> shown = allPositions(b.list());
            std::sort(shown.begin(), shown.end());

            QList<qint64> expected;
            QVERIFY(all.set(-1) == 0);
            while (all.next() == 0) {
                const Tunedeck& s = all.rec;
                bool inTab = true;
                switch (SongTab(tab)) {
                case SongTab::ByMedia: inTab = s.Media.compare(b.media(), Qt::CaseInsensitive) == 0; break;
                case SongTab::ByCategory: inTab = s.CategoryID == b.categoryId(); break;
                case SongTab::ByChart: inTab = s.ChartNumber != 0; break;
                case SongTab::ByBpm: inTab = s.BeatsPerMinute != 0; break;
                case SongTab::ByUdk: inTab = !s.UserDefinedKeyField.isEmpty(); break;
                default: break;
                }
                const Row row = all.row();
                const bool match = expr.matches([&](int id) -> QVariant {
                    const FilterField& f = b.filterSchema().fields().at(id);
                    if (f.label == QLatin1String("CAT:Category")) {
                        cats.clear();
                        cats.rec.CategoryID = s.CategoryID;
                        return cats.get(cats.key("CAT:KeyCategoryID")) == 0 ? cats.rec.Category : QString();
                    }
                    if (f.label == QLatin1String("MED:Media")) {
                        media.clear();
                        media.rec.Media = s.Media;
                        return media.get(media.key("MED:KeyMedia")) == 0 ? media.rec.Media : QString();
                    }
                    return row.at(id);
                });
                if (inTab && match)
                    expected << all.position();
            }
            std::sort(expected.begin(), expected.end());
            QVERIFY2(shown == expected, qPrintable(songTabInfo(SongTab(tab)).title));
            total += int(shown.size());
        }
        QVERIFY(total > 0);
    }

    // "Contains", INSTRING, "Begins with" and SUB of an upper case read ASCII titles by a quicker way
    // than other texts: the list must give what the evaluator's full Unicode upper case gives, for
    // plain, mixed and tricky titles alike.
    void searchesFoldAsTheEvaluator_data()
    {
        QTest::addColumn<QString>("filter");
        const auto contains = [](const char* text) {
            return queryCondition("MUS:Title", FilterKind::Text, 8, QString::fromUtf8(text));
        };
        QTest::newRow("plain ASCII") << contains("love");
        QTest::newRow("sharp s is SS") << contains("ss");
        QTest::newRow("sharp s asked for") << contains("ß");
        QTest::newRow("dotless i is I") << contains("ist");
        QTest::newRow("dotted capital I") << contains("İ");
        QTest::newRow("final sigma") << contains("ΣΕΥΣ");
        QTest::newRow("combining acute") << contains("cafe");
        QTest::newRow("precomposed e acute") << contains("café");
        QTest::newRow("ligature fi") << contains("fi");
        QTest::newRow("mixed ASCII and not") << contains("ærø");
        QTest::newRow("whole title") << contains("glove");
        QTest::newRow("nothing") << contains("qxzq");
        QTest::newRow("stepped search") << QStringLiteral("INSTRING('O', UPPER(MUS:Title), 2, 1) = 1");
        QTest::newRow("search from a start") << QStringLiteral("INSTRING('E', UPPER(MUS:Title), 1, 3) > 3");
        QTest::newRow("start past the end") << QStringLiteral("INSTRING('', MUS:Title, 1, 40) > 0");
        QTest::newRow("lower case kept") << QStringLiteral("INSTRING('ove', MUS:Title, 1, 1) = 2");
        QTest::newRow("place after a letter whose upper case is longer")
            << QStringLiteral("INSTRING('X', UPPER(MUS:Title), 1, 1) = 4");
        QTest::newRow("place after apostrophe n")
            << QStringLiteral("INSTRING('NX', UPPER(MUS:Title), 1, 1) = 2");
        QTest::newRow("stepped upper case") << QStringLiteral("INSTRING('E', UPPER(MUS:Title), 2, 1) = 2");
        QTest::newRow("beyond the BMP") << contains("love 🎵");
        QTest::newRow("Kelvin sign is not K") << contains("k");
        const auto beginsWith = [](const char* text) {
            return queryCondition("MUS:Title", FilterKind::Text, 7, QString::fromUtf8(text));
        };
        QTest::newRow("begins with, plain ASCII") << beginsWith("love");
        QTest::newRow("begins with, ASCII before a sharp s") << beginsWith("stra");
        QTest::newRow("begins with, through a sharp s") << beginsWith("strass");
        QTest::newRow("begins with, dotless i") << beginsWith("is");
        QTest::newRow("begins with, ligature") << beginsWith("fir");
        QTest::newRow("begins with, Greek") << beginsWith("οδυσ");
        QTest::newRow("begins with, apostrophe n") << beginsWith("'n");
        QTest::newRow("begins with, beyond the BMP") << beginsWith("love 🎵");
        QTest::newRow("begins with, longer than the title") << beginsWith("odes and more");
        QTest::newRow("cut inside the text") << QStringLiteral("SUB(UPPER(MUS:Title), 5, 2) = 'SS'");
        QTest::newRow("cut from place 0") << QStringLiteral("SUB(UPPER(MUS:Title), 0, 3) = 'ST'");
        QTest::newRow("cut counted from the end") << QStringLiteral("SUB(UPPER(MUS:Title), -3, 3) = 'OIR'");
        QTest::newRow("cut of nothing") << QStringLiteral("SUB(UPPER(MUS:Title), 1, 0) = ''");
        QTest::newRow("cut after a letter whose upper case is longer")
            << QStringLiteral("SUB(UPPER(MUS:Title), 4, 1) = 'X'");
    }
    void searchesFoldAsTheEvaluator()
    {
        QFETCH(QString, filter);
        const char* titles[]
            = { "Love Me Tender", "GLOVE", "lOvE", "Straße", "Strasse", "ıstanbul", "Istanbul", "İzmir",
                  "ΟΔΥΣΣΕΥΣ", "οδυσσευς", "Cafe\u0301 Noir", "Café", "ﬁre", "Fire", "Lovesong Ærø", "",
                  "Over and over", "Ode", "Geese", "ΐx", "ŉx", "Love 🎵", "\u212A-Pop", "Ünter Ünter" };
        for (const char* t : titles)
            addSong(QStringLiteral("A"), QString::fromUtf8(t), QStringLiteral("CD"), 1);
        SongBrowser b(*db_, settings_);
        b.setTab(SongTab::ByTitle);
        b.setSearch(filter);
        QCOMPARE(b.configure(), 0);
        // Where the search is INSTRING(text, UPPER(field), ...) or SUB(UPPER(field), ...) the quicker
        // function does it.
        if (filter.startsWith(QLatin1String("INSTRING(")) && filter.contains(QLatin1String("UPPER(MUS:Title),")))
            QVERIFY(b.list().condition().contains(QLatin1String("td_instring_upper(")));
        if (filter.startsWith(QLatin1String("SUB(UPPER(MUS:Title),")))
            QVERIFY(b.list().condition().contains(QLatin1String("td_sub_upper(")));
        QList<qint64> shown = allPositions(b.list());
        std::sort(shown.begin(), shown.end());

        const FilterExpr expr = FilterExpr::parse(filter, b.filterSchema());
        QVERIFY(expr.isValid());
        QList<qint64> expected;
        Table<Tunedeck> all(*db_);
        QVERIFY(all.set(-1) == 0);
        while (all.next() == 0) {
            const Row row = all.row();
            if (expr.matches([&row](int id) { return row.at(id); }))
                expected << all.position();
        }
        std::sort(expected.begin(), expected.end());
        QCOMPARE(shown, expected);
    }

    // The category names shown beside the songs follow a rename made here or by another copy.
    void categoryNamesFollowRenames_data()
    {
        QTest::addColumn<bool>("byAnotherCopy");
        QTest::newRow("this copy") << false;
        QTest::newRow("another copy") << true;
    }
    void categoryNamesFollowRenames()
    {
        QFETCH(bool, byAnotherCopy);
        addCatalogue();
        SongBrowser b(*db_, settings_);
        b.refreshCategoryNames();
        QCOMPARE(b.categoryName(2), QStringLiteral("Jazz"));
        Messages otherMessages;
        installScripted(otherMessages);
        Database other(otherMessages, ws_->path());
        Table<Categories> c(byAnotherCopy ? other : *db_);
        c.rec.CategoryID = 2;
        QCOMPARE(c.get(c.key(QStringLiteral("CAT:KeyCategoryID"))), 0);
        c.rec.Category = QStringLiteral("Bebop");
        QCOMPARE(c.put(), 0);
        b.refreshCategoryNames();
        QCOMPARE(b.categoryName(2), QStringLiteral("Bebop"));
        QCOMPARE(b.categoryName(1), QStringLiteral("Rock"));
        QCOMPARE(b.categoryName(0), QString());
        // A category added later is no longer one that does not exist.
        QCOMPARE(b.categoryName(50), QString());
        Table<Categories> added(byAnotherCopy ? other : *db_);
        added.rec.CategoryID = 50;
        added.rec.Category = QStringLiteral("Polka");
        QCOMPARE(added.add(), 0);
        b.refreshCategoryNames();
        QCOMPARE(b.categoryName(50), QStringLiteral("Polka"));
    }

    // The window's way back to its list: the highlighted song kept at its place when the search
    // keeps it, the nearest one when not, the first page when asked, the stored song when given.
    void showAgainKeepsTheSong()
    {
        addCatalogue();
        SongBrowser b(*db_, settings_);
        b.list().setPageSize(4);
        b.setTab(SongTab::ByArtist);
        QCOMPARE(b.configure(), 0);
        QCOMPARE(b.list().locate({ QStringLiteral("Strasser") }), 0);
        const auto artist = [&b]() {
            const PageRow* h = b.list().highlighted();
            return h ? h->row.at(tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("Artist"))).toString()
                     : QString();
        };
        QCOMPARE(artist(), QStringLiteral("Strasser"));
        // A "Begins With" far before the song: the last song of its range, found from the range.
        b.setSearch(queryCondition("MUS:Artist", FilterKind::Text, 7, "be"));
        QCOMPARE(b.configure(), 0);
        QCOMPARE(b.showAgain(), 0);
        QCOMPARE(artist(), QStringLiteral("Bee Gees"));
        QVERIFY(b.list().atBottom());
        b.setSearch(QString());
        QCOMPARE(b.configure(), 0);
        QCOMPARE(b.showAgain(), 0);
        QCOMPARE(artist(), QStringLiteral("Bee Gees"));
        QCOMPARE(b.showAgain(0, true), 0);
        QCOMPARE(artist(), QStringLiteral("ABBA"));
        Table<Tunedeck> t(*db_);
        t.rec.ID = 8; // Iggy Pop
        QCOMPARE(t.get(t.key(QStringLiteral("MUS:KeyID"))), 0);
        QCOMPARE(b.showAgain(t.position()), 0);
        QCOMPARE(artist(), QStringLiteral("Iggy Pop"));
    }

    void beginsWithRange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("plain letters") << "BE" << "BE";
        QTest::newRow("dotless i upper-cases to I") << "BI" << "B";
        QTest::newRow("sharp s upper-cases to SS") << "SS" << "";
        QTest::newRow("digits and blanks inside") << "B 52" << "B 52";
        QTest::newRow("trailing blank") << "B " << "B";
        QTest::newRow("not ASCII") << "BÖ" << "B";
        QTest::newRow("last character cannot be raised") << "B~" << "B";
        QTest::newRow("empty") << "" << "";
    }
    void beginsWithRange()
    {
        QFETCH(QString, text);
        QFETCH(QString, prefix);
        QCOMPARE(beginsWithRangePrefix(text), prefix);
    }

    void rangeAddedOnlyForTheOrderingField()
    {
        const FilterSchema s = songFilterSchema();
        const QString f = queryCondition("MUS:Artist", FilterKind::Text, 7, "be");
        const SongSearch onArtist = compileSongSearch(f, s, QStringLiteral("MUS:Artist"));
        QVERIFY(onArtist.sql.startsWith(QStringLiteral("(\"Tunedeck\".\"Artist\" >= ? AND \"Tunedeck\".\"Artist\" < ?)")));
        QCOMPARE(onArtist.params.mid(0, 2), QVariantList({QStringLiteral("BE"), QStringLiteral("bf")}));
        const SongSearch onTitle = compileSongSearch(f, s, QStringLiteral("MUS:Title"));
        QVERIFY(!onTitle.sql.contains(QLatin1String(">= ?")));
        // Under OR the range would leave songs out.
        const SongSearch either = compileSongSearch(f + QStringLiteral(" OR MUS:ChartNumber = 1"), s,
                                                    QStringLiteral("MUS:Artist"));
        QVERIFY(!either.sql.contains(QLatin1String(">= ?")));
        const SongSearch bad = compileSongSearch(QStringLiteral("MUS:Artist = "), s);
        QVERIFY(!bad.valid);
        QVERIFY(!bad.error.isEmpty());
    }

    void unreadableSearchShowsEverything()
    {
        addCatalogue();
        SongBrowser b(*db_, settings_);
        b.setTab(SongTab::ByMedia);
        b.setMedia(QStringLiteral("LP"));
        b.setSearch(QStringLiteral("MUS:Nope = 1"));
        QCOMPARE(b.configure(), 36);
        QVERIFY(!db_->lastError().text.isEmpty());
        // Without range and search: every song of the media key.
        QCOMPARE(allPositions(b.list()).size(), 12);
    }
};

QTEST_GUILESS_MAIN(TstSongBrowse)
#include "tst_songbrowse.moc"

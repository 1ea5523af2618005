// Report runs over a small catalogue: which songs print (record filter, "Selected" prefix, keys that
// leave records out), the run's end states (nothing printable, cancel answers, percent), where pages
// go, custom fonts, and the printed pages themselves: column order, formats, cut texts, dates.

#include "../data/DataTestUtil.h"
#include "TestDb.h"
#include "core/DayTime.h"
#include "core/IniFile.h"
#include "core/Picture.h"
#include "data/StandardWarning.h"
#include "reports/ReportListings.h"
#include "reports/ReportRun.h"

#include <QFontMetricsF>
#include <QtTest>
#include <algorithm>

using namespace td;

namespace {

struct Song {
    const char* artist;
    const char* title;
    int tempo = 0;
    int chart = 0;
    int category = 0;
    const char* album = "";
};

void addSongs(Database& db, const QList<Song>& songs)
{
    Table<Tunedeck> table(db);
    qint32 id = qint32(table.records()) + 1;
    TransactionGuard tx(db);
    QVERIFY(tx.ok());
    for (const Song& s : songs) {
        table.rec = test::makeSong(QString::fromUtf8(s.artist), QString::fromUtf8(s.title), id++);
        table.rec.BeatsPerMinute = s.tempo;
        table.rec.ChartNumber = s.chart;
        table.rec.CategoryID = s.category;
        table.rec.Album = QString::fromUtf8(s.album);
        QCOMPARE(table.add(), 0);
    }
    QCOMPARE(tx.commit(), 0);
}

ReportSetup setupWith(const QString& selectedOrAll = QStringLiteral("All"), const QString& selection = {})
{
    ReportSetup s;
    s.criteria.SelectedOrAll = selectedOrAll;
    s.criteria.ReportSelection = selection;
    s.date = QDate(2026, 3, 4);
    return s;
}

// Steps a started run to its end and gives every page read back from the page list.
QList<PageDoc> finishRun(ReportRun& run)
{
    while (run.step(run.sliceSize())) { }
    run.finish();
    run.conclude();
    QList<PageDoc> pages;
    for (int i = 0; i < run.pageList().count(); ++i) {
        PageDoc p;
        run.pageList().read(i, p);
        pages << p;
    }
    return pages;
}

QList<PageDoc> runAll(ReportRun& run)
{
    run.start();
    return finishRun(run);
}

QString allText(const QList<PageDoc>& pages)
{
    QString out;
    for (const PageDoc& p : pages)
        out += p.plainText();
    return out;
}

// The texts on the line of the first item reading `anchor`, left to right.
QList<PageItem> lineOf(const PageDoc& page, const QString& anchor)
{
    int y = -1;
    for (const PageItem& it : page.items)
        if (it.kind == PageItem::Text && it.text == anchor && y < 0)
            y = it.rect.y();
    QList<PageItem> out;
    for (const PageItem& it : page.items)
        if (it.kind == PageItem::Text && it.rect.y() == y)
            out << it;
    std::sort(out.begin(), out.end(), [](const PageItem& a, const PageItem& b) { return a.rect.x() < b.rect.x(); });
    return out;
}

QStringList texts(const QList<PageItem>& items)
{
    QStringList out;
    for (const PageItem& it : items)
        out << it.text;
    return out;
}

} // namespace

class TestReportRun : public QObject {
    Q_OBJECT
private slots:
    void printedSongs_data();
    void printedSongs();
    void nothingPrintableNeverOpensTheLayout();
    void percentStaysAt100WhenRecordsAreAdded();
    void cancelAnswers_data();
    void cancelAnswers();
    void pagesGoToTheListOrThePrinter_data();
    void pagesGoToTheListOrThePrinter();
    void aPrinterThatRefusesAPageStopsTheRun();
    void categoryReportListsOnlyItsCategory();
    void standardAndBriefColumns();
    void fullWidthTextsAreCutInTheirColumn();
    void customFontFromAndToTheSettings();
    void oneAlbumListsOnlyItsSongs();
    void aReadErrorNamesTheTableAndEndsTheScan();
    void criteriaSurviveASettingsReload();
    void previewQuestion();
};

void TestReportRun::printedSongs_data()
{
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("include");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QStringList>("printed");     // titles, in print order
    QTest::addColumn<QStringList>("missing");

    QTest::newRow("artist skips (*) and (Skips)") << "PrintMUS:SongsByArtist" << "All" << ""
                                                  << QStringList { "Waterloo", "SOS", "Taxman" }
                                                  << QStringList { "Mix", "Help (Skips)" };
    QTest::newRow("media has no record filter") << "PrintMUS:SongsByMedia" << "All" << ""
                                                << QStringList { "Help (Skips)", "Mix", "SOS", "Taxman", "Waterloo" }
                                                << QStringList();
    QTest::newRow("lower-case prefix, any case") << "BriefMUS:SongsByArtist" << "Selected" << "ab "
                                                 << QStringList { "Waterloo", "SOS" } << QStringList { "Taxman" };
    QTest::newRow("prefix later in the name") << "PrintMUS:SongsByArtist" << "Selected" << "eatles" << QStringList()
                                              << QStringList { "Taxman" };
    QTest::newRow("blank selection is all") << "PrintMUS:SongsByArtist" << "Selected" << "  "
                                            << QStringList { "Waterloo", "SOS", "Taxman" } << QStringList();
    QTest::newRow("BPM 12 as text") << "PrintMUS:SongsByBPM" << "Selected" << "12"
                                    << QStringList { "B12", "B120", "B129", "B1200" } << QStringList { "B13", "B0" };
    QTest::newRow("chart 0 is not in its key") << "BriefMUS:SongsByChart" << "All" << ""
                                               << QStringList { "Taxman", "Mix" } << QStringList { "Waterloo" };
}

void TestReportRun::printedSongs()
{
    QFETCH(QString, report);
    QFETCH(QString, include);
    QFETCH(QString, selection);
    QFETCH(QStringList, printed);
    QFETCH(QStringList, missing);
    test::TestDb t;
    addSongs(t.db,
             { { "ABBA", "Waterloo" }, { "Various (*)", "Mix", 0, 2 }, { "Beatles", "Help (Skips)" },
               { "abba cover", "SOS" }, { "The Beatles", "Taxman", 0, 1 }, { "Tempo", "B12", 12 },
               { "Tempo", "B120", 120 }, { "Tempo", "B129", 129 }, { "Tempo", "B13", 13 }, { "Tempo", "B0", 0 },
               { "Tempo", "B1200", 1200 } });
    // Tempo songs keep out of the other listings' expectations.
    if (!report.contains(QLatin1String("BPM"))) {
        printed.removeIf([](const QString& s) { return s.startsWith(QLatin1Char('B')); });
    }
    ReportRun run(t.db, reportListing(report, {}), setupWith(include, selection));
    const QString text = allText(runAll(run));
    int at = -1;
    for (const QString& title : printed) {
        const int found = int(text.indexOf(QLatin1Char('\n') + title + QLatin1Char('\n')));
        QVERIFY2(found > at, qPrintable(title + QStringLiteral(" missing or out of order")));
        at = found;
    }
    for (const QString& title : missing)
        QVERIFY2(!text.contains(QLatin1Char('\n') + title + QLatin1Char('\n')), qPrintable(title));
}

void TestReportRun::nothingPrintableNeverOpensTheLayout()
{
    test::TestDb t;
    addSongs(t.db, { { "Various (*)", "Mix" }, { "Beatles", "Help (Skips)" } });
    ReportRun run(t.db, reportListing(QStringLiteral("PrintMUS:SongsByTitle"), {}), setupWith());
    QVERIFY(!run.start());
    QVERIFY(!run.layoutOpened());
    QCOMPARE(run.response(), ReportRun::Cancelled);
    QCOMPARE(run.recordsProcessed(), 2);
    QCOMPARE(run.conclude(), ReportRun::Nothing);
    QVERIFY(t.script->asked().isEmpty());

    // A prefix nothing matches opens the layout but prints no page: the user is told.
    ReportRun none(t.db, reportListing(QStringLiteral("PrintMUS:SongsByMedia"), {}), setupWith("Selected", "zz"));
    QCOMPARE(runAll(none).size(), 0);
    QCOMPARE(none.response(), ReportRun::Completed);
    QCOMPARE(t.script->asked().size(), 1);
    QCOMPARE(t.script->asked().first().text, QStringLiteral("Nothing to Preview."));
    QCOMPARE(t.script->asked().first().caption, QStringLiteral("NOTE..."));
}

void TestReportRun::percentStaysAt100WhenRecordsAreAdded()
{
    test::TestDb t;
    QList<Song> songs;
    for (int i = 0; i < 400; ++i)
        songs.append(Song { i < 300 ? "Early" : "Late", "Song" });
    addSongs(t.db, songs.mid(0, 300));
    ReportRun run(t.db, reportListing(QStringLiteral("BriefMUS:SongsByArtist"), {}), setupWith());
    QVERIFY(run.start());
    QCOMPARE(run.percent(), 0);   // 1 of 300
    addSongs(t.db, songs.mid(300));
    int highest = 0;
    while (run.step(7))
        highest = qMax(highest, run.percent());
    QCOMPARE(run.recordsToProcess(), 300);
    QCOMPARE(run.recordsProcessed(), 400);
    QCOMPARE(qMax(highest, run.percent()), 100);
    QVERIFY(run.percent() <= 100);
}

void TestReportRun::cancelAnswers_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("response");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("no: goes on") << QList<int> { No } << int(ReportRun::Completed) << int(ReportRun::Preview) << true;
    QTest::newRow("yes, preview so far") << QList<int> { Yes, Yes } << int(ReportRun::Completed)
                                         << int(ReportRun::Preview) << false;
    QTest::newRow("yes, no preview") << QList<int> { Yes, No } << int(ReportRun::Cancelled)
                                     << int(ReportRun::Nothing) << false;
    QTest::newRow("yes, ignore: one per step") << QList<int> { Yes, Ignore } << int(ReportRun::Completed)
                                               << int(ReportRun::Preview) << true;
}

void TestReportRun::cancelAnswers()
{
    QFETCH(QList<int>, answers);
    QFETCH(int, response);
    QFETCH(int, outcome);
    QFETCH(bool, goesOn);
    test::TestDb t;
    QList<Song> many;
    QList<QByteArray> names;
    for (int i = 0; i < 300; ++i)
        names << QByteArray("Artist ") + QByteArray::number(1000 + i);
    for (const QByteArray& n : names)
        many.append(Song { n.constData(), "Song" });
    addSongs(t.db, many);
    ReportRun run(t.db, reportListing(QStringLiteral("PrintMUS:SongsByArtist"), {}), setupWith());
    QVERIFY(run.start());
    while (run.pageList().isEmpty())
        QVERIFY(run.step(run.sliceSize()));
    for (int a : answers)
        t.script->plan(a);
    run.cancelRequested();
    QCOMPARE(t.script->asked().size(), answers.size());
    QCOMPARE(t.script->asked().first().text, ReportRun::cancelQuestion());
    if (answers.size() > 1)
        QCOMPARE(t.script->asked().at(1).text, ReportRun::previewSoFarQuestion());
    const bool ignored = answers.first() == Yes;
    QCOMPARE(run.sliceSize(), ignored ? 1 : 25);
    if (goesOn) {
        const qint64 before = run.recordsProcessed();
        QVERIFY(run.step(run.sliceSize()));
        QCOMPARE(run.recordsProcessed() - before, ignored ? 1 : 25);
        while (run.step(run.sliceSize())) { }
        QCOMPARE(run.recordsProcessed(), 300);
    }
    QCOMPARE(int(run.response()), response);
    QCOMPARE(int(run.conclude()), outcome);
}

void TestReportRun::pagesGoToTheListOrThePrinter_data()
{
    QTest::addColumn<bool>("preview");
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("driverCopies");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<bool>("toList");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("listEntries");   // per page printed
    QTest::newRow("preview") << true << 3 << true << false << true << int(ReportRun::Preview) << 1;
    QTest::newRow("printer, one copy") << false << 1 << false << false << false << int(ReportRun::Printed) << 0;
    QTest::newRow("driver makes copies") << false << 3 << true << false << false << int(ReportRun::Printed) << 0;
    QTest::newRow("driver cannot copy") << false << 3 << false << false << true << int(ReportRun::PrintList) << 3;
    QTest::newRow("collating") << false << 2 << true << true << true << int(ReportRun::PrintList) << 2;
}

void TestReportRun::pagesGoToTheListOrThePrinter()
{
    QFETCH(bool, preview);
    QFETCH(int, copies);
    QFETCH(bool, driverCopies);
    QFETCH(bool, collate);
    QFETCH(bool, toList);
    QFETCH(int, outcome);
    QFETCH(int, listEntries);
    test::TestDb t;
    addSongs(t.db, { { "A", "One" }, { "B", "Two" } });
    ReportSetup s = setupWith();
    s.criteria.ReportWithPreview = preview;
    s.copies = copies;
    s.printerMakesCopies = driverCopies;
    s.collate = collate;
    int printed = 0;
    s.printer = [&](const PageDoc& p) {
        printed += p.plainText().contains(QLatin1String("One")) ? 1 : 0;
        return true;
    };
    ReportRun run(t.db, reportListing(QStringLiteral("PrintMUS:SongsByArtist"), {}), s);
    QVERIFY(run.start());
    while (run.step(25)) { }
    QCOMPARE(run.routedToList(), toList);
    QCOMPARE(int(run.conclude()), outcome);
    QCOMPARE(printed, toList ? 0 : 1);
    QCOMPARE(run.pageList().count(), listEntries);
    if (outcome == ReportRun::Preview) {
        run.printList();
        QCOMPARE(run.pageList().count(), copies);
    }
    QVERIFY(t.script->asked().isEmpty());
}

void TestReportRun::aPrinterThatRefusesAPageStopsTheRun()
{
    test::TestDb t;
    QList<Song> songs;
    for (int i = 0; i < 200; ++i)
        songs.append(Song { "Artist", "Song" });
    addSongs(t.db, songs);
    ReportSetup s = setupWith();
    s.criteria.ReportWithPreview = false;
    int offered = 0;
    s.printer = [&](const PageDoc&) { return ++offered < 2; };
    ReportRun run(t.db, reportListing(QStringLiteral("PrintMUS:SongsByArtist"), {}), s);
    QVERIFY(run.start());
    while (run.step(25)) { }
    QCOMPARE(offered, 2);
    QVERIFY(run.recordsProcessed() < 200);
    QCOMPARE(run.response(), ReportRun::Cancelled);
    QCOMPARE(t.script->captions(), QStringList { "Report Error" });
    QCOMPARE(run.conclude(), ReportRun::Nothing);
    QCOMPARE(t.script->asked().size(), 1);
}

void TestReportRun::categoryReportListsOnlyItsCategory()
{
    test::TestDb t;
    Categories c;
    c.CategoryID = 7;
    c.Category = QStringLiteral("Jazz");
    test::addRecord(t.db, c);
    addSongs(t.db, { { "Monk", "Round Midnight", 0, 0, 7, "B" }, { "Monk", "Round Midnight", 0, 0, 7, "A" },
                     { "Davis", "So What", 0, 0, 7 }, { "Abba", "SOS", 0, 0, 3 }, { "Zed", "Other", 0, 0, 0 } });
    ReportContext ctx;
    ctx.categoryId = 7;
    ctx.categoryName = QStringLiteral("Jazz  ");
    ReportRun run(t.db, reportListing(QStringLiteral("PrintByCategory"), ctx), setupWith());
    const QList<PageDoc> pages = runAll(run);
    QCOMPARE(pages.size(), 1);
    const QString text = pages.first().plainText();
    QVERIFY(text.startsWith(QLatin1String("Music in Jazz Category\n")));
    QVERIFY(!text.contains(QLatin1String("SOS")) && !text.contains(QLatin1String("Other")));
    QList<PageItem> albums;
    for (const PageItem& it : pages.first().items)
        if (it.text == QLatin1String("A") || it.text == QLatin1String("B") || it.text == QLatin1String("So What"))
            albums << it;
    QCOMPARE(albums.size(), 3);
    QVERIFY(albums.at(0).text == QLatin1String("So What"));   // Davis before Monk
    QVERIFY(albums.at(1).text == QLatin1String("A") && albums.at(2).text == QLatin1String("B"));
    QVERIFY(albums.at(1).rect.y() < albums.at(2).rect.y());
}

void TestReportRun::standardAndBriefColumns()
{
    test::TestDb t;
    Categories c;
    c.CategoryID = 2;
    c.Category = QStringLiteral("Rock");
    test::addRecord(t.db, c);
    Tunedeck s = test::makeSong(QStringLiteral("Queen"), QStringLiteral("Bohemian Rhapsody"), 1);
    s.Album = QStringLiteral("Opera");
    s.FileNumber = QStringLiteral("F-12");
    s.CategoryID = 2;
    s.ReleaseDate = dayFromYmd(1975, 10, 31);
    s.TrackNumber = 11;
    s.ChartNumber = 0;
    s.Time = 355 * 100 + 1;
    s.UserDefinedKeyField = QStringLiteral("Mood");
    test::addRecord(t.db, s);

    ReportSetup setup = setupWith();
    setup.datePicture = QStringLiteral("@d17");
    ReportContext ctx;
    ctx.udkPrompt = QStringLiteral("Feeling");
    ReportRun standard(t.db, reportListing(QStringLiteral("PrintMUS:SongsByArtist"), ctx), setup);
    const QList<PageDoc> sp = runAll(standard);
    QCOMPARE(sp.size(), 1);
    const QList<PageItem> line1 = lineOf(sp.first(), QStringLiteral("Queen"));
    QCOMPARE(texts(line1), (QStringList { "Queen", "Bohemian Rhapsody", "Opera", "CD", "Rock" }));
    const QList<PageItem> line2 = lineOf(sp.first(), QStringLiteral("F-12"));
    const QString date = Picture(QStringLiteral("@d17")).format(s.ReleaseDate);
    QCOMPARE(texts(line2), (QStringList { "F-12", date, "11" }));   // chart 0 is blank
    QCOMPARE(line2.at(0).rect.x(), line1.at(2).rect.x());           // file number under the album
    QCOMPARE(line2.at(1).rect.x(), line1.at(3).rect.x());           // release date under the media
    QVERIFY(line2.at(1).rect.y() > line1.at(0).rect.y());
    // The footer keeps its own date format and numbers the page.
    const QString footerDate = Picture(QStringLiteral("@d4")).format(dayFromDate(setup.date));
    QVERIFY(sp.first().plainText().contains(footerDate + QStringLiteral("\nPage 1\n")));

    ReportRun brief(t.db, reportListing(QStringLiteral("BriefMUS:SongsByArtist"), ctx), setup);
    const QList<PageDoc> bp = runAll(brief);
    QCOMPARE(bp.size(), 1);
    const QString time = Picture(QStringLiteral("@t4b")).format(s.Time);
    QCOMPARE(texts(lineOf(bp.first(), QStringLiteral("Queen"))),
             (QStringList { "Queen", "Bohemian Rhapsody", "Opera", "F-12", "11", "Mood", time }));
    QVERIFY(lineOf(bp.first(), QStringLiteral("Feeling")).size() == 7);   // the user's name heads the key
}

void TestReportRun::fullWidthTextsAreCutInTheirColumn()
{
    test::TestDb t;
    const QString wide(40, QLatin1Char('W'));
    Tunedeck s = test::makeSong(wide, wide, 1);
    s.Album = wide;
    test::addRecord(t.db, s);
    for (const char* report : { "PrintMUS:SongsByArtist", "BriefMUS:SongsByTitle", "PrintAlbumsByAlbum" }) {
        if (QByteArray(report).contains("Albums")) {
            Album a;
            a.AlbumID = 1;
            a.Album = wide;
            a.Artist = wide;
            a.AssociatedWavFile = QString(128, QLatin1Char('M'));
            test::addRecord(t.db, a);
        }
        ReportRun run(t.db, reportListing(QString::fromLatin1(report), {}), setupWith());
        const QList<PageDoc> pages = runAll(run);
        QVERIFY2(pages.size() == 1, report);
        int cut = 0;
        for (const PageItem& it : pages.first().items) {
            if (it.kind != PageItem::Text)
                continue;
            const QFontMetricsF m(qfontFor(pages.first().fonts.at(it.font)));
            QVERIFY2(m.horizontalAdvance(it.text) <= it.rect.width(), qPrintable(QString::fromLatin1(report) + it.text));
            QVERIFY(it.rect.right() <= pages.first().size.width());
            const QChar c = it.text.isEmpty() ? QChar() : it.text.at(0);
            const bool run = (c == QLatin1Char('W') || c == QLatin1Char('M')) && it.text.count(c) == it.text.size();
            if (run && it.text.size() < (c == QLatin1Char('W') ? 40 : 128))
                ++cut;
        }
        QVERIFY2(cut >= 2, report);
    }
}

void TestReportRun::customFontFromAndToTheSettings()
{
    test::TestDb t;
    addSongs(t.db, { { "A", "One" } });
    const QString ini = t.ws.file(QStringLiteral("TDPRO97.INI"));
    ReportFontChoice stored { QStringLiteral("Courier New"), 11, 0x0000ff, 700 };
    QVERIFY(writeReportFont(ini, QStringLiteral("PrintMUS:SongsByArtist"), stored));
    QCOMPARE(IniFile(ini).value(QStringLiteral("Fonts"), QStringLiteral("FontNamePrintMUS:SongsByArtist")),
             QStringLiteral("Courier New"));

    ReportSetup s = setupWith();
    s.criteria.ReportCustomFont = true;
    s.iniPath = ini;
    ReportRun run(t.db, reportListing(QStringLiteral("PrintMUS:SongsByArtist"), {}), s);
    QVERIFY(run.start());
    QVERIFY(run.needsFont());
    QCOMPARE(run.fontPreset(), stored);
    QVERIFY(run.step(25));   // waits for the choice
    QCOMPARE(run.recordsProcessed(), 1);
    ReportFontChoice chosen { QStringLiteral("DejaVu Serif"), 14, 0x00ff00, 400 | ReportFontChoice::Italic };
    run.fontChosen(chosen);
    const QList<PageDoc> pages = finishRun(run);
    QCOMPARE(pages.size(), 1);
    for (const PageFont& f : pages.first().fonts) {
        QCOMPARE(f.family, QStringLiteral("DejaVu Serif"));
        QCOMPARE(f.points, 14.0);
        QCOMPARE(f.color, QColor(0, 255, 0));
        QVERIFY(f.italic);
    }
    QCOMPARE(readReportFont(ini, QStringLiteral("PrintMUS:SongsByArtist")), chosen);
    QCOMPARE(readReportFont(ini, QStringLiteral("PrintMUS:SongsByTitle")), ReportFontChoice());

    // A report without custom-font support ignores the choice.
    ReportRun chart(t.db, reportListing(QStringLiteral("PrintMUS:SongsByChart"), {}), s);
    addSongs(t.db, { { "C", "Charted", 0, 5 } });
    QVERIFY(chart.start());
    QVERIFY(!chart.needsFont());
}

void TestReportRun::oneAlbumListsOnlyItsSongs()
{
    test::TestDb t;
    for (qint32 id = 1; id <= 6; ++id) {
        Tunedeck s = test::makeSong(QStringLiteral("Artist"), QStringLiteral("Song %1").arg(id), id, id % 2 ? 5 : 6);
        s.Album = id % 2 ? QStringLiteral("Odd") : QStringLiteral("Even");
        s.TrackNumber = 10 - id;
        QVERIFY(test::addRecord(t.db, s) > 0);
    }
    ReportContext ctx;
    ctx.albumId = 5;
    ReportRun run(t.db, reportListing(QStringLiteral("PrintOneAlbum"), ctx), setupWith());
    const QString text = allText(runAll(run));
    QVERIFY(text.startsWith(QLatin1String("Songs by Album\n")));
    QVERIFY(!text.contains(QLatin1String("Even")));
    const qsizetype s1 = text.indexOf(QLatin1String("Song 1")), s3 = text.indexOf(QLatin1String("Song 3")),
                    s5 = text.indexOf(QLatin1String("Song 5"));
    QVERIFY(s5 > 0 && s3 > s5 && s1 > s3);   // by track within the album
    QCOMPARE(run.recordsProcessed(), 3);
}

void TestReportRun::aReadErrorNamesTheTableAndEndsTheScan()
{
    test::TestDb t;
    {
        Table<Album> albums(t.db);
        TransactionGuard tx(t.db);
        for (int i = 0; i < 600; ++i) {
            albums.rec = Album();
            albums.rec.AlbumID = i + 1;
            albums.rec.Album = QStringLiteral("Album %1").arg(1000 + i);
            albums.rec.Artist = QStringLiteral("Band");
            QCOMPARE(albums.add(), 0);
        }
        QCOMPARE(tx.commit(), 0);
    }
    ReportRun run(t.db, reportListing(QStringLiteral("BriefAlbumsByAlbum"), {}), setupWith());
    QVERIFY(run.start());
    {
        test::RawFile raw(t.db.filePath(TableId::Album));
        QVERIFY(raw.exec(QStringLiteral("ALTER TABLE Album RENAME TO Gone")));
    }
    while (run.step(25)) { }
    QCOMPARE(t.script->numbers(), QList<int> { int(StdMsg::RecordRetrievalError) });
    QVERIFY(t.script->asked().first().text.contains(QLatin1String("Album")));
    QVERIFY(run.recordsProcessed() < 600);
    QCOMPARE(run.response(), ReportRun::Completed);
    QCOMPARE(run.conclude(), ReportRun::Preview);
}

void TestReportRun::criteriaSurviveASettingsReload()
{
    test::TestWorkspace w;
    GlobalSettings g;
    ReportCriteria c;
    c.ReportStyle = QStringLiteral("Brief");
    c.SelectedOrAll = QStringLiteral("Selected");
    c.ReportWithPreview = false;
    c.ReportSelection = QStringLiteral("Ab");
    c.ReportCustomFont = true;
    c.PageStyle = QStringLiteral("Flap");
    LoadGlobalSettings(g, c, w.ws.file(QStringLiteral("TDPRO97.INI")));
    QCOMPARE(c.ReportStyle, QStringLiteral("Standard"));
    QCOMPARE(c.SelectedOrAll, QStringLiteral("All"));
    QVERIFY(c.ReportWithPreview);
    QCOMPARE(c.ReportSelection, QStringLiteral("Ab"));
    QVERIFY(c.ReportCustomFont);
    QCOMPARE(c.PageStyle, QStringLiteral("Flap"));
}

void TestReportRun::previewQuestion()
{
    test::TestWorkspace w;
    for (int a : { Yes, No, Cancel })
        w.script->plan(a);
    QCOMPARE(askPreview(w.messages), std::optional<bool>(true));
    QCOMPARE(askPreview(w.messages), std::optional<bool>(false));
    QCOMPARE(askPreview(w.messages), std::nullopt);
    const Message& m = w.script->asked().first();
    QCOMPARE(m.caption, QStringLiteral("Preview"));
    QCOMPARE(m.text, QStringLiteral("Do you wish to PREVIEW this Report?"));
    QCOMPARE(m.defaultButton, int(Yes));
}

QTEST_MAIN(TestReportRun)
#include "tst_reportrun.moc"

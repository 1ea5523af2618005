// The report windows as the user meets them: the criteria window's rules and what it keeps, a run
// from the criteria to the preview with the cancel answers, a report with nothing to show, the
// category choice closed, and the binder pages window's album look-up.
#include "../../albums/ui/AlbumListTestUtil.h"
#include "../../data/DataTestUtil.h"
#include "FormDriver.h"
#include "TestApp.h"
#include "TestPages.h"
#include "albums/ui/PickerDialog.h"
#include "common/ui/ProgramPrinter.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "data/Records.h"
#include "explorer/ExplorerColumns.h"
#include "reports/ReportChoice.h"
#include "reports/ReportListings.h"
#include "songs/SongBrowseLogic.h"
#include "reports/ui/CDBinderPages.h"
#include "reports/ui/ReportCriteria.h"
#include "reports/ui/ReportRunWindow.h"
#include "reports/ui/ReportStarts.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

void addSongs(Database& db, int count)
{
    Table<Tunedeck> table(db);
    TransactionGuard tx(db);
    QVERIFY(tx.ok());
    for (int i = 1; i <= count; ++i) {
        table.rec = makeSong(QStringLiteral("Artist %1").arg(i, 4, 10, QLatin1Char('0')),
            QStringLiteral("Title %1").arg(i), i);
        QCOMPARE(table.add(), 0);
    }
    QCOMPARE(tx.commit(), 0);
}

// The pages of one copy of the whole listing, run without a window for the program's printer.
int wholeReportPages(AppState& state, const QString& name)
{
    ReportCriteria criteria = state.criteria;
    criteria.ReportWithPreview = true;
    ReportRun run(state.db, reportListing(name, ReportContext()), reportSetup(state, criteria));
    if (!run.start())
        return 0;
    while (run.step(25)) { }
    run.finish();
    run.conclude();
    return run.pageList().count();
}

int pdfPages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), { pdf });
    p.waitForFinished(30000);
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

template <class W> W* child(QWidget* w, const char* name)
{
    return w->findChild<W*>(QLatin1String(name));
}

ReportCriteriaDialog* openCriteria(AppState& state, const QString& noun, Answer<bool>& answer)
{
    openReportCriteria(state, nullptr, noun, answer.answer());
    return qobject_cast<ReportCriteriaDialog*>(shownDialog(QStringLiteral("ReportCriteria")));
}

// A listing started as the menu starts it, through the criteria window answered with `style` and
// the prefix (none: "All"); the run window, once it shows.
ReportRunWindow* startListing(AppState& state, const QString& name, const QString& style, const QString& prefix,
    Answer<Response>& done)
{
    PrintListing(state, nullptr, name, done.answer());
    QDialog* criteria = shownDialog(QStringLiteral("ReportCriteria"));
    if (!criteria)
        return nullptr;
    child<QRadioButton>(criteria, style.toLatin1().constData())->click();
    if (!prefix.isEmpty()) {
        child<QRadioButton>(criteria, "Selected")->click();
        child<QLineEdit>(criteria, "ReportSelection")->setText(prefix);
    }
    child<QPushButton>(criteria, "Ok")->click();
    return qobject_cast<ReportRunWindow*>(shownDialog(QStringLiteral("ReportProgress")));
}

} // namespace

class TestReportWindows : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { dropFormWatchers(); }

    void criteriaOpening_data()
    {
        QTest::addColumn<QString>("selectedOrAll");
        QTest::addColumn<bool>("entryEnabled");
        QTest::newRow("all") << "All" << false;
        QTest::newRow("selected") << "Selected" << true;
        QTest::newRow("anything else reads as all") << "" << false;
    }
    void criteriaOpening()
    {
        QFETCH(QString, selectedOrAll);
        QFETCH(bool, entryEnabled);
        TestApp app;
        app.state.criteria.SelectedOrAll = selectedOrAll;
        app.state.criteria.ReportSelection = QStringLiteral("be");
        Answer<bool> answer;
        ReportCriteriaDialog* d = openCriteria(app.state, QStringLiteral("chart numbers"), answer);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Report Criteria"));
        QCOMPARE(child<QLabel>(d, "Prompt")->text(), QStringLiteral("Select chart numbers that start with:"));
        QCOMPARE(child<QLineEdit>(d, "ReportSelection")->isEnabled(), entryEnabled);
        QCOMPARE(child<QLineEdit>(d, "ReportSelection")->text(), QStringLiteral("be"));
        QCOMPARE(d->choice().SelectedOrAll, entryEnabled ? QStringLiteral("Selected") : QStringLiteral("All"));
        QCOMPARE(d->focusWidget(), child<QRadioButton>(d, "Standard"));
        QVERIFY2(duplicateMnemonics(d).isEmpty(), qPrintable(duplicateMnemonics(d).join(u"; ")));
        d->reject();
        QVERIFY(answer.wait());
    }

    void criteriaIncludeRule()
    {
        TestApp app;
        Answer<bool> answer;
        ReportCriteriaDialog* d = openCriteria(app.state, QStringLiteral("artists"), answer);
        QVERIFY(d);
        auto* entry = child<QLineEdit>(d, "ReportSelection");
        child<QRadioButton>(d, "Selected")->click();
        QVERIFY(entry->isEnabled());
        QTest::keyClicks(entry, QString(40, QLatin1Char('x')));
        QCOMPARE(entry->text().size(), 30);
        child<QRadioButton>(d, "All")->click();
        QVERIFY(!entry->isEnabled());
        QCOMPARE(d->choice().SelectedOrAll, QStringLiteral("All"));
        d->reject();
        QVERIFY(answer.wait());
    }

    // "&Ok" keeps the choice for the next report; Cancel and the close box keep the old values; the
    // binder page range shared with the criteria is never touched.
    void criteriaAnswer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("kept");
        QTest::newRow("ok") << "Ok" << true;
        QTest::newRow("cancel") << "Cancel" << false;
        QTest::newRow("escape") << "escape" << false;
        QTest::newRow("close box") << "close" << false;
    }
    void criteriaAnswer()
    {
        QFETCH(QString, how);
        QFETCH(bool, kept);
        TestApp app;
        app.state.criteria.StartFileNumber = QStringLiteral("10");
        Answer<bool> answer;
        ReportCriteriaDialog* d = openCriteria(app.state, QStringLiteral("artists"), answer);
        QVERIFY(d);
        child<QRadioButton>(d, "Brief")->click();
        child<QCheckBox>(d, "Preview")->click();
        child<QCheckBox>(d, "UseCustomFont")->click();
        child<QRadioButton>(d, "Selected")->click();
        child<QLineEdit>(d, "ReportSelection")->setText(QStringLiteral("mi"));
        // Another report changes the range meanwhile.
        app.state.criteria.StartFileNumber = QStringLiteral("20");
        if (how == QLatin1String("escape"))
            QTest::keyClick(d, Qt::Key_Escape);
        else if (how == QLatin1String("close"))
            d->close();
        else
            child<QPushButton>(d, how.toLatin1().constData())->click();
        QVERIFY(answer.wait());
        QCOMPARE(answer.value(), kept);
        const ReportCriteria& c = app.state.criteria;
        QCOMPARE(c.ReportStyle, kept ? QStringLiteral("Brief") : QStringLiteral("Standard"));
        QCOMPARE(c.ReportWithPreview, !kept);
        QCOMPARE(c.ReportCustomFont, kept);
        QCOMPARE(c.SelectedOrAll, kept ? QStringLiteral("Selected") : QStringLiteral("All"));
        QCOMPARE(c.ReportSelection, kept ? QStringLiteral("mi") : QString());
        QCOMPARE(c.StartFileNumber, QStringLiteral("20"));
    }

    // A run from the criteria to the preview; "Cancel" pressed half-way with the planned answers.
    void runToPreview_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("expected"); // "all" pages, "part" of them, or "none" shown
        QTest::addColumn<int>("perCycle");
        QTest::newRow("no cancel") << "Standard" << QList<int>() << "all" << 25;
        QTest::newRow("no cancel, brief") << "Brief" << QList<int>() << "all" << 25;
        QTest::newRow("cancel, no: goes on") << "Standard" << QList<int> { No } << "all" << 25;
        QTest::newRow("cancel, yes, ignore: finishes a record at a time")
            << "Standard" << QList<int> { Yes, Ignore } << "all" << 1;
        QTest::newRow("cancel, yes, yes: previews what exists") << "Standard" << QList<int> { Yes, Yes } << "part" << 1;
        QTest::newRow("escape, yes, no: nothing shown") << "Standard" << QList<int> { Yes, No } << "none" << 1;
    }
    void runToPreview()
    {
        QFETCH(QString, style);
        QFETCH(QList<int>, answers);
        QFETCH(QString, expected);
        QFETCH(int, perCycle);
        TestApp app;
        addSongs(app.db, 400);
        const int allPages = wholeReportPages(app.state,
            style == QLatin1String("Brief") ? QStringLiteral("BriefMUS:SongsByArtist") : QStringLiteral("PrintMUS:SongsByArtist"));
        QVERIFY(allPages > 3);

        for (int a : answers)
            app.script->plan(a);
        Answer<Response> done;
        QPointer<ReportRunWindow> w = startListing(app.state, QStringLiteral("PrintMUS:SongsByArtist"), style, {}, done);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Generating Report"));
        QCOMPARE(w->percentText(), QStringLiteral("0% Completed"));
        QVERIFY(w->lineText().isEmpty());
        QVERIFY(!w->barVisible());
        QCOMPARE(w->run().definition().name,
            style == QLatin1String("Brief") ? QStringLiteral("BriefMUS:SongsByArtist") : QStringLiteral("PrintMUS:SongsByArtist"));
        QList<int> shown;
        bool pressed = answers.isEmpty();
        connect(w, &ReportRunWindow::percentShown, w, [&](int p) {
            shown << p;
            if (!pressed && p >= 50) {
                pressed = true;
                QVERIFY(w->barVisible());
                if (QString::fromLatin1(QTest::currentDataTag()).startsWith(QLatin1String("escape")))
                    QMetaObject::invokeMethod(w, [w] { QTest::keyClick(w, Qt::Key_Escape); }, Qt::QueuedConnection);
                else
                    QMetaObject::invokeMethod(child<QPushButton>(w, "Cancel"), "click", Qt::QueuedConnection);
            }
        });
        QDialog* preview = nullptr;
        QVERIFY(QTest::qWaitFor(
            [&] { return (preview = shownDialog(QStringLiteral("ReportPreview"))) || done.arrived(); }, 10000));
        QCOMPARE(app.script->pending(), 0);
        // Percent shown only when it changed, never past 100.
        for (int i = 1; i < shown.size(); ++i)
            QVERIFY(shown.at(i) > shown.at(i - 1));
        QVERIFY(shown.isEmpty() || shown.last() <= 100);
        if (!answers.isEmpty()) {
            QCOMPARE(app.script->asked().first().caption, QStringLiteral("Question"));
            QCOMPARE(app.script->asked().first().text, QStringLiteral("Are you sure you want to CANCEL this Report?"));
            QCOMPARE(app.script->asked().first().defaultButton, int(No));
        }
        if (answers.size() > 1) {
            const Message& second = app.script->asked().at(1);
            QCOMPARE(second.text, QStringLiteral("Report Cancellation Requested!| |Preview Report generated so far?"));
            QCOMPARE(second.buttons, Yes | No | Ignore);
            QCOMPARE(second.defaultButton, int(No));
        }
        QCOMPARE(app.script->asked().size(), answers.size());
        if (expected == QLatin1String("none")) {
            QVERIFY(!preview);
            QVERIFY(done.wait());
            QCOMPARE(done.value(), Response::Cancelled);
            return;
        }
        QVERIFY(preview);
        QVERIFY(w);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->run().sliceSize(), perCycle);
        const int pages = w->run().pageList().count();
        if (expected == QLatin1String("all"))
            QCOMPARE(pages, allPages);
        else
            QVERIFY2(pages > 0 && pages < allPages, qPrintable(QString::number(pages)));
        preview->reject();
        QVERIFY(done.wait());
        QCOMPARE(done.value(), Response::Cancelled);
        QTRY_VERIFY(!w);
    }

    // Without preview the pages go to the program's printer: straight as they finish, or from the
    // page list repeated when the copies are collated (and then never copied twice over); the
    // printer keeps its copy count. Without a printer the report stops with a message. A run
    // cancelled half-way prints nothing at all.
    void printWithoutPreview_data()
    {
        QTest::addColumn<bool>("printer");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("one copy, straight to the printer") << true << 1 << false << false;
        QTest::newRow("two collated copies from the page list") << true << 2 << true << false;
        QTest::newRow("no printer") << false << 1 << false << false;
        QTest::newRow("cancelled half-way: nothing printed") << true << 1 << false << true;
    }
    void printWithoutPreview()
    {
        QFETCH(bool, printer);
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(bool, cancel);
        if (!havePdfTools())
            QSKIP("pdfinfo (poppler-utils) is needed: scripts/deps.sh installs it");
        TestApp app;
        addSongs(app.db, 200);
        ProgramPrinter programPrinter;
        QPrinter& p = programPrinter.printer();
        const QString pdf = app.ws.path() + QStringLiteral("/printed.pdf");
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        p.setCopyCount(copies);
        p.setCollateCopies(collate);
        if (printer)
            app.state.printer = &programPrinter;
        app.state.criteria.ReportWithPreview = false;
        const int allPages = wholeReportPages(app.state, QStringLiteral("PrintMUS:SongsByArtist"));
        QVERIFY(allPages > 1);
        Answer<Response> done;
        QPointer<ReportRunWindow> w
            = startListing(app.state, QStringLiteral("PrintMUS:SongsByArtist"), QStringLiteral("Standard"), {}, done);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Printing Report"));
        bool pressed = false;
        if (cancel) {
            app.script->plan(Yes);
            connect(w, &ReportRunWindow::percentShown, w, [&](int percent) {
                if (!pressed && percent >= 50) {
                    pressed = true;
                    QMetaObject::invokeMethod(child<QPushButton>(w, "Cancel"), "click", Qt::QueuedConnection);
                }
            });
        }
        QVERIFY(done.wait());
        QVERIFY(!shownDialog(QStringLiteral("ReportPreview")));
        if (cancel) {
            QCOMPARE(done.value(), Response::Cancelled);
            QCOMPARE(app.script->pending(), 0);
            QVERIFY2(!QFile::exists(pdf), "a cancelled run prints no page");
            return;
        }
        if (!printer) {
            QCOMPARE(done.value(), Response::Cancelled);
            QCOMPARE(app.script->asked().size(), 1);
            QCOMPARE(app.script->asked().first().caption, QStringLiteral("Print"));
            QCOMPARE(app.script->asked().first().text, QStringLiteral("No printer is available.|Choose a printer in Print Setup."));
            QTRY_VERIFY(!w);
            return;
        }
        QCOMPARE(done.value(), Response::Completed);
        QVERIFY(app.script->asked().isEmpty());
        QCOMPARE(pdfPages(pdf), allPages * copies);
        QCOMPARE(p.copyCount(), copies);
    }

    // The custom font: the dialog is preset from the report's "Fonts" keys; a confirmed choice is
    // written back (the colour, which the dialog does not offer, kept), a cancelled one leaves them.
    void customFont_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }
    void customFont()
    {
        QFETCH(bool, confirm);
        TestApp app;
        addSongs(app.db, 20);
        const QString ini = settingsIniPath();
        const QString fonts = QStringLiteral("Fonts");
        ini::writeString(ini, fonts, QStringLiteral("FontNamePrintMUS:SongsByTitle"), QStringLiteral("DejaVu Serif"));
        ini::writeString(ini, fonts, QStringLiteral("FontSizePrintMUS:SongsByTitle"), QStringLiteral("14"));
        ini::writeString(ini, fonts, QStringLiteral("FontColorPrintMUS:SongsByTitle"), QStringLiteral("255"));
        ini::writeString(ini, fonts, QStringLiteral("FontStylePrintMUS:SongsByTitle"), QStringLiteral("400"));
        app.state.criteria.ReportCustomFont = true;
        bool asked = false;
        onDialog(QStringLiteral("SelectCustomFont"), [&](QDialog* d) {
            asked = true;
            auto* f = qobject_cast<QFontDialog*>(d);
            QVERIFY(f);
            QCOMPARE(f->windowTitle(), QStringLiteral("Select Custom Font for Report"));
            QCOMPARE(f->currentFont().family(), QStringLiteral("DejaVu Serif"));
            QCOMPARE(f->currentFont().pointSize(), 14);
            if (!confirm)
                return f->reject();
            QFont chosen = f->currentFont();
            chosen.setPointSize(11);
            chosen.setItalic(true);
            f->setCurrentFont(chosen);
            f->accept();
        });
        Answer<Response> done;
        QVERIFY(startListing(app.state, QStringLiteral("PrintMUS:SongsByTitle"), QStringLiteral("Standard"), {}, done));
        QDialog* preview = nullptr;
        QVERIFY(QTest::qWaitFor([&] { return (preview = shownDialog(QStringLiteral("ReportPreview"))); }, 5000));
        QVERIFY(asked);
        preview->reject();
        QVERIFY(done.wait());
        QCOMPARE(ini::readString(ini, fonts, QStringLiteral("FontSizePrintMUS:SongsByTitle")),
            confirm ? QStringLiteral("11") : QStringLiteral("14"));
        QCOMPARE(ini::readInt(ini, fonts, QStringLiteral("FontStylePrintMUS:SongsByTitle"), 0) & 0x1000,
            confirm ? 0x1000 : 0);
        QCOMPARE(ini::readString(ini, fonts, QStringLiteral("FontColorPrintMUS:SongsByTitle")), QStringLiteral("255"));
    }

    // Each tab of the song list prints its own listing, and every column of the song explorer one
    // that exists.
    void everySongOrderPrintsAListing()
    {
        const QStringList names = reportListingNames();
        QSet<QString> byTab;
        for (int t = 0; t < kSongTabCount; ++t) {
            const QString report = songReportFor(songTabInfo(SongTab(t)).key);
            QVERIFY2(names.contains(report), qPrintable(report));
            byTab.insert(report);
        }
        QCOMPARE(byTab.size(), kSongTabCount);
        for (const ExplorerColumn& c : explorerColumns(ExplorerKind::Songs))
            QVERIFY2(names.contains(songReportFor(c.field)), qPrintable(c.field));
        QCOMPARE(songReportFor(QStringLiteral("MUS:BeatsPerMinute")), songReportFor(QStringLiteral("MUS:KeyBeatsPerMinute")));
    }

    // Two reports run side by side, each to its own preview, and the window they were started
    // from stays usable.
    void twoReportsAtOnce()
    {
        TestApp app;
        addSongs(app.db, 300);
        QWidget list;
        list.show();
        Answer<Response> first;
        Answer<Response> second;
        PrintListing(app.state, &list, QStringLiteral("PrintMUS:SongsByTitle"), first.answer());
        QDialog* criteria = shownDialog(QStringLiteral("ReportCriteria"));
        QVERIFY(criteria);
        QVERIFY(list.isEnabled());
        child<QPushButton>(criteria, "Ok")->click();
        QPointer<ReportRunWindow> one = qobject_cast<ReportRunWindow*>(shownDialog(QStringLiteral("ReportProgress")));
        QVERIFY(one);
        QVERIFY(startListing(app.state, QStringLiteral("PrintMUS:SongsByArtist"), QStringLiteral("Brief"), {}, second));
        QVERIFY(list.isEnabled());
        QList<QDialog*> previews;
        QVERIFY(QTest::qWaitFor([&] {
            previews.clear();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->objectName() == QLatin1String("ReportPreview"))
                    previews << qobject_cast<QDialog*>(w);
            return previews.size() == 2;
        }, 10000));
        QVERIFY(list.isEnabled());
        for (QDialog* d : previews)
            d->reject();
        QVERIFY(first.wait());
        QVERIFY(second.wait());
    }

    // The one-album report asks whether to preview: the answer holds for this run only, and
    // "Cancel" ends the report before anything runs.
    void oneAlbumPreviewQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("then"); // the window or message that follows, empty for none
        QTest::newRow("yes: preview") << int(Yes) << "ReportPreview";
        QTest::newRow("no: straight to the printer") << int(No) << "Print";
        QTest::newRow("cancel: nothing") << int(Cancel) << "";
    }
    void oneAlbumPreviewQuestion()
    {
        QFETCH(int, answer);
        QFETCH(QString, then);
        TestApp app;
        storeAlbum(app.db, QStringLiteral("Miles Davis"), QStringLiteral("Kind of Blue"));
        {
            Table<Tunedeck> songs(app.db);
            songs.rec = makeSong(QStringLiteral("Miles Davis"), QStringLiteral("So What"), 1, 1);
            QCOMPARE(songs.add(), 0);
        }
        Album album;
        album.AlbumID = 1;
        app.script->plan(answer);
        Answer<Response> done;
        PrintOneAlbum(app.state, nullptr, album, done.answer());
        QCOMPARE(app.script->asked().first().caption, QStringLiteral("Preview"));
        QCOMPARE(app.script->asked().first().text, QStringLiteral("Do you wish to PREVIEW this Report?"));
        QCOMPARE(app.script->asked().first().defaultButton, int(Yes));
        QDialog* preview = nullptr;
        if (then == QLatin1String("ReportPreview")) {
            QVERIFY(QTest::qWaitFor([&] { return (preview = shownDialog(then)); }, 5000));
            preview->reject();
        }
        QVERIFY(done.wait());
        QCOMPARE(done.value(), Response::Cancelled);
        QCOMPARE(app.script->captions().mid(1), then == QLatin1String("Print") ? QStringList { then } : QStringList());
        QVERIFY(app.state.criteria.ReportWithPreview);
    }

    // A prefix no song starts with: the scan completes with no page.
    void nothingToPreview()
    {
        TestApp app;
        addSongs(app.db, 30);
        Answer<Response> done;
        QVERIFY(startListing(app.state, QStringLiteral("PrintMUS:SongsByTitle"), QStringLiteral("Standard"),
            QStringLiteral("zz"), done));
        QVERIFY(done.wait());
        QCOMPARE(done.value(), Response::Cancelled);
        QCOMPARE(app.script->asked().size(), 1);
        QCOMPARE(app.script->asked().first().caption, QStringLiteral("NOTE..."));
        QCOMPARE(app.script->asked().first().text, QStringLiteral("Nothing to Preview."));
        QVERIFY(!shownDialog(QStringLiteral("ReportPreview")));
        // The prefix is offered again to the next report.
        QCOMPARE(app.state.criteria.ReportSelection, QStringLiteral("zz"));
    }

    // Closing the category choice ends the category report: no criteria, no message, no run.
    void categoryChoiceClosed()
    {
        TestApp app;
        addSongs(app.db, 5);
        Answer<Response> done;
        onDialog(QStringLiteral("BrowseCategories"), [](QDialog* d) { d->reject(); });
        PrintListing(app.state, nullptr, QStringLiteral("PrintByCategory"), done.answer());
        QVERIFY(done.wait());
        QCOMPARE(done.value(), Response::Cancelled);
        QVERIFY(!shownDialog(QStringLiteral("ReportCriteria")));
        QVERIFY(!shownDialog(QStringLiteral("ReportProgress")));
        QVERIFY(app.script->asked().isEmpty());
    }

    // The look-up of either end fills its entry with the picked album's file number; "&OK" keeps
    // style and range for the next time, "Cancel" leaves them.
    void binderPagesLookUp_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("close");
        QTest::newRow("start, ok") << "LookUpStart" << "StartFileNumber" << "OK";
        QTest::newRow("end, cancel") << "LookUpEnd" << "EndFileNumber" << "Cancel";
    }
    void binderPagesLookUp()
    {
        QFETCH(QString, button);
        QFETCH(QString, entry);
        QFETCH(QString, close);
        TestApp app;
        storeAlbum(app.db, QStringLiteral("Miles Davis"), QStringLiteral("Kind of Blue"), 0, QStringLiteral("C-017"));
        app.state.criteria.StartFileNumber = QStringLiteral("A");
        app.state.criteria.EndFileNumber = QStringLiteral("B");
        CDBinderPages(app.state, nullptr);
        QDialog* d = shownDialog(QStringLiteral("CDBinderPages"));
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("CD Binder Pages"));
        QVERIFY2(duplicateMnemonics(d).isEmpty(), qPrintable(duplicateMnemonics(d).join(u"; ")));
        QVERIFY(child<QRadioButton>(d, "Binder")->isChecked());
        QCOMPARE(child<QLineEdit>(d, "StartFileNumber")->text(), QStringLiteral("A"));
        child<QRadioButton>(d, "Flap")->click();
        child<QToolButton>(d, button.toLatin1().constData())->click();
        auto* picker = qobject_cast<PickerDialog*>(shownDialog(QStringLiteral("SelectAlbum")));
        QVERIFY(picker);
        QVERIFY(!d->isEnabled());
        child<QPushButton>(picker, "Select")->click();
        QTRY_VERIFY(d->isEnabled());
        QCOMPARE(child<QLineEdit>(d, entry.toLatin1().constData())->text(), QStringLiteral("C-017"));
        QPointer<QDialog> guard(d);
        child<QPushButton>(d, close.toLatin1().constData())->click();
        QTRY_VERIFY(!guard);
        // The range "C-017" to "B" holds no album: a run started by "&OK" ends without a page.
        QTRY_VERIFY(!shownDialog(QStringLiteral("ReportProgress")));
        QVERIFY(!shownDialog(QStringLiteral("ReportPreview")));
        const bool ok = close == QLatin1String("OK");
        QCOMPARE(app.state.criteria.PageStyle, ok ? QStringLiteral("Flap") : QStringLiteral("Binder"));
        QCOMPARE(app.state.criteria.StartFileNumber, ok ? QStringLiteral("C-017") : QStringLiteral("A"));
        QCOMPARE(app.state.criteria.EndFileNumber, QStringLiteral("B"));
    }
};

QTEST_MAIN(TestReportWindows)
#include "tst_reportwindows.moc"

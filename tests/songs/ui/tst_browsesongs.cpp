// The song list driven as a user would: opening with its caption and tabs, the locator typed on the
// list, the highlight kept across tabs, ranges chosen through the pickers, the search and its reset,
// a search that does not read, add and delete through the song form, the popup menu, dragging a
// song out, and what the list remembers when it closes.

#include "FormDriver.h"
#include "TestApp.h"

#include "common/AppState.h"
#include "common/ui/BrowseList.h"
#include "common/ui/PagedTableModel.h"
#include "core/ConfigPaths.h"
#include "core/FilterQuery.h"
#include "core/IniFile.h"
#include "data/Database.h"
#include "data/TableHandle.h"
#include "songs/SongBrowseLogic.h"
#include "setup/ui/QueryWizardDialog.h"
#include "songs/ui/BrowseSongs.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

QString titleOf(const PageRow* r)
{
    return r ? r->row.at(tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("Title"))).toString() : QString();
}

QStringList shownTitles(BrowseSongsWindow& w)
{
    QStringList out;
    for (const PageRow& r : w.browser().list().rows())
        out << titleOf(&r);
    return out;
}

QPushButton* buttonOf(QWidget& w, const char* name)
{
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
}

QString searchBeginningBe()
{
    return queryCondition(QStringLiteral("MUS:Artist"), FilterKind::Text, 7, QStringLiteral("be"));
}

// The query wizard, once it shows: the expression typed by hand, then "Finish".
void finishQueryWith(const QString& expression)
{
    onDialog(QStringLiteral("QueryWizard"), [expression](QDialog* d) {
        auto* manual = d->findChild<QPushButton*>(QStringLiteral("manual"));
        if (!manual->isChecked())
            manual->click();
        d->findChild<QPlainTextEdit*>(QStringLiteral("expression"))->setPlainText(expression);
        d->findChild<QPushButton*>(QStringLiteral("finish"))->click();
    });
}

} // namespace

class TstBrowseSongs : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestApp> app_;
    ScriptedMessages* script_ = nullptr;
    Database* db_ = nullptr;
    AppState* state_ = nullptr;

    void addSong(const QString& artist, const QString& title, const QString& media = QStringLiteral("CD"),
                 int chart = 0, int category = 0)
    {
        Table<Tunedeck> t(*db_);
        t.rec.Artist = artist;
        t.rec.Title = title;
        t.rec.Media = media;
        t.rec.ChartNumber = chart;
        t.rec.CategoryID = category;
        t.rec.ID = int(t.records()) + 1;
        QCOMPARE(t.add(), 0);
    }

    void addSongs()
    {
        {
            Table<Media> m(*db_);
            for (const char* name : {"CD", "LP", "MC"}) {
                m.rec.Media = QString::fromLatin1(name);
                QCOMPARE(m.add(), 0);
            }
        }
        addSong("Beatles", "Help", "CD", 3);
        addSong("Beach Boys", "Surfin USA", "cd");
        addSong("Bee Gees", "Stayin Alive", "LP", 7);
        addSong("Abba", "Waterloo", "LP");
        addSong("Doors", "Break On Through", "CD", 1);
        addSong("Beck", "Beautiful Way", "CD");
        addSong("Blondie", "Beast", "CD");
        addSong("Clash", "London Calling", "MC", 2);
    }

    std::unique_ptr<BrowseSongsWindow> open()
    {
        auto w = std::make_unique<BrowseSongsWindow>(*state_);
        w->resize(900, 500);
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("window not active");
        w->list()->setFocus();
        return w;
    }

    void typeOnList(BrowseSongsWindow& w, const QString& text)
    {
        QTest::keyClicks(w.list()->view(), text);
    }

private slots:
    void init()
    {
        app_ = std::make_unique<TestApp>();
        script_ = app_->script.get();
        db_ = &app_->db;
        state_ = &app_->state;
    }
    void cleanup()
    {
        dropFormWatchers();
        app_.reset();
    }

    void opensWithCaptionTabsAndButtons()
    {
        addSongs();
        state_->settings.UDKPrompt = QStringLiteral("Catalogue Number");
        auto w = open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Songs - 8 entries"));
        QStringList tabs;
        for (int i = 0; i < w->tabs()->count(); ++i)
            tabs << w->tabs()->tabText(i);
        QCOMPARE(tabs, QStringList({"By Artist", "By Title", "By Album", "By Media", "By Category", "By Chart #",
                                    "By BPM", "By Catalogue"}));
        QStringList buttons;
        for (const char* n : {"Add", "Copy", "Change", "Delete", "Search", "ResetSearch", "Import", "Export", "Print",
                              "Close"})
            buttons << buttonOf(*w, n)->text();
        QCOMPARE(buttons, QStringList({"&Add", "Cop&y", "&Change", "&Delete", "&Search", "Reset Search", "&Import",
                                       "&Export", "&Print", "Cl&ose"}));
        for (const char* n : {"Import", "Export", "Print", "ResetSearch"})
            QVERIFY2(!buttonOf(*w, n)->isEnabled(), n);
        QCOMPARE(w->list()->view()->toolTip(), QStringLiteral("Right-Click for Options"));
        QVERIFY(w->findChild<QLabel*>() != nullptr);
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Waterloo"));
        // Only what one page needs is in memory, and the header reads as designed.
        QCOMPARE(w->list()->view()->model()->headerData(6, Qt::Horizontal).toString(), QStringLiteral("Time"));
        QVERIFY(w->browser().list().rowCount() <= w->browser().list().pageSize());
        QAbstractItemModelTester tester(w->list()->view()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTest::keyClick(w->list()->view(), Qt::Key_End);
        QTest::keyClick(w->list()->view(), Qt::Key_Home);
    }

    void locatorOnTitles()
    {
        addSongs();
        auto w = open();
        w->tabs()->setCurrentIndex(int(SongTab::ByTitle));
        typeOnList(*w, QStringLiteral("BEA"));
        QCOMPARE(w->locatorDisplay(), QStringLiteral("BEA"));
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Beast"));
        QTest::keyClick(w->list()->view(), Qt::Key_U);
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Beautiful Way"));
        QTest::keyClick(w->list()->view(), Qt::Key_Backspace);
        QTest::keyClick(w->list()->view(), Qt::Key_Backspace);
        QCOMPARE(w->locatorDisplay(), QStringLiteral("BE"));
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Beast"));
        // Another order has its own locator text; coming back brings this one back.
        w->tabs()->setCurrentIndex(int(SongTab::ByArtist));
        QCOMPARE(w->locatorDisplay(), QString());
        typeOnList(*w, QStringLiteral("d"));
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Break On Through"));
        w->tabs()->setCurrentIndex(int(SongTab::ByTitle));
        QCOMPARE(w->locatorDisplay(), QStringLiteral("BE"));
        // A number order reads the text as a number.
        w->tabs()->setCurrentIndex(int(SongTab::ByChart));
        typeOnList(*w, QStringLiteral("3"));
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Help"));
    }

    void highlightKeptAcrossTabs()
    {
        addSongs();
        auto w = open();
        QTest::keyClick(w->list()->view(), Qt::Key_Down);
        QTest::keyClick(w->list()->view(), Qt::Key_Down);
        const QString song = titleOf(w->browser().list().highlighted());
        QCOMPARE(song, QStringLiteral("Help"));   // Abba, Beach Boys, then Beatles
        w->tabs()->setCurrentIndex(int(SongTab::ByTitle));
        QCOMPARE(titleOf(w->browser().list().highlighted()), song);
        // Not on the chart tab? Then the nearest song; "Help" has chart 3 and stays.
        w->tabs()->setCurrentIndex(int(SongTab::ByChart));
        QCOMPARE(titleOf(w->browser().list().highlighted()), song);
        QCOMPARE(shownTitles(*w), QStringList({"Break On Through", "London Calling", "Help", "Stayin Alive"}));
    }

    void rangesThroughThePickers()
    {
        addSongs();
        auto w = open();
        w->tabs()->setCurrentIndex(int(SongTab::ByMedia));
        QPushButton* media = buttonOf(*w, "SelectMedia");
        QVERIFY(media->isVisible() && media->isEnabled());
        QVERIFY(!buttonOf(*w, "SelectCategory")->isVisible());
        // Until a media is chosen the tab says that one is needed.
        auto* chosen = w->findChild<QLabel*>(QStringLiteral("ChosenRange"));
        QVERIFY(chosen->isVisible());
        QCOMPARE(chosen->text(), QStringLiteral("No media chosen: use Select Media"));
        QVERIFY(duplicateMnemonics(w.get()).isEmpty());
        // The picker blocks only the list; "CD" is its first row.
        onDialog(QStringLiteral("BrowseMedia"), [&](QDialog* d) {
            QVERIFY(!w->isEnabled());
            d->findChild<QPushButton*>(QStringLiteral("Select"))->click();
        });
        QTest::mouseClick(media, Qt::LeftButton);
        QTRY_VERIFY(w->isEnabled());
        QCOMPARE(chosen->text(), QStringLiteral("Media: CD"));
        QStringList got = shownTitles(*w);
        got.sort();
        QCOMPARE(got, QStringList({"Beast", "Beautiful Way", "Break On Through", "Help", "Surfin USA"}));
        // Nothing chosen in the category list: the range stays as it was (no category, no songs).
        w->tabs()->setCurrentIndex(int(SongTab::ByCategory));
        QCOMPARE(chosen->text(), QStringLiteral("No category chosen: use Select Category"));
        QVERIFY(duplicateMnemonics(w.get()).isEmpty());
        onDialog(QStringLiteral("BrowseCategories"),
                 [](QDialog* d) { d->findChild<QPushButton*>(QStringLiteral("Close"))->click(); });
        QTest::mouseClick(buttonOf(*w, "SelectCategory"), Qt::LeftButton);
        QTRY_VERIFY(w->isEnabled());
        QVERIFY(shownTitles(*w).isEmpty());
        QVERIFY(!buttonOf(*w, "Change")->isEnabled());
        // Back on the media tab its choice shows again.
        w->tabs()->setCurrentIndex(int(SongTab::ByMedia));
        QCOMPARE(chosen->text(), QStringLiteral("Media: CD"));
    }

    void searchAndReset()
    {
        addSongs();
        auto w = open();
        QPushButton* reset = buttonOf(*w, "ResetSearch");
        QVERIFY(buttonOf(*w, "Search")->isEnabled());
        int fields = 0;
        onDialog(QStringLiteral("QueryWizard"),
                 [&](QDialog* d) { fields = d->findChild<QComboBox*>(QStringLiteral("field"))->count(); });
        finishQueryWith(searchBeginningBe());
        QTest::mouseClick(buttonOf(*w, "Search"), Qt::LeftButton);
        QTRY_COMPARE(shownTitles(*w), QStringList({"Surfin USA", "Help", "Beautiful Way", "Stayin Alive"}));
        QCOMPARE(fields, 24);
        QVERIFY(reset->isEnabled());
        // The search is joined to the tab's condition.
        w->tabs()->setCurrentIndex(int(SongTab::ByChart));
        QCOMPARE(shownTitles(*w), QStringList({"Help", "Stayin Alive"}));
        // The wizard is offered the current search.
        QString offered;
        onDialog(QStringLiteral("QueryWizard"), [&](QDialog* d) {
            offered = static_cast<QueryWizardDialog*>(d)->expressionText();
            d->reject();
        });
        QTest::mouseClick(buttonOf(*w, "Search"), Qt::LeftButton);
        QTRY_VERIFY(w->isEnabled());
        QVERIFY(offered.contains(QLatin1String("MUS:Artist")));
        QTest::mouseClick(reset, Qt::LeftButton);
        QVERIFY(!reset->isEnabled());
        QCOMPARE(shownTitles(*w).size(), 4);
        w->tabs()->setCurrentIndex(int(SongTab::ByArtist));
        QCOMPARE(shownTitles(*w).size(), 8);
    }

    void searchKeepsTheHighlightedSong()
    {
        addSongs();
        auto w = open();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(w->list()->view(), Qt::Key_Down);
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Beautiful Way")); // Beck
        finishQueryWith(searchBeginningBe());
        QTest::mouseClick(buttonOf(*w, "Search"), Qt::LeftButton);
        QTRY_VERIFY(w->browser().searchActive());
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Beautiful Way"));
        // A song the search leaves out: the nearest one that it keeps.
        QTest::mouseClick(buttonOf(*w, "ResetSearch"), Qt::LeftButton);
        QTest::keyClick(w->list()->view(), Qt::Key_Home);
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Waterloo")); // Abba
        finishQueryWith(searchBeginningBe());
        QTest::mouseClick(buttonOf(*w, "Search"), Qt::LeftButton);
        QTRY_VERIFY(w->browser().searchActive());
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Surfin USA")); // Beach Boys
    }

    void reopenedSearchShowsWhatWasTyped()
    {
        addSongs();
        auto w = open();
        onDialog(QStringLiteral("QueryWizard"), [](QDialog* d) {
            auto* field = d->findChild<QComboBox*>(QStringLiteral("field"));
            field->setCurrentIndex(field->findText(QStringLiteral("Artist")));
            auto* op = d->findChild<QComboBox*>(QStringLiteral("operation"));
            op->setCurrentIndex(op->findText(QStringLiteral("Begins With")));
            d->findChild<QLineEdit*>(QStringLiteral("value"))->setText(QStringLiteral("be"));
            d->findChild<QPushButton*>(QStringLiteral("finish"))->click();
        });
        QTest::mouseClick(buttonOf(*w, "Search"), Qt::LeftButton);
        QTRY_COMPARE(shownTitles(*w).size(), 4);
        QList<QueryCondition> shown;
        onDialog(QStringLiteral("QueryWizard"), [&](QDialog* d) {
            shown = static_cast<QueryWizardDialog*>(d)->conditions();
            d->reject();
        });
        QTest::mouseClick(buttonOf(*w, "Search"), Qt::LeftButton);
        QTRY_COMPARE(shown.size(), 1);
        QCOMPARE(shown.first().value, QStringLiteral("be")); // not "BE", the stored form
        QCOMPARE(shown.first().field, QStringLiteral("MUS:Artist"));
    }

    void laterWindowsThroughTheEntryTable()
    {
        addSongs();
        QWidget* importCaller = nullptr;
        WindowEntries::Done finishImport;
        state_->entries.importSongs = [&](AppState&, QWidget* caller, WindowEntries::Done done) {
            importCaller = caller;
            finishImport = std::move(done);
        };
        auto w = open();
        // Filled entries enable their buttons; the others stay off.
        QVERIFY(buttonOf(*w, "Import")->isEnabled());
        QVERIFY(!buttonOf(*w, "Export")->isEnabled());
        QVERIFY(!buttonOf(*w, "Print")->isEnabled());
        QTest::mouseClick(buttonOf(*w, "Import"), Qt::LeftButton);
        QCOMPARE(importCaller, w.get());
        // Songs come in while the import runs; its answer makes the list read them.
        addSong("Zappa", "Peaches");
        finishImport(Response::Completed);
        QCOMPARE(w->windowTitle(), QStringLiteral("Songs - 9 entries"));
        QCOMPARE(shownTitles(*w).size(), 9);
    }

    void unreadableSearchIsReported()
    {
        addSongs();
        auto w = open();
        // A search the list cannot read (the wizard refuses such text; a saved one may be stale).
        w->browser().setSearch(QStringLiteral("MUS:Artist = = 'x'"));
        w->tabs()->setCurrentIndex(int(SongTab::ByTitle));
        QCOMPARE(script_->numbers(), QList<int>({36}));
        QVERIFY(script_->asked().first().text.contains(QLatin1String("Filter and Range Limits ignored")));
        QCOMPARE(shownTitles(*w).size(), 8);
        QVERIFY(!buttonOf(*w, "ResetSearch")->isEnabled());
    }

    void deleteKeyDeletesTheHighlightedSong()
    {
        addSongs();
        auto w = open();
        QTest::keyClick(w->list()->view(), Qt::Key_Down);
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Surfin USA"));
        script_->plan(Ok);
        QTest::keyClick(w->list()->view(), Qt::Key_Delete);
        QCOMPARE(script_->numbers(), QList<int>({32}));
        QCOMPARE(w->windowTitle(), QStringLiteral("Songs - 7 entries"));
        QVERIFY(!shownTitles(*w).contains(QStringLiteral("Surfin USA")));
        QCOMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Help"));
        // Cancel keeps it.
        script_->plan(Cancel);
        QTest::keyClick(w->list()->view(), Qt::Key_Delete);
        QCOMPARE(shownTitles(*w).size(), 7);
    }

    void insertKeyAddsAndHighlightsTheNewSong()
    {
        addSongs();
        state_->settings.AddMode = QStringLiteral("1");
        state_->settings.AutoAddToAlbums = QString();
        auto w = open();
        onDialog(QStringLiteral("UpdateSong"), [](QDialog* form) {
            form->findChild<QLineEdit*>(QStringLiteral("Artist"))->setText(QStringLiteral("Zappa"));
            form->findChild<QLineEdit*>(QStringLiteral("Title"))->setText(QStringLiteral("Peaches"));
            QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
        });
        QTest::keyClick(w->list()->view(), Qt::Key_Insert);
        QTRY_COMPARE(titleOf(w->browser().list().highlighted()), QStringLiteral("Peaches"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Songs - 9 entries"));
    }

    void popupMenu()
    {
        auto w = open();
        QStringList texts;
        QList<bool> enabled;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* a : menu->actions()) {
                texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
                enabled << a->isEnabled();
            }
            menu->close();
        });
        QTest::mouseClick(w->list()->view()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        QCOMPARE(texts, QStringList({"&Add", "&Change", "&Delete", "-", "&Print", "-", "&Search", "-", "&Import",
                                     "&Export"}));
        // An empty list: change and delete off; print, search, import and export follow their buttons
        // (the search is always there; the others wait for their windows).
        QCOMPARE(enabled, QList<bool>({true, false, false, true, false, true, true, true, false, false}));
    }

    void dragCarriesTheSongId()
    {
        addSongs();
        auto w = open();
        QAbstractItemModel* m = w->list()->view()->model();
        QVERIFY(m->flags(m->index(0, 0)) & Qt::ItemIsDragEnabled);
        std::unique_ptr<QMimeData> data(m->mimeData({m->index(0, 0)}));
        QVERIFY(data);
        QCOMPARE(data->data(QString::fromLatin1(kSongIdMimeType)), QByteArray("4"));   // Abba, Waterloo

        // Ctrl with the mouse chooses a second song: both go, one number a line, and the highlight
        // follows the click.
        QTableView* view = w->list()->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(m->index(0, 0)).center());
        QTest::mouseClick(
            view->viewport(), Qt::LeftButton, Qt::ControlModifier, view->visualRect(m->index(2, 0)).center());
        QCOMPARE(w->browser().list().highlight(), 2);
        data.reset(m->mimeData(view->selectionModel()->selectedIndexes()));
        QVERIFY(data);
        QCOMPARE(data->data(QString::fromLatin1(kSongIdMimeType)), QByteArray("4\n1")); // and Beatles, Help
    }

    void remembersTabAndColumns()
    {
        addSongs();
        state_->settings.SaveLastTab = true;
        int width = 0;
        {
            auto w = open();
            w->tabs()->setCurrentIndex(int(SongTab::ByChart));
            QHeaderView* h = w->list()->view()->horizontalHeader();
            h->resizeSection(1, h->sectionSize(1) + 120);
            h->moveSection(h->visualIndex(2), 0);
            width = h->sectionSize(1);
            w->close();
        }
        QCOMPARE(ini::readString(settingsIniPath(), "Settings", "SongTab"), QStringLiteral("6"));
        QVERIFY(ini::readString(positionIniPath(), "BrowseSongs", "SRCF?Browse").contains(QLatin1String("#3#")));
        {
            auto w = open();
            QCOMPARE(w->tabs()->currentIndex(), int(SongTab::ByChart));
            QHeaderView* h = w->list()->view()->horizontalHeader();
            QVERIFY2(qAbs(h->sectionSize(1) - width) <= 3, qPrintable(QString::number(h->sectionSize(1))));
            QCOMPARE(h->logicalIndex(0), 2);
            w->close();
        }
        // Without "SaveLastTab" the list opens on "By Artist".
        state_->settings.SaveLastTab = false;
        auto w = open();
        QCOMPARE(w->tabs()->currentIndex(), int(SongTab::ByArtist));
    }
};

QTEST_MAIN(TstBrowseSongs)
#include "tst_browsesongs.moc"

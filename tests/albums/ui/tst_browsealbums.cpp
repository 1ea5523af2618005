// The album list driven as a user would: its caption counting the table whatever the tab shows,
// what it hands the album form (an add on a category tab starts in that category) and how it shows
// the answer, the tab remembered with and without "SaveLastTab", the popup menu, the locator on a
// change of tab, and the category each limited tab keeps.

#include "AlbumListTestUtil.h"
#include "FormDriver.h"
#include "TestApp.h"

#include "albums/AlbumBrowseLogic.h"
#include "albums/ui/BrowseAlbums.h"
#include "common/AppState.h"
#include "common/ui/BrowseList.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QtTest>
#include <sqlite3.h>

using namespace td;
using namespace td::test;

namespace {

QString fieldOf(const PageRow* r, const char* field)
{
    return r ? r->row.at(tableDef(TableId::Album).fieldIndex(QString::fromLatin1(field))).toString() : QString();
}

QStringList shownAlbums(BrowseAlbumsWindow& w)
{
    QStringList out;
    for (const PageRow& r : w.browser().list().rows())
        out << fieldOf(&r, "Album");
    return out;
}

QString highlightedAlbum(BrowseAlbumsWindow& w)
{
    return fieldOf(w.browser().list().highlighted(), "Album");
}

QPushButton* buttonOf(QWidget& w, const char* name)
{
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
}

// Reading an album's artist refused, as a damaged or locked file would.
int denyArtist(void*, int action, const char* table, const char* column, const char*, const char*)
{
    return action == SQLITE_READ && table && column && qstrcmp(table, "Album") == 0 && qstrcmp(column, "Artist") == 0
        ? SQLITE_DENY
        : SQLITE_OK;
}

// What the list asked of the album form.
struct FormCall {
    Request request = Request::None;
    Album album;
    AlbumAnswer answer;
    int calls = 0;
};

} // namespace

class TstBrowseAlbums : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestApp> app_;
    Database* db_ = nullptr;
    AppState* state_ = nullptr;

    void storeCatalogue()
    {
        storeCategory(*db_, 1, QStringLiteral("Rock"));
        storeCategory(*db_, 2, QStringLiteral("Jazz"));
        storeCategory(*db_, 3, QStringLiteral("Pop"));
        storeAlbum(*db_, QStringLiteral("Beatles"), QStringLiteral("Abbey Road"), 1, QStringLiteral("C-003"));
        storeAlbum(*db_, QStringLiteral("Miles Davis"), QStringLiteral("Kind of Blue"), 2, QStringLiteral("C-001"));
        storeAlbum(*db_, QStringLiteral("Michael Jackson"), QStringLiteral("Thriller"), 3, QStringLiteral("C-002"));
        storeAlbum(*db_, QStringLiteral("Beatles"), QStringLiteral("Let It Be"), 1);
        storeAlbum(*db_, QStringLiteral("John Coltrane"), QStringLiteral("Blue Train"), 2, QStringLiteral("C-004"));
    }

    std::unique_ptr<BrowseAlbumsWindow> open(FormCall* form = nullptr)
    {
        auto w = std::make_unique<BrowseAlbumsWindow>(*state_);
        if (form) {
            w->setAlbumForm([form](AppState&, Request r, const Album& a, QWidget*, AlbumAnswer answer) {
                form->request = r;
                form->album = a;
                form->answer = std::move(answer);
                ++form->calls;
            });
        }
        w->resize(900, 500);
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("window not active");
        w->list()->setFocus();
        return w;
    }

    // Chooses the category of that name on the shown limited tab through the category picker.
    void chooseCategory(BrowseAlbumsWindow& w, const QString& name)
    {
        onDialog(QStringLiteral("BrowseCategories"), [name](QDialog* d) {
            // The category list has no locator: its page put on the name.
            d->findChild<BrowseList*>()->run([name](PagedList& l) { return l.locate(Row { name }); });
            d->findChild<QPushButton*>(QStringLiteral("Select"))->click();
        });
        QTest::mouseClick(buttonOf(w, "SelectCategory"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&w] { return w.isEnabled(); }, 5000));
    }

private slots:
    void init()
    {
        app_ = std::make_unique<TestApp>();
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
        storeCatalogue();
        auto w = open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Albums - 5 entries"));
        QStringList tabs;
        for (int i = 0; i < w->tabs()->count(); ++i)
            tabs << w->tabs()->tabText(i);
        QCOMPARE(tabs, QStringList({"Album", "Artist", "File #", "Category", "Cat/Art"}));
        QStringList buttons;
        for (const char* n : {"Add", "Copy", "Change", "Delete", "Print", "Close", "SingleArtistWizard",
                              "CompilationWizard"})
            buttons << buttonOf(*w, n)->text();
        QCOMPARE(buttons, QStringList({"&Add", "Cop&y", "&Change", "&Delete", "&Print", "Cl&ose",
                                       "Single Artist Wi&zard", "Compilation Wizard"}));
        QCOMPARE(buttonOf(*w, "Copy")->toolTip(), QStringLiteral("Copy record"));
        QCOMPARE(buttonOf(*w, "Print")->toolTip(), QStringLiteral("Print information"));
        QCOMPARE(w->list()->view()->toolTip(), QStringLiteral("Right-Click for Options"));
        // The one-album report is not part of the program yet.
        QVERIFY(!buttonOf(*w, "Print")->isEnabled());
        QVERIFY(!buttonOf(*w, "SelectCategory")->isVisible());
        QCOMPARE(shownAlbums(*w), QStringList({"Abbey Road", "Blue Train", "Kind of Blue", "Let It Be", "Thriller"}));
        QAbstractItemModelTester tester(w->list()->view()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(duplicateMnemonics(w.get()).isEmpty());
        w->tabs()->setCurrentIndex(int(AlbumTab::Category));
        QVERIFY(buttonOf(*w, "SelectCategory")->isVisible());
        // Tab follows the rows: the category button above the list, the list, the record buttons.
        QCOMPARE(tabOrderOf(w->tabs(), {buttonOf(*w, "SelectCategory"), w->list()->view(), buttonOf(*w, "Add")}),
                 (QList<int>{0, 1, 2}));
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("ChosenCategory"))->text(),
                 QStringLiteral("No category chosen: use Select Category"));
        QVERIFY(duplicateMnemonics(w.get()).isEmpty());
    }

    // An add hands the form a blank album, in the category of a limited tab; once stored the list
    // shows it highlighted and the caption counts every album, not those the tab shows.
    void addStartsInTheTabsCategory_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("category");
        QTest::addColumn<qint64>("preset");
        QTest::addColumn<int>("shownAfter");
        QTest::newRow("Album") << int(AlbumTab::Album) << QString() << qint64(0) << 6;
        QTest::newRow("Category") << int(AlbumTab::Category) << QStringLiteral("Rock") << qint64(1) << 3;
        QTest::newRow("Cat/Art") << int(AlbumTab::CategoryArtist) << QStringLiteral("Jazz") << qint64(2) << 3;
    }
    void addStartsInTheTabsCategory()
    {
        QFETCH(int, tab);
        QFETCH(QString, category);
        QFETCH(qint64, preset);
        QFETCH(int, shownAfter);
        storeCatalogue();
        FormCall form;
        auto w = open(&form);
        w->tabs()->setCurrentIndex(tab);
        if (!category.isEmpty())
            chooseCategory(*w, category);
        QCOMPARE(w->windowTitle(), QStringLiteral("Albums - 5 entries"));
        QTest::keyClick(w->list()->view(), Qt::Key_Insert);
        QCOMPARE(form.calls, 1);
        QCOMPARE(form.request, Request::Insert);
        QCOMPARE(form.album.CategoryID, preset);
        QVERIFY(form.album.Album.isEmpty() && form.album.Artist.isEmpty() && form.album.AlbumID == 0);

        // The form stores an album and answers.
        storeAlbum(*db_, QStringLiteral("Zappa"), QStringLiteral("Hot Rats"), preset);
        Album stored;
        stored.AlbumID = 6;
        form.answer(Response::Completed, stored);
        QCOMPARE(w->windowTitle(), QStringLiteral("Albums - 6 entries"));
        QCOMPARE(highlightedAlbum(*w), QStringLiteral("Hot Rats"));
        QCOMPARE(shownAlbums(*w).size(), shownAfter);
    }

    // Copy and change hand the form the highlighted album as stored; copy asks for an add.
    void copyAndChangeHandOverTheHighlightedAlbum_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("request");
        QTest::newRow("copy") << QStringLiteral("Copy") << int(Request::Insert);
        QTest::newRow("change") << QStringLiteral("Change") << int(Request::Change);
    }
    void copyAndChangeHandOverTheHighlightedAlbum()
    {
        QFETCH(QString, button);
        QFETCH(int, request);
        storeCatalogue();
        {
            Table<Album> t(*db_);
            t.rec.AlbumID = 2;
            QCOMPARE(t.get(t.key(QStringLiteral("ALB:KeyAlbumID"))), 0);
            t.rec.Notes = QStringLiteral("Recorded in two sessions.");
            QCOMPARE(t.put(), 0);
        }
        FormCall form;
        auto w = open(&form);
        QTest::keyClick(w->list()->view(), Qt::Key_Down);
        QTest::keyClick(w->list()->view(), Qt::Key_Down);
        QCOMPARE(highlightedAlbum(*w), QStringLiteral("Kind of Blue"));
        QTest::mouseClick(buttonOf(*w, qPrintable(button)), Qt::LeftButton);
        QCOMPARE(form.calls, 1);
        QCOMPARE(int(form.request), request);
        QCOMPARE(form.album.AlbumID, 2);
        QCOMPARE(form.album.Album, QStringLiteral("Kind of Blue"));
        QCOMPARE(form.album.Notes, QStringLiteral("Recorded in two sessions."));
        // Cancelled: the list stays on the album.
        form.answer(Response::Cancelled, Album());
        QCOMPARE(highlightedAlbum(*w), QStringLiteral("Kind of Blue"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Albums - 5 entries"));
    }

    void deletedAlbumLeavesTheList()
    {
        storeCatalogue();
        FormCall form;
        auto w = open(&form);
        QTest::keyClick(w->list()->view(), Qt::Key_Down);
        QCOMPARE(highlightedAlbum(*w), QStringLiteral("Blue Train"));
        QTest::keyClick(w->list()->view(), Qt::Key_Delete);
        QCOMPARE(form.request, Request::Delete);
        QCOMPARE(form.album.Album, QStringLiteral("Blue Train"));
        {
            Table<Album> t(*db_);
            QCOMPARE(t.fetch(w->browser().list().highlightedPosition()), 0);
            QCOMPARE(t.del(), 0);
        }
        form.answer(Response::Completed, Album());
        QCOMPARE(w->windowTitle(), QStringLiteral("Albums - 4 entries"));
        QCOMPARE(shownAlbums(*w), QStringList({"Abbey Road", "Kind of Blue", "Let It Be", "Thriller"}));
        QCOMPARE(highlightedAlbum(*w), QStringLiteral("Kind of Blue"));
    }

    // The tab last used is always written; it is opened again only while "SaveLastTab" is set.
    void tabMemory_data()
    {
        QTest::addColumn<bool>("saveLastTab");
        QTest::addColumn<int>("opens");
        QTest::newRow("SaveLastTab on") << true << int(AlbumTab::CategoryArtist);
        QTest::newRow("SaveLastTab off") << false << int(AlbumTab::Album);
    }
    void tabMemory()
    {
        QFETCH(bool, saveLastTab);
        QFETCH(int, opens);
        storeCatalogue();
        state_->settings.SaveLastTab = saveLastTab;
        ini::writeString(settingsIniPath(), QStringLiteral("Settings"), QStringLiteral("AlbumTabSettings"),
                         QStringLiteral("5"));
        auto w = open();
        QCOMPARE(w->tabs()->currentIndex(), opens);
        QCOMPARE(w->browser().tab(), AlbumTab(opens));
        w->tabs()->setCurrentIndex(int(AlbumTab::FileNumber));
        w->close();
        QCOMPARE(ini::readString(settingsIniPath(), "Settings", "AlbumTabSettings"), QStringLiteral("3"));
        QVERIFY(!ini::readString(positionIniPath(), "BrowseAlbums", "SRCF?Browse:1").isEmpty());
        QCOMPARE(ini::readString(positionIniPath(), "BrowseAlbums", "SRCFOriginal?Browse:1"),
                 albumListFormat(state_->settings));
    }

    // The popup: Change, Delete and Copy need an album; the others are offered on an empty list
    // too, those of windows still to come only once the frame gives them.
    void popupMenu_data()
    {
        QTest::addColumn<bool>("albums");
        QTest::addColumn<bool>("entries");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty list") << false << true
                                    << QStringList({"&Add", "&Change (off)", "&Delete (off)", "-", "Cop&y (off)",
                                                    "Compilation Wizard", "&Print", "-", "Create Label...",
                                                    "Quick CD Insert"});
        QTest::newRow("empty list, later windows missing")
            << false << false
            << QStringList({"&Add", "&Change (off)", "&Delete (off)", "-", "Cop&y (off)", "Compilation Wizard",
                            "&Print (off)", "-", "Create Label... (off)", "Quick CD Insert (off)"});
        QTest::newRow("albums") << true << true
                                << QStringList({"&Add", "&Change", "&Delete", "-", "Cop&y", "Compilation Wizard",
                                                "&Print", "-", "Create Label...", "Quick CD Insert"});
    }
    void popupMenu()
    {
        QFETCH(bool, albums);
        QFETCH(bool, entries);
        QFETCH(QStringList, shown);
        if (albums)
            storeCatalogue();
        QString flapFor;
        if (entries) {
            state_->entries.printAlbum = [](AppState&, QWidget*, const Album&) {};
            state_->entries.createLabel = [](AppState&, QWidget*, const Album*) {};
            state_->entries.quickCdInsert = [&flapFor](AppState&, QWidget*, const Album& a) { flapFor = a.FileNumber; };
        }
        auto w = open();
        QTest::mouseClick(w->list()->view()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QStringList got;
        for (QAction* a : menu->actions())
            got << (a->isSeparator() ? QStringLiteral("-")
                                     : a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)")));
        QCOMPARE(got, shown);
        // "Quick CD Insert" prints the flap of the highlighted album's file number.
        menu->actions().last()->trigger();
        menu->close();
        QCOMPARE(flapFor, QString(albums && entries ? "C-003" : ""));
    }

    void tabChangeEmptiesTheLocator()
    {
        storeCatalogue();
        auto w = open();
        w->tabs()->setCurrentIndex(int(AlbumTab::Artist));
        QTest::keyClicks(w->list()->view(), QStringLiteral("mi"));
        QCOMPARE(w->locatorDisplay(), QStringLiteral("mi"));
        QCOMPARE(fieldOf(w->browser().list().highlighted(), "Artist"), QStringLiteral("Michael Jackson"));
        w->tabs()->setCurrentIndex(int(AlbumTab::Album));
        QCOMPARE(w->locatorDisplay(), QString());
        QCOMPARE(highlightedAlbum(*w), QStringLiteral("Abbey Road"));
        // Typing goes on from an empty text, and going back to the tab starts it from the top.
        QTest::keyClicks(w->list()->view(), QStringLiteral("t"));
        QCOMPARE(highlightedAlbum(*w), QStringLiteral("Thriller"));
        w->tabs()->setCurrentIndex(int(AlbumTab::Artist));
        QCOMPARE(w->locatorDisplay(), QString());
        QCOMPARE(w->list()->locatorText(), QString());
        QCOMPARE(fieldOf(w->browser().list().highlighted(), "Artist"), QStringLiteral("Beatles"));
        // On a category tab the locator searches the album title after the category.
        w->tabs()->setCurrentIndex(int(AlbumTab::Category));
        chooseCategory(*w, QStringLiteral("Rock"));
        QTest::keyClicks(w->list()->view(), QStringLiteral("l"));
        QCOMPARE(highlightedAlbum(*w), QStringLiteral("Let It Be"));
    }

    // A list that cannot be read at all is not opened; one that fails later says so and stays.
    void unreadableList()
    {
        storeCatalogue();
        sqlite3_set_authorizer(db_->connection(), denyArtist, nullptr);
        std::unique_ptr<QWidget> none(createBrowseAlbums(*state_));
        sqlite3_set_authorizer(db_->connection(), nullptr, nullptr);
        QVERIFY(!none);
        QCOMPARE(app_->script->numbers(), QList<int>({35}));
        QVERIFY(app_->script->asked().first().text.contains(QLatin1String("Album")));

        app_->script->clear();
        std::unique_ptr<QWidget> opened(createBrowseAlbums(*state_));
        QVERIFY(opened);
        auto* w = static_cast<BrowseAlbumsWindow*>(opened.get());
        w->show();
        sqlite3_set_authorizer(db_->connection(), denyArtist, nullptr);
        w->tabs()->setCurrentIndex(int(AlbumTab::Artist));
        sqlite3_set_authorizer(db_->connection(), nullptr, nullptr);
        QCOMPARE(app_->script->numbers(), QList<int>({35}));
        QTest::qWait(20);
        QVERIFY(w->isVisible());
        QCOMPARE(shownAlbums(*w).size(), 5);
    }

    // Each limited tab keeps its own category; a tab shown again reads its albums afresh.
    void categoryTabsKeepTheirOwnCategory()
    {
        storeCatalogue();
        auto w = open();
        auto* chosen = w->findChild<QLabel*>(QStringLiteral("ChosenCategory"));
        w->tabs()->setCurrentIndex(int(AlbumTab::Category));
        QVERIFY(shownAlbums(*w).isEmpty());
        QVERIFY(!buttonOf(*w, "Change")->isEnabled());
        chooseCategory(*w, QStringLiteral("Rock"));
        QCOMPARE(chosen->text(), QStringLiteral("Category: Rock"));
        QCOMPARE(shownAlbums(*w), QStringList({"Abbey Road", "Let It Be"}));
        w->tabs()->setCurrentIndex(int(AlbumTab::CategoryArtist));
        QCOMPARE(chosen->text(), QStringLiteral("No category chosen: use Select Category"));
        QVERIFY(shownAlbums(*w).isEmpty());
        chooseCategory(*w, QStringLiteral("Jazz"));
        QCOMPARE(shownAlbums(*w), QStringList({"Blue Train", "Kind of Blue"}));   // Coltrane, Davis
        // Closing the category list without a choice keeps the category.
        onDialog(QStringLiteral("BrowseCategories"),
                 [](QDialog* d) { d->findChild<QPushButton*>(QStringLiteral("Close"))->click(); });
        QTest::mouseClick(buttonOf(*w, "SelectCategory"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&w] { return w->isEnabled(); }, 5000));
        QCOMPARE(chosen->text(), QStringLiteral("Category: Jazz"));
        QCOMPARE(shownAlbums(*w).size(), 2);
        // An album added and the category renamed elsewhere meanwhile show when the tab is shown again.
        storeAlbum(*db_, QStringLiteral("Doors"), QStringLiteral("LA Woman"), 1);
        {
            Table<Categories> c(*db_);
            c.rec.CategoryID = 1;
            QCOMPARE(c.get(c.key(QStringLiteral("CAT:KeyCategoryID"))), 0);
            c.rec.Category = QStringLiteral("Classic Rock");
            QCOMPARE(c.put(), 0);
        }
        w->tabs()->setCurrentIndex(int(AlbumTab::Category));
        QCOMPARE(chosen->text(), QStringLiteral("Category: Classic Rock"));
        QCOMPARE(shownAlbums(*w), QStringList({"Abbey Road", "LA Woman", "Let It Be"}));
        chooseCategory(*w, QStringLiteral("Pop"));
        QCOMPARE(shownAlbums(*w), QStringList({"Thriller"}));
        w->tabs()->setCurrentIndex(int(AlbumTab::CategoryArtist));
        QCOMPARE(chosen->text(), QStringLiteral("Category: Jazz"));
    }
};

QTEST_MAIN(TstBrowseAlbums)
#include "tst_browsealbums.moc"

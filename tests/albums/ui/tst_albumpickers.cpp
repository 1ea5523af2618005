// The album picker and the file-number picker: each blocks only its caller, answers the record
// chosen by "&Select", a double click, Enter or its popup menu (nullptr after "Cl&ose" or Esc), and
// remembers its place; the file-number picker's orders, its category range and its number locator.

#include "AlbumListTestUtil.h"
#include "FormDriver.h"
#include "TestApp.h"

#include "albums/ui/PickerDialog.h"
#include "albums/ui/SelectAlbum.h"
#include "albums/ui/SelectFileNumber.h"
#include "common/AppState.h"
#include "common/ui/BrowseList.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

QStringList tabTitles(QTabBar* t)
{
    QStringList out;
    for (int i = 0; i < t->count(); ++i)
        out << t->tabText(i);
    return out;
}

QStringList shown(PickerDialog* d, TableId table, const char* field)
{
    QStringList out;
    const int f = tableDef(table).fieldIndex(QString::fromLatin1(field));
    for (const PageRow& r : d->list()->list().rows())
        out << r.row.at(f).toString();
    return out;
}

// The list's columns fit its view: no horizontal scroll bar hides the last row.
bool everyColumnInSight(PickerDialog* d)
{
    const QTableView* view = d->list()->view();
    return view->horizontalHeader()->length() <= view->viewport()->width();
}

// Acts on the picker as the user chooses: "button", "double click", "enter", "close", "escape".
void finishPicker(PickerDialog* d, const QString& how)
{
    QTableView* view = d->list()->view();
    if (how == QLatin1String("button")) {
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Select")), Qt::LeftButton);
    } else if (how == QLatin1String("double click")) {
        const QModelIndex at = view->model()->index(d->list()->list().highlight(), 0);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(at).center());
    } else if (how == QLatin1String("enter")) {
        QTest::keyClick(view, Qt::Key_Return);
    } else if (how == QLatin1String("close")) {
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Close")), Qt::LeftButton);
    } else {
        QTest::keyClick(view, Qt::Key_Escape);
    }
}

} // namespace

class TstAlbumPickers : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestApp> app_;
    Database* db_ = nullptr;
    AppState* state_ = nullptr;
    std::unique_ptr<QWidget> caller_;

    PickerDialog* shownPicker(const char* name)
    {
        auto* d = qobject_cast<PickerDialog*>(shownDialog(QString::fromLatin1(name)));
        if (d) {
            d->activateWindow();
            if (!QTest::qWaitForWindowActive(d))
                qWarning("picker not active");
            d->list()->setFocus();
        }
        return d;
    }

private slots:
    void init()
    {
        app_ = std::make_unique<TestApp>();
        db_ = &app_->db;
        state_ = &app_->state;
        caller_ = std::make_unique<QWidget>();
        caller_->show();
    }
    void cleanup()
    {
        dropFormWatchers();
        // A picker left open by a failed check goes before the catalogue it reads.
        caller_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app_.reset();
    }

    void selectAlbumAnswers_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("answer");
        QTest::newRow("select on Album") << 0 << QStringLiteral("b") << QStringLiteral("button") << QStringLiteral("Blue Train");
        QTest::newRow("double click on Artist") << 1 << QStringLiteral("mi") << QStringLiteral("double click")
                                                << QStringLiteral("Thriller");
        QTest::newRow("enter on File #") << 2 << QStringLiteral("c-001") << QStringLiteral("enter")
                                         << QStringLiteral("Kind of Blue");
        QTest::newRow("close") << 0 << QString() << QStringLiteral("close") << QStringLiteral("(none)");
        QTest::newRow("escape") << 1 << QString() << QStringLiteral("escape") << QStringLiteral("(none)");
    }
    void selectAlbumAnswers()
    {
        QFETCH(int, tab);
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(QString, answer);
        storeAlbum(*db_, QStringLiteral("Beatles"), QStringLiteral("Abbey Road"), 0, QStringLiteral("C-003"));
        storeAlbum(*db_, QStringLiteral("Miles Davis"), QStringLiteral("Kind of Blue"), 0, QStringLiteral("C-001"));
        storeAlbum(*db_, QStringLiteral("Michael Jackson"), QStringLiteral("Thriller"), 0, QStringLiteral("C-002"));
        storeAlbum(*db_, QStringLiteral("John Coltrane"), QStringLiteral("Blue Train"), 0, QStringLiteral("C-004"));

        QString got;
        int answers = 0;
        SelectAlbum(*state_, caller_.get(), [&](const Album* a) {
            ++answers;
            got = a ? a->Album : QStringLiteral("(none)");
        });
        PickerDialog* d = shownPicker("SelectAlbum");
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Select An Album"));
        QCOMPARE(tabTitles(d->tabs()), QStringList({"Album", "Artist", "File #"}));
        QVERIFY2(everyColumnInSight(d), "a column is out of sight at the opening size");
        QVERIFY(duplicateMnemonics(d).isEmpty());
        QVERIFY(!caller_->isEnabled());
        d->tabs()->setCurrentIndex(tab);
        QTest::keyClicks(d->list()->view(), typed);
        QCOMPARE(d->locatorDisplay(), typed);
        finishPicker(d, how);
        QVERIFY(QTest::qWaitFor([&] { return answers > 0; }, 5000));
        QCOMPARE(answers, 1);
        QCOMPARE(got, answer);
        QVERIFY(caller_->isEnabled());
        // Its place and its columns are remembered.
        QVERIFY(!ini::readString(positionIniPath(), "SelectAlbum", "SRCF?Browse:1").isEmpty());
        QVERIFY(ini::keys(positionIniPath(), "SelectAlbum").size() > 2);
    }

    void fileNumberPicker()
    {
        storeCategory(*db_, 1, QStringLiteral("Rock"));
        storeCategory(*db_, 3, QStringLiteral("Pop"));
        storeSong(*db_, QStringLiteral("Beatles"), QStringLiteral("Help"), QStringLiteral("CD"), 1, 3);
        storeSong(*db_, QStringLiteral("Abba"), QStringLiteral("Waterloo"), QStringLiteral("LP"), 3);
        storeSong(*db_, QStringLiteral("Doors"), QStringLiteral("Break On Through"), QStringLiteral("CD"), 1, 1);
        storeSong(*db_, QStringLiteral("Clash"), QStringLiteral("London Calling"), QStringLiteral("MC"));

        qint32 got = -1;
        SelectFileNumber(*state_, caller_.get(), [&](const Tunedeck* s) { got = s ? s->ID : 0; });
        PickerDialog* d = shownPicker("SelectFileNumber");
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Select File Number"));
        QVERIFY2(everyColumnInSight(d), "a column is out of sight at the opening size");
        QCOMPARE(tabTitles(d->tabs()),
                 QStringList({"By Artist", "By Title", "By Album", "By Media", "By Category", "By Chart #"}));
        QCOMPARE(shown(d, TableId::Tunedeck, "Title").first(), QStringLiteral("Waterloo"));
        // "By Media" is an order over every song, not a range.
        d->tabs()->setCurrentIndex(3);
        QCOMPARE(shown(d, TableId::Tunedeck, "Title"),
                 QStringList({"Help", "Break On Through", "Waterloo", "London Calling"}));
        QTest::keyClicks(d->list()->view(), QStringLiteral("l"));
        QCOMPARE(d->list()->list().highlighted()->row.at(1).toString(), QStringLiteral("Waterloo"));
        // "By Category" shows the songs of the category chosen.
        d->tabs()->setCurrentIndex(4);
        QVERIFY(shown(d, TableId::Tunedeck, "Title").isEmpty());
        QVERIFY(!d->findChild<QPushButton*>(QStringLiteral("Select"))->isEnabled());
        QCOMPARE(d->locatorDisplay(), QString());
        auto* chooseCategory = d->findChild<QPushButton*>(QStringLiteral("SelectCategory"));
        QVERIFY(chooseCategory->isVisible());
        // Tab follows the rows: orders, the category button above the list, the list, its buttons.
        QCOMPARE(tabOrderOf(d->tabs(), { chooseCategory, d->list()->view(), d->findChild<QPushButton*>(QStringLiteral("Select")) }),
                 (QList<int> { 0, 1, 2 }));
        QVERIFY2(duplicateMnemonics(d).isEmpty(), qPrintable(duplicateMnemonics(d).join("; ")));
        onDialog(QStringLiteral("BrowseCategories"), [](QDialog* c) {
            c->findChild<BrowseList*>()->run([](PagedList& l) { return l.locate(Row { QStringLiteral("Rock") }); });
            c->findChild<QPushButton*>(QStringLiteral("Select"))->click();
        });
        QTest::mouseClick(chooseCategory, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([d] { return d->isEnabled(); }, 5000));
        QCOMPARE(d->findChild<QLabel*>(QStringLiteral("ChosenCategory"))->text(), QStringLiteral("Category: Rock"));
        QCOMPARE(shown(d, TableId::Tunedeck, "Title"), QStringList({"Help", "Break On Through"}));
        QAbstractItemModel* m = d->list()->view()->model();
        QCOMPARE(m->data(m->index(0, 6)).toString().trimmed(), QStringLiteral("Rock"));
        d->tabs()->setCurrentIndex(0);
        QVERIFY(!chooseCategory->isVisible());
        // A number order locates by number; the popup menu selects.
        d->tabs()->setCurrentIndex(5);
        QTest::keyClicks(d->list()->view(), QStringLiteral("3"));
        QCOMPARE(d->list()->list().highlighted()->row.at(1).toString(), QStringLiteral("Help"));
        QTableView* view = d->list()->view();
        QTest::mouseClick(view->viewport(), Qt::RightButton, {},
                          view->visualRect(view->model()->index(d->list()->list().highlight(), 0)).center());
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->actions().size(), 1);
        QCOMPARE(popup->actions().first()->text(), QStringLiteral("&Select"));
        popup->actions().first()->trigger();
        popup->close();
        QVERIFY(QTest::qWaitFor([&] { return got >= 0; }, 5000));
        QCOMPARE(got, 1);
        QVERIFY(caller_->isEnabled());
        QVERIFY(!ini::readString(positionIniPath(), "SelectFileNumber", "SRCF?Browse").isEmpty());

        // Closed without a choice: nothing.
        got = -1;
        SelectFileNumber(*state_, caller_.get(), [&](const Tunedeck* s) { got = s ? s->ID : 0; });
        d = shownPicker("SelectFileNumber");
        QVERIFY(d);
        finishPicker(d, QStringLiteral("close"));
        QVERIFY(QTest::qWaitFor([&] { return got >= 0; }, 5000));
        QCOMPARE(got, 0);
    }
};

QTEST_MAIN(TstAlbumPickers)
#include "tst_albumpickers.moc"

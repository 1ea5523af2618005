// The explorer views as the user meets them: header clicks put ">" or "<" before the order column
// and a second click reverses; a column that cannot order says so and changes nothing; "Key
// Sequence" goes back to the starting order; closing while ordered never saves the marker; the
// saved format comes back at the next opening, and one that no longer fits gives the designed one;
// the list comes back at its saved size.

#include "FormDriver.h"
#include "TestApp.h"

#include "app/Resources.h"

#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "data/Records.h"
#include "explorer/ExplorerColumns.h"
#include "explorer/ui/XploreAlbums.h"
#include "explorer/ui/XploreSongs.h"

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

QStringList headers(ExplorerWindow& w)
{
    QStringList out;
    for (int i = 0; i < w.shown().size(); ++i)
        out << w.headerText(i);
    return out;
}

int placeOf(ExplorerWindow& w, const QString& header)
{
    for (int i = 0; i < w.shown().size(); ++i)
        if (unmarkedHeader(w.headerText(i)) == header)
            return i;
    return -1;
}

QPushButton* buttonNamed(QWidget* w, const QString& text)
{
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

QString storedFormat(ExplorerKind kind)
{
    return ini::readString(positionIniPath(), explorerSection(kind),
                           QStringLiteral("XploreFormatString-") + explorerListName(kind));
}

} // namespace

class TstXploreViews : public QObject {
    Q_OBJECT

    std::unique_ptr<TestApp> app_;

private slots:
    void initTestCase() { initResources(); }
    void init()
    {
        app_ = std::make_unique<TestApp>();
        Table<Tunedeck> t(app_->db);
        const char* titles[] = {"b", "A", "c"};
        for (int i = 0; i < 3; ++i) {
            t.clear();
            t.rec.ID = i + 1;
            t.rec.Artist = QStringLiteral("Artist %1").arg(3 - i);
            t.rec.Title = QLatin1String(titles[i]);
            QCOMPARE(t.add(), 0);
        }
    }
    void cleanup() { app_.reset(); }

    void windowsAsOpened()
    {
        std::unique_ptr<QWidget> songs(createXploreSongs(app_->state));
        std::unique_ptr<QWidget> albums(createXploreAlbums(app_->state));
        QVERIFY(songs && albums);
        QCOMPARE(songs->windowTitle(), QStringLiteral("Songs - 3 entries"));
        QCOMPARE(albums->windowTitle(), QStringLiteral("Albums - 0 entries"));
        QCOMPARE(duplicateMnemonics(songs.get()), QStringList());
        QCOMPARE(duplicateMnemonics(albums.get()), QStringList());
        for (QWidget* w : {songs.get(), albums.get()}) {
            auto* picture = w->findChild<QLabel*>(QStringLiteral("Picture"));
            QVERIFY(picture && !picture->pixmap().isNull());
        }
        QCOMPARE(headers(static_cast<ExplorerWindow&>(*albums)),
                 (QStringList{"Album", "Artist", "Media", "File Number", "Release Date", "XCCD"}));
    }

    void headerClicks()
    {
        XploreSongsWindow w(app_->state);
        const int title = placeOf(w, QStringLiteral("Title"));
        const int artist = placeOf(w, QStringLiteral("Artist"));
        w.headerClicked(title);
        QCOMPARE(w.headerText(title), QStringLiteral(">Title"));
        w.headerClicked(title);
        QCOMPARE(w.headerText(title), QStringLiteral("<Title"));
        QCOMPARE(w.view()->model()->data(w.view()->model()->index(0, title)).toString(), QStringLiteral("c"));
        w.headerClicked(artist);
        QCOMPARE(w.headerText(artist), QStringLiteral(">Artist"));
        QCOMPARE(w.headerText(title), QStringLiteral("Title"));

        // A column the list cannot order by: the message, and the order stays.
        w.headerClicked(placeOf(w, QStringLiteral("Category")));
        QCOMPARE(app_->script->asked().size(), 1);
        QCOMPARE(app_->script->asked().first().caption, QStringLiteral("Explorer - Re-Order Option"));
        QCOMPARE(app_->script->asked().first().text,
                 QStringLiteral("Data cannot be ordered on column: Category (CAT:Category)"));
        QCOMPARE(w.headerText(artist), QStringLiteral(">Artist"));

        w.keySequence();
        QCOMPARE(w.headerText(artist), QStringLiteral("Artist"));
        QCOMPARE(w.list().orderColumn(), -1);
    }

    void reformatShowsAtOnce()
    {
        XploreSongsWindow w(app_->state);
        w.show();
        buttonNamed(&w, QStringLiteral("View &Properties"))->click();
        QDialog* d = shownDialog(QStringLiteral("XploreFormatBrowseBox"));
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Format Listbox..."));
        QCOMPARE(duplicateMnemonics(d), QStringList());
        auto* shown = d->findChild<QListWidget*>(QStringLiteral("ShownColumns"));
        shown->setCurrentRow(11);
        buttonNamed(d, QStringLiteral("Hide column from display list"))->click();
        QVERIFY(!headers(w).contains(QStringLiteral("Style")));
        QCOMPARE(d->findChild<QListWidget*>(QStringLiteral("HiddenColumns"))->count(), 1);
        shown->setCurrentRow(1);
        QLineEdit* header = d->findChild<QLineEdit*>();
        header->setText(QStringLiteral("Song"));
        emit header->textEdited(header->text());
        QCOMPARE(w.headerText(1), QStringLiteral("Song"));
        buttonNamed(d, QStringLiteral("&Default"))->click();
        QVERIFY(headers(w).contains(QStringLiteral("Style")));
        QCOMPARE(w.headerText(1), QStringLiteral("Title"));

        // The one-column window, from a double click on a shown column.
        emit shown->itemDoubleClicked(shown->item(2));
        QDialog* one = shownDialog(QStringLiteral("XploreFormatColumn"));
        QVERIFY(one);
        QCOMPARE(one->windowTitle(), QStringLiteral("Format Listbox Column"));
        QCOMPARE(duplicateMnemonics(one), QStringList());
        QLineEdit* oneHeader = one->findChild<QLineEdit*>();
        QCOMPARE(oneHeader->text(), QStringLiteral("Album"));
        oneHeader->setText(QStringLiteral("Record"));
        emit oneHeader->textEdited(oneHeader->text());
        QCOMPARE(w.headerText(2), QStringLiteral("Record"));
        buttonNamed(one, QStringLiteral("&Close"))->click();
        QTRY_VERIFY(!shownDialog(QStringLiteral("XploreFormatColumn")));
        QCOMPARE(shown->currentRow(), 2);
        QCOMPARE(d->findChild<QLineEdit*>()->text(), QStringLiteral("Record"));

        buttonNamed(d, QStringLiteral("&Close"))->click();
        QTRY_VERIFY(!shownDialog(QStringLiteral("XploreFormatBrowseBox")));
        QVERIFY(w.isEnabled());
    }

    void savedFormat_data()
    {
        QTest::addColumn<bool>("damage");
        QTest::addColumn<bool>("designChanged");
        QTest::addColumn<QStringList>("reopened");
        const QStringList all{"Artist", "Title", "Album", "Media", "File Number", "Category", "Time",
                              "Release Date", "BPM", "User Defined Key Field", "Last Played", "Style"};
        QStringList withoutStyle = all;
        withoutStyle.removeLast();
        withoutStyle[1] = QStringLiteral("Song");
        QTest::newRow("kept") << false << false << withoutStyle;
        QTest::newRow("damaged: designed") << true << false << all;
        QTest::newRow("design changed: designed") << false << true << all;
    }
    void savedFormat()
    {
        QFETCH(bool, damage);
        QFETCH(bool, designChanged);
        QFETCH(QStringList, reopened);
        {
            XploreSongsWindow w(app_->state);
            QList<ShownColumn> s = w.shown();
            s.removeLast();                              // "Style" hidden
            s[1].format.header = QStringLiteral("Song");
            w.applyFormat(formatOf(s));
            w.headerClicked(1);
            w.headerClicked(1);
            QCOMPARE(w.headerText(1), QStringLiteral("<Song"));
            w.close();
        }
        QVERIFY(!storedFormat(ExplorerKind::Songs).contains(QLatin1String("<Song")));
        QStringList written = ini::keys(positionIniPath(), explorerSection(ExplorerKind::Songs));
        for (const char* k : {"XploreOrigFormatString-", "XploreFormatString-", "XploreXpos-", "XploreYpos-",
                              "XploreHeight-", "XploreWidth-", "XploreHscroll-", "XploreVscroll-", "XploreLineHeight-",
                              "XploreFont-", "XplorePoint-", "XploreColor-", "XploreStyle-", "XplorePrevCol-"})
            QVERIFY2(written.contains(QLatin1String(k) + QStringLiteral("?Browse"), Qt::CaseInsensitive), k);
        QCOMPARE(ini::readString(positionIniPath(), explorerSection(ExplorerKind::Songs),
                                 QStringLiteral("XplorePrevCol-?Browse")),
                 QStringLiteral("2"));
        QVERIFY(storedFormat(ExplorerKind::Songs).contains(QLatin1String("~Song~")));
        const QString section = explorerSection(ExplorerKind::Songs);
        if (damage)
            ini::writeString(positionIniPath(), section, QStringLiteral("XploreFormatString-?Browse"),
                             QStringLiteral("80L(2)|M~Artist~@s40"));
        if (designChanged)
            ini::writeString(positionIniPath(), section, QStringLiteral("XploreOrigFormatString-?Browse"),
                             QStringLiteral("80L(2)|M~Artist~@s40@"));
        XploreSongsWindow again(app_->state);
        QCOMPARE(headers(again), reopened);
        again.close();
        // Closing writes today's design with it: the next opening takes what was saved now.
        QCOMPARE(ini::readString(positionIniPath(), section, QStringLiteral("XploreOrigFormatString-?Browse")),
                 explorerDesignedFormat(ExplorerKind::Songs));
    }

    // The list comes back at the size it was left: the view grows around it.
    void savedListSize()
    {
        QSize left;
        {
            XploreSongsWindow w(app_->state);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            left = w.listView().size() + QSize(60, 40);
            w.close();
        }
        const QString section = explorerSection(ExplorerKind::Songs);
        ini::writeString(positionIniPath(), section, QStringLiteral("XploreWidth-?Browse"), QString::number(left.width()));
        ini::writeString(positionIniPath(), section, QStringLiteral("XploreHeight-?Browse"), QString::number(left.height()));
        XploreSongsWindow again(app_->state);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QTRY_COMPARE(again.listView().size(), left);
    }
};

QTEST_MAIN(TstXploreViews)
#include "tst_xploreviews.moc"

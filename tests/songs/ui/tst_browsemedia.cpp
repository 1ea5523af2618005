// The media list in maintenance and select mode with its form: adds refused for a name of another
// letter case, renames followed by the songs, deletes refused while used, remembered columns.

#include "LookupTestUtil.h"
#include "common/ui/BrowseList.h"
#include "core/ConfigPaths.h"
#include "core/IniFile.h"
#include "songs/ui/BrowseMedia.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace td;
using test::ListEnv;

namespace {

void addMedia(Database& db, const QStringList& names)
{
    for (const auto& n : names) {
        Media m;
        m.Media = n;
        test::addRecord(db, m);
    }
}

QStringList shown(QWidget* w)
{
    auto* view = w->findChild<QTableView*>();
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        out << view->model()->index(r, 0).data().toString().trimmed();
    return out;
}

QString highlighted(QWidget* w)
{
    return w->findChild<QTableView*>()->currentIndex().data().toString().trimmed();
}

QStringList stored(Database& db)
{
    Table<Media> t(db);
    return test::walk(t, "MED:KeyMedia", "Media");
}

void answerForm(const QString& text, QString* caption = nullptr, bool* stayed = nullptr)
{
    test::onModal("UpdateMedia", [=](QDialog* d) {
        if (caption)
            *caption = d->windowTitle();
        auto* e = d->findChild<QLineEdit*>(QStringLiteral("Media"));
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
        if (stayed)
            *stayed = d->isVisible();
        if (d->isVisible())
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Cancel")), Qt::LeftButton);
    });
}

std::unique_ptr<QWidget> openList(ListEnv& e)
{
    std::unique_ptr<QWidget> w(createBrowseMedia(e.state));
    w->show();
    // The page fits the view once the layout has settled.
    if (!QTest::qWaitFor([&] { return w->findChild<BrowseList*>()->list().pageSize() > 3; }, 2000))
        qWarning("the page did not fit the view");
    return w;
}

} // namespace

class TestBrowseMedia : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { test::dropWatchers(); }
    void windowAndButtons();
    void addRefusesOtherCase();
    void renameFollowedBySongs();
    void deleteRefusedWhileUsed();
    void columnsRemembered();
    void childWindowClosesItself();
    void selectMode_data();
    void selectMode();
};

void TestBrowseMedia::windowAndButtons()
{
    ListEnv e;
    addMedia(e.db, { "LP", "CD", "cassette" });
    auto w = openList(e);
    QCOMPARE(w->windowTitle(), QStringLiteral("Browse Media Formats"));
    QCOMPARE(shown(w.get()), (QStringList { "cassette", "CD", "LP" }));
    QList<QPushButton*> inOrder = w->findChildren<QPushButton*>();
    std::sort(inOrder.begin(), inOrder.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    QStringList buttons;
    for (QPushButton* b : inOrder)
        buttons << b->text();
    QCOMPARE(buttons, (QStringList { "&Add", "&Change", "&Delete", "&Select", "E&xit" }));
    QCOMPARE(test::duplicateMnemonics(w.get()), QStringList());
    QVERIFY(!w->findChild<QPushButton*>(QStringLiteral("Select"))->isEnabled());
    QCOMPARE(w->findChild<QTableView*>()->model()->headerData(0, Qt::Horizontal).toString(),
        QStringLiteral("Media"));
}

void TestBrowseMedia::addRefusesOtherCase()
{
    ListEnv e;
    addMedia(e.db, { "CD" });
    auto w = openList(e);
    QString caption;
    bool stayed = false;
    answerForm("cd", &caption, &stayed);
    QTest::keyClick(w->findChild<QTableView*>(), Qt::Key_Insert);
    QVERIFY(test::settle(w.get()));
    QCOMPARE(caption, QStringLiteral("Adding Media Format"));
    QVERIFY(stayed);
    QCOMPARE(e.script->numbers(), QList<int> { 24 });
    QCOMPARE(e.script->asked().first().text,
        QStringLiteral("Adding this record creates a duplicate entry for the key:MED:KeyMedia"));
    QCOMPARE(stored(e.db), QStringList { "CD" });

    answerForm("DAT");
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Add")), Qt::LeftButton);
    QVERIFY(test::settle(w.get()));
    QCOMPARE(stored(e.db), (QStringList { "CD", "DAT" }));
    QCOMPARE(highlighted(w.get()), QStringLiteral("DAT"));
}

void TestBrowseMedia::renameFollowedBySongs()
{
    ListEnv e;
    addMedia(e.db, { "CD", "LP" });
    Tunedeck s = test::makeSong("A", "One", 1);
    test::addRecord(e.db, s);
    s = test::makeSong("A", "Two", 2);
    s.Media = QStringLiteral("LP");
    test::addRecord(e.db, s);
    auto w = openList(e);
    QString caption;
    answerForm("Compact Disc", &caption);
    QTest::keyClick(w->findChild<QTableView*>(), Qt::Key_Home);
    QTest::keyClick(w->findChild<QTableView*>(), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(test::settle(w.get()));
    QCOMPARE(caption, QStringLiteral("Changing Media Format"));
    QCOMPARE(stored(e.db), (QStringList { "Compact Disc", "LP" }));
    QCOMPARE(highlighted(w.get()), QStringLiteral("Compact Disc"));
    Table<Tunedeck> t(e.db);
    QCOMPARE(test::walk(t, "MUS:SongsByMedia", "Media"), (QStringList { "Compact Disc", "LP" }));
}

void TestBrowseMedia::deleteRefusedWhileUsed()
{
    ListEnv e;
    addMedia(e.db, { "CD", "LP" });
    test::addRecord(e.db, test::makeSong("A", "One", 1));
    auto w = openList(e);
    e.script->plan(Ok);
    e.script->plan(Ok);
    e.script->plan(No);
    QTest::keyClick(w->findChild<QTableView*>(), Qt::Key_Home);
    QTest::keyClick(w->findChild<QTableView*>(), Qt::Key_Delete);
    QCOMPARE(e.script->numbers(), (QList<int> { 32, 13, 18 }));
    QVERIFY(e.script->asked().at(1).text.contains(QLatin1String("referenced from the file Tunedeck.")));
    e.script->clear();
    e.script->plan(Ok);
    QTest::keyClick(w->findChild<QTableView*>(), Qt::Key_Down);
    QTest::keyClick(w->findChild<QTableView*>(), Qt::Key_Delete);
    QCOMPARE(stored(e.db), QStringList { "CD" });
    QCOMPARE(shown(w.get()), QStringList { "CD" });
}

void TestBrowseMedia::columnsRemembered()
{
    ListEnv e;
    addMedia(e.db, { "CD" });
    int wide = 0;
    {
        auto w = openList(e);
        QHeaderView* h = w->findChild<QTableView*>()->horizontalHeader();
        h->resizeSection(0, h->sectionSize(0) + 90);
        wide = h->sectionSize(0);
        w->close();
    }
    const QString ini = positionIniPath();
    QVERIFY(!ini::readString(ini, "BrowseMedia", "SRCF?Browse:1").isEmpty());
    QCOMPARE(ini::readString(ini, "BrowseMedia", "SRCFOriginal?Browse:1"),
        QStringLiteral("80L(2)|M~Media~L(2)@s20@"));
    QVERIFY(!ini::readString(ini, "BrowseMedia", "XPosit").isEmpty());
    QVERIFY(
        ini::readString(ini, "BrowseMedia", "SRCF?Browse:1") != QStringLiteral("80L(2)|M~Media~L(2)@s20@"));
    auto again = openList(e);
    QHeaderView* h = again->findChild<QTableView*>()->horizontalHeader();
    QVERIFY2(qAbs(h->sectionSize(0) - wide) <= 4, qPrintable(QString::number(h->sectionSize(0))));
}

void TestBrowseMedia::childWindowClosesItself()
{
    ListEnv e;
    addMedia(e.db, { "CD" });
    QMdiArea area;
    area.resize(600, 400);
    area.show();
    QWidget* w = createBrowseMedia(e.state);
    QMdiSubWindow* sub = area.addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    QCOMPARE(sub->windowTitle(), QStringLiteral("Browse Media Formats"));
    QPointer<QMdiSubWindow> watch(sub);
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Exit")), Qt::LeftButton);
    QTRY_VERIFY(watch.isNull());
    QVERIFY(area.subWindowList().isEmpty());
    QVERIFY(!ini::readString(positionIniPath(), "BrowseMedia", "XPosit").isEmpty());
    // The table was released with the window.
    QCOMPARE(e.db.useCount(TableId::Media), 0);
}

void TestBrowseMedia::selectMode_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("exitInstead");
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<QString>("value");
    QTest::newRow("starts at the caller's value") << "LP" << false << true << "LP";
    QTest::newRow("no value: the first") << "" << false << true << "cassette";
    QTest::newRow("Exit keeps the value") << "LP" << true << false << "LP";
}

void TestBrowseMedia::selectMode()
{
    QFETCH(QString, start);
    QFETCH(bool, exitInstead);
    QFETCH(bool, chosen);
    QFETCH(QString, value);
    ListEnv e;
    addMedia(e.db, { "CD", "LP", "cassette", "DAT" });
    QString media = start;
    test::onModal("BrowseMedia", [&](QDialog* d) {
        if (exitInstead)
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Exit")), Qt::LeftButton);
        else
            QTest::keyClick(d->findChild<QTableView*>(), Qt::Key_Return);
    });
    test::Answer<QString> answered;
    BrowseMedia(e.state, nullptr, start, answered.answer());
    QVERIFY(answered.wait());
    QCOMPARE(!answered.value().isEmpty(), chosen);
    if (chosen)
        media = answered.value();
    QCOMPARE(media, value);
}

QTEST_MAIN(TestBrowseMedia)
#include "tst_browsemedia.moc"

// Starting the playlist reports: the preview question, an empty playlist, and the DJ log's way
// through the query wizard to the preview.

#include "../PlaylistFixture.h"
#include "FormDriver.h"

#include "playlists/ui/PlaylistPrints.h"

#include <QTest>

using namespace td;
using namespace td::test;

class TestPlaylistPrints : public QObject {
    Q_OBJECT
private slots:
    void emptyPlaylist_data();
    void emptyPlaylist();
    void djLogThroughWizardToPreview();
};

void TestPlaylistPrints::emptyPlaylist_data()
{
    QTest::addColumn<bool>("top40");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("then");
    QTest::newRow("preview") << false << int(Yes) << QStringLiteral("Nothing to Preview.");
    QTest::newRow("print") << false << int(No) << QStringLiteral("Nothing to Print.");
    QTest::newRow("chart preview") << true << int(Yes) << QStringLiteral("Nothing to Preview.");
    QTest::newRow("cancel") << true << int(Cancel) << QString();
}

void TestPlaylistPrints::emptyPlaylist()
{
    QFETCH(bool, top40);
    QFETCH(int, answer);
    QFETCH(QString, then);
    PlaylistApp t;
    t.addPlaylist(3, QStringLiteral("Empty"));
    t.addPlaylist(4, QStringLiteral("Full"));
    t.addLine(4, 1, 1);
    t.script->plan(answer);
    Response got = Response::None;
    (top40 ? PrintPlaylistTop40 : PrintPlaylist)(t.state, nullptr, 3, [&](Response r) { got = r; });
    QCOMPARE(got, Response::Cancelled);
    QCOMPARE(t.script->asked().first().text, QStringLiteral("Do you wish to PREVIEW this Report?"));
    QCOMPARE(t.script->asked().size(), then.isEmpty() ? 1 : 2);
    if (!then.isEmpty())
        QCOMPARE(t.script->asked().last().text, then);
}

void TestPlaylistPrints::djLogThroughWizardToPreview()
{
    PlaylistApp t;
    t.addSong(1987, 0, QStringLiteral("Bravo"));
    t.script->plan(Yes);
    Response got = Response::None;
    onDialog(QStringLiteral("QueryWizard"), [](QDialog* d) { d->accept(); });
    PrintDJList(t.state, nullptr, [&](Response r) { got = r; });
    QDialog* preview = nullptr;
    QVERIFY(QTest::qWaitFor([&] { return (preview = shownDialog(QStringLiteral("ReportPreview"))); }, 10000));
    QCOMPARE(t.script->asked().first().caption, QStringLiteral("Preview"));
    preview->reject();
    QTRY_COMPARE(got, Response::Cancelled);
}

QTEST_MAIN(TestPlaylistPrints)
#include "tst_playlistprints.moc"

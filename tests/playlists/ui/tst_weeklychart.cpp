// "Char&t": the question, the progress window and the marks it leaves.

#include "../PlaylistFixture.h"

#include "common/ui/ProgressWindow.h"
#include "playlists/ui/ThisWeekToLastWeek.h"

#include <QApplication>
#include <QTest>

using namespace td;
using namespace td::test;

class TestWeeklyChart : public QObject {
    Q_OBJECT
private slots:
    void questionThenMarks_data();
    void questionThenMarks();
};

void TestWeeklyChart::questionThenMarks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("firstNotes");
    QTest::addColumn<int>("response");
    QTest::newRow("OK") << int(Ok) << QStringLiteral("New LW:1") << int(Response::Completed);
    QTest::newRow("Cancel") << int(Cancel) << QStringLiteral("New LW:15") << int(Response::Cancelled);
}

void TestWeeklyChart::questionThenMarks()
{
    QFETCH(int, answer);
    QFETCH(QString, firstNotes);
    QFETCH(int, response);
    PlaylistApp t;
    t.addPlaylist(4, QStringLiteral("Top"));
    t.addLine(4, 1, 1, QStringLiteral("New LW:15"));
    t.addLine(4, 2, 1);
    QWidget caller;
    caller.show();
    t.script->plan(answer);
    int got = -1;
    ThisWeekToLastWeek(t.state, &caller, 4, [&](Response r) { got = int(r); });
    QTRY_COMPARE(got, response);
    QCOMPARE(t.script->asked().first().caption, QStringLiteral("Warning"));
    QCOMPARE(t.script->asked().first().text,
             QStringLiteral("This will copy the current chart standings into the notes field to be used as \"last week's chart positions\"."));
    QCOMPARE(t.script->asked().first().buttons, Ok | Cancel);
    QCOMPARE(t.lines(4).first().PlaylistNotes, firstNotes);
    QTRY_VERIFY(caller.isEnabled());
}

QTEST_MAIN(TestWeeklyChart)
#include "tst_weeklychart.moc"

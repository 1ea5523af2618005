// The shared list pieces on their own: a column format applied to a header and read back (widths,
// moved columns, bad formats), the paged table model (pictures, justification, drag data, model
// checks) and the list control's keys (paging, locator, the keys that become signals).

#include "ScriptedMessages.h"
#include "TestDb.h"
#include "TempWorkspace.h"

#include "common/PagedList.h"
#include "common/ui/BrowseList.h"
#include "common/ui/ColumnFormatMemory.h"
#include "common/ui/PagedTableModel.h"
#include "core/ConfigPaths.h"
#include "core/DayTime.h"
#include "core/IniFile.h"
#include "data/Database.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTableView>
#include <QtTest>

using namespace td;
using namespace td::test;

namespace {

const char* const kFormat = "80L(2)|M~Title~@s40@60R(2)|M~Time~C(0)@t4b@60L(2)|M~Artist~@s40@";

QString titleAt(const PagedList& l, int row)
{
    return l.rows().at(row).row.at(tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("Title"))).toString();
}

} // namespace

class TstBrowseList : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDb> env_;
    TempWorkspace* ws_ = nullptr;
    Messages* messages_ = nullptr;
    Database* db_ = nullptr;
    std::unique_ptr<Table<Tunedeck>> songs_;

    void addSongs(int n)
    {
        for (int i = 0; i < n; ++i) {
            songs_->clear();
            songs_->rec.Title = QStringLiteral("T%1").arg(i, 3, 10, QLatin1Char('0'));
            songs_->rec.Artist = QStringLiteral("A");
            songs_->rec.Time = i == 0 ? 0 : 22501;
            songs_->rec.ID = i + 1;
            QCOMPARE(songs_->add(), 0);
        }
    }

    std::unique_ptr<PagedTableModel> model(PagedList& list)
    {
        auto m = std::make_unique<PagedTableModel>(list);
        const TableDef& t = tableDef(TableId::Tunedeck);
        const int title = t.fieldIndex(QStringLiteral("Title"));
        const int time = t.fieldIndex(QStringLiteral("Time"));
        const int artist = t.fieldIndex(QStringLiteral("Artist"));
        const int id = t.fieldIndex(QStringLiteral("ID"));
        m->setColumns(QString::fromLatin1(kFormat), {[title](const PageRow& r) { return r.row.at(title); },
                                                     [time](const PageRow& r) { return r.row.at(time); },
                                                     [artist](const PageRow& r) { return r.row.at(artist); }});
        m->setDragData(QStringLiteral("application/x-test"), [id](const PageRow& r) { return QByteArray::number(r.row.at(id).toInt()); });
        return m;
    }

private slots:
    void init()
    {
        env_ = std::make_unique<TestDb>();
        ws_ = &env_->ws;
        messages_ = &env_->messages;
        db_ = &env_->db;
        songs_ = std::make_unique<Table<Tunedeck>>(*db_);
    }
    void cleanup()
    {
        songs_.reset();
        env_.reset();
    }

    void modelShowsOnePage()
    {
        addSongs(30);
        PagedList list(*songs_);
        list.setOrder(songs_->key(QStringLiteral("MUS:SongsByTitle")));
        list.setPageSize(10);
        auto m = model(list);
        QAbstractItemModelTester tester(m.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(m->rowCount(), 0);
        list.first();
        m->pageChanged();
        QCOMPARE(m->rowCount(), 10);
        QCOMPARE(m->columnCount(), 3);
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Time"));
        QCOMPARE(m->data(m->index(1, 0)).toString(), QStringLiteral("T001"));
        // "@t4b": 3 minutes 45 seconds, and blank for no time.
        QCOMPARE(m->data(m->index(1, 1)).toString(), QStringLiteral("00:03:45"));
        QCOMPARE(m->data(m->index(0, 1)).toString(), QString());
        QCOMPARE(m->data(m->index(1, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        // A header with its own justification ("~Time~C(0)") is placed by it; others as their values.
        QCOMPARE(m->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignHCenter | Qt::AlignVCenter));
        QCOMPARE(m->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
        std::unique_ptr<QMimeData> d(m->mimeData({m->index(2, 0)}));
        QCOMPARE(d->data(QStringLiteral("application/x-test")), QByteArray("3"));
        list.pageDown();
        m->pageChanged();
        QCOMPARE(m->data(m->index(0, 0)).toString(), QStringLiteral("T010"));
    }

    void columnFormatOnAHeader()
    {
        addSongs(3);
        PagedList list(*songs_);
        auto m = model(list);
        QTableView view;
        view.setModel(m.get());
        QHeaderView* h = view.horizontalHeader();
        h->setSectionsMovable(true);
        applyColumnFormat(h, QString::fromLatin1(kFormat));
        QCOMPARE(h->sectionSize(0), dialogUnitsToPixels(h, 80));
        QCOMPARE(currentColumnFormat(h, QString::fromLatin1(kFormat)), QString::fromLatin1(kFormat));

        // Widths and order as the user leaves them come back on another header.
        h->resizeSection(2, dialogUnitsToPixels(h, 100));
        h->moveSection(2, 0);
        const QString saved = currentColumnFormat(h, QString::fromLatin1(kFormat));
        QVERIFY2(saved.startsWith(QLatin1String("100L(2)|M~Artist~#3#@s40@")), qPrintable(saved));
        QTableView other;
        other.setModel(m.get());
        other.horizontalHeader()->setSectionsMovable(true);
        applyColumnFormat(other.horizontalHeader(), saved);
        QCOMPARE(other.horizontalHeader()->logicalIndex(0), 2);
        QCOMPARE(other.horizontalHeader()->sectionSize(2), dialogUnitsToPixels(h, 100));
        QCOMPARE(currentColumnFormat(other.horizontalHeader(), QString::fromLatin1(kFormat)), saved);

        // Formats that do not fit leave the header alone.
        QTableView third;
        third.setModel(m.get());
        const int before = third.horizontalHeader()->sectionSize(0);
        applyColumnFormat(third.horizontalHeader(), QStringLiteral("not a format~"));
        applyColumnFormat(third.horizontalHeader(), QStringLiteral("80L~A~#9#@s1@"));
        applyColumnFormat(third.horizontalHeader(), QStringLiteral("80L~A~#1#@s1@80L~B~#1#@s1@"));
        QCOMPARE(third.horizontalHeader()->sectionSize(0), before);

        // Through the INI keys.
        ColumnFormatMemory memory(h, ColumnFormatKeys{QStringLiteral("TestList"), QStringLiteral(":1")},
                                  QString::fromLatin1(kFormat));
        memory.save();
        QCOMPARE(ini::readString(positionIniPath(), QStringLiteral("TestList"), QStringLiteral("SRCF?Browse:1")), saved);
    }

    void keysOnTheList()
    {
        addSongs(30);
        PagedList list(*songs_);
        list.setOrder(songs_->key(QStringLiteral("MUS:SongsByTitle")));
        auto m = model(list);
        BrowseList b(list, *m);
        b.resize(400, 10 * b.view()->verticalHeader()->defaultSectionSize() + b.view()->horizontalHeader()->sizeHint().height() + 8);
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        QVERIFY(b.run([](PagedList& l) { return l.first(); }));
        const int rows = list.pageSize();
        QVERIFY(rows >= 5 && rows <= 12);
        QCOMPARE(list.rowCount(), rows);
        QWidget* v = b.view();

        QTest::keyClick(v, Qt::Key_PageDown);
        QCOMPARE(titleAt(list, list.highlight()), QStringLiteral("T%1").arg(rows, 3, 10, QLatin1Char('0')));
        QTest::keyClick(v, Qt::Key_End);
        QCOMPARE(titleAt(list, list.highlight()), QStringLiteral("T029"));
        QCOMPARE(b.scrollBar()->value(), 100);
        QTest::keyClick(v, Qt::Key_Home);
        QCOMPARE(b.scrollBar()->value(), 0);
        QTest::keyClick(v, Qt::Key_Down);
        QCOMPARE(titleAt(list, list.highlight()), QStringLiteral("T001"));

        QSignalSpy inserts(&b, &BrowseList::insertRequested);
        QSignalSpy deletes(&b, &BrowseList::deleteRequested);
        QSignalSpy changes(&b, &BrowseList::changeRequested);
        QTest::keyClick(v, Qt::Key_Insert);
        QTest::keyClick(v, Qt::Key_Delete);
        QTest::keyClick(v, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(v, Qt::Key_Return);      // Enter alone is the window's default button
        QCOMPARE(inserts.size(), 1);
        QCOMPARE(deletes.size(), 1);
        QCOMPARE(changes.size(), 1);

        // No locator set: typing does nothing to the list.
        QTest::keyClicks(v, QStringLiteral("t02"));
        QCOMPARE(titleAt(list, list.highlight()), QStringLiteral("T001"));
        b.setLocator([](const QString& t) { return Row{QVariant(t)}; }, 4);
        QSignalSpy located(&b, &BrowseList::locatorChanged);
        QTest::keyClicks(v, QStringLiteral("t02"));
        QCOMPARE(titleAt(list, list.highlight()), QStringLiteral("T020"));
        QTest::keyClicks(v, QStringLiteral("57"));      // the fifth character is over the limit of 4
        QCOMPARE(b.locatorText(), QStringLiteral("t025"));
        QTest::keyClick(v, Qt::Key_Backspace);
        QCOMPARE(b.locatorText(), QStringLiteral("t02"));
        QTest::keyClick(v, Qt::Key_F5);                 // a key that gives no character
        QCOMPARE(b.locatorText(), QStringLiteral("t02"));
        QCOMPARE(located.last().first().toString(), QStringLiteral("t02"));
        QCOMPARE(titleAt(list, list.highlight()), QStringLiteral("T020"));

        // A read that fails is reported and leaves the page.
        QSignalSpy failed(&b, &BrowseList::readFailed);
        list.setCondition(QStringLiteral("no_such_column = 1"));
        QTest::keyClick(v, Qt::Key_Home);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(titleAt(list, list.highlight()), QStringLiteral("T020"));
    }

    // A column is at least as wide as the widest value its picture shows, whatever width it was
    // designed or remembered with; a long text keeps the width it was given.
    void columnsShowTheirValuesInFull_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("widened");
        QTest::newRow("time") << "@t4b" << "Time" << true;
        QTest::newRow("short time") << "@t1" << "Time" << true;
        QTest::newRow("system date") << "@d17b" << "ReleaseDate" << true;
        QTest::newRow("long date") << "@d18" << "ReleaseDate" << true;
        QTest::newRow("dd mmm yyyy") << "@d8" << "ReleaseDate" << true;
        QTest::newRow("number") << "@n_6" << "ID" << true;
        QTest::newRow("short text") << "@s20" << "Media" << true;
        QTest::newRow("long text") << "@s40" << "Title" << false;
    }

    void columnsShowTheirValuesInFull()
    {
        QFETCH(QString, picture);
        QFETCH(QString, field);
        QFETCH(bool, widened);
        const int fieldIndex = tableDef(TableId::Tunedeck).fieldIndex(field);
        struct Value {
            QString media;
            int date;
            int time;
        };
        const Value values[] = {{"Cassette (Dolby B)", dayFromYmd(1997, 9, 28), timeFromParts(0, 9, 58)},
                                {"Cassette (Prerecorded)", dayFromYmd(2000, 12, 31), timeFromParts(88, 58, 8, 88)},
                                {"CD", dayFromYmd(1965, 5, 3), timeFromParts(23, 48, 48, 80)}};
        int id = 800000;
        for (const Value& v : values) {
            songs_->clear();
            songs_->rec.ID = ++id;
            songs_->rec.Title = QStringLiteral("A title that is far longer than a narrow column");
            songs_->rec.Media = v.media;
            songs_->rec.ReleaseDate = v.date;
            songs_->rec.Time = v.time;
            QCOMPARE(songs_->add(), 0);
        }
        PagedList list(*songs_);
        list.setOrder(songs_->key(QStringLiteral("MUS:KeyID")));
        list.setPageSize(10);
        PagedTableModel model(list);
        const QString format = QStringLiteral("16L(2)|M~Column~%1@").arg(picture);
        model.setColumns(format, {[fieldIndex](const PageRow& r) { return r.row.at(fieldIndex); }});
        QCOMPARE(list.first(), 0);
        model.pageChanged();
        QTableView view;
        view.setModel(&model);
        QHeaderView* h = view.horizontalHeader();
        // Designed narrow, and remembered narrower still.
        ini::writeString(positionIniPath(), "Narrow", "SRCF?Browse:1", "4L(2)|M~Column~" + picture + "@");
        ColumnFormatMemory memory(h, ColumnFormatKeys {QStringLiteral("Narrow"), QStringLiteral(":1")}, format);
        memory.restore();
        const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
        const int room = h->sectionSize(0) - 2 * margin;
        const QFontMetrics fm(view.font());
        int widest = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            widest = qMax(widest, fm.horizontalAdvance(model.data(model.index(row, 0)).toString()));
        QVERIFY(widest > 0);
        if (widened)
            QVERIFY2(widest <= room, qPrintable(QStringLiteral("%1 px of text in %2 px").arg(widest).arg(room)));
        else
            QVERIFY(room < widest);
    }
};

QTEST_MAIN(TstBrowseList)
#include "tst_browselist.moc"

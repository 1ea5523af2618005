// The CSV exchange: splitting and writing fields, reading awkward files, the import rules, a round
// trip of every song field through export and import, and the command line's exit codes.

#include "TestDb.h"
#include "data/TableHandle.h"
#include "exchange/CsvText.h"
#include "exchange/ExportRun.h"
#include "exchange/ImportRun.h"
#include "exchange/ImportSetup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <tuple>

using namespace td;
using td::test::TestDb;

namespace {

// "Q:text" for a quoted field, "U:text" for an unquoted one.
QStringList splitAll(CsvSplitter& s)
{
    QStringList out;
    QString text;
    for (CsvField f; (f = s.next(text)) != CsvField::None;)
        out << (f == CsvField::Quoted ? QStringLiteral("Q:") : QStringLiteral("U:")) + text;
    return out;
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(bytes);
    return path;
}

// Every record of the file as its fields (unquoted and quoted alike).
QList<QStringList> readAll(CsvReader& r)
{
    QList<QStringList> out;
    while (r.readLine() > 0) {
        QStringList fields;
        while (r.nextField() != CsvField::None)
            fields << r.text();
        out << fields;
    }
    return out;
}

QList<Tunedeck> songsByArtist(Database& db)
{
    QList<Tunedeck> out;
    Table<Tunedeck> t(db);
    t.set(t.key(QStringLiteral("MUS:SongsByArtist")));
    while (t.next() == 0)
        out << t.rec;
    return out;
}

QString categoryName(Database& db, qint64 id)
{
    Table<Categories> c(db);
    c.rec.CategoryID = id;
    return c.get(c.key(QStringLiteral("CAT:KeyCategoryID"))) == 0 ? c.rec.Category : QStringLiteral("?");
}

// Imports `csv` with the given assignments ("Field_1=MUS:Artist" ...), pictures and strip flag.
struct ImportResult {
    qint64 added = 0;
    qint64 categories = 0;
    bool stopped = false;
    bool completed = false;
};
ImportResult importText(TestDb& t, const QByteArray& csv, const QStringList& assigns,
    const QStringList& pictures = {}, bool useAuto = false)
{
    const QString path = writeFile(t.ws.file(QStringLiteral("in.csv")), csv);
    CsvReader reader(t.messages);
    ImportResult res;
    if (reader.open(path) != CsvReader::OpenResult::Opened)
        return res;
    ImportOptions o;
    if (!buildImportFields(reader, o.fields))
        return res;
    for (const QString& p : pictures)
        o.fields[p.section(QLatin1Char('='), 0, 0).mid(6).toInt() - 1].picture
            = p.section(QLatin1Char('='), 1);
    for (const QString& a : assigns)
        o.assignment.assign(
            int(importTargets().indexOf(a.section(QLatin1Char('='), 1))), a.section(QLatin1Char('='), 0, 0));
    if (useAuto) {
        autoAssign(o.fields, o.assignment);
        o.stripHeader = true;
    }
    ImportRun run(t.db, reader, o);
    run.runToEnd();
    res = { run.songsAdded(), run.categoriesAdded(), run.stopped(), run.completed() };
    return res;
}

QString toolPath()
{
#ifdef TD_CSV_TOOL
    return QStringLiteral(TD_CSV_TOOL);
#else
    return {};
#endif
}

} // namespace

class TestCsvExchange : public QObject {
    Q_OBJECT
private slots:
    void splitter_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("empty middle field") << "a,,b" << QStringList { "U:a", "U:", "U:b" };
        QTest::newRow("blank after last comma") << "a,  " << QStringList { "U:a" };
        QTest::newRow("comma at the end") << "a," << QStringList { "U:a" };
        QTest::newRow("blank line") << "   " << QStringList {};
        QTest::newRow("doubled quotes") << "\"say \"\"hi\"\"\",x" << QStringList { "Q:say \"hi\"", "U:x" };
        QTest::newRow("comma inside quotes") << "\"a,b\",\"c\"" << QStringList { "Q:a,b", "Q:c" };
        QTest::newRow("empty quoted") << "\"\",7" << QStringList { "Q:", "U:7" };
        QTest::newRow("no closing quote") << "x,\"open, rest" << QStringList { "U:x", "Q:open, rest" };
        QTest::newRow("leading blank kept") << " a, b" << QStringList { "U: a", "U: b" };
        QTest::newRow("text after closing quote") << "\"a\"b,c" << QStringList { "Q:a", "U:", "U:c" };
        QTest::newRow("quote inside unquoted") << "ab\"c,d" << QStringList { "U:ab\"c", "U:d" };
    }
    void splitter()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        CsvSplitter s(line);
        QCOMPARE(splitAll(s), fields);
        QCOMPARE(s.position(), 0);
    }

    void fieldText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QString>("text");
        QTest::newRow("text, trailing blanks") << QVariant("Abba   ") << "@s40" << false << "\"Abba\"";
        QTest::newRow("text, quotes doubled") << QVariant("12\" Mix") << "@S20" << false << "\"12\"\" Mix\"";
        QTest::newRow("blank text") << QVariant(QString()) << "@s40" << false << "\"\"";
        QTest::newRow("header brackets") << QVariant("A[1,2]") << "@s50" << true << "\"A_1_2 \"";
        QTest::newRow("data brackets kept") << QVariant("A[1,2]") << "@s50" << false << "\"A[1,2]\"";
        QTest::newRow("number without picture blanks") << QVariant(7) << "@n3" << false << "7";
        QTest::newRow("zero number") << QVariant(0) << "@n_4b" << false << "0";
        QTest::newRow("negative number") << QVariant(-12) << "@n-13" << false << "-12";
        QTest::newRow("text under number picture") << QVariant("a,b") << "@n3" << false << "\"a,b\"";
        QTest::newRow("date") << QVariant(72000) << "@d2" << false << "\"02/13/1998\"";
        QTest::newRow("zero date") << QVariant(0) << "@d2" << false << "\"\"";
        QTest::newRow("time") << QVariant(22501) << "@t4" << false << "\"00:03:45\"";
    }
    void fieldText()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, picture);
        QFETCH(bool, header);
        QFETCH(QString, text);
        QCOMPARE(CsvWriter::fieldText(value, picture, header), text);
    }

    // Files as the user has them: every record, or the message that refuses the file.
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QStringList>>("records");
        QTest::addColumn<QString>("caption"); // of the one message expected, empty for none
        QTest::addColumn<QString>("text");
        const QList<QStringList> none;
        QTest::newRow("BOM and CRLF") << QByteArray("\xEF\xBB\xBF\"A\",1\r\n\"B\",2\r\n")
                                      << QList<QStringList> { { "A", "1" }, { "B", "2" } } << ""
                                      << "";
        QTest::newRow("no line end at the end")
            << QByteArray("a\nb") << QList<QStringList> { { "a" }, { "b" } } << ""
            << "";
        QTest::newRow("quoted line break") << QByteArray("\"one\ntwo\",x\ny\n")
                                           << QList<QStringList> { { "one\ntwo", "x" }, { "y" } } << ""
                                           << "";
        // The quoted line break is kept as written (csv-spectrum's newlines_crlf).
        QTest::newRow("quoted CRLF kept")
            << QByteArray("a,b,c\r\n1,2,3\r\n\"Once upon \r\na time\",5,6\r\n7,8,9\r\n")
            << QList<QStringList> { { "a", "b", "c" }, { "1", "2", "3" }, { "Once upon \r\na time", "5", "6" },
                   { "7", "8", "9" } }
            << "" << "";
        QTest::newRow("CR-only line ends") << QByteArray("a,b\r1,\"x\ry\"\r2,3\r")
                                           << QList<QStringList> { { "a", "b" }, { "1", "x\ry" }, { "2", "3" } }
                                           << "" << "";
        QTest::newRow("blank lines skipped") << QByteArray("\na\n\n \t\r\nb\r\r\n\n")
                                             << QList<QStringList> { { "a" }, { "b" } } << "" << "";
        QTest::newRow("blank lines only") << QByteArray("\n  \r\n") << none << "" << "";
        // An open quote goes on to its closing quote, or to the end of the file, whatever follows.
        QTest::newRow("quote never closed")
            << QByteArray("x\n\"open,a\nb,c\n") << QList<QStringList> { { "x" }, { "open,a\nb,c" } } << ""
            << "";
        QTest::newRow("quote closed lines later")
            << QByteArray("\"open\n\nb\",c\nd\n") << QList<QStringList> { { "open\n\nb", "c" }, { "d" } } << ""
            << "";
        QTest::newRow("UTF-8") << QByteArray("\"Bj\xC3\xB6rk\",\"\xE6\x9D\xB1\"\n")
                               << QList<QStringList> { { QString::fromUtf8("Björk"),
                                      QString::fromUtf8("東") } }
                               << ""
                               << "";
        QTest::newRow("Latin-1 line")
            << QByteArray("\"Bj\xF6rk\"\n") << QList<QStringList> { { QString::fromUtf8("Björk") } } << ""
            << "";
        QTest::newRow("empty file") << QByteArray() << none << "Attention!"
                                    << "That file is empty!  Please pick another file.";
        QTest::newRow("UTF-16 without BOM") << QByteArray("a\0,\0b\0\n\0", 8) << none << "Attention!"
                                            << "binary data";
        QTest::newRow("UTF-16 with BOM") << QByteArray("\xFF\xFE"
                                                       "a\0",
            4) << none << "Attention!"
                                         << "UTF-16";
        QByteArray longLine = "a\n" + QByteArray(csv::kMaxLine + 1, 'x') + "\nb\n";
        QTest::newRow("line too long") << longLine << QList<QStringList> { { "a" } } << "Cannot READ "
                                       << "Line 2 is longer than 16000 characters";
        QTest::newRow("quote open past the line limit")
            << QByteArray("a\n\"open\n") + QByteArray(csv::kMaxLine, 'x') + "\n\"closed\n"
            << QList<QStringList> { { "a" } } << "Cannot READ "
            << "Line 2 starts a quoted field that does not end within 16000 characters";
        QByteArray longField = "a\nb\n\"" + QByteArray(csv::kMaxField + 1, 'x') + "\"\n";
        QTest::newRow("field too long")
            << longField << QList<QStringList> { { "a" }, { "b" }, {} } << "Cannot READ "
            << "Line 3 has a field longer than 4000 characters";
        // Three quoted fields of 4000 and one of 3991 make a line of 16000.
        const QByteArray full = "\"" + QByteArray(csv::kMaxField, 'x') + "\",";
        const QString fullText(csv::kMaxField, QLatin1Char('x'));
        QTest::newRow("line and fields at their limits")
            << full + full + full + QByteArray(3991, 'y')
            << QList<QStringList> { QStringList {
                   fullText, fullText, fullText, QString(3991, QLatin1Char('y')) } }
            << ""
            << "";
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QStringList>, records);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        TestDb t;
        const QString path = writeFile(t.ws.file(QStringLiteral("in.csv")), bytes);
        CsvReader r(t.messages);
        if (r.open(path) == CsvReader::OpenResult::Opened) {
            QCOMPARE(r.size(), qint64(bytes.size()));
            QCOMPARE(readAll(r), records);
        } else {
            QVERIFY(records.isEmpty());
        }
        QCOMPARE(t.script->asked().size(), caption.isEmpty() ? 0 : 1);
        if (!caption.isEmpty()) {
            QVERIFY2(t.script->asked().first().caption.startsWith(caption),
                qPrintable(t.script->asked().first().caption));
            QVERIFY2(
                t.script->asked().first().text.contains(text), qPrintable(t.script->asked().first().text));
        }
        QFile f(path); // the file read is never changed
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
    }

    void openAndCreateFailures()
    {
        TestDb t;
        CsvReader r(t.messages);
        const QString missing = t.ws.file(QStringLiteral("missing.csv"));
        int asked = 0;
        QStringList answers { missing, writeFile(t.ws.file(QStringLiteral("ok.csv")), "a\n") };
        QVERIFY(r.openAsking([&] { return answers.value(asked++); }));
        QCOMPARE(t.script->captions(), QStringList { "Cannot OPEN " + missing });
        QCOMPARE(t.script->asked().first().text, QStringLiteral("Error #2 - File Not Found"));
        asked = 0;
        answers = QStringList { QString() };
        QVERIFY(!r.openAsking([&] { return answers.value(asked++); })); // cancelled dialog

        CsvWriter w(t.messages);
        const QString nowhere = t.ws.file(QStringLiteral("no/such/dir/out.csv"));
        QVERIFY(!w.create(nowhere));
        QCOMPARE(t.script->captions().last(), "Cannot CREATE " + nowhere);
        QVERIFY(t.script->asked().last().text.startsWith(QStringLiteral("Error #")));
    }

    void writeFailureAsksRetryOrAbort()
    {
        if (!QFileInfo::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        TestDb t;
        CsvWriter w(t.messages);
        QVERIFY(w.create(QStringLiteral("/dev/full")));
        w.startLine();
        w.addField(QString(2 << 20, 'x'), QStringLiteral("@s40"));
        t.script->plan(Retry);
        QVERIFY(!w.addLine()); // Retry fails again, then the default Abort
        QCOMPARE(
            t.script->captions(), (QStringList { "Cannot ADD to /dev/full", "Cannot ADD to /dev/full" }));
        QCOMPARE(t.script->asked().first().buttons, int(Retry | Abort));
        QCOMPARE(t.script->asked().first().defaultButton, int(Abort));
    }

    // Written files are plain RFC 4180: another CSV reader gets the same values back.
    void pythonReadsWhatIsWritten()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 not found");
        TestDb t;
        const QStringList values { "plain", "with \"quotes\"", "comma, here", "line\nbreak",
            QString::fromUtf8("Motörhead 東"), "" };
        const QString path = t.ws.file(QStringLiteral("out.csv"));
        CsvWriter w(t.messages);
        QVERIFY(w.create(path));
        w.startLine();
        for (const QString& v : values)
            w.addField(v, QStringLiteral("@s80"));
        w.addField(42, QStringLiteral("@n3"));
        QVERIFY(w.addLine());
        QVERIFY(w.close());
        QProcess p;
        p.start(python,
            { "-c",
                "import csv,sys,json\nr=list(csv.reader(open(sys.argv[1],newline='',encoding='utf-8')))\n"
                "print(json.dumps(r))",
                path });
        QVERIFY(p.waitForFinished(20000));
        const QJsonArray rows = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), 1);
        QStringList expected = values;
        expected << "42";
        QCOMPARE(rows.at(0).toVariant().toStringList(), expected);
    }

    void importFieldsFromFirstLines()
    {
        TestDb t;
        const QString path
            = writeFile(t.ws.file(QStringLiteral("in.csv")), "\"A\",\"B\",\"C\"\n\"x\",\"12\",12\n\"y\"\n");
        CsvReader r(t.messages);
        QCOMPARE(r.open(path), CsvReader::OpenResult::Opened);
        QList<ImportField> fields;
        QVERIFY(buildImportFields(r, fields));
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields.at(2).name, QStringLiteral("Field_3"));
        // A quoted number stays text; only the unquoted one reads as a number.
        QCOMPARE(fields.at(1).picture, QStringLiteral("@S1000"));
        QCOMPARE(fields.at(2).picture, QStringLiteral("@N30.9"));
        QCOMPARE(importTypeText(fields.at(2).picture), QStringLiteral("Numeric"));
        QCOMPARE(fields.at(0).sample, QStringLiteral("A")); // back on the first line
        r.readLine(); // "&Next"
        r.readLine();
        takeSamples(r, fields);
        QCOMPARE(fields.at(0).sample, QStringLiteral("y"));
        QCOMPARE(fields.at(1).sample, QString()); // missing from the short line
    }

    // The import rules, one scenario per row: the file, the assignments and pictures, then each
    // imported song (in artist order) as "artist|title|media|category name|release date|chart".
    void importRules_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("assigns");
        QTest::addColumn<QStringList>("pictures");
        QTest::addColumn<QStringList>("songs");
        QTest::addColumn<int>("categoriesAdded");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("messageText"); // what the message must hold
        const QStringList abc { "Field_1=MUS:Artist", "Field_2=MUS:Title", "Field_3=MUS:CategoryID" };
        QTest::newRow("category added once, found in any case")
            << QByteArray("\"A\",\"t1\",\"Rock\"\n\"B\",\"t2\",\"ROCK\"\n\"C\",\"t3\",\"\"\n") << abc
            << QStringList {} << QStringList { "A|t1||Rock|0|0|0", "B|t2||Rock|0|0|0", "C|t3|||0|0|0" } << 1 << "" << "";
        QTest::newRow("existing category found")
            << QByteArray("\"A\",\"t1\",\"jazz\"\n") << abc << QStringList {}
            << QStringList { "A|t1||Jazz|0|0|0" } << 0 << "" << "";
        QTest::newRow("media codes") << QByteArray(
            "\"A\",\"D\"\n\"B\",\"C\"\n\"C\",\"B\"\n\"D\",\"CD\"\n\"E\",\"c\"\n")
                                     << QStringList { "Field_1=MUS:Artist", "Field_2=MUS:Media" }
                                     << QStringList {}
                                     << QStringList { "A||Cassette (DBX)||0|0|0", "B||Cassette (Dolby-C)||0|0|0",
                                            "C||Cassette (Dolby-B)||0|0|0", "D||CD||0|0|0", "E||c||0|0|0" }
                                     << 0 << "" << "";
        QTest::newRow("date picture read once for two targets")
            << QByteArray("\"A\",\"12/31/1997\"\n")
            << QStringList { "Field_1=MUS:Artist", "Field_2=MUS:ReleaseDate", "Field_2=MUS:Title" }
            << QStringList { "Field_2=@D2" } << QStringList { "A|71956|||71956|0|0" } << 0 << "" << "";
        QTest::newRow("short line leaves targets blank")
            << QByteArray("\"A\",\"t1\",5\n\"B\"\n")
            << QStringList { "Field_1=MUS:Artist", "Field_2=MUS:Title", "Field_3=MUS:ChartNumber" }
            << QStringList {} << QStringList { "A|t1|||0|5|0", "B||||0|0|0" } << 0 << "" << "";
        QTest::newRow("text cut to its width") << QByteArray("\"") + QByteArray(50, 'a') + "\"\n"
                                               << QStringList { "Field_1=MUS:Artist" } << QStringList {}
                                               << QStringList { QString(40, 'a') + "||||0|0|0" } << 0 << "" << "";
        QTest::newRow("song refused stops, songs before stay, no stray category")
            << QByteArray("\"A\",\"t1\",\"Rock\",1\n\"Refused\",\"t2\",\"Blues\",3\n\"C\",\"t3\",\"Rock\",2\n")
            << QStringList { "Field_1=MUS:Artist", "Field_2=MUS:Title", "Field_3=MUS:CategoryID",
                   "Field_4=MUS:ChartNumber" }
            << QStringList {} << QStringList { "A|t1||Rock|0|1|0" } << 1 << "Cannot ADD to Tunedeck!" << "";
        QTest::newRow("too long a line stops there")
            << QByteArray("\"A\"\n") + QByteArray(csv::kMaxLine + 5, 'b') + "\n\"C\"\n"
            << QStringList { "Field_1=MUS:Artist" } << QStringList {} << QStringList { "A||||0|0|0" } << 0
            << "Cannot READ " << "";
        // A time as people write it, by the song form's rule, with or without a time picture.
        QTest::newRow("song times")
            << QByteArray("\"A\",\"2:07\",\"2:07\"\n\"B\",\"1:02:03\",\"1:02:03\"\n\"C\",\"22501\",\"0:03:45\"\n")
            << QStringList { "Field_1=MUS:Artist", "Field_2=MUS:Time", "Field_3=MUS:Title" }
            << QStringList {} << QStringList { "A|2:07|||0|0|12701", "B|1:02:03|||0|0|372301", "C|0:03:45|||0|0|22501" }
            << 0 << "" << "";
        QTest::newRow("song times under @T4")
            << QByteArray("\"A\",\"2:07\"\n\"B\",\"1:02:03\"\n\"C\",\"\"\n")
            << QStringList { "Field_1=MUS:Artist", "Field_2=MUS:Time" } << QStringList { "Field_2=@T4" }
            << QStringList { "A||||0|0|12701", "B||||0|0|372301", "C||||0|0|0" } << 0 << "" << "";
        // Nothing unreadable is guessed or silent: stored empty, the first ones named, all counted.
        QTest::newRow("unreadable values stored empty and reported")
            << QByteArray("\"A\",\"31/02/1997\",nan,\"3:75\"\n\"B\",\"13/13/2020\",1e300,\"x\"\n"
                          "\"C\",\"12/31/1997\",300,\"3:45\"\n\"D\",\"\",12abc,\"\"\n\"E\",,,\n")
            << QStringList { "Field_1=MUS:Artist", "Field_2=MUS:ReleaseDate", "Field_3=MUS:ChartNumber",
                   "Field_4=MUS:Time" }
            << QStringList {}
            << QStringList { "A||||0|0|0", "B||||0|0|0", "C||||71956|0|22501", "D||||0|0|0", "E||||0|0|0" }
            << 0 << "Values Not Imported"
            << "8 values could not be read and were stored empty:|Line 1, Field_2 (MUS:ReleaseDate): "
               "\"31/02/1997\"|Line 1, Field_3 (MUS:ChartNumber): \"nan\"|Line 1, Field_4 (MUS:Time): \"3:75\"|"
               "Line 2, Field_2 (MUS:ReleaseDate): \"13/13/2020\"|Line 2, Field_3 (MUS:ChartNumber): \"1e300\"|"
               "Line 2, Field_4 (MUS:Time): \"x\"|Line 3, Field_3 (MUS:ChartNumber): \"300\"|"
               "Line 4, Field_3 (MUS:ChartNumber): \"12abc\"";
        QTest::newRow("a date the picture cannot read")
            << QByteArray("\"A\",\"31/02/1997\"\n\"B\",\"02/28/1997\"\n")
            << QStringList { "Field_1=MUS:Artist", "Field_2=MUS:ReleaseDate", "Field_2=MUS:Title" }
            << QStringList { "Field_2=@D2" } << QStringList { "A||||0|0|0", "B|71650|||71650|0|0" } << 0
            << "Values Not Imported"
            << "1 value could not be read and was stored empty:|Line 1, Field_2 (MUS:Title, MUS:ReleaseDate): "
               "\"31/02/1997\"";
    }
    void importRules()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, assigns);
        QFETCH(QStringList, pictures);
        QFETCH(QStringList, songs);
        QFETCH(int, categoriesAdded);
        QFETCH(QString, message);
        QFETCH(QString, messageText);
        TestDb t;
        // A song the file refuses to store (a rule of the data file): its line stops the import.
        TableUse songFile(t.db, TableId::Tunedeck);
        QCOMPARE(t.db.exec(QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE INSERT ON Tunedeck.Tunedeck "
                                          "WHEN NEW.Artist='Refused' BEGIN SELECT RAISE(ABORT,'refused'); END")),
            0);
        {
            Table<Categories> c(t.db);
            c.rec.CategoryID = 4;
            c.rec.Category = QStringLiteral("Jazz");
            QCOMPARE(c.add(), 0);
        }
        bool transactionOpenWhileAsking = false; // the songs before are committed first
        t.script->onAsk = [&](const Message&) { transactionOpenWhileAsking |= t.db.inTransaction(); };
        const ImportResult res = importText(t, csv, assigns, pictures);
        QVERIFY(!transactionOpenWhileAsking);
        QStringList got;
        for (const Tunedeck& s : songsByArtist(t.db)) {
            QVERIFY(s.ID > 0); // numbered as it was added
            got << QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                       .arg(s.Artist, s.Title, s.Media,
                           s.CategoryID ? categoryName(t.db, s.CategoryID) : QString())
                       .arg(s.ReleaseDate)
                       .arg(s.ChartNumber)
                       .arg(s.Time);
        }
        QCOMPARE(got, songs);
        QCOMPARE(res.categories, qint64(categoriesAdded));
        Table<Categories> c(t.db);
        QCOMPARE(c.records(), qint64(1 + categoriesAdded));
        const bool stops = message.startsWith(QLatin1String("Cannot"));
        QCOMPARE(res.stopped, stops);
        QCOMPARE(res.completed, !stops);
        if (message.isEmpty()) {
            QVERIFY2(t.script->asked().isEmpty(), qPrintable(t.script->captions().join(", ")));
        } else {
            QCOMPARE(t.script->captions().size(), 1);
            QVERIFY2(t.script->captions().first().startsWith(message),
                qPrintable(t.script->captions().join(", ")));
            if (!messageText.isEmpty())
                QCOMPARE(t.script->asked().first().text, messageText);
        }
    }

    void cancelStopsAfterTheCurrentLine()
    {
        TestDb t;
        QByteArray csv;
        for (int i = 0; i < 100; ++i)
            csv += "\"Artist " + QByteArray::number(i) + "\"\n";
        const QString path = writeFile(t.ws.file(QStringLiteral("in.csv")), csv);
        CsvReader reader(t.messages);
        QCOMPARE(reader.open(path), CsvReader::OpenResult::Opened);
        ImportOptions o;
        QVERIFY(buildImportFields(reader, o.fields));
        o.assignment.assign(0, QStringLiteral("Field_1"));
        ImportRun run(t.db, reader, o);
        QVERIFY(run.start());
        QVERIFY(run.step(10));
        QVERIFY(run.percent() > 0 && run.percent() < 100);
        run.cancel();
        QVERIFY(!run.step(10));
        run.finish();
        QCOMPARE(run.songsAdded(), qint64(11));
        QCOMPARE(Table<Tunedeck>(t.db).records(), qint64(11));
        QVERIFY(!reader.isOpen());
    }

    // A category deleted by another copy of the program while the import runs is added again,
    // never pointed to.
    void categoryDeletedMeanwhileIsAddedAgain()
    {
        TestDb t;
        const QString path = writeFile(t.ws.file(QStringLiteral("in.csv")), "\"A\",\"Rock\"\n\"B\",\"Rock\"\n");
        CsvReader reader(t.messages);
        QCOMPARE(reader.open(path), CsvReader::OpenResult::Opened);
        ImportOptions o;
        QVERIFY(buildImportFields(reader, o.fields));
        o.assignment.assign(int(importTargets().indexOf("MUS:Artist")), QStringLiteral("Field_1"));
        o.assignment.assign(int(importTargets().indexOf("MUS:CategoryID")), QStringLiteral("Field_2"));
        ImportRun run(t.db, reader, o);
        QVERIFY(run.start());
        QVERIFY(run.step(1));
        {
            Messages messages;
            Database other(messages, t.ws.path());
            Table<Categories> c(other);
            QCOMPARE(c.set(c.key(QStringLiteral("CAT:KeyCategoryID"))), 0);
            QCOMPARE(c.next(), 0);
            QCOMPARE(c.del(), 0);
        }
        QVERIFY(!run.step(1));
        run.finish();
        QCOMPARE(run.categoriesAdded(), qint64(2));
        const QList<Tunedeck> songs = songsByArtist(t.db);
        QCOMPARE(songs.size(), 2);
        for (const Tunedeck& s : songs)
            QCOMPARE(categoryName(t.db, s.CategoryID), QStringLiteral("Rock"));
    }

    // Imported songs are numbered and linked as the album link test does it: the album of their
    // title and artist, else that title's compilation by "Various", else none; numbers from the
    // highest found at the start plus two, skipping one another copy took meanwhile.
    void importNumbersAndLinks_data()
    {
        QTest::addColumn<bool>("link");
        QTest::addColumn<QStringList>("songs"); // "artist|album|ID|AlbumID", sorted
        QTest::newRow("linked") << true
                                << QStringList { "ABBA|Arrival|9|5", "Old||7|0", "Other||10|0", "Queen|Hits|12|9",
                                       "Queen|Unknown|13|0", "abba|ARRIVAL|11|5", "||14|0" };
        QTest::newRow("left for housekeeping")
            << false
            << QStringList { "ABBA|Arrival|0|0", "Old||7|0", "Other||10|0", "Queen|Hits|0|0", "Queen|Unknown|0|0",
                   "abba|ARRIVAL|0|0", "||0|0" };
    }
    void importNumbersAndLinks()
    {
        QFETCH(bool, link);
        QFETCH(QStringList, songs);
        TestDb t;
        for (const auto& [id, title, artist] : { std::tuple { 5, "Arrival", "ABBA" }, { 9, "Hits", "Various" } }) {
            Table<Album> a(t.db);
            a.rec.AlbumID = id;
            a.rec.Album = QString::fromLatin1(title);
            a.rec.Artist = QString::fromLatin1(artist);
            QCOMPARE(a.add(), 0);
        }
        {
            Table<Tunedeck> s(t.db);
            s.rec.Artist = QStringLiteral("Old");
            s.rec.ID = 7;
            QCOMPARE(s.add(), 0);
        }
        const QString path = writeFile(t.ws.file(QStringLiteral("in.csv")),
            "\"ABBA\",\"Arrival\"\n\"abba \",\"ARRIVAL\"\n\"Queen\",\"Hits\"\n\"Queen\",\"Unknown\"\n\"\",\"\"\n");
        CsvReader reader(t.messages);
        QCOMPARE(reader.open(path), CsvReader::OpenResult::Opened);
        ImportOptions o;
        QVERIFY(buildImportFields(reader, o.fields));
        o.assignment.assign(int(importTargets().indexOf("MUS:Artist")), QStringLiteral("Field_1"));
        o.assignment.assign(int(importTargets().indexOf("MUS:Album")), QStringLiteral("Field_2"));
        o.link = link;
        ImportRun run(t.db, reader, o);
        QVERIFY(run.start());
        QVERIFY(run.step(1));
        {
            Messages messages;
            Database other(messages, t.ws.path());
            Table<Tunedeck> s(other);
            s.rec.Artist = QStringLiteral("Other");
            s.rec.ID = 10;
            QCOMPARE(s.add(), 0);
        }
        while (run.step(100)) { }
        run.finish();
        QVERIFY(run.completed());
        QStringList got;
        for (const Tunedeck& s : songsByArtist(t.db))
            got << QStringLiteral("%1|%2|%3|%4").arg(s.Artist, s.Album).arg(s.ID).arg(s.AlbumID);
        got.sort();
        QCOMPARE(got, songs);
    }

    // Every field with awkward texts goes out and comes back the same; the file is in artist order.
    void roundTrip()
    {
        TestDb t;
        {
            Table<Categories> c(t.db);
            c.rec.CategoryID = 7;
            c.rec.Category = QString::fromUtf8("Électro, \"new\"");
            QCOMPARE(c.add(), 0);
        }
        QList<Tunedeck> songs;
        Tunedeck a;
        a.Artist = QString::fromUtf8("Zoë \"Z\" Ångström");
        a.Title = QStringLiteral("Comma, and \"quote\"");
        a.Album = QStringLiteral("[Live]");
        a.Media = QStringLiteral("Cassette (Dolby-C)");
        a.FileNumber = QStringLiteral("F-001");
        a.ReleaseDate = 72684;
        a.CategoryID = 7;
        a.ChartNumber = 255;
        a.TrackNumber = 12;
        a.Side = QStringLiteral("2");
        a.Time = 22501;
        a.UserDefinedKeyField = QString::fromUtf8("東京");
        a.AdditionalInformation1 = QStringLiteral("x,y");
        a.AdditionalInformation2 = QStringLiteral("\"\"");
        a.AdditionalInformation3 = QStringLiteral("  leading");
        a.BeatsPerMinute = 128;
        a.Style = QStringLiteral("Style");
        a.Recording = QStringLiteral("Recorded\nin two lines");
        a.Composer = QStringLiteral("C");
        a.PerformanceNotes = QStringLiteral("notes, \"quoted\"");
        a.LastPlayed = 80000;
        a.Notes = QString(1999, QLatin1Char('n'));
        Tunedeck b; // everything blank or zero
        b.Artist = QStringLiteral("Abba");
        songs << a << b;
        for (Tunedeck s : std::as_const(songs)) {
            Table<Tunedeck> tt(t.db);
            tt.rec = s;
            QCOMPARE(tt.add(), 0);
        }
        const QString out = t.ws.file(QStringLiteral("out.csv"));
        ExportOptions eo { out, allExportFields(), true };
        ExportRun ex(t.db, eo);
        ex.runToEnd();
        QVERIFY(ex.completed());
        QCOMPARE(ex.songsWritten(), qint64(2));

        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.contains("\r\n\"Abba\",")); // artist order: Abba first after the header
        TestDb t2;
        const ImportResult res = importText(t2, bytes, {}, {}, true);
        QVERIFY(res.completed);
        QCOMPARE(res.added, qint64(2));
        QCOMPARE(res.categories, qint64(1));
        const QList<Tunedeck> back = songsByArtist(t2.db);
        QCOMPARE(back.size(), 2);
        for (int i = 0; i < 2; ++i) {
            Tunedeck want = songs.at(1 - i);
            Tunedeck got = back.at(i);
            if (want.CategoryID) {
                QCOMPARE(categoryName(t2.db, got.CategoryID), categoryName(t.db, want.CategoryID));
                got.CategoryID = want.CategoryID;
            }
            QVERIFY(got.ID > 0); // numbered on the way in
            got.ID = want.ID;
            QCOMPARE(toRow(got), toRow(want));
        }
    }

    void autoAssignsAnExportedHeader()
    {
        QList<ImportField> fields;
        for (const ExportField& e : allExportFields())
            fields << ImportField { QStringLiteral("Field_%1").arg(fields.size() + 1),
                QStringLiteral("@S1000"), e.name };
        ImportAssignment a;
        QCOMPARE(autoAssign(fields, a), 22);
        QCOMPARE(
            a.field.at(importTargets().indexOf("MUS:CategoryID")), QStringLiteral("Field_23")); // the name
        QCOMPARE(a.field.at(0), QStringLiteral("Field_1"));
    }

    void exportOfAnEmptyTable()
    {
        TestDb t;
        const QString out = t.ws.file(QStringLiteral("out.csv"));
        ExportRun ex(
            t.db, ExportOptions { out, { { "MUS:Title", "@s40" }, { "CAT:Category", "@s30" } }, true });
        ex.runToEnd();
        QVERIFY(ex.completed());
        QCOMPARE(ex.percent(), 100);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("\"MUS:Title\",\"CAT:Category\"\r\n"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stderrHas");
        const QByteArray good = "\"MUS:Artist\",\"MUS:Title\"\n\"A\",\"t\"\n";
        QTest::newRow("import auto") << QStringList { "import", "in.csv", "--auto" } << good << 0
                                     << "Process Completed";
        QTest::newRow("import by hand")
            << QStringList { "import", "in.csv", "--assign", "Field_2=MUS:Title", "--strip-header" } << good
            << 0 << "";
        QTest::newRow("missing file")
            << QStringList { "import", "nothere.csv", "--auto" } << good << 2 << "Cannot OPEN ";
        QTest::newRow("empty file") << QStringList { "import", "in.csv", "--auto" } << QByteArray() << 2
                                    << "That file is empty!";
        QTest::newRow("nothing assigned") << QStringList { "import", "in.csv" } << good << 3
                                          << "You must select one or more fields to import.";
        QTest::newRow("unknown import field")
            << QStringList { "import", "in.csv", "--assign", "Field_9=MUS:Title" } << good << 64
            << "no import field Field_9";
        QTest::newRow("bad picture") << QStringList { "import", "in.csv", "--picture", "Field_1=D2" } << good
                                     << 64 << "Pictures must begin with";
        QTest::newRow("unreadable number reported")
            << QStringList { "import", "in.csv", "--assign", "Field_1=MUS:ChartNumber" }
            << QByteArray("999\n") << 0 << "Values Not Imported: 1 value could not be read";
        QTest::newRow("import without numbering")
            << QStringList { "import", "in.csv", "--auto", "--no-link" } << good << 0 << "Process Completed";
        QTest::newRow("export") << QStringList { "export", "out.csv", "--fields",
            "MUS:Artist,MUS:ReleaseDate=@d17", "--header" }
                                << good << 0 << "Process Completed";
        QTest::newRow("export nowhere")
            << QStringList { "export", "no/dir/out.csv" } << good << 2 << "Cannot CREATE ";
        QTest::newRow("export unknown field")
            << QStringList { "export", "out.csv", "--fields", "MUS:Nope" } << good << 64 << "MUS:Nope";
        QTest::newRow("no command") << QStringList { "copy", "x" } << good << 64 << "usage:";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, stderrHas);
        if (toolPath().isEmpty())
            QSKIP("tunedeck-csv not built");
        TestDb t;
        writeFile(t.ws.file(QStringLiteral("in.csv")), input);
        QProcess p;
        p.setWorkingDirectory(t.ws.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TDP_DATA_DIR"), t.ws.file(QStringLiteral("data")));
        p.setProcessEnvironment(env);
        p.start(toolPath(), args);
        QVERIFY(p.waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QCOMPARE(p.exitCode(), exitCode);
        QVERIFY2(err.contains(stderrHas), qPrintable(err));
        if (exitCode == 0 && args.first() == QLatin1String("export")) {
            QFile f(t.ws.file(QStringLiteral("out.csv")));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.readAll().startsWith("\"MUS:Artist\",\"MUS:ReleaseDate\"\r\n"));
        }
    }
};

QTEST_GUILESS_MAIN(TestCsvExchange)
#include "tst_csvexchange.moc"

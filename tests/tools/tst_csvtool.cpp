// tunedeck-csv tells the truth and shares the catalogue: the counts it prints are the songs that
// were committed or reached the file, a failed write is shown once and leaves no partial file, an
// input it cannot read creates nothing, a read-only data folder gives one message, and an import
// running beside another copy never makes that copy's saves fail.

#include "ChildProcess.h"
#include "TestDb.h"

#include "data/RecordServices.h"
#include "data/TableHandle.h"

#include <QDir>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace td;
using namespace td::test;

namespace {

// How the tool is started: an upper limit on the size of any file it writes (the disk is full
// beyond it), or run as a user who may not write where root could.
struct Limits {
    qint64 fileSizeLimit = -1;
    bool unprivileged = false;
};

QProcess* prepareTool(QProcess& p, const QString& dataDir, const Limits& limits)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TDP_DATA_DIR"), dataDir);
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([limits] {
        if (limits.fileSizeLimit >= 0) {
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails as on a full disk
            const rlimit r { rlim_t(limits.fileSizeLimit), rlim_t(limits.fileSizeLimit) };
            setrlimit(RLIMIT_FSIZE, &r);
        }
        if (limits.unprivileged && ::geteuid() == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        }
    });
    return &p;
}

ToolRun runTool(const QStringList& args, const QString& dataDir, const Limits& limits = {})
{
    QProcess p;
    prepareTool(p, dataDir, limits)->start(QStringLiteral(TD_CSV_TOOL), args);
    return finishTool(p, 300000);
}

Tunedeck makeSong(const QString& artist, const QString& title, qint32 id)
{
    Tunedeck s;
    s.Artist = artist;
    s.Title = title;
    s.ID = id;
    s.Media = QStringLiteral("CD");
    return s;
}

QByteArray songLines(int count)
{
    QByteArray csv = "\"MUS:Artist\",\"MUS:Title\",\"MUS:Album\",\"MUS:CategoryID\"\r\n";
    for (int i = 0; i < count; ++i)
        csv += QStringLiteral("\"Artist %1\",\"Title %1 with a longer name\",\"Album %2\",\"Genre %3\"\r\n")
                   .arg(i)
                   .arg(i / 12)
                   .arg(i % 7)
                   .toUtf8();
    return csv;
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

qint64 storedSongs(const QString& dataDir)
{
    Messages m;
    Database db(m, dataDir);
    Table<Tunedeck> songs(db);
    return songs.records();
}

// The number of songs the tool said it imported or exported, -1 when it said nothing.
qint64 printedCount(const QString& out)
{
    static const QRegularExpression re(QStringLiteral("^(\\d+) songs (imported|exported)"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = re.match(out);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

// A folder that the tool, run unprivileged, may read but not write.
void makeReadOnly(const QString& dir)
{
    QFile::setPermissions(dir,
        QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup
            | QFileDevice::ReadOther | QFileDevice::ExeOther);
}

} // namespace

class TestCsvTool : public QObject {
    Q_OBJECT

private slots:
    void init() { ws_ = std::make_unique<TempWorkspace>(); }
    void cleanup() { ws_.reset(); }

    // A disk that fills up during the import: the count printed is what was committed, and that
    // is what the catalogue holds.
    void importCountsWhatWasCommitted_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<qint64>("limit");
        QTest::newRow("full before the first commit") << 4000 << qint64(200 * 1024);
        QTest::newRow("full after some commits") << 30000 << qint64(3 * 1024 * 1024);
    }
    void importCountsWhatWasCommitted()
    {
        QFETCH(int, lines);
        QFETCH(qint64, limit);
        const QString data = ws_->file(QStringLiteral("data"));
        const QString csv = writeFile(ws_->file(QStringLiteral("in.csv")), songLines(lines));
        const ToolRun r = runTool({ QStringLiteral("import"), csv, QStringLiteral("--auto") }, data, { limit, false });
        QCOMPARE(r.exitCode, 1);
        const qint64 stored = storedSongs(data);
        QVERIFY2(stored < lines, qPrintable(r.out + r.err));
        QCOMPARE(printedCount(r.out), stored);
    }

    // A write to the export file that fails for good is shown once, and the partial file goes.
    void exportWriteFailureShownOnceFileRemoved_data()
    {
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<bool>("existed");
        QTest::newRow("no line fits") << qint64(0) << false;
        QTest::newRow("some lines fit") << qint64(64 * 1024) << false;
        QTest::newRow("over an older export") << qint64(64 * 1024) << true;
    }
    void exportWriteFailureShownOnceFileRemoved()
    {
        QFETCH(qint64, limit);
        QFETCH(bool, existed);
        const QString data = ws_->file(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(data));
        {
            Messages m;
            Database db(m, data);
            Table<Tunedeck> songs(db);
            Table<Categories> cats(db); // the catalogue whole: the tool creates nothing
            QCOMPARE(db.begin(), 0);
            for (int i = 0; i < 3000; ++i) {
                songs.rec = makeSong(QStringLiteral("Artist %1").arg(i), QStringLiteral("Title %1").arg(i), i + 1);
                QCOMPARE(songs.add(), 0);
            }
            QCOMPARE(db.commit(), 0);
        }
        const QString out = ws_->file(QStringLiteral("out.csv"));
        if (existed)
            writeFile(out, "older\r\n");
        const ToolRun r = runTool({ QStringLiteral("export"), out }, data, { limit, false });
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.count(QStringLiteral("Cannot ADD to ")) == 1, qPrintable(r.out + r.err));
        QVERIFY2(!r.err.contains(QStringLiteral("Cannot CLOSE")), qPrintable(r.err));
        QVERIFY(!QFile::exists(out));
        QCOMPARE(printedCount(r.out), qint64(0));
    }

    // An input that cannot be read: its message, and nothing made in the data folder.
    void unreadableInputCreatesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("empty") << "empty";
    }
    void unreadableInputCreatesNothing()
    {
        QFETCH(QString, kind);
        const QString data = ws_->file(QStringLiteral("data"));
        const QString in = ws_->file(QStringLiteral("in.csv"));
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(in));
        else if (kind == QLatin1String("empty"))
            writeFile(in, QByteArray());
        const ToolRun r = runTool({ QStringLiteral("import"), in, QStringLiteral("--auto") }, data);
        QVERIFY2(r.exitCode == 2 || r.exitCode == 3, qPrintable(r.err));
        QVERIFY(!r.err.isEmpty());
        QVERIFY2(!QFileInfo::exists(data), qPrintable(QDir(data).entryList().join(QLatin1Char(' '))));
    }

    // A data folder the tool may not write to: one message that says so, nothing after it.
    void readOnlyFolderGivesOneMessage_data()
    {
        QTest::addColumn<bool>("catalogueThere");
        QTest::addColumn<bool>("filesWritable");
        QTest::newRow("no catalogue yet") << false << false;
        QTest::newRow("a catalogue") << true << false;
        QTest::newRow("a catalogue whose files may be written") << true << true;
    }
    void readOnlyFolderGivesOneMessage()
    {
        QFETCH(bool, catalogueThere);
        QFETCH(bool, filesWritable);
        // Outside the workspace, which only its owner may enter.
        QTemporaryDir base(QDir::tempPath() + QStringLiteral("/tdro-XXXXXX"));
        QVERIFY(base.isValid());
        QFile::setPermissions(base.path(), QFile::permissions(base.path()) | QFileDevice::ExeOther | QFileDevice::ReadOther);
        const QString data = base.path() + QStringLiteral("/data");
        QVERIFY(QDir().mkpath(data));
        if (catalogueThere) {
            Messages m;
            Database db(m, data);
            QVERIFY(db.useTable(TableId::Tunedeck) && db.useTable(TableId::Categories));
        }
        const QStringList before = QDir(data).entryList(QDir::Files);
        for (const QString& f : before)
            if (filesWritable)
                QFile::setPermissions(data + QLatin1Char('/') + f, QFile::permissions(data + QLatin1Char('/') + f)
                        | QFileDevice::WriteOther | QFileDevice::ReadOther);
        makeReadOnly(data);
        const QString csv = writeFile(base.path() + QStringLiteral("/in.csv"), songLines(20));
        QFile::setPermissions(csv, QFile::permissions(csv) | QFileDevice::ReadOther);
        const ToolRun r = runTool({ QStringLiteral("import"), csv, QStringLiteral("--auto") }, data, { -1, true });
        QFile::setPermissions(data, QFile::permissions(data) | QFileDevice::WriteOwner);
        QVERIFY2(r.exitCode == 1 || r.exitCode == 2, qPrintable(QString::number(r.exitCode) + r.err));
        const QStringList messages = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(messages.size() == 1, qPrintable(r.err));
        QVERIFY2(!r.err.contains(QStringLiteral("no such table")), qPrintable(r.err));
        QCOMPARE(QDir(data).entryList(QDir::Files), before);
    }

    // Another copy saves a song over and over while the tool imports beside it: not one save
    // fails, and the import goes on.
    void savesBesideAnImportNeverFail()
    {
        const QString data = ws_->file(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(data));
        Messages messages;
        const auto script = installScripted(messages);
        Database db(messages, data);
        Table<Tunedeck> song(db);
        song.rec = makeSong(QStringLiteral("Editor"), QStringLiteral("Saved"), 1);
        QCOMPARE(song.add(), 0);

        // Each save waits for the slice in progress: a short run here, TD_SAVES=300 for the full count.
        const int plannedSaves = qEnvironmentVariableIsSet("TD_SAVES") ? qEnvironmentVariableIntValue("TD_SAVES") : 20;
        const QString csv
            = writeFile(ws_->file(QStringLiteral("in.csv")), songLines(qMax(100000, plannedSaves * 5000)));
        QProcess tool;
        prepareTool(tool, data, {})->start(QStringLiteral(TD_CSV_TOOL), { QStringLiteral("import"), csv, QStringLiteral("--auto") });
        QVERIFY(tool.waitForStarted());
        // Saves begin once the import is writing.
        while (tool.state() == QProcess::Running && song.records() <= 1)
            QThread::msleep(20);

        int saves = 0;
        int failed = 0;
        while (saves < plannedSaves && tool.state() == QProcess::Running) {
            song.rec.Notes = QStringLiteral("save %1").arg(saves);
            if (UpdateRecord(song, true) != RecordResult::Done)
                ++failed;
            ++saves;
            QThread::msleep(5 + 13 * (saves % 7)); // at every moment of a slice
        }
        // Stopped as Ctrl+C would: the slice in progress is committed, and counted.
        tool.terminate();
        QVERIFY(tool.waitForFinished(600000));
        QCOMPARE(failed, 0);
        QCOMPARE(script->captions(), QStringList());
        QCOMPARE(saves, plannedSaves);
        QCOMPARE(tool.exitCode(), 130);
        QCOMPARE(song.records(), printedCount(QString::fromUtf8(tool.readAllStandardOutput())) + 1);
    }

private:
    std::unique_ptr<TempWorkspace> ws_;
};

QTEST_GUILESS_MAIN(TestCsvTool)
#include "tst_csvtool.moc"

// The open routine on real files: missing, empty, damaged, not ours, locked, older and newer
// layouts, damaged keys. A file that cannot be opened is never written to.

#include "DataTestUtil.h"
#include "TestDb.h"
#include "ScriptedMessages.h"
#include "TempWorkspace.h"

#include "data/Collation.h"
#include "data/Schema.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace td;
using namespace td::test;

class TstCheckOpen : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        env_ = std::make_unique<TestWorkspace>();
        ws_ = &env_->ws;
        messages_ = &env_->messages;
        scripted_ = env_->script;
        db_ = std::make_unique<Database>(*messages_, ws_->path());
    }
    void cleanup()
    {
        db_.reset();
        env_.reset();
    }

    void missingFileIsCreated()
    {
        const QString path = ws_->file(QStringLiteral("tdpalbum.db"));
        QVERIFY(!QFile::exists(path));
        db_->CheckOpen(TableId::Album);
        QVERIFY(db_->isOpen(TableId::Album));
        QVERIFY(QFile::exists(path));
        QVERIFY(scripted_->asked().isEmpty());
        db_->closeFile(TableId::Album);
        RawFile raw(path);
        QCOMPARE(raw.scalar(QStringLiteral("PRAGMA user_version")), qint64(2));
        QCOMPARE(raw.scalar(QStringLiteral("PRAGMA application_id")), qint64(schema::applicationId()));
        QCOMPARE(raw.scalar(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE type='index'")), qint64(7));
        // Ordinary tools read the columns by their field names.
        QVERIFY(raw.exec(QStringLiteral("SELECT AlbumID, Artist, CDIdentifier, Notes FROM Album")));
    }

    void everyTableOpensTogether()
    {
        for (TableId t : allTables())
            db_->useTable(t);
        for (TableId t : allTables())
            QVERIFY(db_->isOpen(t));
        {
            Table<Media> media(*db_);
            Table<Tunedeck> songs(*db_);
            TransactionGuard tx(*db_);
            media.rec.Media = QStringLiteral("CD");
            QCOMPARE(media.add(), 0);
            songs.rec = makeSong(QStringLiteral("a"), QStringLiteral("b"), 1);
            QCOMPARE(songs.add(), 0);
            QCOMPARE(tx.commit(), 0);
        }
        for (TableId t : allTables())
            db_->releaseTable(t);
        for (TableId t : allTables())
            QVERIFY(!db_->isOpen(t) && db_->isAttached(t));
        Table<Media> media(*db_);
        QCOMPARE(media.records(), qint64(1));
        QVERIFY(scripted_->asked().isEmpty());
    }

    void emptyFileIsCreatedIn()
    {
        writeBytes(ws_->file(QStringLiteral("tdpfont.db")), QByteArray());
        db_->CheckOpen(TableId::Fonts);
        QVERIFY(db_->isOpen(TableId::Fonts));
        QVERIFY(scripted_->asked().isEmpty());
    }

    // Files that are not data files of ours, or damaged ones: message 30 naming the file, the program
    // ends with "Disk Error", and the file is left byte for byte as it was.
    void unusableFileEndsUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("random bytes") << "random";
        QTest::newRow("text file") << "text";
        QTest::newRow("truncated database") << "truncated";
        QTest::newRow("damaged pages") << "damaged";
        QTest::newRow("another program's database") << "foreign";
        QTest::newRow("short header") << "short";
        // A table of our name holding none of our columns, with or without a layout version: not a
        // file we wrote, so it is not converted (that would replace its rows by blank records).
        QTest::newRow("our table name, other columns") << "namesake";
        QTest::newRow("our table name, other columns, older version") << "namesake1";
        QTest::newRow("our columns, older version, no mark") << "unmarked";
        QTest::newRow("garbage after a valid header") << "garbage";
    }
    void unusableFileEndsUntouched()
    {
        QFETCH(QString, kind);
        const QString path = ws_->file(QStringLiteral("tdpdata.db"));
        makeFile(kind, path);
        const QByteArray before = fileBytes(path);
        QVERIFY(!before.isEmpty());

        QVERIFY(!db_->CheckOpen(TableId::Tunedeck));
        QVERIFY(db_->ended());
        QCOMPARE(db_->endText(), QStringLiteral("Disk Error"));
        QCOMPARE(scripted_->asked().size(), 1);
        const Message m = scripted_->asked().first();
        QCOMPARE(m.caption, QStringLiteral("File Access Error"));
        QVERIFY2(m.text.startsWith(QStringLiteral("File (tdpdata.db) could not be opened.  Error: ")), qPrintable(m.text));
        // Users read a file path, never the URI the file was opened by.
        QVERIFY2(!m.text.contains(QStringLiteral("file:")) && !m.text.contains(QStringLiteral("mode=")),
                 qPrintable(m.text));
        QVERIFY(!db_->isOpen(TableId::Tunedeck));
        QVERIFY(!db_->isAttached(TableId::Tunedeck));
        QCOMPARE(fileBytes(path), before);
        QVERIFY(!db_->hasSavedError());
    }

    void folderInThePlaceOfTheFile()
    {
        QVERIFY(QDir(ws_->path()).mkdir(QStringLiteral("tdpmedia.db")));
        QVERIFY(!db_->CheckOpen(TableId::Media));
        QVERIFY(db_->ended());
        QCOMPARE(scripted_->captions(), QStringList({"File Access Error"}));
    }

    void lockedFileEndsAfterTwoWaits()
    {
        makeOurFile(TableId::Media);
        RawFile other(ws_->file(QStringLiteral("tdpmedia.db")));
        QVERIFY(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        QVERIFY(other.exec(QStringLiteral("INSERT INTO Media VALUES ('LP')")));
        const QByteArray before = fileBytes(ws_->file(QStringLiteral("tdpmedia.db")));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!db_->CheckOpen(TableId::Media));
        QCOMPARE(db_->endText(), QStringLiteral("Disk Error"));
        QVERIFY2(timer.elapsed() >= 3500, "the lock is waited for twice");
        QCOMPARE(scripted_->captions(), QStringList({"File Access Error"}));
        QVERIFY(scripted_->asked().first().text.contains(QStringLiteral("(32)")));
        QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
        QCOMPARE(fileBytes(ws_->file(QStringLiteral("tdpmedia.db"))), before);
    }

    void writerInAnotherCopyDoesNotStopOpening()
    {
        makeOurFile(TableId::Media);
        RawFile other(ws_->file(QStringLiteral("tdpmedia.db")));
        QVERIFY(other.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(other.exec(QStringLiteral("INSERT INTO Media VALUES ('LP')")));
        db_->CheckOpen(TableId::Media);
        QVERIFY(db_->isOpen(TableId::Media));
        QVERIFY(scripted_->asked().isEmpty());
        QVERIFY(other.exec(QStringLiteral("COMMIT")));
    }

    void olderLayoutIsUpgraded()
    {
        // Songs of layout 1: fewer fields, no keys of ours.
        const QString path = ws_->file(QStringLiteral("tdpdata.db"));
        {
            RawFile raw(path);
            QVERIFY(raw.exec(QStringLiteral(
                "CREATE TABLE Tunedeck (Artist TEXT, Title TEXT, Album TEXT, Media TEXT, ReleaseDate INTEGER, ID INTEGER, "
                "Notes TEXT);"
                "INSERT INTO Tunedeck(rowid, Artist, Title, Album, Media, ReleaseDate, ID, Notes) VALUES "
                "(10, 'Abba', 'SOS', 'Abba', 'LP', 0, 1, 'first'),"
                "(20, 'Cher', 'Believe', NULL, 'CD', 72000, 2, NULL);"
                "PRAGMA user_version=1;")
                                 + ourOlderMark()));
        }
        db_->CheckOpen(TableId::Tunedeck);
        QVERIFY(scripted_->asked().isEmpty());
        Table<Tunedeck> songs(*db_);
        QCOMPARE(songs.records(), qint64(2));
        QCOMPARE(songs.fetch(20), 0);   // positions are kept
        QCOMPARE(songs.rec.Artist, QStringLiteral("Cher"));
        QCOMPARE(songs.rec.Album, QString());
        QCOMPARE(songs.rec.ReleaseDate, 72000);
        QCOMPARE(songs.rec.FileNumber, QString());
        QCOMPARE(songs.rec.ChartNumber, 0);
        QCOMPARE(songs.fetch(10), 0);
        QCOMPARE(songs.rec.Notes, QStringLiteral("first"));
        QCOMPARE(walk(songs, QStringLiteral("KeyID"), QStringLiteral("Title")), QStringList({"SOS", "Believe"}));
        songs.clear();
        songs.rec = makeSong(QStringLiteral("New"), QStringLiteral("Song"), 3);
        QCOMPARE(songs.add(), 0);
    }

    void olderLayoutThatCannotConvertIsLeftAlone()
    {
        // Two albums whose pair differs only in case: the unique key of this layout refuses them.
        const QString path = ws_->file(QStringLiteral("tdpalbum.db"));
        {
            RawFile raw(path);
            QVERIFY(raw.exec(QStringLiteral("CREATE TABLE Album (AlbumID INTEGER, Artist TEXT, Album TEXT);"
                                            "INSERT INTO Album VALUES (1, 'Abba', 'Arrival'), (2, 'ABBA', 'ARRIVAL');"
                                            "PRAGMA user_version=1;")
                             + ourOlderMark()));
        }
        const QByteArray before = fileBytes(path);
        QVERIFY(!db_->CheckOpen(TableId::Album));
        QVERIFY(db_->ended());
        QCOMPARE(scripted_->captions(), QStringList({"Invalid File"}));
        QVERIFY(scripted_->asked().first().text.contains(QStringLiteral("accessing tdpalbum.db")));
        QCOMPARE(fileBytes(path), before);
    }

    void newerLayoutIsNeverTouched()
    {
        makeOurFile(TableId::Categories);
        const QString path = ws_->file(QStringLiteral("TDPCAT.db"));
        {
            RawFile raw(path);
            QVERIFY(raw.exec(QStringLiteral("INSERT INTO Categories VALUES (1, 'Rock'); PRAGMA user_version=7;")));
        }
        const QByteArray before = fileBytes(path);
        QVERIFY(!db_->CheckOpen(TableId::Categories));
        const QString endText = db_->endText();
        QCOMPARE(endText, QStringLiteral("Invalid File!"));
        QCOMPARE(scripted_->captions(), QStringList({"Invalid File"}));
        QVERIFY2(scripted_->asked().first().text.contains(QStringLiteral("Newer")), qPrintable(scripted_->asked().first().text));
        QCOMPARE(fileBytes(path), before);
    }

    void damagedKeysAreRebuiltOnYes_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("index dropped") << "DROP INDEX Tunedeck_SongsByTitle";
        QTest::newRow("index without our order")
            << "DROP INDEX Tunedeck_SongsByArtist; CREATE INDEX Tunedeck_SongsByArtist ON Tunedeck(Artist COLLATE BINARY, Title)";
        QTest::newRow("keys built with an older order")
            << QStringLiteral("PRAGMA application_id=%1").arg(schema::kApplicationMark | (kKeyCollationVersion - 1));
        QTest::newRow("no mark at all") << "PRAGMA application_id=0";
    }
    void damagedKeysAreRebuiltOnYes()
    {
        QFETCH(QString, damage);
        makeOurFile(TableId::Tunedeck);
        {
            RawFile raw(ws_->file(QStringLiteral("tdpdata.db")));
            QVERIFY(raw.exec(QStringLiteral("INSERT INTO Tunedeck (Artist, Title, ID) VALUES ('b', 'y', 1), ('A', 'z', 2)")));
            QVERIFY2(raw.exec(damage), qPrintable(raw.lastError));
        }
        scripted_->plan(Yes);
        db_->CheckOpen(TableId::Tunedeck);
        QCOMPARE(scripted_->captions(), QStringList({"Invalid Key"}));
        QCOMPARE(scripted_->asked().first().text,
                 QStringLiteral("tdpdata.db key file is invalid.  Do you want to rebuild the key?"));
        {
            TableHandle songs(*db_, TableId::Tunedeck);
            QCOMPARE(walk(songs, QStringLiteral("SongsByTitle"), QStringLiteral("Title")), QStringList({"y", "z"}));
            QCOMPARE(walk(songs, QStringLiteral("SongsByArtist"), QStringLiteral("Artist")), QStringList({"A", "b"}));
        }
        // Opened again later, the file is sound.
        db_.reset();
        db_ = std::make_unique<Database>(*messages_, ws_->path());
        scripted_->clear();
        db_->CheckOpen(TableId::Tunedeck);
        QVERIFY(scripted_->asked().isEmpty());
    }

    void damagedKeysEndTheProgramOnNo()
    {
        makeOurFile(TableId::Media);
        const QString path = ws_->file(QStringLiteral("tdpmedia.db"));
        {
            RawFile raw(path);
            QVERIFY(raw.exec(QStringLiteral("DROP INDEX Media_KeyMedia")));
        }
        const QByteArray before = fileBytes(path);
        scripted_->plan(No);
        QVERIFY(!db_->CheckOpen(TableId::Media));
        const QString endText = db_->endText();
        QCOMPARE(endText, QStringLiteral("Invalid Key!"));
        QCOMPARE(fileBytes(path), before);
    }

    void keysThatCannotBeRebuilt()
    {
        makeOurFile(TableId::Media);
        const QString path = ws_->file(QStringLiteral("tdpmedia.db"));
        {
            RawFile raw(path);
            QVERIFY(raw.exec(QStringLiteral("DROP INDEX Media_KeyMedia; INSERT INTO Media VALUES ('CD'), ('cd');")));
        }
        const QByteArray before = fileBytes(path);
        scripted_->plan(Yes);
        QVERIFY(!db_->CheckOpen(TableId::Media));
        const QString endText = db_->endText();
        QCOMPARE(endText, QStringLiteral("Error Rebuilding Key!"));
        QCOMPARE(scripted_->captions(), QStringList({"Invalid Key", "Key Rebuild Error"}));
        QVERIFY2(scripted_->asked().at(1).text.contains(QStringLiteral("(40)")), qPrintable(scripted_->asked().at(1).text));
        QCOMPARE(fileBytes(path), before);   // the failed rebuild was rolled back
    }

    void aSongsSharesTheSongFile()
    {
        db_->useTable(TableId::A_Songs);
        QVERIFY(db_->isOpen(TableId::A_Songs));
        QVERIFY(!db_->isOpen(TableId::Tunedeck));
        QVERIFY(QFile::exists(ws_->file(QStringLiteral("tdpdata.db"))));
        db_->useTable(TableId::Tunedeck);
        db_->releaseTable(TableId::A_Songs);
        QVERIFY(!db_->letGo(TableId::Tunedeck));   // still used through Tunedeck
        db_->releaseTable(TableId::Tunedeck);
        QVERIFY(db_->letGo(TableId::A_Songs));
        QVERIFY(!db_->isAttached(TableId::Tunedeck));
    }

    void secondCopyOnTheSameFolder()
    {
        Messages otherMessages;
        Database other(otherMessages, ws_->path());
        db_->CheckOpen(TableId::Media);
        other.CheckOpen(TableId::Media);
        QVERIFY(other.isOpen(TableId::Media));
    }

    // A kill during a commit over several files can leave a super-journal beside the main file.
    // Opening removes it once no journal names it (and it is too old to be another copy's commit
    // in progress); one a journal still names is needed to roll that journal back.
    void staleSuperJournals_data()
    {
        QTest::addColumn<bool>("named");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("removed");
        QTest::newRow("named by no journal") << false << 3600 << true;
        QTest::newRow("named by a hot journal") << true << 3600 << false;
        QTest::newRow("just written by a running commit") << false << 0 << false;
    }
    void staleSuperJournals()
    {
        QFETCH(bool, named);
        QFETCH(int, ageSeconds);
        QFETCH(bool, removed);
        db_.reset();
        const QString super = ws_->file(QStringLiteral("tdpmain.db-mj1A2B3C4D5"));
        const QString journal = ws_->file(QStringLiteral("tdpdata.db-journal"));
        writeBytes(super, QFile::encodeName(journal) + '\0' + QFile::encodeName(ws_->file("TDPCAT.db-journal")) + '\0');
        if (named)
            writeBytes(journal, QByteArray(2048, '\x5a') + QFile::encodeName(super) + QByteArray(20, '\x01'));
        {
            QFile f(super);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        }
        db_ = std::make_unique<Database>(*messages_, ws_->path());
        QCOMPARE(!QFile::exists(super), removed);
        QCOMPARE(QFile::exists(journal), named);
    }

private:
    // The mark of a file this program wrote with an older key order.
    static QString ourOlderMark()
    {
        return QStringLiteral("PRAGMA application_id=%1;").arg(schema::kApplicationMark | (kKeyCollationVersion - 1));
    }

    void makeOurFile(TableId t)
    {
        Messages m;
        Database d(m, ws_->path());
        d.CheckOpen(t);
    }

    void makeFile(const QString& kind, const QString& path)
    {
        if (kind == QLatin1String("random")) {
            QByteArray b(8192, '\0');
            for (char& c : b)
                c = char(QRandomGenerator::global()->bounded(256));
            writeBytes(path, b);
        } else if (kind == QLatin1String("text")) {
            writeBytes(path, "Artist,Title\nAbba,SOS\n");
        } else if (kind == QLatin1String("short")) {
            writeBytes(path, QByteArray("SQLite format 3\0", 16));
        } else if (kind.startsWith(QLatin1String("namesake"))) {
            RawFile raw(path);
            QVERIFY(raw.exec(QStringLiteral("CREATE TABLE Tunedeck (name TEXT, phone TEXT);"
                                            "INSERT INTO Tunedeck VALUES ('Ann', '555-0101'), ('Bob', '555-0102');")
                             + (kind.endsWith(QLatin1Char('1')) ? QStringLiteral("PRAGMA user_version=1;") : QString())));
        } else if (kind == QLatin1String("unmarked")) {
            RawFile raw(path);
            QVERIFY(raw.exec(QStringLiteral("CREATE TABLE Tunedeck (Artist TEXT, Title TEXT, Extra TEXT);"
                                            "INSERT INTO Tunedeck VALUES ('Abba', 'SOS', 'kept');"
                                            "PRAGMA user_version=1;")));
        } else if (kind == QLatin1String("garbage")) {
            // A header that passes every check of ours, then random pages.
            makeFile(QStringLiteral("foreign"), path);
            QByteArray b = fileBytes(path);
            b = b.left(100) + QByteArray(8192 - 100, '\0');
            for (int i = 100; i < b.size(); ++i)
                b[i] = char(QRandomGenerator::global()->bounded(256));
            b[28] = b[29] = b[30] = 0;   // page count 2 of 4096 bytes, valid for this change
            b[31] = 2;
            for (int i = 0; i < 4; ++i)
                b[92 + i] = b[24 + i];
            b[16] = 0x10;
            b[17] = 0;
            writeBytes(path, b);
        } else if (kind == QLatin1String("foreign")) {
            RawFile raw(path);
            QVERIFY(raw.exec(QStringLiteral("CREATE TABLE contacts (name TEXT); INSERT INTO contacts VALUES ('x');")));
        } else {
            // A real song file with enough records to span many pages, then cut or scribbled over.
            {
                Messages m;
                Database d(m, ws_->path());
                Table<Tunedeck> songs(d);
                QCOMPARE(d.begin(), 0);
                for (int i = 0; i < 3000; ++i) {
                    songs.rec = makeSong(QStringLiteral("Artist %1").arg(i), QStringLiteral("Title %1").arg(i), i + 1);
                    QCOMPARE(songs.add(), 0);
                }
                QCOMPARE(d.commit(), 0);
            }
            QByteArray b = fileBytes(path);
            if (kind == QLatin1String("truncated")) {
                b.truncate(b.size() / 2);
            } else {
                // Keep the first page (the schema) and scribble over the rest.
                for (int i = 4096; i < b.size(); i += 7)
                    b[i] = char(0xA5);
            }
            writeBytes(path, b);
        }
    }

    std::unique_ptr<TestWorkspace> env_;
    TempWorkspace* ws_ = nullptr;
    Messages* messages_ = nullptr;
    std::shared_ptr<ScriptedMessages> scripted_;
    std::unique_ptr<Database> db_;
};

QTEST_GUILESS_MAIN(TstCheckOpen)
#include "tst_checkopen.moc"

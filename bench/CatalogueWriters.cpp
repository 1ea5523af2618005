// Storing generated catalogues: through the storage layer, through plain SQLite, and the catalogue
// shared by the benchmarks of one run.

#include "CatalogueGenerator.h"

#include "core/Messages.h"
#include "data/Collation.h"
#include "data/Database.h"
#include "data/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <cstdio>
#include <sqlite3.h>

namespace td::bench {

// --- the storage layer -----------------------------------------------------------------------------

int addLookups(Database& db)
{
    Table<Categories> categories(db);
    Table<Media> media(db);
    TransactionGuard tx(db);
    if (!tx.ok())
        return tx.error();
    const QStringList& names = CatalogueGenerator::categoryNames();
    for (int i = 0; i < names.size(); ++i) {
        categories.rec = Categories{i + 1, names.at(i)};
        if (const int err = categories.add())
            return err;
    }
    for (const QString& m : CatalogueGenerator::mediaNames()) {
        media.rec = Media{m};
        if (const int err = media.add())
            return err;
    }
    return tx.commit();
}

int addBatch(Table<Tunedeck>& songs, Table<Album>* albums, const Batch& batch)
{
    TransactionGuard tx(songs.database());
    if (!tx.ok())
        return tx.error();
    if (albums) {
        for (const Album& a : batch.albums) {
            albums->rec = a;
            if (const int err = albums->add())
                return err;
        }
    }
    for (const Tunedeck& s : batch.songs) {
        songs.rec = s;
        if (const int err = songs.add())
            return err;
    }
    return tx.commit();
}

int writeCatalogue(const QString& dir, qint64 songs, quint64 seed, int slice, QString* why)
{
    Messages messages;   // no responder: nothing here asks, and a question gets its default
    Database db(messages, dir);
    auto failed = [&](int err) {
        if (why) {
            const StorageError e = db.lastError();
            *why = QStringLiteral("error %1 (%2) %3").arg(err).arg(e.text, e.engineText);
        }
        return err;
    };
    if (const int err = addLookups(db))
        return failed(err);
    Table<Tunedeck> songTable(db);
    Table<Album> albumTable(db);
    if (db.ended()) {
        if (why)
            *why = db.endText();
        return EngineError;
    }
    songTable.stream(true); // a bulk add: the large page cache
    CatalogueGenerator gen(songs, seed);
    Batch batch;
    while (gen.nextBatch(batch, slice) > 0) {
        if (const int err = addBatch(songTable, &albumTable, batch))
            return failed(err);
    }
    return 0;
}

// --- plain SQLite ----------------------------------------------------------------------------------

namespace {

// Columns in the order of the Tunedeck members, whatever order the file declares them in.
constexpr const char* kSongColumns[] = {
    "Artist", "Title", "Album", "Media", "FileNumber", "ReleaseDate", "CategoryID", "ChartNumber",
    "TrackNumber", "Side", "Time", "UserDefinedKeyField", "AdditionalInformation1", "AdditionalInformation2",
    "AdditionalInformation3", "BeatsPerMinute", "Style", "Composer", "LastPlayed", "ID", "AlbumID",
    "Recording", "PerformanceNotes", "Notes"};

} // namespace

RawSongInserter::RawSongInserter(const QString& dataFile)
{
    const QByteArray path = dataFile.toUtf8();
    int rc = sqlite3_open_v2(path.constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, 2000);
        rc = registerKeyCollation(db_);
    }
    // The storage layer gives each song file the same cache.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db_, "PRAGMA cache_size=-16384", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc);
        return;
    }
    QStringList cols;
    QStringList marks;
    for (const char* c : kSongColumns) {
        cols << schema::quoted(QLatin1String(c));
        marks << QStringLiteral("?");
    }
    const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(schema::quoted(tableDef(TableId::Tunedeck).label), cols.join(QLatin1Char(',')),
                                    marks.join(QLatin1Char(',')))
                               .toUtf8();
    rc = sqlite3_prepare_v3(db_, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
}

RawSongInserter::~RawSongInserter()
{
    sqlite3_finalize(stmt_);
    sqlite3_close_v2(db_);
}

int RawSongInserter::fail(int rc)
{
    error_ = QStringLiteral("SQLite %1: %2").arg(rc).arg(QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)));
    return rc;
}

int RawSongInserter::insertBatch(const QList<Tunedeck>& songs)
{
    if (!stmt_)
        return SQLITE_MISUSE;
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return fail(rc);
    for (const Tunedeck& s : songs) {
        int col = 0;
        auto text = [&](const QString& v) {
            const QByteArray u = v.toUtf8();
            sqlite3_bind_text(stmt_, ++col, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        };
        auto number = [&](qint64 v) { sqlite3_bind_int64(stmt_, ++col, v); };
        text(s.Artist);
        text(s.Title);
        text(s.Album);
        text(s.Media);
        text(s.FileNumber);
        number(s.ReleaseDate);
        number(s.CategoryID);
        number(s.ChartNumber);
        number(s.TrackNumber);
        text(s.Side);
        number(s.Time);
        text(s.UserDefinedKeyField);
        text(s.AdditionalInformation1);
        text(s.AdditionalInformation2);
        text(s.AdditionalInformation3);
        number(s.BeatsPerMinute);
        text(s.Style);
        text(s.Composer);
        number(s.LastPlayed);
        number(s.ID);
        number(s.AlbumID);
        text(s.Recording);
        text(s.PerformanceNotes);
        text(s.Notes);
        rc = sqlite3_step(stmt_);
        sqlite3_reset(stmt_);
        if (rc != SQLITE_DONE) {
            fail(rc);
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            return rc;
        }
    }
    rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc);
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return rc;
}

// --- the shared catalogue -------------------------------------------------------------------------

qint64 benchSongCount()
{
    bool ok = false;
    const qint64 n = qEnvironmentVariable("TD_BENCH_SONGS").toLongLong(&ok);
    return ok && n > 0 ? n : 1000000;
}

namespace {

// What a finished catalogue was made by: a file of another layout or generator is built again.
QByteArray catalogueMark(qint64 songs)
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (TableId id : {TableId::Tunedeck, TableId::Album, TableId::Categories, TableId::Media}) {
        const TableDef& t = tableDef(id);
        h.addData(schema::createTableSql(t, t.label).toUtf8());
        for (int k = 0; k < t.keys.size(); ++k)
            h.addData(schema::createIndexSql(t, k, t.label).toUtf8());
        h.addData(QByteArray::number(t.layoutVersion));
    }
    return QStringLiteral("generator %1 seed %2 songs %3 keys %4 layout %5\n")
        .arg(kGeneratorVersion)
        .arg(kDefaultSeed)
        .arg(songs)
        .arg(kKeyCollationVersion)
        .arg(QString::fromLatin1(h.result().toHex()))
        .toUtf8();
}

} // namespace

QString sharedCatalogue(qint64 songs, QString* why)
{
    static QHash<qint64, QString> built;
    if (const auto it = built.constFind(songs); it != built.constEnd())
        return *it;

    const QString dir = QDir(QDir::tempPath()).filePath(QStringLiteral("tunedeck-bench-%1").arg(songs));
    const QString markPath = QDir(dir).filePath(QStringLiteral("catalogue.done"));
    const QByteArray mark = catalogueMark(songs);
    const bool rebuild = qEnvironmentVariableIntValue("TD_BENCH_REBUILD") != 0;
    QFile markFile(markPath);
    if (!rebuild && markFile.open(QIODevice::ReadOnly) && markFile.readAll() == mark
        && QFile::exists(QDir(dir).filePath(QStringLiteral("tdpdata.db")))) {
        std::fprintf(stderr, "Using the catalogue of %lld songs in %s\n", songs, qPrintable(dir));
        built.insert(songs, dir);
        return dir;
    }
    markFile.close();

    QDir(dir).removeRecursively();
    if (!QDir().mkpath(dir)) {
        if (why)
            *why = QStringLiteral("cannot create %1").arg(dir);
        return {};
    }
    std::fprintf(stderr, "Building a catalogue of %lld songs in %s ...\n", songs, qPrintable(dir));
    QElapsedTimer clock;
    clock.start();
    if (writeCatalogue(dir, songs, kDefaultSeed, 10000, why) != 0)
        return {};
    QFile out(markPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(mark) != mark.size()) {
        if (why)
            *why = QStringLiteral("cannot write %1").arg(markPath);
        return {};
    }
    std::fprintf(stderr, "... built in %.1f s\n", clock.elapsed() / 1000.0);
    built.insert(songs, dir);
    return dir;
}

} // namespace td::bench

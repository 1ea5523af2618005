#include "playlists/PlaylistLines.h"

#include "common/ColumnFormatStore.h"
#include "common/PagedList.h"
#include "core/DayTime.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

#include <sqlite3.h>

namespace td {

namespace {

const QString kLines = QStringLiteral("PlaylistDetails");

QString lines()
{
    return Database::sqlTable(TableId::PlaylistDetails);
}

QString songs()
{
    return Database::sqlTable(TableId::Tunedeck);
}

// Runs one statement with its values; 0 or the error code (in db.lastError()).
int run(Database& db, const QString& sql, const QVariantList& values)
{
    CachedStatement st = db.statement(sql);
    sqlite3_stmt* s = st.get();
    if (!s)
        return db.lastError().code ? db.lastError().code : -1;
    int b = 1;
    for (const QVariant& v : values)
        bindVariant(s, b++, v);
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        return db.setLastSqliteError(rc);
    db.noteChange();
    return 0;
}

// One number from a query; `fallback` when it gives no row or NULL, -1 on an error.
qint64 number(Database& db, const QString& sql, const QVariantList& values, qint64 fallback)
{
    CachedStatement st = db.statement(sql);
    sqlite3_stmt* s = st.get();
    if (!s)
        return -1;
    int b = 1;
    for (const QVariant& v : values)
        bindVariant(s, b++, v);
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE)
        return fallback;
    if (rc != SQLITE_ROW) {
        db.setLastSqliteError(rc);
        return -1;
    }
    return sqlite3_column_type(s, 0) == SQLITE_NULL ? fallback : sqlite3_column_int64(s, 0);
}

void showSwapError(Database& db, qint32 playlistId, qint64 seq, const QString& section)
{
    db.messages().show(swapErrorMessage(db.lastError().text, playlistId, seq, section));
}

// The neighbour's number in the direction of the move: 0 when there is none, -1 on an error.
qint64 neighbour(Database& db, qint32 playlistId, qint64 seq, bool up)
{
    const QString sql = up
        ? QStringLiteral("SELECT MAX(PlaylistSeq) FROM %1 WHERE PlaylistID = ? AND PlaylistSeq < ?").arg(lines())
        : QStringLiteral("SELECT MIN(PlaylistSeq) FROM %1 WHERE PlaylistID = ? AND PlaylistSeq > ?").arg(lines());
    return number(db, sql, {playlistId, seq}, 0);
}

// The lines numbered low..high exchange numbers in one turn: toLow, the line at `high` takes
// `low` and each other one the next number of the range; else the line at `low` takes `high` and
// each other one the number before it. The set of numbers stays the same. The range is parked on
// negative numbers first, so that no step meets a number still in use.
bool rotate(Database& db, qint32 playlistId, qint64 low, qint64 high, bool toLow, qint64 seq)
{
    TransactionGuard guard(db);
    if (!guard.ok()) {
        showSwapError(db, playlistId, seq, QStringLiteral("Get Orig"));
        return false;
    }
    const QString park
        = QStringLiteral("UPDATE %1 SET PlaylistSeq = -PlaylistSeq WHERE PlaylistID = ? AND PlaylistSeq BETWEEN ? AND ?")
              .arg(lines());
    if (run(db, park, {playlistId, low, high}) != 0) {
        guard.rollback();
        showSwapError(db, playlistId, seq, QStringLiteral("Put Swap Out"));
        return false;
    }
    // Parked, the first number in order is the highest: LEAD walks up the old numbers, LAG down.
    const QString step = toLow ? QStringLiteral("LEAD") : QStringLiteral("LAG");
    const QString place = QStringLiteral(
        "UPDATE %1 AS l SET PlaylistSeq = m.ns FROM (SELECT rowid AS r, COALESCE(%2(-PlaylistSeq) OVER "
        "(ORDER BY PlaylistSeq DESC), ?) AS ns FROM %1 WHERE PlaylistID = ? AND PlaylistSeq < 0) AS m "
        "WHERE l.rowid = m.r").arg(lines(), step);
    if (run(db, place, {toLow ? low : high, playlistId}) != 0) {
        guard.rollback();
        showSwapError(db, playlistId, seq, QStringLiteral("Put Swap"));
        return false;
    }
    if (guard.commit() != 0) {
        showSwapError(db, playlistId, seq, QStringLiteral("Final Put"));
        return false;
    }
    return true;
}

} // namespace

QString playlistLineListFormat()
{
    return QStringLiteral("28R(2)|M~Seq~L(2)@n_5@120L(2)|M~Artist~@s40@120L(2)|M~Title~@s40@"
                          "32R(2)|M~Time~L(2)@t4@160L(2)|M~Notes~@s40@");
}

ColumnFormatKeys playlistLineListFormatKeys()
{
    return {QStringLiteral("UpdatePlaylist"), QStringLiteral(":1")};
}

void showPlaylistLines(PagedList& list, qint32 playlistId)
{
    list.setOrder(list.table().key(QStringLiteral("PLA:KeyPlaylistID")), Row {playlistId});
    list.setCondition(QStringLiteral("\"PlaylistID\" = ?"), {playlistId});
}

QString missingSongText()
{
    return QStringLiteral("(song deleted)");
}

LineSong songOfLine(Database& db, qint64 songId, int* error)
{
    LineSong song;
    if (error)
        *error = 0;
    // Song number 0 is no song: imported songs wait for theirs, and a line cannot name them.
    if (songId == 0)
        return song;
    TableUse use(db, TableId::Tunedeck);
    CachedStatement st = db.statement(
        QStringLiteral("SELECT Artist, Title, Time FROM %1 WHERE ID = ? LIMIT 1").arg(songs()));
    sqlite3_stmt* s = st.get();
    if (error)
        *error = 0;
    if (!s) {
        if (error)
            *error = -1;
        return song;
    }
    sqlite3_bind_int64(s, 1, songId);
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) {
        song.found = true;
        song.artist = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        song.title = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
        song.time = int(sqlite3_column_int64(s, 2));
    } else if (rc != SQLITE_DONE) {
        db.setLastSqliteError(rc);
        if (error)
            *error = -1;
    }
    return song;
}

qint64 lastLineNumber(Database& db, qint32 playlistId)
{
    TableUse use(db, TableId::PlaylistDetails);
    return number(db, QStringLiteral("SELECT MAX(PlaylistSeq) FROM %1 WHERE PlaylistID = ?").arg(lines()),
                  {playlistId}, 0);
}

int playlistTotalTime(Database& db, qint32 playlistId)
{
    TableUse use(db, TableId::PlaylistDetails), songUse(db, TableId::Tunedeck);
    // Hundredths of the timed songs; a time value is hundredths + 1, 0 being no time.
    const qint64 hundredths = number(db,
        QStringLiteral("SELECT SUM(m.Time - 1) FROM %1 AS l JOIN %2 AS m ON m.ID = l.ID "
                       "WHERE l.PlaylistID = ? AND l.ID <> 0 AND m.Time > 0").arg(lines(), songs()),
        {playlistId}, -2);
    if (hundredths == -1)
        return -1;
    if (hundredths == -2)
        return 0;
    return qMax(1, timeFromHundredths(qMin<qint64>(hundredths, hundredthsFromTime(MaxTime))));
}

bool appendLines(Database& db, qint32 playlistId, const QList<qint64>& songIds, qint64* lastPosition)
{
    TableUse use(db, TableId::PlaylistDetails);
    Table<PlaylistDetails> t(db);
    TransactionGuard guard(db);
    if (!guard.ok()) {
        db.saveError();
        StandardWarning(db, StdMsg::RecordInsertError);
        return false;
    }
    for (qint64 id : songIds) {
        const RecordResult r = addNumbered(t, [&](TableHandle&) {
            const qint64 last = lastLineNumber(db, playlistId);
            if (last < 0)
                return true; // the add fails and is tried again
            t.rec = PlaylistDetails();
            t.rec.PlaylistID = playlistId;
            t.rec.PlaylistSeq = last + 1;
            t.rec.ID = id;
            return true;
        });
        if (r != RecordResult::Done)
            return false; // rolled back: none of the songs is on the list
    }
    if (guard.commit() != 0) {
        db.saveError();
        StandardWarning(db, StdMsg::RecordInsertError);
        return false;
    }
    if (lastPosition)
        *lastPosition = t.position();
    return true;
}

qint64 moveLine(Database& db, qint32 playlistId, qint64 seq, LineMove move)
{
    TableUse use(db, TableId::PlaylistDetails);
    const bool up = move == LineMove::Up || move == LineMove::Top;
    qint64 other = neighbour(db, playlistId, seq, up);
    if (other < 0) {
        showSwapError(db, playlistId, seq, QStringLiteral("Test Range"));
        return -1;
    }
    if (other == 0)
        return seq; // first line up, last line down: nothing to do
    if (move == LineMove::Top || move == LineMove::Bottom) {
        other = number(db,
            QStringLiteral("SELECT %1(PlaylistSeq) FROM %2 WHERE PlaylistID = ? AND PlaylistSeq > 0")
                .arg(up ? QStringLiteral("MIN") : QStringLiteral("MAX"), lines()),
            {playlistId}, other);
        if (other < 0) {
            showSwapError(db, playlistId, seq, QStringLiteral("Test Range"));
            return -1;
        }
    }
    const bool ok = up ? rotate(db, playlistId, other, seq, true, seq) : rotate(db, playlistId, seq, other, false, seq);
    return ok ? other : -1;
}

qint64 moveLineAfter(Database& db, qint32 playlistId, qint64 seq, qint64 after)
{
    TableUse use(db, TableId::PlaylistDetails);
    const qint64 target = number(db,
        QStringLiteral("SELECT MIN(PlaylistSeq) FROM %1 WHERE PlaylistID = ? AND PlaylistSeq > ?").arg(lines()),
        {playlistId, qMax<qint64>(after, 0)}, 0);
    if (target < 0) {
        showSwapError(db, playlistId, seq, QStringLiteral("Test Range"));
        return -1;
    }
    if (target == 0 || target >= seq)
        return seq;
    return rotate(db, playlistId, target, seq, true, seq) ? target : -1;
}

bool renumberLines(Database& db, qint32 playlistId, qint64 seq)
{
    TableUse use(db, TableId::PlaylistDetails);
    TransactionGuard guard(db);
    auto fail = [&] {
        guard.rollback();
        showSwapError(db, playlistId, seq, QStringLiteral("Put Upd Seq"));
        return false;
    };
    if (!guard.ok())
        return fail();
    if (run(db,
            QStringLiteral("UPDATE %1 SET PlaylistSeq = -PlaylistSeq WHERE PlaylistID = ? AND PlaylistSeq >= ?")
                .arg(lines()),
            {playlistId, seq})
        != 0)
        return fail();
    if (run(db,
            QStringLiteral("UPDATE %1 AS l SET PlaylistSeq = m.ns FROM (SELECT rowid AS r, ? - 1 + ROW_NUMBER() "
                           "OVER (ORDER BY PlaylistSeq DESC) AS ns FROM %1 WHERE PlaylistID = ? AND "
                           "PlaylistSeq < 0) AS m WHERE l.rowid = m.r").arg(lines()),
            {seq, playlistId})
        != 0)
        return fail();
    if (guard.commit() != 0)
        return fail();
    return true;
}

bool deleteLine(Database& db, qint32 playlistId, qint64 seq)
{
    TableUse use(db, TableId::PlaylistDetails);
    TransactionGuard guard(db);
    if (!guard.ok()) {
        db.saveError();
        StandardWarning(db, StdMsg::DeleteOperationError, kLines);
        return false;
    }
    if (run(db, QStringLiteral("DELETE FROM %1 WHERE PlaylistID = ? AND PlaylistSeq = ?").arg(lines()),
            {playlistId, seq})
        != 0) {
        guard.rollback();
        db.saveError();
        StandardWarning(db, StdMsg::DeleteOperationError, kLines);
        return false;
    }
    // Inside the delete's transaction: a failed renumbering undoes the delete too.
    if (!renumberLines(db, playlistId, seq))
        return false;
    if (guard.commit() != 0) {
        db.saveError();
        StandardWarning(db, StdMsg::DeleteOperationError, kLines);
        return false;
    }
    return true;
}

Message swapErrorMessage(const QString& errorText, qint32 playlistId, qint64 seq, const QString& section)
{
    Message m;
    m.caption = QStringLiteral("Error!");
    m.icon = Icon::Exclamation;
    m.text = QStringLiteral("Record swap error: |%1|PlaylistDetails, PLA:KeyPlaylistID|Key Field PLA:PlaylistID = %2|"
                            "Key Field PLA:PlaylistSeq = %3|Section = %4|")
                 .arg(errorText)
                 .arg(playlistId)
                 .arg(seq)
                 .arg(section);
    return m;
}

QString m3uPathLine(const QString& title, qint64 songId)
{
    QString path = title;
    path.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    path = path.trimmed();
    // Players skip an empty line and read a line beginning with "#" as a comment: either way the
    // entry would be lost.
    if (path.isEmpty())
        return QStringLiteral("Untitled %1").arg(songId);
    if (path.startsWith(QLatin1Char('#')))
        return QStringLiteral("./") + path;
    return path;
}

QString m3uFileName(const QString& description)
{
    QString name = description.trimmed();
    // The description names the file: no folders, nothing a file system refuses.
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 32)
            c = QLatin1Char('-');
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QStringLiteral("Playlist"));
    return name + QStringLiteral(".m3u8");
}

bool playlistM3u(Database& db, qint32 playlistId, QString* text)
{
    TableUse use(db, TableId::PlaylistDetails), songUse(db, TableId::Tunedeck);
    CachedStatement st = db.statement(
        QStringLiteral("SELECT m.Artist, m.Title, m.Time, m.ID FROM %1 AS l JOIN %2 AS m ON m.ID = l.ID "
                       "WHERE l.PlaylistID = ? AND l.ID <> 0 ORDER BY l.PlaylistSeq").arg(lines(), songs()));
    sqlite3_stmt* s = st.get();
    if (!s)
        return false;
    sqlite3_bind_int64(s, 1, playlistId);
    QString out = QStringLiteral("#EXTM3U\n");
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        const QString artist = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))).trimmed();
        const QString title = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1))).trimmed();
        const int time = int(sqlite3_column_int64(s, 2));
        const qint64 id = sqlite3_column_int64(s, 3);
        // A song without a time is "-1", the length M3U readers take as unknown.
        const int seconds = time > 0 ? secondsFromTime(time) : -1;
        // One song, one entry: a line break inside a text would start a false entry.
        auto oneLine = [](QString v) { return v.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r')); };
        out += QStringLiteral("#EXTINF:%1,%2 - %3\n%4\n")
                   .arg(seconds)
                   .arg(oneLine(artist), oneLine(title), m3uPathLine(title, id));
    }
    if (rc != SQLITE_DONE) {
        db.setLastSqliteError(rc);
        return false;
    }
    *text = out;
    return true;
}

} // namespace td

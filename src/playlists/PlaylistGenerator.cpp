#include "playlists/PlaylistGenerator.h"

#include "core/DayTime.h"
#include "core/Messages.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/Records.h"
#include "data/TableHandle.h"

#include <QStringList>
#include <sqlite3.h>

namespace td {

namespace {

// A release value below this is a bare year; from it on a day number; 0 is no release.
constexpr qint32 kFirstDayValue = 3000;

struct Song {
    qint64 id = 0;
    qint32 release = 0;
    qint64 category = 0;
};

// The highest record number of the song file (0 when it is empty).
qint64 highestRecord(Database& db, int* rc)
{
    CachedStatement st = db.statement(QStringLiteral("SELECT max(rowid) FROM %1").arg(Database::sqlTable(TableId::Tunedeck)));
    if (!st) {
        *rc = -1;
        return 0;
    }
    *rc = sqlite3_step(st.get());
    if (*rc != SQLITE_ROW)
        return 0;
    *rc = 0;
    return sqlite3_column_int64(st.get(), 0);
}

// The song of one record number; false when the number belongs to no song (deleted), to a song
// without a song number, or on error.
bool readSong(Database& db, qint64 record, Song& out)
{
    CachedStatement st = db.statement(QStringLiteral("SELECT ID, ReleaseDate, CategoryID FROM %1 WHERE rowid = ?")
                                          .arg(Database::sqlTable(TableId::Tunedeck)));
    if (!st)
        return false;
    sqlite3_bind_int64(st.get(), 1, record);
    if (sqlite3_step(st.get()) != SQLITE_ROW)
        return false;
    out.id = sqlite3_column_int64(st.get(), 0);
    out.release = qint32(sqlite3_column_int64(st.get(), 1));
    out.category = sqlite3_column_int64(st.get(), 2);
    // A song without its number yet (imported, not numbered by the link test) cannot be named by a
    // playlist line: the attempt is lost as for a deleted song.
    return out.id != 0;
}

bool nameOrNumberTaken(Database& db, qint32 id, const QString& description)
{
    Table<PlaylistMaster> lists(db);
    lists.rec.PlaylistID = id;
    if (lists.get(lists.key(QStringLiteral("PLD:KeyPlaylistID"))) == 0)
        return true;
    lists.rec.PlaylistDescription = description;
    return lists.get(lists.key(QStringLiteral("PLD:KeyPlaylistDescription"))) == 0;
}

QString generatedName(qint32 id) { return QStringLiteral("Play List #") + QString::number(id); }

QString addErrorText(const StorageError& e, const char* file)
{
    return QStringLiteral("There was an error (") + QString::number(e.code) + QStringLiteral(" - ")
        + e.text.trimmed() + QStringLiteral(") adding to the ") + QLatin1String(file) + QStringLiteral(" file");
}

} // namespace

const QStringList& weightingNames()
{
    static const QStringList names { QStringLiteral("No Weighting"), QStringLiteral("Recent Addition"),
                                     QStringLiteral("Recent Release"), QStringLiteral("Older Addition"),
                                     QStringLiteral("Older Release") };
    return names;
}

Weighting weightingOf(const QString& name)
{
    const int i = weightingNames().indexOf(name.trimmed());
    return i < 0 ? Weighting::None : Weighting(i);
}

bool datesInOrder(const GenerateChoices& c) { return c.startDate == 0 || c.endDate == 0 || c.startDate <= c.endDate; }

Message dateOrderMessage()
{
    Message m;
    m.caption = QStringLiteral("Error");
    m.text = QStringLiteral("The starting release date is after the ending release date.|No song could be selected.");
    m.icon = Icon::Exclamation;
    return m;
}

Message missingCategoryMessage(const QString& category)
{
    Message m;
    m.caption = QStringLiteral("Error");
    m.text = QStringLiteral("The category \"%1\" no longer exists.|Choose another category.").arg(category.trimmed());
    m.icon = Icon::Exclamation;
    return m;
}

qint32 nextGeneratedPlaylist(Database& db, QString* description)
{
    const qint64 first = nextNumber(db, TableId::PlaylistMaster);
    if (first < 0)
        return -1;
    qint32 id = qint32(first);
    while (nameOrNumberTaken(db, id, generatedName(id)))
        ++id;
    if (description)
        *description = generatedName(id);
    return id;
}

GenerateResult generatePlaylist(Database& db, const GenerateChoices& choices, RandomSource& random, int today)
{
    GenerateResult result;
    TableUse songUse(db, TableId::Tunedeck);
    TableUse categoryUse(db, TableId::Categories);
    Table<PlaylistMaster> lists(db);
    Table<PlaylistDetails> lines(db);
    Messages& messages = db.messages();

    int rc = 0;
    const qint64 records = highestRecord(db, &rc);
    if (records <= 0) {
        messages.show(QStringLiteral("Error"), QStringLiteral("There are no songs to select from"), Icon::Exclamation);
        result.outcome = GenerateResult::NoSongs;
        return result;
    }

    // A category picked from the list may have been deleted since the list was filled: refused
    // before anything is written rather than matching songs of some other category.
    const bool byCategory = !choices.category.trimmed().isEmpty();
    qint64 categoryId = 0;
    if (byCategory) {
        Table<Categories> cats(db);
        cats.rec.Category = choices.category;
        if (cats.get(cats.key(QStringLiteral("CAT:KeyCategory"))) != 0) {
            result.outcome = GenerateResult::NoCategory;
            return result;
        }
        categoryId = cats.rec.CategoryID;
    }

    const int size = qBound(0, choices.size, kMostSongs);
    const Weighting weighting = weightingOf(choices.weighting);
    const qint32 recentDay = today - kRecentDays;
    const int thisYear = yearOfDay(today);

    TransactionGuard guard(db);
    if (!guard.ok()) {
        messages.show(QStringLiteral("Error"), addErrorText(db.lastError(), "Play List Master"), Icon::Exclamation);
        result.outcome = GenerateResult::NotCreated;
        return result;
    }
    lists.clear();
    result.playlistId = nextGeneratedPlaylist(db, &result.description);
    lists.rec.PlaylistID = result.playlistId;
    lists.rec.PlaylistDescription = result.description;
    lists.rec.LastEditDate = today;
    if (result.playlistId < 0 || lists.add() != 0) {
        // Lines written without their playlist would turn up in the next playlist of that number.
        const StorageError e = db.lastError();
        guard.rollback();
        messages.show(QStringLiteral("Error"), addErrorText(e, "Play List Master"), Icon::Exclamation);
        result.outcome = GenerateResult::NotCreated;
        return result;
    }

    Song song;
    QStringList failures;
    while (result.placed < size && result.attempts < kMostAttempts) {
        ++result.attempts;
        qint64 k = random.between(1, records);
        if (weighting == Weighting::RecentAddition && random.between(1, 2) == 1)
            k = random.between(qMax<qint64>(1, records / 2), records);
        else if (weighting == Weighting::OlderAddition && random.between(1, 2) == 1)
            k = random.between(1, qMax<qint64>(1, records / 2));
        if (!readSong(db, k, song))
            continue;
        if (choices.startDate != 0 && song.release < choices.startDate)
            continue;
        if (choices.endDate != 0 && song.release > choices.endDate)
            continue;
        if (byCategory && song.category != categoryId)
            continue;
        if ((weighting == Weighting::RecentRelease || weighting == Weighting::OlderRelease) && song.release != 0
            && random.between(1, 2) == 1) {
            const bool isDay = song.release >= kFirstDayValue;
            const bool recent = isDay ? song.release >= recentDay : song.release >= thisYear;
            if ((weighting == Weighting::RecentRelease) != recent)
                continue;
        }
        ++result.placed;
        lines.clear();
        lines.rec.PlaylistID = result.playlistId;
        lines.rec.PlaylistSeq = result.placed;
        lines.rec.ID = song.id;
        // A line that cannot be added is reported once the playlist is stored, so that no message
        // waits for an answer while the files are locked for writing.
        if (lines.add() != 0)
            failures << addErrorText(db.lastError(), "Play List Details");
    }
    if (guard.commit() != 0) {
        failures << addErrorText(db.lastError(), "Play List Details");
        result.outcome = GenerateResult::NotCreated;
    }
    for (const QString& text : std::as_const(failures))
        messages.show(QStringLiteral("Error"), text, Icon::Exclamation);
    return result;
}

} // namespace td

#include "albums/AlbumSongs.h"

#include "common/GlobalSettings.h"
#include "common/PagedList.h"
#include "core/ListFormat.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

#include <limits>

namespace td {

namespace {

const QString kSongLabel = QStringLiteral("Tunedeck");

int songField(const char* name)
{
    return tableDef(TableId::Tunedeck).fieldIndex(QString::fromLatin1(name));
}

// One page of the album's songs in track order from `track` on (or after `after`, a song already
// read); at most `limit`.
int readAlbumSongs(
    Table<Tunedeck>& t, qint32 albumId, const PageRow* after, int track, int limit, QList<PageRow>& out)
{
    PageRead read;
    read.key = t.key(QStringLiteral("MUS:KeyAlbumID"));
    read.equalLeading = 1;
    read.limit = limit;
    if (after) {
        read.from = after->row;
        read.fromPosition = after->position;
        read.inclusive = false;
    } else {
        read.from = Row { albumId, track };
    }
    return t.readPage(read, out);
}

Message freeText(const QString& caption, const QString& text, Icon icon = Icon::Information)
{
    Message m;
    m.caption = caption;
    m.text = text;
    m.icon = icon;
    return m;
}

} // namespace

// --- the list -----------------------------------------------------------------------------------------

QString albumSongListDesignedFormat()
{
    return QStringLiteral("64R(2)|M~Track Number~C(0)@n3@"
                          "80L(2)|M~Artist~@s30@"
                          "80L(2)|M~Title~@s30@"
                          "40R(2)|M~Time~C(0)@t4@"
                          "44L(2)|M~Media~@s20@"
                          "48L(2)|M~File Number~@s10@"
                          "52R(2)|M~Release Date~C(0)@d2@");
}

QString albumSongListFormat(const GlobalSettings& settings)
{
    return applyDateFormat(albumSongListDesignedFormat(), settings.DateFormat);
}

ColumnFormatKeys albumSongListFormatKeys()
{
    return ColumnFormatKeys { QStringLiteral("UpdateAlbums"), QStringLiteral(":2") };
}

void showAlbumSongs(PagedList& list, qint32 albumId)
{
    list.setOrder(list.table().key(QStringLiteral("MUS:KeyAlbumID")), Row { albumId });
    list.setCondition(QStringLiteral("\"Tunedeck\".\"AlbumID\" = ?"), { albumId });
}

qint64 firstTrackStartingWith(Database& db, qint32 albumId, const QString& text)
{
    bool ok = false;
    const int lead = text.toInt(&ok);
    if (!ok || text.isEmpty() || lead < 0 || !text.at(0).isDigit()
        || (text.size() > 1 && text.at(0) == QLatin1Char('0')))
        return 0;
    Table<Tunedeck> t(db);
    const int trackField = songField("TrackNumber");
    // Track numbers have up to three digits: the text itself, then with one and two digits more.
    for (int scale = 1; scale <= 100; scale *= 10) {
        const qint64 low = qint64(lead) * scale;
        if (low > 255 || (lead == 0 && scale > 1))
            break;
        const qint64 high = low + scale - 1;
        QList<PageRow> rows;
        if (readAlbumSongs(t, albumId, nullptr, int(low), 1, rows) != 0) {
            db.setLastError(t.lastError());
            return -1;
        }
        if (!rows.isEmpty() && rows.first().row.value(trackField).toLongLong() <= high)
            return rows.first().position;
    }
    return 0;
}

bool albumSongPositions(Database& db, qint32 albumId, QList<qint64>* positions)
{
    positions->clear();
    Table<Tunedeck> t(db);
    QList<PageRow> rows;
    PageRow last;
    bool more = true;
    bool first = true;
    while (more) {
        constexpr int kPage = 64;
        if (readAlbumSongs(t, albumId, first ? nullptr : &last, 0, kPage, rows) != 0) {
            db.setLastError(t.lastError());
            return false;
        }
        first = false;
        for (const PageRow& r : std::as_const(rows))
            positions->append(r.position);
        more = rows.size() == kPage;
        if (more)
            last = rows.last();
    }
    return true;
}

int nextTrackNumber(Database& db, qint32 albumId)
{
    if (albumId == 0)
        return 1; // songs without album are not in the key
    Table<Tunedeck> t(db);
    PageRead read;
    read.key = t.key(QStringLiteral("MUS:KeyAlbumID"));
    read.from = Row { albumId, 255 };
    read.forward = false;
    read.equalLeading = 1;
    read.limit = 1;
    QList<PageRow> rows;
    if (t.readPage(read, rows) != 0) {
        db.setLastError(t.lastError());
        return -1;
    }
    if (rows.isEmpty())
        return 1;
    return qMin(rows.first().row.value(songField("TrackNumber")).toInt() + 1, 255);
}

// --- songs filed under the album's media and file number ------------------------------------------

Message assignSongsQuestion(const Album& album)
{
    Message m;
    m.caption = QStringLiteral("Assign Songs To Album");
    m.text = QStringLiteral(
        "Do you want to assign all songs with file number \"%1\" and media type \"%2\" to this album?")
                 .arg(clip(album.FileNumber), clip(album.Media));
    m.icon = Icon::Question;
    m.buttons = Yes | No | Cancel;
    m.defaultButton = No;
    return m;
}

AssignResult assignSongsByFileNumber(Database& db, const Album& album)
{
    AssignResult result;
    Table<Tunedeck> songs(db); // opened before the transaction begins
    Table<Tunedeck> reader(db);
    const int key = reader.key(QStringLiteral("MUS:SongsByMedia"));
    const int mediaField = songField("Media");
    TransactionGuard tx(db);
    if (!tx.ok()) {
        result.outcome = AssignResult::Busy;
        result.error = db.lastError();
        return result;
    }

    PageRead read;
    read.key = key;
    read.from = Row { album.Media, album.FileNumber };
    read.equalLeading = 2; // only the songs of that media and file number are read
    read.limit = 64;
    for (;;) {
        QList<PageRow> rows;
        if (reader.readPage(read, rows) != 0) {
            result.outcome = AssignResult::ReadError;
            result.error = reader.lastError();
            return result; // rolled back
        }
        for (const PageRow& r : std::as_const(rows)) {
            if (songs.fetch(r.position) != 0) {
                result.outcome = AssignResult::ReadError;
                result.error = songs.lastError();
                return result;
            }
            songs.rec.AlbumID = album.AlbumID;
            if (songs.put() != 0) {
                result.outcome = AssignResult::WriteError;
                result.error = songs.lastError();
                return result;
            }
            ++result.assigned;
        }
        if (rows.size() < read.limit)
            break;
        read.from = rows.last().row;
        read.fromPosition = rows.last().position;
        read.inclusive = false;
    }

    if (result.assigned == 0) {
        // Which song stopped the reading: none at all, one of another media, or one of this media
        // with another file number.
        PageRead next;
        next.key = key;
        next.from = Row { album.Media, album.FileNumber };
        next.limit = 1;
        QList<PageRow> rows;
        if (reader.readPage(next, rows) != 0) {
            result.outcome = AssignResult::ReadError;
            result.error = reader.lastError();
            return result;
        }
        if (rows.isEmpty())
            result.outcome = AssignResult::NoneAtEnd;
        else if (compareKeyText(rows.first().row.value(mediaField).toString(), album.Media) != 0)
            result.outcome = AssignResult::OtherMedia;
        else
            result.outcome = AssignResult::OtherFileNumber;
        return result;
    }
    if (tx.commit() != 0) {
        result.outcome = AssignResult::WriteError;
        result.error = db.lastError();
        result.assigned = 0;
        return result;
    }
    result.outcome = AssignResult::Assigned;
    return result;
}

void reportAssignment(Database& db, const AssignResult& result)
{
    const QString failed = QStringLiteral("Process failed.");
    Messages& messages = db.messages();
    switch (result.outcome) {
    case AssignResult::Assigned:
        messages.show(freeText(
            QStringLiteral("Process complete."), QStringLiteral("%1 songs assigned.").arg(result.assigned)));
        return;
    case AssignResult::NoneAtEnd:
        messages.show(
            freeText(failed, QStringLiteral("No songs with that media type and file number were found.")));
        return;
    case AssignResult::OtherMedia:
        messages.show(freeText(failed, QStringLiteral("No songs with that media type were found.")));
        return;
    case AssignResult::OtherFileNumber:
        messages.show(freeText(failed, QStringLiteral("No songs with that file number were found.")));
        return;
    case AssignResult::ReadError:
        messages.show(freeText(QStringLiteral("Assignment Cancelled"),
            QStringLiteral("Error reading music database ") + errorTextOf(result.error)));
        return;
    case AssignResult::WriteError:
        db.saveError(result.error);
        StandardWarning(db, StdMsg::UpdateOperationError, kSongLabel);
        return;
    case AssignResult::Busy:
        db.saveError(result.error);
        StandardWarning(db, StdMsg::TransactionFramingError, QStringLiteral("Update"), kSongLabel);
        return;
    }
}

bool assignSongToAlbum(Database& db, qint32 songId, qint32 albumId, qint64* position)
{
    Table<Tunedeck> t(db);
    t.rec.ID = songId;
    if (t.get(t.key(QStringLiteral("MUS:KeyID"))) != 0) {
        db.saveError(t.lastError());
        StandardWarning(db, StdMsg::RecordRetrievalError, kSongLabel);
        return false;
    }
    if (t.rec.AlbumID != albumId) {
        t.rec.AlbumID = albumId;
        if (UpdateRecord(t, false) != RecordResult::Done)
            return false;
    }
    if (position)
        *position = t.position();
    return true;
}

// --- songs dropped on the album ----------------------------------------------------------------------

QList<qint32> songIdsOfDrag(const QByteArray& data)
{
    QList<qint32> ids;
    const QList<QByteArray> lines = data.split('\n');
    for (const QByteArray& line : lines) {
        const QByteArray n = line.trimmed();
        if (n.isEmpty())
            continue;
        bool ok = false;
        const qint64 id = n.toLongLong(&ok);
        if (!ok || id <= 0 || id > std::numeric_limits<qint32>::max())
            return {};
        if (!ids.contains(qint32(id)))
            ids << qint32(id);
    }
    return ids;
}

qint64 dropSongNumber(Database& db, qint32 own)
{
    Table<Tunedeck> t(db);
    const qint64 count = t.records();
    if (count < 0) {
        db.setLastError(t.lastError());
        return -1;
    }
    const int key = t.key(QStringLiteral("MUS:KeyID"));
    qint64 n = count + 1;
    for (int taken = 0;;) {
        if (n > std::numeric_limits<qint32>::max())
            return own;
        t.clear();
        t.rec.ID = qint32(n);
        const int err = t.get(key);
        if (err == RecordNotAvailable)
            return n;
        if (err != 0) {
            db.setLastError(t.lastError());
            return -1;
        }
        if (++taken >= 101)
            return own;
        n += taken >= 51 ? 3 : 1;
    }
}

DropResult dropSongsOnAlbum(Database& db, const Album& album, const QList<qint32>& ids)
{
    DropResult result;
    Table<Tunedeck> t(db); // opened before the transaction begins
    const int keyId = t.key(QStringLiteral("MUS:KeyID"));
    auto fail = [&](const StorageError& e) {
        // The transaction is rolled back when the guard goes, before the message is shown.
        result = DropResult();
        result.failed = true;
        return e;
    };
    StorageError error;
    {
        TransactionGuard tx(db);
        if (!tx.ok()) {
            error = fail(db.lastError());
        } else {
            for (qint32 id : ids) {
                t.clear();
                t.rec.ID = id;
                const int err = t.get(keyId);
                if (err == RecordNotAvailable) {
                    ++result.missing;
                    continue;
                }
                if (err != 0) {
                    error = fail(t.lastError());
                    break;
                }
                t.rec.AlbumID = album.AlbumID;
                const qint64 number = dropSongNumber(db, id);
                if (number < 0) {
                    error = fail(db.lastError());
                    break;
                }
                int written = 0;
                if (number != id) {
                    t.rec.ID = qint32(number); // a copy on this album; the dropped song stays as it is
                    written = t.add();
                } else {
                    written = t.put();
                }
                if (written != 0) {
                    error = fail(t.lastError());
                    break;
                }
                ++result.stored;
                result.lastPosition = t.position();
            }
            if (!result.failed && result.stored > 0 && tx.commit() != 0)
                error = fail(db.lastError());
        }
    }
    if (result.failed) {
        db.messages().show(freeText(
            QStringLiteral("Error"), QStringLiteral("Error updating song database - ") + errorTextOf(error)));
        return result;
    }
    if (result.missing > 0) {
        const QString text = result.missing == 1 && ids.size() == 1
            ? QStringLiteral("The dropped song is no longer in the music database.")
            : QStringLiteral("%1 of the dropped songs are no longer in the music database.")
                  .arg(result.missing);
        db.messages().show(freeText(QStringLiteral("Songs Not Found"), text, Icon::Exclamation));
    }
    return result;
}

} // namespace td

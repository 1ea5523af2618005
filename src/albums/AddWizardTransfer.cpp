#include "albums/AddWizardTransfer.h"

#include "albums/AddWizardTracks.h"
#include "core/Messages.h"
#include "core/TextField.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

namespace td {

namespace {

Message errorMessage(const QString& caption, const QString& text)
{
    Message m;
    m.caption = caption;
    m.text = text;
    m.icon = Icon::Exclamation;
    return m;
}

QString fromWizardText(const StorageError& e)
{
    return QStringLiteral("Error adding from Wizard:  ") + errorTextOf(e);
}

// Whether a record with the candidate's values in `key` is stored; the candidate stays in the buffer.
bool collides(Table<Album>& albums, const Album& candidate, const char* key, Album* found = nullptr)
{
    albums.rec = candidate;
    const bool hit = albums.get(albums.key(QString::fromLatin1(key))) == 0;
    if (hit && found)
        *found = albums.rec;
    albums.rec = candidate;
    return hit;
}

struct AlbumStep {
    qint32 id = 0;
    bool added = false;
};

// The album of the wizard, as a level of its own inside the transfer's transaction.
AlbumStep writeAlbum(Database& db, Table<Album>& albums, const WizardHeader& h, QList<Message>& messages)
{
    const Tunedeck& s = h.song;
    Album a;
    a.CDIdentifier = h.cdIdentifier;
    a.Artist = h.compilation ? QString::fromLatin1(kVariousArtist) : s.Artist;
    a.Album = s.Album;
    a.Notes = s.Notes;
    a.FileNumber = s.FileNumber;
    a.Media = s.Media;
    a.ReleaseDate = s.ReleaseDate;
    a.CategoryID = s.CategoryID;
    // Compared as the keys compare: as stored.
    Row stored = toRow(a);
    TableHandle::normalise(albums.def(), stored);
    fromRow(stored, a);

    if (!h.addToAlbums) {
        Album found;
        return { collides(albums, a, "KeyAlbum", &found) ? found.AlbumID : 0, false };
    }

    // A disc identifier another album has is dropped rather than reported.
    if (!clip(a.CDIdentifier).isEmpty() && collides(albums, a, "KeyCDIdentifier"))
        a.CDIdentifier.clear();
    const qint64 next = nextNumber(db, TableId::Album);
    if (next < 0) {
        messages << errorMessage(QStringLiteral("Error"),
            QStringLiteral("Error adding album information:") + messageBreak() + errorTextOf(db.lastError()) + messageBreak());
        return {};
    }
    a.AlbumID = qint32(next);
    while (collides(albums, a, "KeyAlbumID"))
        ++a.AlbumID;
    const Album asTyped = a;
    if (collides(albums, a, "KeyAlbum"))
        a.Album = copyTitle(a.Album);
    if (collides(albums, a, "KeyArtist")) {
        messages << errorMessage(QStringLiteral("Warning"),
            QStringLiteral(
                "The artist and album information is a duplicate of information already in the database"));
        // The songs belong with the album of that title and artist that is there already.
        Album existing;
        return { collides(albums, asTyped, "KeyArtist", &existing) ? existing.AlbumID : 0, false };
    }

    TransactionGuard level(db);
    albums.rec = a;
    int rc = level.error();
    if (rc == 0)
        rc = albums.add();
    if (rc == 0)
        rc = level.commit();
    if (rc == 0)
        return { a.AlbumID, true };
    const StorageError e = albums.lastError().code ? albums.lastError() : db.lastError();
    level.rollback();
    QString tags;
    if (collides(albums, a, "KeyAlbumID"))
        tags += QStringLiteral("[ID]");
    if (!clip(a.CDIdentifier).isEmpty() && collides(albums, a, "KeyCDIdentifier"))
        tags += QStringLiteral("[CD]");
    if (collides(albums, a, "KeyAlbum"))
        tags += QStringLiteral("[Album]");
    if (collides(albums, a, "KeyArtist"))
        tags += QStringLiteral("[Artist]");
    messages << errorMessage(
        QStringLiteral("Error"), QStringLiteral("Error adding album information:") + messageBreak() + errorTextOf(e) + messageBreak() + tags);
    // No album was stored: the songs are linked to none rather than to a number nobody holds.
    return {};
}

// Adds the song in the buffer under the number *n; when the number is taken it is raised to at
// least the song count and then by one until it is free. 0 or the storage error code.
int addSong(Table<Tunedeck>& songs, qint32* n, StorageError* error)
{
    Tunedeck song = songs.rec;
    song.ID = *n;
    songs.rec = song;
    int rc = songs.add();
    if (rc == DuplicateKey) {
        const int key = songs.key(QStringLiteral("MUS:KeyID"));
        qint64 candidate = qMax<qint64>(*n, songs.records());
        bool free = false;
        for (int tries = 0; tries < kSongNumberTries && !free; ++tries) {
            ++candidate;
            songs.rec = song;
            songs.rec.ID = qint32(candidate);
            free = songs.get(key) == RecordNotAvailable;
        }
        song.ID = qint32(candidate);
        songs.rec = song;
        rc = free ? songs.add() : DuplicateKey;
        if (rc == 0)
            *n = song.ID;
    }
    if (rc != 0)
        *error = songs.lastError().code ? songs.lastError() : StorageError::make(rc);
    return rc;
}

} // namespace

QString wizardTimeText(int time)
{
    if (time <= 0)
        return QString();
    const int seconds = (time - 1) / 100;
    const QString hms = QStringLiteral("%1:%2:%3")
                            .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return hms.right(5);
}

QString copyTitle(const QString& title)
{
    const QString copy = QStringLiteral(" (Copy)");
    const int width = tableDef(TableId::Album).field(tableDef(TableId::Album).fieldIndex(QStringLiteral("Album"))).width;
    return clip(title).left(width - int(copy.size())) + copy;
}

WizardTransferResult transferWizard(Database& db, qint64 instance, const WizardHeader& h)
{
    WizardTransferResult result;
    QList<Message> messages;
    // Every file is opened before the transaction begins.
    const TableUse useRows(db, TableId::AddWizard), useSongs(db, TableId::Tunedeck), useAlbums(db, TableId::Album);
    if (!useRows.ok() || !useSongs.ok() || !useAlbums.ok())
        return result;
    AddWizardTracks tracks(db, instance);
    Table<Tunedeck> songs(db);
    Table<Album> albums(db);

    QList<WizardTrack> rows;
    if (const int rc = tracks.rows(rows); rc != 0) {
        db.messages().show(errorMessage(QStringLiteral("Error!"), fromWizardText(tracks.table().lastError())));
        return result;
    }

    TransactionGuard transaction(db);
    if (transaction.error() != 0) {
        const StorageError e = db.lastError();
        transaction.rollback();
        db.messages().show(errorMessage(QStringLiteral("Error!"), fromWizardText(e)));
        return result;
    }
    const AlbumStep album = writeAlbum(db, albums, h, messages);
    result.albumId = album.id;
    result.albumAdded = album.added;

    qint32 n = h.firstSongId > 0 ? h.firstSongId : 1;
    for (const WizardTrack& row : std::as_const(rows)) {
        const AddWizard& t = row.rec;
        Tunedeck song = h.song;
        song.AlbumID = album.id;
        song.TrackNumber = qint32(t.Track);
        if (h.compilation)
            song.Artist = t.Artist;
        song.Title = clip(t.Title).isEmpty() ? QStringLiteral("Track %1").arg(t.Track) : t.Title;
        // A track without a time gets none (not the one of the song before it).
        song.Time = t.Time;
        song.AdditionalInformation1 = wizardTimeText(t.Time);

        TransactionGuard level(db);
        StorageError e;
        int rc = level.error();
        if (rc != 0)
            e = db.lastError();
        songs.rec = song;
        if (rc == 0)
            rc = addSong(songs, &n, &e);
        if (rc == 0 && (rc = tracks.table().fetch(row.position)) == 0)
            rc = tracks.table().del();
        if (rc != 0 && !e.isError())
            e = tracks.table().lastError();
        if (rc == 0)
            rc = level.commit();
        if (rc != 0) {
            // This song is undone and its row kept for another try; the next rows go on.
            level.rollback();
            if (!e.isError())
                e = db.lastError();
            messages << errorMessage(
                QStringLiteral("Error!"), QStringLiteral("Error adding to music database from Wizard:  ") + errorTextOf(e));
            ++result.songsFailed;
        } else {
            ++result.songsWritten;
        }
        ++n;
    }

    if (transaction.commit() != 0) {
        const StorageError e = db.lastError();
        transaction.rollback();
        db.messages().show(errorMessage(QStringLiteral("Error!"), fromWizardText(e)));
        return WizardTransferResult();
    }
    result.committed = true;
    for (const Message& m : std::as_const(messages))
        db.messages().show(m);
    return result;
}

} // namespace td

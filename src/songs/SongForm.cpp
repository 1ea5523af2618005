#include "songs/SongForm.h"

#include "albums/AlbumSongs.h"
#include "common/AppState.h"
#include "core/DayTime.h"
#include "core/Messages.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "songs/MediaList.h"

namespace td {

namespace {

const QString kSongLabel = QStringLiteral("Tunedeck");

Row normalisedRow(const Tunedeck& s)
{
    Row r = toRow(s);
    TableHandle::normalise(tableDef(TableId::Tunedeck), r);
    return r;
}

bool blank(const QString& s)
{
    return clip(s).trimmed().isEmpty();
}

} // namespace

AddRedirect addModeRedirect(const QString& addMode, Request request, const Tunedeck& song)
{
    if (request != Request::Insert || addMode.isEmpty())
        return AddRedirect::Form;
    switch (addMode.at(0).toUpper().unicode()) {
    case 'C':
        return AddRedirect::Compilation;
    case 'S':
        return AddRedirect::SingleArtist;
    case 'A':
        if (blank(song.Title) && blank(song.Artist) && blank(song.FileNumber) && blank(song.Album))
            return AddRedirect::Ask;
        return AddRedirect::Form;
    default:
        return AddRedirect::Form;
    }
}

AddRedirect addTypeAnswer(const QString& answer)
{
    if (answer.isEmpty())
        return AddRedirect::Form;
    switch (answer.at(0).toUpper().unicode()) {
    case 'C':
        return AddRedirect::Compilation;
    case 'S':
        return AddRedirect::SingleArtist;
    default:
        return AddRedirect::Form;
    }
}

Message invalidTimeMessage(const QString& typed)
{
    Message m;
    m.caption = QStringLiteral("Invalid Time");
    m.text = QStringLiteral("\"%1\" is not a time.|Type minutes and seconds (3:45) or hours, minutes and "
                            "seconds (1:03:45).")
                 .arg(typed.trimmed());
    m.icon = Icon::Exclamation;
    return m;
}

Message invalidDateMessage(const QString& typed, const QString& example)
{
    Message m;
    m.caption = QStringLiteral("Invalid Date");
    m.text = QStringLiteral("\"%1\" is not a date.|Type the date as it is shown, for example %2.")
                 .arg(typed.trimmed(), example);
    m.icon = Icon::Exclamation;
    return m;
}

void defaultWithAlbum(Tunedeck& song, const Album& album)
{
    song.Album = album.Album;
    song.Media = album.Media;
    song.AlbumID = album.AlbumID;
    if (blank(song.Artist))
        song.Artist = album.Artist;
    if (blank(song.FileNumber))
        song.FileNumber = album.FileNumber;
    if (song.ReleaseDate == 0)
        song.ReleaseDate = album.ReleaseDate;
    if (song.CategoryID == 0)
        song.CategoryID = qint32(album.CategoryID);
    if (blank(song.Notes))
        song.Notes = album.Notes;
}

bool linkSongToAlbum(Database& db, Tunedeck& song)
{
    // A song without album title would find no album (a blank title is not in ALB:KeyAlbum) and
    // add a new empty one on every save.
    if (song.AlbumID != 0 || blank(song.Album))
        return false;
    Table<Album> a(db);
    a.rec.Album = song.Album;
    a.rec.Artist = song.Artist;
    if (a.get(a.key(QStringLiteral("ALB:KeyAlbum"))) == 0) {
        song.AlbumID = a.rec.AlbumID;
        return true;
    }
    const qint64 next = nextNumber(db, TableId::Album);
    if (next < 0)
        return false;
    a.clear();
    a.rec.AlbumID = qint32(next);
    a.rec.Artist = song.Artist;
    a.rec.Album = song.Album;
    a.rec.Media = song.Media;
    a.rec.FileNumber = song.FileNumber;
    a.rec.ReleaseDate = song.ReleaseDate;
    a.rec.CategoryID = song.CategoryID;
    a.rec.Notes = song.Notes;
    if (a.add() != 0)
        return false;
    song.AlbumID = qint32(next);
    return true;
}

// --- the form ----------------------------------------------------------------------------------

SongForm::SongForm(AppState& state, Request request, const Tunedeck& buffer, const Album* album)
    : state_(state)
    , initial_(buffer)
    , request_(request)
{
    if (album)
        album_ = *album;
}

SongForm::~SongForm()
{
    close();
}

Database& SongForm::database() const
{
    return state_.db;
}

Tunedeck& SongForm::song()
{
    return song_ ? song_->rec : initial_;
}

const Tunedeck& SongForm::song() const
{
    return song_ ? song_->rec : initial_;
}

bool SongForm::open()
{
    if (request_ == Request::Select) {
        request_ = Request::Insert;
        copy_ = true;
    }
    Database& db = database();
    song_ = std::make_unique<Table<Tunedeck>>(db);
    categoriesUse_ = std::make_unique<TableUse>(db, TableId::Categories);
    mediaUse_ = std::make_unique<TableUse>(db, TableId::Media);
    albumUse_ = std::make_unique<TableUse>(db, TableId::Album);
    opened_ = true;
    if (db.ended())
        return false; // a table could not be opened: the program is ending

    song_->rec = initial_;
    if (blank(song_->rec.Media))
        song_->rec.Media = QStringLiteral("CD");

    switch (request_) {
    case Request::Insert:
        if (album_)
            takeAlbumValues();
        if (!prepareNewSong())
            return false;
        numbered_ = true;
        break;
    case Request::Change:
    case Request::Delete:
        if (!loadStoredSong())
            return false;
        break;
    default:
        return false;
    }
    if (blank(song_->rec.Media))
        song_->rec.Media = QStringLiteral("CD");
    // Compared with the song as stored: a song of the album that still carries another album's
    // number or title is written with this one's on OK, even when nothing was typed.
    opening_ = normalisedRow(song_->rec);

    if (request_ == Request::Delete) {
        if (StandardWarning(db, StdMsg::ConfirmDelete) != Ok)
            return false;
        for (;;) {
            if (DeleteRecord(*song_) == RecordResult::Done) {
                response_ = Response::Completed;
                return false;
            }
            if (StandardWarning(db, StdMsg::RecordDeleteRetry) != Yes)
                return false;
        }
    }
    if (album_) {
        song_->rec.AlbumID = album_->AlbumID;
        song_->rec.Album = album_->Album;
    }
    return true;
}

void SongForm::takeAlbumValues()
{
    // A new song of the album: stored with the album's values where it has none of its own (all of
    // them for a plain add, the blanks of a copied song), always on the album and its media.
    Tunedeck& s = song_->rec;
    const Album& a = *album_;
    s.AlbumID = a.AlbumID;
    s.Album = a.Album;
    if (blank(s.Notes))
        s.Notes = a.Notes;
    if (blank(s.FileNumber))
        s.FileNumber = a.FileNumber;
    if (blank(s.Artist))
        s.Artist = a.Artist;
    if (s.ReleaseDate == 0)
        s.ReleaseDate = a.ReleaseDate;
    if (s.CategoryID == 0)
        s.CategoryID = qint32(a.CategoryID);
    s.Media = blank(a.Media) ? QStringLiteral("CD") : a.Media;
}

bool SongForm::prepareNewSong()
{
    Database& db = database();
    auto prime = [&](TableHandle&) {
        const qint64 id = nextNumber(db, TableId::Tunedeck);
        if (id < 0) {
            db.saveError();
            StandardWarning(db, StdMsg::RecordRetrievalError, kSongLabel);
            return false;
        }
        // The next track of the song's album (1 for a song without album).
        const int track = nextTrackNumber(db, song_->rec.AlbumID);
        if (track < 0) {
            db.saveError();
            StandardWarning(db, StdMsg::RecordRetrievalError, kSongLabel);
            return false;
        }
        song_->rec.ID = qint32(id);
        song_->rec.TrackNumber = track;
        return true;
    };
    return addNumbered(*song_, prime) == RecordResult::Done;
}

bool SongForm::loadStoredSong()
{
    // The stored song, fresh: a change made elsewhere since the caller's list was read is shown
    // and becomes the copy a later concurrent change is detected against.
    Database& db = database();
    if (song_->get(song_->key(QStringLiteral("MUS:KeyID"))) != 0) {
        db.saveError(song_->lastError());
        StandardWarning(db, StdMsg::RecordRetrievalError, kSongLabel);
        return false;
    }
    return true;
}

bool SongForm::fillMediaList()
{
    if (!loadMediaNames(database(), media_))
        return false;
    Tunedeck& s = song();
    if (media_.isEmpty())
        s.Media.clear();
    else if (blank(s.Media))
        s.Media = media_.first();
    return true;
}

bool SongForm::fillCategoryList()
{
    return loadCategoryList(database(), categories_);
}

QString SongForm::categoryName() const
{
    return categoryNameOf(categories_, song().CategoryID);
}

bool SongForm::checkMedia()
{
    if (mediaExists(database(), song().Media))
        return true;
    StandardWarning(database(), StdMsg::FieldContentsError, QStringLiteral("Media"), QStringLiteral("Media"));
    return false;
}

bool SongForm::checkTrackNumber()
{
    const int n = song().TrackNumber;
    if (n >= 0 && n <= 99)
        return true;
    StandardWarning(database(), StdMsg::RangeError, QStringLiteral("Track"), QStringLiteral("0 and 99"));
    return false;
}

bool SongForm::checkChartNumber()
{
    const int n = song().ChartNumber;
    if (n >= 0 && n <= 100)
        return true;
    StandardWarning(database(), StdMsg::RangeError, QStringLiteral("Chart"), QStringLiteral("0 and 100"));
    return false;
}

bool SongForm::acceptCategory(const QString& typed)
{
    qint64 id = 0;
    if (acceptCategoryName(database(), categories_, typed, &id) != CategoryAccept::Linked)
        return false;
    song().CategoryID = qint32(id);
    return true;
}

bool SongForm::changed() const
{
    return normalisedRow(song()) != opening_;
}

SongForm::Save SongForm::save()
{
    if (!song_)
        return Save::Stay;
    return isAdd() ? saveAdd() : saveChange();
}

void SongForm::settleCategory()
{
    // A number whose category no longer exists shows a blank name: the song is saved without a
    // category rather than with the dead number as if it were valid.
    Tunedeck& s = song_->rec;
    if (s.CategoryID == 0)
        return;
    Table<Categories> c(database());
    c.rec.CategoryID = s.CategoryID;
    if (c.get(c.key(QStringLiteral("CAT:KeyCategoryID"))) == RecordNotAvailable)
        s.CategoryID = 0;
}

bool SongForm::needsAlbumLink() const
{
    const Tunedeck& s = song_->rec;
    return state_.settings.autoAddToAlbums() && s.AlbumID == 0 && !blank(s.Album);
}

SongForm::Save SongForm::saveAdd()
{
    Database& db = database();
    Tunedeck& s = song_->rec;
    settleCategory();
    const Tunedeck user = s;
    const Row stored = song_->original();
    int err = 0;
    StorageError e;
    {
        // The album the link adds and the song are stored together or not at all; a failure is
        // rolled back before its message.
        TransactionGuard tx(db);
        err = tx.error();
        e = db.lastError();
        if (!err) {
            if (needsAlbumLink())
                linkSongToAlbum(db, s);
            err = song_->put();
            e = song_->lastError();
            if (!err) {
                err = tx.commit();
                e = db.lastError();
            }
        }
    }
    if (!err) {
        response_ = Response::Completed;
        opening_ = normalisedRow(s);
        return Save::Closed;
    }
    db.saveError(e);
    s = user;
    song_->setOriginal(stored);
    if (e.code == DuplicateKey && e.key.compare(QLatin1String("MUS:KeyID"), Qt::CaseInsensitive) == 0)
        StandardWarning(db, StdMsg::DuplicateKeyError, QStringLiteral("Unique Song ID"));
    else
        StandardWarning(db, StdMsg::RecordInsertError);
    return Save::Stay;
}

SongForm::Save SongForm::saveChange()
{
    Database& db = database();
    settleCategory();
    for (;;) {
        Tunedeck& s = song_->rec;
        // The album link comes before the no-change test: an unchanged song is linked too.
        if (!needsAlbumLink() && !changed()) {
            response_ = Response::Completed;
            return Save::Closed;
        }
        const Tunedeck user = s;
        const Row stored = song_->original();
        RecordResult result = RecordResult::Failed;
        bool framed = true;
        bool committed = true;
        {
            // One transaction for the whole save: the album link and the song's update.
            TransactionGuard tx(db);
            framed = tx.ok();
            if (framed) {
                if (needsAlbumLink())
                    linkSongToAlbum(db, s);
                result = changed() ? UpdateRecord(*song_, false) : RecordResult::Done;
                if (result == RecordResult::Done && tx.commit() != 0) {
                    committed = false;
                    result = RecordResult::Failed;
                }
            }
        }
        if (!framed) {
            db.saveError();
            StandardWarning(db, StdMsg::TransactionFramingError, QStringLiteral("Update"), kSongLabel);
        } else if (!committed) {
            db.saveError();
            StandardWarning(db, StdMsg::UpdateOperationError, kSongLabel);
            song_->setOriginal(stored);
        }
        if (result == RecordResult::Done) {
            response_ = Response::Completed;
            opening_ = normalisedRow(s);
            return Save::Closed;
        }
        if (result == RecordResult::ChangedElsewhere) {
            // The buffer holds the stored song now; the user's own values wait for Ditto.
            userValues_ = normalisedRow(user);
            dittoBase_ = opening_;
            opening_ = normalisedRow(s);
            return Save::ShowStored;
        }
        s = user;
        const int answer = StandardWarning(db, StdMsg::RecordUpdateRetry);
        if (answer == Yes)
            continue;
        if (answer == No) {
            response_ = Response::Cancelled;
            return Save::Closed;
        }
        return Save::Stay;
    }
}

bool SongForm::ditto()
{
    if (userValues_.isEmpty() || !song_)
        return false;
    Row current = toRow(song_->rec);
    for (int i = 0; i < current.size() && i < userValues_.size() && i < dittoBase_.size(); ++i)
        if (userValues_.at(i) != dittoBase_.at(i))
            current[i] = userValues_.at(i);
    fromRow(current, song_->rec);
    return true;
}

void SongForm::close()
{
    if (closed_)
        return;
    closed_ = true;
    if (song_ && numbered_ && response_ != Response::Completed) {
        Database& db = database();
        const int err = song_->del();
        if (err && err != RecordNotAvailable) {
            db.saveError(song_->lastError());
            StandardWarning(db, StdMsg::DeleteOperationError, kSongLabel);
        }
    }
    if (song_)
        initial_ = song_->rec;
    song_.reset();
    albumUse_.reset();
    mediaUse_.reset();
    categoriesUse_.reset();
}

} // namespace td

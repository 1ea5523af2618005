#include "albums/AlbumForm.h"

#include "common/AppState.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "songs/MediaList.h"

namespace td {

namespace {

const QString kAlbumLabel = QStringLiteral("Album");

Row normalisedRow(const Album& a)
{
    Row r = toRow(a);
    TableHandle::normalise(tableDef(TableId::Album), r);
    return r;
}

bool blank(const QString& s)
{
    return clip(s).trimmed().isEmpty();
}

int albumWidth(const char* field)
{
    const TableDef& t = tableDef(TableId::Album);
    return t.field(t.fieldIndex(QString::fromLatin1(field))).width;
}

} // namespace

QString albumCopyTitle(const QString& title)
{
    return (clip(title) + QStringLiteral(" - Copy")).left(albumWidth("Album"));
}

QString albumCopyTitle(const QString& title, int n)
{
    if (n < 2)
        return albumCopyTitle(title);
    const QString suffix = QStringLiteral(" - Copy (%1)").arg(n);
    return clip(title).left(albumWidth("Album") - int(suffix.size())) + suffix;
}

AlbumForm::AlbumForm(AppState& state, Request request, const Album& buffer)
    : state_(state)
    , initial_(buffer)
    , request_(request)
{
}

AlbumForm::~AlbumForm()
{
    close();
}

Database& AlbumForm::database() const
{
    return state_.db;
}

Album& AlbumForm::album()
{
    return album_ ? album_->rec : initial_;
}

const Album& AlbumForm::album() const
{
    return album_ ? album_->rec : initial_;
}

bool AlbumForm::open()
{
    Database& db = database();
    album_ = std::make_unique<Table<Album>>(db);
    songsUse_ = std::make_unique<TableUse>(db, TableId::Tunedeck);
    categoriesUse_ = std::make_unique<TableUse>(db, TableId::Categories);
    mediaUse_ = std::make_unique<TableUse>(db, TableId::Media);
    if (db.ended())
        return false; // a table could not be opened: the program is ending

    album_->rec = initial_;
    switch (request_) {
    case Request::Insert:
        // A copy of the highlighted album (a stored album, or one with a title): its own songs
        // stay where they are. A stored album without a title is a copy too: kept as it was, its
        // artist and disc identifier would make every numbering attempt fail.
        if (!blank(album_->rec.Album) || album_->rec.AlbumID != 0) {
            album_->rec.CDIdentifier.clear();
            album_->rec.Album = freeCopyTitle(album_->rec);
        }
        // Stored at once, so that songs can be linked to it before OK.
        if (addNumbered(*album_) != RecordResult::Done)
            return false;
        numbered_ = true;
        break;
    case Request::Change:
    case Request::Delete:
        if (!loadStoredAlbum())
            return false;
        break;
    default:
        return false;
    }

    if (request_ == Request::Delete) {
        if (StandardWarning(db, StdMsg::ConfirmDelete) != Ok)
            return false;
        for (;;) {
            if (DeleteRecord(*album_) == RecordResult::Done) {
                response_ = Response::Completed;
                return false;
            }
            if (StandardWarning(db, StdMsg::RecordDeleteRetry) != Yes)
                return false;
        }
    }
    opening_ = normalisedRow(album_->rec);
    return true;
}

QString AlbumForm::freeCopyTitle(const Album& source)
{
    // A second copy of the same album would take the first copy's title and artist, which only one
    // album may have: its number could never be stored. Copies are numbered instead.
    Table<Album> probe(database());
    const int key = probe.key(QStringLiteral("ALB:KeyAlbum"));
    // An album without a title gives "Copy", "Copy (2)" and so on.
    const bool untitled = blank(source.Album);
    auto title = [&](int n) {
        const QString t = albumCopyTitle(source.Album, n);
        return untitled ? t.mid(3) : t;
    };
    for (int n = 1; n < 100; ++n) {
        probe.rec.Artist = source.Artist;
        probe.rec.Album = title(n);
        if (probe.get(key) != 0)
            return probe.rec.Album;
    }
    return title(1);
}

bool AlbumForm::loadStoredAlbum()
{
    // The stored album, fresh: the copy a concurrent change is detected against.
    Database& db = database();
    if (album_->get(album_->key(QStringLiteral("ALB:KeyAlbumID"))) != 0) {
        db.saveError(album_->lastError());
        StandardWarning(db, StdMsg::RecordRetrievalError, kAlbumLabel);
        return false;
    }
    return true;
}

bool AlbumForm::fillMediaList()
{
    if (!loadMediaNames(database(), media_))
        return false;
    Album& a = album();
    if (blank(a.Media) && !media_.isEmpty())
        a.Media = media_.first();
    return true;
}

bool AlbumForm::fillCategoryList()
{
    return loadCategoryList(database(), categories_);
}

QString AlbumForm::categoryName() const
{
    return categoryNameOf(categories_, album().CategoryID);
}

bool AlbumForm::acceptCategory(const QString& typed)
{
    if (typed.trimmed().isEmpty()) {
        album().CategoryID = 0;
        return true;
    }
    const int i = findCategory(categories_, typed);
    if (i < 0) {
        // The album form adds no categories: the user is told where the name must come from.
        StandardWarning(
            database(), StdMsg::FieldContentsError, QStringLiteral("Category"), QStringLiteral("Categories"));
        return false;
    }
    album().CategoryID = categories_.at(i).id;
    return true;
}

bool AlbumForm::acceptMedia(const QString& chosen)
{
    const int i = findMedia(media_, chosen);
    if (i < 0) {
        // A media no longer in the table (or none at all): said, not just refused in silence.
        StandardWarning(
            database(), StdMsg::FieldContentsError, QStringLiteral("Media"), QStringLiteral("Media"));
        return false;
    }
    album().Media = media_.at(i);
    return true;
}

bool AlbumForm::changed() const
{
    return normalisedRow(album()) != opening_;
}

AlbumForm::Save AlbumForm::save()
{
    if (!album_)
        return Save::Stay;
    state_.albumHistory = album_->rec;
    return isAdd() ? saveAdd() : saveChange();
}

AlbumForm::Save AlbumForm::saveAdd()
{
    // The album stored at the opening is written over with what the user entered.
    Database& db = database();
    const Row stored = album_->original();
    if (album_->put() == 0) {
        response_ = Response::Completed;
        opening_ = normalisedRow(album_->rec);
        return Save::Closed;
    }
    const StorageError e = album_->lastError();
    album_->setOriginal(stored);
    db.saveError(e);
    // The unique keys are declared in the order they are tested: album number, title and artist,
    // artist and title, disc identifier; the error names the first one another album holds.
    if (e.code == DuplicateKey && !e.key.isEmpty())
        StandardWarning(db, StdMsg::DuplicateKeyError, e.key);
    else
        StandardWarning(db, StdMsg::RecordInsertError);
    return Save::Stay;
}

AlbumForm::Save AlbumForm::saveChange()
{
    Database& db = database();
    for (;;) {
        if (!changed()) {
            response_ = Response::Completed;
            return Save::Closed;
        }
        // A title and artist or a disc identifier another album already has is named as the add
        // names it, rather than reported as a failed update offering a retry that cannot succeed.
        if (const QString key = keyTakenElsewhere(); !key.isEmpty()) {
            StandardWarning(db, StdMsg::DuplicateKeyError, key);
            return Save::Stay;
        }
        const Album user = album_->rec;
        // Not as a form: the message that offers Ditto (38) would promise a key this form does not have.
        switch (UpdateRecord(*album_, false)) {
        case RecordResult::Done:
            response_ = Response::Completed;
            opening_ = normalisedRow(album_->rec);
            return Save::Closed;
        case RecordResult::ChangedElsewhere:
            // The buffer holds the stored album now; it is what the form shows and compares with.
            opening_ = normalisedRow(album_->rec);
            return Save::ShowStored;
        case RecordResult::Failed:
            break;
        }
        album_->rec = user;
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

QString AlbumForm::keyTakenElsewhere() const
{
    // The unique keys in the order they are declared: album number, title and artist, artist and
    // title, disc identifier.
    Table<Album> probe(database());
    const TableDef& def = probe.def();
    for (int k = 0; k < def.keys.size(); ++k) {
        if (!def.keys.at(k).unique)
            continue;
        probe.rec = album_->rec;
        if (probe.get(k) == 0 && probe.position() != album_->position())
            return def.keys.at(k).label;
    }
    return {};
}

bool AlbumForm::recallHistory(AlbumField field)
{
    if (!state_.albumHistory)
        return false;
    const Album& h = *state_.albumHistory;
    Album& a = album();
    switch (field) {
    case AlbumField::Artist:
        a.Artist = h.Artist;
        break;
    case AlbumField::Album:
        a.Album = h.Album;
        break;
    case AlbumField::Media: {
        // The drop list offers only the names of the media table.
        const int i = findMedia(media_, h.Media);
        if (i < 0)
            return false;
        a.Media = media_.at(i);
        break;
    }
    case AlbumField::FileNumber:
        a.FileNumber = h.FileNumber;
        break;
    case AlbumField::ReleaseDate:
        a.ReleaseDate = h.ReleaseDate;
        break;
    case AlbumField::WavFile:
        a.AssociatedWavFile = h.AssociatedWavFile;
        break;
    case AlbumField::Image:
        a.AssociatedImage = h.AssociatedImage;
        break;
    case AlbumField::Playlist:
        a.Playlist = h.Playlist;
        break;
    case AlbumField::Xccd:
        a.XCCD = h.XCCD;
        break;
    case AlbumField::CdSerial:
        a.CDIdentifier = h.CDIdentifier;
        break;
    }
    return true;
}

void AlbumForm::close()
{
    if (closed_)
        return;
    closed_ = true;
    if (album_ && numbered_ && response_ != Response::Completed) {
        // Only the album row goes: songs already linked to it keep its number.
        Database& db = database();
        const int err = album_->del();
        if (err && err != RecordNotAvailable) {
            db.saveError(album_->lastError());
            StandardWarning(db, StdMsg::DeleteOperationError, kAlbumLabel);
        }
    }
    if (album_)
        initial_ = album_->rec;
    album_.reset();
    mediaUse_.reset();
    categoriesUse_.reset();
    songsUse_.reset();
}

} // namespace td

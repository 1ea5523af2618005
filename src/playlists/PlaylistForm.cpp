#include "playlists/PlaylistForm.h"

#include "common/AppState.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

namespace td {

namespace {

const QString kLabel = QStringLiteral("PlaylistMaster");

Row normalised(const PlaylistMaster& p)
{
    Row r = toRow(p);
    TableHandle::normalise(tableDef(TableId::PlaylistMaster), r);
    return r;
}

} // namespace

QString blankDescriptionText()
{
    return QStringLiteral("Please enter a Playlist Description.");
}

PlaylistForm::PlaylistForm(AppState& state, Request request, const PlaylistMaster& buffer)
    : state_(state)
    , initial_(buffer)
    , request_(request)
{
}

PlaylistForm::~PlaylistForm()
{
    close();
}

Database& PlaylistForm::database() const
{
    return state_.db;
}

PlaylistMaster& PlaylistForm::playlist()
{
    return table_ ? table_->rec : initial_;
}

bool PlaylistForm::open()
{
    Database& db = database();
    table_ = std::make_unique<Table<PlaylistMaster>>(db);
    if (db.ended())
        return false;
    switch (request_) {
    case Request::Insert:
        table_->rec = PlaylistMaster();
        // Stored at once, so that lines can be added and dropped before OK.
        if (addNumbered(*table_) != RecordResult::Done)
            return false;
        numbered_ = true;
        break;
    case Request::Change:
    case Request::Delete:
        table_->rec = initial_;
        if (table_->get(table_->key(QStringLiteral("PLD:KeyPlaylistID"))) != 0) {
            db.saveError(table_->lastError());
            StandardWarning(db, StdMsg::RecordRetrievalError, kLabel);
            return false;
        }
        break;
    default:
        return false;
    }
    if (request_ == Request::Delete) {
        if (StandardWarning(db, StdMsg::ConfirmDelete) != Ok)
            return false;
        for (;;) {
            // The lines go with it, in the same transaction.
            if (DeleteRecord(*table_) == RecordResult::Done) {
                response_ = Response::Completed;
                return false;
            }
            if (StandardWarning(db, StdMsg::RecordDeleteRetry) != Yes)
                return false;
        }
    }
    opening_ = normalised(table_->rec);
    return true;
}

PlaylistForm::Save PlaylistForm::save(int day)
{
    if (!table_)
        return Save::Stay;
    Database& db = database();
    PlaylistMaster& p = table_->rec;
    if (clip(p.PlaylistDescription).trimmed().isEmpty()) {
        state_.messages.show(QStringLiteral("Playlist Description"), blankDescriptionText(), Icon::Exclamation);
        return Save::Stay;
    }
    // A change that changes nothing keeps its last edit date.
    if (!numbered_ && normalised(p) == opening_) {
        response_ = Response::Completed;
        return Save::Closed;
    }
    const PlaylistMaster user = p;
    p.LastEditDate = day;
    if (numbered_) {
        const Row stored = table_->original();
        if (table_->put() == 0) {
            response_ = Response::Completed;
            return Save::Closed;
        }
        const StorageError e = table_->lastError();
        table_->setOriginal(stored);
        p = user;
        db.saveError(e);
        if (e.code == DuplicateKey)
            StandardWarning(db, StdMsg::DuplicateKeyError,
                            e.key == QLatin1String("PLD:KeyPlaylistID") ? e.key : QStringLiteral("Playlists"));
        else
            StandardWarning(db, StdMsg::RecordInsertError);
        return Save::Stay;
    }
    // Another playlist with the description is named before the update is tried.
    {
        Table<PlaylistMaster> probe(db);
        probe.rec.PlaylistDescription = p.PlaylistDescription;
        if (probe.get(probe.key(QStringLiteral("PLD:KeyPlaylistDescription"))) == 0
            && probe.position() != table_->position()) {
            p = user;
            StandardWarning(db, StdMsg::DuplicateKeyError, QStringLiteral("Playlists"));
            return Save::Stay;
        }
    }
    switch (UpdateRecord(*table_, false)) {
    case RecordResult::Done:
        response_ = Response::Completed;
        return Save::Closed;
    case RecordResult::ChangedElsewhere:
        opening_ = normalised(table_->rec);
        return Save::Stay;
    case RecordResult::Failed:
        break;
    }
    p = user;
    return Save::Stay;
}

void PlaylistForm::close()
{
    if (closed_)
        return;
    closed_ = true;
    if (table_ && numbered_ && response_ != Response::Completed) {
        Database& db = database();
        // Fetch afresh: the record buffer may hold what the user typed.
        if (table_->fetch(table_->position()) == 0)
            DeleteRecord(*table_);
        else if (table_->lastError().code != RecordNotAvailable) {
            db.saveError(table_->lastError());
            StandardWarning(db, StdMsg::DeleteOperationError, kLabel);
        }
    }
    if (table_)
        initial_ = table_->rec;
    table_.reset();
}

} // namespace td

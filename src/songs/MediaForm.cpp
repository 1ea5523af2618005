#include "songs/MediaForm.h"

#include "core/Messages.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

namespace td {

namespace {

const QString kLabel = QStringLiteral("Media");
const QString kKey = QStringLiteral("MED:KeyMedia");

} // namespace

MediaForm::MediaForm(Database& db, Request request, const Media& buffer)
    : db_(db)
    , initial_(buffer)
    , request_(request)
{
}

MediaForm::~MediaForm()
{
    close();
}

Media& MediaForm::record()
{
    return table_ ? table_->rec : initial_;
}

const Media& MediaForm::record() const
{
    return table_ ? table_->rec : initial_;
}

qint64 MediaForm::position() const
{
    return table_ ? table_->position() : position_;
}

bool MediaForm::open()
{
    table_ = std::make_unique<Table<Media>>(db_);
    Table<Media>& t = *table_;
    t.rec = initial_;
    switch (request_) {
    case Request::Insert:
        return true;
    case Request::Change:
    case Request::Delete:
        if (t.get(t.key(kKey)) != 0) {
            db_.saveError(t.lastError());
            StandardWarning(db_, StdMsg::RecordRetrievalError, kLabel);
            return false;
        }
        break;
    default:
        return false;
    }
    if (request_ == Request::Delete) {
        if (StandardWarning(db_, StdMsg::ConfirmDelete) != Ok)
            return false;
        for (;;) {
            if (DeleteRecord(t) == RecordResult::Done) {
                response_ = Response::Completed;
                return false;
            }
            if (StandardWarning(db_, StdMsg::RecordDeleteRetry) != Yes)
                return false;
        }
    }
    return true;
}

FormSave MediaForm::save()
{
    if (!table_)
        return FormSave::Stay;
    // A blank name would be a media nobody can pick (it is not in MED:KeyMedia).
    if (clip(table_->rec.Media).trimmed().isEmpty()) {
        db_.messages().show(QStringLiteral("Update Media Format"),
            QStringLiteral("Please type a name for the media format."), Icon::Exclamation);
        return FormSave::Stay;
    }
    return request_ == Request::Insert ? saveAdd() : saveChange();
}

FormSave MediaForm::saveAdd()
{
    Table<Media>& t = *table_;
    if (t.add() == 0) {
        response_ = Response::Completed;
        return FormSave::Closed;
    }
    const StorageError e = t.lastError();
    db_.saveError(e);
    if (e.code == DuplicateKey)
        StandardWarning(db_, StdMsg::DuplicateKeyError, kKey);
    else
        StandardWarning(db_, StdMsg::RecordInsertError);
    return FormSave::Stay;
}

FormSave MediaForm::saveChange()
{
    Table<Media>& t = *table_;
    const QString old = t.original().value(0).toString();
    if (clip(t.rec.Media) == clip(old)) {
        response_ = Response::Completed;
        return FormSave::Closed;
    }
    // A new name that another media already has (whatever its letter case) is refused as the add
    // refuses it; a change of letter case alone is a rename of this one.
    {
        Table<Media> other(db_);
        other.rec.Media = t.rec.Media;
        if (other.get(other.key(kKey)) == 0 && other.position() != t.position()) {
            StandardWarning(db_, StdMsg::DuplicateKeyError, kKey);
            return FormSave::Stay;
        }
    }
    for (;;) {
        const RecordResult result = UpdateRecord(t, true);
        if (result == RecordResult::Done) {
            response_ = Response::Completed;
            return FormSave::Closed;
        }
        if (result == RecordResult::ChangedElsewhere)
            return FormSave::ShowStored;
        const int answer = StandardWarning(db_, StdMsg::RecordUpdateRetry);
        if (answer == Yes)
            continue;
        if (answer == No)
            return FormSave::Closed;
        return FormSave::Stay;
    }
}

void MediaForm::close()
{
    if (closed_)
        return;
    closed_ = true;
    if (table_) {
        initial_ = table_->rec;
        position_ = response_ == Response::Completed ? table_->position() : 0;
    }
    table_.reset();
}

} // namespace td

#include "songs/CategoryForm.h"

#include "core/Messages.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

namespace td {

namespace {

const QString kLabel = QStringLiteral("Categories");

} // namespace

CategoryForm::CategoryForm(Database& db, Request request, const Categories& buffer)
    : db_(db)
    , initial_(buffer)
    , request_(request)
{
}

CategoryForm::~CategoryForm()
{
    close();
}

Categories& CategoryForm::record()
{
    return table_ ? table_->rec : initial_;
}

const Categories& CategoryForm::record() const
{
    return table_ ? table_->rec : initial_;
}

qint64 CategoryForm::position() const
{
    return table_ ? table_->position() : position_;
}

bool CategoryForm::open()
{
    table_ = std::make_unique<Table<Categories>>(db_);
    Table<Categories>& t = *table_;
    t.rec = initial_;
    switch (request_) {
    case Request::Insert:
        // Numbered and stored at once with a blank name (a blank name is not in CAT:KeyCategory,
        // so two forms adding at the same time never collide on it).
        t.rec.Category.clear();
        if (addNumbered(t) != RecordResult::Done)
            return false;
        numbered_ = true;
        return true;
    case Request::Change:
    case Request::Delete:
        if (t.get(t.key(QStringLiteral("CAT:KeyCategoryID"))) != 0) {
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

bool CategoryForm::nameGiven()
{
    if (!clip(record().Category).trimmed().isEmpty())
        return true;
    db_.messages().show(QStringLiteral("Update Categories"),
        QStringLiteral("Please type a name for the category."), Icon::Exclamation);
    return false;
}

FormSave CategoryForm::save()
{
    if (!table_ || !nameGiven())
        return FormSave::Stay;
    return request_ == Request::Insert ? saveAdd() : saveChange();
}

FormSave CategoryForm::saveAdd()
{
    Table<Categories>& t = *table_;
    if (t.put() == 0) {
        response_ = Response::Completed;
        return FormSave::Closed;
    }
    const StorageError e = t.lastError();
    db_.saveError(e);
    if (e.code == DuplicateKey && !e.key.isEmpty())
        StandardWarning(db_, StdMsg::DuplicateKeyError, e.key);
    else
        StandardWarning(db_, StdMsg::RecordInsertError);
    return FormSave::Stay;
}

FormSave CategoryForm::saveChange()
{
    Table<Categories>& t = *table_;
    Row now = toRow(t.rec);
    Row before = t.original();
    TableHandle::normalise(t.def(), now);
    TableHandle::normalise(t.def(), before);
    if (now == before) {
        response_ = Response::Completed;
        return FormSave::Closed;
    }
    // Another category of the same name (whatever its letter case) is named as the add names it,
    // rather than as a failed update.
    {
        Table<Categories> other(db_);
        other.rec.Category = t.rec.Category;
        if (other.get(other.key(QStringLiteral("CAT:KeyCategory"))) == 0
            && other.position() != t.position()) {
            StandardWarning(db_, StdMsg::DuplicateKeyError, QStringLiteral("CAT:KeyCategory"));
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

void CategoryForm::close()
{
    if (closed_)
        return;
    closed_ = true;
    if (table_ && numbered_ && response_ != Response::Completed) {
        const int err = table_->del();
        if (err && err != RecordNotAvailable) {
            db_.saveError(table_->lastError());
            StandardWarning(db_, StdMsg::DeleteOperationError, kLabel);
        }
    }
    if (table_) {
        initial_ = table_->rec;
        position_ = response_ == Response::Completed ? table_->position() : 0;
    }
    table_.reset();
}

} // namespace td

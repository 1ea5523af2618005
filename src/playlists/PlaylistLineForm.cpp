#include "playlists/PlaylistLineForm.h"

#include "common/AppState.h"
#include "data/Database.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

namespace td {

QString noSongChosenText()
{
    return QStringLiteral("Please choose the song of this line with Select Song.");
}

QString unnumberedSongText()
{
    return QStringLiteral("This song has no song number yet, so it cannot stand on a playlist.|"
                          "Run \"Test Album Database Link Integrity\" (Housekeeping) to number it.");
}

PlaylistLineForm::PlaylistLineForm(AppState& state, Request request, qint32 playlistId, qint64 position)
    : state_(state)
    , request_(request)
    , playlistId_(playlistId)
    , position_(position)
{
}

PlaylistLineForm::~PlaylistLineForm()
{
    close();
}

PlaylistDetails& PlaylistLineForm::line()
{
    return table_ ? table_->rec : kept_;
}

bool PlaylistLineForm::open()
{
    Database& db = state_.db;
    table_ = std::make_unique<Table<PlaylistDetails>>(db);
    if (db.ended())
        return false;
    if (request_ == Request::Insert) {
        // Stored at once at the end; moved under the selected line after OK.
        qint64 position = 0;
        if (!appendLines(db, playlistId_, {0}, &position))
            return false;
        primed_ = true;
        position_ = position;
    } else if (request_ != Request::Change) {
        return false;
    }
    if (table_->fetch(position_) != 0) {
        db.saveError(table_->lastError());
        StandardWarning(db, StdMsg::RecordRetrievalError, QStringLiteral("PlaylistDetails"));
        return false;
    }
    if (table_->rec.ID != 0)
        song_ = songOfLine(db, table_->rec.ID);
    return true;
}

void PlaylistLineForm::chooseSong(qint64 songId)
{
    if (!table_)
        return;
    table_->rec.ID = songId;
    song_ = songOfLine(state_.db, songId);
}

bool PlaylistLineForm::save()
{
    Database& db = state_.db;
    if (!table_)
        return false;
    if (table_->rec.ID == 0) {
        state_.messages.show(QStringLiteral("Select Song"), noSongChosenText(), Icon::Exclamation);
        return false;
    }
    if (table_->put() != 0) {
        db.saveError(table_->lastError());
        StandardWarning(db, StdMsg::UpdateOperationError, QStringLiteral("PlaylistDetails"));
        return false;
    }
    response_ = Response::Completed;
    return true;
}

void PlaylistLineForm::close()
{
    if (closed_)
        return;
    closed_ = true;
    if (primed_ && response_ != Response::Completed && table_ && table_->fetch(position_) == 0)
        deleteLine(state_.db, playlistId_, table_->rec.PlaylistSeq);
    if (table_)
        kept_ = table_->rec;
    table_.reset();
}

} // namespace td

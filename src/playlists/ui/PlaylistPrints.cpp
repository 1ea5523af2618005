#include "playlists/ui/PlaylistPrints.h"

#include "common/AppState.h"
#include "core/Messages.h"
#include "data/Records.h"
#include "data/TableHandle.h"
#include "playlists/PlaylistReports.h"
#include "reports/ReportRun.h"
#include "reports/ui/ReportRunWindow.h"
#include "setup/QueryWizardFields.h"
#include "setup/ui/QueryWizardDialog.h"
#include "songs/SongFilter.h"

#include <QPointer>

namespace td {

namespace {

void answer(const PlaylistPrintDone& done, Response r)
{
    if (done)
        done(r);
}

// The preview question, then the run; these reports use no selection prefix.
void runAfterQuestion(AppState& state, QWidget* near, ReportDefinition definition, PlaylistPrintDone done,
                      const std::function<bool()>& hasRecords = {})
{
    const std::optional<bool> preview = askPreview(state.messages);
    if (!preview)
        return answer(done, Response::Cancelled);
    if (hasRecords && !hasRecords()) {
        state.messages.show(QStringLiteral("NOTE..."),
                            *preview ? QStringLiteral("Nothing to Preview.") : QStringLiteral("Nothing to Print."),
                            Icon::Information);
        return answer(done, Response::Cancelled);
    }
    ReportCriteria criteria = state.criteria;
    criteria.ReportWithPreview = *preview;
    criteria.SelectedOrAll = QStringLiteral("All");
    startReportRun(state, near, std::move(definition), criteria, std::move(done));
}

void printPlaylist(AppState& state, QWidget* near, qint32 playlistId, bool top40, PlaylistPrintDone done)
{
    PlaylistReportContext ctx;
    ctx.playlistId = playlistId;
    {
        Table<PlaylistMaster> lists(state.db);
        lists.rec.PlaylistID = playlistId;
        if (lists.get(lists.key(QStringLiteral("PLD:KeyPlaylistID"))) == 0)
            ctx.description = lists.rec.PlaylistDescription;
    }
    ctx.udkPrompt = state.settings.UDKPrompt;
    ctx.datePicture = state.settings.datePicture();
    ctx.logo = state.settings.Logo;
    Database& db = state.db;
    const qint32 id = playlistId;
    runAfterQuestion(state, near, playlistReport(db, ctx, top40), std::move(done),
                     [&db, id] { return playlistLineCount(db, id) > 0; });
}

} // namespace

void PrintPlaylist(AppState& state, QWidget* near, qint32 playlistId, PlaylistPrintDone done)
{
    printPlaylist(state, near, playlistId, false, std::move(done));
}

void PrintPlaylistTop40(AppState& state, QWidget* near, qint32 playlistId, PlaylistPrintDone done)
{
    printPlaylist(state, near, playlistId, true, std::move(done));
}

void PrintDJList(AppState& state, QWidget* near, PlaylistPrintDone done)
{
    const QString group = QStringLiteral("SONGS");
    QueryFieldList fields;
    if (prepareQueryFields(state.messages, fields, songQueryFieldText(SongQueryList::DjList), group) != 0)
        return answer(done, Response::Cancelled);
    QPointer<QWidget> guard(near);
    QueryWizard(state, fields, group, QString(), near, [&state, guard, done](const QueryWizardResult& r) {
        if (!r.completed)
            return answer(done, Response::Cancelled);
        const SongSearch search = compileSongSearch(r.filter, songFilterSchema());
        if (!search.valid) {
            state.messages.show(QStringLiteral("Error"), search.error, Icon::Exclamation);
            return answer(done, Response::Cancelled);
        }
        runAfterQuestion(state, guard.data(), djListReport(state.settings.UDKPrompt, search.sql, search.params), done);
    });
}

} // namespace td

#include "albums/ui/Housekeeping.h"

#include "albums/CopyToAlbum.h"
#include "albums/DateToYear.h"
#include "albums/TestAlbumIDs.h"
#include "common/AppState.h"
#include "common/ui/ProgressWindow.h"
#include "core/Messages.h"

#include <QPointer>
#include <memory>

namespace td {

namespace {

// Starts a run in its progress window; `ended` runs when it has ended, or at once when there is
// nothing to do. A caller that closed meanwhile hears nothing.
void startRun(std::shared_ptr<BatchRun> run, QWidget* caller, std::function<void()> ended)
{
    if (!ProgressWindow::start(std::move(run), caller, ended) && ended)
        ended();
}

} // namespace

void runCopyToAlbum(AppState& state, QWidget* caller, std::function<void()> done)
{
    startRun(std::make_shared<CopyToAlbum>(state.db), caller, std::move(done));
}

void runTestAlbumIDs(AppState& state, QWidget* caller, std::function<void()> done)
{
    auto run = std::make_shared<TestAlbumIDs>(state.db);
    Messages* messages = &state.messages;
    // The counts are told once the run has ended (completed, cancelled or stopped).
    startRun(run, caller, [run, messages, done = std::move(done)] {
        messages->show(run->summary());
        if (done)
            done();
    });
}

void runConvertDatesToYears(AppState& state, QWidget* caller, std::function<void()> done)
{
    auto songs = std::make_shared<ConvertDateToYear>(state.db);
    AppState* app = &state;
    QPointer<QWidget> owner(caller);
    const bool hadCaller = caller != nullptr;
    // The album dates follow the song dates, unless the user cancelled or an error stopped the songs.
    startRun(songs, caller, [songs, app, owner, hadCaller, done = std::move(done)] {
        if (songs->isCancelled() || songs->stopped() || (hadCaller && !owner)) {
            if (done)
                done();
            return;
        }
        startRun(std::make_shared<ConvertAlbumDateToYear>(app->db), owner, done);
    });
}

} // namespace td

#include "playlists/ui/ThisWeekToLastWeek.h"

#include "common/AppState.h"
#include "common/ui/ProgressWindow.h"
#include "core/Messages.h"
#include "playlists/WeeklyChart.h"

namespace td {

void ThisWeekToLastWeek(AppState& state, QWidget* caller, qint32 playlistId, std::function<void(Response)> done)
{
    auto answer = [done](Response r) {
        if (done)
            done(r);
    };
    if (state.messages.show(QStringLiteral("Warning"), chartQuestion(), Icon::Exclamation, Ok | Cancel, Ok) != Ok) {
        answer(Response::Cancelled);
        return;
    }
    auto run = std::make_shared<ChartRun>(state.db, playlistId);
    ProgressWindow* window = ProgressWindow::start(run, caller, [run, answer] {
        answer(run->isCancelled() || run->failed() ? Response::Cancelled : Response::Completed);
    });
    if (!window)
        answer(Response::Cancelled);
}

} // namespace td

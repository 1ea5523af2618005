#include "reports/ui/CdPageRuns.h"

#include "common/AppState.h"
#include "core/Messages.h"
#include "reports/ui/ReportRunWindow.h"

#include "reports/BinderPages.h"
#include "reports/PaperSaver.h"
#include "setup/QueryWizardFields.h"
#include "setup/ui/QueryWizardDialog.h"

#include <QPointer>

namespace td {

void PrintCDPages(AppState& state, QWidget* near, std::function<void(Response)> done)
{
    startReportRun(state, near, binderPagesReport(state.db, state.criteria), state.criteria, std::move(done));
}

void PrintCDFlapPagesFor(AppState& state, QWidget* near, const Album& album, std::function<void(Response)> done)
{
    chooseSingleFlap(state.criteria, album.FileNumber);
    PrintCDPages(state, near, std::move(done));
}

void PrintPaperSaver(AppState& state, QWidget* near, bool byTitle, std::function<void(Response)> done)
{
    const std::optional<bool> preview = askPreview(state.messages);
    if (!preview) {
        if (done)
            done(Response::Cancelled);
        return;
    }
    // The field list's error has been told; the wizard starts all the same.
    auto fields = std::make_shared<QueryFieldList>();
    paperSaverQueryFields(state.messages, *fields);
    QPointer<QWidget> guard(near);
    QueryWizard(state, *fields, QStringLiteral("SONGS"), QString(), nullptr,
        [&state, guard, byTitle, preview, fields, done](const QueryWizardResult& r) {
            if (!r.completed) {
                if (done)
                    done(Response::Cancelled);
                return;
            }
            ReportContext ctx;
            ctx.udkPrompt = state.settings.UDKPrompt;
            ReportCriteria criteria = state.criteria;
            criteria.ReportWithPreview = *preview;
            QString error;
            ReportDefinition report = paperSaverReport(
                byTitle ? PaperSaverOrder::ByTitle : PaperSaverOrder::ByArtist, r.filter, ctx, &error);
            if (!report.isValid()) {
                state.messages.show(QStringLiteral("Report Error"), error, Icon::Exclamation);
                if (done)
                    done(Response::Cancelled);
                return;
            }
            startReportRun(state, guard.data(), std::move(report), criteria, done);
        });
}

} // namespace td

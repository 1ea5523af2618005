#include "reports/ui/ReportStarts.h"

#include "common/AppState.h"
#include "reports/ReportChoice.h"
#include "reports/ReportListings.h"
#include "reports/ui/ReportCriteria.h"
#include "reports/ui/ReportRunWindow.h"
#include "songs/ui/BrowseCategories.h"

#include <QPointer>

namespace td {

namespace {

void finish(const ReportDone& done, Response r)
{
    if (done)
        done(r);
}

ReportContext contextOf(const AppState& state)
{
    ReportContext ctx;
    ctx.udkPrompt = state.settings.UDKPrompt;
    return ctx;
}

// The criteria window, then the listing (or its Brief twin) with the criteria as chosen.
void runWithCriteria(AppState& state, QWidget* near, const QString& printName, const ReportContext& ctx, ReportDone done)
{
    const ReportDefinition standard = reportListing(printName, ctx);
    if (!standard.isValid())
        return finish(done, Response::Cancelled);
    QPointer<QWidget> guard(near);
    openReportCriteria(state, near, standard.noun, [&state, guard, printName, ctx, standard, done](bool completed) {
        if (!completed)
            return finish(done, Response::Cancelled);
        ReportDefinition chosen = standard;
        if (state.criteria.ReportStyle.trimmed() == QLatin1String("Brief")) {
            const QString twin = briefTwin(printName);
            if (!twin.isEmpty())
                chosen = reportListing(twin, ctx);
        }
        startReportRun(state, guard.data(), std::move(chosen), state.criteria, done);
    });
}

} // namespace

void PrintListing(AppState& state, QWidget* near, const QString& printName, ReportDone done)
{
    ReportContext ctx = contextOf(state);
    if (printName != QLatin1String("PrintByCategory"))
        return runWithCriteria(state, near, printName, ctx, std::move(done));
    // The category comes first: the picker is a window of the report's own, blocking nobody.
    QPointer<QWidget> guard(near);
    BrowseCategories(state, nullptr, QString(), [&state, guard, ctx, done](const Categories* chosen) mutable {
        if (!chosen)
            return finish(done, Response::Cancelled);
        ctx.categoryId = chosen->CategoryID;
        ctx.categoryName = chosen->Category;
        runWithCriteria(state, guard.data(), QStringLiteral("PrintByCategory"), ctx, done);
    });
}

void PrintSongsInOrder(AppState& state, QWidget* near, const QString& keyOrField, ReportDone done)
{
    PrintListing(state, near, songReportFor(keyOrField), std::move(done));
}

void PrintOneAlbum(AppState& state, QWidget* near, const Album& album, ReportDone done)
{
    const std::optional<bool> preview = askPreview(state.messages);
    if (!preview)
        return finish(done, Response::Cancelled);
    ReportContext ctx = contextOf(state);
    ctx.albumId = album.AlbumID;
    // The answer holds for this run only; the shared criteria keep their preview choice.
    ReportCriteria criteria = state.criteria;
    criteria.ReportWithPreview = *preview;
    startReportRun(state, near, reportListing(QStringLiteral("PrintOneAlbum"), ctx), criteria, std::move(done));
}

} // namespace td

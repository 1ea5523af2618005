#include "app/FrameWiring.h"

#include "app/MainFrame.h"
#include "common/AppState.h"
#include "setup/ui/QueryWizardDialog.h"
#include "songs/ui/BrowseCategories.h"
#include "songs/ui/BrowseMedia.h"
#include "songs/ui/BrowseSongs.h"

namespace td {

namespace {

// Each start of a list opens a new, independent window.
void openList(MainFrame& frame, QWidget* (*create)(AppState&), AppState& state)
{
    if (QWidget* w = create(state))
        frame.addChildWindow(w);
}

} // namespace

void wireFrame(MainFrame& frame, AppState& state)
{
    // Until the explorer views are part of the program, "Explorer" opens the standard lists too.
    frame.setActionHandler(FrameAction::BrowseSongs, [&] { openList(frame, createBrowseSongs, state); });
    frame.setActionHandler(FrameAction::BrowseCategories, [&] { openList(frame, createBrowseCategories, state); });
    frame.setActionHandler(FrameAction::BrowseMedia, [&] { openList(frame, createBrowseMedia, state); });

    SongBrowseHooks& songs = songBrowseHooks();
    songs.search = [](AppState& s, const QueryFieldList& fields, const QString& current, QWidget* parent,
                      QString* filter) {
        const QueryWizardResult r = QueryWizard(s, fields, QStringLiteral("SONGS"), current, parent);
        if (r.completed)
            *filter = r.filter;
        return r.completed;
    };
    songs.selectMedia = [](AppState& s, QWidget* parent, QString* media) {
        return BrowseMedia(s, Request::Select, parent, media);
    };
    songs.selectCategory = [](AppState& s, QWidget* parent, Categories* category) {
        return BrowseCategories(s, Request::Select, parent, category);
    };
}

} // namespace td

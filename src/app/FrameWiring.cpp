#include "app/FrameWiring.h"

#include "albums/ui/AddWizard.h"
#include "albums/ui/BrowseAlbums.h"
#include "app/MainFrame.h"
#include "common/AppState.h"
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
    frame.setActionHandler(FrameAction::BrowseAlbums, [&] { openList(frame, createBrowseAlbums, state); });
    frame.setActionHandler(FrameAction::BrowseSongs, [&] { openList(frame, createBrowseSongs, state); });
    frame.setActionHandler(FrameAction::BrowseCategories, [&] { openList(frame, createBrowseCategories, state); });
    frame.setActionHandler(FrameAction::BrowseMedia, [&] { openList(frame, createBrowseMedia, state); });
    frame.setActionHandler(FrameAction::WizardSingleArtist, [&] { AddSingleArtist(state, nullptr, {}); });
    frame.setActionHandler(FrameAction::WizardCompilation, [&] { AddCompilation(state, nullptr, {}); });

    // The windows of features still to come go into state.entries here as they are built.
}

} // namespace td

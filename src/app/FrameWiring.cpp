#include "app/FrameWiring.h"

#include "albums/ui/AddWizard.h"
#include "albums/ui/BrowseAlbums.h"
#include "app/MainFrame.h"
#include "cd/ui/IntegratedCDPlayer.h"
#include "common/AppState.h"
#include "exchange/ui/ExportWindow.h"
#include "exchange/ui/ImportWindow.h"
#include "explorer/ui/XploreAlbums.h"
#include "explorer/ui/XploreSongs.h"
#include "playlists/ui/BrowsePlayLists.h"
#include "playlists/ui/PlaylistPrints.h"
#include "playlists/ui/ThisWeekToLastWeek.h"
#include "reports/ui/CDBinderPages.h"
#include "reports/ui/CdPageRuns.h"
#include "reports/ui/ReportStarts.h"
#include "setup/ui/SetupWindow.h"
#include "songs/ui/BrowseCategories.h"
#include "songs/ui/BrowseMedia.h"
#include "songs/ui/BrowseSongs.h"

#include <QMenuBar>
#include <functional>

namespace td {

namespace {

// Each start of a list opens a new, independent window.
void openList(MainFrame& frame, QWidget* (*create)(AppState&), AppState& state)
{
    if (QWidget* w = create(state))
        frame.addChildWindow(w);
}

// The printed listings: each start runs beside the lists, blocking none of them.
void wireReports(MainFrame& frame, AppState& state)
{
    using A = FrameAction;
    const std::pair<A, const char*> listings[] = {
        { A::ReportSongsByArtist, "PrintMUS:SongsByArtist" },
        { A::ReportSongsByTitle, "PrintMUS:SongsByTitle" },
        { A::ReportSongsByAlbum, "PrintMUS:SongsByAlbum" },
        { A::ReportSongsByMedia, "PrintMUS:SongsByMedia" },
        { A::ReportSongsByCategory, "PrintByCategory" },
        { A::ReportSongsByBpm, "PrintMUS:SongsByBPM" },
        { A::ReportAlbumsByArtist, "PrintAlbumsByArtist" },
        { A::ReportAlbumsByAlbum, "PrintAlbumsByAlbum" },
        { A::ReportAlbumsByFileNumber, "PrintAlbumsByFileNumber" },
    };
    for (const auto& [action, name] : listings)
        frame.setActionHandler(action, [&frame, &state, name = QString::fromLatin1(name)] {
            PrintListing(state, &frame, name);
        });
    state.entries.printSongs = [](AppState& s, QWidget* caller, const QString& order, WindowEntries::Done done) {
        PrintSongsInOrder(s, caller, order, std::move(done));
    };
    state.entries.printAlbum = [](AppState& s, QWidget* caller, const Album& album) { PrintOneAlbum(s, caller, album); };
    frame.setActionHandler(A::ReportDjLog, [&frame, &state] { PrintDJList(state, &frame); });
    frame.setActionHandler(A::ReportCdBinderPages, [&frame, &state] { CDBinderPages(state, &frame); });
    state.entries.quickCdInsert = [](AppState& s, QWidget* caller, const Album& album) {
        PrintCDFlapPagesFor(s, caller, album);
    };
    frame.setActionHandler(A::ReportPaperSaverArtist, [&frame, &state] { PrintPaperSaver(state, &frame, false); });
    frame.setActionHandler(A::ReportPaperSaverTitle, [&frame, &state] { PrintPaperSaver(state, &frame, true); });
}

} // namespace

void wireFrame(MainFrame& frame, AppState& state)
{
    // The interface "Explorer" opens the explorer views of the songs and albums instead of the lists.
    frame.setActionHandler(FrameAction::BrowseAlbums, [&] {
        openList(frame, state.settings.explorerInterface() ? createXploreAlbums : createBrowseAlbums, state);
    });
    frame.setActionHandler(FrameAction::BrowseSongs, [&] {
        openList(frame, state.settings.explorerInterface() ? createXploreSongs : createBrowseSongs, state);
    });
    frame.setActionHandler(FrameAction::BrowseCategories, [&] { openList(frame, createBrowseCategories, state); });
    frame.setActionHandler(FrameAction::BrowseMedia, [&] { openList(frame, createBrowseMedia, state); });
    // The tool bar's "Playlists" and "SU_Playlists" at start-up come here too.
    frame.setActionHandler(FrameAction::BrowsePlaylists, [&] { openList(frame, createBrowsePlayLists, state); });
    frame.setActionHandler(FrameAction::ReportPlaylists, [&] { openList(frame, createBrowsePlayLists, state); });
    state.entries.printPlaylist = [](AppState& s, QWidget* caller, qint32 id, WindowEntries::Done done) {
        PrintPlaylist(s, caller, id, std::move(done));
    };
    state.entries.printPlaylistTop40 = [](AppState& s, QWidget* caller, qint32 id, WindowEntries::Done done) {
        PrintPlaylistTop40(s, caller, id, std::move(done));
    };
    state.entries.chartPlaylist = [](AppState& s, QWidget* caller, qint32 id, WindowEntries::Done done) {
        ThisWeekToLastWeek(s, caller, id, std::move(done));
    };
    // Several players may be open at once, each talking to the drive through a client of its own.
    frame.setActionHandler(FrameAction::CdPlayer, [&] { openList(frame, createIntegratedCDPlayer, state); });
    frame.setActionHandler(FrameAction::WizardSingleArtist, [&] { AddSingleArtist(state, nullptr, {}); });
    frame.setActionHandler(FrameAction::WizardCompilation, [&] { AddCompilation(state, nullptr, {}); });
    // Preferences hold the frame's menu (one Preferences window at a time, no Exit under it) while
    // the open lists and the tool bar stay usable. While the setup wizard has never been completed
    // they are the wizard, which also runs after the splash and holds the whole frame, the start-up
    // lists following once it has finished.
    frame.setActionHandler(FrameAction::Preferences, [&] { Setup(state, frame.menuBar()); });
    frame.setStartupSetup([&](std::function<void()> then) { Setup(state, &frame, std::move(then)); });

    wireReports(frame, state);

    // The windows of features still to come go into state.entries here as they are built.
    // Import and export, from the File menu (for no window) and from the song lists (for the list,
    // which reads again when they answer); their "Help" opens the help window.
    auto help = [&frame] { frame.requestAction(FrameAction::HelpContents); };
    state.entries.importSongs = [help](AppState& s, QWidget* caller, WindowEntries::Done done) {
        Import(s, caller, std::move(done), help);
    };
    state.entries.exportSongs = [help](AppState& s, QWidget* caller, WindowEntries::Done done) {
        Export(s, caller, std::move(done), help);
    };
    frame.setActionHandler(FrameAction::Import, [&state, help] { Import(state, nullptr, {}, help); });
    frame.setActionHandler(FrameAction::Export, [&state, help] { Export(state, nullptr, {}, help); });
}

} // namespace td

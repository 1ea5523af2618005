#pragma once
// Every menu item and tool bar button of the main frame, by identifier, so that other windows can
// ask the frame to start the same action (the start-up lists, the CD player's wizards).

#include <QHash>
#include <QString>

class QAction;
class QMenuBar;
class QObject;

namespace td {

enum class FrameAction {
    PrintSetup, Preferences, Import, Export, CdPlayer, Exit,
    Cut, Copy, Paste,
    BrowseAlbums, BrowseSongs, WizardCompilation, WizardSingleArtist, WizardLabel,
    BrowseLabels, BrowsePlaylists, BrowseCategories, BrowseMedia,
    ReportSongsByArtist, ReportSongsByTitle, ReportSongsByAlbum, ReportSongsByMedia,
    ReportSongsByCategory, ReportSongsByBpm,
    ReportAlbumsByArtist, ReportAlbumsByAlbum, ReportAlbumsByFileNumber, ReportCdBinderPages,
    ReportPaperSaverArtist, ReportPaperSaverTitle,
    ReportLabels, ReportPlaylists, ReportDjLog,
    WindowTile, WindowCascade, WindowArrangeIcons,
    HelpContents, HelpSearch, HelpHowTo, HelpAbout,
};

using FrameActionMap = QHash<FrameAction, QAction*>;

// Builds the menu bar in its order with every hint text; returns the actions by identifier.
FrameActionMap buildFrameMenu(QMenuBar* bar, QObject* owner);

} // namespace td

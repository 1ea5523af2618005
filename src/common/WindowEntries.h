#pragma once
// The windows of features that come later, as the windows built before them open them: one entry
// per window, filled by the frame (FrameWiring) and by each test for itself. An entry left empty
// means that window is not part of the program yet: the button that would open it stays disabled.
//
// Every entry opens its window for a caller (see common/ui/FormHost.h: the caller is disabled
// while it is open) and answers through its callback when it closes; a window that answers
// nothing takes no callback. Features that exist call each other's public entry functions
// directly; this table is only for the ones that do not exist yet.

#include "common/Request.h"

#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;

namespace td {

class AppState;
struct Album;

struct WindowEntries {
    using Done = std::function<void(Response)>;

    // The song list's import, export and printed listings; the list reads again when they answer.
    // The listing printed is the one of the order the list shows: its key ("MUS:SongsByTitle") or
    // the field it is ordered by ("MUS:Title").
    std::function<void(AppState&, QWidget* caller, Done)> importSongs;
    std::function<void(AppState&, QWidget* caller, Done)> exportSongs;
    std::function<void(AppState&, QWidget* caller, const QString& order, Done)> printSongs;
    // From the album list: the one-album report, the label wizard (started from the highlighted
    // album; nullptr when the list is empty) and the CD flap print of the album's file number.
    std::function<void(AppState&, QWidget* caller, const Album&)> printAlbum;
    std::function<void(AppState&, QWidget* caller, const Album*)> createLabel;
    std::function<void(AppState&, QWidget* caller, const Album&)> quickCdInsert;
    // From the playlists: the two printed forms of a playlist, and the weekly chart run on one
    // (the playlist form reads its lines again when it answers).
    std::function<void(AppState&, QWidget* caller, qint32 playlistId, Done)> printPlaylist;
    std::function<void(AppState&, QWidget* caller, qint32 playlistId, Done)> printPlaylistTop40;
    std::function<void(AppState&, QWidget* caller, qint32 playlistId, Done)> chartPlaylist;
};

} // namespace td

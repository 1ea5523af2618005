#pragma once
// The printed listings as the frame, the song and album lists and the explorer start them. Each
// start is independent: it blocks no window, and several may run at once.

#include "common/Request.h"
#include "data/Records.h"

#include <QString>
#include <functional>

class QWidget;

namespace td {

class AppState;

using ReportDone = std::function<void(Response)>;

// A listing by its "Print" name ("PrintMUS:SongsByArtist", "PrintAlbumsByFileNumber"...): the
// criteria window with the listing's noun, then the run, in the "Brief" twin when the criteria say
// so. "PrintByCategory" first asks for the category; closing that choice ends the report quietly.
void PrintListing(AppState& state, QWidget* near, const QString& printName, ReportDone done = {});

// The song list's "&Print": the listing of the order the list shows (a tab's key or the field it
// is ordered by).
void PrintSongsInOrder(AppState& state, QWidget* near, const QString& keyOrField, ReportDone done = {});

// The songs of one album, after asking whether to preview them.
void PrintOneAlbum(AppState& state, QWidget* near, const Album& album, ReportDone done = {});

} // namespace td

#pragma once
// The reports that do not show the criteria window: binder and flap pages of a file-number range,
// and the paper-saver listings (the preview question, then the query wizard's search).

#include "common/Request.h"
#include "data/Records.h"

#include <functional>

class QWidget;

namespace td {

class AppState;

// Binder or flap pages (AppState::criteria.PageStyle) of the range StartFileNumber..EndFileNumber.
void PrintCDPages(AppState& state, QWidget* near, std::function<void(Response)> done = {});
// Flap pages of one album: the range and the style become that album's file number and "Flap".
void PrintCDFlapPagesFor(AppState& state, QWidget* near, const Album& album, std::function<void(Response)> done = {});
// "PrintPaperSaver" (by artist) or "PrintPaperSaverTitle".
void PrintPaperSaver(AppState& state, QWidget* near, bool byTitle, std::function<void(Response)> done = {});

} // namespace td

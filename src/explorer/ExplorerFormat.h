#pragma once
// The explorer view's list format in POSITION.INI: the format the user left, kept with the format
// the program designed at the time, so that a changed design drops the old user format once. The
// order marker never reaches the file.

#include "explorer/ExplorerColumns.h"

#include <QString>

namespace td {

struct ExplorerListSettings {
    QString format;             // the columns as the user left them
    int lineHeight = 0;         // 0: the style's own
    QString font;               // empty: the window's font
    int point = 0;
    int color = 0;
    int style = 0;
    bool hscroll = true;
    bool vscroll = true;
    int prevCol = 1;
    // The list's place and size in its window (0: as the window's layout gives it).
    int xpos = 0;
    int ypos = 0;
    int width = 0;
    int height = 0;
};

// Reads the view's saved format into `s` (whose values are the defaults for missing keys). The
// saved columns are taken only when the saved designed format is today's and the saved format
// still reads as columns of the view; otherwise the designed format stays. Returns whether the
// user's format was taken.
bool restoreExplorerFormat(const QString& ini, ExplorerKind kind, const QString& designed, ExplorerListSettings& s);

// Writes every key, the designed format with it; order markers are taken off the headers.
bool saveExplorerFormat(const QString& ini, ExplorerKind kind, const QString& designed, const ExplorerListSettings& s);

// The format with any order marker taken off its headers.
QString formatWithoutMarker(const QString& format);

} // namespace td

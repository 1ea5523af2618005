#pragma once
// The "Songs" tab of the album form: the album's songs in track order with their buttons, keys,
// menu, locator by track number, drops from the song list and drags out.

#include "data/Records.h"

#include <QWidget>
#include <functional>

namespace td {

class AppState;

class AlbumSongsPanel : public QWidget {
    Q_OBJECT
public:
    // `album` gives the album as the form holds it at that moment (its controls stored first); the
    // panel reads it whenever it needs the album's number, title, file number, media and defaults.
    AlbumSongsPanel(AppState& state, std::function<Album()> album, QWidget* parent = nullptr);
    ~AlbumSongsPanel() override;

    // Opens the list on the album's songs; false when the list cannot be read (message shown).
    bool open();
    // Reads the list again (after the CD reader wrote the album's songs), the highlight on the
    // song stored at `position` when given.
    void reload(qint64 position = 0);
    // Writes the list's column layout to the form's section (the form calls it on closing).
    void saveLayout();
};

} // namespace td

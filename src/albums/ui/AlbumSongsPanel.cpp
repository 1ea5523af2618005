#include "albums/ui/AlbumSongsPanel.h"

namespace td {

// Placeholder until the panel is built.
AlbumSongsPanel::AlbumSongsPanel(AppState&, std::function<Album()>, QWidget* parent)
    : QWidget(parent)
{
}

AlbumSongsPanel::~AlbumSongsPanel() = default;

bool AlbumSongsPanel::open()
{
    return true;
}

void AlbumSongsPanel::reload(qint64)
{
}

void AlbumSongsPanel::saveLayout()
{
}

} // namespace td

#include "playlists/PlaylistBrowse.h"

#include "common/PagedList.h"
#include "data/FieldCatalog.h"

namespace td {

QString playlistListCaption(qint64 records)
{
    return QStringLiteral("Playlists - %1 entries").arg(records);
}

QString playlistListFormat()
{
    return QStringLiteral("80L(2)|M~Playlist Description~@S20@");
}

ColumnFormatKeys playlistListFormatKeys()
{
    return {QStringLiteral("BrowsePlayLists"), QString()};
}

void showPlaylists(PagedList& list)
{
    list.setOrder(list.table().key(QStringLiteral("PLD:KeyPlaylistDescription")));
    list.setCondition(QString());
}

int locatePlaylist(PagedList& list, QChar typed)
{
    static const int field = tableDef(TableId::PlaylistMaster).fieldIndex(QStringLiteral("PlaylistDescription"));
    if (const PageRow* h = list.highlighted()) {
        const QString description = h->row.value(field).toString();
        if (description.startsWith(typed, Qt::CaseInsensitive))
            return list.moveHighlight(1);
    }
    return list.locate(Row {QString(typed)});
}

} // namespace td

#include "data/Relations.h"

namespace td {

const QList<Relation>& relations()
{
    // Within a parent, in the order the rules run: the category's album check before its songs
    // are changed, the album's songs by file number before those by album number.
    static const QList<Relation> all {
        { TableId::PlaylistMaster, "PlaylistID", TableId::PlaylistDetails, "PlaylistID", "KeyPlaylistID",
            OnDelete::Cascade, OnChange::Nothing },
        { TableId::Tunedeck, "ID", TableId::PlaylistDetails, "ID", "KeyID", OnDelete::Refuse,
            OnChange::Nothing },
        { TableId::Media, "Media", TableId::Tunedeck, "Media", "SongsByMedia", OnDelete::Refuse,
            OnChange::Carry },
        { TableId::Categories, "CategoryID", TableId::Album, "CategoryID", "KeyCategory", OnDelete::Refuse,
            OnChange::Refuse },
        { TableId::Categories, "CategoryID", TableId::Tunedeck, "CategoryID", "SongsByCategory",
            OnDelete::Refuse, OnChange::Carry },
        { TableId::Album, "FileNumber", TableId::A_Songs, "FileNumber", "KeyFileNumber", OnDelete::Cascade,
            OnChange::Carry },
        { TableId::Album, "AlbumID", TableId::Tunedeck, "AlbumID", "KeyAlbumID", OnDelete::Cascade,
            OnChange::Carry },
    };
    return all;
}

TableId rulesOf(TableId table)
{
    return table == TableId::A_Songs ? TableId::Tunedeck : table;
}

QList<Relation> relationsOf(TableId parent)
{
    QList<Relation> out;
    for (const Relation& r : relations())
        if (r.parent == rulesOf(parent))
            out << r;
    return out;
}

namespace {

void collect(TableId parent, bool forDelete, QList<TableId>& out)
{
    for (const Relation& r : relationsOf(parent)) {
        if (forDelete ? r.onDelete == OnDelete::Nothing : r.onChange == OnChange::Nothing)
            continue;
        if (out.contains(r.child))
            continue;
        out << r.child;
        // A child deleted with its parent is held to its own table's rules.
        if (forDelete && r.onDelete == OnDelete::Cascade)
            collect(r.child, true, out);
    }
}

} // namespace

QList<TableId> relatedTables(TableId parent, bool forDelete)
{
    QList<TableId> out;
    collect(parent, forDelete, out);
    return out;
}

} // namespace td

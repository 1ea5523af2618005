#include "data/FieldCatalog.h"

#include <array>

namespace td {

int FieldDef::bytes() const
{
    switch (type) {
    case FieldType::String: return width;
    case FieldType::Long:
    case FieldType::Date:
    case FieldType::Time: return 4;
    case FieldType::Byte: return 1;
    case FieldType::Decimal: return width;
    case FieldType::Memo: return 0;
    }
    return 0;
}

int FieldDef::digits() const
{
    switch (type) {
    case FieldType::Decimal: return 2 * width - 1;
    case FieldType::Long:
    case FieldType::Date:
    case FieldType::Time: return 10;
    case FieldType::Byte: return 3;
    default: return 0;
    }
}

int TableDef::recordWidth() const
{
    int w = 0;
    for (const auto& f : fields)
        w += f.bytes();
    return w;
}

int TableDef::memoCount() const
{
    int n = 0;
    for (const auto& f : fields)
        n += f.isMemo() ? 1 : 0;
    return n;
}

int TableDef::fieldIndex(const QString& labelOrName) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].label.compare(labelOrName, Qt::CaseInsensitive) == 0
            || fields[i].name.compare(labelOrName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TableDef::keyIndex(const QString& labelOrName) const
{
    for (int i = 0; i < keys.size(); ++i) {
        if (keys[i].label.compare(labelOrName, Qt::CaseInsensitive) == 0
            || keys[i].name.compare(labelOrName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TableDef::primaryKey() const
{
    for (int i = 0; i < keys.size(); ++i)
        if (keys[i].primary)
            return i;
    return -1;
}

namespace {

// Builds one table description from short declarations.
class Builder {
public:
    Builder(TableId id, const char* label, const char* prefix, const char* file, int version)
    {
        t.id = id;
        t.label = QString::fromLatin1(label);
        t.prefix = QString::fromLatin1(prefix);
        t.file = QString::fromLatin1(file);
        t.layoutVersion = version;
    }
    Builder& str(const char* name, int width, const char* picture = nullptr)
    {
        return add(name, FieldType::String, width,
                   picture ? QString::fromLatin1(picture) : QStringLiteral("@s%1").arg(width));
    }
    Builder& lng(const char* name, const char* picture = "@n-14") { return add(name, FieldType::Long, 4, picture); }
    Builder& byte(const char* name, const char* picture = "@n3") { return add(name, FieldType::Byte, 1, picture); }
    Builder& dec(const char* name, int size, const char* picture = "@n-13")
    {
        return add(name, FieldType::Decimal, size, picture);
    }
    Builder& date(const char* name, const char* picture = "@d2") { return add(name, FieldType::Date, 4, picture); }
    Builder& time(const char* name, const char* picture = "@t4") { return add(name, FieldType::Time, 4, picture); }
    Builder& memo(const char* name, int width)
    {
        return add(name, FieldType::Memo, width, QStringLiteral("@s%1").arg(qMin(width, 255)));
    }
    enum Attr { Dup = 0, Unique = 1, Optional = 2, Primary = 4 };
    Builder& key(const char* name, std::initializer_list<const char*> fieldNames, int attrs)
    {
        KeyDef k;
        k.name = QString::fromLatin1(name);
        k.label = t.prefix + QLatin1Char(':') + k.name;
        for (const char* f : fieldNames) {
            const int i = t.fieldIndex(QString::fromLatin1(f));
            Q_ASSERT(i >= 0);
            k.fields << i;
        }
        k.unique = attrs & Unique;
        k.optional = attrs & Optional;
        k.primary = attrs & Primary;
        t.keys << k;
        return *this;
    }
    TableDef t;

private:
    Builder& add(const char* name, FieldType type, int width, const QString& picture)
    {
        FieldDef f;
        f.name = QString::fromLatin1(name);
        f.label = t.prefix + QLatin1Char(':') + f.name;
        f.type = type;
        f.width = width;
        f.picture = picture;
        t.fields << f;
        return *this;
    }
};

using B = Builder;

TableDef songTable(TableId id, const char* label, const char* prefix)
{
    B b(id, label, prefix, "tdpdata", 2);
    b.str("Artist", 40).str("Title", 40).str("Album", 40).str("Media", 20).str("FileNumber", 20)
        .date("ReleaseDate", "@d17b").lng("CategoryID", "@n-13").byte("ChartNumber").byte("TrackNumber")
        .str("Side", 1).time("Time", "@t4b").str("UserDefinedKeyField", 30)
        .str("AdditionalInformation1", 80).str("AdditionalInformation2", 80).str("AdditionalInformation3", 80)
        .lng("BeatsPerMinute", "@n_4b").str("Style", 30).str("Composer", 80).date("LastPlayed", "@d17-")
        .lng("ID").lng("AlbumID")
        .memo("Recording", 256).memo("PerformanceNotes", 256).memo("Notes", 2000);
    b.key("SongsByArtist", {"Artist", "Title"}, B::Dup)
        .key("SongsByTitle", {"Title", "Artist"}, B::Dup)
        .key("SongsByAlbum", {"Album", "Artist", "Side", "TrackNumber", "Title"}, B::Dup)
        .key("SongsByMedia", {"Media", "FileNumber", "Title"}, B::Dup)
        .key("SongsByCategory", {"CategoryID", "Artist", "Title", "Album"}, B::Optional)
        .key("SongsByChartNumber", {"ChartNumber", "Artist", "Title"}, B::Optional)
        .key("SongsByUserDefinedKey", {"UserDefinedKeyField", "Artist", "Title"}, B::Optional)
        .key("KeyID", {"ID"}, B::Primary | B::Unique | B::Optional)
        .key("KeyAlbumID", {"AlbumID", "TrackNumber"}, B::Optional)
        .key("KeyBeatsPerMinute", {"BeatsPerMinute", "Title", "Artist"}, B::Optional)
        .key("KeyFileNumber", {"FileNumber"}, B::Optional);
    return b.t;
}

std::array<TableDef, kTableCount> buildCatalog()
{
    std::array<TableDef, kTableCount> c;
    const auto at = [&](TableId id) -> TableDef& { return c[static_cast<int>(id)]; };

    at(TableId::Tunedeck) = songTable(TableId::Tunedeck, "Tunedeck", "MUS");
    at(TableId::A_Songs) = songTable(TableId::A_Songs, "A_Songs", "A_S");

    {
        B b(TableId::Categories, "Categories", "CAT", "TDPCAT", 1);
        b.dec("CategoryID", 6).str("Category", 30);
        b.key("KeyCategoryID", {"CategoryID"}, B::Primary | B::Unique | B::Optional)
            .key("KeyCategory", {"Category"}, B::Unique | B::Optional);
        at(TableId::Categories) = b.t;
    }
    {
        B b(TableId::Album, "Album", "ALB", "tdpalbum", 2);
        b.lng("AlbumID").str("Artist", 40).str("Album", 40).str("Media", 20).str("FileNumber", 20)
            .date("ReleaseDate", "@d2").dec("CategoryID", 6).str("AssociatedWavFile", 128)
            .str("AssociatedImage", 128).str("CDIdentifier", 24).str("XCCD", 32).str("Playlist", 70)
            .time("TotalTime", "@t4")
            .memo("Recording", 256).memo("Performance", 256).memo("Notes", 2000);
        b.key("KeyAlbumID", {"AlbumID"}, B::Primary | B::Unique | B::Optional)
            .key("KeyAlbum", {"Album", "Artist"}, B::Unique | B::Optional)
            .key("KeyArtist", {"Artist", "Album"}, B::Unique | B::Optional)
            .key("KeyCDIdentifier", {"CDIdentifier"}, B::Unique | B::Optional)
            .key("KeyFileNumber", {"FileNumber"}, B::Optional)
            .key("KeyCategory", {"CategoryID", "Album", "Artist"}, B::Optional)
            .key("KeyCategoryArtist", {"CategoryID", "Artist", "Album"}, B::Optional);
        at(TableId::Album) = b.t;
    }
    {
        B b(TableId::Media, "Media", "MED", "tdpmedia", 1);
        b.str("Media", 20);
        b.key("KeyMedia", {"Media"}, B::Unique | B::Optional);
        at(TableId::Media) = b.t;
    }
    {
        B b(TableId::PlaylistMaster, "PlaylistMaster", "PLD", "tdpplist", 1);
        b.lng("PlaylistID").str("PlaylistDescription", 30).date("LastEditDate", "@d2").memo("Notes", 1000);
        b.key("KeyPlaylistID", {"PlaylistID"}, B::Primary | B::Unique | B::Optional)
            .key("KeyPlaylistDescription", {"PlaylistDescription"}, B::Unique | B::Optional);
        at(TableId::PlaylistMaster) = b.t;
    }
    {
        B b(TableId::PlaylistDetails, "PlaylistDetails", "PLA", "tdppldet", 1);
        b.lng("PlaylistID").dec("PlaylistSeq", 6).dec("ID", 6).str("PlaylistNotes", 40);
        b.key("KeyPlaylistID", {"PlaylistID", "PlaylistSeq"}, B::Primary | B::Unique | B::Optional)
            .key("KeyID", {"ID"}, B::Dup);
        at(TableId::PlaylistDetails) = b.t;
    }
    {
        B b(TableId::Labels, "Labels", "LAB", "tdplabel", 1);
        b.dec("LabelID", 6).str("LabelDescription", 30).str("LabelType", 9).lng("AlbumID")
            .str("CDSpine", 100).lng("CDSpineFontID").str("CDTitle", 100).lng("CDTitleFontID")
            .lng("CDCoverTextFontID").lng("CDInsideTextFontID").str("CDSpineJustification", 6)
            .str("CDTextJustification", 6).str("CDBackCoverJustification", 6).lng("CassetteFlapFontID")
            .lng("CassetteTitleFontID").lng("CassetteContentsFontID").str("ImageName", 255)
            .lng("ImagePositionX").lng("ImagePositionY").str("ImageSize", 20).lng("ImageSizeX")
            .str("ImageSizeY", 20)
            .memo("CDCoverText", 2000).memo("CDInsideText", 2000).memo("CassetteFlap", 512)
            .memo("CassetteTitle", 512).memo("CassetteContentsA", 1500).memo("CassetteContentsB", 1500);
        b.key("KeyLabelID", {"LabelID"}, B::Primary | B::Unique | B::Optional)
            .key("KeyLabelDescription", {"LabelDescription"}, B::Unique | B::Optional)
            .key("KeyLabelType", {"LabelType", "LabelDescription"}, B::Optional);
        at(TableId::Labels) = b.t;
    }
    {
        B b(TableId::Fonts, "Fonts", "FON", "tdpfont", 1);
        b.dec("FontID", 6).str("TypeFace", 32).str("Size", 32).str("Colour", 32).str("Style", 32);
        b.key("KeyFontID", {"FontID"}, B::Primary | B::Unique | B::Optional)
            .key("KeyTypeFace", {"TypeFace", "Size", "Colour", "Style"}, B::Unique | B::Optional);
        at(TableId::Fonts) = b.t;
    }
    {
        B b(TableId::AddWizard, "AddWizard", "AW", "TDPAdWiz", 1);
        b.dec("Instance", 6).str("Side", 1).dec("Track", 2, "@n3").str("Artist", 30).str("Title", 30)
            .time("Time", "@t4");
        b.key("KeyInstance", {"Instance", "Side", "Track"}, B::Primary | B::Unique | B::Optional);
        at(TableId::AddWizard) = b.t;
    }
    {
        B b(TableId::OldTunedeck, "OldTunedeck", "M1", "tdpro", 1);
        b.str("Artist", 30).str("Title", 30).str("Album", 30).str("Media", 20).str("FileNumber", 10)
            .date("ReleaseDate", "@d2").memo("Notes", 2000);
        b.key("SongsByArtist", {"Artist", "Title"}, B::Dup)
            .key("SongsByTitle", {"Title", "Artist"}, B::Dup)
            .key("SongsByAlbum", {"Album", "Artist", "Title"}, B::Dup)
            .key("SongsByMedia", {"Media", "FileNumber", "Title"}, B::Dup);
        at(TableId::OldTunedeck) = b.t;
    }
    return c;
}

const std::array<TableDef, kTableCount>& catalog()
{
    static const std::array<TableDef, kTableCount> c = buildCatalog();
    return c;
}

} // namespace

QList<TableId> allTables()
{
    return {TableId::Tunedeck, TableId::Categories, TableId::Album, TableId::Media, TableId::PlaylistMaster,
            TableId::PlaylistDetails, TableId::Labels, TableId::Fonts, TableId::AddWizard, TableId::OldTunedeck,
            TableId::A_Songs};
}

const TableDef& tableDef(TableId id)
{
    return catalog()[static_cast<int>(id)];
}

const TableDef* tableByLabel(const QString& label)
{
    for (const auto& t : catalog())
        if (t.label.compare(label, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const TableDef* tableByPrefix(const QString& prefix)
{
    for (const auto& t : catalog())
        if (t.prefix.compare(prefix, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

bool findField(const QString& fieldLabel, TableId* table, int* field)
{
    const int colon = fieldLabel.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    const TableDef* t = tableByPrefix(fieldLabel.left(colon).trimmed());
    if (!t)
        return false;
    const QString name = fieldLabel.mid(colon + 1).trimmed();
    int i = -1;
    for (int k = 0; k < t->fields.size(); ++k)
        if (t->fields[k].name.compare(name, Qt::CaseInsensitive) == 0)
            i = k;
    if (i < 0)
        return false;
    if (table)
        *table = t->id;
    if (field)
        *field = i;
    return true;
}

} // namespace td

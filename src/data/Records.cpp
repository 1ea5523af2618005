#include "data/Records.h"

#include <tuple>
#include <type_traits>

namespace td {

namespace {

// A record's members in catalogue field order; a member's type gives its value's type in a row:
// QString for text and memos, int for LONG, BYTE, date and time, qlonglong for DECIMAL.
inline QVariant valueOf(const QString& v);
inline QVariant valueOf(qint32 v);
inline QVariant valueOf(qint64 v);

template <class R, class... M> Row rowOf(const R& r, const std::tuple<M R::*...>& members)
{
    Row row;
    row.reserve(int(sizeof...(M)));
    std::apply([&](auto... m) { ((row << valueOf(r.*m)), ...); }, members);
    return row;
}

inline QVariant valueOf(const QString& v)
{
    return QVariant(v);
}
inline QVariant valueOf(qint32 v)
{
    return QVariant(int(v));
}
inline QVariant valueOf(qint64 v)
{
    return QVariant(qlonglong(v));
}

inline void take(const Row& row, int i, QString& v)
{
    v = i < row.size() ? row.at(i).toString() : QString();
}
inline void take(const Row& row, int i, qint32& v)
{
    v = i < row.size() ? qint32(row.at(i).toLongLong()) : 0;
}
inline void take(const Row& row, int i, qint64& v)
{
    v = i < row.size() ? qint64(row.at(i).toLongLong()) : 0;
}

template <class R, class... M> void fillFrom(const Row& row, R& r, const std::tuple<M R::*...>& members)
{
    int i = 0;
    std::apply([&](auto... m) { (take(row, i++, r.*m), ...); }, members);
}

const auto kTunedeckMembers = std::make_tuple(&Tunedeck::Artist, &Tunedeck::Title, &Tunedeck::Album,
    &Tunedeck::Media, &Tunedeck::FileNumber, &Tunedeck::ReleaseDate, &Tunedeck::CategoryID,
    &Tunedeck::ChartNumber, &Tunedeck::TrackNumber, &Tunedeck::Side, &Tunedeck::Time,
    &Tunedeck::UserDefinedKeyField, &Tunedeck::AdditionalInformation1, &Tunedeck::AdditionalInformation2,
    &Tunedeck::AdditionalInformation3, &Tunedeck::BeatsPerMinute, &Tunedeck::Style, &Tunedeck::Composer,
    &Tunedeck::LastPlayed, &Tunedeck::ID, &Tunedeck::AlbumID, &Tunedeck::Recording,
    &Tunedeck::PerformanceNotes, &Tunedeck::Notes);

const auto kCategoriesMembers = std::make_tuple(&Categories::CategoryID, &Categories::Category);

const auto kAlbumMembers = std::make_tuple(&Album::AlbumID, &Album::Artist, &Album::Album, &Album::Media,
    &Album::FileNumber, &Album::ReleaseDate, &Album::CategoryID, &Album::AssociatedWavFile,
    &Album::AssociatedImage, &Album::CDIdentifier, &Album::XCCD, &Album::Playlist, &Album::TotalTime,
    &Album::Recording, &Album::Performance, &Album::Notes);

const auto kMediaMembers = std::make_tuple(&Media::Media);

const auto kPlaylistMasterMembers = std::make_tuple(&PlaylistMaster::PlaylistID,
    &PlaylistMaster::PlaylistDescription, &PlaylistMaster::LastEditDate, &PlaylistMaster::Notes);

const auto kPlaylistDetailsMembers = std::make_tuple(&PlaylistDetails::PlaylistID,
    &PlaylistDetails::PlaylistSeq, &PlaylistDetails::ID, &PlaylistDetails::PlaylistNotes);

const auto kLabelsMembers = std::make_tuple(&Labels::LabelID, &Labels::LabelDescription, &Labels::LabelType,
    &Labels::AlbumID, &Labels::CDSpine, &Labels::CDSpineFontID, &Labels::CDTitle, &Labels::CDTitleFontID,
    &Labels::CDCoverTextFontID, &Labels::CDInsideTextFontID, &Labels::CDSpineJustification,
    &Labels::CDTextJustification, &Labels::CDBackCoverJustification, &Labels::CassetteFlapFontID,
    &Labels::CassetteTitleFontID, &Labels::CassetteContentsFontID, &Labels::ImageName,
    &Labels::ImagePositionX, &Labels::ImagePositionY, &Labels::ImageSize, &Labels::ImageSizeX,
    &Labels::ImageSizeY, &Labels::CDCoverText, &Labels::CDInsideText, &Labels::CassetteFlap,
    &Labels::CassetteTitle, &Labels::CassetteContentsA, &Labels::CassetteContentsB);

const auto kFontsMembers
    = std::make_tuple(&Fonts::FontID, &Fonts::TypeFace, &Fonts::Size, &Fonts::Colour, &Fonts::Style);

const auto kAddWizardMembers = std::make_tuple(&AddWizard::Instance, &AddWizard::Side, &AddWizard::Track,
    &AddWizard::Artist, &AddWizard::Title, &AddWizard::Time);

const auto kOldTunedeckMembers
    = std::make_tuple(&OldTunedeck::Artist, &OldTunedeck::Title, &OldTunedeck::Album, &OldTunedeck::Media,
        &OldTunedeck::FileNumber, &OldTunedeck::ReleaseDate, &OldTunedeck::Notes);

} // namespace

Row keyValuesOf(const TableDef& table, int key, const Row& record)
{
    Row out;
    if (key < 0 || key >= table.keys.size())
        return out;
    for (int f : table.keys.at(key).fields)
        out << (f < record.size() ? record.at(f) : QVariant());
    return out;
}

Row blankRow(TableId table)
{
    Row row;
    const TableDef& t = tableDef(table);
    row.reserve(t.fields.size());
    for (const auto& f : t.fields) {
        if (f.isText())
            row << QVariant(QString());
        else if (f.type == FieldType::Decimal)
            row << QVariant(qlonglong(0));
        else
            row << QVariant(int(0));
    }
    return row;
}

Row toRow(const Tunedeck& r)
{
    return rowOf(r, kTunedeckMembers);
}

void fromRow(const Row& row, Tunedeck& r)
{
    fillFrom(row, r, kTunedeckMembers);
}

Row toRow(const Categories& r)
{
    return rowOf(r, kCategoriesMembers);
}

void fromRow(const Row& row, Categories& r)
{
    fillFrom(row, r, kCategoriesMembers);
}

Row toRow(const Album& r)
{
    return rowOf(r, kAlbumMembers);
}

void fromRow(const Row& row, Album& r)
{
    fillFrom(row, r, kAlbumMembers);
}

Row toRow(const Media& r)
{
    return rowOf(r, kMediaMembers);
}

void fromRow(const Row& row, Media& r)
{
    fillFrom(row, r, kMediaMembers);
}

Row toRow(const PlaylistMaster& r)
{
    return rowOf(r, kPlaylistMasterMembers);
}

void fromRow(const Row& row, PlaylistMaster& r)
{
    fillFrom(row, r, kPlaylistMasterMembers);
}

Row toRow(const PlaylistDetails& r)
{
    return rowOf(r, kPlaylistDetailsMembers);
}

void fromRow(const Row& row, PlaylistDetails& r)
{
    fillFrom(row, r, kPlaylistDetailsMembers);
}

Row toRow(const Labels& r)
{
    return rowOf(r, kLabelsMembers);
}

void fromRow(const Row& row, Labels& r)
{
    fillFrom(row, r, kLabelsMembers);
}

Row toRow(const Fonts& r)
{
    return rowOf(r, kFontsMembers);
}

void fromRow(const Row& row, Fonts& r)
{
    fillFrom(row, r, kFontsMembers);
}

Row toRow(const AddWizard& r)
{
    return rowOf(r, kAddWizardMembers);
}

void fromRow(const Row& row, AddWizard& r)
{
    fillFrom(row, r, kAddWizardMembers);
}

Row toRow(const OldTunedeck& r)
{
    return rowOf(r, kOldTunedeckMembers);
}

void fromRow(const Row& row, OldTunedeck& r)
{
    fillFrom(row, r, kOldTunedeckMembers);
}

} // namespace td

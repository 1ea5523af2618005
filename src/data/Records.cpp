#include "data/Records.h"

namespace td {

namespace {

QString text(const Row& row, int i)
{
    return i < row.size() ? row.at(i).toString() : QString();
}

qint32 int32(const Row& row, int i)
{
    return i < row.size() ? qint32(row.at(i).toLongLong()) : 0;
}

qint64 int64(const Row& row, int i)
{
    return i < row.size() ? qint64(row.at(i).toLongLong()) : 0;
}

} // namespace

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
    Row row;
    row.reserve(24);
    row << QVariant(r.Artist);
    row << QVariant(r.Title);
    row << QVariant(r.Album);
    row << QVariant(r.Media);
    row << QVariant(r.FileNumber);
    row << QVariant(int(r.ReleaseDate));
    row << QVariant(int(r.CategoryID));
    row << QVariant(int(r.ChartNumber));
    row << QVariant(int(r.TrackNumber));
    row << QVariant(r.Side);
    row << QVariant(int(r.Time));
    row << QVariant(r.UserDefinedKeyField);
    row << QVariant(r.AdditionalInformation1);
    row << QVariant(r.AdditionalInformation2);
    row << QVariant(r.AdditionalInformation3);
    row << QVariant(int(r.BeatsPerMinute));
    row << QVariant(r.Style);
    row << QVariant(r.Composer);
    row << QVariant(int(r.LastPlayed));
    row << QVariant(int(r.ID));
    row << QVariant(int(r.AlbumID));
    row << QVariant(r.Recording);
    row << QVariant(r.PerformanceNotes);
    row << QVariant(r.Notes);
    return row;
}

void fromRow(const Row& row, Tunedeck& r)
{
    r.Artist = text(row, 0);
    r.Title = text(row, 1);
    r.Album = text(row, 2);
    r.Media = text(row, 3);
    r.FileNumber = text(row, 4);
    r.ReleaseDate = int32(row, 5);
    r.CategoryID = int32(row, 6);
    r.ChartNumber = int32(row, 7);
    r.TrackNumber = int32(row, 8);
    r.Side = text(row, 9);
    r.Time = int32(row, 10);
    r.UserDefinedKeyField = text(row, 11);
    r.AdditionalInformation1 = text(row, 12);
    r.AdditionalInformation2 = text(row, 13);
    r.AdditionalInformation3 = text(row, 14);
    r.BeatsPerMinute = int32(row, 15);
    r.Style = text(row, 16);
    r.Composer = text(row, 17);
    r.LastPlayed = int32(row, 18);
    r.ID = int32(row, 19);
    r.AlbumID = int32(row, 20);
    r.Recording = text(row, 21);
    r.PerformanceNotes = text(row, 22);
    r.Notes = text(row, 23);
}

Row toRow(const Categories& r)
{
    Row row;
    row.reserve(2);
    row << QVariant(qlonglong(r.CategoryID));
    row << QVariant(r.Category);
    return row;
}

void fromRow(const Row& row, Categories& r)
{
    r.CategoryID = int64(row, 0);
    r.Category = text(row, 1);
}

Row toRow(const Album& r)
{
    Row row;
    row.reserve(16);
    row << QVariant(int(r.AlbumID));
    row << QVariant(r.Artist);
    row << QVariant(r.Album);
    row << QVariant(r.Media);
    row << QVariant(r.FileNumber);
    row << QVariant(int(r.ReleaseDate));
    row << QVariant(qlonglong(r.CategoryID));
    row << QVariant(r.AssociatedWavFile);
    row << QVariant(r.AssociatedImage);
    row << QVariant(r.CDIdentifier);
    row << QVariant(r.XCCD);
    row << QVariant(r.Playlist);
    row << QVariant(int(r.TotalTime));
    row << QVariant(r.Recording);
    row << QVariant(r.Performance);
    row << QVariant(r.Notes);
    return row;
}

void fromRow(const Row& row, Album& r)
{
    r.AlbumID = int32(row, 0);
    r.Artist = text(row, 1);
    r.Album = text(row, 2);
    r.Media = text(row, 3);
    r.FileNumber = text(row, 4);
    r.ReleaseDate = int32(row, 5);
    r.CategoryID = int64(row, 6);
    r.AssociatedWavFile = text(row, 7);
    r.AssociatedImage = text(row, 8);
    r.CDIdentifier = text(row, 9);
    r.XCCD = text(row, 10);
    r.Playlist = text(row, 11);
    r.TotalTime = int32(row, 12);
    r.Recording = text(row, 13);
    r.Performance = text(row, 14);
    r.Notes = text(row, 15);
}

Row toRow(const Media& r)
{
    Row row;
    row.reserve(1);
    row << QVariant(r.Media);
    return row;
}

void fromRow(const Row& row, Media& r)
{
    r.Media = text(row, 0);
}

Row toRow(const PlaylistMaster& r)
{
    Row row;
    row.reserve(4);
    row << QVariant(int(r.PlaylistID));
    row << QVariant(r.PlaylistDescription);
    row << QVariant(int(r.LastEditDate));
    row << QVariant(r.Notes);
    return row;
}

void fromRow(const Row& row, PlaylistMaster& r)
{
    r.PlaylistID = int32(row, 0);
    r.PlaylistDescription = text(row, 1);
    r.LastEditDate = int32(row, 2);
    r.Notes = text(row, 3);
}

Row toRow(const PlaylistDetails& r)
{
    Row row;
    row.reserve(4);
    row << QVariant(int(r.PlaylistID));
    row << QVariant(qlonglong(r.PlaylistSeq));
    row << QVariant(qlonglong(r.ID));
    row << QVariant(r.PlaylistNotes);
    return row;
}

void fromRow(const Row& row, PlaylistDetails& r)
{
    r.PlaylistID = int32(row, 0);
    r.PlaylistSeq = int64(row, 1);
    r.ID = int64(row, 2);
    r.PlaylistNotes = text(row, 3);
}

Row toRow(const Labels& r)
{
    Row row;
    row.reserve(28);
    row << QVariant(qlonglong(r.LabelID));
    row << QVariant(r.LabelDescription);
    row << QVariant(r.LabelType);
    row << QVariant(int(r.AlbumID));
    row << QVariant(r.CDSpine);
    row << QVariant(int(r.CDSpineFontID));
    row << QVariant(r.CDTitle);
    row << QVariant(int(r.CDTitleFontID));
    row << QVariant(int(r.CDCoverTextFontID));
    row << QVariant(int(r.CDInsideTextFontID));
    row << QVariant(r.CDSpineJustification);
    row << QVariant(r.CDTextJustification);
    row << QVariant(r.CDBackCoverJustification);
    row << QVariant(int(r.CassetteFlapFontID));
    row << QVariant(int(r.CassetteTitleFontID));
    row << QVariant(int(r.CassetteContentsFontID));
    row << QVariant(r.ImageName);
    row << QVariant(int(r.ImagePositionX));
    row << QVariant(int(r.ImagePositionY));
    row << QVariant(r.ImageSize);
    row << QVariant(int(r.ImageSizeX));
    row << QVariant(r.ImageSizeY);
    row << QVariant(r.CDCoverText);
    row << QVariant(r.CDInsideText);
    row << QVariant(r.CassetteFlap);
    row << QVariant(r.CassetteTitle);
    row << QVariant(r.CassetteContentsA);
    row << QVariant(r.CassetteContentsB);
    return row;
}

void fromRow(const Row& row, Labels& r)
{
    r.LabelID = int64(row, 0);
    r.LabelDescription = text(row, 1);
    r.LabelType = text(row, 2);
    r.AlbumID = int32(row, 3);
    r.CDSpine = text(row, 4);
    r.CDSpineFontID = int32(row, 5);
    r.CDTitle = text(row, 6);
    r.CDTitleFontID = int32(row, 7);
    r.CDCoverTextFontID = int32(row, 8);
    r.CDInsideTextFontID = int32(row, 9);
    r.CDSpineJustification = text(row, 10);
    r.CDTextJustification = text(row, 11);
    r.CDBackCoverJustification = text(row, 12);
    r.CassetteFlapFontID = int32(row, 13);
    r.CassetteTitleFontID = int32(row, 14);
    r.CassetteContentsFontID = int32(row, 15);
    r.ImageName = text(row, 16);
    r.ImagePositionX = int32(row, 17);
    r.ImagePositionY = int32(row, 18);
    r.ImageSize = text(row, 19);
    r.ImageSizeX = int32(row, 20);
    r.ImageSizeY = text(row, 21);
    r.CDCoverText = text(row, 22);
    r.CDInsideText = text(row, 23);
    r.CassetteFlap = text(row, 24);
    r.CassetteTitle = text(row, 25);
    r.CassetteContentsA = text(row, 26);
    r.CassetteContentsB = text(row, 27);
}

Row toRow(const Fonts& r)
{
    Row row;
    row.reserve(5);
    row << QVariant(qlonglong(r.FontID));
    row << QVariant(r.TypeFace);
    row << QVariant(r.Size);
    row << QVariant(r.Colour);
    row << QVariant(r.Style);
    return row;
}

void fromRow(const Row& row, Fonts& r)
{
    r.FontID = int64(row, 0);
    r.TypeFace = text(row, 1);
    r.Size = text(row, 2);
    r.Colour = text(row, 3);
    r.Style = text(row, 4);
}

Row toRow(const AddWizard& r)
{
    Row row;
    row.reserve(6);
    row << QVariant(qlonglong(r.Instance));
    row << QVariant(r.Side);
    row << QVariant(qlonglong(r.Track));
    row << QVariant(r.Artist);
    row << QVariant(r.Title);
    row << QVariant(int(r.Time));
    return row;
}

void fromRow(const Row& row, AddWizard& r)
{
    r.Instance = int64(row, 0);
    r.Side = text(row, 1);
    r.Track = int64(row, 2);
    r.Artist = text(row, 3);
    r.Title = text(row, 4);
    r.Time = int32(row, 5);
}

Row toRow(const OldTunedeck& r)
{
    Row row;
    row.reserve(7);
    row << QVariant(r.Artist);
    row << QVariant(r.Title);
    row << QVariant(r.Album);
    row << QVariant(r.Media);
    row << QVariant(r.FileNumber);
    row << QVariant(int(r.ReleaseDate));
    row << QVariant(r.Notes);
    return row;
}

void fromRow(const Row& row, OldTunedeck& r)
{
    r.Artist = text(row, 0);
    r.Title = text(row, 1);
    r.Album = text(row, 2);
    r.Media = text(row, 3);
    r.FileNumber = text(row, 4);
    r.ReleaseDate = int32(row, 5);
    r.Notes = text(row, 6);
}
} // namespace td

#pragma once
// One plain record per table, named by its label, with members named by the field names (memos
// included), and the conversion to and from a generic row (values in catalogue field order).
// A_Songs uses the Tunedeck record.

#include "data/FieldCatalog.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace td {

// A record as a list of values in catalogue field order: QString for text and memos, int for
// LONG, BYTE, date and time fields, qlonglong for DECIMAL fields.
using Row = QList<QVariant>;

struct Tunedeck {
    QString Artist;
    QString Title;
    QString Album;
    QString Media;
    QString FileNumber;
    qint32 ReleaseDate = 0;
    qint32 CategoryID = 0;
    qint32 ChartNumber = 0;
    qint32 TrackNumber = 0;
    QString Side;
    qint32 Time = 0;
    QString UserDefinedKeyField;
    QString AdditionalInformation1;
    QString AdditionalInformation2;
    QString AdditionalInformation3;
    qint32 BeatsPerMinute = 0;
    QString Style;
    QString Composer;
    qint32 LastPlayed = 0;
    qint32 ID = 0;
    qint32 AlbumID = 0;
    QString Recording;
    QString PerformanceNotes;
    QString Notes;
};

struct Categories {
    qint64 CategoryID = 0;
    QString Category;
};

struct Album {
    qint32 AlbumID = 0;
    QString Artist;
    QString Album;
    QString Media;
    QString FileNumber;
    qint32 ReleaseDate = 0;
    qint64 CategoryID = 0;
    QString AssociatedWavFile;
    QString AssociatedImage;
    QString CDIdentifier;
    QString XCCD;
    QString Playlist;
    qint32 TotalTime = 0;
    QString Recording;
    QString Performance;
    QString Notes;
};

struct Media {
    QString Media;
};

struct PlaylistMaster {
    qint32 PlaylistID = 0;
    QString PlaylistDescription;
    qint32 LastEditDate = 0;
    QString Notes;
};

struct PlaylistDetails {
    qint32 PlaylistID = 0;
    qint64 PlaylistSeq = 0;
    qint64 ID = 0;
    QString PlaylistNotes;
};

struct Labels {
    qint64 LabelID = 0;
    QString LabelDescription;
    QString LabelType;
    qint32 AlbumID = 0;
    QString CDSpine;
    qint32 CDSpineFontID = 0;
    QString CDTitle;
    qint32 CDTitleFontID = 0;
    qint32 CDCoverTextFontID = 0;
    qint32 CDInsideTextFontID = 0;
    QString CDSpineJustification;
    QString CDTextJustification;
    QString CDBackCoverJustification;
    qint32 CassetteFlapFontID = 0;
    qint32 CassetteTitleFontID = 0;
    qint32 CassetteContentsFontID = 0;
    QString ImageName;
    qint32 ImagePositionX = 0;
    qint32 ImagePositionY = 0;
    QString ImageSize;
    qint32 ImageSizeX = 0;
    QString ImageSizeY;
    QString CDCoverText;
    QString CDInsideText;
    QString CassetteFlap;
    QString CassetteTitle;
    QString CassetteContentsA;
    QString CassetteContentsB;
};

struct Fonts {
    qint64 FontID = 0;
    QString TypeFace;
    QString Size;
    QString Colour;
    QString Style;
};

struct AddWizard {
    qint64 Instance = 0;
    QString Side;
    qint64 Track = 0;
    QString Artist;
    QString Title;
    qint32 Time = 0;
};

struct OldTunedeck {
    QString Artist;
    QString Title;
    QString Album;
    QString Media;
    QString FileNumber;
    qint32 ReleaseDate = 0;
    QString Notes;
};
Row toRow(const Tunedeck& r);
Row toRow(const Categories& r);
Row toRow(const Album& r);
Row toRow(const Media& r);
Row toRow(const PlaylistMaster& r);
Row toRow(const PlaylistDetails& r);
Row toRow(const Labels& r);
Row toRow(const Fonts& r);
Row toRow(const AddWizard& r);
Row toRow(const OldTunedeck& r);

// Missing values (a row shorter than the catalogue) leave the members blank or zero.
void fromRow(const Row& row, Tunedeck& r);
void fromRow(const Row& row, Categories& r);
void fromRow(const Row& row, Album& r);
void fromRow(const Row& row, Media& r);
void fromRow(const Row& row, PlaylistMaster& r);
void fromRow(const Row& row, PlaylistDetails& r);
void fromRow(const Row& row, Labels& r);
void fromRow(const Row& row, Fonts& r);
void fromRow(const Row& row, AddWizard& r);
void fromRow(const Row& row, OldTunedeck& r);

// The table a record type belongs to (A_Songs also takes Tunedeck records).
template<class R> struct RecordTraits;
template<> struct RecordTraits<Tunedeck> { static constexpr TableId table = TableId::Tunedeck; };
template<> struct RecordTraits<Categories> { static constexpr TableId table = TableId::Categories; };
template<> struct RecordTraits<Album> { static constexpr TableId table = TableId::Album; };
template<> struct RecordTraits<Media> { static constexpr TableId table = TableId::Media; };
template<> struct RecordTraits<PlaylistMaster> { static constexpr TableId table = TableId::PlaylistMaster; };
template<> struct RecordTraits<PlaylistDetails> { static constexpr TableId table = TableId::PlaylistDetails; };
template<> struct RecordTraits<Labels> { static constexpr TableId table = TableId::Labels; };
template<> struct RecordTraits<Fonts> { static constexpr TableId table = TableId::Fonts; };
template<> struct RecordTraits<AddWizard> { static constexpr TableId table = TableId::AddWizard; };
template<> struct RecordTraits<OldTunedeck> { static constexpr TableId table = TableId::OldTunedeck; };

template<class R> R recordFromRow(const Row& row)
{
    R r;
    fromRow(row, r);
    return r;
}

// A row of blank and zero values of the right types for a table.
Row blankRow(TableId table);
// The values of a key's fields in a record, in key order (a missing field gives a null value).
Row keyValuesOf(const TableDef& table, int key, const Row& record);

} // namespace td

#pragma once
// What makes one report of the family: its title and criteria noun, the table it scans in the order
// of one key, which records it skips, which field the "Selected" prefix is compared with, whether it
// takes a custom font and under which key name, and its layout. ReportRun (ReportRun.h) does the
// rest the same way for every report.

#include "data/FieldCatalog.h"
#include "data/Records.h"
#include "reports/ReportLayout.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>

namespace td {

class ReportWriter;

struct ReportDefinition {
    QString name;               // "PrintMUS:SongsByArtist"; also the key name of the custom-font keys
    QString title;              // the page header's title
    QString noun;               // the criteria window's plural ("artists")
    TableId table = TableId::Tunedeck;
    QString key;                // the scan order ("MUS:SongsByArtist")
    // Limits the scan itself: SQL over the table's column names with ? parameters, never user
    // text ("CategoryID = ?").
    QString scanFilter;
    QVariantList scanParams;
    // The record filter: false skips the record (it still counts as processed). Empty: none.
    std::function<bool(const TableDef&, const Row&)> recordFilter;
    // The field the "Selected" prefix is compared with (label, "MUS:Artist"); numbers as text.
    QString selectionField;
    bool customFont = false;
    // Category name of each song as the value "CAT:Category" (through MUS:CategoryID).
    bool joinCategory = false;
    // Further values after the record's own fields, by name, and how they are computed from the
    // record (the song-time text, a heading colour...).
    QStringList extraValues;
    std::function<void(const TableDef&, const Row&, QVariantList& extras)> computeExtras;
    // The layout for a printable width (mils), built when the first printable record is met.
    std::function<ReportLayout(Mils width)> layout;
    // Layouts that measure their columns in the fonts they print with: built with the user's date
    // format, and again with the custom font when one is chosen (instead of ReportLayout::applyFont).
    std::function<ReportLayout(Mils width, const LayoutStyle& style)> styledLayout;
    // Prints one record itself instead of the detail band (binder pages and other reports whose
    // records print several bands). False stops the report.
    std::function<bool(ReportWriter&, const QVariantList& values)> printRecord;
    // Where the scan starts: the key values of the first record wanted (empty: the key's first).
    Row scanFrom;
    // The scan ends, completed, at the first record for which this is true (a range's end).
    std::function<bool(const TableDef&, const Row&)> scanStop;
    // The record's position (its rowid) as one more value after the extras.
    bool positionValue = false;
    // Pages always go to the preview, whatever the criteria say.
    bool alwaysPreview = false;
    // Records handled per timer event.
    int recordsPerCycle = 25;
    // The progress counts the records handled ("12 Records Completed") instead of a percent.
    bool countProgress = false;

    bool isValid() const { return !name.isEmpty() && bool(layout); }
};

// The common record filter of the song listings: skips songs whose artist contains "(*)" or whose
// title contains "(Skips)", as typed.
bool passesSongFilter(const TableDef& songs, const Row& row);

// What a report needs from the settings and the caller's choices.
struct ReportContext {
    QString udkPrompt = QStringLiteral("Custom"); // the user's name for the user-defined key
    qint64 categoryId = 0;                        // the category report's chosen category
    QString categoryName;
    qint32 albumId = 0;                           // PrintOneAlbum: the album whose songs print
};

} // namespace td

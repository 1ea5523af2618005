#pragma once
// The layout of a column listing: a title, column headings, one or two lines per record and the
// page footer with the report date ("@d4") and "Page " + number.
//
// Numbers, dates and times are never cut: each such column is as wide as the widest value its
// picture can show (the user's date format for dates), or its heading in bold if that is wider,
// measured in the font the page is printed with. Text columns share the rest of the width in
// proportion to their sizes in characters, never narrower than their headings. A line-2 column
// stands under a line-1 column or right of the line-2 column before it, and ends where the next
// one begins; the line-1 columns widen where a line-2 column needs the room. The type is 8 points
// where the texts have room, down to 7 points for the wide listings, never smaller; where even
// then the numbers and dates cannot all have their room (a large custom font), the page header
// says so.

#include "reports/ReportLayout.h"

#include <QList>
#include <QString>

namespace td {

struct ReportColumn {
    QString heading;
    QString field;              // value name ("MUS:Artist")
    QString picture;            // "@s40", "@n3b", "@d3b", "@t4b"
    int under = -1;             // line 2: the line-1 column it stands under; -1: right of the previous
    bool whole = false;         // a text that must show whole (the "mm:ss" song time)
};

// The detail type size never goes under this.
inline constexpr double kSmallestPoints = 7.0;

// The text a page header shows when the widest values do not all fit the page.
QString noRoomText();

// The widest text a value shown through `picture` can take in `metrics` (0 for text pictures).
double widestValue(const QString& picture, const QFontMetricsF& metrics);

ReportLayout columnListing(const QString& title, Mils width, const QList<ReportColumn>& line1,
                           const QList<ReportColumn>& line2 = {}, const LayoutStyle& style = {});

} // namespace td

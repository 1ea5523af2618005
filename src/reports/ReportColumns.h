#pragma once
// The layout of a column listing: a title, column headings, one or two lines per record and the
// page footer with the report date ("@d4") and "Page " + number. Line-1 columns share the
// printable width in proportion to their widths in characters; a line-2 column stands under a
// line-1 column or right of the line-2 column before it, and ends where the next one begins.

#include "reports/ReportLayout.h"

#include <QList>
#include <QString>

namespace td {

struct ReportColumn {
    QString heading;
    QString field;              // value name ("MUS:Artist")
    QString picture;            // "@s40", "@n3b", "@d3b", "@t4b"
    int under = -1;             // line 2: the line-1 column it stands under; -1: right of the previous
};

// Characters a picture shows at most (text size; 10 for dates, 8 for times).
int pictureChars(const QString& picture);

ReportLayout columnListing(const QString& title, Mils width, const QList<ReportColumn>& line1,
                           const QList<ReportColumn>& line2 = {});

} // namespace td

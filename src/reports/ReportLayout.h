#pragma once
// A report layout: bands of controls placed in thousandths of an inch, and the writer that lays the
// bands on pages and hands every finished page to a sink.
//
// Bands: a page header (top of every page), the detail band (once per record), group headings
// (printed before a detail band when their break value changes, kept with that detail band), a
// closing band (after the last record) and a page footer (bottom of every page). Controls are texts,
// fields (a value shown through a display picture), lines, boxes and picture files, each with its
// rectangle relative to its band's top and the page's printable left edge.
//
// A field names its value ("MUS:Artist", "CAT:Category"); bind() turns the names into indexes of
// the value list a band is printed with, once, so that printing a record looks nothing up. Two
// values belong to the writer: "=page" (the page number) and "=date" (the report date).
//
// Texts never leave their control: a single-line text is cut at the control's right edge, a
// wrapping text is broken at word boundaries (inside a word that is wider than the control) and
// the lines below the control's bottom are dropped. Widths are measured with the font the page is
// drawn with (qfontFor()).

#include "core/Picture.h"
#include "reports/PageDoc.h"

#include <QDate>
#include <QFontMetricsF>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace td {

struct ReportControl {
    enum Kind { Text, Field, Line, Box, Image };
    Kind kind = Text;
    QRect rect;                 // mils, relative to the band's top left
    int font = 0;               // index into ReportLayout::fonts
    int flags = PageItem::AlignLeft; // PageItem::TextFlag values; Wrap wraps instead of cutting
    QString text;               // a Text's words, an Image's file
    QString field;              // a Field's value name
    QString picture;            // a Field's display picture ("@s40", "@d2", "@pPage <<<#p")
    QColor color;               // invalid: the font's colour (texts) or black
    QString colorField;         // a value holding the colour (QColor or 0xRRGGBB), overrides color
    int penWidth = 10;          // lines and boxes
    QColor fill;                // boxes

    // Shows a date value: set for date pictures, and kept when the user's date format puts a
    // number picture in their place ("Year Only"), so that a full date still shows its year.
    bool dateField = false;

    // Set by bind(): the value's index (-1 none, kPageValue, kDateValue) and the parsed picture.
    int source = -1;
    int colorSource = -1;
    Picture parsed;
};

inline constexpr int kPageValue = -2;
inline constexpr int kDateValue = -3;

struct ReportBand {
    enum Kind { PageHeader, Detail, GroupHeading, Closing, PageFooter };
    Kind kind = Detail;
    Mils height = 0;
    QList<ReportControl> controls;
    QString breakField;         // group headings: printed when this value changes
    int breakSource = -1;
};

struct ReportLayout {
    QString title;
    QList<PageFont> fonts;
    ReportBand pageHeader = band(ReportBand::PageHeader);
    ReportBand detail = band(ReportBand::Detail);
    QList<ReportBand> groupHeadings;   // outermost first
    ReportBand closing = band(ReportBand::Closing);
    ReportBand pageFooter = band(ReportBand::PageFooter);

    static ReportBand band(ReportBand::Kind kind)
    {
        ReportBand b;
        b.kind = kind;
        return b;
    }

    // Every band, for passes over all controls.
    QList<ReportBand*> bands();
    // Resolves the field names (see above) through `indexOf` (-1: unknown, shown blank) and parses
    // the pictures.
    void bind(const std::function<int(const QString&)>& indexOf);
    // Date fields take `datePicture` ("@d17") instead of their own; the page-number and report-date
    // fields keep theirs. An empty picture changes nothing.
    void useDatePicture(const QString& datePicture);
    // Every control prints in `font` (family, size, colour and style). Bands grow in height, with
    // their controls moved down in proportion, when the new font's lines are taller than the
    // designed ones, so that no line is cut at its top or bottom.
    void applyFont(const PageFont& font);
};

// What a run knows when it builds a layout that measures its columns: the user's date format and
// the custom font chosen for the run.
struct LayoutStyle {
    QString datePicture;              // "@d17", "@n4b"; empty: as designed
    std::optional<PageFont> font;     // every control prints in it
    QString family;                   // the designed face instead of the layout's own ("Small Fonts")
};

// Takes a finished page; false stops the report (the page could not be stored or printed).
using PageSink = std::function<bool(const PageDoc&)>;

// Lays bands on pages of one page layout (paper size and margins) and gives every finished page to
// the sink. A page is begun by the first band that prints on it, so a report that prints nothing
// gives no page.
class ReportWriter {
public:
    ReportWriter(const ReportLayout& layout, const QPageLayout& page, QDate reportDate, PageSink sink);
    ~ReportWriter();
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;

    // The detail band for one record (group headings first where their values change).
    bool printDetail(const QVariantList& values);
    // Any band of the layout (or of the caller's), on the current page or on a new one when it does
    // not fit; `keepWith` more mils must fit below it on the same page.
    bool printBand(const ReportBand& band, const QVariantList& values, Mils keepWith = 0);
    // The closing band (when it has height) and the last page. Nothing more prints after it.
    bool finish(const QVariantList& values = {});

    int pagesDone() const { return pagesDone_; }
    // Mils left for bands on the current page (a whole page's room when no page is begun), and
    // the room of a whole page between its header and footer.
    Mils spaceLeft() const;
    Mils pageRoom() const;
    bool failed() const { return failed_; }
    // The page's printable area in mils (page coordinates).
    QRect area() const { return area_; }

    // The text as it fits a control of that width and height in that font: cut, or wrapped and cut
    // (exposed for tests).
    // A whole number through a number or pattern picture; where the value has more digits than
    // the picture has places, the picture is widened instead of showing "#" marks.
    static QString wholeNumber(const Picture& picture, qint64 value);

    static QString fitText(const QString& text, const QFontMetricsF& metrics, double width, double height,
                           bool wrap);

private:
    bool beginPage();
    bool endPage();
    void place(const ReportBand& band, const QVariantList& values, int y);
    QString valueText(const ReportControl& c, const QVariantList& values) const;
    const QFontMetricsF& metrics(int font);

    const ReportLayout& layout_;
    QDate date_;
    PageSink sink_;
    QSize pageSize_;
    QRect area_;
    std::unique_ptr<PageDoc> page_;
    QList<int> pageFonts_;              // layout font index -> page font index
    QList<std::shared_ptr<QFontMetricsF>> metrics_;
    QList<QVariant> lastBreak_;
    bool breaksStarted_ = false;
    int y_ = 0;
    int bottom_ = 0;
    int pagesDone_ = 0;
    bool failed_ = false;
    bool finished_ = false;
};

} // namespace td

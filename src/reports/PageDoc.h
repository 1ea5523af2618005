#pragma once
// One finished page of a report or label print as a display list: texts, lines, boxes and pictures
// placed in thousandths of an inch from the page's top left corner. A page is kept on disk in a small
// text file of its own (one item a line, UTF-8), so a long report never holds its pages in memory and
// every text stays plain characters in the file: the page-of-pages marker "~!@#$" can be found there
// and overwritten in place. The same page is drawn with QPainter on the screen, the printer or a PDF,
// and can be exported as SVG, PNG or PDF.
//
// The file:
//   TDPAGE 1
//   SIZE <width> <height>
//   FONT <index> <points*100> <weight> <italic 0|1> <underline 0|1> <#rrggbb> <family>
//   TEXT <x> <y> <w> <h> <font> <flags> <#rrggbb> <text>
//   LINE <x1> <y1> <x2> <y2> <pen width> <#rrggbb>
//   BOX  <x> <y> <w> <h> <pen width> <#rrggbb line> <#rrggbb fill or ->
//   IMAGE <x> <y> <w> <h> <file>
// Texts escape "\" as "\\" and a line break as "\n"; nothing else is changed. A text's colour "-"
// takes its font's colour.

#include <QColor>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

class QFont;
class QPainter;
class QRectF;

namespace td {

// Thousandths of an inch.
using Mils = int;

struct PageFont {
    QString family;
    double points = 10;
    int weight = 400; // QFont::Weight values: 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    QColor color = Qt::black;

    bool operator==(const PageFont& o) const
    {
        return family == o.family && points == o.points && weight == o.weight && italic == o.italic
            && underline == o.underline && color == o.color;
    }
};

struct PageItem {
    enum Kind { Text, Line, Box, Image };
    // How a text that does not fit its rectangle is handled: cut at the rectangle (one line), or
    // wrapped at word boundaries and then cut at the rectangle's bottom.
    enum TextFlag { AlignLeft = 0x1, AlignRight = 0x2, AlignHCenter = 0x4, Wrap = 0x100 };

    Kind kind = Text;
    QRect rect; // a line runs from rect.topLeft() to rect.bottomRight() as (x, y, x + w, y + h)
    int font = 0;
    int flags = AlignLeft;
    int penWidth = 10;
    QColor color; // invalid: the font's colour (texts) or black
    QColor fill; // boxes; invalid: no fill
    QString text; // the text, or the picture's file name

    bool operator==(const PageItem& o) const
    {
        return kind == o.kind && rect == o.rect && font == o.font && flags == o.flags
            && penWidth == o.penWidth && color == o.color && fill == o.fill && text == o.text;
    }
};

struct PageDoc {
    QSize size { 8500, 11000 }; // in mils; US Letter portrait unless the printer says otherwise
    QList<PageFont> fonts;
    QList<PageItem> items;

    // The index of `font` in fonts, added if it is new.
    int fontIndex(const PageFont& font);
    void addText(const QRect& rect, int font, const QString& text, int flags = PageItem::AlignLeft,
                 const QColor& color = QColor());
    void addLine(const QPoint& from, const QPoint& to, int penWidth = 10, const QColor& color = Qt::black);
    void addBox(const QRect& rect, int penWidth = 10, const QColor& color = Qt::black, const QColor& fill = QColor());
    void addImage(const QRect& rect, const QString& file);
    // Every text of the page in order, one a line (tests and searches).
    QString plainText() const;
};

bool writePageFile(const QString& path, const PageDoc& page, QString* error = nullptr);
bool readPageFile(const QString& path, PageDoc& page, QString* error = nullptr);

// Draws the page scaled into `target` (device coordinates of the painter), keeping the aspect.
void renderPage(const PageDoc& page, QPainter& painter, const QRectF& target);
// The page as a file of the kind its suffix names: ".svg", ".png" (at `dpi`) or ".pdf". False with
// a reason when the suffix is none of these or the file cannot be written.
bool exportPage(const PageDoc& page, const QString& path, QString* error = nullptr, int dpi = 150);

// The QFont a page font stands for, sized in mils (a painter scaled to mils draws it at its points);
// "Small Fonts" is a small installed sans-serif face. Ligatures are off.
QFont qfontFor(const PageFont& font);

} // namespace td

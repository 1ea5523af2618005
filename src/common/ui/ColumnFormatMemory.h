#pragma once
// A list-format string applied to a table view's header and read back from it: column widths (in
// dialog units, a quarter of the average character width, so a layout keeps its look under another
// font) and column order. The model's columns are those of the list's designed format; a moved
// column is written with its field number ("#3#") so that the order comes back.

#include "common/ColumnFormatStore.h"

#include <QString>

class QFont;
class QHeaderView;

namespace td {

class Picture;

// Dialog units of the header's font to pixels and back.
int dialogUnitsToPixels(const QHeaderView* header, int units);
int pixelsToDialogUnits(const QHeaderView* header, int pixels);

// Pixels a cell needs to show the widest text `picture` can give in `font` (widest digit for every
// digit, every month and weekday name of dates); for text pictures of up to kFullTextChars their
// size in letters of mean width. 0 for longer text pictures and plain text.
inline constexpr int kFullTextChars = 20;
int pictureTextWidth(const Picture& picture, const QFont& font);
// Widens every column of a paged list's view that is narrower than its picture's text (with the
// cell's margins); wider columns are left as they are.
void widenColumnsToPictures(QHeaderView* header);

// Sets widths and order from `format`, then widens what is too narrow for its values (see
// widenColumnsToPictures); a format that does not read leaves the header as it is.
void applyColumnFormat(QHeaderView* header, const QString& format);
// The header's layout as a list format: the designed columns in their shown order with their shown
// widths; everything else (headers, pictures, flags) as designed.
QString currentColumnFormat(const QHeaderView* header, const QString& designed);

// The remembered layout of one list: restore() when it opens, save() when it closes.
class ColumnFormatMemory {
public:
    ColumnFormatMemory(QHeaderView* header, ColumnFormatKeys keys, QString designed);

    // Reads the keys (POSITION.INI in the working directory) and applies the format to open with.
    void restore();
    void save() const;
    QString designed() const { return designed_; }

private:
    QHeaderView* header_;
    ColumnFormatKeys keys_;
    QString designed_;
};

} // namespace td

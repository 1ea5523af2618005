#pragma once
// The changes the reformat window makes to an explorer list's columns: moving a shown column left
// or right, hiding one, showing a hidden one at the end, and each column setting (header, offsets,
// justification, width, the fixed, underline, border and resize flags). Every change gives the new
// list format at once.

#include "explorer/ExplorerColumns.h"

namespace td {

class ExplorerReformat {
public:
    ExplorerReformat(ExplorerKind kind, const QList<ShownColumn>& shown);

    ExplorerKind kind() const { return kind_; }
    const QList<ShownColumn>& shown() const { return shown_; }
    // The columns of the table not shown, in table order.
    QList<int> hidden() const;
    QString format() const { return formatOf(shown_); }

    // Each returns the place the column now has (in the shown list, or -1 when it went hidden), or
    // -1 and changes nothing when the move is not possible.
    int moveLeft(int place);
    int moveRight(int place);
    // Hides the column at `place`; the last shown column stays (a list shows at least one).
    bool hide(int place);
    // Shows a hidden column (of the table) at the end, in its designed format.
    int show(int column);
    // Back to the designed columns.
    void reset();
    // One column's settings back to its designed ones; its place stays.
    void resetColumn(int place);

    enum Flag { Fixed, Underline, Border, Resize };
    bool flag(int place, Flag f) const;
    void setFlag(int place, Flag f, bool on);
    void setHeader(int place, const QString& header);
    void setWidth(int place, int width);
    // 'L', 'C' or 'R'.
    void setJustification(int place, QChar j);
    void setHeaderJustification(int place, QChar j);
    void setOffset(int place, int offset);
    void setHeaderOffset(int place, int offset);

private:
    ListColumn* at(int place);

    ExplorerKind kind_;
    QList<ShownColumn> shown_;
};

} // namespace td

#pragma once
// What the page preview decides without widgets: the zoom entries and their steps, and which
// pages a print choice keeps.

#include <QList>
#include <QStringList>

namespace td {

class PageList;

// "Width" (the page fits the window's width), then 25% to 200% in steps of 25.
QStringList zoomEntries();
inline constexpr int kZoomWidth = 0;
// The percentage of an entry; 0 for "Width".
int zoomPercent(int entry);
// One step in (+1) or out (-1) from `entry`. From "Width" the step starts at the percentage
// nearest to `widthPercent`, the size the width fit shows. Out stops at 25%, in at the last entry.
int zoomStep(int entry, int direction, double widthPercent);

enum class PrintChoice { All, Marked, Unmarked, Range };

struct PrintRange {
    PrintChoice choice = PrintChoice::All;
    int from = 1; // 1-based, both included
    int to = 1;
};

// Whether the page at `index` (0-based), marked or not, is among the chosen ones.
bool pageChosen(const PrintRange& range, int index, bool marked);
// The indexes of the chosen pages of `count`, in order.
QList<int> chosenPages(const PrintRange& range, const QList<bool>& marks, int count);
// Removes every page not chosen from the list, deleting its file; "All" keeps the list as it is.
void keepChosenPages(PageList& pages, const PrintRange& range, const QList<bool>& marks);

} // namespace td

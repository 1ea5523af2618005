#include "reports/PreviewChoices.h"

#include "reports/PageList.h"

#include <cmath>

namespace td {

namespace {
constexpr int kZoomStepPercent = 25;
constexpr int kZoomLastPercent = 200;
constexpr int kZoomLastEntry = kZoomLastPercent / kZoomStepPercent;
} // namespace

QStringList zoomEntries()
{
    QStringList out { QStringLiteral("Width") };
    for (int p = kZoomStepPercent; p <= kZoomLastPercent; p += kZoomStepPercent)
        out << QString::number(p) + QLatin1Char('%');
    return out;
}

int zoomPercent(int entry)
{
    return entry <= kZoomWidth ? 0 : qMin(entry, kZoomLastEntry) * kZoomStepPercent;
}

int zoomStep(int entry, int direction, double widthPercent)
{
    if (entry == kZoomWidth)
        entry = qBound(1, int(std::lround(widthPercent / kZoomStepPercent)), kZoomLastEntry);
    return qBound(1, entry + (direction > 0 ? 1 : -1), kZoomLastEntry);
}

bool pageChosen(const PrintRange& range, int index, bool marked)
{
    switch (range.choice) {
    case PrintChoice::All:
        return true;
    case PrintChoice::Marked:
        return marked;
    case PrintChoice::Unmarked:
        return !marked;
    case PrintChoice::Range:
        return index + 1 >= range.from && index + 1 <= range.to;
    }
    return true;
}

QList<int> chosenPages(const PrintRange& range, const QList<bool>& marks, int count)
{
    QList<int> out;
    for (int i = 0; i < count; ++i)
        if (pageChosen(range, i, marks.value(i)))
            out << i;
    return out;
}

void keepChosenPages(PageList& pages, const PrintRange& range, const QList<bool>& marks)
{
    if (range.choice == PrintChoice::All)
        return;
    pages.retain([&](int i) { return pageChosen(range, i, marks.value(i)); });
}

} // namespace td

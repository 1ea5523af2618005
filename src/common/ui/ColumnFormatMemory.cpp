#include "common/ui/ColumnFormatMemory.h"

#include "core/ConfigPaths.h"
#include "core/ListFormat.h"

#include <QFontMetrics>
#include <QHeaderView>

namespace td {

namespace {

int averageCharWidth(const QHeaderView* header)
{
    return qMax(1, QFontMetrics(header->font()).averageCharWidth());
}

} // namespace

int dialogUnitsToPixels(const QHeaderView* header, int units)
{
    return (units * averageCharWidth(header) + 2) / 4;
}

int pixelsToDialogUnits(const QHeaderView* header, int pixels)
{
    const int w = averageCharWidth(header);
    return (pixels * 4 + w / 2) / w;
}

void applyColumnFormat(QHeaderView* header, const QString& format)
{
    const auto f = ListFormat::parse(format);
    if (!f || !header)
        return;
    const int count = header->count();
    // The logical column of each shown place; a column named twice or out of range spoils the format.
    QList<int> logical;
    for (int i = 0; i < f->columns.size(); ++i) {
        const int n = f->columns.at(i).fieldNumber > 0 ? f->columns.at(i).fieldNumber - 1 : i;
        if (n >= count || logical.contains(n))
            return;
        logical << n;
    }
    for (int place = 0; place < logical.size(); ++place) {
        const int col = logical.at(place);
        const int from = header->visualIndex(col);
        if (from != place)
            header->moveSection(from, place);
        const int width = f->columns.at(place).width;
        if (width > 0)
            header->resizeSection(col, dialogUnitsToPixels(header, width));
    }
}

QString currentColumnFormat(const QHeaderView* header, const QString& designed)
{
    auto f = ListFormat::parse(designed);
    if (!f || !header)
        return designed;
    ListFormat out;
    const int count = qMin(int(f->columns.size()), header->count());
    for (int place = 0; place < count; ++place) {
        const int col = header->logicalIndex(place);
        if (col < 0 || col >= f->columns.size())
            return designed;
        ListColumn c = f->columns.at(col);
        c.width = pixelsToDialogUnits(header, header->sectionSize(col));
        c.fieldNumber = col == place ? f->columns.at(col).fieldNumber : col + 1;
        out.columns << c;
    }
    for (int i = count; i < f->columns.size(); ++i)
        out.columns << f->columns.at(i);
    return out.toString();
}

ColumnFormatMemory::ColumnFormatMemory(QHeaderView* header, ColumnFormatKeys keys, QString designed)
    : header_(header)
    , keys_(std::move(keys))
    , designed_(std::move(designed))
{
}

void ColumnFormatMemory::restore()
{
    applyColumnFormat(header_, restoreColumnFormat(keys_, designed_, positionIniPath()));
}

void ColumnFormatMemory::save() const
{
    saveColumnFormat(keys_, currentColumnFormat(header_, designed_), positionIniPath());
}

} // namespace td

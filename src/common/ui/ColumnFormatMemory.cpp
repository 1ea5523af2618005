#include "common/ui/ColumnFormatMemory.h"

#include "common/ui/PagedTableModel.h"
#include "core/ConfigPaths.h"
#include "core/DayTime.h"
#include "core/ListFormat.h"
#include "core/Picture.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>

namespace td {

namespace {

int averageCharWidth(const QHeaderView* header)
{
    return qMax(1, QFontMetrics(header->font()).averageCharWidth());
}

// The text with every digit made the font's widest digit.
int widestDigitsAdvance(const QString& text, const QFontMetrics& fm, QChar widest)
{
    QString t = text;
    for (QChar& c : t)
        if (c.isDigit())
            c = widest;
    return fm.horizontalAdvance(t);
}

QChar widestDigit(const QFontMetrics& fm)
{
    QChar widest = QLatin1Char('0');
    for (char d = '1'; d <= '9'; ++d)
        if (fm.horizontalAdvance(QLatin1Char(d)) > fm.horizontalAdvance(widest))
            widest = QLatin1Char(d);
    return widest;
}

// The mean width of the letters, capitals and small: names mix both, and the font's average
// character (a small letter) falls short for them.
int letterWidth(const QFontMetrics& fm)
{
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (fm.horizontalAdvance(letters) + letters.size() - 1) / letters.size();
}

} // namespace

int pictureTextWidth(const Picture& picture, const QFont& font)
{
    const QFontMetrics fm(font);
    const QChar digit = widestDigit(fm);
    int widest = 0;
    auto consider
        = [&](qint64 value) { widest = qMax(widest, widestDigitsAdvance(picture.format(value), fm, digit)); };
    switch (picture.kind()) {
    case Picture::Kind::Text:
        // Short texts (media, category, file number) in full; a longer text (title, artist)
        // keeps the width it was given, since its full size would push the other columns away.
        if (picture.width() > kFullTextChars)
            return 0;
        return picture.width() * letterWidth(fm);
    case Picture::Kind::Number:
    case Picture::Kind::Pattern:
        return picture.width() * fm.horizontalAdvance(digit);
    case Picture::Kind::Date:
        // Every month name, and every weekday name (in the longest month).
        for (int month = 1; month <= 12; ++month)
            consider(dayFromYmd(2000, month, 28));
        for (int day = 24; day <= 30; ++day)
            consider(dayFromYmd(2000, 9, day));
        return widest;
    case Picture::Kind::Time:
        // Morning and afternoon, for pictures that show them.
        consider(timeFromParts(11, 59, 59, 99));
        consider(timeFromParts(23, 59, 59, 99));
        return widest;
    }
    return 0;
}

void widenColumnsToPictures(QHeaderView* header)
{
    const auto* model = header ? qobject_cast<const PagedTableModel*>(header->model()) : nullptr;
    if (!model)
        return;
    // The view's cells draw in the view's font, with a margin on each side and a grid line.
    const QWidget* view = header->parentWidget() ? header->parentWidget() : header;
    const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) + 2;
    const auto& columns = model->columns();
    for (int col = 0; col < columns.size() && col < header->count(); ++col) {
        const int text = pictureTextWidth(columns.at(col).picture, view->font());
        // A column shorter than its title would cut the title off.
        const int least = qMax(text > 0 ? text + margins : 0, header->sectionSizeHint(col));
        if (header->sectionSize(col) < least)
            header->resizeSection(col, least);
    }
}

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
    widenColumnsToPictures(header);
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
    widenColumnsToPictures(header_); // also where the remembered format did not read
}

void ColumnFormatMemory::save() const
{
    saveColumnFormat(keys_, currentColumnFormat(header_, designed_), positionIniPath());
}

} // namespace td

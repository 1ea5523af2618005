#include "reports/ReportColumns.h"

#include <QFontMetricsF>
#include <QRegularExpression>

namespace td {

namespace {

PageFont font(double points, bool bold)
{
    PageFont f;
    f.family = QStringLiteral("Arial");
    f.points = points;
    f.weight = bold ? 700 : 400;
    return f;
}

Mils lineHeight(double points) { return qRound(points * 1000.0 / 72.0 * 1.3); }

ReportControl text(const QRect& r, int fontIndex, const QString& words, int flags = PageItem::AlignLeft)
{
    ReportControl c;
    c.kind = ReportControl::Text;
    c.rect = r;
    c.font = fontIndex;
    c.text = words;
    c.flags = flags;
    return c;
}

int alignOf(const QString& picture)
{
    return picture.startsWith(QLatin1String("@n"), Qt::CaseInsensitive) ? PageItem::AlignRight : PageItem::AlignLeft;
}

ReportControl field(const QRect& r, int fontIndex, const QString& name, const QString& picture)
{
    ReportControl c;
    c.kind = ReportControl::Field;
    c.rect = r;
    c.font = fontIndex;
    c.field = name;
    c.picture = picture;
    c.flags = alignOf(picture);
    return c;
}

} // namespace

int pictureChars(const QString& picture)
{
    const Picture p(picture);
    if (p.isDate())
        return 10;
    if (p.isTime())
        return 8;
    if (p.width() > 0)
        return p.width();
    static const QRegularExpression digits(QStringLiteral("(\\d+)"));
    const auto m = digits.match(picture);
    return m.hasMatch() ? m.captured(1).toInt() : 10;
}

ReportLayout columnListing(const QString& title, Mils width, const QList<ReportColumn>& line1,
                           const QList<ReportColumn>& line2)
{
    ReportLayout l;
    l.title = title;
    const auto chars = [](const ReportColumn& c) { return qMax(pictureChars(c.picture), int(c.heading.size())); };
    int total = 0;
    for (const ReportColumn& c : line1)
        total += chars(c) + 1;
    total = qMax(1, total - 1);
    const double charW = double(width) / total;
    // The detail size at which a digit takes one character's share of the width, so that numbers,
    // dates and times always fit their columns.
    const double digit10 = QFontMetricsF(qfontFor(font(10, false))).horizontalAdvance(QLatin1Char('0'));
    const double points = qBound(5.0, digit10 > 0 ? 10.0 * charW / digit10 : 8.0, 9.0);
    l.fonts = { font(14, true), font(points, true), font(points, false), font(8, false) };
    enum { Title, Heading, Detail, Footer };
    const Mils lineH = lineHeight(points);

    QList<QRect> cols1;
    double x = 0;
    for (const ReportColumn& c : line1) {
        const double w = chars(c) * charW;
        cols1 << QRect(qRound(x), 0, qRound(w), lineH);
        x += w + charW;
    }
    QList<int> x2;
    for (int i = 0; i < line2.size(); ++i) {
        const ReportColumn& c = line2.at(i);
        if (c.under >= 0 && c.under < cols1.size())
            x2 << cols1.at(c.under).x();
        else if (i > 0)
            x2 << x2.at(i - 1) + qRound(chars(line2.at(i - 1)) * charW + charW);
        else
            x2 << 0;
    }
    QList<QRect> cols2;
    for (int i = 0; i < line2.size(); ++i) {
        const int end = i + 1 < line2.size() ? x2.at(i + 1) - qRound(charW) : width;
        const int w = qMin(qRound(chars(line2.at(i)) * charW), end - x2.at(i));
        cols2 << QRect(x2.at(i), lineH, qMax(0, w), lineH);
    }

    // Page header: the title, the headings of both lines and a rule.
    const Mils titleH = lineHeight(14);
    l.pageHeader.controls << text(QRect(0, 0, width, titleH), Title, title, PageItem::AlignHCenter);
    const Mils headTop = titleH + 60;
    for (int i = 0; i < line1.size(); ++i) {
        const QRect r = cols1.at(i).translated(0, headTop);
        l.pageHeader.controls << text(r, Heading, line1.at(i).heading, alignOf(line1.at(i).picture));
    }
    for (int i = 0; i < line2.size(); ++i) {
        const QRect r = cols2.at(i).translated(0, headTop);
        l.pageHeader.controls << text(r, Heading, line2.at(i).heading, alignOf(line2.at(i).picture));
    }
    const Mils rule = headTop + lineH * (line2.isEmpty() ? 1 : 2) + 20;
    ReportControl line;
    line.kind = ReportControl::Line;
    line.rect = QRect(0, rule, width, 0);
    line.penWidth = 10;
    l.pageHeader.controls << line;
    l.pageHeader.height = rule + 60;

    for (int i = 0; i < line1.size(); ++i)
        l.detail.controls << field(cols1.at(i), Detail, line1.at(i).field, line1.at(i).picture);
    for (int i = 0; i < line2.size(); ++i)
        l.detail.controls << field(cols2.at(i), Detail, line2.at(i).field, line2.at(i).picture);
    l.detail.height = line2.isEmpty() ? lineH : 2 * lineH + lineH / 3;

    const Mils footH = lineHeight(8);
    l.pageFooter.controls << field(QRect(0, footH / 2, 2500, footH), Footer, QStringLiteral("=date"), QStringLiteral("@d4"));
    ReportControl page = field(QRect(width - 2000, footH / 2, 2000, footH), Footer, QStringLiteral("=page"),
                               QStringLiteral("@pPage <<<#p"));
    page.flags = PageItem::AlignRight;
    l.pageFooter.controls << page;
    l.pageFooter.height = footH + footH / 2;
    return l;
}

} // namespace td

#include "reports/ReportColumns.h"

#include "core/DayTime.h"

#include <QFontMetricsF>
#include <QtMath>

namespace td {

namespace {

enum { Title, Heading, Detail, Footer };

PageFont font(double points, bool bold, const QString& family = QString())
{
    PageFont f;
    f.family = family.isEmpty() ? QStringLiteral("Arial") : family;
    f.points = points;
    f.weight = bold ? 700 : 400;
    return f;
}

// A line of type: 1.3 times the size, and never less than the face's own line height.
Mils lineHeight(const PageFont& f)
{
    const double face = QFontMetricsF(qfontFor(f)).height() * 1.1;
    return qCeil(qMax(f.points * 1000.0 / 72.0 * 1.3, face));
}

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

bool isDatePicture(const QString& picture)
{
    return picture.size() > 1 && picture.at(0) == QLatin1Char('@')
        && (picture.at(1) == QLatin1Char('d') || picture.at(1) == QLatin1Char('D'));
}

bool isNumberPicture(const QString& picture)
{
    return picture.startsWith(QLatin1String("@n"), Qt::CaseInsensitive)
        || picture.startsWith(QLatin1String("@p"), Qt::CaseInsensitive);
}

int alignOf(const QString& picture)
{
    return isNumberPicture(picture) ? PageItem::AlignRight : PageItem::AlignLeft;
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

// The widest digit of the face: every digit of a sample is measured as that one.
QChar widestDigit(const QFontMetricsF& m)
{
    QChar widest = QLatin1Char('0');
    double w = 0;
    for (char d = '0'; d <= '9'; ++d) {
        const double a = m.horizontalAdvance(QLatin1Char(d));
        if (a > w) {
            w = a;
            widest = QLatin1Char(d);
        }
    }
    return widest;
}

// The largest whole number a number picture shows without "#" marks (and its negative).
QStringList numberSamples(const Picture& p)
{
    QStringList out;
    for (int digits = qMin(18, qMax(1, p.width())); digits > 0; --digits) {
        const qint64 v = qint64(qPow(10, digits)) - 1;
        const QString s = p.format(v);
        if (!s.isEmpty() && s.count(QLatin1Char('#')) != s.size()) {
            out << s;
            if (p.allowsNegative())
                out << p.format(-v);
            break;
        }
    }
    return out;
}

QStringList samplesOf(const Picture& p)
{
    QStringList out;
    switch (p.kind()) {
    case Picture::Kind::Text:
        break;
    case Picture::Kind::Number:
        out = numberSamples(p);
        break;
    case Picture::Kind::Pattern: {
        const QString t = p.text();
        const qsizetype places = t.count(QLatin1Char('<')) + t.count(QLatin1Char('#'));
        out << p.format(qint64(qPow(10, qMin<qsizetype>(18, places))) - 1);
        break;
    }
    case Picture::Kind::Time:
        // Morning and afternoon, for pictures that show AM and PM.
        for (int h : { 11, 23 })
            out << p.format(qint64(((h * 60 + 59) * 60 + 59)) * 100 + 1);
        break;
    case Picture::Kind::Date:
        // Every month, with every weekday, at two-digit days.
        for (int month = 1; month <= 12; ++month)
            for (int day = 22; day <= 28; ++day)
                out << p.format(dayFromDate(QDate(2000, month, day)));
        break;
    }
    return out;
}

struct Column {
    const ReportColumn* def = nullptr;
    QString picture;    // after the user's date format
    bool fixed = false; // shows whole: numbers, dates, times and whole texts
    double need = 0;    // fixed: the widest value or the heading; texts: the heading
    double chars = 1;
};

struct Plan {
    QList<double> x1, w1, x2, w2;
    double perChar = 0;     // the width a text character gets
    bool fits = true;
};

Plan plan(const QList<Column>& l1, const QList<Column>& l2, double width, double gap)
{
    Plan p;
    QList<double> extra(l1.size(), 0.0);
    for (int round = 0; round < 2 * int(l2.size()) + 2; ++round) {
        // Line 1: fixed columns take their need; texts share the rest, each at least its minimum.
        p = Plan();
        p.w1.resize(l1.size());
        double room = width - gap * qMax(0, int(l1.size()) - 1);
        QList<int> active;
        double share = 1e9; // no text column: any text would have room
        for (int i = 0; i < l1.size(); ++i) {
            if (l1.at(i).fixed) {
                p.w1[i] = l1.at(i).need + extra.at(i);
                room -= p.w1.at(i);
            } else {
                active << i;
            }
        }
        for (bool clamped = true; clamped && !active.isEmpty();) {
            clamped = false;
            double chars = 0;
            for (int i : active)
                chars += l1.at(i).chars;
            share = room / chars;
            for (qsizetype k = 0; k < active.size(); ++k) {
                const int i = active.at(k);
                const double least = l1.at(i).need + extra.at(i);
                if (share * l1.at(i).chars < least) {
                    p.w1[i] = least;
                    room -= least;
                    active.removeAt(k);
                    clamped = true;
                    break;
                }
            }
            if (!clamped) {
                for (int i : active)
                    p.w1[i] = share * l1.at(i).chars;
                room = 0;
            }
        }
        p.perChar = share;
        p.fits = room >= -0.5;
        double x = 0;
        for (int i = 0; i < l1.size(); ++i) {
            p.x1 << x;
            x += p.w1.at(i) + gap;
        }
        // Line 2: under a line-1 column, or right of the one before.
        for (int j = 0; j < l2.size(); ++j) {
            const int under = l2.at(j).def->under;
            if (under >= 0 && under < l1.size())
                p.x2 << p.x1.at(under);
            else
                p.x2 << (j > 0 ? p.x2.at(j - 1) + l2.at(j - 1).need + gap : 0.0);
        }
        bool widened = false;
        for (int j = 0; j < l2.size(); ++j) {
            const double end = j + 1 < l2.size() ? p.x2.at(j + 1) - gap : width;
            const double lack = p.x2.at(j) + l2.at(j).need - end;
            p.w2 << (l2.at(j).fixed ? l2.at(j).need : qMax(l2.at(j).need, end - p.x2.at(j)));
            if (lack <= 0.5)
                continue;
            const int next = j + 1 < l2.size() ? l2.at(j + 1).def->under : -1;
            if (next > 0 && next < l1.size()) {
                // The line-1 column before the next one widens by what is missing.
                extra[next - 1] += lack;
                widened = true;
                break;
            }
            p.fits = false;
        }
        if (!widened)
            return p;
    }
    p.fits = false;
    return p;
}

} // namespace

QString noRoomText()
{
    return QStringLiteral("Some columns do not fit across this page at this type size.");
}

double widestValue(const QString& picture, const QFontMetricsF& metrics)
{
    const QChar digit = widestDigit(metrics);
    double widest = 0;
    for (QString s : samplesOf(Picture(picture))) {
        for (QChar& c : s)
            if (c.isDigit())
                c = digit;
        widest = qMax(widest, metrics.horizontalAdvance(s));
    }
    return widest;
}

ReportLayout columnListing(const QString& title, Mils width, const QList<ReportColumn>& line1,
                           const QList<ReportColumn>& line2, const LayoutStyle& style)
{
    const bool custom = style.font.has_value();
    const QList<double> sizes = custom ? QList<double> { style.font->points } : QList<double> { 8.0, 7.5, kSmallestPoints };
    ReportLayout l;
    l.title = title;
    QList<Column> c1;
    QList<Column> c2;
    Plan chosen;
    for (double points : sizes) {
        const PageFont detail = custom ? *style.font : font(points, false, style.family);
        const PageFont heading = custom ? *style.font : font(points, true, style.family);
        const QFontMetricsF dm(qfontFor(detail));
        const QFontMetricsF hm(qfontFor(heading));
        // A little over the measure, so that no renderer's rounding cuts a last digit.
        const auto padded = [](double w) { return w > 0 ? w * 1.03 + 8 : 0.0; };
        const auto columns = [&](const QList<ReportColumn>& defs) {
            QList<Column> out;
            for (const ReportColumn& d : defs) {
                Column c;
                c.def = &d;
                c.picture = !style.datePicture.isEmpty() && isDatePicture(d.picture) ? style.datePicture : d.picture;
                const Picture pic(c.picture);
                c.fixed = !pic.isText() || d.whole;
                double value = widestValue(c.picture, dm);
                if (d.whole && pic.isText())
                    value = dm.horizontalAdvance(QString(qMax(1, pic.width()), widestDigit(dm)));
                c.need = padded(qMax(c.fixed ? value : 0.0, hm.horizontalAdvance(d.heading)));
                c.chars = qMax(1, pic.width() > 0 ? pic.width() : int(d.heading.size()));
                out << c;
            }
            return out;
        };
        c1 = columns(line1);
        c2 = columns(line2);
        const double gap = qMax(30.0, dm.averageCharWidth());
        chosen = plan(c1, c2, width, gap);
        l.fonts = { custom ? *style.font : font(14, true, style.family), heading, detail,
                    custom ? *style.font : font(8, false, style.family) };
        // Enough room when a text character gets most of an average character's width.
        if (chosen.fits && chosen.perChar >= 0.85 * dm.averageCharWidth())
            break;
    }
    // A long title (a category's name) takes a smaller type rather than being cut.
    while (!custom && l.fonts.at(Title).points > 8
           && QFontMetricsF(qfontFor(l.fonts.at(Title))).horizontalAdvance(title) > width)
        l.fonts[Title].points -= 1;
    const Mils lineH = qMax(lineHeight(l.fonts.at(Detail)), lineHeight(l.fonts.at(Heading)));
    const auto rect = [lineH](double x, double w, Mils top) { return QRect(qRound(x), top, qMax(0, qFloor(w)), lineH); };

    // Page header: the title, the headings of both lines and a rule.
    const Mils titleH = lineHeight(l.fonts.at(Title));
    l.pageHeader.controls << text(QRect(0, 0, width, titleH), Title, title, PageItem::AlignHCenter);
    Mils headTop = titleH + 60;
    if (!chosen.fits) {
        l.pageHeader.controls << text(QRect(0, headTop, width, lineH), Heading, noRoomText());
        headTop += lineH + 40;
    }
    for (int i = 0; i < c1.size(); ++i)
        l.pageHeader.controls << text(rect(chosen.x1.at(i), chosen.w1.at(i), headTop), Heading,
                                      c1.at(i).def->heading, alignOf(c1.at(i).picture));
    for (int i = 0; i < c2.size(); ++i)
        l.pageHeader.controls << text(rect(chosen.x2.at(i), chosen.w2.at(i), headTop + lineH), Heading,
                                      c2.at(i).def->heading, alignOf(c2.at(i).picture));
    const Mils rule = headTop + lineH * (line2.isEmpty() ? 1 : 2) + 20;
    ReportControl line;
    line.kind = ReportControl::Line;
    line.rect = QRect(0, rule, width, 0);
    line.penWidth = 10;
    l.pageHeader.controls << line;
    l.pageHeader.height = rule + 60;

    for (int i = 0; i < c1.size(); ++i)
        l.detail.controls << field(rect(chosen.x1.at(i), chosen.w1.at(i), 0), Detail, c1.at(i).def->field,
                                   c1.at(i).def->picture);
    for (int i = 0; i < c2.size(); ++i)
        l.detail.controls << field(rect(chosen.x2.at(i), chosen.w2.at(i), lineH), Detail, c2.at(i).def->field,
                                   c2.at(i).def->picture);
    l.detail.height = line2.isEmpty() ? lineH : 2 * lineH + lineH / 3;

    const Mils footH = lineHeight(l.fonts.at(Footer));
    l.pageFooter.controls << field(QRect(0, footH / 2, width / 2, footH), Footer, QStringLiteral("=date"),
                                   QStringLiteral("@d4"));
    ReportControl page = field(QRect(width / 2, footH / 2, width - width / 2, footH), Footer, QStringLiteral("=page"),
                               QStringLiteral("@pPage <<<#p"));
    page.flags = PageItem::AlignRight;
    l.pageFooter.controls << page;
    l.pageFooter.height = footH + footH / 2;
    return l;
}

} // namespace td

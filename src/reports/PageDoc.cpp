#include "reports/PageDoc.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QTextStream>

namespace td {

namespace {

QString colorText(const QColor& c) { return c.isValid() ? c.name(QColor::HexRgb) : QStringLiteral("-"); }

QColor colorFrom(const QString& text) { return text == QLatin1String("-") ? QColor() : QColor(text); }

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            continue;
        else
            out += c;
    }
    return out;
}

QString unescaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar n = text.at(++i);
            out += n == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : n;
        } else {
            out += c;
        }
    }
    return out;
}

// Splits off `count` space-separated fields; the rest of the line (after one space) is the tail.
bool split(QStringView line, int count, QList<QStringView>& fields, QStringView& tail)
{
    fields.clear();
    qsizetype at = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype space = line.indexOf(QLatin1Char(' '), at);
        if (space < 0) {
            if (i + 1 == count) {
                fields << line.mid(at);
                tail = QStringView();
                return true;
            }
            return false;
        }
        fields << line.mid(at, space - at);
        at = space + 1;
    }
    tail = line.mid(at);
    return true;
}

bool toInts(const QList<QStringView>& fields, int from, int count, int* out)
{
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        out[i] = fields.at(from + i).toInt(&ok);
        if (!ok)
            return false;
    }
    return true;
}

int qtAlign(int flags)
{
    if (flags & PageItem::AlignRight)
        return Qt::AlignRight;
    if (flags & PageItem::AlignHCenter)
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

} // namespace

int PageDoc::fontIndex(const PageFont& font)
{
    const int at = int(fonts.indexOf(font));
    if (at >= 0)
        return at;
    fonts << font;
    return int(fonts.size()) - 1;
}

void PageDoc::addText(const QRect& rect, int font, const QString& text, int flags, const QColor& color)
{
    PageItem item;
    item.kind = PageItem::Text;
    item.rect = rect;
    item.font = font;
    item.flags = flags;
    item.color = color;
    item.text = text;
    items << item;
}

void PageDoc::addLine(const QPoint& from, const QPoint& to, int penWidth, const QColor& color)
{
    PageItem item;
    item.kind = PageItem::Line;
    item.rect = QRect(from.x(), from.y(), to.x() - from.x(), to.y() - from.y());
    item.penWidth = penWidth;
    item.color = color;
    items << item;
}

void PageDoc::addBox(const QRect& rect, int penWidth, const QColor& color, const QColor& fill)
{
    PageItem item;
    item.kind = PageItem::Box;
    item.rect = rect;
    item.penWidth = penWidth;
    item.color = color;
    item.fill = fill;
    items << item;
}

void PageDoc::addImage(const QRect& rect, const QString& file)
{
    PageItem item;
    item.kind = PageItem::Image;
    item.rect = rect;
    item.text = file;
    items << item;
}

QString PageDoc::plainText() const
{
    QString out;
    for (const PageItem& item : items) {
        if (item.kind != PageItem::Text)
            continue;
        out += item.text;
        out += QLatin1Char('\n');
    }
    return out;
}

bool writePageFile(const QString& path, const PageDoc& page, QString* error)
{
    // Page files live in the run's private temporary folder and mean nothing after a crash: they
    // are written plainly, not synced to disk page by page (that alone took most of a long run).
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QString text;
    text.reserve(64 * int(page.items.size()) + 256);
    text += QStringLiteral("TDPAGE 1\nSIZE %1 %2\n").arg(page.size.width()).arg(page.size.height());
    for (int i = 0; i < page.fonts.size(); ++i) {
        const PageFont& f = page.fonts.at(i);
        text += QStringLiteral("FONT %1 %2 %3 %4 %5 %6 %7\n")
                    .arg(i)
                    .arg(qRound(f.points * 100))
                    .arg(f.weight)
                    .arg(f.italic ? 1 : 0)
                    .arg(f.underline ? 1 : 0)
                    .arg(colorText(f.color), escaped(f.family));
    }
    for (const PageItem& it : page.items) {
        const QRect& r = it.rect;
        switch (it.kind) {
        case PageItem::Text:
            text += QStringLiteral("TEXT %1 %2 %3 %4 %5 %6 %7 ")
                        .arg(r.x())
                        .arg(r.y())
                        .arg(r.width())
                        .arg(r.height())
                        .arg(it.font)
                        .arg(it.flags)
                        .arg(colorText(it.color));
            text += escaped(it.text);
            break;
        case PageItem::Line:
            text += QStringLiteral("LINE %1 %2 %3 %4 %5 %6")
                        .arg(r.x())
                        .arg(r.y())
                        .arg(r.x() + r.width())
                        .arg(r.y() + r.height())
                        .arg(it.penWidth)
                        .arg(colorText(it.color));
            break;
        case PageItem::Box:
            text += QStringLiteral("BOX %1 %2 %3 %4 %5 %6 %7")
                        .arg(r.x())
                        .arg(r.y())
                        .arg(r.width())
                        .arg(r.height())
                        .arg(it.penWidth)
                        .arg(colorText(it.color), colorText(it.fill));
            break;
        case PageItem::Image:
            text += QStringLiteral("IMAGE %1 %2 %3 %4 ").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
            text += escaped(it.text);
            break;
        }
        text += QLatin1Char('\n');
    }
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool readPageFile(const QString& path, PageDoc& page, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QString all = QString::fromUtf8(file.readAll());
    page = PageDoc();
    page.fonts.clear();
    bool header = false;
    QList<QStringView> f;
    QStringView tail;
    int n[8];
    for (QStringView line : QStringView(all).split(QLatin1Char('\n'))) {
        if (line.isEmpty())
            continue;
        if (!header) {
            if (line != QLatin1String("TDPAGE 1"))
                return fail(QStringLiteral("not a page file"));
            header = true;
            continue;
        }
        bool ok = false;
        if (line.startsWith(QLatin1String("SIZE "))) {
            ok = split(line, 3, f, tail) && toInts(f, 1, 2, n) && n[0] > 0 && n[1] > 0;
            if (ok)
                page.size = QSize(n[0], n[1]);
        } else if (line.startsWith(QLatin1String("FONT "))) {
            ok = split(line, 7, f, tail) && toInts(f, 1, 5, n) && n[0] == page.fonts.size();
            if (ok) {
                PageFont font;
                font.points = n[1] / 100.0;
                font.weight = n[2];
                font.italic = n[3] != 0;
                font.underline = n[4] != 0;
                font.color = colorFrom(f.at(6).toString());
                font.family = unescaped(tail);
                page.fonts << font;
            }
        } else if (line.startsWith(QLatin1String("TEXT "))) {
            ok = split(line, 8, f, tail) && toInts(f, 1, 6, n) && n[4] >= 0 && n[4] < page.fonts.size();
            if (ok)
                page.addText(QRect(n[0], n[1], n[2], n[3]), n[4], unescaped(tail), n[5], colorFrom(f.at(7).toString()));
        } else if (line.startsWith(QLatin1String("LINE "))) {
            ok = split(line, 7, f, tail) && toInts(f, 1, 5, n);
            if (ok)
                page.addLine(QPoint(n[0], n[1]), QPoint(n[2], n[3]), n[4], colorFrom(f.at(6).toString()));
        } else if (line.startsWith(QLatin1String("BOX "))) {
            ok = split(line, 8, f, tail) && toInts(f, 1, 5, n);
            if (ok)
                page.addBox(QRect(n[0], n[1], n[2], n[3]), n[4], colorFrom(f.at(6).toString()),
                            colorFrom(f.at(7).toString()));
        } else if (line.startsWith(QLatin1String("IMAGE "))) {
            ok = split(line, 5, f, tail) && toInts(f, 1, 4, n);
            if (ok)
                page.addImage(QRect(n[0], n[1], n[2], n[3]), unescaped(tail));
        }
        if (!ok)
            return fail(QStringLiteral("damaged page file: %1").arg(line.left(40).toString()));
    }
    if (!header)
        return fail(QStringLiteral("not a page file"));
    return true;
}

QFont qfontFor(const PageFont& font)
{
    QFont q;
    if (font.family.compare(QLatin1String("Small Fonts"), Qt::CaseInsensitive) == 0) {
        q.setFamily(QStringLiteral("DejaVu Sans Condensed"));
        q.setStyleHint(QFont::SansSerif);
    } else if (!font.family.isEmpty()) {
        q.setFamily(font.family);
    }
    q.setPixelSize(qMax(1, qRound(font.points * 1000.0 / 72.0)));
    q.setWeight(QFont::Weight(qBound(1, font.weight, 1000)));
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    // No ligatures (nor other optional shaping) in report text, so that a PDF reader finds "ff"
    // and "fi" as typed; scripts that need shaping are still shaped.
    q.setStyleStrategy(QFont::PreferNoShaping);
    return q;
}

void renderPage(const PageDoc& page, QPainter& painter, const QRectF& target)
{
    if (page.size.isEmpty() || target.isEmpty())
        return;
    const double scale = qMin(target.width() / page.size.width(), target.height() / page.size.height());
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    QList<QFont> fonts;
    fonts.reserve(page.fonts.size());
    for (const PageFont& f : page.fonts)
        fonts << qfontFor(f);
    for (const PageItem& it : page.items) {
        switch (it.kind) {
        case PageItem::Text: {
            if (it.font < 0 || it.font >= fonts.size())
                break;
            const PageFont& pf = page.fonts.at(it.font);
            painter.setFont(fonts.at(it.font));
            painter.setPen(it.color.isValid() ? it.color : pf.color);
            const int flags = qtAlign(it.flags)
                | ((it.flags & PageItem::Wrap) ? (Qt::AlignTop | Qt::TextWordWrap) : (Qt::AlignVCenter | Qt::TextSingleLine));
            painter.drawText(QRectF(it.rect), flags, it.text);
            break;
        }
        case PageItem::Line:
            painter.setPen(QPen(it.color.isValid() ? it.color : QColor(Qt::black), qMax(1, it.penWidth)));
            painter.drawLine(it.rect.topLeft(), QPoint(it.rect.x() + it.rect.width(), it.rect.y() + it.rect.height()));
            break;
        case PageItem::Box:
            if (it.penWidth > 0)
                painter.setPen(QPen(it.color.isValid() ? it.color : QColor(Qt::black), it.penWidth));
            else
                painter.setPen(Qt::NoPen);
            painter.setBrush(it.fill.isValid() ? QBrush(it.fill) : QBrush(Qt::NoBrush));
            painter.drawRect(it.rect);
            painter.setBrush(Qt::NoBrush);
            break;
        case PageItem::Image: {
            QImageReader reader(it.text);
            reader.setAutoTransform(true);
            const QImage image = reader.read();
            if (image.isNull())
                break;
            QSizeF fit = QSizeF(image.size()).scaled(QSizeF(it.rect.size()), Qt::KeepAspectRatio);
            painter.drawImage(QRectF(QPointF(it.rect.x(), it.rect.y()), fit), image);
            break;
        }
        }
    }
    painter.restore();
}

bool exportPage(const PageDoc& page, const QString& path, QString* error, int dpi)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setResolution(dpi);
        const QSize px(qRound(page.size.width() * dpi / 1000.0), qRound(page.size.height() * dpi / 1000.0));
        svg.setSize(px);
        svg.setViewBox(QRect(QPoint(0, 0), px));
        QPainter painter;
        if (!painter.begin(&svg))
            return fail(QStringLiteral("Could not write %1.").arg(path));
        renderPage(page, painter, QRectF(QPointF(0, 0), QSizeF(px)));
        painter.end();
        if (!QFileInfo::exists(path))
            return fail(QStringLiteral("Could not write %1.").arg(path));
        return true;
    }
    if (suffix == QLatin1String("png")) {
        QImage image(qRound(page.size.width() * dpi / 1000.0), qRound(page.size.height() * dpi / 1000.0),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        renderPage(page, painter, QRectF(image.rect()));
        painter.end();
        if (!image.save(path, "PNG"))
            return fail(QStringLiteral("Could not write %1.").arg(path));
        return true;
    }
    if (suffix == QLatin1String("pdf")) {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("Could not write %1: %2").arg(path, probe.errorString()));
        probe.close();
        QPdfWriter pdf(path);
        pdf.setResolution(1200);
        pdf.setPageSize(QPageSize(QSizeF(page.size.width() / 1000.0, page.size.height() / 1000.0), QPageSize::Inch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&pdf))
            return fail(QStringLiteral("Could not write %1.").arg(path));
        renderPage(page, painter, QRectF(0, 0, pdf.width(), pdf.height()));
        painter.end();
        return true;
    }
    return fail(QStringLiteral("A page can be saved as .svg, .png or .pdf."));
}

} // namespace td

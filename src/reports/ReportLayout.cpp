#include "reports/ReportLayout.h"

#include "core/DayTime.h"

#include <QFont>
#include <QRegularExpression>

namespace td {

namespace {

// The longest start of `text` that fits `width` (at least nothing).
QString cutToWidth(const QString& text, const QFontMetricsF& m, double width)
{
    if (text.isEmpty() || m.horizontalAdvance(text) <= width)
        return text;
    qsizetype lo = 0;
    qsizetype hi = text.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (m.horizontalAdvance(text.left(mid)) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    return text.left(lo);
}

bool isDatePicture(const QString& picture)
{
    return picture.size() > 1 && picture.at(0) == QLatin1Char('@')
        && (picture.at(1) == QLatin1Char('d') || picture.at(1) == QLatin1Char('D'));
}

} // namespace

QList<ReportBand*> ReportLayout::bands()
{
    QList<ReportBand*> out { &pageHeader, &detail };
    for (ReportBand& b : groupHeadings)
        out << &b;
    out << &closing << &pageFooter;
    return out;
}

void ReportLayout::bind(const std::function<int(const QString&)>& indexOf)
{
    const auto resolve = [&](const QString& name) {
        if (name.isEmpty())
            return -1;
        if (name == QLatin1String("=page"))
            return kPageValue;
        if (name == QLatin1String("=date"))
            return kDateValue;
        return indexOf(name);
    };
    for (ReportBand* b : bands()) {
        b->breakSource = resolve(b->breakField);
        for (ReportControl& c : b->controls) {
            c.source = c.kind == ReportControl::Field ? resolve(c.field) : -1;
            c.colorSource = resolve(c.colorField);
            c.parsed = Picture(c.picture);
            if (c.kind == ReportControl::Field && c.parsed.isDate())
                c.dateField = true;
        }
    }
}

void ReportLayout::useDatePicture(const QString& datePicture)
{
    if (datePicture.isEmpty())
        return;
    for (ReportBand* b : bands())
        for (ReportControl& c : b->controls)
            if (c.kind == ReportControl::Field && c.field != QLatin1String("=date") && isDatePicture(c.picture)) {
                c.picture = datePicture;
                c.parsed = Picture(datePicture);
                c.dateField = true;
            }
}

void ReportLayout::applyFont(const PageFont& font)
{
    if (fonts.isEmpty())
        return;
    const QFontMetricsF to(qfontFor(font));
    double tallest = 0;
    for (const PageFont& f : fonts)
        tallest = qMax(tallest, QFontMetricsF(qfontFor(f)).height());
    for (PageFont& f : fonts)
        f = font;
    if (tallest <= 0 || to.height() <= tallest)
        return;
    const double grow = to.height() / tallest;
    for (ReportBand* b : bands()) {
        b->height = qRound(b->height * grow);
        for (ReportControl& c : b->controls)
            c.rect = QRect(c.rect.x(), qRound(c.rect.y() * grow), c.rect.width(), qRound(c.rect.height() * grow));
    }
}

ReportWriter::ReportWriter(const ReportLayout& layout, const QPageLayout& page, QDate reportDate, PageSink sink)
    : layout_(layout)
    , date_(reportDate)
    , sink_(std::move(sink))
{
    const QRectF full = page.fullRect(QPageLayout::Inch);
    const QRectF paint = page.paintRect(QPageLayout::Inch);
    pageSize_ = QSize(qRound(full.width() * 1000), qRound(full.height() * 1000));
    area_ = QRect(qRound(paint.x() * 1000), qRound(paint.y() * 1000), qRound(paint.width() * 1000),
                  qRound(paint.height() * 1000));
    if (area_.isEmpty())
        area_ = QRect(QPoint(0, 0), pageSize_);
    metrics_.resize(layout_.fonts.size());
}

ReportWriter::~ReportWriter() = default;

const QFontMetricsF& ReportWriter::metrics(int font)
{
    auto& m = metrics_[font];
    if (!m)
        m = std::make_shared<QFontMetricsF>(qfontFor(layout_.fonts.at(font)));
    return *m;
}

QString ReportWriter::fitText(const QString& text, const QFontMetricsF& m, double width, double height, bool wrap)
{
    if (!wrap) {
        const qsizetype br = text.indexOf(QLatin1Char('\n'));
        return cutToWidth(br < 0 ? text : text.left(br), m, width);
    }
    const int maxLines = qMax(1, int(height / m.lineSpacing()));
    QStringList lines;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (const QString& para : paragraphs) {
        QString line;
        const QStringList words = para.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString word : words) {
            const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (m.horizontalAdvance(joined) <= width) {
                line = joined;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            // A word wider than the control is broken inside.
            while (m.horizontalAdvance(word) > width) {
                QString part = cutToWidth(word, m, width);
                if (part.isEmpty())
                    part = word.left(1);
                lines << part;
                word = word.mid(part.size());
            }
            line = word;
        }
        lines << line;
    }
    while (lines.size() > maxLines)
        lines.removeLast();
    return lines.join(QLatin1Char('\n'));
}

QString ReportWriter::wholeNumber(const Picture& picture, qint64 value)
{
    QString out = picture.format(value);
    if (!(picture.isNumber() || picture.isPattern()) || out.isEmpty() || out.count(QLatin1Char('#')) != out.size())
        return out;
    QString text = picture.text();
    if (picture.isPattern()) {
        // One more digit place in front of the first, until the number fits.
        qsizetype at = text.indexOf(QLatin1Char('<'), 2);
        if (at < 0)
            at = text.indexOf(QLatin1Char('#'), 2);
        for (int i = 0; at >= 0 && i < 20 && out.count(QLatin1Char('#')) == out.size(); ++i) {
            text.insert(at, QLatin1Char('<'));
            out = Picture(text).format(value);
        }
        return out;
    }
    static const QRegularExpression size(QStringLiteral("(\\d+)"));
    const auto m = size.match(text);
    if (!m.hasMatch())
        return QString::number(value);
    const int digits = int(QString::number(value).size()) + 1;
    text.replace(m.capturedStart(1), m.capturedLength(1), QString::number(m.captured(1).toInt() + digits));
    return Picture(text).format(value).trimmed();
}

Mils ReportWriter::spaceLeft() const
{
    return page_ ? bottom_ - y_ : pageRoom();
}

Mils ReportWriter::pageRoom() const
{
    return area_.height() - layout_.pageHeader.height - layout_.pageFooter.height;
}

QString ReportWriter::valueText(const ReportControl& c, const QVariantList& values) const
{
    if (c.source == kPageValue) // "Page   7": the blanks of unused digit places are not shown
        return wholeNumber(c.parsed, pagesDone_ + 1).simplified();
    if (c.source == kDateValue)
        return c.parsed.isDate() ? c.parsed.format(dayFromDate(date_)) : QLocale().toString(date_, QLocale::ShortFormat);
    if (c.source < 0 || c.source >= values.size())
        return QString();
    const QVariant& v = values.at(c.source);
    QString out;
    if (c.dateField || c.parsed.isDate())
        out = formatDateValue(c.parsed, v.toLongLong());
    else if ((c.parsed.isNumber() || c.parsed.isPattern()) && c.parsed.places() == 0
             && (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong))
        out = wholeNumber(c.parsed, v.toLongLong());
    else if (c.parsed.isValid())
        out = c.parsed.formatVariant(v);
    else
        out = v.toString();
    if (c.parsed.isNumber())
        out = out.trimmed();
    qsizetype end = out.size();
    while (end > 0 && out.at(end - 1) == QLatin1Char(' '))
        --end;
    out.truncate(end);
    return out;
}

void ReportWriter::place(const ReportBand& band, const QVariantList& values, int y)
{
    const int x0 = area_.x();
    for (const ReportControl& c : band.controls) {
        const QRect r = c.rect.translated(x0, y);
        QColor color = c.color;
        if (c.colorSource >= 0 && c.colorSource < values.size()) {
            const QVariant& v = values.at(c.colorSource);
            color = v.canConvert<QColor>() && v.typeId() == QMetaType::QColor ? v.value<QColor>() : QColor::fromRgb(QRgb(v.toUInt()));
        }
        switch (c.kind) {
        case ReportControl::Text:
        case ReportControl::Field: {
            if (c.font < 0 || c.font >= layout_.fonts.size())
                break;
            const QString raw = c.kind == ReportControl::Text ? c.text : valueText(c, values);
            if (raw.isEmpty())
                break;
            const bool wrap = c.flags & PageItem::Wrap;
            const QString shown = fitText(raw, metrics(c.font), r.width(), r.height(), wrap);
            if (shown.isEmpty())
                break;
            int& pf = pageFonts_[c.font];
            if (pf < 0)
                pf = page_->fontIndex(layout_.fonts.at(c.font));
            page_->addText(r, pf, shown, c.flags, color);
            break;
        }
        case ReportControl::Line:
            page_->addLine(r.topLeft(), QPoint(r.x() + r.width(), r.y() + r.height()), c.penWidth,
                           color.isValid() ? color : QColor(Qt::black));
            break;
        case ReportControl::Box:
            page_->addBox(r, c.penWidth, color.isValid() ? color : QColor(Qt::black), c.fill);
            break;
        case ReportControl::Image:
            page_->addImage(r, c.text);
            break;
        }
    }
}

bool ReportWriter::beginPage()
{
    page_ = std::make_unique<PageDoc>();
    page_->size = pageSize_;
    pageFonts_.fill(-1, layout_.fonts.size());
    y_ = area_.top();
    bottom_ = area_.bottom() + 1 - layout_.pageFooter.height;
    place(layout_.pageHeader, {}, y_);
    y_ += layout_.pageHeader.height;
    return true;
}

bool ReportWriter::endPage()
{
    if (!page_)
        return true;
    place(layout_.pageFooter, {}, bottom_);
    const bool ok = sink_ ? sink_(*page_) : true;
    page_.reset();
    ++pagesDone_;
    if (!ok)
        failed_ = true;
    return ok;
}

bool ReportWriter::printBand(const ReportBand& band, const QVariantList& values, Mils keepWith)
{
    if (failed_ || finished_)
        return false;
    if (!page_)
        beginPage();
    const int top = area_.top() + layout_.pageHeader.height;
    if (y_ + band.height + keepWith > bottom_ && y_ > top) {
        if (!endPage())
            return false;
        beginPage();
    }
    place(band, values, y_);
    y_ += band.height;
    return true;
}

bool ReportWriter::printDetail(const QVariantList& values)
{
    const int levels = int(layout_.groupHeadings.size());
    if (levels > 0) {
        int from = breaksStarted_ ? levels : 0;
        if (!breaksStarted_)
            lastBreak_.resize(levels);
        for (int i = 0; i < levels && breaksStarted_; ++i) {
            const int s = layout_.groupHeadings.at(i).breakSource;
            if (s >= 0 && s < values.size() && values.at(s) != lastBreak_.at(i)) {
                from = i;
                break;
            }
        }
        breaksStarted_ = true;
        Mils below = layout_.detail.height;
        for (int i = from; i < levels; ++i)
            below += layout_.groupHeadings.at(i).height;
        for (int i = from; i < levels; ++i) {
            const ReportBand& g = layout_.groupHeadings.at(i);
            below -= g.height;
            if (!printBand(g, values, below))
                return false;
            lastBreak_[i] = g.breakSource >= 0 && g.breakSource < values.size() ? values.at(g.breakSource) : QVariant();
        }
    }
    return printBand(layout_.detail, values);
}

bool ReportWriter::finish(const QVariantList& values)
{
    if (finished_)
        return !failed_;
    bool ok = !failed_;
    if (ok && page_ && layout_.closing.height > 0)
        ok = printBand(layout_.closing, values);
    finished_ = true;
    return endPage() && ok;
}

} // namespace td

#include "reports/BinderPages.h"

#include "cd/MciTime.h"
#include "core/Picture.h"
#include "core/TextField.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "reports/TurnName.h"

#include <QFontMetricsF>
#include <QtMath>
#include <memory>

namespace td {

namespace {

constexpr int kSongPage = 64;

enum Font { HeadingFont, SongFont, LongHeadingFont, FileNumberFont };

PageFont font(double points, bool bold)
{
    PageFont f;
    f.family = QStringLiteral("Arial");
    f.points = points;
    f.weight = bold ? 700 : 400;
    return f;
}

QColor rgb(QRgb value)
{
    return QColor::fromRgb(value);
}

Mils lineHeight(double points)
{
    return qRound(points * 1000.0 / 72.0 * 1.3);
}

ReportControl text(const QRect& r, int fontIndex, const QString& words, int flags = PageItem::AlignLeft,
    const QColor& color = QColor())
{
    ReportControl c;
    c.kind = ReportControl::Text;
    c.rect = r;
    c.font = fontIndex;
    c.text = words;
    c.flags = flags;
    c.color = color;
    return c;
}

// What one run keeps between albums: the page width the layout was made for, the next binder
// colour and the song table.
struct BinderState {
    BinderState(Database& database, BinderStyle s)
        : db(database)
        , style(s)
    {
    }

    Database& db;
    BinderStyle style;
    Mils width = 7500;
    Mils songHeight = lineHeight(9);
    Mils timeWidth6 = 420;
    Mils timeWidth5 = 350;
    Mils trackWidth = 300;
    QList<PageFont> fonts;
    int nextColor = 0;
    std::unique_ptr<TableHandle> songs;

    ReportLayout layout(Mils w)
    {
        width = w;
        ReportLayout l;
        l.title = style == BinderStyle::Flap ? QStringLiteral("CD Flap Pages")
                                             : QStringLiteral("CD Binder Pages");
        l.fonts = { font(12, true), font(9, false), font(10, true), font(10, true) };
        fonts = l.fonts;
        const QFontMetricsF m(qfontFor(l.fonts.at(SongFont)));
        double digit = 0;
        for (char d = '0'; d <= '9'; ++d)
            digit = qMax(digit, m.horizontalAdvance(QLatin1Char(d)));
        // Times of 100 minutes and more, track numbers of 100 and more, whole.
        timeWidth6 = qCeil(qMax(digit * 6, m.horizontalAdvance(QString(3, QLatin1Char('0')) + QLatin1Char(':'))
                                               + digit * 2) + 10);
        timeWidth5 = timeWidth6;
        trackWidth = qMax(300, qCeil(digit * 3) + 10);
        return l;
    }

    bool printAlbum(ReportWriter& writer, const QVariantList& values);

private:
    // The songs of an album in track order; false after a read error (reported).
    bool readSongs(qint32 albumId, QList<Row>& out);
    ReportBand headingBand(const QString& heading, const QString& fileNumber, const QColor& color) const;
    ReportBand songLine(int track, const QString& artist, const QString& title, int time, bool wide) const;
};

ReportBand songBandShape(Mils height)
{
    ReportBand b;
    b.kind = ReportBand::Detail;
    b.height = height;
    return b;
}

ReportBand BinderState::songLine(
    int track, const QString& artist, const QString& title, int time, bool wide) const
{
    const bool flap = style == BinderStyle::Flap;
    const Mils trackW = trackWidth;
    const Mils gap = 100;
    const Mils timeW = flap ? timeWidth5 : timeWidth6;
    const Mils left = trackW + gap;
    const Mils columns = width - left - timeW - gap;
    const Mils col = (columns - gap) / 2;
    ReportBand b = songBandShape(songHeight);
    static const Picture trackPicture(QStringLiteral("@n2"));
    b.controls << text(QRect(0, 0, trackW, songHeight), SongFont, ReportWriter::wholeNumber(trackPicture, track).trimmed(),
        PageItem::AlignRight);
    if (wide) {
        b.controls << text(QRect(left, 0, columns, songHeight), SongFont, dotLeader(title.trimmed(), 200));
    } else {
        b.controls << text(
            QRect(left, 0, col, songHeight), SongFont, dotLeader(TurnName(artist).trimmed(), 100));
        b.controls << text(
            QRect(left + col + gap, 0, col, songHeight), SongFont, dotLeader(title.trimmed(), 100));
    }
    const QString minSec = TimeToMinSec(time);
    if (!minSec.trimmed().isEmpty())
        b.controls << text(
            QRect(width - timeW, 0, timeW, songHeight), SongFont, minSec, PageItem::AlignRight);
    return b;
}

bool BinderState::readSongs(qint32 albumId, QList<Row>& out)
{
    if (albumId == 0)
        return true;
    if (!songs)
        songs = std::make_unique<TableHandle>(db, TableId::Tunedeck);
    const TableDef& t = songs->def();
    PageRead read;
    read.key = songs->key(QStringLiteral("KeyAlbumID"));
    read.from = { albumId };
    read.equalLeading = 1;
    read.limit = kSongPage;
    for (;;) {
        QList<PageRow> rows;
        const int rc = songs->readPage(read, rows);
        if (rc != 0 && rc != 33) {
            StandardWarning(db, StdMsg::RecordRetrievalError, t.label);
            return false;
        }
        for (const PageRow& r : std::as_const(rows))
            out << r.row;
        if (rows.size() < read.limit)
            return true;
        read.from = rows.constLast().row;
        read.fromPosition = rows.constLast().position;
        read.inclusive = false;
    }
}

ReportBand BinderState::headingBand(const QString& heading, const QString& fileNumber, const QColor& color) const
{
    const Mils space = 150; // between one album and the next
    ReportBand head = songBandShape(0);
    head.kind = ReportBand::GroupHeading;
    const bool binder = style == BinderStyle::Binder;
    const Mils numberW = binder ? 1500 : 0;
    const Mils textW = binder ? width - numberW - 100 : width;
    // A heading too wide for its line takes two lines in a smaller type rather than being cut.
    const double shortW = QFontMetricsF(qfontFor(fonts.at(HeadingFont))).horizontalAdvance(heading);
    const bool longBand = shortW > textW || (!binder && heading.trimmed().size() >= kFlapShortHeading);
    const Mils h = longBand ? 2 * lineHeight(10) : lineHeight(12);
    head.controls << text(QRect(0, space, textW, h), longBand ? LongHeadingFont : HeadingFont, heading,
        longBand ? PageItem::AlignLeft | PageItem::Wrap : PageItem::AlignLeft, color);
    if (binder)
        head.controls << text(
            QRect(width - numberW, space, numberW, lineHeight(12)), HeadingFont, fileNumber, PageItem::AlignRight);
    head.height = space + h + 40;
    return head;
}

bool BinderState::printAlbum(ReportWriter& writer, const QVariantList& values)
{
    const TableDef& albums = tableDef(TableId::Album);
    const int idAt = albums.fieldIndex(QStringLiteral("AlbumID"));
    const int artistAt = albums.fieldIndex(QStringLiteral("Artist"));
    const int albumAt = albums.fieldIndex(QStringLiteral("Album"));
    const int fileAt = albums.fieldIndex(QStringLiteral("FileNumber"));
    const QString artist = values.value(artistAt).toString();
    const QString fileNumber = values.value(fileAt).toString();
    const QString heading = binderHeading(values.value(albumAt).toString(), artist, style).left(80);

    QColor color;
    if (style == BinderStyle::Binder) {
        color = binderColors().at(nextColor);
        nextColor = (nextColor + 1) % binderColors().size();
    } else {
        color = flapColor(values.isEmpty() ? 0 : values.constLast().toLongLong());
    }
    QList<Row> rows;
    if (!readSongs(values.value(idAt).toInt(), rows))
        return true;

    ReportBand closing = songBandShape(0);
    if (style == BinderStyle::Flap) {
        const Mils h = lineHeight(10);
        closing = songBandShape(h + 20);
        closing.kind = ReportBand::Closing;
        closing.controls << text(
            QRect(0, 20, width, h), FileNumberFont, fileNumber, PageItem::AlignRight, color);
    }
    // An album that fits on a page starts a new page rather than being split; a longer one repeats
    // its heading, marked "(continued)", on every page it runs on to.
    const ReportBand head = headingBand(heading, fileNumber, color);
    const Mils body = Mils(rows.size()) * songHeight + closing.height;
    const bool whole = head.height + body <= writer.pageRoom();
    if (!writer.printBand(head, {}, whole ? body : songHeight))
        return false;
    const TableDef& t = tableDef(TableId::Tunedeck);
    const int songArtistAt = t.fieldIndex(QStringLiteral("Artist"));
    const int titleAt = t.fieldIndex(QStringLiteral("Title"));
    const int trackAt = t.fieldIndex(QStringLiteral("TrackNumber"));
    const int timeAt = t.fieldIndex(QStringLiteral("Time"));
    for (const Row& row : std::as_const(rows)) {
        if (writer.spaceLeft() < songHeight
            && !writer.printBand(headingBand(heading + continuedText(), fileNumber, color), {}, songHeight))
            return false;
        const QString songArtist = row.value(songArtistAt).toString();
        const bool wide = style == BinderStyle::Flap && songArtist.trimmed() == artist.trimmed();
        if (!writer.printBand(songLine(row.value(trackAt).toInt(), songArtist, row.value(titleAt).toString(),
                                  row.value(timeAt).toInt(), wide),
                {}))
            return false;
    }
    if (closing.height > 0 && !writer.printBand(closing, {}))
        return false;
    return !writer.failed();
}

} // namespace

const QList<QColor>& binderColors()
{
    static const QList<QColor> colors {
        rgb(0x000000), // black
        rgb(0x800000), // maroon
        rgb(0x008000), // green
        rgb(0x808000), // olive
        rgb(0x000080), // navy
        rgb(0x800080), // purple
        rgb(0x008080), // teal
        rgb(0x808080), // gray
        rgb(0xC0C0C0), // silver
        rgb(0xFF0000), // red
        rgb(0x00FF00), // lime
        rgb(0xFFFF00), // yellow
        rgb(0x0000FF), // blue
        rgb(0xFF00FF), // fuchsia
        rgb(0x00FFFF), // aqua
    };
    return colors;
}

QColor flapColor(qint64 position)
{
    // The flap list repeats maroon and blue and leaves out gray and silver.
    static const QList<QColor> colors {
        rgb(0x000000), // black
        rgb(0x800000), // maroon
        rgb(0x008000), // green
        rgb(0x808000), // olive
        rgb(0x000080), // navy
        rgb(0x800080), // purple
        rgb(0x008080), // teal
        rgb(0x0000FF), // blue
        rgb(0x800000), // maroon
        rgb(0xFF0000), // red
        rgb(0x00FF00), // lime
        rgb(0xFFFF00), // yellow
        rgb(0x0000FF), // blue
        rgb(0xFF00FF), // fuchsia
        rgb(0x00FFFF), // aqua
    };
    qint64 i = position % colors.size();
    if (i < 0)
        i = -i;
    return colors.at(int(i));
}

QString binderHeading(const QString& album, const QString& artist, BinderStyle style)
{
    const QString title = album.trimmed();
    if (artist.trimmed() == QLatin1String("Various"))
        return title;
    return title + QStringLiteral(" - ") + (style == BinderStyle::Binder ? TurnName(artist) : artist);
}

QString dotLeader(const QString& text, int width)
{
    if (text.size() >= width)
        return text.left(width);
    return text + QString(width - text.size(), QLatin1Char('.'));
}

ReportDefinition binderPagesReport(Database& db, BinderStyle style, const BinderRange& range)
{
    auto state = std::make_shared<BinderState>(db, style);
    ReportDefinition d;
    const bool flap = style == BinderStyle::Flap;
    d.name = flap ? QStringLiteral("PrintCDFlapPages") : QStringLiteral("PrintCDBinderPages");
    d.title = flap ? QStringLiteral("CD Flap Pages") : QStringLiteral("CD Binder Pages");
    d.noun = QStringLiteral("file numbers");
    d.table = TableId::Album;
    d.key = QStringLiteral("ALB:KeyFileNumber");
    d.scanFrom = { range.start.trimmed() };
    if (!range.toEnd) {
        const QString end = range.end;
        const int fileAt = tableDef(TableId::Album).fieldIndex(QStringLiteral("FileNumber"));
        d.scanStop = [end, fileAt](const TableDef&, const Row& row) {
            return compareKeyText(row.value(fileAt).toString(), end) > 0;
        };
    }
    d.positionValue = true;
    d.alwaysPreview = true;
    d.recordsPerCycle = 1;
    d.countProgress = true;
    d.layout = [state](Mils width) { return state->layout(width); };
    d.printRecord = [state](ReportWriter& writer, const QVariantList& values) {
        return state->printAlbum(writer, values);
    };
    return d;
}

ReportDefinition binderPagesReport(Database& db, const ReportCriteria& criteria)
{
    const BinderStyle style
        = criteria.PageStyle.trimmed() == QLatin1String("Flap") ? BinderStyle::Flap : BinderStyle::Binder;
    return binderPagesReport(db, style, { criteria.StartFileNumber, criteria.EndFileNumber });
}

void chooseSingleFlap(ReportCriteria& criteria, const QString& fileNumber)
{
    criteria.StartFileNumber = fileNumber;
    criteria.EndFileNumber = fileNumber;
    criteria.PageStyle = QStringLiteral("Flap");
}

} // namespace td

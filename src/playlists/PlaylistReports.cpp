#include "playlists/PlaylistReports.h"

#include "cd/MciTime.h"
#include "core/DayTime.h"
#include "core/Picture.h"
#include "data/Database.h"
#include "data/Records.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"
#include "reports/PageDoc.h"

#include <QFileInfo>
#include <QHash>
#include <memory>
#include <sqlite3.h>

namespace td {

namespace {

constexpr qint32 kFirstDayValue = 3000;
// The designed layouts reach this far right (mils); narrower pages squeeze them in proportion.
constexpr int kDesignedWidth = 7750;

PageFont font(double points, bool bold)
{
    PageFont f;
    f.family = QStringLiteral("Arial");
    f.points = points;
    f.weight = bold ? 700 : 400;
    return f;
}

enum Fonts { TitleFont, HeadingFont, DetailFont, FooterFont, NarrowFont };
constexpr int kLine = 150;

struct Placer {
    double scale = 1.0;
    QRect rect(int x, int y, int w, int h = kLine) const
    {
        return QRect(qRound(x * scale), y, qMax(1, qRound(w * scale)), h);
    }
};

// Title, column headings, details, footer, and the smaller face of the columns that are
// designed narrow (a full date beside the time).
QList<PageFont> fonts() { return { font(14, true), font(7, true), font(8, false), font(8, false), font(7, false) }; }

ReportControl textAt(const QRect& r, int font, const QString& words, int flags = PageItem::AlignLeft)
{
    ReportControl c;
    c.kind = ReportControl::Text;
    c.rect = r;
    c.font = font;
    c.text = words;
    c.flags = flags;
    return c;
}

ReportControl fieldAt(const QRect& r, int font, const QString& name, const QString& picture,
                      int flags = PageItem::AlignLeft)
{
    ReportControl c;
    c.kind = ReportControl::Field;
    c.rect = r;
    c.font = font;
    c.field = name;
    c.picture = picture;
    c.flags = flags;
    return c;
}

// The footer every report of the family has: the print date and the page number.
void addFooter(ReportLayout& l, Mils width)
{
    l.pageFooter.controls << fieldAt(QRect(0, 60, 2500, kLine), FooterFont, QStringLiteral("=date"), QStringLiteral("@d4"));
    l.pageFooter.controls << fieldAt(QRect(width - 2000, 60, 2000, kLine), FooterFont, QStringLiteral("=page"),
                                     QStringLiteral("@pPage <<<#p"), PageItem::AlignRight);
    l.pageFooter.height = 250;
}

struct Column {
    const char* heading;
    const char* field;
    int x;
    int width;
    const char* picture;
    int flags = PageItem::AlignLeft;
    int font = DetailFont;
};

void addColumns(ReportLayout& l, const Placer& p, Mils headTop, const QList<Column>& cols, const QString& udkPrompt,
                Mils width)
{
    for (const Column& c : cols) {
        const QString heading = QLatin1String(c.heading) == QLatin1String("=udk") ? udkPrompt : QLatin1String(c.heading);
        // A heading wider than its column goes on to a second line.
        l.pageHeader.controls << textAt(p.rect(c.x, headTop, c.width, 2 * kLine), HeadingFont, heading,
                                        c.flags | PageItem::Wrap);
        l.detail.controls << fieldAt(p.rect(c.x, 0, c.width), c.font, QLatin1String(c.field),
                                     QLatin1String(c.picture), c.flags);
    }
    ReportControl rule;
    rule.kind = ReportControl::Line;
    rule.rect = QRect(0, headTop + 2 * kLine + 20, width, 0);
    l.pageHeader.controls << rule;
    l.pageHeader.height = headTop + 2 * kLine + 80;
    l.detail.height = kLine + 20;
}

// The song, its category name and the running values of one playlist report.
struct PlaylistScan {
    Database& db;
    PlaylistReportContext ctx;
    bool top40 = false;
    std::unique_ptr<Table<Tunedeck>> songs;
    std::unique_ptr<Table<Categories>> categories;
    std::unique_ptr<Table<PlaylistDetails>> renumber;
    QHash<qint64, QString> categoryNames;
    qint64 lines = 0;
    qint64 position = 0;
    qint64 totalTime = 0;

    PlaylistScan(Database& d, const PlaylistReportContext& c, bool chart)
        : db(d)
        , ctx(c)
        , top40(chart)
    {
    }

    QString categoryName(qint64 id)
    {
        if (id == 0)
            return QString();
        auto it = categoryNames.constFind(id);
        if (it != categoryNames.constEnd())
            return *it;
        if (!categories)
            categories = std::make_unique<Table<Categories>>(db);
        categories->rec.CategoryID = id;
        const QString name = categories->get(categories->key(QStringLiteral("CAT:KeyCategoryID"))) == 0
            ? categories->rec.Category
            : QString();
        categoryNames.insert(id, name);
        return name;
    }

    // Printing the chart gives each line its place: gaps left by deleted lines close. The lines are
    // read in number order, so the new number is never one a later line still holds.
    void closeGap(const PlaylistDetails& line)
    {
        if (line.PlaylistSeq == position)
            return;
        if (!renumber)
            renumber = std::make_unique<Table<PlaylistDetails>>(db);
        renumber->rec = line;
        int rc = renumber->get(renumber->key(QStringLiteral("PLA:KeyPlaylistID")));
        if (rc == 0) {
            renumber->rec.PlaylistSeq = position;
            rc = renumber->put();
        }
        if (rc != 0) {
            db.saveError(renumber->lastError());
            StandardWarning(db, StdMsg::ProcessError, QStringLiteral("Put"), QStringLiteral("PlaylistDetails"));
        }
    }

    void extras(const TableDef&, const Row& row, QVariantList& out)
    {
        PlaylistDetails line;
        fromRow(row, line);
        ++position;
        if (!songs)
            songs = std::make_unique<Table<Tunedeck>>(db);
        songs->clear();
        songs->rec.ID = qint32(line.ID);
        const bool found = songs->get(songs->key(QStringLiteral("MUS:KeyID"))) == 0;
        const Tunedeck song = found ? songs->rec : Tunedeck();
        totalTime += song.Time;
        if (top40)
            closeGap(line);
        const QString lastWeek = lastWeekOf(line.PlaylistNotes);
        out << song.Artist << song.Title << categoryName(song.CategoryID) << song.Album << song.UserDefinedKeyField
            << song.FileNumber << releaseText(song.ReleaseDate) << song.TrackNumber << song.BeatsPerMinute
            << TimeToMinSec(song.Time) << position << lastWeek << chartMovement(lastWeek, position);
    }

    QString releaseText(qint32 release) const
    {
        if (release == 0)
            return QString();
        if (release < kFirstDayValue)
            return QString::number(release);
        const QString picture = ctx.datePicture.isEmpty() ? QStringLiteral("@d2") : ctx.datePicture;
        return formatDateValue(Picture(picture), release);
    }
};

const QStringList& playlistExtras()
{
    static const QStringList names { QStringLiteral("MUS:Artist"), QStringLiteral("MUS:Title"),
                                     QStringLiteral("CAT:Category"), QStringLiteral("MUS:Album"),
                                     QStringLiteral("MUS:UserDefinedKeyField"), QStringLiteral("MUS:FileNumber"),
                                     QStringLiteral("=release"), QStringLiteral("MUS:TrackNumber"),
                                     QStringLiteral("MUS:BeatsPerMinute"), QStringLiteral("=time"),
                                     QStringLiteral("=tw"), QStringLiteral("=lw"), QStringLiteral("=mark") };
    return names;
}

ReportLayout plainLayout(const PlaylistReportContext& ctx, Mils width)
{
    ReportLayout l;
    l.title = QStringLiteral("Playlist");
    l.fonts = fonts();
    const Placer p { qMin(1.0, double(width) / kDesignedWidth) };
    l.pageHeader.controls << textAt(QRect(0, 0, 1500, 280), TitleFont, QStringLiteral("Playlist"));
    l.pageHeader.controls << textAt(QRect(1500, 0, width - 1500, 280), TitleFont, ctx.description.trimmed());
    addColumns(l, p, 360,
               { { "Artist", "MUS:Artist", 31, 1438, "@s40" },
                 { "Title", "MUS:Title", 1510, 1438, "@s40" },
                 { "Category", "CAT:Category", 2979, 688, "@s30" },
                 { "Album", "MUS:Album", 3708, 1125, "@s40" },
                 { "=udk", "MUS:UserDefinedKeyField", 4865, 792, "@s30" },
                 { "File Number", "MUS:FileNumber", 5677, 530, "@s20" },
                 // A full date needs 630 mils at 7 points ("12/31/1997" in the widest face).
                 { "Date", "=release", 6220, 630, "@s10", PageItem::AlignLeft, NarrowFont },
                 { "Time", "=time", 6860, 340, "@s8", PageItem::AlignRight } },
               ctx.udkPrompt, width);
    addFooter(l, width);
    return l;
}

ReportLayout chartLayout(const PlaylistReportContext& ctx, Mils width, const QString& logo)
{
    ReportLayout l;
    l.title = ctx.description.trimmed();
    l.fonts = fonts();
    const Placer p { qMin(1.0, double(width) / kDesignedWidth) };
    ReportControl picture;
    picture.kind = ReportControl::Image;
    picture.rect = QRect(0, 0, 1500, 700);
    picture.text = logo;
    l.pageHeader.controls << picture;
    l.pageHeader.controls << textAt(QRect(1600, 150, width - 3800, 280), TitleFont, ctx.description.trimmed(),
                                    PageItem::AlignHCenter);
    l.pageHeader.controls << fieldAt(QRect(width - 2000, 150, 2000, 280), TitleFont, QStringLiteral("=date"),
                                     QStringLiteral("@d4"), PageItem::AlignRight);
    const int right = PageItem::AlignRight;
    addColumns(l, p, 780,
               { { "TW", "=tw", 31, 300, "@n_2", right },
                 { "LW", "=lw", 400, 300, "@s2", right },
                 { "Artist", "MUS:Artist", 771, 2052, "@s40" },
                 { "Title", "MUS:Title", 2854, 2813, "@s40" },
                 { "File", "MUS:FileNumber", 5688, 656, "@s20" },
                 { "Trk", "MUS:TrackNumber", 6417, 250, "@n_2", right },
                 { "Time", "=time", 6688, 500, "@s8", right },
                 { "BPM", "MUS:BeatsPerMinute", 7292, 300, "@n_3b", right },
                 { "", "=mark", 7615, 120, "@s1" } },
               ctx.udkPrompt, width);
    addFooter(l, width);
    return l;
}

} // namespace

QString lastWeekOf(const QString& notes)
{
    const int at = notes.indexOf(QLatin1String("LW:"));
    return at < 0 ? QStringLiteral("--") : notes.mid(at + 3, 2);
}

QString chartMovement(const QString& lastWeek, qint64 position)
{
    const qint64 l = lastWeek.trimmed() == QLatin1String("--") ? 0 : lastWeek.trimmed().toLongLong();
    if (l == position)
        return QStringLiteral("=");
    if (position < l - 10)
        return QStringLiteral("*");
    if (position < l)
        return QStringLiteral("^");
    return QString();
}

QString releaseYearText(qint32 release)
{
    if (release == 0)
        return QStringLiteral(" --");
    if (release < kFirstDayValue)
        return QString::number(release);
    return QString::number(yearOfDay(release));
}

qint64 playlistLineCount(Database& db, qint32 playlistId)
{
    TableUse use(db, TableId::PlaylistDetails);
    CachedStatement st = db.statement(QStringLiteral("SELECT count(*) FROM %1 WHERE PlaylistID = ?")
                                          .arg(Database::sqlTable(TableId::PlaylistDetails)));
    if (!st)
        return -1;
    sqlite3_bind_int64(st.get(), 1, playlistId);
    if (sqlite3_step(st.get()) != SQLITE_ROW)
        return -1;
    return sqlite3_column_int64(st.get(), 0);
}

QString chartLogo(const QString& setting)
{
    const QFileInfo named(setting.trimmed().isEmpty() ? QStringLiteral("LOGO.GIF") : setting.trimmed());
    if (named.isFile() && named.isReadable())
        return named.absoluteFilePath();
    return defaultChartLogo();
}

ReportDefinition playlistReport(Database& db, const PlaylistReportContext& ctx, bool top40)
{
    auto scan = std::make_shared<PlaylistScan>(db, ctx, top40);
    scan->lines = playlistLineCount(db, ctx.playlistId);
    ReportDefinition d;
    d.name = top40 ? QStringLiteral("PrintPlaylistTop40") : QStringLiteral("PrintPlaylist");
    d.title = top40 ? ctx.description.trimmed() : QStringLiteral("Playlist");
    d.noun = QStringLiteral("songs");
    d.table = TableId::PlaylistDetails;
    d.key = QStringLiteral("PLA:KeyPlaylistID");
    d.scanFilter = QStringLiteral("PlaylistID = ?");
    d.scanParams = { ctx.playlistId };
    d.customFont = true;
    d.extraValues = playlistExtras();
    d.computeExtras = [scan](const TableDef& t, const Row& row, QVariantList& out) { scan->extras(t, row, out); };
    const QString logo = chartLogo(ctx.logo);
    d.layout = [ctx, top40, logo](Mils width) { return top40 ? chartLayout(ctx, width, logo) : plainLayout(ctx, width); };
    if (!top40) {
        // The total follows the playlist's last line.
        d.printRecord = [scan](ReportWriter& w, const QVariantList& values) {
            if (!w.printDetail(values))
                return false;
            if (scan->position < scan->lines)
                return true;
            ReportBand total = ReportLayout::band(ReportBand::Closing);
            total.height = kLine + 150;
            ReportControl rule;
            rule.kind = ReportControl::Line;
            rule.rect = QRect(5500, 40, 1700, 0);
            total.controls << rule;
            total.controls << textAt(QRect(5500, 100, 1000, kLine), HeadingFont, QStringLiteral("Total Time"));
            total.controls << textAt(QRect(6300, 100, 900, kLine), HeadingFont,
                                     Picture(QStringLiteral("@t4")).format(scan->totalTime), PageItem::AlignRight);
            return w.printBand(total, {});
        };
    }
    return d;
}

ReportDefinition djListReport(const QString& udkPrompt, const QString& filterSql, const QVariantList& params)
{
    ReportDefinition d;
    d.name = QStringLiteral("PrintDJList");
    d.title = QStringLiteral("DJ LOG");
    d.noun = QStringLiteral("songs");
    d.table = TableId::Tunedeck;
    d.key = QStringLiteral("MUS:SongsByMedia");
    d.scanFilter = filterSql;
    d.scanParams = params;
    d.customFont = true;
    d.joinCategory = true;
    d.extraValues = { QStringLiteral("=year") };
    d.computeExtras = [](const TableDef& t, const Row& row, QVariantList& out) {
        static thread_local const TableDef* cached = nullptr;
        static thread_local int release = -1;
        if (cached != &t) {
            cached = &t;
            release = t.fieldIndex(QStringLiteral("ReleaseDate"));
        }
        out << releaseYearText(qint32(row.value(release).toLongLong()));
    };
    const QString prompt = udkPrompt.trimmed().isEmpty() ? QStringLiteral("Custom") : udkPrompt.trimmed();
    d.layout = [prompt](Mils width) {
        ReportLayout l;
        l.title = QStringLiteral("DJ LOG");
        l.fonts = fonts();
        const Placer p { qMin(1.0, double(width) / kDesignedWidth) };
        l.pageHeader.controls << textAt(QRect(0, 0, width, 280), TitleFont, QStringLiteral("DJ LOG"), PageItem::AlignHCenter);
        addColumns(l, p, 360,
                   { { "Artist", "MUS:Artist", 42, 1656, "@s40" },
                     { "Title", "MUS:Title", 1708, 1719, "@s40" },
                     { "Category", "CAT:Category", 3448, 688, "@s30" },
                     { "Album", "MUS:Album", 4177, 1125, "@s40" },
                     { "=udk", "MUS:UserDefinedKeyField", 5323, 844, "@s30" },
                     { "File Number", "MUS:FileNumber", 6208, 646, "@s20" },
                     { "Year", "=year", 6885, 400, "@s4" } },
                   prompt, width);
        addFooter(l, width);
        return l;
    };
    return d;
}

} // namespace td

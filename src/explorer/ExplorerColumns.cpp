#include "explorer/ExplorerColumns.h"

#include "core/TextField.h"

namespace td {

namespace {

ExplorerColumn col(const char* field, const char* description, const char* header, const char* picture,
                   int width, char justification = 'L', bool orderable = true)
{
    ExplorerColumn c;
    c.field = QLatin1String(field);
    c.description = QLatin1String(description);
    c.header = QLatin1String(header);
    c.picture = QLatin1String(picture);
    c.width = width;
    c.justification = QLatin1Char(justification);
    c.orderable = orderable;
    return c;
}

} // namespace

const QList<ExplorerColumn>& explorerColumns(ExplorerKind kind)
{
    static const QList<ExplorerColumn> songs{
        col("MUS:Artist", "Artist", "Artist", "@s40", 160),
        col("MUS:Title", "Title", "Title", "@s40", 160),
        col("MUS:Album", "Album", "Album", "@s40", 120),
        col("MUS:Media", "Media", "Media", "@s20", 60),
        col("MUS:FileNumber", "File Number", "File Number", "@s20", 60),
        col("CAT:Category", "Category", "Category", "@s30", 120, 'L', false),
        col("MUS:Time", "Time", "Time", "@t4b", 32, 'R'),
        col("MUS:ReleaseDate", "Release", "Release Date", "@d2", 40, 'R'),
        col("MUS:BeatsPerMinute", "Beats Per Minute (BPM)", "BPM", "@n_4b", 16, 'R'),
        col("MUS:UserDefinedKeyField", "User Defined Key Field", "User Defined Key Field", "@s30", 80),
        col("MUS:LastPlayed", "Date Last Played", "Last Played", "@d17-", 48, 'R'),
        col("MUS:Style", "Style", "Style", "@s30", 80),
    };
    static const QList<ExplorerColumn> albums{
        col("ALB:Album", "Album", "Album", "@s40", 80),
        col("ALB:Artist", "Artist", "Artist", "@s40", 80),
        col("ALB:Media", "Media", "Media", "@s20", 49),
        col("ALB:FileNumber", "File Number", "File Number", "@s20", 43),
        col("ALB:ReleaseDate", "Release", "Release Date", "@d2", 45),
        col("ALB:XCCD", "CDDB Number (Internet)", "XCCD", "@s32", 128, 'R'),
    };
    static const QList<ExplorerColumn> tracks{
        col("MUS:TrackNumber", "Track Number", "Track", "@n3", 23, 'R'),
        col("MUS:Time", "Time", "Time", "@t4", 32, 'R'),
        col("MUS:Title", "Title", "Title", "@s40", 107),
        col("MUS:Artist", "Artist", "Artist", "@s40", 98),
        col("MUS:ReleaseDate", "Release", "Release", "@d2", 40, 'R'),
    };
    switch (kind) {
    case ExplorerKind::Songs: return songs;
    case ExplorerKind::Albums: return albums;
    case ExplorerKind::CdTracks: return tracks;
    }
    return songs;
}

QString explorerSection(ExplorerKind kind)
{
    switch (kind) {
    case ExplorerKind::Songs: return QStringLiteral("XploreSongs");
    case ExplorerKind::Albums: return QStringLiteral("XploreAlbums");
    case ExplorerKind::CdTracks: return QStringLiteral("IntegratedCDPlayer");
    }
    return {};
}

QString explorerListName(ExplorerKind kind)
{
    switch (kind) {
    case ExplorerKind::Songs: return QStringLiteral("?Browse");
    case ExplorerKind::Albums: return QStringLiteral("?Browse:1");
    case ExplorerKind::CdTracks: return QStringLiteral("?List");
    }
    return {};
}

QString explorerDesignedFormat(ExplorerKind kind)
{
    if (kind == ExplorerKind::Albums)
        return QStringLiteral("80L(2)|M~Album~@s40@80L(2)|M~Artist~@s40@49L(2)|M~Media~@s20@"
                              "43L(2)|M~File Number~@s20@45L(2)|M~Release Date~@d2@"
                              "128R(2)|M~XCCD~C(1)@s32@");
    QString f;
    for (const ExplorerColumn& c : explorerColumns(kind)) {
        f += QStringLiteral("%1%2(2)|M~%3~").arg(c.width).arg(c.justification).arg(c.header);
        if (c.justification != QLatin1Char('L'))
            f += QStringLiteral("C(0)");
        f += c.picture + QLatin1Char('@');
    }
    return f;
}

QString explorerCaption(ExplorerKind kind, qint64 records)
{
    return (kind == ExplorerKind::Albums ? QStringLiteral("Albums - %1 entries") : QStringLiteral("Songs - %1 entries"))
        .arg(records);
}

QList<ShownColumn> shownColumns(const QString& format, ExplorerKind kind)
{
    const std::optional<ListFormat> f = ListFormat::parse(format);
    if (!f || f->columns.isEmpty())
        return {};
    const int count = int(explorerColumns(kind).size());
    QList<ShownColumn> out;
    QList<bool> seen(count, false);
    for (int i = 0; i < f->columns.size(); ++i) {
        const ListColumn& c = f->columns.at(i);
        const int column = c.fieldNumber > 0 ? c.fieldNumber - 1 : i;
        if (column >= count || seen.at(column))
            return {};
        seen[column] = true;
        out << ShownColumn{column, c};
    }
    return out;
}

QString formatOf(const QList<ShownColumn>& shown)
{
    ListFormat f;
    for (const ShownColumn& s : shown) {
        ListColumn c = s.format;
        c.fieldNumber = s.column + 1;
        c.fieldNumberZeros = 0;
        f.columns << c;
    }
    return f.toString();
}

QString explorerOrderRefusal(const QString& header, const QString& field)
{
    return QStringLiteral("Data cannot be ordered on column: ") + clip(header) + QStringLiteral(" (")
        + clip(field) + QLatin1Char(')');
}

QString explorerOrderRefusalTitle()
{
    return QStringLiteral("Explorer - Re-Order Option");
}

QString markedHeader(const QString& header, bool descending)
{
    return QLatin1Char(descending ? '<' : '>') + unmarkedHeader(header);
}

QString unmarkedHeader(const QString& header)
{
    if (header.startsWith(QLatin1Char('>')) || header.startsWith(QLatin1Char('<')))
        return header.mid(1);
    return header;
}

} // namespace td

#include "reports/ReportListings.h"

#include "reports/ReportColumns.h"

namespace td {

namespace {

using Cols = QList<ReportColumn>;

// Song columns by their headings.
ReportColumn col(const QString& heading, const char* field, const char* picture, int under = -1)
{
    return { heading, QLatin1String(field), QLatin1String(picture), under };
}

ReportColumn artist(const char* p = "@s40") { return col(QStringLiteral("Artist"), "MUS:Artist", p); }
ReportColumn title(const char* p = "@s40") { return col(QStringLiteral("Title"), "MUS:Title", p); }
ReportColumn album(const char* p = "@s40") { return col(QStringLiteral("Album"), "MUS:Album", p); }
ReportColumn media(const char* p = "@s20") { return col(QStringLiteral("Media"), "MUS:Media", p); }
ReportColumn category() { return col(QStringLiteral("Category"), "CAT:Category", "@s30"); }
ReportColumn fileNumber(int under = -1, const char* p = "@s20")
{
    return col(QStringLiteral("File Number"), "MUS:FileNumber", p, under);
}
ReportColumn released(int under = -1, const char* p = "@d3b")
{
    return col(QStringLiteral("Release Date"), "MUS:ReleaseDate", p, under);
}
ReportColumn track(int under = -1) { return col(QStringLiteral("Track"), "MUS:TrackNumber", "@n3b", under); }
ReportColumn chart() { return col(QStringLiteral("Chart"), "MUS:ChartNumber", "@n3b"); }
ReportColumn udk(const QString& prompt) { return col(prompt, "MUS:UserDefinedKeyField", "@s30"); }
ReportColumn bpm() { return col(QStringLiteral("BPM"), "MUS:BeatsPerMinute", "@n_3b"); }

// One song listing: its member name, and both styles' columns.
struct SongMember {
    QString member;             // "MUS:SongsByArtist", "ByCategory"
    QString title;
    QString noun;
    QString key;
    QString selection;
    bool filtered = false;      // the common song filter
    bool tempoOnly = false;     // only songs with a tempo above 0
    bool fontStandard = false;
    bool fontBrief = false;
    bool categoryStandard = false;
    Cols line1;
    Cols line2;
    Cols brief;
};

QList<SongMember> songMembers(const ReportContext& ctx)
{
    const QString prompt = ctx.udkPrompt.trimmed().isEmpty() ? QStringLiteral("Custom") : ctx.udkPrompt.trimmed();
    const Cols line2Standard { fileNumber(2), released(3), track(4), chart() };
    const Cols briefTail { fileNumber(), col(QStringLiteral("Trk"), "MUS:TrackNumber", "@n3b"), udk(prompt),
                           col(QStringLiteral("Time"), "MUS:Time", "@t4b") };
    QList<SongMember> m;
    m << SongMember { QStringLiteral("MUS:SongsByChart"), QStringLiteral("Songs by Chart Number"),
                      QStringLiteral("chart numbers"), QStringLiteral("MUS:SongsByChartNumber"),
                      QStringLiteral("MUS:ChartNumber"), false, false, false, false, false,
                      { col(QStringLiteral("Chart #"), "MUS:ChartNumber", "@n3"), artist(), title(), album() },
                      { fileNumber(1), released(2, "@d2"), media("@s20") },
                      { col(QStringLiteral("Chart #"), "MUS:ChartNumber", "@n3"), artist(), title(), album() } };
    m.last().line2[2].under = 3;
    m << SongMember { QStringLiteral("MUS:SongsByUDK"), QStringLiteral("Songs by ") + prompt,
                      prompt.toLower() + QLatin1Char('s'), QStringLiteral("MUS:SongsByUserDefinedKey"),
                      QStringLiteral("MUS:UserDefinedKeyField"), false, false, true, false, true,
                      { udk(prompt), artist(), title(), album(), media() },
                      { col(QStringLiteral("Category"), "CAT:Category", "@s30", 1), fileNumber(2), released(3), track(4),
                        chart() },
                      { udk(prompt), artist(), title(), album() } };
    m << SongMember { QStringLiteral("MUS:SongsByTitle"), QStringLiteral("Songs by Title"), QStringLiteral("titles"),
                      QStringLiteral("MUS:SongsByTitle"), QStringLiteral("MUS:Title"), true, false, true, true, true,
                      { title(), artist(), album(), media(), category() }, line2Standard,
                      Cols { title(), artist(), album() } + briefTail };
    m << SongMember { QStringLiteral("MUS:SongsByArtist"), QStringLiteral("Songs by Artist"), QStringLiteral("artists"),
                      QStringLiteral("MUS:SongsByArtist"), QStringLiteral("MUS:Artist"), true, false, true, true, true,
                      { artist(), title(), album(), media(), category() }, line2Standard,
                      Cols { artist(), title(), album() } + briefTail };
    m << SongMember { QStringLiteral("MUS:SongsByMedia"), QStringLiteral("Songs by Media"), QStringLiteral("media"),
                      QStringLiteral("MUS:SongsByMedia"), QStringLiteral("MUS:Media"), false, false, true, true, true,
                      { media(), title(), album(), artist(), category() },
                      { fileNumber(2), released(3), track(4), chart() },
                      { media(), artist(), title(), album(), fileNumber() } };
    m << SongMember { QStringLiteral("MUS:SongsByAlbum"), QStringLiteral("Songs by Album"), QStringLiteral("albums"),
                      QStringLiteral("MUS:SongsByAlbum"), QStringLiteral("MUS:Album"), false, false, true, false, true,
                      { album(), artist(), title(), media(), category() }, line2Standard,
                      { album(), artist(), title(), media(), fileNumber() } };
    m << SongMember { QStringLiteral("ByCategory"),
                      (QStringLiteral("Music in ") + ctx.categoryName.trimmed() + QStringLiteral(" Category")).left(80),
                      QStringLiteral("artists"), QStringLiteral("MUS:SongsByCategory"), QStringLiteral("MUS:Artist"),
                      false, false, true, true, false,
                      { artist("@s30"), title("@s30"), album("@s30"), media() },
                      { fileNumber(2, "@s10"), released(3) },
                      { artist(), title(), album(), media(), fileNumber() } };
    m << SongMember { QStringLiteral("MUS:SongsByBPM"), QStringLiteral("Songs by Beats Per Minute"), QStringLiteral("BPMs"),
                      QStringLiteral("MUS:KeyBeatsPerMinute"), QStringLiteral("MUS:BeatsPerMinute"), true, true, true,
                      true, true, { bpm(), artist(), title(), album(), media(), category() },
                      { fileNumber(3), released(4), track(5), chart() },
                      Cols { bpm(), artist(), title(), album() } + briefTail };
    return m;
}

// The listing's layout, measured with the user's date format and font.
void useColumns(ReportDefinition& d, const Cols& line1, const Cols& line2 = {})
{
    const QString title = d.title;
    d.styledLayout = [title, line1, line2](Mils width, const LayoutStyle& style) {
        return columnListing(title, width, line1, line2, style);
    };
    d.layout = [title, line1, line2](Mils width) { return columnListing(title, width, line1, line2); };
}

bool tempoAndSongFilter(const TableDef& t, const Row& row)
{
    static thread_local const TableDef* cached = nullptr;
    static thread_local int tempo = -1;
    if (cached != &t) {
        cached = &t;
        tempo = t.fieldIndex(QStringLiteral("BeatsPerMinute"));
    }
    return row.value(tempo).toLongLong() > 0 && passesSongFilter(t, row);
}

ReportDefinition songListing(const SongMember& m, bool brief, const ReportContext& ctx)
{
    ReportDefinition d;
    d.name = (brief ? QStringLiteral("Brief") : QStringLiteral("Print")) + m.member;
    d.title = m.title;
    d.noun = m.noun;
    d.table = TableId::Tunedeck;
    d.key = m.key;
    if (m.member == QLatin1String("ByCategory")) {
        d.scanFilter = QStringLiteral("CategoryID = ?");
        d.scanParams = { ctx.categoryId };
    }
    if (m.tempoOnly)
        d.recordFilter = tempoAndSongFilter;
    else if (m.filtered)
        d.recordFilter = passesSongFilter;
    d.selectionField = m.selection;
    d.customFont = brief ? m.fontBrief : m.fontStandard;
    d.joinCategory = !brief && m.categoryStandard;
    if (brief)
        useColumns(d, m.brief);
    else
        useColumns(d, m.line1, m.line2);
    return d;
}

// --- album listings ---------------------------------------------------------------------------------

ReportColumn a(const char* heading, const char* field, const char* picture, int under = -1)
{
    return { QLatin1String(heading), QLatin1String(field), QLatin1String(picture), under };
}

struct AlbumMember {
    QString member;             // "AlbumsByAlbum"
    QString standardTitle;
    QString briefTitle;
    QString noun;
    QString key;
    QString selection;
    Cols line1;
    Cols line2;
    Cols brief;
};

QList<AlbumMember> albumMembers()
{
    const ReportColumn al = a("Album", "ALB:Album", "@s40");
    const ReportColumn ar = a("Artist", "ALB:Artist", "@s40");
    const ReportColumn me = a("Media", "ALB:Media", "@s20");
    const ReportColumn fn = a("File Number", "ALB:FileNumber", "@s20");
    const ReportColumn rd = a("Release Date", "ALB:ReleaseDate", "@d2");
    const ReportColumn wav = a("Associated WAV File", "ALB:AssociatedWavFile", "@s128");
    const auto under = [](ReportColumn c, int i) {
        c.under = i;
        return c;
    };
    return {
        { QStringLiteral("AlbumsByAlbum"), QStringLiteral("Albums"), QStringLiteral("Albums by Album"),
          QStringLiteral("albums"), QStringLiteral("ALB:KeyAlbum"), QStringLiteral("ALB:Album"),
          { al, ar, me }, { under(fn, 1), rd, under(wav, 2) }, { al, ar, me, fn } },
        { QStringLiteral("AlbumsByArtist"), QStringLiteral("Albums by Artist"), QStringLiteral("Albums by Artist"),
          QStringLiteral("artists"), QStringLiteral("ALB:KeyArtist"), QStringLiteral("ALB:Artist"),
          { ar, al, me }, { under(fn, 1), rd, under(wav, 2) }, { ar, al, me, fn } },
        { QStringLiteral("AlbumsByFileNumber"), QStringLiteral("Albums by File Number"),
          QStringLiteral("Albums by File Number"), QStringLiteral("file numbers"), QStringLiteral("ALB:KeyFileNumber"),
          QStringLiteral("ALB:FileNumber"), { fn, rd, ar, me }, { under(al, 2), under(wav, 3) }, { fn, al, ar, me } },
    };
}

ReportDefinition albumListing(const AlbumMember& m, bool brief)
{
    ReportDefinition d;
    d.name = (brief ? QStringLiteral("Brief") : QStringLiteral("Print")) + m.member;
    d.title = brief ? m.briefTitle : m.standardTitle;
    d.noun = m.noun;
    d.table = TableId::Album;
    d.key = m.key;
    d.selectionField = m.selection;
    useColumns(d, brief ? m.brief : m.line1, brief ? Cols() : m.line2);
    return d;
}

ReportDefinition oneAlbum(const ReportContext& ctx)
{
    ReportDefinition d;
    d.name = QStringLiteral("PrintOneAlbum");
    d.title = QStringLiteral("Songs by Album");
    d.noun = QStringLiteral("albums");
    d.table = TableId::Tunedeck;
    d.key = QStringLiteral("MUS:SongsByAlbum");
    d.scanFilter = QStringLiteral("AlbumID = ?");
    d.scanParams = { ctx.albumId };
    useColumns(d, { album("@s30"), title("@s30"), artist("@s30"), media() });
    return d;
}

} // namespace

QStringList reportListingNames()
{
    QStringList out;
    for (const SongMember& m : songMembers({}))
        out << QStringLiteral("Print") + m.member;
    for (const AlbumMember& m : albumMembers())
        out << QStringLiteral("Print") + m.member;
    out << QStringLiteral("PrintOneAlbum");
    return out;
}

QString briefTwin(const QString& printName)
{
    if (!printName.startsWith(QLatin1String("Print")) || printName == QLatin1String("PrintOneAlbum")
        || !reportListingNames().contains(printName))
        return QString();
    return QStringLiteral("Brief") + printName.mid(5);
}

ReportDefinition reportListing(const QString& name, const ReportContext& context)
{
    if (name == QLatin1String("PrintOneAlbum"))
        return oneAlbum(context);
    const bool brief = name.startsWith(QLatin1String("Brief"));
    if (!brief && !name.startsWith(QLatin1String("Print")))
        return {};
    const QString member = name.mid(5);
    for (const SongMember& m : songMembers(context))
        if (m.member == member)
            return songListing(m, brief, context);
    for (const AlbumMember& m : albumMembers())
        if (m.member == member)
            return albumListing(m, brief);
    return {};
}

} // namespace td

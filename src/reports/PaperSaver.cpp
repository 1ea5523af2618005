#include "reports/PaperSaver.h"

#include "cd/MciTime.h"
#include "reports/ReportColumns.h"
#include "setup/QueryWizardFields.h"
#include "songs/SongFilter.h"

namespace td {

namespace {

const QString kSongTime = QStringLiteral("=songTime");

// The column listing in "Small Fonts", with the report date at the top of each page instead of
// the bottom.
ReportLayout smallListing(const QString& title, Mils width, const QList<ReportColumn>& cols, LayoutStyle style)
{
    style.family = QStringLiteral("Small Fonts");
    ReportLayout l = columnListing(title, width, cols, {}, style);
    for (qsizetype i = 0; i < l.pageFooter.controls.size(); ++i) {
        ReportControl c = l.pageFooter.controls.at(i);
        if (c.field != QLatin1String("=date"))
            continue;
        l.pageFooter.controls.removeAt(i);
        c.rect.moveTop(0);
        l.pageHeader.controls << c;
        break;
    }
    return l;
}

} // namespace

ReportDefinition paperSaverReport(
    PaperSaverOrder order, const QString& filterText, const ReportContext& context, QString* error)
{
    const SongSearch search = compileSongSearch(filterText, songFilterSchema());
    if (!search.valid) {
        if (error)
            *error = search.error;
        return {};
    }
    const bool byTitle = order == PaperSaverOrder::ByTitle;
    ReportDefinition d;
    d.name = byTitle ? QStringLiteral("PrintPaperSaverTitle") : QStringLiteral("PrintPaperSaver");
    d.title = byTitle ? QStringLiteral("Songs by Title") : QStringLiteral("Songs by Artist");
    d.noun = byTitle ? QStringLiteral("titles") : QStringLiteral("artists");
    d.table = TableId::Tunedeck;
    d.key = byTitle ? QStringLiteral("MUS:SongsByTitle") : QStringLiteral("MUS:SongsByArtist");
    d.scanFilter = search.sql;
    d.scanParams = search.params;
    d.recordFilter = passesSongFilter;
    d.selectionField = QStringLiteral("MUS:Artist");
    d.customFont = true;
    d.extraValues = { kSongTime };
    const int timeAt = tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("Time"));
    d.computeExtras = [timeAt](const TableDef&, const Row& row, QVariantList& extras) {
        extras << TimeToMinSec(row.value(timeAt).toInt());
    };

    const QString prompt
        = context.udkPrompt.trimmed().isEmpty() ? QStringLiteral("Custom") : context.udkPrompt.trimmed();
    const ReportColumn artist { QStringLiteral("Artist"), QStringLiteral("MUS:Artist"),
        QStringLiteral("@s40") };
    const ReportColumn title { QStringLiteral("Title"), QStringLiteral("MUS:Title"), QStringLiteral("@s40") };
    QList<ReportColumn> cols;
    cols << (byTitle ? title : artist) << (byTitle ? artist : title)
         << ReportColumn { QStringLiteral("Album"), QStringLiteral("MUS:Album"), QStringLiteral("@s40") }
         << ReportColumn { QStringLiteral("File #"), QStringLiteral("MUS:FileNumber"),
                QStringLiteral("@s10") }
         << ReportColumn { QStringLiteral("Trk"), QStringLiteral("MUS:TrackNumber"), QStringLiteral("@n3b") }
         << ReportColumn { QStringLiteral("BPM"), QStringLiteral("MUS:BeatsPerMinute"),
                QStringLiteral("@p(<<#)pb") }
         << ReportColumn { QStringLiteral("Time"), kSongTime, QStringLiteral("@s8"), -1, true }
         << ReportColumn { prompt, QStringLiteral("MUS:UserDefinedKeyField"), QStringLiteral("@s30") };
    const QString t = d.title;
    d.layout = [t, cols](Mils width) { return smallListing(t, width, cols, {}); };
    d.styledLayout = [t, cols](Mils width, const LayoutStyle& style) { return smallListing(t, width, cols, style); };
    return d;
}

int paperSaverQueryFields(Messages& messages, QueryFieldList& list)
{
    return prepareQueryFields(
        messages, list, songQueryFieldText(SongQueryList::PaperSaver), QStringLiteral("SONGS"));
}

} // namespace td

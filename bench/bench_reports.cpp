// The song listings over the shared catalogues: the Brief listing by artist of 100,000 songs and
// the Standard one of 1,000,000, each
//  - run to the page list (page files on disk, as for the preview), and
//  - run straight to a PDF (pages drawn with QPainter into a QPdfWriter as they finish, as a printer
//    takes them),
// beside a bare loop that reads the same rows in the same order with one prepared statement and
// draws the same texts at the same places with QPainter into a QPdfWriter, without measuring or
// cutting anything. Counters: pages, pages per second, and the time to the first finished page.

#include "CatalogueGenerator.h"

#include "core/DayTime.h"
#include "core/Messages.h"
#include "core/Picture.h"
#include "data/Collation.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "reports/ReportListings.h"
#include "reports/ReportRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sqlite3.h>

using namespace td;
using namespace td::bench;

namespace {

struct Fixture {
    Messages messages;
    std::unique_ptr<Database> db;
    QString dir;
    QString error;
    explicit Fixture(qint64 songs)
    {
        dir = sharedCatalogue(songs, &error);
        if (dir.isEmpty()) {
            error = QStringLiteral("no catalogue: ") + error;
            return;
        }
        db = std::make_unique<Database>(messages, dir);
    }
};

Fixture& fixture(qint64 songs)
{
    static std::map<qint64, std::unique_ptr<Fixture>> all;
    auto& f = all[songs];
    if (!f)
        f = std::make_unique<Fixture>(songs);
    return *f;
}

QString reportName(bool brief)
{
    return brief ? QStringLiteral("BriefMUS:SongsByArtist") : QStringLiteral("PrintMUS:SongsByArtist");
}

QString pdfPath() { return QDir::temp().filePath(QStringLiteral("tunedeck-bench-report.pdf")); }

struct PdfOut {
    QPdfWriter writer { pdfPath() };
    QPainter painter;
    bool first = true;
    PdfOut()
    {
        writer.setPageSize(QPageSize(QPageSize::Letter));
        writer.setPageMargins(QMarginsF());
        writer.setResolution(300);
    }
    QRectF target() const { return QRectF(0, 0, writer.width(), writer.height()); }
    bool take(const PageDoc& page)
    {
        if (first) {
            if (!painter.begin(&writer))
                return false;
            first = false;
        } else if (!writer.newPage()) {
            return false;
        }
        renderPage(page, painter, target());
        return true;
    }
    ~PdfOut()
    {
        if (painter.isActive())
            painter.end();
        QFile::remove(pdfPath());
    }
};

void counters(benchmark::State& state, qint64 pages, double firstMs, double seconds)
{
    state.counters["pages"] = double(pages);
    state.counters["pages_per_s"] = seconds > 0 ? pages / seconds : 0;
    state.counters["first_page_ms"] = firstMs;
}

// The engine: a run of the listing to the page list (toPdf false) or to a PDF.
void engine(benchmark::State& state, qint64 songs, bool brief, bool toPdf)
{
    Fixture& f = fixture(songs);
    if (!f.error.isEmpty()) {
        state.SkipWithError(f.error.toUtf8().constData());
        return;
    }
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        double firstMs = -1;
        qint64 printed = 0;
        auto pdf = std::make_unique<PdfOut>();
        ReportSetup setup;
        setup.criteria.ReportWithPreview = !toPdf;
        setup.datePicture = QStringLiteral("@d17");
        setup.printer = [&](const PageDoc& p) {
            if (firstMs < 0)
                firstMs = clock.nsecsElapsed() / 1e6;
            ++printed;
            return pdf->take(p);
        };
        auto run = std::make_unique<ReportRun>(*f.db, reportListing(reportName(brief), {}), setup);
        if (!run->start()) {
            state.SkipWithError("nothing printed");
            return;
        }
        while (run->step(500))
            if (firstMs < 0 && run->pageList().count() > 0)
                firstMs = clock.nsecsElapsed() / 1e6;
        run->finish();
        run->conclude();
        pdf.reset();
        const qint64 pages = toPdf ? printed : run->pageList().count();
        counters(state, pages, firstMs, clock.nsecsElapsed() / 1e9);
        // The page files are deleted with the run.
        const qint64 before = clock.nsecsElapsed();
        run.reset();
        state.counters["cleanup_s"] = (clock.nsecsElapsed() - before) / 1e9;
    }
}

// The bare loop: the same rows in the same order, the same texts at the same places (taken from the
// engine's own layout), drawn as they come into a PDF.
void bare(benchmark::State& state, qint64 songs, bool brief)
{
    Fixture& f = fixture(songs);
    if (!f.error.isEmpty()) {
        state.SkipWithError(f.error.toUtf8().constData());
        return;
    }
    const TableDef& t = tableDef(TableId::Tunedeck);
    const QPageLayout page(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0.5, 0.5, 0.5, 0.5),
                           QPageLayout::Inch);
    const ReportDefinition def = reportListing(reportName(brief), {});
    ReportLayout layout = def.layout(7500);
    QStringList columns;
    layout.bind([&](const QString& name) {
        if (name == QLatin1String("CAT:Category"))
            return -1;
        columns << name.mid(4);
        return int(columns.size()) - 1;
    });
    sqlite3* raw = nullptr;
    const QByteArray path = f.db->filePath(TableId::Tunedeck).toUtf8();
    if (sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK
        || registerKeyCollation(raw) != SQLITE_OK) {
        state.SkipWithError("cannot open the song file");
        return;
    }
    sqlite3_exec(raw, QStringLiteral("PRAGMA cache_size=-%1").arg(Database::kBulkCacheKiB).toUtf8().constData(),
                 nullptr, nullptr, nullptr);
    QStringList quoted;
    for (const QString& c : columns)
        quoted << QLatin1Char('"') + c + QLatin1Char('"');
    const QString order = schema::keyColumns(t, t.keyIndex(QStringLiteral("SongsByArtist"))).join(QLatin1Char(','));
    const QString sql = QStringLiteral("SELECT %1 FROM \"Tunedeck\" ORDER BY %2,rowid").arg(quoted.join(QLatin1Char(',')), order);
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(raw, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(raw));
        sqlite3_close_v2(raw);
        return;
    }
    QList<QFont> fonts;
    for (const PageFont& pf : layout.fonts)
        fonts << qfontFor(pf);
    const QRect area(500, 500, 7500, 10000);
    const int bottom = area.bottom() - layout.pageFooter.height;
    const QString date = Picture(QStringLiteral("@d4")).format(dayFromDate(QDate::currentDate()));
    const auto drawFooter = [&](QPainter& p, qint64 number) {
        p.setFont(fonts.last());
        p.drawText(QRect(area.x(), bottom, 2500, 200), Qt::AlignLeft | Qt::AlignVCenter, date);
        p.drawText(QRect(area.right() - 2000, bottom, 2000, 200), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Page ") + QString::number(number));
    };
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        double firstMs = -1;
        qint64 pages = 0;
        {
            PdfOut pdf;
            pdf.painter.begin(&pdf.writer);
            pdf.painter.scale(pdf.writer.width() / 8500.0, pdf.writer.height() / 11000.0);
            int y = bottom;
            while (sqlite3_step(s) == SQLITE_ROW) {
                if (y + layout.detail.height > bottom) {
                    if (pages > 0) {
                        drawFooter(pdf.painter, pages);
                        pdf.writer.newPage();
                        if (firstMs < 0)
                            firstMs = clock.nsecsElapsed() / 1e6;
                    }
                    ++pages;
                    y = area.top();
                    for (const ReportControl& c : layout.pageHeader.controls)
                        if (c.kind == ReportControl::Text) {
                            pdf.painter.setFont(fonts.at(c.font));
                            pdf.painter.drawText(c.rect.translated(area.x(), y), Qt::AlignLeft | Qt::AlignVCenter, c.text);
                        }
                    y += layout.pageHeader.height;
                }
                for (const ReportControl& c : layout.detail.controls) {
                    if (c.source < 0)
                        continue;
                    QString text;
                    if (sqlite3_column_type(s, c.source) == SQLITE_TEXT)
                        text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, c.source)));
                    else
                        text = c.parsed.format(sqlite3_column_int64(s, c.source));
                    pdf.painter.setFont(fonts.at(c.font));
                    pdf.painter.drawText(c.rect.translated(area.x(), y), Qt::AlignLeft | Qt::AlignVCenter, text);
                }
                y += layout.detail.height;
            }
            if (pages > 0)
                drawFooter(pdf.painter, pages);
            sqlite3_reset(s);
            pdf.painter.end();
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        counters(state, pages, firstMs, seconds);
    }
    sqlite3_finalize(s);
    sqlite3_close_v2(raw);
}

} // namespace

BENCHMARK_CAPTURE(engine, brief_100k_list, 100000, true, false)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(engine, brief_100k_pdf, 100000, true, true)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(bare, brief_100k_pdf, 100000, true)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(engine, standard_1m_list, 1000000, false, false)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(engine, standard_1m_pdf, 1000000, false, true)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(bare, standard_1m_pdf, 1000000, false)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

int main(int argc, char** argv)
{
    // Fonts are measured and pages drawn: a GUI application without a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

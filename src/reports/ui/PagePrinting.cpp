#include "reports/ui/PagePrinting.h"

#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "common/ui/ProgramPrinter.h"
#include "core/Messages.h"
#include "reports/PageList.h"

#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>

namespace td {

namespace {

const QString kCaption = QStringLiteral("Print");
// Pages drawn per event: enough to keep the printer busy, few enough to keep the windows alive.
constexpr int kPagesPerSlice = 4;

// One job: the painter stays open on the printer while the pages go out slice by slice.
class PrintJob : public QObject {
public:
    PrintJob(QWidget* caller, QPrinter& printer, Messages& messages, PageList& pages, int restoreCopies,
        std::function<void(bool)> done)
        : QObject(caller)
        , printer_(printer)
        , messages_(messages)
        , pages_(pages)
        , restoreCopies_(restoreCopies)
        , done_(std::move(done))
    {
    }
    // A job whose caller goes away while pages are still going out is cancelled.
    ~PrintJob() override
    {
        if (finished_)
            return;
        if (painter_.isActive()) {
            printer_.abort();
            painter_.end();
        }
        printer_.setCopyCount(restoreCopies_);
    }

    void start()
    {
        if (!painter_.begin(&printer_))
            return finish(false,
                QStringLiteral("The printer \"%1\" could not be started.|Choose a printer in Print Setup.")
                    .arg(printer_.outputFormat() == QPrinter::PdfFormat ? printer_.outputFileName()
                                                                        : printer_.printerName()));
        QTimer::singleShot(0, this, [this] { slice(); });
    }

private:
    void slice()
    {
        for (int n = 0; n < kPagesPerSlice && next_ < pages_.count(); ++n, ++next_) {
            PageDoc page;
            QString why;
            if (!pages_.read(next_, page, &why)) {
                printer_.abort();
                painter_.end();
                return finish(
                    false, QStringLiteral("Page %1 could not be printed.|%2").arg(next_ + 1).arg(why));
            }
            if (next_ > 0 && !printer_.newPage()) {
                painter_.end();
                return finish(false, QStringLiteral("The printer stopped at page %1.").arg(next_ + 1));
            }
            renderPage(page, painter_, QRectF(printer_.pageLayout().fullRectPixels(printer_.resolution())));
        }
        if (next_ < pages_.count()) {
            QTimer::singleShot(0, this, [this] { slice(); });
            return;
        }
        const bool ok = painter_.end();
        finish(ok, ok ? QString() : QStringLiteral("The printer did not take the pages."));
    }

    void finish(bool ok, const QString& problem)
    {
        finished_ = true;
        printer_.setCopyCount(restoreCopies_);
        if (!problem.isEmpty())
            messages_.show(kCaption, problem, Icon::Exclamation);
        auto done = std::move(done_);
        deleteLater();
        if (done)
            done(ok);
    }

    QPrinter& printer_;
    Messages& messages_;
    PageList& pages_;
    int restoreCopies_;
    std::function<void(bool)> done_;
    QPainter painter_;
    int next_ = 0;
    bool finished_ = false;
};

void startJob(QWidget* caller, QPrinter& printer, Messages& messages, PageList& pages, const QString& title,
    std::function<void(bool)> done)
{
    auto fail = [&](const QString& caption, const QString& text) {
        messages.show(caption, text, Icon::Exclamation);
        if (done)
            done(false);
    };
    if (pages.isEmpty())
        return fail(QStringLiteral("NOTE..."), QStringLiteral("Nothing to Print."));
    const QString problem = printerProblem(printer);
    if (!problem.isEmpty())
        return fail(kCaption, problem);
    const int copies = printer.copyCount();
    if (copies > kMaxCopies)
        return fail(kCaption,
            QStringLiteral("%1 copies were asked for; up to %2 copies can be printed at once.")
                .arg(copies)
                .arg(kMaxCopies));
    if (copiesFromPageList(printer, copies)) {
        pages.handleCopies(copies);
        printer.setCopyCount(1);
    }
    printer.setDocName(title.isEmpty() ? QStringLiteral("Report") : title);
    printer.setFullPage(true);
    auto* job = new PrintJob(caller, printer, messages, pages, copies, std::move(done));
    job->start();
}

} // namespace

QString printerProblem(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return printer.outputFileName().isEmpty()
            ? QStringLiteral("No printer is available.|Choose a printer in Print Setup.")
            : QString();
    const QString name = printer.printerName();
    if (name.isEmpty() || QPrinterInfo::printerInfo(name).isNull() || !printer.isValid())
        return QStringLiteral("The printer \"%1\" is not available.|Choose a printer in Print Setup.")
            .arg(name);
    return QString();
}

bool copiesFromPageList(const QPrinter& printer, int copies)
{
    return copies > 1 && (printer.collateCopies() || !printer.supportsMultipleCopies());
}

void printPages(QWidget* caller, QPrinter& printer, Messages& messages, PageList& pages,
    const PrintJobOptions& options, std::function<void(bool printed)> done)
{
    if (!options.askPrinter)
        return startJob(caller, printer, messages, pages, options.title, std::move(done));
    auto* dialog = new QPrintDialog(&printer);
    dialog->setOption(QAbstractPrintDialog::PrintToFile, true);
    QPointer<QWidget> guard(caller);
    openForm(caller, dialog,
        [guard, caller, &printer, &messages, &pages, title = options.title, done = std::move(done)](
            int result) {
            if (result != QDialog::Accepted || (caller && !guard)) {
                if (done)
                    done(false);
                return;
            }
            startJob(caller, printer, messages, pages, title, done);
        });
}

void printPages(QWidget* caller, AppState& state, PageList& pages, const PrintJobOptions& options,
    std::function<void(bool printed)> done)
{
    if (!state.printer) {
        state.messages.show(kCaption,
            QStringLiteral("No printer is available.|Choose a printer in Print Setup."), Icon::Exclamation);
        if (done)
            done(false);
        return;
    }
    printPages(caller, state.printer->printer(), state.messages, pages, options, std::move(done));
}

} // namespace td

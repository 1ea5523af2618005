#include "reports/ui/ReportRunWindow.h"

#include "common/AppState.h"
#include "common/ui/ProgramPrinter.h"
#include "core/ConfigPaths.h"
#include "core/Messages.h"
#include "reports/ui/PagePrinting.h"
#include "reports/ui/ReportPlacement.h"
#include "reports/ui/ReportPreview.h"

#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace td {

// Pages for the printer as they are finished, held until the run has completed and then printed
// on one job of the program's printer: a run cancelled with preview off prints nothing.
class DirectPrint {
public:
    DirectPrint(QPrinter& printer, const QString& title)
        : printer_(printer)
        , title_(title)
    {
    }

    bool page(const PageDoc& page) { return held_.append(page); }
    // Prints the held pages; false when the printer took them not.
    bool commit()
    {
        if (held_.isEmpty())
            return true;
        printer_.setDocName(title_.isEmpty() ? QStringLiteral("Report") : title_);
        printer_.setFullPage(true);
        QPainter painter;
        if (!painter.begin(&printer_))
            return false;
        for (int i = 0; i < held_.count(); ++i) {
            PageDoc page;
            if (!held_.read(i, page) || (i > 0 && !printer_.newPage())) {
                painter.end();
                held_.clear();
                return false;
            }
            renderPage(page, painter, QRectF(printer_.pageLayout().fullRectPixels(printer_.resolution())));
        }
        painter.end();
        held_.clear();
        return true;
    }
    void discard() { held_.clear(); }

private:
    QPrinter& printer_;
    QString title_;
    PageList held_;
};

namespace {

QString noPrinterText()
{
    return QStringLiteral("No printer is available.|Choose a printer in Print Setup.");
}

// The progress line: the percent, or for the reports that count their records the count.
QString progressLine(const ReportRun& run)
{
    return run.progressText();
}

QFont fontOf(const ReportFontChoice& c)
{
    QFont f;
    if (!c.name.trimmed().isEmpty())
        f.setFamily(c.name.trimmed());
    if (c.size > 0)
        f.setPointSize(c.size);
    const int weight = c.style & 0xfff;
    f.setWeight(QFont::Weight(weight > 0 ? qBound(100, weight, 900) : 400));
    f.setItalic(c.style & ReportFontChoice::Italic);
    f.setUnderline(c.style & ReportFontChoice::Underline);
    f.setStrikeOut(c.style & ReportFontChoice::StrikeOut);
    return f;
}

// The font dialog has no colour of its own: the colour kept for the report stays.
ReportFontChoice choiceOf(const QFont& f, int color)
{
    ReportFontChoice c;
    c.name = f.family().left(32);
    c.size = f.pointSize() > 0 ? f.pointSize() : qRound(f.pointSizeF());
    c.color = color;
    c.style = int(f.weight()) | (f.italic() ? ReportFontChoice::Italic : 0)
        | (f.underline() ? ReportFontChoice::Underline : 0) | (f.strikeOut() ? ReportFontChoice::StrikeOut : 0);
    return c;
}

} // namespace

ReportSetup reportSetup(AppState& state, const ReportCriteria& criteria)
{
    ReportSetup s;
    s.criteria = criteria;
    const QString date = state.settings.DateFormat.trimmed();
    if (!date.isEmpty())
        s.datePicture = date.startsWith(QLatin1Char('@')) ? date : QStringLiteral("@") + date;
    s.iniPath = settingsIniPath();
    if (state.printer) {
        const QPrinter& p = state.printer->printer();
        s.page = p.pageLayout();
        s.copies = qMax(1, p.copyCount());
        s.collate = p.collateCopies();
        s.printerMakesCopies = p.supportsMultipleCopies();
    }
    return s;
}

ReportRunWindow::ReportRunWindow(AppState& state, ReportDefinition definition, const ReportCriteria& criteria,
    std::function<void(Response)> done)
    : state_(state)
    , done_(std::move(done))
{
    setObjectName(QStringLiteral("ReportProgress"));
    ReportSetup setup = reportSetup(state, criteria);
    if (state.printer) {
        direct_ = std::make_shared<DirectPrint>(state.printer->printer(), definition.title);
        setup.printer = [direct = direct_](const PageDoc& page) { return direct->page(page); };
    } else {
        // No printer in this program run: a page that would go straight to it stops the report.
        setup.printer = [](const PageDoc&) { return false; };
    }
    run_ = std::make_shared<ReportRun>(state.db, std::move(definition), std::move(setup));
    setWindowTitle(run_->caption());

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("Progress"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    bar_->hide();
    line_ = new QLabel(this);
    line_->setObjectName(QStringLiteral("Text"));
    line_->setAlignment(Qt::AlignCenter);
    percent_ = new QLabel(progressLine(*run_), this);
    percent_->setObjectName(QStringLiteral("Percent"));
    percent_->setAlignment(Qt::AlignCenter);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &ReportRunWindow::cancelPressed);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar_);
    layout->addWidget(line_);
    layout->addWidget(percent_);
    layout->addWidget(cancel_, 0, Qt::AlignCenter);
    setMinimumWidth(300);
    // Busy over the report's own window only: the rest of the program stays at hand.
    setCursor(Qt::BusyCursor);
    cancel_->setCursor(Qt::ArrowCursor);
    // The bar takes its place from the start, so the window does not grow when it shows.
    auto policy = bar_->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    bar_->setSizePolicy(policy);

    // Single shot, armed again after each slice: a message shown inside a slice (a read error, the
    // cancel questions) must not see the next slice start under it.
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &ReportRunWindow::tick);
}

ReportRunWindow::~ReportRunWindow()
{
    // Closed with the frame before its end: the run releases its tables, a direct print job ends.
    timer_.stop();
    if (!ended_ && run_ && !inSlice_)
        run_->finish();
    if (direct_)
        direct_->discard();
}

void ReportRunWindow::begin()
{
    show();
    QTimer::singleShot(0, this, &ReportRunWindow::startScan);
}

QString ReportRunWindow::percentText() const
{
    return percent_->text();
}

QString ReportRunWindow::lineText() const
{
    return line_->text();
}

bool ReportRunWindow::barVisible() const
{
    return bar_->isVisible();
}

void ReportRunWindow::startScan()
{
    if (started_ || ended_)
        return;
    started_ = true;
    inSlice_ = true;
    QPointer<ReportRunWindow> self(this);
    const std::shared_ptr<ReportRun> run = run_;
    const bool any = run->start();
    if (!self) {
        run->finish();
        return;
    }
    inSlice_ = false;
    // Nothing passes the record filter (or the scan could not be opened, told already): the run
    // ends without a word.
    if (!any)
        return end(Response::Cancelled);
    // Pages that go straight to the printer need one that takes them: said before the scan, not
    // at its first page.
    if (!run_->routedToList()) {
        const QString problem = state_.printer ? printerProblem(state_.printer->printer()) : noPrinterText();
        if (!problem.isEmpty()) {
            state_.messages.show(QStringLiteral("Print"), problem, Icon::Exclamation);
            return end(Response::Cancelled);
        }
    }
    bar_->show();
    if (run_->needsFont())
        return askFont();
    timer_.start();
}

void ReportRunWindow::askFont()
{
    const ReportFontChoice preset = run_->fontPreset();
    auto* dialog = new QFontDialog;
    dialog->setObjectName(QStringLiteral("SelectCustomFont"));
    dialog->setOption(QFontDialog::DontUseNativeDialog);
    dialog->setWindowTitle(ReportRun::fontDialogTitle());
    dialog->setCurrentFont(fontOf(preset));
    openForm(this, dialog, [this, dialog, color = preset.color](int result) {
        if (result == QDialog::Accepted)
            run_->fontChosen(choiceOf(dialog->selectedFont(), color));
        else
            run_->fontChosen(std::nullopt);
        timer_.start();
    });
}

void ReportRunWindow::tick()
{
    if (ended_ || scanOver_ || asking_ || inSlice_)
        return;
    inSlice_ = true;
    QPointer<ReportRunWindow> self(this);
    const std::shared_ptr<ReportRun> run = run_;
    const bool more = run->step(run->sliceSize());
    if (!self) {
        run->finish();
        return;
    }
    inSlice_ = false;
    // Repainted only when what it shows has changed.
    const int p = run->percent();
    const QString text = progressLine(*run);
    if (p != shownPercent_ || text != percent_->text()) {
        shownPercent_ = p;
        bar_->setValue(p);
        percent_->setText(text);
        emit percentShown(p);
    }
    if (ended_ || asking_)
        return;
    if (more)
        timer_.start();
    else
        scanEnded();
}

void ReportRunWindow::cancelPressed()
{
    if (ended_ || scanOver_ || asking_)
        return;
    if (!started_ || run_->needsFont()) {
        timer_.stop();
        return end(Response::Cancelled);
    }
    asking_ = true;
    timer_.stop();
    QPointer<ReportRunWindow> self(this);
    // The questions wait for the user: the window may go meanwhile, the run then ends here.
    const std::shared_ptr<ReportRun> run = run_;
    inSlice_ = true;
    run->cancelRequested();
    if (!self) {
        run->finish();
        return;
    }
    inSlice_ = false;
    asking_ = false;
    // The next slice goes on, or finds the scan ended by the answer.
    timer_.start();
}

void ReportRunWindow::reject()
{
    cancelPressed();
}

void ReportRunWindow::scanEnded()
{
    scanOver_ = true;
    timer_.stop();
    hide();
    const ReportRun::Outcome outcome = run_->conclude();
    run_->finish();
    if (direct_ && outcome != ReportRun::Printed)
        direct_->discard();
    switch (outcome) {
    case ReportRun::Preview:
        PrintPreview(this, state_, run_->pageList(), run_->definition().title, [this](bool print) {
            if (!print)
                return end(Response::Cancelled);
            // The printer makes the copies asked for in Print Setup, collated from the list
            // where it must.
            printPages(this, state_, run_->pageList(), { run_->definition().title, false },
                [this, run = run_](bool printed) { end(printed ? Response::Completed : Response::Cancelled); });
        });
        return;
    case ReportRun::PrintList:
        return printList();
    case ReportRun::Printed:
        if (direct_ && !direct_->commit()) {
            state_.messages.show(QStringLiteral("Report Error"),
                QStringLiteral("The report stopped: a page could not be printed."), Icon::Stop);
            return end(Response::Cancelled);
        }
        return end(Response::Completed);
    case ReportRun::Nothing:
    case ReportRun::NothingToShow:
        break;
    }
    end(Response::Cancelled);
}

void ReportRunWindow::printList()
{
    // The list already holds the copies: the printer prints it once.
    if (!state_.printer)
        return end(Response::Cancelled);
    QPrinter& printer = state_.printer->printer();
    const int copies = printer.copyCount();
    printer.setCopyCount(1);
    QPointer<ReportRunWindow> self(this);
    // A job of nobody's: it runs to its end even if this window goes, and so gives the printer
    // its copy count back.
    printPages(nullptr, state_, run_->pageList(), { run_->definition().title, false },
        [this, self, &printer, copies, run = run_](bool printed) {
            printer.setCopyCount(copies);
            if (self)
                end(printed ? Response::Completed : Response::Cancelled);
        });
}

void ReportRunWindow::end(Response response)
{
    if (ended_)
        return;
    ended_ = true;
    timer_.stop();
    if (!scanOver_ && started_)
        run_->finish();
    hide();
    deleteLater();
    if (auto done = std::move(done_))
        done(response);
}

void startReportRun(AppState& state, QWidget* near, ReportDefinition definition, const ReportCriteria& criteria,
    std::function<void(Response)> done)
{
    if (!definition.isValid()) {
        if (done)
            done(Response::Cancelled);
        return;
    }
    auto* w = new ReportRunWindow(state, std::move(definition), criteria, std::move(done));
    if (QWidget* top = frameOf(near))
        w->setParent(top, w->windowFlags() | Qt::Dialog);
    w->begin();
}

} // namespace td

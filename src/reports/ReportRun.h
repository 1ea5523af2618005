#pragma once
// One run of a report, without windows and without a timer of its own: the progress window calls
// step() on its timer, shows percentText(), and calls cancelRequested() for "Cancel" or Esc.
//
//   auto run = std::make_shared<ReportRun>(db, definition, setup);
//   if (!run->start())            // nothing passes the record filter (or the scan failed):
//       return;                   //   cancelled, the layout was never opened, nothing to show
//   if (run->needsFont())         // custom font wanted: show the font dialog preset with
//       ...fontPreset()...        //   fontPreset(), then fontChosen(choice or nullopt)
//   while (run->step(run->sliceSize())) {}   // one call per timer tick
//   switch (run->conclude()) {    // after the scan: what the caller does with the pages
//   case ReportRun::Preview: ...  // show pageList(); when the user prints: printList()
//   case ReportRun::PrintList: ...// print pageList() as it is (copies already made)
//   ...}
//
// Records to process are counted once at start(). Every fetched record counts as processed and
// moves the percent (capped at 100); the record filter skips records; the "Selected" prefix is a
// case-insensitive starts-with test on the definition's selection field (an empty prefix selects
// everything). The layout is opened on the first record that passes the filter: a run where no
// record passes ends cancelled without it. Finished pages go to the page list when the run
// previews, when the printer cannot make the copies asked for itself, or when it collates;
// otherwise to the printer sink as they finish.

#include "common/BatchRun.h"
#include "common/GlobalSettings.h"
#include "data/TableHandle.h"
#include "reports/PageList.h"
#include "reports/ReportDefinition.h"
#include "reports/ReportFonts.h"
#include "reports/ReportLayout.h"

#include <QDate>
#include <QHash>
#include <QPageLayout>
#include <optional>

namespace td {

class Database;
class Messages;

// The question of the reports that do not show the criteria window: "Do you wish to PREVIEW this
// Report?" (Yes preselected). True: preview, false: print at once, nullopt: the report is cancelled.
std::optional<bool> askPreview(Messages& messages);

struct ReportSetup {
    ReportCriteria criteria;        // as the criteria window left them
    QString datePicture;            // the user's date format ("@d17"); empty: as designed
    QPageLayout page { QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0.5, 0.5, 0.5, 0.5),
                       QPageLayout::Inch };
    QDate date = QDate::currentDate();
    QString iniPath;                // TDPRO97.INI: the custom-font keys
    // The printer: its copy count, whether it collates, and whether its driver makes copies itself.
    int copies = 1;
    bool collate = false;
    bool printerMakesCopies = true;
    // Takes pages as they finish when they are not routed to the page list.
    PageSink printer;
};

class ReportRun : public BatchRun {
public:
    enum Response { Completed = 1, Cancelled = 2 };
    // What conclude() leaves the caller to do.
    enum Outcome {
        Nothing,            // cancelled or nothing printable: nothing to show or print
        NothingToShow,      // completed with an empty page list: "Nothing to ..." has been shown
        Preview,            // show pageList() in the preview; printList() when the user prints it
        PrintList,          // print pageList() once: the copies are already in it
        Printed,            // the pages went to the printer as they finished
    };

    ReportRun(Database& db, ReportDefinition definition, ReportSetup setup);
    ~ReportRun() override;

    // Counts the records, opens the scan and finds the first printable record; opens the layout
    // there. False: the run is over (cancelled) and nothing was opened.
    bool start() override;
    // Handles up to `count` records (print if selected, then fetch the next printable one). False
    // at the end of the table, after a read error (reported) or a cancel.
    bool step(int count) override;
    void finish() override;
    int percent() const override { return percent_; }
    int sliceSize() const override { return perCycle_; }
    QString caption() const override;
    QString taskText() const override { return QString(); }
    // The progress line: the percent followed by "% Completed", or for reports that count records
    // "0 Completed" at the start and then the count followed by " Records Completed".
    QString progressText() const;

    // --- custom font -------------------------------------------------------------------------
    // The layout waits for a font choice (step() does nothing meanwhile).
    bool needsFont() const { return needsFont_; }
    ReportFontChoice fontPreset() const;
    static QString fontDialogTitle() { return QStringLiteral("Select Custom Font for Report"); }
    // The user's choice (written back to the font keys) or nullopt (designed fonts).
    void fontChosen(const std::optional<ReportFontChoice>& choice);

    // --- cancel ---------------------------------------------------------------------------------
    // Asks "Are you sure you want to CANCEL this Report?" and, when pages are waiting for the
    // preview, whether to preview them. Ends the run, or goes on one record per step.
    void cancelRequested();

    // --- after the scan ----------------------------------------------------------------------------
    // Finishes the last page and tells what is left to do (see Outcome); shows "Nothing to
    // Preview." / "Nothing to Print." when a completed run made no page.
    Outcome conclude();
    // Makes the page list print the run's copies collated (after the preview said print).
    void printList();

    Response response() const { return response_; }
    bool previewAnyway() const { return previewAnyway_; }
    bool layoutOpened() const { return writer_ != nullptr; }
    bool routedToList() const { return toList_; }
    int copies() const { return copies_; }
    qint64 recordsToProcess() const { return total_; }
    qint64 recordsProcessed() const { return processed_; }
    PageList& pageList() { return pages_; }
    const ReportLayout& layout() const { return layout_; }
    const ReportDefinition& definition() const { return def_; }

    // The shared starts-with selection test.
    static bool selects(const QString& selection, const QString& fieldText);
    static QString cancelQuestion() { return QStringLiteral("Are you sure you want to CANCEL this Report?"); }
    static QString previewSoFarQuestion()
    {
        return QStringLiteral("Report Cancellation Requested!| |Preview Report generated so far?");
    }

private:
    bool fetchPrintable();
    bool printCurrent();
    void openLayout();
    void openWriter();
    void endScan(Response r);
    // A page could not be stored or printed: the run ends cancelled and the user is told.
    void pageFailed();
    QVariantList valuesOf(const PageRow& record);
    QString categoryName(qint64 id);

    Database& db_;
    ReportDefinition def_;
    ReportSetup setup_;
    std::unique_ptr<TableHandle> table_;
    std::unique_ptr<TableHandle> categories_;
    QHash<qint64, QString> categoryNames_;
    PageRead read_;
    QList<PageRow> buffer_;
    int at_ = 0;
    bool tableEnded_ = false;
    PageRow current_;
    bool haveCurrent_ = false;
    int selectionIndex_ = -1;
    QString selection_;
    bool selecting_ = false;

    ReportLayout layout_;
    std::unique_ptr<ReportWriter> writer_;
    PageList pages_;
    qint64 total_ = 0;
    qint64 processed_ = 0;
    int percent_ = 0;
    int perCycle_ = 25;
    qint64 handled_ = 0;
    Response response_ = Cancelled;
    bool previewAnyway_ = false;
    bool needsFont_ = false;
    bool toList_ = false;
    int copies_ = 1;
    bool scanning_ = false;
    bool failed_ = false;
};

} // namespace td

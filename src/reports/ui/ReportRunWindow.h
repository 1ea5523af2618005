#pragma once
// The progress window of one report run: caption "Generating Report" (preview) or "Printing
// Report", a bar (0 to 100, shown once the scan has started), a text line, the percent text and
// "Cancel". A zero-interval timer drives the run a slice at a time; the window is repainted only
// when the whole percent changes. "Cancel" and Esc ask the run's cancel questions. After the scan
// the window hides and hands the pages to the preview, or to the printer, and goes when the pages
// have been dealt with.
//
// The window blocks nothing: lists stay usable and several reports may run at once.

#include "common/Request.h"
#include "reports/ReportRun.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace td {

class AppState;
class DirectPrint;

// Runs the report `definition` with `criteria` (the shared ones, or a copy changed for this run)
// over the frame of `near`. `done` gets Completed when pages were printed and Cancelled otherwise
// (nothing printable, cancelled, the preview closed without printing).
void startReportRun(AppState& state, QWidget* near, ReportDefinition definition, const ReportCriteria& criteria,
    std::function<void(Response)> done = {});

// The run's set-up from the criteria, the settings (date format, INI file) and the program's
// printer (page, copies, collation).
ReportSetup reportSetup(AppState& state, const ReportCriteria& criteria);

class ReportRunWindow : public QDialog {
    Q_OBJECT
public:
    ReportRunWindow(AppState& state, ReportDefinition definition, const ReportCriteria& criteria,
        std::function<void(Response)> done);
    ~ReportRunWindow() override;

    // Starts the scan on the first timer event after the window shows.
    void begin();

    QString percentText() const;
    QString lineText() const;
    bool barVisible() const;
    ReportRun& run() { return *run_; }

signals:
    // What the progress shows has changed (the window repainted).
    void percentShown(int percent);

public slots:
    // "Cancel" and Esc.
    void cancelPressed();

protected:
    void reject() override;

private:
    void startScan();
    void askFont();
    void tick();
    void scanEnded();
    void printList();
    void end(Response response);

    AppState& state_;
    std::shared_ptr<ReportRun> run_;
    std::shared_ptr<DirectPrint> direct_;
    std::function<void(Response)> done_;
    QProgressBar* bar_ = nullptr;
    QLabel* line_ = nullptr;
    QLabel* percent_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTimer timer_;
    int shownPercent_ = 0;
    bool started_ = false;
    bool inSlice_ = false;
    bool asking_ = false;
    bool scanOver_ = false;
    bool ended_ = false;
};

} // namespace td

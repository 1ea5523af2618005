#pragma once
// "Report Preview": the pages of a page list one at a time, with zoom and scrolling, page moves,
// marks, saving the current page as a picture, saving pages as a PDF, and the choice of what to
// print. On "Print.." (confirmed in the "Print..." window) the pages not chosen are removed from the
// list, their files deleted, and the answer is "print"; every other way out leaves the list as it
// was. The caller then prints the list (PagePrinting.h).
//
// Two faces share the window: ReportPreview() for the label previews (answer 1 print, 2 cancel) and
// PrintPreview() for the reports (answer print or not).

#include "reports/PageDoc.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace td {

class AppState;
class PageList;

inline constexpr int kPreviewPrint = 1;
inline constexpr int kPreviewCancel = 2;

// Shows `pages` for `caller`; `answered` gets kPreviewPrint or kPreviewCancel. The list must live
// until the answer. `title` names the report (the PDF's document title).
void ReportPreview(QWidget* caller, AppState& state, PageList& pages,
    std::function<void(int result)> answered, const QString& title = QString());
// The reports' face: answers true when the user asked to print.
void PrintPreview(QWidget* caller, AppState& state, PageList& pages, const QString& title,
    std::function<void(bool print)> answered);

class PreviewPageView;

class ReportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    ReportPreviewDialog(AppState& state, PageList& pages, const QString& title, QWidget* parent = nullptr);

    int currentPage() const { return current_ + 1; } // 1-based; 0 when there are no pages
    int markedCount() const { return markedCount_; }
    const QList<bool>& marks() const { return marks_; }
    int zoomEntry() const;
    // The size the page is shown at, in pixels, and the text shown instead of a page that cannot
    // be read (empty when the page shows).
    QSize pageViewSize() const;
    QString pageProblem() const;

    void showPage(int page); // 1-based
    // Saves the current page as .svg, .png or .pdf (by the name's suffix); a failure is reported.
    bool saveCurrentPage(const QString& path);
    // Saves the chosen pages as one PDF with the report's title.
    bool savePdf(const QString& path, const QList<int>& pages);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void applyZoom(int entry);
    void zoomBy(int direction);
    double widthFitPercent() const;
    double pixelsPerMil() const;
    void toggleMark(bool on);
    void goToPagePressed();
    void saveMetafilePressed();
    void savePdfPressed();
    void printPressed();

    AppState& state_;
    PageList& pages_;
    QString title_;
    QList<bool> marks_;
    int markedCount_ = 0;
    int current_ = -1;
    PageDoc page_;
    bool pageRead_ = false;

    QPushButton* first_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* last_ = nullptr;
    QPushButton* goTo_ = nullptr;
    QPushButton* saveMetafile_ = nullptr;
    QPushButton* savePdf_ = nullptr;
    QPushButton* print_ = nullptr;
    QComboBox* zoom_ = nullptr;
    QLabel* pageText_ = nullptr;
    QCheckBox* mark_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    PreviewPageView* view_ = nullptr;
};

} // namespace td

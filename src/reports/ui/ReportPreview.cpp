#include "reports/ui/ReportPreview.h"

#include "common/AppState.h"
#include "common/ui/FormHost.h"
#include "core/Messages.h"
#include "reports/PageList.h"
#include "reports/PdfOutput.h"
#include "reports/PreviewChoices.h"
#include "reports/ui/GoToPageDialog.h"
#include "reports/ui/PrintRangeDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace td {

namespace {
// Arrow keys scroll the page by these many pixels.
constexpr int kScrollDown = 51;
constexpr int kScrollAcross = 52;
} // namespace

// The page as drawn at the current zoom, or the reason it cannot be drawn.
class PreviewPageView : public QWidget {
public:
    PreviewPageView(const PageDoc& page, QWidget* parent)
        : QWidget(parent)
        , page_(page)
    {
        setObjectName(QStringLiteral("PageImage"));
        setFocusPolicy(Qt::NoFocus);
    }
    void setProblem(const QString& text)
    {
        problem_ = text;
        update();
    }
    const QString& problem() const { return problem_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (!problem_.isEmpty()) {
            painter.fillRect(rect(), palette().window());
            painter.setPen(palette().windowText().color());
            painter.drawText(rect().adjusted(20, 20, -20, -20),
                Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, problem_);
            return;
        }
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        renderPage(page_, painter, QRectF(rect()));
    }

private:
    const PageDoc& page_;
    QString problem_;
};

ReportPreviewDialog::ReportPreviewDialog(
    AppState& state, PageList& pages, const QString& title, QWidget* parent)
    : QDialog(parent)
    , state_(state)
    , pages_(pages)
    , title_(title.isEmpty() ? QStringLiteral("Report") : title)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Report Preview"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    // A report that prints the page-of-pages marker shows "page 3 of 12" from here on.
    fillPageOfPages(pages_.files(), pages_.count());
    marks_ = QList<bool>(pages_.count(), false);
    build();
    QSize size(980, 780);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 60));
    resize(size);
    applyZoom(kZoomWidth);
    showPage(pages_.isEmpty() ? 0 : 1);
}

void ReportPreviewDialog::build()
{
    auto button = [this](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->installEventFilter(this);
        return b;
    };
    auto* exit = button(QStringLiteral("Exit (Cancel Print)"), QStringLiteral("Exit"));
    auto* zoomIn = button(QStringLiteral("Zoom In"), QStringLiteral("ZoomIn"));
    auto* zoomOut = button(QStringLiteral("Zoom Out"), QStringLiteral("ZoomOut"));
    zoom_ = new QComboBox(this);
    zoom_->setObjectName(QStringLiteral("Zoom"));
    zoom_->addItems(zoomEntries());
    zoom_->setToolTip(QStringLiteral("Select Zoom Size"));
    auto* zoomLabel = new QLabel(QStringLiteral("Zoom:"), this);
    zoomLabel->setBuddy(zoom_);
    first_ = button(QStringLiteral("First Page"), QStringLiteral("FirstPage"));
    previous_ = button(QStringLiteral("Previous Page"), QStringLiteral("PreviousPage"));
    next_ = button(QStringLiteral("Next Page"), QStringLiteral("NextPage"));
    last_ = button(QStringLiteral("Last Page"), QStringLiteral("LastPage"));
    goTo_ = button(QStringLiteral("Go To Page.."), QStringLiteral("GoToPage"));
    pageText_ = new QLabel(this);
    pageText_->setObjectName(QStringLiteral("PageText"));
    pageText_->setMinimumWidth(
        pageText_->fontMetrics().horizontalAdvance(QStringLiteral("Page 00000 of 00000")));
    saveMetafile_ = button(QStringLiteral("Save as Metafile.."), QStringLiteral("SaveAsMetafile"));
    savePdf_ = button(QStringLiteral("Save as &PDF..."), QStringLiteral("SaveAsPdf"));
    mark_ = new QCheckBox(QStringLiteral("&Mark"), this);
    mark_->setObjectName(QStringLiteral("Mark"));
    mark_->setToolTip(QStringLiteral("Mark This Page"));
    mark_->installEventFilter(this);
    print_ = button(QStringLiteral("Print.."), QStringLiteral("Print"));

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("PageScroll"));
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->verticalScrollBar()->setSingleStep(kScrollDown);
    scroll_->horizontalScrollBar()->setSingleStep(kScrollAcross);
    view_ = new PreviewPageView(page_, scroll_);
    scroll_->setWidget(view_);

    auto* top = new QHBoxLayout;
    top->addWidget(exit);
    top->addSpacing(12);
    top->addWidget(zoomIn);
    top->addWidget(zoomOut);
    top->addWidget(zoomLabel);
    top->addWidget(zoom_);
    top->addStretch();
    top->addWidget(saveMetafile_);
    top->addWidget(savePdf_);
    top->addSpacing(12);
    top->addWidget(print_);
    auto* moves = new QHBoxLayout;
    for (QWidget* w : { static_cast<QWidget*>(first_), static_cast<QWidget*>(previous_),
             static_cast<QWidget*>(next_), static_cast<QWidget*>(last_), static_cast<QWidget*>(goTo_) })
        moves->addWidget(w);
    moves->addSpacing(12);
    moves->addWidget(pageText_);
    moves->addStretch();
    moves->addWidget(mark_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(moves);
    layout->addWidget(scroll_, 1);

    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(zoomIn, &QPushButton::clicked, this, [this] { zoomBy(+1); });
    connect(zoomOut, &QPushButton::clicked, this, [this] { zoomBy(-1); });
    connect(zoom_, &QComboBox::activated, this, [this](int entry) { applyZoom(entry); });
    connect(first_, &QPushButton::clicked, this, [this] { showPage(1); });
    connect(previous_, &QPushButton::clicked, this, [this] { showPage(current_); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(current_ + 2); });
    connect(last_, &QPushButton::clicked, this, [this] { showPage(pages_.count()); });
    connect(goTo_, &QPushButton::clicked, this, &ReportPreviewDialog::goToPagePressed);
    connect(mark_, &QCheckBox::clicked, this, &ReportPreviewDialog::toggleMark);
    connect(saveMetafile_, &QPushButton::clicked, this, &ReportPreviewDialog::saveMetafilePressed);
    connect(savePdf_, &QPushButton::clicked, this, &ReportPreviewDialog::savePdfPressed);
    connect(print_, &QPushButton::clicked, this, &ReportPreviewDialog::printPressed);

    const bool any = !pages_.isEmpty();
    goTo_->setEnabled(pages_.count() > 1);
    for (QWidget* w : { static_cast<QWidget*>(mark_), static_cast<QWidget*>(saveMetafile_),
             static_cast<QWidget*>(savePdf_), static_cast<QWidget*>(print_) })
        w->setEnabled(any);
    exit->setFocus();
}

int ReportPreviewDialog::zoomEntry() const
{
    return zoom_->currentIndex();
}

QSize ReportPreviewDialog::pageViewSize() const
{
    return view_->size();
}

QString ReportPreviewDialog::pageProblem() const
{
    return view_->problem();
}

void ReportPreviewDialog::showPage(int page)
{
    const int count = pages_.count();
    if (count == 0) {
        current_ = -1;
        pageRead_ = false;
        page_ = PageDoc();
        view_->setProblem(QStringLiteral("There are no pages to show."));
    } else {
        current_ = qBound(1, page, count) - 1;
        page_ = PageDoc();
        QString why;
        pageRead_ = pages_.read(current_, page_, &why);
        if (!pageRead_)
            page_ = PageDoc();
        view_->setProblem(pageRead_
                ? QString()
                : QStringLiteral("Page %1 cannot be shown.\n\n%2").arg(current_ + 1).arg(why));
    }
    pageText_->setText(QStringLiteral("Page %1 of %2").arg(current_ + 1).arg(count));
    mark_->setChecked(marks_.value(current_));
    first_->setEnabled(current_ > 0);
    previous_->setEnabled(current_ > 0);
    next_->setEnabled(current_ + 1 < count);
    last_->setEnabled(current_ + 1 < count);
    applyZoom(zoom_->currentIndex());
}

double ReportPreviewDialog::pixelsPerMil() const
{
    return logicalDpiX() / 1000.0;
}

double ReportPreviewDialog::widthFitPercent() const
{
    return 100.0 * view_->width() / qMax(1.0, page_.size.width() * pixelsPerMil());
}

void ReportPreviewDialog::applyZoom(int entry)
{
    entry = qBound(0, entry, zoom_->count() - 1);
    zoom_->setCurrentIndex(entry);
    const QSizeF mils = QSizeF(page_.size.isValid() && !page_.size.isEmpty() ? page_.size : PageDoc().size);
    double scale;
    if (entry == kZoomWidth) {
        // The page fills the width that is left once the vertical scroll bar it needs is shown.
        const QSize room = scroll_->maximumViewportSize();
        double width = room.width();
        if (mils.height() * width / mils.width() > room.height())
            width -= scroll_->verticalScrollBar()->sizeHint().width();
        scale = qMax(1.0, width) / mils.width();
    } else {
        scale = pixelsPerMil() * zoomPercent(entry) / 100.0;
    }
    view_->resize(qMax(1, qRound(mils.width() * scale)), qMax(1, qRound(mils.height() * scale)));
}

void ReportPreviewDialog::zoomBy(int direction)
{
    applyZoom(zoomStep(zoom_->currentIndex(), direction, widthFitPercent()));
}

void ReportPreviewDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (zoom_ && zoom_->currentIndex() == kZoomWidth)
        applyZoom(kZoomWidth);
}

bool ReportPreviewDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            QScrollBar* down = scroll_->verticalScrollBar();
            QScrollBar* across = scroll_->horizontalScrollBar();
            switch (key->key()) {
            case Qt::Key_Down:
                down->setValue(down->value() + kScrollDown);
                return true;
            case Qt::Key_Up:
                down->setValue(down->value() - kScrollDown);
                return true;
            case Qt::Key_Right:
                across->setValue(across->value() + kScrollAcross);
                return true;
            case Qt::Key_Left:
                across->setValue(across->value() - kScrollAcross);
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ReportPreviewDialog::toggleMark(bool on)
{
    if (current_ < 0 || marks_.value(current_) == on)
        return;
    marks_[current_] = on;
    markedCount_ += on ? 1 : -1;
}

void ReportPreviewDialog::goToPagePressed()
{
    auto* d = new GoToPageDialog(pages_.count(), current_ + 1);
    openForm(this, d, [this, d](int result) {
        if (result == QDialog::Accepted)
            showPage(d->page());
    });
}

bool ReportPreviewDialog::saveCurrentPage(const QString& path)
{
    QString why;
    if (!pageRead_)
        why = view_->problem();
    else if (exportPage(page_, path, &why))
        return true;
    state_.messages.show(QStringLiteral("Save Current Page"),
        QStringLiteral("The page could not be saved as %1.|%2").arg(path, why), Icon::Exclamation);
    return false;
}

bool ReportPreviewDialog::savePdf(const QString& path, const QList<int>& pages)
{
    QStringList files;
    for (int i : pages)
        files << pages_.file(i);
    QString why;
    if (writePdf(files, path, title_, &why))
        return true;
    state_.messages.show(QStringLiteral("Save as PDF"),
        QStringLiteral("The PDF %1 was not written.|%2").arg(path, why), Icon::Exclamation);
    return false;
}

namespace {

// A save-file chooser beside the preview, without a loop of its own; `chosen` gets the name, with
// the suffix of the chosen kind added when none was typed.
void chooseFileToSave(QWidget* parent, const QString& caption, const QStringList& filters,
    const QString& name, std::function<void(const QString&)> chosen)
{
    auto* dialog = new QFileDialog(parent, caption, QString(), filters.join(QStringLiteral(";;")));
    dialog->setObjectName(name);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    QObject::connect(
        dialog, &QFileDialog::fileSelected, parent, [dialog, chosen = std::move(chosen)](QString path) {
            if (QFileInfo(path).suffix().isEmpty()) {
                const QString filter = dialog->selectedNameFilter();
                const qsizetype star = filter.indexOf(QStringLiteral("*."));
                if (star >= 0)
                    path += QLatin1Char('.') + filter.mid(star + 2).section(QLatin1Char(')'), 0, 0);
            }
            chosen(path);
        });
    dialog->open();
}

} // namespace

void ReportPreviewDialog::saveMetafilePressed()
{
    chooseFileToSave(this, QStringLiteral("Save Current Page to MetaFile..."),
        { QStringLiteral("SVG Picture (*.svg)"), QStringLiteral("PNG Picture (*.png)"),
            QStringLiteral("PDF Document (*.pdf)") },
        QStringLiteral("SaveCurrentPage"), [this](const QString& path) { saveCurrentPage(path); });
}

void ReportPreviewDialog::savePdfPressed()
{
    auto* d = new PrintRangeDialog(QStringLiteral("Save as PDF..."), pages_.count(), markedCount_);
    openForm(this, d, [this, d](int result) {
        if (result != QDialog::Accepted)
            return;
        const QList<int> chosen = chosenPages(d->answer(), marks_, pages_.count());
        chooseFileToSave(this, QStringLiteral("Save as PDF"), { QStringLiteral("PDF Document (*.pdf)") },
            QStringLiteral("SavePdf"), [this, chosen](const QString& path) { savePdf(path, chosen); });
    });
}

void ReportPreviewDialog::printPressed()
{
    auto* d = new PrintRangeDialog(QStringLiteral("Print..."), pages_.count(), markedCount_);
    openForm(this, d, [this, d](int result) {
        if (result != QDialog::Accepted)
            return;
        keepChosenPages(pages_, d->answer(), marks_);
        accept();
    });
}

void ReportPreview(QWidget* caller, AppState& state, PageList& pages,
    std::function<void(int result)> answered, const QString& title)
{
    auto* d = new ReportPreviewDialog(state, pages, title);
    openForm(caller, d, [answered = std::move(answered)](int result) {
        if (answered)
            answered(result == QDialog::Accepted ? kPreviewPrint : kPreviewCancel);
    });
}

void PrintPreview(QWidget* caller, AppState& state, PageList& pages, const QString& title,
    std::function<void(bool print)> answered)
{
    ReportPreview(
        caller, state, pages,
        [answered = std::move(answered)](int result) {
            if (answered)
                answered(result == kPreviewPrint);
        },
        title);
}

} // namespace td

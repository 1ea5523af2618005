#include "common/ui/BrowseList.h"

#include "common/ui/PagedTableModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>

namespace td {

// The table view inside: keys, wheel and mouse go to the paged list instead of scrolling a view
// that only ever holds one page.
class PageView : public QTableView {
public:
    explicit PageView(BrowseList* owner)
        : QTableView(owner)
        , owner_(owner)
    {
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (!owner_->handleKey(e))
            QTableView::keyPressEvent(e);
    }
    void wheelEvent(QWheelEvent* e) override
    {
        const int steps = e->angleDelta().y() / 40;
        if (steps != 0)
            owner_->run([steps](PagedList& l) {
                int err = 0;
                for (int i = 0; i < qAbs(steps) && !err; ++i)
                    err = steps > 0 ? l.lineUp() : l.lineDown();
                return err;
            });
        e->accept();
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        const QModelIndex i = indexAt(e->position().toPoint());
        if (i.isValid())
            owner_->rowClicked(i.row());
        if (e->button() == Qt::RightButton) {
            e->accept();
            emit owner_->contextMenuRequested(e->globalPosition().toPoint());
            return;
        }
        QTableView::mousePressEvent(e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && indexAt(e->position().toPoint()).isValid()) {
            e->accept();
            emit owner_->changeRequested();
            return;
        }
        QTableView::mouseDoubleClickEvent(e);
    }
    void contextMenuEvent(QContextMenuEvent* e) override
    {
        // The keyboard's menu key: the menu at the highlighted row.
        if (e->reason() == QContextMenuEvent::Keyboard) {
            e->accept();
            emit owner_->contextMenuRequested(e->globalPos());
        }
    }

private:
    BrowseList* owner_;
};

void BrowseList::setFitColumns(bool on)
{
    fitColumns_ = on;
    updateGeometry();
}

QSize BrowseList::sizeHint() const
{
    const QSize base = QWidget::sizeHint();
    if (!fitColumns_)
        return base;
    const int columns = view_->horizontalHeader()->length() + 2 * view_->frameWidth();
    const int gap = layout() ? qMax(0, layout()->spacing()) + layout()->contentsMargins().left()
            + layout()->contentsMargins().right()
                             : 0;
    return QSize(qMax(base.width(), columns + scrollBar_->sizeHint().width() + gap + 2), base.height());
}

BrowseList::BrowseList(PagedList& list, PagedTableModel& model, QWidget* parent)
    : QWidget(parent)
    , list_(list)
    , model_(model)
    , view_(new PageView(this))
    , scrollBar_(new QScrollBar(Qt::Vertical, this))
{
    view_->setModel(&model_);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setTabKeyNavigation(false);
    view_->setWordWrap(false);
    view_->setAlternatingRowColors(true);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Compact rows: a catalogue list shows as many songs as the window holds.
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->horizontalHeader()->setSectionsMovable(true);
    view_->horizontalHeader()->setHighlightSections(false);
    // The width the list asks for follows its columns (see sizeHint).
    connect(view_->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (fitColumns_)
            updateGeometry();
    });
    view_->setDragEnabled(true);
    view_->setDragDropMode(QAbstractItemView::DragOnly);
    setFocusProxy(view_);
    view_->viewport()->installEventFilter(this);

    scrollBar_->setRange(0, 100);
    scrollBar_->setPageStep(10);
    scrollBar_->setSingleStep(1);
    connect(scrollBar_, &QScrollBar::actionTriggered, this, &BrowseList::scrollAction);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_, 1);
    layout->addWidget(scrollBar_);
}

QTableView* BrowseList::view() const
{
    return view_;
}

void BrowseList::setLocator(std::function<Row(const QString&)> values, int maxLength)
{
    locator_ = std::move(values);
    locatorMax_ = maxLength;
}

void BrowseList::setLocatorText(const QString& text)
{
    locatorText_ = text.left(locatorMax_);
    emit locatorChanged(locatorText_);
}

int BrowseList::rowsVisible() const
{
    const int rowHeight = qMax(1, view_->verticalHeader()->defaultSectionSize());
    return qMax(1, view_->viewport()->height() / rowHeight);
}

void BrowseList::fitPageSize()
{
    const int rows = rowsVisible();
    if (rows == list_.pageSize())
        return;
    list_.setPageSize(rows);
    if (started_)
        run([](PagedList& l) { return l.rebuild(); });
}

bool BrowseList::eventFilter(QObject* watched, QEvent* e)
{
    // The page holds as many rows as the view shows in full.
    if (watched == view_->viewport() && e->type() == QEvent::Resize)
        fitPageSize();
    return QWidget::eventFilter(watched, e);
}

bool BrowseList::run(const std::function<int(PagedList&)>& read)
{
    started_ = true;
    const int err = read(list_);
    if (err) {
        emit readFailed(err);
        return false;
    }
    showPage();
    return true;
}

void BrowseList::showPage()
{
    updating_ = true;
    const int column = qMax(0, view_->currentIndex().column());
    model_.pageChanged();
    if (list_.highlight() >= 0) {
        const QModelIndex i = model_.index(list_.highlight(), column);
        view_->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    scrollBar_->setValue(list_.thumb());
    updating_ = false;
    emit highlightChanged();
}

void BrowseList::rowClicked(int row)
{
    if (row == list_.highlight())
        return;
    list_.setHighlight(row);
    if (view_->selectionMode() == QAbstractItemView::SingleSelection) {
        showPage();
        return;
    }
    // A list where several rows may be chosen (to drag them out together): the view keeps its
    // selection and handles the click; only the highlight moves.
    scrollBar_->setValue(list_.thumb());
    emit highlightChanged();
}

void BrowseList::scrollAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        run([](PagedList& l) { return l.lineDown(); });
        break;
    case QAbstractSlider::SliderSingleStepSub:
        run([](PagedList& l) { return l.lineUp(); });
        break;
    case QAbstractSlider::SliderPageStepAdd:
        run([](PagedList& l) { return l.pageDown(); });
        break;
    case QAbstractSlider::SliderPageStepSub:
        run([](PagedList& l) { return l.pageUp(); });
        break;
    case QAbstractSlider::SliderToMinimum:
        run([](PagedList& l) { return l.first(); });
        break;
    case QAbstractSlider::SliderToMaximum:
        run([](PagedList& l) { return l.last(); });
        break;
    case QAbstractSlider::SliderMove: {
        const int to = scrollBar_->sliderPosition();
        run([to](PagedList& l) { return l.locateThumb(to); });
        break;
    }
    default:
        break;
    }
}

bool BrowseList::handleKey(QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const int key = e->key();
    switch (key) {
    case Qt::Key_Up:
        return run([](PagedList& l) { return l.moveHighlight(-1); }), true;
    case Qt::Key_Down:
        return run([](PagedList& l) { return l.moveHighlight(1); }), true;
    case Qt::Key_PageUp:
        return run([](PagedList& l) { return l.pageUp(); }), true;
    case Qt::Key_PageDown:
        return run([](PagedList& l) { return l.pageDown(); }), true;
    case Qt::Key_Home:
        return run([](PagedList& l) { return l.first(); }), true;
    case Qt::Key_End:
        return run([](PagedList& l) { return l.last(); }), true;
    case Qt::Key_Insert:
        if (mods == Qt::NoModifier) {
            emit insertRequested();
            return true;
        }
        return false;
    case Qt::Key_Delete:
        if (mods == Qt::NoModifier) {
            emit deleteRequested();
            return true;
        }
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods == Qt::ControlModifier) {
            emit changeRequested();
            return true;
        }
        e->ignore();        // Enter alone belongs to the window's default button
        return true;
    case Qt::Key_Backspace:
        if (!locator_)
            return false;
        if (!locatorText_.isEmpty()) {
            locatorText_.chop(1);
            emit locatorChanged(locatorText_);
            const Row v = locator_(locatorText_);
            run([v](PagedList& l) { return l.locate(v); });
        }
        return true;
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        e->ignore();
        return true;
    default:
        break;
    }
    if (!locator_ || (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QString text = e->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;         // a key that gives no character is not the locator's
    if (locatorText_.size() + text.size() > locatorMax_)
        return true;
    locatorText_ += text;
    emit locatorChanged(locatorText_);
    const Row v = locator_(locatorText_);
    run([v](PagedList& l) { return l.locate(v); });
    return true;
}

} // namespace td

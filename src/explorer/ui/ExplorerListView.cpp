#include "explorer/ui/ExplorerListView.h"

#include "common/AppState.h"
#include "common/ui/ColumnFormatMemory.h"
#include "core/ConfigPaths.h"
#include "core/Messages.h"
#include "core/ListFormat.h"
#include "core/Picture.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>

namespace td {

namespace {

Qt::Alignment alignmentOf(QChar j)
{
    switch (j.toUpper().unicode()) {
    case 'R':
    case 'D':
        return Qt::AlignRight | Qt::AlignVCenter;
    case 'C':
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

// The page of the explorer list as a table: one row per row of the page, in the order shown.
class ExplorerModel : public QAbstractTableModel {
public:
    ExplorerModel(ExplorerListView& w)
        : w_(w)
    {
    }
    void reset()
    {
        beginResetModel();
        rows_ = w_.list().rows();
        pictures_.clear();
        for (const ShownColumn& s : w_.shown())
            pictures_ << Picture(s.format.picture);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(w_.shown().size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rows_.size() || index.column() >= w_.shown().size())
            return {};
        const ShownColumn& s = w_.shown().at(index.column());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(alignmentOf(s.format.justification));
        if (role != Qt::DisplayRole)
            return {};
        return w_.list().cellText(rows_.at(index.row()).row, s.column, pictures_.at(index.column()));
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o != Qt::Horizontal || section >= w_.shown().size())
            return {};
        if (role == Qt::DisplayRole)
            return w_.headerText(section);
        if (role == Qt::TextAlignmentRole) {
            const ListColumn& c = w_.shown().at(section).format;
            return QVariant::fromValue(alignmentOf(c.headerJustification.isNull() ? c.justification : c.headerJustification));
        }
        return {};
    }

private:
    ExplorerListView& w_;
    QList<PageRow> rows_;
    QList<Picture> pictures_;
};

ExplorerListView::ExplorerListView(AppState& state, ExplorerKind kind, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , kind_(kind)
    , list_(std::make_unique<ExplorerList>(state.db, kind))
    , dateFormat_(state.settings.DateFormat)
{
    settings_.format = explorerDesignedFormat(kind);
    restoreExplorerFormat(positionIniPath(), kind, explorerDesignedFormat(kind), settings_);
    shown_ = shownColumns(applyDateFormat(settings_.format, dateFormat_), kind);
    if (shown_.isEmpty())
        shown_ = shownColumns(applyDateFormat(explorerDesignedFormat(kind), dateFormat_), kind);
    model_ = std::make_unique<ExplorerModel>(*this);

    const QFontMetrics fm(font());
    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("ExplorerList"));
    view_->setModel(model_.get());
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(fm.height() + 4);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);
    QHeaderView* header = view_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::sectionClicked, this, &ExplorerListView::headerClicked);
    connect(header, &QHeaderView::customContextMenuRequested, this,
            [this, header](const QPoint& p) { showHeaderMenu(header->mapToGlobal(p)); });
    connect(view_, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& p) { emit popupRequested(view_->viewport()->mapToGlobal(p)); });
    connect(view_, &QTableView::clicked, this, [this](const QModelIndex& i) {
        list_->setHighlight(i.row());
        emit highlightChanged();
    });
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex&) { emit changeRequested(); });

    scroll_ = new QScrollBar(Qt::Vertical, this);
    scroll_->setRange(0, 100);
    scroll_->setPageStep(10);
    connect(scroll_, &QScrollBar::actionTriggered, this, [this](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: run(list_->lineDown()); break;
        case QAbstractSlider::SliderSingleStepSub: run(list_->lineUp()); break;
        case QAbstractSlider::SliderPageStepAdd: run(list_->pageDown()); break;
        case QAbstractSlider::SliderPageStepSub: run(list_->pageUp()); break;
        case QAbstractSlider::SliderMove: run(list_->locateThumb(scroll_->sliderPosition())); break;
        default: break;
        }
    });
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(view_, 1);
    row->addWidget(scroll_);
    setFocusProxy(view_);
    applyListSettings(settings_);
    applyFormat(currentFormat());
}

ExplorerListView::~ExplorerListView()
{
    // The list's events no longer come here while it goes.
    view_->removeEventFilter(this);
    view_->viewport()->removeEventFilter(this);
    delete view_;
    view_ = nullptr;
    model_.reset();
}

QFont ExplorerListView::listFont() const
{
    return view_->font();
}

void ExplorerListView::applyListSettings(const ExplorerListSettings& s)
{
    const QString format = settings_.format;
    settings_ = s;
    settings_.format = format;
    QFont f = font();
    if (!s.font.trimmed().isEmpty())
        f.setFamily(s.font.trimmed());
    if (s.point > 0)
        f.setPointSize(s.point);
    if (s.style > 0) {
        // The style keeps the weight (400 regular, 700 bold) and 1 added for italic.
        f.setWeight(QFont::Weight(qBound(100, s.style - (s.style & 1), 900)));
        f.setItalic(s.style & 1);
    }
    view_->setFont(f);
    const int line = s.lineHeight > 0 ? s.lineHeight : QFontMetrics(f).height() + 4;
    view_->verticalHeader()->setMinimumSectionSize(1);
    view_->verticalHeader()->setDefaultSectionSize(line);
    view_->setHorizontalScrollBarPolicy(s.hscroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    scroll_->setVisible(s.vscroll);
    fitPageSize();
    fitColumns();
}

QString ExplorerListView::headerText(int place) const
{
    if (place < 0 || place >= shown_.size())
        return {};
    const QString h = unmarkedHeader(shown_.at(place).format.header);
    if (shown_.at(place).column == list_->orderColumn())
        return markedHeader(h, list_->descending());
    return h;
}

QString ExplorerListView::currentFormat() const
{
    return formatWithoutMarker(formatOf(shown_));
}

void ExplorerListView::applyFormat(const QString& format)
{
    // Dates show in the user's date format, also in a format the reformat window built anew.
    const QList<ShownColumn> s = shownColumns(applyDateFormat(format, dateFormat_), kind_);
    if (s.isEmpty())
        return;
    shown_ = s;
    updateGeometry();
    // The highlighted record stays selected on the new columns.
    model_->reset();
    if (list_->highlight() >= 0)
        view_->selectRow(list_->highlight());
    fitColumns();
}

int ExplorerListView::leastWidth(int place) const
{
    // The header readable, and a number, date or time whole (text may be cut).
    const QFontMetrics fm = view_->horizontalHeader()->fontMetrics();
    int least = fm.horizontalAdvance(headerText(place)) + 2 * fm.averageCharWidth();
    const Picture p(shown_.at(place).format.picture);
    if (!p.isText())
        least = qMax(least, pictureTextWidth(p, view_->font()) + 2 * fm.averageCharWidth());
    return least;
}

int ExplorerListView::designedWidth(int place) const
{
    return shown_.at(place).format.width * view_->horizontalHeader()->fontMetrics().averageCharWidth() / 4;
}

void ExplorerListView::fitColumns()
{
    // Each column its own width, cut to what is left of the list's width (never below what it
    // needs to be read); the last one takes what remains.
    int free = view_->viewport()->width();
    for (int i = 0; i < shown_.size(); ++i) {
        int w = qMax(leastWidth(i), qMin(designedWidth(i), free));
        if (i == shown_.size() - 1)
            w = qMax(w, free);
        view_->setColumnWidth(i, w);
        free = qMax(0, free - w);
    }
}

void ExplorerListView::setFitColumns(bool on)
{
    fitColumns_ = on;
    updateGeometry();
}

QSize ExplorerListView::sizeHint() const
{
    const QSize base = QWidget::sizeHint();
    if (!fitColumns_)
        return base;
    int columns = 2 * view_->frameWidth() + 2;
    for (int i = 0; i < shown_.size(); ++i)
        columns += qMax(leastWidth(i), designedWidth(i));
    return QSize(qMax(base.width(), columns + (scroll_->isVisibleTo(this) ? scroll_->sizeHint().width() : 0)),
                 base.height());
}

void ExplorerListView::showPage()
{
    model_->reset();
    const int h = list_->highlight();
    if (h >= 0)
        view_->selectRow(h);
    scroll_->blockSignals(true);
    scroll_->setValue(list_->thumb());
    scroll_->blockSignals(false);
    emit highlightChanged();
}

bool ExplorerListView::run(int rc)
{
    if (rc != 0 && rc != 33) {
        emit readFailed(rc);
        return false;
    }
    showPage();
    return true;
}

bool ExplorerListView::rebuild(qint64 position)
{
    if (position != 0)
        return run(list_->showPosition(position));
    if (list_->highlightedPosition() != 0)
        return run(list_->rebuild());
    return run(list_->first());
}

void ExplorerListView::headerClicked(int place)
{
    if (place < 0 || place >= shown_.size())
        return;
    const int column = shown_.at(place).column;
    const ExplorerColumn& c = explorerColumns(kind_).at(column);
    if (list_->columnKey(column) < 0) {
        state_.messages.show(explorerOrderRefusalTitle(), explorerOrderRefusal(unmarkedHeader(shown_.at(place).format.header), c.field),
                             Icon::Exclamation);
        return;
    }
    locatorText_.clear();
    emit locatorChanged(locatorText_);
    run(list_->orderByClick(column));
    fitColumns();
    view_->horizontalHeader()->viewport()->update();
}

void ExplorerListView::keySequence()
{
    locatorText_.clear();
    emit locatorChanged(locatorText_);
    run(list_->orderBy(-1, false));
    fitColumns();
    view_->horizontalHeader()->viewport()->update();
}

void ExplorerListView::showHeaderMenu(const QPoint& at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("HeaderMenu"));
    menu.addAction(QStringLiteral("Escape"));
    QAction* key = menu.addAction(QStringLiteral("Key Sequence"));
    if (menu.exec(at) == key)
        keySequence();
}

void ExplorerListView::typed(const QString& text)
{
    locatorText_ = text.left(30);
    emit locatorChanged(locatorText_);
    if (locatorText_.isEmpty()) {
        run(list_->first());
        return;
    }
    const int column = list_->orderColumn() < 0 ? 0 : list_->orderColumn();
    QString picture = explorerColumns(kind_).at(column).picture;
    for (const ShownColumn& s : shown_)
        if (s.column == column)
            picture = s.format.picture;
    const int rc = list_->locate(locatorText_, picture);
    if (rc == 88)
        return;     // not yet a value of the column's format: wait for more
    run(rc);
}

bool ExplorerListView::browseStep(BrowseStep step)
{
    switch (step) {
    case BrowseStep::FirstRecord: return run(list_->first());
    case BrowseStep::PreviousPage: return run(list_->pageUp());
    case BrowseStep::PreviousRecord: return run(list_->moveHighlight(-1));
    case BrowseStep::NextRecord: return run(list_->moveHighlight(1));
    case BrowseStep::NextPage: return run(list_->pageDown());
    case BrowseStep::LastRecord: return run(list_->last());
    }
    return false;
}

bool ExplorerListView::eventFilter(QObject* watched, QEvent* e)
{
    if (!view_)
        return QWidget::eventFilter(watched, e);
    if (watched == view_->viewport() && e->type() == QEvent::Wheel) {
        const int dy = static_cast<QWheelEvent*>(e)->angleDelta().y();
        for (int i = 0; i < 3; ++i)
            if (!run(dy > 0 ? list_->lineUp() : list_->lineDown()))
                break;
        return true;
    }
    if (watched == view_->viewport() && e->type() == QEvent::Resize) {
        fitPageSize();
        fitColumns();
    }
    if (watched != view_ || e->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    switch (k->key()) {
    case Qt::Key_Down: run(list_->moveHighlight(1)); return true;
    case Qt::Key_Up: run(list_->moveHighlight(-1)); return true;
    case Qt::Key_PageDown: run(list_->pageDown()); return true;
    case Qt::Key_PageUp: run(list_->pageUp()); return true;
    case Qt::Key_Home:
        if (k->modifiers() & Qt::ControlModifier) {
            run(list_->first());
            return true;
        }
        break;
    case Qt::Key_End:
        if (k->modifiers() & Qt::ControlModifier) {
            run(list_->last());
            return true;
        }
        break;
    case Qt::Key_Insert: emit insertRequested(); return true;
    case Qt::Key_Delete: emit deleteRequested(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (k->modifiers() & Qt::ControlModifier)
            emit changeRequested();
        else
            emit accepted();
        return true;
    case Qt::Key_Backspace:
        if (!typedHook_ && !locatorText_.isEmpty())
            typed(locatorText_.chopped(1));
        return true;
    default:
        break;
    }
    const QString t = k->text();
    if (!t.isEmpty() && t.at(0).isPrint() && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (typedHook_)
            typedHook_(t);
        else
            typed(locatorText_ + t);
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void ExplorerListView::fitPageSize()
{
    const int rows = qMax(1, view_->viewport()->height() / qMax(1, view_->verticalHeader()->defaultSectionSize()));
    if (rows == list_->pageSize())
        return;
    list_->setPageSize(rows);
    if (list_->rowCount() > 0)
        run(list_->rebuild());
}

void ExplorerListView::saveFormat() const
{
    ExplorerListSettings s = settings_;
    s.format = currentFormat();
    s.prevCol = list_->orderColumn() + 1 > 0 ? list_->orderColumn() + 1 : 1;
    s.xpos = x();
    s.ypos = y();
    s.width = width();
    s.height = height();
    saveExplorerFormat(positionIniPath(), kind_, explorerDesignedFormat(kind_), s);
}

} // namespace td

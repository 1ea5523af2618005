#include "explorer/ui/ExplorerWindow.h"

#include "common/AppState.h"
#include "common/ui/WidgetPosition.h"
#include "core/ConfigPaths.h"
#include "core/Messages.h"
#include "core/Picture.h"
#include "data/Database.h"
#include "data/StandardWarning.h"
#include "explorer/ExplorerFormat.h"
#include "explorer/ui/ExplorerListPlace.h"
#include "explorer/ui/XploreProcReformat.h"

#include <QAbstractTableModel>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
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
    ExplorerModel(ExplorerWindow& w)
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
        const QVariant v = w_.list().columnValue(rows_.at(index.row()).row, s.column);
        const Picture& p = pictures_.at(index.column());
        if (p.isDate() || (p.isNumber() && explorerColumns(w_.kind()).at(s.column).picture.startsWith(QLatin1String("@d"))))
            return formatDateValue(p, v.toLongLong());
        return p.formatVariant(v);
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
    ExplorerWindow& w_;
    QList<PageRow> rows_;
    QList<Picture> pictures_;
};

ExplorerWindow::ExplorerWindow(AppState& state, ExplorerKind kind, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , kind_(kind)
    , list_(std::make_unique<ExplorerList>(state.db, kind))
{
    setObjectName(explorerSection(kind));
    dateFormat_ = state.settings.DateFormat;
    ExplorerListSettings& s = settings_;
    s.format = explorerDesignedFormat(kind);
    restoreExplorerFormat(positionIniPath(), kind, explorerDesignedFormat(kind), s);
    shown_ = shownColumns(applyDateFormat(s.format, dateFormat_), kind);
    if (shown_.isEmpty())
        shown_ = shownColumns(applyDateFormat(explorerDesignedFormat(kind), dateFormat_), kind);
    model_ = std::make_unique<ExplorerModel>(*this);
    properties_ = button(QStringLiteral("View &Properties"), QStringLiteral("ViewProperties"),
                         QStringLiteral("Re-format Columns of BrowseBox"));
    connect(properties_, &QPushButton::clicked, this, &ExplorerWindow::reformat);
}

ExplorerWindow::~ExplorerWindow()
{
    // The list's events no longer come here while it goes.
    if (view_) {
        view_->removeEventFilter(this);
        view_->viewport()->removeEventFilter(this);
    }
    delete view_;
    view_ = nullptr;
    model_.reset();
}

QPushButton* ExplorerWindow::button(const QString& text, const QString& name, const QString& tip)
{
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

void ExplorerWindow::build(const QList<QPushButton*>& buttons)
{
    const QFontMetrics fm(font());
    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("ExplorerList"));
    view_->setModel(model_.get());
    view_->setToolTip(QStringLiteral("Click on header to change order, or right-click for options"));
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
    connect(header, &QHeaderView::sectionClicked, this, &ExplorerWindow::headerClicked);
    connect(header, &QHeaderView::customContextMenuRequested, this,
            [this, header](const QPoint& p) { showHeaderMenu(header->mapToGlobal(p)); });
    connect(view_, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& p) { showPopup(view_->viewport()->mapToGlobal(p)); });
    connect(view_, &QTableView::clicked, this, [this](const QModelIndex& i) {
        list_->setHighlight(i.row());
        updateButtons();
    });
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex&) { changeRecord(); });

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
    auto* listRow = new QHBoxLayout;
    listRow->setSpacing(0);
    listRow->addWidget(view_, 1);
    listRow->addWidget(scroll_);

    auto* prompt = new QLabel(QStringLiteral("Locator:"), this);
    locator_ = new QLabel(this);
    locator_->setObjectName(QStringLiteral("LocatorText"));
    locator_->setMinimumWidth(fm.averageCharWidth() * 30);
    auto* locatorRow = new QHBoxLayout;
    locatorRow->addWidget(prompt);
    locatorRow->addWidget(locator_, 1);
    locatorRow->addWidget(explorerPicture(this));

    auto* buttonRow = new QHBoxLayout;
    for (QPushButton* p : buttons) {
        const int margin = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, p)
                                   + style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, p));
        p->setMinimumWidth(p->fontMetrics().horizontalAdvance(QString(p->text()).remove(QLatin1Char('&'))) + margin);
        buttonRow->addWidget(p);
    }

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    status->addWidget(new QLabel(QStringLiteral("Browsing Records"), status));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(locatorRow);
    layout->addLayout(listRow, 1);
    layout->addLayout(buttonRow);
    layout->addWidget(status);
    setFocusProxy(view_);
    setMinimumSize(layout->totalMinimumSize().expandedTo(QSize(fm.averageCharWidth() * 80, fm.height() * 16)));
    applyListSettings(settings_);
    applyFormat(currentFormat());
}

void ExplorerWindow::applyListSettings(const ExplorerListSettings& s)
{
    const QString format = settings_.format;
    settings_ = s;
    settings_.format = format;
    if (!view_)
        return;
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

bool ExplorerWindow::start()
{
    setWindowTitle(explorerCaption(kind_, list_->table().records()));
    list_->buildIndexesAhead();
    fitPageSize();
    if (list_->first() != 0) {
        readFailed(list_->lastError());
        return !closing_;
    }
    showPage();
    return true;
}

QString ExplorerWindow::headerText(int place) const
{
    if (place < 0 || place >= shown_.size())
        return {};
    const QString h = unmarkedHeader(shown_.at(place).format.header);
    if (shown_.at(place).column == list_->orderColumn())
        return markedHeader(h, list_->descending());
    return h;
}

QString ExplorerWindow::currentFormat() const
{
    return formatWithoutMarker(formatOf(shown_));
}

void ExplorerWindow::applyFormat(const QString& format)
{
    const QList<ShownColumn> s = shownColumns(format, kind_);
    if (s.isEmpty())
        return;
    shown_ = s;
    model_->reset();
    fitColumns();
}

void ExplorerWindow::fitColumns()
{
    if (!view_)
        return;
    // Each column its own width, cut to what is left of the list's width (never below its header's
    // width, so that every header stays readable); the last one takes what remains.
    const QFontMetrics fm = view_->horizontalHeader()->fontMetrics();
    int free = view_->viewport()->width();
    for (int i = 0; i < shown_.size(); ++i) {
        const int least = fm.horizontalAdvance(headerText(i)) + 2 * fm.averageCharWidth();
        int w = qMax(least, qMin(shown_.at(i).format.width * fm.averageCharWidth() / 4, free));
        if (i == shown_.size() - 1)
            w = qMax(w, free);
        view_->setColumnWidth(i, w);
        free = qMax(0, free - w);
    }
}

void ExplorerWindow::showPage()
{
    model_->reset();
    const int h = list_->highlight();
    if (h >= 0)
        view_->selectRow(h);
    scroll_->blockSignals(true);
    scroll_->setValue(list_->thumb());
    scroll_->blockSignals(false);
    locator_->setText(locatorText_);
    updateButtons();
}

bool ExplorerWindow::run(int rc)
{
    if (rc != 0 && rc != 33) {
        readFailed(rc);
        return false;
    }
    showPage();
    return true;
}

void ExplorerWindow::rebuild(qint64 position)
{
    setWindowTitle(explorerCaption(kind_, list_->table().records()));
    if (position != 0)
        run(list_->showPosition(position));
    else if (list_->highlightedPosition() != 0)
        run(list_->rebuild());
    else
        run(list_->first());
}

void ExplorerWindow::headerClicked(int place)
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
    run(list_->orderByClick(column));
    fitColumns();
    view_->horizontalHeader()->viewport()->update();
}

void ExplorerWindow::keySequence()
{
    locatorText_.clear();
    run(list_->orderBy(-1, false));
    fitColumns();
    view_->horizontalHeader()->viewport()->update();
}

void ExplorerWindow::showHeaderMenu(const QPoint& at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("HeaderMenu"));
    menu.addAction(QStringLiteral("Escape"));
    QAction* key = menu.addAction(QStringLiteral("Key Sequence"));
    if (menu.exec(at) == key)
        keySequence();
}

void ExplorerWindow::showPopup(const QPoint& at)
{
    const bool any = list_->rowCount() > 0;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("ExplorerMenu"));
    QAction* add = menu.addAction(QStringLiteral("&Add"));
    QAction* change = menu.addAction(QStringLiteral("&Change"));
    QAction* del = menu.addAction(QStringLiteral("&Delete"));
    change->setEnabled(any);
    del->setEnabled(any);
    menu.addSeparator();
    QList<QPair<QAction*, QPushButton*>> others;
    for (QPushButton* b : menuButtons()) {
        QAction* a = menu.addAction(b->text());
        a->setEnabled(b->isEnabled());
        others << qMakePair(a, b);
    }
    QAction* chosen = menu.exec(at);
    if (chosen == add)
        addRecord();
    else if (chosen == change)
        changeRecord();
    else if (chosen == del)
        deleteRecord();
    for (const auto& o : others)
        if (chosen == o.first)
            o.second->click();
}

void ExplorerWindow::typed(const QString& text)
{
    locatorText_ = text.left(30);
    locator_->setText(locatorText_);
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

bool ExplorerWindow::eventFilter(QObject* watched, QEvent* e)
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
    case Qt::Key_Insert: addRecord(); return true;
    case Qt::Key_Delete: deleteRecord(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (k->modifiers() & Qt::ControlModifier) {
            changeRecord();
            return true;
        }
        break;
    case Qt::Key_Backspace:
        if (!locatorText_.isEmpty())
            typed(locatorText_.chopped(1));
        return true;
    default:
        break;
    }
    const QString t = k->text();
    if (!t.isEmpty() && t.at(0).isPrint() && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        typed(locatorText_ + t);
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void ExplorerWindow::fitPageSize()
{
    if (!view_)
        return;
    const int rows = qMax(1, view_->viewport()->height() / qMax(1, view_->verticalHeader()->defaultSectionSize()));
    if (rows == list_->pageSize())
        return;
    list_->setPageSize(rows);
    if (list_->rowCount() > 0)
        run(list_->rebuild());
}

void ExplorerWindow::reformat()
{
    XploreProcReformat(*this, [this]() {
        rebuild();
        view_->setFocus();
    });
}

void ExplorerWindow::readFailed(int)
{
    if (closing_)
        return;
    StandardWarning(state_.db, StdMsg::RecordRetrievalError, list_->def().label);
    closing_ = true;
    closeView();
}

void ExplorerWindow::closeView()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        QMetaObject::invokeMethod(sub, &QWidget::close, Qt::QueuedConnection);
    else
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void ExplorerWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, explorerSection(kind_));
        if (view_)
            applyListPlace(this, view_, settings_);
    }
}

void ExplorerWindow::closeEvent(QCloseEvent* e)
{
    finish();
    QWidget::closeEvent(e);
}

void ExplorerWindow::finish()
{
    if (finished_)
        return;
    finished_ = true;
    ExplorerListSettings s = settings_;
    s.format = currentFormat();
    s.prevCol = list_->orderColumn() + 1 > 0 ? list_->orderColumn() + 1 : 1;
    if (view_) {
        s.xpos = view_->x();
        s.ypos = view_->y();
        s.width = view_->width();
        s.height = view_->height();
    }
    saveExplorerFormat(positionIniPath(), kind_, explorerDesignedFormat(kind_), s);
    savePosition(this, explorerSection(kind_));
}

} // namespace td

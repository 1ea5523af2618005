#include "songs/ui/BrowseLookup.h"

#include "common/AppState.h"
#include "common/PagedList.h"
#include "common/ui/BrowseList.h"
#include "common/ui/FormHost.h"
#include "common/ui/PagedTableModel.h"
#include "common/ui/WidgetPosition.h"
#include "core/ListFormat.h"
#include "data/Database.h"
#include "data/StandardWarning.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace td {

namespace {

// A double click picks the row in select mode (it changes it in maintain mode).
class DoubleClickSelects : public QObject {
public:
    DoubleClickSelects(LookupBrowse* owner, QObject* parent)
        : QObject(parent)
        , owner_(owner)
    {
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonDblClick && owner_->selectMode()) {
            auto* me = static_cast<QMouseEvent*>(e);
            if (me->button() == Qt::LeftButton
                && owner_->list()->view()->indexAt(me->position().toPoint()).isValid()) {
                emit owner_->selected();
                return true;
            }
        }
        return QObject::eventFilter(o, e);
    }

private:
    LookupBrowse* owner_;
};

} // namespace

LookupBrowse::LookupBrowse(AppState& state, LookupListDesign design, bool selectMode, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , design_(std::move(design))
    , selectMode_(selectMode)
{
    setObjectName(design_.procedure);
    setWindowTitle(design_.caption);
    table_ = std::make_unique<TableHandle>(state.db, design_.table);
    paged_ = std::make_unique<PagedList>(*table_);
    paged_->setOrder(table_->key(design_.key));
    model_ = std::make_unique<PagedTableModel>(*paged_);
    const int field = table_->def().fieldIndex(design_.field);
    const QString format = applyDateFormat(design_.format, state.settings.DateFormat);
    model_->setColumns(format, { [field](const PageRow& r) { return r.row.value(field); } });

    list_ = new BrowseList(*paged_, *model_, this);
    list_->setObjectName(QStringLiteral("List"));
    list_->view()->viewport()->installEventFilter(new DoubleClickSelects(this, this));
    QHeaderView* header = list_->view()->horizontalHeader();
    if (design_.rememberColumns) {
        // The width the user gives the column is the one that comes back.
        columns_ = std::make_unique<ColumnFormatMemory>(header, design_.columnKeys, format);
        columns_->restore();
    } else {
        applyColumnFormat(header, format);
    }
    // A list of one column: the column fills the list.
    header->setStretchLastSection(header->count() == 1 || !design_.rememberColumns);

    auto makeButton = [this](const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString(text).remove(QLatin1Char('&')));
        b->setAutoDefault(false);
        return b;
    };
    select_ = makeButton(QStringLiteral("&Select"));
    add_ = makeButton(design_.addText);
    change_ = makeButton(QStringLiteral("&Change"));
    delete_ = makeButton(QStringLiteral("&Delete"));
    close_ = makeButton(design_.closeText);
    select_->setDefault(selectMode_);

    auto* buttons = new QHBoxLayout;
    if (design_.selectFirst)
        buttons->addWidget(select_);
    buttons->addWidget(add_);
    buttons->addWidget(change_);
    buttons->addWidget(delete_);
    if (!design_.selectFirst)
        buttons->addWidget(select_);
    buttons->addStretch(1);
    buttons->addWidget(close_);
    auto* status = new QLabel(QStringLiteral("Browsing Records"), this);
    status->setObjectName(QStringLiteral("Status"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    layout->addWidget(status);

    const QFontMetrics fm(font());
    // Never smaller than its controls need: at the smallest size the list shrinks, the buttons stay.
    list_->setMinimumHeight(fm.height() * 3);
    if (design_.minimumDialogUnits.isEmpty())
        setMinimumSize(sizeHint());
    else
        setMinimumSize(QSize(design_.minimumDialogUnits.width() * fm.averageCharWidth() / 4,
                           design_.minimumDialogUnits.height() * fm.height() / 8)
                .expandedTo(minimumSizeHint()));
    // Opens showing a dozen rows or so; the remembered position replaces this.
    resize(qMax(minimumWidth(), fm.averageCharWidth() * 40), qMax(minimumHeight(), fm.height() * 20));

    connect(select_, &QPushButton::clicked, this, [this] {
        if (!highlightedRow().isEmpty())
            emit selected();
    });
    connect(add_, &QPushButton::clicked, this, [this] { act(Request::Insert); });
    connect(change_, &QPushButton::clicked, this, [this] { act(Request::Change); });
    connect(delete_, &QPushButton::clicked, this, [this] { act(Request::Delete); });
    connect(close_, &QPushButton::clicked, this, &LookupBrowse::closeRequested);
    connect(list_, &BrowseList::insertRequested, this, [this] { act(Request::Insert); });
    connect(list_, &BrowseList::deleteRequested, this, [this] { act(Request::Delete); });
    connect(list_, &BrowseList::changeRequested, this, [this] { act(Request::Change); });
    connect(list_, &BrowseList::contextMenuRequested, this, &LookupBrowse::popup);
    connect(list_, &BrowseList::highlightChanged, this, &LookupBrowse::updateButtons);
    connect(list_, &BrowseList::readFailed, this, &LookupBrowse::readFailed);
    setFocusProxy(list_);
    updateButtons();
}

LookupBrowse::~LookupBrowse()
{
    // The view goes before the model and the list it shows.
    delete list_;
    list_ = nullptr;
}

bool LookupBrowse::open(const QString& start)
{
    const bool ok = start.trimmed().isEmpty()
        ? list_->run([](PagedList& l) { return l.first(); })
        : list_->run([&](PagedList& l) { return l.locate(Row { start }); });
    updateButtons();
    return ok && !closed_;
}

Row LookupBrowse::highlightedRow() const
{
    const PageRow* r = paged_->highlighted();
    return r ? r->row : Row();
}

QPushButton* LookupBrowse::button(const QString& text) const
{
    for (QPushButton* b : { select_, add_, change_, delete_, close_ })
        if (b->text() == text)
            return b;
    return nullptr;
}

void LookupBrowse::updateButtons()
{
    const bool any = !paged_->isEmpty();
    select_->setEnabled(selectMode_ && any);
    change_->setEnabled(any);
    delete_->setEnabled(any);
}

void LookupBrowse::readFailed()
{
    Database& db = state_.db;
    db.saveError(table_->lastError());
    StandardWarning(db, StdMsg::RecordRetrievalError, tableDef(design_.table).label);
    closed_ = true;
    emit closeRequested();
}

void LookupBrowse::act(Request request)
{
    QPushButton* b = request == Request::Insert ? add_ : request == Request::Change ? change_ : delete_;
    if (!b->isEnabled())
        return;
    const Row record = request == Request::Insert ? Row() : highlightedRow();
    // The list is disabled while the form is open and answers only while it stands.
    runForm(request, record, [this, request](Response r, qint64 position) {
        if (closed_)
            return;
        if (r == Response::Completed && request != Request::Delete && position != 0)
            list_->run([position](PagedList& l) { return l.showPosition(position); });
        else
            list_->run([](PagedList& l) { return l.rebuild(); });
        updateButtons();
        list_->setFocus();
    });
}

void LookupBrowse::popup(const QPoint& at)
{
    QMenu menu(this);
    auto item = [&](QPushButton* b) {
        QAction* a = menu.addAction(b->text());
        a->setEnabled(b->isEnabled());
        connect(a, &QAction::triggered, b, &QPushButton::click);
    };
    item(add_);
    item(change_);
    item(delete_);
    menu.addSeparator();
    item(select_);
    item(close_);
    menu.exec(at);
}

void LookupBrowse::fitPage()
{
    // After the layout has settled: the page holds as many rows as the view shows.
    const int rows = list_ ? list_->rowsVisible() : 0;
    if (rows <= 0 || rows == paged_->pageSize() || closed_)
        return;
    paged_->setPageSize(rows);
    list_->run([](PagedList& l) { return l.rebuild(); });
    updateButtons();
}

void LookupBrowse::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    QTimer::singleShot(0, this, &LookupBrowse::fitPage);
}

void LookupBrowse::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    QTimer::singleShot(0, this, &LookupBrowse::fitPage);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, design_.procedure);
    }
}

void LookupBrowse::closeEvent(QCloseEvent* e)
{
    if (positioned_) {
        positioned_ = false;
        savePosition(this, design_.procedure);
        if (columns_)
            columns_->save();
    }
    QWidget::closeEvent(e);
}

namespace {

// The window around a list in select mode: the list saves its place when the picker closes.
class LookupPicker : public QDialog {
public:
    explicit LookupPicker(LookupBrowse* browse)
        : browse_(browse)
    {
        setObjectName(browse->objectName());
        setWindowTitle(browse->windowTitle());
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browse);
        connect(browse, &LookupBrowse::selected, this, &QDialog::accept);
        connect(browse, &LookupBrowse::closeRequested, this, &QDialog::reject);
    }

    LookupBrowse* browse() const { return browse_; }

    void done(int r) override
    {
        chosen_ = r == QDialog::Accepted ? browse_->highlightedRow() : Row();
        if (!closed_) {
            closed_ = true;
            browse_->close();
        }
        QDialog::done(r);
    }

    const Row& chosen() const { return chosen_; }

private:
    LookupBrowse* browse_;
    Row chosen_;
    bool closed_ = false;
};

} // namespace

void selectFromLookup(
    LookupBrowse* browse, QWidget* caller, const QString& start, std::function<void(const Row&)> answered)
{
    auto* picker = new LookupPicker(browse);
    if (!browse->open(start)) {
        delete picker;
        answered(Row());
        return;
    }
    browse->setFocus();
    openForm(caller, picker, [picker, answered = std::move(answered)](int) { answered(picker->chosen()); });
}

void closeLookupWindow(QWidget* w)
{
    for (QWidget* p = w; p; p = p->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p)) {
            sub->close();
            return;
        }
    }
    if (auto* d = qobject_cast<QDialog*>(w->window()); d && d != w)
        d->reject();
    else
        w->close();
}

} // namespace td

#include "songs/ui/BrowseLookup.h"

#include "common/AppState.h"
#include "common/PagedList.h"
#include "common/ui/BrowseList.h"
#include "common/ui/PagedTableModel.h"
#include "common/ui/WidgetPosition.h"
#include "core/ListFormat.h"
#include "data/Database.h"
#include "data/StandardWarning.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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
        header->setStretchLastSection(true);
        applyColumnFormat(header, format);
    }

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
    if (design_.minimumDialogUnits.isEmpty())
        setMinimumSize(sizeHint());
    else
        setMinimumSize(design_.minimumDialogUnits.width() * fm.averageCharWidth() / 4,
            design_.minimumDialogUnits.height() * fm.height() / 8);
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
    qint64 position = 0;
    const Response r = runForm(request, record, &position);
    if (r == Response::Completed && request != Request::Delete && position != 0)
        list_->run([position](PagedList& l) { return l.showPosition(position); });
    else
        list_->run([](PagedList& l) { return l.rebuild(); });
    updateButtons();
    list_->setFocus();
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

bool selectFromLookup(LookupBrowse* browse, QWidget* parent, Row* chosen, const QString& start)
{
    QDialog dialog(parent);
    dialog.setObjectName(browse->objectName());
    dialog.setWindowTitle(browse->windowTitle());
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browse);
    QObject::connect(browse, &LookupBrowse::selected, &dialog, &QDialog::accept);
    QObject::connect(browse, &LookupBrowse::closeRequested, &dialog, &QDialog::reject);
    if (!browse->open(start))
        return false;
    browse->setFocus();
    const bool ok = dialog.exec() == QDialog::Accepted;
    const Row row = browse->highlightedRow();
    browse->close();
    if (!ok || row.isEmpty())
        return false;
    if (chosen)
        *chosen = row;
    return true;
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

// --- the one-field form ----------------------------------------------------------------------------

NameFormDialog::NameFormDialog(Design design, std::function<FormSave(const QString&)> save,
    std::function<QString()> stored, QWidget* parent)
    : QDialog(parent)
    , save_(std::move(save))
    , stored_(std::move(stored))
    , entry_(new QLineEdit(this))
{
    setObjectName(design.procedure);
    setWindowTitle(design.caption);
    entry_->setObjectName(QString(design.prompt).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    entry_->setMaxLength(design.width);
    entry_->setText(stored_());
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    auto* form = new QFormLayout;
    form->addRow(design.prompt, entry_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &NameFormDialog::okPressed);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    entry_->setFocus();
    entry_->selectAll();
}

void NameFormDialog::okPressed()
{
    switch (save_(entry_->text())) {
    case FormSave::Closed:
        accept();
        return;
    case FormSave::Stay:
        entry_->setFocus();
        entry_->selectAll();
        return;
    case FormSave::ShowStored:
        entry_->setText(stored_());
        entry_->setFocus();
        return;
    }
}

} // namespace td

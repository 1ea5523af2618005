#include "albums/ui/PickerDialog.h"

#include "common/AppState.h"
#include "common/ui/BrowseList.h"
#include "common/ui/ColumnFormatMemory.h"
#include "common/ui/PagedTableModel.h"
#include "common/ui/WidgetPosition.h"
#include "data/Database.h"
#include "data/StandardWarning.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

namespace td {

PickerDialog::PickerDialog(AppState& state, const QString& procedure, const QString& caption)
    : state_(state)
    , procedure_(procedure)
{
    setObjectName(procedure);
    setWindowTitle(caption);
}

PickerDialog::~PickerDialog()
{
    // The view goes before the model and the list it shows (both owned by the subclass).
    delete list_;
    list_ = nullptr;
}

void PickerDialog::build(PagedList& list, PagedTableModel& model, const QStringList& tabTitles,
                         const ColumnFormatKeys& keys, const QString& format, bool selectInMenu)
{
    paged_ = &list;
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("Tabs"));
    tabs_->setUsesScrollButtons(false);     // every order in sight, at any size
    for (const QString& t : tabTitles)
        tabs_->addTab(t);
    connect(tabs_, &QTabBar::currentChanged, this, &PickerDialog::tabChosen);

    list_ = new BrowseList(list, model, this);
    list_->setObjectName(QStringLiteral("List"));
    list_->setLocator([this](const QString& text) { return locatorValues(text); });
    connect(list_, &BrowseList::changeRequested, this, &PickerDialog::select);
    connect(list_, &BrowseList::highlightChanged, this, &PickerDialog::updateButtons);
    connect(list_, &BrowseList::readFailed, this, &PickerDialog::readFailed);
    connect(list_, &BrowseList::locatorChanged, this, [this](const QString& text) { locator_->setText(text); });
    if (selectInMenu) {
        connect(list_, &BrowseList::contextMenuRequested, this, [this](const QPoint& at) {
            auto* menu = new QMenu(this);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            QAction* a = menu->addAction(select_->text());
            a->setEnabled(select_->isEnabled());
            connect(a, &QAction::triggered, this, &PickerDialog::select);
            menu->popup(at);
        });
    }

    auto* prompt = new QLabel(QStringLiteral("Quick Locator (select list box and type to locate):"), this);
    locator_ = new QLabel(this);
    locator_->setObjectName(QStringLiteral("LocatorText"));
    const QFontMetrics fm(font());
    locator_->setMinimumWidth(fm.averageCharWidth() * 12);
    prompt->setMinimumWidth(prompt->sizeHint().width());
    auto* locatorRow = new QHBoxLayout;
    locatorRow->addWidget(prompt);
    locatorRow->addWidget(locator_, 1);
    rangeRow_ = new QHBoxLayout;

    select_ = new QPushButton(QStringLiteral("&Select"), this);
    select_->setObjectName(QStringLiteral("Select"));
    select_->setDefault(true);
    close_ = new QPushButton(QStringLiteral("Cl&ose"), this);
    close_->setObjectName(QStringLiteral("Close"));
    close_->setAutoDefault(false);
    connect(select_, &QPushButton::clicked, this, &PickerDialog::select);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(select_);
    buttons->addStretch(1);
    buttons->addWidget(close_);

    auto* status = new QLabel(QStringLiteral("Browsing Records"), this);
    status->setObjectName(QStringLiteral("Status"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(rangeRow_);
    layout->addLayout(locatorRow);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    layout->addWidget(status);
    setFocusProxy(list_);

    columns_ = std::make_unique<ColumnFormatMemory>(list_->view()->horizontalHeader(), keys, format);
    columns_->restore();
    // Opens showing every column and a dozen rows or so; the remembered position replaces this.
    list_->setMinimumHeight(fm.height() * 7);
    // The columns, the list's frame and scroll bar and the window's margins: a pixel short and a
    // horizontal scroll bar takes the last row.
    QHeaderView* header = list_->view()->horizontalHeader();
    int width = 0;
    for (int i = 0; i < header->count(); ++i)
        width += header->sectionSize(i);
    const QMargins margins = layout->contentsMargins();
    width += 2 * list_->view()->frameWidth() + list_->scrollBar()->sizeHint().width() + margins.left() + margins.right()
        + fm.averageCharWidth() * 2;
    const QSize least = layout->totalMinimumSize();
    resize(qMax(least.width(), width), qMax(least.height(), fm.height() * 24));

    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(nextTab, &QShortcut::activated, this,
            [this]() { tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % tabs_->count()); });
    auto* previousTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    connect(previousTab, &QShortcut::activated, this,
            [this]() { tabs_->setCurrentIndex((tabs_->currentIndex() + tabs_->count() - 1) % tabs_->count()); });
}

QString PickerDialog::locatorDisplay() const
{
    return locator_->text();
}

bool PickerDialog::readList(qint64 position)
{
    configure(tabs_->currentIndex());
    const bool ok = position != 0 ? list_->run([position](PagedList& l) { return l.showPosition(position); })
                                  : list_->run([](PagedList& l) { return l.first(); });
    updateButtons();
    return ok;
}

void PickerDialog::tabChosen(int)
{
    list_->setLocatorText(QString());
    locator_->clear();
    readList();
    list_->setFocus();
}

void PickerDialog::select()
{
    if (paged_->isEmpty())
        return;
    if (takeChosen())
        accept();
    else
        readList(); // gone since it was read: the list as it is now
}

void PickerDialog::updateButtons()
{
    select_->setEnabled(!paged_->isEmpty());
    // Enter selects whatever has the focus in the list.
    select_->setDefault(true);
}

void PickerDialog::readFailed()
{
    state_.db.saveError(paged_->table().lastError());
    StandardWarning(state_.db, StdMsg::RecordRetrievalError, tableLabel());
}

void PickerDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, procedure_);
    }
}

void PickerDialog::done(int r)
{
    if (!finished_) {
        finished_ = true;
        if (columns_)
            columns_->save();
        if (positioned_)
            savePosition(this, procedure_);
    }
    QDialog::done(r);
}

} // namespace td

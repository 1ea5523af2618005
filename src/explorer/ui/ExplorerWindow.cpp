#include "explorer/ui/ExplorerWindow.h"

#include "common/AppState.h"
#include "common/ui/WidgetPosition.h"
#include "data/StandardWarning.h"
#include "explorer/ui/ExplorerListPlace.h"
#include "explorer/ui/XploreProcReformat.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace td {

ExplorerWindow::ExplorerWindow(AppState& state, ExplorerKind kind, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , kind_(kind)
{
    setObjectName(explorerSection(kind));
    listView_ = new ExplorerListView(state, kind, this);
    listView_->view()->setToolTip(QStringLiteral("Click on header to change order, or right-click for options"));
    connect(listView_, &ExplorerListView::highlightChanged, this, [this] { updateButtons(); });
    connect(listView_, &ExplorerListView::insertRequested, this, [this] { addRecord(); });
    connect(listView_, &ExplorerListView::deleteRequested, this, [this] { deleteRecord(); });
    connect(listView_, &ExplorerListView::changeRequested, this, [this] { changeRecord(); });
    connect(listView_, &ExplorerListView::popupRequested, this, &ExplorerWindow::showPopup);
    connect(listView_, &ExplorerListView::readFailed, this, &ExplorerWindow::readFailed);
    properties_ = button(QStringLiteral("View &Properties"), QStringLiteral("ViewProperties"),
                         QStringLiteral("Re-format Columns of BrowseBox"));
    connect(properties_, &QPushButton::clicked, this, &ExplorerWindow::reformat);
}

ExplorerWindow::~ExplorerWindow()
{
    // The list goes before the window's own parts it reports to.
    delete listView_;
    listView_ = nullptr;
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
    auto* prompt = new QLabel(QStringLiteral("Locator:"), this);
    locator_ = new QLabel(this);
    locator_->setObjectName(QStringLiteral("LocatorText"));
    locator_->setMinimumWidth(fm.averageCharWidth() * 30);
    connect(listView_, &ExplorerListView::locatorChanged, locator_, &QLabel::setText);
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
    layout->addWidget(listView_, 1);
    layout->addLayout(buttonRow);
    layout->addWidget(status);
    setFocusProxy(listView_);
    setMinimumSize(layout->totalMinimumSize().expandedTo(QSize(fm.averageCharWidth() * 80, fm.height() * 16)));
}

bool ExplorerWindow::start()
{
    setWindowTitle(explorerCaption(kind_, list().table().records()));
    list().buildIndexesAhead();
    if (!listView_->run(list().first()))
        return !closing_;
    return true;
}

void ExplorerWindow::rebuild(qint64 position)
{
    setWindowTitle(explorerCaption(kind_, list().table().records()));
    listView_->rebuild(position);
}

void ExplorerWindow::showPopup(const QPoint& at)
{
    const bool any = list().rowCount() > 0;
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

void ExplorerWindow::reformat()
{
    XploreProcReformat(*listView_, this, [this]() {
        rebuild();
        view()->setFocus();
    });
}

void ExplorerWindow::readFailed(int)
{
    if (closing_)
        return;
    StandardWarning(state_.db, StdMsg::RecordRetrievalError, list().def().label);
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
        if (listView_)
            applyListPlace(this, listView_, listView_->listSettings());
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
    listView_->saveFormat();
    savePosition(this, explorerSection(kind_));
}

} // namespace td

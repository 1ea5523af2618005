#include "albums/ui/BrowseAlbums.h"

#include "albums/AlbumBrowseLogic.h"
#include "albums/ui/AddWizard.h"
#include "common/AppState.h"
#include "common/ui/BrowseList.h"
#include "common/ui/ColumnFormatMemory.h"
#include "common/ui/PagedTableModel.h"
#include "common/ui/WidgetPosition.h"
#include "core/ConfigPaths.h"
#include "data/Database.h"
#include "data/StandardWarning.h"
#include "songs/ui/BrowseCategories.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

namespace td {

namespace {

ColumnValue fieldValue(const QString& name)
{
    const int i = tableDef(TableId::Album).fieldIndex(name);
    return [i](const PageRow& r) { return i >= 0 && i < r.row.size() ? r.row.at(i) : QVariant(); };
}

QPushButton* button(const QString& text, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

QWidget* createBrowseAlbums(AppState& state)
{
    auto* w = new BrowseAlbumsWindow(state);
    if (!w->isReadable()) {
        // Nothing to show: no empty child window is left behind.
        delete w;
        return nullptr;
    }
    return w;
}

BrowseAlbumsWindow::BrowseAlbumsWindow(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , albumForm_(UpdateAlbums)
{
    setObjectName(QStringLiteral("BrowseAlbums"));
    setWindowTitle(QStringLiteral("Albums"));
    browser_ = std::make_unique<AlbumBrowser>(state.db);

    const QString format = albumListFormat(state.settings);
    model_ = std::make_unique<PagedTableModel>(browser_->list());
    model_->setColumns(format,
                       {fieldValue(QStringLiteral("Artist")), fieldValue(QStringLiteral("Album")),
                        fieldValue(QStringLiteral("Media")), fieldValue(QStringLiteral("FileNumber")),
                        fieldValue(QStringLiteral("ReleaseDate")), fieldValue(QStringLiteral("XCCD"))});

    buildWindow();
    columns_ = std::make_unique<ColumnFormatMemory>(list_->view()->horizontalHeader(), albumListFormatKeys(), format);
    columns_->restore();

    setWindowTitle(browser_->caption());
    const AlbumTab tab = openingAlbumTab(state.settings, settingsIniPath());
    browser_->setTab(tab);
    tabs_->blockSignals(true);
    tabs_->setCurrentIndex(int(tab));
    tabs_->blockSignals(false);
    rebuild(0, true);
    opened_ = true;
}

BrowseAlbumsWindow::~BrowseAlbumsWindow()
{
    // The list and model refer to the browser's table: they go first.
    delete list_;
    list_ = nullptr;
    model_.reset();
}

void BrowseAlbumsWindow::buildWindow()
{
    const QFontMetrics fm(font());
    setMinimumSize(328 * fm.averageCharWidth() / 4, 160 * fm.height() / 8);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("AlbumTabs"));
    for (int i = 0; i < kAlbumTabCount; ++i)
        tabs_->addTab(albumTabInfo(AlbumTab(i)).title);
    connect(tabs_, &QTabBar::currentChanged, this, &BrowseAlbumsWindow::tabChosen);

    list_ = new BrowseList(browser_->list(), *model_, this);
    list_->setObjectName(QStringLiteral("AlbumList"));
    list_->setFitColumns(true);
    list_->view()->setToolTip(QStringLiteral("Right-Click for Options"));
    list_->setLocator([](const QString& text) { return AlbumBrowser::locatorValues(text); });
    connect(list_, &BrowseList::insertRequested, this, &BrowseAlbumsWindow::addAlbum);
    connect(list_, &BrowseList::deleteRequested, this, &BrowseAlbumsWindow::deleteAlbum);
    connect(list_, &BrowseList::changeRequested, this, &BrowseAlbumsWindow::changeAlbum);
    connect(list_, &BrowseList::contextMenuRequested, this, &BrowseAlbumsWindow::showMenu);
    connect(list_, &BrowseList::readFailed, this, &BrowseAlbumsWindow::readFailed);
    connect(list_, &BrowseList::highlightChanged, this, &BrowseAlbumsWindow::updateButtons);
    connect(list_, &BrowseList::locatorChanged, this, [this](const QString& text) { locator_->setText(text); });

    auto* prompt = new QLabel(QStringLiteral("Quick Locator (select list box and type to locate):"), this);
    prompt->setMinimumWidth(prompt->sizeHint().width());
    locator_ = new QLabel(this);
    locator_->setObjectName(QStringLiteral("LocatorText"));
    locator_->setMinimumWidth(fm.averageCharWidth() * 16);
    // Which category the limited tab shows, or that one is to be chosen.
    chosenCategory_ = new QLabel(this);
    chosenCategory_->setObjectName(QStringLiteral("ChosenCategory"));
    selectCategory_ = button(QStringLiteral("Select Cate&gory"), QStringLiteral("SelectCategory"), this);
    connect(selectCategory_, &QPushButton::clicked, this, &BrowseAlbumsWindow::selectCategory);
    auto* locatorRow = new QHBoxLayout;
    locatorRow->addWidget(prompt);
    locatorRow->addWidget(locator_, 1);
    // On the category tabs only: which category, and the button that chooses it.
    auto* categoryRow = new QHBoxLayout;
    categoryRow->addWidget(chosenCategory_, 1);
    categoryRow->addWidget(selectCategory_);

    add_ = button(QStringLiteral("&Add"), QStringLiteral("Add"), this);
    copy_ = button(QStringLiteral("Cop&y"), QStringLiteral("Copy"), this);
    copy_->setToolTip(QStringLiteral("Copy record"));
    change_ = button(QStringLiteral("&Change"), QStringLiteral("Change"), this);
    delete_ = button(QStringLiteral("&Delete"), QStringLiteral("Delete"), this);
    print_ = button(QStringLiteral("&Print"), QStringLiteral("Print"), this);
    print_->setToolTip(QStringLiteral("Print information"));
    singleArtist_ = button(QStringLiteral("Single Artist Wi&zard"), QStringLiteral("SingleArtistWizard"), this);
    compilation_ = button(QStringLiteral("Compilation Wizard"), QStringLiteral("CompilationWizard"), this);
    close_ = button(QStringLiteral("Cl&ose"), QStringLiteral("Close"), this);
    connect(add_, &QPushButton::clicked, this, &BrowseAlbumsWindow::addAlbum);
    connect(copy_, &QPushButton::clicked, this, &BrowseAlbumsWindow::copyAlbum);
    connect(change_, &QPushButton::clicked, this, &BrowseAlbumsWindow::changeAlbum);
    connect(delete_, &QPushButton::clicked, this, &BrowseAlbumsWindow::deleteAlbum);
    connect(print_, &QPushButton::clicked, this, &BrowseAlbumsWindow::printAlbum);
    connect(singleArtist_, &QPushButton::clicked, this, &BrowseAlbumsWindow::singleArtistWizard);
    connect(compilation_, &QPushButton::clicked, this, &BrowseAlbumsWindow::compilationWizard);
    connect(close_, &QPushButton::clicked, this, [this]() {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
    });

    // Two rows: the record buttons, then the wizards and Close, so that a tiled window shows all.
    auto* records = new QHBoxLayout;
    auto* wizards = new QHBoxLayout;
    for (QPushButton* p : {add_, copy_, change_, delete_, print_, singleArtist_, compilation_, close_}) {
        // Each may narrow to its text (the style's own minimum is wider).
        const int margin = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, p)
                                   + style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, p));
        p->setMinimumWidth(p->fontMetrics().horizontalAdvance(QString(p->text()).remove(QLatin1Char('&'))) + margin);
    }
    for (QPushButton* p : {add_, copy_, change_, delete_, print_})
        records->addWidget(p);
    records->addStretch(1);
    wizards->addWidget(singleArtist_);
    wizards->addWidget(compilation_);
    wizards->addStretch(1);
    wizards->addWidget(close_);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    status->addWidget(new QLabel(QStringLiteral("Browsing Records"), status));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(categoryRow);
    layout->addLayout(locatorRow);
    layout->addWidget(list_, 1);
    layout->addLayout(records);
    layout->addLayout(wizards);
    layout->addWidget(status);
    setFocusProxy(list_);
    // Tab follows the rows: the category button above the list comes before it.
    QWidget::setTabOrder(tabs_, selectCategory_);
    QWidget::setTabOrder(selectCategory_, list_->view());
    // Never narrower than its controls: at the smallest size the list shrinks, not the buttons.
    setMinimumSize(minimumSize().expandedTo(layout->totalMinimumSize()));

    // Tabs from the keyboard as in any tabbed window.
    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    nextTab->setContext(Qt::WidgetWithChildrenShortcut);
    connect(nextTab, &QShortcut::activated, this,
            [this]() { tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % kAlbumTabCount); });
    auto* previousTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    previousTab->setContext(Qt::WidgetWithChildrenShortcut);
    connect(previousTab, &QShortcut::activated, this, [this]() {
        tabs_->setCurrentIndex((tabs_->currentIndex() + kAlbumTabCount - 1) % kAlbumTabCount);
    });
}

QString BrowseAlbumsWindow::locatorDisplay() const
{
    return locator_->text();
}

void BrowseAlbumsWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, QStringLiteral("BrowseAlbums"));
    }
}

void BrowseAlbumsWindow::tabChosen(int index)
{
    if (index < 0 || index >= kAlbumTabCount || AlbumTab(index) == browser_->tab())
        return;
    // Another order starts from the top with an empty locator; a limited tab shows its own
    // category, read afresh.
    browser_->setTab(AlbumTab(index));
    list_->setLocatorText(QString());
    locator_->clear();
    rebuild(0, true);
}

void BrowseAlbumsWindow::rebuild(qint64 position, bool fromTop)
{
    browser_->configure();
    list_->run([this, position, fromTop](PagedList&) { return browser_->showAgain(position, fromTop); });
    showChosenCategory();
    updateButtons();
}

void BrowseAlbumsWindow::showChosenCategory()
{
    const bool limited = albumTabInfo(browser_->tab()).byCategory;
    selectCategory_->setVisible(limited);
    chosenCategory_->setVisible(limited);
    if (!limited)
        return;
    const QString name = browser_->categoryName(browser_->tab()).trimmed();
    chosenCategory_->setText(browser_->categoryId(browser_->tab()) == 0
                                 ? QStringLiteral("No category chosen: use Select Category")
                                 : QStringLiteral("Category: ") + name);
}

void BrowseAlbumsWindow::readFailed(int code)
{
    state_.db.saveError(browser_->list().table().lastError());
    Q_UNUSED(code);
    StandardWarning(state_.db, StdMsg::RecordRetrievalError, QStringLiteral("Album"));
    // The list stays open on the page it had; only a first read that fails leaves nothing to show.
    if (!opened_)
        readable_ = false;
}

void BrowseAlbumsWindow::updateButtons()
{
    const bool any = !browser_->list().isEmpty();
    copy_->setEnabled(any);
    change_->setEnabled(any);
    delete_->setEnabled(any);
    // The report window is a feature still to come: its button stays off until the frame fills
    // the entry.
    print_->setEnabled(bool(state_.entries.printAlbum));
}

void BrowseAlbumsWindow::callForm(Request request)
{
    Album buffer;
    if (request == Request::Insert)
        buffer = browser_->newAlbum();
    else if (!browser_->highlightedAlbum(&buffer))
        return;
    // Copy hands the form the highlighted album with an add request: the form makes the copy.
    const Request asked = request == Request::Select ? Request::Insert : request;
    albumForm_(state_, asked, buffer, this,
               [this, request](Response r, const Album& stored) { formAnswered(request, r, stored); });
}

void BrowseAlbumsWindow::formAnswered(Request request, Response r, const Album& stored)
{
    qint64 position = 0;
    if (r == Response::Completed && request != Request::Delete)
        position = browser_->positionOf(stored.AlbumID);
    setWindowTitle(browser_->caption());
    // After a delete the highlight's record is gone: the nearest row takes its place.
    rebuild(position);
    list_->setFocus();
}

void BrowseAlbumsWindow::wizardAnswered()
{
    setWindowTitle(browser_->caption());
    rebuild();
    list_->setFocus();
}

void BrowseAlbumsWindow::addAlbum()
{
    callForm(Request::Insert);
}

void BrowseAlbumsWindow::copyAlbum()
{
    callForm(Request::Select);
}

void BrowseAlbumsWindow::changeAlbum()
{
    callForm(Request::Change);
}

void BrowseAlbumsWindow::deleteAlbum()
{
    callForm(Request::Delete);
}

void BrowseAlbumsWindow::singleArtistWizard()
{
    AddSingleArtist(state_, this, [this](Response) { wizardAnswered(); });
}

void BrowseAlbumsWindow::compilationWizard()
{
    AddCompilation(state_, this, [this](Response) { wizardAnswered(); });
}

// The report, the label wizard and the flap print read the album; the list stays as it is.
void BrowseAlbumsWindow::printAlbum()
{
    Album album;
    if (state_.entries.printAlbum && browser_->highlightedAlbum(&album))
        state_.entries.printAlbum(state_, this, album);
}

void BrowseAlbumsWindow::createLabel()
{
    if (!state_.entries.createLabel)
        return;
    Album album;
    const bool any = browser_->highlightedAlbum(&album);
    state_.entries.createLabel(state_, this, any ? &album : nullptr);
}

void BrowseAlbumsWindow::quickCdInsert()
{
    Album album;
    if (state_.entries.quickCdInsert && browser_->highlightedAlbum(&album))
        state_.entries.quickCdInsert(state_, this, album);
}

void BrowseAlbumsWindow::selectCategory()
{
    const AlbumTab tab = browser_->tab();
    if (!albumTabInfo(tab).byCategory)
        return;
    BrowseCategories(state_, this, browser_->categoryName(tab), [this, tab](const Categories* category) {
        if (!category)
            return;
        browser_->setCategory(tab, category->CategoryID, category->Category);
        if (browser_->tab() == tab)
            rebuild(0, true);
        list_->setFocus();
    });
}

void BrowseAlbumsWindow::showMenu(const QPoint& at)
{
    const bool any = !browser_->list().isEmpty();
    // Built afresh each time; it answers through its actions, without a loop of its own.
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("AlbumListMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto item = [this, menu](const QString& text, bool enabled, void (BrowseAlbumsWindow::*act)()) {
        QAction* a = menu->addAction(text);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, act);
    };
    item(add_->text(), true, &BrowseAlbumsWindow::addAlbum);
    item(change_->text(), any, &BrowseAlbumsWindow::changeAlbum);
    item(delete_->text(), any, &BrowseAlbumsWindow::deleteAlbum);
    menu->addSeparator();
    item(copy_->text(), any, &BrowseAlbumsWindow::copyAlbum);
    item(compilation_->text(), compilation_->isEnabled(), &BrowseAlbumsWindow::compilationWizard);
    item(print_->text(), print_->isEnabled(), &BrowseAlbumsWindow::printAlbum);
    menu->addSeparator();
    item(QStringLiteral("Create Label..."), bool(state_.entries.createLabel), &BrowseAlbumsWindow::createLabel);
    item(QStringLiteral("Quick CD Insert"), bool(state_.entries.quickCdInsert), &BrowseAlbumsWindow::quickCdInsert);
    menu->popup(at);
}

void BrowseAlbumsWindow::closeEvent(QCloseEvent* e)
{
    finish();
    QWidget::closeEvent(e);
}

void BrowseAlbumsWindow::finish()
{
    if (finished_ || !browser_ || !columns_)
        return;
    finished_ = true;
    saveAlbumTab(browser_->tab(), settingsIniPath());
    columns_->save();
    savePosition(this, QStringLiteral("BrowseAlbums"));
}

} // namespace td

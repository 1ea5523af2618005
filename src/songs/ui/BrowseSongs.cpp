#include "songs/ui/BrowseSongs.h"

#include "common/AppState.h"
#include "common/ui/BrowseList.h"
#include "common/ui/ColumnFormatMemory.h"
#include "common/ui/PagedTableModel.h"
#include "common/ui/WidgetPosition.h"
#include "core/ConfigPaths.h"
#include "data/Database.h"
#include "data/StandardWarning.h"
#include "songs/SongBrowseLogic.h"
#include "setup/ui/QueryWizardDialog.h"
#include "songs/ui/BrowseCategories.h"
#include "songs/ui/BrowseMedia.h"
#include "songs/ui/UpdateSong.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QStyle>
#include <QVBoxLayout>

namespace td {

namespace {

ColumnValue fieldValue(const QString& name)
{
    const int i = tableDef(TableId::Tunedeck).fieldIndex(name);
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

QWidget* createBrowseSongs(AppState& state)
{
    auto* w = new BrowseSongsWindow(state);
    if (!w->isReadable()) {
        // Nothing to show: no empty child window is left behind.
        delete w;
        return nullptr;
    }
    return w;
}

BrowseSongsWindow::BrowseSongsWindow(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
{
    setObjectName(QStringLiteral("BrowseSongs"));
    setWindowTitle(QStringLiteral("Browse Songs"));
    browser_ = std::make_unique<SongBrowser>(state.db, state.settings);

    const QString format = songListFormat(state.settings);
    const int categoryField = tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("CategoryID"));
    model_ = std::make_unique<PagedTableModel>(browser_->list());
    SongBrowser* b = browser_.get();
    model_->setColumns(format,
                       {fieldValue(QStringLiteral("Artist")), fieldValue(QStringLiteral("Title")),
                        fieldValue(QStringLiteral("Album")), fieldValue(QStringLiteral("Media")),
                        fieldValue(QStringLiteral("FileNumber")),
                        [b, categoryField](const PageRow& r) {
                            return QVariant(b->categoryName(r.row.value(categoryField).toLongLong()));
                        },
                        fieldValue(QStringLiteral("Time")), fieldValue(QStringLiteral("ReleaseDate")),
                        fieldValue(QStringLiteral("BeatsPerMinute")), fieldValue(QStringLiteral("UserDefinedKeyField")),
                        fieldValue(QStringLiteral("LastPlayed")), fieldValue(QStringLiteral("Style"))});
    const int idField = tableDef(TableId::Tunedeck).fieldIndex(QStringLiteral("ID"));
    model_->setDragData(QString::fromLatin1(kSongIdMimeType),
                        [idField](const PageRow& r) { return QByteArray::number(r.row.value(idField).toLongLong()); });

    buildWindow();
    columns_ = std::make_unique<ColumnFormatMemory>(list_->view()->horizontalHeader(), songListFormatKeys(), format);
    columns_->restore();

    setWindowTitle(browser_->caption());
    const SongTab tab = openingSongTab(state.settings, settingsIniPath());
    browser_->setTab(tab);
    tabs_->blockSignals(true);
    tabs_->setCurrentIndex(int(tab));
    tabs_->blockSignals(false);

    // The searchable fields for the query wizard; without them the list goes on without search.
    searchAvailable_ = prepareQueryFields(state.messages, queryFields_,
                                          songQueryFieldText(SongQueryList::SongList), QStringLiteral("SONGS"))
        == 0;
    rebuild(0, true);
}

BrowseSongsWindow::~BrowseSongsWindow()
{
    // The list and model refer to the browser's table: they go first.
    delete list_;
    list_ = nullptr;
    model_.reset();
}

void BrowseSongsWindow::buildWindow()
{
    const QFontMetrics fm(font());
    setMinimumSize(374 * fm.averageCharWidth() / 4, 170 * fm.height() / 8);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("SongTabs"));
    for (int i = 0; i < kSongTabCount; ++i)
        tabs_->addTab(songTabTitle(SongTab(i), state_.settings));
    connect(tabs_, &QTabBar::currentChanged, this, &BrowseSongsWindow::tabChosen);

    list_ = new BrowseList(browser_->list(), *model_, this);
    list_->setObjectName(QStringLiteral("SongList"));
    list_->view()->setToolTip(QStringLiteral("Right-Click for Options"));
    // Ctrl and Shift with the mouse choose several songs of the page, to drag onto an album at once.
    list_->view()->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setLocator([this](const QString& text) { return browser_->locatorValues(text); });
    connect(list_, &BrowseList::insertRequested, this, &BrowseSongsWindow::addSong);
    connect(list_, &BrowseList::deleteRequested, this, &BrowseSongsWindow::deleteSong);
    connect(list_, &BrowseList::changeRequested, this, &BrowseSongsWindow::changeSong);
    connect(list_, &BrowseList::contextMenuRequested, this, &BrowseSongsWindow::showMenu);
    connect(list_, &BrowseList::readFailed, this, &BrowseSongsWindow::readFailed);
    connect(list_, &BrowseList::highlightChanged, this, &BrowseSongsWindow::updateButtons);
    connect(list_, &BrowseList::locatorChanged, this, [this](const QString& text) {
        browser_->setLocatorText(text);
        locator_->setText(text);
    });

    auto* prompt = new QLabel(QStringLiteral("Quick Locator (select list box and type to locate):"), this);
    locator_ = new QLabel(this);
    locator_->setObjectName(QStringLiteral("LocatorText"));
    locator_->setMinimumWidth(fm.averageCharWidth() * 20);
    selectMedia_ = button(QStringLiteral("Se&lect Media"), QStringLiteral("SelectMedia"), this);
    selectCategory_ = button(QStringLiteral("Se&lect Category"), QStringLiteral("SelectCategory"), this);
    connect(selectMedia_, &QPushButton::clicked, this, &BrowseSongsWindow::selectMedia);
    connect(selectCategory_, &QPushButton::clicked, this, &BrowseSongsWindow::selectCategory);
    // Which media or category the limited tab shows, or that one is to be chosen.
    chosenRange_ = new QLabel(this);
    chosenRange_->setObjectName(QStringLiteral("ChosenRange"));
    auto* locatorRow = new QHBoxLayout;
    locatorRow->addWidget(prompt);
    locatorRow->addWidget(locator_, 1);
    locatorRow->addWidget(chosenRange_);
    locatorRow->addWidget(selectMedia_);
    locatorRow->addWidget(selectCategory_);

    add_ = button(QStringLiteral("&Add"), QStringLiteral("Add"), this);
    copy_ = button(QStringLiteral("Cop&y"), QStringLiteral("Copy"), this);
    change_ = button(QStringLiteral("&Change"), QStringLiteral("Change"), this);
    delete_ = button(QStringLiteral("&Delete"), QStringLiteral("Delete"), this);
    search_ = button(QStringLiteral("&Search"), QStringLiteral("Search"), this);
    reset_ = button(QStringLiteral("Reset Search"), QStringLiteral("ResetSearch"), this);
    import_ = button(QStringLiteral("&Import"), QStringLiteral("Import"), this);
    export_ = button(QStringLiteral("&Export"), QStringLiteral("Export"), this);
    print_ = button(QStringLiteral("&Print"), QStringLiteral("Print"), this);
    close_ = button(QStringLiteral("Cl&ose"), QStringLiteral("Close"), this);
    connect(add_, &QPushButton::clicked, this, &BrowseSongsWindow::addSong);
    connect(copy_, &QPushButton::clicked, this, &BrowseSongsWindow::copySong);
    connect(change_, &QPushButton::clicked, this, &BrowseSongsWindow::changeSong);
    connect(delete_, &QPushButton::clicked, this, &BrowseSongsWindow::deleteSong);
    connect(search_, &QPushButton::clicked, this, &BrowseSongsWindow::searchSongs);
    connect(reset_, &QPushButton::clicked, this, &BrowseSongsWindow::resetSearch);
    connect(import_, &QPushButton::clicked, this, &BrowseSongsWindow::importSongs);
    connect(export_, &QPushButton::clicked, this, &BrowseSongsWindow::exportSongs);
    connect(print_, &QPushButton::clicked, this, &BrowseSongsWindow::printSongs);
    connect(close_, &QPushButton::clicked, this, [this]() {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
    });

    auto* buttons = new QHBoxLayout;
    for (QPushButton* p : {add_, copy_, change_, delete_, search_, reset_, import_, export_, print_, close_}) {
        // Ten buttons in a row: each may narrow to its text (the style's own minimum is wider), so
        // that the row fits a tiled window.
        const int margin = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, p)
                                   + style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, p));
        p->setMinimumWidth(p->fontMetrics().horizontalAdvance(QString(p->text()).remove(QLatin1Char('&'))) + margin);
        if (p == close_)
            buttons->addStretch(1);
        buttons->addWidget(p);
    }

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    status->addWidget(new QLabel(QStringLiteral("Browsing Records"), status));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(locatorRow);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    layout->addWidget(status);
    setFocusProxy(list_);
    // Never narrower than the row of buttons: at the smallest size the list shrinks, not the buttons.
    setMinimumSize(minimumSize().expandedTo(layout->totalMinimumSize()));

    // Tabs from the keyboard as in any tabbed window.
    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    nextTab->setContext(Qt::WidgetWithChildrenShortcut);
    connect(nextTab, &QShortcut::activated, this,
            [this]() { tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % kSongTabCount); });
    auto* previousTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    previousTab->setContext(Qt::WidgetWithChildrenShortcut);
    connect(previousTab, &QShortcut::activated, this, [this]() {
        tabs_->setCurrentIndex((tabs_->currentIndex() + kSongTabCount - 1) % kSongTabCount);
    });
}

QString BrowseSongsWindow::locatorDisplay() const
{
    return locator_->text();
}

void BrowseSongsWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, QStringLiteral("BrowseSongs"));
    }
}

void BrowseSongsWindow::tabChosen(int index)
{
    if (index < 0 || index >= kSongTabCount || SongTab(index) == browser_->tab())
        return;
    browser_->setTab(SongTab(index));
    list_->setLocatorText(browser_->locatorText());
    rebuild();
}

void BrowseSongsWindow::rebuild(qint64 position, bool fromTop)
{
    browser_->refreshCategoryNames();
    if (browser_->configure() != 0) {
        StandardWarning(state_.db, StdMsg::ViewOpenError, QStringLiteral("Tunedeck"));
        browser_->setSearch(QString());
    }
    list_->run([this, position, fromTop](PagedList&) { return browser_->showAgain(position, fromTop); });

    showChosenRange();
    updateButtons();
}

void BrowseSongsWindow::showChosenRange()
{
    const SongTab tab = browser_->tab();
    selectMedia_->setVisible(tab == SongTab::ByMedia);
    selectCategory_->setVisible(tab == SongTab::ByCategory);
    chosenRange_->setVisible(tab == SongTab::ByMedia || tab == SongTab::ByCategory);
    if (tab == SongTab::ByMedia) {
        const QString media = browser_->media().trimmed();
        chosenRange_->setText(media.isEmpty() ? QStringLiteral("No media chosen: use Select Media")
                                              : QStringLiteral("Media: ") + media);
    } else if (tab == SongTab::ByCategory) {
        const QString name = browser_->categoryId() ? browser_->categoryName(browser_->categoryId()).trimmed()
                                                    : QString();
        chosenRange_->setText(name.isEmpty() ? QStringLiteral("No category chosen: use Select Category")
                                             : QStringLiteral("Category: ") + name);
    }
}

void BrowseSongsWindow::readFailed(int)
{
    if (closing_)
        return;
    if (!browser_->list().condition().isEmpty()) {
        // The view with its range and search cannot be read: say so and go on without them.
        StandardWarning(state_.db, StdMsg::ViewOpenError, QStringLiteral("Tunedeck"));
        browser_->setSearch(QString());
        browser_->configureUnfiltered();
        if (browser_->list().first() == 0) {
            list_->showPage();
            updateButtons();
            return;
        }
    }
    StandardWarning(state_.db, StdMsg::RecordRetrievalError, QStringLiteral("Tunedeck"));
    closing_ = true;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        QMetaObject::invokeMethod(sub, &QWidget::close, Qt::QueuedConnection);
    else
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void BrowseSongsWindow::updateButtons()
{
    const bool any = !browser_->list().isEmpty();
    copy_->setEnabled(any);
    change_->setEnabled(any);
    delete_->setEnabled(any);
    search_->setEnabled(searchAvailable_);
    reset_->setEnabled(browser_->searchActive());
    // Windows of features still to come: their buttons stay off until the frame fills the entry.
    import_->setEnabled(bool(state_.entries.importSongs));
    export_->setEnabled(bool(state_.entries.exportSongs));
    print_->setEnabled(bool(state_.entries.printSongs));
}

bool BrowseSongsWindow::highlightedSong(Tunedeck* song) const
{
    const qint64 pos = browser_->list().highlightedPosition();
    if (pos == 0)
        return false;
    Table<Tunedeck> t(state_.db);
    if (t.fetch(pos) != 0)
        return false;
    *song = t.rec;
    return true;
}

void BrowseSongsWindow::callForm(Request request)
{
    Tunedeck buffer;
    if (request != Request::Insert && !highlightedSong(&buffer))
        return;
    UpdateSong(state_, request, buffer, this,
        [this, request](Response r, const Tunedeck& stored) { formAnswered(request, r, stored); });
}

void BrowseSongsWindow::formAnswered(Request request, Response r, const Tunedeck& stored)
{
    qint64 position = 0;
    if (r == Response::Completed && request != Request::Delete && stored.ID != 0) {
        // The song just stored, found by its identifier.
        Table<Tunedeck> t(state_.db);
        t.rec.ID = stored.ID;
        if (t.get(t.key(QStringLiteral("MUS:KeyID"))) == 0)
            position = t.position();
    }
    setWindowTitle(browser_->caption());
    rebuild(position);
    list_->setFocus();
}

void BrowseSongsWindow::addSong()
{
    callForm(Request::Insert);
}

void BrowseSongsWindow::copySong()
{
    callForm(Request::Select);
}

void BrowseSongsWindow::changeSong()
{
    callForm(Request::Change);
}

void BrowseSongsWindow::deleteSong()
{
    callForm(Request::Delete);
}

void BrowseSongsWindow::searchSongs()
{
    if (!searchAvailable_)
        return;
    QueryWizard(
        state_, queryFields_, QStringLiteral("SONGS"), browser_->search(), this,
        [this](const QueryWizardResult& r) {
            if (!r.completed)
                return;
            typedSearch_ = r.typed;
            browser_->setSearch(r.filter);
            // The highlight stays on its song when the search keeps it, else goes to the nearest one.
            rebuild();
            list_->setFocus();
        },
        typedSearch_);
}

void BrowseSongsWindow::resetSearch()
{
    typedSearch_.clear();
    browser_->setSearch(QString());
    reset_->setEnabled(false);
    rebuild();
    list_->setFocus();
}

void BrowseSongsWindow::selectMedia()
{
    BrowseMedia(state_, this, browser_->media(), [this](const QString& media) {
        if (media.isEmpty())
            return;
        browser_->setMedia(media);
        rebuild(0, true);
        list_->setFocus();
    });
}

void BrowseSongsWindow::selectCategory()
{
    const QString start = browser_->categoryId() ? browser_->categoryName(browser_->categoryId()) : QString();
    BrowseCategories(state_, this, start, [this](const Categories* category) {
        if (!category)
            return;
        browser_->setCategory(category->CategoryID);
        rebuild(0, true);
        list_->setFocus();
    });
}

// Import, export and the printed listings may change or read the songs: the list reads again.
void BrowseSongsWindow::importSongs()
{
    if (const auto& open = state_.entries.importSongs)
        open(state_, this, [this](Response) { formAnswered(Request::Insert, Response::Cancelled, Tunedeck()); });
}

void BrowseSongsWindow::exportSongs()
{
    if (const auto& open = state_.entries.exportSongs)
        open(state_, this, [](Response) {});
}

void BrowseSongsWindow::printSongs()
{
    if (const auto& open = state_.entries.printSongs)
        open(state_, this, songTabInfo(browser_->tab()).key, [](Response) {});
}

void BrowseSongsWindow::showMenu(const QPoint& at)
{
    const bool any = !browser_->list().isEmpty();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("SongListMenu"));
    QAction* add = menu.addAction(QStringLiteral("&Add"));
    QAction* change = menu.addAction(QStringLiteral("&Change"));
    QAction* del = menu.addAction(QStringLiteral("&Delete"));
    change->setEnabled(any);
    del->setEnabled(any);
    menu.addSeparator();
    QAction* print = menu.addAction(print_->text());
    print->setEnabled(print_->isEnabled());
    menu.addSeparator();
    QAction* search = menu.addAction(search_->text());
    search->setEnabled(search_->isEnabled());
    menu.addSeparator();
    QAction* import = menu.addAction(import_->text());
    import->setEnabled(import_->isEnabled());
    QAction* exportAction = menu.addAction(export_->text());
    exportAction->setEnabled(export_->isEnabled());

    QAction* chosen = menu.exec(at);
    if (chosen == add)
        addSong();
    else if (chosen == change)
        changeSong();
    else if (chosen == del)
        deleteSong();
    else if (chosen == search)
        searchSongs();
    else if (chosen == print)
        printSongs();
    else if (chosen == import)
        importSongs();
    else if (chosen == exportAction)
        exportSongs();
}

void BrowseSongsWindow::closeEvent(QCloseEvent* e)
{
    finish();
    QWidget::closeEvent(e);
}

void BrowseSongsWindow::finish()
{
    if (!browser_ || !columns_)
        return;
    saveSongTab(browser_->tab(), settingsIniPath());
    columns_->save();
    savePosition(this, QStringLiteral("BrowseSongs"));
    columns_.reset();
}

} // namespace td

#include "app/MainFrame.h"

#include "albums/ui/Housekeeping.h"
#include "albums/ui/UpdateAlbums.h"
#include "app/ChildPlacement.h"
#include "app/HelpWindow.h"
#include "app/Splash.h"
#include "common/AppState.h"
#include "common/ui/BrowseToolBar.h"
#include "common/ui/ProgressWindow.h"
#include "common/ui/WidgetPosition.h"
#include "core/ConfigPaths.h"
#include "core/Messages.h"
#include "data/Database.h"
#include "setup/StartupSteps.h"
#include "setup/UpgradeFiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPrintDialog>
#include <QScreen>
#include <QSessionManager>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace td {

namespace {
const QString kFrameSection = QStringLiteral("Main");
const TableId kFrameTables[] = {TableId::Album, TableId::Media, TableId::Tunedeck};
} // namespace

MainFrame::MainFrame(AppState& state, QWidget* parent)
    : QMainWindow(parent)
    , state_(state)
{
    setObjectName(QStringLiteral("MAIN$APPFRAME"));
    state_.printer = &printer_;
    setWindowTitle(QString::fromLatin1(kProgramTitle));
    setWindowIcon(QIcon(QStringLiteral(":/images/frame.svg")));
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setBackground(QColor(0x5a, 0x6e, 0x8c));
    setCentralWidget(mdi_);
    actions_ = buildFrameMenu(menuBar(), this);
    buildToolBar();
    addToolBar(createBrowseToolBar(mdi_, this));
    statusBar()->showMessage(QString());
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        const FrameAction id = it.key();
        connect(it.value(), &QAction::triggered, this, [this, id] { runAction(id); });
        it.value()->setEnabled(false);
    }
    wireStandardActions();
    // Without a remembered place: most of the screen, so that several lists fit side by side.
    const QRect screenArea = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 900);
    resize(QSize(1100, 760).expandedTo(screenArea.size() * 9 / 10).boundedTo(screenArea.size()));
}

MainFrame::~MainFrame()
{
    if (state_.printer == &printer_)
        state_.printer = nullptr;
}

HelpWindow* MainFrame::helpWindow() const
{
    return help_;
}

void MainFrame::buildToolBar()
{
    QToolBar* bar = addToolBar(QStringLiteral("Tools"));
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(32, 32));
    struct Button {
        const char* text;
        const char* icon;
        FrameAction id;
    };
    const Button buttons[] = {
        {"Albums", ":/images/albums.svg", FrameAction::BrowseAlbums},
        {"Songs", ":/images/songs.svg", FrameAction::BrowseSongs},
        {"Labels", ":/images/labels.svg", FrameAction::BrowseLabels},
        {"Playlists", ":/images/playlists.svg", FrameAction::BrowsePlaylists},
        {"Play CD", ":/images/playcd.svg", FrameAction::CdPlayer},
    };
    for (const auto& b : buttons) {
        // A button of its own that follows the menu item's state and starts the same action.
        auto* a = new QAction(QIcon(QString::fromLatin1(b.icon)), QString::fromLatin1(b.text), bar);
        a->setObjectName(QStringLiteral("tool") + QString::fromLatin1(b.text).remove(QLatin1Char(' ')));
        QAction* menuItem = actions_.value(b.id);
        a->setStatusTip(menuItem->statusTip());
        a->setEnabled(false);
        connect(menuItem, &QAction::changed, a, [a, menuItem] { a->setEnabled(menuItem->isEnabled()); });
        const FrameAction id = b.id;
        connect(a, &QAction::triggered, this, [this, id] { runAction(id); });
        bar->addAction(a);
    }
    // The album form's history key as a button: it speaks to the album form used last.
    auto* history
        = new QAction(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("History"), bar);
    history->setObjectName(QStringLiteral("toolHistory"));
    history->setStatusTip(QStringLiteral("Recall the focused album field from the album saved last"));
    connect(history, &QAction::triggered, this, [] { recallAlbumHistory(); });
    bar->addAction(history);
    bar->addSeparator();
    logo_ = new QLabel(bar);
    logo_->setObjectName(QStringLiteral("logo"));
    logo_->setFixedHeight(48);
    logo_->setAlignment(Qt::AlignCenter);
    bar->addWidget(logo_);
    showLogo(QString());
}

void MainFrame::wireStandardActions()
{
    setActionHandler(FrameAction::Exit, [this] { close(); });
    setActionHandler(FrameAction::PrintSetup, [this] { openPrintSetup(); });
    auto clipboard = [](const char* slot) {
        QWidget* w = QApplication::focusWidget();
        if (w)
            QMetaObject::invokeMethod(w, slot);
    };
    setActionHandler(FrameAction::Cut, [clipboard] { clipboard("cut"); });
    setActionHandler(FrameAction::Copy, [clipboard] { clipboard("copy"); });
    setActionHandler(FrameAction::Paste, [clipboard] { clipboard("paste"); });
    setActionHandler(FrameAction::WindowTile, [this] { tileChildWindows(mdi_); });
    setActionHandler(FrameAction::WindowCascade, [this] { mdi_->cascadeSubWindows(); });
    setActionHandler(FrameAction::WindowArrangeIcons, [this] {
        // Minimised child windows lined up along the bottom edge.
        int x = 0;
        const int y = mdi_->viewport()->height();
        for (QMdiSubWindow* w : mdi_->subWindowList()) {
            if (!w->isMinimized())
                continue;
            w->move(x, y - w->height());
            x += w->width();
        }
    });
    setActionHandler(FrameAction::HelpContents, [this] { openHelp(QStringLiteral("contents")); });
    setActionHandler(FrameAction::HelpSearch, [this] { openHelp(QStringLiteral("index")); });
    setActionHandler(FrameAction::HelpHowTo, [this] { openHelp(QStringLiteral("using-help")); });
    setActionHandler(FrameAction::HelpAbout, [this] { showAbout(); });
}

void MainFrame::setActionHandler(FrameAction id, std::function<void()> handler)
{
    handlers_.insert(id, std::move(handler));
    if (QAction* a = actions_.value(id))
        a->setEnabled(true);
}

void MainFrame::runAction(FrameAction id)
{
    if (splash_)
        splash_->accept();
    emit actionStarted(id);
    const auto it = handlers_.constFind(id);
    if (it != handlers_.constEnd())
        (*it)();
}

void MainFrame::requestAction(FrameAction id)
{
    QMetaObject::invokeMethod(this, [this, id] { runAction(id); }, Qt::QueuedConnection);
}

void MainFrame::addChildWindow(QWidget* w)
{
    QMdiSubWindow* sub = mdi_->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // A window without a remembered place opens at a size that shows its contents well.
    const QSize room = mdi_->viewport()->size();
    const QSize hint = sub->sizeHint().expandedTo(QSize(0, room.height() * 2 / 3)); // with its frame
    if (sub->size().width() < hint.width() || sub->size().height() < hint.height())
        sub->resize(hint.boundedTo(room));
    sub->show(); // the window's remembered place, if any, comes back here
    fitIntoArea(sub, QRect(QPoint(0, 0), room));
}

void MainFrame::showLogo(const QString& path)
{
    QPixmap p;
    if (!path.isEmpty())
        p.load(path);
    if (p.isNull())
        p.load(QStringLiteral(":/images/logo.svg"));
    logo_->setProperty("logoPath", path);
    const QPixmap shown = p.scaledToHeight(44, Qt::SmoothTransformation);
    logo_->setPixmap(shown);
    logo_->setFixedWidth(qMin(shown.width(), 320) + 8);
}

bool MainFrame::open()
{
    Database& db = state_.db;
    // 1. The three tables the frame keeps open while it lives.
    for (int i = 0; i < int(std::size(kFrameTables)); ++i) {
        if (!db.useTable(kFrameTables[i])) {
            for (int j = 0; j < i; ++j)
                db.releaseTable(kFrameTables[j]);
            return false;
        }
    }
    tablesOpen_ = true;
    if (!startup::createMissingFiles(db))
        return false;
    // 2. Default media names for an empty media table.
    startup::fillDefaultMedia(db);
    // 3. Position of the frame. A frame closed maximised is only marked maximised here: shown now,
    // it would be on screen before it counts as opened, and the splash would never come.
    restorePosition(this, kFrameSection);
    // 4-6. Version and the picture of the logo control.
    const QString settingsIni = settingsIniPath();
    const QString frameLogo = startup::frameLogo(settingsIni);
    if (!frameLogo.isEmpty())
        showLogo(frameLogo);
    const QString previousVersion = startup::recordVersion(settingsIni, state_.version);
    state_.versionCaption = QStringLiteral("Version ") + state_.version;
    // 7. Started from another directory than last time: move the legacy songs over.
    if (startup::programMoved(winIniPath(), QDir::currentPath()))
        QTimer::singleShot(0, this, &MainFrame::startLegacyMove);
    // 8. Preferences, and the printer chosen last time.
    LoadGlobalSettings(state_.settings, state_.criteria, settingsIni);
    printer_.load(settingsIni);
    // 9. Albums from songs for a catalogue that has songs but no albums yet.
    if (startup::albumCopyWanted(db, previousVersion))
        startAlbumCopy();
    // 11. The logo pictures of the preferences.
    if (!state_.settings.Logo.isEmpty())
        showLogo(state_.settings.Logo);
    const QString mainLogo = startup::mainLogo(settingsIni);
    if (!mainLogo.isEmpty())
        showLogo(mainLogo);
    // 12. The desktop session ending: the question whether it may end is always answered yes (no
    // cancel), and the end itself closes the frame in order.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { endSession(); });
    connect(qApp, &QGuiApplication::saveStateRequest, this, [this](QSessionManager&) {
        if (isVisible())
            savePosition(this, kFrameSection);
    });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (isVisible())
            close();
    });
    opened_ = true;
    if (isVisible())
        scheduleSplash();
    return true;
}

void MainFrame::endSession()
{
    // Never asks to stay: every window closes as on Cancel, each saving its place, then the frame.
    if (splash_)
        splash_->accept();
    if (printSetup_)
        printSetup_->reject();
    close();
}

void MainFrame::startAlbumCopy()
{
    const int answer = state_.messages.show(
        QStringLiteral("Album Database Empty"),
        QStringLiteral("Do you want to copy your album information from the general music database into the album "
                       "database? (Recommended)"),
        Icon::Question, Yes | No, Yes);
    if (answer != Yes)
        return;
    // The copy blocks the frame only; the setting follows once the albums are there.
    auto linkNewSongs = [this] {
        state_.settings.AutoAddToAlbums = QStringLiteral("1");
        SaveSetting(settingsIniPath(), QStringLiteral("AutoAddToAlbums"), QStringLiteral("1"));
    };
    runCopyToAlbum(state_, this, linkNewSongs);
}

void MainFrame::startLegacyMove()
{
    ProgressWindow::start(std::make_shared<UpgradeFiles>(state_.db), this);
}

void MainFrame::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (opened_)
        scheduleSplash();
}

void MainFrame::scheduleSplash()
{
    if (splashShown_)
        return;
    splashShown_ = true;
    QTimer::singleShot(0, this, &MainFrame::showSplash);
}

void MainFrame::showSplash()
{
    splash_ = new Splash(state_.versionCaption, splashMs_, this);
    connect(splash_, &QDialog::finished, this, &MainFrame::afterSplash);
    splash_->show();
}

void MainFrame::afterSplash()
{
    // The splash is gone: an action started from here must not close it again (closing it once
    // more would come back here without end).
    splash_.clear();
    emit splashClosed();
    // The setup wizard runs here while it has never been completed: the Setup command
    // ("Pre&ferences") shows the wizard instead of the setup window while "SetupWizardComplete" is
    // off. The start-up lists wait for it, so that those chosen in it open.
    if (!state_.settings.SetupWizardComplete && startupSetup_) {
        emit actionStarted(FrameAction::Preferences);
        startupSetup_([self = QPointer<MainFrame>(this)] {
            if (self)
                self->openStartupLists();
        });
        return;
    }
    if (!state_.settings.SetupWizardComplete && hasHandler(FrameAction::Preferences))
        runAction(FrameAction::Preferences);
    openStartupLists();
}

void MainFrame::openStartupLists()
{
    if (!isVisible())
        return;
    const GlobalSettings& s = state_.settings;
    if (s.SU_Songs)
        requestAction(FrameAction::BrowseSongs);
    if (s.SU_Albums)
        requestAction(FrameAction::BrowseAlbums);
    if (s.SU_Playlists)
        requestAction(FrameAction::BrowsePlaylists);
    if (s.SU_Labels)
        requestAction(FrameAction::BrowseLabels);
}

void MainFrame::closeEvent(QCloseEvent* e)
{
    mdi_->closeAllSubWindows();
    if (!mdi_->subWindowList().isEmpty()) {   // a child refused to close (a form with changes)
        e->ignore();
        return;
    }
    if (splash_)
        splash_->accept();
    if (tablesOpen_) {
        for (TableId t : kFrameTables)
            state_.db.releaseTable(t);
        tablesOpen_ = false;
    }
    if (opened_)
        savePosition(this, kFrameSection);
    e->accept();
}

void MainFrame::openHelp(const QString& anchor)
{
    // One help window: asked again, it comes to the front at the section asked for.
    if (!help_) {
        help_ = new HelpWindow;
        addChildWindow(help_);
    }
    help_->showSection(anchor);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(help_->parentWidget())) {
        if (sub->isMinimized())
            sub->showNormal();
        mdi_->setActiveSubWindow(sub);
    }
}

void MainFrame::openPrintSetup()
{
    if (printSetup_) {
        printSetup_->raise();
        printSetup_->activateWindow();
        return;
    }
    // The system's dialog on the program's own printer; the choice is kept when it is confirmed.
    auto* dialog = new QPrintDialog(&printer_.printer(), this);
    dialog->setObjectName(QStringLiteral("PrintSetup"));
    dialog->setWindowTitle(QStringLiteral("Print Setup"));
    dialog->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(false);
    connect(dialog, &QDialog::accepted, this, [this] { printer_.save(settingsIniPath()); });
    printSetup_ = dialog;
    dialog->show();
}

void MainFrame::showAbout()
{
    state_.messages.show(QStringLiteral("About ") + QString::fromLatin1(kProgramTitle),
                         QString::fromLatin1(kProgramTitle) + QStringLiteral("|") + state_.versionCaption
                             + QStringLiteral("|A catalogue of your music collection."),
                         Icon::Information, Ok, Ok);
}

} // namespace td

#pragma once
// The main frame: menu, tool bar with the logo control, status bar hints, the area holding every
// list and form as a child window, the opening steps and an orderly close.

#include "app/FrameActions.h"
#include "app/Splash.h"
#include "common/ui/ProgramPrinter.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>

class QLabel;
class QMdiArea;

namespace td {

class AppState;
class HelpWindow;


class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit MainFrame(AppState& state, QWidget* parent = nullptr);
    ~MainFrame() override;

    // The opening steps, from opening the tables to the shutdown hook. False when a table cannot
    // be opened: its message has been shown, the end of the program recorded and no later step
    // run. Call before show().
    bool open();

    AppState& state() { return state_; }
    QMdiArea* mdiArea() const { return mdi_; }
    QAction* action(FrameAction id) const { return actions_.value(id); }
    QLabel* logoControl() const { return logo_; }
    Splash* splash() const { return splash_; }
    HelpWindow* helpWindow() const;
    // The program's printer, for every window that prints.
    ProgramPrinter& printer() { return printer_; }

    // A window that a later part of the program provides: the menu item and its tool bar button
    // become enabled and start it.
    void setActionHandler(FrameAction id, std::function<void()> handler);
    bool hasHandler(FrameAction id) const { return handlers_.contains(id); }
    // The Setup command as run after the splash while the setup wizard has never been completed:
    // `then` is to run once it has finished, and the start-up lists open only then, as chosen in it.
    void setStartupSetup(std::function<void(std::function<void()> then)> run) { startupSetup_ = std::move(run); }

    // Asks the frame to start an action as if the user had chosen it; queued, like an event posted
    // from another window. While the splash shows, it closes first.
    void requestAction(FrameAction id);

    // Puts a window into the frame as an independent child window.
    void addChildWindow(QWidget* w);

    // The desktop session is ending: save what is remembered and close everything in order.
    void endSession();

    // Milliseconds the splash stays (one second); tests shorten it.
    void setSplashDuration(int ms) { splashMs_ = ms; }

signals:
    void actionStarted(td::FrameAction id);
    void splashClosed();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildToolBar();
    void wireStandardActions();
    void runAction(FrameAction id);
    void showLogo(const QString& path);
    void scheduleSplash();
    void showSplash();
    void afterSplash();
    void openStartupLists();
    void startAlbumCopy();
    void startLegacyMove();
    void openHelp(const QString& anchor);
    void showAbout();
    void openPrintSetup();

    AppState& state_;
    QMdiArea* mdi_ = nullptr;
    QLabel* logo_ = nullptr;
    FrameActionMap actions_;
    QHash<FrameAction, std::function<void()>> handlers_;
    std::function<void(std::function<void()>)> startupSetup_;
    QPointer<Splash> splash_;
    QPointer<HelpWindow> help_;
    QPointer<QDialog> printSetup_;
    ProgramPrinter printer_;
    bool opened_ = false;
    bool splashShown_ = false;
    bool tablesOpen_ = false;
    int splashMs_ = 1000;
};

} // namespace td

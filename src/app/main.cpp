// Program entry: picks the data folder, registers the tables with the data-file upgrade, opens the
// main frame and runs until it closes.

#include "app/FrameWiring.h"
#include "app/MainFrame.h"
#include "app/Resources.h"
#include "app/TunedeckApplication.h"
#include "app/WidgetMessages.h"
#include "cd/CdAudio.h"
#include "cd/DriveFactory.h"
#include "common/AppState.h"
#include "core/Messages.h"
#include "data/Database.h"
#include "setup/QueryWizardTexts.h"
#include "setup/UpgradeRegistry.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>

namespace {

bool haveDisplay()
{
#if defined(Q_OS_LINUX)
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

// The working directory holds the data files and POSITION.INI: TDP_DATA_DIR when set, else the
// user's data folder for the program.
bool enterDataFolder()
{
    QString dir = qEnvironmentVariable("TDP_DATA_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!QDir().mkpath(dir) || !QDir::setCurrent(dir)) {
        std::fprintf(stderr, "tunedeck: cannot use the data folder %s\n", qPrintable(dir));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (!haveDisplay()) {
        std::fprintf(stderr,
                     "tunedeck: no display found (DISPLAY and WAYLAND_DISPLAY are empty).\n"
                     "Start it from a desktop session, or under a virtual display: xvfb-run tunedeck\n");
        return 2;
    }
    td::TunedeckApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tunedeck"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tunedeck Pro 97"));
    QApplication::setOrganizationName(QStringLiteral("tunedeck"));
    td::initResources();
    if (!enterDataFolder())
        return 1;

    td::UpgradeRegistry upgrades;
    td::registerUpgradeFiles(upgrades);
    td::QueryWizardTexts queryTexts;
    td::setUpQueryWizard(queryTexts);

    td::Messages messages;
    messages.setResponder(std::make_shared<td::WidgetMessages>());
    td::Database db(messages);
    td::CdAudioDevice cd(td::createDriveFromEnvironment());
    td::AppState state(db, messages, queryTexts, cd);
    td::MainFrame frame(state);
    td::wireFrame(frame, state);
    return td::runMainFrame(frame, db);
}

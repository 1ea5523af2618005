#include "app/TunedeckApplication.h"

#include "app/MainFrame.h"
#include "data/Database.h"

#include <cstdio>

namespace td {

TunedeckApplication::TunedeckApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

void leaveEventLoopsOnEnd(Database& db)
{
    // QCoreApplication::exit tells every event loop of the thread to return, the innermost first.
    db.setEndHandler([] { QCoreApplication::exit(1); });
}

int runMainFrame(MainFrame& frame, Database& db)
{
    leaveEventLoopsOnEnd(db);
    int rc = 1;
    if (frame.open() && !db.ended()) {
        frame.show();
        rc = QApplication::exec();
    }
    if (!db.ended())
        return rc;
    if (frame.isVisible())
        frame.close(); // the frame closes its windows in order
    std::fprintf(stderr, "tunedeck: %s\n", qPrintable(db.endText()));
    return 1;
}

} // namespace td

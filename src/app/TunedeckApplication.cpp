#include "app/TunedeckApplication.h"

#include "data/Database.h"

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

} // namespace td

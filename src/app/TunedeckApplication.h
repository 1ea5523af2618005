#pragma once
// The application object. A table that cannot be opened ends the program after its message: the
// storage layer records the end (Database::endProgram) and calls back here, and the application
// leaves every running event loop, nested ones included, with exit code 1. Nothing is thrown
// through Qt's frames; main then closes the windows in order and prints the text.

#include <QApplication>

namespace td {

class Database;

class TunedeckApplication : public QApplication {
    Q_OBJECT
public:
    TunedeckApplication(int& argc, char** argv);
};

// Makes the end of the program recorded in `db` leave every running event loop with exit code 1
// (and any loop started afterwards at once: callers check Database::ended() before starting one).
void leaveEventLoopsOnEnd(Database& db);

} // namespace td

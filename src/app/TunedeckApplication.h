#pragma once
// The application object. A table that cannot be opened ends the program after its message: the
// storage layer records the end (Database::endProgram) and calls back here, and the application
// leaves every running event loop, nested ones included, with exit code 1. Nothing is thrown
// through Qt's frames; main then closes the windows in order and prints the text.

#include <QApplication>

namespace td {

class Database;
class MainFrame;

class TunedeckApplication : public QApplication {
    Q_OBJECT
public:
    TunedeckApplication(int& argc, char** argv);
};

// Makes the end of the program recorded in `db` leave every running event loop with exit code 1
// (and any loop started afterwards at once: callers check Database::ended() before starting one).
void leaveEventLoopsOnEnd(Database& db);

// Opens the frame and runs the main loop. 1 when the program ended after a message (no later
// opening step run and the main loop never entered, or the loop left and the frame closed with
// its windows in order; the text printed on stderr); otherwise the main loop's exit code.
int runMainFrame(MainFrame& frame, Database& db);

} // namespace td

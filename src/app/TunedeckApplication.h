#pragma once
// The application object. A table that cannot be opened ends the program after its message (the
// record services throw ProgramEnd); when that happens inside an event handler, the end is caught
// here and the event loop left in order instead of tearing through Qt.

#include <QApplication>

namespace td {

class TunedeckApplication : public QApplication {
    Q_OBJECT
public:
    TunedeckApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The exit text of the end, empty while the program goes on.
    QString endText() const { return endText_; }

private:
    QString endText_;
};

} // namespace td

#include "app/TunedeckApplication.h"

#include "core/Messages.h"

namespace td {

TunedeckApplication::TunedeckApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool TunedeckApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const ProgramEnd& end) {
        if (endText_.isEmpty())
            endText_ = end.text;
        exit(1);
        return false;
    }
}

} // namespace td

#include "app/Resources.h"

#include <QtCore/qglobal.h>
#include <QDir>

static void initTunedeckResources()
{
    Q_INIT_RESOURCE(tunedeck);
}

namespace td {
void initResources()
{
    initTunedeckResources();
}
} // namespace td

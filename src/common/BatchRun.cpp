#include "common/BatchRun.h"

namespace td {

void BatchRun::runToEnd()
{
    if (!start())
        return;
    while (!isCancelled() && step(sliceSize())) {
    }
    finish();
}

QString BatchRun::percentText(int percent)
{
    return QString::number(qBound(0, percent, 100)) + QStringLiteral("% Completed");
}

} // namespace td

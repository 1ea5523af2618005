#include "cd/DiscIdentifier.h"

#include "cd/MciTime.h"
#include "cd/SendMciCommand.h"

namespace td {

QString discIdentifier(int trackCount, int totalTime, const QList<int>& lengths)
{
    QString id = QStringLiteral("%1").arg(trackCount, 2);
    id += QString::number(totalTime);
    id += QString::number(lengths.value(0));
    if (trackCount > 1)
        id += QString::number(lengths.value(1));
    if (trackCount > 2)
        id += QString::number(lengths.value(2));
    return id.left(kDiscIdentifierLength);
}

QString BuildDiscIdentifier(CdAudioClient& client, int trackCount)
{
    const int total = MciTimeToTime(SendMciCommand(client, QStringLiteral("status cdaudio length")));
    QList<int> lengths;
    const int asked = qBound(1, trackCount, 3);
    for (int i = 1; i <= asked; ++i)
        lengths << MciTimeToTime(
            SendMciCommand(client, QStringLiteral("status cdaudio length track %1").arg(i)));
    return discIdentifier(trackCount, total, lengths);
}

} // namespace td

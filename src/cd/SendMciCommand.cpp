#include "cd/SendMciCommand.h"

#include "cd/CdAudio.h"

namespace td {

QString SendMciCommand(CdAudioClient& client, const QString& command, bool askMode)
{
    const QString sent = askMode ? QStringLiteral("status cdaudio mode") : command.left(kMciCommandLength);
    const MciReply reply = client.send(sent);
    if (reply.code == mci::DeviceOpen)
        return QStringLiteral("Error:1");
    if (reply.code != 0)
        return QStringLiteral("Error:") + QString::number(reply.code);
    const QString text = reply.text.left(kMciReplyLength - 1);
    if (text == QLatin1String("true"))
        return QStringLiteral("1");
    if (text == QLatin1String("false"))
        return QString();
    return text;
}

long mciNumber(const QString& reply)
{
    const QString s = reply.trimmed();
    long n = 0;
    int digits = 0;
    for (QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || digits >= 9)
            break;
        n = n * 10 + (c.unicode() - '0');
        ++digits;
    }
    return n;
}

} // namespace td

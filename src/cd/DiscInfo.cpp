#include "cd/DiscInfo.h"

#include "cd/CdAudio.h"
#include "cd/DiscIdentifier.h"
#include "cd/MciTime.h"
#include "cd/SendMciCommand.h"

namespace td {

DiscReadResult readDiscInfo(CdAudioDevice& device, DiscInfo& info, QString* why)
{
    auto fail = [&](DiscReadResult r, const QString& text) {
        if (why)
            *why = text;
        return r;
    };
    CdAudioClient cd(device);
    auto send = [&](const QString& command) { return SendMciCommand(cd, command); };
    CdDrive& drive = device.drive();

    const QString opened = send(QStringLiteral("open cdaudio shareable"));
    if (opened != QLatin1String("1")) {
        const QString reason = drive.errorText().isEmpty() ? opened : drive.errorText();
        return fail(DiscReadResult::NoDrive, QStringLiteral("The CD drive cannot be used (%1).").arg(reason));
    }
    DiscReadResult result = DiscReadResult::Read;
    QString text;
    const MediaState media = drive.media();
    if (media != MediaState::Ready) {
        switch (media) {
        case MediaState::DoorOpen:
            result = DiscReadResult::DoorOpen;
            text = QStringLiteral("The door of %1 is open.").arg(drive.name());
            break;
        case MediaState::NotReady:
            result = DiscReadResult::NotReady;
            text = QStringLiteral("The disc in %1 cannot be read (%2).").arg(drive.name(), drive.errorText());
            break;
        default:
            result = DiscReadResult::NoDisc;
            text = QStringLiteral("There is no disc in %1.").arg(drive.name());
            break;
        }
    } else if (!drive.toc(info.toc)) {
        result = DiscReadResult::NotReady;
        text = QStringLiteral("The disc in %1 cannot be read (%2).").arg(drive.name(), drive.errorText());
    } else {
        send(QStringLiteral("set cdaudio time format tmsf"));
        const DiscToc toc = info.toc;
        info = DiscInfo();
        info.toc = toc;
        info.trackCount = int(mciNumber(send(QStringLiteral("status cdaudio number of tracks"))));
        // The disc's own track numbers (a disc may begin with track 2); the identifier below asks
        // for tracks 1 to 3 whatever they are, as the catalogue always has.
        for (int i = toc.first; i <= toc.last; ++i) {
            DiscTrackInfo t;
            t.number = i;
            t.msf = send(QStringLiteral("status cdaudio length track %1").arg(i));
            t.time = MciTimeToTime(t.msf);
            info.tracks << t;
        }
        info.totalMsf = send(QStringLiteral("status cdaudio length"));
        info.totalTime = MciTimeToTime(info.totalMsf);
        info.identifier = BuildDiscIdentifier(cd, info.trackCount);
    }
    send(QStringLiteral("close cdaudio"));
    return result == DiscReadResult::Read ? result : fail(result, text);
}

QStringList discInfoLines(const DiscInfo& info)
{
    QStringList lines;
    lines << QStringLiteral("Tracks: %1").arg(info.trackCount);
    for (const DiscTrackInfo& t : info.tracks)
        lines << QStringLiteral("Track %1: %2 %3").arg(t.number).arg(t.msf).arg(t.time);
    lines << QStringLiteral("Total: %1 %2").arg(info.totalMsf).arg(info.totalTime);
    lines << QStringLiteral("Disc identifier: \"%1\"").arg(info.identifier);
    return lines;
}

} // namespace td

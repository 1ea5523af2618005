#include "cd/DiscIds.h"

#include "cd/CdAudio.h"
#include "cd/SendMciCommand.h"

#include <discid/discid.h>

#include <array>

namespace td {

namespace {

constexpr int kSessionGap = 11400; // lead-out and lead-in between the audio and the data session

bool put(DiscId* d, const DiscToc& toc, QString& error)
{
    std::array<int, 100> offsets {};
    offsets[0] = toc.leadout;
    for (int t = toc.first; t <= toc.last; ++t)
        offsets[t] = toc.trackStart(t);
    if (!discid_put(d, toc.first, toc.last, offsets.data())) {
        error = QString::fromUtf8(discid_get_error_msg(d));
        return false;
    }
    return true;
}

} // namespace

OtherDiscIds otherDiscIds(const DiscToc& toc)
{
    OtherDiscIds ids;
    DiscId* d = discid_new();
    if (put(d, toc, ids.error))
        ids.freedb = QString::fromLatin1(discid_get_freedb_id(d));

    DiscToc audio = toc;
    while (audio.last > audio.first && audio.isDataTrack(audio.last)) {
        audio.leadout = audio.trackStart(audio.last) - kSessionGap;
        audio.starts.removeLast();
        audio.data.removeLast();
        --audio.last;
    }
    if (ids.ok() && audio.isValid() && put(d, audio, ids.error))
        ids.musicBrainz = QString::fromLatin1(discid_get_id(d));
    else if (ids.ok())
        ids.error = QStringLiteral("the audio session of this disc is too short");
    discid_free(d);
    return ids;
}

OtherDiscIds discIdsInDrive(CdAudioDevice& device)
{
    OtherDiscIds ids;
    CdAudioClient cd(device);
    if (SendMciCommand(cd, QStringLiteral("open cdaudio shareable")) != QLatin1String("1")) {
        ids.error = QStringLiteral("the CD drive cannot be used");
        return ids;
    }
    DiscToc toc;
    if (device.drive().media() == MediaState::Ready && device.drive().toc(toc))
        ids = otherDiscIds(toc);
    else
        ids.error = QStringLiteral("there is no disc that can be read in the drive");
    SendMciCommand(cd, QStringLiteral("close cdaudio"));
    return ids;
}

} // namespace td

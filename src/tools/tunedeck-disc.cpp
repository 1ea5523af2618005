// tunedeck-disc: what the catalogue sees of the disc in the drive.
//
//   tunedeck-disc [device | image.cue | disc.toc]
//
// Without an argument it reads what TDP_CDROM names, or the default CD drive. Prints the track
// count, each track's length (mm:ss:ff and as a time value), the total, the disc identifier the
// catalogue stores for the album, and the freedb and MusicBrainz disc ids of the same table of
// contents. Exit status: 0 read, 1 no disc (or door open, or not readable), 2 no drive, 3 the ids
// could not be computed, 64 wrong use.

#include "cd/CdAudio.h"
#include "cd/DiscIds.h"
#include "cd/DiscInfo.h"
#include "cd/DriveFactory.h"

#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

void print(FILE* out, const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), out);
    std::fputc('\n', out);
}

constexpr const char* kUsage = "usage: tunedeck-disc [device | image.cue | disc.toc]\n"
                               "Without an argument: the drive TDP_CDROM names, or the default CD drive.\n";

} // namespace

int main(int argc, char** argv)
{
    QString source;
    if (argc > 2) {
        std::fputs(kUsage, stderr);
        return 64;
    }
    if (argc == 2) {
        const QString arg = QString::fromLocal8Bit(argv[1]);
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        source = arg;
    } else {
        source = qEnvironmentVariable(td::kCdromVariable);
    }

    td::CdAudioDevice device(td::createDrive(source));
    td::DiscInfo info;
    QString why;
    switch (td::readDiscInfo(device, info, &why)) {
    case td::DiscReadResult::Read:
        break;
    case td::DiscReadResult::NoDrive:
        print(stderr, why);
        return 2;
    default:
        print(stderr, why);
        return 1;
    }

    for (const QString& line : td::discInfoLines(info))
        print(stdout, line);
    const td::OtherDiscIds ids = td::otherDiscIds(info.toc);
    if (!ids.freedb.isEmpty())
        print(stdout, QStringLiteral("freedb disc id: %1").arg(ids.freedb));
    if (!ids.musicBrainz.isEmpty())
        print(stdout, QStringLiteral("MusicBrainz disc id: %1").arg(ids.musicBrainz));
    if (!ids.ok()) {
        print(stderr, QStringLiteral("The disc ids cannot be computed: %1").arg(ids.error));
        return 3;
    }
    return 0;
}

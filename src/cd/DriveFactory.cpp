#include "cd/DriveFactory.h"

#include "cd/CdioDrive.h"
#include "cd/VirtualDrive.h"

#include <QFileInfo>

namespace td {

std::unique_ptr<CdDrive> createDrive(
    const QString& source, std::shared_ptr<PlayClock> clock, std::unique_ptr<PcmSink> sink)
{
    const QString suffix = QFileInfo(source).suffix().toLower();
    if (suffix == QLatin1String("toc"))
        return std::make_unique<VirtualDrive>(source, std::move(clock));
    static const QStringList images { QStringLiteral("cue"), QStringLiteral("nrg"), QStringLiteral("bin"),
        QStringLiteral("iso") };
    if (!source.isEmpty() && images.contains(suffix))
        return std::make_unique<CdioDrive>(CdioDrive::Kind::Image, source, std::move(clock), std::move(sink));
    return std::make_unique<CdioDrive>(CdioDrive::Kind::Device, source, std::move(clock), std::move(sink));
}

std::unique_ptr<CdDrive> createDriveFromEnvironment(std::shared_ptr<PlayClock> clock)
{
    return createDrive(qEnvironmentVariable(kCdromVariable), std::move(clock));
}

} // namespace td

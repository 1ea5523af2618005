#include "setup/UpgradeRegistry.h"

namespace td {

int UpgradeRegistry::versionOf(const QString& label) const
{
    for (const auto& f : files_)
        if (f.label.compare(label, Qt::CaseInsensitive) == 0)
            return f.version;
    return 0;
}

void registerUpgradeFiles(UpgradeRegistry& r)
{
    r.AddUpgradeDriver(QStringLiteral("Keyed"));
    r.IgnoreUpgradeDriver(QStringLiteral("AllFiles"), 1);
    r.UsingUpgradeFile(QStringLiteral("AW"), QStringLiteral("AddWizard"), 1);
    r.UsingUpgradeFile(QStringLiteral("ALB"), QStringLiteral("Album"), 2);
    r.UsingUpgradeFile(QStringLiteral("CAT"), QStringLiteral("Categories"), 1);
    r.UsingUpgradeFile(QStringLiteral("FON"), QStringLiteral("Fonts"), 1);
    r.UsingUpgradeFile(QStringLiteral("LAB"), QStringLiteral("Labels"), 1);
    r.UsingUpgradeFile(QStringLiteral("MED"), QStringLiteral("Media"), 1);
    r.UsingUpgradeFile(QStringLiteral("MUS"), QStringLiteral("Tunedeck"), 2);
    r.UsingUpgradeFile(QStringLiteral("M1"), QStringLiteral("OldTunedeck"), 1);
    r.UsingUpgradeFile(QStringLiteral("PLA"), QStringLiteral("PlaylistDetails"), 1);
    r.UsingUpgradeFile(QStringLiteral("PLD"), QStringLiteral("PlaylistMaster"), 1);
}

} // namespace td

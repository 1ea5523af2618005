#include "core/ConfigPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace td {

QString configDir()
{
    QString dir = qEnvironmentVariable("TDP_CONFIG_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    dir = QDir::cleanPath(QDir(dir).absolutePath());
    QDir().mkpath(dir);
    return dir;
}

QString settingsIniPath()
{
    return configDir() + QStringLiteral("/TDPRO97.INI");
}

QString winIniPath()
{
    return configDir() + QStringLiteral("/WIN.INI");
}

QString positionIniPath()
{
    return QDir::current().absoluteFilePath(QStringLiteral("POSITION.INI"));
}

} // namespace td

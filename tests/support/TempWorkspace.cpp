#include "TempWorkspace.h"

#include <QDir>
#include <QStandardPaths>

namespace td::test {

TempWorkspace::TempWorkspace()
{
    // Whatever asks Qt for the user's folders gets test folders, never the real ones.
    QStandardPaths::setTestModeEnabled(true);
    previous_ = QDir::currentPath();
    hadConfig_ = qEnvironmentVariableIsSet("TDP_CONFIG_DIR");
    previousConfig_ = qgetenv("TDP_CONFIG_DIR");
    QDir(dir_.path()).mkpath(QStringLiteral("config"));
    qputenv("TDP_CONFIG_DIR", configDir().toLocal8Bit());
    QDir::setCurrent(dir_.path());
}

TempWorkspace::~TempWorkspace()
{
    QDir::setCurrent(previous_);
    if (hadConfig_)
        qputenv("TDP_CONFIG_DIR", previousConfig_);
    else
        qunsetenv("TDP_CONFIG_DIR");
}

QString TempWorkspace::configDir() const
{
    return dir_.path() + QStringLiteral("/config");
}

QString TempWorkspace::file(const QString& name) const
{
    return dir_.path() + QLatin1Char('/') + name;
}

} // namespace td::test

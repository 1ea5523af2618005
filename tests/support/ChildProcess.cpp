#include "ChildProcess.h"

#include <QCoreApplication>
#include <cstring>

namespace td::test {

namespace {
constexpr const char* kChildFlag = "--td-child";
}

int runChildRole(int argc, char** argv, const ChildRoles& roles)
{
    if (argc < 3 || std::strcmp(argv[1], kChildFlag) != 0)
        return -1;
    QStringList args;
    for (int i = 3; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const auto role = roles.constFind(QString::fromLocal8Bit(argv[2]));
    if (role == roles.constEnd())
        return 64;
    QCoreApplication app(argc, argv);
    return (*role)(args);
}

std::unique_ptr<QProcess> startChild(const QString& role, const QStringList& args)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->start(QCoreApplication::applicationFilePath(), QStringList { QLatin1String(kChildFlag), role } + args);
    if (!p->waitForStarted(10000))
        return nullptr;
    return p;
}

ToolRun finishTool(QProcess& p, int waitMs)
{
    ToolRun r;
    if (!p.waitForFinished(waitMs))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace td::test

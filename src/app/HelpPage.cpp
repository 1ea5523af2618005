#include "app/HelpPage.h"

#include "core/ConfigPaths.h"

#include <QDesktopServices>
#include <QFile>
#include <QSaveFile>
#include <QUrl>

namespace td {

QString HelpPage::install()
{
    const QString path = configDir() + QStringLiteral("/TDP97.html");
    QFile source(QStringLiteral(":/help/TDP97.html"));
    if (!source.open(QIODevice::ReadOnly))
        return {};
    const QByteArray page = source.readAll();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == page)
        return path;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(page) != page.size() || !out.commit())
        return {};
    return path;
}

bool HelpPage::open(const QString& anchor)
{
    const QString path = install();
    if (path.isEmpty())
        return false;
    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment(anchor);
    return QDesktopServices::openUrl(url);
}

} // namespace td

#include "data/WindowPosition.h"

#include "core/IniFile.h"

namespace td {

void SaveWindowPosition(PositionedWindow& w, const QString& section, const QString& file)
{
    const bool maximized = w.isMaximized();
    if (maximized)
        w.showNormal();
    if (w.isMinimized())
        return;
    const QRect r = w.normalGeometry();
    ini::writeString(file, section, QStringLiteral("Maximize"), maximized ? QStringLiteral("Yes") : QStringLiteral("No"));
    ini::writeString(file, section, QStringLiteral("XPosit"), QString::number(r.x()));
    ini::writeString(file, section, QStringLiteral("YPosit"), QString::number(r.y()));
    ini::writeString(file, section, QStringLiteral("Width"), QString::number(r.width()));
    ini::writeString(file, section, QStringLiteral("Height"), QString::number(r.height()));
}

void RestoreWindowPosition(PositionedWindow& w, const QString& section, const QString& file)
{
    if (ini::readInt(file, section, QStringLiteral("XPosit"), 0) == 0)
        return;
    if (!w.isMaximized()) {
        const int x = ini::readInt(file, section, QStringLiteral("XPosit"), 0);
        const int y = ini::readInt(file, section, QStringLiteral("YPosit"), 0);
        if (x != 0 && y != 0) {
            if (!w.isFixedSize()) {
                const int width = ini::readInt(file, section, QStringLiteral("Width"), 0);
                const int height = ini::readInt(file, section, QStringLiteral("Height"), 0);
                if (width != 0 && height != 0)
                    w.setGeometry(QRect(x, y, width, height));
            } else {
                w.move(QPoint(x, y));
            }
        }
    }
    if (ini::readString(file, section, QStringLiteral("Maximize")).compare(QLatin1String("Yes"), Qt::CaseInsensitive) == 0)
        w.showMaximized();
}

} // namespace td

#include "common/ColumnFormatStore.h"

#include "core/IniFile.h"
#include "core/ListFormat.h"

namespace td {

QString restoreColumnFormat(const ColumnFormatKeys& keys, const QString& designed, const QString& iniPath)
{
    const QString original = ini::readString(iniPath, keys.section, keys.original());
    if (original != designed) {
        ini::writeString(iniPath, keys.section, keys.original(), designed);
        return designed;
    }
    const QString saved = ini::readString(iniPath, keys.section, keys.current());
    if (saved.isEmpty())
        return designed;
    // A layout edited by hand into something unreadable, or for another number of columns, is
    // not worth keeping: the design wins.
    const auto savedFormat = ListFormat::parse(saved);
    const auto designedFormat = ListFormat::parse(designed);
    if (!savedFormat || !designedFormat || savedFormat->columns.size() != designedFormat->columns.size())
        return designed;
    return saved;
}

bool saveColumnFormat(const ColumnFormatKeys& keys, const QString& format, const QString& iniPath)
{
    return ini::writeString(iniPath, keys.section, keys.current(), format);
}

} // namespace td

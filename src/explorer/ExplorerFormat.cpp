#include "explorer/ExplorerFormat.h"

#include "core/IniFile.h"
#include "core/ListFormat.h"

namespace td {

namespace {

QString key(const char* prefix, ExplorerKind kind)
{
    return QLatin1String(prefix) + explorerListName(kind);
}

int readInt(const QString& ini, ExplorerKind kind, const char* prefix, int def)
{
    bool ok = false;
    const int v = ini::readString(ini, explorerSection(kind), key(prefix, kind), QString::number(def)).trimmed().toInt(&ok);
    return ok ? v : def;
}

} // namespace

QString formatWithoutMarker(const QString& format)
{
    std::optional<ListFormat> f = ListFormat::parse(format);
    if (!f)
        return format;
    for (ListColumn& c : f->columns)
        c.header = unmarkedHeader(c.header);
    return f->toString();
}

bool restoreExplorerFormat(const QString& ini, ExplorerKind kind, const QString& designed, ExplorerListSettings& s)
{
    const QString section = explorerSection(kind);
    const QString savedDesign = ini::readString(ini, section, key("XploreOrigFormatString-", kind), QStringLiteral("0"));
    if (savedDesign != designed)
        return false;       // the program's list has changed: the old user format no longer fits
    const QString saved = ini::readString(ini, section, key("XploreFormatString-", kind), QStringLiteral("0"));
    bool taken = false;
    if (saved != QLatin1String("0") && !shownColumns(saved, kind).isEmpty()) {
        s.format = formatWithoutMarker(saved);
        taken = true;
    }
    s.hscroll = readInt(ini, kind, "XploreHscroll-", s.hscroll) != 0;
    s.vscroll = readInt(ini, kind, "XploreVscroll-", s.vscroll) != 0;
    s.lineHeight = readInt(ini, kind, "XploreLineHeight-", s.lineHeight);
    s.font = ini::readString(ini, section, key("XploreFont-", kind), s.font).left(20);
    s.point = readInt(ini, kind, "XplorePoint-", s.point);
    s.color = readInt(ini, kind, "XploreColor-", s.color);
    s.style = readInt(ini, kind, "XploreStyle-", s.style);
    s.xpos = readInt(ini, kind, "XploreXpos-", s.xpos);
    s.ypos = readInt(ini, kind, "XploreYpos-", s.ypos);
    s.height = readInt(ini, kind, "XploreHeight-", s.height);
    s.width = readInt(ini, kind, "XploreWidth-", s.width);
    s.prevCol = readInt(ini, kind, "XplorePrevCol-", 1);
    return taken;
}

bool saveExplorerFormat(const QString& ini, ExplorerKind kind, const QString& designed, const ExplorerListSettings& s)
{
    const QString section = explorerSection(kind);
    bool ok = ini::writeString(ini, section, key("XploreOrigFormatString-", kind), designed);
    ok = ini::writeString(ini, section, key("XploreFormatString-", kind), formatWithoutMarker(s.format)) && ok;
    const auto num = [&](const char* prefix, int v) {
        ok = ini::writeString(ini, section, key(prefix, kind), QString::number(v)) && ok;
    };
    num("XploreXpos-", s.xpos);
    num("XploreYpos-", s.ypos);
    num("XploreHeight-", s.height);
    num("XploreWidth-", s.width);
    num("XploreHscroll-", s.hscroll ? 1 : 0);
    num("XploreVscroll-", s.vscroll ? 1 : 0);
    num("XploreLineHeight-", s.lineHeight);
    ok = ini::writeString(ini, section, key("XploreFont-", kind), s.font.left(20)) && ok;
    num("XplorePoint-", s.point);
    num("XploreColor-", s.color);
    num("XploreStyle-", s.style);
    num("XplorePrevCol-", s.prevCol);
    return ok;
}

} // namespace td

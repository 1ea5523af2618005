#include "reports/ReportFonts.h"

#include "core/IniFile.h"

namespace td {

namespace {

QString keyOf(const char* prefix, const QString& key) { return QLatin1String(prefix) + key; }

} // namespace

PageFont ReportFontChoice::pageFont() const
{
    PageFont f;
    f.family = name.trimmed();
    f.points = size > 0 ? size : 10;
    const int weight = style & 0xfff;
    f.weight = weight > 0 ? qBound(100, weight, 900) : 400;
    f.italic = style & Italic;
    f.underline = style & Underline;
    f.color = QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff);
    return f;
}

ReportFontChoice ReportFontChoice::from(const PageFont& font)
{
    ReportFontChoice c;
    c.name = font.family.left(32);
    c.size = qRound(font.points);
    c.color = font.color.red() | (font.color.green() << 8) | (font.color.blue() << 16);
    c.style = qBound(0, font.weight, 0xfff) | (font.italic ? Italic : 0) | (font.underline ? Underline : 0);
    return c;
}

ReportFontChoice readReportFont(const QString& iniPath, const QString& key)
{
    const IniFile ini(iniPath);
    const QString section = QLatin1String(kFontsSection);
    ReportFontChoice c;
    c.name = ini.value(section, keyOf("FontName", key)).left(32);
    c.size = ini.intValue(section, keyOf("FontSize", key), 0);
    c.color = ini.intValue(section, keyOf("FontColor", key), 0);
    c.style = ini.intValue(section, keyOf("FontStyle", key), 0);
    return c;
}

bool writeReportFont(const QString& iniPath, const QString& key, const ReportFontChoice& font)
{
    IniFile ini(iniPath);
    const QString section = QLatin1String(kFontsSection);
    return ini.setValue(section, keyOf("FontName", key), font.name.left(32))
        && ini.setValue(section, keyOf("FontSize", key), QString::number(font.size))
        && ini.setValue(section, keyOf("FontColor", key), QString::number(font.color))
        && ini.setValue(section, keyOf("FontStyle", key), QString::number(font.style)) && ini.save();
}

} // namespace td

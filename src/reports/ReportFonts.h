#pragma once
// The custom font of a report, kept in TDPRO97.INI section "Fonts" under "FontName", "FontSize",
// "FontColor" and "FontStyle" followed by the report's key name ("PrintMUS:SongsByArtist").
//
// The colour is stored as the Windows colour number (red + 256 * green + 65536 * blue); the style
// as the weight (100..900; 0 reads as normal) plus 0x1000 for italic, 0x2000 for underline and
// 0x4000 for strike-out.

#include "reports/PageDoc.h"

#include <QString>

namespace td {

struct ReportFontChoice {
    QString name;       // up to 32 characters
    int size = 0;       // points
    int color = 0;
    int style = 0;

    static constexpr int Italic = 0x1000;
    static constexpr int Underline = 0x2000;
    static constexpr int StrikeOut = 0x4000;

    bool operator==(const ReportFontChoice& o) const
    {
        return name == o.name && size == o.size && color == o.color && style == o.style;
    }
    PageFont pageFont() const;
    static ReportFontChoice from(const PageFont& font);
};

inline constexpr const char* kFontsSection = "Fonts";

// Missing keys read as blank and 0.
ReportFontChoice readReportFont(const QString& iniPath, const QString& key);
bool writeReportFont(const QString& iniPath, const QString& key, const ReportFontChoice& font);

} // namespace td

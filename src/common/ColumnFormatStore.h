#pragma once
// The remembered column layout of a list, kept in POSITION.INI under the list's section: "SRCF?Browse"
// holds the layout the user left (widths and order), "SRCFOriginal?Browse" the designed layout at the
// time it was saved. A list whose designed layout has changed since then starts from the new design,
// so a stale layout never lands on columns it was not made for. Some lists add a suffix to both keys
// (the media list uses ":1").

#include <QString>

namespace td {

struct ColumnFormatKeys {
    QString section;            // "BrowseSongs"
    QString suffix;             // "" or ":1"

    QString current() const { return QStringLiteral("SRCF?Browse") + suffix; }
    QString original() const { return QStringLiteral("SRCFOriginal?Browse") + suffix; }
};

// The format a list opens with. When "SRCFOriginal?Browse" differs from `designed` the designed
// format is written there and returned; otherwise the saved "SRCF?Browse" when it is not empty (and
// reads as a list format with as many columns as the design), else `designed`.
QString restoreColumnFormat(const ColumnFormatKeys& keys, const QString& designed, const QString& iniPath);

// Written when the list closes: the format as the user left it.
bool saveColumnFormat(const ColumnFormatKeys& keys, const QString& format, const QString& iniPath);

} // namespace td

#pragma once
// A page list (or part of it) as one PDF file: one PDF page per page, each at the size of its own
// page, the texts kept as text (they can be searched and copied), the report's title as the
// document's title. Used by "Save as PDF..." in the preview and by the command-line tool.

#include <QList>
#include <QString>
#include <QStringList>

namespace td {

class PageList;

// Writes the page files in the order given. The file is replaced only when every page was written:
// a page that cannot be read, or a file that cannot be written, leaves an existing file as it was
// and answers false with the reason.
bool writePdf(
    const QStringList& pageFiles, const QString& path, const QString& title, QString* error = nullptr);

// Pages `from` to `to` of the list (1-based, both included; 0 for `to` means the last page).
bool writePdf(const PageList& pages, int from, int to, const QString& path, const QString& title,
    QString* error = nullptr);

} // namespace td

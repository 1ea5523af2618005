#pragma once
// Report pages for tests: a page list of numbered pages ("Sheet 1", "Sheet 2", ...), and the text
// of a PDF as pdftotext reads it.

#include "reports/PageList.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

namespace td::test {

// Appends `count` pages; page n reads "Sheet n of ~!@#$" (the page-of-pages marker). `sizes`, when
// given, sets the size of each page in turn (in mils).
inline bool addSheets(PageList& pages, int count, const QList<QSize>& sizes = {})
{
    for (int n = 1; n <= count; ++n) {
        PageDoc page;
        if (!sizes.isEmpty())
            page.size = sizes.at((n - 1) % sizes.size());
        const int font = page.fontIndex(PageFont { QStringLiteral("DejaVu Sans"), 14 });
        page.addText(QRect(1000, 1000, 5000, 400), font,
            QStringLiteral("Sheet %1 of %2").arg(n).arg(QLatin1String(kPageOfPagesMarker)));
        page.addBox(QRect(500, 500, page.size.width() - 1000, page.size.height() - 1000));
        if (!pages.append(page))
            return false;
    }
    return true;
}

// The "Sheet n" numbers in the order a PDF shows them; empty when pdftotext is missing or fails.
inline QList<int> sheetsInPdf(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    QList<int> out;
    const QStringList words
        = QString::fromUtf8(p.readAllStandardOutput()).split(QRegularExpression(QStringLiteral("\\s+")));
    for (int i = 0; i + 1 < words.size(); ++i)
        if (words.at(i) == QLatin1String("Sheet"))
            out << words.at(i + 1).toInt();
    return out;
}

inline bool havePdfTools()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

} // namespace td::test

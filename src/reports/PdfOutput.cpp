#include "reports/PdfOutput.h"

#include "reports/PageList.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace td {

namespace {

bool fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

QPageSize pageSizeOf(const PageDoc& page)
{
    return QPageSize(QSizeF(page.size.width() / 1000.0, page.size.height() / 1000.0), QPageSize::Inch,
        QString(), QPageSize::ExactMatch);
}

} // namespace

bool writePdf(const QStringList& pageFiles, const QString& path, const QString& title, QString* error)
{
    if (pageFiles.isEmpty())
        return fail(error, QStringLiteral("There are no pages to save."));
    // The file is written aside and replaces the old one only at the end, so a damaged page leaves
    // no half file behind.
    PageDoc first;
    QString why;
    if (!readPageFile(pageFiles.first(), first, &why))
        return fail(error, QStringLiteral("Page 1 cannot be read: %1").arg(why));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Tunedeck"));
        pdf.setResolution(1200);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(pageSizeOf(first));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            file.cancelWriting();
            return fail(error, QStringLiteral("Could not write %1.").arg(path));
        }
        for (int i = 0; i < pageFiles.size(); ++i) {
            PageDoc page;
            if (i == 0) {
                page = first;
            } else {
                if (!readPageFile(pageFiles.at(i), page, &why)) {
                    painter.end();
                    file.cancelWriting();
                    return fail(error, QStringLiteral("Page %1 cannot be read: %2").arg(i + 1).arg(why));
                }
                pdf.setPageSize(pageSizeOf(page));
                pdf.newPage();
            }
            renderPage(page, painter, QRectF(0, 0, pdf.width(), pdf.height()));
        }
        painter.end();
    }
    if (!file.commit())
        return fail(error, QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
    return true;
}

bool writePdf(
    const PageList& pages, int from, int to, const QString& path, const QString& title, QString* error)
{
    if (to <= 0 || to > pages.count())
        to = pages.count();
    from = qMax(from, 1);
    if (from > to)
        return fail(error, QStringLiteral("There are no pages to save."));
    return writePdf(pages.files().mid(from - 1, to - from + 1), path, title, error);
}

} // namespace td

#include "common/ui/ProgramPrinter.h"

#include "core/IniFile.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>

namespace td {

namespace {

const QString kName = QStringLiteral("PrinterName");
const QString kPaper = QStringLiteral("Paper");
const QString kOrientation = QStringLiteral("Orientation");
const QString kLandscape = QStringLiteral("Landscape");
const QString kPortrait = QStringLiteral("Portrait");

QString section()
{
    return QString::fromLatin1(ProgramPrinter::kSection);
}

// "A4", "Letter", ... back to the size; an unknown key gives an invalid size.
QPageSize pageSizeFromKey(const QString& key)
{
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const auto size = QPageSize::PageSizeId(id);
        if (size != QPageSize::Custom && QPageSize::key(size).compare(key, Qt::CaseInsensitive) == 0)
            return QPageSize(size);
    }
    return {};
}

} // namespace

ProgramPrinter::ProgramPrinter()
    : printer_(QPrinter::HighResolution)
{
}

void ProgramPrinter::load(const QString& iniPath)
{
    const QString name = ini::readString(iniPath, section(), kName);
    if (!name.isEmpty() && QPrinterInfo::printerInfo(name).isNull() == false)
        printer_.setPrinterName(name);
    const QPageSize paper = pageSizeFromKey(ini::readString(iniPath, section(), kPaper));
    if (paper.isValid())
        printer_.setPageSize(paper);
    const QString orientation = ini::readString(iniPath, section(), kOrientation);
    if (orientation.compare(kLandscape, Qt::CaseInsensitive) == 0)
        printer_.setPageOrientation(QPageLayout::Landscape);
    else if (orientation.compare(kPortrait, Qt::CaseInsensitive) == 0)
        printer_.setPageOrientation(QPageLayout::Portrait);
}

void ProgramPrinter::save(const QString& iniPath) const
{
    const QPageLayout layout = printer_.pageLayout();
    ini::writeString(iniPath, section(), kName, printer_.printerName());
    ini::writeString(iniPath, section(), kPaper, QPageSize::key(layout.pageSize().id()));
    ini::writeString(iniPath, section(), kOrientation,
        layout.orientation() == QPageLayout::Landscape ? kLandscape : kPortrait);
}

} // namespace td

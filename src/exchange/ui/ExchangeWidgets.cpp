#include "exchange/ui/ExchangeWidgets.h"

#include "common/ui/ColumnFormatMemory.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>

namespace td {

QString dialogFilter(const QString& layerFilter)
{
    const QStringList parts = layerFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            if (pattern == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            patterns << pattern;
            if (pattern.toLower() != pattern)
                patterns << pattern.toLower();
            else if (pattern.toUpper() != pattern)
                patterns << pattern.toUpper();
        }
        filters << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QFileDialog* csvFileDialog(const QString& title, const QString& layerFilter, bool save)
{
    auto* dialog = new QFileDialog(nullptr, title);
    dialog->setObjectName(save ? QStringLiteral("ExportFile") : QStringLiteral("ImportFile"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setNameFilter(dialogFilter(layerFilter));
    if (save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    return dialog;
}

QTableWidget* exchangeList(const QString& objectName, const QStringList& headers, const QString& format)
{
    auto* list = new QTableWidget(0, int(headers.size()));
    list->setObjectName(objectName);
    list->setHorizontalHeaderLabels(headers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setTabKeyNavigation(false);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setStretchLastSection(true);
    applyColumnFormat(list->horizontalHeader(), format);
    return list;
}

void fitColumns(QTableWidget* list)
{
    QHeaderView* header = list->horizontalHeader();
    const int last = list->columnCount() - 1;
    int width = 0;
    for (int col = 0; col < last; ++col) {
        const int need = qMax(static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(col), header->sectionSizeHint(col));
        if (header->sectionSize(col) < need)
            header->resizeSection(col, need);
        width += header->sectionSize(col);
    }
    width += qMax(header->sectionSizeHint(last), list->fontMetrics().averageCharWidth() * 12);
    width += 2 * list->frameWidth() + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(qMax(list->minimumWidth(), width));
}

QPushButton* exchangeButton(const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    QString name = text;
    name.remove(QLatin1Char('&')).remove(QStringLiteral("->")).remove(QLatin1Char(' '));
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace td

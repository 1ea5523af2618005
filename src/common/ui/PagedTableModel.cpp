#include "common/ui/PagedTableModel.h"

#include "core/ListFormat.h"

#include <QHash>
#include <QMimeData>

#include <algorithm>

namespace td {

namespace {

Qt::Alignment alignmentOf(QChar justification)
{
    switch (justification.toUpper().unicode()) {
    case 'R':
    case 'D':
        return Qt::AlignRight | Qt::AlignVCenter;
    case 'C':
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

PagedTableModel::PagedTableModel(PagedList& list, QObject* parent)
    : QAbstractTableModel(parent)
    , list_(list)
{
}

void PagedTableModel::setColumns(QList<PagedColumn> columns)
{
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
}

namespace {

// The columns of a list format, without their getters. A list is opened again and again with the
// same few formats: each is read once per thread.
QList<PagedColumn> columnsOf(const QString& listFormat)
{
    thread_local QHash<QString, QList<PagedColumn>> seen;
    if (auto it = seen.constFind(listFormat); it != seen.constEnd())
        return it.value();
    QList<PagedColumn> cols;
    if (const auto f = ListFormat::parse(listFormat)) {
        for (const ListColumn& c : f->columns) {
            PagedColumn pc;
            pc.header = c.header;
            pc.alignment = alignmentOf(c.justification);
            if (!c.headerJustification.isNull())
                pc.headerAlignment = alignmentOf(c.headerJustification);
            pc.picture = Picture(c.picture);
            cols << pc;
        }
    }
    constexpr int kFormatsKept = 32;
    if (seen.size() >= kFormatsKept)
        seen.clear();
    seen.insert(listFormat, cols);
    return cols;
}

} // namespace

void PagedTableModel::setColumns(const QString& listFormat, const QList<ColumnValue>& values)
{
    QList<PagedColumn> cols = columnsOf(listFormat);
    for (int i = 0; i < cols.size() && i < values.size(); ++i)
        cols[i].value = values.at(i);
    setColumns(std::move(cols));
}

void PagedTableModel::setDragData(const QString& mimeType, std::function<QByteArray(const PageRow&)> data)
{
    mimeType_ = mimeType;
    dragData_ = std::move(data);
}

void PagedTableModel::pageChanged()
{
    beginResetModel();
    endResetModel();
}

int PagedTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : list_.rowCount();
}

int PagedTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant PagedTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= list_.rowCount() || index.column() >= columns_.size())
        return {};
    const PagedColumn& c = columns_.at(index.column());
    switch (role) {
    case Qt::DisplayRole: {
        if (!c.value)
            return QString();
        const QVariant v = c.value(list_.rows().at(index.row()));
        return c.picture.isText() ? v.toString().trimmed() : c.picture.formatVariant(v).trimmed();
    }
    case Qt::TextAlignmentRole:
        return int(c.alignment);
    default:
        return {};
    }
}

QVariant PagedTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return columns_.at(section).header;
    if (role == Qt::TextAlignmentRole) {
        const PagedColumn& c = columns_.at(section);
        return int(c.headerAlignment.value_or(c.alignment));
    }
    return {};
}

Qt::ItemFlags PagedTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!mimeType_.isEmpty())
        f |= Qt::ItemIsDragEnabled;
    return f;
}

QStringList PagedTableModel::mimeTypes() const
{
    return mimeType_.isEmpty() ? QStringList() : QStringList{mimeType_};
}

QMimeData* PagedTableModel::mimeData(const QModelIndexList& indexes) const
{
    if (mimeType_.isEmpty() || !dragData_ || indexes.isEmpty())
        return nullptr;
    // Each row once (an index per column), in the page's order, one line each.
    QList<int> rows;
    for (const QModelIndex& i : indexes)
        if (i.row() >= 0 && i.row() < list_.rowCount() && !rows.contains(i.row()))
            rows << i.row();
    if (rows.isEmpty())
        return nullptr;
    std::sort(rows.begin(), rows.end());
    QByteArrayList lines;
    for (int row : std::as_const(rows))
        lines << dragData_(list_.rows().at(row));
    auto* m = new QMimeData;
    m->setData(mimeType_, lines.join('\n'));
    return m;
}

} // namespace td

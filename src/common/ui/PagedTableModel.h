#pragma once
// A table model over a paged list: its rows are the rows of the list's current page and nothing
// else, so a view on a million records holds one page. Columns come from a list's designed format
// (header, justification, display picture) with one value getter each; values are shown through the
// column's picture. Rows can be dragged out carrying data of the caller's choosing.

#include "common/PagedList.h"
#include "core/Picture.h"

#include <QAbstractTableModel>
#include <QList>
#include <functional>
#include <optional>

namespace td {

using ColumnValue = std::function<QVariant(const PageRow&)>;

struct PagedColumn {
    QString header;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    // The header's own place ("C(1)" after the header centres it); unset: as the column's values.
    std::optional<Qt::Alignment> headerAlignment;
    Picture picture;            // how the value is shown; a plain text picture shows it as it is
    ColumnValue value;
};

class PagedTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    PagedTableModel(PagedList& list, QObject* parent = nullptr);

    PagedList& list() const { return list_; }

    void setColumns(QList<PagedColumn> columns);
    // Headers, justification and pictures from a list format ("160L(2)|M~Artist~@s40@..."), one
    // getter per column in the format's order. A format that does not read gives no columns.
    void setColumns(const QString& listFormat, const QList<ColumnValue>& values);
    const QList<PagedColumn>& columns() const { return columns_; }

    // Dragging rows out: the mime type and the bytes a row carries; several rows carry theirs one
    // per line, in the page's order. No type: no dragging.
    void setDragData(const QString& mimeType, std::function<QByteArray(const PageRow&)> data);

    // The list read a new page: the views show it.
    void pageChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    PagedList& list_;
    QList<PagedColumn> columns_;
    QString mimeType_;
    std::function<QByteArray(const PageRow&)> dragData_;
};

} // namespace td

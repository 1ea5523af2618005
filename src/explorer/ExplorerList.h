#pragma once
// The page of an explorer view: the song or album table read a page at a time in the order of the
// column the user clicked, ascending or descending, or in the view's starting key. Each orderable
// column is read through a key of its own (the column plus the position), whose index is kept in
// the data file once made. A descending order reads the same key backwards, so every order costs
// one index seek per page, whatever the table's size.
//
// The indexes are made in the background from the moment the view opens (buildIndexesAhead). A
// click on a column whose index is not made yet reads its pages by scanning the table for the
// nearest rows (up to a few tenths of a second a page at a million songs) until the index is there;
// a list that builds nothing ahead makes the index at the click instead.

#include "common/PagedList.h"
#include "data/FieldCatalog.h"
#include "data/TableHandle.h"
#include "explorer/ExplorerColumns.h"

#include <QHash>
#include <memory>

namespace td {

class ExplorerIndexer;
class Picture;

class ExplorerList {
public:
    ExplorerList(Database& db, ExplorerKind kind);
    ~ExplorerList();
    ExplorerList(const ExplorerList&) = delete;
    ExplorerList& operator=(const ExplorerList&) = delete;

    ExplorerKind kind() const { return kind_; }
    TableHandle& table() { return *table_; }
    const TableDef& def() const { return def_; }

    // Orders by a column of explorerColumns() (-1: the starting key, ascending), keeping the
    // highlight on the same record (the first row when none is highlighted). A column that refuses
    // ordering gives InvalidRecord and changes nothing.
    int orderBy(int column, bool descending);
    // A header click: a new column orders ascending, the order column again reverses its direction.
    int orderByClick(int column);
    int orderColumn() const { return column_; }
    bool descending() const { return descending_; }
    // The key an orderable column is read through (-1 for a column that refuses ordering).
    int columnKey(int column) const;
    // Starts making the missing indexes of the orderable columns in the background.
    void buildIndexesAhead();
    // True when the key's index is in the data file (as far as this list knows).
    bool isIndexed(int key);
    // Waits at most `ms` for the indexes made in the background; true when none is still to come.
    bool waitForIndexes(int ms);

    // The search condition (SQL over the table's columns, ? parameters); kept across orders.
    void setCondition(const QString& sql, const QVariantList& params = {}, bool scans = false);
    void setPageSize(int rows) { list_.setPageSize(rows); }
    int pageSize() const { return list_.pageSize(); }

    // Reading, in the order shown.
    int first();
    int last();
    int pageDown();
    int pageUp();
    int lineDown();
    int lineUp();
    int moveHighlight(int delta);
    int rebuild() { return list_.rebuild(); }
    int showPosition(qint64 position) { return list_.showPosition(position); }
    // The first row at or after the typed text in the shown order, the text read through the
    // order column's picture (`picture`: as the list shows it, after the date setting). Text the
    // picture cannot read moves nothing and returns InvalidRecord.
    int locate(const QString& text, const QString& picture);

    // The page in the order shown, and the highlighted row on it (-1: empty page).
    QList<PageRow> rows() const;
    int rowCount() const { return list_.rowCount(); }
    bool isEmpty() const { return list_.isEmpty(); }
    const PageRow* highlighted() const { return list_.highlighted(); }
    int highlight() const;
    void setHighlight(int row);
    qint64 highlightedPosition() const { return list_.highlightedPosition(); }
    bool atTop() const { return descending_ ? list_.atBottom() : list_.atTop(); }
    bool atBottom() const { return descending_ ? list_.atTop() : list_.atBottom(); }
    int thumb();
    int locateThumb(int percent);

    // The value a column shows for a row: the field's value, or the category name of a song.
    QVariant columnValue(const Row& row, int column);
    // A cell as the view shows it: the column's value through the picture it is shown with (a date
    // column shown through a number picture shows its year).
    QString cellText(const Row& row, int column, const Picture& picture);

    int lastError() const { return list_.lastError(); }

private:
    bool wantsIndexes() const;
    void ensureIndex(int key);
    void applyCondition();
    int startingKey() const;

    Database& db_;
    ExplorerKind kind_;
    TableDef def_;                      // the table's layout with one key per orderable column
    QList<int> columnKeys_;             // per column of explorerColumns(); -1: refuses ordering
    QList<int> columnFields_;           // per column: field of the table, -1 for the category name
    std::unique_ptr<TableHandle> table_;
    PagedList list_;
    int column_ = -1;
    bool descending_ = false;
    QList<bool> indexed_;
    QString condition_;
    QVariantList conditionParams_;
    bool conditionScans_ = false;
    std::unique_ptr<ExplorerIndexer> indexer_;
    std::unique_ptr<TableHandle> categories_;
    QHash<qint64, QString> categoryNames_;
    quint64 namesChangeCount_ = 0;
};

} // namespace td

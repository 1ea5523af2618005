#pragma once
// The paged list behind every browse, picker and explorer view: one page of rows of a table in one
// key order, read with keyset queries (never OFFSET, never the whole table), with an optional range
// and filter, a locator, a highlighted row that is kept across rebuilds, and the scroll-bar thumb
// estimated from the key value of the highlighted row (0..100 between the first and the last key
// value of the view) instead of counting records.
//
// A filter that no index serves (a "contains" search) still costs only as much as it takes to find
// one page of hits: every read stops after the rows it needs.
//
// Every operation returns 0 or the storage error code (also in lastError()); on an error the page
// is left as it was.

#include "data/TableHandle.h"

#include <QList>
#include <QString>
#include <QVariantList>

namespace td {

// Bounds the condition sets on the key field after the fixed ones: low <= value < high in key order
// (either may be left invalid). Only a hint: the condition itself must hold the same bounds.
struct KeyRange {
    QVariant low;
    QVariant high;
};

class PagedList {
public:
    static constexpr int kDefaultPageSize = 40;

    // The list reads through `table` (its record buffer is not touched) and must not outlive it.
    explicit PagedList(TableHandle& table);

    TableHandle& table() const { return table_; }

    // --- what the list shows ----------------------------------------------------------------
    // The key order (index of the table's key; -1 for the physical order). `fixed` holds the
    // values of leading key fields that the range keeps equal (the media name of a list limited to
    // one media): the locator and the thumb estimate start after them. Nothing is read here; the
    // condition's key range is dropped (set the condition after the order).
    void setOrder(int key, const Row& fixed = {});
    int key() const { return key_; }
    const Row& fixed() const { return fixed_; }
    // A condition (SQL over the table's columns, with ? parameters) rows must meet: the range of a
    // limited list and the search filter joined. Empty: every row of the key. `range` says which
    // key values the condition keeps, so that a kept row outside them goes to the nearest end of
    // the view at once instead of walking to it.
    // `scans`: the condition holds a search that may pass over many rows for each one it keeps.
    void setCondition(const QString& sql, const QVariantList& params = {}, const KeyRange& range = {},
                      bool scans = false);
    QString condition() const { return condition_; }
    // Rows per page (at least 1). Nothing is read here.
    void setPageSize(int rows);
    int pageSize() const { return pageSize_; }

    // --- reading ------------------------------------------------------------------------------
    int first();                    // the first page, highlight on its first row
    int last();                     // the last page, highlight on its last row
    int pageDown();                 // the page after this one (highlight keeps its place)
    int pageUp();
    int lineDown();                 // the page moved by one row
    int lineUp();
    // Highlight one row further (delta > 0) or back, moving the page when it leaves it.
    int moveHighlight(int delta);
    // The first row at or after these leading key values (after the fixed ones: a locator text or
    // number); other key fields count as their lowest values. At the end of the view: the last row.
    int locate(const Row& values);
    // The row at the thumb place 0..100 by the same estimate as thumb().
    int locateThumb(int percent);
    // Reads the page again around the highlighted row: it stays highlighted at its place on the
    // page, or the nearest row after it (before it at the end) does.
    int rebuild();
    // Puts the highlight on a record given by a whole row and its position (after an add or change,
    // or to keep a song across a change of order): that record when the view holds it, else the
    // nearest row after it in key order. `place` is the wanted row on the page (-1: keep the
    // current highlight's place).
    int rebuildAt(const Row& record, qint64 position, int place = -1);
    // As rebuildAt for the record stored at `position` (read afresh); first() when it is gone.
    int showPosition(qint64 position, int place = -1);

    // --- the page -------------------------------------------------------------------------------
    const QList<PageRow>& rows() const { return rows_; }
    int rowCount() const { return int(rows_.size()); }
    bool isEmpty() const { return rows_.isEmpty(); }
    int highlight() const { return highlight_; }      // -1 when the page is empty
    void setHighlight(int row);                       // clamped to the page
    const PageRow* highlighted() const;
    qint64 highlightedPosition() const;
    // True when the page starts at the first row of the view / ends at its last row.
    bool atTop() const { return atTop_; }
    bool atBottom() const { return atBottom_; }

    // 0..100: where the highlighted row's key value lies between the first and the last key value
    // of the view. Reads the two ends once per change of order, condition or data.
    int thumb();
    // While the order has no index yet (each read of an end would scan the table), the thumb
    // reads no ends: it shows 0 on the first row, 100 on the last and the middle between, and the
    // estimate follows once they can be read cheaply again (or were read before).
    void setEndsDeferred(bool deferred) { endsDeferred_ = deferred; }
    bool endsDeferred() const { return endsDeferred_; }

    int lastError() const { return error_; }

    // --- the estimate, exposed for tests ----------------------------------------------------------
    // Where `v` lies between `lo` and `hi` (key values, same length), 0.0 .. 1.0, judged on the
    // first key field in which lo and hi differ (from `from` on).
    static double keyFraction(const TableDef& def, int key, const Row& lo, const Row& hi, const Row& v, int from = 0);
    // The leading key values (up to the field that differs) at fraction f between lo and hi.
    static Row keyAtFraction(const TableDef& def, int key, const Row& lo, const Row& hi, double f, int from = 0);

private:
    Row keyValues(const Row& record) const;
    // <0, 0, >0: the leading key values against the fixed ones.
    int compareFixed(const Row& values) const;
    // <0, 0, >0: the key values against the condition's range (0 when inside or no range).
    int compareRange(const Row& values) const;
    Row withFixed(const Row& values) const;
    int read(const Row& from, qint64 position, bool forward, bool inclusive, int n, QList<PageRow>& out);
    // Fills the page with `before` rows before the anchor and the anchor's rows after it.
    int fillAround(const Row& from, qint64 position, int place);
    int fillForward(const Row& from, qint64 position, bool inclusive);
    int fillBackward(const Row& from, qint64 position, bool inclusive);
    void setPage(QList<PageRow> rows, int highlight, bool atTop, bool atBottom);
    int fail(int code);
    // The view's first and last key values, from the views seen before or (mayScan) read.
    int readEnds(bool mayScan = true);

    TableHandle& table_;
    int key_ = -1;
    Row fixed_;
    QString condition_;
    QVariantList params_;
    KeyRange range_;
    bool scans_ = false;
    int pageSize_ = kDefaultPageSize;

    QList<PageRow> rows_;
    int highlight_ = -1;
    bool atTop_ = true;
    bool atBottom_ = true;
    int error_ = 0;

    // The first and last row of the view for the thumb estimate.
    bool endsKnown_ = false;
    bool endsDeferred_ = false;
    Row firstKey_;
    Row lastKey_;
    // The ends of the last few views (order, fixed values and condition), while nothing has been
    // written through this connection: going back to a tab does not read them again.
    struct Ends {
        int key = -1;
        Row fixed;
        QString condition;
        QVariantList params;
        Row first;
        Row last;
    };
    QList<Ends> endsSeen_;
    quint64 endsGeneration_ = 0;
};

} // namespace td

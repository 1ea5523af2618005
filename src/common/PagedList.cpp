#include "common/PagedList.h"

#include "data/Collation.h"

#include <cmath>

namespace td {

namespace {

// Characters of a key text mapped to a scale on which plain Latin letters are not squeezed into a
// corner by the few names written in other scripts: ASCII as it is, everything else on a log scale.
constexpr double kScale = 512.0;
constexpr int kDigits = 3;

double rankOf(char32_t cp)
{
    if (cp < 0x80)
        return double(cp);
    return 128.0 + 8.0 * std::log2(1.0 + double(cp - 0x80));
}

char32_t codeOfRank(double r)
{
    if (r < 128.0)
        return char32_t(qMax(0.0, r));
    char32_t cp = char32_t(0x80 + std::exp2((r - 128.0) / 8.0) - 1.0);
    if (cp >= 0xD800 && cp <= 0xDFFF)
        cp = 0xE000;
    return qMin<char32_t>(cp, 0x10FFFF);
}

QList<char32_t> folded(const QString& s)
{
    QList<char32_t> out;
    const QList<uint> cps = s.toCaseFolded().toUcs4();
    for (uint c : cps)
        out << char32_t(c);
    while (!out.isEmpty() && out.last() == U' ')
        out.removeLast();
    return out;
}

// The digits after the common prefix as one number in [0, 1).
double textNumber(const QList<char32_t>& s, int prefix)
{
    double v = 0;
    double unit = 1.0;
    for (int j = 0; j < kDigits; ++j) {
        unit /= kScale;
        const int i = prefix + j;
        if (i < s.size())
            v += rankOf(s.at(i)) * unit;
    }
    return v;
}

int commonPrefix(const QList<char32_t>& a, const QList<char32_t>& b)
{
    int i = 0;
    while (i < a.size() && i < b.size() && a.at(i) == b.at(i))
        ++i;
    return i;
}

int compareValues(const FieldDef& f, const QVariant& a, const QVariant& b)
{
    if (f.isText())
        return compareKeyText(a.toString(), b.toString());
    const qint64 x = a.toLongLong();
    const qint64 y = b.toLongLong();
    return x < y ? -1 : (x > y ? 1 : 0);
}

double clamp01(double f)
{
    if (std::isnan(f))
        return 0;
    return qBound(0.0, f, 1.0);
}

} // namespace

PagedList::PagedList(TableHandle& table)
    : table_(table)
{
}

void PagedList::setOrder(int key, const Row& fixed)
{
    key_ = key;
    fixed_ = fixed;
    range_ = KeyRange(); // it spoke of the old order's field
    endsKnown_ = false;
}

void PagedList::setCondition(const QString& sql, const QVariantList& params, const KeyRange& range, bool scans)
{
    condition_ = sql;
    params_ = params;
    range_ = range;
    scans_ = scans;
    endsKnown_ = false;
}

void PagedList::setPageSize(int rows)
{
    pageSize_ = qMax(1, rows);
}

int PagedList::fail(int code)
{
    error_ = code;
    return code;
}

Row PagedList::keyValues(const Row& record) const
{
    return keyValuesOf(table_.def(), key_, record);
}

int PagedList::compareFixed(const Row& values) const
{
    if (key_ < 0)
        return 0;
    const KeyDef& k = table_.def().key(key_);
    for (int i = 0; i < fixed_.size() && i < values.size() && i < k.fields.size(); ++i) {
        const int c = compareValues(table_.def().field(k.fields.at(i)), values.at(i), fixed_.at(i));
        if (c != 0)
            return c;
    }
    return 0;
}

int PagedList::compareRange(const Row& values) const
{
    const int i = int(fixed_.size());
    if (key_ < 0 || i >= values.size() || i >= table_.def().key(key_).fields.size())
        return 0;
    const FieldDef& f = table_.def().field(table_.def().key(key_).fields.at(i));
    if (range_.low.isValid() && compareValues(f, values.at(i), range_.low) < 0)
        return -1;
    if (range_.high.isValid() && compareValues(f, values.at(i), range_.high) >= 0)
        return 1;
    return 0;
}

Row PagedList::withFixed(const Row& values) const
{
    Row out = fixed_;
    out << values;
    return out;
}

int PagedList::read(const Row& from, qint64 position, bool forward, bool inclusive, int n, QList<PageRow>& out)
{
    out.clear();
    if (n <= 0)
        return 0;
    PageRead r;
    r.key = key_;
    r.from = from;
    r.fromPosition = position;
    r.forward = forward;
    r.inclusive = inclusive;
    r.limit = n;
    r.filter = condition_;
    r.filterParams = params_;
    r.filterScans = scans_;
    // Within the fixed range the fixed values are equalities, so the index stops where they end.
    r.equalLeading = !fixed_.isEmpty() && from.size() >= fixed_.size() && compareFixed(from) == 0
        ? int(fixed_.size())
        : 0;
    return table_.readPage(r, out);
}

void PagedList::setPage(QList<PageRow> rows, int highlight, bool atTop, bool atBottom)
{
    rows_ = std::move(rows);
    highlight_ = rows_.isEmpty() ? -1 : qBound(0, highlight, int(rows_.size()) - 1);
    atTop_ = atTop;
    atBottom_ = atBottom;
    error_ = 0;
}

// The page around an anchor: the anchor's rows from `place` on, the rows before it above. An empty
// anchor (no values, no position) is the start of the view.
int PagedList::fillAround(const Row& from, qint64 position, int place)
{
    const int n = pageSize_;
    place = qBound(0, place, n - 1);
    const bool edge = from.isEmpty() && position == 0;

    QList<PageRow> after;
    if (const int err = read(from, position, true, true, n - place + 1, after))
        return fail(err);
    bool bottom = after.size() <= n - place;
    if (!bottom)
        after.removeLast();

    QList<PageRow> before;
    bool top = edge;
    const int wantBefore = n - int(after.size());
    if (wantBefore > 0 && !edge) {
        if (const int err = read(from, position, false, false, wantBefore + 1, before))
            return fail(err);
        top = before.size() <= wantBefore;
        if (!top)
            before.removeLast();
    }

    QList<PageRow> rows;
    rows.reserve(n);
    for (auto it = before.crbegin(); it != before.crend(); ++it)
        rows << *it;
    const int anchorRow = int(rows.size());
    rows << after;

    // Near the top there were fewer rows before the anchor than its place: more after it.
    if (rows.size() < n && !bottom && !after.isEmpty()) {
        const PageRow& lastRow = after.last();
        QList<PageRow> more;
        if (const int err = read(keyValues(lastRow.row), lastRow.position, true, false, n - int(rows.size()) + 1, more))
            return fail(err);
        bottom = more.size() <= n - rows.size();
        if (!bottom)
            more.removeLast();
        rows << more;
    }
    const int h = after.isEmpty() ? int(rows.size()) - 1 : anchorRow;
    setPage(std::move(rows), h, top, bottom);
    return 0;
}

int PagedList::first()
{
    return fillAround(Row(), 0, 0);
}

int PagedList::last()
{
    QList<PageRow> before;
    if (const int err = read(Row(), 0, false, true, pageSize_ + 1, before))
        return fail(err);
    const bool top = before.size() <= pageSize_;
    if (!top)
        before.removeLast();
    QList<PageRow> rows;
    for (auto it = before.crbegin(); it != before.crend(); ++it)
        rows << *it;
    const int h = int(rows.size()) - 1;
    setPage(std::move(rows), h, top, true);
    return 0;
}

int PagedList::pageDown()
{
    if (rows_.isEmpty())
        return first();
    const int place = highlight_;
    const PageRow anchor = rows_.last();
    QList<PageRow> after;
    if (const int err = read(keyValues(anchor.row), anchor.position, true, false, pageSize_ + 1, after))
        return fail(err);
    if (after.isEmpty()) {
        highlight_ = int(rows_.size()) - 1;
        atBottom_ = true;
        return 0;
    }
    if (after.size() > pageSize_) {
        after.removeLast();
        setPage(std::move(after), place, false, false);
        return 0;
    }
    // The last page: fill it up with rows from before, the highlight on the same record distance.
    const PageRow firstNew = after.first();
    if (const int err = fillAround(keyValues(firstNew.row), firstNew.position, pageSize_ - int(after.size())))
        return err;
    highlight_ = qMin(int(rows_.size()) - 1, highlight_ + place);
    atBottom_ = true;
    return 0;
}

int PagedList::pageUp()
{
    if (rows_.isEmpty())
        return first();
    const int place = highlight_;
    const PageRow anchor = rows_.first();
    QList<PageRow> before;
    if (const int err = read(keyValues(anchor.row), anchor.position, false, false, pageSize_ + 1, before))
        return fail(err);
    if (before.isEmpty()) {
        highlight_ = 0;
        atTop_ = true;
        return 0;
    }
    if (before.size() > pageSize_) {
        before.removeLast();
        QList<PageRow> rows;
        for (auto it = before.crbegin(); it != before.crend(); ++it)
            rows << *it;
        setPage(std::move(rows), place, false, false);
        return 0;
    }
    // The first page.
    if (const int err = first())
        return err;
    highlight_ = qMax(0, qMin(int(rows_.size()) - 1, place - (pageSize_ - int(before.size()))));
    return 0;
}

int PagedList::lineDown()
{
    if (rows_.isEmpty())
        return first();
    const PageRow anchor = rows_.last();
    QList<PageRow> after;
    if (const int err = read(keyValues(anchor.row), anchor.position, true, false, 2, after))
        return fail(err);
    if (after.isEmpty()) {
        atBottom_ = true;
        return 0;
    }
    rows_ << after.first();
    atBottom_ = after.size() < 2;
    if (rows_.size() > pageSize_) {
        rows_.removeFirst();
        atTop_ = false;
        highlight_ = qMax(0, highlight_ - 1);
    }
    return 0;
}

int PagedList::lineUp()
{
    if (rows_.isEmpty())
        return first();
    const PageRow anchor = rows_.first();
    QList<PageRow> before;
    if (const int err = read(keyValues(anchor.row), anchor.position, false, false, 2, before))
        return fail(err);
    if (before.isEmpty()) {
        atTop_ = true;
        return 0;
    }
    rows_.prepend(before.first());
    atTop_ = before.size() < 2;
    highlight_ = qMin(highlight_ + 1, int(rows_.size()) - 1);
    if (rows_.size() > pageSize_) {
        rows_.removeLast();
        atBottom_ = false;
        highlight_ = qMin(highlight_, int(rows_.size()) - 1);
    }
    return 0;
}

int PagedList::moveHighlight(int delta)
{
    if (rows_.isEmpty())
        return first();
    const int target = highlight_ + delta;
    if (target >= 0 && target < rows_.size()) {
        highlight_ = target;
        return 0;
    }
    if (delta > 0) {
        // Scroll by the rows the highlight goes past the bottom, reading them in one go.
        const int beyond = target - (int(rows_.size()) - 1);
        const PageRow anchor = rows_.last();
        QList<PageRow> after;
        if (const int err = read(keyValues(anchor.row), anchor.position, true, false, beyond + 1, after))
            return fail(err);
        atBottom_ = after.size() <= beyond;
        if (!atBottom_)
            after.removeLast();
        rows_ << after;
        while (rows_.size() > pageSize_) {
            rows_.removeFirst();
            atTop_ = false;
        }
        highlight_ = int(rows_.size()) - 1;
        return 0;
    }
    const int beyond = -target;
    const PageRow anchor = rows_.first();
    QList<PageRow> before;
    if (const int err = read(keyValues(anchor.row), anchor.position, false, false, beyond + 1, before))
        return fail(err);
    atTop_ = before.size() <= beyond;
    if (!atTop_)
        before.removeLast();
    for (const PageRow& r : std::as_const(before))
        rows_.prepend(r);
    while (rows_.size() > pageSize_) {
        rows_.removeLast();
        atBottom_ = false;
    }
    highlight_ = 0;
    return 0;
}

int PagedList::locate(const Row& values)
{
    if (key_ < 0)
        return first();
    return fillAround(withFixed(values), 0, 0);
}

int PagedList::locateThumb(int percent)
{
    if (percent <= 0)
        return first();
    if (percent >= 100)
        return last();
    if (const int err = readEnds())
        return fail(err);
    if (firstKey_.isEmpty())
        return first();
    if (key_ < 0) {
        const qint64 lo = firstKey_.at(0).toLongLong();
        const qint64 hi = lastKey_.at(0).toLongLong();
        return fillAround(Row(), lo + qint64(double(hi - lo) * percent / 100.0), 0);
    }
    const Row at = keyAtFraction(table_.def(), key_, firstKey_, lastKey_, percent / 100.0, int(fixed_.size()));
    return fillAround(at, 0, 0);
}

int PagedList::rebuild()
{
    const PageRow* h = highlighted();
    if (!h)
        return first();
    const PageRow keep = *h;
    return rebuildAt(keep.row, keep.position, highlight_);
}

int PagedList::rebuildAt(const Row& record, qint64 position, int place)
{
    if (place < 0)
        place = qMax(0, highlight_);
    const Row values = keyValues(record);
    if (key_ >= 0 && values.isEmpty())
        return first();
    // A record outside the fixed range or the condition's key range: the nearest end of the view,
    // found from its own end instead of walking there from the record.
    if (const int c = compareFixed(values); c != 0)
        return c < 0 ? first() : last();
    if (const int c = compareRange(values); c != 0)
        return c < 0 ? first() : last();
    return fillAround(values, position, place);
}

int PagedList::showPosition(qint64 position, int place)
{
    // Read the record through the page query of the physical order: no change to the table's
    // record buffer.
    PageRead r;
    r.fromPosition = position;
    r.limit = 1;
    QList<PageRow> one;
    const int err = table_.readPage(r, one);
    if (err)
        return fail(err);
    if (one.isEmpty() || one.first().position != position)
        return first();
    return rebuildAt(one.first().row, position, place);
}

void PagedList::setHighlight(int row)
{
    if (rows_.isEmpty()) {
        highlight_ = -1;
        return;
    }
    highlight_ = qBound(0, row, int(rows_.size()) - 1);
}

const PageRow* PagedList::highlighted() const
{
    if (highlight_ < 0 || highlight_ >= rows_.size())
        return nullptr;
    return &rows_.at(highlight_);
}

qint64 PagedList::highlightedPosition() const
{
    const PageRow* h = highlighted();
    return h ? h->position : 0;
}

int PagedList::readEnds(bool mayScan)
{
    const quint64 gen = table_.database().changeCount();
    if (gen != endsGeneration_) {
        endsSeen_.clear();
        endsKnown_ = false;
        endsGeneration_ = gen;
    }
    if (endsKnown_)
        return 0;
    for (const Ends& e : std::as_const(endsSeen_)) {
        if (e.key == key_ && e.fixed == fixed_ && e.condition == condition_ && e.params == params_) {
            firstKey_ = e.first;
            lastKey_ = e.last;
            endsKnown_ = true;
            return 0;
        }
    }
    if (!mayScan)
        return 0;
    QList<PageRow> one;
    if (const int err = read(Row(), 0, true, true, 1, one))
        return err;
    firstKey_.clear();
    lastKey_.clear();
    if (!one.isEmpty()) {
        firstKey_ = key_ < 0 ? Row{QVariant(one.first().position)} : keyValues(one.first().row);
        if (const int err = read(Row(), 0, false, true, 1, one))
            return err;
        if (!one.isEmpty())
            lastKey_ = key_ < 0 ? Row{QVariant(one.first().position)} : keyValues(one.first().row);
        else
            lastKey_ = firstKey_;
    }
    endsKnown_ = true;
    // A few views are enough: the tabs of one list.
    constexpr int kViewsKept = 16;
    if (endsSeen_.size() >= kViewsKept)
        endsSeen_.removeFirst();
    endsSeen_.append(Ends { key_, fixed_, condition_, params_, firstKey_, lastKey_ });
    return 0;
}

int PagedList::thumb()
{
    const PageRow* h = highlighted();
    if (!h)
        return 0;
    if (atTop_ && highlight_ == 0)
        return 0;
    if (atBottom_ && highlight_ == rows_.size() - 1)
        return 100;
    if (readEnds(!endsDeferred_))
        return 0;
    if (!endsKnown_)
        return 50;   // deferred: somewhere between the ends
    if (firstKey_.isEmpty())
        return 0;
    double f = 0;
    if (key_ < 0) {
        const double lo = firstKey_.at(0).toDouble();
        const double hi = lastKey_.at(0).toDouble();
        f = hi > lo ? clamp01((double(h->position) - lo) / (hi - lo)) : 0;
    } else {
        f = keyFraction(table_.def(), key_, firstKey_, lastKey_, keyValues(h->row), int(fixed_.size()));
    }
    return qBound(0, int(std::lround(f * 100.0)), 100);
}

double PagedList::keyFraction(const TableDef& def, int key, const Row& lo, const Row& hi, const Row& v, int from)
{
    if (key < 0 || key >= def.keys.size())
        return 0;
    const KeyDef& k = def.key(key);
    const int n = int(qMin(qMin(lo.size(), hi.size()), qMin(v.size(), k.fields.size())));
    for (int i = qMax(0, from); i < n; ++i) {
        const FieldDef& f = def.field(k.fields.at(i));
        if (compareValues(f, lo.at(i), hi.at(i)) == 0)
            continue;
        // v before lo or after hi in this field (ends read before a change): the edge.
        if (compareValues(f, v.at(i), lo.at(i)) <= 0)
            return 0;
        if (compareValues(f, v.at(i), hi.at(i)) >= 0)
            return 1;
        if (!f.isText()) {
            const double a = lo.at(i).toDouble();
            const double b = hi.at(i).toDouble();
            return clamp01((v.at(i).toDouble() - a) / (b - a));
        }
        const QList<char32_t> fl = folded(lo.at(i).toString());
        const QList<char32_t> fh = folded(hi.at(i).toString());
        const QList<char32_t> fv = folded(v.at(i).toString());
        const int p = commonPrefix(fl, fh);
        const double a = textNumber(fl, p);
        const double b = textNumber(fh, p);
        if (b <= a)
            return 0;
        return clamp01((textNumber(fv, p) - a) / (b - a));
    }
    return 0;
}

Row PagedList::keyAtFraction(const TableDef& def, int key, const Row& lo, const Row& hi, double f, int from)
{
    Row out;
    if (key < 0 || key >= def.keys.size())
        return out;
    f = clamp01(f);
    const KeyDef& k = def.key(key);
    const int n = int(qMin(qMin(lo.size(), hi.size()), k.fields.size()));
    for (int i = 0; i < n; ++i) {
        const FieldDef& fd = def.field(k.fields.at(i));
        if (i < from || compareValues(fd, lo.at(i), hi.at(i)) == 0) {
            out << lo.at(i);
            continue;
        }
        if (!fd.isText()) {
            const double a = lo.at(i).toDouble();
            const double b = hi.at(i).toDouble();
            out << QVariant(qlonglong(std::floor(a + (b - a) * f)));
            return out;
        }
        const QList<char32_t> fl = folded(lo.at(i).toString());
        const QList<char32_t> fh = folded(hi.at(i).toString());
        const int p = commonPrefix(fl, fh);
        double t = textNumber(fl, p) + (textNumber(fh, p) - textNumber(fl, p)) * f;
        QList<char32_t> cps;
        for (int j = 0; j < p; ++j)
            cps << fl.at(j);
        for (int j = 0; j < kDigits; ++j) {
            t *= kScale;
            const double d = std::floor(t);
            t -= d;
            if (d <= 0)
                break;
            cps << codeOfRank(d);
        }
        out << QVariant(QString::fromUcs4(cps.constData(), cps.size()));
        return out;
    }
    return out;
}

} // namespace td

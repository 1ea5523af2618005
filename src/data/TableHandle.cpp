#include "data/TableHandle.h"

#include "data/Collation.h"
#include "data/Schema.h"
#include "data/Statement.h"

#include <QHash>
#include <QPair>
#include <array>
#include <sqlite3.h>

namespace td {

namespace {

constexpr int kPageRows = 64;
constexpr int kStreamPageRows = 512;

QVariant readColumn(sqlite3_stmt* s, int col, const FieldDef& f)
{
    if (f.isText()) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, col));
        return QVariant(p ? QString::fromUtf8(p, sqlite3_column_bytes(s, col)) : QString());
    }
    const qint64 v = sqlite3_column_int64(s, col);
    if (f.type == FieldType::Decimal)
        return QVariant(qlonglong(v));
    return QVariant(int(v));
}

qint64 maxOf(const FieldDef& f)
{
    switch (f.type) {
    case FieldType::Byte: return 255;
    case FieldType::Decimal: {
        qint64 m = 1;
        for (int i = 0; i < f.digits(); ++i)
            m *= 10;
        return m - 1;
    }
    default: return 2147483647LL;
    }
}

qint64 minOf(const FieldDef& f)
{
    switch (f.type) {
    case FieldType::Byte: return 0;
    case FieldType::Decimal: return -maxOf(f);
    default: return -2147483648LL;
    }
}

QString clipText(const QString& s, int width)
{
    return width > 0 ? storeText(s, width) : clip(s);
}

// The value of a key's leading field that keeps a record out of an optional key.
bool isEmptyKeyValue(const FieldDef& f, const QVariant& v)
{
    return f.isText() ? clipText(v.toString(), 0).isEmpty() : v.toLongLong() == 0;
}

} // namespace

// Where next() and previous() go on from.
struct TableHandle::Cursor {
    int key = -2;               // -2: no set yet; -1: physical order; else a key
    enum State { FromEdge, FromValues, FromRecord } state = FromEdge;
    Row values;                 // key values of the set point or of the last record read
    qint64 rowid = 0;           // last record read (FromRecord)

    QList<PageRow> page;        // rows read ahead in one direction
    int pageIndex = -1;
    bool pageForward = true;
    bool pageComplete = false;  // the page reached the end of the key
    quint64 generation = 0;
};

TableHandle::TableHandle(Database& db, TableId table)
    : db_(db)
    , table_(table)
    , def_(&tableDef(table))
    , use_(db, table)
    , cursor_(std::make_unique<Cursor>())
{
    row_ = blankRow(table);
}

TableHandle::TableHandle(Database& db, TableId table, const TableDef& def)
    : TableHandle(db, table)
{
    def_ = &def;
}

TableHandle::~TableHandle()
{
    if (stream_)
        db_.bulkHint(table_, false);
}

// --- buffer -------------------------------------------------------------------------------------

Row& TableHandle::row()
{
    bufferToRow();
    return row_;
}

const Row& TableHandle::row() const
{
    bufferToRow();
    return row_;
}

void TableHandle::setRow(const Row& r)
{
    row_ = r;
    while (row_.size() < def_->fields.size())
        row_ << blankRow(table_).at(row_.size());
    rowToBuffer();
}

QVariant TableHandle::value(int field) const
{
    bufferToRow();
    return field >= 0 && field < row_.size() ? row_.at(field) : QVariant();
}

QVariant TableHandle::value(const QString& labelOrName) const
{
    return value(def_->fieldIndex(labelOrName));
}

void TableHandle::setValue(int field, const QVariant& v)
{
    if (field < 0 || field >= def_->fields.size())
        return;
    bufferToRow();
    row_[field] = v;
    rowToBuffer();
}

void TableHandle::setValue(const QString& labelOrName, const QVariant& v)
{
    setValue(def_->fieldIndex(labelOrName), v);
}

void TableHandle::clear()
{
    row_ = blankRow(table_);
    original_.clear();
    position_ = 0;
    rowToBuffer();
}

// --- helpers ------------------------------------------------------------------------------------

int TableHandle::normalise(const TableDef& t, Row& r, StorageError* error)
{
    while (r.size() < t.fields.size())
        r << QVariant();
    while (r.size() > t.fields.size())
        r.removeLast();
    for (int i = 0; i < t.fields.size(); ++i) {
        const FieldDef& f = t.fields.at(i);
        const QVariant v = r.at(i);
        if (f.isText()) {
            r[i] = QVariant(clipText(v.toString(), f.width));
            continue;
        }
        qint64 n = 0;
        bool ok = true;
        if (v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            n = s.isEmpty() ? 0 : s.toLongLong(&ok);
        } else if (v.isValid()) {
            n = v.toLongLong(&ok);
        }
        if (!ok || n < minOf(f) || n > maxOf(f)) {
            if (error) {
                *error = StorageError::make(InvalidRecord,
                                            QStringLiteral("Invalid Value For %1").arg(f.label));
            }
            return InvalidRecord;
        }
        r[i] = f.type == FieldType::Decimal ? QVariant(qlonglong(n)) : QVariant(int(n));
    }
    return 0;
}

CachedStatement TableHandle::statement(const QString& sql)
{
    CachedStatement s = db_.statementQuiet(sql);
    if (!s)
        failSqlite(s.prepareResult());
    return s;
}

int TableHandle::fail(const StorageError& e)
{
    error_ = e;
    db_.setLastError(e);
    return e.code;
}

int TableHandle::failSqlite(int rc)
{
    StorageError e = storageErrorFromSqlite(rc, db_.connection());
    if (e.code == DuplicateKey) {
        // "UNIQUE constraint failed: Album.Album, Album.Artist": find the key with those fields.
        const QString msg = e.engineText;
        const int colon = msg.indexOf(QLatin1String(": "));
        QStringList cols;
        for (QString c : msg.mid(colon + 2).split(QLatin1String(", "))) {
            const int dot = c.lastIndexOf(QLatin1Char('.'));
            cols << c.mid(dot + 1).trimmed().toLower();
        }
        for (const auto& k : def_->keys) {
            if (!k.unique || k.fields.size() != cols.size())
                continue;
            bool same = true;
            for (int i = 0; same && i < cols.size(); ++i)
                same = def_->fields.at(k.fields.at(i)).name.toLower() == cols.at(i);
            if (same) {
                e.key = k.label;
                break;
            }
        }
    }
    return fail(e);
}

QString TableHandle::duplicateKeyOf(const Row& r, qint64 self)
{
    // The first unique key, in declaration order, that another record already holds these values in.
    for (int k = 0; k < def_->keys.size(); ++k) {
        const KeyDef& key = def_->keys.at(k);
        if (!key.unique)
            continue;
        if (key.optional && isEmptyKeyValue(def_->fields.at(key.fields.first()), r.at(key.fields.first())))
            continue;
        QStringList where;
        const QString cond = schema::keyCondition(*def_, k);
        if (!cond.isEmpty())
            where << cond;
        for (int f : key.fields)
            where << schema::quoted(def_->fields.at(f).name) + QLatin1String("=?");
        where << QStringLiteral("rowid<>?");
        CachedStatement st = statement(QStringLiteral("SELECT rowid FROM %1 WHERE %2 LIMIT 1")
                                           .arg(Database::sqlTable(table_), where.join(QLatin1String(" AND "))));
        sqlite3_stmt* s = st.get();
        if (!s)
            continue;
        int b = 1;
        for (int f : key.fields)
            bindVariant(s, b++, r.at(f));
        sqlite3_bind_int64(s, b, self);
        if (sqlite3_step(s) == SQLITE_ROW)
            return key.label;
    }
    return {};
}

int TableHandle::failDuplicate(int rc, const Row& r, qint64 self)
{
    const int code = failSqlite(rc);
    if (code == DuplicateKey) {
        const QString key = duplicateKeyOf(r, self);
        if (!key.isEmpty()) {
            error_.key = key;
            db_.setLastError(error_);
        }
    }
    return code;
}

int TableHandle::ok()
{
    error_ = StorageError();
    db_.clearLastError();
    return 0;
}

QString TableHandle::selectList() const
{
    // Built once per table for every handle: every page read starts with it.
    if (selectList_.isEmpty()) {
        thread_local std::array<QString, kTableCount> built;
        const bool catalogued = def_ == &tableDef(table_);   // a layout of its own is not shared
        QString made;
        QString& b = catalogued ? built[size_t(table_)] : made;
        if (b.isEmpty())
            b = QStringLiteral("SELECT rowid,%1 FROM %2").arg(schema::columnList(*def_), Database::sqlTable(table_));
        selectList_ = b;
    }
    return selectList_;
}

int TableHandle::readRowAt(qint64 pos, Row& out)
{
    CachedStatement st =
        statement(fixedSql(SelectRow, [&] { return selectList() + QLatin1String(" WHERE rowid=?"); }));
    sqlite3_stmt* s = st.get();
    if (!s)
        return error_.code;
    sqlite3_bind_int64(s, 1, pos);
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE)
        return fail(StorageError::make(RecordNotAvailable));
    if (rc != SQLITE_ROW)
        return failSqlite(rc);
    out.clear();
    out.reserve(def_->fields.size());
    for (int i = 0; i < def_->fields.size(); ++i)
        out << readColumn(s, i + 1, def_->fields.at(i));
    return 0;
}

void TableHandle::invalidatePage()
{
    cursor_->page.clear();
    cursor_->pageIndex = -1;
    cursor_->pageComplete = false;
}

// --- changes ------------------------------------------------------------------------------------

int TableHandle::add()
{
    bufferToRow();
    Row r = row_;
    StorageError e;
    if (normalise(*def_, r, &e))
        return fail(e);
    CachedStatement st = statement(fixedSql(InsertRow, [&] {
        QStringList marks;
        for (int i = 0; i < def_->fields.size(); ++i)
            marks << QStringLiteral("?");
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(Database::sqlTable(table_), schema::columnList(*def_), marks.join(QLatin1Char(',')));
    }));
    sqlite3_stmt* s = st.get();
    if (!s)
        return error_.code;
    for (int i = 0; i < r.size(); ++i)
        bindVariant(s, i + 1, r.at(i));
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE)
        return failDuplicate(rc, r, 0);
    db_.noteChange();
    position_ = sqlite3_last_insert_rowid(db_.connection());
    row_ = r;
    original_ = r;
    rowToBuffer();
    return ok();
}

int TableHandle::put()
{
    bufferToRow();
    if (position_ == 0)
        return fail(StorageError::make(RecordNotAvailable));
    Row r = row_;
    StorageError e;
    if (normalise(*def_, r, &e))
        return fail(e);

    // Read, compare and write inside one transaction so no other copy can slip in between (the
    // caller's, when one is open).
    TransactionGuard tx(db_, 2000, TransactionGuard::Nesting::Join);
    if (!tx.ok())
        return fail(db_.lastError());
    Row stored;
    if (readRowAt(position_, stored))
        return error_.code;
    if (!original_.isEmpty() && stored != original_)
        return fail(StorageError::make(RecordChanged));

    CachedStatement st = statement(fixedSql(UpdateRow, [&] {
        QStringList sets;
        for (const auto& f : def_->fields)
            sets << schema::quoted(f.name) + QLatin1String("=?");
        return QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(Database::sqlTable(table_), sets.join(QLatin1Char(',')));
    }));
    sqlite3_stmt* s = st.get();
    if (!s)
        return error_.code;
    {
        for (int i = 0; i < r.size(); ++i)
            bindVariant(s, i + 1, r.at(i));
        sqlite3_bind_int64(s, int(r.size()) + 1, position_);
        const int rc = sqlite3_step(s);
        if (rc != SQLITE_DONE)
            return failDuplicate(rc, r, position_);
        st.release();
    }
    if (const int err = tx.commit())
        return fail(db_.lastError().code ? db_.lastError() : StorageError::make(err));
    db_.noteChange();
    row_ = r;
    original_ = r;
    rowToBuffer();
    return ok();
}

int TableHandle::del()
{
    if (position_ == 0)
        return fail(StorageError::make(RecordNotAvailable));
    CachedStatement st = statement(fixedSql(
        DeleteRow, [&] { return QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(Database::sqlTable(table_)); }));
    sqlite3_stmt* s = st.get();
    if (!s)
        return error_.code;
    sqlite3_bind_int64(s, 1, position_);
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE)
        return failSqlite(rc);
    if (sqlite3_changes(db_.connection()) == 0)
        return fail(StorageError::make(RecordNotAvailable));
    db_.noteChange();
    position_ = 0;
    original_.clear();
    return ok();
}

// --- reads --------------------------------------------------------------------------------------

int TableHandle::fetch(qint64 pos)
{
    Row r;
    if (readRowAt(pos, r))
        return error_.code;
    row_ = r;
    original_ = r;
    position_ = pos;
    rowToBuffer();
    return ok();
}

int TableHandle::get(int key)
{
    if (key < 0 || key >= def_->keys.size())
        return fail(StorageError::make(InvalidRecord, QStringLiteral("Invalid Key")));
    bufferToRow();
    Row r = row_;
    normalise(*def_, r);
    const KeyDef& k = def_->keys.at(key);
    if (k.optional && isEmptyKeyValue(def_->fields.at(k.fields.first()), r.at(k.fields.first())))
        return fail(StorageError::make(RecordNotAvailable));
    QStringList where;
    const QString cond = schema::keyCondition(*def_, key);
    if (!cond.isEmpty())
        where << cond;
    for (int f : k.fields)
        where << schema::quoted(def_->fields.at(f).name) + QLatin1String("=?");
    CachedStatement st = statement(selectList() + QLatin1String(" WHERE ") + where.join(QLatin1String(" AND "))
                                   + QLatin1String(" ORDER BY ") + schema::keyColumns(*def_, key).join(QLatin1Char(','))
                                   + QLatin1String(",rowid LIMIT 1"));
    sqlite3_stmt* s = st.get();
    if (!s)
        return error_.code;
    int b = 1;
    for (int f : k.fields)
        bindVariant(s, b++, r.at(f));
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE)
        return fail(StorageError::make(RecordNotAvailable));
    if (rc != SQLITE_ROW)
        return failSqlite(rc);
    Row out;
    for (int i = 0; i < def_->fields.size(); ++i)
        out << readColumn(s, i + 1, def_->fields.at(i));
    position_ = sqlite3_column_int64(s, 0);
    row_ = out;
    original_ = out;
    rowToBuffer();
    return ok();
}

int TableHandle::set(int key)
{
    if (key < -1 || key >= def_->keys.size())
        return fail(StorageError::make(InvalidRecord, QStringLiteral("Invalid Key")));
    *cursor_ = Cursor();
    cursor_->key = key;
    cursor_->state = Cursor::FromEdge;
    return ok();
}

int TableHandle::set(int key, const Row& from)
{
    if (set(key))
        return error_.code;
    if (key == -1)
        return ok();
    // `from` is a whole record or the key's values (leading ones at least).
    const KeyDef& k = def_->keys.at(key);
    Row full = from;
    Row values;
    if (from.size() == def_->fields.size() && from.size() != k.fields.size()) {
        normalise(*def_, full);
        values = keyValuesOf(*def_, key, full);
    } else {
        for (int i = 0; i < from.size() && i < k.fields.size(); ++i) {
            const FieldDef& f = def_->fields.at(k.fields.at(i));
            values << (f.isText() ? QVariant(clipText(from.at(i).toString(), 0)) : QVariant(from.at(i).toLongLong()));
        }
    }
    cursor_->state = values.isEmpty() ? Cursor::FromEdge : Cursor::FromValues;
    cursor_->values = values;
    return ok();
}

int TableHandle::readPage(const PageRead& read, QList<PageRow>& out)
{
    out.clear();
    if (!read.filterScans || read.filter.isEmpty() || read.key < 0 || (read.fromPosition == 0 && read.from.isEmpty()))
        return readRange(read, out);
    // A filter no index serves may scan far. A starting point written as a row value, (a,b,rowid)
    // >= (?,?,?), is checked again on every row scanned; as the ranges it is made of (a=? AND b=?
    // AND rowid>=?, then a=? AND b>?, then a>?) each is served by the index alone. They are read in
    // turn until the page is full: the same rows in the same order.
    const KeyDef& k = def_->keys.at(read.key);
    const Row values = startValues(read);
    const int eq = qBound(0, read.equalLeading, int(values.size()));
    if (int(values.size()) <= eq)
        return readRange(read, out);
    const bool withRow = read.fromPosition != 0 && values.size() == k.fields.size();
    PageRead part = read;
    part.equalLeading = int(values.size());
    part.from = values;
    part.fromPosition = withRow ? read.fromPosition : 0;
    QList<PageRow> rows;
    // The tie on every given value first (when it can hold rows), then one value less each time.
    for (int fixed = int(values.size()); fixed >= eq && out.size() < read.limit; --fixed) {
        part.from = values.mid(0, fixed);
        part.equalLeading = fixed;
        part.limit = read.limit - int(out.size());
        if (fixed == int(values.size())) {
            if (!withRow && !read.inclusive)
                continue;                       // every row equal to the given values left out
            part.fromPosition = withRow ? read.fromPosition : 0;
            part.inclusive = read.inclusive;
        } else {
            // Rows equal on the first `fixed` values and past the next one.
            part.from = values.mid(0, fixed + 1);
            part.equalLeading = fixed;
            part.fromPosition = 0;
            part.inclusive = false;
        }
        if (const int err = readRange(part, rows)) {
            out.clear();
            return err;
        }
        out << rows;
    }
    return ok();
}

const TableHandle::KeySql& TableHandle::keySql(int key)
{
    if (keySql_.size() != def_->keys.size())
        keySql_.resize(def_->keys.size());
    KeySql& ks = keySql_[key];
    if (ks.columns.isEmpty()) {
        // A list opened again gets a new handle: the texts of each key are made once per table.
        // (Only the catalogue's own layouts, which live as long as the program.)
        thread_local QHash<QPair<const TableDef*, int>, KeySql> made;
        const bool catalogued = def_ == &tableDef(table_);
        if (const auto it = made.constFind({ def_, key }); catalogued && it != made.constEnd()) {
            ks = it.value();
            return ks;
        }
        ks.condition = schema::keyCondition(*def_, key);
        ks.columns = schema::keyColumns(*def_, key);
        QStringList up;
        QStringList down;
        for (const QString& c : std::as_const(ks.columns)) {
            up << c;
            down << c + QLatin1String(" DESC");
        }
        ks.orderUp = (up << QStringLiteral("rowid")).join(QLatin1Char(','));
        ks.orderDown = (down << QStringLiteral("rowid DESC")).join(QLatin1Char(','));
        if (catalogued)
            made.insert({ def_, key }, ks);
    }
    return ks;
}

Row TableHandle::startValues(const PageRead& read) const
{
    // The key values of the starting point: from a whole record or given directly.
    const KeyDef& k = def_->keys.at(read.key);
    const Row& from = read.from;
    Row values;
    if (from.size() == def_->fields.size() && from.size() != k.fields.size()) {
        Row full = from;
        normalise(*def_, full);
        values = keyValuesOf(*def_, read.key, full);
    } else {
        for (int i = 0; i < from.size() && i < k.fields.size(); ++i) {
            const FieldDef& f = def_->fields.at(k.fields.at(i));
            values << (f.isText() ? QVariant(clipText(from.at(i).toString(), 0)) : QVariant(from.at(i).toLongLong()));
        }
    }
    return values;
}

int TableHandle::readRange(const PageRead& read, QList<PageRow>& out)
{
    out.clear();
    const int key = read.key;
    const bool forward = read.forward;
    const bool inclusive = read.inclusive;
    const qint64 fromPosition = read.fromPosition;
    const int equalLeading = read.equalLeading;
    if (key < -1 || key >= def_->keys.size())
        return fail(StorageError::make(InvalidRecord, QStringLiteral("Invalid Key")));
    QStringList where;
    QVariantList params;
    QString order;
    const char* desc = forward ? "" : " DESC";
    if (key == -1) {
        if (fromPosition != 0) {
            where << (forward ? (inclusive ? QStringLiteral("rowid>=?") : QStringLiteral("rowid>?"))
                              : (inclusive ? QStringLiteral("rowid<=?") : QStringLiteral("rowid<?")));
            params << QVariant(fromPosition);
        }
        order = QStringLiteral("rowid") + QLatin1String(desc);
    } else {
        const KeySql& ks = keySql(key);
        if (!ks.condition.isEmpty())
            where << ks.condition;
        const Row values = startValues(read);
        const QStringList& cols = ks.columns;
        // Fixed leading values as equalities: a row value starting at them would not let the index
        // stop where they end.
        const int eq = qBound(0, equalLeading, int(values.size()));
        for (int i = 0; i < eq; ++i) {
            where << cols.at(i) + QLatin1String("=?");
            params << values.at(i);
        }
        const bool withRow = fromPosition != 0 && values.size() == cols.size();
        if (eq > 0 && eq == values.size() && withRow) {
            where << (forward ? (inclusive ? QStringLiteral("rowid>=?") : QStringLiteral("rowid>?"))
                              : (inclusive ? QStringLiteral("rowid<=?") : QStringLiteral("rowid<?")));
            params << QVariant(fromPosition);
        } else if (eq > 0 && eq == values.size() && !inclusive) {
            where << QStringLiteral("0");      // every row equal to the given values left out
        } else if (values.size() > eq) {
            QStringList lhs = cols.mid(eq, values.size() - eq);
            QStringList marks;
            for (int i = eq; i < values.size(); ++i)
                marks << QStringLiteral("?");
            if (withRow) {
                lhs << QStringLiteral("rowid");
                marks << QStringLiteral("?");
            }
            const QString op = forward ? (inclusive ? QStringLiteral(">=") : QStringLiteral(">"))
                                       : (inclusive ? QStringLiteral("<=") : QStringLiteral("<"));
            where << QStringLiteral("(%1)%2(%3)").arg(lhs.join(QLatin1Char(',')), op, marks.join(QLatin1Char(',')));
            params << values.mid(eq);
            if (withRow)
                params << QVariant(fromPosition);
        }
        order = forward ? ks.orderUp : ks.orderDown;
    }
    if (!read.filter.isEmpty()) {
        where << QLatin1Char('(') + read.filter + QLatin1Char(')');
        params << read.filterParams;
    }
    QString sql = selectList();
    if (!where.isEmpty())
        sql += QLatin1String(" WHERE ") + where.join(QLatin1String(" AND "));
    sql += QLatin1String(" ORDER BY ") + order + QLatin1String(" LIMIT ?");
    CachedStatement st = statement(sql);
    sqlite3_stmt* s = st.get();
    if (!s)
        return error_.code;
    int b = 1;
    for (const QVariant& v : std::as_const(params))
        bindVariant(s, b++, v);
    sqlite3_bind_int64(s, b, qMax(0, read.limit));
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        PageRow pr;
        pr.position = sqlite3_column_int64(s, 0);
        pr.row.reserve(def_->fields.size());
        for (int i = 0; i < def_->fields.size(); ++i)
            pr.row << readColumn(s, i + 1, def_->fields.at(i));
        out << pr;
    }
    if (rc != SQLITE_DONE) {
        out.clear();
        return failSqlite(rc);
    }
    return ok();
}

int TableHandle::loadPage(bool forward)
{
    Cursor& c = *cursor_;
    const int n = (stream_ || quickScan_) ? kStreamPageRows : kPageRows;
    PageRead read;
    read.key = c.key;
    read.forward = forward;
    read.limit = n;
    read.filter = filter_;
    read.filterParams = filterParams_;
    switch (c.state) {
    case Cursor::FromEdge:
        break;
    case Cursor::FromValues:
        read.from = c.values;
        break;
    case Cursor::FromRecord:
        if (c.key != -1)
            read.from = c.values;
        read.fromPosition = c.rowid;
        read.inclusive = false;
        break;
    }
    QList<PageRow> rows;
    if (const int err = readPage(read, rows))
        return err;
    c.page = rows;
    c.pageIndex = -1;
    c.pageForward = forward;
    c.pageComplete = rows.size() < n;
    c.generation = db_.changeCount();
    return 0;
}

int TableHandle::step(bool forward)
{
    Cursor& c = *cursor_;
    if (c.key == -2)
        return fail(StorageError::make(RecordNotAvailable, QStringLiteral("No Key Set")));
    // A change made through this connection since the page was read makes it stale.
    const bool fresh = c.generation == db_.changeCount();
    const bool usable = !c.page.isEmpty() && c.pageForward == forward && fresh;
    if (!usable || c.pageIndex + 1 >= c.page.size()) {
        if (usable && c.pageComplete)
            return fail(StorageError::make(RecordNotAvailable));
        if (const int err = loadPage(forward))
            return err;
    }
    if (c.pageIndex + 1 >= c.page.size())
        return fail(StorageError::make(RecordNotAvailable));
    const PageRow& pr = c.page.at(++c.pageIndex);
    row_ = pr.row;
    original_ = pr.row;
    position_ = pr.position;
    c.state = Cursor::FromRecord;
    c.rowid = pr.position;
    c.values = keyValuesOf(*def_, c.key, pr.row);
    rowToBuffer();
    return ok();
}

int TableHandle::next()
{
    return step(true);
}

int TableHandle::previous()
{
    return step(false);
}

qint64 TableHandle::records()
{
    // The count the file keeps; prepared quietly, since a file that cannot keep one (opened read
    // only before it had one) is simply counted.
    if (!noKeptCount_) {
        CachedStatement kept = db_.statementQuiet(
            fixedSql(KeptCount, [&] { return schema::keptCountSql(*def_, Database::schemaName(table_)); }));
        if (!kept)
            noKeptCount_ = true;
        else if (sqlite3_step(kept.get()) == SQLITE_ROW) {
            ok();
            return sqlite3_column_int64(kept.get(), 0);
        }
    }
    CachedStatement st = statement(fixedSql(
        CountRows, [&] { return QStringLiteral("SELECT count(*) FROM %1").arg(Database::sqlTable(table_)); }));
    sqlite3_stmt* s = st.get();
    if (!s)
        return -1;
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) {
        failSqlite(rc);
        return -1;
    }
    ok();
    return sqlite3_column_int64(s, 0);
}

void TableHandle::stream(bool on)
{
    if (on != stream_)
        db_.bulkHint(table_, on);
    stream_ = on;
}

void TableHandle::quickScan(bool on)
{
    quickScan_ = on;
}

void TableHandle::setFilter(const QString& sqlCondition, const QVariantList& params)
{
    filter_ = sqlCondition;
    filterParams_ = params;
    invalidatePage();
}

} // namespace td

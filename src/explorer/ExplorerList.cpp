#include "explorer/ExplorerList.h"

#include "explorer/ExplorerIndexer.h"

#include "core/Picture.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Schema.h"

#include <QElapsedTimer>
#include <algorithm>
#include <sqlite3.h>

namespace td {

namespace {

TableId tableOf(ExplorerKind kind)
{
    return kind == ExplorerKind::Albums ? TableId::Album : TableId::Tunedeck;
}

QString fieldName(const QString& label)
{
    return label.mid(label.indexOf(QLatin1Char(':')) + 1);
}

// The table's layout with one key per orderable column after its own keys: the column alone (the
// position breaks ties), holding every record, blank ones too.
TableDef explorerDef(ExplorerKind kind)
{
    TableDef t = tableDef(tableOf(kind));
    for (const ExplorerColumn& c : explorerColumns(kind)) {
        const int f = c.orderable ? t.fieldIndex(c.field) : -1;
        if (f < 0 || t.fields.at(f).isMemo())
            continue;
        KeyDef k;
        k.name = QStringLiteral("Xplore") + fieldName(c.field);
        k.label = t.prefix + QLatin1Char(':') + k.name;
        k.fields = {f};
        t.keys << k;
    }
    return t;
}

} // namespace

ExplorerList::ExplorerList(Database& db, ExplorerKind kind)
    : db_(db)
    , kind_(kind)
    , def_(explorerDef(kind))
    , table_(std::make_unique<TableHandle>(db, tableOf(kind), def_))
    , list_(*table_)
{
    for (const ExplorerColumn& c : explorerColumns(kind)) {
        columnFields_ << def_.fieldIndex(c.field);
        columnKeys_ << (c.orderable ? def_.keyIndex(QStringLiteral("Xplore") + fieldName(c.field)) : -1);
    }
    indexed_.fill(false, def_.keys.size());
    // The indexes made at earlier openings.
    for (int key : columnKeys_) {
        if (key < 0)
            continue;
        CachedStatement st = db_.statementQuiet(QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type='index' AND name=?")
                                                    .arg(schema::quoted(Database::schemaName(tableOf(kind)))));
        if (!st)
            break;
        const QByteArray name = schema::indexName(def_, key).toUtf8();
        sqlite3_bind_text(st.get(), 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        indexed_[key] = sqlite3_step(st.get()) == SQLITE_ROW;
    }
    if (kind == ExplorerKind::Songs)
        categories_ = std::make_unique<TableHandle>(db, TableId::Categories);
    list_.setOrder(startingKey());
}

ExplorerList::~ExplorerList() = default;

int ExplorerList::startingKey() const
{
    switch (kind_) {
    case ExplorerKind::Songs: return def_.keyIndex(QStringLiteral("MUS:SongsByArtist"));
    case ExplorerKind::Albums: return def_.keyIndex(QStringLiteral("ALB:KeyAlbum"));
    case ExplorerKind::CdTracks: return def_.keyIndex(QStringLiteral("MUS:KeyAlbumID"));
    }
    return -1;
}

int ExplorerList::columnKey(int column) const
{
    return column >= 0 && column < columnKeys_.size() ? columnKeys_.at(column) : -1;
}

bool ExplorerList::wantsIndexes() const
{
    // The CD player's tracks are one album's songs, found through the album's key: any order of
    // them is a sort of a dozen rows, and a column's index would only cost its making.
    return kind_ != ExplorerKind::CdTracks;
}

void ExplorerList::buildIndexesAhead()
{
    if (indexer_ || !wantsIndexes())
        return;
    const QString schemaName = Database::schemaName(tableOf(kind_));
    QList<QString> sql(def_.keys.size());
    bool any = false;
    for (int key : columnKeys_)
        if (key >= 0 && !indexed_.at(key)) {
            sql[key] = schema::createIndexSql(def_, key, schemaName);
            any = true;
        }
    if (any)
        indexer_ = std::make_unique<ExplorerIndexer>(db_.filePath(tableOf(kind_)), schemaName, sql);
}

bool ExplorerList::isIndexed(int key)
{
    if (key < 0 || key >= indexed_.size())
        return false;
    if (!indexed_.at(key) && indexer_ && indexer_->state(key) == ExplorerIndexer::State::Built)
        indexed_[key] = true;
    return indexed_.at(key);
}

bool ExplorerList::waitForIndexes(int ms)
{
    if (!indexer_)
        return true;
    QElapsedTimer t;
    t.start();
    for (int key : columnKeys_) {
        if (key < 0)
            continue;
        indexer_->waitFor(key, int(qMax<qint64>(0, ms - t.elapsed())));
        if (indexer_->state(key) == ExplorerIndexer::State::Pending)
            return false;
    }
    return true;
}

void ExplorerList::ensureIndex(int key)
{
    if (isIndexed(key))
        return;
    if (indexer_) {
        // Being made in the background: this one next. The pages are read by scanning meanwhile.
        indexer_->prefer(key);
        return;
    }
    // Made once: later openings find it in the data file. A file that cannot take it now (locked
    // by another program, read-only) is still read in that order, only without the index's help;
    // the next order by the column tries again.
    if (db_.exec(schema::createIndexSql(def_, key, Database::schemaName(tableOf(kind_)))) == 0)
        indexed_[key] = true;
}

int ExplorerList::orderBy(int column, bool descending)
{
    const int key = column < 0 ? startingKey() : columnKey(column);
    if (key < 0)
        return InvalidRecord;
    if (column >= 0 && wantsIndexes())
        ensureIndex(key);
    const qint64 keep = list_.highlightedPosition();
    column_ = column;
    descending_ = column >= 0 && descending;
    list_.setOrder(key);
    applyCondition();
    // Until the column's index is made, each end of the view would be a scan of its own: the
    // thumb waits for the index instead.
    list_.setEndsDeferred(column >= 0 && wantsIndexes() && !isIndexed(key));
    if (keep != 0)
        return list_.showPosition(keep);
    return first();
}

int ExplorerList::orderByClick(int column)
{
    if (columnKey(column) < 0)
        return InvalidRecord;
    return orderBy(column, column == column_ && !descending_);
}

void ExplorerList::setCondition(const QString& sql, const QVariantList& params, bool scans)
{
    condition_ = sql;
    conditionParams_ = params;
    conditionScans_ = scans;
    applyCondition();
}

void ExplorerList::applyCondition()
{
    // A column holds many equal values (blank styles, no BPM): a page starting inside them is read
    // as two ranges the column's index serves alone (the equal values after the start, then the
    // greater ones) instead of one row-value condition checked on each equal value in turn.
    // Without the index yet each range is a scan and sort of the whole table: one range then.
    const bool indexed = column_ < 0 || isIndexed(list_.key());
    if (column_ >= 0 && indexed)
        list_.setCondition(condition_.isEmpty() ? QStringLiteral("1") : condition_, conditionParams_, {}, true);
    else
        list_.setCondition(condition_, conditionParams_, {}, conditionScans_ && indexed);
}

int ExplorerList::first()
{
    return descending_ ? list_.last() : list_.first();
}

int ExplorerList::last()
{
    return descending_ ? list_.first() : list_.last();
}

int ExplorerList::pageDown()
{
    return descending_ ? list_.pageUp() : list_.pageDown();
}

int ExplorerList::pageUp()
{
    return descending_ ? list_.pageDown() : list_.pageUp();
}

int ExplorerList::lineDown()
{
    return descending_ ? list_.lineUp() : list_.lineDown();
}

int ExplorerList::lineUp()
{
    return descending_ ? list_.lineDown() : list_.lineUp();
}

int ExplorerList::moveHighlight(int delta)
{
    return list_.moveHighlight(descending_ ? -delta : delta);
}

int ExplorerList::thumb()
{
    if (list_.endsDeferred() && isIndexed(list_.key()))
        list_.setEndsDeferred(false);
    const int t = list_.thumb();
    return descending_ ? 100 - t : t;
}

int ExplorerList::locateThumb(int percent)
{
    return list_.locateThumb(descending_ ? 100 - percent : percent);
}

QList<PageRow> ExplorerList::rows() const
{
    QList<PageRow> r = list_.rows();
    if (descending_)
        std::reverse(r.begin(), r.end());
    return r;
}

int ExplorerList::highlight() const
{
    const int h = list_.highlight();
    return h < 0 || !descending_ ? h : list_.rowCount() - 1 - h;
}

void ExplorerList::setHighlight(int row)
{
    list_.setHighlight(descending_ ? list_.rowCount() - 1 - row : row);
}

int ExplorerList::locate(const QString& text, const QString& picture)
{
    const int key = column_ < 0 ? startingKey() : columnKey(column_);
    const int field = def_.keys.at(key).fields.first();
    const FieldDef& f = def_.fields.at(field);
    const QString typed = clip(text).toUpper();
    QVariant value;
    if (f.isText()) {
        value = typed;
    } else {
        const Picture pic(picture);
        const Picture::Input in = f.type == FieldType::Date ? parseDateValue(pic, typed) : pic.parse(typed);
        if (!in.ok)
            return InvalidRecord;
        value = QVariant(in.value.toLongLong());
    }
    if (const int err = list_.locate(Row{value}))
        return err;
    if (!descending_ || list_.isEmpty())
        return 0;
    // Backwards the first row at or after the text is the last one at or before it in the key:
    // one step back when the key placed us on a greater value.
    const QVariant got = list_.highlighted()->row.at(field);
    const int cmp = f.isText() ? compareKeyText(got.toString(), value.toString())
                               : (got.toLongLong() > value.toLongLong()) - (got.toLongLong() < value.toLongLong());
    if (cmp > 0)
        return list_.moveHighlight(-1);
    return 0;
}

QString ExplorerList::cellText(const Row& row, int column, const Picture& picture)
{
    const QVariant v = columnValue(row, column);
    const bool dateColumn = explorerColumns(kind_).value(column).picture.startsWith(QLatin1String("@d"));
    if (picture.isDate() || (picture.isNumber() && dateColumn))
        return formatDateValue(picture, v.toLongLong());
    return picture.formatVariant(v);
}

QVariant ExplorerList::columnValue(const Row& row, int column)
{
    const int field = columnFields_.value(column, -1);
    if (field >= 0)
        return row.value(field);
    if (!categories_)
        return QVariant();
    // The category name of a song, read once per category while nothing is written.
    if (db_.changeCount() != namesChangeCount_) {
        categoryNames_.clear();
        namesChangeCount_ = db_.changeCount();
    }
    const qint64 id = row.value(def_.fieldIndex(QStringLiteral("CategoryID"))).toLongLong();
    if (id == 0)
        return QString();
    auto it = categoryNames_.constFind(id);
    if (it != categoryNames_.constEnd())
        return it.value();
    if (categoryNames_.size() > 512)
        categoryNames_.clear();
    categories_->clear();
    categories_->setValue(QStringLiteral("CategoryID"), id);
    QString name;
    if (categories_->get(categories_->key(QStringLiteral("CAT:KeyCategoryID"))) == 0)
        name = categories_->value(QStringLiteral("Category")).toString();
    categoryNames_.insert(id, name);
    return name;
}

} // namespace td

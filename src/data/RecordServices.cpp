#include "data/RecordServices.h"

#include "data/Collation.h"
#include "data/Database.h"
#include "data/Relations.h"
#include "data/Schema.h"
#include "data/StandardWarning.h"
#include "data/Statement.h"
#include "data/TableHandle.h"

#include <memory>
#include <sqlite3.h>
#include <vector>

namespace td {

namespace {

bool sameLink(const QVariant& a, const QVariant& b)
{
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
        return keyTextEqual(a.toString(), b.toString());
    return a.toLongLong() == b.toLongLong();
}

// Link values compare exactly: renaming "cd" to "CD" is a change that the children follow.
bool linkChanged(const QVariant& before, const QVariant& after)
{
    if (before.typeId() == QMetaType::QString || after.typeId() == QMetaType::QString)
        return before.toString() != after.toString();
    return before.toLongLong() != after.toLongLong();
}

// The handles of the related tables, each holding a use of its table while the service runs.
struct Related {
    Database& db;
    std::vector<std::unique_ptr<TableHandle>> handles;
    TableHandle& open(TableId t)
    {
        for (auto& h : handles)
            if (h->table() == t)
                return *h;
        handles.push_back(std::make_unique<TableHandle>(db, t));
        return *handles.back();
    }
};

enum class Walk { Done, Stop, Failed };

// Reads the children of a parent along a key: the key set to the parent's value with the other key
// fields at their lowest, then forward until the link value differs. `each` returns false to stop.
// A read error other than the normal end shows message 35 naming the child.
Walk walkChildren(TableHandle& child, const QString& keyName, const QString& linkField, const QVariant& value,
                  const std::function<bool()>& each)
{
    Database& db = child.database();
    const int key = child.key(keyName);
    const int link = child.def().fieldIndex(linkField);
    child.set(key, Row{value});
    for (;;) {
        const int err = child.next();
        if (err == RecordNotAvailable)
            return Walk::Done;
        if (err) {
            db.saveError(child.lastError());
            StandardWarning(db, StdMsg::RecordRetrievalError, child.def().label);
            return Walk::Failed;
        }
        if (!sameLink(child.value(link), value))
            return Walk::Done;
        if (!each())
            return Walk::Stop;
    }
}

// Whether any child refers to the value; -1 after a read error (message shown).
int hasChild(TableHandle& child, const QString& keyName, const QString& linkField, const QVariant& value)
{
    bool found = false;
    const Walk w = walkChildren(child, keyName, linkField, value, [&] {
        found = true;
        return false;
    });
    if (w == Walk::Failed)
        return -1;
    return found ? 1 : 0;
}

// Refuses (message 13 naming the child) when a child exists. Returns true when the delete may go on.
bool noChildren(TransactionGuard& tx, TableHandle& child, const QString& keyName, const QString& linkField,
                const QVariant& value, const QString& childLabel)
{
    const int has = hasChild(child, keyName, linkField, value);
    if (has < 0)
        return false;
    if (has > 0) {
        tx.rollback();
        StandardWarning(child.database(), StdMsg::DeleteIntegrityError, childLabel);
        return false;
    }
    return true;
}

bool deleteChild(TableHandle& child, const QString& label)
{
    if (child.del() == 0)
        return true;
    Database& db = child.database();
    db.saveError(child.lastError());
    StandardWarning(db, StdMsg::DeleteOperationError, label);
    return false;
}

// Gives every child on the old link value the new one; message 15 naming the child on a write error.
bool cascade(TableHandle& child, const QString& keyName, const QString& linkField, const QVariant& oldValue,
             const QVariant& newValue, const QString& label)
{
    bool ok = true;
    const int link = child.def().fieldIndex(linkField);
    const Walk w = walkChildren(child, keyName, linkField, oldValue, [&] {
        child.setValue(link, newValue);
        if (child.put() != 0) {
            Database& db = child.database();
            db.saveError(child.lastError());
            StandardWarning(db, StdMsg::UpdateOperationError, label);
            ok = false;
            return false;
        }
        return true;
    });
    return ok && w == Walk::Done;
}

QString field(const char* name)
{
    return QString::fromLatin1(name);
}

// Applies the delete rules of the record's table to its children: a refusing relation with a
// child stops it (message 13 naming the child); a cascading one deletes each child after holding
// it to its own table's rules. True when the record itself may now be deleted.
bool applyDeleteRules(Related& rel, TransactionGuard& tx, TableHandle& record)
{
    for (const Relation& r : relationsOf(record.table())) {
        if (r.onDelete == OnDelete::Nothing)
            continue;
        TableHandle& child = rel.open(r.child);
        const QVariant value = record.value(field(r.parentField));
        if (r.onDelete == OnDelete::Refuse) {
            if (!noChildren(tx, child, field(r.childKey), field(r.childField), value, child.def().label))
                return false;
            continue;
        }
        bool ok = true;
        const Walk w = walkChildren(child, field(r.childKey), field(r.childField), value, [&] {
            ok = applyDeleteRules(rel, tx, child) && deleteChild(child, child.def().label);
            return ok;
        });
        if (!ok || w != Walk::Done)
            return false;
    }
    return true;
}

} // namespace

RecordResult DeleteRecord(TableHandle& h)
{
    Database& db = h.database();
    const TableId t = rulesOf(h.table());
    const QString label = tableDef(t).label;
    const qint64 pos = h.position();

    Related rel{db, {}};
    for (TableId related : relatedTables(t, true))
        rel.open(related);

    // Part of the caller's transaction when one is open: one transaction per user action.
    TransactionGuard tx(db, 2000, TransactionGuard::Nesting::Join);
    if (!tx.ok()) {
        db.saveError();
        StandardWarning(db, StdMsg::TransactionFramingError, QStringLiteral("Delete"), label);
        return RecordResult::Failed;
    }
    if (h.fetch(pos)) {
        db.saveError(h.lastError());
        StandardWarning(db, StdMsg::DeleteOperationError, label);
        return RecordResult::Failed;
    }
    if (!applyDeleteRules(rel, tx, h))
        return RecordResult::Failed;
    if (h.del()) {
        db.saveError(h.lastError());
        StandardWarning(db, StdMsg::DeleteOperationError, label);
        return RecordResult::Failed;
    }
    if (tx.commit()) {
        db.saveError();
        StandardWarning(db, StdMsg::DeleteOperationError, label);
        return RecordResult::Failed;
    }
    return RecordResult::Done;
}

RecordResult UpdateRecord(TableHandle& h, bool fromForm)
{
    Database& db = h.database();
    const TableId t = rulesOf(h.table());
    const QString label = tableDef(t).label;
    const qint64 pos = h.position();
    // The link values as they were when the record was read.
    const Row before = h.original();

    Related rel{db, {}};
    for (TableId related : relatedTables(t, false))
        rel.open(related);

    // Part of the caller's transaction when one is open: one transaction per user action.
    TransactionGuard tx(db, 2000, TransactionGuard::Nesting::Join);
    if (!tx.ok()) {
        db.saveError();
        StandardWarning(db, StdMsg::TransactionFramingError, QStringLiteral("Update"), label);
        return RecordResult::Failed;
    }
    if (h.put()) {
        const StorageError e = h.lastError();
        db.saveError(e);
        if (e.code == RecordChanged) {
            if (fromForm)
                StandardWarning(db, StdMsg::RecordNotUpdated);
            else
                StandardWarning(db, StdMsg::UpdateOperationError, QStringLiteral("Record Changed by Another Station"));
            h.fetch(pos);
            return RecordResult::ChangedElsewhere;
        }
        StandardWarning(db, StdMsg::UpdateOperationError, label);
        return RecordResult::Failed;
    }

    auto oldValue = [&](const QString& field) {
        const int i = h.def().fieldIndex(field);
        return i < before.size() ? before.at(i) : QVariant();
    };
    auto failed = [&] {
        // Nothing was stored: the buffer keeps the user's values, the original the stored record.
        h.setOriginal(before);
        return RecordResult::Failed;
    };

    // The children follow a changed link value, or the change is refused while they exist.
    for (const Relation& r : relationsOf(t)) {
        if (r.onChange == OnChange::Nothing || before.isEmpty())
            continue;
        const QVariant oldLink = oldValue(field(r.parentField));
        const QVariant newLink = h.value(field(r.parentField));
        if (!linkChanged(oldLink, newLink))
            continue;
        TableHandle& child = rel.open(r.child);
        if (r.onChange == OnChange::Refuse) {
            const int used = hasChild(child, field(r.childKey), field(r.childField), oldLink);
            if (used < 0)
                return failed();
            if (used > 0) {
                tx.rollback();
                StandardWarning(db, StdMsg::UpdateIntegrityError, child.def().label);
                h.setValue(field(r.parentField), oldLink);
                return failed();
            }
            continue;
        }
        if (!cascade(child, field(r.childKey), field(r.childField), oldLink, newLink, child.def().label))
            return failed();
    }

    if (tx.commit()) {
        db.saveError();
        StandardWarning(db, StdMsg::UpdateOperationError, label);
        return failed();
    }
    return RecordResult::Done;
}

qint64 nextNumber(Database& db, TableId table)
{
    const TableDef& t = tableDef(table);
    const int pk = t.primaryKey();
    if (pk < 0)
        return 1;
    TableUse use(db, table);
    const QString col = schema::quoted(t.fields.at(t.keys.at(pk).fields.first()).name);
    const QString cond = schema::keyCondition(t, pk);
    Statement st(db.connection(), QStringLiteral("SELECT %1 FROM %2 %3 ORDER BY %1 DESC LIMIT 1")
                                      .arg(col, Database::sqlTable(table),
                                           cond.isEmpty() ? QString() : QLatin1String("WHERE ") + cond));
    const int rc = st.step();
    if (rc == SQLITE_DONE)
        return 1;
    if (rc != SQLITE_ROW) {
        db.setLastSqliteError(rc);
        return -1;
    }
    return st.int64(0) + 1;
}

RecordResult addNumbered(TableHandle& h, const std::function<bool(TableHandle&)>& prime)
{
    Database& db = h.database();
    const TableDef& t = h.def();
    int attempts = 0;
    for (;;) {
        if (prime) {
            if (!prime(h))
                return RecordResult::Failed;
        } else {
            const qint64 n = nextNumber(db, h.table());
            if (n < 0) {
                db.saveError();
                StandardWarning(db, StdMsg::RecordRetrievalError, t.label);
                return RecordResult::Failed;
            }
            const int pk = t.primaryKey();
            if (pk >= 0)
                h.setValue(t.keys.at(pk).fields.first(), n);
        }
        if (h.add() == 0)
            return RecordResult::Done;
        if (++attempts < 3)
            continue;
        db.saveError(h.lastError());
        if (StandardWarning(db, StdMsg::AutoIncrementError) != Retry)
            return RecordResult::Failed;
        attempts = 0;
    }
}

} // namespace td

#include "songs/CategoryLookup.h"

#include "core/Messages.h"
#include "core/TextField.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

#include <algorithm>

namespace td {

namespace {

int nameWidth()
{
    const TableDef& t = tableDef(TableId::Categories);
    return t.field(t.fieldIndex(QStringLiteral("Category"))).width;
}

} // namespace

bool loadCategoryList(Database& db, QList<CategoryEntry>& out)
{
    out.clear();
    Table<Categories> t(db);
    t.set(t.key(QStringLiteral("CAT:KeyCategoryID")));
    for (;;) {
        const int err = t.next();
        if (err == RecordNotAvailable)
            break;
        if (err) {
            db.saveError(t.lastError());
            StandardWarning(db, StdMsg::RecordRetrievalError, QStringLiteral("Categories"));
            out.clear();
            return false;
        }
        out.append({ t.rec.Category, t.rec.CategoryID });
    }
    std::stable_sort(out.begin(), out.end(),
        [](const CategoryEntry& a, const CategoryEntry& b) { return compareKeyText(a.name, b.name) < 0; });
    return true;
}

int findCategory(const QList<CategoryEntry>& list, const QString& name)
{
    const QString wanted = clip(name);
    for (int i = 0; i < list.size(); ++i)
        if (clip(list.at(i).name) == wanted)
            return i;
    for (int i = 0; i < list.size(); ++i)
        if (sameKeyText(list.at(i).name, wanted))
            return i;
    return -1;
}

QString categoryNameOf(const QList<CategoryEntry>& list, qint64 id)
{
    if (id == 0)
        return {};
    for (const auto& e : list)
        if (e.id == id)
            return e.name;
    return {};
}

int addCategoryNamed(Database& db, const QString& name, qint64* id, StorageError* error)
{
    Table<Categories> t(db);
    const int width = nameWidth();
    // Two windows adding at once may take the same number: the loser takes the next one.
    int err = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const qint64 next = nextNumber(db, TableId::Categories);
        if (next < 0) {
            err = db.lastError().code ? db.lastError().code : InvalidRecord;
            if (error)
                *error = db.lastError();
            return err;
        }
        t.clear();
        t.rec.CategoryID = next;
        t.rec.Category = storeText(name, width);
        err = t.add();
        if (err == 0) {
            if (id)
                *id = next;
            return 0;
        }
        if (err != DuplicateKey
            || t.lastError().key.compare(QLatin1String("CAT:KeyCategoryID"), Qt::CaseInsensitive))
            break;
    }
    if (error)
        *error = t.lastError();
    return err;
}

CategoryAccept acceptCategoryName(Database& db, QList<CategoryEntry>& list, const QString& typed, qint64* id)
{
    const QString name = storeText(typed, nameWidth());
    if (name.trimmed().isEmpty()) {
        *id = 0;
        return CategoryAccept::Linked;
    }
    int i = findCategory(list, name);
    if (i >= 0) {
        *id = list.at(i).id;
        return CategoryAccept::Linked;
    }
    const int answer = db.messages().show(
        QStringLiteral("Category not found"), QStringLiteral("Add new category?"), Icon::None, Yes | No, Yes);
    if (answer != Yes)
        return CategoryAccept::Refused;
    StorageError e;
    if (addCategoryNamed(db, name, nullptr, &e) != 0) {
        db.messages().show(QStringLiteral("Error!"),
            QStringLiteral("Unable to add category - ") + errorTextOf(e), Icon::Information, Ok, Ok);
    }
    // Accepted once more on the fresh list: the new name (or one another window added meanwhile)
    // is found; when it still is not there the field is refused rather than asked again.
    if (!loadCategoryList(db, list))
        return CategoryAccept::Refused;
    i = findCategory(list, name);
    if (i < 0)
        return CategoryAccept::Refused;
    *id = list.at(i).id;
    return CategoryAccept::Linked;
}

} // namespace td

#pragma once
// The category look-up by name shared by every form with a category combo (the song form, the
// album's song form, the add-album wizards): the combo's list of (name, identifier), the search of
// a typed name, and the offer to add a name that does not exist yet.

#include <QList>
#include <QString>

namespace td {

class Database;
class Messages;
struct StorageError;

struct CategoryEntry {
    QString name;
    qint64 id = 0;
};

// Every category, read in CAT:KeyCategoryID order and sorted by name (letter case ignored).
// A read error shows message 35 naming "Categories" and returns false.
bool loadCategoryList(Database& db, QList<CategoryEntry>& out);

// The entry for a typed name: an exact match first, then one that differs only in letter case or
// trailing blanks (the table refuses such a second name, so it can only mean the same category).
// -1 when none.
int findCategory(const QList<CategoryEntry>& list, const QString& name);

// The name of a category identifier in the list; empty for 0 or an identifier not in it.
QString categoryNameOf(const QList<CategoryEntry>& list, qint64 id);

// Adds a category with the next identifier and the name (cut to its width). 0 and the new
// identifier, or the storage error code with the error in *error.
int addCategoryNamed(Database& db, const QString& name, qint64* id, StorageError* error);

// What accepting a category combo decided.
enum class CategoryAccept {
    Linked, // *id holds the identifier to store (0 for a blank name)
    Refused, // the name was not taken: the focus stays on the combo
};

// Accepting a typed category name: blank gives 0; a listed name its identifier; any other name
// asks "Add new category?" and on Yes adds it, fills the list again and accepts once more.
CategoryAccept acceptCategoryName(Database& db, QList<CategoryEntry>& list, const QString& typed, qint64* id);

} // namespace td

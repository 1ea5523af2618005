#pragma once
// The parent/child relations between tables, as data beside the field catalogue: which child
// records refer to a parent, through which key they are found, and what a delete or a change of
// the parent does to them. DeleteRecord and UpdateRecord read this table in one loop; a new table
// adds rows here, not code there.

#include "data/FieldCatalog.h"

#include <QList>

namespace td {

enum class OnDelete {
    Nothing, // the children stay
    Refuse, // the parent is not deleted while a child refers to it (message 13 naming the child)
    Cascade, // the children are deleted first, each under its own table's rules
};

enum class OnChange {
    Nothing, // the link value never changes, or the children keep the old one
    Refuse, // the old link value is put back and the change fails (message 12 naming the child)
    Carry, // the children take the new link value
};

struct Relation {
    TableId parent;
    const char* parentField; // the link value in the parent ("PlaylistID")
    TableId child; // A_Songs is a child of its own (its own handle and label)
    const char* childField; // the link field in the child
    const char* childKey; // the child key whose first field is the link
    OnDelete onDelete;
    OnChange onChange;
};

// Every relation, the rules of one parent in the order they are applied.
const QList<Relation>& relations();
QList<Relation> relationsOf(TableId parent);

// The tables the rules of a parent read or write: its children, and for children deleted with it
// the tables their own rules need, recursively. They are opened before the transaction begins.
QList<TableId> relatedTables(TableId parent, bool forDelete);

// The table whose rules apply to records of `table` (A_Songs is a view of the song table).
TableId rulesOf(TableId table);

} // namespace td

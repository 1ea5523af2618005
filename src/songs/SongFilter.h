#pragma once
// The filter schema of the song list and song views: every field of the song table by its label
// ("MUS:Artist", the memos included) read from its column, "CAT:Category" (the name of the song's
// category) and "MED:Media" (the media record of the song's media name) read through subqueries,
// and the named value "CAT:CategoryID" (the category chosen for the "By Category" tab).
//
// A search compiles to a parameterised SQL condition over the song table. A "Begins With" on the
// field the list is ordered by also gets a range on that field, so the key's index finds the first
// page at once instead of scanning up to it; the range is only added where it cannot leave out a
// song the condition takes.

#include "core/FilterExpr.h"
#include "core/FilterSchema.h"

#include <QString>
#include <QVariantList>
#include <functional>

namespace td {

// The song fields are read as "Tunedeck"."<column>", so the schema fits any query over the song
// table (A_Songs reads the same file). The getter gives the "By Category" tab's category.
FilterSchema songFilterSchema(std::function<qint64()> selectedCategory = {});

struct SongSearch {
    bool valid = true;          // false: the text does not read (error says why); sql is "0"
    QString error;
    QString sql;                // empty: no condition
    QVariantList params;
    // The range a "Begins With" on the ordered field added (low <= value < high in key order);
    // empty when none.
    QString rangeLow;
    QString rangeHigh;
};

// Compiles a search filter. `orderedBy` is the field label whose key gives the list's order from
// the start ("MUS:Title" on "By Title"), or empty; a "Begins With" on it gets the range.
SongSearch compileSongSearch(const QString& filterText, const FilterSchema& schema, const QString& orderedBy = {});

// The longest leading part of an upper-case "Begins With" text for which every text whose upper
// case starts with it also sorts (in the key order: case folded) between that part and the part
// with its last character raised by one. Exposed for tests.
QString beginsWithRangePrefix(const QString& upperText);

} // namespace td

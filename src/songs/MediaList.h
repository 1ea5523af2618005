#pragma once
// The media names behind the media drop lists and the check that a song's media exists.

#include <QString>
#include <QStringList>

namespace td {

class Database;

// Every media name, sorted (letter case ignored). A read error shows message 35 naming "Media" and
// returns false.
bool loadMediaNames(Database& db, QStringList& out);

// Whether a media name is in MED:KeyMedia (letter case and trailing blanks ignored, as the key
// compares). A blank name is never there.
bool mediaExists(Database& db, const QString& name);

// The entry of a name in a loaded list: the exact name first, then one equal as the key compares.
// -1 when none.
int findMedia(const QStringList& names, const QString& name);

} // namespace td

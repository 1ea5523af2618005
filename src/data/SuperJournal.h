#pragma once
// Stale super-journals of the main file. A commit over several data files writes
// "tdpmain.db-mj…" beside the main file, names it in each file's journal, and deletes it as the
// commit's last step. A kill before the journals name it leaves a file nothing ever removes.

#include <QString>
#include <QStringList>

namespace td {

// Removes the super-journals of `mainFile` that no journal names any longer and that are older
// than `minAgeSeconds` (younger ones may belong to a commit of another copy that is running right
// now). One that a journal still names is left alone: SQLite needs it to roll that journal back
// when its file is opened, and removes it itself afterwards. Returns the files removed.
QStringList removeStaleSuperJournals(const QString& mainFile, int minAgeSeconds = 60);

} // namespace td

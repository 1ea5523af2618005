#pragma once
// One slice of a batch run over a table: up to `count` rows read and handled inside one transaction,
// so that a run killed at any moment leaves every row either done or untouched. Each slice first
// lets the writers of other running copies that wait for the lock go (Database::begin). A
// transaction that cannot begin, a read error and a failed commit are reported with their
// standard messages.

#include <QString>
#include <functional>

namespace td {

class Database;

enum class SliceResult {
    More, // rows remain
    End, // the last row was handled
    Stopped, // an error ended the run (its message has been shown)
};

// `readNext` reads the following row (0, 33 at the end, or an error code); `handle` processes it
// and returns false to stop the run after showing its own message (the slice is then rolled back).
// `readTable` names the table read in message 35, `writeTable` the one written in messages 34 and 31.
SliceResult runSlice(Database& db, int count, const QString& readTable, const QString& writeTable,
    const std::function<int()>& readNext, const std::function<bool()>& handle);

} // namespace td

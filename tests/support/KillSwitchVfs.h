#pragma once
// A file layer over SQLite's own for tests that must stop a process in the middle of a commit, as
// a kill or a power loss would: once armed, the n-th write to a data file (not a journal) whose
// name ends as given kills the process right after that write. Installed as the default layer,
// so every connection opened afterwards goes through it; until armed it only passes calls on.

#include <QString>

namespace td::test {

void installKillSwitchVfs();
// Kills the process at the `nth` write (1 = the first) to a data file whose path ends with `fileName`.
void armKillSwitch(const QString& fileName, int nth);

} // namespace td::test

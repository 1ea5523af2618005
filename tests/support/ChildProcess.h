#pragma once
// Tests that need a second process (another copy of the program writing to the same catalogue, a
// copy killed in the middle of a commit) run their own test program again in a named role:
//
//   int main(int argc, char** argv)
//   {
//       if (const int rc = td::test::runChildRole(argc, argv, roles()); rc >= 0)
//           return rc;
//       ... the tests ...
//   }

#include <QHash>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <memory>

namespace td::test {

using ChildRoles = QHash<QString, std::function<int(const QStringList& args)>>;

// The role's exit code when this process was started as a child; -1 otherwise.
int runChildRole(int argc, char** argv, const ChildRoles& roles);

// This test program again, in `role` with `args`, started (nullptr when it could not start).
// Its output goes to this program's own.
std::unique_ptr<QProcess> startChild(const QString& role, const QStringList& args);

// What a command-line tool said when it finished: its exit code (-1 when it crashed or did not end
// within the wait) and what it wrote.
struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Waits for `p`, already started, to end and collects what it said.
ToolRun finishTool(QProcess& p, int waitMs);

} // namespace td::test

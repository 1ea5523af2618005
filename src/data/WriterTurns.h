#pragma once
// Turn-taking between the running copies of the program and the command-line tools that write to
// one data folder. SQLite hands its write lock to whoever asks at the right moment, not to whoever
// has waited longest: a bulk run that begins its next slice right after committing the last one
// would keep a save of another copy waiting until its lock wait runs out. So:
//  - a writer waiting for the write lock says so, with a shared lock on "tdpmain.db-wait" while
//    it waits;
//  - a bulk run that writes (an import) holds a shared lock on "tdpmain.db-bulk" while it lasts,
//    and lets every waiting writer go first before it begins its next slice;
//  - a writer whose lock wait ran out while a bulk run was going waits once more: the run ends its
//    slice and then steps aside, so a save never fails because of a bulk run.
// The marks are advisory locks on two empty files beside the main file, dropped by the system when
// a process ends in any way. Where they cannot be made (a read-only folder) nobody writes anyway.

#include <QString>

namespace td {

class WriterTurns {
public:
    explicit WriterTurns(const QString& mainFile);
    ~WriterTurns();
    WriterTurns(const WriterTurns&) = delete;
    WriterTurns& operator=(const WriterTurns&) = delete;

    // Marks this connection as a writer waiting for the lock while the object lives.
    class Waiting {
    public:
        explicit Waiting(WriterTurns* turns);
        ~Waiting();
        Waiting(const Waiting&) = delete;
        Waiting& operator=(const Waiting&) = delete;

    private:
        WriterTurns* turns_;
        bool held_ = false;
    };

    // This process runs a bulk run that writes (on), or no longer does (off).
    void setBulk(bool on);
    // Some process (this one too) runs a bulk run that writes.
    bool bulkRunning() const;
    // Some process waits for the write lock.
    bool writersWaiting() const;
    // Returns when no writer waits any longer, or after `maxMs`.
    void letWaitingWritersGo(int maxMs) const;

private:
    int waitFd_ = -1; // held shared while waiting
    int waitProbeFd_ = -1; // tried exclusively to see whether anyone waits
    int bulkFd_ = -1; // held shared while a bulk run lasts
    int bulkProbeFd_ = -1;
    bool bulk_ = false;
};

} // namespace td

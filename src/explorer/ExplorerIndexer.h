#pragma once
// Makes the indexes an explorer view orders its columns by, ahead of the clicks, on a thread of its
// own with its own connection to the data file: one index at a time, the one the user asked for
// first (the one being made then gives way and is made again later). Making an index holds the file's write lock for seconds on a large catalogue, so the
// thread steps aside (abandons the index and starts it again later) as soon as a writer of the
// program waits for a data file; a file that cannot take an index (read-only, a failing disk) is
// left without it and the view orders by scanning as before.

#include <QList>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

struct sqlite3;

namespace td {

class ExplorerIndexer {
public:
    enum class State { Pending, Built, Failed };

    // `file`: the data file; `schema`: the name the statements qualify it with; `sql`: per key the
    // statement that makes its index (empty: nothing to make for that key). Starts at once.
    ExplorerIndexer(const QString& file, const QString& schema, const QList<QString>& sql);
    // Abandons the index being made (it is made again at the next opening) and waits for the thread.
    ~ExplorerIndexer();
    ExplorerIndexer(const ExplorerIndexer&) = delete;
    ExplorerIndexer& operator=(const ExplorerIndexer&) = delete;

    State state(int key) const;
    // Makes this key's index next (after the one being made now).
    void prefer(int key);
    // Waits at most `ms` for the key's index; true when it is made.
    bool waitFor(int key, int ms);
    // True once every index is made or given up.
    bool finished() const;

private:
    static int progress(void* indexer); // SQLite's progress handler: non-zero abandons the index
    void run();
    int nextKey() const; // under mutex_; -1 when nothing is left
    bool pause(int ms); // false when stopping
    int make(sqlite3* c, int key); // SQLite's result

    const QString file_;
    const QString schema_;
    const QList<QString> sql_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    QList<State> states_;
    int preferred_ = -1;
    bool done_ = false;
    std::atomic<bool> stop_ { false };
    std::atomic<int> making_ { -1 }; // the key whose index is being made
    std::atomic<int> wanted_ { -1 }; // the key the user asked for
    std::thread thread_;
};

} // namespace td

#include "explorer/ExplorerIndexer.h"

#include "data/Collation.h"
#include "data/WriteIntent.h"

#include <chrono>
#include <sqlite3.h>
#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace td {

namespace {

// The commit of a made index waits this long for the program's readers to let go of the file.
constexpr int kCommitWaitMs = 1000;
// After stepping aside for a writer, the thread waits this long for its transaction to end.
constexpr int kAfterWriterMs = 300;
// A file locked by another program is tried again this often, this many times.
constexpr int kLockedRetryMs = 1000;
constexpr int kLockedTries = 60;

} // namespace

ExplorerIndexer::ExplorerIndexer(const QString& file, const QString& schema, const QList<QString>& sql)
    : file_(file)
    , schema_(schema)
    , sql_(sql)
{
    for (const QString& s : sql_)
        states_ << (s.isEmpty() ? State::Built : State::Pending);
    thread_ = std::thread([this] { run(); });
}

ExplorerIndexer::~ExplorerIndexer()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

int ExplorerIndexer::progress(void* indexer)
{
    const auto* self = static_cast<const ExplorerIndexer*>(indexer);
    if (self->stop_.load(std::memory_order_relaxed) || writersWaiting().load(std::memory_order_relaxed) > 0)
        return 1;
    // The user asked for another column: its index first, this one again afterwards.
    const int wanted = self->wanted_.load(std::memory_order_relaxed);
    return wanted >= 0 && wanted != self->making_.load(std::memory_order_relaxed);
}

ExplorerIndexer::State ExplorerIndexer::state(int key) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return key >= 0 && key < states_.size() ? states_.at(key) : State::Failed;
}

void ExplorerIndexer::prefer(int key)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        preferred_ = key;
        wanted_ = key >= 0 && key < states_.size() && states_.at(key) == State::Pending ? key : -1;
    }
    changed_.notify_all();
}

bool ExplorerIndexer::waitFor(int key, int ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (key < 0 || key >= states_.size())
        return false;
    if (ms > 0)
        changed_.wait_for(
            lock, std::chrono::milliseconds(ms), [&] { return states_.at(key) != State::Pending || done_; });
    return states_.at(key) == State::Built;
}

bool ExplorerIndexer::finished() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return done_;
}

int ExplorerIndexer::nextKey() const
{
    if (preferred_ >= 0 && preferred_ < states_.size() && states_.at(preferred_) == State::Pending)
        return preferred_;
    return int(states_.indexOf(State::Pending));
}

bool ExplorerIndexer::pause(int ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_.load(); });
    return !stop_;
}

int ExplorerIndexer::make(sqlite3* c, int key)
{
    const QByteArray sql = sql_.at(key).toUtf8();
    const int rc = sqlite3_exec(c, sql.constData(), nullptr, nullptr, nullptr);
    if (!sqlite3_get_autocommit(c))
        sqlite3_exec(c, "ROLLBACK", nullptr, nullptr, nullptr);
    // The pages of the made index are not kept: the view reads through its own connection.
    sqlite3_db_release_memory(c);
    return rc;
}

void ExplorerIndexer::run()
{
#ifdef __linux__
    // Behind the program's own work: the view reads its pages meanwhile.
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10);
#endif
    sqlite3* c = nullptr;
    bool usable = sqlite3_open_v2(":memory:", &c, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    if (usable) {
        sqlite3_extended_result_codes(c, 1);
        sqlite3_busy_timeout(c, kCommitWaitMs);
        registerKeyCollation(c);
        sqlite3_stmt* attach = nullptr;
        const QByteArray attachSql = QStringLiteral("ATTACH ? AS \"%1\"").arg(schema_).toUtf8();
        usable = sqlite3_prepare_v2(c, attachSql.constData(), -1, &attach, nullptr) == SQLITE_OK;
        if (usable) {
            const QByteArray path = file_.toUtf8();
            sqlite3_bind_text(attach, 1, path.constData(), int(path.size()), SQLITE_TRANSIENT);
            usable = sqlite3_step(attach) == SQLITE_DONE;
        }
        sqlite3_finalize(attach);
        // The index is held in memory until its commit: pages written out before it would shut
        // the program's readers out of the file for the rest of the build.
        sqlite3_exec(c, "PRAGMA cache_spill=OFF", nullptr, nullptr, nullptr);
        sqlite3_progress_handler(c, 1000, progress, this);
    }
    int lockedTries = 0;
    while (usable && !stop_) {
        int key;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            key = nextKey();
        }
        if (key < 0)
            break;
        if (writersWaiting().load(std::memory_order_relaxed) > 0) {
            if (!pause(kAfterWriterMs))
                break;
            continue;
        }
        making_ = key;
        const int rc = make(c, key);
        making_ = -1;
        State result = State::Pending;
        if (rc == SQLITE_OK) {
            result = State::Built;
        } else if ((rc & 0xff) == SQLITE_INTERRUPT && wanted_ >= 0 && wanted_ != key && !stop_) {
            continue; // the column the user asked for first
        } else if ((rc & 0xff) == SQLITE_INTERRUPT) {
            // Stepped aside for a writer (or the view is closing): start this index again later.
            if (!pause(kAfterWriterMs))
                break;
            continue;
        } else if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED) {
            if (++lockedTries < kLockedTries) {
                if (!pause(kLockedRetryMs))
                    break;
                continue;
            }
            result = State::Failed;
        } else {
            result = State::Failed;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            states_[key] = result;
            if (wanted_ == key)
                wanted_ = -1;
        }
        changed_.notify_all();
    }
    sqlite3_close_v2(c);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (State& s : states_)
            if (s == State::Pending && !stop_)
                s = State::Failed;
        done_ = true;
    }
    changed_.notify_all();
}

} // namespace td

#include "data/WriterTurns.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace td {

namespace {

#if defined(Q_OS_UNIX)
int openMark(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
}

void closeMark(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

int lockMark(int fd, int how)
{
    int rc;
    do
        rc = ::flock(fd, how);
    while (rc != 0 && errno == EINTR);
    return rc;
}

// Someone holds the mark (shared): an exclusive try fails.
bool markHeld(int probeFd)
{
    if (probeFd < 0)
        return false;
    if (lockMark(probeFd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK;
    lockMark(probeFd, LOCK_UN);
    return false;
}
#endif

} // namespace

WriterTurns::WriterTurns(const QString& mainFile)
{
#if defined(Q_OS_UNIX)
    const QString wait = mainFile + QLatin1String("-wait");
    const QString bulk = mainFile + QLatin1String("-bulk");
    waitFd_ = openMark(wait);
    waitProbeFd_ = openMark(wait);
    bulkFd_ = openMark(bulk);
    bulkProbeFd_ = openMark(bulk);
#else
    Q_UNUSED(mainFile);
#endif
}

WriterTurns::~WriterTurns()
{
#if defined(Q_OS_UNIX)
    closeMark(waitFd_);
    closeMark(waitProbeFd_);
    closeMark(bulkFd_);
    closeMark(bulkProbeFd_);
#endif
}

WriterTurns::Waiting::Waiting(WriterTurns* turns)
    : turns_(turns)
{
#if defined(Q_OS_UNIX)
    // A shared lock waits only while someone probes (microseconds).
    held_ = turns_ && turns_->waitFd_ >= 0 && lockMark(turns_->waitFd_, LOCK_SH) == 0;
#endif
}

WriterTurns::Waiting::~Waiting()
{
#if defined(Q_OS_UNIX)
    if (held_)
        lockMark(turns_->waitFd_, LOCK_UN);
#endif
}

void WriterTurns::setBulk(bool on)
{
    if (on == bulk_)
        return;
#if defined(Q_OS_UNIX)
    if (bulkFd_ < 0)
        return;
    if (lockMark(bulkFd_, on ? LOCK_SH : LOCK_UN) != 0)
        return;
#endif
    bulk_ = on;
}

bool WriterTurns::bulkRunning() const
{
#if defined(Q_OS_UNIX)
    return markHeld(bulkProbeFd_);
#else
    return false;
#endif
}

bool WriterTurns::writersWaiting() const
{
#if defined(Q_OS_UNIX)
    return markHeld(waitProbeFd_);
#else
    return false;
#endif
}

void WriterTurns::letWaitingWritersGo(int maxMs) const
{
    QElapsedTimer clock;
    clock.start();
    while (writersWaiting() && clock.elapsed() < maxMs)
        QThread::msleep(5);
}

} // namespace td

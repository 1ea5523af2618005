#include "KillSwitchVfs.h"

#include <QByteArray>
#include <csignal>
#include <cstring>
#include <sqlite3.h>
#include <unistd.h>

namespace td::test {

namespace {

struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real; // lives right after this struct
    const char* name; // a data file's path (SQLite keeps it while the file is open); null otherwise
};

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs shimVfs;
sqlite3_io_methods shimMethods;
QByteArray armedName;
int writesLeft = 0;

sqlite3_file* real(sqlite3_file* f)
{
    return reinterpret_cast<ShimFile*>(f)->real;
}

int shimClose(sqlite3_file* f)
{
    return real(f)->pMethods->xClose(real(f));
}
int shimRead(sqlite3_file* f, void* buf, int n, sqlite3_int64 at)
{
    return real(f)->pMethods->xRead(real(f), buf, n, at);
}
int shimWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 at)
{
    const int rc = real(f)->pMethods->xWrite(real(f), buf, n, at);
    const char* name = reinterpret_cast<ShimFile*>(f)->name;
    if (name && writesLeft > 0 && QByteArray(name).endsWith(armedName) && --writesLeft == 0) {
        // Killed right after this write: no clean-up, nothing more written,
        // locks dropped by the system.
        ::kill(::getpid(), SIGKILL);
        ::_exit(137);
    }
    return rc;
}
int shimTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    return real(f)->pMethods->xTruncate(real(f), size);
}
int shimSync(sqlite3_file* f, int flags)
{
    return real(f)->pMethods->xSync(real(f), flags);
}
int shimFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return real(f)->pMethods->xFileSize(real(f), size);
}
int shimLock(sqlite3_file* f, int level)
{
    return real(f)->pMethods->xLock(real(f), level);
}
int shimUnlock(sqlite3_file* f, int level)
{
    return real(f)->pMethods->xUnlock(real(f), level);
}
int shimCheckReservedLock(sqlite3_file* f, int* out)
{
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int shimFileControl(sqlite3_file* f, int op, void* arg)
{
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int shimSectorSize(sqlite3_file* f)
{
    return real(f)->pMethods->xSectorSize(real(f));
}
int shimDeviceCharacteristics(sqlite3_file* f)
{
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int shimShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out)
{
    return real(f)->pMethods->xShmMap(real(f), page, size, extend, out);
}
int shimShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void shimShmBarrier(sqlite3_file* f)
{
    real(f)->pMethods->xShmBarrier(real(f));
}
int shimShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
int shimFetch(sqlite3_file* f, sqlite3_int64 at, int n, void** out)
{
    return real(f)->pMethods->xFetch(real(f), at, n, out);
}
int shimUnfetch(sqlite3_file* f, sqlite3_int64 at, void* p)
{
    return real(f)->pMethods->xUnfetch(real(f), at, p);
}

int shimOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* shim = reinterpret_cast<ShimFile*>(f);
    shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
    shim->base.pMethods = nullptr;
    const int rc = realVfs->xOpen(realVfs, name, shim->real, flags, outFlags);
    if (rc != SQLITE_OK || !shim->real->pMethods)
        return rc;
    shim->name = (flags & SQLITE_OPEN_MAIN_DB) ? name : nullptr;
    shimMethods.iVersion = shim->real->pMethods->iVersion;
    shim->base.pMethods = &shimMethods;
    return rc;
}

} // namespace

void installKillSwitchVfs()
{
    if (realVfs)
        return;
    realVfs = sqlite3_vfs_find(nullptr);
    shimVfs = *realVfs;
    shimVfs.zName = "td_killswitch";
    shimVfs.szOsFile = int(sizeof(ShimFile)) + realVfs->szOsFile;
    shimVfs.pNext = nullptr;
    shimVfs.xOpen = shimOpen;
    shimMethods = sqlite3_io_methods {
        3, shimClose, shimRead, shimWrite, shimTruncate, shimSync, shimFileSize, shimLock, shimUnlock,
        shimCheckReservedLock, shimFileControl, shimSectorSize, shimDeviceCharacteristics, shimShmMap,
        shimShmLock, shimShmBarrier, shimShmUnmap, shimFetch, shimUnfetch,
    };
    sqlite3_vfs_register(&shimVfs, 1);
}

void armKillSwitch(const QString& fileName, int nth)
{
    armedName = fileName.toUtf8();
    writesLeft = nth;
}

} // namespace td::test

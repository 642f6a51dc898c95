#include "WalWriteBatching.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

#include <sqlite3.h>

namespace bankd {

namespace {

constexpr const char* kName = "bankd-wal-batching";
// Gathered bytes written out at once when a single transaction grows past it.
constexpr std::size_t kMaxGathered = 1 << 20;
constexpr int kFrameHeaderSize = 24;
// The most one write call underneath takes (SQLite's own files write at most
// 128 KiB at once).
constexpr std::size_t kMaxWrite = 64 * 1024;

// SQLite's own VFS underneath.
sqlite3_vfs* gReal = nullptr;
std::atomic<std::uint64_t> gWalWrites{0};

sqlite3_vfs* underlying()
{
    return gReal;
}

struct File {
    sqlite3_file base;
    sqlite3_file* real;
    bool wal;
    bool committing;  // a commit frame's header was written: each write goes out at once
    std::string* gathered;
    sqlite3_int64 gatheredAt;
};

File* self(sqlite3_file* f)
{
    return reinterpret_cast<File*>(f);
}

const sqlite3_io_methods* realMethods(File* f)
{
    return f->real->pMethods;
}

// Writes what was gathered; on failure it is dropped (the transaction that
// wrote it fails with the error).
int flush(File* f)
{
    if (!f->gathered || f->gathered->empty())
        return SQLITE_OK;
    int rc = SQLITE_OK;
    const std::string& g = *f->gathered;
    for (std::size_t done = 0; done < g.size() && rc == SQLITE_OK; done += kMaxWrite) {
        const std::size_t n = std::min(kMaxWrite, g.size() - done);
        rc = realMethods(f)->xWrite(f->real, g.data() + done, static_cast<int>(n),
                                    f->gatheredAt + static_cast<sqlite3_int64>(done));
        gWalWrites.fetch_add(1, std::memory_order_relaxed);
    }
    f->gathered->clear();
    return rc;
}

int xClose(sqlite3_file* file)
{
    File* f = self(file);
    int rc = flush(f);
    int closed = f->real->pMethods ? realMethods(f)->xClose(f->real) : SQLITE_OK;
    sqlite3_free(f->real);
    delete f->gathered;
    f->real = nullptr;
    f->gathered = nullptr;
    return rc != SQLITE_OK ? rc : closed;
}

int xRead(sqlite3_file* file, void* p, int n, sqlite3_int64 off)
{
    File* f = self(file);
    if (int rc = flush(f); rc != SQLITE_OK)
        return rc;
    return realMethods(f)->xRead(f->real, p, n, off);
}

int xWrite(sqlite3_file* file, const void* p, int n, sqlite3_int64 off)
{
    File* f = self(file);
    if (!f->wal)
        return realMethods(f)->xWrite(f->real, p, n, off);
    std::string& g = *f->gathered;
    if (!g.empty() && off != f->gatheredAt + static_cast<sqlite3_int64>(g.size())) {
        if (int rc = flush(f); rc != SQLITE_OK)
            return rc;
    }
    if (g.empty())
        f->gatheredAt = off;
    g.append(static_cast<const char*>(p), static_cast<std::size_t>(n));
    // A frame header names the database's size after a commit in its commit
    // frame (and in the copies that pad a commit to a sector), zero in every
    // other. From a commit frame's header on, each write reaches the file at
    // once: all of a commit is there before SQLite marks it committed for
    // other connections to read, whatever the connection's sync setting.
    if (n == kFrameHeaderSize) {
        const auto* h = static_cast<const unsigned char*>(p);
        f->committing = (h[4] | h[5] | h[6] | h[7]) != 0;
        if (f->committing)
            return SQLITE_OK;  // its page follows
    }
    if (f->committing || g.size() >= kMaxGathered)
        return flush(f);
    return SQLITE_OK;
}

int xTruncate(sqlite3_file* file, sqlite3_int64 size)
{
    File* f = self(file);
    if (int rc = flush(f); rc != SQLITE_OK)
        return rc;
    return realMethods(f)->xTruncate(f->real, size);
}

int xSync(sqlite3_file* file, int flags)
{
    File* f = self(file);
    if (int rc = flush(f); rc != SQLITE_OK)
        return rc;
    return realMethods(f)->xSync(f->real, flags);
}

int xFileSize(sqlite3_file* file, sqlite3_int64* size)
{
    File* f = self(file);
    if (int rc = flush(f); rc != SQLITE_OK)
        return rc;
    return realMethods(f)->xFileSize(f->real, size);
}

int xLock(sqlite3_file* file, int l)
{
    return realMethods(self(file))->xLock(self(file)->real, l);
}

int xUnlock(sqlite3_file* file, int l)
{
    return realMethods(self(file))->xUnlock(self(file)->real, l);
}

int xCheckReservedLock(sqlite3_file* file, int* out)
{
    return realMethods(self(file))->xCheckReservedLock(self(file)->real, out);
}

int xFileControl(sqlite3_file* file, int op, void* arg)
{
    File* f = self(file);
    if (int rc = flush(f); rc != SQLITE_OK)
        return rc;
    return realMethods(f)->xFileControl(f->real, op, arg);
}

int xSectorSize(sqlite3_file* file)
{
    return realMethods(self(file))->xSectorSize(self(file)->real);
}

int xDeviceCharacteristics(sqlite3_file* file)
{
    return realMethods(self(file))->xDeviceCharacteristics(self(file)->real);
}

int xShmMap(sqlite3_file* file, int pg, int size, int extend, void volatile** p)
{
    return realMethods(self(file))->xShmMap(self(file)->real, pg, size, extend, p);
}

int xShmLock(sqlite3_file* file, int offset, int n, int flags)
{
    return realMethods(self(file))->xShmLock(self(file)->real, offset, n, flags);
}

void xShmBarrier(sqlite3_file* file)
{
    realMethods(self(file))->xShmBarrier(self(file)->real);
}

int xShmUnmap(sqlite3_file* file, int deleteFlag)
{
    return realMethods(self(file))->xShmUnmap(self(file)->real, deleteFlag);
}

int xFetch(sqlite3_file* file, sqlite3_int64 off, int n, void** p)
{
    return realMethods(self(file))->xFetch(self(file)->real, off, n, p);
}

int xUnfetch(sqlite3_file* file, sqlite3_int64 off, void* p)
{
    return realMethods(self(file))->xUnfetch(self(file)->real, off, p);
}

// One table per version of the methods underneath: SQLite calls only what
// the version it is told offers.
constexpr sqlite3_io_methods methodsOfVersion(int v)
{
    return {v,           xClose,        xRead,           xWrite,          xTruncate, xSync,
            xFileSize,   xLock,         xUnlock,         xCheckReservedLock, xFileControl, xSectorSize,
            xDeviceCharacteristics,     v >= 2 ? xShmMap : nullptr, v >= 2 ? xShmLock : nullptr,
            v >= 2 ? xShmBarrier : nullptr, v >= 2 ? xShmUnmap : nullptr, v >= 3 ? xFetch : nullptr,
            v >= 3 ? xUnfetch : nullptr};
}
constexpr sqlite3_io_methods kMethods[] = {methodsOfVersion(1), methodsOfVersion(2), methodsOfVersion(3)};

int xOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    File* f = self(file);
    f->base.pMethods = nullptr;
    sqlite3_vfs* real = underlying();
    f->real = static_cast<sqlite3_file*>(sqlite3_malloc(real->szOsFile));
    if (!f->real)
        return SQLITE_NOMEM;
    std::memset(f->real, 0, static_cast<std::size_t>(real->szOsFile));
    int rc = real->xOpen(real, name, f->real, flags, outFlags);
    if (rc != SQLITE_OK || !f->real->pMethods) {
        if (f->real->pMethods)
            f->real->pMethods->xClose(f->real);
        sqlite3_free(f->real);
        f->real = nullptr;
        return rc != SQLITE_OK ? rc : SQLITE_CANTOPEN;
    }
    f->wal = (flags & SQLITE_OPEN_WAL) != 0;
    f->committing = false;
    f->gatheredAt = 0;
    f->gathered = nullptr;
    if (f->wal) {
        try {
            f->gathered = new std::string();
        } catch (...) {
            f->real->pMethods->xClose(f->real);
            sqlite3_free(f->real);
            f->real = nullptr;
            return SQLITE_NOMEM;
        }
    }
    int v = f->real->pMethods->iVersion;
    f->base.pMethods = &kMethods[(v < 1 ? 1 : v > 3 ? 3 : v) - 1];
    return SQLITE_OK;
}

int xDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    sqlite3_vfs* r = underlying();
    return r->xDelete(r, name, syncDir);
}
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out)
{
    sqlite3_vfs* r = underlying();
    return r->xAccess(r, name, flags, out);
}
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out)
{
    sqlite3_vfs* r = underlying();
    return r->xFullPathname(r, name, n, out);
}
void* xDlOpen(sqlite3_vfs*, const char* name)
{
    sqlite3_vfs* r = underlying();
    return r->xDlOpen(r, name);
}
void xDlError(sqlite3_vfs*, int n, char* out)
{
    sqlite3_vfs* r = underlying();
    r->xDlError(r, n, out);
}
void (*xDlSym(sqlite3_vfs*, void* h, const char* sym))(void)
{
    sqlite3_vfs* r = underlying();
    return r->xDlSym(r, h, sym);
}
void xDlClose(sqlite3_vfs*, void* h)
{
    sqlite3_vfs* r = underlying();
    r->xDlClose(r, h);
}
int xRandomness(sqlite3_vfs*, int n, char* out)
{
    sqlite3_vfs* r = underlying();
    return r->xRandomness(r, n, out);
}
int xSleep(sqlite3_vfs*, int us)
{
    sqlite3_vfs* r = underlying();
    return r->xSleep(r, us);
}
int xCurrentTime(sqlite3_vfs*, double* t)
{
    sqlite3_vfs* r = underlying();
    return r->xCurrentTime(r, t);
}
int xGetLastError(sqlite3_vfs*, int n, char* out)
{
    sqlite3_vfs* r = underlying();
    return r->xGetLastError ? r->xGetLastError(r, n, out) : 0;
}
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t)
{
    sqlite3_vfs* r = underlying();
    if (r->iVersion >= 2 && r->xCurrentTimeInt64)
        return r->xCurrentTimeInt64(r, t);
    double d = 0;
    int rc = r->xCurrentTime(r, &d);
    *t = static_cast<sqlite3_int64>(d * 86400000.0);
    return rc;
}

sqlite3_vfs gVfs;
std::once_flag gRegistered;

} // namespace

void installWalWriteBatching()
{
    std::call_once(gRegistered, [] {
        gReal = sqlite3_vfs_find(nullptr);
        sqlite3_vfs* r = gReal;
        gVfs = sqlite3_vfs{};
        gVfs.iVersion = 2;
        gVfs.szOsFile = static_cast<int>(sizeof(File));
        gVfs.mxPathname = r->mxPathname;
        gVfs.zName = kName;
        gVfs.xOpen = xOpen;
        gVfs.xDelete = xDelete;
        gVfs.xAccess = xAccess;
        gVfs.xFullPathname = xFullPathname;
        gVfs.xDlOpen = xDlOpen;
        gVfs.xDlError = xDlError;
        gVfs.xDlSym = xDlSym;
        gVfs.xDlClose = xDlClose;
        gVfs.xRandomness = xRandomness;
        gVfs.xSleep = xSleep;
        gVfs.xCurrentTime = xCurrentTime;
        gVfs.xGetLastError = xGetLastError;
        gVfs.xCurrentTimeInt64 = xCurrentTimeInt64;
        sqlite3_vfs_register(&gVfs, 1);
    });
}

std::uint64_t walWriteCalls()
{
    return gWalWrites.load(std::memory_order_relaxed);
}

} // namespace bankd

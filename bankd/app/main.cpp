#include "Commands.h"

#include <malloc.h>
#include <sqlite3.h>

int main(int argc, char** argv)
{
    // SQLite's allocation statistics are never read; kept, they put one
    // process-wide lock around every allocation of every connection, which
    // the server's serving threads then contend for.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    // Memory freed at the top of a thread's heap stays with the process (up to
    // 32 MiB) instead of going back to the kernel at once: each such return
    // (madvise) flushes the address space's TLB on every core, and the
    // database writer frees its savepoint journal after every write. Blocks
    // up to 4 MiB come from the heaps, not from a mapping of their own each.
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    return bankd::cli::run(argc, argv);
}

#pragma once
// An SQLite VFS that gathers the writes of a commit to the WAL file into one
// system call. SQLite writes each page of a commit to the WAL as two calls (a
// 24-byte frame header, then the page); here they are kept in memory, in
// order, and written with one call before anything that needs them on the
// file: a sync (the commit's durability point), a read, a size query or
// change, a file control, the file's close. Nothing is reported durable that
// was not written and synced, and a write error surfaces no later than the
// sync, which then fails the commit.
//
// Every other file (the database, its index, journals) passes straight
// through to SQLite's own VFS, the process's default when this one is
// installed. This one then becomes the default.
#include <cstdint>

namespace bankd {

// Installs the VFS as the process's default (once; later calls do nothing).
void installWalWriteBatching();

// Write calls made to WAL files underneath so far.
std::uint64_t walWriteCalls();

} // namespace bankd

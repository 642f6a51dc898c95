#pragma once
// The database engine a bankd test program runs on. Without BANKD_TEST_POSTGRES
// every store is an SQLite file. With it (a PostgreSQL URL, or a file whose first
// line is one: the test run's throwaway server), every test case gets a fresh
// schema of that server (dropped after the case unless the server is the
// run's own) and stores made through location() live there.
#include <string>

#include "Store.h"

namespace bankd::test {

// True when this run is on PostgreSQL.
bool onPostgres();
// The connection string of the running test case's own schema ("" on SQLite).
std::string postgresUrl();
// Where a test store lives: the SQLite file `path`, or the case's schema with
// its key file beside `path`.
StoreLocation location(const std::string& path);
// " --postgres URL" for `bankd init` on PostgreSQL, "" on SQLite.
std::string initPostgresArg();
// Empties the test case's schema (a test that makes several databases in turn).
void renewSchema();

} // namespace bankd::test

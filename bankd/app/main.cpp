#include "Commands.h"

#include <sqlite3.h>

int main(int argc, char** argv)
{
    // SQLite's allocation statistics are never read; kept, they put one
    // process-wide lock around every allocation of every connection, which
    // the server's serving threads then contend for.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return bankd::cli::run(argc, argv);
}

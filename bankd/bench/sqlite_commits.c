/* The disk's yardstick for bankd's durable transfers: single-row INSERTs, one
 * transaction each, into a fresh SQLite database in WAL mode with
 * synchronous=FULL (every commit synced), for a bounded time on one thread.
 * Prints the commits per second and the commit latency percentiles.
 *
 *   sqlite_commits DIR [seconds]     (DIR: a folder on the disk to measure)
 */
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double now_s(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

static int by_value(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

static int check(sqlite3* db, int rc, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        fprintf(stderr, "sqlite_commits: %s: %s\n", what, sqlite3_errmsg(db));
        return 0;
    }
    return 1;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: sqlite_commits DIR [seconds]\n");
        return 2;
    }
    const double seconds = argc > 2 ? atof(argv[2]) : 5.0;
    char path[4096];
    snprintf(path, sizeof path, "%s/commits-%d.db", argv[1], (int)getpid());

    sqlite3* db = NULL;
    if (sqlite3_open(path, &db) != SQLITE_OK) {
        fprintf(stderr, "sqlite_commits: cannot open %s\n", path);
        return 1;
    }
    int ok = check(db, sqlite3_exec(db, "PRAGMA journal_mode=WAL", NULL, NULL, NULL), "WAL") &&
             check(db, sqlite3_exec(db, "PRAGMA synchronous=FULL", NULL, NULL, NULL), "synchronous") &&
             check(db,
                   sqlite3_exec(db,
                                "CREATE TABLE rows (id INTEGER PRIMARY KEY, account TEXT NOT NULL, "
                                "amount INTEGER NOT NULL, at TEXT NOT NULL)",
                                NULL, NULL, NULL),
                   "create");
    sqlite3_stmt* ins = NULL;
    ok = ok && check(db,
                     sqlite3_prepare_v2(db, "INSERT INTO rows (account, amount, at) VALUES (?1, ?2, ?3)", -1, &ins,
                                        NULL),
                     "prepare");

    size_t cap = 1 << 16, n = 0;
    double* lat = malloc(cap * sizeof *lat);
    const double start = now_s();
    double t = start;
    while (ok && lat && t - start < seconds) {
        const double t0 = now_s();
        ok = check(db, sqlite3_exec(db, "BEGIN", NULL, NULL, NULL), "begin");
        sqlite3_bind_text(ins, 1, "110-20-123456", -1, SQLITE_STATIC);
        sqlite3_bind_int64(ins, 2, (sqlite3_int64)(n + 1) * 1000);
        sqlite3_bind_text(ins, 3, "2026-01-01 09:00:00", -1, SQLITE_STATIC);
        ok = ok && check(db, sqlite3_step(ins), "insert");
        sqlite3_reset(ins);
        ok = ok && check(db, sqlite3_exec(db, "COMMIT", NULL, NULL, NULL), "commit");
        t = now_s();
        if (n == cap) {
            cap *= 2;
            double* grown = realloc(lat, cap * sizeof *lat);
            if (!grown)
                break;
            lat = grown;
        }
        lat[n++] = (t - t0) * 1000.0;
    }
    const double elapsed = t - start;
    sqlite3_finalize(ins);
    sqlite3_close(db);
    char extra[4200];
    unlink(path);
    snprintf(extra, sizeof extra, "%s-wal", path);
    unlink(extra);
    snprintf(extra, sizeof extra, "%s-shm", path);
    unlink(extra);
    if (!ok || !lat || n == 0) {
        free(lat);
        return 1;
    }
    qsort(lat, n, sizeof *lat, by_value);
    printf("commits=%zu seconds=%.2f cps=%.1f p50=%.3fms p99=%.3fms\n", n, elapsed, (double)n / elapsed,
           lat[n / 2], lat[(size_t)((double)n * 0.99)]);
    free(lat);
    return 0;
}

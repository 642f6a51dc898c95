#pragma once
// Versioned database schema, the same steps on both engines. SQLite: PRAGMA
// user_version holds the version reached and PRAGMA application_id marks the
// file as a bank database. PostgreSQL: the table bankd_schema holds the
// version (and marks the schema as the bank's); the steps' DDL is translated
// (INTEGER PRIMARY KEY ids become identity columns, integers BIGINT, text
// compared byte by byte as in SQLite). Each migration runs in its own
// transaction on SQLite, all pending ones in one on PostgreSQL, so a failed
// step leaves the previous version intact.
#include <stdexcept>
#include <string>
#include <vector>

namespace bankd {

class Db;

inline constexpr int kApplicationId = 0x54565042;  // "TVPB"

struct Migration {
    int version;      // version reached after this step
    const char* sql;  // statements without values
    // Used on PostgreSQL instead of the translated `sql`, where a step must differ.
    const char* postgres = nullptr;
};

class SchemaTooNew : public std::runtime_error {
public:
    SchemaTooNew(int found, int known);
    int found;
    int known;
};

class ForeignDatabase : public std::runtime_error {
public:
    explicit ForeignDatabase(const std::string& what) : std::runtime_error(what) {}
};

class Schema {
public:
    // The migrations of this build, in version order.
    static const std::vector<Migration>& migrations();
    static int currentVersion();

    // Brings the database up to the last migration of the list. Refuses a file
    // written by a newer build (SchemaTooNew) or by another program
    // (ForeignDatabase). Returns the version found before migrating.
    static int migrate(Db& db, const std::vector<Migration>& list = migrations());

    // Refusals only, without changing anything (opening read paths).
    static void check(Db& db, const std::vector<Migration>& list = migrations());

    // A step's DDL as PostgreSQL takes it.
    static std::string postgresDdl(const std::string& sql);
};

} // namespace bankd

#pragma once
// The server engine: one libpq connection to a PostgreSQL database.
//
// Statements are written with '?'/'?N' placeholders and numbered $N here;
// each SQL text is prepared once per connection and kept. Values travel as
// text and the server infers their types from the statement. Results come
// back as text: integer() reads PostgreSQL's booleans as 1 and 0 and its
// numeric sums as whole numbers.
#include <string>
#include <unordered_map>

#include "DbConnection.h"

struct pg_conn;
struct pg_result;

namespace bankd {

class PgConnection : public DbConnection {
public:
    explicit PgConnection(const std::string& url);
    ~PgConnection() override;

    DbEngine engine() const override { return DbEngine::Postgres; }
    void exec(const char* sql) override;
    std::unique_ptr<DbStatement> prepare(std::string_view sql) override;
    int changes() const override { return changes_; }
    int userVersion() override;
    void setUserVersion(int v) override;
    void beginWrite() override;
    void beginRead() override;
    bool inTransaction() const override;
    bool usable() const override;

    // '?' and '?N' placeholders outside quotes become $N.
    static std::string numberPlaceholders(std::string_view sql, int* count);

    // Runs a prepared statement (by the name prepareNamed gave) and returns
    // its result, throwing DbError on failure; the caller PQclear()s it.
    pg_result* run(const std::string& name, int nParams, const char* const* values, const int* lengths);
    const std::string& prepareNamed(std::string_view sql, int* nParams);

private:
    // Throws the failure of `r` (and clears it), remembering the first
    // failure of the open transaction for COMMIT.
    [[noreturn]] void fail(pg_result* r, const std::string& what);
    pg_result* check(pg_result* r, const std::string& what);

    pg_conn* conn_ = nullptr;
    struct Prepared {
        std::string name;
        int params = 0;
    };
    std::unordered_map<std::string, Prepared> prepared_;
    int changes_ = 0;
    // The first failure inside the open transaction: PostgreSQL then refuses
    // everything until ROLLBACK, and a COMMIT there reports this failure.
    std::string txFailure_;
    std::string txFailureState_;
};

} // namespace bankd

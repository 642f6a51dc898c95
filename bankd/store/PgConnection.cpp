#include "PgConnection.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <libpq-fe.h>
#include <optional>
#include <vector>

namespace bankd {

namespace {

std::string oneLine(const char* msg)
{
    std::string s = msg ? msg : "unknown error";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    for (char& c : s)
        if (c == '\n')
            c = ' ';
    return s;
}

constexpr Oid kBoolOid = 16;

class PgStatement : public DbStatement {
public:
    PgStatement(PgConnection& c, std::string_view sql) : c_(c)
    {
        name_ = c.prepareNamed(sql, &params_);
        values_.resize(static_cast<size_t>(params_));
    }
    ~PgStatement() override { PQclear(res_); }

    void bind(int i, std::int64_t v) override { slot(i) = std::to_string(v); }
    void bind(int i, std::string_view v) override { slot(i) = std::string(v); }
    void bindNull(int i) override { slot(i).reset(); }

    bool step() override
    {
        if (!res_) {
            std::vector<const char*> v(values_.size());
            std::vector<int> len(values_.size());
            for (size_t k = 0; k < values_.size(); ++k) {
                v[k] = values_[k] ? values_[k]->c_str() : nullptr;
                len[k] = values_[k] ? static_cast<int>(values_[k]->size()) : 0;
            }
            res_ = c_.run(name_, params_, v.data(), len.data());
            rows_ = PQntuples(res_);
            row_ = -1;
        }
        if (row_ < rows_)
            ++row_;
        return row_ < rows_;
    }
    void reset() override
    {
        PQclear(res_);
        res_ = nullptr;
        for (auto& v : values_)
            v.reset();
    }
    std::int64_t integer(int col) const override
    {
        if (!valid(col) || PQgetisnull(res_, row_, col))
            return 0;
        const char* p = PQgetvalue(res_, row_, col);
        if (PQftype(res_, col) == kBoolOid)
            return *p == 't' ? 1 : 0;
        std::int64_t v = 0;
        std::from_chars(p, p + std::strlen(p), v);
        return v;
    }
    std::string text(int col) const override
    {
        if (!valid(col) || PQgetisnull(res_, row_, col))
            return {};
        const char* p = PQgetvalue(res_, row_, col);
        if (PQftype(res_, col) == kBoolOid)
            return *p == 't' ? "1" : "0";
        return std::string(p, static_cast<size_t>(PQgetlength(res_, row_, col)));
    }
    bool isNull(int col) const override { return !valid(col) || PQgetisnull(res_, row_, col); }

private:
    std::optional<std::string>& slot(int i)
    {
        if (i < 1 || i > params_)
            throw DbError("bind failed: no parameter " + std::to_string(i));
        return values_[static_cast<size_t>(i - 1)];
    }
    bool valid(int col) const { return res_ && row_ >= 0 && row_ < rows_ && col >= 0 && col < PQnfields(res_); }

    PgConnection& c_;
    std::string name_;
    int params_ = 0;
    std::vector<std::optional<std::string>> values_;
    pg_result* res_ = nullptr;
    int rows_ = 0;
    int row_ = -1;
};

void quiet(void*, const char*) {}

} // namespace

PgConnection::PgConnection(const std::string& url)
{
    conn_ = PQconnectdb(url.c_str());
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        std::string msg = conn_ ? oneLine(PQerrorMessage(conn_)) : "out of memory";
        PQfinish(conn_);
        conn_ = nullptr;
        throw DbError("cannot connect to PostgreSQL: " + msg);
    }
    PQsetNoticeProcessor(conn_, quiet, nullptr);
    // A commit is durable (flushed to the server's WAL on disk) before COMMIT returns.
    exec("SET synchronous_commit = on");
    exec("SET client_min_messages = warning");
}

PgConnection::~PgConnection()
{
    PQfinish(conn_);
}

void PgConnection::fail(pg_result* r, const std::string& what)
{
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    std::string sqlstate = state ? state : "";
    std::string msg = what + ": " + oneLine(r ? PQresultErrorMessage(r) : PQerrorMessage(conn_));
    PQclear(r);
    if (PQtransactionStatus(conn_) == PQTRANS_INERROR && txFailure_.empty()) {
        txFailure_ = msg;
        txFailureState_ = sqlstate;
    }
    throw DbError(msg, sqlstate);
}

pg_result* PgConnection::check(pg_result* r, const std::string& what)
{
    ExecStatusType st = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        fail(r, what);
    return r;
}

void PgConnection::exec(const char* sql)
{
    if (std::strcmp(sql, "COMMIT") == 0 && PQtransactionStatus(conn_) == PQTRANS_INERROR) {
        // PostgreSQL would answer this COMMIT with a silent rollback.
        PQclear(PQexec(conn_, "ROLLBACK"));
        std::string msg = txFailure_.empty() ? "the transaction failed" : txFailure_;
        std::string state = txFailureState_;
        txFailure_.clear();
        txFailureState_.clear();
        throw DbError("COMMIT refused: " + msg, state);
    }
    pg_result* r = check(PQexec(conn_, sql), "SQL failed");
    const char* n = PQcmdTuples(r);
    changes_ = n && *n ? std::atoi(n) : 0;
    PQclear(r);
    if (PQtransactionStatus(conn_) == PQTRANS_IDLE) {
        txFailure_.clear();
        txFailureState_.clear();
    }
}

std::string PgConnection::numberPlaceholders(std::string_view sql, int* count)
{
    std::string out;
    out.reserve(sql.size() + 8);
    int highest = 0;
    size_t i = 0;
    while (i < sql.size()) {
        char c = sql[i];
        if (c == '\'' || c == '"') {
            // Quoted text or name, with its doubled quotes, copied as it is.
            size_t end = i + 1;
            while (end < sql.size()) {
                if (sql[end] == c) {
                    if (end + 1 < sql.size() && sql[end + 1] == c) {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            out.append(sql.substr(i, end + 1 - i));
            i = end + 1;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            size_t end = sql.find('\n', i);
            if (end == std::string_view::npos)
                end = sql.size();
            out.append(sql.substr(i, end - i));
            i = end;
        } else if (c == '?') {
            size_t j = i + 1;
            int n = 0;
            while (j < sql.size() && sql[j] >= '0' && sql[j] <= '9')
                n = n * 10 + (sql[j++] - '0');
            if (j == i + 1)
                n = highest + 1;
            highest = std::max(highest, n);
            out += '$';
            out += std::to_string(n);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    *count = highest;
    return out;
}

const std::string& PgConnection::prepareNamed(std::string_view sql, int* nParams)
{
    std::string key(sql);
    auto it = prepared_.find(key);
    if (it == prepared_.end()) {
        int n = 0;
        std::string text = numberPlaceholders(sql, &n);
        std::string name = "s" + std::to_string(prepared_.size() + 1);
        PQclear(check(PQprepare(conn_, name.c_str(), text.c_str(), n, nullptr), "prepare failed"));
        it = prepared_.emplace(std::move(key), Prepared{std::move(name), n}).first;
    }
    *nParams = it->second.params;
    return it->second.name;
}

pg_result* PgConnection::run(const std::string& name, int nParams, const char* const* values, const int* lengths)
{
    pg_result* r = check(PQexecPrepared(conn_, name.c_str(), nParams, values, lengths, nullptr, 0), "step failed");
    const char* n = PQcmdTuples(r);
    changes_ = n && *n ? std::atoi(n) : 0;
    return r;
}

std::unique_ptr<DbStatement> PgConnection::prepare(std::string_view sql)
{
    return std::make_unique<PgStatement>(*this, sql);
}

int PgConnection::userVersion()
{
    // The version table is made by the first migration step (setUserVersion).
    pg_result* r = check(PQexec(conn_, "SELECT to_regclass('bankd_schema') IS NOT NULL"), "SQL failed");
    bool exists = PQntuples(r) == 1 && *PQgetvalue(r, 0, 0) == 't';
    PQclear(r);
    if (!exists)
        return 0;
    r = check(PQexec(conn_, "SELECT max(version) FROM bankd_schema"), "SQL failed");
    int v = PQntuples(r) == 1 && !PQgetisnull(r, 0, 0) ? std::atoi(PQgetvalue(r, 0, 0)) : 0;
    PQclear(r);
    return v;
}

void PgConnection::setUserVersion(int v)
{
    exec("CREATE TABLE IF NOT EXISTS bankd_schema (version INTEGER NOT NULL)");
    exec("DELETE FROM bankd_schema");
    // v is an integer we produce, not input.
    exec(("INSERT INTO bankd_schema (version) VALUES (" + std::to_string(v) + ")").c_str());
}

void PgConnection::beginWrite()
{
    txFailure_.clear();
    txFailureState_.clear();
    exec("BEGIN ISOLATION LEVEL SERIALIZABLE");
}

void PgConnection::beginRead()
{
    txFailure_.clear();
    txFailureState_.clear();
    exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
}

bool PgConnection::inTransaction() const
{
    PGTransactionStatusType s = PQtransactionStatus(conn_);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

bool PgConnection::usable() const
{
    return conn_ && PQstatus(conn_) == CONNECTION_OK;
}

} // namespace bankd

#include "Db.h"

#include "DbConnection.h"
#include "PgConnection.h"
#include "SqliteConnection.h"

namespace bankd {

Db::Db(const std::string& path, bool create) : c_(std::make_unique<SqliteConnection>(path, create)) {}

Db::Db(std::unique_ptr<DbConnection> c) : c_(std::move(c)) {}

std::unique_ptr<Db> Db::postgres(const std::string& url)
{
    return std::make_unique<Db>(std::make_unique<PgConnection>(url));
}

Db::~Db() = default;

DbEngine Db::engine() const
{
    return c_->engine();
}

const SecretKeys& Db::keys() const
{
    if (!keys_)
        throw DbError("this connection has no keys for sealed values");
    return *keys_;
}

void Db::exec(const char* sql)
{
    c_->exec(sql);
}

void Db::execKept(const char* sql)
{
    c_->execKept(sql);
}

Stmt Db::prepare(std::string_view sql)
{
    return Stmt(c_->prepare(sql));
}

int Db::changes() const
{
    return c_->changes();
}

int Db::userVersion()
{
    return c_->userVersion();
}

void Db::setUserVersion(int v)
{
    c_->setUserVersion(v);
}

void Db::beginWrite()
{
    c_->beginWrite();
}

void Db::beginRead()
{
    c_->beginRead();
}

bool Db::inTransaction() const
{
    return c_->inTransaction();
}

bool Db::usable() const
{
    return c_->usable();
}

Stmt::Stmt(std::unique_ptr<DbStatement> s) : s_(std::move(s)) {}
Stmt::~Stmt() = default;
Stmt::Stmt(Stmt&& o) noexcept = default;

Stmt& Stmt::bind(int i, std::int64_t v)
{
    s_->bind(i, v);
    return *this;
}

Stmt& Stmt::bind(int i, std::string_view v)
{
    s_->bind(i, v);
    return *this;
}

Stmt& Stmt::bindNull(int i)
{
    s_->bindNull(i);
    return *this;
}

bool Stmt::step()
{
    return s_->step();
}

void Stmt::run()
{
    while (step()) {
    }
}

void Stmt::reset()
{
    s_->reset();
}

std::int64_t Stmt::integer(int col) const
{
    return s_->integer(col);
}

std::string Stmt::text(int col) const
{
    return s_->text(col);
}

bool Stmt::isNull(int col) const
{
    return s_->isNull(col);
}

Transaction::Transaction(Db& db) : db_(db)
{
    db_.beginWrite();
}

Transaction::~Transaction()
{
    if (!done_) {
        try {
            db_.execKept("ROLLBACK");
        } catch (...) {
        }
    }
}

void Transaction::commit()
{
    db_.execKept("COMMIT");
    done_ = true;
}

} // namespace bankd

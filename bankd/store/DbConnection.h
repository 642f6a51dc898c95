#pragma once
// What an engine provides behind Db and Stmt: one connection and its
// prepared statements.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "Db.h"

namespace bankd {

class DbStatement {
public:
    virtual ~DbStatement() = default;
    virtual void bind(int i, std::int64_t v) = 0;
    virtual void bind(int i, std::string_view v) = 0;
    virtual void bindNull(int i) = 0;
    virtual bool step() = 0;
    virtual void reset() = 0;
    virtual std::int64_t integer(int col) const = 0;
    virtual std::string text(int col) const = 0;
    virtual bool isNull(int col) const = 0;
};

class DbConnection {
public:
    virtual ~DbConnection() = default;
    virtual DbEngine engine() const = 0;
    virtual void exec(const char* sql) = 0;
    // exec() for a text run again and again (transaction brackets): an
    // engine that can keeps it prepared.
    virtual void execKept(const char* sql) { exec(sql); }
    virtual std::unique_ptr<DbStatement> prepare(std::string_view sql) = 0;
    virtual int changes() const = 0;
    virtual int userVersion() = 0;
    virtual void setUserVersion(int v) = 0;
    virtual void beginWrite() = 0;
    virtual void beginRead() = 0;
    virtual bool inTransaction() const = 0;
    virtual bool usable() const = 0;
};

} // namespace bankd

#include "TestDatabase.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

#include "Db.h"

namespace bankd::test {

namespace {

struct Server {
    std::string base;             // the server's URL
    bool throwaway = false;       // the test run's own server: schemas are left to its removal
    std::unique_ptr<Db> admin;    // makes and drops the schemas
    std::string schema;           // the running case's
    std::string url;              // the running case's URL
};

Server& server()
{
    static Server s;
    return s;
}

std::string configured(bool* throwaway = nullptr)
{
    const char* env = std::getenv("BANKD_TEST_POSTGRES");
    if (!env || !*env)
        return {};
    std::string v = env;
    if (v.rfind("postgres", 0) == 0)
        return v;
    if (throwaway)
        *throwaway = true;
    std::ifstream f(v);  // a file the test run's PostgreSQL fixture wrote
    std::string line;
    std::getline(f, line);
    return line.empty() ? "-" : line;
}

class SchemaPerCase : public ::testing::EmptyTestEventListener {
    void OnTestProgramStart(const ::testing::UnitTest&) override
    {
        Server& s = server();
        s.base = configured(&s.throwaway);
        if (s.base.empty())
            return;
        if (s.base == "-") {
            std::printf("BANKD_TEST_POSTGRES names no running PostgreSQL: skipped\n");
            std::fflush(stdout);
            std::_Exit(77);
        }
        try {
            s.admin = Db::postgres(s.base);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "cannot reach the test PostgreSQL: %s\n", e.what());
            std::_Exit(1);
        }
    }

    void OnTestStart(const ::testing::TestInfo&) override
    {
        Server& s = server();
        if (!s.admin)
            return;
        static std::atomic<int> n{0};
        s.schema = "t" + std::to_string(getpid()) + "_" + std::to_string(n++);
        s.admin->exec(("DROP SCHEMA IF EXISTS " + s.schema + " CASCADE").c_str());
        s.admin->exec(("CREATE SCHEMA " + s.schema).c_str());
        s.url = s.base + (s.base.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + s.schema;
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        Server& s = server();
        if (!s.admin || s.schema.empty())
            return;
        // Dropping costs more than making (every file of every table); a
        // throwaway server goes as a whole.
        if (s.throwaway) {
            s.schema.clear();
            s.url.clear();
            return;
        }
        try {
            s.admin->exec(("DROP SCHEMA IF EXISTS " + s.schema + " CASCADE").c_str());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "cannot drop test schema %s: %s\n", s.schema.c_str(), e.what());
        }
        s.schema.clear();
        s.url.clear();
    }
};

const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new SchemaPerCase);
    return true;
}();

} // namespace

void renewSchema()
{
    Server& s = server();
    if (!s.admin || s.schema.empty())
        return;
    s.admin->exec(("DROP SCHEMA IF EXISTS " + s.schema + " CASCADE").c_str());
    s.admin->exec(("CREATE SCHEMA " + s.schema).c_str());
}

bool onPostgres()
{
    return !configured().empty();
}

std::string postgresUrl()
{
    return server().url;
}

StoreLocation location(const std::string& path)
{
    return {path, postgresUrl()};
}

std::string initPostgresArg()
{
    const std::string url = postgresUrl();
    return url.empty() ? std::string() : " --postgres '" + url + "'";
}

} // namespace bankd::test

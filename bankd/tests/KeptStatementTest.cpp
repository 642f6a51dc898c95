// SQLite statements kept prepared per connection and handed out again.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "Sqlite.h"
#include "SqliteConnection.h"
#include "Store.h"
#include "TestBank.h"
#include "TestDatabase.h"

using namespace bankd;
using bankd::test::TempDir;

namespace {
std::uint64_t prepared()
{
    return SqliteConnection::statementsPrepared();
}

std::unique_ptr<Db> tableOfThree(const std::string& path)
{
    auto db = std::make_unique<Db>(path, true);
    db->exec("CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT);"
             "INSERT INTO t (id, v) VALUES (1, 'a'), (2, 'b'), (3, 'c');");
    return db;
}

std::int64_t countOf(Db& db)
{
    auto s = db.prepare("SELECT count(*) FROM t");
    s.step();
    return s.integer(0);
}
} // namespace

class KeptStatements : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (test::onPostgres())
            GTEST_SKIP() << "SQLite's kept statements";
    }
};

TEST_F(KeptStatements, ReusedWithoutOldValuesAndOwnedByOneUserAtATime)
{
    TempDir dir;
    auto db = tableOfThree(dir.str("k.db"));
    const char* later = "SELECT id FROM t WHERE id >= ?1 ORDER BY id";
    // The same text nested in itself: each user steps its own statement.
    auto nested = [&] {
        std::vector<std::pair<std::int64_t, int>> seen;
        auto outer = db->prepare(later);
        outer.bind(1, 1);
        while (outer.step()) {
            auto inner = db->prepare(later);
            inner.bind(1, outer.integer(0));
            int n = 0;
            while (inner.step())
                ++n;
            seen.emplace_back(outer.integer(0), n);
        }
        return seen;
    };
    const std::vector<std::pair<std::int64_t, int>> expected = {{1, 3}, {2, 2}, {3, 1}};
    EXPECT_EQ(nested(), expected);
    std::uint64_t before = prepared();
    EXPECT_EQ(nested(), expected);
    EXPECT_EQ(prepared(), before) << "both statements of the text are kept";

    // A value bound by the previous user does not stay bound.
    {
        auto s = db->prepare("SELECT ?1, ?2");
        s.bind(1, 7).bind(2, "previous");
        ASSERT_TRUE(s.step());
        EXPECT_EQ(s.text(1), "previous");
    }
    before = prepared();
    {
        auto s = db->prepare("SELECT ?1, ?2");
        s.bind(1, 8);
        ASSERT_TRUE(s.step());
        EXPECT_EQ(s.integer(0), 8);
        EXPECT_TRUE(s.isNull(1));
    }
    EXPECT_EQ(prepared(), before);

    // A failed step leaves the kept statement usable and nothing open.
    const char* insert = "INSERT INTO t (id, v) VALUES (?1, ?2)";
    db->prepare(insert).bind(1, 4).bind(2, "d").run();
    before = prepared();
    EXPECT_THROW(db->prepare(insert).bind(1, 4).bind(2, "again").run(), DbError);
    EXPECT_FALSE(db->inTransaction());
    {
        auto s = db->prepare(insert);
        EXPECT_THROW(s.bind(1, 1).bind(2, "dup").run(), DbError);
        s.bind(1, 5).bind(2, "e").run();
    }
    EXPECT_EQ(prepared(), before);
    EXPECT_EQ(countOf(*db), 5);

    // Many users of one text at once: each gets its own; those past the
    // bound are not kept, and the text stays usable.
    {
        std::vector<Stmt> many;
        for (int i = 0; i < 12; ++i) {
            many.push_back(db->prepare(later));
            many.back().bind(1, i % 5 + 1);
            ASSERT_TRUE(many.back().step());
        }
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(many[static_cast<size_t>(i)].integer(0), i % 5 + 1);
    }
    auto again = db->prepare(later);
    again.bind(1, 3);
    ASSERT_TRUE(again.step());
    EXPECT_EQ(again.integer(0), 3);
}

TEST_F(KeptStatements, AStatementLeftBetweenRowsHoldsNoReadOpen)
{
    TempDir dir;
    auto reader = tableOfThree(dir.str("k.db"));
    EXPECT_EQ(countOf(*reader), 3);
    {
        auto s = reader->prepare("SELECT v FROM t ORDER BY id");
        ASSERT_TRUE(s.step());
        EXPECT_EQ(s.text(0), "a");
    }  // given back after one of three rows
    Db writer(dir.str("k.db"), false);
    writer.exec("INSERT INTO t (id, v) VALUES (4, 'd')");
    // A reader still on its old snapshot would stop the checkpoint from
    // emptying the log (busy: first column 1).
    auto cp = writer.prepare("PRAGMA wal_checkpoint(TRUNCATE)");
    ASSERT_TRUE(cp.step());
    EXPECT_EQ(cp.integer(0), 0);
    EXPECT_EQ(countOf(*reader), 4);
}

TEST_F(KeptStatements, AStatementOutlivingItsConnectionStillReadsItsRows)
{
    TempDir dir;
    auto db = tableOfThree(dir.str("k.db"));
    std::optional<Stmt> rows;
    rows.emplace(db->prepare("SELECT v FROM t ORDER BY id"));
    ASSERT_TRUE(rows->step());
    EXPECT_EQ(rows->text(0), "a");
    std::optional<Stmt> unused;
    unused.emplace(db->prepare("SELECT count(*) FROM t"));
    db.reset();
    ASSERT_TRUE(rows->step());
    EXPECT_EQ(rows->text(0), "b");
    ASSERT_TRUE(rows->step());
    EXPECT_EQ(rows->text(0), "c");
    EXPECT_FALSE(rows->step());
    unused.reset();
    rows.reset();
    // The file is free again for a new connection.
    Db next(dir.str("k.db"), false);
    EXPECT_EQ(countOf(next), 3);
}

TEST_F(KeptStatements, WarmStoreReadsAndWritesParseNothing)
{
    TempDir dir;
    auto store = Store::create(dir.str("b.db"), HashCost::minimal());
    auto round = [&](int i) {
        // A write, a write that fails (its savepoint rolled back), a read.
        store->write([&](Db& db) {
            db.prepare("INSERT INTO notices (posted_on, title, body) VALUES ('20240101', ?1, 'b')")
                .bind(1, "n" + std::to_string(i))
                .run();
        });
        EXPECT_THROW(store->write([&](Db& db) {
            db.prepare("INSERT INTO notices (posted_on, title, body) VALUES ('20240101', ?1, 'b')")
                .bind(1, "lost")
                .run();
            throw DbError("refused");
        }),
                     DbError);
        {
            auto lease = store->lease();
            Transaction tx(lease.db());
            lease.db().prepare("INSERT INTO notices (posted_on, title, body) VALUES ('20240101', ?1, 'b')")
                .bind(1, "rolled back")
                .run();
        }
        return store->read([](Db& db) {
            auto s = db.prepare("SELECT count(*) FROM notices WHERE title <> 'lost' AND title <> 'rolled back'");
            s.step();
            auto lost = db.prepare("SELECT count(*) FROM notices WHERE title = 'lost' OR title = 'rolled back'");
            lost.step();
            return s.integer(0) * 100 + lost.integer(0);
        });
    };
    std::int64_t base = round(0) - 100;
    std::uint64_t before = prepared();
    for (int i = 1; i <= 20; ++i)
        EXPECT_EQ(round(i), base + 100 * (i + 1));
    EXPECT_EQ(prepared(), before) << "statements and transaction brackets are prepared once per connection";
}

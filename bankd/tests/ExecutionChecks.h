#pragma once
// The books of executed transfers in the database itself, for the tests that
// kill bankd under load: no serial executed twice, and every withdrawal
// recorded by exactly one executed transfer.
#include <gtest/gtest.h>

#include "Sqlite.h"

namespace bankd::test {

inline void expectEachExecutionOnce(Db& db)
{
    auto twice = db.prepare(
        "SELECT count(*) FROM (SELECT serial FROM transfers WHERE result_code = '0000' GROUP BY serial "
        "HAVING count(*) > 1) AS twice");
    twice.step();
    EXPECT_EQ(twice.integer(0), 0) << "a serial executed more than once";
    auto withdrawals = db.prepare(
        "SELECT (SELECT count(*) FROM account_history WHERE memo = 'PDA이체') - "
        "(SELECT count(*) FROM transfers WHERE result_code = '0000')");
    withdrawals.step();
    EXPECT_EQ(withdrawals.integer(0), 0) << "withdrawals without exactly one transfer record";
}

} // namespace bankd::test

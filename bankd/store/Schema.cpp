#include "Schema.h"

#include <regex>

#include "Db.h"

namespace bankd {

namespace {

// Version 1: customers with their security means, accounts and their history,
// notices. Later versions add tables for the other transaction groups.
const char* kV1 = R"SQL(
CREATE TABLE customers (
  id            INTEGER PRIMARY KEY,
  user_id       TEXT NOT NULL UNIQUE,
  name          TEXT NOT NULL,
  jumin_no      TEXT NOT NULL,
  pwd_hash      TEXT NOT NULL,
  security_way  TEXT NOT NULL CHECK (security_way IN ('S','K')),
  use_hidden    TEXT NOT NULL DEFAULT 'N' CHECK (use_hidden IN ('Y','N')),
  failed_logins INTEGER NOT NULL DEFAULT 0,
  locked        INTEGER NOT NULL DEFAULT 0,
  created_at    TEXT NOT NULL
);
CREATE TABLE security_cards (
  customer_id INTEGER NOT NULL REFERENCES customers(id) ON DELETE CASCADE,
  cell        INTEGER NOT NULL CHECK (cell BETWEEN 1 AND 35),
  value       TEXT NOT NULL,
  PRIMARY KEY (customer_id, cell)
);
CREATE TABLE certificates (
  id          INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers(id) ON DELETE CASCADE,
  subject     TEXT NOT NULL,
  public_key  TEXT NOT NULL,
  issued_at   TEXT NOT NULL,
  revoked     INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX certificates_customer ON certificates(customer_id);
CREATE TABLE accounts (
  account_no    TEXT PRIMARY KEY,
  customer_id   INTEGER NOT NULL REFERENCES customers(id),
  display_no    TEXT NOT NULL,
  kind_name     TEXT NOT NULL,
  kind_code     TEXT NOT NULL,
  balance       INTEGER NOT NULL DEFAULT 0,
  pwd_hash      TEXT NOT NULL,
  withdrawal    INTEGER NOT NULL DEFAULT 0,
  hidden        INTEGER NOT NULL DEFAULT 0,
  nickname      TEXT NOT NULL DEFAULT '',
  opened_on     TEXT NOT NULL,
  failed_pwd    INTEGER NOT NULL DEFAULT 0,
  locked        INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX accounts_customer ON accounts(customer_id);
CREATE TABLE account_history (
  id            INTEGER PRIMARY KEY,
  account_no    TEXT NOT NULL REFERENCES accounts(account_no),
  at            TEXT NOT NULL,
  direction     TEXT NOT NULL CHECK (direction IN ('입금','지급')),
  amount        INTEGER NOT NULL CHECK (amount >= 0),
  balance_after INTEGER NOT NULL,
  memo          TEXT NOT NULL DEFAULT '',
  counterpart   TEXT NOT NULL DEFAULT ''
);
CREATE INDEX account_history_account ON account_history(account_no, at);
CREATE TABLE notices (
  num       INTEGER PRIMARY KEY,
  posted_on TEXT NOT NULL,
  title     TEXT NOT NULL,
  body      TEXT NOT NULL
);
)SQL";

// Version 2: issued cheques for the cheque inquiry, time-deposit terms.
const char* kV2 = R"SQL(
CREATE TABLE cheques (
  bank_code TEXT NOT NULL,
  branch_no TEXT NOT NULL,
  cheque_no TEXT NOT NULL,
  kind_code TEXT NOT NULL,
  amount    INTEGER NOT NULL CHECK (amount > 0),
  issued_on TEXT NOT NULL,
  accident  TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (bank_code, cheque_no)
);
CREATE TABLE deposit_terms (
  account_no TEXT PRIMARY KEY REFERENCES accounts(account_no),
  rate       TEXT NOT NULL,
  maturity   TEXT NOT NULL
);
)SQL";

// Version 3: transfers. Favourite deposit accounts, accounts of other banks
// known to the clearing house (recipient names), checked transfers awaiting
// execution (quotes, by serial), executed transfers and their results,
// scheduled transfers, money sent to other banks, used signatures.
const char* kV3 = R"SQL(
CREATE TABLE favourite_accounts (
  id            INTEGER PRIMARY KEY,
  customer_id   INTEGER NOT NULL REFERENCES customers(id) ON DELETE CASCADE,
  bank_code     TEXT NOT NULL,
  account_name  TEXT NOT NULL,
  account_no    TEXT NOT NULL,
  nickname      TEXT NOT NULL DEFAULT '',
  registered_on TEXT NOT NULL,
  withdrawal_no TEXT NOT NULL DEFAULT ''
);
CREATE INDEX favourite_accounts_customer ON favourite_accounts(customer_id);
CREATE TABLE other_bank_accounts (
  bank_code  TEXT NOT NULL,
  account_no TEXT NOT NULL,
  holder     TEXT NOT NULL,
  PRIMARY KEY (bank_code, account_no)
);
CREATE TABLE transfer_quotes (
  serial       TEXT PRIMARY KEY,
  customer_id  INTEGER NOT NULL REFERENCES customers(id),
  session_key  TEXT NOT NULL,
  from_account TEXT NOT NULL,
  bank_code    TEXT NOT NULL,
  to_account   TEXT NOT NULL,
  recipient    TEXT NOT NULL,
  amount       INTEGER NOT NULL CHECK (amount > 0),
  fee          INTEGER NOT NULL CHECK (fee >= 0),
  sender       TEXT NOT NULL,
  cms_code     TEXT NOT NULL,
  exec_date    TEXT NOT NULL,
  created_at   TEXT NOT NULL,
  expires_at   TEXT NOT NULL,
  state        TEXT NOT NULL DEFAULT 'open' CHECK (state IN ('open','executed','scheduled'))
);
CREATE TABLE transfers (
  id            INTEGER PRIMARY KEY,
  customer_id   INTEGER NOT NULL REFERENCES customers(id),
  serial        TEXT NOT NULL UNIQUE,
  transfer_date TEXT NOT NULL,
  at            TEXT NOT NULL,
  from_account  TEXT NOT NULL,
  bank_code     TEXT NOT NULL,
  to_account    TEXT NOT NULL,
  recipient     TEXT NOT NULL,
  amount        INTEGER NOT NULL CHECK (amount > 0),
  fee           INTEGER NOT NULL CHECK (fee >= 0),
  sender        TEXT NOT NULL,
  cms_code      TEXT NOT NULL,
  balance_after INTEGER,
  message_no    TEXT NOT NULL,
  result_code   TEXT NOT NULL,
  scheduled_id  INTEGER
);
CREATE INDEX transfers_customer ON transfers(customer_id, transfer_date);
CREATE INDEX transfers_daily ON transfers(from_account, transfer_date);
CREATE TABLE scheduled_transfers (
  id            INTEGER PRIMARY KEY,
  customer_id   INTEGER NOT NULL REFERENCES customers(id),
  serial        TEXT NOT NULL UNIQUE,
  exec_date     TEXT NOT NULL,
  from_account  TEXT NOT NULL,
  bank_code     TEXT NOT NULL,
  to_account    TEXT NOT NULL,
  recipient     TEXT NOT NULL,
  amount        INTEGER NOT NULL CHECK (amount > 0),
  fee           INTEGER NOT NULL CHECK (fee >= 0),
  sender        TEXT NOT NULL,
  cms_code      TEXT NOT NULL,
  result_code   TEXT NOT NULL DEFAULT '',
  cancelled     INTEGER NOT NULL DEFAULT 0,
  registered_at TEXT NOT NULL,
  ran_at        TEXT
);
CREATE INDEX scheduled_transfers_due ON scheduled_transfers(result_code, exec_date);
CREATE INDEX scheduled_transfers_customer ON scheduled_transfers(customer_id);
CREATE TABLE interbank_out (
  id         INTEGER PRIMARY KEY,
  serial     TEXT NOT NULL,
  bank_code  TEXT NOT NULL,
  account_no TEXT NOT NULL,
  amount     INTEGER NOT NULL CHECK (amount > 0),
  at         TEXT NOT NULL
);
CREATE TABLE used_signatures (
  signed_text TEXT PRIMARY KEY,
  used_at     TEXT NOT NULL
);
)SQL";

// Version 4: the shared checks. One table of failure counts and locks for
// every guessable secret (login and account passwords move over from their
// own columns), and single-use quotes of every kind in place of the transfer
// quotes (open transfer quotes are dropped: the customer checks again).
const char* kV4 = R"SQL(
CREATE TABLE secret_locks (
  kind       TEXT NOT NULL CHECK (kind IN ('login','account','pin','security')),
  subject    TEXT NOT NULL,
  failures   INTEGER NOT NULL DEFAULT 0,
  locked     INTEGER NOT NULL DEFAULT 0,
  updated_at TEXT NOT NULL,
  PRIMARY KEY (kind, subject)
);
INSERT INTO secret_locks (kind, subject, failures, locked, updated_at)
  SELECT 'login', user_id, failed_logins, locked, created_at FROM customers WHERE failed_logins > 0 OR locked <> 0;
INSERT INTO secret_locks (kind, subject, failures, locked, updated_at)
  SELECT 'account', account_no, failed_pwd, locked, opened_on FROM accounts WHERE failed_pwd > 0 OR locked <> 0;
ALTER TABLE customers DROP COLUMN failed_logins;
ALTER TABLE customers DROP COLUMN locked;
ALTER TABLE accounts DROP COLUMN failed_pwd;
ALTER TABLE accounts DROP COLUMN locked;
CREATE TABLE quotes (
  serial       TEXT PRIMARY KEY,
  kind         TEXT NOT NULL,
  customer_id  INTEGER NOT NULL REFERENCES customers(id),
  session_key  TEXT NOT NULL,
  bound_values TEXT NOT NULL,
  created_at   TEXT NOT NULL,
  expires_at   TEXT NOT NULL,
  state        TEXT NOT NULL DEFAULT 'open' CHECK (state IN ('open','used')),
  outcome      TEXT NOT NULL DEFAULT '',
  used_at      TEXT
);
CREATE INDEX quotes_expiry ON quotes(expires_at);
DROP TABLE transfer_quotes;
)SQL";

// Version 5: loans. The terms of each loan account (its balance stays in
// accounts, so every screen reads the same number), and the interest paid.
const char* kV5 = R"SQL(
CREATE TABLE loans (
  account_no     TEXT PRIMARY KEY REFERENCES accounts(account_no),
  kind           TEXT NOT NULL CHECK (kind IN ('general','credit')),
  amount         INTEGER NOT NULL CHECK (amount >= 0),
  rate_bp        INTEGER NOT NULL CHECK (rate_bp >= 0),
  overdue_bp     INTEGER NOT NULL CHECK (overdue_bp >= 0),
  started_on     TEXT NOT NULL,
  maturity_on    TEXT NOT NULL,
  paid_to        TEXT NOT NULL,
  next_due       TEXT NOT NULL,
  overdue_since  TEXT NOT NULL DEFAULT '',
  repayment      TEXT NOT NULL,
  auto_account   TEXT NOT NULL DEFAULT '',
  interest_terms TEXT NOT NULL,
  payments       INTEGER NOT NULL DEFAULT 0,
  last_paid_on   TEXT NOT NULL DEFAULT ''
);
CREATE TABLE loan_payments (
  id               INTEGER PRIMARY KEY,
  serial           TEXT NOT NULL UNIQUE,
  customer_id      INTEGER NOT NULL REFERENCES customers(id),
  loan_account     TEXT NOT NULL REFERENCES loans(account_no),
  from_account     TEXT NOT NULL REFERENCES accounts(account_no),
  period_from      TEXT NOT NULL,
  period_to        TEXT NOT NULL,
  interest         INTEGER NOT NULL CHECK (interest >= 0),
  overdue_interest INTEGER NOT NULL CHECK (overdue_interest >= 0),
  overdue_since    TEXT NOT NULL DEFAULT '',
  balance_after    INTEGER NOT NULL,
  at               TEXT NOT NULL,
  UNIQUE (loan_account, period_to)
);
CREATE INDEX loan_payments_loan ON loan_payments(loan_account);
)SQL";

// Version 6: cards. Credit and check cards with their settlement account,
// PIN, limits and billing day, and cash cards of deposit accounts; an
// accident record (loss reports) that stops a card. Approvals, bills and
// their items, arrears, and the cash advances paid out to the settlement
// account (a card's cash-service balance is the sum of its advances).
const char* kV6 = R"SQL(
CREATE TABLE cards (
  card_no          TEXT PRIMARY KEY,
  customer_id      INTEGER NOT NULL REFERENCES customers(id),
  kind             TEXT NOT NULL CHECK (kind IN ('credit','check','cash')),
  kind_name        TEXT NOT NULL,
  expiry           TEXT NOT NULL,
  branch           TEXT NOT NULL,
  settlement_no    TEXT NOT NULL REFERENCES accounts(account_no),
  pin_hash         TEXT NOT NULL,
  billing_day      INTEGER NOT NULL DEFAULT 0 CHECK (billing_day IN (0,5,12,20,23,27)),
  total_limit      INTEGER NOT NULL DEFAULT 0 CHECK (total_limit >= 0),
  cash_limit       INTEGER NOT NULL DEFAULT 0 CHECK (cash_limit >= 0),
  advance_limit    INTEGER NOT NULL DEFAULT 0 CHECK (advance_limit >= 0),
  used_amount      INTEGER NOT NULL DEFAULT 0,
  cash_used        INTEGER NOT NULL DEFAULT 0,
  cash_fees        INTEGER NOT NULL DEFAULT 0,
  special_from     TEXT NOT NULL DEFAULT '',
  special_to       TEXT NOT NULL DEFAULT '',
  special_amount   INTEGER NOT NULL DEFAULT 0,
  special_used     INTEGER NOT NULL DEFAULT 0,
  accident         TEXT NOT NULL DEFAULT '',
  accident_at      TEXT,
  issued_on        TEXT NOT NULL
);
CREATE INDEX cards_customer ON cards(customer_id, kind);
CREATE TABLE card_approvals (
  id           INTEGER PRIMARY KEY,
  card_no      TEXT NOT NULL REFERENCES cards(card_no),
  approved_at  TEXT NOT NULL,
  merchant     TEXT NOT NULL,
  amount       INTEGER NOT NULL,
  sales_kind   TEXT NOT NULL,
  instalments  INTEGER NOT NULL DEFAULT 0,
  receipt      TEXT NOT NULL DEFAULT '',
  cancelled_on TEXT NOT NULL DEFAULT ''
);
CREATE INDEX card_approvals_card ON card_approvals(card_no, approved_at);
CREATE TABLE card_bills (
  card_no             TEXT NOT NULL REFERENCES cards(card_no),
  billing_date        TEXT NOT NULL,
  settlement_no       TEXT NOT NULL,
  lump_principal      INTEGER NOT NULL DEFAULT 0,
  lump_fee            INTEGER NOT NULL DEFAULT 0,
  cash_principal      INTEGER NOT NULL DEFAULT 0,
  cash_fee            INTEGER NOT NULL DEFAULT 0,
  instal_principal    INTEGER NOT NULL DEFAULT 0,
  instal_fee          INTEGER NOT NULL DEFAULT 0,
  overseas_principal  INTEGER NOT NULL DEFAULT 0,
  overseas_fee        INTEGER NOT NULL DEFAULT 0,
  revolving_principal INTEGER NOT NULL DEFAULT 0,
  revolving_fee       INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (card_no, billing_date)
);
CREATE TABLE card_bill_items (
  id                 INTEGER PRIMARY KEY,
  card_no            TEXT NOT NULL,
  billing_date       TEXT NOT NULL,
  used_on            TEXT NOT NULL,
  merchant           TEXT NOT NULL,
  sales_kind         TEXT NOT NULL,
  amount             INTEGER NOT NULL,
  fee                INTEGER NOT NULL DEFAULT 0,
  instalment_no      TEXT NOT NULL DEFAULT '',
  instalment_amount  INTEGER NOT NULL DEFAULT 0,
  instalment_balance INTEGER NOT NULL DEFAULT 0,
  FOREIGN KEY (card_no, billing_date) REFERENCES card_bills(card_no, billing_date)
);
CREATE INDEX card_bill_items_bill ON card_bill_items(card_no, billing_date, used_on);
CREATE TABLE card_arrears (
  card_no            TEXT PRIMARY KEY REFERENCES cards(card_no),
  first_overdue_on   TEXT NOT NULL,
  today_unpaid       INTEGER NOT NULL DEFAULT 0,
  lump_principal     INTEGER NOT NULL DEFAULT 0,
  lump_fee           INTEGER NOT NULL DEFAULT 0,
  cash_principal     INTEGER NOT NULL DEFAULT 0,
  cash_fee           INTEGER NOT NULL DEFAULT 0,
  instal_principal   INTEGER NOT NULL DEFAULT 0,
  instal_fee         INTEGER NOT NULL DEFAULT 0,
  overseas_principal INTEGER NOT NULL DEFAULT 0,
  overseas_fee       INTEGER NOT NULL DEFAULT 0,
  advance_principal  INTEGER NOT NULL DEFAULT 0,
  advance_interest   INTEGER NOT NULL DEFAULT 0,
  annual_fee         INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE card_cash_advances (
  id            INTEGER PRIMARY KEY,
  card_no       TEXT NOT NULL REFERENCES cards(card_no),
  customer_id   INTEGER NOT NULL REFERENCES customers(id),
  serial        TEXT NOT NULL UNIQUE,
  at            TEXT NOT NULL,
  account_no    TEXT NOT NULL REFERENCES accounts(account_no),
  amount        INTEGER NOT NULL CHECK (amount > 0),
  fee           INTEGER NOT NULL CHECK (fee >= 0),
  cash_after    INTEGER NOT NULL
);
CREATE INDEX card_cash_advances_card ON card_cash_advances(card_no, at);
CREATE INDEX quotes_binding ON quotes(customer_id, kind, session_key, created_at);
)SQL";

// Version 7: loss reports of passbooks (a reported card carries its accident
// record in cards).
const char* kV7 = R"SQL(
ALTER TABLE accounts ADD COLUMN passbook_accident TEXT NOT NULL DEFAULT '';
ALTER TABLE accounts ADD COLUMN passbook_accident_at TEXT;
)SQL";

// Version 8: account management and customer information. The holder name
// of each favourite deposit account as the bank looked it up (filled in for
// the entries made before), the customer profiles, and the log of changes of
// the security means.
const char* kV8 = R"SQL(
ALTER TABLE favourite_accounts ADD COLUMN holder TEXT NOT NULL DEFAULT '';
UPDATE favourite_accounts SET holder = coalesce(
  CASE WHEN bank_code = '20' THEN
    (SELECT c.name FROM accounts a JOIN customers c ON c.id = a.customer_id
      WHERE a.account_no = favourite_accounts.account_no AND a.kind_code <> 'A07')
  ELSE
    (SELECT o.holder FROM other_bank_accounts o
      WHERE o.bank_code = favourite_accounts.bank_code AND o.account_no = favourite_accounts.account_no)
  END, account_name);
CREATE TABLE customer_profiles (
  customer_id   INTEGER PRIMARY KEY REFERENCES customers(id) ON DELETE CASCADE,
  zip_code      TEXT NOT NULL DEFAULT '',
  address1      TEXT NOT NULL DEFAULT '',
  address2      TEXT NOT NULL DEFAULT '',
  home_phone    TEXT NOT NULL DEFAULT '',
  mobile        TEXT NOT NULL DEFAULT '',
  email         TEXT NOT NULL DEFAULT '',
  solar         TEXT NOT NULL DEFAULT '1' CHECK (solar IN ('1','2')),
  birth_date    TEXT NOT NULL DEFAULT '',
  wedding_date  TEXT NOT NULL DEFAULT '00000000',
  business_code TEXT NOT NULL DEFAULT '',
  workplace     TEXT NOT NULL DEFAULT '',
  work_phone    TEXT NOT NULL DEFAULT '',
  position      TEXT NOT NULL DEFAULT ''
);
CREATE TABLE security_way_changes (
  id          INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers(id) ON DELETE CASCADE,
  old_way     TEXT NOT NULL,
  new_way     TEXT NOT NULL,
  at          TEXT NOT NULL
);
)SQL";

// Version 9: login-free inquiry and enrolment. Exchange rates by day; account
// holders who are not yet internet-banking users (customers not enrolled, with
// a user ID of their own that no login can name); applications made at a
// branch, with the ID chosen there, their validity and wrong-ID attempts.
const char* kV9 = R"SQL(
CREATE TABLE exchange_rates (
  rate_date  TEXT NOT NULL,
  seq        INTEGER NOT NULL,
  currency   TEXT NOT NULL,
  country    TEXT NOT NULL,
  send       TEXT NOT NULL,
  receive    TEXT NOT NULL,
  cash_buy   TEXT NOT NULL,
  cash_sell  TEXT NOT NULL,
  tc_buy     TEXT NOT NULL,
  base_rate  TEXT NOT NULL,
  bok_rate   TEXT NOT NULL,
  usd_rate   TEXT NOT NULL,
  posted_at  TEXT NOT NULL,
  PRIMARY KEY (rate_date, currency)
);
ALTER TABLE customers ADD COLUMN enrolled INTEGER NOT NULL DEFAULT 1;
CREATE INDEX customers_jumin ON customers(jumin_no);
CREATE TABLE enrol_applications (
  jumin_no    TEXT PRIMARY KEY,
  user_id     TEXT NOT NULL,
  name        TEXT NOT NULL,
  applied_on  TEXT NOT NULL,
  valid_until TEXT NOT NULL,
  failures    INTEGER NOT NULL DEFAULT 0,
  state       TEXT NOT NULL DEFAULT 'open' CHECK (state IN ('open','done'))
);
)SQL";

// Version 10: the state of the gateway and of the logins, shared by every
// bankd node on the database (used when the server runs in shared mode):
// sessions (state 0 never logged in, 1 logged in, 2 ended; Unix seconds), the
// counters each used (one row per request), logins with their attributes
// (milliseconds of the bank clock) and the rate-limit windows.
const char* kV10 = R"SQL(
CREATE TABLE gateway_sessions (
  session_key TEXT PRIMARY KEY,
  state       INTEGER NOT NULL,
  address     TEXT NOT NULL,
  created     INTEGER NOT NULL,
  last_use    INTEGER NOT NULL
);
CREATE INDEX gateway_sessions_by_address ON gateway_sessions(state, address, created);
CREATE INDEX gateway_sessions_by_use ON gateway_sessions(last_use);
CREATE TABLE gateway_counters (
  session_key TEXT NOT NULL,
  counter     INTEGER NOT NULL,
  used_at     INTEGER NOT NULL,
  PRIMARY KEY (session_key, counter)
);
CREATE INDEX gateway_counters_by_use ON gateway_counters(used_at);
CREATE TABLE bank_sessions (
  session_key TEXT PRIMARY KEY,
  user_id     TEXT NOT NULL,
  last_use    INTEGER NOT NULL,
  ended       INTEGER NOT NULL
);
CREATE INDEX bank_sessions_by_user ON bank_sessions(user_id);
CREATE TABLE bank_session_attributes (
  session_key TEXT NOT NULL,
  name        TEXT NOT NULL,
  value       TEXT NOT NULL,
  PRIMARY KEY (session_key, name)
);
CREATE TABLE rate_windows (
  scope    INTEGER NOT NULL,
  rate_key TEXT NOT NULL,
  started  INTEGER NOT NULL,
  hits     INTEGER NOT NULL,
  PRIMARY KEY (scope, rate_key)
);
)SQL";

// Version 11: PostgreSQL has no rowid; quotes get one there (an identity
// column), so "newest first" breaks ties between quotes of the same second
// the same way on both engines.
const char* kV11Postgres = "ALTER TABLE quotes ADD COLUMN rowid BIGINT GENERATED ALWAYS AS IDENTITY";

// Version 12: the account list reads a customer's listed accounts in their
// order straight from an index (no sort per request).
const char* kV12 = "CREATE INDEX accounts_listed ON accounts(customer_id, hidden, opened_on, account_no)";

// Version 13: the day's executed sum of an account (its daily limit, read twice
// per transfer) from the index alone; the index it replaces made each
// transfer read every earlier one of the day from the table.
const char* kV13 = R"SQL(
CREATE INDEX transfers_day_sum ON transfers(from_account, transfer_date, result_code, amount);
DROP INDEX transfers_daily;
)SQL";

// Version 14: each source account's executed sum per day, kept with every
// executed transfer: the daily limit is one row read, however many transfers
// the account made that day. Filled from the transfers already recorded.
const char* kV14 = R"SQL(
CREATE TABLE transfer_day_totals (
  from_account  TEXT NOT NULL,
  transfer_date TEXT NOT NULL,
  total         INTEGER NOT NULL,
  PRIMARY KEY (from_account, transfer_date)
);
INSERT INTO transfer_day_totals (from_account, transfer_date, total)
  SELECT from_account, transfer_date, sum(amount) FROM transfers WHERE result_code = '0000'
  GROUP BY from_account, transfer_date;
)SQL";

// Version 15: indexes no query reads any more, each one more page written
// by every transfer or quote: the day's sums are kept in transfer_day_totals,
// and expired quotes are refused when read, never looked up by expiry.
const char* kV15 = R"SQL(
DROP INDEX transfers_day_sum;
DROP INDEX quotes_expiry;
)SQL";

const std::vector<Migration> kMigrations = {
    {1, kV1},
    {2, kV2},
    {3, kV3},
    {4, kV4},
    {5, kV5},
    {6, kV6},
    {7, kV7},
    {8, kV8},
    {9, kV9},
    {10, kV10},
    {11, "", kV11Postgres},
    {12, kV12},
    {13, kV13},
    {14, kV14},
    {15, kV15},
};

constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(1414942786)";  // kApplicationId

int applicationId(Db& db)
{
    auto s = db.prepare("PRAGMA application_id");
    s.step();
    return static_cast<int>(s.integer(0));
}

int tableCount(Db& db)
{
    auto s = db.prepare(db.engine() == DbEngine::Sqlite
                            ? "SELECT count(*) FROM sqlite_master WHERE type='table'"
                            : "SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema()");
    s.step();
    return static_cast<int>(s.integer(0));
}

int lastVersion(const std::vector<Migration>& list)
{
    return list.empty() ? 0 : list.back().version;
}

} // namespace

SchemaTooNew::SchemaTooNew(int f, int k)
    : std::runtime_error("database schema version " + std::to_string(f) +
                         " is newer than this bankd understands (" + std::to_string(k) + ")"),
      found(f), known(k)
{
}

const std::vector<Migration>& Schema::migrations()
{
    return kMigrations;
}

int Schema::currentVersion()
{
    return lastVersion(kMigrations);
}

std::string Schema::postgresDdl(const std::string& sql)
{
    static const std::regex rowid(R"(\bINTEGER PRIMARY KEY\b)");
    static const std::regex integer(R"(\bINTEGER\b)");
    static const std::regex text(R"(\bTEXT\b)");
    std::string out = std::regex_replace(sql, rowid, "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    out = std::regex_replace(out, integer, "BIGINT");
    return std::regex_replace(out, text, "TEXT COLLATE \"C\"");
}

void Schema::check(Db& db, const std::vector<Migration>& list)
{
    if (db.engine() == DbEngine::Postgres) {
        if (db.userVersion() == 0 && tableCount(db) != 0)
            throw ForeignDatabase("the database schema holds tables that do not belong to bankd");
    } else {
        int app = applicationId(db);
        if (app != kApplicationId && !(app == 0 && tableCount(db) == 0))
            throw ForeignDatabase("the database does not belong to bankd");
    }
    int found = db.userVersion();
    if (found > lastVersion(list))
        throw SchemaTooNew(found, lastVersion(list));
}

int Schema::migrate(Db& db, const std::vector<Migration>& list)
{
    check(db, list);
    int found = db.userVersion();
    if (db.engine() == DbEngine::Postgres) {
        // PostgreSQL's DDL is transactional: every pending step in one
        // transaction, all or none. Nodes starting together: one migrates
        // (holding the lock), the others then find it done.
        if (found >= lastVersion(list))
            return found;
        Transaction tx(db);
        db.exec(kSchemaLock);
        for (const Migration& m : list) {
            if (m.version <= db.userVersion())
                continue;
            db.exec(m.postgres ? m.postgres : postgresDdl(m.sql).c_str());
            db.setUserVersion(m.version);
        }
        tx.commit();
        return found;
    }
    for (const Migration& m : list) {
        if (m.version <= db.userVersion())
            continue;
        Transaction tx(db);
        {
            db.exec(m.sql);
            db.exec(("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str());
        }
        db.setUserVersion(m.version);
        tx.commit();
    }
    return found;
}

} // namespace bankd

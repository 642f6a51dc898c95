#include "Quotes.h"

#include <cstdio>
#include <sodium.h>

#include "QuoteBook.h"
#include "Sqlite.h"

namespace bankd::quotes {

namespace {

// Eight random decimal digits from one draw (each draw is a system call).
std::string randomDigits8()
{
    char buf[12];
    std::snprintf(buf, sizeof buf, "%08u", randombytes_uniform(100'000'000));
    return buf;
}

} // namespace

std::string encode(const Values& values)
{
    std::string out;
    for (const auto& [k, v] : values) {
        out += k;
        out += '=';
        for (char c : v) {
            if (c == '\\')
                out += "\\\\";
            else if (c == '\n')
                out += "\\n";
            else
                out += c;
        }
        out += '\n';
    }
    return out;
}

Values decode(const std::string& text)
{
    Values out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::size_t eq = text.find('=', pos);
        if (eq != std::string::npos && eq < end) {
            std::string value;
            for (std::size_t i = eq + 1; i < end; ++i) {
                if (text[i] == '\\' && i + 1 < end) {
                    ++i;
                    value += text[i] == 'n' ? '\n' : text[i];
                } else {
                    value += text[i];
                }
            }
            out[text.substr(pos, eq - pos)] = std::move(value);
        }
        pos = end + 1;
    }
    return out;
}

namespace {
// A serial any quote in the database has (every executed one, in memory mode).
bool serialTaken(Db& db, const std::string& serial)
{
    auto s = db.prepare("SELECT 1 FROM quotes WHERE serial = ?1");
    s.bind(1, serial);
    return s.step();
}
} // namespace

std::string open(Db& db, const Binding& binding, const Values& values, Clock::time_point now,
                 std::chrono::seconds life)
{
    const std::string today = bankTime(now).date;
    if (QuoteBook* book = db.quoteBook()) {
        for (int attempt = 0;; ++attempt) {
            std::string serial = today + randomDigits8();
            if (!serialTaken(db, serial) &&
                book->add(serial, {binding, values, bankTimestamp(now), bankTimestamp(now + life)}, now))
                return serial;
            if (attempt > 20)
                throw DbError("no free quote serial");
        }
    }
    const std::string text = encode(values);
    for (int attempt = 0;; ++attempt) {
        std::string serial = today + randomDigits8();
        auto s = db.prepare(
            "INSERT INTO quotes (serial, kind, customer_id, session_key, bound_values, created_at, expires_at) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) ON CONFLICT (serial) DO NOTHING");
        s.bind(1, serial).bind(2, binding.kind).bind(3, binding.customerId).bind(4, binding.sessionKey);
        s.bind(5, text).bind(6, bankTimestamp(now)).bind(7, bankTimestamp(now + life));
        s.run();
        if (db.changes() == 1)
            return serial;
        if (attempt > 20)
            throw DbError("no free quote serial");
    }
}

Found find(Db& db, const Binding& binding, const std::string& serial, Clock::time_point now)
{
    Found f;
    if (serial.empty() || serial.size() > 32)
        return f;
    auto s = db.prepare(
        "SELECT bound_values, expires_at, state, outcome FROM quotes "
        "WHERE serial = ?1 AND kind = ?2 AND customer_id = ?3 AND session_key = ?4");
    s.bind(1, serial).bind(2, binding.kind).bind(3, binding.customerId).bind(4, binding.sessionKey);
    if (!s.step()) {
        // Kept in memory until executed: open or expired there.
        QuoteBook* book = db.quoteBook();
        auto e = book ? book->get(serial) : std::nullopt;
        if (!e || e->binding.kind != binding.kind || e->binding.customerId != binding.customerId ||
            e->binding.sessionKey != binding.sessionKey)
            return f;
        if (e->expiresAt < bankTimestamp(now)) {
            f.state = State::Expired;
        } else {
            f.state = State::Open;
            f.values = std::move(e->values);
        }
        return f;
    }
    if (s.text(2) != "open") {
        f.state = State::Used;
        f.outcome = s.text(3);
    } else if (s.text(1) < bankTimestamp(now)) {
        f.state = State::Expired;
    } else {
        f.state = State::Open;
        f.values = decode(s.text(0));
    }
    return f;
}

namespace {
bool includes(const Values& v, const Values& match)
{
    for (const auto& [k, want] : match) {
        auto it = v.find(k);
        if (it == v.end() || it->second != want)
            return false;
    }
    return true;
}
} // namespace

Found findLatest(Db& db, const Binding& binding, const Values& match, Clock::time_point now, std::string* serial)
{
    // The quotes in memory are newer than any the book has let go.
    if (QuoteBook* book = db.quoteBook()) {
        for (const std::string& s : book->newestOf(binding)) {
            auto e = book->get(s);
            if (e && includes(e->values, match)) {
                *serial = s;
                return find(db, binding, s, now);
            }
        }
    }
    auto s = db.prepare(
        "SELECT serial, bound_values FROM quotes WHERE kind = ?1 AND customer_id = ?2 AND session_key = ?3 "
        "ORDER BY created_at DESC, rowid DESC");
    s.bind(1, binding.kind).bind(2, binding.customerId).bind(3, binding.sessionKey);
    while (s.step()) {
        if (includes(decode(s.text(1)), match)) {
            *serial = s.text(0);
            return find(db, binding, *serial, now);
        }
    }
    serial->clear();
    return {};
}

bool consume(Db& db, const Binding& binding, const std::string& serial, const std::string& outcome,
             Clock::time_point now)
{
    const std::string at = bankTimestamp(now);
    if (QuoteBook* book = db.quoteBook()) {
        // Written now, as used, in the executing transaction: a second
        // execution finds it used, in this transaction or any later one.
        auto e = book->get(serial);
        if (e && e->binding.kind == binding.kind && e->binding.customerId == binding.customerId &&
            e->binding.sessionKey == binding.sessionKey && e->expiresAt >= at) {
            auto ins = db.prepare(
                "INSERT INTO quotes (serial, kind, customer_id, session_key, bound_values, created_at, expires_at, "
                "state, outcome, used_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 'used', ?8, ?9) "
                "ON CONFLICT (serial) DO NOTHING");
            ins.bind(1, serial).bind(2, binding.kind).bind(3, binding.customerId).bind(4, binding.sessionKey);
            ins.bind(5, encode(e->values)).bind(6, e->createdAt).bind(7, e->expiresAt).bind(8, outcome).bind(9, at);
            ins.run();
            if (db.changes() == 1)
                return true;
        }
        // Not in memory: a row of its own (opened before the book was in use).
    }
    auto s = db.prepare(
        "UPDATE quotes SET state = 'used', outcome = ?5, used_at = ?6 "
        "WHERE serial = ?1 AND kind = ?2 AND customer_id = ?3 AND session_key = ?4 AND state = 'open' "
        "AND expires_at >= ?6");
    s.bind(1, serial).bind(2, binding.kind).bind(3, binding.customerId).bind(4, binding.sessionKey);
    s.bind(5, outcome).bind(6, at).run();
    return db.changes() == 1;
}

} // namespace bankd::quotes

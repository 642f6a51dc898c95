#include "Notices.h"

#include "Sqlite.h"

namespace bankd::notices {

std::int64_t add(Db& db, const std::string& postedOn, const std::string& title, const std::string& body)
{
    auto s = db.prepare("INSERT INTO notices (posted_on, title, body) VALUES (?1, ?2, ?3) RETURNING num");
    s.bind(1, postedOn).bind(2, title).bind(3, body);
    s.step();
    return s.integer(0);
}

NoticePage page(Db& db, std::int64_t after, int pageSize)
{
    // One row more than the page tells whether another page follows.
    auto s = db.prepare(
        "SELECT num, posted_on, title FROM notices WHERE (?1 <= 0 OR num < ?1) ORDER BY num DESC LIMIT ?2");
    s.bind(1, after).bind(2, pageSize + 1);
    NoticePage p;
    while (s.step())
        p.notices.push_back({s.integer(0), s.text(1), s.text(2), {}});
    p.last = static_cast<int>(p.notices.size()) <= pageSize;
    if (!p.last)
        p.notices.pop_back();
    return p;
}

std::optional<Notice> find(Db& db, std::int64_t num)
{
    auto s = db.prepare("SELECT num, posted_on, title, body FROM notices WHERE num = ?1");
    s.bind(1, num);
    if (!s.step())
        return std::nullopt;
    return Notice{s.integer(0), s.text(1), s.text(2), s.text(3)};
}

} // namespace bankd::notices

#pragma once
// The bank's notices, numbered in posting order; lists run newest first.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bankd {

class Db;

struct Notice {
    std::int64_t num = 0;
    std::string postedOn;  // YYYYMMDD
    std::string title;
    std::string body;      // may hold "<br>" and "&nbsp;"
};

struct NoticePage {
    std::vector<Notice> notices;  // bodies left empty
    bool last = true;             // nothing follows this page
};

namespace notices {

std::int64_t add(Db& db, const std::string& postedOn, const std::string& title, const std::string& body);
// The page after list position `after` (the number of the last notice of the
// previous page; 0 for the first page), newest first.
NoticePage page(Db& db, std::int64_t after, int pageSize);
std::optional<Notice> find(Db& db, std::int64_t num);

} // namespace notices
} // namespace bankd

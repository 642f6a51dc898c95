#pragma once
// A request's query text: "key=value" pairs joined by "&". Values arrive as
// the client inserted them, with "%" and "&" escaped as "%25" and "%26".
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bankd {

class Query {
public:
    // Parses hostile input. Refuses (empty, with a reason for the log) an
    // empty or over-long text, a pair without "=" or with a bad key, a key
    // given twice, invalid UTF-8 and control characters.
    static std::optional<Query> parse(std::string_view text, std::string* reason = nullptr);

    bool has(std::string_view key) const;
    // The value of key, empty when absent.
    const std::string& value(std::string_view key) const;
    const std::vector<std::pair<std::string, std::string>>& pairs() const { return pairs_; }

    static constexpr std::size_t kMaxLength = 16 * 1024;

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
};

// Undoes the client's value escapes: "%25" -> "%", "%26" -> "&". Any other
// "%" is kept as it stands.
std::string decodeValue(std::string_view raw);

} // namespace bankd

// bankd's query decoding on a hostile request text: a parsed query holds
// what the text said, its keys are unique, and the log field stays safe.
// The same bytes as a whole HTTP request for the encrypted GET's short path:
// what it takes is a plain GET whose parts lie inside the request.
#include <cstdint>
#include <set>
#include <string_view>

#include "CodePage949.h"
#include "Dispatcher.h"
#include "FuzzInput.h"
#include "Query.h"
#include "SimpleGet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (const auto get = bankd::parseSimpleGet(text)) {
        fuzz::check(text.substr(0, 5) == "GET /" && text.substr(text.size() - 4) == "\r\n\r\n", "not a whole GET");
        auto inside = [&](std::string_view part) {
            return part.empty() || (part.data() >= text.data() && part.data() + part.size() <= text.data() + text.size());
        };
        fuzz::check(inside(get->path) && inside(get->query) && inside(get->realIp) && inside(get->forwardedFor),
                    "a part outside the request");
        fuzz::check(!get->path.empty() && get->path.front() == '/' && get->path.find(' ') == std::string_view::npos,
                    "a path with a blank");
        if (const auto q = bankd::soleQueryValue(get->query, "q"))
            fuzz::check(q->size() + 2 <= get->query.size(), "a decoded value longer than its text");
    }

    const std::string safe = bankd::logSafe(text);
    fuzz::check(!safe.empty() && safe.size() <= 24, "logSafe length");
    for (char c : safe)
        fuzz::check((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-',
                    "logSafe let a character through");

    std::string reason;
    const auto query = bankd::Query::parse(text, &reason);
    if (!query) {
        fuzz::check(!reason.empty(), "a refusal without a reason");
        return 0;
    }
    fuzz::check(!text.empty() && text.size() <= bankd::Query::kMaxLength, "an empty or over-long text was parsed");
    fuzz::check(cp949::isValidUtf8(text), "malformed UTF-8 was parsed");
    std::set<std::string, std::less<>> keys;
    for (const auto& [key, value] : query->pairs()) {
        fuzz::check(!key.empty() && keys.insert(key).second, "an empty or repeated key");
        fuzz::check(query->has(key) && query->value(key) == value, "value() differs from the pair");
        fuzz::check(text.find(key) != std::string_view::npos, "a key that is not in the text");
        for (char c : key)
            fuzz::check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f, "a control character in a key");
        const std::string decoded = bankd::decodeValue(value);
        fuzz::check(decoded.size() <= value.size(), "decodeValue grew a value");
        fuzz::check(cp949::isValidUtf8(decoded), "decodeValue broke UTF-8");
    }
    fuzz::check(!query->has("\x01") && query->value("\x01").empty(), "a key that was never given");
    return 0;
}

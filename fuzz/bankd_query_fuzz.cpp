// bankd's query decoding on a hostile request text: a parsed query holds
// what the text said, its keys are unique, and the log field stays safe.
// The same bytes as a whole HTTP request for the short path of the client's
// encrypted GET and form POST: what it takes is a GET or POST whose parts lie
// inside the request, and the general HTTP parser reads that request alike
// (the same route, "q" value, connection end and address headers).
#include <chrono>
#include <cstdint>
#include <set>
#include <string_view>

#include "CodePage949.h"
#include "ConnectionStream.h"
#include "Dispatcher.h"
#include "FuzzInput.h"
#include "IntakeServer.h"
#include "Query.h"
#include "SimpleRequest.h"

namespace {

// What the general parser made of one request.
struct GeneralRead {
    bool routed = false;
    bool post = false;
    bool hasQ = false;
    std::string q;
    std::string realIp;
    std::string forwardedFor;
    bool closed = false;
};

GeneralRead readGenerally(std::string_view request)
{
    static GeneralRead seen;
    static bankd::IntakeServer* server = [] {
        auto* s = new bankd::IntakeServer;
        auto note = [](bool post) {
            return [post](const httplib::Request& req, httplib::Response&) {
                seen.routed = true;
                seen.post = post;
                seen.hasQ = req.has_param("q");
                seen.q = req.get_param_value("q");
                seen.realIp = req.get_header_value("X-Real-IP");
                seen.forwardedFor = req.get_header_value("X-Forwarded-For");
            };
        };
        s->Get("/servlet/TvPdaMain", note(false));
        s->Post("/servlet/TvPdaMain", note(true));
        return s;
    }();
    seen = GeneralRead{};
    bankd::Connection c;
    c.bytes.assign(request);
    c.requestLength = c.bytes.size();
    bankd::ConnectionStream stream(c, std::chrono::milliseconds(0));
    server->serve(stream, false, seen.closed);
    return seen;
}

void checkSimpleRequest(std::string_view text)
{
    const auto simple = bankd::parseSimpleRequest(text);
    if (!simple)
        return;
    fuzz::check(text.substr(0, simple->post ? 6 : 5) == (simple->post ? "POST /" : "GET /"), "not a GET or POST");
    auto inside = [&](std::string_view part) {
        return part.empty() || (part.data() >= text.data() && part.data() + part.size() <= text.data() + text.size());
    };
    fuzz::check(inside(simple->path) && inside(simple->query) && inside(simple->body) && inside(simple->realIp) &&
                    inside(simple->forwardedFor),
                "a part outside the request");
    fuzz::check(!simple->path.empty() && simple->path.front() == '/' && simple->path.find(' ') == std::string_view::npos,
                "a path with a blank");
    fuzz::check(simple->post || simple->body.empty(), "a GET with a body");
    fuzz::check(!simple->post || simple->query.empty(), "a POST with a query");
    fuzz::check(simple->body.size() <= bankd::kSimpleFormMost, "a form over the general parser's limit");
    const auto q = bankd::soleQueryValue(simple->post ? simple->body : simple->query, "q");
    if (q)
        fuzz::check(q->size() + 2 <= (simple->post ? simple->body : simple->query).size(),
                    "a decoded value longer than its text");
    // The bank answers the short path only on its servlet with a sole "q".
    if (simple->path != "/servlet/TvPdaMain" || !q)
        return;
    const GeneralRead general = readGenerally(text);
    fuzz::check(general.routed && general.post == simple->post, "the general parser routes it elsewhere");
    fuzz::check(general.hasQ && general.q == *q, "the general parser reads another q");
    fuzz::check(general.closed == simple->close, "the general parser ends the connection otherwise");
    fuzz::check(general.realIp == simple->realIp && general.forwardedFor == simple->forwardedFor,
                "the general parser reads another client address");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    checkSimpleRequest(text);

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

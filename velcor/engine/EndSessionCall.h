#pragma once
// The one HTTP call of the engine: POST of the end-session message to the gateway.
#include <string>

namespace velcor {

struct HttpAnswer {
    bool reached = false; // an HTTP answer came back
    long status = 0;
    std::string body;
};

// POSTs body (text/plain) to url with short time-outs, no proxy, no redirects.
HttpAnswer postEndSession(const std::string& url, const std::string& body);

} // namespace velcor

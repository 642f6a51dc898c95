#pragma once
// How much of an HTTP request has arrived: the request line and headers up to
// their blank line, then as many body bytes as Content-Length names. Used to
// read a request whole before a worker sees it.
#include <cstddef>
#include <string>
#include <string_view>

namespace bankd {

struct RequestScan {
    enum State {
        Incomplete,  // more bytes needed
        Complete,    // the first `length` bytes are one whole request
        Refused,     // answer `status` and close
    };
    State state = Incomplete;
    std::size_t length = 0;
    int status = 0;
    // Headers are complete and the client waits for "100 Continue" before its
    // body; `expectLine` is where the Expect header line starts, `expectLength`
    // how long it is with its line end.
    bool expectsContinue = false;
    std::size_t expectLine = 0;
    std::size_t expectLength = 0;
};

// headerMax bounds the request line and headers together (longer: 414 while
// the request line itself has not ended, else 431), bodyMax the body (413).
// A body sent in chunks is refused with 411: the length must be known up front;
// a request with two Content-Length headers, or one that is not a number, 400.
RequestScan scanRequest(std::string_view bytes, std::size_t headerMax, std::size_t bodyMax);

// A whole reply with no body: "HTTP/1.1 408 Request Timeout" ..., Connection: close.
std::string emptyReply(int status);

} // namespace bankd

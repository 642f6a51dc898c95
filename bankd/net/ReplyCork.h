#pragma once
// Sends each reply as one TCP segment. httplib writes the status line and
// headers, then the body, in two sends; with TCP_NODELAY each is a packet of
// its own and the client wakes twice per reply. The worker thread corks its
// connection before the handler runs and uncorks it once the reply is
// written, so both parts leave together.
//
// httplib does not hand the connection's socket to handlers, so the first
// request of a connection finds it by its address pair (unique among open
// sockets); the worker pool forgets it when the connection ends.
namespace httplib {
struct Request;
}

namespace bankd {

class ReplyCork {
public:
    // Before the handler: holds back what the worker writes on this connection.
    static void hold(const httplib::Request& req);
    // After the reply is written: sends what was held.
    static void release();
    // The worker thread's connection is closed (its socket number may be reused).
    static void forget();
};

} // namespace bankd

#pragma once
// httplib's server with its connections handed to a ConnectionIntake: the
// accepting thread gives each accepted socket to `accepted` (instead of
// queueing it for a worker that would wait on its reads), and a worker serves
// one whole request at a time through serve().
#include <functional>

#include <httplib.h>

namespace bankd {

class IntakeServer : public httplib::Server {
public:
    IntakeServer();

    std::function<void(socket_t)> accepted;

    // After binding: lets `backlog` connections wait for accept (httplib
    // listens with a backlog of 5, which a burst of connects overflows).
    void widenBacklog(int backlog);

    // Answers the request on the stream (routing, handlers, logger, reply).
    // connectionClosed: the reply said "Connection: close".
    bool serve(httplib::Stream& stream, bool closeConnection, bool& connectionClosed);

private:
    bool process_and_close_socket(socket_t sock) override;
};

} // namespace bankd

#include "IntakeServer.h"

#include <sys/socket.h>
#include <unistd.h>

namespace bankd {

namespace {

// Runs each job on the accepting thread: the job only hands the socket over.
struct HandOver : httplib::TaskQueue {
    void enqueue(std::function<void()> fn) override { fn(); }
    void shutdown() override {}
};

} // namespace

IntakeServer::IntakeServer()
{
    new_task_queue = [] { return new HandOver; };
}

void IntakeServer::widenBacklog(int backlog)
{
    // listen() again on a listening socket changes its backlog.
    if (svr_sock_ != INVALID_SOCKET)
        ::listen(svr_sock_, backlog);
}

bool IntakeServer::serve(httplib::Stream& stream, bool closeConnection, bool& connectionClosed)
{
    return process_request(stream, closeConnection, connectionClosed, {});
}

bool IntakeServer::process_and_close_socket(socket_t sock)
{
    if (accepted)
        accepted(sock);
    else
        ::close(sock);
    return true;
}

} // namespace bankd

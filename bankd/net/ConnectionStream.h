#pragma once
// httplib's view of one connection whose request the intake has read whole:
// reads come from that request's bytes only (never from the socket, so a
// worker never waits for a client), writes are held and sent together after
// the reply, so a reply leaves as one segment.
#include <chrono>
#include <string>

#include <httplib.h>

#include "ConnectionIntake.h"

namespace bankd {

class ConnectionStream : public httplib::Stream {
public:
    ConnectionStream(Connection& c, std::chrono::milliseconds writeTimeout);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    using httplib::Stream::write;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return c_.fd; }

    // Sends what is held; false when the peer did not take it in time.
    bool flush();
    // Removes the request just served from the connection's bytes, keeping
    // what came behind it.
    void consume();
    bool failed() const { return failed_; }

private:
    bool wait(short events, std::chrono::milliseconds timeout) const;

    Connection& c_;
    std::chrono::milliseconds writeTimeout_;
    std::size_t pos_ = 0;
    std::string out_;
    bool failed_ = false;
};

} // namespace bankd

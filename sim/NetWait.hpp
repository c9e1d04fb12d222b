// One connection to a server, and waiting on it within a deadline: for the programs that talk
// to a server (the client, the mailer).
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "Net.hpp"

namespace simcoin {

// Closes the socket when it goes.
class Connection {
  public:
    explicit Connection(net::Socket socket) : socket_(socket) {}
    ~Connection() { net::closeSocket(socket_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    net::Socket socket() const { return socket_; }

  private:
    net::Socket socket_;
};

class Deadline {
  public:
    explicit Deadline(std::chrono::milliseconds timeout)
        : unlimited_(timeout.count() == 0), end_(std::chrono::steady_clock::now() + timeout) {}
    // Milliseconds left for a wait; -1 waits for ever.
    int remaining() const {
        if (unlimited_) return -1;
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now());
        return left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }

  private:
    bool unlimited_;
    std::chrono::steady_clock::time_point end_;
};

// False once the deadline passes without the socket becoming ready. A wait cut short
// (by a signal) is simply waited again.
inline bool waitFor(net::Socket socket, bool write, const Deadline& deadline) {
    while (true) {
        std::vector<net::Watch> watch{{socket, write, false}};
        net::waitAny(watch, deadline.remaining());
        if (watch[0].ready) return true;
        if (deadline.remaining() == 0) return false;
    }
}

// Sends all of `out`; false when the peer closed or the deadline passed first.
inline bool sendAll(net::Socket socket, std::string out, const Deadline& deadline) {
    while (!out.empty()) {
        if (!waitFor(socket, true, deadline)) return false;
        auto sent = net::sendSome(socket, out.data(), out.size());
        if (sent.state == net::Transfer::State::WouldBlock) continue;
        if (sent.state == net::Transfer::State::Closed || sent.bytes == 0) return false;
        out.erase(0, sent.bytes);
    }
    return true;
}

}  // namespace simcoin

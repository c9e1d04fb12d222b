// A single-threaded HTTP server on 127.0.0.1. The node's main loop calls
// pollOnce() with a short timeout, so serving requests and advancing the
// chain never need locks. Each connection gets one answer and is closed.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <string>

#include "HttpMessage.hpp"
#include "Net.hpp"

namespace simcoin {

class HttpServer {
  public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    explicit HttpServer(Handler handler) : handler_(std::move(handler)) {}
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and listens; false with the reason in `error` when it cannot.
    bool listen(const std::string& address, std::uint16_t port, std::string& error);
    // Stops taking new connections (as a node does once told to stop) while
    // answers already under way are still delivered.
    void stopListening();
    bool listening() const { return listener_ != net::invalidSocket; }
    bool hasPendingWork() const { return !connections_.empty(); }

    // Waits up to `timeout` for activity and deals with all of it.
    void pollOnce(std::chrono::milliseconds timeout);

  private:
    struct Connection {
        net::Socket socket = net::invalidSocket;
        std::string in;
        std::size_t headScanned = 0;  // bytes of `in` known to hold no end of the head
        bool headComplete = false;
        std::string out;
        bool answered = false;
        bool sentContinue = false;
        std::chrono::steady_clock::time_point lastActivity;
    };

    void acceptAll();
    void readFrom(Connection& c);
    // What the bytes read so far allow: more reading (Incomplete) or an answer.
    ParseResult examine(Connection& c, HttpRequest& request);
    void writeTo(Connection& c);

    Handler handler_;
    net::Socket listener_ = net::invalidSocket;
    std::list<Connection> connections_;
};

}  // namespace simcoin

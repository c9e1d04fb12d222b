#include "HttpServer.hpp"

#include <vector>

namespace simcoin {

namespace {

// An idle client must not hold a connection for ever.
constexpr auto idleTimeout = std::chrono::seconds(30);
// The most read from one client before the others get their turn.
constexpr std::size_t readSlice = 256 * 1024;

}  // namespace

HttpServer::~HttpServer() {
    stopListening();
    for (auto& c : connections_) net::closeSocket(c.socket);
}

bool HttpServer::listen(const std::string& address, std::uint16_t port, std::string& error) {
    listener_ = net::listenTcp(address, port, error);
    return listener_ != net::invalidSocket;
}

void HttpServer::stopListening() {
    net::closeSocket(listener_);
    listener_ = net::invalidSocket;
}

void HttpServer::pollOnce(std::chrono::milliseconds timeout) {
    std::vector<net::Watch> watches;
    if (listening()) watches.push_back({listener_, false, false});
    for (auto& c : connections_) watches.push_back({c.socket, !c.out.empty(), false});
    net::waitAny(watches, static_cast<int>(timeout.count()));
    std::size_t i = 0;
    if (listening()) {
        if (watches[0].ready) acceptAll();
        ++i;
    }
    auto now = std::chrono::steady_clock::now();
    for (auto it = connections_.begin(); it != connections_.end();) {
        Connection& c = *it;
        // Connections accepted above were not watched; they are served at once in acceptAll.
        bool ready = i < watches.size() && watches[i].socket == c.socket && watches[i].ready;
        ++i;
        if (ready) {
            if (c.out.empty())
                readFrom(c);
            else
                writeTo(c);
        }
        bool done = c.socket == net::invalidSocket || (c.answered && c.out.empty()) ||
                    now - c.lastActivity > idleTimeout;
        if (done) {
            net::closeSocket(c.socket);
            it = connections_.erase(it);
        } else {
            ++it;
        }
    }
}

void HttpServer::acceptAll() {
    while (true) {
        net::Socket socket = net::acceptNext(listener_);
        if (socket == net::invalidSocket) return;
        Connection c;
        c.socket = socket;
        c.lastActivity = std::chrono::steady_clock::now();
        connections_.push_back(std::move(c));
        // Serve what is already there without waiting for the next poll.
        readFrom(connections_.back());
        if (!connections_.back().out.empty()) writeTo(connections_.back());
    }
}

void HttpServer::readFrom(Connection& c) {
    if (c.socket == net::invalidSocket || c.answered) return;
    char buf[16384];
    HttpRequest request;
    auto result = ParseResult::Incomplete;
    // A fast client is read a slice at a time, so the others are served between slices;
    // the limits are checked as the bytes arrive, not once the client pauses.
    for (std::size_t slice = 0; slice < readSlice && result == ParseResult::Incomplete;) {
        auto got = net::receiveSome(c.socket, buf, sizeof buf);
        if (got.state == net::Transfer::State::Moved) {
            c.in.append(buf, got.bytes);
            c.lastActivity = std::chrono::steady_clock::now();
            slice += got.bytes;
            result = examine(c, request);
            continue;
        }
        if (got.state == net::Transfer::State::WouldBlock) break;
        // The peer closed (or failed) before a whole request arrived.
        net::closeSocket(c.socket);
        c.socket = net::invalidSocket;
        return;
    }
    HttpResponse response;
    switch (result) {
        case ParseResult::Incomplete:
            if (!c.sentContinue && wantsContinue(c.in)) {
                c.sentContinue = true;
                c.out = "HTTP/1.1 100 Continue\r\n\r\n";
                writeTo(c);
            }
            return;
        case ParseResult::Bad:
            response.status = 400;
            break;
        case ParseResult::TooLarge:
            response.status = 413;
            break;
        case ParseResult::Complete:
            response = handler_(request);
            break;
    }
    c.answered = true;
    c.out += serialiseResponse(response);
    writeTo(c);
}

ParseResult HttpServer::examine(Connection& c, HttpRequest& request) {
    if (!c.headComplete) {
        // Only the new bytes are searched (and the three before them, for a split "\r\n\r\n").
        const auto from = c.headScanned > 3 ? c.headScanned - 3 : 0;
        c.headComplete = c.in.find("\r\n\r\n", from) != std::string::npos;
        c.headScanned = c.in.size();
        if (!c.headComplete)
            return c.in.size() > maxHeaderBytes ? ParseResult::TooLarge : ParseResult::Incomplete;
    }
    // The head is bounded, so parsing it again as the body arrives costs little.
    return parseRequest(c.in, request);
}

void HttpServer::writeTo(Connection& c) {
    while (c.socket != net::invalidSocket && !c.out.empty()) {
        auto sent = net::sendSome(c.socket, c.out.data(), c.out.size());
        if (sent.state == net::Transfer::State::Moved && sent.bytes > 0) {
            c.out.erase(0, sent.bytes);
            c.lastActivity = std::chrono::steady_clock::now();
            continue;
        }
        if (sent.state == net::Transfer::State::WouldBlock) return;
        net::closeSocket(c.socket);
        c.socket = net::invalidSocket;
    }
}

}  // namespace simcoin

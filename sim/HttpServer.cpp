#include "HttpServer.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace simcoin {

namespace {

// An idle client must not hold a connection for ever.
constexpr auto idleTimeout = std::chrono::seconds(30);
// The most read from one client before the others get their turn.
constexpr std::size_t readSlice = 256 * 1024;

void setNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

HttpServer::~HttpServer() {
    stopListening();
    for (auto& c : connections_) ::close(c.fd);
}

bool HttpServer::listen(const std::string& address, std::uint16_t port, std::string& error) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    // Lets a restarted node bind again while old connections sit in TIME_WAIT.
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
        ::close(fd);
        error = "invalid address " + address;
        return false;
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
        error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    setNonBlocking(fd);
    listenFd_ = fd;
    return true;
}

void HttpServer::stopListening() {
    if (listenFd_ >= 0) ::close(listenFd_);
    listenFd_ = -1;
}

void HttpServer::pollOnce(std::chrono::milliseconds timeout) {
    std::vector<pollfd> fds;
    if (listenFd_ >= 0) fds.push_back({listenFd_, POLLIN, 0});
    for (auto& c : connections_)
        fds.push_back({c.fd, static_cast<short>(c.out.empty() ? POLLIN : POLLOUT), 0});
    int ready = ::poll(fds.data(), fds.size(), static_cast<int>(timeout.count()));
    if (ready <= 0) {
        // Nothing happened (or a signal arrived): only look for idle clients.
        fds.clear();
    }
    std::size_t i = 0;
    if (listenFd_ >= 0) {
        if (!fds.empty() && (fds[0].revents & POLLIN)) acceptAll();
        ++i;
    }
    auto now = std::chrono::steady_clock::now();
    for (auto it = connections_.begin(); it != connections_.end();) {
        Connection& c = *it;
        short revents = i < fds.size() && fds[i].fd == c.fd ? fds[i].revents : 0;
        ++i;
        if (revents & (POLLIN | POLLHUP | POLLERR)) readFrom(c);
        if (revents & POLLOUT || (!c.out.empty() && revents)) writeTo(c);
        bool done = c.fd < 0 || (c.answered && c.out.empty()) || now - c.lastActivity > idleTimeout;
        if (done) {
            if (c.fd >= 0) ::close(c.fd);
            it = connections_.erase(it);
        } else {
            ++it;
        }
    }
}

void HttpServer::acceptAll() {
    while (true) {
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        Connection c;
        c.fd = fd;
        c.lastActivity = std::chrono::steady_clock::now();
        connections_.push_back(std::move(c));
        // Serve what is already there without waiting for the next poll.
        readFrom(connections_.back());
        if (!connections_.back().out.empty()) writeTo(connections_.back());
    }
}

void HttpServer::readFrom(Connection& c) {
    if (c.fd < 0 || c.answered) return;
    char buf[16384];
    HttpRequest request;
    auto result = ParseResult::Incomplete;
    // A fast client is read a slice at a time, so the others are served between slices;
    // the limits are checked as the bytes arrive, not once the client pauses.
    for (std::size_t slice = 0; slice < readSlice && result == ParseResult::Incomplete;) {
        ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
        if (n > 0) {
            c.in.append(buf, static_cast<std::size_t>(n));
            c.lastActivity = std::chrono::steady_clock::now();
            slice += static_cast<std::size_t>(n);
            result = examine(c, request);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n < 0 && errno == EINTR) continue;
        // The peer closed (or failed) before a whole request arrived.
        ::close(c.fd);
        c.fd = -1;
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
    while (c.fd >= 0 && !c.out.empty()) {
        ssize_t n = ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
        if (n > 0) {
            c.out.erase(0, static_cast<std::size_t>(n));
            c.lastActivity = std::chrono::steady_clock::now();
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (n < 0 && errno == EINTR) continue;
        ::close(c.fd);
        c.fd = -1;
    }
}

}  // namespace simcoin

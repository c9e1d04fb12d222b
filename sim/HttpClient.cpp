#include "HttpClient.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace simcoin {

namespace {

class Socket {
  public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

class Deadline {
  public:
    explicit Deadline(std::chrono::milliseconds timeout)
        : unlimited_(timeout.count() == 0), end_(std::chrono::steady_clock::now() + timeout) {}
    // Milliseconds left for poll(); -1 waits for ever.
    int remaining() const {
        if (unlimited_) return -1;
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now());
        return left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }
    bool expired() const { return !unlimited_ && remaining() == 0; }

  private:
    bool unlimited_;
    std::chrono::steady_clock::time_point end_;
};

bool waitFor(int fd, short events, const Deadline& deadline) {
    while (true) {
        pollfd p{fd, events, 0};
        int r = ::poll(&p, 1, deadline.remaining());
        if (r > 0) return true;
        if (r == 0) return false;
        if (errno != EINTR) return false;
    }
}

std::optional<sockaddr_in> resolve(const std::string& host, std::uint16_t port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &addr.sin_addr) == 1) return addr;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return std::nullopt;
    addr.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return addr;
}

}  // namespace

HttpExchange httpExchange(const std::string& host, std::uint16_t port, const HttpRequest& request,
                          std::chrono::milliseconds timeout) {
    HttpExchange result;
    Deadline deadline(timeout);
    auto addr = resolve(host, port);
    if (!addr) return result;
    Socket sock(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (sock.fd() < 0) return result;
    if (::connect(sock.fd(), reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) != 0) {
        if (errno != EINPROGRESS || !waitFor(sock.fd(), POLLOUT, deadline)) return result;
        int err = 0;
        socklen_t len = sizeof err;
        ::getsockopt(sock.fd(), SOL_SOCKET, SO_ERROR, &err, &len);
        if (err != 0) return result;
    }
    // From here on the server was reached; any failure is a missing answer.
    result.outcome = HttpExchange::Outcome::NoResponse;
    std::string out = serialiseRequest(request, host + ":" + std::to_string(port));
    while (!out.empty()) {
        if (!waitFor(sock.fd(), POLLOUT, deadline)) return result;
        ssize_t n = ::send(sock.fd(), out.data(), out.size(), MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return result;
        out.erase(0, static_cast<std::size_t>(n));
    }
    std::string in;
    bool closed = false;
    char buf[16384];
    while (true) {
        ParsedResponse parsed;
        ParseResult state = parseResponse(in, closed, parsed);
        if (state == ParseResult::Complete) {
            result.outcome = HttpExchange::Outcome::Ok;
            result.response = std::move(parsed);
            return result;
        }
        if (state != ParseResult::Incomplete || closed) return result;
        if (!waitFor(sock.fd(), POLLIN, deadline)) return result;
        ssize_t n = ::recv(sock.fd(), buf, sizeof buf, 0);
        if (n > 0)
            in.append(buf, static_cast<std::size_t>(n));
        else if (n == 0)
            closed = true;
        else if (errno != EAGAIN && errno != EINTR)
            closed = true;
    }
}

}  // namespace simcoin

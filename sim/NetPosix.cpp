#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "Net.hpp"

namespace simcoin::net {

namespace {

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

int fd(Socket s) {
    return static_cast<int>(s);
}

}  // namespace

Socket listenTcp(const std::string& address, std::uint16_t port, std::string& error) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
        error = "invalid address " + address;
        return invalidSocket;
    }
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0) {
        error = std::strerror(errno);
        return invalidSocket;
    }
    // Lets a restarted node bind again while old connections sit in TIME_WAIT.
    int yes = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(s, 64) != 0) {
        error = std::strerror(errno);
        ::close(s);
        return invalidSocket;
    }
    return s;
}

Socket acceptNext(Socket listener) {
    int s = ::accept4(fd(listener), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    return s < 0 ? invalidSocket : s;
}

Socket connectTcp(const std::string& host, std::uint16_t port, bool& pending) {
    auto addr = resolve(host, port);
    if (!addr) return invalidSocket;
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0) return invalidSocket;
    pending = false;
    if (::connect(s, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) == 0) return s;
    if (errno == EINPROGRESS) {
        pending = true;
        return s;
    }
    ::close(s);
    return invalidSocket;
}

bool finishConnect(Socket socket, int timeoutMs) {
    std::vector<Watch> watch{{socket, true, false}};
    waitAny(watch, timeoutMs);
    if (!watch[0].ready) return false;
    int err = 0;
    socklen_t len = sizeof err;
    ::getsockopt(fd(socket), SOL_SOCKET, SO_ERROR, &err, &len);
    return err == 0;
}

void closeSocket(Socket socket) {
    if (socket != invalidSocket) ::close(fd(socket));
}

Transfer sendSome(Socket socket, const char* data, std::size_t size) {
    while (true) {
        ssize_t n = ::send(fd(socket), data, size, MSG_NOSIGNAL);
        if (n >= 0) return {Transfer::State::Moved, static_cast<std::size_t>(n)};
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return {Transfer::State::WouldBlock, 0};
        return {Transfer::State::Closed, 0};
    }
}

Transfer receiveSome(Socket socket, char* buffer, std::size_t size) {
    while (true) {
        ssize_t n = ::recv(fd(socket), buffer, size, 0);
        if (n > 0) return {Transfer::State::Moved, static_cast<std::size_t>(n)};
        if (n == 0) return {Transfer::State::Closed, 0};
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return {Transfer::State::WouldBlock, 0};
        return {Transfer::State::Closed, 0};
    }
}

void waitAny(std::vector<Watch>& watches, int timeoutMs) {
    std::vector<pollfd> fds;
    for (const auto& w : watches)
        fds.push_back({fd(w.socket), static_cast<short>(w.wantWrite ? POLLOUT : POLLIN), 0});
    // A signal cuts the wait short; the caller loops anyway.
    int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    for (std::size_t i = 0; i < watches.size(); ++i) watches[i].ready = ready > 0 && fds[i].revents != 0;
}

}  // namespace simcoin::net

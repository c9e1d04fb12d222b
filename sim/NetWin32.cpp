#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <optional>

#include "Net.hpp"

namespace simcoin::net {

namespace {

// Winsock must be started before the first call; once per process is enough.
bool started() {
    static const bool ok = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ok;
}

std::optional<sockaddr_in> resolve(const std::string& host, std::uint16_t port) {
    if (!started()) return std::nullopt;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = ::htons(port);
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

SOCKET raw(Socket s) {
    return static_cast<SOCKET>(s);
}

// A socket that is non-blocking and not inherited by programs this one starts.
Socket prepared(SOCKET s) {
    if (s == INVALID_SOCKET) return invalidSocket;
    u_long yes = 1;
    ::ioctlsocket(s, FIONBIO, &yes);
    ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    return static_cast<Socket>(s);
}

std::string errorText(int code) {
    char text[256] = {};
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string out(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.')) out.pop_back();
    return out.empty() ? "error " + std::to_string(code) : out;
}

}  // namespace

Socket listenTcp(const std::string& address, std::uint16_t port, std::string& error) {
    auto addr = resolve(address, port);
    if (!addr) {
        error = "invalid address " + address;
        return invalidSocket;
    }
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        error = errorText(::WSAGetLastError());
        return invalidSocket;
    }
    // Windows' SO_REUSEADDR would let a second node take the port over; exclusive use is
    // what a node wants there (TIME_WAIT never blocks a bind on Windows).
    BOOL yes = TRUE;
    ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) != 0 || ::listen(s, 64) != 0) {
        error = errorText(::WSAGetLastError());
        ::closesocket(s);
        return invalidSocket;
    }
    return prepared(s);
}

Socket acceptNext(Socket listener) {
    return prepared(::accept(raw(listener), nullptr, nullptr));
}

Socket connectTcp(const std::string& host, std::uint16_t port, bool& pending) {
    auto addr = resolve(host, port);
    if (!addr) return invalidSocket;
    Socket s = prepared(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (s == invalidSocket) return invalidSocket;
    pending = false;
    if (::connect(raw(s), reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) == 0) return s;
    if (::WSAGetLastError() == WSAEWOULDBLOCK) {
        pending = true;
        return s;
    }
    ::closesocket(raw(s));
    return invalidSocket;
}

bool finishConnect(Socket socket, int timeoutMs) {
    // select() rather than WSAPoll: WSAPoll is known not to report a refused connection.
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(raw(socket), &writable);
    FD_SET(raw(socket), &failed);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    int ready = ::select(0, nullptr, &writable, &failed, timeoutMs < 0 ? nullptr : &limit);
    return ready > 0 && FD_ISSET(raw(socket), &writable) && !FD_ISSET(raw(socket), &failed);
}

void closeSocket(Socket socket) {
    if (socket != invalidSocket) ::closesocket(raw(socket));
}

Transfer sendSome(Socket socket, const char* data, std::size_t size) {
    int n = ::send(raw(socket), data, static_cast<int>(std::min<std::size_t>(size, 1 << 30)), 0);
    if (n >= 0) return {Transfer::State::Moved, static_cast<std::size_t>(n)};
    if (::WSAGetLastError() == WSAEWOULDBLOCK) return {Transfer::State::WouldBlock, 0};
    return {Transfer::State::Closed, 0};
}

Transfer receiveSome(Socket socket, char* buffer, std::size_t size) {
    int n = ::recv(raw(socket), buffer, static_cast<int>(std::min<std::size_t>(size, 1 << 30)), 0);
    if (n > 0) return {Transfer::State::Moved, static_cast<std::size_t>(n)};
    if (n == 0) return {Transfer::State::Closed, 0};
    if (::WSAGetLastError() == WSAEWOULDBLOCK) return {Transfer::State::WouldBlock, 0};
    return {Transfer::State::Closed, 0};
}

void waitAny(std::vector<Watch>& watches, int timeoutMs) {
    std::vector<WSAPOLLFD> fds;
    for (const auto& w : watches)
        fds.push_back({raw(w.socket), static_cast<short>(w.wantWrite ? POLLOUT : POLLIN), 0});
    int ready = fds.empty() ? (::Sleep(static_cast<DWORD>(timeoutMs < 0 ? 0 : timeoutMs)), 0)
                            : ::WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeoutMs);
    for (std::size_t i = 0; i < watches.size(); ++i) watches[i].ready = ready > 0 && fds[i].revents != 0;
}

}  // namespace simcoin::net

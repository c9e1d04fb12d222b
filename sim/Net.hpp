// The few socket calls the node and the client make, behind one interface:
// BSD sockets on POSIX (NetPosix.cpp), Winsock 2 on Windows (NetWin32.cpp).
// Every socket is non-blocking; a call never raises SIGPIPE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace simcoin::net {

// A socket descriptor wide enough for a Winsock SOCKET.
using Socket = std::intptr_t;
inline constexpr Socket invalidSocket = -1;

// Listens on address:port; invalidSocket with the reason in `error` when it cannot.
Socket listenTcp(const std::string& address, std::uint16_t port, std::string& error);
// The next waiting connection, or invalidSocket when none is waiting.
Socket acceptNext(Socket listener);
// Starts connecting to host:port; invalidSocket when the host is unknown or the
// attempt failed at once. `pending` tells whether the connection is still under way.
Socket connectTcp(const std::string& host, std::uint16_t port, bool& pending);
// Waits up to `timeoutMs` (-1: for ever) for a connection under way; true once it is up.
bool finishConnect(Socket socket, int timeoutMs);
void closeSocket(Socket socket);

// What a send or receive did: `bytes` moved (0 when it would block or the peer closed).
struct Transfer {
    enum class State { Moved, WouldBlock, Closed };
    State state = State::Closed;
    std::size_t bytes = 0;
};
Transfer sendSome(Socket socket, const char* data, std::size_t size);
Transfer receiveSome(Socket socket, char* buffer, std::size_t size);

struct Watch {
    Socket socket = invalidSocket;
    bool wantWrite = false;  // else readiness to read
    bool ready = false;      // set by waitAny: readable/writable, closed or failed
};
// Waits up to `timeoutMs` (-1: for ever) until one of the sockets is ready; marks all that are.
void waitAny(std::vector<Watch>& watches, int timeoutMs);

}  // namespace simcoin::net

#include "HttpClient.hpp"

#include "Net.hpp"

namespace simcoin {

namespace {

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
bool waitFor(net::Socket socket, bool write, const Deadline& deadline) {
    while (true) {
        std::vector<net::Watch> watch{{socket, write, false}};
        net::waitAny(watch, deadline.remaining());
        if (watch[0].ready) return true;
        if (deadline.remaining() == 0) return false;
    }
}

}  // namespace

HttpExchange httpExchange(const std::string& host, std::uint16_t port, const HttpRequest& request,
                          std::chrono::milliseconds timeout) {
    HttpExchange result;
    Deadline deadline(timeout);
    bool pending = false;
    Connection connection(net::connectTcp(host, port, pending));
    const auto socket = connection.socket();
    if (socket == net::invalidSocket) return result;
    if (pending && !net::finishConnect(socket, deadline.remaining())) return result;
    // From here on the server was reached; any failure is a missing answer.
    result.outcome = HttpExchange::Outcome::NoResponse;
    std::string out = serialiseRequest(request, host + ":" + std::to_string(port));
    while (!out.empty()) {
        if (!waitFor(socket, true, deadline)) return result;
        auto sent = net::sendSome(socket, out.data(), out.size());
        if (sent.state == net::Transfer::State::WouldBlock) continue;
        if (sent.state == net::Transfer::State::Closed || sent.bytes == 0) return result;
        out.erase(0, sent.bytes);
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
        if (!waitFor(socket, false, deadline)) return result;
        auto got = net::receiveSome(socket, buf, sizeof buf);
        if (got.state == net::Transfer::State::Moved)
            in.append(buf, got.bytes);
        else if (got.state == net::Transfer::State::Closed)
            closed = true;
    }
}

}  // namespace simcoin

#include "HttpClient.hpp"

#include "Net.hpp"
#include "NetWait.hpp"

namespace simcoin {

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
    if (!sendAll(socket, serialiseRequest(request, host + ":" + std::to_string(port)), deadline))
        return result;
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

// One HTTP exchange with the node over TCP, bounded by a deadline.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "HttpMessage.hpp"

namespace simcoin {

struct HttpExchange {
    enum class Outcome { Ok, CouldNotConnect, NoResponse };
    Outcome outcome = Outcome::CouldNotConnect;
    ParsedResponse response;
};

// `timeout` of zero means no limit.
HttpExchange httpExchange(const std::string& host, std::uint16_t port, const HttpRequest& request,
                          std::chrono::milliseconds timeout);

}  // namespace simcoin

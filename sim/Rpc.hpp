// JSON-RPC 1.0 over HTTP, answered as a bitcoin-style node answers: the
// result or an error object in the body, and the HTTP status telling the
// kind of error (404 for an unknown method, 500 for others, 401 with an
// empty body for bad credentials).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "Auth.hpp"
#include "HttpMessage.hpp"
#include "Json.hpp"

namespace simcoin {

// What the node tells the RPC layer at the moment of a call.
struct NodeStatus {
    bool warmingUp = false;
    const char* warmupMessage = "";  // what it is loading, while warming up
    std::int64_t height = 0;
    std::int64_t headers = 0;
    double verificationProgress = 0;
    bool initialBlockDownload = false;
    std::int64_t medianTime = 0;  // seconds since 1970 of the tip
    std::int64_t sizeOnDisk = 0;
    int connections = 0;
    std::int64_t uptimeSeconds = 0;
};

namespace rpcerror {
inline constexpr int miscError = -1;
inline constexpr int inWarmup = -28;
inline constexpr int invalidRequest = -32600;
inline constexpr int methodNotFound = -32601;
inline constexpr int parseError = -32700;
}  // namespace rpcerror

// A batch is answered whole or not at all; a larger one is refused before its replies are
// built, so that one client cannot take the node's memory and time from the others.
inline constexpr std::size_t maxBatchRequests = 1000;

// What a node answers (error -28) while it loads, in the order it goes through them.
inline constexpr std::array<const char*, 5> warmupMessages = {
    "Loading banlist...", "Loading block index...", "Verifying blocks...", "Loading P2P addresses...",
    "Starting network threads..."};
inline constexpr const char* stopMessage = "Simcoin server stopping";

class RpcService {
  public:
    struct Hooks {
        std::function<NodeStatus()> status;
        std::function<void()> stop;  // called once "stop" has been answered
        std::function<void(const std::string&)> log;
    };

    RpcService(Authenticator auth, Hooks hooks) : auth_(std::move(auth)), hooks_(std::move(hooks)) {}

    HttpResponse handle(const HttpRequest& request);

  private:
    struct Reply {
        Json body;
        int httpStatus = 200;
    };

    Reply call(const Json& request);
    Json execute(const std::string& method, const Json& params, const NodeStatus& status);

    Authenticator auth_;
    Hooks hooks_;
};

}  // namespace simcoin

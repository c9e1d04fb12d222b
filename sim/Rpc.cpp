#include "Rpc.hpp"

namespace simcoin {

namespace {

// Thrown by a method to answer with a JSON-RPC error object.
struct RpcError {
    int code;
    std::string message;
};

int httpStatusFor(int code) {
    if (code == rpcerror::invalidRequest) return 400;
    if (code == rpcerror::methodNotFound) return 404;
    return 500;
}

Json replyObject(Json result, Json error, Json id) {
    return Json(
        Json::Object{{"result", std::move(result)}, {"error", std::move(error)}, {"id", std::move(id)}});
}

Json errorObject(int code, const std::string& message) {
    return Json(Json::Object{{"code", code}, {"message", message}});
}

// A 64-digit hex text that differs for every number, shaped as a block hash.
std::string blockHash(std::int64_t n) {
    std::string hex(64, '0');
    auto value = static_cast<std::uint64_t>(n);
    for (int i = 63; i >= 48; --i, value >>= 4)
        hex[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 15];
    return hex;
}

constexpr const char* helpText =
    "== Blockchain ==\n"
    "getblockchaininfo\n"
    "getblockcount\n"
    "\n"
    "== Network ==\n"
    "getconnectioncount\n"
    "\n"
    "== Control ==\n"
    "help\n"
    "stop\n"
    "uptime";

}  // namespace

HttpResponse RpcService::handle(const HttpRequest& request) {
    HttpResponse response;
    if (request.method != "POST") {
        response.status = 405;
        response.contentType = "text/html";
        response.body = "JSONRPC server handles only POST requests";
        return response;
    }
    auto authHeader = request.header("authorization");
    if (!authHeader || !auth_.check(*authHeader)) {
        hooks_.log("ThreadRPCServer incorrect password attempt from 127.0.0.1");
        response.status = 401;
        response.extraHeaders["WWW-Authenticate"] = "Basic realm=\"jsonrpc\"";
        return response;
    }
    // A request of the node's methods holds a few values; a batch at most that many times.
    bool tooLarge = false;
    auto parsed = Json::parse(request.body, 16 * maxBatchRequests, tooLarge);
    if (tooLarge || (parsed && parsed->isArray() && parsed->asArray().size() > maxBatchRequests)) {
        const int code = rpcerror::invalidRequest;
        response.status = httpStatusFor(code);
        const auto why =
            "Request too large: a batch holds at most " + std::to_string(maxBatchRequests) + " requests";
        response.body = replyObject(Json(), errorObject(code, why), Json()).dump() + "\n";
        return response;
    }
    if (!parsed) {
        response.status = 500;
        response.body =
            replyObject(Json(), errorObject(rpcerror::parseError, "Parse error"), Json()).dump() + "\n";
        return response;
    }
    if (parsed->isArray()) {
        // A batch always succeeds at the HTTP level; each entry carries its own error.
        Json::Array replies;
        for (const auto& item : parsed->asArray()) replies.push_back(call(item).body);
        response.body = Json(std::move(replies)).dump() + "\n";
        return response;
    }
    auto reply = call(*parsed);
    response.status = reply.httpStatus;
    response.body = reply.body.dump() + "\n";
    return response;
}

RpcService::Reply RpcService::call(const Json& request) {
    Json id;
    if (const Json* i = request.find("id")) id = *i;
    const Json* method = request.find("method");
    if (!request.isObject() || !method || !method->isString()) {
        int code = rpcerror::invalidRequest;
        return {replyObject(Json(), errorObject(code, "Method must be a string"), id), httpStatusFor(code)};
    }
    Json params = Json::Array{};
    if (const Json* p = request.find("params"); p && !p->isNull()) params = *p;
    hooks_.log("ThreadRPCServer method=" + method->asString());
    try {
        NodeStatus status = hooks_.status();
        // While loading, every call is refused, stop included, as the node does.
        if (status.warmingUp) throw RpcError{rpcerror::inWarmup, status.warmupMessage};
        Json result = execute(method->asString(), params, status);
        return {replyObject(std::move(result), Json(), id), 200};
    } catch (const RpcError& e) {
        return {replyObject(Json(), errorObject(e.code, e.message), id), httpStatusFor(e.code)};
    }
}

Json RpcService::execute(const std::string& method, const Json& params, const NodeStatus& status) {
    bool noParams = !params.isArray() || params.asArray().empty();
    auto requireNoParams = [&](const char* usage) {
        if (!noParams) throw RpcError{rpcerror::miscError, usage};
    };
    if (method == "getblockcount") {
        requireNoParams("getblockcount\n\nReturns the height of the most-work fully-validated chain.");
        return Json(status.height);
    }
    if (method == "getblockchaininfo") {
        requireNoParams(
            "getblockchaininfo\nReturns an object containing various state info regarding blockchain "
            "processing.");
        // The members a real node answers, in its order; "softforks" nests members of the
        // same kind ("height"), as a real answer does.
        return Json(Json::Object{
            {"chain", "main"},
            {"blocks", status.height},
            {"headers", status.headers},
            {"bestblockhash", blockHash(status.height)},
            {"difficulty", 1},
            {"mediantime", status.medianTime},
            {"verificationprogress", status.verificationProgress},
            {"initialblockdownload", status.initialBlockDownload},
            {"chainwork", blockHash(status.height + 1)},
            {"size_on_disk", status.sizeOnDisk},
            {"pruned", false},
            {"softforks",
             Json::Object{{"bip34", Json::Object{{"type", "buried"}, {"active", true}, {"height", 1}}}}},
            {"warnings", ""},
        });
    }
    if (method == "getconnectioncount") {
        requireNoParams("getconnectioncount\n\nReturns the number of connections to other nodes.");
        return Json(status.connections);
    }
    if (method == "stop") {
        hooks_.stop();
        return Json(stopMessage);
    }
    if (method == "uptime") return Json(status.uptimeSeconds);
    if (method == "help") return Json(helpText);
    throw RpcError{rpcerror::methodNotFound, "Method not found"};
}

}  // namespace simcoin

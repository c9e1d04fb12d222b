#include "Client.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Auth.hpp"
#include "HttpClient.hpp"
#include "Json.hpp"
#include "Paths.hpp"
#include "SimSettings.hpp"

namespace fs = std::filesystem;

namespace simcoin {

namespace {

constexpr int defaultClientTimeoutSeconds = 900;

int failWith(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

// Each word after the command becomes a parameter: JSON where it reads as
// JSON (numbers, true, objects...), else a plain string.
Json toParam(const std::string& word) {
    if (auto v = Json::parse(word); v && !v->isString()) return *v;
    return Json(word);
}

struct Credentials {
    std::string user;
    std::string password;
};

std::optional<Credentials> credentials(const Options& options, const std::string& datadir) {
    auto password = options.get("rpcpassword", "");
    if (!password.empty()) return Credentials{options.get("rpcuser", ""), password};
    std::ifstream cookie(fs::path(datadir) / ".cookie");
    std::string line;
    if (!std::getline(cookie, line)) return std::nullopt;
    auto colon = line.find(':');
    if (colon == std::string::npos) return std::nullopt;
    return Credentials{line.substr(0, colon), line.substr(colon + 1)};
}

void sleepSeconds(double seconds) {
    if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

struct Call {
    std::string host;
    std::uint16_t port;
    HttpRequest request;
    std::chrono::milliseconds timeout;
};

}  // namespace

int exitStatusForRpcError(long long code) {
    int status = static_cast<int>(std::llabs(code) & 0xFF);
    return status == 0 ? 1 : status;
}

int runClient(const std::string& programName, const CommandLine& commandLine) {
    const auto& args = commandLine.options;
    auto explicitDatadir = lastOption(args, "datadir");
    // The hang fault comes first, before the client does anything at all.
    {
        std::string error;
        auto sim = loadSimSettings(explicitDatadir.value_or(""), processEnvironment(), error);
        if (!sim) return failWith("error: " + error);
        sleepSeconds(sim->cliHang);
    }
    if (lastOption(args, "h") || lastOption(args, "help") || lastOption(args, "?")) {
        std::printf(
            "Usage: %s [options] <command> [params]  Send a command to the simulated Simcoin node\n"
            "  -conf=<file>  -datadir=<dir>  -rpcconnect=<ip>  -rpcport=<port>  -rpcuser=<user>\n"
            "  -rpcpassword=<pw>  -rpcclienttimeout=<seconds>  -rpcwait  -rpcwaittimeout=<seconds>\n",
            programName.c_str());
        return 0;
    }
    auto datadir = dataDirFrom(args);
    if (explicitDatadir && !fs::is_directory(datadir))
        return failWith("Error: Specified data directory \"" + datadir + "\" does not exist.");
    bool explicitConf = false;
    auto confPath = confPathFrom(args, datadir, explicitConf);
    OptionList fileOptions;
    if (explicitConf || fs::exists(confPath)) {
        std::string error;
        auto conf = readConfFile(confPath, error);
        if (!conf) return failWith("Error reading configuration file: " + error);
        fileOptions = conf->options;
    }
    Options options(args, fileOptions);
    if (commandLine.words.empty()) return failWith("error: too few parameters (need at least command)");

    // Without credentials the call still goes out, as the real client's does: an unreachable
    // node is said to be unreachable, and only a node that refuses the call is told as missing
    // credentials.
    auto creds = credentials(options, datadir);
    Call call;
    call.host = options.get("rpcconnect", "127.0.0.1");
    auto portText = options.get("rpcport", std::to_string(defaultRpcPort));
    int port = std::atoi(portText.c_str());
    if (port <= 0 || port > 65535) return failWith("error: Invalid port provided in -rpcport: " + portText);
    call.port = static_cast<std::uint16_t>(port);
    call.timeout = std::chrono::seconds(
        std::atoi(options.get("rpcclienttimeout", std::to_string(defaultClientTimeoutSeconds)).c_str()));

    Json::Array params;
    for (std::size_t i = 1; i < commandLine.words.size(); ++i)
        params.push_back(toParam(commandLine.words[i]));
    Json body(Json::Object{{"method", commandLine.words.front()}, {"params", std::move(params)}, {"id", 1}});
    call.request.method = "POST";
    call.request.target = "/";
    if (creds)
        call.request.headers["Authorization"] = "Basic " + base64Encode(creds->user + ":" + creds->password);
    call.request.headers["Content-Type"] = "application/json";
    call.request.body = body.dump() + "\n";

    // -rpcwait: keep trying while the node is not up or still loading.
    bool wait = options.getBool("rpcwait", false);
    int waitLimit = std::atoi(options.get("rpcwaittimeout", "0").c_str());
    auto waitEnd = std::chrono::steady_clock::now() + std::chrono::seconds(waitLimit);
    auto mayRetry = [&] {
        if (!wait) return false;
        if (waitLimit > 0 && std::chrono::steady_clock::now() >= waitEnd) return false;
        sleepSeconds(1.0);
        return true;
    };

    std::string endpoint = call.host + ":" + std::to_string(call.port);
    while (true) {
        auto exchange = httpExchange(call.host, call.port, call.request, call.timeout);
        if (exchange.outcome == HttpExchange::Outcome::CouldNotConnect) {
            if (mayRetry()) continue;
            return failWith("error: Could not connect to the server " + endpoint +
                            "\n\nMake sure the simcoind server is running and that you are connecting to the "
                            "correct RPC port.");
        }
        if (exchange.outcome == HttpExchange::Outcome::NoResponse) {
            if (mayRetry()) continue;
            return failWith("error: no response from server");
        }
        const auto& response = exchange.response;
        if (response.status == 401 && !creds) {
            return failWith(
                "error: Could not locate RPC credentials. No authentication cookie could be found, and RPC "
                "password is not set.  See -rpcpassword and -stdinrpcpass.  Configuration file: (" +
                confPath + ")");
        }
        if (response.status == 401)
            return failWith("error: Authorization failed: Incorrect rpcuser or rpcpassword");
        if (response.status != 200 && response.status != 400 && response.status != 404 &&
            response.status != 500)
            return failWith("error: server returned HTTP error " + std::to_string(response.status));
        if (response.body.empty()) return failWith("error: no response from server");
        auto reply = Json::parse(response.body);
        if (!reply || !reply->isObject()) return failWith("error: couldn't parse reply from server");

        const Json* error = reply->find("error");
        if (error && !error->isNull()) {
            const Json* code = error->find("code");
            const Json* message = error->find("message");
            long long codeValue = code && code->isNumber() ? code->asInt() : -1;
            if (codeValue == -28 && mayRetry()) continue;
            std::string text = message && message->isString() ? message->asString() : error->dump();
            std::fprintf(stderr, "error code: %lld\nerror message:\n%s\n", codeValue, text.c_str());
            return exitStatusForRpcError(codeValue);
        }
        const Json* result = reply->find("result");
        if (!result || result->isNull()) return 0;
        std::string printed = result->isString() ? result->asString() : result->dump(2);
        std::printf("%s\n", printed.c_str());
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
}

}  // namespace simcoin

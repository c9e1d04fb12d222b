#include "Daemon.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "Auth.hpp"
#include "Chain.hpp"
#include "DataDir.hpp"
#include "HttpServer.hpp"
#include "Paths.hpp"
#include "Rpc.hpp"
#include "SimSettings.hpp"
#include "System.hpp"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace simcoin {

namespace {

std::atomic<bool> g_stopSignal{false};

// Options the node understands; anything else is logged and ignored, so a
// command line written for a real node still starts the simulator.
const std::set<std::string>& knownNodeOptions() {
    static const std::set<std::string> known{
        "conf",        "datadir", "daemon",     "disablewallet", "server",         "rpcport", "rpcuser",
        "rpcpassword", "rpcauth", "rpcallowip", "rpcbind",       "printtoconsole", "pid",     "debuglogfile"};
    return known;
}

const std::set<std::string>& simulationOptions() {
    static const std::set<std::string> sim{
        "start_height", "target",   "rate",     "bytes_per_block", "rpc_delay", "startup_delay", "stop_delay",
        "crash_at",     "stuck_at", "stall_at", "peers",           "old_tip",   "never_stop",    "cli_hang"};
    return sim;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "Error: %s\n", message.c_str());
    return 1;
}

class Node {
  public:
    Node(const DaemonIdentity& who, std::string datadir, Options options, SimSettings sim)
        : who_(who), datadir_(std::move(datadir)), options_(std::move(options)), sim_(sim) {}

    int run();

  private:
    enum class State { Loading, Running, Stopping };

    bool setUpAuth(Authenticator& auth, std::string& error);
    NodeStatus status() const;
    void requestStop(const std::string& why);
    void advanceChain();
    void shutDown();
    double secondsSince(Clock::time_point t) const {
        return std::chrono::duration<double>(Clock::now() - t).count();
    }

    const DaemonIdentity& who_;
    std::string datadir_;
    Options options_;
    SimSettings sim_;
    DebugLog log_;

    State state_ = State::Loading;
    Clock::time_point started_;
    Clock::time_point stopDeadline_;
    std::optional<Chain> chain_;
    std::optional<BlockStore> blocks_;
    std::int64_t height_ = 0;
    // A real node leaves its initial block download once its tip is recent and never goes
    // back to it while it runs, however far behind it falls.
    bool leftInitialDownload_ = false;
    bool reportedTop_ = false;
    bool closeListener_ = false;
    std::string pidFile_;
    std::string cookieFile_;
};

bool Node::setUpAuth(Authenticator& auth, std::string& error) {
    auto user = options_.get("rpcuser", "");
    auto password = options_.get("rpcpassword", "");
    if (!password.empty()) auth.allowUserPassword(user, password);
    for (const auto& line : options_.getAll("rpcauth")) {
        auto parsed = parseRpcAuth(line);
        if (!parsed) {
            error = "Invalid -rpcauth argument.";
            return false;
        }
        auth.allowRpcAuth(*parsed);
    }
    if (password.empty()) {
        // Without a password the node makes one up and leaves it where a
        // client on the same machine can read it.
        auto cookie = randomCookiePassword();
        cookieFile_ = (fs::path(datadir_) / ".cookie").string();
        std::ofstream out(cookieFile_, std::ios::trunc);
        out << cookieUser << ':' << cookie;
        if (!out.flush()) {
            error = "Unable to write the authentication cookie " + cookieFile_;
            return false;
        }
        fs::permissions(cookieFile_, fs::perms::owner_read | fs::perms::owner_write);
        auth.allowUserPassword(cookieUser, cookie);
        log_.write("Generated RPC authentication cookie " + cookieFile_);
    }
    return true;
}

NodeStatus Node::status() const {
    NodeStatus s;
    s.warmingUp = state_ == State::Loading;
    if (s.warmingUp) {
        // Through the real node's stages of loading, each an equal share of the delay.
        const auto share = sim_.startupDelay > 0 ? secondsSince(started_) / sim_.startupDelay : 1.0;
        const auto stage = static_cast<std::size_t>(std::clamp(share, 0.0, 0.999) * warmupMessages.size());
        s.warmupMessage = warmupMessages.at(stage);
    }
    s.height = height_;
    const double catchingUp = secondsSince(started_) - sim_.startupDelay;
    s.headers = chain_ ? std::max(chain_->headersAfter(catchingUp), height_) : height_;
    s.verificationProgress = Chain::verificationProgress(height_, s.headers);
    s.initialBlockDownload = !leftInitialDownload_;
    // A tip over a day old keeps a node in its initial download; a recent one is minutes old.
    s.medianTime = static_cast<std::int64_t>(std::time(nullptr)) - (sim_.oldTip ? 2 * 86400 : 600);
    s.sizeOnDisk = height_ * sim_.bytesPerBlock;
    s.connections = chain_ ? chain_->connections(static_cast<int>(sim_.peers)) : 0;
    s.uptimeSeconds = static_cast<std::int64_t>(secondsSince(started_));
    return s;
}

void Node::requestStop(const std::string& why) {
    if (state_ == State::Stopping) return;
    log_.write(why);
    state_ = State::Stopping;
    // The real daemon's main thread takes this name for its shutdown, and the process list
    // shows it from then on; the wallet program keeps its name.
    if (who_.mayDaemonize) nameThisProcess("b-shutoff");
    closeListener_ = true;
    stopDeadline_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(sim_.stopDelay));
    // The chain stands still from here on; keep what was reached.
    saveHeight(datadir_, height_);
}

void Node::advanceChain() {
    if (state_ == State::Loading) {
        if (secondsSince(started_) < sim_.startupDelay) return;
        state_ = State::Running;
        log_.write("init message: Done loading");
    }
    if (state_ != State::Running) return;
    double catchingUp = secondsSince(started_) - sim_.startupDelay;
    if (!leftInitialDownload_ && !sim_.oldTip && height_ >= chain_->headersAfter(catchingUp)) {
        leftInitialDownload_ = true;
        log_.write("Leaving InitialBlockDownload (latching to false)");
    }
    std::int64_t next = chain_->heightAfter(catchingUp);
    if (next <= height_) return;
    bool crash = sim_.crashAt && height_ < *sim_.crashAt && next >= *sim_.crashAt;
    if (crash) next = *sim_.crashAt;
    if (!blocks_->append(height_, next)) log_.write("Error: failed to write block data");
    height_ = next;
    saveHeight(datadir_, height_);
    log_.write("UpdateTip: new best height=" + std::to_string(height_) +
               " progress=" + std::to_string(status().verificationProgress));
    if (crash) {
        log_.write("Simulated crash at height " + std::to_string(height_));
        // No clean shutdown: no pid file removal, no log of stopping.
        std::_Exit(1);
    }
    if (height_ == chain_->ceiling() && !reportedTop_) {
        reportedTop_ = true;
        log_.write(height_ < chain_->target()
                       ? "No more blocks from peers; chain stuck at " + std::to_string(height_)
                       : "Chain caught up at height " + std::to_string(height_));
    }
}

void Node::shutDown() {
    saveHeight(datadir_, height_);
    std::error_code ec;
    if (!pidFile_.empty()) fs::remove(pidFile_, ec);
    if (!cookieFile_.empty()) fs::remove(cookieFile_, ec);
    log_.write("Shutdown: done");
}

int Node::run() {
    std::string logFile = options_.get("debuglogfile", "debug.log");
    log_.open(fs::path(logFile).is_absolute() ? logFile : (fs::path(datadir_) / logFile).string());
    log_.echoToConsole(options_.getBool("printtoconsole", false));
    log_.write("Simcoin version v1.0.0 (" + who_.programName + ", simulated node)");
    log_.write("Using data directory " + datadir_);
    for (const auto& [k, v] : options_.commandLine())
        log_.write("Command-line arg: " + k + "=" + (k == "rpcpassword" ? "****" : v));
    for (const auto& [k, v] : options_.file()) {
        if (!knownNodeOptions().count(k) && !simulationOptions().count(k))
            log_.write("Ignoring unknown configuration option " + k);
    }
    for (const auto& [k, v] : options_.commandLine()) {
        if (!knownNodeOptions().count(k)) log_.write("Ignoring unknown command-line option -" + k);
    }
    if (options_.get("disablewallet")) {
        log_.write(std::string("Wallet ") +
                   (options_.getBool("disablewallet", false) ? "disabled" : "enabled"));
    }
    log_.write("Simulation: " + describe(sim_));

    // A real node opens its RPC port only once it has read its settings and set up.
    const auto opening = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(sim_.rpcDelay));
    while (Clock::now() < opening) {
        if (g_stopSignal.load() && sim_.neverStop < 2) {
            log_.write("Signal received before the RPC port opened; shutting down");
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    Authenticator auth;
    std::string error;
    if (!setUpAuth(auth, error)) return fail(error);

    auto portText = options_.get("rpcport", std::to_string(defaultRpcPort));
    int port = 0;
    try {
        port = std::stoi(portText);
    } catch (...) {
        port = -1;
    }
    if (port <= 0 || port > 65535) return fail("Invalid port specified in -rpcport: '" + portText + "'");

    RpcService rpc(std::move(auth), RpcService::Hooks{
                                        [this] { return status(); },
                                        [this] {
                                            if (sim_.neverStop >= 1)
                                                log_.write("Stop requested; ignored (never_stop fault)");
                                            else
                                                requestStop("Stop requested over RPC");
                                        },
                                        [this](const std::string& line) { log_.write(line); },
                                    });
    HttpServer server([&rpc](const HttpRequest& request) { return rpc.handle(request); });
    if (!server.listen("127.0.0.1", static_cast<std::uint16_t>(port), error)) {
        log_.write("Binding RPC on address 127.0.0.1 port " + std::to_string(port) + " failed: " + error);
        return fail("Unable to bind to 127.0.0.1:" + std::to_string(port) + " (" + error +
                    "). Unable to start HTTP server. See debug log for details.");
    }
    log_.write("Binding RPC on address 127.0.0.1 port " + std::to_string(port));

    auto pidName = options_.get("pid", "simcoind.pid");
    pidFile_ = fs::path(pidName).is_absolute() ? pidName : (fs::path(datadir_) / pidName).string();
    std::ofstream(pidFile_, std::ios::trunc) << currentProcessId() << '\n';

    auto saved = readSavedHeight(datadir_);
    height_ = saved ? *saved : sim_.startHeight;
    chain_.emplace(height_, sim_.effectiveTarget(height_), sim_.blocksPerSecond,
                   ChainFaults{sim_.stuckAt, sim_.stalledAt, sim_.peers == 0});
    saveHeight(datadir_, height_);
    blocks_.emplace(datadir_, sim_.bytesPerBlock);
    log_.write("Loaded chain at height " + std::to_string(height_) + (saved ? "" : " (new data folder)") +
               "; target " + std::to_string(chain_->target()));
    started_ = Clock::now();

    while (true) {
        if (g_stopSignal.exchange(false)) {
            if (sim_.neverStop >= 2)
                log_.write("Signal received; ignored (never_stop fault)");
            else
                requestStop("Signal received; shutting down");
        }
        // A short poll keeps the chain ticking smoothly while idle.
        server.pollOnce(std::chrono::milliseconds(20));
        if (closeListener_) {
            closeListener_ = false;
            server.stopListening();
        }
        if (state_ == State::Stopping) {
            // Leave once the delay is over, after the "stop" answer is out
            // (never waiting on a stuck client for more than a second).
            auto now = Clock::now();
            if (now >= stopDeadline_ &&
                (!server.hasPendingWork() || now >= stopDeadline_ + std::chrono::seconds(1)))
                break;
            continue;
        }
        advanceChain();
    }
    shutDown();
    return 0;
}

}  // namespace

int runDaemon(const DaemonIdentity& who, const CommandLine& commandLine) {
    if (!commandLine.words.empty()) {
        return fail("Command line contains unexpected token '" + commandLine.words.front() + "', see " +
                    who.programName + " -h for a list of options.");
    }
    if (lastOption(commandLine.options, "h") || lastOption(commandLine.options, "help") ||
        lastOption(commandLine.options, "?")) {
        std::printf(
            "Usage: %s [options]  Start the simulated Simcoin node\n"
            "  -conf=<file>  -datadir=<dir>  -rpcport=<port>  -rpcuser=<user>  -rpcpassword=<pw>\n"
            "  -rpcauth=<user:salt$hash>  -disablewallet  -daemon  -printtoconsole  -pid=<file>\n",
            who.programName.c_str());
        return 0;
    }
    auto datadir = dataDirFrom(commandLine.options);
    bool explicitDatadir = lastOption(commandLine.options, "datadir").has_value();
    if (explicitDatadir && !fs::is_directory(datadir))
        return fail("Specified data directory \"" + datadir + "\" does not exist.");
    if (!explicitDatadir) {
        std::error_code ec;
        fs::create_directories(datadir, ec);
    }
    bool explicitConf = false;
    auto confPath = confPathFrom(commandLine.options, datadir, explicitConf);
    OptionList fileOptions;
    if (explicitConf || fs::exists(confPath)) {
        std::string error;
        auto conf = readConfFile(confPath, error);
        if (!conf) return fail("Error reading configuration file: " + error);
        fileOptions = conf->options;
    }
    Options options(commandLine.options, fileOptions);

    std::string error;
    auto sim = loadSimSettings(datadir, processEnvironment(), error);
    if (!sim) return fail(error);

    if (who.mayDaemonize && options.getBool("daemon", false)) {
        std::printf("Simcoin server starting\n");
        std::fflush(stdout);
        // Like the real node: the caller gets its answer at once, the node goes on detached.
        switch (detachIntoBackground()) {
            case Detach::Parent:
                return 0;
            case Detach::Failed:
                return fail("the node could not be put into the background");
            case Detach::Child:
                break;
        }
    }

    DataDirLock lock(datadir);
    if (!lock.held()) {
        return fail("Cannot obtain a lock on data directory " + datadir +
                    ". Simcoin is probably already running.");
    }
    raiseOnStopRequest(g_stopSignal);
    Node node(who, datadir, std::move(options), *sim);
    return node.run();
}

}  // namespace simcoin

// The real coin node for whole runs: Debian's litecoind and litecoin-cli (and litecoin-qt) on
// a private regtest network over loopback. Node A holds the chain; node B is the node of the
// copy of PACEDECK under test, set up by pacedeck-setup alone, and reaches A only through a
// cable the test can cut. How nodes are made is scripts/lib/litecoin.sh, which the demo
// uses too; this file runs it and owns what it starts.
//
// Made for rows to be added: start, stop, kill a node; cut and plug the cable; a second copy
// with a node of its own; the wallet program on an X server of the test's own.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "integration/LiveRun.hpp"

namespace pd::test::ltc {

using namespace std::chrono_literals;

// Texts one per line, for a failure message (the statuses a run showed).
inline std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const auto& t : texts) out += "\n  " + t;
    return out;
}

// Runs a function of scripts/lib/litecoin.sh; fails the test when it does not succeed.
simtest::Result lib(const std::vector<std::string>& args, std::chrono::milliseconds limit = 60s);

// Environment variables set for the test's life, the old values put back at its end. The
// copy runs in this process, and its scripts inherit its environment.
class ScopedEnv {
  public:
    ScopedEnv() = default;
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    void set(const std::string& name, const std::string& value);
    void unset(const std::string& name);

  private:
    void remember(const std::string& name);
    std::map<std::string, std::optional<std::string>> saved_;
};

// The processes that run a program from inside FOLDER (every node program of a test is a
// copy in its scratch folder). The run starts its node detached, so the test cannot reap it
// as a child: a watcher kills whatever runs from the folder once the test is over, however
// it ends (a killed test process included).
std::vector<pid_t> processesRunningFrom(const std::string& folder);
class Reaper {
  public:
    explicit Reaper(std::string folder);
    ~Reaper();
    Reaper(const Reaper&) = delete;
    Reaper& operator=(const Reaper&) = delete;

  private:
    std::string folder_;
    pid_t watcher_ = -1;
    int pipe_ = -1;
};

// What getblockchaininfo and getconnectioncount say.
struct ChainState {
    long long blocks = -1;
    long long headers = -1;
    bool initialDownload = false;
    long long peers = -1;
};

// A node the harness starts itself: A, or another copy's node, or B before a run.
class Node {
  public:
    // PROGRAM is the copied daemon; CONF its configuration, DATADIR its data folder.
    Node(std::string program, std::string conf, std::string datadir);
    ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    void start();
    // Asks it to stop through its cli and waits (bounded) until it has gone.
    bool stop(std::chrono::milliseconds limit = 60s);
    void kill();
    bool running();
    pid_t pid() const;

    // litecoin-cli -conf=CONF ARGS...
    simtest::Result cli(const std::vector<std::string>& args, std::chrono::milliseconds limit = 30s) const;
    bool waitReady(std::chrono::milliseconds limit = 60s) const;
    std::optional<ChainState> state() const;
    bool waitFor(const std::function<bool(const ChainState&)>& condition,
                 std::chrono::milliseconds limit = 120s) const;
    const std::string& conf() const { return conf_; }
    const std::string& datadir() const { return datadir_; }

  private:
    std::string program_;
    std::string conf_;
    std::string datadir_;
    std::unique_ptr<simtest::Process> process_;
};

// The cable between B and A: a relay (scripts/lib/netlink.py) B connects to, which passes
// everything on to A's P2P port, at most BYTES_PER_SECOND each way when given.
class Link {
  public:
    Link(const simtest::ScratchDir& dir, std::uint16_t targetPort, long bytesPerSecond = 0);
    std::uint16_t port() const { return port_; }
    void cut();
    void plug();

  private:
    std::unique_ptr<simtest::Process> process_;
    std::uint16_t port_ = 0;
};

// A scratch world of one test: its folder (with a space in its path), HOME and
// XDG_CONFIG_HOME there, a name of its own for every program, and the reaper.
class World {
  public:
    World();
    const simtest::ScratchDir& dir() const { return dir_; }
    std::string operator/(const std::string& name) const { return dir_ / name; }
    // A program name of this test's own: "l<pid><letter>".
    std::string name(char which) const;
    ScopedEnv& env() { return env_; }

  private:
    int index_ = 0;
    simtest::ScratchDir dir_;
    Reaper reaper_;
    ScopedEnv env_;
};

// Node A: a copied litecoind on free loopback ports with a data folder of its own.
class Peer {
  public:
    // WHICH names its programs and folder: each peer of a test has its own.
    explicit Peer(World& world, char which = 'a');
    Node& node() { return *node_; }
    std::uint16_t p2pPort() const { return p2p_; }
    std::string rpcPort() const { return std::to_string(rpc_); }
    // Mines BLOCKS more blocks; the height it reaches.
    long long mine(long long blocks);

  private:
    std::uint16_t rpc_;
    std::uint16_t p2p_;
    std::unique_ptr<Node> node_;
};

// A copy of PACEDECK watching its own node, set up by pacedeck-setup from the set-up file
// the demo writes too: the programs copied under the copy's own NAME, the conf from the
// generator with the regtest lines pointing at PEER (a port; 0 for none), the data folder.
struct CopySetup {
    std::string exe = "LTC.main";
    char name = 'b';
    std::uint16_t peer = 0;
    bool qt = false;
    std::string extraSections = {};  // e.g. the stall limit, e-mail settings
    std::string extraTicks = {};     // [PACEDECK_MAIN] lines
};

class Copy {
  public:
    Copy(World& world, const CopySetup& setup);

    // Starts the run with START and drives it until the program has closed itself; every
    // status it showed is kept; MEANWHILE is called between the program's timers. False when
    // it did not end within LIMIT.
    bool runToTheEnd(std::chrono::milliseconds limit, const std::function<void()>& meanwhile = {});
    // The same for several copies at once, each its own program with its own timers, driven
    // by one loop in turn as the machine runs them side by side.
    static bool runSideBySide(const std::vector<Copy*>& copies, std::chrono::milliseconds limit,
                              const std::function<void()>& meanwhile = {});
    // Whether the program of the last run has closed itself.
    bool ended() { return !live_->app.running(); }
    LiveCopy& live() { return *live_; }
    MainWindow& window() { return mainWindow(live_->app); }
    const std::vector<std::string>& statuses() const { return statuses_; }
    // The statuses shown while the run waited for its node to end (its stage 12).
    const std::vector<std::string>& shutdownStatuses() const { return shutdownStatuses_; }
    // The node program the last run started, seen while it ran.
    std::optional<pid_t> ranNode() const { return ranNode_; }
    // The copy's node outside a run (to prepare its data folder, or to look at it).
    Node& node() { return *node_; }
    // The running node program of this copy, if any.
    std::optional<pid_t> nodePid() const;
    std::string program() const;
    // The copy's own program name: NAMEd, NAME-qt, NAME-cli.
    const std::string& name() const { return name_; }

    std::string home, datadir, programs, conf, exe;
    std::string report() const;
    std::string stamp(const std::string& key) { return live_->stored(key); }
    // Keeps a value in the copy's settings as an earlier run would have left it.
    void keep(std::string_view key, std::string_view value);

  private:
    std::string settingsFile() const;
    // A fresh start of the program and a click on START; false when it would not start.
    bool begin();
    // After a turn of the timers: keeps the node seen; whether the program has closed itself.
    bool turned();
    World& world_;
    bool qt_;
    std::string name_;
    std::unique_ptr<LiveCopy> live_;
    std::unique_ptr<Node> node_;
    std::vector<std::string> statuses_;
    std::vector<std::string> shutdownStatuses_;
    std::optional<pid_t> ranNode_;
};

// The stall limit of the copies that must give up on a node.
inline constexpr auto stallLimitSetup =
    "[PACEDECK_CRYPTO_SETTINGS]\nSTALL_LIMIT_TEXTBOX = 00:00:30\npress = SAVE_BUTTON\n";

// The bytes of the first line of a folder size ("1,234,567 B").
std::optional<std::uint64_t> bytesOf(const std::string& sizeLine);

}  // namespace pd::test::ltc

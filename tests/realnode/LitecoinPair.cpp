#include "LitecoinPair.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace pd::test::ltc {

namespace fs = std::filesystem;
using namespace simtest;

namespace {

const std::string libScript = std::string(PACEDECK_SOURCE_DIR) + "/scripts/lib/litecoin.sh";
const std::string linkScript = std::string(PACEDECK_SOURCE_DIR) + "/scripts/lib/netlink.py";
const std::string setupProgram = std::string(PACEDECK_BINARY_DIR) + "/app/setup/pacedeck-setup";
constexpr auto cliProgram = "/usr/bin/litecoin-cli";

// Distinct free ports: the kernel may hand the same one out twice in a row.
std::vector<std::uint16_t> freePorts(std::size_t count) {
    std::vector<std::uint16_t> ports;
    while (ports.size() < count) {
        auto port = freePort();
        if (std::find(ports.begin(), ports.end(), port) == ports.end()) ports.push_back(port);
    }
    return ports;
}

// The number after "NAME": in a JSON object as the cli prints it.
std::optional<long long> member(const std::string& json, const std::string& name) {
    auto at = json.find("\"" + name + "\": ");
    if (at == std::string::npos) return std::nullopt;
    at += name.size() + 4;
    if (json.compare(at, 4, "true") == 0) return 1;
    if (json.compare(at, 5, "false") == 0) return 0;
    try {
        return std::stoll(json.substr(at));
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

Result lib(const std::vector<std::string>& args, std::chrono::milliseconds limit) {
    std::vector<std::string> all{libScript};
    all.insert(all.end(), args.begin(), args.end());
    auto result = run("/bin/bash", all, {}, limit);
    EXPECT_EQ(result.status, 0) << args.front() << ": " << result.out << result.err;
    return result;
}

// ---------------------------------------------------------------- environment

ScopedEnv::~ScopedEnv() {
    for (const auto& [name, value] : saved_) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
}

void ScopedEnv::remember(const std::string& name) {
    if (saved_.count(name)) return;
    const char* old = std::getenv(name.c_str());
    saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
}

void ScopedEnv::set(const std::string& name, const std::string& value) {
    remember(name);
    ::setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnv::unset(const std::string& name) {
    remember(name);
    ::unsetenv(name.c_str());
}

// ---------------------------------------------------------------- processes

std::vector<pid_t> processesRunningFrom(const std::string& folder) {
    std::vector<pid_t> pids;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const auto name = entry.path().filename().string();
        if (name.empty() || !std::isdigit(static_cast<unsigned char>(name[0]))) continue;
        auto exe = fs::read_symlink(entry.path() / "exe", ec);
        if (ec) continue;
        if (exe.string().rfind(folder + "/", 0) == 0 && pidAlive(std::stoi(name)))
            pids.push_back(std::stoi(name));
    }
    return pids;
}

Reaper::Reaper(std::string folder) : folder_(std::move(folder)) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    watcher_ = ::fork();
    if (watcher_ == 0) {
        // Reads until the test closes its end, by ending or by dying; then kills what runs from
        // the folder.
        ::dup2(fds[0], 0);
        const char* script =
            "while read -r _; do :; done\n"
            "for round in 1 2 3; do\n"
            "  for p in /proc/[0-9]*; do\n"
            "    exe=$(readlink \"$p/exe\" 2>/dev/null) || continue\n"
            "    case \"$exe\" in \"$1\"/*) kill -9 \"${p#/proc/}\" 2>/dev/null ;; esac\n"
            "  done\n"
            "  sleep 0.2\n"
            "done\n";
        ::execl("/bin/bash", "bash", "-c", script, "reaper", folder_.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[0]);
    pipe_ = fds[1];
}

Reaper::~Reaper() {
    // Killed here as well, so that nothing writes into the folder while it is removed.
    waitUntil(
        [&] {
            auto pids = processesRunningFrom(folder_);
            for (auto pid : pids) ::kill(pid, SIGKILL);
            return pids.empty();
        },
        20s, 100ms);
    if (pipe_ >= 0) ::close(pipe_);
    if (watcher_ > 0) ::waitpid(watcher_, nullptr, 0);
}

// ---------------------------------------------------------------- a node of the harness

Node::Node(std::string program, std::string conf, std::string datadir)
    : program_(std::move(program)), conf_(std::move(conf)), datadir_(std::move(datadir)) {}

Node::~Node() {
    if (running()) stop(20s);
}

void Node::start() {
    const auto output = datadir_ + " output";
    process_ = std::make_unique<Process>(
        "/bin/bash", std::vector<std::string>{libScript, "ltc_run", program_, conf_, datadir_, output}, Env{},
        output + " (stdout)", output + " (stderr)");
}

bool Node::stop(std::chrono::milliseconds limit) {
    if (!running()) return true;
    cli({"stop"});
    if (process_->waitExit(limit)) return true;
    kill();
    return false;
}

void Node::kill() {
    if (process_) process_->signal(SIGKILL);
    if (process_) process_->waitExit(10s);
}

bool Node::running() {
    return process_ && process_->running();
}

pid_t Node::pid() const {
    return process_ ? process_->pid() : -1;
}

Result Node::cli(const std::vector<std::string>& args, std::chrono::milliseconds limit) const {
    std::vector<std::string> all{"-conf=" + conf_};
    all.insert(all.end(), args.begin(), args.end());
    return run(cliProgram, all, {}, limit);
}

bool Node::waitReady(std::chrono::milliseconds limit) const {
    return waitUntil([&] { return cli({"getblockcount"}).status == 0; }, limit, 200ms);
}

std::optional<ChainState> Node::state() const {
    auto info = cli({"getblockchaininfo"});
    auto peers = cli({"getconnectioncount"});
    if (info.status != 0 || peers.status != 0) return std::nullopt;
    ChainState s;
    s.blocks = member(info.out, "blocks").value_or(-1);
    s.headers = member(info.out, "headers").value_or(-1);
    s.initialDownload = member(info.out, "initialblockdownload").value_or(0) != 0;
    s.peers = std::atoll(peers.out.c_str());
    return s;
}

bool Node::waitFor(const std::function<bool(const ChainState&)>& condition,
                   std::chrono::milliseconds limit) const {
    return waitUntil(
        [&] {
            auto s = state();
            return s && condition(*s);
        },
        limit, 250ms);
}

// ---------------------------------------------------------------- the cable

Link::Link(const ScratchDir& dir, std::uint16_t targetPort, long bytesPerSecond) {
    const auto portFile = dir / ("link to " + std::to_string(targetPort));
    process_ =
        std::make_unique<Process>("/usr/bin/python3",
                                  std::vector<std::string>{linkScript, portFile, std::to_string(targetPort),
                                                           std::to_string(bytesPerSecond)},
                                  Env{}, portFile + ".out", portFile + ".err");
    EXPECT_TRUE(waitUntil([&] { return fs::exists(portFile); }, 20s)) << readFile(portFile + ".err");
    port_ = static_cast<std::uint16_t>(std::atoi(readFile(portFile).c_str()));
}

void Link::cut() {
    process_->signal(SIGUSR1);
}

void Link::plug() {
    process_->signal(SIGUSR2);
}

// ---------------------------------------------------------------- the world of a test

World::World() : reaper_(dir_.path()) {
    static int worlds = 0;
    index_ = worlds++;
    fs::create_directories(dir_ / "home");
    fs::create_directories(dir_ / "config");
    fs::permissions(dir_ / "config", fs::perms::owner_all);
    // The node programs keep their defaults under HOME; the settings of PACEDECK and of
    // litecoin-qt live under XDG_CONFIG_HOME.
    env_.set("HOME", dir_ / "home");
    env_.set("XDG_CONFIG_HOME", dir_ / "config");
}

std::string World::name(char which) const {
    // Short: "NAME-cli" must stay within the kernel's 15 characters of a process name.
    return "l" + std::to_string(::getpid() % 1000000) + std::to_string(index_ % 10) + which;
}

Peer::Peer(World& world, char which) {
    const auto ports = freePorts(3);
    rpc_ = ports[0];
    p2p_ = ports[1];
    const auto folder = world / (which == 'a' ? std::string("peer") : std::string("peer ") + which);
    const auto name = world.name(which);
    lib({"ltc_programs", folder, name});
    lib({"ltc_peer_conf", folder + "/peer.conf", std::to_string(ports[0]), std::to_string(p2p_),
         std::to_string(ports[2])});
    node_ = std::make_unique<Node>(folder + "/" + name + "d", folder + "/peer.conf", folder + "/data");
    node_->start();
    EXPECT_TRUE(node_->waitReady()) << readFile(folder + "/data output");
}

long long Peer::mine(long long blocks) {
    lib({"ltc_mine", node_->conf(), std::to_string(blocks)}, 300s);
    auto s = node_->state();
    return s ? s->blocks : -1;
}

// ---------------------------------------------------------------- the copy under test

Copy::Copy(World& world, const CopySetup& setup) : exe(setup.exe), world_(world), qt_(setup.qt) {
    home = world / (exe + " home");
    datadir = world / (exe + " node");
    programs = world / (exe + " programs");
    conf = home + "/CONFIGS/" + exe + "-CRYPTO-CONFIG.conf";
    name_ = world.name(setup.name);
    fs::create_directories(datadir);
    lib(setup.qt ? std::vector<std::string>{"ltc_programs", programs, name_, "qt"}
                 : std::vector<std::string>{"ltc_programs", programs, name_});
    const auto ports = freePorts(2);
    const auto peer = setup.peer ? "127.0.0.1:" + std::to_string(setup.peer) : std::string("0");
    const auto file = world / (exe + " setup.txt");
    lib({"write_ltc_copy_setup", file, home, datadir, programs, name_, std::to_string(ports[0]),
         std::to_string(ports[1]), peer, setup.qt ? "qt" : "daemon", setup.extraSections,
         "USER_COUNT_TIME_TEXTBOX = 00:00:02\n" + setup.extraTicks});
    auto applied = run(setupProgram, {exe, file});
    EXPECT_EQ(applied.status, 0) << applied.out << applied.err;
    node_ = std::make_unique<Node>(programs + "/" + name_ + "d", conf, datadir);
}

std::string Copy::program() const {
    return programs + "/" + name_ + (qt_ ? "-qt" : "d");
}

std::string Copy::settingsFile() const {
    return std::string(std::getenv("XDG_CONFIG_HOME")) + "/SW_PACEDECK/settings.sqlite3";
}

void Copy::keep(std::string_view key, std::string_view value) {
    SqliteStore(settingsFile()).write(exe, key, value);
}

bool Copy::begin() {
    // Each run is a fresh start of the program, as the weekly task makes it.
    live_ = std::make_unique<LiveCopy>(world_.dir(), exe, settingsFile());
    statuses_.clear();
    shutdownStatuses_.clear();
    ranNode_.reset();
    auto& w = live_->app.start<MainWindow>();
    w.CURRENT_STATUS_LABEL.observe([this, &w](const Element& e) {
        if (statuses_.empty() || statuses_.back() != e.text()) statuses_.push_back(e.text());
        if (w.TASK_12_LIGHT.back() == colour::cyan) shutdownStatuses_.push_back(e.text());
    });
    return w.MULTILOADER_START_STOP_BUTTON.click();
}

bool Copy::turned() {
    if (!ranNode_) ranNode_ = nodePid();
    return ended();
}

bool Copy::runToTheEnd(std::chrono::milliseconds limit, const std::function<void()>& meanwhile) {
    if (!begin()) return false;
    return live_->runUntil(
        [&] {
            if (meanwhile) meanwhile();
            return turned();
        },
        limit);
}

bool Copy::runSideBySide(const std::vector<Copy*>& copies, std::chrono::milliseconds limit,
                         const std::function<void()>& meanwhile) {
    for (auto* copy : copies)
        if (!copy->begin()) return false;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        bool allEnded = true;
        for (auto* copy : copies) {
            if (copy->ended()) continue;
            copy->live_->scheduler.runDue();
            copy->live_->app.collectClosed();
            allEnded = copy->turned() && allEnded;
        }
        if (meanwhile) meanwhile();
        if (allEnded) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

std::optional<pid_t> Copy::nodePid() const {
    auto pids = processesRunningFrom(programs);
    for (auto pid : pids)
        if (fs::read_symlink("/proc/" + std::to_string(pid) + "/exe").string() == program()) return pid;
    return std::nullopt;
}

std::string Copy::report() const {
    return readFile(home + "/REPORTS/" + exe + "-END-REPORT.LOG");
}

std::optional<std::uint64_t> bytesOf(const std::string& sizeLine) {
    std::string digits;
    for (char c : sizeLine.substr(0, sizeLine.find(" B")))
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    if (digits.empty() || sizeLine.find(" B") == std::string::npos) return std::nullopt;
    return std::stoull(digits);
}

}  // namespace pd::test::ltc

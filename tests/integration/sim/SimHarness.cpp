#include "SimHarness.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace simtest {

std::string binary(const std::string& name) {
    // A path is a program of the test's own (a link under a name of its own).
    if (name.find('/') != std::string::npos) return name;
    return std::string(SIMCOIN_BIN_DIR) + "/" + name;
}

std::uint16_t freePort() {
    // Binding port 0 lets the kernel pick an unused port; it stays free for
    // the moment between closing here and the node binding it.
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("cannot bind a free port");
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::uint64_t folderSize(const std::string& path) {
    std::uint64_t total = 0;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(path, ec))
        if (entry.is_regular_file()) total += entry.file_size();
    return total;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit,
               std::chrono::milliseconds interval) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (true) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(interval);
    }
}

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "simcoin test XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

namespace {

int decodeStatus(int raw) {
    if (WIFEXITED(raw)) return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
    return -1;
}

std::vector<std::string> childEnvironment(const Env& extra) {
    std::vector<std::string> out;
    for (char** e = environ; *e; ++e) {
        // Settings leaking in from the caller's shell would change what the
        // tests observe; each test names the ones it wants.
        if (std::strncmp(*e, "SIMCOIN_", 8) != 0) out.emplace_back(*e);
    }
    for (const auto& [k, v] : extra) out.push_back(k + "=" + v);
    return out;
}

}  // namespace

Process::Process(const std::string& program, const std::vector<std::string>& args, const Env& env,
                 const std::string& stdoutFile, const std::string& stderrFile, const std::string& argv0) {
    std::vector<std::string> argvText{argv0.empty() ? program : argv0};
    argvText.insert(argvText.end(), args.begin(), args.end());
    auto envText = childEnvironment(env);
    std::vector<char*> argv, envp;
    for (auto& a : argvText) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        int out = ::open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
}

Process::~Process() {
    if (running()) {
        ::kill(pid_, SIGKILL);
        waitExit(5s);
    }
}

std::optional<int> Process::waitExit(std::chrono::milliseconds limit) {
    if (status_) return status_;
    waitUntil(
        [this] {
            int raw = 0;
            pid_t r = ::waitpid(pid_, &raw, WNOHANG);
            if (r == pid_) status_ = decodeStatus(raw);
            return status_.has_value();
        },
        limit, 5ms);
    return status_;
}

bool Process::running() {
    return !waitExit(0ms).has_value();
}

void Process::signal(int sig) {
    if (running()) ::kill(pid_, sig);
}

std::string Process::comm() const {
    auto text = readFile("/proc/" + std::to_string(pid_) + "/comm");
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

bool pidAlive(pid_t pid) {
    auto stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    if (stat.empty()) return false;
    // The state follows the parenthesised command name.
    auto close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] != 'Z';
}

Result run(const std::string& program, const std::vector<std::string>& args, const Env& env,
           std::chrono::milliseconds limit) {
    ScratchDir io;
    auto begin = std::chrono::steady_clock::now();
    Result result;
    {
        Process p(program, args, env, io / "out", io / "err");
        auto status = p.waitExit(limit);
        result.status = status ? *status : -1;
    }  // a process that overran is killed here
    result.elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
    result.out = readFile(io / "out");
    result.err = readFile(io / "err");
    return result;
}

std::string basicAuth(const std::string& user, const std::string& password) {
    static const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string in = user + ":" + password, out;
    for (std::size_t i = 0; i < in.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(in[i]) << 16;
        if (i + 1 < in.size()) v |= static_cast<unsigned char>(in[i + 1]) << 8;
        if (i + 2 < in.size()) v |= static_cast<unsigned char>(in[i + 2]);
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += i + 1 < in.size() ? alphabet[(v >> 6) & 63] : '=';
        out += i + 2 < in.size() ? alphabet[v & 63] : '=';
    }
    return "Basic " + out;
}

int connectLoopback(std::uint16_t port, int timeoutOption, int seconds) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval tv{seconds, 0};
    ::setsockopt(fd, SOL_SOCKET, timeoutOption, &tv, sizeof tv);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fd;
    ::close(fd);
    return -1;
}

HttpReply httpPost(std::uint16_t port, const std::string& authorization, const std::string& body) {
    HttpReply reply;
    int fd = connectLoopback(port, SO_RCVTIMEO, 5);
    if (fd < 0) return reply;
    std::string request = "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n";
    if (!authorization.empty()) request += "Authorization: " + authorization + "\r\n";
    request += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string in;
    char buf[4096];
    ssize_t n;
    while ((n = ::recv(fd, buf, sizeof buf, 0)) > 0) in.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    // The node closes after each answer, so everything up to the close is the reply.
    auto headEnd = in.find("\r\n\r\n");
    if (in.size() < 12 || headEnd == std::string::npos) return reply;
    reply.status = std::stoi(in.substr(9, 3));
    reply.body = in.substr(headEnd + 4);
    return reply;
}

Node::Node(const ScratchDir& dir, std::string dataSubdir)
    : dir_(dir), datadir_(dir / dataSubdir), confPath_(dir / "node conf.conf"), port_(freePort()) {
    fs::create_directories(datadir_);
}

void Node::start(const Setup& setup) {
    std::string conf = setup.confText;
    if (conf.empty()) {
        conf = "# made by the test\nserver=1\nrpcport=" + std::to_string(port_) + "\nrpcuser=" + testUser +
               "\nrpcpassword=" + testPassword + "\n";
    }
    writeFile(confPath_, conf);
    std::vector<std::string> args{"-conf=" + confPath_, "-datadir=" + datadir_};
    args.insert(args.end(), setup.extraArgs.begin(), setup.extraArgs.end());
    ++runs_;
    stderrFile_ = dir_ / ("node stderr " + std::to_string(runs_));
    process_ = std::make_unique<Process>(binary(setup.program), args, setup.env,
                                         dir_ / ("node stdout " + std::to_string(runs_)), stderrFile_);
}

std::string Node::stderrText() const {
    return readFile(stderrFile_);
}

Result Node::cli(const std::vector<std::string>& args, const Env& env,
                 std::chrono::milliseconds limit) const {
    std::vector<std::string> all{"-conf=" + confPath_};
    all.insert(all.end(), args.begin(), args.end());
    return run(binary("simcoin-cli"), all, env, limit);
}

std::optional<long long> Node::blockCount() const {
    auto r = cli({"getblockcount"});
    if (r.status != 0) return std::nullopt;
    try {
        return std::stoll(r.out);
    } catch (...) {
        return std::nullopt;
    }
}

bool Node::waitReady(std::chrono::milliseconds limit) const {
    return waitUntil([this] { return blockCount().has_value(); }, limit);
}

bool Node::waitHeight(long long height, std::chrono::milliseconds limit) const {
    return waitUntil(
        [&] {
            auto h = blockCount();
            return h && *h >= height;
        },
        limit);
}

bool Node::waitUntilChanged(long long from, std::chrono::milliseconds limit) const {
    return waitUntil(
        [&] {
            auto h = blockCount();
            return h && *h != from;
        },
        limit);
}

std::optional<long long> Node::savedHeight() const {
    auto text = readFile(datadir_ + "/height");
    if (text.empty()) return std::nullopt;
    return std::stoll(text);
}

}  // namespace simtest

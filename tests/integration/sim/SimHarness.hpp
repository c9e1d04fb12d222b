// Helpers for running the simulator's programs as real processes: a scratch
// folder, spawning with a chosen environment, bounded waits, and a node
// that is always killed when a test ends, passed or failed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace simtest {

using namespace std::chrono_literals;
using Env = std::map<std::string, std::string>;

std::string binary(const std::string& name);  // path of simcoind, simcoin-cli, ... (a path stays)
std::uint16_t freePort();
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);
std::uint64_t folderSize(const std::string& path);

// Polls `condition` until it holds or `limit` passes; returns whether it held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit,
               std::chrono::milliseconds interval = 20ms);

// A fresh folder whose path contains a space, removed afterwards.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A started program. Killed (SIGKILL) and reaped on destruction if still running.
class Process {
  public:
    // stdout and stderr go to the given files. The child gets this process's
    // environment without any SIMCOIN_* variable, plus `env`.
    Process(const std::string& program, const std::vector<std::string>& args, const Env& env,
            const std::string& stdoutFile, const std::string& stderrFile, const std::string& argv0 = "");
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    // Waits for the exit up to `limit`; the exit status, or nullopt if still running.
    // A death by signal is reported as 128 + signal number.
    std::optional<int> waitExit(std::chrono::milliseconds limit);
    bool running();
    void signal(int sig);
    std::string comm() const;  // the kernel's name for the process

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

struct Result {
    int status = -1;  // exit status, 128 + signal if killed, -1 if it had to be killed for taking too long
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{};
};

// Whether a process exists and is not a zombie (for processes that are not
// our children, such as a node that forked into the background).
bool pidAlive(pid_t pid);

// Runs a program to completion (killing it after `limit`).
Result run(const std::string& program, const std::vector<std::string>& args, const Env& env = {},
           std::chrono::milliseconds limit = 10s);

// A connected TCP socket to 127.0.0.1:port with a timeout (SO_RCVTIMEO or SO_SNDTIMEO),
// or -1.
int connectLoopback(std::uint16_t port, int timeoutOption, int seconds);

// Raw HTTP POST to 127.0.0.1:port; returns status code and body (status 0 when unreachable).
struct HttpReply {
    int status = 0;
    std::string body;
};
HttpReply httpPost(std::uint16_t port, const std::string& authorization, const std::string& body);
std::string basicAuth(const std::string& user, const std::string& password);

// A node in a scratch folder: writes the node's conf file, starts it, and
// runs the client against it.
class Node {
  public:
    struct Setup {
        Setup(Env settings = {}) : env(std::move(settings)) {}
        Setup& as(std::string name) {
            program = std::move(name);
            return *this;
        }
        Setup& withArgs(std::vector<std::string> args) {
            extraArgs = std::move(args);
            return *this;
        }
        Setup& withConf(std::string text) {
            confText = std::move(text);
            return *this;
        }

        Env env;  // SIMCOIN_* settings for the run
        std::string program = "simcoind";
        std::string confText;  // empty: a conf with rpcport/rpcuser/rpcpassword is made up
        std::vector<std::string> extraArgs;
    };

    explicit Node(const ScratchDir& dir, std::string dataSubdir = "data dir");

    std::uint16_t port() const { return port_; }
    const std::string& datadir() const { return datadir_; }
    const std::string& confPath() const { return confPath_; }

    void start(const Setup& setup);
    Process& process() { return *process_; }
    std::string stderrText() const;

    // Runs simcoin-cli -conf=... <args>.
    Result cli(const std::vector<std::string>& args, const Env& env = {},
               std::chrono::milliseconds limit = 10s) const;
    // The height through the client, or nullopt if the call failed.
    std::optional<long long> blockCount() const;
    // Waits for the node to answer (loading done).
    bool waitReady(std::chrono::milliseconds limit = 10s) const;
    bool waitHeight(long long height, std::chrono::milliseconds limit = 10s) const;
    // Waits for a successful reading different from `from`.
    bool waitUntilChanged(long long from, std::chrono::milliseconds limit = 10s) const;
    std::optional<long long> savedHeight() const;

    static constexpr const char* testUser = "alice";
    static constexpr const char* testPassword = "s3cret pass";

  private:
    const ScratchDir& dir_;
    std::string datadir_;
    std::string confPath_;
    std::uint16_t port_;
    int runs_ = 0;
    std::string stderrFile_;
    std::unique_ptr<Process> process_;
};

}  // namespace simtest

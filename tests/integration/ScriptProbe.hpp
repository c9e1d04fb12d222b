#pragma once
// Helpers for tests that run real scripts and programs: a temporary folder, a probe
// program that records the arguments it receives, and a bounded wait for a child.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace pd::test {

struct TempDir {
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pacedeck-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path;
};

inline std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A program (a /bin/sh script) that writes its $0 and arguments, each ended by a NUL, to
// the file named by PROBE_OUT, and prints a block count as a node's client would.
inline void writeProbe(const std::string& path) {
    std::ofstream(path, std::ios::binary) << "#!/bin/sh\nprintf '%s\\0' \"$0\" \"$@\" > \"$PROBE_OUT\"\n"
                                             "printf '4242\\r\\n'\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

inline std::vector<std::string> recordedArgs(const std::string& path) {
    std::vector<std::string> args;
    std::string all = readWhole(path), one;
    for (char c : all) {
        if (c == '\0') {
            args.push_back(one);
            one.clear();
        } else {
            one += c;
        }
    }
    return args;
}

struct RunResult {
    int exitCode = -1;  // -1: did not end within the bound
    std::string out;
    std::string err;
};

// Runs a program with extra environment entries ("NAME=value"), waiting at most `bound`.
inline RunResult runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
                            const std::string& scratch,
                            std::chrono::seconds bound = std::chrono::seconds(30)) {
    std::vector<std::string> env(extraEnv);
    for (char** e = environ; *e; ++e) {
        std::string entry(*e);
        auto name = entry.substr(0, entry.find('=') + 1);
        bool overridden = false;
        for (auto& x : extraEnv) overridden = overridden || x.starts_with(name);
        if (!overridden) env.push_back(entry);
    }
    std::vector<char*> cargv, cenv;
    for (auto& a : argv) cargv.push_back(const_cast<char*>(a.c_str()));
    cargv.push_back(nullptr);
    for (auto& e : env) cenv.push_back(const_cast<char*>(e.c_str()));
    cenv.push_back(nullptr);

    const auto outPath = scratch + "/run.out", errPath = scratch + "/run.err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    RunResult r;
    int rc = posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return r;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return r;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = readWhole(outPath);
    r.err = readWhole(errPath);
    return r;
}

}  // namespace pd::test

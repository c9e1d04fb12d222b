// Small helpers for tests that run real processes: a scratch folder, stand-in programs
// first on PATH, environment changes undone at the end, and bounded waits.
#pragma once
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace pd::test {

using namespace std::chrono_literals;

// Polls the condition until it holds or the limit passes; returns whether it held.
inline bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
}

// A fresh folder, removed with everything in it afterwards.
class Scratch {
  public:
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pacedeck-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Writes an executable shell script.
    std::string script(const std::string& name, const std::string& body) const {
        auto file = *this / name;
        std::ofstream(file) << "#!/bin/sh\n" << body;
        ::chmod(file.c_str(), 0755);
        return file;
    }

  private:
    std::string path_;
};

inline std::optional<std::string> slurp(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Sets (or, with nullopt, removes) an environment variable until the end of the scope.
class EnvChange {
  public:
    EnvChange(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) old_ = old;
        if (value)
            ::setenv(name_.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ~EnvChange() {
        if (old_)
            ::setenv(name_.c_str(), old_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    EnvChange(const EnvChange&) = delete;
    EnvChange& operator=(const EnvChange&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

// A folder put first on PATH, so its stand-ins are found before the real programs.
inline EnvChange pathFirst(const std::string& folder) {
    const char* old = std::getenv("PATH");
    return EnvChange("PATH", folder + ":" + (old ? old : "/usr/bin:/bin"));
}

// A process that has ended: gone, or a zombie nobody has collected yet.
inline bool processEnded(pid_t pid) {
    if (pid <= 0) return true;
    if (::kill(pid, 0) != 0) return true;
    auto stat = slurp("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return true;
    auto close = stat->rfind(')');
    return close != std::string::npos && close + 2 < stat->size() && (*stat)[close + 2] == 'Z';
}

inline pid_t pidIn(const std::string& file) {
    auto text = slurp(file);
    return text ? static_cast<pid_t>(std::atoi(text->c_str())) : 0;
}

}  // namespace pd::test

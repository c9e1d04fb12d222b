#pragma once
// Helpers for the tests that run on Windows itself (under Wine here): scratch folders,
// whole files, the probe program, and starting a program with a bounded wait.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/WideText.hpp"

namespace pd::test {

inline std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(win32::wide(utf8));
}

struct TempDir {
    TempDir() {
        auto base = std::filesystem::temp_directory_path();
        for (unsigned n = ::GetTickCount() ^ ::GetCurrentProcessId();; ++n) {
            auto candidate = base / (L"pacedeck-" + std::to_wstring(n));
            if (std::filesystem::create_directory(candidate)) {
                path = win32::utf8(candidate.wstring());
                return;
            }
        }
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(pathOf(path), ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path;
};

inline std::string readWhole(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The folder of this test program, where the probe is built beside it.
inline std::string testProgramFolder() {
    wchar_t buffer[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return win32::utf8(std::filesystem::path(std::wstring(buffer, n)).parent_path().wstring());
}

// A copy of the probe program under the given file name.
inline void copyProbe(const std::string& target) {
    std::filesystem::copy_file(pathOf(testProgramFolder() + "\\probe.exe"), pathOf(target),
                               std::filesystem::copy_options::overwrite_existing);
}

inline std::vector<std::string> recordedArgs(const std::string& path) {
    std::vector<std::string> args;
    std::string one;
    for (char c : readWhole(path)) {
        if (c == '\0') {
            args.push_back(one);
            one.clear();
        } else {
            one += c;
        }
    }
    return args;
}

// Waits for a condition for at most `bound`, checking every few milliseconds.
template <typename Condition>
bool waitFor(Condition condition, std::chrono::seconds bound = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace pd::test

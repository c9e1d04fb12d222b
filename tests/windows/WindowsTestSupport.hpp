#pragma once
// Helpers for the tests that run on Windows itself (under Wine here): scratch folders,
// whole files, the probe program, free ports, and starting a program with a bounded wait.
#include <windows.h>
#include <winsock2.h>

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

// A copy of a program built beside the tests (the probe, the simulated node) under the
// given file name: Windows names a process after its file.
inline void copyBuilt(const std::string& program, const std::string& target) {
    std::filesystem::copy_file(pathOf(testProgramFolder() + "\\" + program), pathOf(target),
                               std::filesystem::copy_options::overwrite_existing);
}

inline void copyProbe(const std::string& target) {
    copyBuilt("probe.exe", target);
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

// A loopback port nobody listens on now: the system's pick for a socket bound to port 0.
inline int freePort() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    int len = sizeof addr;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::closesocket(s);
    return ::ntohs(addr.sin_port);
}

// A program started by the test and ended by it, whatever the test's outcome.
struct Started {
    explicit Started(const std::string& commandLine) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring line = win32::wide(commandLine);
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                              nullptr, &si, &info))
            info = {};
    }
    ~Started() {
        if (!info.hProcess) return;
        if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(info.hProcess, 9);
        ::WaitForSingleObject(info.hProcess, 30000);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;
    // The exit status once the program has ended within the bound, else -1.
    long exitStatus(std::chrono::seconds bound = std::chrono::seconds(30)) const {
        DWORD status = 0;
        if (!info.hProcess ||
            ::WaitForSingleObject(info.hProcess, static_cast<DWORD>(bound.count() * 1000)) != WAIT_OBJECT_0 ||
            !::GetExitCodeProcess(info.hProcess, &status))
            return -1;
        return static_cast<long>(status);
    }
    PROCESS_INFORMATION info{};
};

// What a program wrote and how it ended.
struct Ran {
    long status = -1;
    std::string out, err;
};

// Runs a command line with its output and error output caught in files under `folder`.
inline Ran runCaptured(const std::string& commandLine, const std::string& folder) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    // Files of each run's own: under Wine a reused name was read back with the previous output.
    static int runs = 0;
    const std::string stem = folder + "\\run" + std::to_string(++runs);
    const std::string outPath = stem + ".out", errPath = stem + ".err";
    auto open = [&](const std::string& path) {
        return ::CreateFileW(win32::wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE out = open(outPath), err = open(errPath);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    std::wstring line = win32::wide(commandLine);
    Ran ran;
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                         &si, &pi)) {
        DWORD status = 0;
        if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0 &&
            ::GetExitCodeProcess(pi.hProcess, &status))
            ran.status = static_cast<long>(status);
        else
            ::TerminateProcess(pi.hProcess, 9);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(out);
    ::CloseHandle(err);
    ran.out = readWhole(outPath);
    ran.err = readWhole(errPath);
    return ran;
}

}  // namespace pd::test

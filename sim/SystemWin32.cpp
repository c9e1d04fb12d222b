#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>

#include "System.hpp"

namespace simcoin {

namespace {

std::atomic<bool>* g_stopFlag = nullptr;

BOOL WINAPI onConsoleEvent(DWORD) {
    if (g_stopFlag) *g_stopFlag = true;
    // Handled: the node leaves by its own clean stop, not by the default handler's exit.
    return TRUE;
}

std::wstring ownPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    while (true) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) return buffer.substr(0, n);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string ownProgramName(const char*) {
    // argv[0] is whatever the caller wrote; the module's file is what really runs.
    std::wstring name = std::filesystem::path(ownPath()).filename().wstring();
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towlower(c); });
    if (name.size() > 4 && name.ends_with(L".exe")) name.resize(name.size() - 4);
    return std::filesystem::path(name).string();
}

void nameThisProcess(const std::string&) {
    // Windows lists a process under its .exe's file name, which cannot be changed.
}

long currentProcessId() {
    return static_cast<long>(::GetCurrentProcessId());
}

Detach detachIntoBackground() {
    // No fork: a copy of this program is started detached from the console with the same
    // arguments and -daemon=0 last, which wins over the -daemon=1 before it.
    std::wstring commandLine = ::GetCommandLineW();
    commandLine += L" -daemon=0";
    std::wstring program = ownPath();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &si, &pi))
        return Detach::Failed;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return Detach::Parent;
}

void raiseOnStopRequest(std::atomic<bool>& flag) {
    g_stopFlag = &flag;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

std::intptr_t lockFileExclusively(const std::string& path) {
    // Opened without sharing and locked as well: a second node cannot even open it, and
    // Windows releases both when the process ends, so a crash leaves no stale lock.
    HANDLE file = ::CreateFileW(std::filesystem::path(path).wstring().c_str(), GENERIC_READ | GENERIC_WRITE,
                                0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    OVERLAPPED whole{};
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                      &whole)) {
        ::CloseHandle(file);
        return -1;
    }
    ::SetHandleInformation(file, HANDLE_FLAG_INHERIT, 0);
    return reinterpret_cast<std::intptr_t>(file);
}

void unlockFile(std::intptr_t lock) {
    if (lock != -1) ::CloseHandle(reinterpret_cast<HANDLE>(lock));
}

std::tm utcTime(std::time_t t) {
    std::tm utc{};
    ::gmtime_s(&utc, &t);
    return utc;
}

}  // namespace simcoin

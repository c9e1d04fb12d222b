#include "platform/win32/ProcessList.hpp"

// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include "platform/win32/WideText.hpp"

namespace pd::win32 {

namespace {
bool sameName(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

// Closes a handle when it goes out of scope.
struct Handle {
    HANDLE h;
    ~Handle() {
        if (h && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
};
}  // namespace

std::optional<ProcessList> ProcessList::take() {
    Handle snapshot{::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)};
    if (snapshot.h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<ProcessEntry> list;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.h, &entry); more; more = ::Process32NextW(snapshot.h, &entry))
        list.push_back({entry.th32ProcessID, entry.szExeFile});
    if (list.empty()) return std::nullopt;  // we are running: an empty table is a failed one
    return ProcessList(std::move(list));
}

bool ProcessList::has(std::string_view name) const {
    const std::wstring w = wide(name);
    for (const auto& p : processes_)
        if (sameName(p.image, w)) return true;
    return false;
}

std::vector<unsigned long> ProcessList::pidsOf(std::string_view name) const {
    const std::wstring w = wide(name);
    std::vector<unsigned long> pids;
    for (const auto& p : processes_)
        if (sameName(p.image, w)) pids.push_back(p.pid);
    return pids;
}

int terminateAllNamed(std::string_view name) {
    auto list = ProcessList::take();
    if (!list) return 0;
    const DWORD self = ::GetCurrentProcessId();
    int count = 0;
    for (auto pid : list->pidsOf(name)) {
        if (pid == self) continue;
        Handle process{::OpenProcess(PROCESS_TERMINATE, FALSE, pid)};
        if (process.h && ::TerminateProcess(process.h, 1)) ++count;
    }
    return count;
}

}  // namespace pd::win32

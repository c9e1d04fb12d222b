// A stand-in for a node's programs: writes the arguments it received (its C runtime's own
// splitting of the command line), each in UTF-8 and ended by a NUL, to the file named by
// PROBE_OUT, and prints a block count as a node's client would. With PROBE_WAIT set it
// then stays until it is ended (at most a minute), so that a process list can see it.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
std::wstring variable(const wchar_t* name) {
    wchar_t buffer[32768];
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, 32768);
    return n > 0 && n < 32768 ? std::wstring(buffer, n) : std::wstring();
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring out = variable(L"PROBE_OUT");
    if (!out.empty()) {
        std::string bytes;
        for (int i = 0; i < argc; ++i) {
            const int n = ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
            std::string one(static_cast<std::size_t>(n), '\0');
            ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, one.data(), n, nullptr, nullptr);
            bytes += one;  // with its terminating NUL
        }
        // Written aside and moved in place, so a waiting test never reads half of it.
        const std::wstring part = out + L".part";
        HANDLE file = ::CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 3;
        DWORD wrote = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
        ::CloseHandle(file);
        if (!::MoveFileExW(part.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING)) return 3;
    }
    std::fputs("4242\n", stdout);  // text mode: written with CR LF, as a client does
    std::fflush(stdout);
    if (!variable(L"PROBE_WAIT").empty()) ::Sleep(60000);
    return 0;
}

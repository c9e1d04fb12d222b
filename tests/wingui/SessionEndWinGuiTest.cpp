#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/win32/RegistryStore.hpp"
#include "platform/win32/WideText.hpp"
#include "windows/WindowsTestSupport.hpp"

namespace pd::test {
namespace {

// Keys that the main window's close path stores, and that nothing stores at start.
constexpr const char* closeKeys[] = {"MAIN-Left", "MAIN-Top", "AUTOSTART_TICKBOX", "USER_COUNT_TIME_TEXTBOX",
                                     "RUN_QT_OR_D_TEXTBOX"};

struct Ending {
    const char* name;
    void (*end)(HWND main);
};

void closeBox(HWND main) {
    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void endOfSession(HWND main) {
    // The system asks first, then ends the session; the program may be gone right after.
    EXPECT_TRUE(::SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    ::SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
}

// The shown window of that process that no other window owns.
HWND mainWindowOf(DWORD process) {
    struct Search {
        DWORD process;
        HWND found;
    } search{process, nullptr};
    ::EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            wchar_t cls[32] = {};
            ::GetClassNameW(w, cls, 32);
            if (owner != s->process || !::IsWindowVisible(w) || ::GetWindow(w, GW_OWNER) ||
                std::wstring(cls) != L"PACEDECK_WINDOW")
                return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// PACEDECK.exe, run as a copy of its own, ended one way: what its close path stores is in
// the registry afterwards.
class ProgramEnding : public ::testing::TestWithParam<Ending> {};

TEST_P(ProgramEnding, StoresWhatTheCloseBoxStores) {
    TempDir dir;
    const std::string copy = "WINGUI END " + std::to_string(::GetCurrentProcessId()) + " " + GetParam().name;
    const std::string file = dir.path + "\\" + copy + ".exe";
    std::filesystem::copy_file(pathOf(testProgramFolder() + "\\..\\..\\app\\PACEDECK.exe"), pathOf(file));
    win32::RegistryStore store;
    for (auto* key : closeKeys) ASSERT_FALSE(store.get(copy, key)) << key << " is stored before the start";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + win32::wide(file) + L"\"";
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process));
    HWND main = nullptr;
    EXPECT_TRUE(waitFor([&] { return (main = mainWindowOf(process.dwProcessId)) != nullptr; }))
        << "the main window never showed";
    if (main) GetParam().end(main);
    const bool ended = ::WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    EXPECT_TRUE(ended) << "the program did not end";
    if (!ended) ::TerminateProcess(process.hProcess, 1);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);

    for (auto* key : closeKeys) EXPECT_TRUE(store.get(copy, key)) << key << " was not stored";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, win32::wide("Software\\SW_PACEDECK\\" + copy).c_str());
}

INSTANTIATE_TEST_SUITE_P(ClosingTheMainWindow, ProgramEnding,
                         ::testing::Values(Ending{"CloseBox", closeBox},
                                           Ending{"EndOfSession", endOfSession}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pd::test

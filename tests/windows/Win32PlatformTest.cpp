// The Win32 platform on Windows itself: the process list by Toolhelp32, the terminator, the lock keys,
// folder sizes from directory listings, files and the text of batch files.
#include <gtest/gtest.h>
#include <windows.h>

#include "WindowsTestSupport.hpp"
#include "core/App.hpp"
#include "platform/win32/Win32Platform.hpp"
#include "platform/win32/Win32System.hpp"

namespace pd::test {

namespace {
// Starts a copy of the probe that stays until it is ended.
PROCESS_INFORMATION startWaiting(const std::string& program) {
    ::SetEnvironmentVariableW(L"PROBE_WAIT", L"1");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring line = L"\"" + win32::wide(program) + L"\"";
    EXPECT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                 nullptr, &si, &pi));
    ::SetEnvironmentVariableW(L"PROBE_WAIT", nullptr);
    return pi;
}
}  // namespace

TEST(Win32Processes, TheListSeesAProgramUnderAnyLetterCaseAndTheTerminatorEndsIt) {
    TempDir tmp;
    const std::string program = tmp.path + "\\SIMCOIND.EXE";
    copyProbe(program);
    auto pi = startWaiting(program);
    win32::Win32Platform platform;
    ASSERT_TRUE(waitFor([&] {
        auto table = platform.processes();
        return table && table->has("simcoind.exe");
    }));
    auto table = platform.processes();
    ASSERT_TRUE(table);
    for (const char* name : {"simcoind.exe", "SIMCOIND.EXE", "SimCoinD.Exe"})
        EXPECT_TRUE(table->has(name)) << name;
    for (const char* name : {"simcoind", "simcoin.exe", "simcoind.exe "})
        EXPECT_FALSE(table->has(name)) << name;

    EXPECT_EQ(platform.terminateByName("SimcoinD.exe"), 1);
    EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    EXPECT_FALSE(platform.processes()->has("simcoind.exe"));
}

TEST(Win32Processes, TheTerminatorNeverEndsItsOwnProgram) {
    win32::Win32Platform platform;
    const std::string self = win32::ownExeName() + ".exe";
    ASSERT_TRUE(platform.processes()->has(self)) << self;
    EXPECT_EQ(platform.terminateByName(self), 0);
    EXPECT_EQ(win32::ownExeName(), "pacedeck_windows_tests");
}

TEST(Win32FolderSize, TheSumOfAllFilesBelowIncludingPathsPast260Characters) {
    TempDir tmp;
    const std::string root = tmp.path + "\\chain";
    std::string deep = root + "\\blocks";
    for (int i = 0; deep.size() < 300; ++i)
        deep += "\\level-" + std::to_string(i) + "-" + std::string(20, 'd');
    ASSERT_GT(deep.size(), 260u);
    ASSERT_TRUE(std::filesystem::create_directories(pathOf("\\\\?\\" + deep)));
    win32::Win32Platform platform;
    struct File {
        std::string path;
        std::size_t size;
    };
    const std::vector<File> files = {{root + "\\a.dat", 1000},
                                     {root + "\\blocks\\blk00000.dat", 70000},
                                     {root + "\\blocks\\empty", 0},
                                     {root + "\\names é 中.log", 123},
                                     {deep + "\\deep.dat", 4321}};
    std::uint64_t expected = 0;
    for (const auto& f : files) {
        ASSERT_TRUE(platform.writeFile(f.path, std::string(f.size, 'x'), false, false)) << f.path;
        expected += f.size;
    }
    EXPECT_EQ(platform.folderSize(root), expected);
    EXPECT_EQ(platform.folderSize(root + "\\"), expected);
    EXPECT_EQ(platform.readFile(deep + "\\deep.dat"), std::string(4321, 'x'));
}

TEST(Win32FolderSize, ALinkIsCountedAsAnEntryButNeverFollowed) {
    TempDir tmp;
    const std::string root = tmp.path + "\\chain", outside = tmp.path + "\\outside";
    win32::Win32Platform platform;
    ASSERT_TRUE(platform.createFolder(root));
    ASSERT_TRUE(platform.createFolder(outside));
    ASSERT_TRUE(platform.writeFile(root + "\\own.dat", std::string(500, 'o'), false, false));
    ASSERT_TRUE(platform.writeFile(outside + "\\big.dat", std::string(90000, 'b'), false, false));
    if (!::CreateSymbolicLinkW(win32::wide(root + "\\link").c_str(), win32::wide(outside).c_str(),
                               SYMBOLIC_LINK_FLAG_DIRECTORY))
        GTEST_SKIP() << win32::lastError("this system makes no folder links");
    auto size = platform.folderSize(root);
    ASSERT_TRUE(size);
    EXPECT_GE(*size, 500u);
    EXPECT_LT(*size, 90000u);
}

TEST(Win32FolderSize, AFolderThatCannotBeListedGivesNoSum) {
    TempDir tmp;
    win32::Win32Platform platform;
    ASSERT_TRUE(platform.writeFile(tmp.path + "\\file", "x", false, false));
    for (const auto& path : {tmp.path + "\\missing", tmp.path + "\\file", tmp.path + "\\missing\\below"})
        EXPECT_EQ(platform.folderSize(path), std::nullopt) << path;
}

TEST(Win32Files, WritesReplaceWholeAndFailuresSayWhy) {
    TempDir tmp;
    win32::Win32Platform platform;
    const std::string path = tmp.path + "\\dir é\\f.txt";
    auto missing = platform.writeFile(path, "x", false, false);
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.error.find("does not exist"), std::string::npos) << missing.error;
    ASSERT_TRUE(platform.createFolder(tmp.path + "\\dir é"));
    EXPECT_TRUE(platform.createFolder(tmp.path + "\\dir é"));  // already there
    ASSERT_TRUE(platform.writeFile(path, "a long first text", false, false));
    ASSERT_TRUE(platform.writeFile(path, "short\r\n", false, true));
    EXPECT_EQ(platform.readFile(path), "short\r\n");
    EXPECT_TRUE(platform.exists(path));
    EXPECT_FALSE(platform.exists(path + ".pacedeck-new"));
    EXPECT_FALSE(platform.createFolder(path));
}

// cmd reads a batch file in its console's code page: the OEM one (437 on this western system).
TEST(Win32Text, BatchTextIsInTheCodePageCmdReadsAndACharacterItLacksIsRefused) {
    win32::Win32Platform platform;
    ASSERT_EQ(::GetOEMCP(), 437u) << "the tests expect a western system";
    struct Case {
        std::string text, bytes, refused;
    };
    for (const auto& c : std::vector<Case>{{"C:\\Chaîne é\r\n", "C:\\Cha\x8Cne \x82\r\n", ""},
                                           {"plain ! % ^", "plain ! % ^", ""},
                                           {"100 €", "", "€"},
                                           {"Łódź", "", "Ł"},
                                           {"a中b", "", "中"},
                                           {"😀", "", "😀"}}) {
        std::string bytes;
        auto outcome = platform.batchText(c.text, bytes);
        EXPECT_EQ(outcome.ok, c.refused.empty()) << c.text;
        if (c.refused.empty()) {
            EXPECT_EQ(bytes, c.bytes);
        } else {
            EXPECT_NE(outcome.error.find("\"" + c.refused + "\""), std::string::npos) << outcome.error;
            EXPECT_NE(outcome.error.find("437"), std::string::npos) << outcome.error;
        }
    }
}

TEST(Win32System, NamesAndTheEnvironmentComeFromTheSystem) {
    win32::Win32Platform platform;
    ::SetEnvironmentVariableW(L"PACEDECK_TEST_VALUE", L"é % x");
    EXPECT_EQ(platform.environment("PACEDECK_TEST_VALUE"), "é % x");
    EXPECT_EQ(platform.environment("PACEDECK_NEVER_SET"), "");
    EXPECT_EQ(platform.computerName(), platform.environment("COMPUTERNAME"));
    EXPECT_EQ(platform.userName(), platform.environment("USERNAME"));
    EXPECT_FALSE(platform.computerName().empty());
    EXPECT_EQ(platform.executableFolder(), testProgramFolder());
    EXPECT_FALSE(platform.timeText().empty());
    EXPECT_FALSE(platform.dateText().empty());
    EXPECT_TRUE(platform.inhibitSleep(true));
    EXPECT_TRUE(platform.inhibitSleep(false));
    for (const auto& [name, exe] :
         std::vector<std::pair<std::string, std::string>>{{"C:\\p\\BTC.exe", "BTC"},
                                                          {"BTC.EXE", "BTC"},
                                                          {"ltc.Exe", "ltc"},
                                                          {"D:\\x y\\Dash Core.eXe", "Dash Core"}})
        EXPECT_EQ(exeNameFrom(name, windowsProfile().executableSuffix), exe) << name;
}

// SendInput reaches the key state GetKeyState reads (under Wine too, without a display).
TEST(Win32LockKeys, PressingALockKeyTurnsItsStateOver) {
    win32::Win32Platform platform;
    for (auto key : {LockKey::Caps, LockKey::Num, LockKey::Scroll}) {
        const auto before = platform.lockState(key);
        ASSERT_TRUE(before);
        const auto pressed = platform.pressLockKey(key);
        ASSERT_TRUE(pressed) << pressed.error;
        EXPECT_TRUE(waitFor([&] { return platform.lockState(key) == !*before; }, std::chrono::seconds(3)));
        ASSERT_TRUE(platform.pressLockKey(key));
        EXPECT_TRUE(waitFor([&] { return platform.lockState(key) == *before; }, std::chrono::seconds(3)));
    }
}

// A lock key held down shows as on, whatever its toggle: the light is green while it is down.
TEST(Win32LockKeys, AKeyHeldDownCountsAsOn) {
    win32::Win32Platform platform;
    for (auto [key, vk] : std::vector<std::pair<LockKey, WORD>>{
             {LockKey::Caps, VK_CAPITAL}, {LockKey::Num, VK_NUMLOCK}, {LockKey::Scroll, VK_SCROLL}}) {
        auto send = [key = key, vk = vk](bool up) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.dwFlags = (key == LockKey::Num ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
            ::SendInput(1, &input, sizeof input);
        };
        const bool before = platform.lockState(key).value_or(false);
        // Toggled on first, so that pressing it down turns the toggle off while it is held.
        if (!before) {
            ASSERT_TRUE(platform.pressLockKey(key));
        }
        ASSERT_TRUE(waitFor([&] { return platform.lockState(key) == true; }, std::chrono::seconds(3)));
        send(false);
        ASSERT_TRUE(waitFor([&] { return (::GetKeyState(vk) & 1) == 0; }, std::chrono::seconds(3)));
        EXPECT_EQ(platform.lockState(key), true) << vk << " held down";
        send(true);
        EXPECT_TRUE(waitFor([&] { return platform.lockState(key) == false; }, std::chrono::seconds(3))) << vk;
        if (before) {
            ASSERT_TRUE(platform.pressLockKey(key));
        }
    }
}

}  // namespace pd::test

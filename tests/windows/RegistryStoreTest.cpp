// The settings store in the registry, on Windows itself: hostile values come back exactly,
// Windows' own reg.exe sees what was written, and a value that cannot be read is said,
// never mistaken for a missing one, and left whole.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <sddl.h>
// clang-format on

#include "platform/win32/RegistryStore.hpp"
#include "platform/win32/WideText.hpp"
#include "platform/win32/Win32Platform.hpp"

namespace pd::test {

namespace {
const std::string parent = "Software\\SW_PACEDECK";

// Writes a value of another type than text, as another program might.
void putDword(const std::string& section, const std::string& key, DWORD value) {
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, win32::wide(parent + "\\" + section).c_str(), 0, nullptr,
                                0, KEY_SET_VALUE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(k, win32::wide(key).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof value);
    ::RegCloseKey(k);
}

std::optional<DWORD> readDword(const std::string& section, const std::string& key) {
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, win32::wide(parent + "\\" + section).c_str(),
                       win32::wide(key).c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}
}  // namespace

TEST(RegistryStore, HostileValuesComeBackExactlyAlsoThroughAFreshStore) {
    const std::vector<std::pair<std::string, std::string>> values = {
        {"EMPTY", ""},
        {"CR LF", "first\r\nsecond\r\n"},
        {"LF", "a\nb"},
        {"QUOTES", "'single' \"double\" \"\""},
        {"PERCENT", "%PATH% 100% %%"},
        {"CMD", "! & | < > ^ ( ) ; , = `"},
        {"NON-ASCII", "Chaîne € 中文 😀"},
        {"SPACES", "  leading and trailing  "},
        {"LONG", std::string(20000, 'x')},
        {"BACKSLASHES", "C:\\a b\\\\c\\"},
    };
    const std::string section = "HOSTILE é 中";
    {
        win32::RegistryStore store;
        for (const auto& [key, value] : values)
            ASSERT_TRUE(store.put(section, key, value)) << key << store.error();
        for (const auto& [key, value] : values) {
            auto got = store.lookup(section, key);
            ASSERT_EQ(got.status, StoredValue::Status::Found) << key << got.error;
            EXPECT_EQ(got.value, value) << key;
        }
    }
    win32::RegistryStore fresh;
    for (const auto& [key, value] : values) EXPECT_EQ(fresh.get(section, key), value) << key;
    // An overwrite replaces, never appends.
    ASSERT_TRUE(fresh.put(section, "LF", "c"));
    EXPECT_EQ(fresh.get(section, "LF"), "c");
}

TEST(RegistryStore, RegExeSeesEachValueAsAStringUnderTheSectionKey) {
    win32::RegistryStore store;
    const std::vector<std::pair<std::string, std::string>> values = {
        {"PLAIN", "C:\\SYNCWARD-ROOT\\PACEDECK"},
        {"QUOTES", "say \"hi\" 'there'"},
        {"PERCENT", "%PATH% 100%"},
        {"CMD", "! & | < > ^ ( ) ;"},
    };
    for (const auto& [key, value] : values) ASSERT_TRUE(store.put("OUTSIDE", key, value));
    win32::Win32Platform platform;
    for (const auto& [key, value] : values) {
        auto r = platform.runAndWait("reg query \"HKCU\\Software\\SW_PACEDECK\\OUTSIDE\" /v " + key);
        ASSERT_TRUE(r.ok()) << r.output;
        EXPECT_NE(r.output.find(key + "    REG_SZ    " + value), std::string::npos) << r.output;
    }
    EXPECT_EQ(store.location("BTC"), "HKEY_CURRENT_USER\\Software\\SW_PACEDECK\\BTC");
}

TEST(RegistryStore, MissingSectionsAndKeysAreAbsentAndNothingIsCreatedByReading) {
    win32::RegistryStore store;
    EXPECT_EQ(store.lookup("NEVER-WRITTEN", "KEY").status, StoredValue::Status::Absent);
    HKEY k = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\SW_PACEDECK\\NEVER-WRITTEN", 0, KEY_READ, &k),
              ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(store.put("WRITTEN", "ONE", "1"));
    EXPECT_EQ(store.lookup("WRITTEN", "OTHER").status, StoredValue::Status::Absent);
}

TEST(RegistryStore, AValueThatIsNotTextIsUnreadableSaidByPathAndKeptWhole) {
    putDword("WRONG-TYPE", "AUTOSTART_TICKBOX", 7);
    win32::RegistryStore store;
    auto got = store.lookup("WRONG-TYPE", "AUTOSTART_TICKBOX");
    EXPECT_EQ(got.status, StoredValue::Status::Unreadable);
    EXPECT_NE(got.error.find("HKEY_CURRENT_USER\\Software\\SW_PACEDECK\\WRONG-TYPE\\AUTOSTART_TICKBOX"),
              std::string::npos)
        << got.error;
    EXPECT_EQ(store.get("WRONG-TYPE", "AUTOSTART_TICKBOX"), std::nullopt);
    EXPECT_EQ(store.read("WRONG-TYPE", "AUTOSTART_TICKBOX", "0"), "0");
    EXPECT_EQ(readDword("WRONG-TYPE", "AUTOSTART_TICKBOX"), 7u);
}

TEST(RegistryStore, AKeyThatMayNotBeReadIsUnreadableAndItsValueStays) {
    win32::RegistryStore store;
    ASSERT_TRUE(store.put("LOCKED", "PACEDECK_HOME_TEXTBOX", "D:\\KEEP"));
    HKEY k = nullptr;
    ASSERT_EQ(
        ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\SW_PACEDECK\\LOCKED", 0, WRITE_DAC | KEY_READ, &k),
        ERROR_SUCCESS);
    // Everyone is refused reading; the owner keeps the right to change that.
    PSECURITY_DESCRIPTOR denied = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(D;;KR;;;WD)(A;;KA;;;WD)",
                                                                       SDDL_REVISION_1, &denied, nullptr));
    ASSERT_EQ(::RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, denied), ERROR_SUCCESS);
    ::LocalFree(denied);
    ::RegCloseKey(k);

    auto got = store.lookup("LOCKED", "PACEDECK_HOME_TEXTBOX");
    EXPECT_EQ(got.status, StoredValue::Status::Unreadable);
    EXPECT_NE(got.error.find("HKEY_CURRENT_USER\\Software\\SW_PACEDECK\\LOCKED\\PACEDECK_HOME_TEXTBOX: "),
              std::string::npos)
        << got.error;

    // Once readable again, the value is there as it was.
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\SW_PACEDECK\\LOCKED", 0, WRITE_DAC, &k),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR open = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                       &open, nullptr));
    ASSERT_EQ(::RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, open), ERROR_SUCCESS);
    ::LocalFree(open);
    ::RegCloseKey(k);
    EXPECT_EQ(store.get("LOCKED", "PACEDECK_HOME_TEXTBOX"), "D:\\KEEP");
}

}  // namespace pd::test

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

namespace {
// A parent key of the test's own, so that no other test's sections or journals play a part.
struct ScratchParent {
    ScratchParent() : key("Software\\SW_PACEDECK-TESTS\\journal-" + std::to_string(::GetTickCount64())) {}
    ~ScratchParent() { ::RegDeleteTreeW(HKEY_CURRENT_USER, win32::wide(key).c_str()); }
    std::string key;
};

// Refuses (or allows again) setting values in a section's key.
void lockSection(const std::string& parent, const std::string& section, bool locked) {
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, win32::wide(parent + "\\" + section).c_str(), 0, nullptr,
                                0, WRITE_DAC, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        locked ? L"D:P(D;;0x2;;;WD)(A;;KA;;;WD)" : L"D:P(A;;KA;;;WD)", SDDL_REVISION_1, &sd, nullptr));
    ASSERT_EQ(::RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
    ::LocalFree(sd);
    ::RegCloseKey(k);
}

std::vector<std::wstring> journalsUnder(const std::string& parent) {
    std::vector<std::wstring> names;
    HKEY k = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, win32::wide(parent).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD i = 0, n = 256;
         ::RegEnumValueW(k, i, name, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i, n = 256)
        names.emplace_back(name, n);
    ::RegCloseKey(k);
    return names;
}

// The journal a program killed in the middle of a batch leaves: "PDJ1", then each text as its
// length in UTF-16 units (four bytes, lowest first) and its units.
std::string journalOf(const std::vector<std::string>& texts) {
    std::string out = "PDJ1";
    for (const auto& t : texts) {
        const std::wstring w = win32::wide(t);
        for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((w.size() >> shift) & 0xFF);
        out.append(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
    }
    return out;
}
}  // namespace

// A batch is a Save: every write of it lands, or none does, whatever fails on the way.
TEST(RegistryStore, ABatchLandsWholeOrNotAtAll) {
    struct Case {
        const char* name;
        bool lockShared;  // the second section refuses writes
        bool commit;      // false: the Save gives up before its end
        bool landed;
    };
    for (const auto& c : {Case{"committed", false, true, true}, Case{"a write refused", true, true, false},
                          Case{"given up", false, false, false}}) {
        ScratchParent parent;
        win32::RegistryStore store(parent.key);
        ASSERT_TRUE(store.put("BTC", "QT_NAME_TEXTBOX", "old-qt.exe"));
        ASSERT_TRUE(store.put("SHARED", "SMTP_USERNAME_TEXTBOX", "old user"));
        if (c.lockShared) lockSection(parent.key, "SHARED", true);
        bool committed = false;
        {
            SettingsStore::Batch batch(store);
            store.write("BTC", "QT_NAME_TEXTBOX", "new-qt.exe");
            store.write("BTC", "CRYPTO_NAME_TEXTBOX", "Bitcoin");
            EXPECT_EQ(store.get("BTC", "QT_NAME_TEXTBOX"), "new-qt.exe") << "a batch reads its own writes";
            store.write("SHARED", "SMTP_USERNAME_TEXTBOX", "new user");
            if (c.commit) committed = batch.commit();
        }
        if (c.lockShared) lockSection(parent.key, "SHARED", false);
        EXPECT_EQ(committed, c.landed) << c.name;
        win32::RegistryStore fresh(parent.key);
        EXPECT_EQ(fresh.get("BTC", "QT_NAME_TEXTBOX"), c.landed ? "new-qt.exe" : "old-qt.exe") << c.name;
        EXPECT_EQ(fresh.get("BTC", "CRYPTO_NAME_TEXTBOX"),
                  c.landed ? std::optional<std::string>("Bitcoin") : std::nullopt)
            << c.name;
        EXPECT_EQ(fresh.get("SHARED", "SMTP_USERNAME_TEXTBOX"), c.landed ? "new user" : "old user") << c.name;
        if (c.lockShared) {
            EXPECT_NE(store.failure().find("SHARED"), std::string::npos) << store.failure();
        }
        EXPECT_TRUE(journalsUnder(parent.key).empty()) << c.name;
    }
}

// What a program killed in the middle of a batch left behind is finished, or dropped, when the
// next program opens the store, before it reads anything.
TEST(RegistryStore, TheNextStartFinishesABatchAKillCutShortOrDropsAJournalItCannotRead) {
    struct Case {
        const char* name;
        std::string journal;
        std::string qt, crypto;  // what the store then holds
    };
    const std::string whole = journalOf(
        {"BTC", "QT_NAME_TEXTBOX", "new-qt.exe", "BTC", "CRYPTO_NAME_TEXTBOX", "Bitcoin \"é\" 100%"});
    for (const auto& c : {Case{"whole", whole, "new-qt.exe", "Bitcoin \"é\" 100%"},
                          Case{"torn", whole.substr(0, whole.size() - 3), "old-qt.exe", "Old"},
                          Case{"foreign", "not a journal", "old-qt.exe", "Old"}}) {
        ScratchParent parent;
        {
            win32::RegistryStore store(parent.key);
            ASSERT_TRUE(store.put("BTC", "QT_NAME_TEXTBOX", "old-qt.exe"));
            ASSERT_TRUE(store.put("BTC", "CRYPTO_NAME_TEXTBOX", "Old"));
        }
        HKEY k = nullptr;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, win32::wide(parent.key).c_str(), 0, KEY_SET_VALUE, &k),
                  ERROR_SUCCESS);
        const std::wstring name = win32::wide(std::string(win32::RegistryStore::journalPrefix) + "4242");
        ::RegSetValueExW(k, name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(c.journal.data()),
                         static_cast<DWORD>(c.journal.size()));
        ::RegCloseKey(k);

        win32::RegistryStore next(parent.key);
        EXPECT_EQ(next.get("BTC", "QT_NAME_TEXTBOX"), c.qt) << c.name;
        EXPECT_EQ(next.get("BTC", "CRYPTO_NAME_TEXTBOX"), c.crypto) << c.name;
        EXPECT_TRUE(journalsUnder(parent.key).empty()) << c.name;
    }
}

}  // namespace pd::test

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/posix/SqliteStore.hpp"

namespace pd {
namespace {

namespace fs = std::filesystem;

struct TempFolder {
    TempFolder() {
        char name[] = "/tmp/pacedeck-store-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempFolder() { fs::remove_all(path); }
    std::string path;
};

struct SqliteStoreTest : ::testing::Test {
    TempFolder temp;
    std::string db() const { return temp.path + "/SW_PACEDECK/settings.sqlite3"; }
};

TEST_F(SqliteStoreTest, ValuesSurviveReopenAndMissingKeysGiveTheDefault) {
    {
        SqliteStore store(db());
        ASSERT_TRUE(store.isOpen()) << store.error();
        EXPECT_TRUE(store.write("BTC", "USER_COUNT_TIME_TEXTBOX", "00:01:00"));
        EXPECT_TRUE(store.write("BTC", "LOG_FILE_OUTPUT_TEXTBOX", "line one\r\nline 'two'\r\n"));
        EXPECT_TRUE(store.write("BTC", "USER_COUNT_TIME_TEXTBOX", "00:02:00"));  // last write wins
    }
    SqliteStore again(db());
    EXPECT_EQ(again.read("BTC", "USER_COUNT_TIME_TEXTBOX", "x"), "00:02:00");
    EXPECT_EQ(again.read("BTC", "LOG_FILE_OUTPUT_TEXTBOX", "x"), "line one\r\nline 'two'\r\n");
    EXPECT_EQ(again.read("BTC", "AUTOSTART_TICKBOX", "0"), "0");
    EXPECT_EQ(again.read("LTC", "USER_COUNT_TIME_TEXTBOX", "00:05:00"), "00:05:00");
    EXPECT_TRUE(again.write("BTC", "EMPTY", ""));
    EXPECT_EQ(again.get("BTC", "EMPTY"), std::optional<std::string>(""));  // empty is a value, not absence
}

TEST_F(SqliteStoreTest, ADamagedFileIsKeptAsideUnderADatedNameAndAFreshOneStarts) {
    fs::create_directories(temp.path + "/SW_PACEDECK");
    const std::string garbage(8192, 'x');
    { std::ofstream(db(), std::ios::binary) << garbage; }
    SqliteStore store(db());
    ASSERT_TRUE(store.isOpen()) << store.error();
    ASSERT_FALSE(store.setAside().empty());
    EXPECT_TRUE(store.setAside().starts_with(db() + ".damaged-")) << store.setAside();
    std::ifstream kept(store.setAside(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), garbage);
    EXPECT_TRUE(store.write("BTC", "AUTOSTART_TICKBOX", "1"));
    EXPECT_EQ(store.read("BTC", "AUTOSTART_TICKBOX", "0"), "1");
    SqliteStore sound(db());
    EXPECT_TRUE(sound.setAside().empty());
}

TEST_F(SqliteStoreTest, FolderAndFileArePrivateToTheUser) {
    SqliteStore store(db());
    ASSERT_TRUE(store.isOpen()) << store.error();
    store.write("X", "K", "V");
    struct stat folder {};
    struct stat file {};
    ASSERT_EQ(::stat((temp.path + "/SW_PACEDECK").c_str(), &folder), 0);
    ASSERT_EQ(::stat(db().c_str(), &file), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
}

TEST_F(SqliteStoreTest, DefaultPathFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", temp.path.c_str(), 1);
    EXPECT_EQ(SqliteStore::defaultPath(), temp.path + "/SW_PACEDECK/settings.sqlite3");
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SqliteStoreTest, TwoCopiesWritingAtOnceLoseNothing) {
    { SqliteStore create(db()); }
    constexpr int keys = 300;
    auto writer = [&](const char* section) {
        SqliteStore store(db());
        int failures = store.isOpen() ? 0 : keys;
        for (int i = 0; store.isOpen() && i < keys; ++i)
            if (!store.write(section, "KEY_" + std::to_string(i), std::string(section) + std::to_string(i)))
                ++failures;
        ::_exit(failures == 0 ? 0 : 1);
    };
    pid_t a = ::fork();
    ASSERT_GE(a, 0);
    if (a == 0) writer("BTC");
    pid_t b = ::fork();
    ASSERT_GE(b, 0);
    if (b == 0) writer("LTC");
    for (pid_t child : {a, b}) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer saw a failed write";
    }
    SqliteStore store(db());
    for (int i = 0; i < keys; ++i) {
        EXPECT_EQ(store.read("BTC", "KEY_" + std::to_string(i), "<lost>"), "BTC" + std::to_string(i));
        EXPECT_EQ(store.read("LTC", "KEY_" + std::to_string(i), "<lost>"), "LTC" + std::to_string(i));
    }
}

TEST_F(SqliteStoreTest, CopiesKeepTheirOwnSectionsAndShareTheEmailAccount) {
    SqliteStore btc(db());
    SqliteStore ltc(db());  // another copy of the program, its own connection
    btc.write("BTC", "USER_COUNT_TIME_TEXTBOX", "00:01:00");
    ltc.write("LTC", "USER_COUNT_TIME_TEXTBOX", "00:09:00");
    btc.write(SettingsStore::sharedEmailSection, "SMTP_USERNAME_TEXTBOX", "node@example.org");

    EXPECT_EQ(ltc.read(SettingsStore::sharedEmailSection, "SMTP_USERNAME_TEXTBOX", ""), "node@example.org");
    EXPECT_EQ(btc.read("BTC", "USER_COUNT_TIME_TEXTBOX", ""), "00:01:00");
    EXPECT_EQ(btc.read("LTC", "USER_COUNT_TIME_TEXTBOX", ""), "00:09:00");
    ltc.write(SettingsStore::sharedEmailSection, "SMTP_USERNAME_TEXTBOX", "other@example.org");
    EXPECT_EQ(btc.read(SettingsStore::sharedEmailSection, "SMTP_USERNAME_TEXTBOX", ""), "other@example.org");
}

TEST_F(SqliteStoreTest, ABatchIsWholeOrAbsent) {
    struct Case {
        const char* batch;
        bool commit;
        bool lockedByAnother;
        bool kept;
    };
    const std::vector<Case> cases = {
        {"committed", true, false, true},
        {"abandoned before its commit", false, false, false},
        {"begun while another program holds the file", true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.batch);
        fs::remove_all(temp.path + "/SW_PACEDECK");
        SqliteStore store(db());
        ASSERT_TRUE(store.write("BTC", "A", "old"));
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(db().c_str(), &other), SQLITE_OK);
        if (c.lockedByAnother) {
            ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        {
            SettingsStore::Batch batch(store);
            store.write("BTC", "A", "new");
            store.write("BTC", "B", "new");
            if (c.commit) {
                EXPECT_EQ(batch.commit(), c.kept);
            }
        }
        if (c.lockedByAnother) {
            EXPECT_NE(store.failure().find("locked by another program"), std::string::npos)
                << store.failure();
            sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        sqlite3_close(other);
        SqliteStore again(db());
        EXPECT_EQ(again.read("BTC", "A", "<none>"), c.kept ? "new" : "old");
        EXPECT_EQ(again.read("BTC", "B", "<none>"), c.kept ? "new" : "<none>");
    }
}

}  // namespace
}  // namespace pd

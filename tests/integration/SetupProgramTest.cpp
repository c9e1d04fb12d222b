// pacedeck-setup run as a program on this computer: it sets up a copy whose scripts, run
// by /bin/sh, start the intended programs with the intended arguments, and it rejects a
// file it cannot apply, naming the line.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <thread>

#include "ScriptProbe.hpp"
#include "core/HomeLayout.hpp"
#include "core/Profile.hpp"
#include "platform/posix/SqliteStore.hpp"

namespace pd::test {

namespace {

const std::string setupProgram = std::string(PACEDECK_BINARY_DIR) + "/app/setup/pacedeck-setup";

struct Copy {
    Copy() {
        std::filesystem::create_directories(tmp.path + "/config");
        env = {"HOME=" + tmp.path, "XDG_CONFIG_HOME=" + tmp.path + "/config"};
    }
    RunResult apply(const std::string& exe, const std::string& text) {
        const auto file = tmp.path + "/setup.txt";
        std::ofstream(file, std::ios::binary) << text;
        return runProgram({setupProgram, exe, file}, env, tmp.path);
    }
    std::string stored(const std::string& exe, const std::string& key) {
        SqliteStore store(tmp.path + "/config/SW_PACEDECK/settings.sqlite3");
        return store.read(exe, key, "<unset>");
    }
    TempDir tmp;
    std::vector<std::string> env;
};

// A value for the set-up file: quoted, with its quotes and backslashes escaped.
std::string quotedValue(const std::string& v) {
    std::string out = "\"";
    for (char c : v) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

TEST(SetupProgram, ConfiguresACopyWhoseScriptsStartTheIntendedPrograms) {
    Copy c;
    const std::string home = c.tmp.path + "/pd home";
    const std::string progs = c.tmp.path + "/my coin's \"bin\" $PATH";
    const std::string chain = c.tmp.path + "/chain été";
    std::filesystem::create_directories(progs);
    for (auto name : {"coin-qt", "coind", "coin-cli"}) writeProbe(progs + "/" + name);

    auto run = c.apply("DEMO",
                       "# set up the demo copy\n"
                       "[PACEDECK_MAIN_SETTINGS]\n"
                       "PACEDECK_HOME_TEXTBOX = " +
                           quotedValue(home) +
                           "\n"
                           "press = CREATE_FOLDERS_BUTTON\n"
                           "press = OK_BUTTON\n"
                           "[PACEDECK_CRYPTO_SETTINGS]\n"
                           "CRYPTO_NAME_TEXTBOX = Demo Coin\n"
                           "QT_LOCATION_TEXTBOX = " +
                           quotedValue(progs) +
                           "\n"
                           "QT_NAME_TEXTBOX = coin-qt\n"
                           "DAEMON_CLI_LOCATION_TEXTBOX = " +
                           quotedValue(progs) +
                           "\n"
                           "DAEMOND_NAME_TEXTBOX = coind\n"
                           "DAEMONCLI_NAME_SETTINGS_TEXTBOX = coin-cli\n"
                           "BLOCKCHAIN_HOME_TEXTBOX = " +
                           quotedValue(chain) +
                           "\n"
                           "QT_WALLET_TICKBOX = 1\n"
                           "press = SAVE_BUTTON\n"
                           "[PACEDECK_MAIN]\n"
                           "RUN_DAEMON_TICKBOX = 1\n"
                           "press = EXIT_BUTTON\n");
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const auto profile = posixProfile(c.tmp.path);
    const auto conf = home + "/CONFIGS/DEMO-CRYPTO-CONFIG.conf";
    EXPECT_EQ(c.stored("DEMO", "PACEDECK_HOME_TEXTBOX"), home);
    EXPECT_EQ(c.stored("DEMO", "CRYPTO_NAME_TEXTBOX"), "Demo Coin");
    EXPECT_EQ(c.stored("DEMO", "MULTILOADER_LAST_RUN_TEXTBOX"), "!!! MANUAL EXIT !!!");
    EXPECT_EQ(readWhole(home + "/BLOCKCOUNTS/DEMO-LATEST-BLOCKCOUNT.LOG"), "\n");

    struct Expect {
        Script script;
        std::string key;
        std::vector<std::string> argv;
    };
    for (const auto& e :
         {Expect{Script::RunQt,
                 "SW_QT_COMMAND_TEXTBOX",
                 {progs + "/coin-qt", "-conf=" + conf, "-datadir=" + chain, "-disablewallet=0"}},
          Expect{Script::RunDaemon,
                 "SW_D_COMMAND_TEXTBOX",
                 {progs + "/coind", "-conf=" + conf, "-datadir=" + chain}},
          Expect{Script::RunCliStop,
                 "SWCLI_STOP_COMMAND_TEXTBOX",
                 {progs + "/coin-cli", "-conf=" + conf, "-datadir=" + chain, "stop"}},
          Expect{Script::RunBlockcounter,
                 "GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX",
                 {progs + "/coin-cli", "-conf=" + conf, "-datadir=" + chain, "getblockcount"}}}) {
        const auto script = HomeLayout(profile, home, "DEMO").script(e.script);
        // The stored command is the script's one line.
        EXPECT_EQ(readWhole(script), c.stored("DEMO", e.key) + "\n");
        const auto out = c.tmp.path + "/args";
        std::filesystem::remove(out);
        auto ran = runProgram({"/bin/sh", script}, {"PROBE_OUT=" + out}, c.tmp.path);
        ASSERT_EQ(ran.exitCode, 0) << ran.err;
        EXPECT_EQ(recordedArgs(out), e.argv) << readWhole(script);
    }
    EXPECT_EQ(readWhole(home + "/BLOCKCOUNTS/DEMO-LATEST-BLOCKCOUNT.LOG"), "4242\r\n");
}

TEST(SetupProgram, RejectsABadFileNamingTheLineAndChangesNothing) {
    Copy c;
    auto run = c.apply("DEMO",
                       "[PACEDECK_MAIN_SETTINGS]\n"
                       "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX = 00:00:42\n"
                       "press = CANCEL_BUTTON\n"
                       "\n"
                       "[PACEDECK_MAIN_SETTINGS]\n"
                       "NO_SUCH_TEXTBOX = 1\n"
                       "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX = 00:00:43\n");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("line 6"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("NO_SUCH_TEXTBOX"), std::string::npos) << run.err;
    // The file was rehearsed first: the lines before the bad one stored nothing either.
    EXPECT_EQ(c.stored("DEMO", "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX"), "<unset>");
    EXPECT_EQ(c.stored("DEMO", "MAIN_SETTINGS-Left"), "<unset>");

    // A file that cannot be read changes nothing at all.
    auto unreadable = c.apply("OTHER",
                              "[PACEDECK_MAIN_SETTINGS]\n"
                              "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX = 00:00:42\n"
                              "press = CANCEL_BUTTON\n"
                              "CRYPTO_NAME_TEXTBOX = \"unterminated\n");
    EXPECT_NE(unreadable.exitCode, 0);
    EXPECT_NE(unreadable.err.find("line 4"), std::string::npos) << unreadable.err;
    EXPECT_EQ(c.stored("OTHER", "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX"), "<unset>");

    auto usage = runProgram({setupProgram, "DEMO"}, c.env, c.tmp.path);
    EXPECT_NE(usage.exitCode, 0);
    EXPECT_NE(usage.err.find("usage"), std::string::npos);
}

TEST(SetupProgram, AnswersItsOptionsAndRefusesWhatIsNotASetupFile) {
    Copy c;
    const auto folder = c.tmp.path + "/a folder";
    std::filesystem::create_directories(folder);
    std::ofstream(c.tmp.path + "/empty.txt") << "# only a comment\n";
    std::ofstream(c.tmp.path + "/large.txt") << std::string((1 << 20) + 1, '#');
    // A pipe that nobody writes to ends at once instead of holding the program.
    const auto pipe = c.tmp.path + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // As an editor saves "Unicode": little-endian UTF-16 with its byte-order mark.
    std::ofstream(c.tmp.path + "/utf16.txt", std::ios::binary) << std::string("\xFF\xFE[\0P\0]\0\n\0", 10);
    // UTF-8 with a byte-order mark, as some editors save it, is UTF-8 all the same.
    std::ofstream(c.tmp.path + "/marked.txt", std::ios::binary)
        << "\xEF\xBB\xBF[PACEDECK_MAIN_SETTINGS]\nHEARTBEAT_COUNTDOWN_TIME_TEXTBOX = 00:00:42\n";
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* out;
        const char* err;
    };
    for (const auto& k : {
             Case{{"--version"}, 0, "pacedeck-setup 1.0.0", ""},
             Case{{"--help"}, 0, "[PACEDECK_SCHEDULER_WINDOW]", ""},
             Case{{"DEMO", "--help"}, 0, "Example:", ""},
             Case{{"--frobnicate", "DEMO", "x"}, 2, "", "unknown option \"--frobnicate\""},
             Case{{"DEMO", folder}, 2, "", "is a folder, not a set-up file"},
             Case{{"DEMO", c.tmp.path + "/missing.txt"}, 2, "", "cannot read"},
             Case{{"DEMO", c.tmp.path + "/empty.txt"}, 1, "", "holds no set-up lines"},
             Case{{"DEMO", "/dev/zero"}, 2, "", "/dev/zero is a device, not a set-up file"},
             Case{{"DEMO", c.tmp.path + "/large.txt"}, 2, "", "large.txt is larger than 1 MiB"},
             Case{{"DEMO", pipe}, 1, "", "holds no set-up lines"},
             Case{{"DEMO", c.tmp.path + "/utf16.txt"}, 1, "", "utf16.txt is UTF-16 text: save it as UTF-8"},
             Case{{"MARKED", c.tmp.path + "/marked.txt"}, 0, "applied to MARKED", ""},
             Case{{"DEMO"}, 2, "", "usage"},
         }) {
        std::vector<std::string> argv{setupProgram};
        argv.insert(argv.end(), k.args.begin(), k.args.end());
        auto run = runProgram(argv, c.env, c.tmp.path);
        EXPECT_EQ(run.exitCode, k.exitCode) << k.args.front() << run.err;
        EXPECT_NE(run.out.find(k.out), std::string::npos) << run.out;
        EXPECT_NE(run.err.find(k.err), std::string::npos) << run.err;
    }
    // None of them touched the settings: not even the main window's place was written.
    EXPECT_EQ(c.stored("DEMO", "MAIN-Left"), "<unset>");
    EXPECT_EQ(c.stored("MARKED", "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX"), "00:00:42");
}

TEST(SetupProgram, SaysWhenTheStoreWasDamagedOrIsHeldByAnotherProgram) {
    Copy c;
    const std::string file = "[PACEDECK_MAIN_SETTINGS]\nHEARTBEAT_COUNTDOWN_TIME_TEXTBOX = 00:00:42\n";
    const auto database = c.tmp.path + "/config/SW_PACEDECK/settings.sqlite3";
    std::filesystem::create_directories(c.tmp.path + "/config/SW_PACEDECK");
    std::ofstream(database) << "not a database";
    auto damaged = c.apply("DEMO", file);
    EXPECT_EQ(damaged.exitCode, 0) << damaged.err;
    EXPECT_NE(damaged.err.find("the settings file was damaged: it is kept as " + database + ".damaged-"),
              std::string::npos)
        << damaged.err;

    // Another program's transaction: the set-up says that it waits, and goes on once it ends.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; INSERT OR REPLACE INTO settings VALUES('Y', 'K', 'V');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::thread release([&] {
        for (int i = 0; i < 2000 && readWhole(c.tmp.path + "/run.err").find("waiting") == std::string::npos;
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    auto locked = c.apply("DEMO", "[PACEDECK_MAIN_SETTINGS]\nHEARTBEAT_COUNTDOWN_TIME_TEXTBOX = 00:00:43\n");
    release.join();
    sqlite3_close(other);
    EXPECT_EQ(locked.exitCode, 0) << locked.err;
    EXPECT_NE(locked.err.find("the settings store is locked by another program: waiting for it, up to 30 s"),
              std::string::npos)
        << locked.err;
    EXPECT_EQ(c.stored("DEMO", "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX"), "00:00:43");
}

TEST(SetupProgram, TheWeeklyTaskOfALinkedCopyIsMadeStoredAndDeletedEvenWithAPercentInItsName) {
    for (const std::string exe : {"BTC", "50%BTC"}) {
        SCOPED_TRACE(exe);
        Copy c;
        // A stand-in crontab keeping the "installed" table in a file of the test's own, and the
        // copy installed as a link named after its coin, both on PATH.
        const auto bin = c.tmp.path + "/bin", table = c.tmp.path + "/crontab";
        std::filesystem::create_directories(bin);
        std::ofstream(bin + "/crontab")
            << "#!/bin/sh\ncase $1 in -l) cat '" + table + "' ;; -) cat >'" + table + "' ;; esac\n";
        std::filesystem::permissions(bin + "/crontab", std::filesystem::perms::owner_all);
        std::filesystem::create_symlink("/bin/true", bin + "/" + exe);
        c.env.insert(c.env.end(), {"PATH=" + bin + ":" + std::getenv("PATH"), "DISPLAY=:5"});
        auto made =
            c.apply(exe, "[PACEDECK_MAIN_SETTINGS]\nPACEDECK_HOME_TEXTBOX = " + c.tmp.path +
                             "\npress = OK_BUTTON\n[PACEDECK_SCHEDULER_WINDOW]\n"
                             "TASK_RUN_TIME_TEXTBOX = 04:30\nWED_TICKBOX = 1\npress = CREATE_TASK_BUTTON\n");
        ASSERT_EQ(made.exitCode, 0) << made.err;
        EXPECT_EQ(c.stored(exe, "TASK_STATUS_TEXTBOX"), "TASK-CREATED");
        const auto line = readWhole(table);
        EXPECT_NE(line.find("30 04 * * 3 env DISPLAY=\":5\" \"" + bin + "/"), std::string::npos) << line;
        // cron cuts a command at a % it finds unescaped: none may stand in the line.
        for (auto at = line.find('%'); at != std::string::npos; at = line.find('%', at + 1))
            EXPECT_EQ(line[at - 1], '\\') << line;

        auto deleted = c.apply(exe,
                               "[PACEDECK_SCHEDULER_WINDOW]\n"
                               "ENABLE_DELETE_BUTTON_TICKBOX = 1\n"
                               "press = DELETE_TASK_BUTTON\n");
        ASSERT_EQ(deleted.exitCode, 0) << deleted.err;
        EXPECT_EQ(readWhole(table), "");
        EXPECT_EQ(c.stored(exe, "TASK_STATUS_TEXTBOX"), "TASK-DELETED");
    }
}

}  // namespace pd::test

// Whole runs on this machine: the POSIX platform, the SQLite store, real scripts run by
// /bin/sh, Debian's sendemail against a local SMTP sink, on the real clock.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "platform/posix/SqliteStore.hpp"
#include "settings/EmailSettingsWindow.hpp"
#include "sim/SimHarness.h"

namespace pd::test {

using namespace simtest;
namespace fs = std::filesystem;

namespace {

// Keeps every message it receives as a file, message-001.eml and so on.
constexpr const char* sinkScript = R"(import os, signal, sys
from aiosmtpd.controller import Controller

class Keep:
    def __init__(self, folder):
        self.folder, self.count = folder, 0
    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        path = os.path.join(self.folder, "message-%03d.eml" % self.count)
        with open(path + ".part", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        os.rename(path + ".part", path)
        return "250 Message accepted"

folder, port = sys.argv[1], int(sys.argv[2])
controller = Controller(Keep(folder), hostname="127.0.0.1", port=port)
controller.start()
open(os.path.join(folder, "ready"), "w").close()
signal.pause()
)";

class SmtpSink {
  public:
    explicit SmtpSink(const ScratchDir& dir) : folder_(dir / "sink"), port_(freePort()) {
        fs::create_directories(folder_);
        simtest::writeFile(dir / "sink.py", sinkScript);
        process_ = std::make_unique<Process>(
            "/usr/bin/python3", std::vector<std::string>{dir / "sink.py", folder_, std::to_string(port_)},
            Env{}, dir / "sink.out", dir / "sink.err");
    }
    bool ready() {
        return waitUntil([&] { return fs::exists(folder_ + "/ready"); }, 20s);
    }
    std::uint16_t port() const { return port_; }
    std::vector<std::string> messages() const {
        std::vector<std::string> names;
        for (auto& e : fs::directory_iterator(folder_))
            if (e.path().extension() == ".eml") names.push_back(e.path().string());
        std::sort(names.begin(), names.end());
        std::vector<std::string> texts;
        for (auto& n : names) texts.push_back(simtest::readFile(n));
        return texts;
    }
    bool waitForMessages(std::size_t n) {
        return waitUntil([&] { return messages().size() >= n; }, 60s, 100ms);
    }

  private:
    std::string folder_;
    std::uint16_t port_;
    std::unique_ptr<Process> process_;
};

// One copy of the program on the real platform and clock, its settings in the scratch folder.
struct LiveCopy {
    LiveCopy(const ScratchDir& dir, std::string exe)
        : store(dir / "settings.sqlite3"),
          profile(posixProfile(dir.path())),
          app(std::move(exe), store, platform, profile, scheduler) {}

    // Drives the program's timers until the condition holds or the limit passes.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            scheduler.runDue();
            app.collectClosed();
            if (done()) return true;
            auto next = scheduler.nextDue();
            auto wait = next ? std::clamp<std::int64_t>(*next - scheduler.now(), 0, 20) : 20;
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        }
        return done();
    }
    void put(std::string_view key, std::string_view value) { store.write(app.exe(), key, value); }
    std::string stored(std::string_view key) { return store.read(app.exe(), key, "<unset>"); }
    std::string status() { return app.main().CURRENT_STATUS_LABEL.text(); }

    SqliteStore store;
    PosixPlatform platform;
    Profile profile;
    SteadyClock clock;
    Scheduler scheduler{clock};
    App app;
};

// The home folder as CREATE FOLDERS leaves it.
std::string makeHome(const ScratchDir& dir) {
    auto home = dir / "PACEDECK HOME";
    for (auto sub : {"", "/BATS", "/BLOCKCOUNTS", "/CONFIGS", "/LOGS", "/REPORTS"})
        fs::create_directories(home + sub);
    return home;
}

std::string normalised(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

}  // namespace

TEST(EndToEnd, TheMailerGetsEveryValueWholeAndTheScriptsAreTheUsersAlone) {
    ScratchDir dir;
    auto home = makeHome(dir);
    // A stand-in mailer that writes down the arguments it was given.
    auto mailerHome = dir / "mail tools";
    fs::create_directories(mailerHome);
    simtest::writeFile(mailerHome + "/sendemail",
                       "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n<<end>>\\n' \"$a\"; done > \"$(dirname "
                       "\"$0\")/args\"\n");
    fs::permissions(mailerHome + "/sendemail", fs::perms::owner_all);

    LiveCopy copy(dir, "MAILTEST");
    copy.put("PACEDECK_HOME_TEXTBOX", home);
    copy.put("CRYPTO_NAME_TEXTBOX", "SIM");
    auto& w = copy.app.start();
    auto& e = copy.app.open<EmailSettingsWindow>(&w);
    const std::string password = "it's a \"pw\" $HOME `id` \\ x";
    e.SE_HOME_TEXTBOX.type(mailerHome);
    e.SMTP_SERVER_ADDRESS_PORT_TEXTBOX.type("127.0.0.1:25");
    e.SMTP_USERNAME_TEXTBOX.type("me two");
    e.SMTP_PASSWORD_TEXTBOX.type(password);
    e.SEND_FROM_ADDRESS_TEXTBOX.type("node@example.org");
    e.SEND_TO_ADDRESS_TEXTBOX.type("me@example.org");
    ASSERT_TRUE(e.OK_BUTTON.click());

    auto script = home + "/BATS/MAILTEST-START-EMAIL.sh";
    struct stat st {};
    ASSERT_EQ(::stat(script.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((home + "/BATS/MAILTEST-END-REPORT-EMAIL.sh").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(copy.stored("SMTP_PASSWORD_TEXTBOX"), password);

    ASSERT_TRUE(copy.platform.runScript(script, WindowStyle::Hidden));
    ASSERT_TRUE(waitUntil([&] { return fs::exists(mailerHome + "/args"); }, 10s));
    std::vector<std::string> args;
    std::string text = simtest::readFile(mailerHome + "/args");
    for (std::size_t at = 0, end; (end = text.find("\n<<end>>\n", at)) != std::string::npos; at = end + 9)
        args.push_back(text.substr(at, end - at));
    const std::vector<std::string> expected = {"-f",   "node@example.org",
                                               "-t",   "me@example.org",
                                               "-cc",  "",
                                               "-bcc", "",
                                               "-u",   "PACEDECK - SIM - STARTED",
                                               "-m",   "PACEDECK - SIM - STARTED",
                                               "-s",   "127.0.0.1:25",
                                               "-xu",  "me two",
                                               "-xp",  password,
                                               "-o",   "reply-to=node@example.org",
                                               "-l",   home + "/LOGS/MAILTEST-SEND-EMAIL.LOG",
                                               "-o",   "tls=no",
                                               "-o",   "username=me two",
                                               "-o",   "password=" + password,
                                               "-q",   "-v"};
    EXPECT_EQ(args, expected);
}

TEST(EndToEnd, ARunMailsItsStartNoticeAndItsReportThroughTheRealMailer) {
    ScratchDir dir;
    SmtpSink sink(dir);
    ASSERT_TRUE(sink.ready());
    auto home = makeHome(dir);

    LiveCopy copy(dir, "MAILRUN");
    copy.put("PACEDECK_HOME_TEXTBOX", home);
    copy.put("CRYPTO_NAME_TEXTBOX", "SIM");
    copy.put("ALWAYS_ON_TOP_TICKBOX", "0");
    copy.put("TASK_4_ENABLE_TICKBOX", "1");
    copy.put("TASK_17_ENABLE_TICKBOX", "1");
    auto& w = copy.app.start();
    auto& e = copy.app.open<EmailSettingsWindow>(&w);
    ASSERT_TRUE(e.USE_BUTTON.click());
    e.SMTP_SERVER_ADDRESS_PORT_TEXTBOX.type("127.0.0.1:" + std::to_string(sink.port()));
    e.SEND_FROM_ADDRESS_TEXTBOX.type("node@example.org");
    e.SEND_TO_ADDRESS_TEXTBOX.type("me@example.org");
    ASSERT_TRUE(e.REPORT_AS_ATTACHMENT_TICKBOX.click());
    ASSERT_TRUE(e.OK_BUTTON.click());

    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    ASSERT_TRUE(copy.runUntil([&] { return copy.status() == "!!! COMPLETED - FINISHED - DONE !!!"; }, 60s))
        << copy.status();
    EXPECT_EQ(w.TASK_4_LIGHT.back(), colour::green);
    EXPECT_EQ(w.TASK_17_LIGHT.back(), colour::green);

    ASSERT_TRUE(sink.waitForMessages(2));
    auto messages = sink.messages();
    ASSERT_EQ(messages.size(), 2u);
    auto notice = std::find_if(messages.begin(), messages.end(), [](auto& m) {
        return m.find("Subject: PACEDECK - SIM - STARTED\r\n") != m.npos;
    });
    auto report = std::find_if(messages.begin(), messages.end(), [](auto& m) {
        return m.find("Subject: PACEDECK - SIM - COMPLETED - LOG REPORT\r\n") != m.npos;
    });
    ASSERT_NE(notice, messages.end());
    ASSERT_NE(report, messages.end());
    EXPECT_NE(notice->find("To: \"me@example.org\" <me@example.org>"), std::string::npos);
    // The report's body is the report file; with the tick it is attached as well.
    auto file = simtest::readFile(home + "/REPORTS/MAILRUN-END-REPORT.LOG");
    ASSERT_NE(file.find("FINAL ACTION:"), std::string::npos);
    EXPECT_NE(normalised(*report).find(normalised(file)), std::string::npos) << *report;
    EXPECT_NE(report->find("filename=\"MAILRUN-END-REPORT.LOG\""), std::string::npos) << *report;
    // The mailer wrote its log where the commands told it to.
    auto log = simtest::readFile(home + "/LOGS/MAILRUN-SEND-EMAIL.LOG");
    EXPECT_NE(log.find("Email was sent successfully"), std::string::npos) << log;
}

}  // namespace pd::test

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PlatformTestSupport.hpp"
#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "tools/ReportsLogsWindow.hpp"

namespace pd::test {

// The shell starts even when the program it is asked to run is missing; the opener of
// text files (xdg-open) is such a program, and its absence must be told, not swallowed.
TEST(EditorCommand, AMissingOpenerFailsAtOnceAndTheWindowSaysSo) {
    Scratch bin;  // a PATH with no xdg-open on it
    EnvChange path("PATH", bin.path());
    PosixPlatform platform;
    auto started = platform.runCommand("xdg-open '/tmp/some report.log'", WindowStyle::Normal);
    EXPECT_FALSE(started);
    EXPECT_EQ(started.error, "cannot start xdg-open: not found");

    VirtualClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    store.write("DEMO", "PACEDECK_HOME_TEXTBOX", bin.path());
    App app("DEMO", store, platform, posixProfile(bin.path()), scheduler);
    auto& reports = app.open<ReportsLogsWindow>(&app.start<MainWindow>());
    ASSERT_TRUE(reports.VIEW_LAST_SAVED_REPORT_BUTTON.click());
    EXPECT_EQ(reports.EDITOR_STATUS_LABEL.text(),
              "!!! THE TEXT EDITOR DID NOT START: cannot start xdg-open: not found !!!");
}

TEST(EditorCommand, AnOpenerOnThePathGetsTheFile) {
    Scratch bin;
    const auto record = bin / "opened";
    bin.script("xdg-open", "echo \"$1\" > '" + record + "'\n");
    auto path = pathFirst(bin.path());
    PosixPlatform platform;
    auto started = platform.runCommand("xdg-open '/tmp/some report.log'", WindowStyle::Normal);
    EXPECT_TRUE(started) << started.error;
    std::vector<std::string> opened;
    waitUntil(
        [&] {
            auto text = slurp(record);
            opened = text ? linesOf(*text) : std::vector<std::string>{};
            return !opened.empty();
        },
        5s);
    EXPECT_EQ(opened, std::vector<std::string>{"/tmp/some report.log"});
    // Shell syntax is the shell's to read: such a line is not judged by its first word.
    EXPECT_TRUE(platform.runCommand("FOO=1 true", WindowStyle::Hidden));
}

}  // namespace pd::test

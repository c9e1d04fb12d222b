#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <string>

#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/HomeLayout.hpp"
#include "main/MainWindow.hpp"
#include "platform/fake/FakePlatform.hpp"
#include "ui/qt/QtFrontEnd.hpp"

namespace pd::test {
namespace {

constexpr const char* home = "/home/tester/SYNCWARD-ROOT/PACEDECK";

// The main window of the copy "BTC" in the middle of a run, on virtual time and the fake
// platform: the qt wallet started, the blockcounter following it. The picture is the one the
// README shows (docs/main-window-during-a-run.png is copied from the build's artefact).
TEST(RunScreenshot, MainWindowDuringARunShowsTheBlockcounterFollowingTheNode) {
    VirtualClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    FakePlatform platform;
    App app("BTC", store, platform, posixProfile("/home/tester"), scheduler);
    pd::qt::QtFrontEnd frontEnd{app};
    const HomeLayout layout(app.profile(), home, app.exe());
    for (auto [key, value] : {std::pair{"PACEDECK_HOME_TEXTBOX", home},
                              {"CRYPTO_NAME_TEXTBOX", "BTC"},
                              {"QT_NAME_TEXTBOX", "bitcoin-qt"},
                              {"DAEMOND_NAME_TEXTBOX", "bitcoind"},
                              {"DAEMONCLI_NAME_SETTINGS_TEXTBOX", "bitcoin-cli"},
                              {"ALWAYS_ON_TOP_TICKBOX", "0"},
                              {"RUN_QT_TICKBOX", "1"},
                              {"TASK_8_ENABLE_TICKBOX", "1"},
                              {"TASK_11_ENABLE_TICKBOX", "1"},
                              {"USER_COUNT_TIME_TEXTBOX", "00:00:30"}})
        store.write(app.exe(), key, value);
    platform.folders = {home, std::string(home) + "/BATS", std::string(home) + "/BLOCKCOUNTS"};
    for (auto script : {Script::RunQt, Script::RunCliStop, Script::RunBlockcounter})
        platform.files[layout.script(script)] = "exec true\n";
    platform.files[layout.latestBlockcount()] = "871234\n";

    auto& w = app.start<MainWindow>();
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    auto advance = [&](std::int64_t ms) {
        scheduler.advance(ms, clock);
        QApplication::processEvents();
    };
    advance(7000);
    platform.running.insert("bitcoin-qt");  // the wallet the run started is up
    advance(40'000);

    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER - COUNTING DOWN !!!");
    EXPECT_EQ(w.TASK_7_LIGHT.back(), colour::green);
    EXPECT_EQ(w.TASK_8_LIGHT.back(), colour::pink);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::green);
    auto* view = frontEnd.viewOf(w);
    ASSERT_NE(view, nullptr);
    const QImage shot = view->grab().toImage();
    EXPECT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(PACEDECK_GUI_ARTEFACT_DIR "/main-window-during-a-run.png"));
    w.close();
    app.collectClosed();
}

}  // namespace
}  // namespace pd::test

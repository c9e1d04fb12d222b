#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "PlatformTestSupport.hpp"
#include "Xvfb.hpp"
#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixPlatform.hpp"

namespace pd::test {

namespace {

constexpr const char* keyName(LockKey key) {
    return key == LockKey::Num ? "Num Lock" : key == LockKey::Caps ? "Caps Lock" : "Scroll Lock";
}

}  // namespace

class LockKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!Xvfb::installed()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
        server_ = std::make_unique<Xvfb>();
        ASSERT_FALSE(server_->display().empty()) << "Xvfb did not start";
        display_ = std::make_unique<EnvChange>("DISPLAY", server_->display());
    }

    std::unique_ptr<Xvfb> server_;
    std::unique_ptr<EnvChange> display_;
};

TEST_F(LockKeys, NumAndCapsLockPressesToggleTheIndicatorAndBack) {
    PosixPlatform platform;
    for (auto key : {LockKey::Num, LockKey::Caps}) {
        SCOPED_TRACE(keyName(key));
        auto before = platform.lockState(key);
        ASSERT_TRUE(before.has_value());
        auto pressed = platform.pressLockKey(key);
        ASSERT_TRUE(pressed) << pressed.error;
        EXPECT_TRUE(waitUntil([&] { return platform.lockState(key) == !*before; }, 5s));
        ASSERT_TRUE(platform.pressLockKey(key));
        EXPECT_TRUE(waitUntil([&] { return platform.lockState(key) == *before; }, 5s));
    }
    // Scroll Lock may have no indicator on this server; asking must still be safe.
    auto scroll = platform.pressLockKey(LockKey::Scroll);
    EXPECT_TRUE(scroll.ok || !scroll.error.empty());
    platform.lockState(LockKey::Scroll);
}

TEST_F(LockKeys, ALightFollowsAKeyPressedByAnotherClient) {
    // The state is asked once and then followed by the keyboard's events: a press made on
    // another connection (the user's keyboard, another program) must still show.
    PosixPlatform watcher;
    PosixPlatform keyboard;
    for (auto key : {LockKey::Num, LockKey::Caps}) {
        SCOPED_TRACE(keyName(key));
        auto before = watcher.lockState(key);
        ASSERT_TRUE(before.has_value());
        ASSERT_TRUE(keyboard.pressLockKey(key));
        EXPECT_TRUE(waitUntil([&] { return watcher.lockState(key) == !*before; }, 5s));
        ASSERT_TRUE(keyboard.pressLockKey(key));
        EXPECT_TRUE(waitUntil([&] { return watcher.lockState(key) == *before; }, 5s));
    }
}

TEST_F(LockKeys, HeartbeatTogglesNumLockAndTheLightShowsIt) {
    VirtualClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    store.write("DEMO", "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX", "00:00:10");
    PosixPlatform platform;
    // The heartbeat also takes the sleep lock: a stand-in keeps this test off the real one.
    Scratch bin;
    bin.script("systemd-inhibit", "exec sleep 1000\n");
    auto path = pathFirst(bin.path());
    App app("DEMO", store, platform, posixProfile("/home/tester"), scheduler);
    auto& w = app.start<MainWindow>();
    auto advance = [&](int ms) { scheduler.advance(ms, clock); };

    advance(100);
    auto before = platform.lockState(LockKey::Num);
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(w.VERT_NUM_LIGHT_LABEL.back(), *before ? colour::green : colour::red);

    w.KITT_START_BUTTON.click();
    advance(10000 + 750);
    EXPECT_EQ(platform.lockState(LockKey::Num), !*before) << "first press of the heartbeat";
    advance(100);
    EXPECT_EQ(w.VERT_NUM_LIGHT_LABEL.back(), !*before ? colour::green : colour::red);
    advance(650);
    EXPECT_EQ(platform.lockState(LockKey::Num), *before) << "the second press restores it";
    advance(100);
    EXPECT_EQ(w.VERT_NUM_LIGHT_LABEL.back(), *before ? colour::green : colour::red);
    w.KITT_START_BUTTON.click();
}

TEST_F(LockKeys, ALostDisplayMakesTheStateUnknownWithoutEndingTheProgram) {
    PosixPlatform platform;
    ASSERT_TRUE(platform.lockState(LockKey::Num).has_value());
    server_->stop();
    EXPECT_EQ(platform.lockState(LockKey::Num), std::nullopt);
    EXPECT_FALSE(platform.pressLockKey(LockKey::Num));

    // A new server is found again.
    Xvfb next;
    ASSERT_FALSE(next.display().empty());
    EnvChange display("DISPLAY", next.display());
    EXPECT_TRUE(waitUntil([&] { return platform.lockState(LockKey::Caps).has_value(); }, 5s));
}

TEST(LockKeysWithoutX, NoDisplayMeansUnknownAndPressesSayWhy) {
    EnvChange display("DISPLAY", std::nullopt);
    {
        EnvChange wayland("WAYLAND_DISPLAY", std::nullopt);
        PosixPlatform platform;
        for (auto key : {LockKey::Num, LockKey::Caps, LockKey::Scroll})
            EXPECT_EQ(platform.lockState(key), std::nullopt) << keyName(key);
        auto pressed = platform.pressLockKey(LockKey::Num);
        EXPECT_FALSE(pressed);
        EXPECT_EQ(pressed.error, "no X display (DISPLAY is not set)");
    }
    EnvChange wayland("WAYLAND_DISPLAY", "wayland-0");
    PosixPlatform platform;
    EXPECT_EQ(platform.lockState(LockKey::Num), std::nullopt);
    EXPECT_EQ(platform.pressLockKey(LockKey::Caps).error, "no X display in this Wayland session");
}

}  // namespace pd::test

#pragma once
// A copy set up through its settings windows as a user would: the home folder with its own
// configuration file, then the node's programs and chain folder in the crypto settings,
// whose save writes the copy's .bat files through the Win32 platform.
#include <gtest/gtest.h>

#include <string>

#include "behaviour/FakeDialogs.hpp"
#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/Scheduler.hpp"
#include "main/MainWindow.hpp"
#include "settings/CryptoSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"

namespace pd::test {

struct CopyPaths {
    std::string home, conf, progs, qtName, daemonName, cliName, chain;
};

// Fails the calling test (check HasFatalFailure) when a step is refused.
inline void setUpThroughTheSettings(App& app, VirtualClock& clock, Scheduler& scheduler, FakeDialogs& dialogs,
                                    const CopyPaths& p) {
    app.setDialogs(dialogs);
    auto& main = app.start<MainWindow>();
    ASSERT_TRUE(main.SETTINGS_BUTTON.click());
    auto& settings = *app.find<MainSettingsWindow>();
    ASSERT_TRUE(settings.PACEDECK_HOME_TEXTBOX.type(p.home));
    ASSERT_TRUE(settings.USE_OWN_CONF_TICKBOX.click());
    ASSERT_TRUE(settings.CONF_FILE_LOCATION_TEXTBOX.type(p.conf));
    ASSERT_TRUE(settings.CREATE_FOLDERS_BUTTON.click());
    ASSERT_EQ(settings.MESSAGE_STATUS_TEXTBOX.text(), MainSettingsWindow::foldersCreatedStatus);
    ASSERT_TRUE(settings.OK_BUTTON.click());
    app.collectClosed();

    ASSERT_TRUE(main.SETTINGS_BUTTON.click());
    ASSERT_TRUE(app.find<MainSettingsWindow>()->CRYPTO_SETTINGS_BUTTON.click());
    auto& crypto = *app.find<CryptoSettingsWindow>();
    ASSERT_TRUE(crypto.QT_LOCATION_TEXTBOX.type(p.progs));
    ASSERT_TRUE(crypto.QT_NAME_TEXTBOX.type(p.qtName));
    ASSERT_TRUE(crypto.DAEMON_CLI_LOCATION_TEXTBOX.type(p.progs));
    ASSERT_TRUE(crypto.DAEMOND_NAME_TEXTBOX.type(p.daemonName));
    ASSERT_TRUE(crypto.DAEMONCLI_NAME_SETTINGS_TEXTBOX.type(p.cliName));
    ASSERT_TRUE(crypto.BLOCKCHAIN_HOME_TEXTBOX.type(p.chain));
    ASSERT_TRUE(crypto.DAEMON_WALLET_TICKBOX.click());
    ASSERT_TRUE(crypto.DAEMON_DISABLE_WALLET_TICKBOX.click());
    ASSERT_TRUE(crypto.CLI_DAEMON_TICKBOX.click());
    scheduler.advance(1000, clock);
    ASSERT_TRUE(crypto.SAVE_BUTTON.click());
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();
}

}  // namespace pd::test

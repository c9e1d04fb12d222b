#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "FakeDialogs.hpp"
#include "Harness.hpp"
#include "settings/CryptoSettingsWindow.hpp"
#include "settings/EmailSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"
#include "settings/NodeScripts.hpp"

namespace pd::test {

namespace {

struct Saving {
    Saving() {
        h.app.setDialogs(dialogs);
        h.put("PACEDECK_HOME_TEXTBOX", "/pd");
        h.platform.folders = {"/pd", "/pd/BATS"};
        h.start();
        h.app.onStoreFailure = [this](const std::string& what) { failures.push_back(what); };
    }
    MainSettingsWindow& settings() {
        EXPECT_TRUE(h.main().SETTINGS_BUTTON.click());
        return *h.app.find<MainSettingsWindow>();
    }
    CryptoSettingsWindow& crypto() {
        EXPECT_TRUE(settings().CRYPTO_SETTINGS_BUTTON.click());
        auto& w = *h.app.find<CryptoSettingsWindow>();
        for (auto* b : {&w.USE_QT_FOLDER_BUTTON, &w.USE_QT_FILE_BUTTON, &w.USE_DAEMON_FOLDER_BUTTON,
                        &w.USE_DAEMOND_FILE_BUTTON, &w.USE_DAEMONCLI_FILE_BUTTON})
            EXPECT_TRUE(b->click());
        h.advance(1000);
        return w;
    }
    FakeDialogs dialogs;
    Harness h;
    std::vector<std::string> failures;
};

bool holds(const std::vector<std::string>& keys, std::string_view key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

const std::string qtScript = "/pd/BATS/DEMO-RUN-QT.sh";

}  // namespace

TEST(WholeSaves, EachSaveStoresItsKeysInOneBatch) {
    struct Case {
        const char* save;
        std::function<void(Saving&)> act;
        std::vector<std::string> keys;  // some of the keys the one batch must hold
    };
    const std::vector<Case> cases = {
        {"crypto settings Save",
         [](Saving& s) { EXPECT_TRUE(s.crypto().SAVE_BUTTON.click()); },
         {"CRYPTO_NAME_TEXTBOX", "QT_NAME_TEXTBOX", "SW_QT_COMMAND_TEXTBOX",
          "GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX"}},
        {"e-mail settings OK",
         [](Saving& s) { EXPECT_TRUE(s.h.app.open<EmailSettingsWindow>(&s.h.main()).OK_BUTTON.click()); },
         {"EMAIL_OUTPUT_START_COMMAND_TEXTBOX", "EMAIL_OUTPUT_END_COMMAND_TEXTBOX", "TLS_AUTO_TICKBOX"}},
        {"main settings OK",
         [](Saving& s) { EXPECT_TRUE(s.settings().OK_BUTTON.click()); },
         {"PACEDECK_HOME_TEXTBOX", "GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX", "MAIN_SETTINGS-Left"}},
        {"main window EXIT",
         [](Saving& s) { EXPECT_TRUE(s.h.main().EXIT_BUTTON.click()); },
         {"DESKTOP-Left", "MULTILOADER_LAST_RUN_TEXTBOX", "MAIN-Left", "AUTOSTART_TICKBOX"}},
        {"main window close box",
         [](Saving& s) { s.h.main().close(); },
         {"MAIN-Left", "AUTOSTART_TICKBOX", "RUN_QT_OR_D_TEXTBOX"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.save);
        Saving s;
        s.h.store.clearLog();
        c.act(s);
        ASSERT_EQ(s.h.store.batches().size(), 1u);
        const auto& batch = s.h.store.batches().front();
        for (const auto& key : c.keys) EXPECT_TRUE(holds(batch, key)) << key;
        EXPECT_EQ(batch.size(), s.h.store.writtenKeys("DEMO").size());  // nothing written outside it
        EXPECT_TRUE(s.failures.empty());
    }
}

TEST(WholeSaves, ACommitThatFailsIsReportedAndLeavesTheStoreAndScriptsAsTheyWere) {
    Saving s;
    auto& w = s.crypto();
    ASSERT_TRUE(w.SAVE_BUTTON.click());
    const auto firstQt = s.h.stored("SW_QT_COMMAND_TEXTBOX");
    const auto firstName = s.h.stored("QT_NAME_TEXTBOX");
    const auto files = s.h.platform.files;
    ASSERT_EQ(files.at(qtScript), firstQt + "\n");

    ASSERT_TRUE(w.QT_NAME_TEXTBOX.type("other-qt"));
    s.h.advance(1000);
    ASSERT_NE(w.SW_QT_COMMAND_TEXTBOX.text(), firstQt);
    s.h.store.commitFails = true;
    ASSERT_TRUE(w.SAVE_BUTTON.click());
    EXPECT_EQ(s.h.stored("QT_NAME_TEXTBOX"), firstName);
    EXPECT_EQ(s.h.stored("SW_QT_COMMAND_TEXTBOX"), firstQt);
    EXPECT_EQ(s.h.platform.files, files);  // no new script, no staged one left
    EXPECT_EQ(s.failures, std::vector<std::string>{"the crypto settings"});
    ASSERT_FALSE(s.dialogs.messages.empty());
    EXPECT_NE(s.dialogs.messages.back().find("NOT SAVED"), std::string::npos);
}

TEST(WholeSaves, AtStartASaveCutShortIsFinishedOrUndoneAndHalfWrittenFilesGo) {
    struct Case {
        const char* cut;
        std::string stagedContent;  // empty: no staged script
        std::string leftover;       // a half-written file's name, or empty
        std::string scriptAfter;
    };
    const std::string stored = "exec new";
    const std::vector<Case> cases = {
        {"after the store kept the commands", stored + "\n", "", stored + "\n"},
        {"before the store kept the commands", "exec newer\n", "", "exec old\n"},
        {"while a script was being staged", "", qtScript + ".pacedeck-save.pacedeck-new", "exec old\n"},
        {"while a script was being written", "", qtScript + ".pacedeck-new", "exec old\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cut);
        Harness h;
        h.put("PACEDECK_HOME_TEXTBOX", "/pd");
        h.put("SW_QT_COMMAND_TEXTBOX", stored);
        h.platform.files[qtScript] = "exec old\n";
        const auto staged = qtScript + std::string(NodeScriptSave::stagedEnding);
        if (!c.stagedContent.empty()) h.platform.files[staged] = c.stagedContent;
        if (!c.leftover.empty()) h.platform.files[c.leftover] = "exec ha";
        h.start();
        EXPECT_EQ(h.platform.files, (std::map<std::string, std::string>{{qtScript, c.scriptAfter}}));
    }
}

}  // namespace pd::test

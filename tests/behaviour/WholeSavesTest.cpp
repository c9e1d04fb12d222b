#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "FakeDialogs.hpp"
#include "Harness.hpp"
#include "app/setup/SetupDriver.hpp"
#include "confgen/ConfGeneratorWindow.hpp"
#include "schedule/PowerAutotimerSettingsWindow.hpp"
#include "schedule/SchedulerWindow.hpp"
#include "settings/CryptoSettingsWindow.hpp"
#include "settings/EmailSettingsWindow.hpp"
#include "settings/EmailSharedSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"

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
    EmailSettingsWindow& email() {
        EXPECT_TRUE(settings().SE_SETTINGS_BUTTON.click());
        return *h.app.find<EmailSettingsWindow>();
    }
    EmailSharedSettingsWindow& shared() {
        EXPECT_TRUE(email().SHARED_SETTINGS_BUTTON.click());
        return *h.app.find<EmailSharedSettingsWindow>();
    }
    ConfGeneratorWindow& confGenerator() {
        EXPECT_TRUE(settings().CONF_MANAGER_BUTTON.click());
        return *h.app.find<ConfGeneratorWindow>();
    }
    template <class W>
    W& fromSettings(Button MainSettingsWindow::*opener) {
        EXPECT_TRUE((settings().*opener).click());
        return *h.app.find<W>();
    }
    // What opening the windows wrote is not part of the Save.
    void pressAfterOpening(Button& b) {
        h.store.clearLog();
        EXPECT_TRUE(b.click());
    }
    FakeDialogs dialogs;
    Harness h;
    std::vector<std::string> failures;
};

bool holds(const std::vector<std::string>& keys, std::string_view key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

const std::string qtScript = "/pd/BATS/DEMO-RUN-QT.sh";
const std::string alertScript = "/pd/BATS/DEMO-STUCK-ALERT-EMAIL.sh";
const std::string confFile = "/pd/CONFIGS/DEMO-CRYPTO-CONFIG.conf";

// The keys every window wrote since the log was cleared: the copy's and the shared ones.
std::size_t writes(Saving& s) {
    return s.h.store.writtenKeys("DEMO").size() +
           s.h.store.writtenKeys(SettingsStore::sharedEmailSection).size();
}

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
         {"EMAIL_OUTPUT_START_COMMAND_TEXTBOX", "EMAIL_OUTPUT_END_COMMAND_TEXTBOX",
          "EMAIL_OUTPUT_ALERT_COMMAND_TEXTBOX", "TLS_AUTO_TICKBOX"}},
        {"shared e-mail settings OK",
         [](Saving& s) { s.pressAfterOpening(s.shared().OK_BUTTON); },
         {"SHARED-SETTINGS-Left", "SMTP_USERNAME_TEXTBOX", "SMTP_PASSWORD_TEXTBOX", "TLS_AUTO_TICKBOX"}},
        {"conf generator SAVE",
         [](Saving& s) { s.pressAfterOpening(s.confGenerator().SAVE_BUTTON); },
         {"CONF_GENERATOR-Left", "RPC_USER_TEXTBOX", "RPC_PASSWORD_TEXTBOX", "CONF_OUTPUT_TEXTBOX"}},
        {"scheduler OK",
         [](Saving& s) {
             s.pressAfterOpening(
                 s.fromSettings<SchedulerWindow>(&MainSettingsWindow::SCHEDULER_BUTTON).OK_BUTTON);
         },
         {"WIN_SCHED_TASK-Left", "TASK_RUN_TIME_TEXTBOX", "MON_TICKBOX", "TASK_STATUS_TEXTBOX"}},
        {"power autotimer settings OK",
         [](Saving& s) {
             auto& w =
                 s.fromSettings<PowerAutotimerSettingsWindow>(&MainSettingsWindow::POWER_AUTOTIMER_BUTTON);
             s.pressAfterOpening(w.OK_BUTTON);
         },
         {"POWER_AUTOTIMER_SETTINGS-Left", "AUTOTIMER_ACTION_TEXTBOX", "CLOSE_REQUEST_COUNTDOWN_TEXTBOX"}},
        {"main settings OK",
         [](Saving& s) { EXPECT_TRUE(s.settings().OK_BUTTON.click()); },
         {"PACEDECK_HOME_TEXTBOX", "GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX", "MAIN_SETTINGS-Left"}},
        {"main window EXIT",
         [](Saving& s) { EXPECT_TRUE(s.h.main().EXIT_BUTTON.click()); },
         {"DESKTOP-Left", "MULTILOADER_LAST_RUN_TEXTBOX", "MAIN-Left", "AUTOSTART_TICKBOX"}},
        {"main window close box",
         [](Saving& s) { s.h.main().close(); },
         {"MAIN-Left", "AUTOSTART_TICKBOX", "RUN_QT_OR_D_TEXTBOX"}},
        {"end of a set-up file that chose in the main window",
         [](Saving& s) {
             auto file = setup::parseSetupScript("[PACEDECK_MAIN]\nUSER_COUNT_TIME_TEXTBOX = 00:07:00\n");
             EXPECT_FALSE(setup::SetupDriver(s.h.app).run(file.lines));
         },
         {"USER_COUNT_TIME_TEXTBOX", "RUN_QT_TICKBOX", "MAIN-Left"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.save);
        Saving s;
        s.h.store.clearLog();
        c.act(s);
        // A batch that wrote nothing (a window closing after its OK kept everything) is no Save.
        std::vector<std::vector<std::string>> batches;
        std::copy_if(s.h.store.batches().begin(), s.h.store.batches().end(), std::back_inserter(batches),
                     [](const auto& b) { return !b.empty(); });
        EXPECT_EQ(batches.size(), 1u);
        if (batches.size() != 1) continue;  // the other Saves are still looked at
        const auto& batch = batches.front();
        for (const auto& key : c.keys) EXPECT_TRUE(holds(batch, key)) << key;
        EXPECT_EQ(batch.size(), writes(s));  // nothing written outside it
        EXPECT_TRUE(s.failures.empty());
    }
}

TEST(WholeSaves, ACommitThatFailsIsReportedAndLeavesTheStoreAndFilesAsTheyWere) {
    // Each Save is made once, then again with a field changed while the store fails to commit.
    struct Case {
        const char* save;
        std::function<void(Saving&, bool edit)> save_;
        std::string key;   // a key the edit changes
        std::string file;  // a file the Save writes
    };
    const std::vector<Case> cases = {
        {"crypto settings Save",
         [](Saving& s, bool edit) {
             auto& w = s.crypto();
             if (edit) {
                 EXPECT_TRUE(w.QT_NAME_TEXTBOX.type("other-qt"));
             }
             w.REGENERATE_COMMANDS_TIMER.onTick();
             EXPECT_TRUE(w.SAVE_BUTTON.click());
         },
         "SW_QT_COMMAND_TEXTBOX", qtScript},
        {"e-mail settings OK",
         [](Saving& s, bool edit) {
             auto& w = s.email();
             if (edit) {
                 EXPECT_TRUE(w.SMTP_PASSWORD_TEXTBOX.type("new pw"));
             }
             EXPECT_TRUE(w.OK_BUTTON.click());
         },
         "EMAIL_OUTPUT_ALERT_COMMAND_TEXTBOX", alertScript},
        {"conf generator SAVE",
         [](Saving& s, bool edit) {
             auto& w = s.confGenerator();
             if (edit) {
                 EXPECT_TRUE(w.RPC_PASSWORD_TEXTBOX.type("new pw"));
             }
             w.refreshOutput();
             EXPECT_TRUE(w.SAVE_BUTTON.click());
         },
         "RPC_PASSWORD_TEXTBOX", confFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.save);
        Saving s;
        s.h.platform.folders.insert("/pd/CONFIGS");
        c.save_(s, false);
        EXPECT_TRUE(s.h.platform.files.contains(c.file));
        const auto before = s.h.stored(c.key);
        const auto files = s.h.platform.files;
        s.dialogs.messages.clear();

        s.h.store.commitFails = true;
        c.save_(s, true);
        EXPECT_EQ(s.h.stored(c.key), before);
        EXPECT_EQ(s.h.platform.files, files);  // no new file, no staged one left
        EXPECT_FALSE(s.failures.empty());
        EXPECT_TRUE(
            std::any_of(s.dialogs.messages.begin(), s.dialogs.messages.end(),
                        [](const std::string& m) { return m.find("NOT SAVED") != std::string::npos; }));
    }
}

TEST(WholeSaves, AtStartASaveCutShortIsFinishedOrUndoneAndHalfWrittenFilesGo) {
    // Each file a Save writes, with the key that records its text.
    struct File {
        std::string path;
        std::string key;
    };
    struct Cut {
        const char* cut;
        std::string stagedText;  // empty: no staged file
        std::string leftover;    // the ending of a half-written file, or empty
        bool finished;           // the file then holds the stored text
    };
    const std::string stored = "exec new";
    const std::vector<File> files = {{qtScript, "SW_QT_COMMAND_TEXTBOX"},
                                     {"/pd/BATS/DEMO-START-EMAIL.sh", "EMAIL_OUTPUT_START_COMMAND_TEXTBOX"},
                                     {alertScript, "EMAIL_OUTPUT_ALERT_COMMAND_TEXTBOX"},
                                     {confFile, "CONF_OUTPUT_TEXTBOX"}};
    const std::vector<Cut> cuts = {
        {"after the store kept the texts", stored, "", true},
        {"before the store kept the texts", "exec newer", "", false},
        {"while a file was being staged", "", ".pacedeck-save.pacedeck-new", false},
        {"while a file was being written", "", ".pacedeck-new", false},
    };
    for (const auto& f : files)
        for (const auto& c : cuts) {
            SCOPED_TRACE(f.path + ": " + c.cut);
            Harness h;
            h.put("PACEDECK_HOME_TEXTBOX", "/pd");
            h.put(f.key, stored);
            h.platform.files[f.path] = "exec old\n";
            if (!c.stagedText.empty()) h.platform.files[f.path + ".pacedeck-save"] = c.stagedText + "\n";
            // A half-written file may hold a password: it never stays.
            if (!c.leftover.empty()) h.platform.files[f.path + c.leftover] = "-xp secr";
            h.start();
            EXPECT_EQ(
                h.platform.files,
                (std::map<std::string, std::string>{{f.path, c.finished ? stored + "\n" : "exec old\n"}}));
        }
}

}  // namespace pd::test

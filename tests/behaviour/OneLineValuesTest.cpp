// A value that would break a generated line (a line break, a NUL) is refused where it is
// entered, and every writer of a line-based file refuses it too.
#include <gtest/gtest.h>

#include "ConfGeneratorFixture.hpp"
#include "FakeDialogs.hpp"
#include "core/OneLine.hpp"
#include "core/TextFile.hpp"
#include "schedule/SchedulerWindow.hpp"
#include "settings/CryptoSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"

namespace pd::test {

namespace {
const std::vector<std::string> breakers = {"a\nrpcallowip=0.0.0.0/0", "a\r\nb", std::string("coin-qt\0x", 9)};
const std::string confPath = "C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf";
}  // namespace

TEST(OneLineValues, TheConfGeneratorRefusesBreaksInAnyOneLineFieldAndAHashInThePassword) {
    struct Case {
        const char* field;
        std::string value;
        std::string reason;
    };
    std::vector<Case> cases;
    for (const auto& b : breakers)
        for (auto field : {"CRYPTO_NAME_TEXTBOX", "RPC_PORT_TEXTBOX", "RPC_PASSWORD_TEXTBOX"})
            cases.push_back({field, b, b.find('\0') != std::string::npos ? "NUL" : "line break"});
    cases.push_back({"RPC_PASSWORD_TEXTBOX", "pass#word", "comment"});
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.reason);
        ConfGen gen;
        auto& g = gen.open();
        static_cast<TextBox*>(g.find(c.field))->setText(c.value);
        gen.h.store.clearLog();
        ASSERT_TRUE(g.SAVE_BUTTON.click());
        EXPECT_FALSE(gen.h.platform.files.contains(confPath));
        EXPECT_TRUE(gen.h.store.writtenKeys("BTC").empty());
        EXPECT_EQ(g.SAVE_STATUS_LABEL.text(), "!!! CONF FILE NOT SAVED !!!");
        ASSERT_EQ(gen.dialogs.messages.size(), 1u);
        EXPECT_NE(gen.dialogs.messages[0].find(c.field), std::string::npos) << gen.dialogs.messages[0];
        EXPECT_NE(gen.dialogs.messages[0].find(c.reason), std::string::npos) << gen.dialogs.messages[0];
    }
}

TEST(OneLineValues, CryptoSettingsAndMainSettingsRefuseThemAtSaveAndOk) {
    for (const auto& b : breakers) {
        FakeDialogs dialogs;
        Harness h("BTC", posixProfile("/home/tester"));
        h.app.setDialogs(dialogs);
        h.put("PACEDECK_HOME_TEXTBOX", "/pd");
        h.platform.folders = {"/pd", "/pd/BATS"};
        h.start();
        auto& settings = h.app.open<MainSettingsWindow>(&h.main());
        ASSERT_TRUE(settings.CRYPTO_SETTINGS_BUTTON.click());
        auto& crypto = *h.app.find<CryptoSettingsWindow>();
        crypto.QT_NAME_TEXTBOX.setText(b);
        h.advance(1000);
        h.store.clearLog();
        ASSERT_TRUE(crypto.SAVE_BUTTON.click());
        EXPECT_TRUE(h.store.writtenKeys("BTC").empty());
        EXPECT_FALSE(h.platform.files.contains("/pd/BATS/BTC-RUN-QT.sh"));
        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_NE(dialogs.messages.back().find("QT_NAME_TEXTBOX CANNOT BE USED"), std::string::npos);
        crypto.close();

        settings.PACEDECK_HOME_TEXTBOX.setText("/pd" + b);
        h.store.clearLog();
        ASSERT_TRUE(settings.OK_BUTTON.click());
        EXPECT_TRUE(settings.isOpen());
        EXPECT_TRUE(h.store.writtenKeys("BTC").empty());
        EXPECT_EQ(h.main().PACEDECK_HOME_TEXTBOX.text(), "/pd");
        EXPECT_NE(settings.MESSAGE_STATUS_TEXTBOX.text().find("PACEDECK_HOME_TEXTBOX CANNOT BE USED"),
                  std::string::npos);
    }
}

TEST(OneLineValues, EveryWriterOfALineBasedFileRefusesThemAsASecondGuard) {
    for (const auto& b : breakers) {
        // A script.
        Harness h("BTC", posixProfile("/home/tester"));
        h.platform.folders = {"/pd/BATS"};
        auto written = writeTextFile(h.platform, h.app.profile(), "/pd/BATS/x.sh", "exec " + b + "\n", true);
        EXPECT_FALSE(written);
        EXPECT_FALSE(h.platform.files.contains("/pd/BATS/x.sh"));
        EXPECT_TRUE(writeTextFile(h.platform, h.app.profile(), "/pd/BATS/x.sh", "exec true\n", true));

        // The crontab line, from a home folder the store holds with a break in it.
        h.put("PACEDECK_HOME_TEXTBOX", "/pd" + b);
        h.start();
        auto& w = h.app.open<SchedulerWindow>(&h.main());
        ASSERT_TRUE(w.MON_TICKBOX.click());
        ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
        h.advance(1000);
        EXPECT_TRUE(h.platform.launches.empty());
        EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(), "");
        EXPECT_NE(w.TASK_RESULT_LABEL.text().find("NO TASK CREATED - THE HOME FOLDER CANNOT BE USED"),
                  std::string::npos);
    }
    EXPECT_EQ(oneLineFault("C:\\PD\\BTC"), "");
}

}  // namespace pd::test

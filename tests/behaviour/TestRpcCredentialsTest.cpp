#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ConfGeneratorFixture.hpp"

namespace pd::test {

namespace {

bool allOf(std::string_view text, std::string_view alphabet) {
    return std::all_of(text.begin(), text.end(),
                       [&](char ch) { return alphabet.find(ch) != std::string_view::npos; });
}

constexpr std::string_view lowerHex = "0123456789abcdef";

TestRpcCredentialsWindow& openCredentials(ConfGeneratorWindow& g, ConfGen& c) {
    g.SW_RPC_TEST_CREDENTIALS_BUTTON.click();
    return *c.h.app.find<TestRpcCredentialsWindow>();
}

std::vector<Colour> buttonColours(TestRpcCredentialsWindow& w) {
    std::vector<Colour> out;
    for (int n = 1; n <= 10; ++n) out.push_back(w.setButton(n).back());
    return out;
}

}  // namespace

TEST(TestRpcCredentials, TheTenSetsHaveTheFormsTheNodeExpects) {
    std::set<std::string_view> users;
    for (const auto& set : testCredentialSets()) {
        SCOPED_TRACE(set.user);
        users.insert(set.user);
        EXPECT_GE(set.user.size(), 9u);
        EXPECT_LE(set.user.size(), 19u);
        EXPECT_TRUE(allOf(set.user, "ABCDEFGHIJKLMNOPQRSTUVWXYZ_"));
        EXPECT_NE(set.user.front(), '_');
        EXPECT_NE(set.user.back(), '_');
        EXPECT_EQ(set.user.find("__"), std::string_view::npos);

        ASSERT_EQ(set.password.size(), 44u);
        EXPECT_EQ(set.password.back(), '=');
        EXPECT_TRUE(allOf(set.password.substr(0, 43),
                          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"));

        auto colon = set.rpcauth.find(':');
        auto dollar = set.rpcauth.find('$');
        ASSERT_NE(colon, std::string_view::npos);
        ASSERT_NE(dollar, std::string_view::npos);
        EXPECT_EQ(set.rpcauth.substr(0, colon), set.user);
        auto salt = set.rpcauth.substr(colon + 1, dollar - colon - 1);
        auto hash = set.rpcauth.substr(dollar + 1);
        EXPECT_EQ(salt.size(), 32u);
        EXPECT_TRUE(allOf(salt, lowerHex));
        EXPECT_EQ(hash.size(), 64u);
        EXPECT_TRUE(allOf(hash, lowerHex));
    }
    EXPECT_EQ(users.size(), 10u);
}

TEST(TestRpcCredentials, OpeningCopiesTheGeneratorsFieldsAndMarksTheSetInUse) {
    const auto& third = testCredentialSets()[2];
    ConfGen c;
    auto& g = c.open();
    g.RPC_USER_TEXTBOX.type(third.user);
    g.RPC_PASSWORD_TEXTBOX.type("changed");
    g.RPC_AUTH_TEXTBOX.type("whatever");
    auto& w = openCredentials(g, c);
    EXPECT_EQ(w.caption(), "PACEDECK - CONF-GENERATOR - TEST RPC CREDENTIALS");
    EXPECT_EQ(w.RPC_USER_TEXTBOX.text(), third.user);
    EXPECT_EQ(w.RPC_PASSWORD_TEXTBOX.text(), "changed");
    EXPECT_EQ(w.RPC_AUTH_TEXTBOX.text(), "whatever");
    auto colours = buttonColours(w);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(colours[n - 1], n == 3 ? colour::green : colour::buttonFace) << n;
        EXPECT_EQ(w.setButton(n).text(), testCredentialSets()[n - 1].user);
    }
    EXPECT_EQ(w.WARNING_LABEL.text(), "!!! NOT SECURE - FOR TESTING ONLY !!!");
    EXPECT_NE(w.INFORMATION_TEXTBOX.text().find("rpcauth"), std::string::npos);
    w.close();

    // The comparison is exact: another letter case is another user.
    g.RPC_USER_TEXTBOX.setText("amber_falcon");
    auto& other = openCredentials(g, c);
    for (auto colour : buttonColours(other)) EXPECT_EQ(colour, colour::buttonFace);
}

TEST(TestRpcCredentials, ASetButtonShowsItsSetAndAloneTurnsGreen) {
    ConfGen c;
    auto& g = c.open();
    auto& w = openCredentials(g, c);
    w.TEST_CFG_7_BUTTON.click();
    w.TEST_CFG_10_BUTTON.click();
    const auto& tenth = testCredentialSets()[9];
    EXPECT_EQ(w.RPC_USER_TEXTBOX.text(), tenth.user);
    EXPECT_EQ(w.RPC_PASSWORD_TEXTBOX.text(), tenth.password);
    EXPECT_EQ(w.RPC_AUTH_TEXTBOX.text(), tenth.rpcauth);
    auto colours = buttonColours(w);
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(colours[n - 1], n == 10 ? colour::green : colour::buttonFace) << n;
    // Nothing reaches the generator before the hand-over.
    EXPECT_EQ(g.RPC_USER_TEXTBOX.text(), "");
    w.CANCEL_BUTTON.click();
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(g.RPC_USER_TEXTBOX.text(), "");
}

TEST(TestRpcCredentials, UseCurrentCredentialsHandsOverTheEditedFields) {
    ConfGen c;
    auto& g = c.open();
    auto& w = openCredentials(g, c);
    w.TEST_CFG_1_BUTTON.click();
    w.RPC_PASSWORD_TEXTBOX.setText("");
    w.RPC_PASSWORD_TEXTBOX.type("my-own-password");
    w.USE_CURRENT_CREDENTIALS_BUTTON.click();
    const auto& first = testCredentialSets()[0];
    EXPECT_EQ(g.RPC_USER_TEXTBOX.text(), first.user);
    EXPECT_EQ(g.RPC_PASSWORD_TEXTBOX.text(), "my-own-password");
    EXPECT_EQ(g.RPC_AUTH_TEXTBOX.text(), first.rpcauth);
    EXPECT_EQ(w.CANCEL_BUTTON.text(), "Close");
    EXPECT_TRUE(w.isOpen());
    c.h.advance(1000);
    auto lines = c.lines(g);
    EXPECT_EQ(lines[18], "rpcuser=" + std::string(first.user));
    EXPECT_EQ(lines[19], "rpcpassword=my-own-password");
    EXPECT_EQ(lines[20], "rpcauth=" + std::string(first.rpcauth));
}

TEST(TestRpcCredentials, WindowKeepsItsOwnPlace) {
    ConfGen c;
    c.h.put("TEST-RPC-CREDENTIALS-Top", "2500");
    auto& g = c.open();
    auto& w = openCredentials(g, c);
    EXPECT_EQ(w.geometry().top, 2500);
    EXPECT_EQ(w.geometry().width, 7920);
    EXPECT_EQ(w.geometry().height, 6690);
    w.moveTo(1500, 2600);
    c.h.store.clearLog();
    w.CANCEL_BUTTON.click();
    EXPECT_EQ(c.h.store.writtenKeys("BTC"),
              (std::vector<std::string>{"TEST-RPC-CREDENTIALS-Left", "TEST-RPC-CREDENTIALS-Top"}));
    EXPECT_EQ(c.h.stored("TEST-RPC-CREDENTIALS-Left"), "1500");
}

}  // namespace pd::test

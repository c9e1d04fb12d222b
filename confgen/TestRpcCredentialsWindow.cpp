#include "confgen/TestRpcCredentialsWindow.hpp"

#include "confgen/ConfGeneratorWindow.hpp"
#include "core/App.hpp"

namespace pd {

TestRpcCredentialsWindow::TestRpcCredentialsWindow(App& app, ConfGeneratorWindow& generator)
    : Window(app, "PACEDECK_CONF_GENERATOR_TEST_RPC", "PACEDECK - CONF-GENERATOR - TEST RPC CREDENTIALS"),
      generator_(generator) {
    for (int n = 1; n <= 10; ++n) setButton(n).onClick = [this, n] { showSet(n); };
    USE_CURRENT_CREDENTIALS_BUTTON.onClick = [this] { useCurrentCredentials(); };
    CANCEL_BUTTON.onClick = [this] { close(); };
}

Design TestRpcCredentialsWindow::setDesign(int index) {
    return {.text = std::string(testCredentialSets()[index].user), .back = colour::buttonFace};
}

Button& TestRpcCredentialsWindow::setButton(int n) {
    std::array<Button*, 10> buttons = {
        &TEST_CFG_1_BUTTON, &TEST_CFG_2_BUTTON, &TEST_CFG_3_BUTTON, &TEST_CFG_4_BUTTON, &TEST_CFG_5_BUTTON,
        &TEST_CFG_6_BUTTON, &TEST_CFG_7_BUTTON, &TEST_CFG_8_BUTTON, &TEST_CFG_9_BUTTON, &TEST_CFG_10_BUTTON};
    return *buttons.at(static_cast<std::size_t>(n - 1));
}

void TestRpcCredentialsWindow::load() {
    restoreGeometry();
    const std::string& nl = app().profile().lineEnd;
    INFORMATION_TEXTBOX.setText(
        "These ten logins are published with the program: anyone can use them. Use them only to try a node "
        "out on "
        "this computer." +
        nl + nl +
        "To make your own, get the rpcauth script (rpcauth.py) from the source repository of your coin's "
        "node "
        "project (for Bitcoin it lies in share/rpcauth). Open the downloaded file in a text editor (Notepad "
        "on "
        "Windows) and check that it is the Python script and not an HTML page. Then run it with a Python "
        "interpreter (on Windows from an MSYS2 MinGW shell):" +
        nl + "    python3 rpcauth.py YOUR_USER_NAME" + nl +
        "It prints the rpcauth line for the node's configuration and the password that goes with it.");
    RPC_USER_TEXTBOX.setText(generator_.RPC_USER_TEXTBOX.text());
    RPC_PASSWORD_TEXTBOX.setText(generator_.RPC_PASSWORD_TEXTBOX.text());
    RPC_AUTH_TEXTBOX.setText(generator_.RPC_AUTH_TEXTBOX.text());
    // The set the generator already uses, if any, shows green.
    for (int n = 1; n <= 10; ++n)
        if (RPC_USER_TEXTBOX.text() == testCredentialSets()[n - 1].user) setButton(n).setBack(colour::green);
}

void TestRpcCredentialsWindow::unload() {
    storePosition();
}

void TestRpcCredentialsWindow::showSet(int n) {
    const auto& set = testCredentialSets()[n - 1];
    RPC_USER_TEXTBOX.setText(set.user);
    RPC_PASSWORD_TEXTBOX.setText(set.password);
    RPC_AUTH_TEXTBOX.setText(set.rpcauth);
    for (int other = 1; other <= 10; ++other)
        setButton(other).setBack(other == n ? colour::green : colour::buttonFace);
}

// Hands over the fields as they stand: the user may have edited them.
void TestRpcCredentialsWindow::useCurrentCredentials() {
    generator_.RPC_USER_TEXTBOX.setText(RPC_USER_TEXTBOX.text());
    generator_.RPC_PASSWORD_TEXTBOX.setText(RPC_PASSWORD_TEXTBOX.text());
    generator_.RPC_AUTH_TEXTBOX.setText(RPC_AUTH_TEXTBOX.text());
    CANCEL_BUTTON.setText("Close");
}

LayoutNode TestRpcCredentialsWindow::layout() {
    return column({
        WARNING_LABEL,
        row({column({TEST_CFG_1_BUTTON, TEST_CFG_2_BUTTON, TEST_CFG_3_BUTTON, TEST_CFG_4_BUTTON,
                     TEST_CFG_5_BUTTON}),
             column({TEST_CFG_6_BUTTON, TEST_CFG_7_BUTTON, TEST_CFG_8_BUTTON, TEST_CFG_9_BUTTON,
                     TEST_CFG_10_BUTTON})}),
        grid({
            row({label("RPC Username"), sized(RPC_USER_TEXTBOX, 24)}),
            row({label("RPC Password"), sized(RPC_PASSWORD_TEXTBOX, 48)}),
            row({label("RPC Auth"), sized(RPC_AUTH_TEXTBOX, 60)}),
        }),
        sized(INFORMATION_TEXTBOX, 64, 7),
        row({USE_CURRENT_CREDENTIALS_BUTTON, stretch(), CANCEL_BUTTON}),
    });
}

}  // namespace pd

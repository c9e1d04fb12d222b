#pragma once
#include <array>
#include <string>

#include "confgen/TestCredentials.hpp"
#include "core/Window.hpp"

namespace pd {

class ConfGeneratorWindow;

// PACEDECK_CONF_GENERATOR_TEST_RPC: ten public RPC logins for trying a node out, and the
// hand-over of the shown (possibly edited) login to the generator.
class TestRpcCredentialsWindow final : public Window {
  public:
    TestRpcCredentialsWindow(App& app, ConfGeneratorWindow& generator);
    LayoutNode layout() override;

    // Set n (1 to 10) and its button.
    Button& setButton(int n);

    TextBox RPC_USER_TEXTBOX{*this, "RPC_USER_TEXTBOX"};
    TextBox RPC_PASSWORD_TEXTBOX{*this, "RPC_PASSWORD_TEXTBOX"};
    TextBox RPC_AUTH_TEXTBOX{*this, "RPC_AUTH_TEXTBOX"};
    Button TEST_CFG_1_BUTTON{*this, "TEST_CFG_1_BUTTON", setDesign(0)};
    Button TEST_CFG_2_BUTTON{*this, "TEST_CFG_2_BUTTON", setDesign(1)};
    Button TEST_CFG_3_BUTTON{*this, "TEST_CFG_3_BUTTON", setDesign(2)};
    Button TEST_CFG_4_BUTTON{*this, "TEST_CFG_4_BUTTON", setDesign(3)};
    Button TEST_CFG_5_BUTTON{*this, "TEST_CFG_5_BUTTON", setDesign(4)};
    Button TEST_CFG_6_BUTTON{*this, "TEST_CFG_6_BUTTON", setDesign(5)};
    Button TEST_CFG_7_BUTTON{*this, "TEST_CFG_7_BUTTON", setDesign(6)};
    Button TEST_CFG_8_BUTTON{*this, "TEST_CFG_8_BUTTON", setDesign(7)};
    Button TEST_CFG_9_BUTTON{*this, "TEST_CFG_9_BUTTON", setDesign(8)};
    Button TEST_CFG_10_BUTTON{*this, "TEST_CFG_10_BUTTON", setDesign(9)};
    Button USE_CURRENT_CREDENTIALS_BUTTON{
        *this, "USE_CURRENT_CREDENTIALS_BUTTON", {.text = "USE CURRENT CREDENTIALS"}};
    Button CANCEL_BUTTON{*this, "CANCEL_BUTTON", {.text = "Cancel"}};
    Label WARNING_LABEL{
        *this, "WARNING_LABEL", {.text = "!!! NOT SECURE - FOR TESTING ONLY !!!", .fore = colour::red}};
    TextBox INFORMATION_TEXTBOX{*this, "INFORMATION_TEXTBOX", {.locked = true, .multiLine = true}};

  protected:
    void load() override;
    void unload() override;

  private:
    static Design setDesign(int index);
    void showSet(int n);
    void useCurrentCredentials();

    ConfGeneratorWindow& generator_;
};

}  // namespace pd

#pragma once
#include <array>
#include <string>
#include <string_view>

#include "core/Window.hpp"
#include "settings/EmailSettingsWindow.hpp"

namespace pd {

// PACEDECK_EMAIL_SHARED_SETTINGS: one mail account for every copy of the program, kept in
// the shared section, which "USE THESE SHARED SETTINGS" copies into this copy's e-mail
// settings window.
class EmailSharedSettingsWindow final : public Window {
  public:
    explicit EmailSharedSettingsWindow(App& app);
    LayoutNode layout() override;

    TextBox SE_HOME_TEXTBOX{*this, "SE_HOME_TEXTBOX"};
    Button USE_BUTTON{*this, "USE_BUTTON", {.text = "Use"}};
    Button BROWSE_SE_HOME_FOLDER_BUTTON{
        *this, "BROWSE_SE_HOME_FOLDER_BUTTON", {.text = "...", .tip = "Browse"}};
    TextBox SMTP_SERVER_ADDRESS_PORT_TEXTBOX{*this, "SMTP_SERVER_ADDRESS_PORT_TEXTBOX"};
    TextBox SMTP_USERNAME_TEXTBOX{*this, "SMTP_USERNAME_TEXTBOX"};
    TextBox SMTP_PASSWORD_TEXTBOX{*this, "SMTP_PASSWORD_TEXTBOX", {.password = true}};
    TickBox SHOW_PASSWORD_TICKBOX{*this, "SHOW_PASSWORD_TICKBOX", {.text = "Show Password"}};
    TextBox SEND_FROM_ADDRESS_TEXTBOX{*this, "SEND_FROM_ADDRESS_TEXTBOX"};
    TextBox SEND_TO_ADDRESS_TEXTBOX{*this, "SEND_TO_ADDRESS_TEXTBOX"};
    TextBox SEND_CC_ADDRESS_TEXTBOX{*this, "SEND_CC_ADDRESS_TEXTBOX"};
    TextBox SEND_BCC_ADDRESS_TEXTBOX{*this, "SEND_BCC_ADDRESS_TEXTBOX"};
    TickBox TLS_NO_TICKBOX{*this, "TLS_NO_TICKBOX", {.text = "no"}};
    TickBox TLS_YES_TICKBOX{*this, "TLS_YES_TICKBOX", {.text = "yes"}};
    TickBox TLS_AUTO_TICKBOX{*this, "TLS_AUTO_TICKBOX", {.text = "auto"}};
    Button USE_THESE_SHARED_SETTINGS_BUTTON{
        *this, "USE_THESE_SHARED_SETTINGS_BUTTON", {.text = "USE THESE SHARED SETTINGS"}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    Button CANCEL_BUTTON{*this, "CANCEL_BUTTON", {.text = "Cancel"}};

    std::array<TextBox*, 8> accountFields();

  protected:
    void load() override;
    void unload() override;

  private:
    void useTheseClicked();
    void okClicked();
    std::string sharedSetting(std::string_view key) const;

    TlsRules tls_;
    bool positionStored_ = false;
};

}  // namespace pd

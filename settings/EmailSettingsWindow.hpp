#pragma once
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "core/Window.hpp"

namespace pd {

// The TLS tickboxes of both e-mail windows: at most one is ticked, the ticked one greys
// the other two, and leaving "yes" or "auto" falls back to "no".
class TlsRules {
  public:
    TlsRules(TickBox& no, TickBox& yes, TickBox& autoTls, std::function<void(std::string_view)> choose);
    // Sets the three values without the click rules (opening), then shows the choice.
    void load(int no, int yes, int autoTls);

  private:
    void clicked(TickBox& which);
    void show(TickBox* ticked, bool othersUsable);

    TickBox& no_;
    TickBox& yes_;
    TickBox& auto_;
    std::function<void(std::string_view)> choose_;
    bool busy_ = false;  // our own changes of the other two are not clicks
};

// PACEDECK_EMAIL_MAIN_SETTINGS: the mail account and addresses of this copy, and the two
// mailer command lines built from them every half second and written as scripts at OK.
class EmailSettingsWindow final : public Window {
  public:
    explicit EmailSettingsWindow(App& app);
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
    TickBox REPORT_AS_ATTACHMENT_TICKBOX{
        *this, "REPORT_AS_ATTACHMENT_TICKBOX", {.text = "Also Attachment Report To Email"}};
    Button SHARED_SETTINGS_BUTTON{*this, "SHARED_SETTINGS_BUTTON", {.text = "SHARED SETTINGS"}};
    Button VIEW_OUTPUT_COMMANDS_BUTTON{
        *this, "VIEW_OUTPUT_COMMANDS_BUTTON", {.text = "VIEW OUTPUT COMMANDS"}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    Button CANCEL_BUTTON{*this, "CANCEL_BUTTON", {.text = "Cancel"}};

    // Not shown: the TLS word, the parts of the commands and the commands themselves.
    TextBox TLS_TB_SETTING{*this, "TLS_TB_SETTING", {.text = "no", .visible = false}};
    TextBox START_EMAIL_SUBJECT_TEXTBOX{*this, "START_EMAIL_SUBJECT_TEXTBOX", {.visible = false}};
    TextBox END_EMAIL_SUBJECT_TEXTBOX{*this, "END_EMAIL_SUBJECT_TEXTBOX", {.visible = false}};
    TextBox MESSAGE_COMMAND_TB{*this, "MESSAGE_COMMAND_TB", {.visible = false}};
    TextBox ATTACHMENT_COMMAND_TB{*this, "ATTACHMENT_COMMAND_TB", {.visible = false}};
    TextBox EMAIL_OUTPUT_START_COMMAND_TEXTBOX{
        *this, "EMAIL_OUTPUT_START_COMMAND_TEXTBOX", {.visible = false}};
    TextBox EMAIL_OUTPUT_END_COMMAND_TEXTBOX{*this, "EMAIL_OUTPUT_END_COMMAND_TEXTBOX", {.visible = false}};

    // Rebuilds both commands every 500 ms while the window is open.
    Timer REGENERATE_COMMANDS_TIMER{*this, "REGENERATE_COMMANDS_TIMER"};

    // The eight account and address fields, in the order they are stored.
    std::array<TextBox*, 8> accountFields();

  protected:
    void load() override;
    void unload() override;

  private:
    void useClicked();
    void browseClicked();
    void regenerate();
    void okClicked();
    // The home folder the scripts go under: the main settings window's while it is open.
    std::string homeFolder() const;

    TlsRules tls_;
    bool positionStored_ = false;
};

// The folder browser of both e-mail windows: the chosen folder replaces the field.
void browseMailerFolder(Window& owner, TextBox& field);

}  // namespace pd

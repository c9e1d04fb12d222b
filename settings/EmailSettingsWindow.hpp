#pragma once
#include <string>
#include <string_view>

#include "settings/EmailAccountWindow.hpp"

namespace pd {

// PACEDECK_EMAIL_MAIN_SETTINGS: the mail account and addresses of this copy, and the two
// mailer command lines built from them every half second and written as scripts at OK.
class EmailSettingsWindow final : public EmailAccountWindow {
  public:
    explicit EmailSettingsWindow(App& app);
    LayoutNode layout() override;

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
    // The end report mailed under the alert subject, written as its script beside the end
    // report's; stored, as the other two commands are, as the record of what its script holds.
    TextBox EMAIL_OUTPUT_ALERT_COMMAND_TEXTBOX{
        *this, "EMAIL_OUTPUT_ALERT_COMMAND_TEXTBOX", {.visible = false}};

    // Rebuilds both commands every 500 ms while the window is open.
    Timer REGENERATE_COMMANDS_TIMER{*this, "REGENERATE_COMMANDS_TIMER"};

  protected:
    void load() override;
    void unload() override;
    void tlsChosen(std::string_view word) override { TLS_TB_SETTING.setText(word); }

  private:
    void regenerate();
    void okClicked();
    // The home folder the scripts go under: the main settings window's while it is open.
    std::string homeFolder() const;

    bool positionStored_ = false;
    // SYNC CHECK of the crypto settings as saved: it sends the sync chart with the report.
    bool syncCheck_ = true;
};

}  // namespace pd

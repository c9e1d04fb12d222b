#pragma once
#include <array>
#include <functional>
#include <string_view>

#include "core/Window.hpp"

namespace pd {

// The TLS tickboxes of the e-mail windows: at most one is ticked, the ticked one greys
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

// What both e-mail windows show: the mailer's folder, the mail account, the addresses and
// the TLS choice, with the Use, browse and show-password behaviour they share.
class EmailAccountWindow : public Window {
  public:
    EmailAccountWindow(App& app, std::string_view className, std::string caption);

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

    // The eight account and address fields, in the order they are stored.
    std::array<TextBox*, 8> accountFields();

  protected:
    // The fields and the TLS frame, laid out alike in both windows.
    LayoutNode accountLayout();
    // Opening: the eight fields and the TLS choice from one section, the password masked.
    void loadAccount(std::string_view section);
    // The TLS word now chosen ("no" when nothing is ticked).
    virtual void tlsChosen(std::string_view) {}

  private:
    TlsRules tls_;
};

}  // namespace pd

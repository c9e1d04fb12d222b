#pragma once

#include "settings/EmailAccountWindow.hpp"

namespace pd {

// PACEDECK_EMAIL_SHARED_SETTINGS: one mail account for every copy of the program, kept in
// the shared section, which "USE THESE SHARED SETTINGS" copies into this copy's e-mail
// settings window.
class EmailSharedSettingsWindow final : public EmailAccountWindow {
  public:
    explicit EmailSharedSettingsWindow(App& app);
    LayoutNode layout() override;

    Button USE_THESE_SHARED_SETTINGS_BUTTON{
        *this, "USE_THESE_SHARED_SETTINGS_BUTTON", {.text = "USE THESE SHARED SETTINGS"}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    Button CANCEL_BUTTON{*this, "CANCEL_BUTTON", {.text = "Cancel"}};

  protected:
    void load() override;
    void unload() override;

  private:
    void useTheseClicked();
    void okClicked();

    bool positionStored_ = false;
};

}  // namespace pd

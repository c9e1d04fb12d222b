#pragma once
#include <string>

#include "core/Window.hpp"

namespace pd {

// PACEDECK_LOG_MANAGER: where the log files lie, and the end report or the mailer's log
// emptied on request.
class LogManagerWindow final : public Window {
  public:
    explicit LogManagerWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    TextBox PACEDECK_BLOCKCOUNT_LOG_LOCATION_TEXTBOX{*this, "PACEDECK_BLOCKCOUNT_LOG_LOCATION_TEXTBOX", {.locked = true}};
    TextBox SE_LOG_LOCATION_TEXTBOX{*this, "SE_LOG_LOCATION_TEXTBOX", {.locked = true}};
    TextBox PACEDECK_LOG_LOCATION_TEXTBOX{*this, "PACEDECK_LOG_LOCATION_TEXTBOX", {.locked = true}};
    TickBox ENABLE_TICKBOX{*this, "ENABLE_TICKBOX", {.text = "Enable Clear Buttons"}};
    Button CLEAR_PACEDECK_REPORT_BUTTON{*this, "CLEAR_PACEDECK_REPORT_BUTTON", {.text = "CLEAR END REPORT", .enabled = false}};
    Button CLEAR_SE_LOG_BUTTON{*this, "CLEAR_SE_LOG_BUTTON", {.enabled = false}};
    Label CLEAR_STATUS_LABEL{*this, "CLEAR_STATUS_LABEL"};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override;
    void unload() override { storePosition(); }

  private:
    void enableClicked();
    void clear(const TextBox& location, Button& button);
};

}  // namespace pd

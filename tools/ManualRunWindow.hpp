#pragma once
#include <string_view>

#include "core/HomeLayout.hpp"
#include "core/Window.hpp"

namespace pd {

// PACEDECK_MANUAL_RUN_WINDOW: starts the qt wallet or the daemon, or sends the cli stop
// request, by hand through the same scripts the run uses, gated by copies of the main
// window's process lights.
class ManualRunWindow final : public Window {
  public:
    explicit ManualRunWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    Label HEADING_LABEL{*this, "HEADING_LABEL", {.text = "MANUAL RUN"}};
    TextBox PROCESS_TEXTBOX_1{*this, "PROCESS_TEXTBOX_1", {.text = "QT", .locked = true}};
    TextBox PROCESS_TEXTBOX_2{*this, "PROCESS_TEXTBOX_2", {.text = "DAEMON", .locked = true}};
    TextBox PROCESS_TEXTBOX_3{*this, "PROCESS_TEXTBOX_3", {.text = "CLI", .locked = true}};
    TextBox PROCESS_TEXTBOX_4{*this, "PROCESS_TEXTBOX_4", {.locked = true}};
    Button QT_START_BUTTON{*this, "QT_START_BUTTON", {.text = "START QT"}};
    Button DAEMON_START_BUTTON{*this, "DAEMON_START_BUTTON", {.text = "START DAEMON"}};
    Button CLI_STOP_BUTTON{*this, "CLI_STOP_BUTTON", {.text = "CLI \"STOP\" REQUEST"}};
    Label MANUAL_RUN_STATUS_LABEL{*this, "MANUAL_RUN_STATUS_LABEL"};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};

    Timer BUTTON_UPDATE_TIMER{*this, "BUTTON_UPDATE_TIMER"};
    // clang-format on

  protected:
    void load() override;
    void unload() override { storePosition(); }

  private:
    void startScript(Script script, std::string_view what);
    void refreshTick();
};

}  // namespace pd

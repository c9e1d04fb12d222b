#pragma once
#include <array>
#include <string>
#include <string_view>

#include "core/HomeLayout.hpp"
#include "core/Window.hpp"

namespace pd {

class MainWindow;

// One of the generated commands: the main window's box that holds it and the stem of
// the script it is written to.
struct GeneratedCommand {
    TextBox MainWindow::*source;
    Script script;
};
// qt, daemon, cli stop, getblockcount, start and end e-mail, the sync check's two questions
const std::array<GeneratedCommand, 8>& generatedCommands();
// The text of a generated command and the path of its script, as the main window holds them now.
std::string commandText(const App& app, const GeneratedCommand& command);
std::string commandScript(const App& app, const GeneratedCommand& command);

// PACEDECK_SINGLE_OUTPUT_COMMANDS_WINDOW: one generated command at a time with the path of
// its script; it only reads the main window and never runs anything.
class SingleOutputCommandsWindow final : public Window {
  public:
    explicit SingleOutputCommandsWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    Label HEADING_LABEL{*this, "HEADING_LABEL", {.text = "OUTPUT COMMANDS - SINGLE WINDOW"}};
    Button QT_COMMAND_BUTTON{*this, "QT_COMMAND_BUTTON", {.text = "QT RUN COMMAND"}};
    Button DAEMON_COMMAND_BUTTON{*this, "DAEMON_COMMAND_BUTTON", {.text = "DAEMON RUN COMMAND"}};
    Button CLI_STOP_COMMAND_BUTTON{*this, "CLI_STOP_COMMAND_BUTTON", {.text = "CLI \"STOP\" RUN COMMAND"}};
    Button BLOCKCOUNTER_GBC_COMMAND_BUTTON{*this, "BLOCKCOUNTER_GBC_COMMAND_BUTTON", {.text = "BLOCKCOUNTER \"GETBLOCKCOUNT\" RUN COMMAND"}};
    Button START_EMAIL_COMMAND_BUTTON{*this, "START_EMAIL_COMMAND_BUTTON", {.text = "\"START EMAIL\" RUN COMMAND"}};
    Button END_EMAIL_COMMAND_BUTTON{*this, "END_EMAIL_COMMAND_BUTTON", {.text = "\"END EMAIL\" RUN COMMAND"}};
    Label COMMAND_NAME_LABEL{*this, "COMMAND_NAME_LABEL", {.text = "RUN COMMAND -"}};
    TextBox ALL_COMMANDS_TEXTBOX{*this, "ALL_COMMANDS_TEXTBOX", {.text = "!!! NO COMMAND SELECTED - PLEASE SELECT A COMMAND !!!\r\n", .locked = true, .multiLine = true}};
    TextBox ALL_LOCATIONS_TEXTBOX{*this, "ALL_LOCATIONS_TEXTBOX", {.text = "!!! NO COMMAND SELECTED - PLEASE SELECT A COMMAND !!!", .locked = true}};
    Button VIEW_ALL_COMMANDS_BUTTON{*this, "VIEW_ALL_COMMANDS_BUTTON", {.text = "VIEW ALL COMMANDS"}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override { restoreGeometry(); }
    void unload() override { storePosition(); }

  private:
    void show(const GeneratedCommand& command, const std::string& heading);
};

}  // namespace pd

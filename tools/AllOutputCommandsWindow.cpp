#include "tools/AllOutputCommandsWindow.hpp"

#include "core/App.hpp"
#include "tools/SingleOutputCommandsWindow.hpp"

namespace pd {

AllOutputCommandsWindow::AllOutputCommandsWindow(App& app)
    : Window(app, "PACEDECK_ALL_OUTPUT_COMMANDS_WINDOW", "PACEDECK - ALL OUTPUT COMMANDS") {
    OK_BUTTON.onClick = [this] { close(); };
}

std::array<TextBox*, 8> AllOutputCommandsWindow::commandBoxes() {
    return {&SW_QT_COMMAND_TEXTBOX,
            &SW_D_COMMAND_TEXTBOX,
            &SWCLI_STOP_COMMAND_TEXTBOX,
            &GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX,
            &EMAIL_OUTPUT_START_COMMAND_TEXTBOX,
            &EMAIL_OUTPUT_END_COMMAND_TEXTBOX,
            &GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX,
            &GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX};
}

std::array<TextBox*, 8> AllOutputCommandsWindow::scriptBoxes() {
    return {&PACEDECK_QT_BAT_LOCATION_TEXTBOX,
            &PACEDECK_DAEMON_BAT_LOCATION_TEXTBOX,
            &PACEDECK_CLI_STOP_BAT_LOCATION_TEXTBOX,
            &PACEDECK_BLOCKCOUNTER_BAT_LOCATION_TEXTBOX,
            &PACEDECK_SE_START_BAT_LOCATION_TEXTBOX,
            &PACEDECK_SE_END_BAT_LOCATION_TEXTBOX,
            &PACEDECK_BLOCKCHAININFO_BAT_LOCATION_TEXTBOX,
            &PACEDECK_CONNECTIONCOUNT_BAT_LOCATION_TEXTBOX};
}

void AllOutputCommandsWindow::load() {
    restoreGeometry();
    const auto& commands = generatedCommands();
    for (std::size_t i = 0; i < commands.size(); ++i) {
        commandBoxes()[i]->setText(commandText(app(), commands[i]));
        scriptBoxes()[i]->setText(commandScript(app(), commands[i]));
    }
}

LayoutNode AllOutputCommandsWindow::layout() {
    auto entry = [](std::string heading, TextBox& command, TextBox& script) {
        return column(
            {label(std::move(heading)), sized(command, 90, 2), labelled("File Location:", script, 80)});
    };
    return column({
        HEADING_LABEL,
        entry("RUN COMMAND - QT", SW_QT_COMMAND_TEXTBOX, PACEDECK_QT_BAT_LOCATION_TEXTBOX),
        entry("RUN COMMAND - DAEMON", SW_D_COMMAND_TEXTBOX, PACEDECK_DAEMON_BAT_LOCATION_TEXTBOX),
        entry("RUN COMMAND - CLI \"stop\" REQUEST", SWCLI_STOP_COMMAND_TEXTBOX,
              PACEDECK_CLI_STOP_BAT_LOCATION_TEXTBOX),
        entry("RUN COMMAND - BLOCKCOUNTER \"getblockcount\" REQUEST", GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX,
              PACEDECK_BLOCKCOUNTER_BAT_LOCATION_TEXTBOX),
        entry("RUN COMMAND - START EMAIL", EMAIL_OUTPUT_START_COMMAND_TEXTBOX,
              PACEDECK_SE_START_BAT_LOCATION_TEXTBOX),
        entry("RUN COMMAND - END REPORT EMAIL", EMAIL_OUTPUT_END_COMMAND_TEXTBOX,
              PACEDECK_SE_END_BAT_LOCATION_TEXTBOX),
        entry("RUN COMMAND - SYNC CHECK \"getblockchaininfo\" REQUEST",
              GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX, PACEDECK_BLOCKCHAININFO_BAT_LOCATION_TEXTBOX),
        entry("RUN COMMAND - SYNC CHECK \"getconnectioncount\" REQUEST",
              GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX, PACEDECK_CONNECTIONCOUNT_BAT_LOCATION_TEXTBOX),
        row({stretch(), defaultButton(OK_BUTTON)}),
    });
}

}  // namespace pd

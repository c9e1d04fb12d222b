#include "tools/SingleOutputCommandsWindow.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "tools/AllOutputCommandsWindow.hpp"

namespace pd {

const std::array<GeneratedCommand, 8>& generatedCommands() {
    static const std::array<GeneratedCommand, 8> commands = {{
        {&MainWindow::SW_QT_COMMAND_TEXTBOX, Script::RunQt},
        {&MainWindow::SW_D_COMMAND_TEXTBOX, Script::RunDaemon},
        {&MainWindow::SWCLI_STOP_COMMAND_TEXTBOX, Script::RunCliStop},
        {&MainWindow::GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX, Script::RunBlockcounter},
        {&MainWindow::EMAIL_OUTPUT_START_COMMAND_TEXTBOX, Script::StartEmail},
        {&MainWindow::EMAIL_OUTPUT_END_COMMAND_TEXTBOX, Script::EndReportEmail},
        {&MainWindow::GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX, Script::RunChainInfo},
        {&MainWindow::GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX, Script::RunPeerCount},
    }};
    return commands;
}

std::string commandText(const App& app, const GeneratedCommand& command) {
    return (mainWindow(app).*command.source).text();
}

std::string commandScript(const App& app, const GeneratedCommand& command) {
    return mainWindow(app).home().script(command.script);
}

SingleOutputCommandsWindow::SingleOutputCommandsWindow(App& app)
    : Window(app, "PACEDECK_SINGLE_OUTPUT_COMMANDS_WINDOW", "PACEDECK - OUTPUT COMMANDS - SINGLE WINDOW") {
    const auto& commands = generatedCommands();
    const std::string mailer = app.profile().mailerFile;
    QT_COMMAND_BUTTON.onClick = [this, &commands] { show(commands[0], "RUN COMMAND - QT"); };
    DAEMON_COMMAND_BUTTON.onClick = [this, &commands] { show(commands[1], "RUN COMMAND - DAEMON"); };
    CLI_STOP_COMMAND_BUTTON.onClick = [this, &commands] { show(commands[2], "RUN COMMAND - CLI - STOP"); };
    BLOCKCOUNTER_GBC_COMMAND_BUTTON.onClick = [this, &commands] {
        show(commands[3], "RUN COMMAND - BLOCKCOUNTER - GETBLOCKCOUNT");
    };
    START_EMAIL_COMMAND_BUTTON.onClick = [this, &commands, mailer] {
        show(commands[4], "RUN COMMAND - " + mailer + " - START EMAIL");
    };
    END_EMAIL_COMMAND_BUTTON.onClick = [this, &commands, mailer] {
        show(commands[5], "RUN COMMAND - " + mailer + " - END REPORT EMAIL");
    };
    VIEW_ALL_COMMANDS_BUTTON.onClick = [this] { this->app().open<AllOutputCommandsWindow>(this); };
    OK_BUTTON.onClick = [this] { close(); };
}

void SingleOutputCommandsWindow::show(const GeneratedCommand& command, const std::string& heading) {
    // Read at the click: the window does not follow later changes until the next one.
    COMMAND_NAME_LABEL.setText(heading);
    ALL_COMMANDS_TEXTBOX.setText(commandText(app(), command));
    ALL_LOCATIONS_TEXTBOX.setText(commandScript(app(), command));
}

LayoutNode SingleOutputCommandsWindow::layout() {
    return column({
        HEADING_LABEL,
        row({QT_COMMAND_BUTTON, DAEMON_COMMAND_BUTTON, CLI_STOP_COMMAND_BUTTON}),
        row({BLOCKCOUNTER_GBC_COMMAND_BUTTON, START_EMAIL_COMMAND_BUTTON, END_EMAIL_COMMAND_BUTTON}),
        COMMAND_NAME_LABEL,
        sized(ALL_COMMANDS_TEXTBOX, 90, 4),
        labelled("File Location:", ALL_LOCATIONS_TEXTBOX, 80),
        row({VIEW_ALL_COMMANDS_BUTTON, stretch(), defaultButton(OK_BUTTON)}),
    });
}

}  // namespace pd

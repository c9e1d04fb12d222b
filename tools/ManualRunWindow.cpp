#include "tools/ManualRunWindow.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"

namespace pd {

ManualRunWindow::ManualRunWindow(App& app)
    : Window(app, "PACEDECK_MANUAL_RUN_WINDOW", "PACEDECK - MANUAL RUN") {
    PROCESS_TEXTBOX_4.setText(app.profile().mailerFile);
    QT_START_BUTTON.onClick = [this] { startScript(Script::RunQt, "QT"); };
    DAEMON_START_BUTTON.onClick = [this] { startScript(Script::RunDaemon, "DAEMON"); };
    CLI_STOP_BUTTON.onClick = [this] { startScript(Script::RunCliStop, "CLI \"STOP\" REQUEST"); };
    OK_BUTTON.onClick = [this] { close(); };
    BUTTON_UPDATE_TIMER.onTick = [this] { refreshTick(); };
}

void ManualRunWindow::load() {
    restoreGeometry();
    BUTTON_UPDATE_TIMER.setInterval(1000);
    BUTTON_UPDATE_TIMER.start();
}

void ManualRunWindow::startScript(Script script, std::string_view what) {
    // The buttons are the only guard; a script that is not there is said here, since
    // otherwise only a light that stays red would tell.
    auto started = mainWindow(app()).nodeOutput.runScript(script);
    if (started)
        MANUAL_RUN_STATUS_LABEL.setText(std::string(what) + " STARTED");
    else
        MANUAL_RUN_STATUS_LABEL.setText("!!! " + std::string(what) + " NOT STARTED: " + started.error +
                                        " !!!");
    MANUAL_RUN_STATUS_LABEL.setFore(started ? colour::windowText : colour::red);
}

void ManualRunWindow::refreshTick() {
    auto& main = mainWindow(app());
    const std::string mailer = app().profile().mailerFile;
    struct Light {
        TextBox& mine;
        const TextBox& theirs;
        std::string name;
    };
    Light lights[] = {{PROCESS_TEXTBOX_1, main.PROCESS_TEXTBOX_1, "QT"},
                      {PROCESS_TEXTBOX_2, main.PROCESS_TEXTBOX_2, "DAEMON"},
                      {PROCESS_TEXTBOX_3, main.PROCESS_TEXTBOX_3, "CLI"},
                      {PROCESS_TEXTBOX_4, main.PROCESS_TEXTBOX_4, mailer}};
    for (auto& light : lights) {
        light.mine.setBack(light.theirs.back());
        bool running = light.mine.back() == colour::green;
        light.mine.setToolTip(light.name + (running ? " PROCESS RUNNING" : " PROCESS STOPPED"));
    }
    // One node program at a time; the stop request waits for a cli already at work.
    bool nodeRunning = PROCESS_TEXTBOX_1.back() == colour::green || PROCESS_TEXTBOX_2.back() == colour::green;
    QT_START_BUTTON.setEnabled(!nodeRunning);
    DAEMON_START_BUTTON.setEnabled(!nodeRunning);
    CLI_STOP_BUTTON.setEnabled(PROCESS_TEXTBOX_3.back() != colour::green);
}

LayoutNode ManualRunWindow::layout() {
    return column({
        HEADING_LABEL,
        // Each light above the button it gates.
        grid({
            row({PROCESS_TEXTBOX_1, PROCESS_TEXTBOX_2, PROCESS_TEXTBOX_3, PROCESS_TEXTBOX_4}),
            row({QT_START_BUTTON, DAEMON_START_BUTTON, CLI_STOP_BUTTON}),
        }),
        stretch(),
        row({MANUAL_RUN_STATUS_LABEL, stretch(), defaultButton(OK_BUTTON)}),
    });
}

}  // namespace pd

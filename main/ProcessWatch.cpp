#include "main/ProcessWatch.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"

namespace pd {

ProcessWatch::ProcessWatch(MainWindow& w) : w_(w) {
    w_.MULTI_PROCESS_WATCHER_TIMER.onTick = [this] { tick(); };
}

void ProcessWatch::tick() {
    // One snapshot serves all four lights. When none can be taken the lights keep what
    // they showed: an unknown state must not read as "stopped" to the blockcounter or to
    // the run's shutdown wait. The next tick tries again.
    auto table = w_.app().platform().processes();
    if (!table) return;

    // An empty name is not looked for, so its light keeps whatever it showed.
    if (const auto& qt = w_.QT_NAME_TEXTBOX.text(); !qt.empty()) show(*table, w_.PROCESS_TEXTBOX_1, qt, "QT");
    if (const auto& daemon = w_.DAEMON_NAME_TEXTBOX.text(); !daemon.empty())
        show(*table, w_.PROCESS_TEXTBOX_2, daemon, "DAEMON");
    if (const auto& cli = w_.CLI_NAME_TEXTBOX.text(); !cli.empty())
        w_.RUN_NOW_BUTTON.setEnabled(!show(*table, w_.PROCESS_TEXTBOX_3, cli, "CLI"));
    const auto& mailer = w_.app().profile().mailerFile;
    show(*table, w_.PROCESS_TEXTBOX_4, mailer, mailer);
}

bool ProcessWatch::show(const ProcessTable& table, TextBox& light, std::string_view name,
                        const std::string& label) {
    const bool running = table.has(name);
    light.setBack(running ? colour::green : colour::red);
    light.setToolTip(label + (running ? " PROCESS RUNNING" : " PROCESS STOPPED"));
    return running;
}

}  // namespace pd

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

    show(*table, w_.PROCESS_TEXTBOX_1, w_.QT_NAME_TEXTBOX.text(), "QT");
    show(*table, w_.PROCESS_TEXTBOX_2, w_.DAEMON_NAME_TEXTBOX.text(), "DAEMON");
    if (const auto& cli = w_.CLI_NAME_TEXTBOX.text(); !cli.empty())
        w_.RUN_NOW_BUTTON.setEnabled(!show(*table, w_.PROCESS_TEXTBOX_3, cli, "CLI"));
    else
        show(*table, w_.PROCESS_TEXTBOX_3, cli, "CLI");
    const auto& mailer = w_.app().profile().mailerFile;
    show(*table, w_.PROCESS_TEXTBOX_4, mailer, mailer);
}

bool ProcessWatch::show(const ProcessTable& table, TextBox& light, std::string_view name,
                        const std::string& label) {
    // A program without a name is not running as far as anyone can tell: its light is red,
    // so that a run with only a daemon (or only a qt wallet) named never waits on the other.
    if (name.empty()) {
        light.setBack(colour::red);
        light.setToolTip(label + " PROCESS NAME NOT SET");
        return false;
    }
    const bool running = table.has(name);
    light.setBack(running ? colour::green : colour::red);
    light.setToolTip(label + (running ? " PROCESS RUNNING" : " PROCESS STOPPED"));
    return running;
}

}  // namespace pd

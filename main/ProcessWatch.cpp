#include "main/ProcessWatch.hpp"

#include "core/App.hpp"
#include "core/ShellQuote.hpp"
#include "main/MainWindow.hpp"

namespace pd {

namespace {
// How often the node's kept output is held to its bound: every five seconds.
constexpr int boundEveryTicks = 20;
}  // namespace

ProcessWatch::ProcessWatch(MainWindow& w) : w_(w) {
    w_.MULTI_PROCESS_WATCHER_TIMER.onTick = [this] { tick(); };
    nodes_.push_back(
        {w_.PROCESS_TEXTBOX_1, w_.QT_NAME_TEXTBOX, w_.SW_QT_COMMAND_TEXTBOX, "QT", {}, {}, {}, {}});
    nodes_.push_back(
        {w_.PROCESS_TEXTBOX_2, w_.DAEMON_NAME_TEXTBOX, w_.SW_D_COMMAND_TEXTBOX, "DAEMON", {}, {}, {}, {}});
}

std::vector<std::string> ProcessWatch::ownArguments(const Profile& profile, std::string_view command) {
    if (profile.shell != ShellKind::PosixSh) return {};
    const auto words = posixShellWords(command);
    for (std::string_view option : {"-datadir=", "-conf="})
        for (const auto& word : words)
            if (word.starts_with(option) && word.size() > option.size()) return {word};
    return {};
}

std::string ProcessWatch::programAWrapperStarts(std::string_view script) {
    if (!script.starts_with("#!")) return {};
    std::string program;
    while (!script.empty()) {
        const auto end = std::min(script.find('\n'), script.size());
        const auto words = posixShellWords(script.substr(0, end));
        if (words.size() >= 2 && words[0] == "exec" && words[1].starts_with('/'))
            program = words[1].substr(words[1].find_last_of('/') + 1);
        script.remove_prefix(std::min(end + 1, script.size()));
    }
    return program;
}

void ProcessWatch::readCommand(NodeLight& node) {
    node.commandRead = node.command.text();
    const auto& profile = w_.app().profile();
    node.own = ownArguments(profile, node.commandRead);
    node.wrapped.clear();
    if (profile.shell != ShellKind::PosixSh) return;
    // The program is the word after the script's "exec"; a wrapper is a short script.
    const auto words = posixShellWords(node.commandRead);
    if (words.size() < 2 || words[0] != "exec") return;
    // A program itself may be large: only its head is read, and a longer file is no wrapper.
    constexpr std::size_t longestWrapper = 64 * 1024;
    if (auto text = w_.app().platform().readFileHead(words[1], longestWrapper + 1);
        text && text->size() <= longestWrapper)
        node.wrapped = programAWrapperStarts(*text);
    if (node.wrapped == node.name.text()) node.wrapped.clear();  // Debian's litecoind: the same name
}

void ProcessWatch::tick() {
    if (++ticks_ % boundEveryTicks == 0) w_.nodeOutput.keepBounded();
    // One snapshot serves all four lights. When none can be taken the lights keep what
    // they showed: an unknown state must not read as "stopped" to the blockcounter or to
    // the run's shutdown wait. The next tick tries again.
    auto table = w_.app().platform().processes();
    if (!table) return;

    for (auto& node : nodes_) showNode(*table, node);
    if (const auto& cli = w_.CLI_NAME_TEXTBOX.text(); !cli.empty())
        w_.RUN_NOW_BUTTON.setEnabled(!show(*table, w_.PROCESS_TEXTBOX_3, cli, "CLI"));
    else
        show(*table, w_.PROCESS_TEXTBOX_3, cli, "CLI");
    const auto& mailer = w_.app().profile().mailerFile;
    show(*table, w_.PROCESS_TEXTBOX_4, mailer, mailer);
}

void ProcessWatch::showNode(const ProcessTable& table, NodeLight& node) {
    const auto& name = node.name.text();
    if (node.commandRead != node.command.text()) readCommand(node);
    node.seen.clear();
    std::string another;  // a program of the node's that runs, but not as this copy's node
    for (const auto& program : {name, node.wrapped}) {
        if (program.empty()) continue;
        const auto ids = table.idsOf(program, node.own);
        if (ids.empty() && another.empty() && table.has(program)) another = program;
        if (ids.empty()) continue;
        if (!node.seen.empty()) node.seen += " AND ";
        node.seen += program + (ids.size() == 1 ? " (PID " : " (PIDS ");
        for (std::size_t i = 0; i < ids.size(); ++i) node.seen += (i ? ", " : "") + std::to_string(ids[i]);
        node.seen += ")";
    }
    if (name.empty() || (node.seen.empty() && another.empty())) {
        show(table, node.light, name, node.label);
    } else if (!node.seen.empty()) {
        node.light.setBack(colour::green);
        node.light.setToolTip(node.label + " PROCESS RUNNING");
    } else {
        // Another copy's node of the same program: this copy's node is not running.
        node.light.setBack(colour::red);
        node.light.setToolTip(node.label + " PROCESS STOPPED - ANOTHER " + another +
                              " RUNS, NOT THIS COPY'S");
    }
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

std::string ProcessWatch::ownNodeProcesses() const {
    std::string text;
    for (const auto& node : nodes_)
        if (!node.seen.empty()) text += (text.empty() ? "" : " AND ") + node.seen;
    return text;
}

}  // namespace pd

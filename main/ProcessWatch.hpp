#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/Profile.hpp"
#include "platform/Platform.hpp"

namespace pd {

class MainWindow;
class TextBox;

// The four process lights: qt, daemon, cli and mailer, refreshed from one look at the
// process table per tick of MULTI_PROCESS_WATCHER_TIMER. The two node lights count only
// this copy's own node where its command line tells it from another copy's node of the
// same program, and follow a wrapper script to the program it hands over to.
class ProcessWatch {
  public:
    explicit ProcessWatch(MainWindow& w);
    void tick();

    // The node processes the last look counted as this copy's, as "litecoind (PID 4242)";
    // empty when none was seen.
    std::string ownNodeProcesses() const;

    // What tells the node a command starts from another node of the same program: its data
    // folder argument ("-datadir=/data/ltc", no two running nodes share one), else its conf
    // argument. Empty where the command names neither, or where its shell's words are not
    // read (cmd: Windows goes by the process name).
    static std::vector<std::string> ownArguments(const Profile& profile, std::string_view command);
    // The name of the program a wrapper script hands itself over to, as Debian's
    // /usr/bin/litecoin does with "exec /usr/lib/litecoin/litecoin-qt "$@"": the process
    // the node becomes has that name. Empty for anything but such a script.
    static std::string programAWrapperStarts(std::string_view script);

  private:
    struct NodeLight {
        TextBox& light;
        const TextBox& name;
        const TextBox& command;  // the command that starts this node
        std::string label;
        std::string commandRead;       // the command the two below were taken from
        std::vector<std::string> own;  // ownArguments of the command
        std::string wrapped;           // the program a wrapper named by the command starts
        std::string seen;              // this copy's processes at the last look
    };

    // Green with the running tip, or red with the stopped one; returns whether it runs.
    bool show(const ProcessTable& table, TextBox& light, std::string_view name, const std::string& label);
    void showNode(const ProcessTable& table, NodeLight& node);
    void readCommand(NodeLight& node);

    MainWindow& w_;
    std::vector<NodeLight> nodes_;
    int ticks_ = 0;
};

}  // namespace pd

#include "settings/NodeScripts.hpp"

#include "core/App.hpp"
#include "core/HomeLayout.hpp"
#include "core/TextFile.hpp"
#include "settings/NodeCommands.hpp"

namespace pd {

namespace {
// The stored command of each script, in nodeScripts order.
constexpr std::array<std::string_view, nodeScripts.size()> commandKeys = {
    "SW_QT_COMMAND_TEXTBOX",
    "SW_D_COMMAND_TEXTBOX",
    "SWCLI_STOP_COMMAND_TEXTBOX",
    "GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX",
    "GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX",
    "GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX"};
// What the platform's own replace-by-rename leaves when it is cut short.
constexpr std::string_view writeEnding = ".pacedeck-new";

std::string staged(const std::string& target) {
    return target + std::string(NodeScriptSave::stagedEnding);
}
}  // namespace

NodeScriptSave::NodeScriptSave(App& app, std::string home) : app_(app), home_(std::move(home)) {}

std::string NodeScriptSave::target(std::size_t i) const {
    return HomeLayout(app_.profile(), home_, app_.exe()).script(nodeScripts[i]);
}

Outcome NodeScriptSave::stage(const std::array<std::string, nodeScripts.size()>& commands) {
    const auto& p = app_.profile();
    for (std::size_t i = 0; i < commands.size(); ++i) {
        std::string bytes;
        auto written = textFileContent(app_.platform(), p, target(i), commands[i] + p.lineEnd, true, bytes);
        if (written) written = app_.platform().writeFile(staged(target(i)), bytes, true);
        if (!written) {
            drop();
            return written;
        }
    }
    return Outcome::success();
}

Outcome NodeScriptSave::place() {
    for (std::size_t i = 0; i < nodeScripts.size(); ++i)
        if (auto moved = app_.platform().replaceFile(staged(target(i)), target(i)); !moved) return moved;
    return Outcome::success();
}

void NodeScriptSave::drop() {
    for (std::size_t i = 0; i < nodeScripts.size(); ++i) app_.platform().removeFile(staged(target(i)));
}

Outcome NodeScriptSave::settle(App& app, const std::string& home) {
    NodeScriptSave save(app, home);
    auto& platform = app.platform();
    Outcome outcome;
    for (std::size_t i = 0; i < nodeScripts.size(); ++i) {
        const auto target = save.target(i);
        for (const auto& half :
             {target + std::string(writeEnding), staged(target) + std::string(writeEnding)})
            if (platform.exists(half)) platform.removeFile(half);
        const auto path = staged(target);
        auto bytes = platform.exists(path) ? platform.readFile(path) : std::nullopt;
        if (!bytes) continue;
        const auto command = app.store().lookup(app.exe(), commandKeys[i]);
        std::string wanted;
        const bool kept = command.status == StoredValue::Status::Found &&
                          textFileContent(platform, app.profile(), target,
                                          command.value + app.profile().lineEnd, true, wanted) &&
                          wanted == *bytes;
        auto done = kept ? platform.replaceFile(path, target) : platform.removeFile(path);
        if (!done && outcome) outcome = done;
    }
    return outcome;
}

}  // namespace pd

#include "main/NodeOutput.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"

namespace pd {

namespace {
// A status line and a report line have room for a sentence, not a page.
constexpr std::size_t longestLine = 300;

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
}  // namespace

Outcome NodeOutput::runScript(Script script) {
    auto& platform = w_.app().platform();
    const auto path = w_.home().script(script);
    const bool node = script == Script::RunQt || script == Script::RunDaemon;
    const auto output = node ? beginStart(script == Script::RunQt ? "QT" : "DAEMON") : std::string();
    return output.empty() ? platform.runScript(path, WindowStyle::Hidden)
                          : platform.runScriptKeepingOutput(path, WindowStyle::Hidden, output);
}

std::string NodeOutput::beginStart(std::string_view node) {
    if (w_.PACEDECK_HOME_TEXTBOX.text().empty()) return {};
    auto& platform = w_.app().platform();
    const auto logs = w_.home().folder(HomeFolder::Logs);
    if (!platform.exists(logs)) platform.createFolder(logs);
    file_ = w_.home().nodeOutput();
    platform.trimFile(file_, maxBytes, keepBytes);
    platform.appendFile(file_, std::string(startMark) + std::string(node) + " - " + platform.dateText() +
                                   " " + platform.timeText() + " ---" + w_.app().profile().lineEnd);
    return file_;
}

void NodeOutput::keepBounded() {
    if (!file_.empty()) w_.app().platform().trimFile(file_, maxBytes, keepBytes);
}

const std::string& NodeOutput::noteLastWords() {
    auto& platform = w_.app().platform();
    const auto output = file_.empty() ? std::nullopt : platform.readFile(file_);
    lastWords_ = output ? lastLineOfStart(*output) : std::string();
    return lastWords_;
}

std::string NodeOutput::lastLineOfStart(std::string_view output) {
    if (const auto mark = output.rfind(startMark); mark != std::string_view::npos) {
        const auto end = output.find('\n', mark);
        output = end == std::string_view::npos ? std::string_view() : output.substr(end + 1);
    }
    while (!output.empty() && blank(output.back())) output.remove_suffix(1);
    const auto lineStart = output.find_last_of('\n');
    auto line = lineStart == std::string_view::npos ? output : output.substr(lineStart + 1);
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    return std::string(line.substr(0, longestLine));
}

}  // namespace pd

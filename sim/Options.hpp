// Options as a bitcoin-style node takes them: "-name=value" on the command
// line and "name=value" lines in a configuration file. The command line wins
// over the file, as the node does.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace simcoin {

using OptionList = std::vector<std::pair<std::string, std::string>>;

struct CommandLine {
    OptionList options;              // in order of appearance
    std::vector<std::string> words;  // what follows the options (the client's command)
};

// "-name=value" or "--name=value"; "-name" alone means "1"; "-noname" means
// name=0. Parsing stops at the first word not starting with '-'.
CommandLine parseCommandLine(int argc, const char* const* argv);

struct ConfFile {
    OptionList options;
    std::vector<std::string> ignored;  // lines that do not apply, for the log
};

// Reads "name=value" lines with '#' comments and [section] headers. Only the
// top level and [main] apply to this chain. Returns the error text in `error`
// when a line cannot be read, as the node refuses to start then.
std::optional<ConfFile> parseConfText(std::string_view text, std::string& error);
std::optional<ConfFile> readConfFile(const std::string& path, std::string& error);

class Options {
  public:
    Options() = default;
    Options(OptionList commandLine, OptionList file)
        : commandLine_(std::move(commandLine)), file_(std::move(file)) {}

    // The last command-line value, else the first file value.
    std::optional<std::string> get(std::string_view name) const;
    std::string get(std::string_view name, std::string fallback) const;
    bool getBool(std::string_view name, bool fallback) const;
    // Every value of a repeatable option such as rpcauth.
    std::vector<std::string> getAll(std::string_view name) const;

    const OptionList& commandLine() const { return commandLine_; }
    const OptionList& file() const { return file_; }
    void setFile(OptionList file) { file_ = std::move(file); }

  private:
    OptionList commandLine_;
    OptionList file_;
};

std::string trim(std::string_view s);

}  // namespace simcoin

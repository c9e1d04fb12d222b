#include "Options.hpp"

#include <fstream>
#include <sstream>

namespace simcoin {

std::string trim(std::string_view s) {
    const char* ws = " \t\r\n";
    auto b = s.find_first_not_of(ws);
    if (b == std::string_view::npos) return {};
    auto e = s.find_last_not_of(ws);
    return std::string(s.substr(b, e - b + 1));
}

namespace {

// "noname=1" is how a node writes "name=0"; turn it around so lookups only
// ever see the positive name.
std::pair<std::string, std::string> normalise(std::string name, std::string value) {
    if (name.size() > 2 && name.starts_with("no")) {
        bool truthy = value.empty() || (value != "0" && value != "false");
        return {name.substr(2), truthy ? "0" : "1"};
    }
    return {std::move(name), std::move(value)};
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine cl;
    int i = 1;
    for (; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-') break;
        arg.remove_prefix(arg.starts_with("--") ? 2 : 1);
        auto eq = arg.find('=');
        std::string name(arg.substr(0, eq));
        std::string value = eq == std::string_view::npos ? "1" : std::string(arg.substr(eq + 1));
        cl.options.push_back(normalise(std::move(name), std::move(value)));
    }
    for (; i < argc; ++i) cl.words.emplace_back(argv[i]);
    return cl;
}

std::optional<ConfFile> parseConfText(std::string_view text, std::string& error) {
    ConfFile conf;
    std::string section;
    std::istringstream in{std::string(text)};
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        std::string line = raw;
        bool hadComment = false;
        if (auto hash = line.find('#'); hash != std::string::npos) {
            line.erase(hash);
            hadComment = true;
        }
        line = trim(line);
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            section = trim(std::string_view(line).substr(1, line.size() - 2));
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string::npos) {
            error = "parse error on line " + std::to_string(lineNo) + ": " + line;
            return std::nullopt;
        }
        std::string name = trim(std::string_view(line).substr(0, eq));
        std::string value = trim(std::string_view(line).substr(eq + 1));
        if (name.starts_with("-")) {
            error = "parse error on line " + std::to_string(lineNo) + ": " + line +
                    ", options in configuration file must be specified without leading -";
            return std::nullopt;
        }
        // A '#' would silently cut a password short; the node refuses it
        // rather than authenticate with a different secret than intended.
        if (hadComment && name == "rpcpassword") {
            error = "parse error on line " + std::to_string(lineNo) +
                    ", using # in rpcpassword can be ambiguous and should be avoided";
            return std::nullopt;
        }
        std::string scope = section;
        if (auto dot = name.find('.'); dot != std::string::npos) {
            scope = name.substr(0, dot);
            name = name.substr(dot + 1);
        }
        if (!scope.empty() && scope != "main") {
            conf.ignored.push_back("[" + scope + "] " + name + "=" + value);
            continue;
        }
        conf.options.push_back(normalise(std::move(name), std::move(value)));
    }
    return conf;
}

std::optional<ConfFile> readConfFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "specified config file \"" + path + "\" could not be opened.";
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parseConfText(text.str(), error);
}

std::optional<std::string> Options::get(std::string_view name) const {
    for (auto it = commandLine_.rbegin(); it != commandLine_.rend(); ++it)
        if (it->first == name) return it->second;
    for (const auto& [k, v] : file_)
        if (k == name) return v;
    return std::nullopt;
}

std::string Options::get(std::string_view name, std::string fallback) const {
    auto v = get(name);
    return v ? *v : std::move(fallback);
}

bool Options::getBool(std::string_view name, bool fallback) const {
    auto v = get(name);
    if (!v) return fallback;
    // As the node reads it: an empty value counts as set, any number but 0 too.
    if (v->empty() || *v == "true") return true;
    if (*v == "false") return false;
    try {
        return std::stoll(*v) != 0;
    } catch (...) {
        return false;
    }
}

std::vector<std::string> Options::getAll(std::string_view name) const {
    std::vector<std::string> out;
    for (const auto& [k, v] : commandLine_)
        if (k == name) out.push_back(v);
    for (const auto& [k, v] : file_)
        if (k == name) out.push_back(v);
    return out;
}

}  // namespace simcoin

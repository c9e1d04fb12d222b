#include "Paths.hpp"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace simcoin {

std::optional<std::string> lastOption(const OptionList& list, const std::string& name) {
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (it->first == name) return it->second;
    return std::nullopt;
}

std::string dataDirFrom(const OptionList& commandLine) {
    if (auto d = lastOption(commandLine, "datadir"); d && !d->empty()) return *d;
    const char* home = std::getenv("HOME");
    return (fs::path(home ? home : ".") / ".simcoin").string();
}

std::string confPathFrom(const OptionList& commandLine, const std::string& datadir, bool& explicitConf) {
    auto conf = lastOption(commandLine, "conf");
    explicitConf = conf && !conf->empty();
    if (!explicitConf) return (fs::path(datadir) / confFileName).string();
    fs::path p(*conf);
    if (p.is_relative()) p = fs::path(datadir) / p;
    return p.string();
}

std::string baseName(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace simcoin

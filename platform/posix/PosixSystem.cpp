#include "platform/posix/PosixSystem.hpp"

#include <unistd.h>

#include <clocale>
#include <cstdlib>

namespace pd {

namespace {
std::string userHome() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/tmp";
}
}  // namespace

std::string startedFile(const std::string& argv0) {
    if (argv0.empty()) return {};
    if (argv0.find('/') != std::string::npos) {
        if (argv0.front() == '/') return argv0;
        char cwd[4096];
        if (!::getcwd(cwd, sizeof cwd)) return {};
        auto relative = argv0.starts_with("./") ? argv0.substr(2) : argv0;
        return std::string(cwd) + "/" + relative;
    }
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "";
    while (!folders.empty()) {
        auto colon = folders.find(':');
        auto folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        if (folder.empty() || folder.front() != '/') continue;
        auto candidate = std::string(folder) + "/" + argv0;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

PosixSystem::PosixSystem() : store(SqliteStore::defaultPath()), profile(posixProfile(userHome())) {
    // Dates, times and number separators follow the user's locale.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "");
}

}  // namespace pd

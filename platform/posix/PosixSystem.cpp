#include "platform/posix/PosixSystem.hpp"

#include <clocale>
#include <cstdlib>

namespace pd {

namespace {
std::string userHome() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/tmp";
}
}  // namespace

PosixSystem::PosixSystem() : store(SqliteStore::defaultPath()), profile(posixProfile(userHome())) {
    // Dates, times and number separators follow the user's locale.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "");
}

}  // namespace pd

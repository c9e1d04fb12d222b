// pacedeck-setup EXE FILE: sets up the copy of PACEDECK named EXE from FILE, by driving its
// windows on this computer's settings store and files exactly as a user would.
#include <cstdlib>
#include <iostream>
#include <utility>
#include <vector>

#include "app/Version.hpp"
#include "app/setup/SetupDriver.hpp"
#include "app/setup/SetupFile.hpp"
#include "app/setup/SetupHelp.hpp"
#include "core/Clock.hpp"
#ifdef _WIN32
#include "platform/win32/Win32System.hpp"
#else
#include "platform/posix/PosixSystem.hpp"
#endif

namespace {

void say(const std::string& text) {
    std::cerr << "pacedeck-setup: " << text << "\n";
}

int fail(const std::string& text, int code) {
    say(text);
    return code;
}

constexpr int cannotApply = 1;
constexpr int wrongArguments = 2;

#ifdef _WIN32
using System = pd::win32::Win32System;
// The weekly task starts the copy in the home folder.
std::string ownFile(const std::string&) {
    return {};
}
void tellAboutTheStore(System&) {}
// In UTF-8, as every text of the program: the narrow argv is in the ANSI code page.
std::vector<std::string> arguments(int, char**) {
    auto args = pd::win32::programArguments();
    if (!args.empty()) args.erase(args.begin());
    return args;
}
// Only the windows' names are shown: no settings store is opened.
std::string helpText() {
    pd::win32::Win32Platform platform;
    return pd::setup::setupHelp(platform, pd::windowsProfile());
}
#else
using System = pd::PosixSystem;
std::vector<std::string> arguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}
// The copy as the user starts it, found on PATH: a link named after the coin is a copy of
// its own, and its weekly task starts that link.
std::string ownFile(const std::string& exe) {
    return pd::startedFile(exe);
}
// A store set aside or held by another program is said, not passed over in silence.
constexpr int storeWaitMs = 30000;
void tellAboutTheStore(System& system) {
    if (!system.store.setAside().empty())
        say("the settings file was damaged: it is kept as " + system.store.setAside() +
            ", and a new one was started");
    system.store.waitForOthers(storeWaitMs, [said = false]() mutable {
        if (std::exchange(said, true)) return;
        say("the settings store is locked by another program: waiting for it, up to " +
            std::to_string(storeWaitMs / 1000) + " s");
    });
}
std::string helpText() {
    const char* home = std::getenv("HOME");
    pd::PosixPlatform platform;
    return pd::setup::setupHelp(platform, pd::posixProfile(home && *home ? home : "/tmp"));
}
#endif

}  // namespace

int main(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    for (const auto& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << helpText();
            return 0;
        }
        if (arg == "--version") {
            std::cout << pd::version::line("pacedeck-setup") << "\n";
            return 0;
        }
        if (arg.size() > 1 && arg.front() == '-')
            return fail("unknown option \"" + arg + "\" (see pacedeck-setup --help)", wrongArguments);
    }
    if (args.size() != 2)
        return fail("usage: pacedeck-setup EXE FILE (see pacedeck-setup --help)", wrongArguments);
    const std::string& exe = args[0];
    const std::string& file = args[1];
    if (exe.empty() || exe == "." || exe == ".." || exe.find_first_of("/\\") != std::string::npos)
        return fail("\"" + exe + "\" cannot be the name of a program file", wrongArguments);

    const auto read = pd::setup::readSetupFile(file);
    if (read.problem == pd::setup::SetupFileText::Problem::CannotRead) return fail(read.why, wrongArguments);
    if (read.problem == pd::setup::SetupFileText::Problem::NotText) return fail(read.why, cannotApply);

    auto script = pd::setup::parseSetupScript(read.text);
    if (script.error)
        return fail(file + " line " + std::to_string(script.error->line) + ": " + script.error->message,
                    cannotApply);
    if (script.lines.empty()) return fail(file + " holds no set-up lines: nothing was changed", cannotApply);

    System system;
    if (!system.store.isOpen())
        return fail("cannot open the settings store: " + system.store.error(), wrongArguments);
    tellAboutTheStore(system);
    pd::SteadyClock clock;
    if (auto error = pd::setup::applySetup(exe, system.store, system.platform, system.profile, clock,
                                           script.lines, ownFile(exe)))
        return fail(file + " line " + std::to_string(error->line) + ": " + error->message, cannotApply);
    std::cout << "pacedeck-setup: " << file << " applied to " << exe << "\n";
    return 0;
}

// pacedeck-setup EXE FILE: sets up the copy of PACEDECK named EXE from FILE, by driving its
// windows on this computer's settings store and files exactly as a user would.
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/Version.hpp"
#include "app/setup/SetupDriver.hpp"
#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/Scheduler.hpp"
#include "platform/posix/PosixSystem.hpp"

namespace {

int fail(const std::string& text, int code) {
    std::cerr << "pacedeck-setup: " << text << "\n";
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << pd::version::line("pacedeck-setup") << "\n";
        return 0;
    }
    if (argc != 3)
        return fail("usage: pacedeck-setup EXE FILE\n  applies FILE to the copy of PACEDECK named EXE", 2);
    const std::string exe = argv[1];
    const std::string file = argv[2];
    if (exe.empty() || exe == "." || exe == ".." || exe.find('/') != std::string::npos)
        return fail("\"" + exe + "\" cannot be the name of a program file", 2);

    std::ifstream in(file, std::ios::binary);
    if (!in) return fail("cannot read " + file, 2);
    std::ostringstream text;
    text << in.rdbuf();

    auto script = pd::setup::parseSetupScript(text.str());
    if (script.error)
        return fail(file + " line " + std::to_string(script.error->line) + ": " + script.error->message, 1);

    pd::PosixSystem system;
    if (!system.store.isOpen()) return fail("cannot open the settings store: " + system.store.error(), 2);
    pd::SteadyClock clock;
    pd::Scheduler scheduler(clock);
    pd::App app(exe, system.store, system.platform, system.profile, scheduler);
    pd::setup::SetupDriver driver(app);
    if (auto error = driver.run(script.lines))
        return fail(file + " line " + std::to_string(error->line) + ": " + error->message, 1);
    std::cout << "pacedeck-setup: " << file << " applied to " << exe << "\n";
    return 0;
}

// One program, three personalities chosen by the name it runs under, as the
// coin ships three programs: simcoind (the node), simcoin-qt (the wallet,
// here without a window, otherwise the node) and simcoin-cli (the client);
// started as SendEmail it is a mailer instead (Mailer.hpp).
#include <cstdio>
#include <string>

#include "Client.hpp"
#include "Daemon.hpp"
#include "Mailer.hpp"
#include "Options.hpp"
#include "System.hpp"

int main(int argc, char** argv) {
    using namespace simcoin;
    std::string name = ownProgramName(argc > 0 ? argv[0] : nullptr);
    // The system already names the process after the file executed (the
    // symlink). Setting it from argv[0] as well keeps the process name equal
    // to the personality even when a caller passes a different argv[0]:
    // whoever watches for "simcoind" must find exactly the node.
    nameThisProcess(name);

    // A mailer for a machine without SendEmail: its options are its own.
    if (name == "sendemail") return runMailer({argv + 1, argv + argc});
    CommandLine commandLine = parseCommandLine(argc, argv);
    if (name.ends_with("-cli")) return runClient(name, commandLine);
    if (name.ends_with("-qt")) return runDaemon({name, false}, commandLine);
    if (name.ends_with("d")) return runDaemon({name, true}, commandLine);
    std::fprintf(stderr, "%s: start me as simcoind, simcoin-qt or simcoin-cli (the name chooses what I do)\n",
                 name.c_str());
    return 2;
}

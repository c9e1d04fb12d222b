#include "settings/NodeCommands.hpp"

#include "core/HomeLayout.hpp"
#include "core/ShellQuote.hpp"

namespace pd {

namespace {

std::string option(const Profile& p, std::string_view value) {
    // An empty option is no argument at all: it stays empty between its two spaces.
    return value.empty() ? std::string() : scriptLineWord(p.shell, value);
}

std::string program(const Profile& p, std::string_view folder, std::string_view name) {
    return p.scriptPrefix + scriptLineProgram(p.shell, p.join(folder, name));
}

}  // namespace

NodeCommands buildNodeCommands(const Profile& p, const NodeCommandFields& f) {
    const auto conf = scriptLineWord(p.shell, "-conf=" + f.conf);
    const auto datadir = scriptLineWord(p.shell, "-datadir=" + f.chainFolder);
    NodeCommands c;
    c.qt = program(p, f.qtFolder, f.qtName) + " " + conf + " " + datadir + " " + option(p, f.qtOption);
    c.daemon = program(p, f.daemonFolder, f.daemonName) + " " + conf + " " + datadir + " " +
               option(p, f.daemonOption);
    // The cli is pointed at the node's data folder too: a node whose conf has no
    // rpcpassword (rpcauth only) writes its cookie there, and without the folder the cli
    // finds no credentials at all.
    const auto cli = program(p, f.daemonFolder, f.cliName) + " " + conf +
                     (f.chainFolder.empty() ? std::string() : " " + datadir);
    c.cliStop = cli + " " + option(p, f.cliOption) + " stop";
    c.blockcount = cli + " getblockcount > " +
                   scriptLineRedirectTarget(p.shell, HomeLayout(p, f.home, f.exe).latestBlockcount());
    c.chainInfo = cli + " getblockchaininfo";
    c.peerCount = cli + " getconnectioncount";
    return c;
}

}  // namespace pd

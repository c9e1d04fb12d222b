#include "core/HomeLayout.hpp"

namespace pd {

HomeLayout::HomeLayout(const Profile& profile, std::string_view home, std::string_view exe)
    : profile_(profile), home_(home), exe_(exe) {}

std::string_view HomeLayout::nameOf(HomeFolder folder) {
    switch (folder) {
        case HomeFolder::Bats:
            return "BATS";
        case HomeFolder::Blockcounts:
            return "BLOCKCOUNTS";
        case HomeFolder::Configs:
            return "CONFIGS";
        case HomeFolder::Logs:
            return "LOGS";
        case HomeFolder::Reports:
            return "REPORTS";
    }
    return {};
}

std::string_view HomeLayout::stemOf(Script script) {
    switch (script) {
        case Script::RunQt:
            return "-RUN-QT";
        case Script::RunDaemon:
            return "-RUN-DAEMON";
        case Script::RunCliStop:
            return "-RUN-CLI-STOP";
        case Script::RunBlockcounter:
            return "-RUN-BLOCKCOUNTER-GBC";
        case Script::StartEmail:
            return "-START-EMAIL";
        case Script::EndReportEmail:
            return "-END-REPORT-EMAIL";
        case Script::RunChainInfo:
            return "-RUN-BLOCKCHAININFO";
        case Script::RunPeerCount:
            return "-RUN-CONNECTIONCOUNT";
        case Script::StuckAlertEmail:
            return "-STUCK-ALERT-EMAIL";
    }
    return {};
}

std::string HomeLayout::folder(HomeFolder folder) const {
    return profile_.join(home_, nameOf(folder));
}

std::string HomeLayout::file(HomeFolder folder, std::string_view suffix) const {
    return profile_.subFolder(home_, nameOf(folder)) + exe_ + std::string(suffix);
}

std::string HomeLayout::script(Script script) const {
    return file(HomeFolder::Bats, stemOf(script)) + profile_.scriptExtension;
}
std::string HomeLayout::latestBlockcount() const {
    return file(HomeFolder::Blockcounts, "-LATEST-BLOCKCOUNT.LOG");
}
std::string HomeLayout::cryptoConfig() const {
    return file(HomeFolder::Configs, "-CRYPTO-CONFIG.conf");
}
std::string HomeLayout::mailerLog() const {
    return file(HomeFolder::Logs, "-SEND-EMAIL.LOG");
}

std::string HomeLayout::powerLog() const {
    return file(HomeFolder::Logs, "-POWER-AUTOTIMER.LOG");
}
std::string HomeLayout::endReport() const {
    return file(HomeFolder::Reports, "-END-REPORT.LOG");
}
std::string HomeLayout::syncHistory() const {
    return file(HomeFolder::Logs, "-SYNC-HISTORY.csv");
}
std::string HomeLayout::nodeOutput() const {
    return file(HomeFolder::Logs, "-NODE-OUTPUT.LOG");
}
std::string HomeLayout::syncChart() const {
    return file(HomeFolder::Reports, "-SYNC-CHART.svg");
}
std::string HomeLayout::runHistory() const {
    return file(HomeFolder::Logs, "-RUN-HISTORY.csv");
}
std::string HomeLayout::runHistoryChart() const {
    return file(HomeFolder::Reports, "-RUN-HISTORY.svg");
}

}  // namespace pd

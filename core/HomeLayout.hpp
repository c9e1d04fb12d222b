#pragma once
#include <array>
#include <string>
#include <string_view>

#include "core/Profile.hpp"

namespace pd {

// The home folder's sub-folders, in the order CREATE FOLDERS makes them.
enum class HomeFolder { Bats, Blockcounts, Configs, Logs, Reports };
inline constexpr std::array<HomeFolder, 5> homeFolders = {
    HomeFolder::Bats, HomeFolder::Blockcounts, HomeFolder::Configs, HomeFolder::Logs, HomeFolder::Reports};

// A copy's scripts in BATS.
enum class Script {
    RunQt,
    RunDaemon,
    RunCliStop,
    RunBlockcounter,
    StartEmail,
    EndReportEmail,
    RunChainInfo,    // the cli's getblockchaininfo, for the sync check
    RunPeerCount,    // the cli's getconnectioncount, for the sync check
    StuckAlertEmail  // the end report mailed as an alert naming the run's fault; the run writes it at its end
};

// The layout of a copy's home folder: the one place that spells its sub-folders and every
// per-copy file name (EXE + stem + suffix), so every window finds the same files.
class HomeLayout {
  public:
    HomeLayout(const Profile& profile, std::string_view home, std::string_view exe);

    static std::string_view nameOf(HomeFolder folder);  // "BATS"
    static std::string_view stemOf(Script script);      // "-RUN-QT"

    // home + separator + sub-folder name
    std::string folder(HomeFolder folder) const;
    // BATS/EXE-RUN-QT.bat and so on, with the profile's script extension.
    std::string script(Script script) const;
    std::string latestBlockcount() const;  // BLOCKCOUNTS/EXE-LATEST-BLOCKCOUNT.LOG
    std::string cryptoConfig() const;      // CONFIGS/EXE-CRYPTO-CONFIG.conf
    std::string mailerLog() const;         // LOGS/EXE-SEND-EMAIL.LOG
    std::string powerLog() const;          // LOGS/EXE-POWER-AUTOTIMER.LOG
    std::string endReport() const;         // REPORTS/EXE-END-REPORT.LOG
    std::string syncHistory() const;       // LOGS/EXE-SYNC-HISTORY.csv
    std::string nodeOutput() const;        // LOGS/EXE-NODE-OUTPUT.LOG, what the node printed
    std::string syncChart() const;         // REPORTS/EXE-SYNC-CHART.svg, beside the end report
    std::string runHistory() const;        // LOGS/EXE-RUN-HISTORY.csv, a line a run, never rewritten
    std::string runHistoryChart() const;   // REPORTS/EXE-RUN-HISTORY.svg

  private:
    std::string file(HomeFolder folder, std::string_view suffix) const;

    const Profile& profile_;
    std::string home_;
    std::string exe_;
};

}  // namespace pd

#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/HomeLayout.hpp"
#include "main/NodeAnswers.hpp"
#include "main/SyncHistory.hpp"
#include "platform/Platform.hpp"

namespace pd {

class MainWindow;

// The last-run stamp of a run that ended on a stuck node.
inline constexpr std::string_view nodeStuckStamp = "!!! NODE STUCK !!!";

// The blockcounter's second opinion: equal readings alone also come from a node that lost
// its peers or stalled. While SYNC CHECK is ticked it asks the node through the copy's cli
// for getblockchaininfo and getconnectioncount, after each poll for the progress (the status
// tool tip and LOGS/EXE-SYNC-HISTORY.csv) and once the readings are confirmed for a verdict.
class SyncCheck {
  public:
    enum class Verdict {
        CaughtUp,  // the node agrees: finish as always
        FallBack,  // the cli cannot tell: finish as always, without the check
        Behind,    // keep polling; behindText() says why
        Stuck,     // behind, and the height has not risen for the stall limit
    };

    explicit SyncCheck(MainWindow& w);

    // A new run: a fresh history file and stall clock, and the check on again.
    void runStarted();
    // Whether this run asks the node at all.
    bool active() const;
    // Each block-count reading; a rise restarts the stall clock.
    void heightRead(std::string_view reading);
    // Asks for the progress, unless a question is already out.
    void sample();
    // Asks (or waits for the question already out) and hands the verdict on.
    void judge(std::function<void(Verdict)> then);
    // Drops the question out and any verdict still due.
    void cancel();
    // The status while the node is behind ("!!! NODE BEHIND - 1040 OF 1300 !!!"), empty
    // when the last verdict was not "behind".
    const std::string& behindText() const { return behind_; }

  private:
    enum class Asking { Nothing, ChainInfo, Peers };
    void tick();
    void ask(Script script);
    void answered(std::optional<ChainInfo> info, std::optional<long long> peers);
    void fallBack(std::string_view why);
    void record(const ChainInfo& info, long long peers);
    std::string runScriptLine(Script script) const;

    MainWindow& w_;
    Asking asking_ = Asking::Nothing;
    std::unique_ptr<RunningCommand> running_;
    std::optional<ChainInfo> info_;
    std::function<void(Verdict)> verdictDue_;
    bool fallenBack_ = false;
    std::string behind_;
    std::string lastHeight_;
    std::int64_t heightMovedMs_ = 0;
    std::vector<SyncSample> recent_;  // the latest samples, oldest first, for the rate
};

}  // namespace pd

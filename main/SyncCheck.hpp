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
#include "main/SyncVerdict.hpp"
#include "platform/Platform.hpp"

namespace pd {

class MainWindow;

// The blockcounter's second opinion: equal readings alone also come from a node that lost
// its peers or stalled. While SYNC CHECK is ticked it asks the node through the copy's cli
// for getblockchaininfo and getconnectioncount after each poll, for the progress (the status
// tool tip and LOGS/EXE-SYNC-HISTORY.csv) and for a verdict (judgeSync): once the readings
// are confirmed, whether the node agrees; after any poll, whether the run must end as a
// fault (the height stood for the stall limit, the cli is gone).
class SyncCheck {
  public:
    using Then = std::function<void(const SyncVerdict&)>;

    explicit SyncCheck(MainWindow& w);
    // The window closing with a question out does not wait for it either.
    ~SyncCheck();
    SyncCheck(const SyncCheck&) = delete;
    SyncCheck& operator=(const SyncCheck&) = delete;

    // Called with a fault found after a poll whose readings were not yet confirmed.
    Then onFault;

    // A new run: a fresh history file and stall clock, and the check on again.
    void runStarted();
    // Whether this run asks the node at all.
    bool active() const;
    // Each block-count reading; a rise restarts the stall clock.
    void heightRead(std::string_view reading);
    // Asks the node after a poll, unless a question is already out.
    void sample();
    // Asks (or waits for the question already out) and hands the verdict on the confirmed
    // readings on.
    void judge(Then then);
    // Drops the question out, without waiting for it, and any verdict still due.
    void cancel();
    // What the status says between polls while the node has not caught up ("!!! NO PEERS
    // !!!"); empty when there is nothing to say.
    const std::string& standing() const { return standing_; }

  private:
    enum class Asking { Nothing, ChainInfo, Peers };
    void tick();
    void heightSeen(long long height);
    void ask(Script script);
    void answered(const NodeReport& node);
    void fallBack(std::string_view why);
    void record(const ChainInfo& info, long long peers);
    std::int64_t limitSeconds() const;
    std::string runScriptLine(Script script) const;

    MainWindow& w_;
    Asking asking_ = Asking::Nothing;
    std::unique_ptr<RunningCommand> running_;
    std::optional<CommandResult> chainInfo_;
    Then verdictDue_;
    bool fallenBack_ = false;
    std::string standing_;
    std::optional<long long> lastHeight_;
    std::int64_t heightRoseMs_ = 0;
    std::vector<SyncSample> recent_;  // the latest samples, oldest first, for the rate
};

}  // namespace pd

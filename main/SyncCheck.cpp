#include "main/SyncCheck.hpp"

#include <utility>

#include "core/App.hpp"
#include "core/Catalogue.hpp"
#include "core/ShellQuote.hpp"
#include "main/MainWindow.hpp"

namespace pd {

namespace {
// Enough polls for a steady rate, few enough to follow a change of pace.
constexpr std::size_t rateSamples = 10;
}  // namespace

SyncCheck::SyncCheck(MainWindow& w) : w_(w) {
    w_.SYNC_CHECK_TIMER.onTick = [this] { tick(); };
}

SyncCheck::~SyncCheck() {
    if (running_) running_->cancel();
}

void SyncCheck::runStarted() {
    cancel();
    fallenBack_ = false;
    standing_.clear();
    lastHeight_.reset();
    recent_.clear();
    // The stall clock runs from the run's start: a node that never gives a height is held
    // to the same limit as one whose height stands still.
    heightRoseMs_ = w_.app().scheduler().now();
    w_.CURRENT_STATUS_LABEL.setToolTip("");
    // One file per run: the chart of a run shows that run alone.
    if (w_.SYNC_CHECK_TICKBOX.ticked())
        w_.app().platform().writeFile(w_.home().syncHistory(), std::string(syncHistoryHeader) + "\n");
}

bool SyncCheck::active() const {
    return w_.SYNC_CHECK_TICKBOX.ticked() && !fallenBack_;
}

void SyncCheck::heightRead(std::string_view reading) {
    if (const auto height = blockHeight(reading)) heightSeen(*height);
}

void SyncCheck::heightSeen(long long height) {
    // Only the height moves the clock: peers coming and going, headers, answers or none.
    if (lastHeight_ && height > *lastHeight_) heightRoseMs_ = w_.app().scheduler().now();
    lastHeight_ = height;
}

void SyncCheck::sample() {
    if (!active() || asking_ != Asking::Nothing) return;
    auto& platform = w_.app().platform();
    const auto home = w_.home();
    if (!platform.exists(home.script(Script::RunChainInfo)) ||
        !platform.exists(home.script(Script::RunPeerCount))) {
        fallBack("!!! SYNC CHECK OFF - ITS SCRIPTS ARE MISSING - SAVE THE CRYPTO SETTINGS !!!");
        return;
    }
    ask(Script::RunChainInfo);
}

void SyncCheck::judge(Then then) {
    if (!active()) {
        then({SyncVerdict::Next::FallBack, {}, {}});
        return;
    }
    verdictDue_ = std::move(then);
    sample();
}

void SyncCheck::cancel() {
    // A question out is ended where it stands: waiting for it would hold the whole program.
    if (running_) running_->cancel();
    running_.reset();
    asking_ = Asking::Nothing;
    verdictDue_ = nullptr;
    chainInfo_.reset();
    w_.SYNC_CHECK_TIMER.stop();
}

std::string SyncCheck::runScriptLine(Script script) const {
    const auto& p = w_.app().profile();
    const auto path = w_.home().script(script);
    // Run as the platform runs every other script of the copy: a command line, which cmd reads
    // once (a script's own line is read again by `call`).
    return p.shell == ShellKind::PosixSh ? "/bin/sh " + commandLineWord(p.shell, path)
                                         : commandLineProgram(p.shell, path);
}

void SyncCheck::ask(Script script) {
    asking_ = script == Script::RunChainInfo ? Asking::ChainInfo : Asking::Peers;
    running_ = w_.app().platform().startCommand(runScriptLine(script));
    w_.SYNC_CHECK_TIMER.start();
}

void SyncCheck::tick() {
    if (!running_) {
        w_.SYNC_CHECK_TIMER.stop();
        return;
    }
    auto result = running_->poll();
    if (!result) return;
    running_.reset();
    w_.SYNC_CHECK_TIMER.stop();
    if (asking_ == Asking::ChainInfo) {
        // The peers are asked only when the chain answer read.
        const auto chainAlone = readReport(*result, nullptr);
        if (chainAlone.reply == Reply::Answered) {
            chainInfo_ = std::move(*result);
            ask(Script::RunPeerCount);
            return;
        }
        answered(chainAlone);
        return;
    }
    const auto chainInfo = std::exchange(chainInfo_, std::nullopt);
    answered(chainInfo ? readReport(*chainInfo, &*result) : NodeReport{Reply::Unreadable, {}, 0});
}

std::int64_t SyncCheck::limitSeconds() const {
    const auto& box = w_.STALL_LIMIT_TEXTBOX;
    return TimeOfDay::parseOr(box.text(), TimeOfDay::parseOr(catalogue::defaultOf(box.name()), TimeOfDay()))
        .seconds();
}

void SyncCheck::answered(const NodeReport& node) {
    asking_ = Asking::Nothing;
    if (node.reply == Reply::Answered) {
        // The node's own answer is a height too, and a fresher one: while the block counts
        // stood through the verify and the triple check, the node may have moved on (a
        // reorganised chain is fetched before the height rises).
        heightSeen(node.chain.blocks);
        record(node.chain, node.peers);
    }
    const SyncFacts facts{node, verdictDue_ != nullptr, (w_.app().scheduler().now() - heightRoseMs_) / 1000,
                          limitSeconds(), lastHeight_ ? std::to_string(*lastHeight_) : std::string()};
    const auto verdict = judgeSync(facts);
    if (verdict.next == SyncVerdict::Next::FallBack) {
        fallBack(verdict.status);
        return;
    }
    standing_ = verdict.status;
    if (node.reply == Reply::Answered && node.peers == 0) w_.presence.alert(noPeersStatus);
    auto then = std::exchange(verdictDue_, nullptr);
    if (then)
        then(verdict);
    else if (verdict.next == SyncVerdict::Next::Fault && onFault)
        onFault(verdict);
}

void SyncCheck::fallBack(std::string_view why) {
    auto then = std::exchange(verdictDue_, nullptr);
    cancel();
    fallenBack_ = true;
    standing_.clear();
    w_.status(why);
    // The status line moves on at once; the tool tip keeps the word for the rest of the run.
    w_.CURRENT_STATUS_LABEL.setToolTip(why);
    if (then) then({SyncVerdict::Next::FallBack, std::string(why), {}});
}

void SyncCheck::record(const ChainInfo& info, long long peers) {
    auto& platform = w_.app().platform();
    const SyncSample sample{platform.unixTime(), info.blocks, info.headers, peers};
    platform.appendFile(w_.home().syncHistory(), syncHistoryLine(sample) + "\n");
    recent_.push_back(sample);
    if (recent_.size() > rateSamples) recent_.erase(recent_.begin());
    w_.CURRENT_STATUS_LABEL.setToolTip(progressTip(sample, info.progress, secondsToGo(recent_)));
}

}  // namespace pd

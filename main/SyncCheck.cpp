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

bool holdsNumber(std::string_view reading) {
    return reading.find_first_of("0123456789") != std::string_view::npos;
}
}  // namespace

SyncCheck::SyncCheck(MainWindow& w) : w_(w) {
    w_.SYNC_CHECK_TIMER.onTick = [this] { tick(); };
}

void SyncCheck::runStarted() {
    cancel();
    fallenBack_ = false;
    behind_.clear();
    lastHeight_.clear();
    recent_.clear();
    heightMovedMs_ = w_.app().scheduler().now();
    w_.CURRENT_STATUS_LABEL.setToolTip("");
    // One file per run: the chart of a run shows that run alone.
    if (w_.SYNC_CHECK_TICKBOX.ticked())
        w_.app().platform().writeFile(w_.home().syncHistory(), std::string(syncHistoryHeader) + "\n");
}

bool SyncCheck::active() const {
    return w_.SYNC_CHECK_TICKBOX.ticked() && !fallenBack_;
}

void SyncCheck::heightRead(std::string_view reading) {
    if (!holdsNumber(reading) || reading == lastHeight_) return;
    lastHeight_ = reading;
    heightMovedMs_ = w_.app().scheduler().now();
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

void SyncCheck::judge(std::function<void(Verdict)> then) {
    if (!active()) {
        then(Verdict::FallBack);
        return;
    }
    verdictDue_ = std::move(then);
    sample();
}

void SyncCheck::cancel() {
    running_.reset();
    asking_ = Asking::Nothing;
    verdictDue_ = nullptr;
    info_.reset();
    w_.SYNC_CHECK_TIMER.stop();
}

std::string SyncCheck::runScriptLine(Script script) const {
    const auto& p = w_.app().profile();
    const auto path = w_.home().script(script);
    // Run as the platform runs every other script of the copy.
    return p.shell == ShellKind::PosixSh ? "/bin/sh " + shellWord(p.shell, path)
                                         : shellProgram(p.shell, path);
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
    result->output = std::string(withoutCommandEcho(result->output));
    if (cannotAnswer(*result)) {
        fallBack(
            "!!! SYNC CHECK OFF - THE CLI CANNOT ANSWER GETBLOCKCHAININFO / GETCONNECTIONCOUNT - FINISHING "
            "WHEN IDENTICAL AS BEFORE !!!");
        return;
    }
    if (asking_ == Asking::ChainInfo) {
        info_ = result->ok() ? parseChainInfo(result->output) : std::nullopt;
        if (info_) {
            ask(Script::RunPeerCount);
            return;
        }
        answered(std::nullopt, std::nullopt);
        return;
    }
    answered(std::exchange(info_, std::nullopt),
             result->ok() ? parsePeerCount(result->output) : std::nullopt);
}

void SyncCheck::answered(std::optional<ChainInfo> info, std::optional<long long> peers) {
    asking_ = Asking::Nothing;
    if (info && peers) record(*info, *peers);
    if (!verdictDue_) return;
    auto then = std::exchange(verdictDue_, nullptr);
    if (info && peers && info->blocks >= info->headers && !info->initialDownload) {
        behind_.clear();
        then(Verdict::CaughtUp);
        return;
    }
    // Without an answer the node has not said it caught up either: poll on.
    const auto where =
        info ? std::to_string(info->blocks) + " OF " + std::to_string(info->headers) : lastHeight_;
    if (!info || !peers)
        behind_ = "!!! SYNC CHECK - NO ANSWER FROM THE NODE - POLLING ON !!!";
    else
        behind_ = *peers == 0 ? "!!! NO PEERS !!!" : "!!! NODE BEHIND - " + where + " !!!";
    if (info && peers == 0) w_.presence.alert(behind_);
    const auto& box = w_.STALL_LIMIT_TEXTBOX;
    const auto limit =
        TimeOfDay::parseOr(box.text(), TimeOfDay::parseOr(catalogue::defaultOf(box.name()), TimeOfDay()));
    if (w_.app().scheduler().now() - heightMovedMs_ >= std::int64_t(limit.seconds()) * 1000) {
        behind_ = "!!! NODE STUCK - " + where + " - NO NEW BLOCK FOR " + limit.hhmmss() + " !!!";
        then(Verdict::Stuck);
        return;
    }
    then(Verdict::Behind);
}

void SyncCheck::fallBack(std::string_view why) {
    auto then = std::exchange(verdictDue_, nullptr);
    cancel();
    fallenBack_ = true;
    behind_.clear();
    w_.status(why);
    // The status line moves on at once; the tool tip keeps the word for the rest of the run.
    w_.CURRENT_STATUS_LABEL.setToolTip(why);
    if (then) then(Verdict::FallBack);
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

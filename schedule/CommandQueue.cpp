#include "schedule/CommandQueue.hpp"

namespace pd {

CommandQueue::CommandQueue(Platform& platform, Timer& poller) : platform_(platform), poller_(poller) {
    poller_.setInterval(pollMs);
    poller_.onTick = [this] { poll(); };
}

void CommandQueue::run(std::string commandLine, Done done) {
    waiting_.emplace_back(std::move(commandLine), std::move(done));
    if (!running_) startNext();
}

void CommandQueue::startNext() {
    if (waiting_.empty()) {
        poller_.stop();
        return;
    }
    auto [commandLine, done] = std::move(waiting_.front());
    waiting_.pop_front();
    running_ = platform_.startCommand(commandLine);
    done_ = std::move(done);
    poller_.start();
}

void CommandQueue::poll() {
    if (!running_) return poller_.stop();
    auto result = running_->poll();
    if (!result) return;
    running_.reset();
    // The next command starts before this one's result is handed on, which may queue more.
    auto done = std::move(done_);
    startNext();
    if (done) done(*result);
}

std::string commandFailure(const CommandResult& result) {
    auto firstLine = result.output.substr(0, result.output.find_first_of("\r\n"));
    if (!result.started) return "!!! THE COMMAND COULD NOT START: " + firstLine + " !!!";
    std::string text = "!!! THE COMMAND FAILED (EXIT STATUS " + std::to_string(result.exitStatus) + ")";
    if (!firstLine.empty()) text += ": " + firstLine;
    return text + " !!!";
}

}  // namespace pd

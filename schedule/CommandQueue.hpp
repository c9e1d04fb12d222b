#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "core/Timer.hpp"
#include "platform/Platform.hpp"

namespace pd {

// A window's system commands, run one after another without blocking the loop: every
// timer of the program goes on while a command runs, and its result is handed on when
// it comes. The window's timer polls the running command.
class CommandQueue {
  public:
    using Done = std::function<void(const CommandResult&)>;
    static constexpr int pollMs = 100;

    CommandQueue(Platform& platform, Timer& poller);
    void run(std::string commandLine, Done done);
    bool busy() const { return running_ != nullptr || !waiting_.empty(); }

  private:
    void startNext();
    void poll();

    Platform& platform_;
    Timer& poller_;
    std::unique_ptr<RunningCommand> running_;
    Done done_;
    std::deque<std::pair<std::string, Done>> waiting_;
};

// What a failed command gave back, in one line for a window: "THE COMMAND FAILED (EXIT
// STATUS 1): <first line of its output>" or "THE COMMAND COULD NOT START: <reason>",
// between the window's "!!! " and " !!!".
std::string commandFailure(const CommandResult& result);

}  // namespace pd

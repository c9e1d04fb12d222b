#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/Platform.hpp"

namespace pd {

// Holds the system's sleep lock through a child process that keeps it for as long as it
// lives (`systemd-inhibit ... sleep infinity`). Releasing ends the child and everything it
// started; so does our own end, even an abrupt one, since the child is told to go when we
// die.
class SleepInhibitor {
  public:
    // The command that holds the lock while it runs.
    static std::vector<std::string> defaultCommand();

    explicit SleepInhibitor(std::vector<std::string> command = defaultCommand());
    SleepInhibitor(const SleepInhibitor&) = delete;
    SleepInhibitor& operator=(const SleepInhibitor&) = delete;
    ~SleepInhibitor();

    // Taking the lock when it is held, or giving it back when it is not, changes nothing.
    Outcome hold();
    void release();
    bool held();
    // The process that holds the lock, 0 when none.
    pid_t holder() const { return child_; }

  private:
    bool childAlive();
    void reap();

    std::vector<std::string> command_;
    pid_t child_ = 0;
};

}  // namespace pd

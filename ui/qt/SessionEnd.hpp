#pragma once
#include <functional>
#include <memory>

class QSocketNotifier;

namespace pd::qt {

// The end of the user's session (SIGTERM, SIGHUP) or an interrupt (SIGINT), delivered
// to the event loop: the handler only writes a byte to a pipe, and the loop runs
// onEnd when it reads it.
class SessionEnd {
  public:
    // Catches the signals at once, so one that comes before the loop runs is kept.
    SessionEnd();
    ~SessionEnd();
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

    // Starts listening in the event loop (needs the QApplication).
    void listen(std::function<void()> onEnd);

  private:
    int readFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> onEnd_;
};

}  // namespace pd::qt

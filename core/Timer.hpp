#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pd {

class Window;
class Scheduler;

// A periodic timer of a window. Enabling a running timer changes nothing; disabling stops
// it; the first tick comes one interval after enabling. Interval 0 never ticks.
class Timer {
  public:
    Timer(Window& owner, std::string_view name, int intervalMs = 0);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    const std::string& name() const { return name_; }
    int interval() const { return interval_; }
    // Changing the interval of a running timer restarts its period.
    void setInterval(int ms);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    void start() { setEnabled(true); }
    void stop() { setEnabled(false); }

    std::function<void()> onTick;

  private:
    friend class Scheduler;
    void fire();

    Window& owner_;
    Scheduler& scheduler_;
    std::string name_;
    int interval_;
    bool enabled_ = false;
    std::uint64_t id_ = 0;
};

}  // namespace pd

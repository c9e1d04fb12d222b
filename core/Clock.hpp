#pragma once
#include <chrono>
#include <cstdint>

namespace pd {

// Milliseconds on a monotonic scale; tests drive a virtual one.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
};

class SteadyClock final : public Clock {
  public:
    std::int64_t nowMs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

class VirtualClock final : public Clock {
  public:
    std::int64_t nowMs() const override { return now_; }
    void set(std::int64_t ms) { now_ = ms; }

  private:
    std::int64_t now_ = 0;
};

}  // namespace pd

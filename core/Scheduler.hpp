#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <queue>
#include <unordered_map>
#include <vector>

#include "core/Clock.hpp"

namespace pd {

class Timer;

// Our own timer queue over an injectable clock: every ordering between timers is exact
// and repeatable, in tests on virtual time as in the program on the real clock.
// Ties fire in the order in which the timers were enabled.
class Scheduler {
  public:
    explicit Scheduler(Clock& clock) : clock_(clock) {}
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    Clock& clock() const { return clock_; }
    std::int64_t now() const { return clock_.nowMs(); }

    std::optional<std::int64_t> nextDue() const;
    // Fires every timer that is due now. Each timer keeps a fixed phase (next = previous
    // due + interval) so countdowns do not drift with handler time; after a stall longer
    // than one interval it fires once and realigns instead of bursting.
    int runDue();
    // Virtual time only: moves the clock forward, firing each timer at its exact due time.
    void advance(std::int64_t ms, VirtualClock& clock);

    // Told whenever the next deadline may have changed (the front end re-arms its timer).
    std::function<void()> onChange;

    // For Timer.
    std::uint64_t add(Timer& timer);
    void remove(std::uint64_t id);
    void arm(std::uint64_t id, int intervalMs);
    void disarm(std::uint64_t id);

  private:
    struct Entry {
        std::int64_t due;
        std::uint64_t seq;
        std::uint64_t id;
        std::uint64_t generation;
        bool operator>(const Entry& o) const { return due != o.due ? due > o.due : seq > o.seq; }
    };
    struct Slot {
        Timer* timer;
        std::uint64_t generation = 0;
        bool armed = false;
    };
    void prune() const;
    void changed() {
        if (onChange) onChange();
    }

    Clock& clock_;
    mutable std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue_;
    std::unordered_map<std::uint64_t, Slot> slots_;
    std::uint64_t nextId_ = 1;
    std::uint64_t nextSeq_ = 1;
};

}  // namespace pd

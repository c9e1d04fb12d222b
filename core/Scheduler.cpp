#include "core/Scheduler.hpp"

#include "core/Timer.hpp"

namespace pd {

std::uint64_t Scheduler::add(Timer& timer) {
    auto id = nextId_++;
    slots_.emplace(id, Slot{&timer});
    return id;
}

void Scheduler::remove(std::uint64_t id) {
    slots_.erase(id);
    changed();
}

void Scheduler::arm(std::uint64_t id, int intervalMs) {
    auto it = slots_.find(id);
    if (it == slots_.end()) return;
    auto& slot = it->second;
    ++slot.generation;
    slot.armed = intervalMs > 0;
    if (slot.armed) queue_.push(Entry{now() + intervalMs, nextSeq_++, id, slot.generation});
    changed();
}

void Scheduler::disarm(std::uint64_t id) {
    auto it = slots_.find(id);
    if (it == slots_.end()) return;
    ++it->second.generation;
    it->second.armed = false;
    changed();
}

void Scheduler::prune() const {
    while (!queue_.empty()) {
        const auto& top = queue_.top();
        auto it = slots_.find(top.id);
        if (it != slots_.end() && it->second.armed && it->second.generation == top.generation) return;
        queue_.pop();
    }
}

std::optional<std::int64_t> Scheduler::nextDue() const {
    prune();
    if (queue_.empty()) return std::nullopt;
    return queue_.top().due;
}

int Scheduler::runDue() {
    int fired = 0;
    const auto current = now();
    for (;;) {
        prune();
        if (queue_.empty() || queue_.top().due > current) break;
        Entry entry = queue_.top();
        queue_.pop();
        auto& slot = slots_.at(entry.id);
        Timer& timer = *slot.timer;
        auto next = entry.due + timer.interval();
        if (next <= current) next = current + timer.interval();
        // Re-queue before firing, with the same tie order, so the handler may disable or
        // re-enable the timer and its choice wins.
        queue_.push(Entry{next, entry.seq, entry.id, entry.generation});
        ++fired;
        timer.fire();
    }
    changed();
    return fired;
}

void Scheduler::advance(std::int64_t ms, VirtualClock& clock) {
    const auto target = clock.nowMs() + ms;
    for (;;) {
        auto due = nextDue();
        if (!due || *due > target) break;
        if (*due > clock.nowMs()) clock.set(*due);
        runDue();
    }
    clock.set(target);
}

}  // namespace pd

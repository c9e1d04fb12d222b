#include "core/Timer.hpp"

#include "core/App.hpp"
#include "core/Scheduler.hpp"
#include "core/Window.hpp"

namespace pd {

Timer::Timer(Window& owner, std::string_view name, int intervalMs)
    : owner_(owner), scheduler_(owner.app().scheduler()), name_(name), interval_(intervalMs) {
    id_ = scheduler_.add(*this);
    owner_.registerTimer(*this);
}

Timer::~Timer() {
    scheduler_.remove(id_);
}

void Timer::setInterval(int ms) {
    if (interval_ == ms) return;
    interval_ = ms;
    if (enabled_) scheduler_.arm(id_, interval_);
}

void Timer::setEnabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    if (on)
        scheduler_.arm(id_, interval_);
    else
        scheduler_.disarm(id_);
}

void Timer::fire() {
    if (enabled_ && owner_.isOpen() && onTick) onTick();
}

}  // namespace pd

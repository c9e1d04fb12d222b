#include "main/ProcessWatch.hpp"

#include "main/MainWindow.hpp"

namespace pd {

ProcessWatch::ProcessWatch(MainWindow& w) : w_(w) {
    w_.MULTI_PROCESS_WATCHER_TIMER.onTick = [this] { tick(); };
}

void ProcessWatch::tick() {}

}  // namespace pd

#pragma once

namespace pd {

class MainWindow;

// The four process lights: qt, daemon, cli and mailer, refreshed from one look at the
// process table per tick of MULTI_PROCESS_WATCHER_TIMER.
class ProcessWatch {
public:
    explicit ProcessWatch(MainWindow& w);
    void tick();

private:
    MainWindow& w_;
};

}  // namespace pd

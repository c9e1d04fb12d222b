#pragma once

namespace pd {

class MainWindow;

// Keeps the computer awake and the user informed during a run: the Num Lock heartbeat,
// the light chaser, the lock-key lights and the tool-tip refresher.
class Heartbeats {
public:
    explicit Heartbeats(MainWindow& w);
    // Stage 2 and stage 18 of a run.
    void startFromPipeline();
    void stopFromPipeline();
    // The main settings window's OK: chaser lamps reset, heartbeat timer restarted.
    void resetFromSettings();

private:
    MainWindow& w_;
};

}  // namespace pd

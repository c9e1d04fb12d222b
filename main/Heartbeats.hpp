#pragma once
#include <optional>
#include <string_view>

#include "core/Colour.hpp"
#include "platform/Platform.hpp"

namespace pd {

class MainWindow;
class Label;

// Keeps the computer awake and the user informed during a run: the Num Lock heartbeat,
// the light chaser, the lock-key lights and the tool-tip refresher. While the heartbeat
// runs it also holds the system's own sleep inhibitor.
class Heartbeats {
  public:
    explicit Heartbeats(MainWindow& w);
    Heartbeats(const Heartbeats&) = delete;
    Heartbeats& operator=(const Heartbeats&) = delete;
    ~Heartbeats();

    // Stage 2 and stage 18 of a run.
    void startFromPipeline();
    void stopFromPipeline();
    // The main settings window's OK: chaser lamps reset, heartbeat timer restarted.
    void resetFromSettings();

  private:
    // handlers, in the order of the window
    void kittButtonClicked();
    void heartbeatTick();
    void firstPress();
    void secondPress();
    void chaserStep(int step);
    void refreshLockLights();
    void refreshToolTips();

    void startHeartbeat();
    void stopHeartbeat();
    void stopAllHeartbeatTimers();
    void paintLamps(Colour back);
    void reloadTimeLeft();
    void pressKey(LockKey key);
    void showLock(Label& light, std::string_view name, std::optional<bool> on);
    // Takes or gives back the system's sleep inhibitor to match the heartbeat.
    void keepAwake(bool on);

    MainWindow& w_;
    bool pressFailureShown_ = false;
    bool sleepHeld_ = false;
};

}  // namespace pd

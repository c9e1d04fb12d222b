#pragma once
#include <string>
#include <string_view>

#include "core/Colour.hpp"
#include "main/SyncCheck.hpp"

namespace pd {

class MainWindow;
class Timer;

// Decides when the chain has caught up: polls the block count at an interval, screens
// zero and empty readings, and believes a match only after a verify and a triple check.
// Its state is in the window's elements: the phase lights' colours are the phase.
class Blockcounter {
  public:
    explicit Blockcounter(MainWindow& w);
    // The run starts the blockcounter (stage 8) and, when it is not chosen, stops it.
    void startFromPipeline();
    void skipFromPipeline();
    // The latest reading of this run that holds a block number, as the cli printed it;
    // empty before the first (the run's end number, never an earlier run's).
    const std::string& runReading() const { return runReading_; }

  private:
    // user operations
    void startStopClicked();
    void runNowClicked();
    void startOverrideClicked();
    void overrideEnableChanged();
    void countTimeDoubleClicked();
    void overrideTimeDoubleClicked();
    void finishClicked();

    // the stages, in the order of a poll
    void countdownTick();
    void pollStart();
    void cliWait();
    void readBlockcount();
    void screenReading();
    void compareReadings();
    void check();
    void verify();
    void tripleCheck();
    void complete();
    void overrideTick();
    void syncVerdict(const SyncVerdict& verdict);
    void endFault(const SyncVerdict& verdict);

    // helpers
    void restartCountdown(Timer& stage);
    void reloadCountdowns();
    void resetPhaseLights();
    void colourReadings(Colour fore, Colour back);
    void stopPollStages();
    void signalEnd();
    void stampLastRun(std::string_view text, Colour back, bool keep);
    void saveTimes();
    void saveInfoOnly();
    void save(std::string_view key, std::string_view value);

    MainWindow& w_;
    // The countdown found both node lights red: the completion that follows is a fault,
    // not a caught-up chain.
    bool nodeGone_ = false;
    std::string runReading_;
};

}  // namespace pd
